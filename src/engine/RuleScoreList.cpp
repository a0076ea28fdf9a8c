#include "RuleScoreList.h"

#include "Numbers.h"
#include "Text.h"

namespace norvale {

QString RuleScoreList::Format(const QList<Row> &rows)
{
    QString result;
    for (const Row &row : rows) {
        const QString name = TrimSpaces(row.name);
        if (name.isEmpty())
            continue;
        result += name + u':' + TrimSpaces(row.score) + u'|';
    }
    while (result.endsWith(u'|'))
        result.chop(1);
    return result;
}

namespace {

// Rows from the parts of a list, at most `limit` of them.
QList<RuleScoreList::Row> ParseParts(const QString &list, const QLocale &locale, qsizetype limit)
{
    QList<RuleScoreList::Row> rows;
    if (list.isEmpty())
        return rows;
    const QStringList parts = list.split(u'|');
    for (qsizetype k = 0; k < parts.size() && k < limit; ++k) {
        const QStringList pieces = parts[k].split(u':');
        rows.append({ NormaliseRuleName(pieces.value(0)), NormaliseScore(pieces.value(1), locale) });
    }
    return rows;
}

} // namespace

QList<RuleScoreList::Row> RuleScoreList::Parse(const QString &list, const QLocale &locale)
{
    QList<Row> rows = ParseParts(list, locale, RowCount);
    rows.resize(RowCount);
    return rows;
}

QList<RuleScoreList::Row> RuleScoreList::ParseAll(const QString &list, const QLocale &locale)
{
    return ParseParts(list, locale, list.size() + 1);
}

QString RuleScoreList::Normalise(const QString &list, const QLocale &locale)
{
    return Format(ParseAll(list, locale));
}

QString RuleScoreList::EntriesPastTheGrid(const QString &list, const QLocale &locale)
{
    const QList<Row> rows = ParseAll(list, locale);
    return rows.size() > RowCount ? Format(rows.sliced(RowCount)) : QString();
}

QString RuleScoreList::Join(const QString &first, const QString &second)
{
    if (first.isEmpty())
        return second;
    if (second.isEmpty())
        return first;
    return first + u'|' + second;
}

QString NormaliseRuleName(const QString &text)
{
    QString name = text;
    name.remove(u':');
    name.remove(u'|');
    name.remove(u'&');
    name.remove(u'=');
    return TrimSpaces(name.toUpper());
}

QString NormaliseScore(const QString &text, const QLocale &locale)
{
    const QString trimmed = TrimSpaces(text);
    if (trimmed.isEmpty())
        return QString();
    return FormatUserNumber(ParseUserNumber(trimmed, locale).value_or(0.0f), locale);
}

} // namespace norvale
