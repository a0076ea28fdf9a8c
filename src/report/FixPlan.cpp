#include "FixPlan.h"

#include <algorithm>
#include <cmath>

namespace norvale {

float SumPoints(const QList<Reason> &reasons)
{
    float total = 0.0f;
    for (const Reason &reason : reasons) {
        const float next = total + reason.points;
        if (std::isfinite(next))
            total = next;
    }
    return RoundToTenths(total);
}

QList<FixTarget> PlanFixes(const QList<Reason> &reasons, const BandLimitArray &limits,
    const std::function<bool(const QString &ruleName)> &localOnly)
{
    const float total = SumPoints(reasons);
    const int current = VerdictLevel(total, limits).value_or(int(limits.size()));

    // Candidate rows by index, most points first; a stable sort keeps report order for ties.
    QList<qsizetype> candidates;
    for (qsizetype i = 0; i < reasons.size(); ++i) {
        if (reasons[i].points > 0.0f && !(localOnly && localOnly(reasons[i].ruleName)))
            candidates.append(i);
    }
    std::stable_sort(candidates.begin(), candidates.end(),
        [&reasons](qsizetype a, qsizetype b) { return reasons[a].points > reasons[b].points; });

    QList<FixTarget> targets;
    for (int level = current - 1; level >= 0; --level) {
        FixTarget target;
        target.level = level;
        QList<bool> fixed(reasons.size(), false);
        const auto remainingTotal = [&] {
            QList<Reason> remaining;
            for (qsizetype i = 0; i < reasons.size(); ++i) {
                if (!fixed[i])
                    remaining.append(reasons[i]);
            }
            return SumPoints(remaining);
        };
        float after = total;
        const auto reached = [&] {
            const std::optional<int> found = VerdictLevel(after, limits);
            return found && *found <= level;
        };
        for (qsizetype index : candidates) {
            if (reached())
                break;
            fixed[index] = true;
            target.steps.append({ reasons[index].ruleName, reasons[index].points });
            after = remainingTotal();
        }
        target.reachable = reached();
        target.totalAfter = after;
        targets.append(target);
    }
    return targets;
}

} // namespace norvale
