#include "Thresholds.h"

#include <QTest>

#include <limits>

using namespace norvale;

using Limits = BandLimitArray;
Q_DECLARE_METATYPE(Limits)

class TestThresholds : public QObject
{
    Q_OBJECT

private slots:
    void normaliseThreshold_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a number between spaces") << "  3 "
                                                 << "C"
                                                 << "3";
        QTest::newRow("trailing zeros go") << "2.50"
                                           << "C"
                                           << "2.5";
        QTest::newRow("an exponent is written out") << "1e3"
                                                    << "C"
                                                    << "1000";
        QTest::newRow("a negative number") << "-2"
                                           << "C"
                                           << "-2";
        QTest::newRow("seven significant digits") << "1.23456789"
                                                  << "C"
                                                  << "1.234568";
        QTest::newRow("a large whole number takes the exponent form") << "12345678"
                                                                      << "C"
                                                                      << "1.234568E+07";
        QTest::newRow("text that is not a number becomes 0") << "abc"
                                                             << "C"
                                                             << "0";
        QTest::newRow("beyond single precision becomes 0") << "1e39"
                                                           << "C"
                                                           << "0";
        QTest::newRow("the empty text stays empty") << ""
                                                    << "C"
                                                    << "";
        QTest::newRow("spaces only become empty") << "   "
                                                  << "C"
                                                  << "";
        QTest::newRow("a comma is the decimal separator in the C locale too") << "1,5"
                                                                              << "C"
                                                                              << "1.5";
        QTest::newRow("a point is the decimal separator in a German locale too") << "1.500"
                                                                                 << "de_DE"
                                                                                 << "1,5";
        QTest::newRow("two separators are not a number in an Italian locale") << "1.000,5"
                                                                              << "it_IT"
                                                                              << "0";
        QTest::newRow("a decimal comma in a German locale") << "2,50"
                                                            << "de_DE"
                                                            << "2,5";
    }
    void normaliseThreshold()
    {
        QFETCH(QString, text);
        QFETCH(QString, locale);
        QFETCH(QString, expected);
        QCOMPARE(NormaliseThreshold(text, QLocale(locale)), expected);
    }

    void splitThenJoin_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("joined");
        QTest::newRow("the defaults")
            << "1|2|4|5|8" << QStringList { "1", "2", "4", "5", "8" } << "1|2|4|5|8";
        QTest::newRow("an empty first piece keeps its place")
            << "|5" << QStringList { "", "5", "", "", "" } << "|5";
        QTest::newRow("pieces past the fifth are dropped")
            << "1|2|3|4|5|6|7" << QStringList { "1", "2", "3", "4", "5" } << "1|2|3|4|5";
        QTest::newRow("the empty text empties every box") << "" << QStringList { "", "", "", "", "" } << "";
        QTest::newRow("spaces only empty every box") << "   " << QStringList { "", "", "", "", "" } << "";
        QTest::newRow("a piece that is not a number becomes 0")
            << "x|2" << QStringList { "0", "2", "", "", "" } << "0|2";
        QTest::newRow("descending values are kept")
            << "8|5|4|2|1" << QStringList { "8", "5", "4", "2", "1" } << "8|5|4|2|1";
        QTest::newRow("pieces are normalised")
            << " 2.50 |1e1" << QStringList { "2.5", "10", "", "", "" } << "2.5|10";
        QTest::newRow("empty pieces inside keep their place")
            << "1||3" << QStringList { "1", "", "3", "", "" } << "1||3";
    }
    void splitThenJoin()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, boxes);
        QFETCH(QString, joined);
        const QStringList split = SplitThresholds(text, QLocale::c());
        QCOMPARE(split, boxes);
        QCOMPARE(JoinThresholds(split), joined);
    }

    void joinThresholds_trimsBoxesAndDropsTrailingBars()
    {
        QCOMPARE(JoinThresholds({ " 1 ", "", "3 ", "  ", "" }), "1||3");
        QCOMPARE(JoinThresholds({ "", "", "", "", "" }), "");
    }

    void bandLimits_data()
    {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<Limits>("expected");
        QTest::newRow("five numbers")
            << QStringList { "1", "2", "4", "5", "8" } << "C" << Limits { 1, 2, 4, 5, 8, 10000 };
        QTest::newRow("empty boxes fall back by position, the second to 3")
            << QStringList { "", "", "", "", "" } << "C" << Limits { 1, 3, 4, 5, 8, 10000 };
        QTest::newRow("a box that is not a number falls back")
            << QStringList { "0.5", "abc", "6", "", "9" } << "C" << Limits { 0.5f, 3, 6, 5, 9, 10000 };
        QTest::newRow("no boxes give the defaults")
            << QStringList {} << "C" << Limits { 1, 3, 4, 5, 8, 10000 };
        QTest::newRow("a sixth box does not move the last limit")
            << QStringList { "1", "2", "4", "5", "8", "2" } << "C" << Limits { 1, 2, 4, 5, 8, 10000 };
        QTest::newRow("boxes are read by the locale")
            << QStringList { "1,5", "2", "4", "5", "8" } << "de_DE" << Limits { 1.5f, 2, 4, 5, 8, 10000 };
        QTest::newRow("a decimal point reads the same in a German locale")
            << QStringList { "1.5", "2", "4", "5", "8" } << "de_DE" << Limits { 1.5f, 2, 4, 5, 8, 10000 };
        QTest::newRow("a decimal comma reads the same in the C locale")
            << QStringList { "1,5", "2", "4", "5", "8" } << "C" << Limits { 1.5f, 2, 4, 5, 8, 10000 };
    }
    void bandLimits()
    {
        QFETCH(QStringList, boxes);
        QFETCH(QString, locale);
        QFETCH(Limits, expected);
        QCOMPARE(BandLimits(boxes, QLocale(locale)), expected);
    }

    void verdictLevel_data()
    {
        const Limits defaults { 1, 2, 4, 5, 8, 10000 };
        QTest::addColumn<float>("score");
        QTest::addColumn<Limits>("limits");
        QTest::addColumn<int>("level"); // -1: none
        QTest::newRow("below the first threshold") << 0.9f << defaults << 0;
        QTest::newRow("a negative score") << -3.0f << defaults << 0;
        QTest::newRow("equal to the first threshold") << 1.0f << defaults << 1;
        QTest::newRow("just below the third threshold") << 3.9f << defaults << 2;
        QTest::newRow("equal to the third threshold") << 4.0f << defaults << 3;
        QTest::newRow("between the fourth and fifth") << 5.0f << defaults << 4;
        QTest::newRow("equal to the fifth threshold") << 8.0f << defaults << 5;
        QTest::newRow("just below 10000") << 9999.9f << defaults << 5;
        QTest::newRow("10000 has no level") << 10000.0f << defaults << -1;
        QTest::newRow("far above 10000 has no level") << 1.0e6f << defaults << -1;
        QTest::newRow("NaN has no level") << std::numeric_limits<float>::quiet_NaN() << defaults << -1;
        QTest::newRow("descending thresholds: the first limit above decides")
            << 3.0f << Limits { 8, 5, 4, 2, 1, 10000 } << 0;
        QTest::newRow("descending thresholds: above all five")
            << 9.0f << Limits { 8, 5, 4, 2, 1, 10000 } << 5;
    }
    void verdictLevel()
    {
        QFETCH(float, score);
        QFETCH(Limits, limits);
        QFETCH(int, level);
        QCOMPARE(VerdictLevel(score, limits).value_or(-1), level);
    }
};

QTEST_APPLESS_MAIN(TestThresholds)
#include "tst_thresholds.moc"
