#include "WarmChecker.h"

#include "ReportScorer.h"
#include "WorkDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryFile>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <pwd.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char **environ;

namespace norvale {

// Warnings by default; QT_LOGGING_RULES="norvale.warmchecker.info=true" shows
// the daemon's comings and goings too.
Q_LOGGING_CATEGORY(lcWarmChecker, "norvale.warmchecker", QtWarningMsg)

namespace {

const QString DaemonName = QStringLiteral("spamd");
const QString ClientName = QStringLiteral("spamc");
constexpr int MaxRestarts = 2;
constexpr std::chrono::milliseconds PollInterval { 100 };
constexpr std::chrono::milliseconds PingTimeLimit { 10000 };
constexpr std::chrono::milliseconds EndTimeLimit { 3000 };

QString FindProgram(const QString &name)
{
    if (QString found = QStandardPaths::findExecutable(name); !found.isEmpty())
        return found;
    QStringList sbin;
    for (const QString &folder : qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts)) {
        if (folder.endsWith(QStringLiteral("/bin")))
            sbin << folder.chopped(3) + QStringLiteral("sbin");
    }
    return sbin.isEmpty() ? QString() : QStandardPaths::findExecutable(name, sbin);
}

bool ProcessAlive(qint64 pid)
{
    return pid > 0 && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// The process's owner, or -1 when it is gone.
qint64 ProcessOwner(qint64 pid)
{
    struct stat info;
    const QByteArray proc = "/proc/" + QByteArray::number(pid);
    return ::stat(proc.constData(), &info) == 0 ? static_cast<qint64>(info.st_uid) : -1;
}

QByteArray ReadSmallFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.read(qint64 { 64 } * 1024) : QByteArray();
}

// Ends a process group of ours: SIGTERM, then SIGKILL after a short wait.
void EndGroup(qint64 pid, bool ownChild)
{
    if (pid <= 0)
        return;
    const pid_t group
        = ::getpgid(static_cast<pid_t>(pid)) == pid ? -static_cast<pid_t>(pid) : static_cast<pid_t>(pid);
    ::kill(group, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + EndTimeLimit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ownChild) {
            if (::waitpid(static_cast<pid_t>(pid), nullptr, WNOHANG) == pid)
                ownChild = false;
        }
        if (!ProcessAlive(pid) || (!ownChild && ProcessOwner(pid) < 0))
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(group, SIGKILL); // the daemon's children too, whatever state they are in
    if (ownChild)
        ::waitpid(static_cast<pid_t>(pid), nullptr, 0);
}

// This user's name as the system knows it (not as the environment says).
QString UserName()
{
    const passwd *entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString::number(::geteuid());
}

} // namespace

WarmCheckerPaths WarmCheckerPaths::resolve()
{
    return WarmCheckerPaths { FindProgram(DaemonName), FindProgram(ClientName) };
}

WarmChecker::WarmChecker(QObject *parent)
    : QObject(parent)
{
    m_poll.setInterval(PollInterval);
    connect(&m_poll, &QTimer::timeout, this, &WarmChecker::poll);
    m_startDeadline.setSingleShot(true);
    connect(&m_startDeadline, &QTimer::timeout, this, [this] {
        fail(
            QStringLiteral("the daemon did not answer within %1 seconds").arg(m_startLimit.count() / 1000.0));
    });
    connect(&m_secondRun, &Process::finished, this, &WarmChecker::onSecondRunFinished);
    connect(&m_probe, &Process::finished, this, &WarmChecker::onProbeFinished);
}

WarmChecker::~WarmChecker()
{
    stop();
}

QString WarmChecker::socketPath() const
{
    return m_workDir + QStringLiteral("spamd.sock");
}

QString WarmChecker::pidFilePath() const
{
    return m_workDir + QStringLiteral("spamd.pid");
}

QString WarmChecker::argumentsFilePath() const
{
    return m_workDir + QStringLiteral("spamd.owner");
}

QString WarmChecker::logFilePath() const
{
    return m_workDir + QStringLiteral("spamd.log");
}

QStringList WarmChecker::daemonArguments() const
{
    QString prefs = QDir(m_home.isEmpty() ? QDir::homePath() : m_home)
                        .absoluteFilePath(QStringLiteral(".spamassassin"));
    prefs.replace(u'%', QStringLiteral("%%")); // the option is a pattern
    QStringList arguments {
        QStringLiteral("--nouser-config"),
        QStringLiteral("--username=") + UserName(),
        QStringLiteral("--virtual-config-dir=") + prefs,
        QStringLiteral("--socketpath=") + socketPath(),
        QStringLiteral("--socketmode=0600"),
        QStringLiteral("--pidfile=") + pidFilePath(),
        QStringLiteral("--max-children=2"),
        QStringLiteral("--allow-tell"),
        QStringLiteral("--syslog=stderr"),
    };
    if (!m_online)
        arguments.prepend(QStringLiteral("--local"));
    return arguments;
}

QStringList WarmChecker::clientArguments() const
{
    return { QStringLiteral("-U"), socketPath(), QStringLiteral("-R"), QStringLiteral("-x"),
        QStringLiteral("-s"), QString::number(WarmMessageSizeLimit) };
}

void WarmChecker::start(bool online, Start how)
{
    if (m_state == State::Starting || m_state == State::Ready) {
        if (online == m_online)
            return;
        qCInfo(lcWarmChecker) << "online checks switched; replacing the daemon";
        endDaemon();
    }
    m_online = online;
    m_failure.clear();
    // Not failures but how this system is set up: noted quietly.
    if (::geteuid() == 0) {
        notUsed(QStringLiteral("running as root: the daemon is never started as root"));
        return;
    }
    if (m_paths.daemon.isEmpty() || m_paths.client.isEmpty()) {
        notUsed(QStringLiteral("no %1 installed").arg(m_paths.daemon.isEmpty() ? DaemonName : ClientName));
        return;
    }
    if (m_workDir.isEmpty()) {
        const WorkDirResult folder = GetTempDir();
        if (!folder.ok()) {
            fail(QStringLiteral("working folder %1: %2").arg(folder.path, folder.detail));
            return;
        }
        m_workDir = folder.path;
    }
    probeSecondRunNeed();
    if (reuseLeftover())
        return;
    if (how == Start::Always)
        spawn();
    else
        setState(State::Off);
}

// Reads the record of a leftover daemon, if any. It is reused when it
// is ours, was started with our present argument list and answers; anything
// else is ended, so that never two run.
bool WarmChecker::reuseLeftover()
{
    const QList<QByteArray> record = ReadSmallFile(argumentsFilePath()).split('\n');
    const qint64 pid = record.value(0).trimmed().toLongLong();
    const qint64 owner = record.value(1).trimmed().toLongLong();
    if (pid <= 0 || !ProcessAlive(pid))
        return false;
    const bool ours = ProcessOwner(pid) == static_cast<qint64>(::geteuid());
    const QByteArray commandLine = ReadSmallFile(QStringLiteral("/proc/%1/cmdline").arg(pid));
    const bool daemon = commandLine.contains(QFile::encodeName(socketPath()));
    if (!ours || !daemon) {
        qCInfo(lcWarmChecker) << "the record names a process that is not our daemon; not touched" << pid;
        QFile::remove(argumentsFilePath());
        return false;
    }
    // A daemon whose owner still runs (a window, another norvale-check) is
    // borrowed: used, never ended by us. One whose owner is gone is adopted.
    m_borrowed = owner > 0 && owner != ::getpid() && ProcessAlive(owner);
    m_pid = pid;
    m_ownChild = false;
    if (record.mid(2).join('\n') != daemonArguments().join(u'\n').toUtf8()) {
        if (m_borrowed) {
            qCInfo(lcWarmChecker) << "another Norvale's daemon runs with other settings; not used" << pid;
            m_borrowed = false;
            m_pid = 0;
            setState(State::Failed);
            m_failure = QStringLiteral("another Norvale's daemon runs with other settings");
            return true;
        }
        qCInfo(lcWarmChecker) << "ending a leftover daemon started with other settings" << pid;
        endDaemon();
        return false;
    }
    if (!m_borrowed && !writeRecord(pid, daemonArguments()))
        return true;
    qCInfo(lcWarmChecker) << (m_borrowed ? "using the daemon of a running Norvale"
                                         : "found a leftover daemon")
                          << "; checking it answers" << pid;
    setState(State::Starting);
    m_startDeadline.start(PingTimeLimit);
    m_poll.start();
    return true;
}

// The record that lets a later Norvale find the daemon: its pid, ours, and
// how it was started.
bool WarmChecker::writeRecord(qint64 pid, const QStringList &arguments)
{
    QSaveFile record(argumentsFilePath());
    if (!record.open(QIODevice::WriteOnly)
        || record.write(QByteArray::number(pid) + '\n' + QByteArray::number(qint64(::getpid())) + '\n'
               + arguments.join(u'\n').toUtf8())
            < 0
        || !record.commit()) {
        fail(QStringLiteral("cannot write %1: %2").arg(argumentsFilePath(), record.errorString()));
        return false;
    }
    return true;
}

void WarmChecker::spawn()
{
    QFile::remove(socketPath());
    QFile::remove(pidFilePath());
    const QStringList arguments = daemonArguments();
    std::vector<QByteArray> storage;
    storage.reserve(arguments.size() + 1);
    storage.push_back(QFile::encodeName(m_paths.daemon));
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    argv.reserve(storage.size() + 1);
    for (QByteArray &item : storage)
        argv.push_back(item.data());
    argv.push_back(nullptr);

    QProcessEnvironment environment = CheckerEnvironment();
    const QStringList keys = environment.keys();
    std::vector<QByteArray> envStorage;
    envStorage.reserve(keys.size());
    for (const QString &key : keys)
        envStorage.push_back((key + u'=' + environment.value(key)).toLocal8Bit());
    std::vector<char *> envp;
    envp.reserve(envStorage.size() + 1);
    for (QByteArray &item : envStorage)
        envp.push_back(item.data());
    envp.push_back(nullptr);

    // A session of its own, so that it is ended with its children as one group
    // and no signal meant for us reaches it; its output goes to its log.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray log = QFile::encodeName(logFilePath());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
    pid_t pid = 0;
    const int error = ::posix_spawn(&pid, argv[0], &actions, &attributes, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (error != 0) {
        fail(QStringLiteral("cannot start %1: %2").arg(m_paths.daemon, qt_error_string(error)));
        return;
    }
    m_pid = pid;
    m_ownChild = true;
    if (!writeRecord(pid, arguments))
        return;
    qCInfo(lcWarmChecker) << "started the daemon" << pid << (m_online ? "with" : "without")
                          << "network tests";
    setState(State::Starting);
    m_startDeadline.start(m_startLimit);
    m_poll.start();
}

void WarmChecker::poll()
{
    if (m_ownChild) {
        int status = 0;
        if (::waitpid(static_cast<pid_t>(m_pid), &status, WNOHANG) == m_pid) {
            m_ownChild = false;
            const QString log
                = QString::fromLocal8Bit(ReadSmallFile(logFilePath())).trimmed().section(u'\n', -3);
            m_pid = 0;
            ended(QStringLiteral("the daemon ended (%1): %2")
                      .arg(WIFEXITED(status) ? QStringLiteral("exit code %1").arg(WEXITSTATUS(status))
                                             : QStringLiteral("signal %1").arg(WTERMSIG(status)),
                          log));
            return;
        }
    } else if (!ProcessAlive(m_pid)) {
        m_pid = 0;
        ended(QStringLiteral("the daemon ended"));
        return;
    }
    if (m_state != State::Starting || m_ping || !QFileInfo::exists(socketPath()))
        return;
    m_ping = new QProcess(this);
    m_ping->setProcessEnvironment(CheckerEnvironment());
    m_ping->setStandardInputFile(QProcess::nullDevice());
    connect(m_ping, &QProcess::finished, this, &WarmChecker::onPingFinished);
    connect(m_ping, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            onPingFinished(-1, QProcess::CrashExit);
    });
    m_ping->start(
        m_paths.client, { QStringLiteral("-U"), socketPath(), QStringLiteral("-K"), QStringLiteral("-x") });
}

// The daemon ended by itself: one that was starting has failed, one that
// answered is started afresh.
void WarmChecker::ended(const QString &reason)
{
    if (m_state == State::Ready)
        reportLost(reason);
    else
        fail(reason);
}

void WarmChecker::onPingFinished(int exitCode, QProcess::ExitStatus status)
{
    if (!m_ping)
        return;
    m_ping->deleteLater();
    m_ping = nullptr;
    if (m_state != State::Starting)
        return;
    if (status == QProcess::NormalExit && exitCode == 0) {
        m_startDeadline.stop();
        qCInfo(lcWarmChecker) << "the daemon answers" << m_pid;
        setState(State::Ready);
    }
    // otherwise the next poll asks again, until the deadline
}

void WarmChecker::fail(const QString &reason)
{
    qCWarning(lcWarmChecker).noquote()
        << "the warm checker is not used; checks take the cold path:" << reason;
    endDaemon();
    m_failure = reason;
    setState(State::Failed);
}

void WarmChecker::notUsed(const QString &reason)
{
    qCInfo(lcWarmChecker).noquote() << "the warm checker is not used; checks take the cold path:" << reason;
    endDaemon();
    m_failure = reason;
    setState(State::Failed);
}

void WarmChecker::setState(State state)
{
    if (m_state == state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void WarmChecker::endDaemon()
{
    m_poll.stop();
    m_startDeadline.stop();
    if (m_ping) {
        m_ping->disconnect(this);
        m_ping->kill();
        m_ping->waitForFinished(1000);
        m_ping->deleteLater();
        m_ping = nullptr;
    }
    if (m_pid > 0 && !m_borrowed) {
        EndGroup(m_pid, m_ownChild);
        if (!m_workDir.isEmpty()) {
            QFile::remove(pidFilePath());
            QFile::remove(socketPath());
            QFile::remove(argumentsFilePath());
            QFile::remove(logFilePath());
        }
    }
    m_pid = 0;
    m_ownChild = false;
    m_borrowed = false;
    setState(State::Off);
}

void WarmChecker::stop()
{
    m_probe.cancel();
    m_secondQueue.clear();
    if (m_secondRunning) {
        m_secondRun.disconnect(this);
        m_secondRun.cancel();
        m_secondRunning = false;
        connect(&m_secondRun, &Process::finished, this, &WarmChecker::onSecondRunFinished);
    }
    m_secondCopy.reset();
    endDaemon();
}

void WarmChecker::reportLost(const QString &reason)
{
    qCWarning(lcWarmChecker).noquote() << "the daemon failed a check:" << reason;
    endDaemon();
    if (m_restarts >= MaxRestarts) {
        m_failure = reason;
        setState(State::Failed);
        return;
    }
    ++m_restarts;
    start(m_online);
}

void WarmChecker::queueSecondRun(const QString &messagePath)
{
    if (m_workDir.isEmpty() || m_secondRunNeed == SecondRunNeed::NotNeeded)
        return;
    auto copy = std::make_unique<QTemporaryFile>(m_workDir + QStringLiteral("second-XXXXXX.eml"));
    QFile message(messagePath);
    if (!copy->open() || !message.open(QIODevice::ReadOnly)) {
        qCWarning(lcWarmChecker) << "second run skipped: the message cannot be copied" << messagePath;
        return;
    }
    while (!message.atEnd()) {
        const QByteArray block = message.read(1 << 20);
        if (block.isEmpty() || copy->write(block) != block.size()) {
            qCWarning(lcWarmChecker) << "second run skipped: the message cannot be copied" << messagePath;
            return;
        }
    }
    copy->close();
    m_secondQueue.push_back(std::move(copy));
    if (!m_secondRunning)
        startNextSecondRun();
}

void WarmChecker::startNextSecondRun()
{
    m_secondCopy.reset();
    if (m_secondQueue.empty()) {
        m_secondRunning = false;
        emit secondRunsDone();
        return;
    }
    m_secondCopy = std::move(m_secondQueue.front());
    m_secondQueue.pop_front();
    const QString checker = secondRunChecker();
    if (checker.isEmpty()) {
        startNextSecondRun();
        return;
    }
    ProcessRequest request;
    request.standardInputFile = m_secondCopy->fileName();
    request.environment = CheckerEnvironment();
    // The lowest priority, so that the next check is not slowed by it.
    const QString nice = QStandardPaths::findExecutable(QStringLiteral("nice"));
    request.program = nice.isEmpty() ? checker : nice;
    request.arguments = nice.isEmpty()
        ? QStringList { QStringLiteral("-R") }
        : QStringList { QStringLiteral("-n"), QStringLiteral("19"), checker, QStringLiteral("-R") };
    m_secondRunning = true;
    m_secondRun.start(request);
}

void WarmChecker::onSecondRunFinished()
{
    const ProcessOutcome &outcome = m_secondRun.outcome();
    if (outcome.status != ProcessOutcome::Status::Finished || outcome.exitCode != 0)
        qCWarning(lcWarmChecker).noquote()
            << "second run failed:" << outcome.errorString << outcome.standardError.trimmed();
    startNextSecondRun();
}

QString WarmChecker::secondRunChecker() const
{
    return m_secondRunChecker.isEmpty() ? CheckerPaths::resolve().secondRun : m_secondRunChecker;
}

bool WarmChecker::loadsWelcomelistPlugin(QStringView debugOutput)
{
    for (const QStringView line : debugOutput.split(u'\n')) {
        if (!line.contains(u"plugin: loading Mail::SpamAssassin::Plugin::"))
            continue;
        if (line.contains(u"::Plugin::AWL ") || line.contains(u"::Plugin::TxRep "))
            return true;
    }
    return false;
}

// The checker's second run (-R) removes the message's addresses from the
// auto-welcomelist, which only the AWL and TxRep plugins keep; with neither
// loaded it changes nothing, and a check after a warm one need not pay for
// it. Which plugins the installation loads is read once, from the checker's
// own account of its start (-D plugin --lint), beside the daemon's start.
void WarmChecker::probeSecondRunNeed()
{
    if (m_secondRunNeed != SecondRunNeed::Unknown || m_probe.isRunning())
        return;
    const QString checker = secondRunChecker();
    if (checker.isEmpty())
        return;
    ProcessRequest request;
    request.program = checker;
    request.arguments
        = { QStringLiteral("-D"), QStringLiteral("plugin"), QStringLiteral("-L"), QStringLiteral("--lint") };
    request.standardErrorFile = m_workDir + QStringLiteral("plugins.log");
    request.environment = CheckerEnvironment();
    m_probe.start(request);
}

void WarmChecker::onProbeFinished()
{
    const QString log = m_workDir + QStringLiteral("plugins.log");
    const QString output = QString::fromUtf8(ReadSmallFile(log));
    QFile::remove(log);
    if (m_probe.outcome().status == ProcessOutcome::Status::Cancelled)
        return; // stopped: asked again at the next start
    if (!output.contains(u"plugin: loading Mail::SpamAssassin::Plugin::")) {
        // Nothing to judge by: every second run is made, as without a daemon.
        qCInfo(lcWarmChecker) << "the checker's plugins could not be read; every second run is made";
        m_secondRunNeed = SecondRunNeed::Needed;
        return;
    }
    m_secondRunNeed = loadsWelcomelistPlugin(output) ? SecondRunNeed::Needed : SecondRunNeed::NotNeeded;
    qCInfo(lcWarmChecker) << (m_secondRunNeed == SecondRunNeed::Needed
            ? "an auto-welcomelist plugin is loaded: every second run is made"
            : "no auto-welcomelist plugin is loaded: the second run changes nothing and is skipped");
}

WarmCheckJob::WarmCheckJob(WarmChecker *warm, QObject *parent)
    : CheckerJob(parent)
    , m_warm(warm)
{
    connect(&m_client, &Process::finished, this, &WarmCheckJob::onClientFinished);
    connect(&m_cold, &SpamCheckJob::reportReady, this, &WarmCheckJob::reportReady);
    connect(&m_cold, &SpamCheckJob::finished, this, [this] {
        m_running = false;
        emit finished();
    });
}

void WarmCheckJob::start(const QString &messagePath, const QString &reportPath, bool online)
{
    if (m_running)
        return;
    m_running = true;
    m_messagePath = messagePath;
    m_reportPath = reportPath;
    m_online = online;
    m_lastWarm = false;
    if (!m_warm || !m_warm->isReady() || m_warm->online() != online) {
        qCInfo(lcWarmChecker) << "cold check: the kept-running checker is not ready";
        m_cold.start(messagePath, reportPath, online);
        return;
    }
    if (QFileInfo(messagePath).size() > WarmMessageSizeLimit) {
        qCInfo(lcWarmChecker) << "cold check: the message is too large for the kept-running checker";
        m_cold.start(messagePath, reportPath, online);
        return;
    }
    ProcessRequest request;
    request.program = m_warm->clientPath();
    request.arguments = m_warm->clientArguments();
    request.standardInputFile = messagePath;
    request.standardOutputFile = reportPath;
    request.timeLimit = m_timeLimit;
    request.environment = CheckerEnvironment();
    qCInfo(lcWarmChecker).noquote() << "warm check:" << request.program << request.arguments.join(u' ');
    m_client.start(request);
}

void WarmCheckJob::cancel()
{
    if (!m_running)
        return;
    if (m_cold.isRunning()) {
        m_cold.cancel();
        return;
    }
    if (m_client.isRunning()) {
        m_client.cancel(); // onClientFinished ends the check
        return;
    }
    m_running = false; // cancelled while its result was being given
    emit finished();
}

void WarmCheckJob::startCold(const QString &why)
{
    if (m_warm)
        m_warm->reportLost(why);
    m_cold.start(m_messagePath, m_reportPath, m_online);
}

void WarmCheckJob::onClientFinished(const ProcessOutcome &outcome)
{
    using Status = SpamCheckResult::Status;
    SpamCheckResult result;
    result.checkerPath = m_warm ? m_warm->clientPath() : ClientName;
    switch (outcome.status) {
    case ProcessOutcome::Status::Cancelled:
        result.status = Status::Cancelled;
        m_running = false;
        emit reportReady(result);
        emit finished();
        return;
    case ProcessOutcome::Status::Finished:
        if (outcome.exitCode != 0) {
            // With -x a daemon that cannot be reached is an error, never "0/0".
            startCold(QStringLiteral("%1 exit code %2: %3")
                          .arg(result.checkerPath)
                          .arg(outcome.exitCode)
                          .arg(outcome.standardError.trimmed()));
            return;
        }
        ReadReportSection(m_reportPath, result);
        if (!result.ok()) {
            startCold(QStringLiteral("the daemon's report has no section"));
            return;
        }
        break;
    case ProcessOutcome::Status::TimedOut:
        startCold(QStringLiteral("no answer within %1 seconds").arg(m_timeLimit.count() / 1000.0));
        return;
    case ProcessOutcome::Status::Crashed:
    case ProcessOutcome::Status::FailedToStart:
        startCold(QStringLiteral("%1: %2").arg(result.checkerPath, outcome.errorString));
        return;
    }
    m_lastWarm = true;
    emit reportReady(result);
    if (!m_running)
        return; // a receiver cancelled the check
    m_warm->queueSecondRun(m_messagePath);
    m_running = false;
    emit finished();
}

} // namespace norvale
