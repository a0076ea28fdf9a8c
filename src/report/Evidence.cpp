#include "Evidence.h"

#include "WorkDir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryFile>

namespace norvale {

namespace {

// Debug output of a big message is a few MiB; more than this is not read.
constexpr qint64 DebugReadLimit = qint64 { 64 } * 1024 * 1024;

// "Dec 10 15:12:14.519 [12239] dbg: " starts every debug record.
const QRegularExpression &recordStart()
{
    static const QRegularExpression expression(QString::fromLatin1(
        R"(^[A-Z][a-z]{2} [ \d]\d \d\d:\d\d:\d\d(?:\.\d+)? \[\d+\] (?:dbg|info|warn|error): )"));
    return expression;
}

const QRegularExpression &hitLine()
{
    static const QRegularExpression expression(
        QString::fromLatin1(
            R"re(^rules: ran (\S+) rule (\S+) ======> got hit(?:: "(.*)"(?: \[\.\.\. logline repeated \d+ times\])?| \(\d+\))\s*$)re"),
        QRegularExpression::DotMatchesEverythingOption);
    return expression;
}

const QRegularExpression &ruleNameToken()
{
    static const QRegularExpression expression(QString::fromLatin1(R"(\b[A-Za-z_][A-Za-z0-9_]*\b)"));
    return expression;
}

// File and content -> evidence, for the whole process; the oldest entry goes
// when it is full.
struct EvidenceCache
{
    QHash<QByteArray, EvidenceMap> entries;
    QList<QByteArray> order;
    void insert(const QByteArray &key, const EvidenceMap &evidence)
    {
        if (!entries.contains(key))
            order.append(key);
        entries.insert(key, evidence);
        while (order.size() > EvidenceCacheSize)
            entries.remove(order.takeFirst());
    }
};

EvidenceCache &cache()
{
    static EvidenceCache evidenceCache;
    return evidenceCache;
}

void addMatch(RuleEvidence &evidence, const QString &text)
{
    const QString cut = CutText(text, EvidenceTextLimit);
    if (cut.isEmpty() || evidence.matches.contains(cut) || evidence.matches.size() >= EvidenceMatchLimit)
        return;
    evidence.matches.append(cut);
}

} // namespace

QString CutText(const QString &text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    qsizetype end = qMax<qsizetype>(0, limit - 1);
    if (end > 0 && text.at(end - 1).isHighSurrogate())
        --end;
    return text.first(end) + QChar(0x2026);
}

MetaRuleMap ParseMetaRules(QStringView ruleFileText, MetaRuleMap into)
{
    for (QStringView line : ruleFileText.split(u'\n')) {
        line = line.trimmed();
        if (!line.startsWith(u"meta") || line.size() < 5 || !line.at(4).isSpace())
            continue;
        line = line.sliced(4).trimmed();
        qsizetype space = 0;
        while (space < line.size() && !line.at(space).isSpace())
            ++space;
        const QString name = line.first(space).toString().toUpper();
        QStringView expression = line.sliced(space);
        if (const qsizetype comment = expression.indexOf(u'#'); comment >= 0)
            expression = expression.first(comment);
        QStringList names;
        QRegularExpressionMatchIterator tokens = ruleNameToken().globalMatch(expression.toString());
        while (tokens.hasNext()) {
            const QString token = tokens.next().captured(0).toUpper();
            if (!names.contains(token))
                names.append(token);
        }
        if (!name.isEmpty())
            into.insert(name, names);
    }
    return into;
}

QStringList CheckerRuleFolders()
{
    QStringList folders;
    const QDir updates(QStringLiteral("/var/lib/spamassassin"));
    for (const QString &version : updates.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString candidate = updates.filePath(version + QStringLiteral("/updates_spamassassin_org"));
        if (QFileInfo(candidate).isDir())
            folders = QStringList { candidate };
    }
    if (folders.isEmpty())
        folders << QStringLiteral("/usr/share/spamassassin");
    folders << QStringLiteral("/etc/spamassassin");
    return folders;
}

const MetaRuleMap &InstalledMetaRules()
{
    static const MetaRuleMap metas = [] {
        MetaRuleMap map;
        for (const QString &folder : CheckerRuleFolders()) {
            const QDir dir(folder);
            for (const QString &name : dir.entryList({ QStringLiteral("*.cf") }, QDir::Files, QDir::Name)) {
                QFile file(dir.filePath(name));
                if (file.open(QIODevice::ReadOnly))
                    map = ParseMetaRules(QString::fromUtf8(file.read(DebugReadLimit)), std::move(map));
            }
        }
        return map;
    }();
    return metas;
}

EvidenceMap ParseRuleDebug(QStringView debugOutput, const MetaRuleMap &metas)
{
    // Every rule that hit, with its texts; sub-rules (names with "__") included.
    EvidenceMap all;
    QString record;
    const auto finishRecord = [&] {
        if (record.isEmpty())
            return;
        const QRegularExpressionMatch hit = hitLine().match(record);
        if (hit.hasMatch()) {
            RuleEvidence &evidence = all[hit.captured(2).toUpper()];
            if (hit.capturedLength(3) > 0)
                addMatch(evidence, hit.captured(3));
        }
        record.clear();
    };
    for (QStringView line : debugOutput.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QRegularExpressionMatch start = recordStart().match(line.toString());
        if (start.hasMatch()) {
            finishRecord();
            record = line.sliced(start.capturedLength()).toString();
        } else if (!record.isEmpty()) {
            // A quoted hit that runs over several lines; cap what we keep.
            if (record.size() < 4 * EvidenceTextLimit)
                record += u'\n' + line.toString();
        }
    }
    finishRecord();

    EvidenceMap shown;
    for (auto it = all.cbegin(); it != all.cend(); ++it) {
        RuleEvidence evidence = it.value();
        for (const QString &sub : metas.value(it.key())) {
            if (sub != it.key() && all.contains(sub))
                evidence.subRules.append(sub);
        }
        shown.insert(it.key(), evidence);
    }
    return shown;
}

EvidenceJob::EvidenceJob(QObject *parent)
    : QObject(parent)
{
    qRegisterMetaType<norvale::EvidenceMap>();
    connect(&m_process, &Process::finished, this, &EvidenceJob::onFinished);
}

QByteArray EvidenceJob::contentKey(const QString &messagePath)
{
    QFile file(messagePath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(QFileInfo(messagePath).absoluteFilePath().toUtf8());
    hash.addData(QByteArrayView("\0", 1));
    if (!hash.addData(&file))
        return {};
    return hash.result();
}

const EvidenceMap *EvidenceJob::cached(const QString &messagePath) const
{
    const QByteArray key = contentKey(messagePath);
    if (key.isEmpty())
        return nullptr;
    const auto found = cache().entries.constFind(key);
    return found == cache().entries.cend() ? nullptr : &*found;
}

bool EvidenceJob::start(const QString &messagePath, bool online, const CheckerPaths &paths)
{
    if (m_process.isRunning())
        return messagePath == m_messagePath;
    m_messagePath = messagePath;
    m_key = contentKey(messagePath);
    if (const auto found = cache().entries.constFind(m_key);
        !m_key.isEmpty() && found != cache().entries.cend()) {
        QMetaObject::invokeMethod(
            this, [this, messagePath, evidence = *found] { emit ready(messagePath, evidence); },
            Qt::QueuedConnection);
        return true;
    }
    const auto fail = [this, messagePath](const QString &reason) {
        QMetaObject::invokeMethod(
            this, [this, messagePath, reason] { emit failed(messagePath, reason); }, Qt::QueuedConnection);
        return true;
    };
    if (m_key.isEmpty())
        return fail(QFile(messagePath).errorString());
    if (paths.testRun.isEmpty())
        return fail(QStringLiteral("spamassassin: not found"));
    const WorkDirResult workDir = GetTempDir();
    if (!workDir.ok())
        return fail(workDir.detail.isEmpty() ? workDir.path : workDir.detail);
    QTemporaryFile debugFile(workDir.path + QStringLiteral("evidence-XXXXXX.txt"));
    debugFile.setAutoRemove(false);
    if (!debugFile.open())
        return fail(debugFile.errorString());
    m_debugFile = debugFile.fileName();
    debugFile.close();

    ProcessRequest request;
    request.program = paths.testRun;
    request.arguments = QStringList { QStringLiteral("-t") };
    if (!online)
        request.arguments << QStringLiteral("-L");
    request.arguments << QStringLiteral("-D") << QStringLiteral("rules");
    request.standardInputFile = messagePath;
    request.standardErrorFile = m_debugFile;
    request.environment = CheckerEnvironment();
    request.timeLimit = m_timeLimit;
    m_process.start(request);
    return true;
}

void EvidenceJob::onFinished(const ProcessOutcome &outcome)
{
    QFile file(m_debugFile);
    QByteArray output;
    if (file.open(QIODevice::ReadOnly))
        output = file.read(DebugReadLimit);
    file.close();
    QFile::remove(m_debugFile);

    QString reason;
    switch (outcome.status) {
    case ProcessOutcome::Status::Finished:
        if (outcome.exitCode != 0)
            reason = QStringLiteral("exit status %1").arg(outcome.exitCode);
        break;
    case ProcessOutcome::Status::TimedOut:
        reason = QStringLiteral("timed out");
        break;
    case ProcessOutcome::Status::Cancelled:
        reason = QStringLiteral("cancelled");
        break;
    default:
        reason = outcome.errorString.isEmpty() ? QStringLiteral("failed") : outcome.errorString;
        break;
    }
    if (reason.isEmpty() && !output.contains("dbg: rules:"))
        reason = QStringLiteral("no rule debugging output");
    if (!reason.isEmpty()) {
        emit failed(m_messagePath, reason);
        return;
    }
    const EvidenceMap evidence = ParseRuleDebug(QString::fromUtf8(output), InstalledMetaRules());
    if (!m_key.isEmpty())
        cache().insert(m_key, evidence);
    emit ready(m_messagePath, evidence);
}

std::optional<EvidenceMap> GatherEvidence(
    const QString &messagePath, bool online, QString *error, const CheckerPaths &paths)
{
    EvidenceJob job;
    QEventLoop loop;
    std::optional<EvidenceMap> result;
    QObject::connect(&job, &EvidenceJob::ready, &loop, [&](const QString &, const EvidenceMap &evidence) {
        result = evidence;
        loop.quit();
    });
    QObject::connect(&job, &EvidenceJob::failed, &loop, [&](const QString &, const QString &reason) {
        if (error)
            *error = reason;
        loop.quit();
    });
    job.start(messagePath, online, paths);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    return result;
}

} // namespace norvale
