#include "oneshotreply.h"

#include <QNetworkCookie>
#include <QNetworkCookieJar>
#include <QNetworkProxyFactory>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QSslSocket>

#include <algorithm>
#include <cstring>
#include <optional>

namespace zonara {

namespace {

// What the socket holds before the reply takes it: the page loader's size limit is checked as
// the reply hands the bytes on, so a fast server never fills memory beyond this first.
constexpr qint64 SocketBufferSize = 1024 * 1024;

// Qt's error codes for an HTTP status, in the ranges the access manager uses.
QNetworkReply::NetworkError statusError(int status)
{
    switch (status) {
    case 401:
        return QNetworkReply::AuthenticationRequiredError;
    case 403:
        return QNetworkReply::ContentAccessDenied;
    case 404:
        return QNetworkReply::ContentNotFoundError;
    case 407:
        return QNetworkReply::ProxyAuthenticationRequiredError;
    case 500:
        return QNetworkReply::InternalServerError;
    case 503:
        return QNetworkReply::ServiceUnavailableError;
    default:
        if (status >= 500)
            return QNetworkReply::UnknownServerError;
        return status >= 400 ? QNetworkReply::UnknownContentError : QNetworkReply::NoError;
    }
}

QNetworkReply::NetworkError socketError(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError:
        return QNetworkReply::ConnectionRefusedError;
    case QAbstractSocket::RemoteHostClosedError:
        return QNetworkReply::RemoteHostClosedError;
    case QAbstractSocket::HostNotFoundError:
        return QNetworkReply::HostNotFoundError;
    case QAbstractSocket::SocketTimeoutError:
        return QNetworkReply::TimeoutError;
    case QAbstractSocket::SslHandshakeFailedError:
        return QNetworkReply::SslHandshakeFailedError;
    case QAbstractSocket::ProxyConnectionRefusedError:
        return QNetworkReply::ProxyConnectionRefusedError;
    case QAbstractSocket::ProxyConnectionClosedError:
        return QNetworkReply::ProxyConnectionClosedError;
    case QAbstractSocket::ProxyNotFoundError:
        return QNetworkReply::ProxyNotFoundError;
    case QAbstractSocket::ProxyConnectionTimeoutError:
        return QNetworkReply::ProxyTimeoutError;
    case QAbstractSocket::ProxyAuthenticationRequiredError:
        return QNetworkReply::ProxyAuthenticationRequiredError;
    case QAbstractSocket::ProxyProtocolError:
        return QNetworkReply::UnknownProxyError;
    default:
        return QNetworkReply::UnknownNetworkError;
    }
}

bool isTls(const QUrl &url)
{
    return url.scheme().compare(QLatin1StringView("https"), Qt::CaseInsensitive) == 0;
}

} // namespace

OneShotReply::OneShotReply(const QNetworkRequest &request, QNetworkCookieJar *jar, QObject *parent)
    : QNetworkReply(parent)
    , m_socket(new QSslSocket(this))
    , m_jar(jar)
{
    setRequest(request);
    setUrl(request.url());
    setOperation(QNetworkAccessManager::GetOperation);
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    m_socket->setReadBufferSize(SocketBufferSize);
    connect(m_socket, &QSslSocket::readyRead, this, &OneShotReply::onReadyRead);
    connect(m_socket, &QSslSocket::disconnected, this, &OneShotReply::onDisconnected);
    connect(m_socket, &QSslSocket::errorOccurred, this, &OneShotReply::onSocketError);
    QMetaObject::invokeMethod(this, &OneShotReply::start, Qt::QueuedConnection);
}

void OneShotReply::start()
{
    if (m_ended)
        return;
    const QUrl target = url();
    const bool tls = isTls(target);
    // As the access manager does: the first proxy the system (or the program) names for this
    // address that can carry it.
    std::optional<QNetworkProxy> chosen;
    bool absolute = false;
    for (const QNetworkProxy &proxy :
         QNetworkProxyFactory::proxyForQuery(QNetworkProxyQuery(target))) {
        switch (proxy.type()) {
        case QNetworkProxy::NoProxy:
        case QNetworkProxy::DefaultProxy:
            chosen = QNetworkProxy(QNetworkProxy::NoProxy);
            break;
        case QNetworkProxy::Socks5Proxy:
            chosen = proxy;
            break;
        case QNetworkProxy::HttpProxy:
            // HTTPS goes through a tunnel (CONNECT); plain HTTP asks the proxy for the address.
            chosen = proxy;
            absolute = !tls;
            break;
        case QNetworkProxy::HttpCachingProxy:
            if (!tls) {
                chosen = proxy;
                absolute = true;
            }
            break;
        default:
            break;
        }
        if (chosen)
            break;
    }
    if (!chosen) {
        finish(ProxyNotFoundError, tr("No suitable proxy found"));
        return;
    }

    const QByteArray bytes = requestBytes(absolute, *chosen);
    const auto send = [this, bytes] {
        m_socket->write(bytes);
    };
    if (absolute) {
        m_socket->setProxy(QNetworkProxy::NoProxy);
        connect(m_socket, &QSslSocket::connected, this, send);
        m_socket->connectToHost(chosen->hostName(), chosen->port());
        return;
    }
    m_socket->setProxy(*chosen);
    const auto port = quint16(target.port(tls ? 443 : 80));
    if (tls) {
        m_socket->setSslConfiguration(request().sslConfiguration());
        connect(m_socket, &QSslSocket::encrypted, this, send);
        m_socket->connectToHostEncrypted(target.host(), port);
    } else {
        connect(m_socket, &QSslSocket::connected, this, send);
        m_socket->connectToHost(target.host(), port);
    }
}

QByteArray OneShotReply::requestBytes(bool absolute, const QNetworkProxy &proxy) const
{
    // The target as the access manager writes it.
    QUrl target = url();
    QUrl::FormattingOptions format =
        QUrl::RemoveFragment | QUrl::RemoveUserInfo | QUrl::FullyEncoded;
    if (!absolute)
        format |= QUrl::RemoveScheme | QUrl::RemoveAuthority;
    if (target.path().isEmpty())
        target.setPath(QStringLiteral("/"));
    else
        format |= QUrl::NormalizePathSegments;
    QByteArray host = target.host(QUrl::FullyEncoded).toLatin1();
    if (host.contains(':'))
        host = '[' + host + ']';
    if (target.port() != -1)
        host += ':' + QByteArray::number(target.port());

    QByteArray bytes = "GET " + target.toEncoded(format) + " HTTP/1.1\r\nHost: " + host + "\r\n";
    const QNetworkRequest &sent = request();
    for (const QByteArray &name : sent.rawHeaderList())
        bytes += name + ": " + sent.rawHeader(name) + "\r\n";
    if (m_jar && !sent.hasRawHeader("Cookie")) {
        QByteArrayList cookies;
        for (const QNetworkCookie &cookie : m_jar->cookiesForUrl(url()))
            cookies += cookie.toRawForm(QNetworkCookie::NameAndValueOnly);
        if (!cookies.isEmpty())
            bytes += "Cookie: " + cookies.join("; ") + "\r\n";
    }
    if (absolute && !proxy.user().isEmpty())
        bytes += "Proxy-Authorization: Basic " +
                 (proxy.user() + u':' + proxy.password()).toUtf8().toBase64() + "\r\n";
    return bytes +
           "User-Agent: Mozilla/5.0\r\nAccept-Encoding: identity\r\nConnection: close\r\n\r\n";
}

void OneShotReply::onReadyRead()
{
    if (m_ended)
        return;
    const bool hadHead = m_answer.hasHead();
    const QByteArray body = m_answer.take(m_socket->readAll());
    if (m_answer.state() == HttpAnswerReader::State::Failed) {
        finish(ProtocolFailure, m_answer.failure());
        return;
    }
    if (!hadHead && m_answer.hasHead()) {
        headArrived();
        if (m_ended)
            return;
    }
    if (!body.isEmpty()) {
        m_body += body;
        emit readyRead();
        if (m_ended)
            return;
    }
    if (m_answer.state() == HttpAnswerReader::State::Complete)
        finish(NoError, QString());
}

void OneShotReply::headArrived()
{
    setAttribute(QNetworkRequest::HttpStatusCodeAttribute, m_answer.status());
    setAttribute(QNetworkRequest::HttpReasonPhraseAttribute, m_answer.reasonPhrase());
    const QList<QPair<QByteArray, QByteArray>> fields = m_answer.headers();
    for (const auto &[name, value] : fields) {
        const bool cookie = name.compare("Set-Cookie", Qt::CaseInsensitive) == 0;
        if (cookie && m_jar)
            m_jar->setCookiesFromUrl(QNetworkCookie::parseCookies(value), url());
        if (!hasRawHeader(name))
            setRawHeader(name, m_answer.header(name, cookie ? "\n" : ", "));
    }
    const QByteArray location = m_answer.header("Location");
    if (!location.isEmpty())
        setAttribute(QNetworkRequest::RedirectionTargetAttribute, QUrl::fromEncoded(location));
    const QByteArray coding = m_answer.header("Content-Encoding").trimmed();
    if (!coding.isEmpty() && coding.compare("identity", Qt::CaseInsensitive) != 0) {
        finish(ProtocolFailure, tr("The server sent a compressed answer, which was not asked for"));
        return;
    }
    emit metaDataChanged();
}

void OneShotReply::onDisconnected()
{
    if (m_ended)
        return;
    // What the connection brought last is still to be read.
    onReadyRead();
    if (m_ended)
        return;
    m_answer.end();
    if (m_answer.state() == HttpAnswerReader::State::Complete)
        finish(NoError, QString());
    else
        finish(RemoteHostClosedError, m_answer.failure());
}

void OneShotReply::onSocketError()
{
    if (m_ended)
        return;
    // The server closing ends the answer; whether that is too early, the answer says.
    if (m_socket->error() == QAbstractSocket::RemoteHostClosedError) {
        onDisconnected();
        return;
    }
    finish(socketError(m_socket->error()), m_socket->errorString());
}

void OneShotReply::endConnection()
{
    m_ended = true;
    m_socket->disconnect(this);
    m_socket->abort();
}

void OneShotReply::finish(NetworkError error, const QString &text)
{
    endConnection();
    if (error == NoError && m_answer.hasHead()) {
        error = statusError(m_answer.status());
        if (error != NoError)
            setError(error, tr("The server replied %1 %2")
                                .arg(m_answer.status())
                                .arg(QString::fromLatin1(m_answer.reasonPhrase())));
    } else if (error != NoError) {
        setError(error, text);
    }
    setFinished(true);
    if (error != NoError)
        emit errorOccurred(error);
    emit finished();
}

void OneShotReply::abort()
{
    if (m_ended)
        return;
    endConnection();
    setError(OperationCanceledError, tr("Operation canceled"));
    setFinished(true);
}

qint64 OneShotReply::bytesAvailable() const
{
    return QNetworkReply::bytesAvailable() + m_body.size() - m_bodyRead;
}

qint64 OneShotReply::readData(char *data, qint64 maxSize)
{
    const auto count = qsizetype(std::min<qint64>(maxSize, m_body.size() - m_bodyRead));
    if (count == 0)
        return isFinished() ? -1 : 0;
    std::memcpy(data, m_body.constData() + m_bodyRead, size_t(count));
    m_bodyRead += count;
    if (m_bodyRead == m_body.size()) {
        m_body.clear();
        m_bodyRead = 0;
    }
    return count;
}

} // namespace zonara
