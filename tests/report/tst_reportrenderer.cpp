#include "ReadinessTexts.h"
#include "ReportRenderer.h"
#include "SafeText.h"
#include "Text.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

namespace {

const QString ShippedCatalogue = QStringLiteral(NORVALE_SOURCE_DIR "/ide/ide.txt");
const QString ShippedGuide = QStringLiteral(NORVALE_SOURCE_DIR "/ide/guide.txt");

// Texts that must never reach a report as markup or as terminal control.
const QStringList Hostile {
    QStringLiteral("<img src=file:///etc/passwd>"),
    QStringLiteral("<a href=\"http://evil.example/\">click</a>"),
    QStringLiteral("<script>alert(1)</script>"),
    QStringLiteral("<link rel=stylesheet href=http://evil.example/x.css>"),
    QStringLiteral("\x1b]0;owned\x07\x1b[2J\x1b[31mred"),
    QStringLiteral("a\u202Eb\u0085c"),
};

FullReport hostileReport(const QString &text)
{
    FullReport report;
    report.path = QStringLiteral("/tmp/") + text + QStringLiteral(".eml");
    report.score.total = 4.2f;
    report.score.reasons = {
        { 3.0f, QStringLiteral("DEAR_FRIEND"), text, text },
        { 1.2f, text, QStringLiteral("BODY"), text },
        { 0.0f, QStringLiteral("NO_RECEIVED"), QString(), QStringLiteral("Informational") },
    };
    report.evidenceState = FullReport::EvidenceState::Ready;
    report.evidence.insert(QStringLiteral("DEAR_FRIEND"), { { text }, { text } });
    report.evidence.insert(text.toUpper(), { { text }, {} });
    report.changeAsked = true;
    report.change = ResultChange { 1.0f, 4.2f, { { text, RuleChange::Kind::New, 0.0f, 1.2f } } };
    ReadinessFinding finding;
    finding.id = QStringLiteral("link-text");
    finding.status = ReadinessStatus::Fail;
    finding.titleText = ReadinessText::LinkTextTitle;
    finding.problemText = ReadinessText::LinkTextProblem;
    finding.problemArgs = { text, text };
    finding.adviceText = ReadinessText::LinkTextAdvice;
    finding.value = text;
    report.readiness = ReadinessResult { { finding }, {}, {} };
    return report;
}

} // namespace

class TestReportRenderer : public QObject
{
    Q_OBJECT

private:
    RuleGuide m_guide;

private slots:
    void initTestCase()
    {
        LoadTextCatalogue(ShippedCatalogue);
        m_guide.load(ShippedGuide);
        QVERIFY(!m_guide.isEmpty());
    }

    void escapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("terminal");

        QTest::newRow("markup") << "<b>&\"'"
                                << "&lt;b&gt;&amp;&quot;&#39;"
                                << "<b>&\"'";
        QTest::newRow("an escape sequence") << "\x1b[31mred"
                                            << "\uFFFD[31mred"
                                            << "\\x1b[31mred";
        QTest::newRow("a bell and a C1 control") << "a\x07"
                                                    "b\u009bc"
                                                 << "a\uFFFDb\uFFFDc"
                                                 << "a\\x07b\\x9bc";
        QTest::newRow("right-to-left override") << "a\u202Eb"
                                                << "a\uFFFDb"
                                                << "a\\u202eb";
        QTest::newRow("tab and line feed") << "a\tb\nc"
                                           << "a\tb\nc"
                                           << "a\\tb\\nc";
        QTest::newRow("plain text and accents stay") << "perché 3 > 2"
                                                     << "perché 3 &gt; 2"
                                                     << "perché 3 > 2";
    }
    void escapes()
    {
        QFETCH(QString, text);
        QFETCH(QString, html);
        QFETCH(QString, terminal);
        QCOMPARE(HtmlText(text), html);
        QCOMPARE(EscapeForTerminal(text), terminal);
    }

    void hostileTextStaysData_data()
    {
        QTest::addColumn<QString>("text");
        for (const QString &text : Hostile)
            QTest::newRow(qPrintable(EscapeForTerminal(text))) << text;
    }
    void hostileTextStaysData()
    {
        QFETCH(QString, text);
        const QString html = RenderReportHtml({ hostileReport(text) }, m_guide);
        // Only the report's own tags, none that loads or links anything.
        static const QRegularExpression tag(QStringLiteral("<(/?)([!A-Za-z][A-Za-z0-9]*)([^>]*)>"));
        static const QStringList allowed { "!DOCTYPE", "html", "head", "meta", "title", "style", "body", "h1",
            "h2", "h3", "p", "b", "table", "tr", "th", "td", "ul", "li", "pre", "br", "i", "code", "font" };
        for (const QRegularExpressionMatch &match : tag.globalMatch(html)) {
            QVERIFY2(allowed.contains(match.captured(2)), qPrintable(match.captured(0)));
            QVERIFY2(!match.captured(3).contains(QRegularExpression(QStringLiteral("\\b(src|href)\\s*="))),
                qPrintable(match.captured(0)));
        }
        QVERIFY(!html.contains(QChar(0x1b)));
        QVERIFY(!html.contains(QChar(0x202E)));
        QVERIFY(html.contains(HtmlText(text)));
        QVERIFY(html.contains(u"default-src 'none'"));
        QVERIFY(html.contains(QStringLiteral("<h3 id=\"readiness\">")));
        QVERIFY(html.contains(QStringLiteral("<code>") + HtmlText(text) + QStringLiteral("</code>")));

        const QString terminal = RenderReportText(hostileReport(text), m_guide);
        static const QRegularExpression control(
            QStringLiteral("[\\x00-\\x09\\x0b-\\x1f\\x7f-\\x9f\\x{202a}-\\x{202e}]"));
        QVERIFY2(!terminal.contains(control), qPrintable(EscapeForTerminal(terminal, true)));
        QVERIFY(terminal.contains(EscapeForTerminal(text)));

        const QString change = RenderChangeText(hostileReport(text).change);
        QVERIFY(!change.contains(control));
    }

    void reportShowsGuideEvidenceFixPlanAndChange()
    {
        FullReport report;
        report.path = QStringLiteral("letter.eml");
        report.score.total = 2.1f;
        report.score.reasons = {
            { 0.0f, QStringLiteral("NO_RECEIVED"), QString(), QStringLiteral("Informational") },
            { 1.3f, QStringLiteral("DEAR_FRIEND"), QStringLiteral("BODY"), QStringLiteral("Dear Friend?") },
            { 0.8f, QStringLiteral("MADE_UP_RULE"), QStringLiteral("BODY"),
                QStringLiteral("the checker's words") },
        };
        report.evidenceState = FullReport::EvidenceState::Ready;
        report.evidence.insert(QStringLiteral("DEAR_FRIEND"), { { QStringLiteral("Dear friend") }, {} });
        report.changeAsked = true;
        report.change = ResultChange { 1.3f, 2.1f,
            { { QStringLiteral("MADE_UP_RULE"), RuleChange::Kind::New, 0, 0.8f } } };

        const QString html = RenderReportHtml({ report }, m_guide);
        QVERIFY(html.contains(HtmlText(m_guide.find(u"DEAR_FRIEND")->meaning)));
        QVERIFY(html.contains(
            HtmlText(GetText(ReportText::NoGuideEntry)))); // the fallback mark for a rule with no entry
        QVERIFY(html.contains(
            HtmlText(GetText(ReportText::LocalOnly)))); // NO_RECEIVED fires only on a local copy
        QVERIFY(html.contains(u"\u201CDear friend\u201D"));
        QVERIFY(html.contains(
            HtmlText(QStringLiteral("To reach \"Minimal risk\": fix DEAR_FRIEND (-1.3). Total then 0.8."))));
        QVERIFY(html.contains(u"+0.8 MADE_UP_RULE (new)"));
        QVERIFY(html.contains(u"Total: 1.3 → 2.1 (+0.8)"));

        const QString text = RenderReportText(report, m_guide);
        QVERIFY(text.contains(u"To reach \"Minimal risk\": fix DEAR_FRIEND (-1.3). Total then 0.8."));
        QVERIFY(text.contains(GetText(ReportText::NoGuideEntry) + QStringLiteral(" the checker's words")));
    }

    void failedEvidenceLeavesEverythingElse()
    {
        FullReport report;
        report.path = QStringLiteral("letter.eml");
        report.score.total = 1.3f;
        report.score.reasons
            = { { 1.3f, QStringLiteral("DEAR_FRIEND"), QStringLiteral("BODY"), QStringLiteral("d") } };
        report.evidenceState = FullReport::EvidenceState::Failed;
        report.evidenceError = QStringLiteral("exit status 3");
        const QString html = RenderReportHtml({ report }, m_guide);
        QVERIFY(html.contains(HtmlText(FillText(ReportText::EvidenceFailed, report.evidenceError))));
        QVERIFY(html.contains(u"DEAR_FRIEND"));
        QVERIFY(html.contains(HtmlText(m_guide.find(u"DEAR_FRIEND")->change)));
        QVERIFY(html.contains(HtmlText(FillText(ReportText::FixStepLine, GetText(TextId::FirstVerdict),
            QStringLiteral("DEAR_FRIEND (-1.3)"), QStringLiteral("0")))));
        QVERIFY(!html.contains(HtmlText(GetText(ReportText::EvidenceLabel))));
    }

    void hiddenZeroRowsAreLeftOut()
    {
        FullReport report;
        report.score.reasons = { { 0.0f, QStringLiteral("NO_RECEIVED"), QString(), QString() },
            { 1.0f, QStringLiteral("XPRIO"), QString(), QString() } };
        report.hideZero = true;
        QCOMPARE(ShownReasons(report).size(), 1);
        QVERIFY(!RenderReportHtml({ report }, m_guide).contains(u"NO_RECEIVED"));
    }

    // A report whose message was not checked for readiness has no such section.
    void readinessSectionOnlyWhenChecked()
    {
        FullReport report = hostileReport(QStringLiteral("x"));
        QVERIFY(RenderReportHtml({ report }, m_guide).contains(u"id=\"readiness\""));
        report.readiness.reset();
        QVERIFY(!RenderReportHtml({ report }, m_guide).contains(u"id=\"readiness\""));
    }
};

QTEST_GUILESS_MAIN(TestReportRenderer)
#include "tst_reportrenderer.moc"
