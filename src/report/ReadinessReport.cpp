#include "ReadinessReport.h"

#include "ReadinessTexts.h"
#include "SafeText.h"
#include "Text.h"
#include "TextCatalogue.h"

#include <QJsonArray>

#include <algorithm>

namespace norvale {

namespace {

namespace T = ReadinessText;

constexpr qsizetype MinimumFindingWidth = 30;

// The catalogue text with its arguments filled in one pass, so that a "%1"
// inside a value taken from the message is never filled in itself.
QString Filled(int id, const QStringList &args)
{
    QString text = GetText(id);
    if (text.isEmpty())
        return text;
    switch (args.size()) {
    case 0:
        return text;
    case 1:
        return text.arg(args[0]);
    case 2:
        return text.arg(args[0], args[1]);
    default:
        return text.arg(args[0], args[1], args[2]);
    }
}

int Rank(ReadinessStatus status)
{
    switch (status) {
    case ReadinessStatus::Fail:
        return 0;
    case ReadinessStatus::Warn:
        return 1;
    case ReadinessStatus::Info:
        return 2;
    case ReadinessStatus::Pass:
        return 3;
    }
    return 3;
}

// Problems first, then warnings, notes and passes, each in check order.
QList<const ReadinessFinding *> Ordered(const ReadinessResult &result)
{
    QList<const ReadinessFinding *> ordered;
    for (const ReadinessFinding &finding : result.findings)
        ordered << &finding;
    std::stable_sort(
        ordered.begin(), ordered.end(), [](const ReadinessFinding *a, const ReadinessFinding *b) {
            return Rank(a->status) < Rank(b->status);
        });
    return ordered;
}

const char *StatusColour(ReadinessStatus status)
{
    switch (status) {
    case ReadinessStatus::Fail:
        return "#b00000";
    case ReadinessStatus::Warn:
        return "#a05a00";
    case ReadinessStatus::Pass:
        return "#2e7d32";
    case ReadinessStatus::Info:
        return "#1f4e9a";
    }
    return "#000000";
}

} // namespace

QString ReadinessSummary(const ReadinessResult &result)
{
    const qsizetype problems = result.count(ReadinessStatus::Fail);
    const qsizetype warnings = result.count(ReadinessStatus::Warn);
    if (problems == 0 && warnings == 0)
        return GetText(T::NoProblems);
    QString problemText
        = problems == 1 ? GetText(T::OneProblem) : FillText(T::Problems, QString::number(problems));
    QString warningText
        = warnings == 1 ? GetText(T::OneWarning) : FillText(T::Warnings, QString::number(warnings));
    if (warnings == 0)
        return problemText;
    if (problems == 0)
        return warningText;
    return GetText(T::SummaryJoin).arg(problemText, warningText);
}

QString FindingTitle(const ReadinessFinding &finding)
{
    return finding.titleArg.isEmpty() ? GetText(finding.titleText)
                                      : FillText(finding.titleText, finding.titleArg);
}

QString FindingText(const ReadinessFinding &finding)
{
    QString problem = finding.problemText ? Filled(finding.problemText, finding.problemArgs) : QString();
    if (finding.value.isEmpty())
        return problem;
    if (problem.isEmpty())
        return finding.value;
    return problem + QStringLiteral(" [") + finding.value + u']';
}

QString FindingAdvice(const ReadinessFinding &finding)
{
    return finding.adviceText ? GetText(finding.adviceText) : QString();
}

QString StatusText(ReadinessStatus status)
{
    switch (status) {
    case ReadinessStatus::Fail:
        return GetText(T::StatusFail);
    case ReadinessStatus::Warn:
        return GetText(T::StatusWarn);
    case ReadinessStatus::Pass:
        return GetText(T::StatusPass);
    case ReadinessStatus::Info:
        return GetText(T::StatusInfo);
    }
    return {};
}

QString ReadinessHtml(const ReadinessResult &result, int level, const QString &anchor)
{
    const QString heading = QStringLiteral("h") + QString::number(level);
    QString html = u'<' + heading
        + (anchor.isEmpty() ? QString() : QStringLiteral(" id=\"") + HtmlText(anchor) + u'"') + u'>'
        + HtmlText(GetText(T::SectionTitle)) + QStringLiteral("</") + heading + QStringLiteral(">\n<p><b>")
        + HtmlText(ReadinessSummary(result)) + QStringLiteral("</b></p>\n");
    html += QStringLiteral(
                "<table cellspacing=\"0\" cellpadding=\"3\" width=\"100%\">\n<tr><th align=\"left\">")
        + HtmlText(GetText(T::StatusColumn)) + QStringLiteral("</th><th align=\"left\">")
        + HtmlText(GetText(T::CheckColumn)) + QStringLiteral("</th><th align=\"left\">")
        + HtmlText(GetText(T::FindingColumn)) + QStringLiteral("</th></tr>\n");
    for (const ReadinessFinding *finding : Ordered(result)) {
        html += QStringLiteral("<tr><td valign=\"top\"><b><font color=\"")
            + QLatin1String(StatusColour(finding->status)) + QStringLiteral("\">")
            + HtmlText(StatusText(finding->status)) + QStringLiteral("</font></b></td><td valign=\"top\">")
            + HtmlText(FindingTitle(*finding)) + QStringLiteral("</td><td valign=\"top\">");
        const QString problem
            = finding->problemText ? Filled(finding->problemText, finding->problemArgs) : QString();
        html += HtmlText(problem);
        if (!finding->value.isEmpty()) {
            if (!problem.isEmpty())
                html += QStringLiteral("<br>");
            html += QStringLiteral("<code>") + HtmlText(finding->value) + QStringLiteral("</code>");
        }
        const QString advice = FindingAdvice(*finding);
        if (!advice.isEmpty())
            html += QStringLiteral("<br><i>") + HtmlText(FillText(T::AdviceLine, advice))
                + QStringLiteral("</i>");
        html += QStringLiteral("</td></tr>\n");
    }
    return html + QStringLiteral("</table>\n");
}

QString ReadinessTerminalText(const ReadinessResult &result, int width)
{
    constexpr qsizetype Indent = 2;
    QString text = QString(Indent, u' ') + EscapeForTerminal(GetText(T::SectionTitle)) + QStringLiteral(": ")
        + EscapeForTerminal(ReadinessSummary(result)) + u'\n';
    const QList<const ReadinessFinding *> findings = Ordered(result);
    qsizetype statusWidth = 0;
    qsizetype titleWidth = 0;
    for (const ReadinessFinding *finding : findings) {
        statusWidth = std::max(statusWidth, StatusText(finding->status).size());
        titleWidth = std::max(titleWidth, FindingTitle(*finding).size());
    }
    constexpr qsizetype RowIndent = 2 * Indent;
    constexpr qsizetype Gap = 2;
    const qsizetype findingColumn = RowIndent + statusWidth + Gap + titleWidth + Gap;
    const qsizetype findingWidth = std::max(MinimumFindingWidth, qsizetype(width) - findingColumn);
    for (const ReadinessFinding *finding : findings) {
        QStringList lines = WrapAtSpaces(EscapeForTerminal(FindingText(*finding)), findingWidth);
        const QString advice = FindingAdvice(*finding);
        if (!advice.isEmpty())
            lines << WrapAtSpaces(EscapeForTerminal(FillText(T::AdviceLine, advice)), findingWidth);
        for (qsizetype i = 0; i < lines.size(); ++i) {
            QString line = i == 0 ? QString(RowIndent, u' ')
                    + StatusText(finding->status).leftJustified(statusWidth) + QString(Gap, u' ')
                    + FindingTitle(*finding).leftJustified(titleWidth) + QString(Gap, u' ')
                                  : QString(findingColumn, u' ');
            line += lines[i];
            while (line.endsWith(u' '))
                line.chop(1);
            text += line + u'\n';
        }
    }
    return text;
}

QJsonObject ReadinessJson(const ReadinessResult &result)
{
    QJsonArray findings;
    for (const ReadinessFinding &finding : result.findings) {
        const QString problem
            = finding.problemText ? Filled(finding.problemText, finding.problemArgs) : QString();
        findings.append(QJsonObject { { QStringLiteral("id"), finding.id },
            { QStringLiteral("status"), ReadinessStatusKey(finding.status) },
            { QStringLiteral("check"), FindingTitle(finding) }, { QStringLiteral("finding"), problem },
            { QStringLiteral("value"), finding.value },
            { QStringLiteral("advice"), FindingAdvice(finding) } });
    }
    return QJsonObject { { QStringLiteral("ready"), result.ready() },
        { QStringLiteral("problems"), result.count(ReadinessStatus::Fail) },
        { QStringLiteral("warnings"), result.count(ReadinessStatus::Warn) },
        { QStringLiteral("findings"), findings } };
}

} // namespace norvale
