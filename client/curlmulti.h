#pragma once

#include <QHash>
#include <QObject>
#include <QTimer>

#include <curl/curl.h>

class QSocketNotifier;

namespace zonara {

// Drives libcurl's multi interface from the Qt event loop of the thread that owns it, as curl's
// multi-socket examples do for other loops: curl names the sockets to watch and one timeout, a
// QSocketNotifier per socket and direction and one QTimer keep them. Nothing blocks and nothing
// polls.
class CurlMulti final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(CurlMulti)

public:
    explicit CurlMulti(QObject *parent = nullptr);
    // Every transfer added must have been removed, or have reported done, by then.
    ~CurlMulti() override;

    // Starts the transfer `easy` is set up for; false when curl refuses it. transferDone()
    // follows from the event loop, unless remove() comes first.
    bool add(CURL *easy);
    // Ends the transfer at once and quietly. Never call it from one of curl's own callbacks.
    void remove(CURL *easy);

signals:
    // The transfer has ended and has left the multi handle: `easy` may be set up and added again.
    void transferDone(CURL *easy, CURLcode result);

private:
    struct Watch
    {
        QSocketNotifier *read = nullptr;
        QSocketNotifier *write = nullptr;
    };

    static int onSocket(CURL *easy, curl_socket_t socket, int what, void *self, void *);
    static int onTimer(CURLM *multi, long timeoutMs, void *self);
    void watch(curl_socket_t socket, int what);
    void act(curl_socket_t socket, int events);
    void reportDone();

    CURLM *m_multi;
    QTimer m_timer;
    QHash<curl_socket_t, Watch> m_sockets;
};

} // namespace zonara
