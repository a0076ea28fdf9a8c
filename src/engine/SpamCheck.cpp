#include "SpamCheck.h"

#include "Logging.h"
#include "ReportScorer.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace norvale {

namespace {

const QString CheckerName = QStringLiteral("spamassassin");

QString ResolveChecker(const QString &candidate)
{
    const QFileInfo info(candidate);
    if (info.isFile() && info.isExecutable())
        return info.absoluteFilePath();
    QString found = QStandardPaths::findExecutable(CheckerName);
    if (!found.isEmpty())
        return found;
    // A checker on PATH that lacks the execute permission is still named, so
    // that the user hears it cannot be started, not that it is missing.
    for (const QString &folder : qEnvironmentVariable("PATH").split(u':', Qt::SkipEmptyParts)) {
        const QFileInfo onPath(QDir(folder), CheckerName);
        if (onPath.isAbsolute() && onPath.isFile())
            return onPath.absoluteFilePath();
    }
    return QString();
}

// Why a message file that passed validation cannot be opened now (it was
// deleted or its permissions changed since); empty when it can be.
QString MessageUnreadableReason(const QString &path)
{
    // Non-blocking, so a file swapped for a pipe cannot hang us.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const int error = errno;
    if (fd >= 0) {
        ::close(fd);
        return QString();
    }
    return QStringLiteral("cannot read the message file \"%1\": %2").arg(path, qt_error_string(error));
}

// How a run ended, for the diagnostics.
QString processStatusName(const ProcessOutcome &outcome)
{
    switch (outcome.status) {
    case ProcessOutcome::Status::Finished:
        return QStringLiteral("exit code %1").arg(outcome.exitCode);
    case ProcessOutcome::Status::FailedToStart:
        return QStringLiteral("not started (%1)").arg(outcome.errorString);
    case ProcessOutcome::Status::Crashed:
        return QStringLiteral("crashed (%1)").arg(outcome.errorString);
    case ProcessOutcome::Status::TimedOut:
        return QStringLiteral("stopped at the time limit");
    case ProcessOutcome::Status::Cancelled:
        return QStringLiteral("cancelled");
    }
    return QString();
}

// The program's own words, or the system's when it said nothing.
QString Explain(const ProcessOutcome &outcome, const QString &otherwise)
{
    const QString said = outcome.standardError.trimmed();
    return said.isEmpty() ? otherwise : said;
}

} // namespace

CheckerPaths CheckerPaths::resolve(const QString &applicationFolder)
{
    CheckerPaths paths;
    paths.testRun = ResolveChecker(applicationFolder + QStringLiteral("/spamassassin/spamassassin"));
    paths.secondRun = ResolveChecker(applicationFolder + QStringLiteral("/bin/spamassassin"));
    return paths;
}

QProcessEnvironment CheckerEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("C"));
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
    return environment;
}

SpamCheckJob::SpamCheckJob(QObject *parent)
    : CheckerJob(parent)
{
    connect(&m_process, &Process::finished, this, &SpamCheckJob::onProcessFinished);
}

void SpamCheckJob::start(const QString &messagePath, const QString &reportPath, bool online)
{
    if (m_stage == Stage::Idle)
        start(messagePath, reportPath, online, m_fixedPaths.value_or(CheckerPaths::resolve()));
}

void SpamCheckJob::start(
    const QString &messagePath, const QString &reportPath, bool online, const CheckerPaths &paths)
{
    if (m_stage != Stage::Idle)
        return;
    m_messagePath = messagePath;
    m_reportPath = reportPath;
    m_paths = paths;
    m_cancelled = false;
    m_stage = Stage::TestRun;

    ProcessRequest request;
    request.program = paths.testRun; // an empty one fails to start, reported as NotFound
    request.arguments = online ? QStringList { QStringLiteral("-t") }
                               : QStringList { QStringLiteral("-t"), QStringLiteral("-L") };
    request.standardInputFile = messagePath;
    request.standardOutputFile = reportPath;
    request.timeLimit = m_timeLimit;
    request.environment = CheckerEnvironment();
    qCInfo(lcChecker).noquote() << "test run, started afresh:" << request.program
                                << request.arguments.join(u' ') << "<" << messagePath << ">" << reportPath;
    m_clock.start();
    m_process.start(request);
}

void SpamCheckJob::cancel()
{
    if (m_stage == Stage::Idle || m_cancelled)
        return;
    m_cancelled = true;
    if (m_process.isRunning())
        m_process.cancel(); // onProcessFinished ends the check
    else
        end();
}

void SpamCheckJob::onProcessFinished(const ProcessOutcome &outcome)
{
    qCInfo(lcChecker).noquote() << (m_stage == Stage::SecondRun ? "second run" : "test run") << "ended after"
                                << m_clock.elapsed() << "ms:" << processStatusName(outcome);
    if (m_stage == Stage::SecondRun) {
        if (outcome.status != ProcessOutcome::Status::Finished || outcome.exitCode != 0)
            qCInfo(lcChecker).noquote()
                << "the second run failed:" << processStatusName(outcome) << outcome.standardError.trimmed();
        end();
        return;
    }
    if (m_stage != Stage::TestRun)
        return;

    using Status = SpamCheckResult::Status;
    SpamCheckResult result;
    result.checkerPath = m_paths.testRun.isEmpty() ? CheckerName : m_paths.testRun;
    if (m_cancelled || outcome.status == ProcessOutcome::Status::Cancelled) {
        result.status = Status::Cancelled;
    } else {
        switch (outcome.status) {
        case ProcessOutcome::Status::FailedToStart:
            result.status = m_paths.testRun.isEmpty() || !QFileInfo::exists(m_paths.testRun)
                ? Status::NotFound
                : Status::NotStarted;
            result.detail = outcome.errorString;
            if (result.status == Status::NotStarted) {
                if (const QString reason = MessageUnreadableReason(m_messagePath); !reason.isEmpty())
                    result.detail = reason;
            }
            break;
        case ProcessOutcome::Status::Crashed:
            result.status = Status::Crashed;
            result.detail = Explain(outcome, outcome.errorString);
            break;
        case ProcessOutcome::Status::TimedOut:
            result.status = Status::TimedOut;
            result.timeLimit = m_timeLimit;
            result.detail = QStringLiteral("stopped after %1 seconds").arg(m_timeLimit.count() / 1000.0);
            break;
        case ProcessOutcome::Status::Finished:
            result.exitCode = outcome.exitCode;
            if (outcome.exitCode != 0) {
                result.status = Status::ExitedWithError;
                result.detail = Explain(outcome, QStringLiteral("exit code %1").arg(outcome.exitCode));
            } else {
                ReadReportSection(m_reportPath, result);
            }
            break;
        case ProcessOutcome::Status::Cancelled:
            break;
        }
        if (!result.ok() && result.status != Status::NotFound && result.status != Status::NotStarted)
            result.checkerSaid = outcome.standardError.trimmed();
    }

    emit reportReady(result);
    if (m_stage != Stage::TestRun)
        return; // a receiver cancelled the check
    // A run that hung or crashed would do so again: the check ends here.
    if (result.status == Status::Cancelled || result.status == Status::TimedOut
        || result.status == Status::Crashed)
        end();
    else
        startSecondRun();
}

void ReadReportSection(const QString &reportPath, SpamCheckResult &result)
{
    QFile file(reportPath);
    if (!file.open(QIODevice::ReadOnly)) {
        result.status = SpamCheckResult::Status::NoReportSection;
        result.detail = file.errorString();
        return;
    }
    const qint64 size = file.size();
    const bool cut = size > ReportReadLimit;
    if (cut)
        file.seek(size - ReportReadLimit);
    QByteArray bytes = file.read(ReportReadLimit);
    if (cut)
        bytes.remove(0, bytes.indexOf('\n') + 1); // start on a whole line
    result.section = ExtractReportSection(QString::fromUtf8(bytes));
    if (result.section.isEmpty()) {
        result.status = SpamCheckResult::Status::NoReportSection;
        result.detail = QStringLiteral("the report has no section \"Content analysis details\"");
    } else {
        result.status = SpamCheckResult::Status::Ok;
    }
}

void SpamCheckJob::startSecondRun()
{
    if (m_paths.secondRun.isEmpty()) {
        end();
        return;
    }
    m_stage = Stage::SecondRun;
    ProcessRequest request;
    request.program = m_paths.secondRun;
    request.arguments = QStringList { QStringLiteral("-R") };
    request.standardInputFile = m_messagePath;
    request.timeLimit = m_timeLimit;
    request.environment = CheckerEnvironment();
    qCInfo(lcChecker).noquote() << "second run:" << request.program << request.arguments.join(u' ');
    m_clock.start();
    m_process.start(request);
}

void SpamCheckJob::end()
{
    m_stage = Stage::Idle;
    m_cancelled = false;
    emit finished();
}

SpamCheckResult RunSpamCheck(const QString &messagePath, const QString &reportPath, bool online,
    const CheckerPaths &paths, std::chrono::milliseconds timeLimit)
{
    SpamCheckJob job;
    job.setTimeLimit(timeLimit);
    SpamCheckResult result;
    QEventLoop loop;
    QObject::connect(
        &job, &SpamCheckJob::reportReady, &job, [&result](const SpamCheckResult &ready) { result = ready; });
    QObject::connect(&job, &SpamCheckJob::finished, &loop, &QEventLoop::quit);
    job.start(messagePath, reportPath, online, paths);
    if (job.isRunning())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

} // namespace norvale
