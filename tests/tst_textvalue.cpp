#include "textvalue.h"

#include <QTest>

#include <cmath>

using namespace zonara;

class TestTextValue final : public QObject
{
    Q_OBJECT

private slots:
    void numericValue_data();
    void numericValue();
    void wholeNumberIn_data();
    void wholeNumberIn();
};

void TestTextValue::numericValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("digits") << "42" << 42.0;
    QTest::newRow("leading zeros") << "0042" << 42.0;
    QTest::newRow("fraction") << "1.05" << 1.05;
    QTest::newRow("trailing zero fraction") << "1.10" << 1.1;
    QTest::newRow("second point ends the number") << "1.2.3" << 1.2;
    QTest::newRow("point first") << ".5" << 0.5;
    QTest::newRow("negative") << "-7" << -7.0;
    QTest::newRow("explicit plus") << "+3" << 3.0;
    QTest::newRow("blanks anywhere") << " 1 2\t3\n4" << 1234.0;
    QTest::newRow("blank after sign") << "- 5" << -5.0;
    QTest::newRow("stops at a letter") << "12abc" << 12.0;
    QTest::newRow("letter first") << "v1.1" << 0.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("second sign ends the number") << "1-2" << 1.0;
    QTest::newRow("carriage return ends the number") << "1\r2" << 1.0;
    QTest::newRow("comma is no separator") << "1,5" << 1.0;
    QTest::newRow("exponent is not read") << "2e3" << 2.0;
    QTest::newRow("hex is not read") << "&H10" << 0.0;
    QTest::newRow("trailing blank") << "1.1 " << 1.1;
    QTest::newRow("too large") << QString(400, u'9') << HUGE_VAL;
    QTest::newRow("too small") << "0." + QString(400, u'0') + "1" << 0.0;
}

void TestTextValue::numericValue()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(zonara::numericValue(text), expected);
}

void TestTextValue::wholeNumberIn_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("zero") << 0.0 << 0;
    QTest::newRow("inside") << 42.0 << 42;
    QTest::newRow("top") << 99999.0 << 99999;
    QTest::newRow("above") << 100000.0 << -1;
    QTest::newRow("negative") << -1.0 << -1;
    QTest::newRow("fraction") << 4.5 << -1;
    QTest::newRow("infinite") << HUGE_VAL << -1;
    QTest::newRow("not a number") << std::nan("") << -1;
}

void TestTextValue::wholeNumberIn()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(zonara::wholeNumberIn(value, 0, 99999), expected);
}

QTEST_APPLESS_MAIN(TestTextValue)
#include "tst_textvalue.moc"
