#pragma once

#include <QList>
#include <QLocale>
#include <QString>

namespace norvale {

// The user's rule score overrides in text form: entries "RULE:score" joined by
// "|". Rule names are upper case without ":", "|" or "&"; scores are written
// in the user's locale. The grid reads and writes its 50 rows through it, the
// settings keep it, and the scorer looks overrides up in it.
namespace RuleScoreList {

inline constexpr int RowCount = 50;

struct Row
{
    QString name;
    QString score;
    friend bool operator==(const Row &, const Row &) = default;
};

// The text of the rows as the grid gives it: rows with a blank name (after
// trimming) leave no trace, names and scores are trimmed but not normalised,
// and no "|" ends the text.
QString Format(const QList<Row> &rows);

// Exactly RowCount rows from a list: the k-th "|"-separated part fills row k
// (an empty part leaves a blank row), parts past the last row are ignored.
// Each part's name is its text before the first ":", its score the text
// between the first and the second ":"; both are normalised.
QList<Row> Parse(const QString &list, const QLocale &locale = QLocale());

} // namespace RuleScoreList

// The normal form of a rule name: ":", "|" and "&" removed, upper case,
// leading and trailing spaces removed (inner spaces stay).
QString NormaliseRuleName(const QString &text);

// The normal form of a score: empty for blank text, otherwise the number
// rewritten in the user's locale (7 significant digits); text that is not a
// number becomes "0".
QString NormaliseScore(const QString &text, const QLocale &locale = QLocale());

} // namespace norvale
