#include "Thresholds.h"

#include "Numbers.h"
#include "RuleScoreList.h"
#include "Text.h"

namespace norvale {

QString NormaliseThreshold(const QString &text, const QLocale &locale)
{
    return NormaliseScore(text, locale); // the same normal form as an override score
}

QStringList SplitThresholds(const QString &text, const QLocale &locale)
{
    QStringList boxes(ThresholdCount);
    if (text.isEmpty())
        return boxes;
    const QStringList pieces = text.split(u'|');
    for (qsizetype i = 0; i < pieces.size() && i < ThresholdCount; ++i)
        boxes[i] = NormaliseThreshold(pieces[i], locale);
    return boxes;
}

QString JoinThresholds(const QStringList &boxes)
{
    QString text;
    for (const QString &box : boxes)
        text += TrimSpaces(box) + u'|';
    while (text.endsWith(u'|'))
        text.chop(1);
    return text;
}

BandLimitArray BandLimits(const QStringList &boxes, const QLocale &locale)
{
    BandLimitArray limits { 1.0f, 3.0f, 4.0f, 5.0f, 8.0f, 10000.0f };
    for (qsizetype k = 0; k < boxes.size() && k < ThresholdCount; ++k) {
        if (const std::optional<float> value = ParseUserNumber(boxes[k], locale))
            limits[k] = *value;
    }
    return limits;
}

std::optional<int> VerdictLevel(float score, const BandLimitArray &limits)
{
    for (int level = 0; level < int(limits.size()); ++level) {
        if (score < limits[level])
            return level;
    }
    return std::nullopt;
}

} // namespace norvale
