#pragma once

#include <QMetaType>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <optional>

namespace norvale {

// How long one checker run may take before it is stopped. A check takes a few
// seconds; network tests that wait for slow servers take longer, but never this.
inline constexpr std::chrono::milliseconds CheckerTimeLimit { 120000 };

// One program run. The program is started directly with its argument list, never
// through a shell, so nothing in a path or argument is interpreted.
struct ProcessRequest
{
    QString program;
    QStringList arguments;
    QString standardInputFile; // read as the program's standard input; empty: no input (end of file at once)
    QString standardOutputFile; // created or truncated for the program's standard output; empty: discarded
    QString standardErrorFile; // when set, created or truncated for the program's standard error, which is
                               // then not kept in ProcessOutcome::standardError
    std::chrono::milliseconds timeLimit = CheckerTimeLimit; // zero or less: no limit
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
};

struct ProcessOutcome
{
    enum class Status
    {
        Finished,
        FailedToStart,
        Crashed,
        TimedOut,
        Cancelled
    };
    Status status = Status::FailedToStart;
    int exitCode = -1; // valid when Finished
    QString errorString; // why it failed to start or crashed
    QString standardError; // the last few KiB the program wrote to its standard error
};

// Runs one request without blocking and tells when it has ended. The program is
// the leader of its own process group; a run past its time limit or cancelled is
// killed with its whole group (SIGKILL, which a hanging program cannot ignore).
// Needs a QCoreApplication; the event loop of the owning thread must run.
class Process : public QObject
{
    Q_OBJECT

public:
    explicit Process(QObject *parent = nullptr);
    // Kills a program that still runs (without emitting finished).
    ~Process() override;

    // Starts the request; ignored while a run is going on. finished() is always
    // emitted later, never from within start(), even when starting fails.
    void start(const ProcessRequest &request);
    // True from start() until finished() has been emitted.
    bool isRunning() const { return m_running; }
    // Kills the running program with its group and waits for its end (a
    // moment: nothing outlives SIGKILL); finished() then reports Cancelled.
    void cancel();

    // The outcome of the last run that has ended.
    const ProcessOutcome &outcome() const { return m_outcome; }

signals:
    void finished(const norvale::ProcessOutcome &outcome);

private:
    void stop(ProcessOutcome::Status reason);
    void killGroup();
    void readStandardError();
    void onErrorOccurred(QProcess::ProcessError error);
    void onFinished(int exitCode, QProcess::ExitStatus exitStatus);
    void end(const ProcessOutcome &outcome);

    QProcess *m_process = nullptr;
    QTimer m_timeLimit;
    QByteArray m_standardError;
    std::optional<ProcessOutcome::Status> m_stopReason;
    ProcessOutcome m_outcome;
    bool m_running = false;
    bool m_ending = false;
    bool m_standardErrorToFile = false; // then there is nothing to read from the process
};

// Starts the program (no shell) and waits for its end or the time limit; a run
// past the limit is killed (TimedOut). A program that cannot be started returns
// FailedToStart with the reason at once. While waiting, a nested event loop keeps
// the thread's timers and painting going; user input waits until the call returns.
ProcessOutcome RunAndWait(const ProcessRequest &request);

} // namespace norvale

Q_DECLARE_METATYPE(norvale::ProcessOutcome)
