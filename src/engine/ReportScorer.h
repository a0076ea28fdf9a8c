#pragma once

#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

namespace norvale {

// One rule that fired, as the scorer read it from the checker's report.
struct Reason
{
    float points = 0.0f; // the report's points, or the user's override
    QString ruleName; // as written in the report (letter case kept)
    QString type; // the description's leading "WORD:" without its colons; empty when there is none
    QString description; // continuation lines appended, each after one space
    friend bool operator==(const Reason &, const Reason &) = default;
};

// The outcome of scoring one report section.
struct ScoreResult
{
    float total = 0.0f; // see ScoreReport; rounded to one decimal, never -0
    QList<Reason> reasons; // in report order: reason i (counted from 1) is reasons[i - 1]
    std::optional<float> checkerTotal; // the total in the heading line, as the checker wrote it
};

// The checker's report from the start of the LAST line that begins with
// "Content analysis details" (letter case ignored) to the end; the checker
// writes the heading once per report part, and the last one is the summary
// that counts. The words elsewhere in a line (a rule's description, a quoted
// message) start nothing. Every line end is
// written as CR LF: a bare LF gets its CR, an existing CR LF stays one line end
// and a lone CR is left as it is. Empty when the heading is missing.
QString ExtractReportSection(QStringView report);

// Reads the table of fired rules in a report section and applies the user's
// overrides.
//
// section: as ExtractReportSection returns it. Lines end at CR LF or at a bare
//   LF (a lone CR stays part of its line); the first line is the heading with
//   the checker's own total, "Content analysis details:   (5.0 points, ...)".
// rules: the rule score list ("RULE:score|RULE:score"); scores are read by
//   `locale`, report points always with ".".
//
// A line (trimmed of spaces only) is a rule row when its first word is a plain
// number (sign, digits, optional "." and digits) whose value is not 0, or is
// exactly "0.0" or "-0.0", and it stands in the points column (indented by
// fewer than ContinuationIndent spaces). Every other non-empty line continues
// the description of the latest row; lines before the first row (column
// titles, the dashed underline) are ignored.
//
// A row's words: points, rule name, then the description. A description whose
// first word holds ":" has that word, colons removed, as its type. A row with
// only a rule name gets an empty description; a one-word description becomes
// the type when it holds ":", else the description.
//
// Override: the first "NAME:score" entry whose name equals the rule name in
// upper case replaces the points when its score converts (0 included);
// otherwise the report's points stay.
//
// total: the checker's own total from the heading, moved by each overridden
// row's change (override minus the report's points), so that without overrides
// it is the checker's total exactly. The rows show points rounded to one
// decimal (whole numbers from 10 up), and their sum can miss the checker's
// total by a tenth or more: 5.035 is 5.0 and spam, its rounded rows 4.9.
// A heading without a readable total: the sum of the rows' points. Both are
// float additions in report order, then rounded to one decimal, halves to the
// even digit (0.25 gives 0.2, 0.75 gives 0.8). An addition whose result would
// be beyond single precision is left out, so the total is always finite.
ScoreResult ScoreReport(QStringView section, QStringView rules, const QLocale &locale = QLocale());

// Lines indented at least this deep are continuation lines even when their
// first word is a number. The checker right-aligns points in a 4-wide column
// (so a row has at most 3 leading spaces) and indents wrapped descriptions and
// evidence to the description column (28); a wrapped line may begin with a
// number ("30 days").
inline constexpr qsizetype ContinuationIndent = 8;

// Rounds to one decimal place, halves to the even digit. The input's exact
// binary value decides: 0.25f is a true half, 0.35f lies just below one.
float RoundToTenths(float value);

} // namespace norvale
