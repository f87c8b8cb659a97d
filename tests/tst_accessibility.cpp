#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "linkaccessibility.h"
#include "testmain.h"
#include "windowaccessibility.h"
#include "windowtesthelpers.h"

#include <QAccessible>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>

using namespace zonara;

class TestAccessibility final : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase() { startWindows(); }
    void accessibleNames_data();
    void accessibleNames();
    void windowsReachScreenReaders_data();
    void windowsReachScreenReaders();
};

void TestAccessibility::accessibleNames_data()
{
    QTest::addColumn<QString>("window");
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("described"); // a description of its own beside the name
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("opens"); // what the link's press action opens, if anything

    const auto row = [](const char *window, const char *control, const char *name, bool described,
                        QAccessible::Role role, const QString &opens = {}) {
        QTest::addRow("%s.%s", window, control)
            << QString::fromLatin1(window) << QString::fromLatin1(control)
            << QString::fromUtf8(name) << described << int(role) << opens;
    };
    row("Form1", "Text1", "Username", false, QAccessible::EditableText);
    row("Form1", "Text2", "Password", false, QAccessible::EditableText);
    row("Form1", "Command1", "Retrieve", false, QAccessible::Button);
    row("Form1", "List1", "Hosts", true, QAccessible::List);
    row("Form1", "Combo1", "Host type", true, QAccessible::ComboBox);
    row("Form1", "Text3", "First detail", true, QAccessible::EditableText);
    row("Form1", "Text4", "Second detail", true, QAccessible::EditableText);
    row("Form1", "Command2", "Add", false, QAccessible::Button);
    row("Form1", "Command3", "Delete", false, QAccessible::Button);
    row("Form1", "Command4", "Edit", false, QAccessible::Button);
    row("Form1", "Command5", "Convert", false, QAccessible::Button);
    row("Form1", "Label3", "http://www.zmsoft.example/", true, QAccessible::Link, Site.homePage);
    row("Form1", "Label4", "info@zmsoft.example", true, QAccessible::Link,
        QStringLiteral("mailto:feedback@zmsoft.example?subject=Zonara Manager 1.0"));
    // Hidden until an update is announced: pressing it then opens nothing.
    row("Form1", "Label5", "Update to Zonara Manager", true, QAccessible::Link);
    row("Form2", "Combo2", "Type:", false, QAccessible::ComboBox);
    row("Form2", "Text1", "Host:", false, QAccessible::EditableText);
    row("Form2", "Combo1", "Domain", true, QAccessible::ComboBox);
    row("Form2", "Check1", "Wildchar enabled", false, QAccessible::CheckBox);
    row("Form2", "Text2", "IP:", false, QAccessible::EditableText);
    row("Form2", "Command1", "Add", false, QAccessible::Button);
    row("Form2", "Command2", "Cancel", false, QAccessible::Button);
    row("Form3", "Text1", "Answer", true, QAccessible::EditableText);
    row("Form3", "Command1", "OK", false, QAccessible::Button);
    row("Form4", "Text1", "Host:", false, QAccessible::EditableText);
    row("Form4", "Combo2", "Type:", false, QAccessible::ComboBox);
    row("Form4", "Check1", "Wildchar enabled", false, QAccessible::CheckBox);
    row("Form4", "Text2", "IP:", false, QAccessible::EditableText);
    row("Form4", "Command1", "Update", false, QAccessible::Button);
    row("Form4", "Command2", "Cancel", false, QAccessible::Button);
}

void TestAccessibility::accessibleNames()
{
    QFETCH(QString, window);
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(bool, described);
    QFETCH(int, role);
    QFETCH(QString, opens);

    installLinkAccessibility();
    installWindowAccessibility(); // the answer box's interface, as the program has it
    m_platform.opened.clear();
    const std::unique_ptr<Form1> main = makeForm1();
    std::unique_ptr<QWidget> secondary;
    if (window == QLatin1String("Form2"))
        secondary = std::make_unique<Form2>(*main, Site.domainSuffixes);
    else if (window == QLatin1String("Form3"))
        secondary = std::make_unique<Form3>(NoService);
    else if (window == QLatin1String("Form4"))
        secondary = std::make_unique<Form4>(*main, m_platform.localIpAddress());
    QWidget &shown = secondary ? *secondary : *main;

    auto *widget = shown.findChild<QWidget *>(control);
    QVERIFY2(widget, qPrintable(control));
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(accessible);
    QString announced = accessible->text(QAccessible::Name);
    // On Linux Qt names a drop-down list by its chosen item: a screen reader takes the list's
    // label from its label relation, and Qt gives the list's own name only while none is chosen.
    if (accessible->role() == QAccessible::ComboBox) {
        const auto labels = accessible->relations(QAccessible::Label);
        announced = labels.isEmpty() ? widget->accessibleName()
                                     : labels.first().first->text(QAccessible::Name);
    }
    QCOMPARE(announced, name);
    QCOMPARE(int(accessible->role()), role);
    const QString description = accessible->text(QAccessible::Description);
    QCOMPARE(!description.isEmpty() && description != name, described);

    // Fault caught: a text box a reader cannot read, or the answer box giving the wrong line.
    if (auto *box = qobject_cast<QPlainTextEdit *>(widget)) {
        box->setPlainText(QStringLiteral("first\nsecond"));
        QAccessibleTextInterface *text = accessible->textInterface();
        QVERIFY(text);
        int start = 0;
        int end = 0;
        QCOMPARE(text->textAtOffset(8, QAccessible::LineBoundary, &start, &end), "second");
        QCOMPARE(start, 6);
        QCOMPARE(text->text(0, 6), "first\n");
    }

    // A link is also what a screen reader activates: its press action clicks it.
    if (role == QAccessible::Link) {
        QVERIFY(accessible->actionInterface());
        QVERIFY(accessible->actionInterface()->actionNames().contains(
            QAccessibleActionInterface::pressAction()));
        accessible->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(m_platform.opened, opens.isEmpty() ? QStringList() : QStringList{opens});
    }
}

void TestAccessibility::windowsReachScreenReaders_data()
{
    QTest::addColumn<int>("window"); // 0: a Yes/No question
    QTest::addColumn<int>("role");
    QTest::addColumn<QString>("name");
    // Faults caught: the main window read as a filler, a question as an alert.
    QTest::newRow("main window") << 1 << int(QAccessible::Window)
                                 << "Zonara Manager by ZM Software";
    QTest::newRow("add-host dialog") << 2 << int(QAccessible::Dialog) << "Add Zonara host...";
    QTest::newRow("edit-host dialog") << 4 << int(QAccessible::Dialog) << "Edit Zonara host...";
    QTest::newRow("question") << 0 << int(QAccessible::Dialog) << "Sure?";
    // Fault caught: the answer box listed the hidden holder of its horizontal scroll bar.
    QTest::newRow("report window") << 3 << int(QAccessible::Dialog) << "Rapport";
}

void TestAccessibility::windowsReachScreenReaders()
{
    QFETCH(int, window);
    QFETCH(int, role);
    QFETCH(QString, name);
    installWindowAccessibility();
    const auto main = makeForm1();
    std::unique_ptr<QWidget> secondary;
    if (window == 0)
        secondary = std::make_unique<QMessageBox>(QMessageBox::NoIcon, name, QStringLiteral("x"),
                                                  QMessageBox::Yes | QMessageBox::No);
    else if (window == 2)
        secondary = std::make_unique<Form2>(*main, Site.domainSuffixes);
    else if (window == 3)
        secondary = std::make_unique<Form3>(NoService);
    else if (window == 4)
        secondary = std::make_unique<Form4>(*main, QString());
    QWidget &shown = secondary ? *secondary : *main;
    shown.show();
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&shown);
    QCOMPARE(int(accessible->role()), role);
    QCOMPARE(accessible->text(QAccessible::Name), name);
    // Fault caught: the hidden id list VList1 (and the hidden update link) were read out: every
    // control a reader reaches, at any depth, must be shown.
    QVERIFY(accessible->childCount() > 0);
    // Fault caught: the controls were read bottom to top, in the order the form creates them.
    for (int index = 1; index < accessible->childCount(); ++index) {
        const QRect before = accessible->child(index - 1)->rect();
        const QRect next = accessible->child(index)->rect();
        QVERIFY(std::pair(before.y(), before.x()) <= std::pair(next.y(), next.x()));
    }
    for (QList<QAccessibleInterface *> reached{accessible}; !reached.isEmpty();) {
        QAccessibleInterface *parent = reached.takeLast();
        for (int index = 0; index < parent->childCount(); ++index) {
            QAccessibleInterface *control = parent->child(index);
            auto *controlWidget = qobject_cast<QWidget *>(control->object());
            if (controlWidget)
                QVERIFY2(!controlWidget->isHidden(), qPrintable(controlWidget->objectName()));
            // Fault caught: the greyed detail boxes were read as editable.
            if (qobject_cast<QLineEdit *>(controlWidget) && !controlWidget->isEnabled())
                QVERIFY2(control->state().readOnly, qPrintable(controlWidget->objectName()));
            reached.append(control);
        }
    }
}

ZONARA_TEST_MAIN(TestAccessibility, "offscreen")
#include "tst_accessibility.moc"
