#pragma once

#include "ReportRenderer.h"

#include <QJsonObject>

namespace norvale {

// The full report's additions to a file's entry in norvale-check's JSON:
//   "guide": {RULE: {"match": "own"|"family"|"none", "meaning", "why",
//             "change", "localOnly"}} for every listed rule,
//   "fixPlan": [{"level", "verdict", "reachable", "rules": [{"rule",
//             "points"}], "totalAfter"}],
//   "evidence": {RULE: {"matches": [...], "subRules": [...]}} when the
//             evidence was gathered, or "evidenceError" when that failed,
//   "change": {"totalBefore", "totalAfter", "delta", "rules": [{"rule",
//             "kind": "new"|"gone"|"changed", "before", "after", "delta"}]}
//             when a change was asked for (null when there was nothing to
//             compare with).
QJsonObject ReportJson(const FullReport &report, const RuleGuide &guide);

} // namespace norvale
