#include "addresspolicy.h"

namespace zonara {

namespace {

int defaultPort(const QString &scheme)
{
    return scheme == u"https" ? 443 : 80;
}

} // namespace

bool followsWithCredentials(const QUrl &from, const QUrl &to)
{
    const QString fromScheme = from.scheme().toLower();
    const QString toScheme = to.scheme().toLower();
    if (to.host().isEmpty() || to.host().compare(from.host(), Qt::CaseInsensitive) != 0 ||
        !to.userInfo().isEmpty())
        return false;
    if (fromScheme == toScheme)
        return (toScheme == u"http" || toScheme == u"https") &&
               to.port(defaultPort(toScheme)) == from.port(defaultPort(fromScheme));
    // A move to TLS on the same host is followed whatever its port: the certificate then proves
    // the host, and a service (or a test on loopback) need not keep HTTPS on port 443.
    return fromScheme == u"http" && toScheme == u"https";
}

QString withoutPassword(const QString &address)
{
    const qsizetype authority = address.indexOf(QLatin1StringView("//"));
    if (authority < 0)
        return address;
    // The member requests percent-encode ":" and "@" in the credentials, but an address from
    // anywhere else may hold them as they are: everything from the first ":" to the last "@"
    // goes, which at worst hides more than the password.
    const qsizetype colon = address.indexOf(u':', authority + 2);
    const qsizetype at = address.lastIndexOf(u'@');
    if (colon < 0 || at < colon)
        return address;
    return address.left(colon) + address.mid(at);
}

} // namespace zonara
