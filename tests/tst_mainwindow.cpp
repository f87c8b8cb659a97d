#include "mainwindowfixture.h"

using namespace zonara;
using namespace zonara::simulator;

class TestMainWindow final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsEmptyWithHostCommandsDisabled();
    void retrieveListsDynamicThenStaticHosts();
    void selectingAHostShowsItAndEnablesCommandsByKind();
    void secondRetrieveClearsListsButKeepsTheShownHost();
    void retrieveWithEmptyFieldsStillAsks();
    void wrongPasswordLeavesTheListEmpty();
    void selectionWithoutSlotChangesNothing_data();
    void selectionWithoutSlotChangesNothing();
    void announcementIsRequestedOnceAtStart();

private:
    std::unique_ptr<MainWindowFixture> f;
};

void TestMainWindow::init()
{
    f = std::make_unique<MainWindowFixture>();
    f->open();
}

void TestMainWindow::cleanup()
{
    f.reset();
}

void TestMainWindow::startsEmptyWithHostCommandsDisabled()
{
    QVERIFY(f->listed().isEmpty());
    QCOMPARE(f->control<QComboBox>("Combo1")->currentIndex(), -1);
    QVERIFY(f->control<QLineEdit>("Text3")->text().isEmpty());
    QVERIFY(!f->enabled("Command3") && !f->enabled("Command4") && !f->enabled("Command5"));
    QVERIFY(f->enabled("Command1") && f->enabled("Command2"));
    QCOMPARE(f->window->focusWidget(), f->control("Text1"));
}

void TestMainWindow::retrieveListsDynamicThenStaticHosts()
{
    QVERIFY(f->retrieve());
    QCOMPARE(f->listed(), QStringList({QStringLiteral("%1=alpha.zonara.example").arg(f->alpha),
                                       QStringLiteral("%1=beta.zhome.example").arg(f->beta),
                                       QStringLiteral("%1=www.zweb.example").arg(f->web)}));
    const QList<LoggedRequest> log = f->simulator.requestLog();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].path, "/nic/zonara");
    QCOMPARE(log[1].path, "/nic/statdns");
    QVERIFY(log[0].authenticated && log[1].authenticated);
    QVERIFY(!f->enabled("Command3") && !f->enabled("Command4") && !f->enabled("Command5"));
}

void TestMainWindow::selectingAHostShowsItAndEnablesCommandsByKind()
{
    QVERIFY(f->retrieve());
    f->select("www.zweb.example");
    QCOMPARE(f->control<QComboBox>("Combo1")->currentText(), "Static DNS");
    QCOMPARE(f->control<QLineEdit>("Text3")->text(), "IP address: 198.51.100.7");
    QCOMPARE(f->control<QLineEdit>("Text4")->text(), "Wildcard: off, backup MX: yes");
    QVERIFY(f->enabled("Command3") && f->enabled("Command4") && !f->enabled("Command5"));

    f->select("alpha.zonara.example");
    QCOMPARE(f->control<QComboBox>("Combo1")->currentText(), "Dynamic DNS");
    QCOMPARE(f->control<QLineEdit>("Text3")->text(), "IP address: 192.0.2.1");
    QCOMPARE(f->control<QLineEdit>("Text4")->text(), "Wildcard: on, backup MX: yes");
    QVERIFY(f->enabled("Command3") && f->enabled("Command4") && f->enabled("Command5"));
}

void TestMainWindow::secondRetrieveClearsListsButKeepsTheShownHost()
{
    QVERIFY(f->retrieve());
    f->select("www.zweb.example");
    f->control<QPushButton>("Command1")->click();
    QVERIFY(f->listed().isEmpty());
    QVERIFY(!f->enabled("Command3") && !f->enabled("Command4") && !f->enabled("Command5"));
    QCOMPARE(f->control<QComboBox>("Combo1")->currentText(), "Static DNS");
    QCOMPARE(f->control<QLineEdit>("Text3")->text(), "IP address: 198.51.100.7");
    QTRY_COMPARE(f->listed().size(), 3);
    QCOMPARE(f->control<QLineEdit>("Text4")->text(), "Wildcard: off, backup MX: yes");
}

void TestMainWindow::retrieveWithEmptyFieldsStillAsks()
{
    QVERIFY(f->retrieve(QString(), QString()));
    const QList<LoggedRequest> log = f->simulator.requestLog();
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0].path, "/nic/zonara");
    QVERIFY(!log[0].authenticated);
    QVERIFY(f->listed().isEmpty());
}

void TestMainWindow::wrongPasswordLeavesTheListEmpty()
{
    QVERIFY(f->retrieve("user", "wrong"));
    QVERIFY(f->listed().isEmpty());
    QVERIFY(!f->enabled("Command3"));
}

void TestMainWindow::selectionWithoutSlotChangesNothing_data()
{
    QTest::addColumn<QString>("idText");
    QTest::addColumn<bool>("withId");
    QTest::newRow("id beyond the table") << "100000" << true;
    QTest::newRow("negative id") << "-5" << true;
    QTest::newRow("no id entry") << "" << false;
}

void TestMainWindow::selectionWithoutSlotChangesNothing()
{
    QFETCH(QString, idText);
    QFETCH(bool, withId);
    QVERIFY(f->retrieve());
    f->select("www.zweb.example");
    if (withId) {
        f->window->appendHost(idText, QStringLiteral("odd"));
    } else {
        f->control<QListWidget>("List1")->addItem(QStringLiteral("odd"));
    }
    f->select("odd");
    QCOMPARE(f->control<QComboBox>("Combo1")->currentText(), "Static DNS");
    QCOMPARE(f->control<QLineEdit>("Text3")->text(), "IP address: 198.51.100.7");
    QVERIFY(!f->enabled("Command5"));
}

void TestMainWindow::announcementIsRequestedOnceAtStart()
{
    MainWindowFixture fresh;
    fresh.simulator.clearLog();
    Form1 window(fresh.site(), fresh.platform);
    QTRY_COMPARE(fresh.simulator.requestLog().size(), 1);
    QCOMPARE(fresh.simulator.requestLog()[0].path,
             QLatin1StringView(MemberSimulator::AnnouncementPath));
    QTest::qWait(100);
    QCOMPARE(fresh.simulator.requestLog().size(), 1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
