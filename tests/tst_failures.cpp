#include "hostlistbox.h"
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
    // What the host list says, and what a screen reader reads of it.
    QString notice() const { return f->control<HostListBox>("List1")->notice().join(u'|'); }
    QString description() const
    {
        return f->control<HostListBox>("List1")->accessibleDescription();
    }

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
    // Fault caught: nothing on screen changed while the hosts were being retrieved.
    if (notice() != "Retrieving the hosts\u2026" || !QGuiApplication::overrideCursor() ||
        QGuiApplication::overrideCursor()->shape() != Qt::BusyCursor)
        return false;
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
    QTest::addColumn<QString>("why"); // what the host list says of each listing
    QTest::newRow("no answer") << Fault::Hang << true << "no answer came within the time limit";
    QTest::newRow("connection closed mid-answer")
        << Fault::CloseMidAnswer << true << "could not be loaded (transfer closed";
    QTest::newRow("500 with empty body") << Fault::EmptyServerError << true << "error 500";
    QTest::newRow("page over the size cap")
        << Fault::Oversized << true << "larger than the program reads";
    QTest::newRow("redirect loop") << Fault::RedirectLoop << true << "(Too many redirects)";
    QTest::newRow("a trickle that brings nothing") << Fault::Trickle << true << "no answer came";
    QTest::newRow("headers, then nothing") << Fault::HeadersThenNothing << true << "no answer came";
    QTest::newRow("gzip bomb") << Fault::GzipBomb << true << "larger than the program reads";
    QTest::newRow("a million nested elements") << Fault::DeepNesting << true << "too complex";
    QTest::newRow("15 MiB of rows") << Fault::HugePage << true << "too complex";
    // A reader that cannot start must still end the load, and the next one must read.
    QTest::newRow("no thread for the reader")
        << Fault::None << false << "(No thread could be started to read it)";
}

void TestFailures::faultyServiceListsNothingAndRecovers()
{
    QFETCH(Fault, fault);
    QFETCH(bool, readerStarts);
    QFETCH(QString, why);
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
    // Fault caught: a failed listing looked like an empty account.
    QVERIFY2(notice().startsWith("Dynamic hosts not retrieved: ") &&
                 notice().contains("|Static hosts not retrieved: "),
             qPrintable(notice()));
    QVERIFY2(notice().count(why) == 2, qPrintable(notice()));
    QCOMPARE(description(), f->control<HostListBox>("List1")->notice().join(u' '));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr); // the retrieval has ended

    f->simulator.setFault(Fault::None);
    loader->setThreadStarter({});
    QVERIFY(retrieveAndWait(10'000, false));
    QTRY_COMPARE(f->listed().size(), 3);
    QTRY_COMPARE(notice(), QString());
    QCOMPARE(description(), "The hosts of the account; select one to show its type and details");
}

void TestFailures::unreachableServiceListsNothing_data()
{
    QTest::addColumn<QString>("memberHost"); // the simulator when empty
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("why"); // what the host list says of each listing
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return;
    const quint16 closedPort = probe.serverPort();
    probe.close();
    QTest::newRow("connection refused")
        << QStringLiteral("127.0.0.1:%1").arg(closedPort) << "secret"
        << "the member service could not be reached (Connection refused)";
    QTest::newRow("unknown host") << QStringLiteral("no-such-host.invalid") << "secret"
                                  << "the member service could not be reached (";
    QTest::newRow("wrong password") << QString() << "wrong"
                                    << "the member service refused the user name or password.";
}

void TestFailures::unreachableServiceListsNothing()
{
    QFETCH(QString, memberHost);
    QFETCH(QString, password);
    QFETCH(QString, why);
    SiteConfig site = f->site();
    if (!memberHost.isEmpty())
        site.memberHost = memberHost;
    f->window = std::make_unique<Form1>(site, f->platform);
    f->window->show();
    f->control<QLineEdit>("Text1")->setText("user");
    f->control<QLineEdit>("Text2")->setText(password);
    // Hosts of an earlier retrieval, which a failed one must not leave standing.
    f->control<QListWidget>("List1")->addItem("earlier.zonara.example");
    f->control<QListWidget>("VList1")->addItem("7");
    // Both listings complete, exactly once each: the static one is asked for after the failure.
    QVERIFY(retrieveAndWait(20'000));
    QVERIFY(f->listed().isEmpty());
    QCOMPARE(f->control<HostListBox>("List1")->notice().size(), 2);
    QVERIFY2(notice().count(why) == 2, qPrintable(notice()));
    QVERIFY2(!notice().contains("secret"), qPrintable(notice()));
}

ZONARA_TEST_MAIN(TestFailures, "offscreen")
#include "tst_failures.moc"
