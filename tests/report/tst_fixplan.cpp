#include "FixPlan.h"

#include <QTest>

using namespace norvale;

namespace {

// "RULE:points|RULE:points" -> reasons in that order.
QList<Reason> rows(const QString &list)
{
    QList<Reason> reasons;
    for (const QString &item : list.split(u'|', Qt::SkipEmptyParts)) {
        const QStringList parts = item.split(u':');
        reasons.append({ parts[1].toFloat(), parts[0], QString(), QString() });
    }
    return reasons;
}

// One target as "level=RULE,RULE>total" or "level!RULE,RULE>total" when not reachable.
QString describe(const FixTarget &target)
{
    QStringList names;
    for (const FixStep &step : target.steps)
        names << step.ruleName;
    return QString::number(target.level) + (target.reachable ? u'=' : u'!') + names.join(u',') + u'>'
        + QString::number(target.totalAfter);
}

const BandLimitArray Defaults { 1, 2, 4, 5, 8, 10000 };

} // namespace

class TestFixPlan : public QObject
{
    Q_OBJECT

private slots:
    void plansEachLowerLevel_data()
    {
        QTest::addColumn<QString>("reasons");
        QTest::addColumn<QString>("local");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("nothing to plan below level 0") << "A:0.5"
                                                       << "" << QStringList {};
        QTest::newRow("one rule takes level 1 down to level 0") << "A:0.5|B:0.8"
                                                                << "" << QStringList { "0=B>0.5" };
        QTest::newRow("biggest gain first, as few rules as it takes")
            << "A:0.5|B:2.1|C:0.9|D:1.6"
            << "" << QStringList { "3=B>3", "2=B>3", "1=B,D>1.4", "0=B,D,C>0.5" };
        QTest::newRow("a score equal to a limit belongs to the higher level, so the plan goes below it")
            << "A:1.0|B:1.0"
            << "" << QStringList { "1=A>1", "0=A,B>0" };
        QTest::newRow("rules that fire only on a local copy are never in the plan")
            << "L:3.0|A:0.6"
            << "L" << QStringList { "1!A>3", "0!A>3" };
        QTest::newRow("negative and zero rules are no fixes, but they count in the total")
            << "A:2.5|N:-1.0|Z:0"
            << "" << QStringList { "0=A>-1" };
        QTest::newRow("ties keep report order") << "A:1.5|B:1.5|C:1.5"
                                                << "" << QStringList { "2=A>3", "1=A,B>1.5", "0=A,B,C>0" };
        QTest::newRow("the total after a fix is rounded as the scorer rounds it")
            << "A:0.95|B:0.1"
            << "" << QStringList { "0=A>0.1" };
        QTest::newRow("a total past the last limit counts as above every level")
            << "BIG:20000"
            << "" << QStringList { "5=BIG>0", "4=BIG>0", "3=BIG>0", "2=BIG>0", "1=BIG>0", "0=BIG>0" };
    }
    void plansEachLowerLevel()
    {
        QFETCH(QString, reasons);
        QFETCH(QString, local);
        QFETCH(QStringList, expected);
        const QStringList localRules = local.split(u',', Qt::SkipEmptyParts);
        const QList<FixTarget> plan = PlanFixes(
            rows(reasons), Defaults, [&](const QString &rule) { return localRules.contains(rule); });
        QStringList got;
        for (const FixTarget &target : plan)
            got << describe(target);
        QCOMPARE(got, expected);
    }

    void stepsCarryTheOverriddenPoints()
    {
        // The scorer has already put the user's override (0.3 for B) into the row.
        const QList<FixTarget> plan = PlanFixes(rows("A:0.9|B:0.3"), Defaults);
        QCOMPARE(plan.size(), 1);
        QCOMPARE(plan[0].steps, (QList<FixStep> { { "A", 0.9f } }));
        QCOMPARE(plan[0].totalAfter, 0.3f);
    }

    void thresholdsOutOfOrderStillGiveAReachableLevel()
    {
        const BandLimitArray unordered { 5, 2, 4, 1, 8, 10000 };
        const QList<FixTarget> plan = PlanFixes(rows("A:3|B:3"), unordered);
        // 6 is at level 4 (8 is the first limit above it); 3 is at level 0
        // already, since 5 comes first: one fix reaches every lower level.
        QCOMPARE(plan.size(), 4);
        QCOMPARE(describe(plan[0]), QStringLiteral("3=A>3"));
        QCOMPARE(describe(plan[3]), QStringLiteral("0=A>3"));
    }
};

QTEST_GUILESS_MAIN(TestFixPlan)
#include "tst_fixplan.moc"
