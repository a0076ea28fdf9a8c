#include "ReportScorer.h"
#include "SpamCheck.h"
#include "SpamdPool.h"
#include "WarmChecker.h"

#include <QDateTime>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "Daemons.h"
#include <QTextStream>

#include "Recordings.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace norvale;
using namespace std::chrono_literals;

namespace {

const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");
const QString Fakes = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");
// The daemon compiles the whole rule set before it answers; the machines the
// tests run on may be loaded.
constexpr int StartWait = 180000;
// The changed score the user's preferences give; the rule fires on every
// message that reaches the checker without relays.
const QByteArray UserPrefs = "score NO_RELAYS 2.5\n";

bool ProcessAlive(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

// Runs one check through the job and waits until it has finished.
SpamCheckResult RunJob(CheckerJob &job, const QString &message, const QString &report, bool online = false)
{
    SpamCheckResult result;
    QEventLoop loop;
    const auto ready = QObject::connect(
        &job, &CheckerJob::reportReady, &job, [&result](const SpamCheckResult &given) { result = given; });
    const auto finished = QObject::connect(&job, &CheckerJob::finished, &loop, &QEventLoop::quit);
    job.start(message, report, online);
    if (job.isRunning())
        loop.exec();
    QObject::disconnect(ready);
    QObject::disconnect(finished);
    return result;
}

// The real messages the tests can reach: ours and the checker's own examples.
QStringList RealMessages()
{
    QStringList files;
    for (const QString &name : { QStringLiteral("clean-newsletter.eml"), QStringLiteral("gtube.eml") })
        files << Messages + name;
    files << QStringLiteral(NORVALE_SOURCE_DIR "/samples/newsletter.eml");
    const QDir examples(QStringLiteral("/usr/share/doc/spamassassin/examples"));
    for (const QString &name : examples.entryList({ QStringLiteral("sample-*.txt") }, QDir::Files))
        files << examples.filePath(name);
    return files;
}

} // namespace

class WarmCheckerTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void warmAndColdGiveTheSameRows_data();
    void warmAndColdGiveTheSameRows();
    void theUsersChangedScoreReachesTheWarmPath();
    void onlyTheUserCanReachTheDaemon();
    void aLeftoverDaemonIsReusedAfterACrash();
    void aLeftoverWithOtherSettingsIsReplaced();
    void checksFallBackToTheColdPath_data();
    void checksFallBackToTheColdPath();
    void aPoolHostThatDiesLosesNoFile();
    void poolEntriesAreRead_data();
    void poolEntriesAreRead();
    void aDaemonLostMidUseIsNoScore_data();
    void aDaemonLostMidUseIsNoScore();
    void welcomelistPluginsAreRead_data();
    void welcomelistPluginsAreRead();
    void theSecondRunIsMadeOnlyWhereItCanChangeSomething_data();
    void theSecondRunIsMadeOnlyWhereItCanChangeSomething();

private:
    QString startOwner(const QString &workDir);
    QString privateFolder(const QString &name);

    QTemporaryDir m_root;
    QString m_home;
    QString m_workDir;
    std::unique_ptr<ScopedEnv> m_homeEnv;
    std::unique_ptr<WarmChecker> m_warm;
};

void WarmCheckerTest::initTestCase()
{
    QVERIFY(m_root.isValid());
    m_home = m_root.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(m_home + QStringLiteral("/.spamassassin")));
    QVERIFY(WriteFile(m_home + QStringLiteral("/.spamassassin/user_prefs"), UserPrefs));
    // Both paths read the preferences of the same user.
    m_homeEnv = std::make_unique<ScopedEnv>("HOME", QFile::encodeName(m_home));
    m_workDir = m_root.filePath(QStringLiteral("work/"));
    QVERIFY(QDir().mkpath(m_workDir));
    QVERIFY(SetMode(m_workDir, 0700));

    m_warm = std::make_unique<WarmChecker>();
    m_warm->setWorkDir(m_workDir);
    m_warm->setHome(m_home);
    QVERIFY2(!m_warm->clientPath().isEmpty(), "spamc must be installed");
    m_warm->start(false);
    QTRY_VERIFY_WITH_TIMEOUT(m_warm->state() != WarmChecker::State::Starting, StartWait);
    QVERIFY2(m_warm->isReady(), qPrintable(m_warm->failureReason()));
}

void WarmCheckerTest::cleanupTestCase()
{
    const qint64 pid = m_warm ? m_warm->daemonPid() : 0;
    if (m_warm)
        QTRY_VERIFY_WITH_TIMEOUT(!m_warm->secondRunPending(), 120000);
    m_warm.reset();
    QVERIFY(!ProcessAlive(pid));
}

void WarmCheckerTest::warmAndColdGiveTheSameRows_data()
{
    QTest::addColumn<QString>("message");
    for (const QString &file : RealMessages())
        QTest::newRow(qPrintable(QFileInfo(file).fileName())) << file;
}

void WarmCheckerTest::warmAndColdGiveTheSameRows()
{
    QFETCH(QString, message);
    QVERIFY(m_warm->isReady());
    const QString coldReport = m_root.filePath(QStringLiteral("cold.txt"));
    const QString warmReport = m_root.filePath(QStringLiteral("warm.txt"));
    const SpamCheckResult cold = RunSpamCheck(message, coldReport, false);
    WarmCheckJob job(m_warm.get());
    const SpamCheckResult warm = RunJob(job, message, warmReport);
    QVERIFY2(cold.ok(), qPrintable(cold.detail));
    QVERIFY2(warm.ok(), qPrintable(warm.detail));
    QVERIFY(job.lastWasWarm());

    const ScoreResult coldScore = ScoreReport(cold.section, QString());
    const ScoreResult warmScore = ScoreReport(warm.section, QString());
    QCOMPARE(warmScore.reasons.size(), coldScore.reasons.size());
    for (qsizetype i = 0; i < coldScore.reasons.size(); ++i)
        QCOMPARE(warmScore.reasons.at(i), coldScore.reasons.at(i));
    QCOMPARE(warmScore.total, coldScore.total);
    QCOMPARE(warm.section, cold.section);
}

void WarmCheckerTest::theUsersChangedScoreReachesTheWarmPath()
{
    WarmCheckJob job(m_warm.get());
    const SpamCheckResult warm = RunJob(
        job, Messages + QStringLiteral("clean-newsletter.eml"), m_root.filePath(QStringLiteral("prefs.txt")));
    QVERIFY2(warm.ok(), qPrintable(warm.detail));
    QVERIFY(job.lastWasWarm());
    bool found = false;
    for (const Reason &reason : ScoreReport(warm.section, QString()).reasons) {
        if (reason.ruleName == QLatin1String("NO_RELAYS")) {
            QCOMPARE(reason.points, 2.5f);
            found = true;
        }
    }
    QVERIFY(found);
}

void WarmCheckerTest::onlyTheUserCanReachTheDaemon()
{
    struct stat info;
    QCOMPARE(::stat(QFile::encodeName(m_warm->socketPath()).constData(), &info), 0);
    QVERIFY(S_ISSOCK(info.st_mode));
    QCOMPARE(info.st_mode & 0777, mode_t(0600));
    QCOMPARE(info.st_uid, ::geteuid());
    QCOMPARE(QFileInfo(m_workDir).permissions() & 0x0077, QFileDevice::Permissions());
}

// A fresh 0700 folder for a daemon's socket; empty when it cannot be made.
QString WarmCheckerTest::privateFolder(const QString &name)
{
    const QString folder = m_root.filePath(name);
    return QDir().mkpath(folder) && SetMode(folder, 0700) ? folder : QString();
}

// Starts this program as a separate owner of a daemon in the folder; returns
// the daemon's pid once it answers. The owner waits to be killed.
QString WarmCheckerTest::startOwner(const QString &workDir)
{
    auto *owner = new QProcess(this);
    owner->setProgram(QCoreApplication::applicationFilePath());
    owner->setArguments({ QStringLiteral("--own-daemon"), workDir, m_home });
    owner->start();
    if (!owner->waitForStarted())
        return QString();
    QString line;
    for (int i = 0; i < StartWait / 100 && line.isEmpty(); ++i) {
        owner->waitForReadyRead(100);
        if (owner->canReadLine())
            line = QString::fromUtf8(owner->readLine()).trimmed();
        if (owner->state() == QProcess::NotRunning)
            break;
    }
    ::kill(static_cast<pid_t>(owner->processId()), SIGKILL); // the owner crashes
    owner->waitForFinished();
    return line;
}

void WarmCheckerTest::aLeftoverDaemonIsReusedAfterACrash()
{
    const QString workDir = privateFolder(QStringLiteral("crash/"));
    QVERIFY(!workDir.isEmpty());
    const qint64 leftover = startOwner(workDir).toLongLong();
    QVERIFY(leftover > 0);
    QVERIFY(ProcessAlive(leftover));

    WarmChecker again;
    again.setWorkDir(workDir);
    again.setHome(m_home);
    again.start(false);
    QTRY_VERIFY_WITH_TIMEOUT(again.state() != WarmChecker::State::Starting, StartWait);
    QVERIFY2(again.isReady(), qPrintable(again.failureReason()));
    QCOMPARE(again.daemonPid(), leftover);

    WarmCheckJob job(&again);
    const SpamCheckResult warm
        = RunJob(job, Messages + QStringLiteral("gtube.eml"), m_root.filePath(QStringLiteral("reuse.txt")));
    QVERIFY2(warm.ok(), qPrintable(warm.detail));
    QVERIFY(job.lastWasWarm());

    again.stop();
    QVERIFY(!ProcessAlive(leftover));
    QVERIFY(!QFileInfo::exists(workDir + QStringLiteral("spamd.sock")));
}

void WarmCheckerTest::aLeftoverWithOtherSettingsIsReplaced()
{
    const QString workDir = privateFolder(QStringLiteral("other/"));
    QVERIFY(!workDir.isEmpty());
    const qint64 leftover = startOwner(workDir).toLongLong();
    QVERIFY(leftover > 0);

    // The same folder, another user's preferences folder: not the daemon we want.
    const QString otherHome = m_root.filePath(QStringLiteral("otherhome"));
    QVERIFY(QDir().mkpath(otherHome));
    WarmChecker again;
    again.setWorkDir(workDir);
    again.setHome(otherHome);
    again.start(false);
    QVERIFY(!ProcessAlive(leftover));
    QTRY_VERIFY_WITH_TIMEOUT(again.state() != WarmChecker::State::Starting, StartWait);
    QVERIFY2(again.isReady(), qPrintable(again.failureReason()));
    QVERIFY(again.daemonPid() != leftover);
}

void WarmCheckerTest::checksFallBackToTheColdPath_data()
{
    QTest::addColumn<QString>("daemon");
    QTest::addColumn<QString>("expectedReason");
    QTest::newRow("no daemon on PATH") << QString() << QStringLiteral("no spamd installed");
    QTest::newRow("a daemon that never answers")
        << Fakes + QStringLiteral("hang") << QStringLiteral("did not answer");
    QTest::newRow("a daemon that fails at start")
        << Fakes + QStringLiteral("fail") << QStringLiteral("the daemon ended");
}

void WarmCheckerTest::checksFallBackToTheColdPath()
{
    QFETCH(QString, daemon);
    QFETCH(QString, expectedReason);
    const QString workDir = privateFolder(QStringLiteral("fallback/"));
    QVERIFY(!workDir.isEmpty());

    WarmChecker warm;
    WarmCheckerPaths paths = WarmCheckerPaths::resolve();
    if (daemon.isEmpty()) {
        const QString empty = m_root.filePath(QStringLiteral("emptybin"));
        QVERIFY(QDir().mkpath(empty));
        ScopedEnv path("PATH", QFile::encodeName(empty));
        paths = WarmCheckerPaths::resolve();
        QVERIFY(paths.daemon.isEmpty());
    } else {
        paths.daemon = daemon;
    }
    warm.setPaths(paths);
    warm.setWorkDir(workDir);
    warm.setHome(m_home);
    warm.setStartTimeLimit(2s);
    warm.start(false);
    QTRY_VERIFY_WITH_TIMEOUT(warm.state() == WarmChecker::State::Failed, 20000);
    QVERIFY2(warm.failureReason().contains(expectedReason), qPrintable(warm.failureReason()));
    QCOMPARE(warm.daemonPid(), 0);

    // The cold path is the real checker's own (warmAndColdGiveTheSameRows);
    // that the check takes it is the point here, on the checker's recording.
    ScopedEnv recorded("PATH", QFile::encodeName(RecordedCheckerPath(m_root.path())));
    WarmCheckJob job(&warm);
    const SpamCheckResult result = RunJob(
        job, Messages + QStringLiteral("gtube.eml"), m_root.filePath(QStringLiteral("fallback.txt")));
    QVERIFY2(result.ok(), qPrintable(result.detail));
    QVERIFY(!job.lastWasWarm());
    QVERIFY(result.checkerPath.contains(QStringLiteral("/recorded-checker/")));
    QVERIFY(ScoreReport(result.section, QString()).total >= 1000.0f);
}

void WarmCheckerTest::aDaemonLostMidUseIsNoScore_data()
{
    QTest::addColumn<int>("signal");
    QTest::newRow("a daemon that hangs") << int(SIGSTOP);
    QTest::newRow("a daemon that dies") << int(SIGKILL);
}

void WarmCheckerTest::aDaemonLostMidUseIsNoScore()
{
    QFETCH(int, signal);
    const QString workDir = privateFolder(QStringLiteral("lost/"));
    QVERIFY(!workDir.isEmpty());
    WarmChecker warm;
    warm.setWorkDir(workDir);
    warm.setHome(m_home);
    warm.start(false);
    QTRY_VERIFY_WITH_TIMEOUT(warm.state() != WarmChecker::State::Starting, StartWait);
    QVERIFY2(warm.isReady(), qPrintable(warm.failureReason()));
    const qint64 pid = warm.daemonPid();

    // A stopped daemon keeps its socket, so the check meets a daemon that
    // takes the message and never answers; a killed one refuses it.
    QCOMPARE(::kill(-static_cast<pid_t>(pid), signal), 0);
    WarmCheckJob job(&warm);
    job.setTimeLimit(3s);
    const SpamCheckResult result
        = RunJob(job, Messages + QStringLiteral("gtube.eml"), m_root.filePath(QStringLiteral("lost.txt")));
    QVERIFY2(result.ok(), qPrintable(result.detail));
    QVERIFY(!job.lastWasWarm());
    QVERIFY(ScoreReport(result.section, QString()).total >= 1000.0f);
    QTRY_VERIFY(!ProcessAlive(pid));
    // A fresh daemon takes its place.
    QTRY_VERIFY_WITH_TIMEOUT(warm.state() != WarmChecker::State::Starting, StartWait);
    QVERIFY2(warm.isReady(), qPrintable(warm.failureReason()));
    QVERIFY(warm.daemonPid() != pid);
}

void WarmCheckerTest::aPoolHostThatDiesLosesNoFile()
{
    // Two daemons of a team's pool, on loopback ports of this machine only.
    QList<qint64> hosts;
    SpamdPool pool;
    for (int i = 0; i < 2; ++i) {
        const quint16 port = FreeLoopbackPort();
        QVERIFY(port != 0);
        qint64 pid = 0;
        // A session of its own, so that the host dies with all its children.
        QVERIFY(QProcess::startDetached(QStringLiteral("setsid"),
            { WarmCheckerPaths::resolve().daemon, QStringLiteral("--local"),
                QStringLiteral("--nouser-config"), QStringLiteral("--listen=127.0.0.1:%1").arg(port),
                QStringLiteral("--allowed-ips=127.0.0.1"), QStringLiteral("--max-children=1"),
                QStringLiteral("--syslog=stderr") },
            QString(), &pid));
        hosts << pid;
        pool.hosts.append({ QStringLiteral("127.0.0.1"), port });
    }
    const auto endHosts = qScopeGuard([&hosts] {
        for (qint64 pid : hosts)
            ::kill(-static_cast<pid_t>(pid), SIGKILL);
    });
    const QString client = WarmCheckerPaths::resolve().client;
    for (const SpamdPool::Host &host : pool.hosts) {
        QTRY_VERIFY_WITH_TIMEOUT(
            QProcess::execute(client,
                { QStringLiteral("-d"), host.name, QStringLiteral("-p"), QString::number(host.port),
                    QStringLiteral("-K"), QStringLiteral("-x") })
                == 0,
            StartWait);
    }

    const QString report = m_root.filePath(QStringLiteral("pool.txt"));
    const QString message = Messages + QStringLiteral("gtube.eml");
    SpamdPoolJob job(pool, client);
    SpamCheckResult result = RunJob(job, message, report);
    QVERIFY2(result.ok(), qPrintable(result.detail));

    // One host dies in the middle of the batch: every file is still checked,
    // those sent to it first on the other.
    ::kill(-static_cast<pid_t>(hosts.at(1)), SIGKILL);
    int retried = 0;
    for (int i = 0; i < 4; ++i) {
        result = RunJob(job, message, report);
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QVERIFY(ScoreReport(result.section, QString()).total >= 1000.0f);
        retried += job.attempts() > 1;
    }
    QVERIFY(retried > 0);

    // With no host left, the check fails and names the hosts; it is never a score.
    ::kill(-static_cast<pid_t>(hosts.at(0)), SIGKILL);
    result = RunJob(job, message, report);
    QCOMPARE(result.status, SpamCheckResult::Status::NotStarted);
    QVERIFY(result.section.isEmpty());
    for (const SpamdPool::Host &host : pool.hosts)
        QVERIFY2(
            result.detail.contains(QStringLiteral("127.0.0.1:%1").arg(host.port)), qPrintable(result.detail));
}

void WarmCheckerTest::poolEntriesAreRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("described"); // empty: refused
    QTest::newRow("one host") << "mail.example:783"
                              << "mail.example:783";
    QTest::newRow("two hosts, spaces after the comma") << "a.example:783, b.example:784"
                                                       << "a.example:783, b.example:784";
    QTest::newRow("an IPv6 address in brackets") << "[::1]:783"
                                                 << "[::1]:783";
    QTest::newRow("no port") << "mail.example"
                             << "";
    QTest::newRow("port zero") << "mail.example:0"
                               << "";
    QTest::newRow("port past the last") << "mail.example:65536"
                                        << "";
    QTest::newRow("an empty entry") << "a.example:783,"
                                    << "";
    QTest::newRow("nothing") << ""
                             << "";
}

void WarmCheckerTest::poolEntriesAreRead()
{
    QFETCH(QString, text);
    QFETCH(QString, described);
    const std::optional<SpamdPool> pool = SpamdPool::parse(text);
    QCOMPARE(pool.has_value(), !described.isEmpty());
    if (pool)
        QCOMPARE(pool->describe(), described);
}

// The tests drop root, as the daemon never runs as root; "--own-daemon FOLDER
// HOME" makes this program the owner of a daemon for the crash test.
int main(int argc, char **argv)
{
    DropRoot(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--own-daemon") == 0) {
        QCoreApplication app(argc, argv);
        WarmChecker warm;
        warm.setWorkDir(QString::fromLocal8Bit(argv[2]));
        warm.setHome(QString::fromLocal8Bit(argv[3]));
        QObject::connect(&warm, &WarmChecker::stateChanged, [&warm](WarmChecker::State state) {
            if (state == WarmChecker::State::Ready)
                QTextStream(stdout) << warm.daemonPid() << Qt::endl;
            else if (state == WarmChecker::State::Failed)
                QCoreApplication::exit(1);
        });
        warm.start(false);
        return app.exec();
    }
    QCoreApplication app(argc, argv);
    WarmCheckerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_warmchecker.moc"

void WarmCheckerTest::welcomelistPluginsAreRead_data()
{
    QTest::addColumn<QString>("output");
    QTest::addColumn<bool>("loads");
    const QString line = QStringLiteral(
        "Dec 10 19:56:32.019 [22433] dbg: plugin: loading Mail::SpamAssassin::Plugin::%1 from @INC\n");
    QTest::newRow("other plugins only") << line.arg(u"URIDNSBL") + line.arg(u"Bayes") << false;
    QTest::newRow("AWL among them") << line.arg(u"Bayes") + line.arg(u"AWL") << true;
    QTest::newRow("TxRep") << line.arg(u"TxRep") << true;
    QTest::newRow("a plugin whose name begins alike") << line.arg(u"AWLike") << false;
    QTest::newRow("the name elsewhere than a loading line") << QStringLiteral(
        "dbg: config: read file /etc/spamassassin/v310.pre Mail::SpamAssassin::Plugin::AWL \n")
                                                            << false;
}

void WarmCheckerTest::welcomelistPluginsAreRead()
{
    QFETCH(QString, output);
    QFETCH(bool, loads);
    QCOMPARE(WarmChecker::loadsWelcomelistPlugin(output), loads);
}

// The checker's second run removes the message's addresses from the
// auto-welcomelist: with the installation's configuration, which keeps none,
// a warm check skips it; with a configuration that loads the AWL plugin, it
// is the checker's own second run on a copy of the message.
void WarmCheckerTest::theSecondRunIsMadeOnlyWhereItCanChangeSomething_data()
{
    QTest::addColumn<bool>("loadAwl");
    QTest::addColumn<WarmChecker::SecondRunNeed>("need");
    QTest::newRow("the installed configuration") << false << WarmChecker::SecondRunNeed::NotNeeded;
    QTest::newRow("a configuration that loads the auto-welcomelist")
        << true << WarmChecker::SecondRunNeed::Needed;
}

void WarmCheckerTest::theSecondRunIsMadeOnlyWhereItCanChangeSomething()
{
    QFETCH(bool, loadAwl);
    QFETCH(WarmChecker::SecondRunNeed, need);
    const QString folder = m_root.filePath(loadAwl ? QStringLiteral("awl") : QStringLiteral("plain"));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/site")));
    QString site;
    if (loadAwl) {
        // The site configuration as installed, and the plugin the installation leaves out.
        const QDir installed(QStringLiteral("/etc/spamassassin"));
        for (const QString &name :
            installed.entryList({ QStringLiteral("*.pre"), QStringLiteral("*.cf") }, QDir::Files))
            QVERIFY(QFile::copy(installed.filePath(name), folder + QStringLiteral("/site/") + name));
        QVERIFY(WriteFile(
            folder + QStringLiteral("/site/zz-awl.pre"), "loadplugin Mail::SpamAssassin::Plugin::AWL\n"));
        site = QStringLiteral(" --siteconfigpath=") + folder + QStringLiteral("/site");
    }
    // The real checker, noting each run's arguments.
    const QString checker = folder + QStringLiteral("/spamassassin");
    const QString log = folder + QStringLiteral("/runs.log");
    QVERIFY(WriteFile(checker,
        QStringLiteral("#!/bin/sh\necho \"$*\" >> '%1'\nexec spamassassin%2 \"$@\"\n")
            .arg(log, site)
            .toUtf8()));
    QVERIFY(SetMode(checker, 0755));

    const QString workDir
        = privateFolder(loadAwl ? QStringLiteral("awl-work/") : QStringLiteral("plain-work/"));
    QVERIFY(!workDir.isEmpty());
    WarmChecker warm;
    warm.setWorkDir(workDir);
    warm.setHome(m_home);
    warm.setSecondRunChecker(checker);
    warm.start(false);
    QTRY_VERIFY_WITH_TIMEOUT(warm.secondRunNeed() != WarmChecker::SecondRunNeed::Unknown, StartWait);
    QCOMPARE(warm.secondRunNeed(), need);

    warm.queueSecondRun(Messages + QStringLiteral("clean-newsletter.eml"));
    QTRY_VERIFY_WITH_TIMEOUT(!warm.secondRunPending(), 120000);
    const QByteArrayList runs = ReadFile(log).trimmed().split('\n');
    QCOMPARE(runs.first(), QByteArray("-D plugin -L --lint"));
    QCOMPARE(runs.contains("-R"), loadAwl);
    QVERIFY(!QFileInfo::exists(workDir + QStringLiteral("plugins.log")));
}
