#include "desktopplatform.h"
#include "displaytext.h"
#include "linkcolour.h"
#include "mainwindowfixture.h"
#include "testmain.h"

#include <QDesktopServices>
#include <QLabel>
#include <QMessageBox>
#include <QTextDocument>
#include <QUrl>

using namespace zonara;
using namespace zonara::simulator;

namespace {

// "H" for a highlighted label, "r" for a resting one, for Label3, Label4, Label5.
QString styles(Form1 &window)
{
    QString out;
    for (const char *name : {"Label3", "Label4", "Label5"}) {
        auto *label = child<QLabel>(window, name);
        const QColor colour = label->palette().color(QPalette::WindowText);
        const bool underlined = label->font().underline();
        if (colour == QColor(0, 0, 0xFF) && underlined)
            out += u'H';
        else if (colour == QColor(0, 0, 0x80) && !underlined)
            out += u'r';
        else
            out += u'?';
    }
    return out;
}

// "surface" is a bare spot of the window, "outside" a spot beyond its right edge.
void moveOnto(QWidget &window, const char *name)
{
    QWidget *target = window.findChild<QWidget *>(QLatin1StringView(name));
    QPoint spot = target ? target->geometry().center() : QPoint(5, 300);
    if (qstrcmp(name, "outside") == 0)
        spot = QPoint(window.width() + 20, 10);
    QTest::mouseMove(&window, spot);
}

// Plays the desktop's opener for QDesktopServices: records the addresses it is handed.
class Opener final : public QObject
{
    Q_OBJECT

public:
    QStringList received;

public slots:
    void open(const QUrl &url) { received << url.toString(QUrl::FullyEncoded); }
};

void click(QWidget &window, const char *name)
{
    QTest::mouseClick(window.findChild<QWidget *>(QLatin1StringView(name)), Qt::LeftButton);
}

} // namespace

class TestLinks final : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void hover_data();
    void hover();
    void linkTargets();
    void clickKeepsTheHighlight();
    void announcement_data();
    void announcement();
    void updateLabelClickOpensTheDownload_data();
    void updateLabelClickOpensTheDownload();
    void longUpdateCaptionKeepsItsStart_data();
    void longUpdateCaptionKeepsItsStart();
    void desktopReceives_data();
    void desktopReceives();
    void longReasonNeverFreezesStartUp();
    void coloursOn_data();
    void coloursOn();

private:
    std::unique_ptr<MainWindowFixture> f;
};

void TestLinks::init()
{
    f = std::make_unique<MainWindowFixture>();
}

void TestLinks::cleanup()
{
    f.reset();
}

void TestLinks::hover_data()
{
    QTest::addColumn<QStringList>("path"); // controls the pointer moves over, in order
    QTest::addColumn<bool>("selectDynamicHost");
    QTest::addColumn<QString>("expected");

    QTest::newRow("onto the home page link") << QStringList{"Label3"} << false << "Hrr";
    QTest::newRow("label to label") << QStringList{"Label3", "Label4"} << false << "rHr";
    QTest::newRow("label to surface") << QStringList{"Label4", "surface"} << false << "rrr";
    QTest::newRow("label to forwarding control")
        << QStringList{"Label3", "Text1"} << false << "rrr";
    QTest::newRow("label to the host list") << QStringList{"Label3", "List1"} << false << "rrr";
    for (const char *forwarding : {"Label1", "Label2", "Text2", "Command1", "Command2"})
        QTest::newRow(qPrintable(QStringLiteral("label to forwarding %1").arg(forwarding)))
            << QStringList{"Label4", forwarding} << false << "rrr";
    QTest::newRow("label to enabled Delete forwards")
        << QStringList{"Label3", "Command3"} << true << "rrr";
    QTest::newRow("label to disabled detail") << QStringList{"Label3", "Text4"} << true << "rrr";
    QTest::newRow("leaving the window keeps the highlight")
        << QStringList{"Label3", "outside"} << false << "Hrr";
    QTest::newRow("back from outside over the surface")
        << QStringList{"Label4", "outside", "surface"} << false << "rrr";
    QTest::newRow("label to disabled Edit") << QStringList{"Label3", "Command4"} << false << "rrr";
    QTest::newRow("label to enabled Edit") << QStringList{"Label3", "Command4"} << true << "Hrr";
    QTest::newRow("label to enabled Convert") << QStringList{"Label4", "Command5"} << true << "rHr";
    QTest::newRow("label to always disabled type display")
        << QStringList{"Label4", "Combo1"} << true << "rrr";
    QTest::newRow("hidden update label's place is surface")
        << QStringList{"Label3", "Label5"} << false << "rrr";
}

void TestLinks::hover()
{
    QFETCH(QStringList, path);
    QFETCH(bool, selectDynamicHost);
    QFETCH(QString, expected);
    Form1 &window = f->open();
    if (selectDynamicHost) {
        QVERIFY(f->retrieve());
        f->select("alpha.zonara.example");
        QVERIFY(f->enabled("Command4") && f->enabled("Command5"));
    }
    for (const QString &control : path)
        moveOnto(window, control.toLatin1().constData());
    QCOMPARE(styles(window), expected);
}

void TestLinks::linkTargets()
{
    Form1 &window = f->open();
    click(window, "Label3");
    click(window, "Label4");
    QCOMPARE(f->platform.opened,
             QStringList({"http://www.zmsoft.example/",
                          "mailto:feedback@zmsoft.example?subject=Zonara Manager 1.0"}));
}

void TestLinks::clickKeepsTheHighlight()
{
    Form1 &window = f->open();
    moveOnto(window, "Label4");
    click(window, "Label4");
    QCOMPARE(styles(window), "rHr");
    QCOMPARE(f->platform.opened.size(), 1);
}

void TestLinks::announcement_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::addColumn<QByteArray>("type");
    QTest::addColumn<QString>("caption"); // empty: label stays hidden
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QStringList>("questions");
    QTest::addColumn<QStringList>("opened");

    const QString ask = QStringLiteral(
        "Incompatible|This version of Zonara Manager is not compatible anymore. Reason: %1. Do "
        "you want to download Zonara Manager %2?");
    QTest::newRow("newer version")
        << QByteArray("vers=1.1\nfile=http://dl.zmsoft.example/z.zip\n") << QByteArray("text/plain")
        << "Update to Zonara Manager 1.1" << false << QStringList() << QStringList();
    QTest::newRow("newer version in an HTML page")
        << QByteArray(
               "<html><body>\nvers=1.25\nfile=http://dl.zmsoft.example/z.zip\n</body></html>")
        << QByteArray("text/html") << "Update to Zonara Manager 1.25" << false << QStringList()
        << QStringList();
    QTest::newRow("same version") << QByteArray("vers=1.0\n") << QByteArray("text/plain") << ""
                                  << false << QStringList() << QStringList();
    QTest::newRow("incompatible, Yes")
        << QByteArray("vers=1.2\nfile=https://dl.zmsoft.example/z12.zip\nbrok=1.1\nwhyb=The "
                      "member pages changed\n")
        << QByteArray("text/plain") << "Update to Zonara Manager 1.2" << true
        << QStringList{ask.arg("The member pages changed", "1.2")}
        << QStringList{"https://dl.zmsoft.example/z12.zip"};
    QTest::newRow("incompatible, No")
        << QByteArray("vers=1.2\nfile=https://dl.zmsoft.example/z12.zip\nbrok=1.1\nwhyb=w\n")
        << QByteArray("text/plain") << "Update to Zonara Manager 1.2" << false
        << QStringList{ask.arg("w", "1.2")} << QStringList();
    QTest::newRow("download address with blanks opened as written")
        << QByteArray("vers=1.2\nfile=http://dl.zmsoft.example/Zonara Manager 1.2.zip \nbrok=1.1\n"
                      "whyb=w\n")
        << QByteArray("text/plain") << "Update to Zonara Manager 1.2" << true
        << QStringList{ask.arg("w", "1.2")}
        << QStringList{"http://dl.zmsoft.example/Zonara Manager 1.2.zip "};
    QTest::newRow("forged download address")
        << QByteArray("vers=1.2\nfile=file:///usr/bin/xterm\nbrok=1.1\nwhyb=w\n")
        << QByteArray("text/plain") << "Update to Zonara Manager 1.2" << true
        << QStringList{ask.arg("w", "1.2")} << QStringList();
    QTest::newRow("no announcement page")
        << QByteArray() << QByteArray() << "" << false << QStringList() << QStringList();
}

void TestLinks::announcement()
{
    QFETCH(QByteArray, page);
    QFETCH(QByteArray, type);
    QFETCH(QString, caption);
    QFETCH(bool, answer);
    QFETCH(QStringList, questions);
    QFETCH(QStringList, opened);

    if (!type.isEmpty())
        f->simulator.setAnnouncement(page, type);
    f->platform.answers.enqueue(answer);
    bool labelShownWhenAsked = false;
    f->platform.whileAsking = [this, &labelShownWhenAsked] {
        labelShownWhenAsked = !child<QLabel>(*f->window, "Label5")->isHidden();
    };
    Form1 &window = f->open();
    QTest::qWait(200);
    auto *label = child<QLabel>(window, "Label5");
    QCOMPARE(!label->isHidden(), !caption.isEmpty());
    QCOMPARE(f->platform.questions, questions);
    QCOMPARE(f->platform.opened, opened);
    const auto *line1 = window.findChild<QObject *>("Line1");
    const auto *line4 = window.findChild<QObject *>("Line4");
    if (caption.isEmpty()) {
        QCOMPARE(line1->property("Y2").toInt(), 720);
        return;
    }
    // A newer version is on show before the question comes up.
    QCOMPARE(labelShownWhenAsked, !questions.isEmpty());
    QCOMPARE(label->text(), caption);
    // The whole caption fits, right edge where it was designed.
    QVERIFY(label->fontMetrics().horizontalAdvance(caption) <= label->width());
    QCOMPARE(label->geometry().right() + 1, 6375 / 15);
    QVERIFY(label->x() > 3840 / 15);
    QCOMPARE(line1->property("Y2").toInt(), 960);
    QCOMPARE(window.findChild<QObject *>("Line3")->property("Y2").toInt(), 960);
    QCOMPARE(window.findChild<QObject *>("Line2")->property("Y1").toInt(), 960);
    QCOMPARE(line4->property("Y1").toInt(), 975);
    QCOMPARE(line4->property("Y2").toInt(), 975);
    QCOMPARE(styles(window), "rrr");
}

void TestLinks::updateLabelClickOpensTheDownload_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QStringList>("opened");
    QTest::newRow("web address") << "http://dl.zmsoft.example/z13.zip"
                                 << QStringList{"http://dl.zmsoft.example/z13.zip"};
    QTest::newRow("web address with | { ^ and a backquote")
        << "https://dl.zmsoft.example/z|13{a}^`.zip"
        << QStringList{"https://dl.zmsoft.example/z|13{a}^`.zip"};
    QTest::newRow("local file opens nothing") << "file:///usr/bin/xterm" << QStringList();
    QTest::newRow("bare path opens nothing") << "/usr/bin/xterm" << QStringList();
}

void TestLinks::updateLabelClickOpensTheDownload()
{
    QFETCH(QString, address);
    QFETCH(QStringList, opened);
    f->simulator.setAnnouncement("vers=1.3\nfile=" + address.toUtf8() + "\n");
    Form1 &window = f->open();
    QTRY_VERIFY(!child<QLabel>(window, "Label5")->isHidden());
    moveOnto(window, "surface");
    moveOnto(window, "Label5");
    QCOMPARE(styles(window), "rrH");
    click(window, "Label5");
    QCOMPARE(f->platform.opened, opened);
}

void TestLinks::longUpdateCaptionKeepsItsStart_data()
{
    QTest::addColumn<QString>("version");
    QTest::newRow("beta version") << "1.10 beta 2";
    QTest::newRow("long version") << "1.1 (the release of the twenty-second of December)";
    QTest::newRow("markup in the version") << "1.1 <b>new</b> &amp; <img src=\"/dev/zero\"> better";
    QTest::newRow("megabyte version") << "1.1" + QString(1'000'000, u'9');
}

void TestLinks::longUpdateCaptionKeepsItsStart()
{
    QFETCH(QString, version);
    f->simulator.setAnnouncement("vers=" + version.toUtf8() + "\n");
    FreezeWatch loop;
    Form1 &window = f->open();
    auto *label = child<QLabel>(window, "Label5");
    QTRY_VERIFY(!label->isHidden());
    QTest::qWait(20);
    QVERIFY2(loop.longestGap() < 2'000, qPrintable(QString::number(loop.longestGap())));

    const QString caption = "Update to Zonara Manager " + version;
    QVERIFY2(label->text().startsWith("Update to Zonara Manager"), qPrintable(label->text()));
    QVERIFY(label->fontMetrics().horizontalAdvance(label->text()) <= label->width());
    QCOMPARE(label->geometry().right() + 1, 6375 / 15);
    QVERIFY(label->x() > 3840 / 15);
    if (label->text() == caption) {
        QVERIFY(label->toolTip().isEmpty());
        return;
    }
    // Cut at the end, and the whole caption, as written, in the tooltip.
    QVERIFY(label->text().endsWith(u'…'));
    QTextDocument tip;
    tip.setHtml(label->toolTip());
    QCOMPARE(tip.toPlainText().remove(QChar(0x200B)), boundedForDisplay(caption));
}

void TestLinks::desktopReceives_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("received");
    // A blank in the subject reaches the mail program as %20, the encoding of a mail address.
    QTest::newRow("mail link") << "Label4"
                               << "mailto:feedback@zmsoft.example?subject=Zonara%20Manager%201.0";
    QTest::newRow("home page link") << "Label3"
                                    << "http://www.zmsoft.example/";
    QTest::newRow("download address with a blank")
        << "Label5"
        << "http://dl.zmsoft.example/Zonara%20Manager%201.1.zip";
}

void TestLinks::desktopReceives()
{
    QFETCH(QString, label);
    QFETCH(QString, received);
    Opener opener;
    for (const char *scheme : {"mailto", "http", "https"})
        QDesktopServices::setUrlHandler(QString::fromLatin1(scheme), &opener, "open");
    f->simulator.setAnnouncement(
        "vers=1.1\nfile=http://dl.zmsoft.example/Zonara Manager 1.1.zip\n");
    DesktopPlatform desktop;
    Form1 window(f->site(), desktop);
    window.show();
    QTRY_VERIFY(!child<QLabel>(window, "Label5")->isHidden());
    click(window, label.toLatin1().constData());
    for (const char *scheme : {"mailto", "http", "https"})
        QDesktopServices::unsetUrlHandler(QString::fromLatin1(scheme));
    QCOMPARE(opener.received, QStringList{received});
}

void TestLinks::longReasonNeverFreezesStartUp()
{
    const QByteArray reason(1'000'000, 'r');
    f->simulator.setAnnouncement("vers=1.2\r\nbrok=1.1\r\nwhyb=" + reason + "\r\n");
    QString shown;
    int width = 0;
    const ModalWatch<QMessageBox> watch([&shown, &width](QMessageBox &box) {
        shown = box.text();
        width = box.width();
        box.button(QMessageBox::No)->click();
    });
    FreezeWatch loop;
    DesktopPlatform desktop;
    Form1 window(f->site(), desktop);
    window.show();
    QTRY_VERIFY(!shown.isEmpty());
    QTest::qWait(20);
    QVERIFY2(loop.longestGap() < 2'000, qPrintable(QString::number(loop.longestGap())));
    // The reason is cut, the question's own words all show, and the run of letters wraps within
    // a box of ordinary width.
    shown.remove(QChar(0x200B));
    QVERIFY(
        shown.startsWith("This version of Zonara Manager is not compatible anymore. Reason: r"));
    QVERIFY(shown.endsWith("r…. Do you want to download Zonara Manager 1.2?"));
    QVERIFY(shown.size() <= LongestShownText + 120);
    QVERIFY2(width <= 640, qPrintable(QString::number(width)));
}

void TestLinks::coloursOn_data()
{
    QTest::addColumn<QColor>("background");
    // Catches links left navy on a dark window, or light windows losing exact navy/blue.
    QTest::newRow("default grey keeps navy/blue") << QColor(0xEF, 0xEF, 0xEF);
    QTest::newRow("near-black window") << QColor(0x20, 0x20, 0x20);
    QTest::newRow("navy window") << QColor(0x00, 0x00, 0x80);
    QTest::newRow("darkest grey where white still reads") << QColor(0x75, 0x75, 0x75);
    QTest::newRow("mid grey, dark shades") << QColor(0x90, 0x90, 0x90);
}

void TestLinks::coloursOn()
{
    QFETCH(QColor, background);
    const QColor resting = linkColour(background, false);
    const QColor highlighted = linkColour(background, true);
    if (QByteArray(QTest::currentDataTag()).contains("keeps")) {
        QCOMPARE(resting, QColor(0x00, 0x00, 0x80));
        QCOMPARE(highlighted, QColor(0x00, 0x00, 0xFF));
    }
    QVERIFY2(contrastRatio(resting, background) >= 4.5, qPrintable(resting.name()));
    QVERIFY2(contrastRatio(highlighted, background) >= 4.5, qPrintable(highlighted.name()));
    QVERIFY(resting != highlighted);
}

ZONARA_TEST_MAIN(TestLinks, "offscreen")
#include "tst_links.moc"
