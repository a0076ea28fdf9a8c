#include "CheckReports.h"

#include "Evidence.h"
#include "ReportTexts.h"
#include "ReportView.h"
#include "TextCatalogue.h"

#include <QFileInfo>
#include <QWidget>

namespace norvale {

CheckReports::CheckReports(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    dropEvidenceRun();
}

CheckReports::~CheckReports() = default;

// Replaces the evidence job by a fresh one: a run going on for older results
// is stopped and never reports (the cache is shared, so nothing is lost).
void CheckReports::dropEvidenceRun()
{
    if (m_evidence) {
        if (!m_evidence->isRunning())
            return;
        m_evidence->disconnect(this);
        m_evidence->cancel();
        m_evidence->deleteLater();
    }
    m_evidence = new EvidenceJob(this);
    connect(m_evidence, &EvidenceJob::ready, this, &CheckReports::onEvidenceReady);
    connect(m_evidence, &EvidenceJob::failed, this, &CheckReports::onEvidenceFailed);
}

void CheckReports::resultShown(
    const QString &path, const ScoreResult &result, const BandLimitArray &limits, bool hideZero, bool online)
{
    const QString key = QFileInfo(path).absoluteFilePath();
    FullReport report;
    report.path = path;
    report.score = result;
    report.limits = limits;
    report.hideZero = hideZero;
    report.changeAsked = true;
    if (const auto earlier = m_last.constFind(key); earlier != m_last.cend())
        report.change = CompareResults(*earlier, result);
    m_last.insert(key, result);

    m_current = report;
    m_currentKey = key;
    m_online = online;
    dropEvidenceRun();
    emit availabilityChanged(true);
    if (m_view && m_view->isVisible())
        open();
}

void CheckReports::setReadiness(const std::optional<ReadinessResult> &readiness)
{
    if (!m_current)
        return;
    m_current->readiness = readiness;
    if (m_current->readiness)
        m_current->readiness->signedMessage.clear(); // not needed for the report
    refreshView();
}

void CheckReports::clear()
{
    if (!m_current)
        return;
    m_current.reset();
    m_currentKey.clear();
    dropEvidenceRun();
    if (m_view)
        m_view->hide();
    emit availabilityChanged(false);
}

void CheckReports::open()
{
    if (!m_current)
        return;
    if (m_current->evidenceState == FullReport::EvidenceState::NotAsked) {
        if (const EvidenceMap *cached = m_evidence->cached(m_current->path)) {
            m_current->evidenceState = FullReport::EvidenceState::Ready;
            m_current->evidence = *cached;
        } else {
            dropEvidenceRun();
            m_current->evidenceState = FullReport::EvidenceState::Pending;
            m_evidence->start(m_current->path, m_online);
        }
    }
    if (!m_view)
        m_view = new ReportView(m_window);
    refreshView();
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
}

void CheckReports::openReadiness()
{
    open();
    if (m_view && m_current)
        m_view->showReadiness();
}

void CheckReports::refreshView()
{
    if (m_view && m_current)
        m_view->setReport(*m_current);
}

void CheckReports::onEvidenceReady(const QString &path, const EvidenceMap &evidence)
{
    if (!m_current || QFileInfo(path).absoluteFilePath() != m_currentKey)
        return;
    m_current->evidenceState = FullReport::EvidenceState::Ready;
    m_current->evidence = evidence;
    refreshView();
}

void CheckReports::onEvidenceFailed(const QString &path, const QString &reason)
{
    if (!m_current || QFileInfo(path).absoluteFilePath() != m_currentKey)
        return;
    m_current->evidenceState = FullReport::EvidenceState::Failed;
    m_current->evidenceError = reason;
    refreshView();
}

QString CheckReports::guideText(const QString &ruleName)
{
    const GuideEntry *entry = Guide().find(ruleName);
    if (!entry)
        return GetText(ReportText::NoGuideEntry);
    QStringList lines;
    const auto add = [&](int label, const QString &text) {
        if (!text.isEmpty())
            lines << GetText(label) + u' ' + text;
    };
    add(ReportText::Meaning, entry->meaning);
    add(ReportText::Why, entry->why);
    add(ReportText::Change, entry->change);
    if (entry->localOnly)
        lines << GetText(ReportText::LocalOnly);
    return lines.join(u'\n');
}

QString CheckReports::changeSummary() const
{
    if (!m_current || !m_current->change)
        return QString();
    return RenderChangeText(m_current->change).trimmed();
}

} // namespace norvale
