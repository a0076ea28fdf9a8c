#pragma once

#include <QLocale>
#include <QString>
#include <QStringView>

#include <optional>

namespace norvale {

// The value of the number at the start of a text, the same in every locale:
// blanks, tabs and line feeds are skipped wherever they stand, then an optional
// sign, digits, an optional "." and digits, and an optional exponent (E or D,
// optional sign, digits). Reading stops at the first character that cannot
// continue the number; a text that does not begin with a number reads as 0.
// Used for catalogue ids, placeholders and settings values.
double LeadingNumber(QStringView text);

// True when the whole word is a plain decimal number: an optional sign, digits,
// and optionally "." followed by digits. This is how the checker writes points.
bool IsPlainNumber(QStringView word);

// Rounds to the nearest integer, halves to the even neighbour.
double RoundHalfEven(double value);

// Reads a number the user typed or that was written for the user (settings
// files, the command line, typed boxes), with the same meaning in every
// locale: an optional sign, digits with at most one decimal separator, "." or
// "," (or the locale's own, as FormatUserNumber writes it), and an optional
// exponent ("1e3", "2,5E+07"). Neither "." nor "," ever groups digits, so a
// number with two separators ("1.000,5", "1,000,000") is not a number; no
// other grouping is read either. Spaces around the number are dropped; the
// locale's own digits and signs are read as written. Single precision: empty
// text, text that is not a number and magnitudes beyond single precision give
// no value.
std::optional<float> ParseUserNumber(const QString &text, const QLocale &locale = QLocale());

// Writes a number for the user: single precision, at most 7 significant digits,
// the locale's decimal separator, no digit grouping, no trailing zeros, and the
// exponent form only where needed (10000000 gives "1E+07"). Minus zero is "0".
QString FormatUserNumber(float value, const QLocale &locale = QLocale());

} // namespace norvale
