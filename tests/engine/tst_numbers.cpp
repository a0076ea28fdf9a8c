#include "Numbers.h"

#include <QTest>

using namespace norvale;

class TestNumbers : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("expected");
        QTest::newRow("plain integer") << "12" << 12.0;
        QTest::newRow("decimal with point") << "1.5" << 1.5;
        QTest::newRow("stops at first non-number") << "12abc" << 12.0;
        QTest::newRow("not a number reads 0") << "abc" << 0.0;
        QTest::newRow("empty reads 0") << "" << 0.0;
        QTest::newRow("blanks skipped anywhere") << " 1 2\t3\n" << 123.0;
        QTest::newRow("negative") << "-2.5x" << -2.5;
        QTest::newRow("explicit plus") << "+3" << 3.0;
        QTest::newRow("exponent E") << "1E3" << 1000.0;
        QTest::newRow("exponent D") << "2d2" << 200.0;
        QTest::newRow("exponent without digits is ignored") << "5E" << 5.0;
        QTest::newRow("leading point") << ".5" << 0.5;
        QTest::newRow("lone point") << "." << 0.0;
        QTest::newRow("comma is not a decimal separator") << "1,5" << 1.0;
        QTest::newRow("a line end after the number") << "1\r\n" << 1.0;
        QTest::newRow("bracket after the digit") << "1)" << 1.0;
    }
    void leadingNumber()
    {
        QFETCH(QString, text);
        QFETCH(double, expected);
        QCOMPARE(LeadingNumber(text), expected);
    }

    void isPlainNumber_data()
    {
        QTest::addColumn<QString>("word");
        QTest::addColumn<bool>("expected");
        QTest::newRow("points with one decimal") << "1.5" << true;
        QTest::newRow("minus zero") << "-0.0" << true;
        QTest::newRow("whole number of a large score") << "1000" << true;
        QTest::newRow("negative whole number") << "-100" << true;
        QTest::newRow("a bracketed list item") << "1)" << false;
        QTest::newRow("trailing point") << "1." << false;
        QTest::newRow("leading point") << ".5" << false;
        QTest::newRow("exponent") << "1e3" << false;
        QTest::newRow("sign only") << "-" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("a carriage return at the end") << "1.0\r" << false;
    }
    void isPlainNumber()
    {
        QFETCH(QString, word);
        QFETCH(bool, expected);
        QCOMPARE(IsPlainNumber(word), expected);
    }

    void roundHalfEven_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("expected");
        QTest::newRow("2.5 to 2") << 2.5 << 2.0;
        QTest::newRow("3.5 to 4") << 3.5 << 4.0;
        QTest::newRow("1.6 to 2") << 1.6 << 2.0;
        QTest::newRow("0.5 to 0") << 0.5 << 0.0;
        QTest::newRow("-1.5 to -2") << -1.5 << -2.0;
    }
    void roundHalfEven()
    {
        QFETCH(double, value);
        QFETCH(double, expected);
        QCOMPARE(RoundHalfEven(value), expected);
    }

    void parseUserNumber_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("expected");
        QTest::newRow("C: decimal point") << "C" << "2.50" << true << 2.5f;
        QTest::newRow("C: spaces around") << "C" << " 3 " << true << 3.0f;
        QTest::newRow("C: exponent") << "C" << "1e3" << true << 1000.0f;
        QTest::newRow("C: plus sign") << "C" << "+3" << true << 3.0f;
        QTest::newRow("C: negative") << "C" << "-2" << true << -2.0f;
        QTest::newRow("C: comma groups digits") << "C" << "1,5" << true << 15.0f;
        QTest::newRow("C: letters") << "C" << "abc" << false << 0.0f;
        QTest::newRow("C: empty") << "C" << "" << false << 0.0f;
        QTest::newRow("C: beyond single precision") << "C" << "1e39" << false << 0.0f;
        QTest::newRow("de: decimal comma") << "de_DE" << "1,5" << true << 1.5f;
        QTest::newRow("de: point groups digits") << "de_DE" << "1.500" << true << 1500.0f;
        QTest::newRow("it: decimal comma") << "it_IT" << "-0,25" << true << -0.25f;
    }
    void parseUserNumber()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(float, expected);
        const std::optional<float> value = ParseUserNumber(text, QLocale(locale));
        QCOMPARE(value.has_value(), valid);
        if (valid)
            QCOMPARE(*value, expected);
    }

    void formatUserNumber_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("whole number has no separator") << "C" << 3.0f << "3";
        QTest::newRow("no trailing zeros") << "C" << 2.5f << "2.5";
        QTest::newRow("seven significant digits") << "C" << 1.23456789f << "1.234568";
        QTest::newRow("seven digit whole number") << "C" << 1234567.8f << "1234568";
        QTest::newRow("ten million needs the exponent") << "C" << 10000000.0f << "1E+07";
        QTest::newRow("eight digits in exponent form") << "C" << 12345678.0f << "1.234568E+07";
        QTest::newRow("no digit grouping") << "C" << 123456.0f << "123456";
        QTest::newRow("minus zero is zero") << "C" << -0.0f << "0";
        QTest::newRow("negative") << "C" << -1.9f << "-1.9";
        QTest::newRow("single precision shows as typed") << "C" << 0.1f << "0.1";
        QTest::newRow("de: decimal comma") << "de_DE" << 1.5f << "1,5";
        QTest::newRow("de: no grouping") << "de_DE" << 1234.5f << "1234,5";
    }
    void formatUserNumber()
    {
        QFETCH(QString, locale);
        QFETCH(float, value);
        QFETCH(QString, expected);
        QCOMPARE(FormatUserNumber(value, QLocale(locale)), expected);
    }
};

QTEST_GUILESS_MAIN(TestNumbers)
#include "tst_numbers.moc"
