#pragma once

#include "httpanswer.h"

#include <QByteArray>
#include <QNetworkReply>
#include <QPointer>

class QNetworkCookieJar;
class QNetworkRequest;
class QSslSocket;

namespace zonara {

// A GET that goes out exactly once, over a connection of its own ("Connection: close"). Qt's
// own HTTP channel sends a request again by itself when its connection ends without an answer;
// for a change to the account that would apply the change again. Here a connection that ends
// early ends the reply with RemoteHostClosedError, and nothing is sent again.
//
// It keeps what the page loader relies on in a reply of the access manager: the request's raw
// headers and TLS configuration, the system proxy (an HTTP proxy gets the absolute address, or
// tunnels HTTPS), the cookies of `jar` both ways, the status, reason phrase, header fields and
// redirect target as attributes, error codes in Qt's ranges, and readyRead(), metaDataChanged()
// and finished() as the bytes come. It never follows a redirect, never answers a refusal, and
// takes no compressed body ("Accept-Encoding: identity"; any other coding fails the reply).
// abort() ends it quietly: no signal follows.
class OneShotReply final : public QNetworkReply
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(OneShotReply)

public:
    // Starts from the event loop, so that signals connected right after construction see all.
    OneShotReply(const QNetworkRequest &request, QNetworkCookieJar *jar, QObject *parent);

    void abort() override;
    qint64 bytesAvailable() const override;

protected:
    qint64 readData(char *data, qint64 maxSize) override;

private:
    void start();
    // The request as it goes on the wire; `absolute` when it goes to the HTTP proxy `proxy`.
    QByteArray requestBytes(bool absolute, const QNetworkProxy &proxy) const;
    void onReadyRead();
    void onDisconnected();
    void onSocketError();
    void headArrived();
    // Closes the connection; nothing it brings after this is read.
    void endConnection();
    void finish(NetworkError error, const QString &text);

    QSslSocket *m_socket;
    QPointer<QNetworkCookieJar> m_jar;
    HttpAnswerReader m_answer;
    QByteArray m_body;
    qsizetype m_bodyRead = 0; // how much of m_body readData() gave
    bool m_ended = false;
};

} // namespace zonara
