#include "simulatedaccount.h"

#include <QFile>
#include <QTextStream>

namespace zonara::simulator {

namespace {

QString valueOf(const QList<QPair<QString, QString>> &query, const QString &key)
{
    for (const auto &[name, text] : query) {
        if (name == key)
            return text;
    }
    return {};
}

SimulatedAnswer refusal(const QString &reason)
{
    return {QStringLiteral("Zonara - error"), reason};
}

SimulatedAnswer report(const QString &title, const SimulatedHost &host, const QString &what)
{
    return {title, QStringLiteral("%1 %2.\nIP address: %3\nWildcard: %4\nBackup MX: %5")
                       .arg(host.name, what, host.ipAddress,
                            host.wildcard ? QStringLiteral("on") : QStringLiteral("off"),
                            host.backupMx ? QStringLiteral("yes") : QStringLiteral("no"))};
}

} // namespace

void SimulatedAccount::setCredentials(const QString &user, const QString &password)
{
    m_user = user;
    m_password = password;
}

bool SimulatedAccount::accepts(const QString &user, const QString &password) const
{
    return user == m_user && password == m_password;
}

int SimulatedAccount::addHost(SimulatedKind kind, const QString &name, const QString &ipAddress,
                              bool wildcard)
{
    SimulatedHost host;
    host.id = m_nextId++;
    host.kind = kind;
    host.name = name;
    host.ipAddress = ipAddress;
    host.wildcard = wildcard;
    host.backupMx = true;
    m_hosts.append(host);
    return host.id;
}

bool SimulatedAccount::loadFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        *error = file.errorString();
        return false;
    }
    QTextStream in(&file);
    int lineNumber = 0;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        ++lineNumber;
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList words = line.split(u' ', Qt::SkipEmptyParts);
        if (words.size() == 2 && words[0] == u"user") {
            m_user = words[1];
        } else if (words.size() == 2 && words[0] == u"password") {
            m_password = words[1];
        } else if ((words.size() == 3 || words.size() == 4) &&
                   (words[0] == u"dynamic" || words[0] == u"static")) {
            addHost(words[0] == u"dynamic" ? SimulatedKind::Dynamic : SimulatedKind::Static,
                    words[1], words[2], words.size() == 4 && words[3] == u"wildcard");
        } else {
            *error =
                QStringLiteral("%1:%2: cannot read \"%3\"").arg(path).arg(lineNumber).arg(line);
            return false;
        }
    }
    return true;
}

SimulatedHost *SimulatedAccount::findHost(const QString &idText)
{
    bool ok = false;
    const int id = idText.toInt(&ok);
    for (SimulatedHost &host : m_hosts) {
        if (ok && host.id == id)
            return &host;
    }
    return nullptr;
}

SimulatedAnswer SimulatedAccount::applyChange(SimulatedKind pathKind,
                                              const QList<QPair<QString, QString>> &query)
{
    const auto value = [&query](const char *key) {
        return valueOf(query, QString::fromLatin1(key));
    };
    const QString action = value("action");

    if (action == u"add") {
        const QString name = value("host");
        const QString domain = value("domain");
        if (name.isEmpty() || domain.isEmpty())
            return refusal(QStringLiteral("A host needs a name and a domain."));
        SimulatedHost host;
        host.id = m_nextId++;
        host.name = name + u'.' + domain;
        host.kind = pathKind;
        host.ipAddress = value("myip");
        host.wildcard = value("wildcard") == u"on";
        host.backupMx = value("backmx") == u"yes";
        m_hosts.append(host);
        return report(QStringLiteral("Zonara - host added"), host, QStringLiteral("was added"));
    }

    SimulatedHost *host = findHost(value("host_id"));
    if (!host)
        return refusal(QStringLiteral("No such host: %1").arg(value("host_id")));
    if (action == u"convert") {
        if (pathKind != SimulatedKind::Static || host->kind != SimulatedKind::Dynamic)
            return refusal(QStringLiteral("%1 is not a dynamic host.").arg(host->name));
        host->kind = SimulatedKind::Static;
        return report(QStringLiteral("Zonara - host converted"), *host,
                      QStringLiteral("is now a static host"));
    }
    if (host->kind != pathKind) {
        return refusal(QStringLiteral("%1 is not a %2 host.")
                           .arg(host->name, pathKind == SimulatedKind::Dynamic
                                                ? QStringLiteral("dynamic")
                                                : QStringLiteral("static")));
    }
    if (action == u"edit") {
        host->ipAddress = value("myip");
        host->wildcard = value("wildcard") == u"on";
        host->backupMx = value("backmx") == u"yes";
        return report(QStringLiteral("Zonara - host updated"), *host,
                      QStringLiteral("was updated"));
    }
    if (action == u"Delete") {
        const SimulatedHost removed = *host;
        m_hosts.removeIf([&removed](const SimulatedHost &each) { return each.id == removed.id; });
        return report(QStringLiteral("Zonara - host deleted"), removed,
                      QStringLiteral("was deleted"));
    }
    return refusal(QStringLiteral("Unknown action: %1").arg(action));
}

} // namespace zonara::simulator
