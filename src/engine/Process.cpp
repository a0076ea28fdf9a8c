#include "Process.h"

#include <QEventLoop>

#include <signal.h>
#include <unistd.h>

namespace norvale {

namespace {

// Enough of the standard error to say what went wrong; a program that floods it
// cannot make us hold more.
constexpr qsizetype StandardErrorKeep = 4096;

} // namespace

Process::Process(QObject *parent)
    : QObject(parent)
{
    m_timeLimit.setSingleShot(true);
    connect(&m_timeLimit, &QTimer::timeout, this, [this] { stop(ProcessOutcome::Status::TimedOut); });
}

Process::~Process()
{
    if (m_process) {
        m_process->disconnect(this);
        if (m_process->state() != QProcess::NotRunning) {
            killGroup();
            m_process->waitForFinished(5000);
        }
    }
}

void Process::start(const ProcessRequest &request)
{
    if (m_running)
        return;
    if (m_process) {
        m_process->disconnect(this);
        m_process->deleteLater();
    }
    m_running = true;
    m_ending = false;
    m_stopReason.reset();
    m_standardError.clear();

    m_process = new QProcess(this);
    m_process->setProgram(request.program);
    m_process->setArguments(request.arguments);
    m_process->setProcessEnvironment(request.environment);
    m_process->setStandardInputFile(
        request.standardInputFile.isEmpty() ? QProcess::nullDevice() : request.standardInputFile);
    m_process->setStandardOutputFile(
        request.standardOutputFile.isEmpty() ? QProcess::nullDevice() : request.standardOutputFile,
        QIODevice::Truncate);
    m_standardErrorToFile = !request.standardErrorFile.isEmpty();
    if (m_standardErrorToFile)
        m_process->setStandardErrorFile(request.standardErrorFile, QIODevice::Truncate);
    // Its own process group, so a stop reaches the helpers a program started too.
    m_process->setChildProcessModifier([] { ::setpgid(0, 0); });
    connect(m_process, &QProcess::readyReadStandardError, this, &Process::readStandardError);
    connect(m_process, &QProcess::errorOccurred, this, &Process::onErrorOccurred);
    connect(m_process, &QProcess::finished, this, &Process::onFinished);

    if (request.timeLimit.count() > 0)
        m_timeLimit.start(request.timeLimit);
    m_process->start();
}

void Process::cancel()
{
    stop(ProcessOutcome::Status::Cancelled);
    // The killed program is reaped now, so it is gone even when the caller
    // ends the program before its event loop runs again (a signal).
    if (m_process && m_process->state() != QProcess::NotRunning)
        m_process->waitForFinished(2000);
}

void Process::stop(ProcessOutcome::Status reason)
{
    if (!m_running || m_ending || m_stopReason || !m_process)
        return;
    m_stopReason = reason;
    m_timeLimit.stop();
    killGroup();
}

void Process::killGroup()
{
    // While QProcess has not reaped the child its id cannot be reused, so the
    // group id (the child's id, set before exec) still names our group.
    const qint64 pid = m_process->processId();
    if (pid > 0)
        ::kill(-static_cast<pid_t>(pid), SIGKILL);
    m_process->kill();
}

void Process::readStandardError()
{
    if (m_standardErrorToFile)
        return;
    m_standardError += m_process->readAllStandardError();
    if (m_standardError.size() > StandardErrorKeep)
        m_standardError.remove(0, m_standardError.size() - StandardErrorKeep);
}

void Process::onErrorOccurred(QProcess::ProcessError error)
{
    // A crash is reported by finished() as well; only a failed start ends here.
    if (error != QProcess::FailedToStart)
        return;
    ProcessOutcome outcome;
    outcome.status = m_stopReason.value_or(ProcessOutcome::Status::FailedToStart);
    outcome.errorString = m_process->errorString();
    end(outcome);
}

void Process::onFinished(int exitCode, QProcess::ExitStatus exitStatus)
{
    readStandardError();
    ProcessOutcome outcome;
    if (m_stopReason) {
        outcome.status = *m_stopReason;
    } else if (exitStatus == QProcess::CrashExit) {
        outcome.status = ProcessOutcome::Status::Crashed;
        outcome.errorString = m_process->errorString();
    } else {
        outcome.status = ProcessOutcome::Status::Finished;
        outcome.exitCode = exitCode;
    }
    end(outcome);
}

void Process::end(const ProcessOutcome &outcome)
{
    if (!m_running || m_ending)
        return;
    m_ending = true;
    m_timeLimit.stop();
    m_outcome = outcome;
    m_outcome.standardError = QString::fromUtf8(m_standardError);
    // Queued: a start that fails inside QProcess::start() must not report back
    // before start() has returned to its caller.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_running = false;
            emit finished(m_outcome);
        },
        Qt::QueuedConnection);
}

ProcessOutcome RunAndWait(const ProcessRequest &request)
{
    Process process;
    QEventLoop loop;
    QObject::connect(&process, &Process::finished, &loop, &QEventLoop::quit);
    process.start(request);
    if (process.isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return process.outcome();
}

} // namespace norvale
