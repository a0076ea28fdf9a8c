#include "CheckOptions.h"
#include "CliTexts.h"
#include "TextCatalogue.h"

#include <QTest>

using namespace norvale;

using Rows = QList<RuleScoreList::Row>;

namespace {

QString Message(int id, const QString &value)
{
    return FillText(id, value);
}

QString Message(int id, const QString &first, const QString &second)
{
    return FillText(id, first, second);
}

} // namespace

class TestCheckOptions : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        LoadTextCatalogue(QStringLiteral(NORVALE_APP_DIR "/ide/ide.txt"));
        QVERIFY(!GetText(CliText::ThresholdCountWrong).isEmpty());
    }

    void thresholds_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("error"); // empty: accepted
        QTest::newRow("five numbers") << "1|2|4|5|8" << QString();
        QTest::newRow("decimals with either separator and spaces") << " 0.5 | 1,5|4|5.25|8e1 " << QString();
        QTest::newRow("negative and descending numbers are the user's business") << "9|-1|4|5|8" << QString();
        QTest::newRow("commas instead of bars")
            << "1,2,4,5,8" << Message(CliText::ThresholdCountWrong, "1,2,4,5,8", "1");
        QTest::newRow("four numbers") << "1|2|4|5" << Message(CliText::ThresholdCountWrong, "1|2|4|5", "4");
        QTest::newRow("six numbers") << "1|2|4|5|8|9"
                                     << Message(CliText::ThresholdCountWrong, "1|2|4|5|8|9", "6");
        QTest::newRow("a trailing bar makes six")
            << "1|2|4|5|8|" << Message(CliText::ThresholdCountWrong, "1|2|4|5|8|", "6");
        QTest::newRow("the empty text") << "" << Message(CliText::ThresholdCountWrong, "", "1");
        QTest::newRow("an empty threshold") << "1||4|5|8" << Message(CliText::ThresholdNotANumber, "");
        QTest::newRow("a word") << "1|2|four|5|8" << Message(CliText::ThresholdNotANumber, "four");
        QTest::newRow("a number with two separators")
            << "1|2|4|5|1.000,5" << Message(CliText::ThresholdNotANumber, "1.000,5");
    }
    void thresholds()
    {
        QFETCH(QString, value);
        QFETCH(QString, error);
        const CheckOptions options = ParseCheckArguments({ QStringLiteral("--thresholds"), value, "a.eml" });
        if (error.isEmpty()) {
            QCOMPARE(options.action, CheckOptions::Action::Check);
            QCOMPARE(options.thresholds, std::optional<QString>(value));
        } else {
            QCOMPARE(options.action, CheckOptions::Action::UsageError);
            QCOMPARE(options.usageError, error);
        }
    }

    void rules_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Rows>("pairs");
        QTest::addColumn<QString>("error"); // empty: accepted
        QTest::newRow("one pair, the name upper-cased")
            << QStringList { "--rules", "gtube:6.5" } << Rows { { "GTUBE", "6.5" } } << QString();
        QTest::newRow("pairs with spaces, a comma and an exponent")
            << QStringList { "--rules=HTML_MESSAGE : 0 |Bayes_99:-1,5|X1:1e1" }
            << Rows { { "HTML_MESSAGE", "0" }, { "BAYES_99", "-1.5" }, { "X1", "10" } } << QString();
        QTest::newRow("two options add up in order")
            << QStringList { "--rules", "A:1", "--rules", "B:2|A:3" }
            << Rows { { "A", "1" }, { "B", "2" }, { "A", "3" } } << QString();
        QTest::newRow("the empty text adds nothing") << QStringList { "--rules", "" } << Rows {} << QString();
        QTest::newRow("a rule without a score")
            << QStringList { "--rules", "GTUBE" } << Rows {} << Message(CliText::RulesNotPairs, "GTUBE");
        QTest::newRow("two colons") << QStringList { "--rules", "A:1:2" } << Rows {}
                                    << Message(CliText::RulesNotPairs, "A:1:2");
        QTest::newRow("an empty entry between bars")
            << QStringList { "--rules", "A:1||B:2" } << Rows {} << Message(CliText::RulesNotPairs, "");
        QTest::newRow("a trailing bar")
            << QStringList { "--rules", "A:1|" } << Rows {} << Message(CliText::RulesNotPairs, "");
        QTest::newRow("commas instead of bars")
            << QStringList { "--rules", "A:1,B:2" } << Rows {} << Message(CliText::RulesNotPairs, "A:1,B:2");
        QTest::newRow("an empty rule name")
            << QStringList { "--rules", ":5" } << Rows {} << Message(CliText::RuleNameWrong, "");
        QTest::newRow("a rule name with a space") << QStringList { "--rules", "MY RULE:5" } << Rows {}
                                                  << Message(CliText::RuleNameWrong, "MY RULE");
        QTest::newRow("a rule name loses the settings' separators, as in the grid")
            << QStringList { "--rules", "gt=ube&:5" } << Rows { { "GTUBE", "5" } } << QString();
        QTest::newRow("an empty score")
            << QStringList { "--rules", "A:" } << Rows {} << Message(CliText::RuleScoreNotANumber, "A", "");
        QTest::newRow("a score that is a word") << QStringList { "--rules", "A:high" } << Rows {}
                                                << Message(CliText::RuleScoreNotANumber, "A", "high");
        QTest::newRow("a score with two separators") << QStringList { "--rules", "A:1,000.5" } << Rows {}
                                                     << Message(CliText::RuleScoreNotANumber, "A", "1,000.5");
    }
    void rules()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Rows, pairs);
        QFETCH(QString, error);
        const CheckOptions options = ParseCheckArguments(arguments + QStringList { "a.eml" });
        if (error.isEmpty()) {
            QCOMPARE(options.action, CheckOptions::Action::Check);
            QCOMPARE(options.rules, pairs);
        } else {
            QCOMPARE(options.action, CheckOptions::Action::UsageError);
            QCOMPARE(options.usageError, error);
        }
    }

    void rules_scoresAreWrittenInTheUsersLocale()
    {
        const QLocale previous;
        QLocale::setDefault(QLocale(QStringLiteral("it_IT")));
        const CheckOptions options = ParseCheckArguments({ "--rules", "A:2.5|B:0,5", "a.eml" });
        QLocale::setDefault(previous);
        QCOMPARE(options.rules, (Rows { { "A", "2,5" }, { "B", "0,5" } }));
    }

    void addRuleOptions_data()
    {
        QTest::addColumn<QString>("rules");
        QTest::addColumn<Rows>("pairs");
        QTest::addColumn<QString>("expected");
        QTest::newRow("no pairs keep the settings") << "A:1|B:2" << Rows {} << "A:1|B:2";
        QTest::newRow("a pair for a rule in the settings replaces its score")
            << "A:1|B:2|C:3" << Rows { { "B", "5" } } << "A:1|B:5|C:3";
        QTest::newRow("a pair for another rule comes after the settings")
            << "A:1|B:2" << Rows { { "C", "5" } } << "A:1|B:2|C:5";
        QTest::newRow("pairs on empty settings") << "" << Rows { { "C", "5" }, { "D", "0" } } << "C:5|D:0";
        QTest::newRow("a later pair for the same rule wins")
            << "A:1" << Rows { { "B", "5" }, { "B", "6" }, { "A", "7" } } << "A:7|B:6";
        QTest::newRow("a rule whose name begins another is not replaced")
            << "AB:1" << Rows { { "A", "5" } } << "AB:1|A:5";
        QTest::newRow("the first of two settings entries is the one replaced")
            << "A:1|A:2" << Rows { { "A", "5" } } << "A:5|A:2";
        QTest::newRow("a settings entry without a score gets one")
            << "A:|B:2" << Rows { { "A", "5" } } << "A:5|B:2";
    }
    void addRuleOptions()
    {
        QFETCH(QString, rules);
        QFETCH(Rows, pairs);
        QFETCH(QString, expected);
        QCOMPARE(AddRuleOptions(rules, pairs), expected);
    }
};

QTEST_GUILESS_MAIN(TestCheckOptions)
#include "tst_checkoptions.moc"
