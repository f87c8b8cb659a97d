#include "curlproxy.h"

#include <QUrl>

namespace zonara {

CurlProxy curlProxyFor(const QList<QNetworkProxy> &proxies, const QString &scheme)
{
    for (const QNetworkProxy &proxy : proxies) {
        QString proxyScheme;
        switch (proxy.type()) {
        case QNetworkProxy::NoProxy:
            return {};
        case QNetworkProxy::HttpProxy:
            proxyScheme = QStringLiteral("http");
            break;
        case QNetworkProxy::HttpCachingProxy:
            if (scheme != u"http")
                continue;
            proxyScheme = QStringLiteral("http");
            break;
        case QNetworkProxy::Socks5Proxy:
            proxyScheme = QStringLiteral("socks5h");
            break;
        default:
            continue;
        }
        if (proxy.hostName().isEmpty())
            continue;
        QUrl address;
        address.setScheme(proxyScheme);
        address.setHost(proxy.hostName());
        address.setPort(proxy.port());
        return {address.toEncoded(), proxy.user().toUtf8(), proxy.password().toUtf8()};
    }
    return {};
}

} // namespace zonara
