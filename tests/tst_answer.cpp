#include "answer.h"

#include <QTest>

using namespace zonara;

class TestAnswer final : public QObject
{
    Q_OBJECT

private slots:
    void extraction_data();
    void extraction();
};

void TestAnswer::extraction_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("text");

    QTest::newRow("upper-case markers keep the document's case")
        << "<HTML><HEAD><TITLE>Result</TITLE></HEAD><BODY><PRE>done</PRE></BODY></HTML>"
        << "Result"
        << "done";
    QTest::newRow("mixed-case markers") << "<TiTlE>A b</tItLe><pRe>C\r\nd</PrE>"
                                        << "A b"
                                        << "C\r\nd";
    QTest::newRow("title without block shows the title twice") << "<title>Only</title>"
                                                               << "Only"
                                                               << "Only";
    QTest::newRow("neither marker") << "<html>nothing</html>"
                                    << ""
                                    << "";
    QTest::newRow("empty title") << "<title></title><pre>x</pre>"
                                 << ""
                                 << "x";
    QTest::newRow("closing title marker alone") << "0123456789012345678</title>"
                                                << "6789012345678"
                                                << "6789012345678";
    QTest::newRow("closing block marker alone") << "0123456789012345678</pre>"
                                                << ""
                                                << "456789012345678";
    QTest::newRow("two blocks: the first") << "<pre>one</pre><pre>two</pre>"
                                           << ""
                                           << "one";
    QTest::newRow("tags inside the block stay") << "<pre>a <b>bold</b> &amp; c</pre>"
                                                << ""
                                                << "a <b>bold</b> &amp; c";
    QTest::newRow("marker with attributes counts as missing")
        << "<title>T</title><pre class=x>body</pre>"
        << "T"
        << "le>T</title><pre class=x>body";
    QTest::newRow("closing before opening fails") << "</title><title>x"
                                                  << ""
                                                  << "";
    QTest::newRow("opening without closing fails") << "<title>x<pre>y"
                                                   << ""
                                                   << "";
    QTest::newRow("block starting at the end") << "<title>t</title>  </pre><pre>"
                                               << "t"
                                               << "t";
    QTest::newRow("empty document") << ""
                                    << ""
                                    << "";
}

void TestAnswer::extraction()
{
    QFETCH(QString, document);
    QFETCH(QString, caption);
    QFETCH(QString, text);
    const Answer answer = extractAnswer(document);
    QCOMPARE(answer.caption, caption);
    QCOMPARE(answer.text, text);
}

QTEST_APPLESS_MAIN(TestAnswer)
#include "tst_answer.moc"
