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

QList<RuleScoreList::Row> RuleScoreList::Parse(const QString &list, const QLocale &locale)
{
    QList<Row> rows(RowCount);
    if (list.isEmpty())
        return rows;
    const QStringList parts = list.split(u'|');
    for (qsizetype k = 0; k < parts.size() && k < RowCount; ++k) {
        const QStringList pieces = parts[k].split(u':');
        rows[k].name = NormaliseRuleName(pieces.value(0));
        rows[k].score = NormaliseScore(pieces.value(1), locale);
    }
    return rows;
}

QString NormaliseRuleName(const QString &text)
{
    QString name = text;
    name.remove(u':');
    name.remove(u'|');
    name.remove(u'&');
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
