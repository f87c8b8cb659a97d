// The longest stall of the event loop while the report window shows a hostile answer: many short
// lines, a run of zero-width spaces, one long line. Each answer is served from loopback; the
// stall is the longest gap between turns of a 10 ms timer, from the load's start until the
// answer has been shown for half a second. Run it on the platform the program runs on.
//
// Usage: bench_report_stall
// Exits 1 when an answer never reached the window.

#include "form3.h"
#include "module1.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>

using namespace zonara;

namespace {

// Answers every connection with `body` as an HTML page.
class OnePageServer final : public QTcpServer
{
public:
    explicit OnePageServer(QByteArray body)
        : m_body(std::move(body))
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
                    socket->readAll();
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; "
                                  "charset=utf-8\r\nContent-Length: " +
                                  QByteArray::number(m_body.size()) +
                                  "\r\nConnection: close\r\n\r\n" + m_body);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

private:
    QByteArray m_body;
};

// The longest gap in milliseconds between turns of the event loop while `body` is shown; -1
// when it never reached the window within a minute.
qint64 longestStall(const QByteArray &body)
{
    OnePageServer server("<title>answer</title><pre>" + body + "</pre>");
    if (!server.listen(QHostAddress::LocalHost))
        return -1;
    Module1::URL2load = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    qint64 shownAt = -1;
    Form3 report;
    report.show();
    QEventLoop loop;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (shownAt < 0 && report.windowTitle() == u"answer")
            shownAt = now;
        if ((shownAt >= 0 && now - shownAt > 500) || now > 60'000)
            loop.quit();
    });
    turn.start(10);
    loop.exec();
    return shownAt < 0 ? -1 : longest;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const struct
    {
        const char *name;
        QByteArray body;
    } shapes[] = {
        {"200,000 short lines (1.2 MB)", QByteArray("line\n").repeated(200'000)},
        {"3,000,000 short lines (12 MB)", QByteArray("ab\n").repeated(3'000'000)},
        {"1,000,000 zero-width spaces", QByteArray("\xe2\x80\x8b").repeated(1'000'000)},
        {"one line of 1,000,000 characters", QByteArray(1'000'000, 'x')},
    };
    int failures = 0;
    for (const auto &shape : shapes) {
        const qint64 stall = longestStall(shape.body);
        if (stall < 0)
            ++failures;
        std::printf("%-36s longest stall %6lld ms\n", shape.name, static_cast<long long>(stall));
    }
    return failures == 0 ? 0 : 1;
}
