// The longest stall of the event loop while a window takes in a hostile answer: in the report
// window many short lines, a run of zero-width spaces, one long line, and 16 MB of CRs served as
// plain text; in the main window a listing of 100,000 hosts served as plain text, already in the
// form the listing parser reads. Each answer is served from loopback; the stall is the longest
// gap between turns of a 10 ms timer, from the load's start until the answer has been shown for
// half a second. Run it on the platform the program runs on.
//
// Usage: bench_report_stall
// Exits 1 when an answer never reached the window.

#include "form1.h"
#include "form3.h"
#include "platform.h"
#include "testsite.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>

using namespace zonara;

namespace {

// Answers a request for the dynamic listing, or for any page when `listingOnly` is not set,
// with `body` as a page of `type`; any other request gets an empty page.
class OnePageServer final : public QTcpServer
{
public:
    OnePageServer(QByteArray body, QByteArray type, bool listingOnly = false)
        : m_body(std::move(body))
        , m_type(std::move(type))
    {
        connect(this, &QTcpServer::newConnection, this, [this, listingOnly] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, listingOnly] {
                    const QByteArray request = socket->readAll();
                    const bool served = !listingOnly || request.startsWith("GET /nic/zonara");
                    const QByteArray page = served ? m_body : QByteArray();
                    socket->write("HTTP/1.1 200 OK\r\nContent-Type: " + m_type +
                                  "\r\nContent-Length: " + QByteArray::number(page.size()) +
                                  "\r\nConnection: close\r\n\r\n" + page);
                    socket->disconnectFromHost();
                });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

private:
    QByteArray m_body;
    QByteArray m_type;
};

class SilentPlatform final : public Platform
{
public:
    void shellOpen(const QString &) override {}
    bool askYesNo(const QString &, const QString &) override { return false; }
    QString localIpAddress() override { return QStringLiteral("127.0.0.1"); }
};

// The longest gap in milliseconds between turns of the event loop from `start()` until `shown()`
// has held for half a second; -1 when it never held within a minute.
qint64 longestStall(const std::function<void()> &start, const std::function<bool()> &shown)
{
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    qint64 longest = 0;
    qint64 shownAt = -1;
    start();
    QEventLoop loop;
    QTimer turn;
    QObject::connect(&turn, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        longest = std::max(longest, now - last);
        last = now;
        if (shownAt < 0 && shown())
            shownAt = now;
        if ((shownAt >= 0 && now - shownAt > 500) || now > 60'000)
            loop.quit();
    });
    turn.start(10);
    loop.exec();
    return shownAt < 0 ? -1 : longest;
}

// The report window showing `body` as the answer's preformatted block.
qint64 reportStall(const QByteArray &body, const QByteArray &type)
{
    const bool html = type.startsWith("text/html");
    OnePageServer server((html ? "<title>answer</title><pre>" : "<TITLE>answer</TITLE><PRE>") +
                             body + (html ? "</pre>" : "</PRE>"),
                         type);
    if (!server.listen(QHostAddress::LocalHost))
        return -1;
    const QString address = QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort());
    std::unique_ptr<Form3> report;
    return longestStall(
        [&report, &address] {
            report = std::make_unique<Form3>(address);
            report->show();
        },
        [&report] { return report->windowTitle() == u"answer"; });
}

// The main window's Retrieve of a dynamic listing of `hosts` hosts served as plain text, each
// entry cut to what the parser reads.
qint64 listingStall(int hosts)
{
    QByteArray page;
    for (int id = 0; id < hosts; ++id)
        page += "<TR><TD><INPUT TYPE=\"radio\" NAME=\"host_id\" VALUE=\"" + QByteArray::number(id) +
                "\"<TD>h</TD>\r\n<TR><TD></TD><TD><FONT SIZE=-1>a</FONT>\r\n"
                "<TR><TD></TD><TD><FONT SIZE=-1>b</FONT>\r\n";
    OnePageServer server(page, "text/plain", true);
    if (!server.listen(QHostAddress::LocalHost))
        return -1;
    const QString host = QStringLiteral("127.0.0.1:%1").arg(server.serverPort());
    SilentPlatform platform;
    Form1 window(testSite(host, QStringLiteral("http://%1/none").arg(host)), platform);
    window.show();
    auto *list = window.findChild<QListWidget *>("List1");
    return longestStall([&window] { window.findChild<QPushButton *>("Command1")->click(); },
                        [list, hosts] { return list->count() >= hosts; });
}

constexpr const char *Html = "text/html; charset=utf-8";

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const struct
    {
        const char *name;
        std::function<qint64()> stall;
    } shapes[] = {
        {"200,000 short lines (1.2 MB)",
         [] {
             return reportStall(QByteArray("line\n").repeated(200'000), Html);
         }},
        {"3,000,000 short lines (12 MB)",
         [] {
             return reportStall(QByteArray("ab\n").repeated(3'000'000), Html);
         }},
        {"1,000,000 zero-width spaces",
         [] {
             return reportStall(QByteArray("\xe2\x80\x8b").repeated(1'000'000), Html);
         }},
        {"one line of 1,000,000 characters",
         [] {
             return reportStall(QByteArray(1'000'000, 'x'), Html);
         }},
        {"16 MB of CRs as text/plain",
         [] {
             return reportStall(QByteArray(16'000'000, '\r'), "text/plain");
         }},
        {"100,000-host listing as text/plain",
         [] {
             return listingStall(100'000);
         }},
    };
    int failures = 0;
    for (const auto &shape : shapes) {
        const qint64 stall = shape.stall();
        if (stall < 0)
            ++failures;
        std::printf("%-36s longest stall %6lld ms\n", shape.name, static_cast<long long>(stall));
    }
    return failures == 0 ? 0 : 1;
}
