#include "curlmulti.h"

#include <QPointer>
#include <QSocketNotifier>

#include <mutex>

namespace zonara {

namespace {

// A notifier no longer wanted is switched off at once and goes when the event loop is back:
// it may be the one whose signal is being handled.
void drop(QSocketNotifier *&notifier)
{
    if (!notifier)
        return;
    notifier->setEnabled(false);
    notifier->deleteLater();
    notifier = nullptr;
}

} // namespace

CurlMulti::CurlMulti(QObject *parent)
    : QObject(parent)
{
    // Thread-safe in the libcurl the program builds with (7.84 and later), once for the process.
    static std::once_flag initialised;
    std::call_once(initialised, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
    m_multi = curl_multi_init();
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETFUNCTION, &CurlMulti::onSocket);
    curl_multi_setopt(m_multi, CURLMOPT_SOCKETDATA, this);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERFUNCTION, &CurlMulti::onTimer);
    curl_multi_setopt(m_multi, CURLMOPT_TIMERDATA, this);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] { act(CURL_SOCKET_TIMEOUT, 0); });
}

CurlMulti::~CurlMulti()
{
    // Closing its connections, curl may still tell of sockets to forget.
    curl_multi_cleanup(m_multi);
    for (Watch &watch : m_sockets) {
        drop(watch.read);
        drop(watch.write);
    }
}

bool CurlMulti::add(CURL *easy)
{
    // curl asks for a timeout at once, and the transfer starts when it runs out.
    return curl_multi_add_handle(m_multi, easy) == CURLM_OK;
}

void CurlMulti::remove(CURL *easy)
{
    curl_multi_remove_handle(m_multi, easy);
}

int CurlMulti::onSocket(CURL *, curl_socket_t socket, int what, void *self, void *)
{
    static_cast<CurlMulti *>(self)->watch(socket, what);
    return 0;
}

int CurlMulti::onTimer(CURLM *, long timeoutMs, void *self)
{
    // Never acts from inside curl: a timeout of 0 runs from the event loop too.
    QTimer &timer = static_cast<CurlMulti *>(self)->m_timer;
    if (timeoutMs < 0)
        timer.stop();
    else
        timer.start(int(std::min<long>(timeoutMs, std::numeric_limits<int>::max())));
    return 0;
}

void CurlMulti::watch(curl_socket_t socket, int what)
{
    if (what == CURL_POLL_REMOVE) {
        const auto found = m_sockets.find(socket);
        if (found != m_sockets.end()) {
            drop(found->read);
            drop(found->write);
            m_sockets.erase(found);
        }
        return;
    }
    Watch &watch = m_sockets[socket];
    const auto keep = [this, socket](QSocketNotifier *&notifier, QSocketNotifier::Type type,
                                     int events, bool wanted) {
        if (!wanted) {
            drop(notifier);
            return;
        }
        if (notifier)
            return;
        notifier = new QSocketNotifier(qintptr(socket), type, this);
        connect(notifier, &QSocketNotifier::activated, this,
                [this, socket, events] { act(socket, events); });
    };
    keep(watch.read, QSocketNotifier::Read, CURL_CSELECT_IN, what & CURL_POLL_IN);
    keep(watch.write, QSocketNotifier::Write, CURL_CSELECT_OUT, what & CURL_POLL_OUT);
}

void CurlMulti::act(curl_socket_t socket, int events)
{
    int running = 0;
    curl_multi_socket_action(m_multi, socket, events, &running);
    reportDone();
}

void CurlMulti::reportDone()
{
    const QPointer<CurlMulti> alive(this);
    int queued = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        // The message goes with the removal: take what it says first.
        CURL *easy = message->easy_handle;
        const CURLcode result = message->data.result;
        curl_multi_remove_handle(m_multi, easy);
        emit transferDone(easy, result);
        // Whoever heard it may have ended this multi handle with the loader that owned it.
        if (!alive)
            return;
    }
}

} // namespace zonara
