#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkProxy>

namespace zonara {

// A proxy as curl takes it: an address, and a user name and password when the desktop gives
// them. An empty address means a direct connection.
struct CurlProxy
{
    QByteArray address;
    QByteArray userName;
    QByteArray password;
};

// The first of the desktop's `proxies` (in their order of preference) that can carry a request
// of `scheme`: an HTTP proxy (which tunnels https with CONNECT), a caching HTTP proxy for http
// only, or SOCKS 5 (names resolved by the proxy). None, or no usable one, is a direct connection.
CurlProxy curlProxyFor(const QList<QNetworkProxy> &proxies, const QString &scheme);

} // namespace zonara
