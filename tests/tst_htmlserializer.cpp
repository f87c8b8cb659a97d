#include "documenttext.h"
#include "htmlserializer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

using namespace zonara;

namespace {

QString serialized(const QString &html)
{
    const QByteArray utf8 = html.toUtf8();
    return QString::fromStdString(
        serializeHtml(std::string_view(utf8.constData(), utf8.size())).value_or("(no text)"));
}

// What the serialiser wrote between the body tags, whose lines it writes itself.
QString bodyOf(const QString &document)
{
    const QString open = QStringLiteral("<BODY>\r\n");
    const qsizetype start = document.indexOf(open);
    const qsizetype end = document.lastIndexOf(QStringLiteral("</BODY>"));
    if (start < 0 || end < start)
        return QStringLiteral("(no body) ") + document;
    return document.mid(start + open.size(), end - start - open.size());
}

QByteArray fixture(const char *name)
{
    QFile file(QFINDTESTDATA(QStringLiteral("data/") + QLatin1StringView(name)));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing test page %s", name);
    return file.readAll();
}

} // namespace

class TestHtmlSerializer final : public QObject
{
    Q_OBJECT

private slots:
    void body_data();
    void body();
    void documentFrame();
    void providerListingKeepsEveryRowWhole();
    void plainTextPassesThrough_data();
    void plainTextPassesThrough();
    void charsets_data();
    void charsets();
    void deepNestingDoesNotOverflow();
    void regressionPagesKeepCrLfLines_data();
    void regressionPagesKeepCrLfLines();
    void hostilePagesStopAtTheLimits();
    void hostilePagesStayWithinMemory_data();
    void hostilePagesStayWithinMemory();
    void cancelledParseStops();
    void freedBuffersCountNoMore();
};

void TestHtmlSerializer::body_data()
{
    QTest::addColumn<QString>("html");
    QTest::addColumn<QString>("expected");

    QTest::newRow("host row from indented lower-case markup")
        << "<table>\n<tr>\n  <td><input type=\"radio\" name=\"host_id\" value=\"42\"></td>\n"
           "  <td>alpha</td>\n</tr>\n</table>"
        << "<TABLE><TBODY>\r\n<TR><TD><INPUT TYPE=\"radio\" NAME=\"host_id\" VALUE=\"42\"></TD>"
           "<TD>alpha</TD></TR>\r\n</TBODY></TABLE>\r\n";
    QTest::newRow("detail row with a bare signed size")
        << "<table><tr><td></td><td><font size=-1>first</font></td></tr></table>"
        << "<TABLE><TBODY>\r\n<TR><TD></TD><TD><FONT SIZE=-1>first</FONT></TD></TR>\r\n"
           "</TBODY></TABLE>\r\n";
    QTest::newRow("quoted signed size is written bare")
        << "<font size=\"-1\">x</font><font size='+2'>y</font>"
        << "<FONT SIZE=-1>x</FONT><FONT SIZE=+2>y</FONT>\r\n";
    QTest::newRow("unquoted value is quoted") << "<input value=42>"
                                              << "<INPUT VALUE=\"42\">\r\n";
    // Bare, the signed ids broke their host rows, and their detail rows went to the host before.
    QTest::newRow("signed host ids are quoted")
        << "<input type=radio name=host_id value=-5><input value='+7' size=-1>"
        << "<INPUT TYPE=\"radio\" NAME=\"host_id\" VALUE=\"-5\"><INPUT VALUE=\"+7\" "
           "SIZE=\"-1\">\r\n";
    QTest::newRow("unsigned and broken numbers are quoted")
        << "<font size=3 color=-1a face=->x</font>"
        << "<FONT SIZE=\"3\" COLOR=\"-1a\" FACE=\"-\">x</FONT>\r\n";
    QTest::newRow("line breaks in a value keep the row whole")
        << "<table><tr><td title=\"a\nb&#13;c\">x</td></tr></table>"
        << "<TABLE><TBODY>\r\n<TR><TD TITLE=\"a&#10;b&#13;c\">x</TD></TR>\r\n</TBODY></TABLE>\r\n";
    QTest::newRow("attribute without value") << "<input type=checkbox checked>"
                                             << "<INPUT TYPE=\"checkbox\" CHECKED>\r\n";
    QTest::newRow("empty quoted value") << "<input value=\"\">"
                                        << "<INPUT VALUE=\"\">\r\n";
    QTest::newRow("attributes keep source order") << "<a title=t href=h id=i>x</a>"
                                                  << "<A TITLE=\"t\" HREF=\"h\" ID=\"i\">x</A>\r\n";
    QTest::newRow("escapes in text and values")
        << "<p title='a&quot;b&amp;c'>1 &lt; 2 &amp;&gt; 3</p>"
        << "<P TITLE=\"a&quot;b&amp;c\">1 &lt; 2 &amp;&gt; 3</P>\r\n";
    QTest::newRow("white space inside a row keeps its width")
        << "<table><tr><td>  two\r\n\t words  </td><td> <b> bold </b> </td></tr></table>"
        << "<TABLE><TBODY>\r\n<TR><TD>two   words</TD><TD><B>bold</B></TD></TR>\r\n"
           "</TBODY></TABLE>\r\n";
    QTest::newRow("host name and detail keep double blanks")
        << "<table><tr><td>ab  cd</td><td><font size=-1>two  spaces</font></td></tr></table>"
        << "<TABLE><TBODY>\r\n<TR><TD>ab  cd</TD><TD><FONT SIZE=-1>two  spaces</FONT></TD>"
           "</TR>\r\n</TBODY></TABLE>\r\n";
    QTest::newRow("blanks between words and inline elements stay")
        << "<table><tr><td><font size=-1> <b>bold</b> detail <i>x</i> <u>y</u> </font></td></tr>"
           "</table>"
        << "<TABLE><TBODY>\r\n<TR><TD><FONT SIZE=-1><B>bold</B> detail <I>x</I> <U>y</U></FONT>"
           "</TD></TR>\r\n</TBODY></TABLE>\r\n";
    QTest::newRow("rows written one after another each get a line")
        << "<table><tr><td>a</td></tr><tr><td>b</td></tr></table>"
        << "<TABLE><TBODY>\r\n<TR><TD>a</TD></TR>\r\n<TR><TD>b</TD></TR>\r\n</TBODY></TABLE>\r\n";
    QTest::newRow("row after text starts a line")
        << "text<table><tr><td>a</td></tr></table>"
        << "text<TABLE><TBODY>\r\n<TR><TD>a</TD></TR>\r\n</TBODY></TABLE>\r\n";
    QTest::newRow("nested table's rows start lines")
        << "<table><tr><td><table><tr><td>in</td></tr><tr><td>on</td></tr></table></td></tr>"
           "</table>"
        << "<TABLE><TBODY>\r\n<TR><TD><TABLE><TBODY>\r\n<TR><TD>in</TD></TR>\r\n"
           "<TR><TD>on</TD></TR>\r\n</TBODY></TABLE></TD></TR>\r\n</TBODY></TABLE>\r\n";
    QTest::newRow("rows three tables deep start lines")
        << "<table><tr><td><table><tr><td><table><tr><td>a</td></tr></table>x</td></tr>"
           "</table></td></tr></table>"
        << "<TABLE><TBODY>\r\n<TR><TD><TABLE><TBODY>\r\n<TR><TD><TABLE><TBODY>\r\n"
           "<TR><TD>a</TD></TR>\r\n</TBODY></TABLE>x</TD></TR>\r\n</TBODY></TABLE></TD></TR>\r\n"
           "</TBODY></TABLE>\r\n";
    QTest::newRow("input writes type, name, value first")
        << "<input name=\"host_id\" type=\"radio\" value=\"42\">"
        << "<INPUT TYPE=\"radio\" NAME=\"host_id\" VALUE=\"42\">\r\n";
    QTest::newRow("input's other attributes follow in page order")
        << "<input id=i value=7 checked class=c name=n>"
        << "<INPUT NAME=\"n\" VALUE=\"7\" ID=\"i\" CHECKED CLASS=\"c\">\r\n";
    QTest::newRow("other elements keep page order")
        << "<select name=s type=t><option value=v label=l>o</option></select>"
        << "<SELECT NAME=\"s\" TYPE=\"t\"><OPTION VALUE=\"v\" LABEL=\"l\">o</OPTION></SELECT>\r\n";
    QTest::newRow("text keeps its lines as CR LF") << "one\ntwo\r\nthree\rfour"
                                                   << "one\r\ntwo\r\nthree\r\nfour\r\n";
    QTest::newRow("key lines stay at line starts") << "vers=1.1\nfile=http://x/?a=1&b=2\n"
                                                   << "vers=1.1\r\nfile=http://x/?a=1&amp;b=2\r\n";
    QTest::newRow("preformatted block keeps its lines") << "<pre>\nline 1\n  line 2\n</pre>"
                                                        << "<PRE>line 1\r\n  line 2\r\n</PRE>\r\n";
    QTest::newRow("comment") << "x<!-- a\nnote -->"
                             << "x<!-- a\r\nnote -->\r\n";
    QTest::newRow("script is not escaped") << "x<script>if (a < b && c) y();</script>"
                                           << "x<SCRIPT>if (a < b && c) y();</SCRIPT>\r\n";
    QTest::newRow("unknown tag") << "<zonara-x data-n=1>y</zonara-x>"
                                 << "<ZONARA-X DATA-N=\"1\">y</ZONARA-X>\r\n";
    QTest::newRow("unknown tag from an end tag with a line break") << "<p></bp/\nody x></p>"
                                                                   << "<P></P>\r\n";
    QTest::newRow("unknown tag name ends at a blank") << "<zz\ta=1>t</zz\n>"
                                                      << "<ZZ A=\"1\">t</ZZ>\r\n";
    QTest::newRow("void elements get no end tag") << "a<br>b<img src=i>"
                                                  << "a<BR>b<IMG SRC=\"i\">\r\n";
    QTest::newRow("non-ASCII text") << "<td>héllo ✓</td>"
                                    << "héllo ✓\r\n";
}

void TestHtmlSerializer::body()
{
    QFETCH(QString, html);
    QFETCH(QString, expected);
    QCOMPARE(bodyOf(serialized(html)), expected);
}

void TestHtmlSerializer::documentFrame()
{
    QCOMPARE(serialized("<!DOCTYPE html><title>T</title>x"),
             "<!DOCTYPE html>\r\n<HTML>\r\n<HEAD>\r\n<TITLE>T</TITLE>\r\n</HEAD>\r\n<BODY>\r\n"
             "x\r\n</BODY>\r\n</HTML>\r\n");
    QCOMPARE(serialized(QString()),
             "<HTML>\r\n<HEAD>\r\n</HEAD>\r\n<BODY>\r\n</BODY>\r\n</HTML>\r\n");
}

void TestHtmlSerializer::providerListingKeepsEveryRowWhole()
{
    const QString text = documentText(fixture("listing-dynamic.html"), "text/html").value();
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    QCOMPARE(text.count(u'\r'), text.count(QStringLiteral("\r\n")));
    QCOMPARE(text.count(u'\n'), text.count(QStringLiteral("\r\n")));
    QVERIFY(lines.contains(
        R"(<TR><TD><INPUT TYPE="radio" NAME="host_id" VALUE="101"></TD><TD>home.zonara.example</TD></TR>)"));
    QVERIFY(
        lines.contains("<TR><TD></TD><TD><FONT SIZE=-1>IP address: 192.0.2.10</FONT></TD></TR>"));
    QVERIFY(lines.contains(
        "<TR><TD></TD><TD><FONT SIZE=-1>Wildcard: on, backup MX: yes</FONT></TD></TR>"));
    for (const QString &line : lines) {
        if (line.contains(QStringLiteral("<TR>")))
            QVERIFY2(line.startsWith(QStringLiteral("<TR>")) &&
                         line.endsWith(QStringLiteral("</TR>")),
                     qPrintable(line));
    }
}

void TestHtmlSerializer::plainTextPassesThrough_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("expected");

    QTest::newRow("LF lines") << QByteArray("vers=1.1\nfile=x<y>\n") << QByteArray("text/plain")
                              << "vers=1.1\r\nfile=x<y>\r\n";
    QTest::newRow("CR lines") << QByteArray("a\rb") << QByteArray("text/plain; charset=utf-8")
                              << "a\r\nb";
    QTest::newRow("CR LF kept") << QByteArray("a\r\nb\r\n")
                                << QByteArray("application/octet-stream") << "a\r\nb\r\n";
    QTest::newRow("markup not parsed")
        << QByteArray("<b>x</b>") << QByteArray("text/plain") << "<b>x</b>";
}

void TestHtmlSerializer::plainTextPassesThrough()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, expected);
    QCOMPARE(documentText(body, contentType), expected);
}

void TestHtmlSerializer::charsets_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("contentType");
    QTest::addColumn<QString>("expected");

    QTest::newRow("UTF-8 undeclared")
        << QByteArray("caf\xc3\xa9") << QByteArray("text/plain") << QString::fromUtf8("café");
    QTest::newRow("Windows-1252 when not UTF-8")
        << QByteArray("caf\xe9 \x80") << QByteArray("text/plain") << QString::fromUtf8("café €");
    QTest::newRow("declared in the header")
        << QByteArray("caf\xe9") << QByteArray("text/plain; charset=ISO-8859-1")
        << QString::fromUtf8("café");
    QTest::newRow("declared in the page")
        << QByteArray("<meta charset=\"windows-1252\">\x93quoted\x94") << QByteArray("text/html")
        << QString::fromUtf8("<META CHARSET=\"windows-1252\">\r\n");
    QTest::newRow("UTF-16 declared in the page means UTF-8")
        << QByteArray("<meta charset=\"utf-16\">\xe2\x80\x9cquoted\xe2\x80\x9d")
        << QByteArray("text/html") << QString::fromUtf8("<META CHARSET=\"utf-16\">\r\n");
    QTest::newRow("UTF-16LE in http-equiv means UTF-8")
        << QByteArray("<meta http-equiv=content-type content=\"text/html; charset=UTF-16LE\">"
                      "\xe2\x80\x9cquoted\xe2\x80\x9d")
        << QByteArray("text/html") << QString::fromUtf8("charset=UTF-16LE\">\r\n");
    QTest::newRow("UTF-16 in the header stays UTF-16")
        << QByteArrayLiteral("<\0p\0>\0\x1c\x20q\0u\0o\0t\0e\0d\0\x1d\x20")
        << QByteArray("text/html; charset=utf-16le") << QString::fromUtf8("<P>");
    QTest::newRow("byte order mark wins over the page")
        << QByteArrayLiteral("\xfe\xff\0<\0b\0>\x20\x1c\0q\0u\0o\0t\0e\0d\x20\x1d")
        << QByteArray("text/html") << QString::fromUtf8("<B>");
    QTest::newRow("header wins over UTF-8 look")
        << QByteArray("\xc3\xa9") << QByteArray("text/plain; charset=windows-1252")
        << QString::fromUtf8("Ã©");
}

void TestHtmlSerializer::charsets()
{
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, contentType);
    QFETCH(QString, expected);
    const QString text = documentText(body, contentType).value();
    if (contentType.startsWith("text/html")) {
        QVERIFY2(text.contains(expected), qPrintable(text));
        QVERIFY2(text.contains(QString::fromUtf8("“quoted”")), qPrintable(text));
    } else {
        QCOMPARE(text, expected);
    }
}

void TestHtmlSerializer::deepNestingDoesNotOverflow()
{
    // The writer must not recurse: ten thousand levels would outgrow a thread's stack.
    const QString html = QString(QStringLiteral("<span>")).repeated(10'000) + u'x';
    const QString text = serialized(html);
    QCOMPARE(text.count(QStringLiteral("<SPAN>")), 10'000);
    QCOMPARE(text.count(QStringLiteral("</SPAN>")), 10'000);
}

void TestHtmlSerializer::regressionPagesKeepCrLfLines_data()
{
    QTest::addColumn<QString>("path");
    const QDir data(QFINDTESTDATA("data"));
    const QStringList pages = data.entryList({QStringLiteral("regression-*")}, QDir::Files);
    QVERIFY(!pages.isEmpty());
    for (const QString &page : pages)
        QTest::newRow(qPrintable(page)) << data.filePath(page);
}

// Pages that once broke the text form: every line still ends in CR LF, and only there.
void TestHtmlSerializer::regressionPagesKeepCrLfLines()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray page = file.readAll();
    const std::string text =
        serializeHtml(std::string_view(page.constData(), page.size())).value_or("");
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            QVERIFY2(i > 0 && text[i - 1] == '\r', qPrintable(QString::number(i)));
        if (text[i] == '\r')
            QVERIFY2(i + 1 < text.size() && text[i + 1] == '\n', qPrintable(QString::number(i)));
    }
}

void TestHtmlSerializer::hostilePagesStopAtTheLimits()
{
    // A million nested elements keep the parser busy for minutes: the time limit ends it.
    std::string deep;
    for (int i = 0; i < 1'000'000; ++i)
        deep += "<div>";
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!serializeHtml(deep, {std::chrono::milliseconds(300), std::size_t(1) << 30, {}}));
    QVERIFY2(timer.elapsed() < 5'000, qPrintable(QString::number(timer.elapsed())));

    const std::string big(1 << 20, 'x');
    QVERIFY(!serializeHtml("<p>" + big, {std::chrono::seconds(30), std::size_t(1) << 20, {}}));
    QVERIFY(serializeHtml("<p>" + big, {std::chrono::seconds(30), std::size_t(64) << 20, {}}));

    // A small tree can still make a large text: its share of the memory bounds it too.
    const std::string ampersands(5'000'000, '&');
    QVERIFY(!serializeHtml(ampersands, {std::chrono::seconds(30), std::size_t(48) << 20, {}}));
    QVERIFY(serializeHtml(ampersands, {std::chrono::seconds(30), std::size_t(128) << 20, {}}));
}

void TestHtmlSerializer::hostilePagesStayWithinMemory_data()
{
    QTest::addColumn<QByteArray>("unit");
    QTest::addColumn<QByteArray>("contentType");

    // Pages that once took the program to more than a gigabyte, each just under the 16 MiB that
    // the loader accepts.
    QTest::newRow("line breaks") << QByteArray("<br>") << QByteArray("text/html");
    QTest::newRow("nested tables") << QByteArray("<table>") << QByteArray("text/html");
    QTest::newRow("nested table cells") << QByteArray("<table><tr><td>") << QByteArray("text/html");
    QTest::newRow("unclosed links") << QByteArray("<a>") << QByteArray("text/html");
    QTest::newRow("nested divs") << QByteArray("<div>") << QByteArray("text/html");
    QTest::newRow("escapes, decoded from Windows-1252")
        << QByteArray("&amp;\x80<") << QByteArray("text/html; charset=windows-1252");
}

// The read of such a page fits its memory or gives up: it never returns a text larger than its
// share. (What the program as a whole takes is measured in bench/.)
void TestHtmlSerializer::hostilePagesStayWithinMemory()
{
    QFETCH(QByteArray, unit);
    QFETCH(QByteArray, contentType);
    const QByteArray page = unit.repeated(15'000'000 / unit.size());
    ParseLimits limits;
    limits.memory = std::size_t(64) << 20;
    limits.time = std::chrono::seconds(3);
    const std::optional<QString> text = documentText(page, contentType, limits);
    if (text)
        QVERIFY2(std::size_t(text->size()) * 3 <= limits.memory,
                 qPrintable(QString::number(text->size())));
}

// Fault caught: the parser's growing buffers, freed as it went, still counted against the read's
// memory, and a page that fits was refused.
void TestHtmlSerializer::freedBuffersCountNoMore()
{
    // Each value grows a buffer of the parser's past 64 KiB, which it frees once copied.
    const std::string page =
        ("<p title=\"" + QByteArray(100'000, 'v') + "\">x</p>").repeated(100).toStdString();
    ParseLimits limits;
    // The tree and the text written from it each hold the values once: 20 MB.
    limits.memory = std::size_t(32) << 20;
    QVERIFY(serializeHtml(page, limits));
}

void TestHtmlSerializer::cancelledParseStops()
{
    const std::string page =
        QByteArray("<table><tr><td>x</td></tr></table>").repeated(20'000).toStdString();
    auto cancelled = std::make_shared<std::atomic<bool>>(false);
    ParseLimits limits;
    limits.cancelled = cancelled;
    QVERIFY(serializeHtml(page, limits));
    cancelled->store(true);
    QVERIFY(!serializeHtml(page, limits));
}

QTEST_APPLESS_MAIN(TestHtmlSerializer)
#include "tst_htmlserializer.moc"
