#include "documenttext.h"
#include "hostlistparser.h"
#include "recordinglist.h"

#include <QFile>
#include <QTest>

using namespace zonara;

namespace {

const QString HostRow = QStringLiteral(R"(<TR><TD><INPUT TYPE="radio" NAME="host_id" VALUE=")");
const QString DetailRow = QStringLiteral("<TR><TD></TD><TD><FONT SIZE=-1>");

QString hostRow(const QString &id, const QString &name)
{
    return HostRow + id + QStringLiteral("\"></TD><TD>") + name + QStringLiteral("</TD></TR>\r\n");
}

QString detailRow(const QString &text, const QString &end = QStringLiteral("</FONT>"))
{
    return DetailRow + text + end + QStringLiteral("</TD></TR>\r\n");
}

QString entry(const QString &id, const QString &name)
{
    return hostRow(id, name) + detailRow(name + QStringLiteral(" first")) +
           detailRow(name + QStringLiteral(" second"));
}

struct Parse
{
    HostListParserState state;
    HostRecordTable table;
    RecordingList list;

    void page(const QString &text, HostKind kind = HostKind::Dynamic)
    {
        list.append(parseListingPage(text, kind, state, table));
    }
};

} // namespace

class TestHostListParser final : public QObject
{
    Q_OBJECT

private slots:
    void workedExample();
    void listedEntries_data();
    void listedEntries();
    void idOutsideTheTableCorruptsNothing();
    void entryCarriesOverIntoTheNextPage();
    void sameIdOnBothPages();
    void releaseKeepsOnlyThePendingHost();
    void providerPageThroughTheSerializer_data();
    void providerPageThroughTheSerializer();
    void detailTexts_data();
    void detailTexts();
};

void TestHostListParser::workedExample()
{
    Parse parse;
    parse.page(hostRow("42", "alpha") + detailRow("first") + detailRow("second", "</font>"));

    const HostRecord &record = parse.table[42];
    QCOMPARE(record.name, "alpha");
    QCOMPARE(record.id, 42);
    QCOMPARE(record.kind, HostKind::Dynamic);
    QCOMPARE(record.firstDetail, "first");
    QCOMPARE(record.secondDetail, "second");
    QCOMPARE(parse.list.entries, QStringList{"42=alpha"});
}

void TestHostListParser::listedEntries_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty page") << QString() << QStringList();
    QTest::newRow("no carriage return")
        << QString(hostRow("1", "a")).remove(u'\r') << QStringList();
    QTest::newRow("two hosts in page order")
        << entry("7", "b") + entry("3", "a") << QStringList{"7=b", "3=a"};
    QTest::newRow("other lines between rows")
        << hostRow("5", "e") + "<P>noise</P>\r\n" + detailRow("1") + "\r\n" + detailRow("2")
        << QStringList{"5=e"};
    QTest::newRow("only one detail before the next host")
        << hostRow("1", "lost") + detailRow("d") + entry("2", "kept") << QStringList{"2=kept"};
    QTest::newRow("lower-case row is not a host row")
        << entry("1", "a").replace("<TR><TD><INPUT", "<tr><td><input") << QStringList();
    QTest::newRow("detail end in any case")
        << hostRow("1", "a") + detailRow("x", "</FoNt>") + detailRow("y", "</font>")
        << QStringList{"1=a"};
    QTest::newRow("lone carriage returns eat the next character")
        << QString(entry("1", "a")).remove(u'\n') << QStringList();
    QTest::newRow("last line without line end is not read")
        << hostRow("1", "a") + detailRow("x") + detailRow("y").chopped(2) << QStringList();
    QTest::newRow("leading zeros") << entry("0042", "z") << QStringList{"42=z"};
    QTest::newRow("detail row before any host row")
        << detailRow("x") + detailRow("y") + entry("1", "a") << QStringList{"1=a"};
    QTest::newRow("empty host name") << entry("9", "") << QStringList{"9="};
    QTest::newRow("empty id reads as slot 0") << entry("", "nil") << QStringList{"0=nil"};
    QTest::newRow("host row without closing quote")
        << HostRow + "12></TD><TD>x</TD></TR>\r\n" + detailRow("a") + detailRow("b")
        << QStringList();
    QTest::newRow("host row without a name cell")
        << HostRow + "12\"></TD></TR>\r\n" + detailRow("a") + detailRow("b") << QStringList();
    QTest::newRow("malformed host row drops the pending host")
        << hostRow("1", "a") + detailRow("x") + HostRow + "\r\n" + detailRow("y") << QStringList();
    QTest::newRow("detail row without end marker is skipped")
        << hostRow("1", "a") + detailRow("x", "") + detailRow("y") + detailRow("z")
        << QStringList{"1=a"};
    QTest::newRow("fractional id skipped") << entry("4.5", "f") << QStringList();
    QTest::newRow("negative id skipped") << entry("-1", "n") << QStringList();
    QTest::newRow("id above the table skipped") << entry("100000", "big") << QStringList();
    QTest::newRow("largest id") << entry("99999", "top") << QStringList{"99999=top"};
    QTest::newRow("carriage return as last character")
        << hostRow("1", "a") + detailRow("x") + detailRow("y").chopped(1) << QStringList{"1=a"};
}

void TestHostListParser::listedEntries()
{
    QFETCH(QString, page);
    QFETCH(QStringList, expected);
    Parse parse;
    parse.page(page);
    QCOMPARE(parse.list.entries, expected);
}

void TestHostListParser::idOutsideTheTableCorruptsNothing()
{
    Parse parse;
    parse.page(entry("5", "five"));
    parse.page(entry("70000000", "huge") + entry("-3", "minus"));
    QCOMPARE(parse.table[5].name, "five");
    QCOMPARE(parse.table[5].secondDetail, "five second");
    QCOMPARE(parse.list.entries, QStringList{"5=five"});
}

void TestHostListParser::entryCarriesOverIntoTheNextPage()
{
    Parse parse;
    parse.page(hostRow("8", "split") + detailRow("one"), HostKind::Dynamic);
    QVERIFY(parse.list.entries.isEmpty());
    parse.page(detailRow("two"), HostKind::Static);
    QCOMPARE(parse.list.entries, QStringList{"8=split"});
    QCOMPARE(parse.table[8].kind, HostKind::Dynamic);
    QCOMPARE(parse.table[8].secondDetail, "two");
}

void TestHostListParser::sameIdOnBothPages()
{
    Parse parse;
    parse.page(entry("3", "twice"), HostKind::Dynamic);
    parse.page(entry("3", "twice"), HostKind::Static);
    QCOMPARE(parse.list.entries, QStringList({"3=twice", "3=twice"}));
    QCOMPARE(parse.table[3].kind, HostKind::Static);
}

// Catches a table that keeps the texts of hosts no longer listed, or drops a pending host's.
void TestHostListParser::releaseKeepsOnlyThePendingHost()
{
    Parse parse;
    parse.page(entry("5", "gone") + hostRow("8", "split") + detailRow("one"));
    parse.table.releaseAllBut(parse.state.currentHostId);
    QCOMPARE(parse.table.occupiedSlots(), 1);
    QCOMPARE(parse.table[8].firstDetail, "one");
}

void TestHostListParser::providerPageThroughTheSerializer_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("firstDetail");
    QTest::addColumn<QString>("secondDetail");

    QTest::newRow("listing page") << "listing-dynamic.html"
                                  << QStringList({"101=home.zonara.example",
                                                  "102=office.zonara-home.example"})
                                  << 102 << "IP address: 192.0.2.44"
                                  << "Wildcard: off, backup MX: yes";
    // An older page: the host table sits in a layout table's cell, and the radio buttons name
    // their attributes in any order.
    QTest::newRow("host table inside a layout table")
        << "regression-nested-layout-listing.html"
        << QStringList({"201=cellar.zonara.example", "202=attic.zonara.example"}) << 202
        << "IP address: 192.0.2.78"
        << "Wildcard: on, backup MX: yes";
    QTest::newRow("ASCII page declaring UTF-16")
        << "regression-utf16-declared-listing.html" << QStringList({"301=mail.zweb.example"}) << 301
        << "IP address: 198.51.100.3"
        << "Wildcard: off, backup MX: no";
}

void TestHostListParser::providerPageThroughTheSerializer()
{
    QFETCH(QString, page);
    QFETCH(QStringList, entries);
    QFETCH(int, id);
    QFETCH(QString, firstDetail);
    QFETCH(QString, secondDetail);
    QFile file(QFINDTESTDATA(QStringLiteral("data/") + page));
    QVERIFY(file.open(QIODevice::ReadOnly));
    Parse parse;
    parse.page(documentText(file.readAll(), "text/html").value());
    QCOMPARE(parse.list.entries, entries);
    QCOMPARE(parse.table[id].firstDetail, firstDetail);
    QCOMPARE(parse.table[id].secondDetail, secondDetail);
}

void TestHostListParser::detailTexts_data()
{
    QTest::addColumn<QString>("row");
    QTest::addColumn<QString>("detail");
    // An upper-case copy of "ß" is "SS": searching one would shift every position after it.
    QTest::newRow("sharp s before the end marker")
        << detailRow("Straße 1, Gießen") << "Straße 1, Gießen";
    QTest::newRow("first of two end markers ends the cell") << detailRow("a</FONT>b") << "a";
    QTest::newRow("sharp s and two end markers") << detailRow("ßß</font>ß") << "ßß";
}

void TestHostListParser::detailTexts()
{
    QFETCH(QString, row);
    QFETCH(QString, detail);
    Parse parse;
    parse.page(hostRow("6", "six") + row + detailRow("second"));
    QCOMPARE(parse.table[6].firstDetail, detail);
    QCOMPARE(parse.list.entries, QStringList{"6=six"});
}

QTEST_APPLESS_MAIN(TestHostListParser)
#include "tst_hostlistparser.moc"
