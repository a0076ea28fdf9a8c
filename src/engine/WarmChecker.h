#pragma once

#include "Process.h"
#include "SpamCheck.h"

#include <QLoggingCategory>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <chrono>
#include <deque>
#include <memory>

class QTemporaryFile;

namespace norvale {

Q_DECLARE_LOGGING_CATEGORY(lcWarmChecker)

// The daemon and client programs of the warm checker.
struct WarmCheckerPaths
{
    QString daemon; // "spamd"; empty when none
    QString client; // "spamc"; empty when none
    // Each is looked for on PATH, then in the "sbin" folder beside each "bin"
    // folder of PATH (the daemon lives in /usr/sbin, which an ordinary user's
    // PATH often lacks).
    static WarmCheckerPaths resolve();
};

// How long the daemon may take to answer after its start: it compiles the
// whole rule set first, which takes a few seconds on a loaded machine.
inline constexpr std::chrono::milliseconds WarmStartTimeLimit { 90000 };
// How long one warm check may take before the daemon counts as hanging and the
// check is done the cold way.
inline constexpr std::chrono::milliseconds WarmCheckTimeLimit { 60000 };
// The largest message handed to the daemon; the client does not check larger
// ones at all, so they take the cold path.
inline constexpr qint64 WarmMessageSizeLimit = 256 * 1024 * 1024 - 1;

// The checker's daemon, kept running for this user so that a check no longer
// waits for the rule set to load.
//
// The daemon runs as the user (never as root: a program running as root keeps
// to the cold path), listens only on a socket of mode 0600 in the private
// working folder, reads the user's own ~/.spamassassin/user_prefs and keeps
// its learning files there, exactly like the cold checker, and runs network
// tests only when online checks are on. A record of its pid and the argument
// list it was started with lies beside the socket: a daemon left behind by a Norvale
// that ended abruptly is reused when it is ours, was started the same way and
// answers; otherwise it is ended first, so there are never two. The daemon
// ends with the object that started or reused it.
//
// Until the daemon answers, isReady() is false and checks take the cold path.
// Every failure (no daemon installed, a start that fails or does not answer in
// time, a daemon that dies or hangs) is logged to lcWarmChecker and leaves the
// cold path in use; it never interrupts the user.
class WarmChecker : public QObject
{
    Q_OBJECT

public:
    enum class State
    {
        Off, // not started, or ended
        Starting, // started or found, not answering yet
        Ready, // answers checks
        Failed // could not be used: failureReason() says why
    };

    explicit WarmChecker(QObject *parent = nullptr);
    // Ends the daemon (see stop()).
    ~WarmChecker() override;

    // Before start(): the programs, the folder for the socket and pid file
    // (ending with "/"; by default GetTempDir()), the folder whose
    // ".spamassassin" holds the user's preferences (by default the home
    // folder) and the start time limit.
    void setPaths(const WarmCheckerPaths &paths) { m_paths = paths; }
    void setWorkDir(const QString &folder) { m_workDir = folder; }
    void setHome(const QString &folder) { m_home = folder; }
    void setStartTimeLimit(std::chrono::milliseconds limit) { m_startLimit = limit; }
    // The checker run for the second run after each warm check (by default
    // the cold checker's second run program).
    void setSecondRunChecker(const QString &program) { m_secondRunChecker = program; }

    enum class Start
    {
        Always, // reuse a daemon, or start one
        IfRunning // reuse a daemon; start none (for a single check, which a start would only delay)
    };
    // Reuses or starts the daemon for this setting of online checks. A daemon
    // running with the other setting is replaced; the same one is kept.
    void start(bool online, Start how = Start::Always);
    // Ends the daemon and every process it started; the second run waiting or
    // going on is ended too.
    void stop();

    State state() const { return m_state; }
    bool isReady() const { return m_state == State::Ready; }
    // Another running Norvale owns the daemon: it is used, never ended.
    bool borrowed() const { return m_borrowed; }
    bool online() const { return m_online; }
    QString failureReason() const { return m_failure; }
    qint64 daemonPid() const { return m_pid; }
    QString socketPath() const;
    QString clientPath() const { return m_paths.client; }

    // The client's arguments for one check on this daemon.
    QStringList clientArguments() const;

    // A check found the daemon not answering: it is ended and started afresh
    // (a few times per session at most); checks take the cold path meanwhile.
    void reportLost(const QString &reason);

    // Runs the second run on a private copy of the message, after any queued
    // before; nothing waits for it. Through the daemon, it is the daemon
    // learning the message as wanted mail (what the checker's second run does
    // to the user's learning files with the installed configuration); without
    // one, the cold checker's second run at the lowest priority.
    void queueSecondRun(const QString &messagePath);
    bool secondRunPending() const { return m_secondRunning || !m_secondQueue.empty(); }

signals:
    void stateChanged(norvale::WarmChecker::State state);
    // The queue of second runs became empty.
    void secondRunsDone();

private:
    QStringList daemonArguments() const;
    QString pidFilePath() const;
    QString argumentsFilePath() const;
    QString logFilePath() const;
    bool reuseLeftover();
    bool writeRecord(qint64 pid, const QStringList &arguments);
    void endLeftover();
    void spawn();
    void poll();
    void onPingFinished(int exitCode, QProcess::ExitStatus status);
    void fail(const QString &reason);
    void notUsed(const QString &reason);
    void ended(const QString &reason);
    void setState(State state);
    void endDaemon();
    void startNextSecondRun();
    void onSecondRunFinished();

    WarmCheckerPaths m_paths = WarmCheckerPaths::resolve();
    QString m_workDir;
    QString m_home;
    QString m_secondRunChecker;
    std::chrono::milliseconds m_startLimit = WarmStartTimeLimit;
    State m_state = State::Off;
    bool m_online = false;
    QString m_failure;
    qint64 m_pid = 0;
    bool m_ownChild = false; // m_pid is our child: reap it
    bool m_borrowed = false; // another running Norvale owns m_pid: never end it
    int m_restarts = 0;
    QTimer m_poll;
    QTimer m_startDeadline;
    QProcess *m_ping = nullptr;
    std::deque<std::unique_ptr<QTemporaryFile>> m_secondQueue;
    std::unique_ptr<QTemporaryFile> m_secondCopy;
    Process m_secondRun;
    bool m_secondRunning = false;
};

// One check through the warm checker, giving the same SpamCheckResult the cold
// checker gives: the client's report with the section read the same way. When
// the daemon is not ready, runs with the other online setting, the message is
// too large for it, or the warm check fails in any way, the check is done by
// the cold checker instead (and a failing daemon is reported lost). A warm
// check's second run is queued on the warm checker, so finished() follows
// reportReady() at once.
class WarmCheckJob : public CheckerJob
{
    Q_OBJECT

public:
    explicit WarmCheckJob(WarmChecker *warm, QObject *parent = nullptr);

    void start(const QString &messagePath, const QString &reportPath, bool online) override;
    bool isRunning() const override { return m_running; }
    void cancel() override;

    // The cold checker used instead (by default the one CheckerPaths::resolve() finds).
    void setColdPaths(const CheckerPaths &paths) { m_cold.setPaths(paths); }
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }
    // Whether the last check was answered by the daemon.
    bool lastWasWarm() const { return m_lastWarm; }

private:
    void onClientFinished(const ProcessOutcome &outcome);
    void startCold(const QString &why);

    WarmChecker *m_warm;
    Process m_client;
    SpamCheckJob m_cold;
    QString m_messagePath;
    QString m_reportPath;
    bool m_online = false;
    bool m_running = false;
    bool m_lastWarm = false;
    std::chrono::milliseconds m_timeLimit = WarmCheckTimeLimit;
};

} // namespace norvale
