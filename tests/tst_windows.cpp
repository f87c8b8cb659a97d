#include "buildconfig.h"
#include "desktopplatform.h"
#include "form2.h"
#include "form3.h"
#include "form4.h"
#include "linecontrol.h"
#include "linkcolour.h"
#include "testmain.h"
#include "windowtesthelpers.h"
#include "windowtitlebar.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyleOptionButton>

using namespace zonara;

namespace {

// What a control shows: its caption, text, or items.
QString shownText(const QWidget *widget)
{
    if (auto *button = qobject_cast<const QAbstractButton *>(widget))
        return button->text();
    if (auto *label = qobject_cast<const QLabel *>(widget))
        return label->text();
    if (auto *edit = qobject_cast<const QLineEdit *>(widget))
        return edit->text();
    if (auto *edit = qobject_cast<const QPlainTextEdit *>(widget))
        return edit->toPlainText();
    if (auto *combo = qobject_cast<const QComboBox *>(widget)) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        return items.join(u'|');
    }
    if (auto *list = qobject_cast<const QListWidget *>(widget))
        return QString::number(list->count());
    return QStringLiteral("?");
}

// The texts of `window`'s shown controls that do not show whole: wider or taller than the room
// their control draws them in.
QStringList cutTexts(QWidget &window)
{
    QStringList cut;
    for (QWidget *control : window.findChildren<QWidget *>()) {
        QStyle *style = control->style();
        QRect room = control->contentsRect();
        QStringList texts;
        if (auto *label = qobject_cast<QLabel *>(control); label && label->wordWrap()) {
            if (label->heightForWidth(label->width()) > label->height())
                cut << label->text();
        } else if (label) {
            texts << label->text();
        } else if (auto *button = qobject_cast<QAbstractButton *>(control)) {
            QStyleOptionButton option;
            option.initFrom(button);
            room = style->subElementRect(qobject_cast<QCheckBox *>(button)
                                             ? QStyle::SE_CheckBoxContents
                                             : QStyle::SE_PushButtonContents,
                                         &option, button);
            texts << button->text().remove(u'&');
        } else if (auto *combo = qobject_cast<QComboBox *>(control)) {
            QStyleOptionComboBox option;
            option.initFrom(combo);
            room = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField,
                                         combo);
            texts = shownText(combo).split(u'|');
        } else if (auto *edit = qobject_cast<QLineEdit *>(control)) {
            QStyleOptionFrame option;
            option.initFrom(edit);
            room = style->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                       .marginsRemoved(edit->textMargins());
            texts << (edit->text().isEmpty() ? QStringLiteral("Ag") : edit->text());
        } else if (auto *list = qobject_cast<QListWidget *>(control); list && list->count()) {
            room = QRect(0, 0, list->viewport()->width(),
                         list->visualItemRect(list->item(0)).height());
            for (int i = 0; i < list->count(); ++i)
                texts << list->item(i)->text();
        }
        for (const QString &text : std::as_const(texts)) {
            const QFontMetrics metrics = control->fontMetrics();
            if (control->isVisibleTo(&window) && (metrics.horizontalAdvance(text) > room.width() ||
                                                  metrics.height() > room.height()))
                cut << control->objectName() + QStringLiteral(": ") + text;
        }
    }
    return cut;
}

void addControlColumns()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("shown");
}

void addControl(const char *name, const char *className, QRect twips, const QString &text,
                bool enabled = true, bool shown = true)
{
    QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(className) << twips
                        << text << enabled << shown;
}

const QString Types = QStringLiteral("Dynamic DNS|Static DNS");

void checkControl(QWidget &window)
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QRect, twips);
    QFETCH(QString, text);
    QFETCH(bool, enabled);
    QFETCH(bool, shown);

    auto *control = window.findChild<QWidget *>(name);
    QVERIFY2(control, qPrintable(name));
    QCOMPARE(control->parentWidget(), &window);
    QCOMPARE(QString::fromLatin1(control->metaObject()->className()), className);
    QCOMPARE(control->geometry(),
             QRect(twipsToPixels(twips.x()), twipsToPixels(twips.y()), twipsToPixels(twips.width()),
                   twipsToPixels(twips.height())));
    QCOMPARE(shownText(control), text);
    QCOMPARE(control->isEnabled(), enabled);
    QCOMPARE(!control->isHidden(), shown);
}

} // namespace

class TestWindows final : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase() { startWindows(); }
    void form1Controls_data();
    void form1Controls();
    void form2Controls_data();
    void form2Controls();
    void form3Controls_data();
    void form3Controls();
    void form4Controls_data();
    void form4Controls();
    void windowProperties();
    void linkFrame();
    void ownTitleBar_data();
    void ownTitleBar();
    void checkBoxSquareIsWhole_data();
    void checkBoxSquareIsWhole();
    void textsShowWhole_data();
    void textsShowWhole();
};

void TestWindows::form1Controls_data()
{
    addControlColumns();
    addControl("Command5", "QPushButton", {5400, 2280, 855, 255}, "&Convert", false);
    addControl("Command4", "QPushButton", {4560, 2280, 855, 255}, "&Edit", false);
    addControl("Command3", "QPushButton", {3720, 2280, 855, 255}, "&Delete", false);
    addControl("Command2", "QPushButton", {2880, 2280, 855, 255}, "&Add");
    addControl("Text4", "QLineEdit", {2880, 1920, 3495, 315}, "", false);
    addControl("Text3", "QLineEdit", {2880, 1560, 3495, 315}, "", false);
    addControl("Combo1", "QComboBox", {2880, 1200, 3495, 315}, Types, false);
    addControl("VList1", "QListWidget", {240, 1320, 1215, 450}, "0", true, false);
    addControl("Command1", "QPushButton", {1200, 840, 975, 255}, "Retrieve");
    addControl("Text2", "QLineEdit", {960, 480, 1215, 285}, "");
    addControl("Text1", "QLineEdit", {960, 120, 1215, 285}, "");
    addControl("List1", "zonara::HostListBox", {120, 1200, 2655, 3375}, "0");
    addControl("Label4", "QLabel", {4440, 360, 1965, 195}, "info@zmsoft.example");
    addControl("Label3", "QLabel", {3960, 120, 2415, 195}, "http://www.zmsoft.example/");
    addControl("Label2", "QLabel", {120, 480, 735, 195}, "Password:");
    addControl("Label1", "QLabel", {120, 120, 765, 195}, "Username:");
    addControl("Label5", "QLabel", {4320, 600, 2055, 195}, "Update to Zonara Manager", true, false);
}

void TestWindows::form1Controls()
{
    const auto window = makeForm1();
    checkControl(*window);
}

void TestWindows::form2Controls_data()
{
    addControlColumns();
    addControl("Command2", "QPushButton", {2760, 1440, 1215, 495}, "&Cancel");
    addControl("Command1", "QPushButton", {720, 1440, 1215, 495}, "&Add");
    addControl("Text2", "QLineEdit", {720, 840, 3255, 315}, "");
    addControl("Combo2", "QComboBox", {720, 120, 3255, 315}, Types);
    addControl("Check1", "QCheckBox", {720, 1200, 1575, 195}, "Wildchar enabled");
    addControl("Combo1", "QComboBox", {2520, 480, 1455, 315}, Site.domainSuffixes.join(u'|'));
    addControl("Text1", "QLineEdit", {720, 480, 1695, 315}, "");
    addControl("Label3", "QLabel", {120, 840, 195, 195}, "IP:");
    addControl("Label2", "QLabel", {120, 120, 405, 195}, "Type:");
    addControl("Label1", "QLabel", {120, 480, 375, 195}, "Host:");
}

void TestWindows::form2Controls()
{
    const auto main = makeForm1();
    Form2 dialog(*main, Site.domainSuffixes);
    checkControl(dialog);
    QCOMPARE(dialog.windowTitle(), "Add Zonara host...");
    QCOMPARE(child<QComboBox>(dialog, "Combo1")->currentIndex(), 0);
    QCOMPARE(child<QComboBox>(dialog, "Combo2")->currentText(), "Dynamic DNS");
    QVERIFY(child<QCheckBox>(dialog, "Check1")->isChecked());
}

void TestWindows::form3Controls_data()
{
    addControlColumns();
    addControl("Text1", "QPlainTextEdit", {120, 120, 4455, 2415}, "");
    addControl("Command1", "QPushButton", {1800, 2640, 1215, 495}, "&OK");
}

void TestWindows::form3Controls()
{
    Form3 window(NoService);
    checkControl(window);
    QCOMPARE(window.windowTitle(), "Rapport");
    auto *text = child<QPlainTextEdit>(window, "Text1");
    QCOMPARE(text->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(text->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
}

void TestWindows::form4Controls_data()
{
    addControlColumns();
    addControl("Command2", "QPushButton", {2760, 1440, 1215, 495}, "&Cancel");
    addControl("Command1", "QPushButton", {720, 1440, 1215, 495}, "&Update");
    addControl("Text2", "QLineEdit", {720, 840, 3255, 315}, "192.0.2.200");
    addControl("Combo2", "QComboBox", {720, 120, 3255, 315}, Types, false);
    addControl("Check1", "QCheckBox", {720, 1200, 1575, 195}, "Wildchar enabled");
    addControl("Text1", "QLineEdit", {720, 480, 3255, 315}, "", false);
    addControl("Label3", "QLabel", {120, 840, 195, 195}, "IP:");
    addControl("Label2", "QLabel", {120, 120, 405, 195}, "Type:");
    addControl("Label1", "QLabel", {120, 480, 375, 195}, "Host:");
}

void TestWindows::form4Controls()
{
    const auto main = makeForm1();
    Form4 dialog(*main, m_platform.localIpAddress());
    checkControl(dialog);
    QCOMPARE(dialog.windowTitle(), "Edit Zonara host...");
    QVERIFY(child<QCheckBox>(dialog, "Check1")->isChecked());
}

void TestWindows::windowProperties()
{
    const auto main = makeForm1();
    QCOMPARE(main->windowTitle(), "Zonara Manager by ZM Software");
    QCOMPARE(main->size(), QSize(429, 309));
    QCOMPARE(main->minimumSize(), main->maximumSize());
    QVERIFY(main->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!main->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(main->windowFlags().testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(!main->windowIcon().isNull());
    QCOMPARE(main->windowIcon().availableSizes().value(0), QSize(32, 32));

    const QCursor hand = child<QLabel>(*main, "Label3")->cursor();
    QCOMPARE(hand.shape(), Qt::BitmapCursor);
    QCOMPARE(hand.hotSpot(), QPoint(19, 0));
    QCOMPARE(hand.pixmap().size(), QSize(32, 32));
    for (const char *link : {"Label3", "Label4", "Label5"}) {
        auto *label = child<QLabel>(*main, link);
        QCOMPARE(label->palette().color(QPalette::WindowText), QColor(0x00, 0x00, 0x80));
        QVERIFY(!label->font().underline());
        QCOMPARE(label->cursor().hotSpot(), QPoint(19, 0));
    }

    Form2 add(*main, Site.domainSuffixes);
    Form3 report(NoService);
    Form4 edit(*main, QString());
    for (QDialog *dialog : std::initializer_list<QDialog *>{&add, &report, &edit}) {
        dialog->show();
        QVERIFY(dialog->isModal());
        QVERIFY(!dialog->parentWidget());
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(!dialog->windowFlags().testFlag(Qt::WindowContextHelpButtonHint));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        dialog->showMinimized(); // which a window manager may offer anyway
        QTRY_VERIFY(!dialog->isMinimized());
        dialog->hide();
    }
    QCOMPARE(add.size(), QSize(302, 137));
    QCOMPARE(report.size(), QSize(312, 213));
    QCOMPARE(edit.size(), QSize(302, 137));
}

void TestWindows::linkFrame()
{
    const auto main = makeForm1();
    const QList<QList<int>> expected = {
        {3840, 0, 3840, 720}, {6480, 720, 3840, 720}, {3825, 0, 3825, 720}, {3840, 735, 6480, 735}};
    for (int i = 0; i < 4; ++i) {
        auto *line = main->findChild<QObject *>(QStringLiteral("Line%1").arg(i + 1));
        QVERIFY(line);
        QVERIFY(!line->isWidgetType());
        const QList<int> points = {line->property("X1").toInt(), line->property("Y1").toInt(),
                                   line->property("X2").toInt(), line->property("Y2").toInt()};
        QCOMPARE(points, expected[i]);
    }

    // The lines are drawn one pixel wide in the palette's shadow and highlight colours, and a
    // moved end point is drawn at once.
    auto *line2 = main->findChild<LineControl *>(QStringLiteral("Line2"));
    QImage before = main->grab().toImage();
    const QRgb shadow = main->palette().color(QPalette::Dark).rgb();
    const QRgb highlight = main->palette().color(QPalette::Light).rgb();
    QCOMPARE(before.pixel(300, 48), shadow);
    QCOMPARE(before.pixel(300, 49), highlight);
    QCOMPARE(before.pixel(256, 20), highlight);
    QCOMPARE(before.pixel(255, 20), shadow);
    QVERIFY(line2->setProperty("Y1", 960));
    QVERIFY(line2->setProperty("Y2", 960));
    QImage after = main->grab().toImage();
    QCOMPARE(after.pixel(300, 64), shadow);
    QVERIFY(after.pixel(300, 48) != shadow);
}

void TestWindows::ownTitleBar_data()
{
    QTest::addColumn<int>("window");
    QTest::addColumn<bool>("minimizable");
    QTest::newRow("main window") << 0 << true;
    QTest::newRow("add-host dialog") << 1 << false;
    QTest::newRow("report") << 2 << false;
}

// Where Qt's title bar would offer maximize (Wayland), the windows draw their own.
void TestWindows::ownTitleBar()
{
    QFETCH(int, window);
    QFETCH(bool, minimizable);
    const auto main = makeForm1();
    Form2 add(*main, Site.domainSuffixes);
    Form3 report(NoService);
    QWidget *const windows[] = {main.get(), &add, &report};
    QWidget *shown = windows[window];
    QWidget *control = shown->findChildren<QWidget *>(Qt::FindDirectChildrenOnly).value(0);
    const QRect designed = control->geometry();
    const QSize designedSize = shown->size();
    drawOwnTitleBar(*shown, minimizable);
    auto *bar = shown->findChild<WindowTitleBar *>();
    QVERIFY(bar);
    const int barHeight = ownTitleBarHeight(*shown);
    QVERIFY(barHeight > shown->fontMetrics().height());
    QVERIFY(shown->windowFlags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(shown->size(), designedSize + QSize(0, barHeight));
    QCOMPARE(shown->minimumSize(), shown->maximumSize());
    QCOMPARE(control->geometry(), designed.translated(0, barHeight));
    QCOMPARE(bar->width(), shown->width());
    if (window == 0) // the link frame, painted by the window, moves down with the controls
        QCOMPARE(shown->grab().toImage().pixel(300, 48 + barHeight),
                 shown->palette().color(QPalette::Dark).rgb());

    shown->show();
    QVERIFY(QTest::qWaitForWindowExposed(shown));
    const QRect minimize = bar->buttonRect(WindowTitleBar::Button::Minimize);
    QCOMPARE(!minimize.isNull(), minimizable);
    if (minimizable) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, minimize.center());
        QTRY_VERIFY(shown->isMinimized());
        shown->showNormal();
    }
    // A press on the close box taken off it closes nothing.
    const QPoint close = bar->buttonRect(WindowTitleBar::Button::Close).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, close);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, close - QPoint(close.x() / 2, 0));
    QVERIFY(shown->isVisible());
    QTest::mouseClick(bar, Qt::LeftButton, {}, close);
    QVERIFY(!shown->isVisible());
}

void TestWindows::checkBoxSquareIsWhole_data()
{
    QTest::addColumn<int>("window");
    QTest::newRow("add-host dialog") << 2;
    QTest::newRow("edit-host dialog") << 4;
}

void TestWindows::checkBoxSquareIsWhole()
{
    QFETCH(int, window);
    const auto main = makeForm1();
    std::unique_ptr<QDialog> dialog;
    if (window == 2)
        dialog = std::make_unique<Form2>(*main, Site.domainSuffixes);
    else
        dialog = std::make_unique<Form4>(*main, QString());
    dialog->show();
    QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    auto *box = child<QCheckBox>(*dialog, "Check1");
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect square = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box);
    QVERIFY2(box->rect().contains(square),
             qPrintable(QStringLiteral("square %1,%2 %3x%4 in a box %5 high")
                            .arg(square.x())
                            .arg(square.y())
                            .arg(square.width())
                            .arg(square.height())
                            .arg(box->height())));
    // Its lower edge is drawn: the bottom row of the square is not the box's background.
    const QImage image = box->grab().toImage();
    const QRgb background = image.pixel(image.width() - 1, image.height() - 1);
    QVERIFY(image.pixel(square.center().x(), square.bottom()) != background);
    // Fault caught: the edit dialog opened with the focus in its check box, and nothing showed it.
    if (window == 4) {
        QVERIFY(QTest::qWaitForWindowActive(dialog.get()));
        QVERIFY(box->hasFocus());
        child(*dialog, "Text2")->setFocus();
        const QImage unfocused = box->grab().toImage();
        box->setFocus();
        QVERIFY(box->grab().toImage() != unfocused);
    }
}

void TestWindows::textsShowWhole_data()
{
    QTest::addColumn<int>("window");
    // Catches a caption, entry, item, link or button text cut off in a font the windows were not
    // designed for (the test runs once more under a desktop theme with a larger font).
    int window = 0;
    for (const char *name : {"main window", "add-host", "report", "edit-host", "question"})
        QTest::newRow(name) << window++;
}

void TestWindows::textsShowWhole()
{
    QFETCH(int, window);
    const auto main = makeForm1();
    QStringList cut;
    const auto check = [&cut](QWidget &shown) {
        shown.show();
        cut = cutTexts(shown);
    };
    // The suffixes this build ships: the designed domain list is too narrow for longer ones.
    Form2 add(*main, build::siteConfig().domainSuffixes);
    Form3 report(NoService);
    Form4 edit(*main, QStringLiteral("203.0.113.254"));
    const ModalWatch<QMessageBox> watch([&](QMessageBox &box) {
        cut = cutTexts(box);
        box.button(QMessageBox::No)->click();
    });
    if (window == 0) {
        child(*main, "Label5")->show();
        child<QListWidget>(*main, "List1")->addItem(QStringLiteral("office.zonara-home.example"));
        check(*main);
        // A desktop's font grows the window; the design font keeps it to the pixel.
        QCOMPARE(main->width() > 429, qgetenv("QT_QPA_PLATFORMTHEME") == "qt6ct");
        const QColor surface = main->palette().color(QPalette::Window);
        QTest::mouseMove(child(*main, "Label3"));
        const QColor highlighted = child(*main, "Label3")->palette().color(QPalette::WindowText);
        const QColor resting = child(*main, "Label4")->palette().color(QPalette::WindowText);
        QVERIFY2(contrastRatio(highlighted, surface) >= 4.5, qPrintable(highlighted.name()));
        QVERIFY2(contrastRatio(resting, surface) >= 4.5, qPrintable(resting.name()));
        QVERIFY(highlighted != resting);
        // Fault caught: the selected host's details, greyed, read at 1.5:1. What the control
        // shows most is its background; its text is what stands furthest from it.
        child<QLineEdit>(*main, "Text3")->setText(QStringLiteral("IP address: 192.0.2.1"));
        child<QLineEdit>(*main, "Text4")->setText(QStringLiteral("Wildcard: on"));
        child<QComboBox>(*main, "Combo1")->setCurrentIndex(1);
        for (const char *detail : {"Text3", "Text4", "Combo1"}) {
            const QImage shown = child(*main, detail)->grab().toImage();
            QHash<QRgb, int> count;
            for (int y = 3; y < shown.height() - 3; ++y)
                for (int x = 3; x < shown.width() - 3; ++x)
                    ++count[shown.pixel(x, y)];
            const QColor ground(std::max_element(count.cbegin(), count.cend()).key());
            double best = 1;
            for (auto colour = count.cbegin(); colour != count.cend(); ++colour)
                best = std::max(best, contrastRatio(QColor(colour.key()), ground));
            QVERIFY2(best >= 4.5, qPrintable(QStringLiteral("%1: %2").arg(detail).arg(best)));
        }
    } else if (window < 4) {
        check(*std::array<QWidget *, 3>{&add, &report, &edit}[window - 1]);
    } else {
        DesktopPlatform().askYesNo(
            QStringLiteral("Sure?"),
            QStringLiteral("Sure you want to delete office.zonara-home.example?"));
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(u'\n')));
}

ZONARA_TEST_MAIN(TestWindows, "offscreen")
#include "tst_windows.moc"
