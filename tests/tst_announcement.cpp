#include "announcement.h"

#include <QTest>

using namespace zonara;

class TestAnnouncement final : public QObject
{
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void notice_data();
    void notice();
    void webAddresses_data();
    void webAddresses();
};

void TestAnnouncement::fields_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("expected"); // vers, file, brok, whyb, desc

    QTest::newRow("all keys in any order")
        << "desc=d\r\nwhyb=w\r\nbrok=1.1\r\nfile=http://x/z.zip\r\nvers=1.2\r\n"
        << QStringList{"1.2", "http://x/z.zip", "1.1", "w", "d"};
    QTest::newRow("last of a key wins") << "vers=1.1\r\nvers=1.3\r\n"
                                        << QStringList{"1.3", "", "", "", ""};
    QTest::newRow("upper-case key is no key") << "VERS=1.1\r\nVers=1.2\r\n"
                                              << QStringList{"", "", "", "", ""};
    QTest::newRow("blank before key") << " vers=1.1\r\n" << QStringList{"", "", "", "", ""};
    QTest::newRow("last line without line end is never read")
        << "file=f\r\nvers=1.1" << QStringList{"", "f", "", "", ""};
    QTest::newRow("LF alone is no line end") << "vers=1.1\nfile=f\n"
                                             << QStringList{"", "", "", "", ""};
    QTest::newRow("value verbatim with trailing blank and markup")
        << "vers=1.1 \r\nwhyb=<b>new &amp; better</b>\r\n"
        << QStringList{"1.1 ", "", "", "<b>new &amp; better</b>", ""};
    QTest::newRow("empty value") << "vers=\r\n" << QStringList{"", "", "", "", ""};
    QTest::newRow("final carriage return ends the scan")
        << "vers=1.4\r" << QStringList{"1.4", "", "", "", ""};
    QTest::newRow("character after CR dropped whatever it is")
        << "file=a\rXvers=1.1\r\nvers=1.5\r\n"
        << QStringList{"1.5", "a", "", "", ""};
    QTest::newRow("other lines ignored") << "<HTML>\r\n<BODY>\r\nvers=1.1\r\nhello\r\n</BODY>\r\n"
                                         << QStringList{"1.1", "", "", "", ""};
    QTest::newRow("no carriage return at all") << "vers=9" << QStringList{"", "", "", "", ""};
}

void TestAnnouncement::fields()
{
    QFETCH(QString, page);
    QFETCH(QStringList, expected);
    Announcement record;
    readAnnouncement(page, record);
    QCOMPARE(QStringList({record.version, record.downloadAddress, record.lowestCompatible,
                          record.reason, record.description}),
             expected);
}

void TestAnnouncement::notice_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("lowest");
    QTest::addColumn<QString>("reason");
    QTest::addColumn<QString>("caption");  // empty: no label
    QTest::addColumn<QString>("question"); // empty: no question

    const QString ask = QStringLiteral(
        "This version of Zonara Manager is not compatible anymore. Reason: %1. Do you want to "
        "download Zonara Manager %2?");
    QTest::newRow("newer") << "1.1"
                           << ""
                           << ""
                           << "Update to Zonara Manager 1.1"
                           << "";
    QTest::newRow("equal is not newer") << "1.0"
                                        << ""
                                        << ""
                                        << ""
                                        << "";
    QTest::newRow("1.05 is newer") << "1.05"
                                   << ""
                                   << ""
                                   << "Update to Zonara Manager 1.05"
                                   << "";
    QTest::newRow("letter first reads as 0") << "v2.0"
                                             << ""
                                             << ""
                                             << ""
                                             << "";
    QTest::newRow("trailing blank kept in caption") << "1.1 "
                                                    << ""
                                                    << ""
                                                    << "Update to Zonara Manager 1.1 "
                                                    << "";
    QTest::newRow("incompatible and newer")
        << "1.2"
        << "1.1"
        << "service changed"
        << "Update to Zonara Manager 1.2" << ask.arg("service changed", "1.2");
    QTest::newRow("lowest equal to own asks nothing") << "1.2"
                                                      << "1.0"
                                                      << "x"
                                                      << "Update to Zonara Manager 1.2"
                                                      << "";
    QTest::newRow("incompatible without version") << ""
                                                  << "2"
                                                  << "r"
                                                  << "" << ask.arg("r", "");
    QTest::newRow("1.10 equals 1.1") << "1.10"
                                     << ""
                                     << ""
                                     << "Update to Zonara Manager 1.10"
                                     << "";
}

void TestAnnouncement::notice()
{
    QFETCH(QString, version);
    QFETCH(QString, lowest);
    QFETCH(QString, reason);
    QFETCH(QString, caption);
    QFETCH(QString, question);
    Announcement announcement;
    announcement.version = version;
    announcement.lowestCompatible = lowest;
    announcement.reason = reason;
    const UpdateNotice notice = updateNotice(QStringLiteral("1.0"), announcement);
    QCOMPARE(notice.showUpdateLabel, !caption.isEmpty());
    QCOMPARE(notice.updateLabelCaption, caption);
    QCOMPARE(notice.askToDownload, !question.isEmpty());
    QCOMPARE(notice.question, question);
}

void TestAnnouncement::webAddresses_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<bool>("web");
    QTest::newRow("http") << "http://www.zmsoft.example/zm11.zip" << true;
    QTest::newRow("https upper case") << "HTTPS://www.zmsoft.example/" << true;
    QTest::newRow("local file") << "file:///bin/sh" << false;
    QTest::newRow("bare path") << "/usr/bin/xterm" << false;
    QTest::newRow("other scheme") << "smb://host/share/setup.exe" << false;
    QTest::newRow("javascript") << "javascript:alert(1)" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("no host") << "http:///etc/passwd" << false;
    QTest::newRow("blanks") << "http://dl.zmsoft.example/Zonara Manager 1.1.zip" << true;
    QTest::newRow("trailing blank") << "http://dl.zmsoft.example/zm11.zip " << true;
    QTest::newRow("bar, braces, caret, backquote")
        << "https://dl.zmsoft.example/z|m{1}^1`.zip" << true;
    QTest::newRow("mixed-case scheme") << "hTtPs://dl.zmsoft.example/zm11.zip" << true;
    QTest::newRow("port and query") << "http://dl.zmsoft.example:8080/get?v=1.1&os=linux" << true;
    QTest::newRow("upper-case local file") << "FILE:///etc/passwd" << false;
    QTest::newRow("web scheme without host") << "http:dl.zmsoft.example/zm11.zip" << false;
    QTest::newRow("leading blank") << " http://dl.zmsoft.example/zm11.zip" << false;
    QTest::newRow("scheme alone") << "https://" << false;
}

void TestAnnouncement::webAddresses()
{
    QFETCH(QString, address);
    QFETCH(bool, web);
    QCOMPARE(isWebAddress(address), web);
}

QTEST_APPLESS_MAIN(TestAnnouncement)
#include "tst_announcement.moc"
