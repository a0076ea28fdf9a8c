#pragma once

#include "Evidence.h"
#include "FixPlan.h"
#include "ReadinessCheck.h"
#include "ReportScorer.h"
#include "ResultChange.h"
#include "RuleGuide.h"
#include "Thresholds.h"

#include <QList>
#include <QString>

#include <optional>

namespace norvale {

// Everything the full report of one checked file shows.
struct FullReport
{
    QString path;
    ScoreResult score;
    BandLimitArray limits { 1, 2, 4, 5, 8, 10000 }; // the default thresholds
    bool hideZero = false;

    enum class EvidenceState
    {
        NotAsked, // no evidence section
        Pending, // the evidence run is going on
        Ready,
        Failed
    };
    EvidenceState evidenceState = EvidenceState::NotAsked;
    EvidenceMap evidence;
    QString evidenceError; // why the evidence run failed

    bool changeAsked = false; // show the change section
    std::optional<ResultChange> change; // none: no earlier result to compare with

    std::optional<ReadinessResult> readiness; // the sending readiness section, when checked
};

// The rows the report lists: every reason, or those with points other than 0
// when zero rows are hidden.
QList<Reason> ShownReasons(const FullReport &report);
// The fix plan of a report, local-copy rules left out by the guide.
QList<FixTarget> ReportFixPlan(const FullReport &report, const RuleGuide &guide);

// The anchor of the sending readiness section in the HTML report.
inline constexpr char ReadinessAnchor[] = "readiness";

// The full report as one self-contained HTML document (several files one
// after another). Every text from the message, the checker or a file name is
// escaped; the document loads nothing (no images, style sheets, scripts or
// links to follow) and carries a policy that forbids loading anything.
QString RenderReportHtml(const QList<FullReport> &reports, const RuleGuide &guide);

// The part of the report the command line prints under its table: per rule
// the guide and the evidence, then the fix plan and the change. Every text
// from outside is made safe for a terminal.
QString RenderReportText(const FullReport &report, const RuleGuide &guide);

// The change since the last check as text lines, for the command line's
// --compare and --baseline.
QString RenderChangeText(const std::optional<ResultChange> &change);

} // namespace norvale
