#pragma once

#include <QList>
#include <QLocale>
#include <QString>

namespace norvale {

// The user's rule score overrides in text form: entries "RULE:score" joined by
// "|". Rule names are upper case without ":", "|", "&" or "="; scores are written
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

// One row for every "|"-separated part, however many, read and normalised as
// Parse reads them. The settings keep more entries than the grid has rows;
// the scorer uses them all.
QList<Row> ParseAll(const QString &list, const QLocale &locale = QLocale());

// The list in the form the grid and the settings write it: every entry
// normalised, blank names left out ("a:1.50||b:x" gives "A:1.5|B:0").
QString Normalise(const QString &list, const QLocale &locale = QLocale());

// The normalised entries past the grid's last row: what the grid cannot show.
QString EntriesPastTheGrid(const QString &list, const QLocale &locale = QLocale());

// Two lists as one, `first`'s entries first; either may be empty.
QString Join(const QString &first, const QString &second);

} // namespace RuleScoreList

// The normal form of a rule name: ":", "|", "&" and "=" removed, upper case,
// leading and trailing spaces removed (inner spaces stay). Each of the four
// separates something in the settings line, where a name holding one would
// cut off what follows it.
QString NormaliseRuleName(const QString &text);

// The normal form of a score: empty for blank text, otherwise the number
// rewritten in the user's locale (7 significant digits); text that is not a
// number becomes "0".
QString NormaliseScore(const QString &text, const QLocale &locale = QLocale());

} // namespace norvale
