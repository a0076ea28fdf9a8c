#pragma once

#include "ReportScorer.h"
#include "Thresholds.h"

#include <QList>
#include <QString>

#include <functional>

namespace norvale {

// One rule to fix and what fixing it takes off the total.
struct FixStep
{
    QString ruleName;
    float points = 0.0f; // the rule's points as scored (the user's override when there is one)
    friend bool operator==(const FixStep &, const FixStep &) = default;
};

// What it takes to bring the verdict down to one lower level.
struct FixTarget
{
    int level = 0; // the verdict level to reach
    bool reachable = false; // false: even fixing every candidate rule leaves the verdict above it
    QList<FixStep> steps; // the rules to fix, biggest gain first; every candidate when not reachable
    float totalAfter = 0.0f; // the total once those rules no longer fire, rounded as the scorer rounds
};

// For every verdict level below the current one, highest first: the fewest
// rules whose fixing brings the total below that level's limit, taking the
// rules with the most points first (report order breaks ties).
//
// Candidates are the rows with more than 0 points, the user's overrides
// already applied, except those `localOnly` names: they fire only because the
// file is a local copy and will not count on the real send, so there is
// nothing to fix. Their points stay in the total. The total after a fix is
// summed and rounded exactly as the scorer sums the remaining rows, so the
// plan agrees with the verdict the next check will show.
//
// A total with no level (beyond the last limit) counts as above every level.
QList<FixTarget> PlanFixes(const QList<Reason> &reasons, const BandLimitArray &limits,
    const std::function<bool(const QString &ruleName)> &localOnly = {});

// The total of a set of rows as the scorer computes it: additions in row
// order (one that would leave single precision is left out), then rounded to
// one decimal.
float SumPoints(const QList<Reason> &reasons);

} // namespace norvale
