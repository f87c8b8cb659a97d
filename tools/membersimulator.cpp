#include "membersimulator.h"

#include <httplib.h>
#include <zlib.h>

#include <QFile>
#include <QSet>
#include <QTextStream>
#include <QUrl>
#include <QUuid>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>

namespace zonara::simulator {

namespace {

using namespace std::chrono_literals;

constexpr auto Realm = "Zonara members";

// Pages go out uncompressed, as the member service sends them. cpp-httplib compresses every
// "text/..." answer for a client that accepts it, with brotli at its slowest setting when the
// client offers "br", as Qt does; the media type's letter case (which HTTP ignores) keeps it
// from matching.
constexpr auto HtmlType = "Text/html; charset=utf-8";

std::string utf8(const QString &text)
{
    return text.toStdString();
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// The member service's answer to a change: a title and a preformatted result.
std::string answerPage(const QString &title, const QString &result)
{
    return utf8(QStringLiteral("<html>\n<head>\n<title>%1</title>\n</head>\n"
                               "<body bgcolor=\"#ffffff\">\n<h2>%1</h2>\n<pre>%2</pre>\n"
                               "<p><a href=\"/nic/zonara\">Back to your hosts</a></p>\n"
                               "</body>\n</html>\n")
                    .arg(escaped(title), escaped(result)));
}

std::string refusalPage()
{
    return "<html>\n<head>\n<title>401 Authorization Required</title>\n</head>\n<body>\n"
           "<h1>Authorization Required</h1>\n<p>This server could not verify that you are "
           "authorized to access the document requested.</p>\n</body>\n</html>\n";
}

std::string listingPage(SimulatedKind kind, const QList<SimulatedHost> &hosts)
{
    const bool dynamic = kind == SimulatedKind::Dynamic;
    QString page =
        QStringLiteral("<html>\n<head>\n  <title>Zonara members - %1 hosts</title>\n"
                       "  <meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
                       "</head>\n<body bgcolor=\"#ffffff\">\n<h1>Your %1 hosts</h1>\n"
                       "<p>Choose a host and an action.</p>\n"
                       "<form action=\"%2\" method=\"get\">\n<table border=0 cellpadding=2>\n"
                       "  <tr><th></th><th>Host</th></tr>\n")
            .arg(dynamic ? QStringLiteral("dynamic") : QStringLiteral("static"),
                 dynamic ? QStringLiteral("/nic/zonara") : QStringLiteral("/nic/statdns"));
    for (const SimulatedHost &host : hosts) {
        if (host.kind != kind)
            continue;
        page += QStringLiteral("  <tr>\n    <td><input type=\"radio\" name=\"host_id\" "
                               "value=\"%1\"></td>\n    <td>%2</td>\n  </tr>\n")
                    .arg(host.id)
                    .arg(escaped(host.name));
        page += QStringLiteral("  <tr><td></td><td><font size=-1>IP address: %1</font></td></tr>\n")
                    .arg(escaped(host.ipAddress));
        page += QStringLiteral("  <tr><td></td><td><font size=-1>Wildcard: %1, backup MX: %2"
                               "</font></td></tr>\n")
                    .arg(host.wildcard ? QStringLiteral("on") : QStringLiteral("off"),
                         host.backupMx ? QStringLiteral("yes") : QStringLiteral("no"));
    }
    page += QStringLiteral("</table>\n<input type=\"submit\" value=\"Edit\">\n</form>\n"
                           "<p><font size=-2>Zonara DNS services</font></p>\n</body>\n</html>\n");
    return utf8(page);
}

// A gzip stream of 64 MiB of zeros: about 65 KB on the wire.
std::string gzipBomb()
{
    z_stream stream{};
    // 15 window bits, plus 16 for a gzip header and trailer.
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 15 + 16, 9, Z_DEFAULT_STRATEGY) !=
        Z_OK)
        return {};
    std::string zeros(1024 * 1024, '\0');
    std::string out;
    char buffer[64 * 1024];
    constexpr int Megabytes = 64;
    for (int megabyte = 0; megabyte < Megabytes; ++megabyte) {
        stream.next_in = reinterpret_cast<Bytef *>(zeros.data());
        stream.avail_in = static_cast<uInt>(zeros.size());
        const int flush = megabyte == Megabytes - 1 ? Z_FINISH : Z_NO_FLUSH;
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer);
            stream.avail_out = sizeof buffer;
            deflate(&stream, flush);
            out.append(buffer, sizeof buffer - stream.avail_out);
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    return out;
}

// The start of a gzip stream, and an empty stored deflate block: bytes that decode to nothing.
constexpr char GzipHeader[] = {'\x1f', '\x8b', '\x08', 0, 0, 0, 0, 0, 0, '\xff'};
constexpr char EmptyStoredBlock[] = {0, 0, 0, '\xff', '\xff'};

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
    std::condition_variable stopped;
    std::atomic<bool> stopping{false};

    QString user = QStringLiteral("demo");
    QString password = QStringLiteral("demo");
    QList<SimulatedHost> hosts;
    int nextId = 101;
    std::atomic<int> redirects{0};
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
    bool serveFault(const LoggedRequest &request, httplib::Response &response);
    void applyChange(SimulatedKind pathKind, const LoggedRequest &request,
                     httplib::Response &response);
    SimulatedHost *findHost(const QString &idText);
    void waitForStop(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex);
        stopped.wait_for(lock, timeout, [this] { return stopping.load(); });
    }
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
                logged.user = user;
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
        if (colon >= 0 && pair.left(colon) == user && pair.mid(colon + 1) == password) {
            logged.user = user;
            logged.authenticated = true;
        }
    }
    return logged;
}

SimulatedHost *MemberSimulator::Private::findHost(const QString &idText)
{
    bool ok = false;
    const int id = idText.toInt(&ok);
    for (SimulatedHost &host : hosts) {
        if (ok && host.id == id)
            return &host;
    }
    return nullptr;
}

bool MemberSimulator::Private::serveFault(const LoggedRequest &request, httplib::Response &response)
{
    switch (fault) {
    case Fault::None:
    case Fault::Redirect:      // served before the credentials are looked at
    case Fault::SessionCookie: // decides who is authenticated
        return false;
    case Fault::Hang:
        waitForStop(10min);
        response.status = 503;
        return true;
    case Fault::CloseMidAnswer:
        response.set_content_provider(
            100000, "text/html", [](size_t offset, size_t, httplib::DataSink &sink) {
                if (offset > 0)
                    return false; // drops the connection with most of the page unsent
                const std::string part = "<html><body><table><tr><td>half a page";
                sink.write(part.data(), part.size());
                return true;
            });
        return true;
    case Fault::EmptyServerError:
        response.status = 500;
        return true;
    case Fault::Oversized:
        response.set_content_provider(17u * 1024 * 1024, "text/html",
                                      [](size_t offset, size_t length, httplib::DataSink &sink) {
                                          const std::string chunk(
                                              std::min<size_t>(length, 64 * 1024), 'x');
                                          (void)offset;
                                          sink.write(chunk.data(), chunk.size());
                                          return true;
                                      });
        return true;
    case Fault::RedirectLoop:
        response.status = 302;
        response.set_header("Location", "/nic/zonara?redirect=" + std::to_string(++redirects));
        return true;
    case Fault::Trickle:
        // Bytes keep coming, yet the page never gets a character longer.
        response.set_header("Content-Encoding", "gzip");
        response.set_chunked_content_provider(
            HtmlType, [this](size_t offset, httplib::DataSink &sink) {
                if (offset == 0)
                    sink.write(GzipHeader, sizeof GzipHeader);
                waitForStop(20ms);
                sink.write(EmptyStoredBlock, sizeof EmptyStoredBlock);
                return !stopping;
            });
        return true;
    case Fault::HeadersThenNothing:
        response.set_content_provider(100000, HtmlType,
                                      [this](size_t, size_t, httplib::DataSink &) {
                                          waitForStop(10min);
                                          return false;
                                      });
        return true;
    case Fault::SlowButSteady: {
        std::unique_lock lock(mutex);
        const auto page = std::make_shared<std::string>(
            listingPage(kindOfPath(request.path).value_or(SimulatedKind::Dynamic), hosts));
        lock.unlock();
        response.set_content_provider(
            page->size(), HtmlType,
            [this, page](size_t offset, size_t length, httplib::DataSink &sink) {
                if (offset > 0)
                    waitForStop(300ms);
                sink.write(page->data() + offset, std::min<size_t>(length, 256));
                return !stopping;
            });
        return true;
    }
    case Fault::GzipBomb: {
        static const std::string bomb = gzipBomb();
        response.set_header("Content-Encoding", "gzip");
        response.set_content(bomb, HtmlType);
        return true;
    }
    case Fault::DeepNesting: {
        std::string page;
        page.reserve(6'000'000);
        for (int i = 0; i < 1'000'000; ++i)
            page += "<div>";
        response.set_content(page, HtmlType);
        return true;
    }
    case Fault::HugePage: {
        std::string page = "<html><body><table>\n";
        const std::string row = "  <tr><td><input type=radio name=other value=1></td>"
                                "<td>not a host</td></tr>\n";
        while (page.size() + row.size() < 15u * 1024 * 1024)
            page += row;
        response.set_content(page, HtmlType);
        return true;
    }
    }
    return false;
}

void MemberSimulator::Private::applyChange(SimulatedKind pathKind, const LoggedRequest &request,
                                           httplib::Response &response)
{
    const QString action = request.value(QStringLiteral("action"));
    const auto refuse = [&response](const QString &reason) {
        response.set_content(answerPage(QStringLiteral("Zonara - error"), reason), HtmlType);
    };
    const auto report = [&response](const QString &title, const SimulatedHost &host,
                                    const QString &what) {
        response.set_content(
            answerPage(title,
                       QStringLiteral("%1 %2.\nIP address: %3\nWildcard: %4\nBackup MX: %5")
                           .arg(host.name, what, host.ipAddress,
                                host.wildcard ? QStringLiteral("on") : QStringLiteral("off"),
                                host.backupMx ? QStringLiteral("yes") : QStringLiteral("no"))),
            HtmlType);
    };

    if (action == u"add") {
        const QString name = request.value(QStringLiteral("host"));
        const QString domain = request.value(QStringLiteral("domain"));
        if (name.isEmpty() || domain.isEmpty()) {
            refuse(QStringLiteral("A host needs a name and a domain."));
            return;
        }
        SimulatedHost host;
        host.id = nextId++;
        host.name = name + u'.' + domain;
        host.kind = pathKind;
        host.ipAddress = request.value(QStringLiteral("myip"));
        host.wildcard = request.value(QStringLiteral("wildcard")) == u"on";
        host.backupMx = request.value(QStringLiteral("backmx")) == u"yes";
        hosts.append(host);
        report(QStringLiteral("Zonara - host added"), host, QStringLiteral("was added"));
        return;
    }

    SimulatedHost *host = findHost(request.value(QStringLiteral("host_id")));
    if (!host) {
        refuse(QStringLiteral("No such host: %1").arg(request.value(QStringLiteral("host_id"))));
        return;
    }
    if (action == u"convert") {
        if (pathKind != SimulatedKind::Static || host->kind != SimulatedKind::Dynamic) {
            refuse(QStringLiteral("%1 is not a dynamic host.").arg(host->name));
            return;
        }
        host->kind = SimulatedKind::Static;
        report(QStringLiteral("Zonara - host converted"), *host,
               QStringLiteral("is now a static host"));
        return;
    }
    if (host->kind != pathKind) {
        refuse(QStringLiteral("%1 is not a %2 host.")
                   .arg(host->name, pathKind == SimulatedKind::Dynamic ? QStringLiteral("dynamic")
                                                                       : QStringLiteral("static")));
        return;
    }
    if (action == u"edit") {
        host->ipAddress = request.value(QStringLiteral("myip"));
        host->wildcard = request.value(QStringLiteral("wildcard")) == u"on";
        host->backupMx = request.value(QStringLiteral("backmx")) == u"yes";
        report(QStringLiteral("Zonara - host updated"), *host, QStringLiteral("was updated"));
        return;
    }
    if (action == u"Delete") {
        const SimulatedHost removed = *host;
        hosts.removeIf([&removed](const SimulatedHost &each) { return each.id == removed.id; });
        report(QStringLiteral("Zonara - host deleted"), removed, QStringLiteral("was deleted"));
        return;
    }
    refuse(QStringLiteral("Unknown action: %1").arg(action));
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
            response.set_content("<html><head><title>Not found</title></head></html>\n", HtmlType);
            return;
        }
        response.set_content(announcement.toStdString(), announcementType.toStdString());
        return;
    }

    const std::optional<SimulatedKind> pathKind = kindOfPath(logged.path);
    if (!pathKind) {
        response.status = 404;
        response.set_content(answerPage(QStringLiteral("Zonara - not found"),
                                        QStringLiteral("No such page: %1").arg(logged.path)),
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
        lock.unlock();
        serveFault(logged, response);
        return;
    }
    if (logged.query.isEmpty())
        response.set_content(listingPage(*pathKind, hosts), HtmlType);
    else
        applyChange(*pathKind, logged, response);
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
    d->user = user;
    d->password = password;
}

int MemberSimulator::addHost(SimulatedKind kind, const QString &name, const QString &ipAddress,
                             bool wildcard)
{
    std::lock_guard lock(d->mutex);
    SimulatedHost host;
    host.id = d->nextId++;
    host.kind = kind;
    host.name = name;
    host.ipAddress = ipAddress;
    host.wildcard = wildcard;
    host.backupMx = true;
    d->hosts.append(host);
    return host.id;
}

QList<SimulatedHost> MemberSimulator::hosts() const
{
    std::lock_guard lock(d->mutex);
    return d->hosts;
}

bool MemberSimulator::loadAccountFile(const QString &path, QString *error)
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
            std::lock_guard lock(d->mutex);
            d->user = words[1];
        } else if (words.size() == 2 && words[0] == u"password") {
            std::lock_guard lock(d->mutex);
            d->password = words[1];
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
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    d->stopped.notify_all();
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
