#include "ReadinessReport.h"
#include "ReadinessTexts.h"
#include "TextCatalogue.h"

#include <QJsonArray>
#include <QTest>

using namespace norvale;

namespace {

ReadinessFinding Finding(ReadinessStatus status, int title, int problem = 0, const QStringList &args = {},
    int advice = 0, const QString &value = {})
{
    ReadinessFinding finding;
    finding.id = QStringLiteral("test-%1").arg(title);
    finding.status = status;
    finding.titleText = title;
    finding.problemText = problem;
    finding.problemArgs = args;
    finding.adviceText = advice;
    finding.value = value;
    return finding;
}

ReadinessResult WithCounts(int problems, int warnings)
{
    ReadinessResult result;
    for (int i = 0; i < problems; ++i)
        result.findings << Finding(ReadinessStatus::Fail, ReadinessText::DkimTitle);
    for (int i = 0; i < warnings; ++i)
        result.findings << Finding(ReadinessStatus::Warn, ReadinessText::AltTitle);
    result.findings << Finding(ReadinessStatus::Pass, ReadinessText::SyntaxTitle);
    return result;
}

// A finding whose value and argument carry markup, a terminal escape and a
// placeholder, as a hostile message can.
ReadinessResult Hostile()
{
    ReadinessResult result;
    result.findings << Finding(ReadinessStatus::Fail, ReadinessText::LinkTextTitle,
        ReadinessText::LinkTextProblem, { QStringLiteral("<b>%2</b>"), QStringLiteral("evil.example") },
        ReadinessText::LinkTextAdvice,
        QStringLiteral("<script>alert(1)</script>\x1b]8;;https://x\x1b\\ \u202Egnp.exe"));
    return result;
}

} // namespace

class TestReadinessReport : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { LoadTextCatalogue(QStringLiteral(NORVALE_SOURCE_DIR "/ide/ide.txt")); }

    void summary_data()
    {
        QTest::addColumn<int>("problems");
        QTest::addColumn<int>("warnings");
        QTest::addColumn<QString>("expected");
        QTest::newRow("two problems and one warning") << 2 << 1 << QStringLiteral("2 problems, 1 warning");
        QTest::newRow("one problem alone") << 1 << 0 << QStringLiteral("1 problem");
        QTest::newRow("warnings alone") << 0 << 3 << QStringLiteral("3 warnings");
        QTest::newRow("neither") << 0 << 0 << QStringLiteral("Ready: no problems found");
    }

    void summary()
    {
        QFETCH(int, problems);
        QFETCH(int, warnings);
        QFETCH(QString, expected);
        QCOMPARE(ReadinessSummary(WithCounts(problems, warnings)), expected);
    }

    void summaryFollowsTheCatalogue()
    {
        LoadTextCatalogue(QStringLiteral(NORVALE_SOURCE_DIR "/ide/ide.it.txt"));
        const QString italian = ReadinessSummary(WithCounts(2, 1));
        LoadTextCatalogue(QStringLiteral(NORVALE_SOURCE_DIR "/ide/ide.txt"));
        QCOMPARE(italian, QStringLiteral("2 problemi, 1 avviso"));
    }

    void htmlEscapesMessageValues()
    {
        const QString html = ReadinessHtml(Hostile());
        QVERIFY(!html.contains(QStringLiteral("<script")));
        QVERIFY(html.contains(QStringLiteral("&lt;script&gt;alert(1)&lt;/script&gt;")));
        QVERIFY(!html.contains(QStringLiteral("<b>%2")));
        QVERIFY(html.contains(QStringLiteral("&lt;b&gt;%2&lt;/b&gt;")));
        QVERIFY(!html.contains(QStringLiteral("href")));
        QVERIFY(!html.contains(QStringLiteral("<img")));
        QVERIFY(html.contains(QStringLiteral("<h2>Sending readiness</h2>")));
    }

    // "%2" inside the first argument stays as written: arguments are filled in one pass.
    void argumentsAreNotFilledTwice()
    {
        const QString text = FindingText(Hostile().findings.first());
        QVERIFY2(text.startsWith(
                     QStringLiteral("The link text shows <b>%2</b> but the link goes to evil.example.")),
            qPrintable(text));
    }

    void terminalTextMakesControlsVisible()
    {
        const QString text = ReadinessTerminalText(Hostile(), 200);
        QVERIFY(!text.contains(QChar(0x1b)));
        QVERIFY(!text.contains(QChar(0x202E)));
        QVERIFY(text.contains(QStringLiteral("\\x1b]8;;https://x\\x1b\\")));
        QVERIFY(text.contains(QStringLiteral("\\u202e")));
        QVERIFY(text.contains(QStringLiteral("What to change: Let a link's text")));
    }

    void terminalTableListsProblemsFirstAndWraps()
    {
        ReadinessResult result;
        result.findings << Finding(ReadinessStatus::Pass, ReadinessText::SyntaxTitle)
                        << Finding(ReadinessStatus::Fail, ReadinessText::UnsubscribeTitle,
                               ReadinessText::UnsubscribeMissing, {}, ReadinessText::UnsubscribeAdvice);
        const QStringList lines = ReadinessTerminalText(result, 70).split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.first(), QStringLiteral("  Sending readiness: 1 problem"));
        QVERIFY(lines[1].startsWith(QStringLiteral("    Problem  One-click unsubscribe  There is no")));
        QVERIFY(lines.last().startsWith(QStringLiteral("    OK       Header block")));
        for (const QString &line : lines)
            QVERIFY2(line.size() <= 70, qPrintable(line));
    }

    void jsonCarriesIdsStatusesAndTexts()
    {
        const QJsonObject json = ReadinessJson(Hostile());
        QCOMPARE(json.value(QStringLiteral("ready")).toBool(), false);
        QCOMPARE(json.value(QStringLiteral("problems")).toInt(), 1);
        QCOMPARE(json.value(QStringLiteral("warnings")).toInt(), 0);
        const QJsonObject finding = json.value(QStringLiteral("findings")).toArray().first().toObject();
        QCOMPARE(finding.keys(),
            QStringList({ QStringLiteral("advice"), QStringLiteral("check"), QStringLiteral("finding"),
                QStringLiteral("id"), QStringLiteral("status"), QStringLiteral("value") }));
        QCOMPARE(finding.value(QStringLiteral("status")).toString(), QStringLiteral("fail"));
        QCOMPARE(finding.value(QStringLiteral("check")).toString(), QStringLiteral("Link text"));
        QVERIFY(finding.value(QStringLiteral("value")).toString().startsWith(QStringLiteral("<script>")));
    }
};

QTEST_GUILESS_MAIN(TestReadinessReport)
#include "tst_readinessreport.moc"
