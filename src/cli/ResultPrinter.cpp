#include "ResultPrinter.h"

#include "ApplicationFolder.h"
#include "CliTexts.h"
#include "Numbers.h"
#include "ReadinessReport.h"
#include "Startup.h"
#include "Text.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <tuple>

namespace norvale {

namespace {

constexpr qsizetype MinimumDescriptionWidth = 24;

// The reasons to list, by points, highest first, then by rule name (then
// type and description, for rules listed twice): the checker lists its rules
// in an order that changes from run to run.
QList<const Reason *> listedReasons(const ScoreResult &score, bool hideZero)
{
    QList<const Reason *> listed;
    for (const Reason &reason : score.reasons) {
        if (!hideZero || reason.points != 0.0f)
            listed << &reason;
    }
    std::stable_sort(listed.begin(), listed.end(), [](const Reason *a, const Reason *b) {
        if (a->points != b->points)
            return a->points > b->points;
        return std::tie(a->ruleName, a->type, a->description)
            < std::tie(b->ruleName, b->type, b->description);
    });
    return listed;
}

// A reason's texts as the terminal may show them.
Reason escaped(const Reason &reason)
{
    return { reason.points, EscapeForTerminal(reason.ruleName), EscapeForTerminal(reason.type),
        EscapeForTerminal(reason.description) };
}

QString verdictLine(const FileCheckResult &result)
{
    if (!result.level)
        return GetText(CliText::NoVerdict);
    return FillText(CliText::VerdictLine, QString::number(*result.level), VerdictText(*result.level));
}

// A JSON number for a single-precision value, with the 7 significant digits
// the user sees, so 3.3 is written 3.3 and not 3.2999999523.
QJsonValue jsonNumber(float value)
{
    if (value == 0.0f)
        return 0; // never "-0"
    return QString::number(value, 'g', 7).toDouble();
}

// JSON text that is safe on a terminal too. QJsonDocument escapes the C0
// controls in strings but writes DEL, the C1 controls and the bidirectional
// controls as they are; \u escapes for them read back as the same text.
QByteArray escapeJsonControls(const QByteArray &json)
{
    const QString text = QString::fromUtf8(json);
    if (std::none_of(text.begin(), text.end(), [](QChar c) { return c >= u'\x7f' && ActsOnTerminal(c); }))
        return json;
    QString escaped;
    escaped.reserve(text.size() + 16);
    for (const QChar c : text) {
        if (c >= u'\x7f' && ActsOnTerminal(c))
            escaped += QStringLiteral("\\u%1").arg(uint(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            escaped += c;
    }
    return escaped.toUtf8();
}

} // namespace

QString FormatResultText(const FileCheckResult &result, bool hideZero, int width)
{
    QString text = EscapeForTerminal(result.path) + u'\n';
    text += QStringLiteral("  ") + GetText(TextId::ScoreLabel) + u' ' + FormatUserNumber(result.score.total)
        + QStringLiteral("   ") + verdictLine(result) + u'\n';

    QList<Reason> shown;
    for (const Reason *reason : listedReasons(result.score, hideZero))
        shown << escaped(*reason);
    if (shown.isEmpty())
        return text + QStringLiteral("  ") + GetText(CliText::NoRulesFired) + u'\n';

    const QStringList titles = { GetText(TextId::PointsColumn), GetText(TextId::TypeColumn),
        GetText(TextId::DescriptionColumn), GetText(TextId::RuleColumn) };
    qsizetype pointsWidth = titles[0].size();
    qsizetype typeWidth = titles[1].size();
    qsizetype ruleWidth = titles[3].size();
    qsizetype longestDescription = titles[2].size();
    QStringList points;
    for (const Reason &reason : shown) {
        points << FormatUserNumber(reason.points);
        pointsWidth = std::max(pointsWidth, points.last().size());
        typeWidth = std::max(typeWidth, reason.type.size());
        ruleWidth = std::max(ruleWidth, reason.ruleName.size());
        longestDescription = std::max(longestDescription, reason.description.size());
    }
    constexpr qsizetype Indent = 2;
    constexpr qsizetype Gap = 2;
    const qsizetype fixed = Indent + pointsWidth + Gap + typeWidth + Gap + Gap + ruleWidth;
    const qsizetype descriptionWidth
        = std::min(longestDescription, std::max(MinimumDescriptionWidth, qsizetype(width) - fixed));

    auto row
        = [&](const QString &pts, const QString &type, const QStringList &description, const QString &rule) {
              QString lines;
              for (qsizetype i = 0; i < description.size(); ++i) {
                  const bool first = i == 0;
                  QString line = QString(Indent, u' ') + (first ? pts : QString()).rightJustified(pointsWidth)
                      + QString(Gap, u' ') + (first ? type : QString()).leftJustified(typeWidth)
                      + QString(Gap, u' ') + description[i].leftJustified(descriptionWidth);
                  if (first)
                      line += QString(Gap, u' ') + rule;
                  while (line.endsWith(u' '))
                      line.chop(1);
                  lines += line + u'\n';
              }
              return lines;
          };

    text += row(titles[0], titles[1], { titles[2] }, titles[3]);
    for (qsizetype i = 0; i < shown.size(); ++i)
        text += row(points[i], shown[i].type, WrapAtSpaces(shown[i].description, descriptionWidth),
            shown[i].ruleName);
    return text;
}

QByteArray JsonDocumentHead()
{
    return QByteArrayLiteral("{\n    \"files\": [\n");
}

QByteArray FormatFileJson(const FileCheckResult &result, bool hideZero, bool first, const QJsonObject &extra)
{
    QJsonObject file { { QStringLiteral("path"), result.path } };
    if (!result.ok()) {
        file.insert(QStringLiteral("error"), result.error);
    } else {
        file.insert(QStringLiteral("score"), jsonNumber(result.score.total));
        file.insert(QStringLiteral("level"), result.level ? QJsonValue(*result.level) : QJsonValue());
        file.insert(
            QStringLiteral("verdict"), result.level ? QJsonValue(VerdictText(*result.level)) : QJsonValue());
        QJsonArray reasons;
        for (const Reason *reason : listedReasons(result.score, hideZero)) {
            reasons.append(QJsonObject { { QStringLiteral("points"), jsonNumber(reason->points) },
                { QStringLiteral("type"), reason->type },
                { QStringLiteral("description"), reason->description },
                { QStringLiteral("rule"), reason->ruleName } });
        }
        file.insert(QStringLiteral("reasons"), reasons);
        if (result.readiness)
            file.insert(QStringLiteral("readiness"), ReadinessJson(*result.readiness));
        for (auto it = extra.constBegin(); it != extra.constEnd(); ++it)
            file.insert(it.key(), it.value());
    }
    // The object as QJsonDocument writes it two levels deep: every line
    // indented by 8 more spaces (strings hold no raw line breaks).
    const QByteArray object
        = escapeJsonControls(QJsonDocument(file).toJson(QJsonDocument::Indented).chopped(1));
    QByteArray entry = first ? QByteArray() : QByteArrayLiteral(",\n");
    for (const QByteArray &line : object.split('\n'))
        entry += QByteArray(8, ' ') + line + '\n';
    entry.chop(1);
    return entry;
}

QByteArray JsonDocumentTail()
{
    // {"version": ...} as QJsonDocument writes it, its opening line giving
    // way to the end of the files array.
    const QByteArray version
        = QJsonDocument(QJsonObject { { QStringLiteral("version"), ApplicationVersion() } })
              .toJson(QJsonDocument::Indented);
    return QByteArrayLiteral("\n    ],\n") + version.mid(version.indexOf('\n') + 1);
}

} // namespace norvale
