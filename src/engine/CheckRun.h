#pragma once

#include "MessageFile.h"
#include "ReadinessCheck.h"
#include "ReportScorer.h"
#include "SpamCheck.h"
#include "WorkDir.h"

#include <QElapsedTimer>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class QTemporaryFile;

namespace norvale {

// What to check and with which settings, in the form the window holds them.
struct CheckRequest
{
    QString path; // as typed or named; leading and trailing spaces are not part of it
    QString rules; // the rule score list the reasons are scored with
    QStringList thresholdBoxes; // the five threshold box texts the verdict level comes from
    bool online = false; // the checker's network tests allowed
    bool readiness = false; // also check the sending readiness (offline), of the private copy
};

// How a check ended, and where.
struct CheckOutcome
{
    enum class Stage
    {
        NoFileName, // the name was empty or spaces only
        MessageFile, // the file was refused: fileStatus says why
        WorkDir, // the private working folder, or a file in it, could not be used: workDir says why
        Checker, // the checker gave no section: check says why (Cancelled when stopped)
        Scored // the section was scored: score and level hold the result
    };
    Stage stage = Stage::NoFileName;
    QString messagePath; // the name trimmed of spaces
    MessageFileStatus fileStatus = MessageFileStatus::NotFound;
    WorkDirResult workDir;
    SpamCheckResult check;
    ScoreResult score;
    std::optional<int> level; // none for a score past the last limit
    std::optional<ReadinessResult> readiness; // when asked for, once the private copy was made
    bool ok() const { return stage == Stage::Scored; }
    bool cancelled() const
    {
        return stage == Stage::Checker && check.status == SpamCheckResult::Status::Cancelled;
    }
};

// Makes the checker a check runs with; the caller owns it.
using CheckerFactory = std::function<CheckerJob *()>;

// One check of a message file, the same for the window and the command line:
// the name trimmed of spaces, the file opened once and judged
// (OpenMessageFile), the private working folder (GetTempDir), a private copy
// of the message and a report file of this check's own in it, the checker's
// two runs on that copy, the report's section scored with the rule overrides
// and the verdict level found. The copy makes both runs read the bytes that
// were judged, whatever happens to the file's name meanwhile; the files are
// removed as soon as they are no longer needed (they hold the whole message):
// the report once it has been read, the copy when the second run has ended.
//
// start() runs the steps up to the checker's start on the calling thread and
// returns false when the check ends there (outcome() says why; no signal
// follows). When it returns true the checker runs: resultReady() comes once
// the test run's report is scored (or failed), finished() when the second run
// has ended too. The owning thread's event loop must run.
class CheckRun : public QObject
{
    Q_OBJECT

public:
    explicit CheckRun(QObject *parent = nullptr);
    // Stops a running check the way cancel() does, without its signals.
    ~CheckRun() override;

    // The checker for the checks to come; by default a SpamCheckJob that runs
    // the checker programs found when the check starts.
    void setCheckerFactory(CheckerFactory factory) { m_factory = std::move(factory); }

    bool start(const CheckRequest &request);
    bool isRunning() const { return m_running; }
    // Ends a running check at once: the checker is killed with everything it
    // started, the check's files are removed, then resultReady() (with a
    // Cancelled check, unless the result was given already) and finished()
    // are emitted before it returns. Nothing when idle.
    void cancel();

    // The outcome so far: the whole one after resultReady() or a false start().
    const CheckOutcome &outcome() const { return m_outcome; }

    // Cancels every check running in this program (the program is being
    // ended by a signal).
    static void cancelAll();

signals:
    void resultReady(const norvale::CheckOutcome &outcome);
    void finished();

private:
    bool refuse(CheckOutcome::Stage stage);
    void onReportReady(const SpamCheckResult &result);
    void onCheckerFinished();
    void end(bool emitSignals);

    CheckerFactory m_factory;
    CheckerJob *m_checker = nullptr;
    std::unique_ptr<QTemporaryFile> m_copy;
    std::unique_ptr<QTemporaryFile> m_report;
    CheckRequest m_request;
    CheckOutcome m_outcome;
    bool m_running = false;
    bool m_reported = false;
    QElapsedTimer m_clock; // since the checker started
};

// The same check, waited for in a nested event loop (timers go on, user input
// waits). Returns the outcome; the second run has ended when it returns.
CheckOutcome RunCheck(const CheckRequest &request, const CheckerFactory &factory = {});

} // namespace norvale

Q_DECLARE_METATYPE(norvale::CheckOutcome)
