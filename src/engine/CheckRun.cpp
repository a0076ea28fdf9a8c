#include "CheckRun.h"

#include "Logging.h"
#include "Text.h"
#include "Thresholds.h"

#include <QEventLoop>
#include <QList>
#include <QPointer>
#include <QTemporaryFile>

#include <utility>

namespace norvale {

namespace {

// The checks running in this program, so that a signal can stop them all.
QList<CheckRun *> &RunningChecks()
{
    static QList<CheckRun *> running;
    return running;
}

// A new empty file of this check's own in the working folder, readable by this
// user only; null when it cannot be made (`error` says why).
std::unique_ptr<QTemporaryFile> PrivateFile(const QString &folder, const QString &pattern, QString &error)
{
    auto file = std::make_unique<QTemporaryFile>(folder + pattern);
    if (!file->open()) {
        error = file->errorString();
        return nullptr;
    }
    return file;
}

} // namespace

CheckRun::CheckRun(QObject *parent)
    : QObject(parent)
{
    m_factory = [] { return new SpamCheckJob; };
}

CheckRun::~CheckRun()
{
    end(false);
}

bool CheckRun::refuse(CheckOutcome::Stage stage)
{
    m_outcome.stage = stage;
    m_copy.reset();
    m_report.reset();
    return false;
}

bool CheckRun::start(const CheckRequest &request)
{
    if (m_running)
        return false;
    m_request = request;
    m_outcome = CheckOutcome();
    m_reported = false;

    m_outcome.messagePath = TrimSpaces(request.path);
    if (m_outcome.messagePath.isEmpty())
        return refuse(CheckOutcome::Stage::NoFileName);
    const OpenedMessage message = OpenMessageFile(m_outcome.messagePath);
    m_outcome.fileStatus = message.status();
    if (!message.ok())
        return refuse(CheckOutcome::Stage::MessageFile);
    m_outcome.workDir = GetTempDir();
    if (!m_outcome.workDir.ok())
        return refuse(CheckOutcome::Stage::WorkDir);

    // The checker reads our copy, never the name again: a file swapped for
    // a pipe cannot hang a run, and both runs read the bytes judged above.
    QString error;
    m_copy = PrivateFile(m_outcome.workDir.path, QStringLiteral("message-XXXXXX.eml"), error);
    if (m_copy) {
        m_outcome.fileStatus = message.copyTo(int(m_copy->handle()), &error);
        if (m_outcome.fileStatus != MessageFileStatus::Ok)
            return refuse(CheckOutcome::Stage::MessageFile);
        m_copy->close();
        if (request.readiness)
            m_outcome.readiness = CheckReadinessFile(m_copy->fileName());
        if (error.isEmpty())
            m_report = PrivateFile(m_outcome.workDir.path, QStringLiteral("spamscore-XXXXXX.txt"), error);
    }
    if (!m_report) {
        m_outcome.workDir.error = WorkDirResult::Error::CannotCreate;
        m_outcome.workDir.detail = error;
        return refuse(CheckOutcome::Stage::WorkDir);
    }
    m_report->close();

    m_checker = m_factory();
    m_checker->setParent(this);
    connect(m_checker, &CheckerJob::reportReady, this, &CheckRun::onReportReady);
    connect(m_checker, &CheckerJob::finished, this, &CheckRun::onCheckerFinished);
    m_running = true;
    RunningChecks().append(this);
    qCInfo(lcWorkDir).noquote() << "working folder" << m_outcome.workDir.path;
    qCInfo(lcChecker).noquote() << "checking" << m_outcome.messagePath
                                << (request.online ? "with" : "without") << "the network tests";
    m_clock.start();
    m_checker->start(m_copy->fileName(), m_report->fileName(), request.online);
    return true;
}

void CheckRun::onReportReady(const SpamCheckResult &result)
{
    m_report.reset(); // read: it holds the whole message
    m_outcome.check = result;
    qCInfo(lcChecker).noquote() << "report" << (result.ok() ? "read" : "missing:") << result.detail << "after"
                                << m_clock.elapsed() << "ms";
    if (result.ok()) {
        m_outcome.stage = CheckOutcome::Stage::Scored;
        m_outcome.score = ScoreReport(result.section, m_request.rules);
        m_outcome.level = VerdictLevel(m_outcome.score.total, BandLimits(m_request.thresholdBoxes));
    } else {
        m_outcome.stage = CheckOutcome::Stage::Checker;
    }
    m_reported = true;
    emit resultReady(m_outcome);
}

void CheckRun::onCheckerFinished()
{
    end(true);
}

void CheckRun::cancel()
{
    end(true);
}

void CheckRun::cancelAll()
{
    // Each cancel removes its run from the list (and may start no other).
    while (!RunningChecks().isEmpty())
        RunningChecks().constFirst()->cancel();
}

void CheckRun::end(bool emitSignals)
{
    if (!m_running)
        return;
    m_running = false;
    RunningChecks().removeAll(this);
    if (CheckerJob *checker = std::exchange(m_checker, nullptr)) {
        // It may be the sender of the signal being handled: it goes later,
        // once it has been stopped.
        checker->disconnect(this);
        checker->cancel();
        checker->deleteLater();
    }
    m_copy.reset();
    m_report.reset();
    qCInfo(lcChecker) << "check ended after" << m_clock.elapsed() << "ms";
    if (!emitSignals)
        return;
    const QPointer<CheckRun> alive(this);
    if (!m_reported) {
        m_reported = true;
        m_outcome.stage = CheckOutcome::Stage::Checker;
        m_outcome.check.status = SpamCheckResult::Status::Cancelled;
        emit resultReady(m_outcome);
    }
    if (alive)
        emit finished();
}

CheckOutcome RunCheck(const CheckRequest &request, const CheckerFactory &factory)
{
    CheckRun run;
    if (factory)
        run.setCheckerFactory(factory);
    if (!run.start(request))
        return run.outcome();
    QEventLoop loop;
    QObject::connect(&run, &CheckRun::finished, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return run.outcome();
}

} // namespace norvale
