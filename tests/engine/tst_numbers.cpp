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

    // Every row is read in C, German and Italian: a typed or stored number
    // means the same whatever the user's language.
    void parseUserNumber_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<float>("expected");
        const struct
        {
            const char *name;
            const char *text;
            bool valid;
            float expected;
        } rows[] = {
            { "a decimal point", "2.50", true, 2.5f },
            { "a decimal comma", "2,50", true, 2.5f },
            { "an override as the English window writes it", "2.5", true, 2.5f },
            { "an override as the Italian window writes it", "0,5", true, 0.5f },
            { "spaces around", " 3 ", true, 3.0f },
            { "an exponent", "1e3", true, 1000.0f },
            { "an exponent as the window writes it", "1E+07", true, 1.0e7f },
            { "a decimal comma and an exponent", "2,5E+07", true, 2.5e7f },
            { "a plus sign", "+3", true, 3.0f },
            { "a negative number", "-2", true, -2.0f },
            { "a negative decimal", "-0,25", true, -0.25f },
            { "a leading separator", ".5", true, 0.5f },
            { "a trailing separator", "5,", true, 5.0f },
            { "a point that would group thousands is a decimal point", "1.500", true, 1.5f },
            { "a comma that would group thousands is a decimal comma", "1,500", true, 1.5f },
            { "two points are not a number", "1.000.000", false, 0.0f },
            { "two commas are not a number", "1,000,000", false, 0.0f },
            { "a point and a comma are not a number", "1.000,5", false, 0.0f },
            { "a comma and a point are not a number", "1,000.5", false, 0.0f },
            { "a space inside is not a number", "1 000", false, 0.0f },
            { "a lone separator is not a number", ",", false, 0.0f },
            { "a sign alone is not a number", "-", false, 0.0f },
            { "an exponent without digits is not a number", "1e", false, 0.0f },
            { "letters are not a number", "abc", false, 0.0f },
            { "trailing letters are not a number", "2.5x", false, 0.0f },
            { "infinity is not a number", "inf", false, 0.0f },
            { "the empty text is not a number", "", false, 0.0f },
            { "beyond single precision is not a number", "1e39", false, 0.0f },
            { "too small for single precision is not a number", "1e-50", false, 0.0f },
        };
        for (const char *locale : { "C", "de_DE", "it_IT" }) {
            for (const auto &row : rows) {
                QTest::addRow("%s: %s", locale, row.name)
                    << QString::fromLatin1(locale) << QString::fromUtf8(row.text) << row.valid
                    << row.expected;
            }
        }
        // What the window writes in a locale of its own reads back there.
        QTest::newRow("ar_EG: digits and separator of the locale")
            << "ar_EG" << FormatUserNumber(-2.5f, QLocale(QStringLiteral("ar_EG"))) << true << -2.5f;
        QTest::newRow("fr_FR: a space inside is not a number") << "fr_FR"
                                                               << "1 000,5" << false << 0.0f;
    }
    void parseUserNumber()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(float, expected);
        const QLocale previous;
        QLocale::setDefault(QLocale(locale));
        const std::optional<float> value = ParseUserNumber(text);
        QLocale::setDefault(previous);
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
