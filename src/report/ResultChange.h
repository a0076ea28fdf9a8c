#pragma once

#include "ReportScorer.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

namespace norvale {

// How one rule differs between two results of the same newsletter.
struct RuleChange
{
    enum class Kind
    {
        New, // fires now, did not before
        Gone, // fired before, does not now
        Changed // fires in both, for other points
    };
    QString ruleName;
    Kind kind = Kind::Changed;
    float before = 0.0f; // 0 for a new rule
    float after = 0.0f; // 0 for a gone rule
    float delta() const; // after - before, rounded to one decimal
    friend bool operator==(const RuleChange &, const RuleChange &) = default;
};

struct ResultChange
{
    float totalBefore = 0.0f;
    float totalAfter = 0.0f;
    QList<RuleChange>
        rules; // new and changed rules in the order of the newer result, then gone ones in the older's
    float delta() const; // totalAfter - totalBefore, rounded to one decimal
};

// The change from an earlier result to a later one. Rules are matched by name,
// letter case ignored; a rule listed more than once counts with the sum of its
// points. Rules with the same points in both are not listed.
ResultChange CompareResults(const ScoreResult &before, const ScoreResult &after);

// Reads a result back from the JSON that norvale-check --json writes: the file
// entry whose "path" is `path`, or the only checked entry when no path
// matches and there is just one. None when the text is not such a document or
// holds no usable entry.
std::optional<ScoreResult> ScoreResultFromJson(QByteArrayView json, const QString &path);
// True when the text is a JSON document of the form norvale-check --json
// writes (an object with a "files" array), whatever files it holds.
bool IsSavedResult(QByteArrayView json);

} // namespace norvale
