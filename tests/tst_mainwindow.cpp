#include "displaytext.h"
#include "form4.h"
#include "mainwindowfixture.h"
#include "testmain.h"

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
    void hostListIsASingleSelectionListBox_data();
    void hostListIsASingleSelectionListBox();
    void hugeHostNameNeverFreezesTheWindow();

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
    if (withId)
        f->control<QListWidget>("VList1")->addItem(idText);
    f->control<QListWidget>("List1")->addItem(QStringLiteral("odd"));
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

void TestMainWindow::hostListIsASingleSelectionListBox_data()
{
    // Steps after Tab has brought the focus into the list: key names, "Ctrl+" a key,
    // "click N" or "Ctrl+click N" on entry N.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<int>("selected"); // -1: none

    QTest::newRow("focus alone selects nothing") << QStringList() << -1;
    QTest::newRow("Home selects the first") << QStringList{"Home"} << 0;
    QTest::newRow("Down selects the first") << QStringList{"Down"} << 0;
    QTest::newRow("Up selects the first") << QStringList{"Up"} << 0;
    QTest::newRow("PageDown selects the first") << QStringList{"PageDown"} << 0;
    QTest::newRow("Space selects the first") << QStringList{"Space"} << 0;
    QTest::newRow("End selects the last") << QStringList{"End"} << 2;
    QTest::newRow("PageUp selects where it lands") << QStringList{"PageUp"} << 0;
    QTest::newRow("then Down moves on") << QStringList{"Home", "Down"} << 1;
    QTest::newRow("click selects") << QStringList{"click 2"} << 2;
    QTest::newRow("Ctrl+Space keeps the selection") << QStringList{"Down", "Ctrl+Space"} << 0;
    QTest::newRow("Ctrl+click keeps the selection") << QStringList{"click 1", "Ctrl+click 1"} << 1;
    QTest::newRow("Ctrl+click on another moves it") << QStringList{"click 1", "Ctrl+click 2"} << 2;
}

void TestMainWindow::hostListIsASingleSelectionListBox()
{
    QFETCH(QStringList, steps);
    QFETCH(int, selected);
    QVERIFY(f->retrieve());
    auto *list = f->control<QListWidget>("List1");
    auto *retrieve = f->control<QPushButton>("Command1");
    retrieve->setFocus();
    QTest::keyClick(retrieve, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), list);

    const QHash<QString, Qt::Key> keys = {
        {"Home", Qt::Key_Home},   {"End", Qt::Key_End},       {"Up", Qt::Key_Up},
        {"Down", Qt::Key_Down},   {"PageUp", Qt::Key_PageUp}, {"PageDown", Qt::Key_PageDown},
        {"Space", Qt::Key_Space},
    };
    for (QString step : steps) {
        Qt::KeyboardModifiers modifiers;
        if (step.startsWith("Ctrl+")) {
            modifiers = Qt::ControlModifier;
            step.remove(0, 5);
        }
        if (step.startsWith("click ")) {
            const QRect entry = list->visualItemRect(list->item(step.sliced(6).toInt()));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, entry.center());
        } else {
            QTest::keyClick(list, keys.value(step), modifiers);
        }
    }

    const QList<QListWidgetItem *> items = list->selectedItems();
    QCOMPARE(items.isEmpty() ? -1 : list->row(items.first()), selected);
    QVERIFY(items.size() <= 1);
    QCOMPARE(f->enabled("Command3"), selected >= 0);
    QCOMPARE(f->enabled("Command4"), selected >= 0);
    QCOMPARE(f->window->selectedHostName(), selected >= 0 ? list->item(selected)->text() : "");
    if (selected >= 0)
        QCOMPARE(f->window->selectedHostId(), f->listed()[selected].section(u'=', 0, 0));
}

void TestMainWindow::hugeHostNameNeverFreezesTheWindow()
{
    const QString name = QString(8'000'000, u'h') + QStringLiteral(".zonara.example");
    const int id = f->simulator.addHost(SimulatedKind::Dynamic, name, QStringLiteral("192.0.2.9"));
    FreezeWatch loop;
    QVERIFY(f->retrieve());
    QTRY_COMPARE(f->listed().size(), 4);
    f->select(boundedForDisplay(name));
    QTest::qWait(50);
    QVERIFY2(loop.longestGap() < 2'000, qPrintable(QString::number(loop.longestGap())));

    // The list shows a bounded name; the host is still the one selected, by its whole id.
    QCOMPARE(f->window->selectedHostId(), QString::number(id));
    QVERIFY(f->window->selectedHostName().size() <= LongestShownText + 1);
    QVERIFY(f->window->selectedHostName().startsWith(u"hhhh"));
    QVERIFY(f->enabled("Command3") && f->enabled("Command5"));

    // The edit-host dialog shows the name as the list does.
    QString shownInDialog;
    const ModalWatch<Form4> dialogWatch([&shownInDialog](Form4 &dialog) {
        shownInDialog = child<QLineEdit>(dialog, "Text1")->text();
        dialog.reject();
    });
    f->control<QPushButton>("Command4")->click();
    QCOMPARE(shownInDialog, f->window->selectedHostName());
    QVERIFY2(loop.longestGap() < 2'000, qPrintable(QString::number(loop.longestGap())));
}

ZONARA_TEST_MAIN(TestMainWindow, "offscreen")
#include "tst_mainwindow.moc"
