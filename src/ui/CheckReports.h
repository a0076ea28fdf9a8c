#pragma once

#include "ReportRenderer.h"
#include "ReportView.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>

#include <optional>

class QWidget;

namespace norvale {

class EvidenceJob;

// The window's side of the full report. It remembers the last result of each
// file checked in this run, so a new check of the same file shows what
// changed; it opens the report view on demand and only then runs the checker
// a second time for the evidence (never delaying the results, and once per
// file content).
class CheckReports : public QObject
{
    Q_OBJECT

public:
    explicit CheckReports(QWidget *window);
    ~CheckReports() override;

    // A check's results are on screen.
    void resultShown(const QString &path, const ScoreResult &result, const BandLimitArray &limits,
        bool hideZero, bool online);
    // The sending readiness of the results on screen, shown in their report
    // (again when the network checks have added their findings).
    void setReadiness(const std::optional<ReadinessResult> &readiness);
    // The results were cleared: there is no report until the next check.
    void clear();
    bool hasReport() const { return m_current.has_value(); }
    const std::optional<FullReport> &current() const { return m_current; }

    // Opens (or raises) the report view of the results on screen and starts
    // the evidence run when the evidence is not known yet.
    void open();
    // The same, scrolled to the sending readiness section.
    void openReadiness();
    ReportView *view() const { return m_view; }

    // The guide's text for a rule, for the row details box: meaning, why,
    // what to change and the local-copy note, or the fallback mark.
    static QString guideText(const QString &ruleName);
    // One line on the change of the total, or empty when there was no earlier check.
    QString changeSummary() const;

signals:
    void availabilityChanged(bool available);

private:
    void onEvidenceReady(const QString &path, const EvidenceMap &evidence);
    void onEvidenceFailed(const QString &path, const QString &reason);
    void refreshView();
    void dropEvidenceRun();

    QWidget *m_window = nullptr;
    QHash<QString, ScoreResult> m_last; // absolute path -> the last result shown for it
    std::optional<FullReport> m_current;
    QString m_currentKey;
    bool m_online = false;
    EvidenceJob *m_evidence = nullptr;
    QPointer<ReportView> m_view;
};

} // namespace norvale
