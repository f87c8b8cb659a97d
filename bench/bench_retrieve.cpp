// End to end: the time from pressing Retrieve to both halves of the host list filled, for
// accounts of 5, 50 and 10,000 hosts (half dynamic, half static) served on loopback, side by side
// with fetching the same two pages with curl (the network floor) and, for 10,000 hosts, with
// headless Chromium loading and rendering them (what a user would use instead). Also the main
// window's start-up. Run it on the platform the program runs on (xcb, under Xvfb where there is no
// display); the program's memory is measured on the program itself by bench/program_memory.sh.
//
// Usage: bench_retrieve SIMULATOR [RUNS]   (curl and chromium are used when installed)
// Exits 1 when a Retrieve lists the wrong hosts or a comparison run fails.

#include "form1.h"
#include "platform.h"
#include "testsite.h"
#include "windowstyle.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>
#include <optional>
#include <unistd.h>

using namespace zonara;

namespace {

class SilentPlatform final : public Platform
{
public:
    void shellOpen(const QString &) override {}
    bool askYesNo(const QString &, const QString &) override { return false; }
    QString localIpAddress() override { return QStringLiteral("127.0.0.1"); }
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0.0 : values[values.size() / 2];
}

// Seconds since this process was started by the kernel.
double secondsSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0.0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9 -
           startTicks / double(sysconf(_SC_CLK_TCK));
}

// Wall-clock milliseconds of running `program` with `arguments` to its end; nothing when it
// fails.
std::optional<double> timedRun(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed\n", qPrintable(program));
        return std::nullopt;
    }
    return double(timer.nsecsElapsed()) / 1e6;
}

// A simulator serving an account of `hosts` hosts, the first half dynamic.
class ServedAccount final
{
public:
    ServedAccount(const QString &simulatorProgram, int hosts)
        : m_hosts(hosts)
    {
        QFile account(m_work.filePath(QStringLiteral("account.txt")));
        if (!account.open(QIODevice::WriteOnly))
            return;
        account.write("user bench\npassword bench-pw\n");
        const int dynamicHosts = (hosts + 1) / 2;
        for (int i = 0; i < hosts; ++i) {
            account.write(
                QStringLiteral("%1 host%2.zonara.example 192.0.%3.%4 wildcard\n")
                    .arg(i < dynamicHosts ? QStringLiteral("dynamic") : QStringLiteral("static"))
                    .arg(i)
                    .arg(i / 250)
                    .arg(i % 250)
                    .toUtf8());
        }
        account.close();
        m_simulator.start(simulatorProgram, {QStringLiteral("--account"), account.fileName()});
        if (m_simulator.waitForReadyRead(10'000))
            m_host = QString::fromUtf8(m_simulator.readLine()).section(u' ', 2).trimmed();
    }
    ~ServedAccount()
    {
        m_simulator.terminate();
        m_simulator.waitForFinished();
    }
    Q_DISABLE_COPY_MOVE(ServedAccount)

    int hosts() const { return m_hosts; }
    // host:port, empty when the simulator did not start.
    QString host() const { return m_host; }
    QString page(const char *path) const
    {
        return QStringLiteral("http://bench:bench-pw@%1%2").arg(m_host, QLatin1StringView(path));
    }
    QString workPath(const QString &name) const { return m_work.filePath(name); }

private:
    int m_hosts;
    QTemporaryDir m_work;
    QProcess m_simulator;
    QString m_host;
};

SiteConfig siteFor(const ServedAccount &account)
{
    return testSite(account.host(), QStringLiteral("http://%1/none").arg(account.host()));
}

// Presses Retrieve and waits in the event loop until the list holds `expected` hosts; the
// milliseconds it took, or nothing when it listed other hosts or none within a minute.
std::optional<double> timedRetrieve(Form1 &window, int expected)
{
    auto *list = window.findChild<QListWidget *>("List1");
    auto *retrieve = window.findChild<QPushButton *>("Command1");
    QEventLoop loop;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, &loop, &QEventLoop::quit);
    const QMetaObject::Connection filled =
        QObject::connect(list->model(), &QAbstractItemModel::rowsInserted, &loop, [&] {
            if (list->count() >= expected)
                loop.quit();
        });
    QElapsedTimer timer;
    timer.start();
    retrieve->click();
    guard.start(60'000);
    if (list->count() < expected)
        loop.exec();
    const double ms = double(timer.nsecsElapsed()) / 1e6;
    QObject::disconnect(filled);
    if (list->count() != expected || list->item(expected - 1)->text().isEmpty()) {
        std::fprintf(stderr, "Retrieve listed %d of %d hosts\n", int(list->count()), expected);
        return std::nullopt;
    }
    return ms;
}

void printComparison(const char *what, const QList<double> &runs, double program)
{
    std::printf("    %-44s first %8.1f ms, median %8.1f ms  (program / it = %.2f)\n", what,
                runs.first(), median(runs), program / median(runs));
}

} // namespace

int main(int argc, char *argv[])
{
    const double startedAfter = secondsSinceProcessStart();
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: bench_retrieve SIMULATOR [RUNS]\n");
        return 2;
    }
    const int runs = std::max(2, arguments.size() > 2 ? arguments[2].toInt() : 5);
    useLayoutLook();

    // Setting up the accounts is no part of the program's start-up: timed apart and left out.
    QElapsedTimer setUp;
    setUp.start();
    std::vector<std::unique_ptr<ServedAccount>> accounts;
    for (const int hosts : {5, 50, 10'000}) {
        accounts.push_back(std::make_unique<ServedAccount>(arguments[1], hosts));
        if (accounts.back()->host().isEmpty()) {
            std::fprintf(stderr, "the simulator did not start\n");
            return 1;
        }
    }
    const double setUpMs = double(setUp.nsecsElapsed()) / 1e6;

    SilentPlatform platform;
    double startUpMs = 0;
    std::printf("Retrieve, from the button to both halves of the host list filled (%d runs on "
                "the %s platform):\n",
                runs, qPrintable(QApplication::platformName()));
    for (const auto &account : accounts) {
        Form1 window(siteFor(*account), platform);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            return 1;
        if (startUpMs == 0)
            startUpMs = (startedAfter + double(sinceMain.nsecsElapsed()) / 1e9) * 1000.0 - setUpMs;
        window.findChild<QLineEdit *>("Text1")->setText("bench");
        window.findChild<QLineEdit *>("Text2")->setText("bench-pw");

        QList<double> program;
        for (int run = 0; run < runs; ++run) {
            const std::optional<double> ms = timedRetrieve(window, account->hosts());
            if (!ms)
                return 1;
            program << *ms;
        }
        const double warm = median(program.mid(1));
        std::printf("  %6d hosts: first (cold) %8.1f ms, median of the others %8.1f ms\n",
                    account->hosts(), program.first(), warm);

        const QString dynamicPage = account->page("/nic/zonara");
        const QString staticPage = account->page("/nic/statdns");
        const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
        QList<double> curlMs;
        for (int run = 0; !curl.isEmpty() && run < runs; ++run) {
            const std::optional<double> ms = timedRun(
                curl, {"-sf", dynamicPage, "-o", "/dev/null", staticPage, "-o", "/dev/null"});
            if (!ms)
                return 1;
            curlMs << *ms;
        }
        if (!curlMs.isEmpty())
            printComparison("curl, fetching both pages:", curlMs, warm);

        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty() || account->hosts() < 10'000)
            continue;
        const QStringList flags = {"--headless",
                                   "--no-sandbox",
                                   "--disable-gpu",
                                   "--disable-quic",
                                   "--no-first-run",
                                   "--disable-sync",
                                   "--disable-background-networking",
                                   "--disable-component-update",
                                   "--dump-dom"};
        QList<double> chromiumMs;
        QList<double> chromiumStartMs;
        for (int run = 0; run < runs; ++run) {
            const QStringList common =
                flags +
                QStringList{"--user-data-dir=" + account->workPath(QStringLiteral("p%1").arg(run))};
            const std::optional<double> start =
                timedRun(chromium, common + QStringList{"about:blank"});
            const std::optional<double> first =
                timedRun(chromium, common + QStringList{dynamicPage});
            const std::optional<double> second =
                timedRun(chromium, common + QStringList{staticPage});
            if (!start || !first || !second)
                return 1;
            chromiumStartMs << *start;
            chromiumMs << *first + *second;
        }
        printComparison("headless Chromium, loading and rendering both:", chromiumMs, warm);
        const double browser = median(chromiumMs) - 2 * median(chromiumStartMs);
        std::printf("      of which two browser start-ups %8.1f ms  (program / Chromium without "
                    "start-ups = %.2f)\n",
                    2 * median(chromiumStartMs), warm / std::max(1.0, browser));
    }
    std::printf("Start-up to the main window shown: %.1f ms\n", startUpMs);
    return 0;
}
