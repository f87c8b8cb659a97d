#include "mainwindowfixture.h"

#include <QLabel>

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

void moveOnto(QWidget &window, const char *name)
{
    QWidget *target = window.findChild<QWidget *>(QLatin1StringView(name));
    const QPoint centre = target ? target->geometry().center() : QPoint(5, 300);
    QTest::mouseMove(&window, centre);
}

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
    void updateLabelClickOpensTheDownload();

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

void TestLinks::updateLabelClickOpensTheDownload()
{
    f->simulator.setAnnouncement("vers=1.3\nfile=http://dl.zmsoft.example/z13.zip\n");
    Form1 &window = f->open();
    QTRY_VERIFY(!child<QLabel>(window, "Label5")->isHidden());
    moveOnto(window, "Label5");
    QCOMPARE(styles(window), "rrH");
    click(window, "Label5");
    QCOMPARE(f->platform.opened, QStringList{"http://dl.zmsoft.example/z13.zip"});
}

QTEST_MAIN(TestLinks)
#include "tst_links.moc"
