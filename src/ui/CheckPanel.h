#pragma once

#include "CheckRun.h"
#include "ReadinessCheck.h"
#include "ReportScorer.h"
#include "Thresholds.h"

#include <QList>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

class QCheckBox;
class QFileSystemWatcher;
class QLabel;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace norvale {

class ButtonPlus;
class CheckReports;
class CheckRun;
class ReadinessLine;
class ThresholdBox;
class UserGrid;
struct CheckOutcome;

// The main window's controls that the check panel works on, by the object
// names the window gives them. The window makes the controls and keeps this
// set; its check panel borrows it.
struct CheckPanelControls
{
    QLineEdit *fileName = nullptr; // txtFileName
    ButtonPlus *fileButton = nullptr; // cmdFileName
    ButtonPlus *checkNow = nullptr; // cmdCheckNow
    QTimer *timer = nullptr; // Timer1
    QWidget *panel = nullptr; // picCheck_0
    QLabel *results = nullptr; // picResults
    QLabel *score = nullptr; // lblScore
    QLabel *process = nullptr; // lblProcess
    QLabel *verdict = nullptr; // lblGiudizio
    QTreeWidget *list = nullptr; // lvwResults
    QCheckBox *hideZero = nullptr; // chkHideZero
    QCheckBox *online = nullptr; // chkOnlineChecks
    UserGrid *grid = nullptr; // UserGrid1
    std::array<ThresholdBox *, 5> thresholds {}; // txtScore_0 to txtScore_4
    ReadinessLine *readinessLine = nullptr; // lblReadiness
    ButtonPlus *reportButton = nullptr; // cmdReport
};

// The check panel's behaviour: choosing the message file, running a check and
// showing its results. It works on the window's controls handed to it
// (CheckPanelControls), so the window lays them out and this class gives them
// life.
//
// A check runs without blocking the window: the click on cmdCheckNow starts
// Timer1, its tick disables the check panel, shows the wait cursor and starts
// the checker. The results show as soon as the checker's test run has been
// scored; the panel takes input again when its second run has ended too.
// A check that failed shows a warning and leaves the results empty.
//
// With the results, lblReadiness sums up the message's sending readiness; a
// click on it opens the full report at its sending readiness section. When
// network tests are allowed, the readiness checks that ask the DNS run on a
// thread of their own after the results are shown, and the summary and the
// report take their findings when they end.
//
// The window accepts dropped files: a local file dropped on it (or on the file
// name box) becomes the file name.
class CheckPanel : public QObject
{
    Q_OBJECT

public:
    // `window` is the main window holding the controls; it becomes the parent.
    // The controls are borrowed: the window keeps them, every one set, for as
    // long as this panel lives.
    CheckPanel(QWidget *window, const CheckPanelControls &controls);
    ~CheckPanel() override;

    // Puts a path into the file name box (from the command line or a drop).
    // Ignored while a check runs.
    void setFileName(const QString &path);
    // True while a check runs (from the click until the checker's second run has ended).
    bool isChecking() const;
    // Stops a running check at once (the window is closing): the checker is
    // killed, the panel enabled and the cursor restored; checkFinished follows.
    // Nothing when idle.
    void stop();
    // The full report of the results on screen (cmdReport opens it).
    CheckReports *reports() const { return m_reports; }
    // Where a check takes the rule score list from; by default the grid's
    // Configuration. The window adds the scores its grid has no row for.
    void setRuleScoreSource(std::function<QString()> source);
    // The checker each new check runs on; by default (an empty factory) the
    // checker started afresh for every check.
    void setCheckerFactory(CheckerFactory factory) { m_checkerFactory = std::move(factory); }
    // When on, the file named in the box is checked again by itself whenever
    // it changes on disk. The changes of one save (an editor that truncates,
    // writes and renames) give one check, once the file has been quiet for
    // SaveSettleMilliseconds; a save during a check gives one more check after it.
    void setCheckOnSave(bool on);
    bool checkOnSave() const { return m_checkOnSave; }
    static constexpr int SaveSettleMilliseconds = 500;

signals:
    // A check has ended: failed, stopped or with its results on screen.
    void checkFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void SelectFile();
    void onCheckNowClicked();
    void onTimerTick();
    void CheckFile();
    void onReportReady(const CheckOutcome &outcome);
    void onRunFinished();
    void endCheck();
    void ResultReset();
    void ShowResults(float score, const QList<Reason> &reasons);
    void setBar(int index);
    void onHeaderClicked(int column);
    void showSelectedReason();
    void warn(const QString &text);
    BandLimitArray bandLimits() const;
    void showReadinessReport();
    void startNetworkChecks();
    void watchNamedFile();
    void onWatchedPathChanged();
    void onSaveSettled();

    // What tells one version of a file from another.
    struct FileStamp
    {
        bool exists = false;
        qint64 modified = 0; // nanoseconds
        qint64 size = 0;
        quint64 device = 0;
        quint64 inode = 0;
        friend bool operator==(const FileStamp &, const FileStamp &) = default;
    };
    static FileStamp stampOf(const QString &path);
    QString namedFilePath() const;

    QWidget *m_window = nullptr;
    const CheckPanelControls &m_ui; // the window's
    int m_pointsWidth = 0; // the points column's width as the window laid it out
    std::function<QString()> m_ruleScores;
    std::optional<ReadinessResult> m_readiness; // of the file being checked or last checked
    quint64 m_readinessRound = 0; // counts the results shown, so late network findings are dropped

    CheckReports *m_reports = nullptr;
    bool m_checkedOnline = false;

    CheckRun *m_run = nullptr; // the running check; null when none runs
    CheckerFactory m_checkerFactory;

    bool m_checkOnSave = false;
    QFileSystemWatcher *m_watcher = nullptr; // the named file and its folder, while checking on save
    QTimer *m_saveSettle = nullptr;
    FileStamp m_stamp; // the named file as last checked or first watched
    bool m_checkAfterThis = false; // the file was saved during the check that runs
    bool m_checking = false; // from the tick until the check has ended
    int m_sortColumn = -1; // none until the first header click
    Qt::SortOrder m_sortOrder = Qt::DescendingOrder;
};

} // namespace norvale
