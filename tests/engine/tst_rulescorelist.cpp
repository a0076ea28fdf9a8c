#include "RuleScoreList.h"

#include <QTest>

using namespace norvale;
using Row = RuleScoreList::Row;
using Rows = QList<Row>;

class TestRuleScoreList : public QObject
{
    Q_OBJECT

private slots:
    void format_data()
    {
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no rows give the empty list") << Rows {} << "";
        QTest::newRow("blank rows leave no trace") << Rows { { "A", "1" }, {}, { "B", "3" } } << "A:1|B:3";
        QTest::newRow("a missing score keeps the colon") << Rows { { "A", "" }, { "B", "2" } } << "A:|B:2";
        QTest::newRow("a name of spaces is left out") << Rows { { "   ", "5" }, { "B", "2" } } << "B:2";
        QTest::newRow("trimmed but not normalised") << Rows { { " low:er ", " 2.50 " } } << "low:er:2.50";
    }
    void format()
    {
        QFETCH(Rows, rows);
        QFETCH(QString, expected);
        QCOMPARE(RuleScoreList::Format(rows), expected);
    }

    void parse_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<Rows>("leading");
        QTest::addColumn<QString>("formatted");
        QTest::newRow("empty list") << "" << Rows {} << "";
        QTest::newRow("an empty part leaves a blank row")
            << "A:1||B:2" << Rows { { "A", "1" }, {}, { "B", "2" } } << "A:1|B:2";
        QTest::newRow("a part without a colon has an empty score") << "x" << Rows { { "X", "" } } << "X:";
        QTest::newRow("a part without a name is dropped on reading") << ":5" << Rows { { "", "5" } } << "";
        QTest::newRow("pieces after the second are ignored") << "A:1:2" << Rows { { "A", "1" } } << "A:1";
        QTest::newRow("names and scores are normalised")
            << "a:1.50|b:x" << Rows { { "A", "1.5" }, { "B", "0" } } << "A:1.5|B:0";
    }
    void parse()
    {
        QFETCH(QString, list);
        QFETCH(Rows, leading);
        QFETCH(QString, formatted);
        const Rows rows = RuleScoreList::Parse(list, QLocale::c());
        QCOMPARE(rows.size(), RuleScoreList::RowCount);
        QCOMPARE(rows.first(leading.size()), leading);
        for (qsizetype i = leading.size(); i < rows.size(); ++i)
            QCOMPARE(rows[i], Row {});
        QCOMPARE(RuleScoreList::Format(rows), formatted);
    }

    void parse_keepsFirstFiftyOfSixty()
    {
        QStringList entries;
        for (int i = 0; i < 60; ++i)
            entries << QStringLiteral("R%1:%1").arg(i);
        const Rows rows = RuleScoreList::Parse(entries.join(u'|'), QLocale::c());
        QCOMPARE(rows.size(), 50);
        QCOMPARE(rows.last(), (Row { "R49", "49" }));
        QCOMPARE(RuleScoreList::Format(rows), entries.first(50).join(u'|'));
    }

    void parseAll_keepsEveryEntry_andPastTheGridGivesTheRest()
    {
        QStringList entries;
        for (int i = 0; i < 60; ++i)
            entries << QStringLiteral("r%1:%1.0").arg(i);
        const QString list = entries.join(u'|') + QStringLiteral("||");
        const Rows rows = RuleScoreList::ParseAll(list, QLocale::c());
        QCOMPARE(rows.size(), 62);
        QCOMPARE(rows[59], (Row { "R59", "59" }));
        QCOMPARE(rows.last(), Row {});

        QStringList normal;
        for (int i = 0; i < 60; ++i)
            normal << QStringLiteral("R%1:%1").arg(i);
        QCOMPARE(RuleScoreList::Normalise(list, QLocale::c()), normal.join(u'|'));
        QCOMPARE(RuleScoreList::EntriesPastTheGrid(list, QLocale::c()), normal.mid(50).join(u'|'));
        QCOMPARE(RuleScoreList::EntriesPastTheGrid(normal.first(50).join(u'|'), QLocale::c()), QString());
        QCOMPARE(
            RuleScoreList::Join(normal.first(50).join(u'|'), normal.mid(50).join(u'|')), normal.join(u'|'));
        QCOMPARE(RuleScoreList::Join(QString(), "B:1"), QStringLiteral("B:1"));
        QCOMPARE(RuleScoreList::Join("A:1", QString()), QStringLiteral("A:1"));
    }

    void parse_readsScoresInTheUsersLocale()
    {
        // Either separator is the decimal one, in every locale; the score is
        // written back with the locale's own.
        const Rows rows = RuleScoreList::Parse("A:1,5|B:2.500|C:1.000,5", QLocale("de_DE"));
        QCOMPARE(rows[0], (Row { "A", "1,5" }));
        QCOMPARE(rows[1], (Row { "B", "2,5" }));
        QCOMPARE(rows[2], (Row { "C", "0" }));
        QCOMPARE(RuleScoreList::Parse("GTUBE:0,5", QLocale::c()).first(), (Row { "GTUBE", "0.5" }));
        QCOMPARE(RuleScoreList::Parse("GTUBE:2.5", QLocale("it_IT")).first(), (Row { "GTUBE", "2,5" }));
    }

    void normaliseRuleName_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("separators removed, inner spaces kept") << "a & b:"
                                                               << "A  B";
        QTest::newRow("empty stays empty") << ""
                                           << "";
        QTest::newRow("pipe removed and upper-cased") << " mixed|Case "
                                                      << "MIXEDCASE";
        QTest::newRow("tabs are not trimmed") << "\tx"
                                              << "\tX";
        QTest::newRow("equals signs removed: they end a settings value") << "x=y="
                                                                         << "XY";
    }
    void normaliseRuleName()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(NormaliseRuleName(text), expected);
    }

    void normaliseScore_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        QTest::newRow("spaces only become empty") << "   "
                                                  << "";
        QTest::newRow("plus sign dropped") << "+3"
                                           << "3";
        QTest::newRow("seven significant digits") << "1234567.8"
                                                  << "1234568";
        QTest::newRow("not a number becomes 0") << "abc"
                                                << "0";
        QTest::newRow("out of range becomes 0") << "1e39"
                                                << "0";
        QTest::newRow("trailing zeros dropped") << "2.50"
                                                << "2.5";
    }
    void normaliseScore()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(NormaliseScore(text, QLocale::c()), expected);
    }
};

QTEST_GUILESS_MAIN(TestRuleScoreList)
#include "tst_rulescorelist.moc"
