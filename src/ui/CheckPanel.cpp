#include "CheckPanel.h"

#include "Artwork.h"
#include "ButtonPlus.h"
#include "CheckFailureText.h"
#include "CheckReports.h"
#include "CheckRun.h"
#include "FileDialog.h"
#include "MessageBox.h"
#include "Numbers.h"
#include "ReadinessLine.h"
#include "ReadinessNetwork.h"
#include "ReadinessReport.h"
#include "ReasonItem.h"
#include "Startup.h"
#include "Text.h"
#include "TextCatalogue.h"
#include "TextIds.h"
#include "ThresholdBox.h"
#include "Thresholds.h"
#include "UserGrid.h"

#include <QApplication>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <memory>
#include <utility>

#include <sys/stat.h>

namespace norvale {

namespace {

// The local file a drag carries, when it carries exactly one.
QString DroppedFile(const QMimeData *data)
{
    if (!data || !data->hasUrls())
        return {};
    const QList<QUrl> urls = data->urls();
    if (urls.size() != 1 || !urls.first().isLocalFile())
        return {};
    return urls.first().toLocalFile();
}

} // namespace

CheckPanel::CheckPanel(QWidget *window, const CheckPanelControls &controls)
    : QObject(window)
    , m_window(window)
    , m_ui(controls)
{
    m_ruleScores = [grid = m_ui.grid] { return grid->configuration(); };

    connect(m_ui.fileButton, &ButtonPlus::clicked, this, &CheckPanel::SelectFile);
    connect(m_ui.checkNow, &ButtonPlus::clicked, this, &CheckPanel::onCheckNowClicked);
    connect(m_ui.fileName, &QLineEdit::textChanged, this, &CheckPanel::ResultReset);
    connect(m_ui.fileName, &QLineEdit::textChanged, this, &CheckPanel::watchNamedFile);
    m_ui.timer->setSingleShot(true);
    connect(m_ui.timer, &QTimer::timeout, this, &CheckPanel::onTimerTick);

    // Rows keep the order they were added in until the first header click.
    m_ui.list->setSortingEnabled(false);
    m_ui.list->header()->setSectionsClickable(true);
    m_ui.list->header()->setSortIndicatorShown(false);
    m_pointsWidth = m_ui.list->columnWidth(ReasonItem::PointsColumn);
    connect(m_ui.list->header(), &QHeaderView::sectionClicked, this, &CheckPanel::onHeaderClicked);
    connect(m_ui.list, &QTreeWidget::itemDoubleClicked, this, &CheckPanel::showSelectedReason);
    connect(m_ui.readinessLine, &ReadinessLine::clicked, this, &CheckPanel::showReadinessReport);

    m_window->setAcceptDrops(true);
    m_window->installEventFilter(this);
    m_ui.fileName->installEventFilter(this);

    m_reports = new CheckReports(window);
    connect(m_ui.reportButton, &ButtonPlus::clicked, m_reports, &CheckReports::open);
    connect(m_reports, &CheckReports::availabilityChanged, m_ui.reportButton, &QWidget::setEnabled);

    ResultReset();
}

CheckPanel::~CheckPanel()
{
    if (m_checking)
        QApplication::restoreOverrideCursor();
}

void CheckPanel::setFileName(const QString &path)
{
    if (isChecking())
        return;
    m_ui.fileName->setText(path);
}

void CheckPanel::setRuleScoreSource(std::function<QString()> source)
{
    m_ruleScores = std::move(source);
}

bool CheckPanel::isChecking() const
{
    return m_checking || m_ui.timer->isActive();
}

void CheckPanel::stop()
{
    m_ui.timer->stop();
    m_checkAfterThis = false;
    if (!m_checking)
        return;
    if (CheckRun *run = std::exchange(m_run, nullptr)) {
        // Killed and cleaned up at once; it is no longer ours to hear from.
        run->disconnect(this);
        run->cancel();
        run->deleteLater();
    }
    m_ui.process->clear();
    endCheck();
}

bool CheckPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window && watched != m_ui.fileName)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (isChecking() || DroppedFile(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString path = DroppedFile(drop->mimeData());
        if (isChecking() || path.isEmpty())
            return false;
        setFileName(path);
        drop->acceptProposedAction();
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}

// Picks the message file; a cancelled dialog leaves the box as it was.
void CheckPanel::SelectFile()
{
    const QString path = FileDialog::getOpenFileName(
        m_window, GetText(TextId::FileDialogTitle), QtFileFilter(GetText(TextId::FileDialogFilter)));
    if (!path.isEmpty())
        m_ui.fileName->setText(path);
}

// Two clicks within the timer's interval give one check.
void CheckPanel::onCheckNowClicked()
{
    if (!m_checking && !m_ui.timer->isActive())
        m_ui.timer->start();
}

void CheckPanel::onTimerTick()
{
    m_ui.timer->stop();
    if (m_checking)
        return;
    m_checking = true;
    m_ui.panel->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    CheckFile();
    if (!m_run)
        endCheck();
}

// Starts the check of the file named in the box; the results follow in
// onReportReady. Ends without a check when the file or the working folder is
// refused.
void CheckPanel::CheckFile()
{
    ResultReset();
    CheckRequest request;
    request.path = m_ui.fileName->text();
    request.rules = m_ruleScores(); // the grid, and the settings' scores it cannot show
    for (const QLineEdit *box : m_ui.thresholds)
        request.thresholdBoxes.append(box->text());
    request.online = m_ui.online->checkState() != Qt::Unchecked;
    request.readiness = true;
    m_checkedOnline = request.online;

    // A check started by a click counts as seen: a later event of the folder
    // about another file checks nothing.
    m_stamp = stampOf(namedFilePath());

    auto *run = new CheckRun(this);
    if (m_checkerFactory)
        run->setCheckerFactory(m_checkerFactory);
    if (!run->start(request)) {
        const CheckOutcome refused = run->outcome();
        delete run;
        warn(CheckOutcomeFailureText(refused, FailureWording::Window));
        return;
    }
    m_run = run;
    // Of the private copy the check judged; a few milliseconds even for a
    // large newsletter.
    m_readiness = run->outcome().readiness;
    m_ui.process->setText(GetText(TextId::Checking));
    connect(m_run, &CheckRun::resultReady, this, &CheckPanel::onReportReady);
    connect(m_run, &CheckRun::finished, this, &CheckPanel::onRunFinished);
}

// The test run has ended: its section is scored and shown at once, while the
// checker's second run goes on. A failed run leaves the results empty.
void CheckPanel::onReportReady(const CheckOutcome &outcome)
{
    if (outcome.cancelled())
        return;
    if (!outcome.ok()) {
        ResultReset();
        warn(CheckOutcomeFailureText(outcome, FailureWording::Window));
        return;
    }
    ShowResults(outcome.score.total, outcome.score.reasons);
    if (m_readiness)
        m_ui.readinessLine->showSummary(*m_readiness);
    m_reports->resultShown(outcome.messagePath, outcome.score, bandLimits(),
        m_ui.hideZero->checkState() != Qt::Unchecked, m_checkedOnline);
    m_reports->setReadiness(m_readiness);
    if (m_readiness && m_checkedOnline)
        startNetworkChecks();
    else if (m_readiness)
        m_readiness->signedMessage.clear();
    m_ui.reportButton->setToolTip(m_reports->changeSummary());
}

void CheckPanel::onRunFinished()
{
    if (CheckRun *run = std::exchange(m_run, nullptr))
        run->deleteLater();
    m_ui.process->clear();
    endCheck();
}

void CheckPanel::endCheck()
{
    if (!m_checking)
        return;
    m_checking = false;
    QApplication::restoreOverrideCursor();
    m_ui.panel->setEnabled(true);
    emit checkFinished();
    if (std::exchange(m_checkAfterThis, false) && m_checkOnSave)
        m_ui.timer->start();
}

void CheckPanel::setCheckOnSave(bool on)
{
    if (m_checkOnSave == on)
        return;
    m_checkOnSave = on;
    if (!m_watcher) {
        m_watcher = new QFileSystemWatcher(this);
        connect(m_watcher, &QFileSystemWatcher::fileChanged, this, &CheckPanel::onWatchedPathChanged);
        connect(m_watcher, &QFileSystemWatcher::directoryChanged, this, &CheckPanel::onWatchedPathChanged);
        m_saveSettle = new QTimer(this);
        m_saveSettle->setSingleShot(true);
        m_saveSettle->setInterval(SaveSettleMilliseconds);
        connect(m_saveSettle, &QTimer::timeout, this, &CheckPanel::onSaveSettled);
    }
    watchNamedFile();
}

// The file as a check would name it: trimmed of spaces, from the current folder.
QString CheckPanel::namedFilePath() const
{
    const QString name = TrimSpaces(m_ui.fileName->text());
    return name.isEmpty() ? QString() : QFileInfo(name).absoluteFilePath();
}

CheckPanel::FileStamp CheckPanel::stampOf(const QString &path)
{
    struct stat info
    {
    };
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return { true, qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec, qint64(info.st_size),
        quint64(info.st_dev), quint64(info.st_ino) };
}

// Watches the named file and its folder: an editor that saves by writing a
// new file and renaming it over the old one replaces the file the watcher
// held, and only the folder tells.
void CheckPanel::watchNamedFile()
{
    if (!m_watcher)
        return;
    m_saveSettle->stop();
    m_checkAfterThis = false;
    if (const QStringList watched = m_watcher->files() + m_watcher->directories(); !watched.isEmpty())
        m_watcher->removePaths(watched);
    const QString path = namedFilePath();
    if (!m_checkOnSave || path.isEmpty())
        return;
    m_stamp = stampOf(path);
    m_watcher->addPath(QFileInfo(path).absolutePath());
    if (m_stamp.exists)
        m_watcher->addPath(path);
}

void CheckPanel::onWatchedPathChanged()
{
    if (m_checkOnSave)
        m_saveSettle->start(); // again: the save may not be over
}

// The file has been quiet for a moment: checked again when it is another
// version than the one last seen, and is there.
void CheckPanel::onSaveSettled()
{
    const QString path = namedFilePath();
    const FileStamp stamp = stampOf(path);
    if (!stamp.exists)
        return; // gone, or not back yet: its return is a change of the folder
    if (!m_watcher->files().contains(path))
        m_watcher->addPath(path);
    if (stamp == m_stamp)
        return;
    m_stamp = stamp;
    if (m_checking)
        m_checkAfterThis = true;
    else if (!m_ui.timer->isActive())
        m_ui.timer->start();
}

void CheckPanel::ResultReset()
{
    setBar(0);
    m_ui.verdict->clear();
    m_ui.score->clear();
    m_ui.process->clear();
    m_ui.list->clear();
    m_reports->clear();
    m_ui.reportButton->setToolTip(QString());
    m_ui.readinessLine->clearSummary();
    m_readiness.reset();
    ++m_readinessRound; // network findings still to come belong to results no longer shown
}

// Lists the reasons (zero rows left out when chkHideZero says so), shows the
// score and the verdict of its level under the thresholds of the five boxes.
BandLimitArray CheckPanel::bandLimits() const
{
    QStringList boxes;
    for (const QLineEdit *box : m_ui.thresholds)
        boxes.append(box->text());
    return BandLimits(boxes);
}

void CheckPanel::ShowResults(float score, const QList<Reason> &reasons)
{
    const BandLimitArray limits = bandLimits();
    const bool hideZero = m_ui.hideZero->checkState() != Qt::Unchecked;

    m_ui.list->clear();
    QList<QTreeWidgetItem *> rows;
    for (qsizetype i = 0; i < reasons.size(); ++i) {
        if (hideZero && reasons[i].points == 0.0f) // minus zero too
            continue;
        rows.append(new ReasonItem(int(i + 1), reasons[i]));
    }
    m_ui.list->addTopLevelItems(rows);
    // A number must never be cut short: the desktop's font runs wider than the
    // one the column widths were chosen for, so the points column grows to its
    // widest number ("1000").
    m_ui.list->resizeColumnToContents(ReasonItem::PointsColumn);
    if (m_ui.list->columnWidth(ReasonItem::PointsColumn) < m_pointsWidth)
        m_ui.list->setColumnWidth(ReasonItem::PointsColumn, m_pointsWidth);
    if (m_sortColumn >= 0)
        m_ui.list->sortItems(m_sortColumn, m_sortOrder);

    m_ui.score->setText(FormatUserNumber(score));
    m_ui.process->clear();
    if (const std::optional<int> level = VerdictLevel(score, limits)) {
        m_ui.verdict->setText(VerdictText(*level));
        setBar(VerdictBar(*level));
    }
}

void CheckPanel::setBar(int index)
{
    m_ui.results->setPixmap(BarPicture(index));
}

// The same column again flips the order; another column sorts descending first.
void CheckPanel::onHeaderClicked(int column)
{
    if (column == m_sortColumn) {
        m_sortOrder = m_sortOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    } else {
        m_sortColumn = column;
        m_sortOrder = Qt::DescendingOrder;
    }
    m_ui.list->header()->setSortIndicatorShown(true);
    m_ui.list->sortItems(m_sortColumn, m_sortOrder);
}

void CheckPanel::showSelectedReason()
{
    const QList<QTreeWidgetItem *> selected = m_ui.list->selectedItems();
    if (selected.isEmpty())
        return;
    const auto *row = static_cast<const ReasonItem *>(selected.first());
    QStringList lines;
    for (int column = 0; column < m_ui.list->columnCount(); ++column)
        lines.append(GetText(TextId::PointsColumn + column) + QStringLiteral(": ") + row->detailText(column));
    // Below the row: what the guide says about its rule.
    lines.append(QString());
    lines.append(CheckReports::guideText(row->reason().ruleName));
    MessageBox::information(m_window, lines.join(u'\n'));
}

// Opens (or brings forward) the full report of the last check at its
// sending readiness section.
void CheckPanel::showReadinessReport()
{
    if (m_readiness)
        m_reports->openReadiness();
}

// The DNS lookups take up to a few seconds each: they run on a thread of
// their own, on a copy of the offline findings, and their findings replace
// the summary and the report's section only if those still show the same
// results. The thread ends by itself (every lookup has a time limit) and is
// deleted when it has.
void CheckPanel::startNetworkChecks()
{
    auto result = std::make_shared<ReadinessResult>(*m_readiness); // the message is shared, not copied
    m_readiness->signedMessage.clear();
    QThread *thread
        = QThread::create([result] { AddNetworkFindings(*result, DnsSettingsFromEnvironment()); });
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, this, [this, result, round = m_readinessRound] {
        if (round != m_readinessRound || !m_readiness)
            return;
        m_readiness = std::move(*result);
        m_ui.readinessLine->showSummary(*m_readiness);
        m_reports->setReadiness(m_readiness);
    });
    thread->start();
}

// A warning is read with the normal cursor, even in the middle of a check.
void CheckPanel::warn(const QString &text)
{
    QApplication::setOverrideCursor(Qt::ArrowCursor);
    MessageBox::warning(m_window, text);
    QApplication::restoreOverrideCursor();
}

} // namespace norvale
