#include "ReportOutput.h"

#include "Logging.h"
#include "ReportJson.h"
#include "ReportTexts.h"
#include "TextCatalogue.h"

#include <QFile>
#include <QSaveFile>

namespace norvale {

namespace {

// A saved result is one JSON document of a few KiB per file.
constexpr qint64 BaselineSizeLimit = qint64(64) * 1024 * 1024;

} // namespace

ReportOutput::ReportOutput(const CheckOptions &options, const CheckSettings &settings)
    : m_options(options)
    , m_settings(settings)
    , m_guide(Guide())
{ }

std::optional<QString> ReportOutput::prepare()
{
    if (!m_options.baselineFile)
        return std::nullopt;
    QFile file(*m_options.baselineFile);
    if (file.open(QIODevice::ReadOnly) && file.size() <= BaselineSizeLimit)
        m_baseline = file.readAll();
    // A document that is no saved result is refused at once; one that holds
    // no result for some file shows "no earlier check" for that file.
    if (!IsSavedResult(m_baseline))
        return FillText(ReportText::BadBaseline, *m_options.baselineFile, *m_options.baselineFile);
    return std::nullopt;
}

FullReport ReportOutput::reportFor(const FileCheckResult &result)
{
    FullReport report;
    report.path = result.path;
    report.score = result.score;
    report.limits = BandLimits(m_settings.thresholdBoxes);
    report.hideZero = m_settings.hideZero;
    report.readiness = result.readiness;

    if (m_options.explain || m_options.htmlFile) {
        QString error;
        if (const std::optional<EvidenceMap> evidence
            = GatherEvidence(result.path.trimmed(), m_settings.online, &error)) {
            report.evidenceState = FullReport::EvidenceState::Ready;
            report.evidence = *evidence;
        } else {
            report.evidenceState = FullReport::EvidenceState::Failed;
            report.evidenceError = error;
        }
    }

    if (m_options.baselineFile) {
        report.changeAsked = true;
        if (const std::optional<ScoreResult> before = ScoreResultFromJson(m_baseline, result.path))
            report.change = CompareResults(*before, result.score);
    } else if (m_options.compare) {
        if (m_previous) {
            report.changeAsked = true;
            report.change = CompareResults(*m_previous, result.score);
        }
        m_previous = result.score;
    }
    if (report.change && report.change->delta() > 0.0f)
        m_worse = true;

    if (m_options.htmlFile)
        m_reports.append(report);
    return report;
}

QJsonObject ReportOutput::json(const FullReport &report) const
{
    return ReportJson(report, m_guide);
}

QString ReportOutput::text(const FullReport &report) const
{
    if (m_options.explain)
        return RenderReportText(report, m_guide);
    if (report.changeAsked)
        return RenderChangeText(report.change);
    return QString();
}

std::optional<QString> ReportOutput::finish()
{
    if (!m_options.htmlFile)
        return std::nullopt;
    QSaveFile file(*m_options.htmlFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(RenderReportHtml(m_reports, m_guide).toUtf8()) < 0
        || !file.commit())
        return FillText(ReportText::WriteFailed, *m_options.htmlFile, file.errorString());
    qCInfo(lcReport).noquote() << "full report written to" << *m_options.htmlFile;
    return std::nullopt;
}

} // namespace norvale
