#include "ReportScorer.h"

#include "Numbers.h"
#include "Text.h"

#include <QHash>

#include <cmath>
#include <optional>

namespace norvale {

namespace {

const QLatin1StringView SectionHeading("Content analysis details");

// The text before the first space and the text after it; no space: the whole
// text and nothing.
std::pair<QStringView, QStringView> SplitAtFirstSpace(QStringView text)
{
    const qsizetype space = text.indexOf(u' ');
    if (space < 0)
        return { text, {} };
    return { text.first(space), text.sliced(space + 1) };
}

// Finds the user's override of a rule. The rule score list is searched for
// "|" + NAME + ":" in "|" + list, the first match winning. Every "|" of that
// text starts an entry, so for a name without ":" or "|" this is a lookup of
// the entry names (text before the first ":"), done with a table built once
// per report; other names take the literal search.
class Overrides
{
public:
    Overrides(QStringView rules, const QLocale &locale)
        : m_list(u'|' + rules.toString())
        , m_locale(locale)
    {
        for (qsizetype start = 0; start < m_list.size();) {
            qsizetype end = m_list.indexOf(u'|', start + 1);
            if (end < 0)
                end = m_list.size();
            const QStringView entry = QStringView(m_list).sliced(start + 1, end - start - 1);
            const qsizetype colon = entry.indexOf(u':');
            if (colon >= 0 && !m_firstScore.contains(entry.first(colon)))
                m_firstScore.insert(entry.first(colon), Convert(entry.sliced(colon + 1)));
            start = end;
        }
    }

    std::optional<float> Find(QStringView ruleName) const
    {
        const QString name = ruleName.toString().toUpper();
        if (!name.contains(u':') && !name.contains(u'|'))
            return m_firstScore.value(name);
        const QString needle = u'|' + name + u':';
        const qsizetype found = m_list.indexOf(needle);
        if (found < 0)
            return std::nullopt;
        const qsizetype begin = found + needle.size();
        qsizetype end = m_list.indexOf(u'|', begin);
        if (end < 0)
            end = m_list.size();
        return Convert(QStringView(m_list).sliced(begin, end - begin));
    }

private:
    std::optional<float> Convert(QStringView score) const
    {
        return ParseUserNumber(score.toString(), m_locale);
    }

    QString m_list;
    QLocale m_locale;
    QHash<QStringView, std::optional<float>> m_firstScore; // keys point into m_list
};

// Fills rule name, type and description from a rule row's text after its
// points (trimmed, never empty).
void ReadRowText(QStringView rest, Reason &reason, const Overrides &overrides)
{
    const auto [name, afterName] = SplitAtFirstSpace(rest);
    reason.ruleName = name.toString();
    if (const std::optional<float> score = overrides.Find(name))
        reason.points = *score;

    const QStringView description = TrimSpacesView(afterName);
    if (description.isEmpty())
        return;
    const auto [firstWord, remainder] = SplitAtFirstSpace(description);
    if (firstWord.contains(u':')) {
        reason.type = firstWord.toString().remove(u':');
        reason.description = TrimSpacesView(remainder).toString();
    } else if (remainder.isEmpty()) {
        reason.description = firstWord.toString();
    } else {
        reason.description.reserve(description.size());
        reason.description.append(firstWord).append(u' ').append(TrimSpacesView(remainder));
    }
}

// The checker's own total in the section's heading line,
// "Content analysis details:   (5.0 points, 5.0 required)"; none when the
// line does not read so.
std::optional<float> HeadingTotal(QStringView heading)
{
    if (!heading.startsWith(SectionHeading, Qt::CaseInsensitive))
        return std::nullopt;
    QStringView rest = heading.sliced(SectionHeading.size());
    if (rest.startsWith(u':'))
        rest = rest.sliced(1);
    rest = TrimSpacesView(rest);
    if (!rest.startsWith(u'('))
        return std::nullopt;
    const auto [number, afterNumber] = SplitAtFirstSpace(rest.sliced(1));
    if (!IsPlainNumber(number) || !afterNumber.startsWith(QLatin1StringView("points"), Qt::CaseInsensitive))
        return std::nullopt;
    bool converted = false;
    const float total = number.toFloat(&converted);
    if (!converted || !std::isfinite(total))
        return std::nullopt;
    return total;
}

} // namespace

float RoundToTenths(float value)
{
    // A float times 10 is exact in double precision, so exact halves stay halves.
    const double scaled = double(value) * 10.0;
    if (!(std::fabs(scaled) < 16777216.0)) // no digit after the point left to round
        return value;
    return float(RoundHalfEven(scaled)) / 10.0f;
}

QString ExtractReportSection(QStringView report)
{
    // Only a line that begins with the heading starts the section: the words
    // may also stand inside a rule's description or the quoted message.
    qsizetype start = report.lastIndexOf(SectionHeading, -1, Qt::CaseInsensitive);
    while (start > 0 && report[start - 1] != u'\n')
        start = report.lastIndexOf(SectionHeading, start - 1, Qt::CaseInsensitive);
    if (start < 0)
        return QString();
    const QStringView section = report.sliced(start);

    QString result;
    result.reserve(section.size() + section.size() / 32);
    qsizetype from = 0;
    for (qsizetype lf = section.indexOf(u'\n'); lf >= 0; lf = section.indexOf(u'\n', from)) {
        result += section.sliced(from, lf - from);
        if (lf == 0 || section[lf - 1] != u'\r')
            result += u'\r';
        result += u'\n';
        from = lf + 1;
    }
    result += section.sliced(from);
    return result;
}

ScoreResult ScoreReport(QStringView section, QStringView rules, const QLocale &locale)
{
    ScoreResult result;
    Overrides overrides(rules, locale);

    qsizetype lineStart = section.indexOf(u'\n');
    if (lineStart < 0)
        return result; // the heading alone
    result.checkerTotal = HeadingTotal(section.first(lineStart));
    // The checker's total moved by what the overrides change: its rows show
    // rounded points, and their sum can differ from its total.
    float adjusted = result.checkerTotal.value_or(0.0f);
    ++lineStart;
    while (lineStart < section.size()) {
        qsizetype lineEnd = section.indexOf(u'\n', lineStart);
        const qsizetype next = lineEnd < 0 ? section.size() : lineEnd + 1;
        if (lineEnd < 0)
            lineEnd = section.size();
        else if (lineEnd > lineStart && section[lineEnd - 1] == u'\r')
            --lineEnd;
        const QStringView raw = section.sliced(lineStart, lineEnd - lineStart);
        lineStart = next;

        const QStringView line = TrimSpacesView(raw);
        if (line.isEmpty())
            continue;

        bool isRow = false;
        float points = 0.0f;
        const auto [firstWord, afterFirst] = SplitAtFirstSpace(line);
        const qsizetype indent = line.data() - raw.data();
        if (line.size() != firstWord.size() && indent < ContinuationIndent && IsPlainNumber(firstWord)) {
            bool converted = false;
            points = firstWord.toFloat(&converted);
            // A number beyond single precision cannot be points; it is text.
            isRow = converted && std::isfinite(points)
                && (points != 0.0f || firstWord == u"0.0" || firstWord == u"-0.0");
        }

        if (!isRow) {
            if (!result.reasons.isEmpty()) {
                QString &description = result.reasons.last().description;
                description += u' ';
                description += line;
            }
            continue;
        }

        Reason &reason = result.reasons.emplace_back();
        reason.points = points;
        ReadRowText(TrimSpacesView(afterFirst), reason, overrides);
        // An addition that would leave the single-precision range is skipped,
        // so the total stays a number that can be shown; the row stays listed.
        const float total = result.total + reason.points;
        if (std::isfinite(total))
            result.total = total;
        if (reason.points != points) { // overridden
            const float moved = adjusted + (reason.points - points);
            if (std::isfinite(moved))
                adjusted = moved;
        }
    }
    if (result.checkerTotal)
        result.total = adjusted;
    // + 0.0f: a total of -0.0 (the checker writes "-0.0 points") is 0.
    result.total = RoundToTenths(result.total) + 0.0f;
    return result;
}

} // namespace norvale
