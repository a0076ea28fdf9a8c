// Faults checked where they happen, below the command line: a message that
// goes away or is swapped for a named pipe while it is checked, a checker that
// hangs or crashes, a stop signal in the middle of a check, a message file
// too large, a working folder taken by someone else, a settings folder the
// user can no longer write. The command line's side of the fault matrix runs
// through the built norvale-check (tests/cli/tst_faultmatrix).

#include "CheckRun.h"
#include "MessageFile.h"
#include "Settings.h"
#include "SignalStop.h"
#include "SpamCheck.h"
#include "WorkDir.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "Processes.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

using namespace norvale;

namespace {

const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");
const QString Fakes = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");
const QStringList DefaultBoxes { "1", "2", "4", "5", "8" };

// The checksum line cksum gives for the bytes, as the held fake logs it.
QByteArray Checksum(const QByteArray &bytes)
{
    QProcess cksum;
    cksum.start(QStringLiteral("cksum"), QStringList());
    cksum.write(bytes);
    cksum.closeWriteChannel();
    cksum.waitForFinished();
    return cksum.readAllStandardOutput().trimmed();
}

constexpr uid_t NobodyId = 65534;

} // namespace

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<norvale::SpamCheckResult>();
        qRegisterMetaType<norvale::CheckOutcome>();
        QVERIFY(m_dir.isValid());
        // The checker keeps its data below HOME; keep it away from anyone's own.
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        m_real = CheckerPaths::resolve(QStringLiteral(NORVALE_APP_DIR));
        QVERIFY2(!m_real.testRun.isEmpty(), "SpamAssassin (spamassassin) must be installed");
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("runtime")));
        QVERIFY(SetMode(runtime(), 0700));
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime()));
        qputenv("NORVALE_FAKE_LOG", QFile::encodeName(log()));
    }
    void init()
    {
        QFile::remove(log());
        for (const char *name : { "NORVALE_FAKE_HOLD", "NORVALE_FAKE_GATE", "NORVALE_FAKE_REPORT" })
            qunsetenv(name);
    }

    // The message is opened once: swapped for a named pipe after it was
    // judged, it hangs nothing, and both runs read the bytes that were judged.
    void messageSwappedForAPipeAfterValidation_bothRunsReadTheJudgedBytes()
    {
        const QString message = m_dir.filePath(QStringLiteral("swapped.eml"));
        const QByteArray bytes = ReadFile(Messages + QStringLiteral("gtube.eml"));
        QVERIFY(WriteFile(message, bytes));
        const QString gate = m_dir.filePath(QStringLiteral("gate"));
        qputenv("NORVALE_FAKE_HOLD", "t");
        qputenv("NORVALE_FAKE_GATE", QFile::encodeName(gate));
        qputenv("NORVALE_FAKE_REPORT", NORVALE_TEST_DATA "/reports/gtube.report.txt");
        CheckRun run;
        run.setCheckerFactory(fake(QStringLiteral("held"), QStringLiteral("held")));
        QSignalSpy ready(&run, &CheckRun::resultReady);
        QSignalSpy finished(&run, &CheckRun::finished);
        QVERIFY(run.start({ message, QString(), DefaultBoxes, false }));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(gate + QStringLiteral(".pid")), 60000);
        QVERIFY(QFile::remove(message));
        QVERIFY(::mkfifo(QFile::encodeName(message).constData(), 0600) == 0);
        QVERIFY(WriteFile(gate, QByteArray()));

        QVERIFY(finished.wait(60000));
        const CheckOutcome outcome = ready.first().first().value<CheckOutcome>();
        QVERIFY2(outcome.ok(), qPrintable(outcome.check.detail));
        QVERIFY(outcome.score.total >= 1000);
        const QByteArray sum = Checksum(bytes);
        QCOMPARE(ReadFile(log()), "t " + sum + "\nR " + sum + "\n");
        QCOMPARE(workingFiles(), QStringList());
    }

    // A test run that hung past its limit or crashed would do so again: no
    // second run, so the check ends right after its failure is known.
    void hungOrCrashedTestRun_hasNoSecondRun_data()
    {
        QTest::addColumn<QString>("checker");
        QTest::addColumn<SpamCheckResult::Status>("status");
        QTest::newRow("a checker that hangs") << "hang" << SpamCheckResult::Status::TimedOut;
        QTest::newRow("a checker that crashes") << "crash" << SpamCheckResult::Status::Crashed;
        QTest::newRow("a checker killed halfway through its report")
            << "halfway" << SpamCheckResult::Status::Crashed;
    }
    void hungOrCrashedTestRun_hasNoSecondRun()
    {
        QFETCH(QString, checker);
        QFETCH(SpamCheckResult::Status, status);
        CheckRun run;
        run.setCheckerFactory(fake(checker, QStringLiteral("log")));
        QSignalSpy ready(&run, &CheckRun::resultReady);
        QSignalSpy finished(&run, &CheckRun::finished);
        QVERIFY(run.start({ Messages + QStringLiteral("gtube.eml"), QString(), DefaultBoxes, false }));
        QVERIFY(finished.wait(60000));
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.first().first().value<CheckOutcome>().check.status, status);
        QTest::qWait(300);
        QVERIFY(!QFile::exists(log()));
        QCOMPARE(workingFiles(), QStringList());
    }

    // A stop signal in the middle of a check: the checker's whole group is
    // killed, the check's files removed, and the program ends with 128 + the
    // signal's number.
    void stopSignal_killsTheCheckerAndRemovesItsFiles()
    {
        QList<int> statuses;
        StopOnSignals([&statuses](int status) { statuses.append(status); });
        const auto restore = qScopeGuard([] { StopOnSignals({}); });
        const QString gate = m_dir.filePath(QStringLiteral("signal-gate"));
        qputenv("NORVALE_FAKE_HOLD", "t");
        qputenv("NORVALE_FAKE_GATE", QFile::encodeName(gate));
        CheckRun run;
        run.setCheckerFactory(fake(QStringLiteral("held"), QStringLiteral("held")));
        QSignalSpy finished(&run, &CheckRun::finished);
        QVERIFY(run.start({ Messages + QStringLiteral("gtube.eml"), QString(), DefaultBoxes, false }));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(gate + QStringLiteral(".pid")), 60000);
        const pid_t pid = ReadFile(gate + QStringLiteral(".pid")).trimmed().toInt();
        QVERIFY(GroupAlive(pid));
        QCOMPARE(workingFiles().size(), 2);

        QVERIFY(::raise(SIGHUP) == 0);
        QTRY_COMPARE(statuses, QList<int> { 129 });
        QCOMPARE(finished.count(), 1);
        QTRY_VERIFY(!GroupAlive(pid)); // SIGKILL takes effect a moment after it is sent
        QCOMPARE(workingFiles(), QStringList());
    }

    // A mailbox picked by mistake is refused by its size before anything reads it.
    void messagePastTheSizeLimit_isRefusedBeforeTheChecker()
    {
        const QString mailbox = m_dir.filePath(QStringLiteral("mailbox.eml"));
        QVERIFY(WriteFile(mailbox, ReadFile(Messages + QStringLiteral("gtube.eml"))));
        QVERIFY(QFile(mailbox).resize(qint64(2) * 1024 * 1024 * 1024)); // sparse
        CheckRun run;
        run.setCheckerFactory(fake(QStringLiteral("log"), QStringLiteral("log")));
        QVERIFY(!run.start({ mailbox, QString(), DefaultBoxes, false }));
        QCOMPARE(run.outcome().stage, CheckOutcome::Stage::MessageFile);
        QCOMPARE(run.outcome().fileStatus, MessageFileStatus::TooLarge);
        QVERIFY(!QFile::exists(log()));
        QVERIFY(QFile::remove(mailbox));
    }

    // Without XDG_RUNTIME_DIR, a folder planted at the fixed name in the
    // shared temporary folder does not block checks: the real checker runs in
    // a fresh private folder, which the log names and which goes at the end.
    void workingFolderTakenByAnotherUser_checkRunsInAFreshFolder()
    {
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        ScopedEnv tmpdir("TMPDIR", QFile::encodeName(temp.path()));
        ScopedEnv xdg("XDG_RUNTIME_DIR", QByteArray());
        const QString fixed = temp.filePath(QStringLiteral("norvale-%1").arg(::geteuid()));
        QVERIFY(QDir().mkdir(fixed));
        QVERIFY(SetMode(fixed, 0777));
        if (::geteuid() == 0)
            QVERIFY(::chown(QFile::encodeName(fixed).constData(), NobodyId, NobodyId) == 0);

        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("fresh private folder")));
        CheckRun run;
        const CheckerPaths real = m_real;
        run.setCheckerFactory([real] {
            auto *job = new SpamCheckJob;
            job->setPaths(real);
            return job;
        });
        QVERIFY(run.start({ Messages + QStringLiteral("gtube.eml"), QString(), DefaultBoxes, false }));
        const QString folder = run.outcome().workDir.path;
        QVERIFY2(folder.startsWith(fixed + u'-'), qPrintable(folder));
        QSignalSpy finished(&run, &CheckRun::finished);
        QVERIFY(finished.wait(120000));
        QVERIFY2(run.outcome().ok(), qPrintable(run.outcome().check.detail));
        QVERIFY(run.outcome().score.total >= 1000);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());
        QCOMPARE(QDir(fixed).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList());

        RemoveFallbackWorkDir();
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(QFileInfo(fixed).isDir());
    }

    // The window and the command line validate the file, then start the
    // check; a file deleted in between must not pass for a checker fault
    // without a word about the file.
    void messageDeletedAfterValidation_isNamedInTheFailure()
    {
        const QString message = m_dir.filePath(QStringLiteral("going.eml"));
        QVERIFY(QFile::copy(Messages + QStringLiteral("gtube.eml"), message));
        QCOMPARE(ValidateMessageFile(message), MessageFileStatus::Ok);
        QVERIFY(QFile::remove(message));

        SpamCheckJob job;
        QSignalSpy ready(&job, &SpamCheckJob::reportReady);
        QSignalSpy finished(&job, &SpamCheckJob::finished);
        job.start(message, m_dir.filePath(QStringLiteral("spamscore.txt")), false, m_real);
        QVERIFY(finished.wait(60000));
        QCOMPARE(ready.count(), 1);
        const SpamCheckResult result = ready.first().first().value<SpamCheckResult>();
        QCOMPARE(result.status, SpamCheckResult::Status::NotStarted);
        QVERIFY(result.section.isEmpty());
        QCOMPARE(result.checkerPath, m_real.testRun);
        QCOMPARE(result.detail,
            QStringLiteral("cannot read the message file \"%1\": %2").arg(message, qt_error_string(ENOENT)));
    }

    void settingsFolderNotWritable_failsAndKeepsTheOldFile()
    {
        const QString folder = m_dir.filePath(QStringLiteral("config/norvale"));
        const QString path = folder + QStringLiteral("/conf.ini");
        QVERIFY(QDir().mkpath(folder));
        const QByteArray old = "rules=GTUBE:2&thresholds=1|2|4|5|8&hidezero=1&onlinechecks=0\n";
        QVERIFY(WriteFile(path, old));
        QVERIFY(SetMode(m_dir.path(), 0711));
        QVERIFY(SetMode(m_dir.filePath(QStringLiteral("config")), 0711));
        // The file itself stays writable: only the folder refuses, and the
        // save must not fall back to rewriting the file in place.
        QVERIFY(SetMode(path, 0666));
        QVERIFY(SetMode(folder, 0555));
        const auto restore = qScopeGuard([folder] { SetMode(folder, 0755); });

        // Root writes into any folder, so the save runs as nobody then.
        const bool dropRoot = ::geteuid() == 0;
        if (dropRoot)
            QVERIFY(::seteuid(NobodyId) == 0);
        const SaveOutcome outcome = SaveSettings(Settings { QString(), QStringLiteral("9"), 0, 1 }, path);
        if (dropRoot)
            QVERIFY(::seteuid(0) == 0);

        QVERIFY(!outcome.ok);
        QVERIFY2(outcome.errorString.contains(path), qPrintable(outcome.errorString));
        QVERIFY2(outcome.errorString.contains(qt_error_string(EACCES)), qPrintable(outcome.errorString));
        QCOMPARE(ReadFile(path), old);
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("conf.ini") });
    }

private:
    QString runtime() const { return m_dir.filePath(QStringLiteral("runtime")); }
    QString log() const { return m_dir.filePath(QStringLiteral("checker.log")); }
    QStringList workingFiles() const { return FolderEntries(runtime() + QStringLiteral("/norvale")); }
    // Checks run by the two programs (fake checkers by name, or full paths),
    // each run stopped after 2 seconds.
    static CheckerFactory fake(const QString &testRun, const QString &secondRun)
    {
        CheckerPaths paths;
        paths.testRun = testRun.startsWith(u'/') ? testRun : Fakes + testRun;
        paths.secondRun = secondRun.startsWith(u'/') ? secondRun : Fakes + secondRun;
        return [paths] {
            auto *job = new SpamCheckJob;
            job->setPaths(paths);
            job->setTimeLimit(std::chrono::seconds(2));
            return job;
        };
    }

    QTemporaryDir m_dir;
    CheckerPaths m_real;
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
