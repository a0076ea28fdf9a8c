// What the user of norvale-check sees when something around a check goes
// wrong: the built program, run on real messages and the real checker's
// recorded reports (tests/data/recorded), with the real checker itself where
// its own work is the point, and stand-ins for the faults only they can show.
// Every row states the exit status, the message on standard error and the
// JSON entry of the file.
//
// Faults shown below the command line live beside their units: a checker
// that hangs past the time limit (tst_spamcheck, and with no second run in
// tests/engine/tst_faultmatrix), a message deleted between validation and the
// run and a settings folder that cannot be written (tests/engine/
// tst_faultmatrix), a file where the settings folder should be when saving
// (tst_settings). The window's own: markup in a file name and megabyte report
// fields (tst_checkpanel); a settings file it could not read, two windows on
// one file and a close in the middle of an edit (tst_mainwindow_settings).

#include "CheckFailureText.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Processes.h"
#include "TerminalControls.h"
#include "TestFiles.h"

#include <QThread>

#include <cerrno>
#include <fcntl.h>
#include <random>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace norvale;

namespace {

const QString Program = QStringLiteral(NORVALE_APP_DIR "/norvale-check");
const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");
const QString FakeCheckers = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");

// The rows name their catalogue texts unqualified.
using namespace TextId;
using namespace CliText;

constexpr uid_t NobodyId = 65534;
constexpr int RunLimitSeconds = 170;

struct Run
{
    int exitCode = -1; // -1: ended by a signal, or stopped after RunLimitSeconds
    bool stopped = false;
    QString out;
    QString err;
    long peakKiB = 0; // peak resident memory of the program and the children it waited for

    QJsonArray files() const
    {
        return QJsonDocument::fromJson(out.toUtf8()).object().value(u"files").toArray();
    }
};

struct stat LinkStat(const QString &path)
{
    struct stat info = {};
    ::lstat(QFile::encodeName(path).constData(), &info);
    return info;
}

// A message of about `size` bytes: headers, then newsletter paragraphs.
QByteArray BigMessage(qsizetype size)
{
    QByteArray message = "From: Garden Club <news@garden-club.example>\n"
                         "To: members@garden-club.example\n"
                         "Subject: The complete seed catalogue\n"
                         "Date: Wed, 05 Jun 2024 17:40:12 +0200\n"
                         "Message-ID: <catalogue-2024-06@garden-club.example>\n"
                         "MIME-Version: 1.0\n"
                         "Content-Type: text/plain; charset=utf-8\n"
                         "\n";
    message.reserve(size + 200);
    for (int item = 1; message.size() < size; ++item) {
        message += "Item " + QByteArray::number(item)
            + ": sow in spring after the last frost, a sunny bed and well drained soil.\n"
              "Water twice a week; the flowers come in the second summer.\n\n";
    }
    return message;
}

} // namespace

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QString m_path; // the PATH of the machine, for the fakes' own tools and the real checker
    QString m_recordedPath; // PATH with the recorded checker in front

    // The environment of a run: settings, working folder and the checker's
    // home all in the test's folder.
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_home.filePath(QStringLiteral("config")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_home.filePath(QStringLiteral("runtime")));
        env.insert(QStringLiteral("HOME"), m_home.filePath(QStringLiteral("home")));
        env.insert(QStringLiteral("NORVALE_FAKE_LOG"), checkerLog());
        env.insert(QStringLiteral("PATH"), m_recordedPath);
        return env;
    }

    QString checkerLog() const { return m_home.filePath(QStringLiteral("checker.log")); }

    // PATH with a copy of the fake checker `name` as spamassassin in front.
    QString pathWithFake(const QString &name)
    {
        const QString folder = m_home.filePath(QStringLiteral("fake-") + name);
        if (!QFile::exists(folder + QStringLiteral("/spamassassin"))) {
            QDir().mkpath(folder);
            QFile::copy(FakeCheckers + name, folder + QStringLiteral("/spamassassin"));
        }
        return folder + u':' + m_path;
    }

    // Starts argv[0] (bytes, so names need not be valid text) with its output
    // going to files; 0 when it could not be started.
    pid_t start(const QList<QByteArray> &argv, const QProcessEnvironment &env,
        const QString &folder = QString()) const
    {
        const QByteArray outPath = QFile::encodeName(m_home.filePath(QStringLiteral("stdout")));
        const QByteArray errPath = QFile::encodeName(m_home.filePath(QStringLiteral("stderr")));
        const QByteArray folderBytes = QFile::encodeName(folder);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
        posix_spawn_file_actions_addopen(
            &actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_addopen(
            &actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (!folder.isEmpty())
            posix_spawn_file_actions_addchdir_np(&actions, folderBytes.constData());

        std::vector<char *> args;
        for (const QByteArray &arg : argv)
            args.push_back(const_cast<char *>(arg.constData()));
        args.push_back(nullptr);
        QList<QByteArray> envBytes;
        for (const QString &entry : env.toStringList())
            envBytes << QFile::encodeName(entry);
        std::vector<char *> envp;
        for (const QByteArray &entry : envBytes)
            envp.push_back(const_cast<char *>(entry.constData()));
        envp.push_back(nullptr);

        pid_t pid = 0;
        const int error = ::posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
        posix_spawn_file_actions_destroy(&actions);
        if (error != 0) {
            qWarning("cannot start %s: %s", args[0], strerror(error));
            return 0;
        }
        return pid;
    }

    // Waits for a program start() began, at most `limitSeconds`; wait4()
    // gives its peak memory. One still running then is killed (stopped).
    Run wait(pid_t pid, int limitSeconds = RunLimitSeconds) const
    {
        Run run;
        if (pid <= 0)
            return run;
        QElapsedTimer clock;
        clock.start();
        int status = 0;
        rusage usage = {};
        while (::wait4(pid, &status, WNOHANG, &usage) == 0) {
            if (clock.elapsed() > limitSeconds * 1000) {
                ::kill(pid, SIGKILL);
                ::wait4(pid, &status, 0, &usage);
                run.stopped = true;
                break;
            }
            QThread::msleep(20);
        }
        if (!run.stopped && WIFEXITED(status))
            run.exitCode = WEXITSTATUS(status);
        run.peakKiB = usage.ru_maxrss;
        run.out = QString::fromUtf8(ReadFile(m_home.filePath(QStringLiteral("stdout"))));
        run.err = QString::fromUtf8(ReadFile(m_home.filePath(QStringLiteral("stderr"))));
        return run;
    }

    Run spawn(const QList<QByteArray> &argv, const QProcessEnvironment &env,
        const QString &folder = QString()) const
    {
        return wait(start(argv, env, folder));
    }

    // The environment for the held fake: the run `hold` waits for the gate
    // file, which it names with ".pid" once it waits.
    QProcessEnvironment heldEnvironment(const char *hold, const QString &gate)
    {
        QFile::remove(gate);
        QFile::remove(gate + QStringLiteral(".pid"));
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("held")));
        env.insert(QStringLiteral("NORVALE_FAKE_HOLD"), QString::fromLatin1(hold));
        env.insert(QStringLiteral("NORVALE_FAKE_GATE"), gate);
        env.insert(QStringLiteral("NORVALE_FAKE_REPORT"),
            QStringLiteral(NORVALE_TEST_DATA "/reports/gtube.report.txt"));
        return env;
    }

    static bool waitForFile(const QString &path, int seconds = 120)
    {
        QElapsedTimer clock;
        clock.start();
        while (!QFile::exists(path)) {
            if (clock.elapsed() > seconds * 1000)
                return false;
            QThread::msleep(20);
        }
        return true;
    }

    QStringList workingFiles() const
    {
        return FolderEntries(m_home.filePath(QStringLiteral("runtime/norvale")));
    }

    QString publicProgram() const { return m_home.filePath(QStringLiteral("app/norvale-check")); }

    Run check(const QStringList &arguments, const QProcessEnvironment &env, const QString &program = Program,
        const QString &folder = QString()) const
    {
        QList<QByteArray> argv { QFile::encodeName(program) };
        for (const QString &argument : arguments)
            argv << QFile::encodeName(argument);
        return spawn(argv, env, folder);
    }

    // The file's entry of a --json run that could not check it: an error, and
    // nothing that could pass for a result.
    static void verifyFailedEntry(const Run &run, const QString &path, const QString &error)
    {
        QCOMPARE(run.exitCode, 1);
        const QJsonArray files = run.files();
        QCOMPARE(files.size(), 1);
        const QJsonObject file = files.first().toObject();
        QCOMPARE(file.value(u"path").toString(), path);
        QVERIFY2(file.contains(u"error"), qPrintable(run.out));
        QCOMPARE(file.value(u"error").toString(), error);
        QVERIFY(!file.contains(u"score"));
        QVERIFY(!file.contains(u"level"));
        QVERIFY(!file.contains(u"reasons"));
    }

    // A --json entry for a spam test message that the checker scored.
    static void verifySpamScored(const Run &run, const QString &path)
    {
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        const QJsonArray files = run.files();
        QCOMPARE(files.size(), 1);
        const QJsonObject file = files.first().toObject();
        QCOMPARE(file.value(u"path").toString(), path);
        QVERIFY(!file.contains(u"error"));
        QVERIFY2(file.value(u"score").toDouble() >= 1000, qPrintable(run.out));
        QCOMPARE(file.value(u"level").toInt(-1), 5);
        bool gtube = false;
        for (const QJsonValue &reason : file.value(u"reasons").toArray())
            gtube = gtube || reason.toObject().value(u"rule").toString() == u"GTUBE";
        QVERIFY(gtube);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        // Another user may pass through to the files made for it.
        QVERIFY(SetMode(m_home.path(), 0711));
        QVERIFY(QDir(m_home.path()).mkpath(QStringLiteral("runtime")));
        QVERIFY(SetMode(m_home.filePath(QStringLiteral("runtime")), 0700));
        QVERIFY(QDir(m_home.path()).mkpath(QStringLiteral("home")));
        QVERIFY2(QFileInfo(Program).isExecutable(), qPrintable(Program));
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("spamassassin")).isEmpty(),
            "SpamAssassin (spamassassin) must be installed");
        m_path = qEnvironmentVariable("PATH");
        m_recordedPath = pathWithFake(QStringLiteral("recorded"));
        // A copy of the program that another user can run wherever the build
        // folder lies (a checkout in a private folder is out of its reach).
        const QString app = m_home.filePath(QStringLiteral("app"));
        QVERIFY(QDir(app).mkpath(QStringLiteral("ide")));
        QVERIFY(QFile::copy(Program, publicProgram()));
        QVERIFY(QFile::copy(
            QStringLiteral(NORVALE_APP_DIR "/ide/ide.txt"), app + QStringLiteral("/ide/ide.txt")));
        for (const QString &path : { app, app + QStringLiteral("/ide"), publicProgram() })
            QVERIFY(SetMode(path, 0755));
        QVERIFY(SetMode(app + QStringLiteral("/ide/ide.txt"), 0644));
        LoadTextCatalogue(QStringLiteral(NORVALE_APP_DIR "/ide/ide.txt"));
        QVERIFY(!GetText(ErrorLine).isEmpty());
    }
    void init() { QFile::remove(checkerLog()); }

    void brokenChecker_failsTheFileAndSaysWhy_data()
    {
        QTest::addColumn<QString>("checker"); // a fake checker, or one of the two special cases below
        QTest::addColumn<int>("textId");
        QTest::addColumn<QString>("detail"); // the text's second value
        QTest::addColumn<QString>("said"); // the checker's standard error, quoted under the text
        QTest::newRow("no checker anywhere") << "missing" << int(CheckerNotFound) << QString() << QString();
        QTest::newRow("a checker on PATH without the execute permission")
            << "not executable" << int(CheckerNotStarted) << qt_error_string(EACCES) << QString();
        QTest::newRow("a checker that exits with an error") << "fail" << int(CheckerFailed) << "3"
                                                            << "fake checker: cannot read its configuration";
        QTest::newRow("a checker killed mid-run, half its report written")
            << "halfway" << int(CheckerCrashed) << QString() << QString();
        QTest::newRow("a checker that says why, then is killed")
            << "crash-saying" << int(CheckerCrashed) << QString() << "fake checker: Out of memory!";
        QTest::newRow("a checker that writes garbage")
            << "garbage" << int(CheckerNoSection) << QString() << QString();
        QTest::newRow("a checker that writes 50 MB without its section")
            << "flood" << int(CheckerNoSection) << QString() << QString();
    }
    void brokenChecker_failsTheFileAndSaysWhy()
    {
        QFETCH(QString, checker);
        QFETCH(int, textId);
        QFETCH(QString, detail);
        QFETCH(QString, said);
        QProcessEnvironment env = environment();
        QString checkerPath;
        if (checker == u"missing") {
            const QString empty = m_home.filePath(QStringLiteral("empty-path"));
            QVERIFY(QDir().mkpath(empty));
            env.insert(QStringLiteral("PATH"), empty);
            checkerPath = QStringLiteral("spamassassin");
        } else if (checker == u"not executable") {
            const QString folder = m_home.filePath(QStringLiteral("not-executable"));
            QVERIFY(QDir().mkpath(folder));
            checkerPath = folder + QStringLiteral("/spamassassin");
            QVERIFY(WriteFile(checkerPath, "#!/bin/sh\necho 'Content analysis details: run anyway'\n"));
            QVERIFY(SetMode(checkerPath, 0644));
            env.insert(QStringLiteral("PATH"), folder);
        } else {
            const QString path = pathWithFake(checker);
            env.insert(QStringLiteral("PATH"), path);
            checkerPath = path.section(u':', 0, 0) + QStringLiteral("/spamassassin");
        }
        const QString message = Messages + QStringLiteral("clean-newsletter.eml");

        const Run run = check({ QStringLiteral("--json"), message }, env);
        QString expected
            = detail.isNull() ? FillText(textId, checkerPath) : FillText(textId, checkerPath, detail);
        if (textId == CheckerNotStarted) {
            // The second value is the system's sentence around the reason.
            const QString error = run.files().at(0).toObject().value(u"error").toString();
            QVERIFY2(error.startsWith(FillText(textId, checkerPath, QString())) && error.contains(detail),
                qPrintable(error));
            expected = error;
        }
        if (!said.isEmpty())
            expected += QStringLiteral("\n\n") + FillText(CheckerSaid, said);
        verifyFailedEntry(run, message, expected);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(run.err, FillText(ErrorLine, message, expected) + u'\n');
    }

    // A hang lasts the whole time limit, two minutes, too long to stage here:
    // tst_spamcheck shows a hanging checker stopped and reported TimedOut.
    // What the user then reads names the checker and the limit.
    void hangingChecker_messageNamesTheTimeLimit()
    {
        SpamCheckResult result;
        result.status = SpamCheckResult::Status::TimedOut;
        result.checkerPath = QStringLiteral("/usr/bin/spamassassin");
        result.timeLimit = std::chrono::seconds(90);
        // In seconds, as the user counts them: the limit that stopped this run.
        QCOMPARE(
            CheckerFailureText(result), FillText(CheckerTimedOut, result.checkerPath, QStringLiteral("90")));
        // What the checker said before it was stopped follows, its last lines only.
        QStringList lines;
        for (int i = 1; i <= 8; ++i)
            lines << QStringLiteral("  dns: query %1 timed out").arg(i);
        result.checkerSaid = lines.join(u'\n');
        QCOMPARE(CheckerFailureText(result),
            FillText(CheckerTimedOut, result.checkerPath, QStringLiteral("90")) + QStringLiteral("\n\n")
                + FillText(CheckerSaid, lines.mid(3).join(u'\n')));
    }

    // The report is read from its end, a few MiB at most: a runaway checker
    // costs the program less memory than its report's size.
    void runawayReport_isNotHeldInMemory()
    {
        const QString message = Messages + QStringLiteral("clean-newsletter.eml");
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("garbage")));
        const Run small = check({ message }, env);
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("flood")));
        const Run flood = check({ message }, env);
        QCOMPARE(small.exitCode, 1);
        QCOMPARE(flood.exitCode, 1);
        QVERIFY(small.peakKiB > 0);
        const long reportKiB = 50 * 1024;
        QVERIFY2(flood.peakKiB - small.peakKiB < reportKiB,
            qPrintable(QStringLiteral("peak %1 KiB with a small report, %2 KiB with 50 MiB")
                           .arg(small.peakKiB)
                           .arg(flood.peakKiB)));
    }

    void unusableMessageFile_isRefusedBeforeTheCheckerRuns_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("readable");
        QTest::addColumn<int>("textId");
        QTest::newRow("a message this user cannot read")
            << QByteArray("Subject: private\n\nbody\n") << false << int(FileUnreadable);
        QTest::newRow("an empty file") << QByteArray() << true << int(FileNotAMessage);
        QByteArray binary;
        std::mt19937 bytes(6);
        for (int i = 0; i < 8192; ++i)
            binary += char(bytes() & 0xff);
        QTest::newRow("binary bytes") << binary << true << int(FileNotAMessage);
    }
    void unusableMessageFile_isRefusedBeforeTheCheckerRuns()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, readable);
        QFETCH(int, textId);
        const QString message = m_home.filePath(QStringLiteral("unusable.eml"));
        QFile::remove(message);
        QVERIFY(WriteFile(message, content));
        QVERIFY(SetMode(message, readable ? 0644 : 0));
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("log")));

        QList<QByteArray> argv;
        if (!readable && ::geteuid() == 0) {
            // Root reads every file: the program runs as nobody then.
            const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
            QVERIFY2(!setpriv.isEmpty(), "setpriv (util-linux) is needed to run as another user");
            argv << QFile::encodeName(setpriv) << "--reuid=" + QByteArray::number(NobodyId)
                 << "--regid=" + QByteArray::number(NobodyId) << "--clear-groups";
        }
        argv << QFile::encodeName(argv.isEmpty() ? Program : publicProgram()) << "--json"
             << QFile::encodeName(message);
        const Run run = spawn(argv, env);

        const QString expected = FillText(textId, message);
        verifyFailedEntry(run, message, expected);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(run.err, expected + u'\n');
        QVERIFY(!QFile::exists(checkerLog()));
    }

    void bigMessage_getsItsScoreWithinTheTimeLimit()
    {
        const QString message = m_home.filePath(QStringLiteral("catalogue.eml"));
        QVERIFY(WriteFile(message, BigMessage(25 * 1024 * 1024)));
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), m_path); // the real checker's own time is the point
        const Run run = check({ QStringLiteral("--json"), message }, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY(run.err.isEmpty());
        const QJsonObject file = run.files().at(0).toObject();
        QVERIFY2(!file.contains(u"error") && file.value(u"score").isDouble(), qPrintable(run.out));
        QVERIFY(file.value(u"level").isDouble());
        QVERIFY(QFile::remove(message));
    }

    void oddName_isCheckedAsNamedAndRunsNothing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("spaces") << "June newsletter  final .eml";
        QTest::newRow("double and single quotes") << "say \"hello\" it's.eml";
        QTest::newRow("a command substitution") << "$(touch marker).eml";
        QTest::newRow("backticks") << "`touch marker`.eml";
        QTest::newRow("a newline") << "first\ntouch marker.eml";
        QTest::newRow("a leading dash") << "-R --version.eml";
        QTest::newRow("shell operators") << "; touch marker & | > x.eml";
    }
    void oddName_isCheckedAsNamedAndRunsNothing()
    {
        QFETCH(QString, name);
        const QString folder = m_home.filePath(QStringLiteral("names"));
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        QVERIFY(QFile::copy(Messages + QStringLiteral("gtube.eml"), folder + u'/' + name));

        const Run run
            = check({ QStringLiteral("--json"), QStringLiteral("--"), name }, environment(), Program, folder);
        verifySpamScored(run, name);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { name });
        QVERIFY(!QFile::exists(m_home.filePath(QStringLiteral("marker"))));
    }

    // Qt reads arguments and file names as UTF-8 and has no lossless form for
    // other bytes: they become U+FFFD, which could name another file. Such a
    // name is refused as unreadable, and the file it would be taken for is
    // never checked in its place.
    void nameWithInvalidUtf8_isRefusedNeverMistaken()
    {
        const QString folder = m_home.filePath(QStringLiteral("latin1"));
        QVERIFY(QDir().mkpath(folder));
        const QByteArray raw = QFile::encodeName(folder) + "/caf\xe9.eml";
        // QTemporaryDir cannot remove what Qt cannot name.
        const auto removeRaw = qScopeGuard([raw] { ::unlink(raw.constData()); });
        const QString decoded = QFile::decodeName(raw);
        QVERIFY(QFile::encodeName(decoded) != raw);
        // The spam message under the Latin-1 name, a clean one under the name
        // Qt makes of it.
        const QByteArray spam = ReadFile(Messages + QStringLiteral("gtube.eml"));
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        QVERIFY(fd >= 0);
        QCOMPARE(::write(fd, spam.constData(), spam.size()), ssize_t(spam.size()));
        ::close(fd);
        QVERIFY(QFile::copy(Messages + QStringLiteral("clean-newsletter.eml"), decoded));
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("log")));

        const Run run = spawn({ QFile::encodeName(Program), "--json", raw }, env);
        const QString expected = FillText(FileUnreadable, decoded);
        verifyFailedEntry(run, decoded, expected);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(run.err, expected + u'\n');
        QVERIFY(!QFile::exists(checkerLog()));

        // The same for a settings file named so.
        const Run settings = spawn({ QFile::encodeName(Program), "--settings", raw, "x.eml" }, env);
        QCOMPARE(settings.exitCode, 2);
        QVERIFY(settings.out.isEmpty());
    }

    void unsafeWorkingFolder_isRefusedAndLeftAlone_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("reasonId");
        QTest::newRow("a private folder of another user") << "other owner" << int(WorkDirWrongOwner);
        QTest::newRow("a symbolic link to a private folder") << "link" << int(WorkDirNotAFolder);
        QTest::newRow("a folder others can read") << "mode 0755" << int(WorkDirWrongMode);
        QTest::newRow("a private folder others can enter") << "mode 0711" << int(WorkDirWrongMode);
    }
    void unsafeWorkingFolder_isRefusedAndLeftAlone()
    {
        QFETCH(QString, kind);
        QFETCH(int, reasonId);
        if (kind == u"other owner" && ::geteuid() != 0)
            QSKIP("Only root can give a folder to another user");
        QTemporaryDir runtime;
        QVERIFY(runtime.isValid());
        const QString folder = runtime.filePath(QStringLiteral("norvale"));
        QTemporaryDir elsewhere;
        QString inside = folder;
        if (kind == u"link") {
            QVERIFY(SetMode(elsewhere.path(), 0700));
            QVERIFY(QFile::link(elsewhere.path(), folder));
            inside = elsewhere.path();
        } else {
            QVERIFY(QDir().mkdir(folder));
            QVERIFY(SetMode(folder, kind.startsWith(u"mode ") ? kind.mid(5).toUInt(nullptr, 8) : 0700));
        }
        QVERIFY(WriteFile(inside + QStringLiteral("/planted.txt"), "left by someone else"));
        if (kind == u"other owner")
            QVERIFY(::chown(QFile::encodeName(folder).constData(), NobodyId, NobodyId) == 0);
        const struct stat before = LinkStat(folder);
        const struct stat insideBefore = LinkStat(inside);

        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime.path());
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("log")));
        const QString message = Messages + QStringLiteral("gtube.eml");
        const Run run = check({ QStringLiteral("--json"), message }, env);

        const QString expected = FillText(WorkDirUnusable, folder + u'/', GetText(reasonId));
        verifyFailedEntry(run, message, expected);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(run.err, FillText(ErrorLine, message, expected) + u'\n');
        QVERIFY(!QFile::exists(checkerLog()));
        const struct stat after = LinkStat(folder);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_uid, before.st_uid);
        QCOMPARE(LinkStat(inside).st_mode, insideBefore.st_mode);
        QCOMPARE(QDir(inside).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("planted.txt") });
    }

    void troubledSettings_checkRunsWithWhatCanBeRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("a settings file of 10 MB is not read") << "10 MB";
        QTest::newRow("a settings file of random bytes") << "random";
        QTest::newRow("a file where the settings folder should be") << "file for folder";
        QTest::newRow("a named pipe as the settings file") << "pipe";
    }
    void troubledSettings_checkRunsWithWhatCanBeRead()
    {
        QFETCH(QString, kind);
        QTemporaryDir config;
        QVERIFY(config.isValid());
        const QString folder = config.filePath(QStringLiteral("norvale"));
        const QString settings = folder + QStringLiteral("/conf.ini");
        QByteArray content;
        if (kind == u"10 MB") {
            // Were it read, GTUBE would score 3.
            content = "rules=GTUBE:3&thresholds=10|20|30|40|50&hidezero=1&onlinechecks=0&"
                + QByteArray(10'000'000, 'x');
        } else if (kind == u"random") {
            std::mt19937 bytes(1000);
            for (int i = 0; i < 100'000; ++i)
                content += char(bytes() & 0xff);
        } else if (kind == u"file for folder") {
            content = "rules=GTUBE:3";
        }
        if (kind == u"file for folder") {
            QVERIFY(WriteFile(folder, content));
        } else {
            QVERIFY(QDir().mkpath(folder));
            if (kind == u"pipe")
                QVERIFY(::mkfifo(QFile::encodeName(settings).constData(), 0600) == 0);
            else
                QVERIFY(WriteFile(settings, content));
        }
        const QString kept = kind == u"file for folder" ? folder : settings;
        const struct stat before = LinkStat(kept);

        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        const QString message = Messages + QStringLiteral("gtube.eml");
        const Run run = check({ QStringLiteral("--json"), message }, env);
        QVERIFY2(!run.stopped, "norvale-check hung");
        verifySpamScored(run, message);
        if (QTest::currentTestFailed())
            return;

        // norvale-check only reads settings.
        const struct stat after = LinkStat(kept);
        QCOMPARE(after.st_mode, before.st_mode);
        QCOMPARE(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
        QCOMPARE(after.st_mtim.tv_nsec, before.st_mtim.tv_nsec);
        if (kind != u"pipe")
            QVERIFY(ReadFile(kept) == content);
    }

    // A mistake on the command line stops the run before any check, and the
    // message says what is wrong, instead of a run with settings that were
    // not meant (commas for bars turned every verdict into the lowest).
    void commandLineMistake_isAUsageErrorThatSaysWhat_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("thresholds separated by commas") << QStringList { "--thresholds",
            "1,2,4,5,8" } << FillText(ThresholdCountWrong, QStringLiteral("1,2,4,5,8"), QStringLiteral("1"));
        QTest::newRow("four thresholds")
            << QStringList { "--thresholds=1|2|4|5" }
            << FillText(ThresholdCountWrong, QStringLiteral("1|2|4|5"), QStringLiteral("4"));
        QTest::newRow("a threshold that is a word") << QStringList { "--thresholds", "1|2|high|5|8" }
                                                    << FillText(ThresholdNotANumber, QStringLiteral("high"));
        QTest::newRow("a threshold with digit grouping") << QStringList { "--thresholds",
            "1|2|4|5|1,000.5" } << FillText(ThresholdNotANumber, QStringLiteral("1,000.5"));
        QTest::newRow("rules separated by commas") << QStringList { "--rules",
            "GTUBE:1,HTML_MESSAGE:2" } << FillText(RulesNotPairs, QStringLiteral("GTUBE:1,HTML_MESSAGE:2"));
        QTest::newRow("a rule without a score")
            << QStringList { "--rules", "GTUBE" } << FillText(RulesNotPairs, QStringLiteral("GTUBE"));
        QTest::newRow("a rule name with a space")
            << QStringList { "--rules", "MY RULE:2" } << FillText(RuleNameWrong, QStringLiteral("MY RULE"));
        QTest::newRow("a score that is not a number") << QStringList { "--rules",
            "GTUBE:lots" } << FillText(RuleScoreNotANumber, QStringLiteral("GTUBE"), QStringLiteral("lots"));
        QTest::newRow("a terminal sequence in a wrong value is shown escaped") << QStringList { "--rules",
            "\x1b]0;owned\x07" } << FillText(RulesNotPairs, QStringLiteral("\\x1b]0;owned\\x07"));
    }
    void commandLineMistake_isAUsageErrorThatSaysWhat()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("log")));
        const Run run = check(arguments + QStringList { Messages + QStringLiteral("gtube.eml") }, env);
        QCOMPARE(run.exitCode, 2);
        QVERIFY(run.out.isEmpty());
        QCOMPARE(run.err, message + u'\n' + GetText(UsageHint) + u'\n');
        QVERIFY(!QFile::exists(checkerLog()));
    }

    // File names and report texts reach the terminal with their control
    // characters escaped: no sequence in them clears the screen, sets the
    // window title, makes a link or turns the text around.
    void terminalSequences_areShownEscaped_data()
    {
        QTest::addColumn<QString>("sequence");
        QTest::addColumn<QString>("shown");
        QTest::newRow("clear screen and scroll-back") << "\x1b[2J\x1b[3J"
                                                      << "\\x1b[2J\\x1b[3J";
        QTest::newRow("a window title ended by BEL") << "\x1b]0;owned\x07"
                                                     << "\\x1b]0;owned\\x07";
        QTest::newRow("a hyperlink") << "\x1b]8;;https:evil.example\x1b\\click\x1b]8;;\x1b\\"
                                     << "\\x1b]8;;https:evil.example\\x1b\\click\\x1b]8;;\\x1b\\";
        QTest::newRow("the C1 control sequence introducer and DEL") << QString(QChar(0x9b)) + "2J\x7f"
                                                                    << "\\x9b2J\\x7f";
        QTest::newRow("a carriage return that overwrites the line") << "\rAll clean: "
                                                                    << "\\rAll clean: ";
        QTest::newRow("a right-to-left override") << QString(QChar(0x202e)) << "\\u202e";
    }
    void terminalSequences_areShownEscaped()
    {
        QFETCH(QString, sequence);
        QFETCH(QString, shown);
        const QString folder = m_home.filePath(QStringLiteral("sequences"));
        QDir(folder).removeRecursively();
        QVERIFY(QDir().mkpath(folder));
        // A message the real checker scores, and a file it is never given.
        const QString message = folder + u'/' + sequence + QStringLiteral("news.eml");
        const QString broken = folder + u'/' + sequence + QStringLiteral("broken.eml");
        QVERIFY(QFile::copy(Messages + QStringLiteral("gtube.eml"), message));
        QVERIFY(QFile::copy(Messages + QStringLiteral("not-a-message.txt"), broken));

        const Run run = check({ message, broken }, environment());
        QCOMPARE(run.exitCode, 1);
        QVERIFY2(!HasTerminalControls(run.out), qPrintable(run.out.toUtf8().toPercentEncoding(" \n/")));
        QVERIFY2(!HasTerminalControls(run.err), qPrintable(run.err.toUtf8().toPercentEncoding(" \n/")));
        QVERIFY2(
            run.out.startsWith(folder + u'/' + shown + QStringLiteral("news.eml\n")), qPrintable(run.out));
        QVERIFY(run.out.contains(QStringLiteral("GTUBE")));
        QCOMPARE(
            run.err, FillText(FileNotAMessage, folder + u'/' + shown + QStringLiteral("broken.eml")) + u'\n');

        // The report's texts too, from a checker that writes them.
        const QString report = m_home.filePath(QStringLiteral("hostile-report.txt"));
        QVERIFY(WriteFile(report,
            "Content analysis details:   (2.0 points, 5.0 required)\n\n"
            " pts rule name              description\n"
            "---- ---------------------- --------------------------------------------------\n"
            " 2.0 FAKE_RULE"
                + sequence.toUtf8() + "  BODY" + sequence.toUtf8() + ": says " + sequence.toUtf8()
                + "\n                            [" + sequence.toUtf8() + "]\n"));
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("held")));
        env.insert(QStringLiteral("NORVALE_FAKE_REPORT"), report);
        env.insert(QStringLiteral("COLUMNS"), QStringLiteral("1000")); // no wrapped descriptions
        const Run fields = check({ Messages + QStringLiteral("clean-newsletter.eml") }, env);
        QCOMPARE(fields.exitCode, 0);
        QVERIFY2(!HasTerminalControls(fields.out), qPrintable(fields.out.toUtf8().toPercentEncoding(" \n/")));
        QVERIFY2(fields.out.contains(QStringLiteral("says ") + shown), qPrintable(fields.out));
    }

    void settingsTheWindowCannotShow_stillCount_data()
    {
        QTest::addColumn<QByteArray>("settings"); // the settings file
        QByteArray sixtyOne = "rules=";
        for (int i = 0; i < 60; ++i)
            sixtyOne += "FILLER_" + QByteArray::number(i) + ":1|";
        QTest::newRow("61 rule scores, GTUBE's the last") << sixtyOne + "GTUBE:3\n";
        QTest::newRow("keys of another program around the four")
            << QByteArray("colour=red&rules=GTUBE:3&thresholds=1|2|4|5|8&later=x=y\n");
    }
    void settingsTheWindowCannotShow_stillCount()
    {
        QFETCH(QByteArray, settings);
        QProcessEnvironment env = environment();
        QTemporaryDir config;
        QVERIFY(config.isValid());
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.path());
        QVERIFY(QDir().mkpath(config.filePath(QStringLiteral("norvale"))));
        QVERIFY(WriteFile(config.filePath(QStringLiteral("norvale/conf.ini")), settings));
        const QString message = Messages + QStringLiteral("gtube.eml");
        const Run run = check({ QStringLiteral("--json"), message }, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        const QJsonArray files = run.files();
        QCOMPARE(files.size(), 1);
        QCOMPARE(files.first().toObject().value(u"score").toDouble(), 3.0);
    }

    // Texts come only from the catalogue, so without it the messages are
    // empty; the exit status and the JSON entries still tell the truth.
    void missingCatalogue_exitStatusAndJsonStillTellTheTruth()
    {
        const QString folder = m_home.filePath(QStringLiteral("bare"));
        QVERIFY(QDir().mkpath(folder));
        const QString bare = folder + QStringLiteral("/norvale-check");
        QVERIFY(QFile::copy(Program, bare));
        QVERIFY(!QFile::exists(folder + QStringLiteral("/ide/ide.txt")));
        const QString message = Messages + QStringLiteral("gtube.eml");

        const Run scored = check({ QStringLiteral("--json"), message }, environment(), bare);
        verifySpamScored(scored, message);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(scored.files().at(0).toObject().value(u"verdict").toString(), QString());

        QProcessEnvironment noChecker = environment();
        noChecker.insert(QStringLiteral("PATH"), m_home.filePath(QStringLiteral("empty-path")));
        QVERIFY(QDir().mkpath(m_home.filePath(QStringLiteral("empty-path"))));
        const Run failed = check({ QStringLiteral("--json"), message }, noChecker, bare);
        verifyFailedEntry(failed, message, QString());
        if (QTest::currentTestFailed())
            return;
        // Named, and no warnings about texts that are not there.
        QCOMPARE(failed.err, message + u'\n');

        const Run text = check({ message }, noChecker, bare);
        QCOMPARE(text.exitCode, 1);
        QVERIFY(text.out.isEmpty());
    }
    // A message swapped for a named pipe while it is checked: the program
    // opened it once and checks its own copy, so nothing waits on the pipe,
    // and both runs read the bytes that were judged.
    void messageSwappedForAPipe_isCheckedAsJudgedAndNothingHangs()
    {
        const QString message = m_home.filePath(QStringLiteral("swapped.eml"));
        QFile::remove(message);
        const QByteArray bytes = ReadFile(Messages + QStringLiteral("gtube.eml"));
        QVERIFY(WriteFile(message, bytes));
        const QString gate = m_home.filePath(QStringLiteral("gate"));
        const pid_t pid = start(
            { QFile::encodeName(Program), "--json", QFile::encodeName(message) }, heldEnvironment("t", gate));
        QVERIFY(pid > 0);
        QVERIFY(waitForFile(gate + QStringLiteral(".pid")));
        QVERIFY(QFile::remove(message));
        QVERIFY(::mkfifo(QFile::encodeName(message).constData(), 0600) == 0);
        QVERIFY(WriteFile(gate, QByteArray()));

        const Run run = wait(pid, 60);
        QVERIFY2(!run.stopped, "norvale-check hung on the pipe");
        verifySpamScored(run, message);
        if (QTest::currentTestFailed())
            return;
        const QList<QByteArray> lines = ReadFile(checkerLog()).split('\n');
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines[0].startsWith("t ") && lines[1].startsWith("R "));
        QCOMPARE(lines[0].mid(2), lines[1].mid(2));
        QCOMPARE(workingFiles(), QStringList());
        QVERIFY(QFile::remove(message));
    }

    // Ctrl-C, SIGTERM or SIGHUP while the checker runs: the checker's whole
    // process group goes, no file of the check is left, and the status is the
    // usual one for the signal.
    void stopSignal_endsTheCheckerAndLeavesNoFiles_data()
    {
        QTest::addColumn<int>("signal");
        QTest::addColumn<int>("status");
        QTest::newRow("Ctrl-C (SIGINT)") << int(SIGINT) << 130;
        QTest::newRow("SIGTERM") << int(SIGTERM) << 143;
        QTest::newRow("a closed terminal (SIGHUP)") << int(SIGHUP) << 129;
    }
    void stopSignal_endsTheCheckerAndLeavesNoFiles()
    {
        QFETCH(int, signal);
        QFETCH(int, status);
        const QString gate = m_home.filePath(QStringLiteral("never"));
        const pid_t pid = start({ QFile::encodeName(Program), "--json",
                                    QFile::encodeName(Messages + QStringLiteral("gtube.eml")) },
            heldEnvironment("t", gate));
        QVERIFY(pid > 0);
        QVERIFY(waitForFile(gate + QStringLiteral(".pid")));
        const pid_t checker = ReadFile(gate + QStringLiteral(".pid")).trimmed().toInt();
        QVERIFY(checker > 0);
        QVERIFY(GroupAlive(checker));
        QCOMPARE(workingFiles().size(), 2); // the report and the message's copy

        QVERIFY(::kill(pid, signal) == 0);
        const Run run = wait(pid, 30);
        const auto killGroup = qScopeGuard([checker] { ::kill(-checker, SIGKILL); });
        QVERIFY2(!run.stopped, "norvale-check did not end");
        QCOMPARE(run.exitCode, status);
        QTRY_VERIFY(!GroupAlive(checker)); // SIGKILL takes effect a moment after it is sent
        QCOMPARE(workingFiles(), QStringList());
    }

    // A file larger than any newsletter (a mailbox picked by mistake) is
    // refused with its own message before the checker sees it.
    void messagePastTheSizeLimit_isRefusedBeforeTheCheckerRuns()
    {
        const QString mailbox = m_home.filePath(QStringLiteral("mailbox.eml"));
        QVERIFY(WriteFile(mailbox, ReadFile(Messages + QStringLiteral("gtube.eml"))));
        QVERIFY(QFile(mailbox).resize(qint64(33) * 1024 * 1024)); // sparse
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), pathWithFake(QStringLiteral("log")));
        const Run run = check({ QStringLiteral("--json"), mailbox }, env);
        const QString expected = FillText(FileTooLarge, mailbox, QStringLiteral("32"));
        QVERIFY(!expected.isEmpty());
        verifyFailedEntry(run, mailbox, expected);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(run.err, expected + u'\n');
        QVERIFY(!QFile::exists(checkerLog()));
        QVERIFY(QFile::remove(mailbox));
    }

    // A crashed test run is not followed by the second run, which would crash
    // the same way.
    void crashedTestRun_hasNoSecondRun()
    {
        const QString folder = m_home.filePath(QStringLiteral("crashing"));
        QVERIFY(QDir().mkpath(folder));
        const QString checker = folder + QStringLiteral("/spamassassin");
        QVERIFY(WriteFile(checker,
            "#!/bin/sh\ncat >/dev/null\nprintf '%s\\n' \"$*\" >>\"$NORVALE_FAKE_LOG\"\nkill -KILL $$\n"));
        QVERIFY(SetMode(checker, 0755));
        QProcessEnvironment env = environment();
        env.insert(QStringLiteral("PATH"), folder + u':' + m_path);
        const QString message = Messages + QStringLiteral("gtube.eml");
        const Run run = check({ QStringLiteral("--json"), message }, env);
        verifyFailedEntry(run, message, FillText(CheckerCrashed, checker));
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(ReadFile(checkerLog()), QByteArray("-t -L\n"));
    }

    // Without XDG_RUNTIME_DIR, a folder another user planted at the fixed name
    // in the temporary folder no longer blocks every check: the program uses
    // a fresh private folder, says so on standard error, and removes it when
    // it ends; the planted folder is left alone.
    void plantedWorkingFolder_checkRunsInAFreshPrivateFolder()
    {
        QTemporaryDir temp;
        QVERIFY(temp.isValid());
        const QString planted = temp.filePath(QStringLiteral("norvale-%1").arg(::geteuid()));
        QVERIFY(QDir().mkdir(planted));
        QVERIFY(WriteFile(planted + QStringLiteral("/planted.txt"), "left by someone else"));
        QVERIFY(SetMode(planted, 0777));
        if (::geteuid() == 0)
            QVERIFY(::chown(QFile::encodeName(planted).constData(), NobodyId, NobodyId) == 0);
        const struct stat before = LinkStat(planted);
        QProcessEnvironment env = environment();
        env.remove(QStringLiteral("XDG_RUNTIME_DIR"));
        env.insert(QStringLiteral("TMPDIR"), temp.path());
        const QString message = Messages + QStringLiteral("gtube.eml");

        const Run run = check({ QStringLiteral("--json"), message }, env);
        QVERIFY2(run.exitCode == 0, qPrintable(run.err));
        QVERIFY2(run.err.contains(planted) && run.err.contains(QStringLiteral("fresh private folder")),
            qPrintable(run.err));
        const QJsonObject file = run.files().at(0).toObject();
        QVERIFY2(file.value(u"score").toDouble() >= 1000, qPrintable(run.out));
        QCOMPARE(QDir(temp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { planted.section(u'/', -1) });
        QCOMPARE(QDir(planted).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList { QStringLiteral("planted.txt") });
        QCOMPARE(LinkStat(planted).st_mode, before.st_mode);
        QCOMPARE(LinkStat(planted).st_uid, before.st_uid);
    }
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
