// End to end: the time from pressing Retrieve to both halves of the host list filled, for an
// account of 10,000 hosts served on loopback, side by side with fetching the same two pages with
// curl (the network floor) and with headless Chromium loading and rendering them (what a user
// would use instead). Also the program's peak memory with the hosts listed, and its start-up.
//
// Usage: bench_retrieve SIMULATOR [RUNS]   (curl and chromium are used when installed)

#include "form1.h"
#include "platform.h"
#include "windowstyle.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

using namespace zonara;

namespace {

constexpr int HostsPerKind = 5'000;

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

// Wall-clock milliseconds of running `program` with `arguments` to its end.
double timedRun(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(120'000) || process.exitCode() != 0)
        return -1.0;
    return double(timer.nsecsElapsed()) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    const double startedAfter = secondsSinceProcessStart();
    QElapsedTimer sinceMain;
    sinceMain.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 2) {
        std::fprintf(stderr, "usage: bench_retrieve SIMULATOR [RUNS]\n");
        return 2;
    }
    const int runs = arguments.size() > 2 ? arguments[2].toInt() : 5;
    useLayoutFont();

    // The account: 5,000 dynamic and 5,000 static hosts.
    QTemporaryDir work;
    QFile account(work.filePath(QStringLiteral("account.txt")));
    if (!account.open(QIODevice::WriteOnly))
        return 1;
    account.write("user bench\npassword bench-pw\n");
    for (int i = 0; i < 2 * HostsPerKind; ++i) {
        account.write(
            QStringLiteral("%1 host%2.zonara.example 192.0.%3.%4 wildcard\n")
                .arg(i < HostsPerKind ? QStringLiteral("dynamic") : QStringLiteral("static"))
                .arg(i)
                .arg(i / 250)
                .arg(i % 250)
                .toUtf8());
    }
    account.close();

    QProcess simulator;
    simulator.start(arguments[1], {QStringLiteral("--account"), account.fileName()});
    if (!simulator.waitForReadyRead(10'000)) {
        std::fprintf(stderr, "the simulator did not start\n");
        return 1;
    }
    const QString host = QString::fromUtf8(simulator.readLine()).section(u' ', 2).trimmed();
    const QString dynamicPage = QStringLiteral("http://bench:bench-pw@%1/nic/zonara").arg(host);
    const QString staticPage = QStringLiteral("http://bench:bench-pw@%1/nic/statdns").arg(host);

    SilentPlatform platform;
    SiteConfig site{host,
                    "ZM Software",
                    "http://www.zmsoft.example/",
                    "info@zmsoft.example",
                    "feedback@zmsoft.example",
                    QStringLiteral("http://%1/none").arg(host),
                    {".a"}};
    Form1 window(site, platform);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    const double startUpMs = (startedAfter + double(sinceMain.nsecsElapsed()) / 1e9) * 1000.0;

    rusage atStart{};
    getrusage(RUSAGE_SELF, &atStart);
    window.findChild<QLineEdit *>("Text1")->setText("bench");
    window.findChild<QLineEdit *>("Text2")->setText("bench-pw");
    auto *list = window.findChild<QListWidget *>("List1");
    auto *retrieve = window.findChild<QPushButton *>("Command1");
    QList<double> retrieveMs;
    for (int run = 0; run < runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        retrieve->click();
        while (list->count() < 2 * HostsPerKind && timer.elapsed() < 60'000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        if (list->count() != 2 * HostsPerKind) {
            std::fprintf(stderr, "Retrieve listed %d hosts\n", int(list->count()));
            return 1;
        }
        retrieveMs << double(timer.nsecsElapsed()) / 1e6;
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peakMb = double(usage.ru_maxrss) / 1024.0;

    QList<double> curlMs;
    const QString curl = QStandardPaths::findExecutable(QStringLiteral("curl"));
    for (int run = 0; !curl.isEmpty() && run < runs; ++run)
        curlMs << timedRun(curl,
                           {"-sf", dynamicPage, "-o", "/dev/null", staticPage, "-o", "/dev/null"});

    QList<double> chromiumMs;
    QList<double> chromiumStartMs;
    const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
    const QStringList chromiumFlags = {"--headless",
                                       "--no-sandbox",
                                       "--disable-gpu",
                                       "--disable-quic",
                                       "--no-first-run",
                                       "--disable-sync",
                                       "--disable-background-networking",
                                       "--disable-component-update"};
    for (int run = 0; !chromium.isEmpty() && run < runs; ++run) {
        const QString profile = work.filePath(QStringLiteral("profile%1").arg(run));
        const QStringList common =
            chromiumFlags + QStringList{"--user-data-dir=" + profile, "--dump-dom"};
        chromiumStartMs << timedRun(chromium, common + QStringList{"about:blank"});
        chromiumMs << timedRun(chromium, common + QStringList{dynamicPage}) +
                          timedRun(chromium, common + QStringList{staticPage});
    }
    simulator.terminate();
    simulator.waitForFinished();

    const double program = median(retrieveMs);
    std::printf("Retrieve of %d hosts (median of %d runs)\n", 2 * HostsPerKind, runs);
    std::printf("  Zonara Manager, Retrieve to both lists filled: %8.1f ms\n", program);
    if (!curlMs.isEmpty()) {
        std::printf(
            "  curl, fetching both pages:                     %8.1f ms  (program / curl = %.2f)\n",
            median(curlMs), program / median(curlMs));
    }
    if (!chromiumMs.isEmpty()) {
        const double browser = median(chromiumMs);
        const double browserStart = median(chromiumStartMs);
        std::printf("  headless Chromium, loading and rendering both: %8.1f ms  (program / "
                    "Chromium = %.2f)\n",
                    browser, program / browser);
        std::printf("    of which two browser start-ups:              %8.1f ms  (program / "
                    "Chromium without start-up = %.2f)\n",
                    2 * browserStart, program / std::max(1.0, browser - 2 * browserStart));
    }
    std::printf("Peak memory of the program with %d hosts listed: %.1f MB (%.1f MB at start-up)\n",
                2 * HostsPerKind, peakMb, double(atStart.ru_maxrss) / 1024.0);
    std::printf("Start-up to the main window shown: %.1f ms\n", startUpMs);
    return 0;
}
