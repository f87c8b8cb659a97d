#include "membersimulator.h"
#include "pageloader.h"
#include "recordinglist.h"
#include "retrieval.h"
#include "testmain.h"

#include <QSignalSpy>
#include <QTest>

using namespace zonara;
using namespace zonara::simulator;

class TestRetrieval final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void dynamicThenStatic();
    void staticListingTakesTheCredentialsOfThatMoment();
    void wrongPasswordListsNothingButStillAsksForStatic();
    void secondRetrieveInFlightListsEachHostOnce();
    void retrieveDropsTheHostOfAPageBeingRead();
    void accountNearCapacityListsWhole();

private:
    // Starts a retrieval and waits for the static listing to be read.
    bool retrieveAll();

    std::unique_ptr<MemberSimulator> m_simulator;
    Credentials m_credentials{"user", "secret"};
    RecordingList m_list;
    std::unique_ptr<PageLoader> m_loader;
    std::unique_ptr<Retrieval> m_retrieval;
};

void TestRetrieval::init()
{
    m_simulator = std::make_unique<MemberSimulator>();
    m_simulator->setAccount("user", "secret");
    m_simulator->addHost(SimulatedKind::Static, "s1.zonara.example", "198.51.100.1");
    m_simulator->addHost(SimulatedKind::Dynamic, "d1.zonara.example", "192.0.2.1", true);
    m_simulator->addHost(SimulatedKind::Dynamic, "d2.zonara.example", "192.0.2.2");
    QVERIFY(m_simulator->start() > 0);
    m_credentials = {"user", "secret"};
    m_list.entries.clear();
    m_loader = std::make_unique<PageLoader>();
    m_retrieval = std::make_unique<Retrieval>(
        *m_loader, [this] { return MemberRequests(m_simulator->memberHost(), m_credentials); });
    connect(m_retrieval.get(), &Retrieval::listingRead, this,
            [this](HostKind, const QList<ListedHost> &hosts) { m_list.append(hosts); });
}

void TestRetrieval::cleanup()
{
    m_retrieval.reset();
    m_loader.reset();
    m_simulator.reset();
}

bool TestRetrieval::retrieveAll()
{
    QSignalSpy read(m_retrieval.get(), &Retrieval::listingRead);
    m_retrieval->start();
    // A long page is handed on in parts: the static listing is read once its last part is.
    const auto kindRead = [&read](qsizetype at) {
        return read.at(at).at(0).value<HostKind>();
    };
    return QTest::qWaitFor(
               [&] {
                   return !read.isEmpty() && kindRead(read.size() - 1) == HostKind::Static &&
                          !m_retrieval->isReadingPage();
               },
               20'000) &&
           kindRead(0) == HostKind::Dynamic;
}

void TestRetrieval::dynamicThenStatic()
{
    QVERIFY(retrieveAll());
    QCOMPARE(m_list.entries, QStringList({"102=d1.zonara.example", "103=d2.zonara.example",
                                          "101=s1.zonara.example"}));
    QCOMPARE(m_retrieval->records()[101].kind, HostKind::Static);
    QCOMPARE(m_retrieval->records()[102].kind, HostKind::Dynamic);
    QCOMPARE(m_retrieval->records()[102].firstDetail, "IP address: 192.0.2.1");
    QCOMPARE(m_retrieval->phase(), Retrieval::Phase::Static);

    const QList<LoggedRequest> log = m_simulator->requestLog();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].path, "/nic/zonara");
    QCOMPARE(log[1].path, "/nic/statdns");
    m_retrieval->start(); // catches a Retrieve that keeps texts no listed host reaches
    QCOMPARE(m_retrieval->records().occupiedSlots(), 0);
}

void TestRetrieval::staticListingTakesTheCredentialsOfThatMoment()
{
    QSignalSpy read(m_retrieval.get(), &Retrieval::listingRead);
    m_retrieval->start();
    m_credentials = {"user", "edited"};
    QTRY_COMPARE_WITH_TIMEOUT(read.count(), 2, 10'000);
    const QList<LoggedRequest> log = m_simulator->requestLog();
    QCOMPARE(log.size(), 2);
    QVERIFY(log[0].authenticated);
    QVERIFY(!log[1].authenticated);
    QCOMPARE(m_list.entries, QStringList({"102=d1.zonara.example", "103=d2.zonara.example"}));
}

void TestRetrieval::wrongPasswordListsNothingButStillAsksForStatic()
{
    m_credentials = {"user", "wrong"};
    QVERIFY(retrieveAll());
    QVERIFY(m_list.entries.isEmpty());
    QCOMPARE(m_simulator->requestLog().size(), 2);
}

void TestRetrieval::secondRetrieveInFlightListsEachHostOnce()
{
    QSignalSpy read(m_retrieval.get(), &Retrieval::listingRead);
    m_retrieval->start();
    m_retrieval->start();
    QTRY_COMPARE_WITH_TIMEOUT(read.count(), 2, 10'000);
    QTest::qWait(200); // nothing more may arrive
    QCOMPARE(read.count(), 2);
    QCOMPARE(m_list.entries, QStringList({"102=d1.zonara.example", "103=d2.zonara.example",
                                          "101=s1.zonara.example"}));
}

// Fault caught: a Retrieve pressed while a long page was read in steps kept the page's pending
// host, which the next page's detail rows completed: a host of one page listed under another.
void TestRetrieval::retrieveDropsTheHostOfAPageBeingRead()
{
    const QString hostRow = "<TR><TD><INPUT TYPE=\"radio\" NAME=\"host_id\" VALUE=\"42\"></TD>"
                            "<TD>old</TD></TR>\r\n";
    const QString detailRow = "<TR><TD></TD><TD><FONT SIZE=-1>detail</FONT></TD></TR>\r\n";
    bool restarted = false;
    connect(m_retrieval.get(), &Retrieval::listingRead, this, [&] {
        if (std::exchange(restarted, true))
            return;
        // The first step read the host row; its details stand in the next step.
        QVERIFY(m_retrieval->isReadingPage());
        m_retrieval->start();
        emit m_loader->documentComplete(detailRow + detailRow, {});
    });
    emit m_loader->documentComplete(
        hostRow + QString(300'000, u'x') + "\r\n" + detailRow + detailRow, {});
    QVERIFY(restarted);
    QVERIFY2(!m_list.entries.contains("42=old"), qPrintable(m_list.entries.join(u',')));
    // Between two pages read to their end, a host still carries over.
    emit m_loader->documentComplete(hostRow, {});
    emit m_loader->documentComplete(detailRow + detailRow, {});
    QVERIFY(m_list.entries.contains("42=old"));
}

// Catches a read budget too small for the largest account a listing page holds.
void TestRetrieval::accountNearCapacityListsWhole()
{
    for (int i = 0; i < 30'000; ++i)
        m_simulator->addHost(SimulatedKind::Dynamic, QStringLiteral("h%1.zonara.example").arg(i),
                             "192.0.2.9");
    QVERIFY(retrieveAll());
    QCOMPARE(m_list.entries.size(), 30'003);
}

ZONARA_TEST_GUILESS_MAIN(TestRetrieval)
#include "tst_retrieval.moc"
