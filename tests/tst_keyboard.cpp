#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "testmain.h"
#include "windowtesthelpers.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>

using namespace zonara;

namespace {

QStringList focusChainFrom(QWidget &window, int steps)
{
    QStringList names;
    for (int i = 0; i < steps; ++i) {
        QWidget *focused = window.focusWidget();
        names << (focused ? focused->objectName() : QStringLiteral("(none)"));
        QTest::keyClick(focused ? focused : &window, Qt::Key_Tab);
    }
    return names;
}

} // namespace

class TestKeyboard final : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase() { startWindows(); }
    void tabOrder_data();
    void tabOrder();
    void passwordShowsOneStarPerCharacter();
    void enterInMainWindowPressesRetrieve_data();
    void enterInMainWindowPressesRetrieve();
    void enterOnAnotherButtonPressesThatButton();
    void escClosesNoWindow();
    void enterInHostDialogPressesOnlyAFocusedButton();
    void enterInReportWindowPressesOk();
    void defaultButtonKeepsItsFrame_data();
    void defaultButtonKeepsItsFrame();
};

void TestKeyboard::tabOrder_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<QStringList>("chain");

    QTest::newRow("main window") << 1 << QStringList{"Text1", "Text2",    "Command1",
                                                     "List1", "Command2", "Text1"};
    QTest::newRow("add-host dialog") << 2 << QStringList{"Text1", "Combo1",   "Check1",   "Combo2",
                                                         "Text2", "Command1", "Command2", "Text1"};
    QTest::newRow("report window") << 3 << QStringList{"Command1", "Text1", "Command1"};
    QTest::newRow("edit-host dialog")
        << 4 << QStringList{"Check1", "Text2", "Command1", "Command2", "Check1"};
}

void TestKeyboard::tabOrder()
{
    QFETCH(int, window);
    QFETCH(QStringList, chain);

    const auto main = makeForm1();
    std::unique_ptr<QWidget> dialog;
    switch (window) {
    case 2:
        dialog = std::make_unique<Form2>(*main, Site.domainSuffixes);
        break;
    case 3:
        dialog = std::make_unique<Form3>(NoService);
        break;
    case 4:
        dialog = std::make_unique<Form4>(*main, QString());
        break;
    default:
        break;
    }
    QWidget &shown = dialog ? *dialog : *main;
    shown.show();
    shown.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&shown));
    QCOMPARE(focusChainFrom(shown, int(chain.size())), chain);
}

void TestKeyboard::passwordShowsOneStarPerCharacter()
{
    const auto main = makeForm1();
    auto *password = child<QLineEdit>(*main, "Text2");
    password->setFocus();
    QTest::keyClicks(password, "p455 w!");
    QCOMPARE(password->text(), "p455 w!");
    QCOMPARE(password->displayText(), "*******");
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    // Alt+letter that is no access key typed the letter; AltGr (Ctrl+Alt) characters still type.
    QTest::keyClick(password, 'r', Qt::AltModifier);
    QTest::keyClick(password, '@', Qt::AltModifier | Qt::ControlModifier);
    QCOMPARE(password->text(), "p455 w!@");
}

void TestKeyboard::enterInMainWindowPressesRetrieve_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<int>("key");
    QTest::newRow("Return in the user name") << "Text1" << int(Qt::Key_Return);
    QTest::newRow("Enter in the password") << "Text2" << int(Qt::Key_Enter);
    QTest::newRow("Return in the host list") << "List1" << int(Qt::Key_Return);
    QTest::newRow("Return on Retrieve") << "Command1" << int(Qt::Key_Return);
}

void TestKeyboard::enterInMainWindowPressesRetrieve()
{
    QFETCH(QString, focus);
    QFETCH(int, key);
    const auto main = makeForm1();
    auto *retrieve = child<QPushButton>(*main, "Command1");
    QSignalSpy pressed(retrieve, &QPushButton::clicked);
    QWidget *target = main->findChild<QWidget *>(focus);
    target->setFocus();
    QTest::keyClick(target, Qt::Key(key));
    QCOMPARE(pressed.count(), 1);
}

void TestKeyboard::enterOnAnotherButtonPressesThatButton()
{
    const auto main = makeForm1();
    auto *add = child<QPushButton>(*main, "Command2");
    QSignalSpy retrieve(child<QPushButton>(*main, "Command1"), &QPushButton::clicked);
    QSignalSpy addPressed(add, &QPushButton::clicked);
    bool opened = false;
    const ModalWatch<Form2> dialogWatch([&opened](Form2 &dialog) {
        opened = true;
        dialog.reject();
    });
    add->setFocus();
    QTest::keyClick(add, Qt::Key_Return);
    QVERIFY(opened);
    QCOMPARE(addPressed.count(), 1);
    QCOMPARE(retrieve.count(), 0);
}

void TestKeyboard::escClosesNoWindow()
{
    const auto main = makeForm1();
    QTest::keyClick(main.get(), Qt::Key_Escape);
    QVERIFY(main->isVisible());

    Form2 add(*main, Site.domainSuffixes);
    Form3 report(NoService);
    Form4 edit(*main, QString());
    for (QDialog *dialog : std::initializer_list<QDialog *>{&add, &report, &edit}) {
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QTest::keyClick(dialog->focusWidget() ? dialog->focusWidget() : dialog, Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->result(), 0);
        dialog->hide();
    }
}

void TestKeyboard::enterInHostDialogPressesOnlyAFocusedButton()
{
    const auto main = makeForm1();
    Form2 add(*main, Site.domainSuffixes);
    add.show();
    QVERIFY(QTest::qWaitForWindowExposed(&add));
    auto *name = child<QLineEdit>(add, "Text1");
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Return);
    QVERIFY(add.isVisible());
    auto *cancel = child<QPushButton>(add, "Command2");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Return);
    QVERIFY(!add.isVisible());
    QCOMPARE(add.result(), int(QDialog::Rejected));

    Form4 edit(*main, QString());
    edit.show();
    QVERIFY(QTest::qWaitForWindowExposed(&edit));
    auto *ip = child<QLineEdit>(edit, "Text2");
    ip->setFocus();
    QTest::keyClick(ip, Qt::Key_Enter);
    QVERIFY(edit.isVisible());
}

void TestKeyboard::enterInReportWindowPressesOk()
{
    Form3 report(NoService);
    report.show();
    QVERIFY(QTest::qWaitForWindowExposed(&report));
    auto *text = child<QPlainTextEdit>(report, "Text1");
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Return);
    QVERIFY(!report.isVisible());
    QCOMPARE(report.result(), int(QDialog::Accepted));
}

void TestKeyboard::defaultButtonKeepsItsFrame_data()
{
    QTest::addColumn<int>("tabs"); // from the user name
    QTest::addColumn<bool>("framed");
    // Fault caught: Retrieve lost its frame for good once Tab had taken the focus past it.
    QTest::newRow("on Retrieve") << 2 << true;
    QTest::newRow("on to the host list") << 3 << true;
    QTest::newRow("on Add, which takes the frame") << 4 << false;
    QTest::newRow("round to the user name") << 5 << true;
}

void TestKeyboard::defaultButtonKeepsItsFrame()
{
    QFETCH(int, tabs);
    QFETCH(bool, framed);
    const auto main = makeForm1();
    for (int tab = 0; tab < tabs; ++tab)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(child<QPushButton>(*main, "Command1")->isDefault(), framed);
    if (auto *focused = qobject_cast<QPushButton *>(QApplication::focusWidget()))
        QVERIFY(focused->isDefault());
}

ZONARA_TEST_MAIN(TestKeyboard, "offscreen")
#include "tst_keyboard.moc"
