#include "membersimulator.h"

#include "simulatedfaults.h"
#include "simulatedpages.h"

#include <httplib.h>

#include <QSet>
#include <QUrl>
#include <QUuid>

#include <chrono>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

namespace zonara::simulator {

namespace {

using namespace std::chrono_literals;

constexpr auto Realm = "Zonara members";

std::string utf8(const QString &text)
{
    return text.toStdString();
}

// Where Fault::Redirect moves the member pages, below the target's scheme, host and port.
constexpr auto MovedPrefix = "/moved";

std::optional<SimulatedKind> kindOfPath(QString path)
{
    if (path.startsWith(QLatin1StringView(MovedPrefix)))
        path.remove(0, qsizetype(std::strlen(MovedPrefix)));
    if (path == u"/nic/zonara")
        return SimulatedKind::Dynamic;
    if (path == u"/nic/statdns")
        return SimulatedKind::Static;
    return std::nullopt;
}

} // namespace

QString LoggedRequest::value(const QString &key) const
{
    for (const auto &[name, text] : query) {
        if (name == key)
            return text;
    }
    return {};
}

struct MemberSimulator::Private
{
    mutable std::mutex mutex;
    SimulatedAccount account;
    FaultPages faults;
    QByteArray announcement;
    QByteArray announcementType;
    bool hasAnnouncement = false;
    Fault fault = Fault::None;
    int redirectStatus = 301;
    std::string redirectBase;
    QSet<QString> sessions;
    QString certificateFile;
    QString keyFile;
    QList<LoggedRequest> log;
    std::function<void(const LoggedRequest &)> observer;

    std::unique_ptr<httplib::Server> server;
    std::thread thread;
    int port = -1;

    void handle(const httplib::Request &request, httplib::Response &response);
    LoggedRequest describe(const httplib::Request &request) const;
};

LoggedRequest MemberSimulator::Private::describe(const httplib::Request &request) const
{
    LoggedRequest logged;
    logged.method = QString::fromStdString(request.method);
    logged.target = QString::fromStdString(request.target);

    QString target = logged.target;
    // Through a proxy the target names scheme and host as well.
    if (target.startsWith(u"http://") || target.startsWith(u"https://")) {
        const qsizetype pathStart = target.indexOf(u'/', target.indexOf(u"//") + 2);
        target = pathStart < 0 ? QStringLiteral("/") : target.mid(pathStart);
    }
    const qsizetype queryStart = target.indexOf(u'?');
    logged.path = QUrl::fromPercentEncoding(target.left(queryStart).toUtf8());
    if (queryStart >= 0) {
        const QString query = target.mid(queryStart + 1);
        for (const QString &pair : query.split(u';', Qt::SkipEmptyParts)) {
            const qsizetype equals = pair.indexOf(u'=');
            const QString key = pair.left(equals);
            const QString value = equals < 0 ? QString() : pair.mid(equals + 1);
            logged.query.append({QUrl::fromPercentEncoding(key.toUtf8()),
                                 QUrl::fromPercentEncoding(value.toUtf8())});
        }
    }

    if (fault == Fault::SessionCookie) {
        for (const QByteArray &cookie :
             QByteArray::fromStdString(request.get_header_value("Cookie")).split(';')) {
            const QByteArray pair = cookie.trimmed();
            if (pair.startsWith("session=") &&
                sessions.contains(QString::fromLatin1(pair.mid(8)))) {
                logged.user = account.user();
                logged.authenticated = true;
                return logged;
            }
        }
    }
    const std::string authorization = request.get_header_value("Authorization");
    if (authorization.rfind("Basic ", 0) == 0) {
        const QString pair = QString::fromUtf8(
            QByteArray::fromBase64(QByteArray::fromStdString(authorization.substr(6))));
        const qsizetype colon = pair.indexOf(u':');
        if (colon >= 0 && account.accepts(pair.left(colon), pair.mid(colon + 1))) {
            logged.user = account.user();
            logged.authenticated = true;
        }
    }
    return logged;
}

void MemberSimulator::Private::handle(const httplib::Request &request, httplib::Response &response)
{
    std::unique_lock lock(mutex);
    const LoggedRequest logged = describe(request);
    log.append(logged);
    if (observer)
        observer(logged);

    if (logged.path == QLatin1StringView(AnnouncementPath)) {
        if (!hasAnnouncement) {
            response.status = 404;
            response.set_content(missingAnnouncementPage(), HtmlType);
            return;
        }
        response.set_content(announcement.toStdString(), announcementType.toStdString());
        return;
    }

    const std::optional<SimulatedKind> pathKind = kindOfPath(logged.path);
    if (!pathKind) {
        response.status = 404;
        response.set_content(answerPage({QStringLiteral("Zonara - not found"),
                                         QStringLiteral("No such page: %1").arg(logged.path)}),
                             HtmlType);
        return;
    }
    if (fault == Fault::Redirect && !logged.path.startsWith(QLatin1StringView(MovedPrefix))) {
        // Before looking at credentials, as a server that moved does.
        response.status = redirectStatus;
        // A proxy's absolute target carries scheme and host; the path and query follow them.
        const qsizetype pathStart =
            logged.target.startsWith(u'/')
                ? 0
                : logged.target.indexOf(u'/', logged.target.indexOf(u"//") + 2);
        response.set_header("Location", redirectBase + MovedPrefix +
                                            (pathStart < 0 ? std::string("/")
                                                           : utf8(logged.target.mid(pathStart))));
        return;
    }
    if (!logged.authenticated) {
        response.status = 401;
        response.set_header("WWW-Authenticate", std::string("Basic realm=\"") + Realm + '"');
        response.set_content(refusalPage(), HtmlType);
        return;
    }
    if (fault == Fault::SessionCookie && !request.has_header("Cookie")) {
        const QString session = QUuid::createUuid().toString(QUuid::WithoutBraces);
        sessions.insert(session);
        response.set_header("Set-Cookie", "session=" + utf8(session) + "; Path=/; HttpOnly");
    }
    if (fault != Fault::None && fault != Fault::SessionCookie && fault != Fault::Redirect) {
        const Fault serving = fault;
        lock.unlock();
        faults.serve(
            serving,
            [this, kind = *pathKind] {
                const std::lock_guard listingLock(mutex);
                return listingPage(kind, account.hosts());
            },
            response);
        return;
    }
    if (logged.query.isEmpty())
        response.set_content(listingPage(*pathKind, account.hosts()), HtmlType);
    else
        response.set_content(answerPage(account.applyChange(*pathKind, logged.query)), HtmlType);
}

MemberSimulator::MemberSimulator()
    : d(std::make_unique<Private>())
{}

MemberSimulator::~MemberSimulator()
{
    stop();
}

void MemberSimulator::setAccount(const QString &user, const QString &password)
{
    std::lock_guard lock(d->mutex);
    d->account.setCredentials(user, password);
}

int MemberSimulator::addHost(SimulatedKind kind, const QString &name, const QString &ipAddress,
                             bool wildcard)
{
    std::lock_guard lock(d->mutex);
    return d->account.addHost(kind, name, ipAddress, wildcard);
}

QList<SimulatedHost> MemberSimulator::hosts() const
{
    std::lock_guard lock(d->mutex);
    return d->account.hosts();
}

bool MemberSimulator::loadAccountFile(const QString &path, QString *error)
{
    std::lock_guard lock(d->mutex);
    return d->account.loadFile(path, error);
}

void MemberSimulator::setAnnouncement(const QByteArray &body, const QByteArray &contentType)
{
    std::lock_guard lock(d->mutex);
    d->announcement = body;
    d->announcementType = contentType;
    d->hasAnnouncement = true;
}

void MemberSimulator::setFault(Fault fault)
{
    std::lock_guard lock(d->mutex);
    d->fault = fault;
}

void MemberSimulator::setRedirect(int status, const QString &targetBase)
{
    std::lock_guard lock(d->mutex);
    d->redirectStatus = status;
    d->redirectBase = utf8(targetBase);
}

void MemberSimulator::setTls(const QString &certificateFile, const QString &keyFile)
{
    std::lock_guard lock(d->mutex);
    d->certificateFile = certificateFile;
    d->keyFile = keyFile;
}

int MemberSimulator::start(const QString &address, int port)
{
    if (d->certificateFile.isEmpty()) {
        d->server = std::make_unique<httplib::Server>();
    } else {
        auto tls = std::make_unique<httplib::SSLServer>(
            d->certificateFile.toLocal8Bit().constData(), d->keyFile.toLocal8Bit().constData());
        if (!tls->is_valid())
            return -1;
        d->server = std::move(tls);
    }
    d->server->Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
        d->handle(request, response);
    });
    d->server->set_keep_alive_max_count(100);
    // Small answers go out at once, as from real servers, instead of waiting for the
    // client's delayed acknowledgement of the previous segment.
    d->server->set_tcp_nodelay(true);

    const std::string host = utf8(address);
    if (port == 0)
        d->port = d->server->bind_to_any_port(host);
    else
        d->port = d->server->bind_to_port(host, port) ? port : -1;
    if (d->port < 0)
        return -1;
    d->thread = std::thread([this] { d->server->listen_after_bind(); });
    // stop() only reaches a server that is already accepting.
    while (!d->server->is_running())
        std::this_thread::sleep_for(1ms);
    return d->port;
}

void MemberSimulator::stop()
{
    d->faults.stop();
    if (d->thread.joinable()) {
        d->server->stop();
        d->thread.join();
    }
}

int MemberSimulator::port() const
{
    return d->port;
}

QString MemberSimulator::memberHost() const
{
    return QStringLiteral("127.0.0.1:%1").arg(d->port);
}

QString MemberSimulator::scheme() const
{
    return d->certificateFile.isEmpty() ? QStringLiteral("http") : QStringLiteral("https");
}

QString MemberSimulator::announcementAddress() const
{
    return QStringLiteral("%1://%2%3")
        .arg(scheme(), memberHost(), QLatin1StringView(AnnouncementPath));
}

QList<LoggedRequest> MemberSimulator::requestLog() const
{
    std::lock_guard lock(d->mutex);
    return d->log;
}

void MemberSimulator::clearLog()
{
    std::lock_guard lock(d->mutex);
    d->log.clear();
}

void MemberSimulator::setRequestObserver(std::function<void(const LoggedRequest &)> observer)
{
    std::lock_guard lock(d->mutex);
    d->observer = std::move(observer);
}

} // namespace zonara::simulator
