#pragma once

#include "faultmodes.h"
#include "simulatedaccount.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <functional>
#include <memory>

namespace zonara::simulator {

// One request as the simulator received it.
struct LoggedRequest
{
    QString method;
    QString target; // as sent: origin form, or absolute form through a proxy
    QString path;   // the path alone, host and query cut off
    QString user;   // the user name of valid credentials; empty when refused
    bool authenticated = false;
    QList<QPair<QString, QString>> query; // ";"-separated keys and values, percent-decoded

    QString value(const QString &key) const;
};

// Plays the provider's member service and the publisher's announcement page on loopback: HTTP
// Basic auth, the two listing pages in the provider's markup, the four change requests applied
// to an in-memory account, and a log of every request. Accepts requests in proxy form
// ("GET http://members.zonara.example/nic/zonara"), so the real program reaches it through
// http_proxy. Thread-safe: the server runs on threads of its own.
class MemberSimulator final
{
public:
    MemberSimulator();
    ~MemberSimulator();
    MemberSimulator(const MemberSimulator &) = delete;
    MemberSimulator &operator=(const MemberSimulator &) = delete;

    void setAccount(const QString &user, const QString &password);
    int addHost(SimulatedKind kind, const QString &name, const QString &ipAddress,
                bool wildcard = false);
    QList<SimulatedHost> hosts() const;
    // Reads "user NAME", "password TEXT" and "dynamic|static NAME IP [wildcard]" lines.
    bool loadAccountFile(const QString &path, QString *error);

    // The announcement page, served at ANNOUNCEMENT_PATH; none (404) until set.
    void setAnnouncement(const QByteArray &body, const QByteArray &contentType = "text/plain");
    void setFault(Fault fault);
    // For Fault::Redirect: the status (301, 302, 307 or 308) and the scheme, host and port the
    // member pages moved to, as in "https://127.0.0.1:4443": "/nic/zonara?x" is sent on to
    // "https://127.0.0.1:4443/moved/nic/zonara?x", which any simulator serves as "/nic/zonara?x".
    void setRedirect(int status, const QString &targetBase);
    // Serves HTTPS instead of HTTP from start() on, with these PEM files.
    void setTls(const QString &certificateFile, const QString &keyFile);

    // Listens on `address`, on `port` or an ephemeral one when 0. Returns the port, or -1.
    int start(const QString &address = QStringLiteral("127.0.0.1"), int port = 0);
    void stop();
    int port() const;

    // "127.0.0.1:PORT": the member host to build request addresses with.
    QString memberHost() const;
    // "http" or "https".
    QString scheme() const;
    QString announcementAddress() const;

    QList<LoggedRequest> requestLog() const;
    void clearLog();
    // Called on a server thread for every request, after it is logged.
    void setRequestObserver(std::function<void(const LoggedRequest &)> observer);

    static constexpr const char *AnnouncementPath = "/zonara/version.txt";

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace zonara::simulator
