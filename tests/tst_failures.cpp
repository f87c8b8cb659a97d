#include "mainwindowfixture.h"
#include "pageloader.h"
#include "testmain.h"

#include <algorithm>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>

using namespace zonara;
using namespace zonara::simulator;

Q_DECLARE_METATYPE(zonara::simulator::Fault)

class TestFailures final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void faultyServiceListsNothingAndRecovers_data();
    void faultyServiceListsNothingAndRecovers();
    void unreachableServiceListsNothing_data();
    void unreachableServiceListsNothing();

private:
    // Presses Retrieve and waits for both listings to complete; false if they never do.
    // With `settled`, also that no load completes a second time.
    bool retrieveAndWait(int timeoutMs, bool settled = true);

    std::unique_ptr<MainWindowFixture> f;
};

void TestFailures::init()
{
    f = std::make_unique<MainWindowFixture>();
    f->open();
    f->control<QLineEdit>("Text1")->setText("user");
    f->control<QLineEdit>("Text2")->setText("secret");
}

void TestFailures::cleanup()
{
    f.reset();
}

bool TestFailures::retrieveAndWait(int timeoutMs, bool settled)
{
    constexpr std::chrono::milliseconds loadTimeout(1500);
    auto *loader = f->window->findChild<PageLoader *>("DHTMLEdit1");
    loader->setTimeout(loadTimeout);
    QSignalSpy complete(loader, &PageLoader::documentComplete);
    f->control<QPushButton>("Command1")->click();
    if (!QTest::qWaitFor([&complete] { return complete.count() >= 2; }, timeoutMs))
        return false;
    if (!settled)
        return true;
    // Both listings were asked for and each completed once: a deadline left running after its
    // load would complete that load again.
    QTest::qWait(int(loadTimeout.count()) + 300);
    return complete.count() == 2;
}

void TestFailures::faultyServiceListsNothingAndRecovers_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<bool>("readerStarts");
    QTest::newRow("no answer") << Fault::Hang << true;
    QTest::newRow("connection closed mid-answer") << Fault::CloseMidAnswer << true;
    QTest::newRow("500 with empty body") << Fault::EmptyServerError << true;
    QTest::newRow("page over the size cap") << Fault::Oversized << true;
    QTest::newRow("redirect loop") << Fault::RedirectLoop << true;
    QTest::newRow("a trickle that brings nothing") << Fault::Trickle << true;
    QTest::newRow("headers, then nothing") << Fault::HeadersThenNothing << true;
    QTest::newRow("gzip bomb") << Fault::GzipBomb << true;
    QTest::newRow("a million nested elements") << Fault::DeepNesting << true;
    QTest::newRow("15 MiB of rows") << Fault::HugePage << true;
    // A reader that cannot start must still end the load, and the next one must read.
    QTest::newRow("no thread for the reader") << Fault::None << false;
}

void TestFailures::faultyServiceListsNothingAndRecovers()
{
    QFETCH(Fault, fault);
    QFETCH(bool, readerStarts);
    f->simulator.setFault(fault);
    auto *loader = f->window->findChild<PageLoader *>("DHTMLEdit1");
    if (!readerStarts)
        loader->setThreadStarter([](const std::function<void()> &) { return false; });

    FreezeWatch loop;
    QElapsedTimer elapsed;
    elapsed.start();
    // Two loads of at most two seconds each, and the reading of what they brought.
    QVERIFY(retrieveAndWait(20'000));
    qInfo("completed in %lld ms; longest pause of the event loop %lld ms over %d turns",
          elapsed.elapsed(), loop.longestGap(), loop.turns());
    QVERIFY(f->listed().isEmpty());
    // A failed dynamic listing still leads to the static one.
    const QList<LoggedRequest> log = f->simulator.requestLog();
    QVERIFY(std::any_of(log.cbegin(), log.cend(),
                        [](const LoggedRequest &r) { return r.path == u"/nic/statdns"; }));
    // The window kept answering while the pages were fetched and read.
    QVERIFY2(loop.longestGap() < 2'000, qPrintable(QString::number(loop.longestGap())));
    QVERIFY(f->window->isVisible() && f->enabled("Command1"));

    f->simulator.setFault(Fault::None);
    loader->setThreadStarter({});
    QVERIFY(retrieveAndWait(10'000, false));
    QCOMPARE(f->listed().size(), 3);
}

void TestFailures::unreachableServiceListsNothing_data()
{
    QTest::addColumn<QString>("memberHost");
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return;
    const quint16 closedPort = probe.serverPort();
    probe.close();
    QTest::newRow("connection refused") << QStringLiteral("127.0.0.1:%1").arg(closedPort);
    QTest::newRow("unknown host") << QStringLiteral("no-such-host.invalid");
}

void TestFailures::unreachableServiceListsNothing()
{
    QFETCH(QString, memberHost);
    SiteConfig site = f->site();
    site.memberHost = memberHost;
    f->window = std::make_unique<Form1>(site, f->platform);
    f->window->show();
    f->control<QLineEdit>("Text1")->setText("user");
    f->control<QLineEdit>("Text2")->setText("secret");
    // Hosts of an earlier retrieval, which a failed one must not leave standing.
    f->control<QListWidget>("List1")->addItem("earlier.zonara.example");
    f->control<QListWidget>("VList1")->addItem("7");
    // Both listings complete, exactly once each: the static one is asked for after the failure.
    QVERIFY(retrieveAndWait(20'000));
    QVERIFY(f->listed().isEmpty());
}

ZONARA_TEST_MAIN(TestFailures, "offscreen")
#include "tst_failures.moc"
