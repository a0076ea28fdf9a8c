#include "ResultChange.h"

#include <QTest>

using namespace norvale;

Q_DECLARE_METATYPE(norvale::ScoreResult)

namespace {

ScoreResult result(float total, const QList<std::pair<QString, float>> &rules)
{
    ScoreResult score;
    score.total = total;
    for (const auto &[name, points] : rules)
        score.reasons.append({ points, name, QString(), QString() });
    return score;
}

QString describe(const RuleChange &change)
{
    static const char *const kinds[] = { "new", "gone", "changed" };
    return change.ruleName + u' ' + QLatin1String(kinds[int(change.kind)]) + u' '
        + QString::number(change.delta());
}

} // namespace

class TestResultChange : public QObject
{
    Q_OBJECT

private slots:
    void comparesTwoResults_data()
    {
        QTest::addColumn<ScoreResult>("before");
        QTest::addColumn<ScoreResult>("after");
        QTest::addColumn<float>("delta");
        QTest::addColumn<QStringList>("rules");

        QTest::newRow("the same result shows no change")
            << result(1.5, { { "A", 1.5f } }) << result(1.5, { { "A", 1.5f } }) << 0.0f << QStringList {};
        QTest::newRow("a rule that fires now is new, one that no longer fires is gone")
            << result(1.0, { { "A", 1.0f } }) << result(0.8, { { "B", 0.8f } }) << -0.2f
            << QStringList { "B new 0.8", "A gone -1" };
        QTest::newRow("a rule with other points is changed")
            << result(2.3, { { "A", 2.3f } }) << result(1.1, { { "A", 1.1f } }) << -1.2f
            << QStringList { "A changed -1.2" };
        QTest::newRow("names match in any letter case")
            << result(1.0, { { "rule_a", 1.0f } }) << result(1.0, { { "RULE_A", 1.0f } }) << 0.0f
            << QStringList {};
        QTest::newRow("a rule listed twice counts with its sum")
            << result(2.0, { { "A", 1.0f }, { "A", 1.0f } }) << result(1.0, { { "A", 1.0f } }) << -1.0f
            << QStringList { "A changed -1" };
        QTest::newRow("new and changed follow the newer order, gone ones come last")
            << result(3.0, { { "A", 1.0f }, { "B", 1.0f }, { "C", 1.0f } })
            << result(3.5, { { "D", 0.5f }, { "C", 2.0f }, { "A", 1.0f } }) << 0.5f
            << QStringList { "D new 0.5", "C changed 1", "B gone -1" };
    }
    void comparesTwoResults()
    {
        QFETCH(ScoreResult, before);
        QFETCH(ScoreResult, after);
        QFETCH(float, delta);
        QFETCH(QStringList, rules);
        const ResultChange change = CompareResults(before, after);
        QCOMPARE(change.delta(), delta);
        QStringList got;
        for (const RuleChange &rule : change.rules)
            got << describe(rule);
        QCOMPARE(got, rules);
    }

    void readsASavedJsonResult_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("found");
        QTest::addColumn<float>("total");

        const QByteArray two = R"({"files": [
            {"path": "a.eml", "level": 0, "reasons": [{"description": "d", "points": 0.5, "rule": "A", "type": ""}], "score": 0.5, "verdict": "v"},
            {"path": "b.eml", "level": 1, "reasons": [{"points": 1.5, "rule": "B"}], "score": 1.5, "verdict": "v"},
            {"path": "c.eml", "error": "cannot read"}], "version": "1.0.0"})";
        QTest::newRow("the entry of the same path") << two << "b.eml" << true << 1.5f;
        QTest::newRow("no entry of that path among several") << two << "z.eml" << false << 0.0f;
        QTest::newRow("the only checked entry when no path matches")
            << QByteArray(R"({"files": [{"path": "x.eml", "reasons": [], "score": 2}]})") << "y.eml" << true
            << 2.0f;
        QTest::newRow("a file that could not be checked is no result")
            << QByteArray(R"({"files": [{"path": "c.eml", "error": "e"}]})") << "c.eml" << false << 0.0f;
        QTest::newRow("text that is not JSON") << QByteArray("Score: 3") << "a.eml" << false << 0.0f;
        QTest::newRow("JSON of another shape") << QByteArray(R"({"files": 3})") << "a.eml" << false << 0.0f;
        QTest::newRow("an empty file") << QByteArray() << "a.eml" << false << 0.0f;
    }
    void readsASavedJsonResult()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, path);
        QFETCH(bool, found);
        QFETCH(float, total);
        const std::optional<ScoreResult> result = ScoreResultFromJson(json, path);
        QCOMPARE(result.has_value(), found);
        if (result)
            QCOMPARE(result->total, total);
    }
};

QTEST_GUILESS_MAIN(TestResultChange)
#include "tst_resultchange.moc"
