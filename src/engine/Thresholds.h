#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace norvale {

// The five verdict thresholds, kept as the texts of five boxes (numbers in the
// user's locale, or empty) and stored as one "|"-joined text. Nothing checks
// their order, sign or range.

inline constexpr int ThresholdCount = 5;

// The normal form of one box text: spaces trimmed; empty stays empty; text that
// is not a number, or is beyond single precision, becomes "0"; a number is
// rewritten in the locale, at most 7 significant digits ("2.50" gives "2.5",
// "1e3" gives "1000"). Digit-group separators are ignored ("1,5" gives "15"
// where "," groups digits).
QString NormaliseThreshold(const QString &text, const QLocale &locale = QLocale());

// The five box texts for a thresholds text: piece i of the text split at "|"
// fills box i, normalised; pieces past the fifth are dropped, missing ones
// leave their boxes empty. Always ThresholdCount entries.
QStringList SplitThresholds(const QString &text, const QLocale &locale = QLocale());

// The thresholds text of the boxes: each box trimmed of spaces and followed by
// "|", then every trailing "|" removed ("1||3" for 1, empty, 3, empty, empty).
QString JoinThresholds(const QStringList &boxes);

// Index 0 to 4: the boxes' values by the locale; a box that is empty or not a
// number keeps its default 1, 3, 4, 5, 8 (the second default really is 3).
// Index 5 is always 10000.
using BandLimitArray = std::array<float, 6>;
BandLimitArray BandLimits(const QStringList &boxes, const QLocale &locale = QLocale());

// The verdict level 0 to 5: the index of the first limit above the score (a
// score equal to a threshold belongs to the higher level). Limits are not
// sorted. None when no limit is above the score (10000 or more, or NaN).
std::optional<int> VerdictLevel(float score, const BandLimitArray &limits);

} // namespace norvale
