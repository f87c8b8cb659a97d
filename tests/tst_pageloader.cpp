#include "membersimulator.h"
#include "pageloader.h"
#include "requests.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>

using namespace zonara;
using namespace zonara::simulator;

Q_DECLARE_METATYPE(zonara::simulator::Fault)

namespace {

// Loads `address` and waits for its one completion.
QString loaded(PageLoader &loader, const QString &address)
{
    QSignalSpy complete(&loader, &PageLoader::documentComplete);
    loader.load(address);
    if (!complete.wait(20'000))
        return QStringLiteral("(no completion)");
    QTest::qWait(50); // a second completion would show here
    if (complete.count() != 1)
        return QStringLiteral("(%1 completions)").arg(complete.count());
    return loader.documentHtml();
}

QString titleOf(const QString &document)
{
    const qsizetype start = document.indexOf(QStringLiteral("<TITLE>"));
    const qsizetype end = document.indexOf(QStringLiteral("</TITLE>"));
    return start < 0 || end < start ? QString() : document.mid(start + 7, end - start - 7);
}

} // namespace

class TestPageLoader final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void rightCredentialsGetTheListing();
    void wrongCredentialsEndOnceWithTheRefusal();
    void credentialsAreNeverReused();
    void credentialsWithSpecialCharacters_data();
    void credentialsWithSpecialCharacters();
    void newLoadAbandonsTheOneInFlight();
    void plainTextKeepsItsLines();
    void failuresCompleteWithAnErrorPage_data();
    void failuresCompleteWithAnErrorPage();
    void refusedConnection();
    void invalidAddressStillCompletesLater();

private:
    std::unique_ptr<MemberSimulator> m_simulator;
};

void TestPageLoader::init()
{
    m_simulator = std::make_unique<MemberSimulator>();
    m_simulator->setAccount("user", "secret");
    m_simulator->addHost(SimulatedKind::Dynamic, "alpha.zonara.example", "192.0.2.1", true);
    m_simulator->addHost(SimulatedKind::Static, "beta.zonara.example", "192.0.2.2");
    QVERIFY(m_simulator->start() > 0);
}

void TestPageLoader::cleanup()
{
    m_simulator.reset();
}

void TestPageLoader::rightCredentialsGetTheListing()
{
    PageLoader loader;
    const QString page = loaded(
        loader, MemberRequests(m_simulator->memberHost(), {"user", "secret"}).dynamicListing());
    QVERIFY2(page.contains("\r\n<TR><TD><INPUT TYPE=\"radio\" NAME=\"host_id\" VALUE=\"101\"></TD>"
                           "<TD>alpha.zonara.example</TD></TR>\r\n"),
             qPrintable(page));
    const QList<LoggedRequest> log = m_simulator->requestLog();
    QCOMPARE(log.size(), 1);
    QCOMPARE(log[0].path, "/nic/zonara");
    QCOMPARE(log[0].user, "user");
}

void TestPageLoader::wrongCredentialsEndOnceWithTheRefusal()
{
    PageLoader loader;
    const QString page = loaded(
        loader, MemberRequests(m_simulator->memberHost(), {"user", "wrong"}).dynamicListing());
    QCOMPARE(titleOf(page), "401 Authorization Required");
    QCOMPARE(m_simulator->requestLog().size(), 1);
    QVERIFY(!m_simulator->requestLog()[0].authenticated);
}

void TestPageLoader::credentialsAreNeverReused()
{
    PageLoader loader;
    const QString host = m_simulator->memberHost();
    loaded(loader, MemberRequests(host, {"user", "secret"}).dynamicListing());
    loaded(loader, QStringLiteral("http://%1/nic/zonara").arg(host));
    loaded(loader, MemberRequests(host, {"user", "other"}).staticListing());
    loaded(loader, MemberRequests(host, {"user", "secret"}).staticListing());

    const QList<LoggedRequest> log = m_simulator->requestLog();
    QCOMPARE(log.size(), 4);
    QCOMPARE(log[0].authenticated, true);
    QCOMPARE(log[1].authenticated, false);
    QCOMPARE(log[2].authenticated, false);
    QCOMPARE(log[3].authenticated, true);
}

void TestPageLoader::credentialsWithSpecialCharacters_data()
{
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");

    QTest::newRow("at and colon in password") << "user"
                                              << "p@ss:word";
    QTest::newRow("slash, hash, question mark") << "user"
                                                << "a/b#c?d";
    QTest::newRow("percent and blank") << "us er"
                                       << "100% sure";
    QTest::newRow("non-ASCII") << "müller"
                               << "pässwört✓";
    QTest::newRow("empty password") << "user"
                                    << "";
}

void TestPageLoader::credentialsWithSpecialCharacters()
{
    QFETCH(QString, user);
    QFETCH(QString, password);
    m_simulator->setAccount(user, password);

    PageLoader loader;
    const QString page = loaded(
        loader, MemberRequests(m_simulator->memberHost(), {user, password}).dynamicListing());
    QVERIFY2(page.contains("alpha.zonara.example"), qPrintable(page));
    QCOMPARE(m_simulator->requestLog().size(), 1);
    QCOMPARE(m_simulator->requestLog()[0].user, user);
}

void TestPageLoader::newLoadAbandonsTheOneInFlight()
{
    m_simulator->setAnnouncement("vers=1.1\n");
    PageLoader loader;
    QSignalSpy complete(&loader, &PageLoader::documentComplete);
    loader.load(MemberRequests(m_simulator->memberHost(), {"user", "secret"}).dynamicListing());
    loader.load(m_simulator->announcementAddress());
    QVERIFY(complete.wait());
    QTest::qWait(200);
    QCOMPARE(complete.count(), 1);
    QCOMPARE(loader.documentHtml(), "vers=1.1\r\n");
}

void TestPageLoader::plainTextKeepsItsLines()
{
    m_simulator->setAnnouncement("vers=1.2\nfile=http://x/a?b=1&c=<2>\n\ndesc=text\r\n");
    PageLoader loader;
    QCOMPARE(loaded(loader, m_simulator->announcementAddress()),
             "vers=1.2\r\nfile=http://x/a?b=1&c=<2>\r\n\r\ndesc=text\r\n");
}

void TestPageLoader::failuresCompleteWithAnErrorPage_data()
{
    QTest::addColumn<Fault>("fault");
    QTest::addColumn<QString>("title");

    QTest::newRow("no answer") << Fault::Hang << "No answer";
    QTest::newRow("connection closed mid-answer") << Fault::CloseMidAnswer << "Page not loaded";
    QTest::newRow("500 with empty body") << Fault::EmptyServerError << "HTTP 500";
    QTest::newRow("too large") << Fault::Oversized << "Page too large";
    QTest::newRow("redirect loop") << Fault::RedirectLoop << "Page not loaded";
    QTest::newRow("one byte at a time") << Fault::Trickle << "No answer";
}

void TestPageLoader::failuresCompleteWithAnErrorPage()
{
    QFETCH(Fault, fault);
    QFETCH(QString, title);
    m_simulator->setFault(fault);

    PageLoader loader;
    loader.setTimeout(std::chrono::milliseconds(1500));
    const QString page = loaded(
        loader, MemberRequests(m_simulator->memberHost(), {"user", "secret"}).dynamicListing());
    QCOMPARE(titleOf(page), title);
    QVERIFY2(page.startsWith("<HTML><HEAD><TITLE>") &&
                 page.contains("</TITLE></HEAD><BODY><PRE>") &&
                 page.endsWith("</PRE></BODY></HTML>\r\n"),
             qPrintable(page));
    QVERIFY2(!page.contains("secret"), qPrintable(page));
}

void TestPageLoader::refusedConnection()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();

    PageLoader loader;
    const QString page = loaded(
        loader, MemberRequests(QStringLiteral("127.0.0.1:%1").arg(closedPort), {"user", "pa55"})
                    .dynamicListing());
    QCOMPARE(titleOf(page), "Page not loaded");
    QVERIFY2(page.contains("refused", Qt::CaseInsensitive), qPrintable(page));
    QVERIFY2(!page.contains("pa55"), qPrintable(page));
}

void TestPageLoader::invalidAddressStillCompletesLater()
{
    PageLoader loader;
    QSignalSpy complete(&loader, &PageLoader::documentComplete);
    loader.load(QStringLiteral("not an address"));
    QCOMPARE(complete.count(), 0);
    QVERIFY(complete.wait());
    QCOMPARE(titleOf(loader.documentHtml()), "Invalid address");
}

QTEST_GUILESS_MAIN(TestPageLoader)
#include "tst_pageloader.moc"
