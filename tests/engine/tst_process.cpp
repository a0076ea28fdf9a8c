#include "Process.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace norvale;
using namespace std::chrono_literals;

namespace {

const QString Shell = QStringLiteral("/bin/sh");
const QString FakeCheckers = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// A process that is gone or only waits to be reaped.
bool IsGone(qint64 pid)
{
    const QByteArray stat = ReadAll(QStringLiteral("/proc/%1/stat").arg(pid));
    if (stat.isEmpty())
        return true;
    const qsizetype close = stat.lastIndexOf(')');
    return close >= 0 && stat.mid(close + 2, 1) == "Z";
}

ProcessRequest Request(const QString &program, const QStringList &arguments = {}, const QString &input = {},
    const QString &output = {}, std::chrono::milliseconds timeLimit = CheckerTimeLimit)
{
    ProcessRequest request;
    request.program = program;
    request.arguments = arguments;
    request.standardInputFile = input;
    request.standardOutputFile = output;
    request.timeLimit = timeLimit;
    return request;
}

} // namespace

class TestProcess : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<norvale::ProcessOutcome>();
        QVERIFY(m_dir.isValid());
    }

    void failedStart_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        const QString input = m_dir.filePath(QStringLiteral("input.txt"));
        QVERIFY(WriteAll(input, "text\n"));
        QTest::newRow("a program that does not exist")
            << QStringLiteral("/nonexistent/program") << input << QString();
        QTest::newRow("no program at all") << QString() << input << QString();
        QTest::newRow("a file that is not executable") << input << input << QString();
        QTest::newRow("a folder") << m_dir.path() << input << QString();
        QTest::newRow("an input file that is missing")
            << QStringLiteral("/bin/cat") << m_dir.filePath(QStringLiteral("missing.txt")) << QString();
        QTest::newRow("an output file in a missing folder")
            << QStringLiteral("/bin/cat") << input << m_dir.filePath(QStringLiteral("missing/out.txt"));
    }
    void failedStart()
    {
        QFETCH(QString, program);
        QFETCH(QString, input);
        QFETCH(QString, output);
        const ProcessOutcome outcome = RunAndWait(Request(program, {}, input, output, 1h));
        QCOMPARE(outcome.status, ProcessOutcome::Status::FailedToStart);
        QVERIFY(!outcome.errorString.isEmpty());
    }

    void failedStart_isReportedAfterStartReturns()
    {
        Process process;
        QSignalSpy finished(&process, &Process::finished);
        process.start(Request(QStringLiteral("/nonexistent/program")));
        QVERIFY(process.isRunning());
        QCOMPARE(finished.count(), 0);
        QVERIFY(finished.wait());
        QVERIFY(!process.isRunning());
        QCOMPARE(finished.at(0).at(0).value<ProcessOutcome>().status, ProcessOutcome::Status::FailedToStart);
    }

    void finished_returnsAfterTheEndWithTheExitCode()
    {
        const QString marker = m_dir.filePath(QStringLiteral("ended"));
        const ProcessOutcome outcome = RunAndWait(Request(
            Shell, { QStringLiteral("-c"), QStringLiteral("sleep 0.3; : > \"$0\"; exit 7"), marker }));
        QCOMPARE(outcome.status, ProcessOutcome::Status::Finished);
        QCOMPARE(outcome.exitCode, 7);
        QVERIFY(QFile::exists(marker));
    }

    void wait_keepsTheEventLoopRunning()
    {
        bool fired = false;
        QTimer::singleShot(10ms, [&fired] { fired = true; });
        const ProcessOutcome outcome
            = RunAndWait(Request(Shell, { QStringLiteral("-c"), QStringLiteral("sleep 0.5") }));
        QCOMPARE(outcome.status, ProcessOutcome::Status::Finished);
        QVERIFY(fired);
    }

    void noInput_givesEndOfFileAtOnce()
    {
        // An inherited open pipe would leave cat waiting until the limit.
        const QString output = m_dir.filePath(QStringLiteral("no-input.txt"));
        const ProcessOutcome outcome
            = RunAndWait(Request(QStringLiteral("/bin/cat"), {}, QString(), output, 60s));
        QCOMPARE(outcome.status, ProcessOutcome::Status::Finished);
        QCOMPARE(outcome.exitCode, 0);
        QCOMPARE(ReadAll(output), QByteArray());
    }

    void redirection_takesFileNamesLiterally_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("spaces") << QStringLiteral("my news letter.eml");
        QTest::newRow("double and single quotes") << QStringLiteral("say \"hi\" it's.eml");
        QTest::newRow("command substitution") << QStringLiteral("$(touch marker).eml");
        QTest::newRow("backticks") << QStringLiteral("`touch marker`.eml");
        QTest::newRow("a leading dash") << QStringLiteral("-t -L.eml");
        QTest::newRow("command separators") << QStringLiteral("a; touch marker & touch marker | cat.eml");
        QTest::newRow("redirection signs") << QStringLiteral("<in >marker.eml");
        QTest::newRow("a variable and a glob") << QStringLiteral("$HOME *.eml");
    }
    void redirection_takesFileNamesLiterally()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        // A shell would run in our working folder, so that is where a marker would land.
        const QString previous = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        const QString input = dir.filePath(name);
        const QString output = dir.filePath(QStringLiteral("out ") + name);
        const QByteArray content = "Subject: literal names\n\nbody\n";
        QVERIFY(WriteAll(input, content));
        const ProcessOutcome outcome = RunAndWait(Request(QStringLiteral("/bin/cat"), {}, input, output));
        QDir::setCurrent(previous);

        QCOMPARE(outcome.status, ProcessOutcome::Status::Finished);
        QCOMPARE(ReadAll(output), content);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
    }

    void output_replacesAnOlderFile()
    {
        const QString output = m_dir.filePath(QStringLiteral("replaced.txt"));
        QVERIFY(WriteAll(output, QByteArray(1000, 'x')));
        RunAndWait(Request(Shell, { QStringLiteral("-c"), QStringLiteral("echo short") }, QString(), output));
        QCOMPARE(ReadAll(output), QByteArray("short\n"));
    }

    void standardError_keepsOnlyTheLastFewKiB()
    {
        const ProcessOutcome outcome = RunAndWait(Request(Shell,
            { QStringLiteral("-c"), QStringLiteral("seq 1 200000 >&2; echo the last words >&2; exit 2") }));
        QCOMPARE(outcome.status, ProcessOutcome::Status::Finished);
        QCOMPARE(outcome.exitCode, 2);
        QVERIFY(outcome.standardError.endsWith(QStringLiteral("the last words\n")));
        QVERIFY(outcome.standardError.size() <= 4096);
    }

    // Standard error sent to a file lands there whole, and nothing tries to
    // read it from the process as well (Qt warns of a read of a write-only
    // device then).
    void standardErrorFile_takesAllOfIt()
    {
        QTest::failOnWarning(QRegularExpression(QStringLiteral(".")));
        const QString errors = m_dir.filePath(QStringLiteral("errors.txt"));
        ProcessRequest request
            = Request(Shell, { QStringLiteral("-c"), QStringLiteral("seq 1 20000 >&2; exit 3") });
        request.standardErrorFile = errors;
        const ProcessOutcome outcome = RunAndWait(request);
        QCOMPARE(outcome.status, ProcessOutcome::Status::Finished);
        QCOMPARE(outcome.exitCode, 3);
        QVERIFY(outcome.standardError.isEmpty());
        const QByteArray written = ReadAll(errors);
        QVERIFY(written.startsWith("1\n2\n"));
        QVERIFY(written.endsWith("\n20000\n"));
    }

    void timeLimit_killsAHangWithItsChildren()
    {
        // The shell waits for a child it started; both must go.
        const QString pidFile = m_dir.filePath(QStringLiteral("child.pid"));
        const ProcessOutcome outcome = RunAndWait(Request(Shell,
            { QStringLiteral("-c"), QStringLiteral("trap '' TERM; sleep 600 & echo $! > \"$0\"; wait"),
                pidFile },
            QString(), QString(), 1s));
        QCOMPARE(outcome.status, ProcessOutcome::Status::TimedOut);
        const qint64 child = ReadAll(pidFile).trimmed().toLongLong();
        QVERIFY(child > 0);
        QTRY_VERIFY(IsGone(child));
    }

    void timeLimit_stopsAFakeCheckerThatIgnoresTerm()
    {
        const ProcessOutcome outcome
            = RunAndWait(Request(FakeCheckers + QStringLiteral("hang"), {}, QString(), QString(), 1s));
        QCOMPARE(outcome.status, ProcessOutcome::Status::TimedOut);
    }

    void crash_isNotAFinishedRun()
    {
        const ProcessOutcome outcome = RunAndWait(Request(FakeCheckers + QStringLiteral("crash")));
        QCOMPARE(outcome.status, ProcessOutcome::Status::Crashed);
    }

    void cancel_killsTheRun()
    {
        Process process;
        QSignalSpy finished(&process, &Process::finished);
        process.start(Request(FakeCheckers + QStringLiteral("hang")));
        process.cancel();
        QVERIFY(finished.wait());
        QCOMPARE(finished.at(0).at(0).value<ProcessOutcome>().status, ProcessOutcome::Status::Cancelled);
        QVERIFY(!process.isRunning());
    }

    void start_isIgnoredWhileRunning()
    {
        const QString marker = m_dir.filePath(QStringLiteral("second-start"));
        Process process;
        QSignalSpy finished(&process, &Process::finished);
        process.start(Request(Shell, { QStringLiteral("-c"), QStringLiteral("sleep 0.3") }));
        process.start(Request(Shell, { QStringLiteral("-c"), QStringLiteral(": > \"$0\""), marker }));
        QVERIFY(finished.wait());
        QCOMPARE(finished.count(), 1);
        QVERIFY(!QFile::exists(marker));
    }

    void environment_isTheRequests()
    {
        QProcessEnvironment environment;
        environment.insert(QStringLiteral("NORVALE_PROBE"), QStringLiteral("probe value"));
        const QString output = m_dir.filePath(QStringLiteral("environment.txt"));
        ProcessRequest request = Request(Shell,
            { QStringLiteral("-c"), QStringLiteral("printf %s \"$NORVALE_PROBE\"") }, QString(), output);
        request.environment = environment;
        QCOMPARE(RunAndWait(request).status, ProcessOutcome::Status::Finished);
        QCOMPARE(ReadAll(output), QByteArray("probe value"));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestProcess)
#include "tst_process.moc"
