#include "core/values.h"

#include <QTest>
#include <cmath>
#include <limits>

class TestValues : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textToNumber_data();
    void textToNumber();
    void truncToInt_data();
    void truncToInt();
    void textToInt_data();
    void textToInt();
    void formatG13_data();
    void formatG13();
    void countsSurviveTheirTextForm();
    void flags();
};

void TestValues::textToNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    const double max = std::numeric_limits<double>::max();
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("integer") << u"12"_qs << 12.0;
    QTest::newRow("negative") << u"-2"_qs << -2.0;
    QTest::newRow("plus sign") << u"+3.5"_qs << 3.5;
    QTest::newRow("leading blanks") << u" \t 7"_qs << 7.0;
    QTest::newRow("fraction") << u"3.9"_qs << 3.9;
    QTest::newRow("leading point") << u".5"_qs << 0.5;
    QTest::newRow("trailing point") << u"5."_qs << 5.0;
    QTest::newRow("exponent as written") << u"1e+13"_qs << 1e13;
    QTest::newRow("upper-case exponent") << u"2.5E-3"_qs << 2.5e-3;
    QTest::newRow("bare e ignored") << u"1e"_qs << 1.0;
    QTest::newRow("e and sign ignored") << u"1e+x"_qs << 1.0;
    QTest::newRow("letters after") << u"12abc"_qs << 12.0;
    QTest::newRow("blank inside") << u"1 2"_qs << 1.0;
    QTest::newRow("letters only") << u"abc"_qs << 0.0;
    QTest::newRow("sign only") << u"-"_qs << 0.0;
    QTest::newRow("point only") << u"."_qs << 0.0;
    QTest::newRow("two signs") << u"+-1"_qs << 0.0;
    QTest::newRow("hex") << u"0x10"_qs << 0.0;
    QTest::newRow("inf") << u"inf"_qs << 0.0;
    QTest::newRow("negative infinity") << u"-infinity"_qs << 0.0;
    QTest::newRow("nan") << u"nan"_qs << 0.0;
    QTest::newRow("full-width digit") << u"５"_qs << 5.0;
    QTest::newRow("full-width number") << u"－１２．５ｅ２"_qs << -1250.0;
    QTest::newRow("ideographic space") << u"\u3000３"_qs << 3.0;
    QTest::newRow("many digits") << u"9999999999999"_qs << 9999999999999.0;
    QTest::newRow("too large") << u"1e999"_qs << max;
    QTest::newRow("too large negative") << u"-1e999"_qs << -max;
    QTest::newRow("too many digits") << QString(u'9').repeated(400) << max;
    QTest::newRow("too small") << u"1e-999"_qs << 0.0;
    QTest::newRow("tiny with large exponent") << u"0.0000001e-320"_qs << 0.0;
    QTest::newRow("huge exponent text") << u"1e99999999999999999999"_qs << max;
}

void TestValues::textToNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    const double got = values::textToNumber(text);
    QVERIFY(std::isfinite(got));
    QCOMPARE(got, expected);
}

void TestValues::truncToInt_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint32>("expected");

    const qint32 max = std::numeric_limits<qint32>::max();
    const qint32 min = std::numeric_limits<qint32>::min();
    QTest::newRow("down") << 3.9 << 3;
    QTest::newRow("toward zero") << -3.9 << -3;
    QTest::newRow("just below max") << 2147483647.9 << max;
    QTest::newRow("max + 1") << 2147483648.0 << max;
    QTest::newRow("huge") << 1e300 << max;
    QTest::newRow("min fraction") << -2147483648.9 << min;
    QTest::newRow("below min") << -2147483649.0 << min;
    QTest::newRow("huge negative") << -1e300 << min;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << max;
    QTest::newRow("negative infinity") << -std::numeric_limits<double>::infinity() << min;
    QTest::newRow("nan") << std::numeric_limits<double>::quiet_NaN() << 0;
}

void TestValues::truncToInt()
{
    QFETCH(double, value);
    QFETCH(qint32, expected);
    QCOMPARE(values::truncToInt(value), expected);
}

void TestValues::textToInt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("fraction") << u"3.9"_qs << 3;
    QTest::newRow("negative position") << u"-30"_qs << -30;
    QTest::newRow("full-width") << u"２００"_qs << 200;
    QTest::newRow("huge saturates") << u"99999999999999999999"_qs << 2147483647;
    QTest::newRow("huge negative saturates") << u"-1e20"_qs << -2147483647 - 1;
    QTest::newRow("not a number") << u"abc"_qs << 0;
}

void TestValues::textToInt()
{
    QFETCH(QString, text);
    QFETCH(qint32, expected);
    QCOMPARE(values::textToInt(text), expected);
}

void TestValues::formatG13_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero") << 0.0 << u"0"_qs;
    QTest::newRow("integer") << 42.0 << u"42"_qs;
    QTest::newRow("negative") << -2.0 << u"-2"_qs;
    QTest::newRow("fraction") << 3.5 << u"3.5"_qs;
    QTest::newRow("thirteen digits") << 9999999999999.0 << u"9999999999999"_qs;
    QTest::newRow("fourteen digits") << 10000000000000.0 << u"1e+13"_qs;
    QTest::newRow("rounded to 13") << 1234567890123.4 << u"1234567890123"_qs;
    QTest::newRow("small") << 0.00001 << u"1e-05"_qs;
    QTest::newRow("tenth") << 0.1 << u"0.1"_qs;
}

void TestValues::formatG13()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(values::formatG13(value), expected);
}

// A win count is read, raised by one and written back as text; past 13
// digits it turns into exponent form and must keep counting from there.
void TestValues::countsSurviveTheirTextForm()
{
    const QString raised = values::formatG13(values::textToNumber(u"9999999999999") + 1);
    QCOMPARE(raised, u"1e+13"_qs);
    QCOMPARE(values::textToNumber(raised), 1e13);
    QCOMPARE(values::formatG13(values::textToNumber(u"2.5") + 1), u"3.5"_qs);
    QCOMPARE(values::formatG13(values::textToNumber(u"abc") + 1), u"1"_qs);
}

void TestValues::flags()
{
    QCOMPARE(values::flagText(true), u"真"_qs);
    QCOMPARE(values::flagText(false), u"假"_qs);
    QVERIFY(values::isTrueFlag(u"真"));
    QVERIFY(!values::isTrueFlag(u"假"));
    QVERIFY(!values::isTrueFlag(u"1"));
    QVERIFY(!values::isTrueFlag(u" 真"));
    QVERIFY(!values::isTrueFlag(u""));
}

QTEST_GUILESS_MAIN(TestValues)
#include "test_values.moc"
