#pragma once

#include "CheckOptions.h"
#include "FileCheck.h"
#include "ReportRenderer.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

namespace norvale {

// norvale-check's full report: what --explain, --html, --compare, --baseline
// and --json add to the plain check of each file.
class ReportOutput
{
public:
    ReportOutput(const CheckOptions &options, const CheckSettings &settings);

    // Reads the --baseline file; the message when it is not a saved result.
    std::optional<QString> prepare();

    // The report of a checked file: the evidence gathered when --explain or
    // --html asks for it, the change when --compare or --baseline does.
    FullReport reportFor(const FileCheckResult &result);

    QJsonObject json(const FullReport &report) const;
    // The text under a file's table: the full explanation for --explain, the
    // change alone for --baseline and for the second file of --compare.
    QString text(const FullReport &report) const;
    // Writes the --html file once every file is checked; the message when
    // that failed.
    std::optional<QString> finish();
    // A compared file scored higher than before.
    bool worse() const { return m_worse; }

private:
    const CheckOptions &m_options;
    const CheckSettings &m_settings;
    const RuleGuide &m_guide;
    QByteArray m_baseline;
    std::optional<ScoreResult> m_previous; // the first file of --compare
    QList<FullReport> m_reports; // for --html
    bool m_worse = false;
};

} // namespace norvale
