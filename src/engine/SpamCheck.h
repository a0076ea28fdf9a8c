#pragma once

#include "Process.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMetaType>
#include <QObject>
#include <QString>

#include <chrono>
#include <optional>

namespace norvale {

// The two checker executables.
struct CheckerPaths
{
    QString testRun; // <app folder>/spamassassin/spamassassin if executable, else "spamassassin" on PATH;
                     // empty when none
    QString secondRun; // <app folder>/bin/spamassassin if executable, else "spamassassin" on PATH; empty when
                       // none
    // When PATH holds no executable "spamassassin" but a file of that name
    // without the execute permission, that file is named: it then fails to
    // start (NotStarted, "Permission denied") instead of passing for missing.
    static CheckerPaths resolve(const QString &applicationFolder = QCoreApplication::applicationDirPath());
};

struct SpamCheckResult
{
    enum class Status
    {
        Ok, // the report holds the section
        NotFound, // no checker program
        NotStarted, // the program exists but could not be started, or a file could not be opened (a
                    // message file that can no longer be read is named in detail)
        Crashed, // killed by a signal
        ExitedWithError, // exit code other than 0
        TimedOut, // stopped after the time limit
        NoReportSection, // ran, but its report (or what of it could be read) has no "Content analysis
                         // details"
        Cancelled // stopped by SpamCheckJob::cancel()
    };
    Status status = Status::Ok;
    QString section; // ExtractReportSection of the report; non-empty exactly when Ok
    QString checkerPath; // the program that was (to be) run; "spamassassin" when NotFound
    int exitCode = 0;
    std::chrono::milliseconds timeLimit { 0 }; // the limit that stopped a TimedOut run
    QString detail; // what went wrong in the program's or the system's words, for messages
    QString checkerSaid; // for a run that went wrong: the end of what the checker wrote to its standard
                         // error, as it wrote it (trimmed); empty when it said nothing
    bool ok() const { return status == Status::Ok; }
};

// Only this much of the report's end is read. The section is the report's last
// part and a few KiB long; a runaway checker cannot make us read gigabytes.
// A section longer than this is not found (NoReportSection).
inline constexpr qint64 ReportReadLimit = qint64(4) * 1024 * 1024;

// Reads the end of a report file (see ReportReadLimit) and cuts out its
// section: Ok with the section, or NoReportSection saying why.
void ReadReportSection(const QString &reportPath, SpamCheckResult &result);

// The checker's environment: ours, with LANGUAGE and LC_ALL set to C so its
// report is in English and its section heading can be found.
QProcessEnvironment CheckerEnvironment();

// One kind of checker: what runs the checker on a message without blocking the
// thread. A start() runs the test run, which writes the report file and gives
// its section, then the second run on the same message.
//
// Every start() leads to exactly one reportReady() followed by one finished().
// reportReady() comes as soon as the test run's report has been read (or the
// test run failed), before the second run starts; finished() comes when the
// second run has ended. A start() while a check runs is ignored. cancel()
// kills whatever runs at once: reportReady(Cancelled) follows when the test
// run was going on, then finished().
class CheckerJob : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start(const QString &messagePath, const QString &reportPath, bool online) = 0;
    virtual bool isRunning() const = 0;
    virtual void cancel() = 0;

signals:
    void reportReady(const norvale::SpamCheckResult &result);
    void finished();
};

// The checker started afresh for every run: the test run (-t, plus -L when
// not online) with the message file on its standard input and its standard
// output written to the report file, then the second run (-R, output
// discarded) on the same message. The second run follows a test run that
// ended, failed ones too; it does not follow one that was cancelled, timed
// out or crashed, since it would hang or crash the same way and keep the
// user waiting twice as long.
class SpamCheckJob : public CheckerJob
{
    Q_OBJECT

public:
    explicit SpamCheckJob(QObject *parent = nullptr);

    // Runs the checkers given to setPaths(), or else those CheckerPaths::resolve()
    // finds at this moment.
    void start(const QString &messagePath, const QString &reportPath, bool online) override;
    void start(const QString &messagePath, const QString &reportPath, bool online, const CheckerPaths &paths);
    bool isRunning() const override { return m_stage != Stage::Idle; }
    // Kills the running checker and ends the check: reportReady(Cancelled) when
    // the test run was going on, then finished(). Nothing when idle.
    void cancel() override;
    // Each of the two runs gets this long (CheckerTimeLimit unless changed).
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }
    void setPaths(const CheckerPaths &paths) { m_fixedPaths = paths; }

private:
    enum class Stage
    {
        Idle,
        TestRun,
        SecondRun
    };
    void onProcessFinished(const ProcessOutcome &outcome);
    void startSecondRun();
    void end();

    Process m_process;
    QElapsedTimer m_clock; // since the run on its way started
    Stage m_stage = Stage::Idle;
    bool m_cancelled = false;
    QString m_messagePath;
    QString m_reportPath;
    CheckerPaths m_paths;
    std::optional<CheckerPaths> m_fixedPaths;
    std::chrono::milliseconds m_timeLimit = CheckerTimeLimit;
};

// The same check as SpamCheckJob, waited for in a nested event loop (timers and
// painting go on, user input waits). Returns the test run's result; the second
// run has ended when it returns.
SpamCheckResult RunSpamCheck(const QString &messagePath, const QString &reportPath, bool online,
    const CheckerPaths &paths = CheckerPaths::resolve(),
    std::chrono::milliseconds timeLimit = CheckerTimeLimit);

} // namespace norvale

Q_DECLARE_METATYPE(norvale::SpamCheckResult)
