#include "ReportRenderer.h"

#include "Numbers.h"
#include "ReadinessReport.h"
#include "ReportTexts.h"
#include "SafeText.h"
#include "Startup.h"
#include "Text.h"
#include "TextCatalogue.h"
#include "TextIds.h"

namespace norvale {

namespace {

QString verdictName(int level)
{
    return GetText(TextId::FirstVerdict + level);
}

QString signedNumber(float value)
{
    const QString number = FormatUserNumber(value);
    return value > 0.0f ? u'+' + number : number;
}

// "RULE (-2.1), OTHER (-0.9)"
QString stepList(const QList<FixStep> &steps)
{
    QStringList parts;
    for (const FixStep &step : steps)
        parts << step.ruleName + QStringLiteral(" (") + FormatUserNumber(-step.points) + u')';
    return parts.join(QStringLiteral(", "));
}

QString changeKindText(RuleChange::Kind kind)
{
    switch (kind) {
    case RuleChange::Kind::New:
        return GetText(ReportText::RuleNew);
    case RuleChange::Kind::Gone:
        return GetText(ReportText::RuleGone);
    case RuleChange::Kind::Changed:
        break;
    }
    return GetText(ReportText::RuleChanged);
}

QStringList fixPlanLines(const QList<FixTarget> &plan)
{
    QStringList lines;
    if (plan.isEmpty())
        lines << GetText(ReportText::NothingToFix);
    for (const FixTarget &target : plan) {
        if (target.reachable)
            lines << FillText(ReportText::FixStepLine, verdictName(target.level), stepList(target.steps),
                FormatUserNumber(target.totalAfter));
        else
            lines << FillText(
                ReportText::Unreachable, verdictName(target.level), FormatUserNumber(target.totalAfter));
    }
    return lines;
}

QStringList changeLines(const std::optional<ResultChange> &change)
{
    QStringList lines;
    if (!change) {
        lines << GetText(ReportText::NoEarlierCheck);
        return lines;
    }
    lines << FillText(ReportText::TotalChange, FormatUserNumber(change->totalBefore),
        FormatUserNumber(change->totalAfter), signedNumber(change->delta()));
    if (change->rules.isEmpty())
        lines << GetText(ReportText::NoRuleChanged);
    return lines;
}

QString ruleChangeText(const RuleChange &rule)
{
    return signedNumber(rule.delta()) + u' ' + rule.ruleName + QStringLiteral(" (")
        + changeKindText(rule.kind) + u')';
}

const QString &styleSheet()
{
    static const QString style = QStringLiteral(
        "body { font-family: sans-serif; font-size: 10pt; color: #1d2330; background: #ffffff; }\n"
        "h1 { font-size: 16pt; color: #23406e; }\n"
        "h2 { font-size: 13pt; color: #23406e; border-bottom: 1px solid #c9d3e3; }\n"
        "h3 { font-size: 11pt; color: #23406e; }\n"
        "table.rules { border-collapse: collapse; width: 100%; }\n"
        "table.rules th { text-align: left; background: #e8eef7; padding: 3px 6px; }\n"
        "table.rules td { vertical-align: top; padding: 3px 6px; }\n"
        "td.pts { text-align: right; white-space: nowrap; font-weight: bold; }\n"
        "td.rule { font-family: monospace; }\n"
        "tr.guide td { background: #f6f8fb; border-bottom: 1px solid #dde3ec; }\n"
        ".fallback { color: #6a7285; font-style: italic; }\n"
        ".local { color: #2f6b2f; font-weight: bold; }\n"
        ".note { color: #6a7285; }\n"
        "pre.evidence { background: #fff8e6; border: 1px solid #ead9a8; padding: 3px; white-space: pre-wrap; "
        "}\n"
        "p.verdict { font-size: 12pt; font-weight: bold; }\n");
    return style;
}

void htmlParagraph(QString &html, int labelId, const QString &text)
{
    if (text.isEmpty())
        return;
    html += QStringLiteral("<p><b>") + HtmlText(GetText(labelId)) + QStringLiteral("</b> ") + HtmlText(text)
        + QStringLiteral("</p>\n");
}

void htmlGuide(QString &html, const Reason &reason, const FullReport &report, const RuleGuide &guide)
{
    const GuideEntry *entry = guide.find(reason.ruleName);
    if (entry) {
        htmlParagraph(html, ReportText::Meaning, entry->meaning);
        htmlParagraph(html, ReportText::Why, entry->why);
        htmlParagraph(html, ReportText::Change, entry->change);
        if (entry->localOnly)
            html += QStringLiteral("<p class=\"local\">") + HtmlText(GetText(ReportText::LocalOnly))
                + QStringLiteral("</p>\n");
    } else {
        html += QStringLiteral("<p class=\"fallback\">") + HtmlText(GetText(ReportText::NoGuideEntry))
            + QStringLiteral("</p>\n");
    }

    switch (report.evidenceState) {
    case FullReport::EvidenceState::NotAsked:
    case FullReport::EvidenceState::Failed:
        return;
    case FullReport::EvidenceState::Pending:
        html += QStringLiteral("<p class=\"note\">") + HtmlText(GetText(ReportText::EvidencePending))
            + QStringLiteral("</p>\n");
        return;
    case FullReport::EvidenceState::Ready:
        break;
    }
    const RuleEvidence evidence = report.evidence.value(reason.ruleName.toUpper());
    html += QStringLiteral("<p><b>") + HtmlText(GetText(ReportText::EvidenceLabel))
        + QStringLiteral("</b></p>\n");
    if (evidence.empty()) {
        html += QStringLiteral("<p class=\"note\">") + HtmlText(GetText(ReportText::NoEvidence))
            + QStringLiteral("</p>\n");
        return;
    }
    if (!evidence.matches.isEmpty()) {
        QStringList quoted;
        for (const QString &match : evidence.matches)
            quoted << HtmlText(u'\u201C' + match + u'\u201D');
        html += QStringLiteral("<pre class=\"evidence\">") + quoted.join(u'\n') + QStringLiteral("</pre>\n");
    }
    if (!evidence.subRules.isEmpty())
        html += QStringLiteral("<p>")
            + HtmlText(FillText(ReportText::SubRules, evidence.subRules.join(QStringLiteral(", "))))
            + QStringLiteral("</p>\n");
}

void htmlReport(QString &html, const FullReport &report, const RuleGuide &guide)
{
    html += QStringLiteral("<h2>") + HtmlText(FillText(ReportText::FileLine, report.path))
        + QStringLiteral("</h2>\n");
    const std::optional<int> level = VerdictLevel(report.score.total, report.limits);
    html += QStringLiteral("<p class=\"verdict\">")
        + HtmlText(FillText(ReportText::ScoreLine, FormatUserNumber(report.score.total)))
        + QStringLiteral(" &#8212; ")
        + HtmlText(
            FillText(ReportText::VerdictLine, level ? verdictName(*level) : GetText(ReportText::NoVerdict)))
        + QStringLiteral("</p>\n");

    html += QStringLiteral("<h3>") + HtmlText(GetText(ReportText::RulesHeading)) + QStringLiteral("</h3>\n");
    if (report.evidenceState == FullReport::EvidenceState::Failed)
        html += QStringLiteral("<p class=\"note\">")
            + HtmlText(FillText(ReportText::EvidenceFailed, report.evidenceError)) + QStringLiteral("</p>\n");
    html += QStringLiteral(
                "<table class=\"rules\" width=\"100%\" cellspacing=\"0\" cellpadding=\"4\">\n<tr><th>")
        + HtmlText(GetText(TextId::PointsColumn)) + QStringLiteral("</th><th>")
        + HtmlText(GetText(TextId::RuleColumn)) + QStringLiteral("</th><th>")
        + HtmlText(GetText(TextId::DescriptionColumn)) + QStringLiteral("</th></tr>\n");
    for (const Reason &reason : ShownReasons(report)) {
        QString description = reason.description;
        if (!reason.type.isEmpty())
            description = reason.type + QStringLiteral(": ") + description;
        html += QStringLiteral("<tr><td class=\"pts\">") + HtmlText(FormatUserNumber(reason.points))
            + QStringLiteral("</td><td class=\"rule\">") + HtmlText(reason.ruleName)
            + QStringLiteral("</td><td>") + HtmlText(description) + QStringLiteral("</td></tr>\n");
        html += QStringLiteral("<tr class=\"guide\"><td></td><td colspan=\"2\">\n");
        htmlGuide(html, reason, report, guide);
        html += QStringLiteral("</td></tr>\n");
    }
    html += QStringLiteral("</table>\n");

    html += QStringLiteral("<h3>") + HtmlText(GetText(ReportText::FixPlanHeading))
        + QStringLiteral("</h3>\n<ul>\n");
    for (const QString &line : fixPlanLines(ReportFixPlan(report, guide)))
        html += QStringLiteral("<li>") + HtmlText(line) + QStringLiteral("</li>\n");
    html += QStringLiteral("</ul>\n<p class=\"note\">") + HtmlText(GetText(ReportText::FixPlanNote))
        + QStringLiteral("</p>\n");

    if (report.changeAsked) {
        html += QStringLiteral("<h3>") + HtmlText(GetText(ReportText::ChangeHeading))
            + QStringLiteral("</h3>\n");
        for (const QString &line : changeLines(report.change))
            html += QStringLiteral("<p>") + HtmlText(line) + QStringLiteral("</p>\n");
        if (report.change && !report.change->rules.isEmpty()) {
            html += QStringLiteral("<ul>\n");
            for (const RuleChange &rule : report.change->rules)
                html += QStringLiteral("<li>") + HtmlText(ruleChangeText(rule)) + QStringLiteral("</li>\n");
            html += QStringLiteral("</ul>\n");
        }
    }

    if (report.readiness)
        html += ReadinessHtml(*report.readiness, 3, QString::fromLatin1(ReadinessAnchor));
}

} // namespace

QList<Reason> ShownReasons(const FullReport &report)
{
    QList<Reason> shown;
    for (const Reason &reason : report.score.reasons) {
        if (!report.hideZero || reason.points != 0.0f)
            shown.append(reason);
    }
    return shown;
}

QList<FixTarget> ReportFixPlan(const FullReport &report, const RuleGuide &guide)
{
    return PlanFixes(report.score.reasons, report.limits, [&guide](const QString &rule) {
        const GuideEntry *entry = guide.find(rule);
        return entry && entry->localOnly;
    });
}

QString RenderReportHtml(const QList<FullReport> &reports, const RuleGuide &guide)
{
    const QString title = HtmlText(GetText(ReportText::Title));
    QString html = QStringLiteral("<!DOCTYPE html>\n<html lang=\"")
        + HtmlText(GetText(TextId::LanguageCode).toLower())
        + QStringLiteral("\">\n<head>\n<meta charset=\"utf-8\">\n"
                         "<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "
                         "style-src 'unsafe-inline'\">\n"
                         "<meta name=\"referrer\" content=\"no-referrer\">\n<title>")
        + title + QStringLiteral("</title>\n<style>\n") + styleSheet()
        + QStringLiteral("</style>\n</head>\n<body>\n<h1>") + title + QStringLiteral("</h1>\n");
    for (const FullReport &report : reports)
        htmlReport(html, report, guide);
    html += QStringLiteral("</body>\n</html>\n");
    return html;
}

QString RenderReportText(const FullReport &report, const RuleGuide &guide)
{
    const QString indent = QStringLiteral("      ");
    QString text = GetText(ReportText::GuideHeading) + u'\n';
    if (report.evidenceState == FullReport::EvidenceState::Failed)
        text += EscapeForTerminal(FillText(ReportText::EvidenceFailed, report.evidenceError)) + u'\n';
    for (const Reason &reason : ShownReasons(report)) {
        text += FormatUserNumber(reason.points).rightJustified(5) + u' ' + EscapeForTerminal(reason.ruleName)
            + u'\n';
        const GuideEntry *entry = guide.find(reason.ruleName);
        if (entry) {
            const auto field = [&](int label, const QString &value) {
                if (!value.isEmpty())
                    text += indent + GetText(label) + u' ' + EscapeForTerminal(value) + u'\n';
            };
            field(ReportText::Meaning, entry->meaning);
            field(ReportText::Why, entry->why);
            field(ReportText::Change, entry->change);
            if (entry->localOnly)
                text += indent + GetText(ReportText::LocalOnly) + u'\n';
        } else {
            text += indent + GetText(ReportText::NoGuideEntry) + u' ' + EscapeForTerminal(reason.description)
                + u'\n';
        }
        if (report.evidenceState == FullReport::EvidenceState::Ready) {
            const RuleEvidence evidence = report.evidence.value(reason.ruleName.toUpper());
            if (evidence.empty()) {
                text += indent + GetText(ReportText::EvidenceLabel) + u' ' + GetText(ReportText::NoEvidence)
                    + u'\n';
            } else {
                QStringList quoted;
                for (const QString &match : evidence.matches)
                    quoted << u'\u201C' + EscapeForTerminal(match) + u'\u201D';
                if (!quoted.isEmpty())
                    text += indent + GetText(ReportText::EvidenceLabel) + u' '
                        + quoted.join(QStringLiteral("  ")) + u'\n';
                if (!evidence.subRules.isEmpty())
                    text += indent
                        + EscapeForTerminal(
                            FillText(ReportText::SubRules, evidence.subRules.join(QStringLiteral(", "))))
                        + u'\n';
            }
        }
    }
    text += u'\n' + GetText(ReportText::FixPlanHeading) + u'\n';
    for (const QString &line : fixPlanLines(ReportFixPlan(report, guide)))
        text += QStringLiteral("  ") + EscapeForTerminal(line) + u'\n';
    text += QStringLiteral("  ") + GetText(ReportText::FixPlanNote) + u'\n';
    if (report.changeAsked)
        text += u'\n' + RenderChangeText(report.change);
    return text;
}

QString RenderChangeText(const std::optional<ResultChange> &change)
{
    QString text = GetText(ReportText::ChangeHeading) + u'\n';
    for (const QString &line : changeLines(change))
        text += QStringLiteral("  ") + EscapeForTerminal(line) + u'\n';
    if (change) {
        for (const RuleChange &rule : change->rules)
            text += QStringLiteral("  ") + EscapeForTerminal(ruleChangeText(rule)) + u'\n';
    }
    return text;
}

} // namespace norvale
