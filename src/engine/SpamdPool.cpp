#include "SpamdPool.h"

#include "ReportScorer.h"
#include "WarmChecker.h"

#include <atomic>

namespace norvale {

std::optional<SpamdPool> SpamdPool::parse(QStringView text)
{
    SpamdPool pool;
    for (QStringView entry : text.split(u',')) {
        entry = entry.trimmed();
        const qsizetype colon = entry.lastIndexOf(u':');
        if (colon <= 0)
            return std::nullopt;
        QStringView name = entry.left(colon);
        if (name.startsWith(u'[') && name.endsWith(u']'))
            name = name.mid(1, name.size() - 2);
        bool ok = false;
        const uint port = entry.mid(colon + 1).toUInt(&ok);
        if (!ok || port == 0 || port > 65535 || name.isEmpty() || name.contains(u','))
            return std::nullopt;
        pool.hosts.append({ name.toString(), static_cast<quint16>(port) });
    }
    if (pool.hosts.isEmpty())
        return std::nullopt;
    return pool;
}

QString SpamdPool::describe() const
{
    QStringList names;
    for (const Host &host : hosts)
        names << (host.name.contains(u':') ? QStringLiteral("[%1]:%2") : QStringLiteral("%1:%2"))
                     .arg(host.name)
                     .arg(host.port);
    return names.join(QStringLiteral(", "));
}

QStringList SpamdPool::hostsSharingPort(qsizetype first) const
{
    QStringList names;
    const quint16 port = hosts.at(first).port;
    for (qsizetype i = 0; i < hosts.size(); ++i) {
        const Host &host = hosts.at((first + i) % hosts.size());
        if (host.port == port)
            names << host.name;
    }
    return names;
}

SpamdPoolJob::SpamdPoolJob(const SpamdPool &pool, const QString &client, QObject *parent)
    : CheckerJob(parent)
    , m_pool(pool)
    , m_client(client)
{
    connect(&m_process, &Process::finished, this, &SpamdPoolJob::onFinished);
}

void SpamdPoolJob::start(const QString &messagePath, const QString &reportPath, bool online)
{
    Q_UNUSED(online) // the pool's servers run the tests they are set up for
    if (m_running)
        return;
    m_running = true;
    m_messagePath = messagePath;
    m_reportPath = reportPath;
    m_errors.clear();
    m_attempt = 0;
    // Files are spread over the hosts; each is retried on the others.
    static std::atomic<qsizetype> next { 0 };
    m_first = next++ % m_pool.hosts.size();
    attempt();
}

void SpamdPoolJob::attempt()
{
    const qsizetype first = (m_first + m_attempt) % m_pool.hosts.size();
    ++m_attempt;
    ProcessRequest request;
    request.program = m_client;
    request.arguments = { QStringLiteral("-d"), m_pool.hostsSharingPort(first).join(u','),
        QStringLiteral("-p"), QString::number(m_pool.hosts.at(first).port), QStringLiteral("-R"),
        QStringLiteral("-x"), QStringLiteral("-s"), QString::number(WarmMessageSizeLimit),
        QStringLiteral("-t"), QString::number(std::max<qint64>(1, m_timeLimit.count() / 1000)) };
    request.standardInputFile = m_messagePath;
    request.standardOutputFile = m_reportPath;
    request.timeLimit = m_timeLimit + std::chrono::seconds(5);
    request.environment = CheckerEnvironment();
    m_process.start(request);
}

void SpamdPoolJob::cancel()
{
    if (m_running && m_process.isRunning())
        m_process.cancel();
}

void SpamdPoolJob::onFinished(const ProcessOutcome &outcome)
{
    SpamCheckResult result;
    result.checkerPath = m_client;
    if (outcome.status == ProcessOutcome::Status::Cancelled) {
        result.status = SpamCheckResult::Status::Cancelled;
        end(result);
        return;
    }
    if (outcome.status == ProcessOutcome::Status::FailedToStart) {
        result.status = SpamCheckResult::Status::NotFound;
        result.detail = outcome.errorString;
        end(result);
        return;
    }
    if (outcome.status == ProcessOutcome::Status::Finished && outcome.exitCode == 0) {
        if (ReadReportSection(m_reportPath, result); result.ok()) {
            end(result);
            return;
        }
    }
    const qsizetype host = (m_first + m_attempt - 1) % m_pool.hosts.size();
    m_errors << QStringLiteral("%1:%2: %3")
                    .arg(m_pool.hosts.at(host).name)
                    .arg(m_pool.hosts.at(host).port)
                    .arg(outcome.standardError.trimmed().isEmpty()
                            ? QStringLiteral("exit code %1").arg(outcome.exitCode)
                            : outcome.standardError.trimmed().section(u'\n', -1));
    qCWarning(lcWarmChecker).noquote() << "pool check failed, trying the next host:" << m_errors.last();
    if (m_attempt < m_pool.hosts.size()) {
        attempt();
        return;
    }
    result.status = SpamCheckResult::Status::NotStarted;
    result.detail = QStringLiteral("no checker daemon of the pool answered (%1)").arg(m_pool.describe());
    result.checkerSaid = m_errors.join(u'\n');
    end(result);
}

void SpamdPoolJob::end(const SpamCheckResult &result)
{
    emit reportReady(result);
    m_running = false;
    emit finished();
}

} // namespace norvale
