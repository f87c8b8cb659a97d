#include "desktopplatform.h"
#include "displaytext.h"
#include "form3.h"
#include "testmain.h"
#include "windowtesthelpers.h"
#include "xcbatoms.h"

#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#if QT_CONFIG(xcb)
#include <cstdlib>
#endif

using namespace zonara;

namespace {

// The caption as the window system holds it: on X11 the window's _NET_WM_NAME, which window
// managers show; elsewhere the platform window's title.
QString windowSystemCaption(QWidget &window)
{
#if QT_CONFIG(xcb)
    const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (xcb_connection_t *connection = x11 ? x11->connection() : nullptr) {
        xcb_get_property_reply_t *reply =
            xcb_get_property_reply(connection,
                                   xcb_get_property(connection, 0, xcb_window_t(window.winId()),
                                                    xcbAtom(connection, "_NET_WM_NAME"),
                                                    xcbAtom(connection, "UTF8_STRING"), 0, 1 << 20),
                                   nullptr);
        if (!reply)
            return QStringLiteral("(no _NET_WM_NAME)");
        const QString caption =
            QString::fromUtf8(static_cast<const char *>(xcb_get_property_value(reply)),
                              xcb_get_property_value_length(reply));
        std::free(reply);
        return caption;
    }
#endif
    return window.windowHandle() ? window.windowHandle()->title() : QStringLiteral("(no window)");
}

} // namespace

class TestCaptions final : public WindowTest
{
    Q_OBJECT

private slots:
    void initTestCase() { startWindows(); }
    void hiddenPageLoaders();
    void desktopQuestion_data();
    void desktopQuestion();
    void reportCaption_data();
    void reportCaption();
    void longAnswerLineNeverFreezes();
    void answerTextTakesTheKeyboard();
    void answerOfManyLinesIsCut();
};

void TestCaptions::hiddenPageLoaders()
{
    const auto main = makeForm1();
    for (const char *name : {"DHTMLEdit1", "DHTMLEdit2"}) {
        QObject *loader = main->findChild<QObject *>(QLatin1StringView(name));
        QVERIFY2(loader && !loader->isWidgetType(), name);
    }
    Form3 report(NoService);
    QObject *loader = report.findChild<QObject *>(QStringLiteral("DHTMLEdit1"));
    QVERIFY(loader && !loader->isWidgetType());
}

void TestCaptions::desktopQuestion_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("escapeFirst");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("shownText"); // null: the text as written

    QTest::newRow("Enter is Yes") << "Sure you want to delete alpha.zonara.example?" << false
                                  << true << QString();
    QTest::newRow("No") << "Sure you want to delete alpha.zonara.example?" << false << false
                        << QString();
    QTest::newRow("Esc presses nothing")
        << "Sure you want to convert x to a static DNS?" << true << true << QString();
    QTest::newRow("image markup shown as text")
        << "Sure you want to delete <img src=\"/dev/zero\">zero.example?" << false << true
        << QString();
    QTest::newRow("link shown as text")
        << "Sure you want to delete <a href=\"file:///etc/passwd\">click</a>?" << false << false
        << QString();
    QTest::newRow("bold and entity shown as text")
        << "This version of Zonara Manager is not compatible anymore. Reason: <b>new</b> login "
           "&amp; pages. Do you want to download Zonara Manager 1.2?"
        << true << false << QString();
    const QString megabyte = "Sure you want to delete " + QString(1'000'000, u'n') + u'?';
    QTest::newRow("megabyte of text cut")
        << megabyte << false << true << megabyte.first(LongestShownQuestion) + u'…';
    QTest::newRow("direction controls dropped")
        << QString::fromUtf16(u"Sure you want to delete \u202Eexe.live\u202C\u200F.example?")
        << false << true << QString("Sure you want to delete exe.live.example?");
    const QString run = "Sure you want to delete " + QString(900, u'W') + u'?';
    QTest::newRow("run without blanks wraps") << run << false << true << run;
}

void TestCaptions::desktopQuestion()
{
    QFETCH(QString, text);
    QFETCH(bool, escapeFirst);
    QFETCH(bool, yes);
    QFETCH(QString, shownText);

    QString title;
    QString shown;
    int width = 0;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;
    bool yesIsDefault = false;
    bool openAfterEscape = false;
    QMessageBox::Icon icon = QMessageBox::Warning;
    const ModalWatch<QMessageBox> watch([&](QMessageBox &box) {
        title = box.windowTitle();
        width = box.width();
        const auto *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
        shown = label ? label->text() : QStringLiteral("(no label)");
        format = label ? label->textFormat() : Qt::AutoText;
        for (const QAbstractButton *button : box.buttons())
            buttons << button->text();
        buttons.sort();
        yesIsDefault = box.defaultButton() && box.defaultButton() == box.button(QMessageBox::Yes);
        icon = box.icon();
        QWidget *focused = box.focusWidget() ? box.focusWidget() : &box;
        if (escapeFirst) {
            QTest::keyClick(focused, Qt::Key_Escape);
            QTest::qWait(50);
            openAfterEscape = box.isVisible();
        }
        if (yes)
            QTest::keyClick(focused, Qt::Key_Return);
        else
            box.button(QMessageBox::No)->click();
    });
    DesktopPlatform desktop;
    FreezeWatch loop;
    const bool answer = desktop.askYesNo(QStringLiteral("Sure?"), text);
    QTest::qWait(20);

    QCOMPARE(answer, yes);
    QCOMPARE(title, "Sure?");
    QCOMPARE(buttons, QStringList({"&No", "&Yes"}));
    QVERIFY(yesIsDefault);
    QCOMPARE(icon, QMessageBox::NoIcon);
    // Exactly as written, never read as markup.
    QCOMPARE(format, Qt::PlainText);
    // Invisible break opportunities let long runs wrap; nothing else is added.
    QCOMPARE(shown.remove(QChar(0x200B)), shownText.isNull() ? text : shownText);
    QVERIFY2(width <= 640, qPrintable(QString::number(width)));
    QCOMPARE(openAfterEscape, escapeFirst);
    QVERIFY2(loop.longestGap() < 2'000, qPrintable(QString::number(loop.longestGap())));
}

void TestCaptions::reportCaption_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QString>("caption");

    QTest::newRow("title verbatim")
        << QByteArray("<html><head><title>Zonara - host deleted</title></head><body><pre>x"
                      "</pre></body></html>")
        << "Zonara - host deleted";
    QTest::newRow("empty title") << QByteArray("<title></title><pre>x</pre>") << "";
    QTest::newRow("no title") << QByteArray("<p>x</p>") << "";
    QTest::newRow("modified marker kept") << QByteArray("<title>a [*] b</title>") << "a [*] b";
    QTest::newRow("paired and lone markers kept")
        << QByteArray("<title>[*][*] x [*]</title>") << "[*][*] x [*]";
    QTest::newRow("marker inside brackets") << QByteArray("<title>[[*]*]</title>") << "[[*]*]";
    QTest::newRow("megabyte title cut") << "<title>" + QByteArray(1'000'000, 't') + "</title>"
                                        << boundedForDisplay(QString(1'000'000, u't'));
}

void TestCaptions::reportCaption()
{
    QFETCH(QByteArray, page);
    QFETCH(QString, caption);
    m_simulator.setAnnouncement(page, "text/html");
    Form3 report(m_simulator.announcementAddress());
    report.show();
    QVERIFY(QTest::qWaitForWindowExposed(&report));
    QTRY_VERIFY(report.windowTitle() != u"Rapport");
    QTest::qWait(20);
    // What the window system shows, not what the widget holds.
    QCOMPARE(windowSystemCaption(report), caption);
}

void TestCaptions::longAnswerLineNeverFreezes()
{
    const QByteArray line(1'000'000, 'x');
    m_simulator.setAnnouncement("<title>t</title><pre>" + line + "</pre>", "text/html");
    FreezeWatch loop;
    Form3 report(m_simulator.announcementAddress());
    report.show();
    QVERIFY(QTest::qWaitForWindowExposed(&report));
    QTRY_COMPARE(report.windowTitle(), "t");
    QTest::qWait(100);
    QVERIFY2(loop.longestGap() < 2'000, qPrintable(QString::number(loop.longestGap())));

    // Nothing of the line is lost; the text box lays it out in pieces of bounded length.
    auto *text = child<QPlainTextEdit>(report, "Text1");
    qsizetype shown = 0;
    for (QTextBlock block = text->document()->begin(); block.isValid(); block = block.next()) {
        QVERIFY(block.length() <= 2'001);
        shown += block.text().size();
    }
    QCOMPARE(shown, line.size());
}

void TestCaptions::answerTextTakesTheKeyboard()
{
    QByteArray lines;
    for (int i = 0; i < 500; ++i)
        lines += "line " + QByteArray::number(i) + '\n';
    m_simulator.setAnnouncement("<title>t</title><pre>" + lines + "end</pre>", "text/html");
    Form3 report(m_simulator.announcementAddress());
    report.show();
    QVERIFY(QTest::qWaitForWindowExposed(&report));
    QTRY_COMPARE(report.windowTitle(), "t");

    // A long answer is read by keyboard as in any text box: Ctrl+End reaches its end.
    auto *text = child<QPlainTextEdit>(report, "Text1");
    text->setFocus();
    QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
    QVERIFY(text->textCursor().atEnd());
    // The last line in view (the box may keep half a line of room below it).
    QVERIFY(text->verticalScrollBar()->value() >= text->verticalScrollBar()->maximum() - 1);
    QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(text->verticalScrollBar()->value(), 0);
    QVERIFY(text->isReadOnly());
}

// Catches a text box handed every line of an answer: it builds each on the window's thread.
void TestCaptions::answerOfManyLinesIsCut()
{
    m_simulator.setAnnouncement("<title>t</title><pre>" + QByteArray(200'000, '\n') + "x</pre>",
                                "text/html");
    Form3 report(m_simulator.announcementAddress());
    QTRY_COMPARE(report.windowTitle(), "t");
    QCOMPARE(child<QPlainTextEdit>(report, "Text1")->blockCount(), 10'001);
}

ZONARA_TEST_MAIN(TestCaptions, "offscreen")
#include "tst_captions.moc"
