#include "ReportScorer.h"
#include "SpamCheck.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "Recordings.h"
#include "ScopedEnv.h"

#include <memory>

using namespace norvale;
using namespace std::chrono_literals;

namespace {

const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");
const QString Fakes = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");
const QString Heading = QStringLiteral("Content analysis details");

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

CheckerPaths Fake(const QString &testRun, const QString &secondRun = QStringLiteral("log"))
{
    CheckerPaths paths;
    paths.testRun = testRun.isEmpty() || testRun.startsWith(u'/') ? testRun : Fakes + testRun;
    paths.secondRun = secondRun.isEmpty() ? QString() : Fakes + secondRun;
    return paths;
}

} // namespace

class TestSpamCheck : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<norvale::SpamCheckResult>();
        QVERIFY(m_home.isValid());
        QVERIFY(m_work.isValid());
        // The checker keeps its preferences and learning data below HOME; the
        // second run learns from the message, which must not reach anyone's own.
        m_homeEnv = std::make_unique<ScopedEnv>("HOME", QFile::encodeName(m_home.path()));
        m_logEnv = std::make_unique<ScopedEnv>("NORVALE_FAKE_LOG", QFile::encodeName(log()));
        m_real = CheckerPaths::resolve(QStringLiteral(NORVALE_APP_DIR));
        QVERIFY2(!m_real.testRun.isEmpty(), "SpamAssassin (spamassassin) must be installed");
        QVERIFY(!m_real.secondRun.isEmpty());
    }
    void init()
    {
        QFile::remove(log());
        QFile::remove(report());
    }

    void realChecker_reportsTheRulesThatFired_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<bool>("spam");
        QTest::newRow("a message with the spam test string")
            << Messages + QStringLiteral("gtube.eml") << QStringLiteral("GTUBE") << true;
        QTest::newRow("our clean newsletter")
            << Messages + QStringLiteral("clean-newsletter.eml") << QStringLiteral("HTML_MESSAGE") << false;
        QTest::newRow("the sample newsletter") << QStringLiteral(NORVALE_SOURCE_DIR "/samples/newsletter.eml")
                                               << QStringLiteral("HTML_MESSAGE") << false;
    }
    void realChecker_reportsTheRulesThatFired()
    {
        QFETCH(QString, message);
        QFETCH(QString, rule);
        QFETCH(bool, spam);
        const SpamCheckResult result = RunSpamCheck(message, report(), false, m_real);
        QVERIFY2(result.ok(), qPrintable(result.detail));
        // Spam or not, the test run ends with exit code 0.
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.checkerPath, m_real.testRun);
        QVERIFY(result.section.startsWith(Heading));
        QVERIFY(result.section.contains(QStringLiteral("\r\n")));
        QVERIFY(result.section.contains(rule));
        const float total = ScoreReport(result.section, QString()).total;
        QCOMPARE(total >= 5.0f, spam);
        if (!spam)
            QVERIFY(total < 1.0f);
        // The report stays where the checker wrote it.
        QVERIFY(ReadAll(report()).contains(Heading.toLatin1()));
    }

    // The recordings that stand in for the checker in the tests of the window,
    // the command line and the report are still what the installed checker
    // says, for messages that have not changed since: one run of the checker
    // over all of them as a mailbox.
    void recordings_areWhatTheInstalledCheckerSays()
    {
        const QList<Recording> recordings = Recordings();
        QVERIFY(recordings.size() >= 10);
        // The checker keeps each message's separator line, which names the
        // recording, but not the order of the messages.
        const auto separator = [](qsizetype index) {
            return "From recording-" + QByteArray::number(index) + "@norvale.test Thu Jan  1 00:00:00 2026";
        };
        QByteArray mailbox;
        for (qsizetype i = 0; i < recordings.size(); ++i) {
            const Recording &recording = recordings[i];
            QProcess cksum;
            cksum.setStandardInputFile(recording.message);
            cksum.start(QStringLiteral("cksum"), QStringList());
            QVERIFY(cksum.waitForFinished());
            QCOMPARE(QString::fromLatin1(cksum.readAllStandardOutput().trimmed()).replace(u' ', u'-'),
                recording.key);
            const QByteArray message = ReadAll(recording.message);
            QVERIFY2(!message.contains("\nFrom "), qPrintable(recording.message)); // needs no escaping
            mailbox += separator(i) + '\n' + message + (message.endsWith('\n') ? "\n" : "\n\n");
        }
        const QString mailboxPath = m_work.filePath(QStringLiteral("recorded.mbox"));
        QFile file(mailboxPath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(mailbox);
        file.close();

        QProcess checker;
        checker.setStandardInputFile(mailboxPath);
        checker.start(
            m_real.testRun, { QStringLiteral("-t"), QStringLiteral("-L"), QStringLiteral("--mbox") });
        QVERIFY(checker.waitForFinished(180000));
        QCOMPARE(checker.exitCode(), 0);
        QMap<qsizetype, QString> checked;
        qsizetype current = -1;
        for (const QByteArray &line : checker.readAllStandardOutput().split('\n')) {
            if (line.startsWith("From recording-")) {
                current = line.mid(15, line.indexOf('@') - 15).toLongLong();
                QVERIFY2(line == separator(current), line.constData());
                continue;
            }
            QVERIFY(current >= 0);
            checked[current] += QString::fromUtf8(line) + u'\n';
        }
        QCOMPARE(checked.size(), recordings.size());
        // The same lines: the checker's order of the rules is its own each
        // run, and a mailbox ends each message with an empty line.
        const auto lines = [](const QString &output) {
            QStringList lines
                = ExtractReportSection(output).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
            lines.sort();
            return lines;
        };
        for (qsizetype i = 0; i < recordings.size(); ++i) {
            const QStringList recorded = lines(recordings[i].output());
            QVERIFY2(!recorded.isEmpty(), qPrintable(recordings[i].key));
            QVERIFY2(lines(checked.value(i)) == recorded,
                qPrintable(recordings[i].message
                    + QStringLiteral(
                        ": the checker says something else now; run tests/data/recorded/record.sh")));
        }
    }

    void realChecker_writesItsReportInEnglishUnderAnyLocale()
    {
        // Under German the checker would head its section "Inhaltsanalyse im Detail".
        ScopedEnv language("LANGUAGE", "de");
        ScopedEnv all("LC_ALL", "de_DE.UTF-8");
        ScopedEnv lang("LANG", "de_DE.UTF-8");
        const SpamCheckResult result
            = RunSpamCheck(Messages + QStringLiteral("gtube.eml"), report(), false, m_real);
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QVERIFY(result.section.contains(QStringLiteral("GTUBE")));
        QVERIFY(result.section.contains(QStringLiteral("Generic Test for Unsolicited Bulk Email")));
    }

    void failedCheck_hasItsOwnStatusAndTheSecondRunFollowsUnlessItHungOrCrashed_data()
    {
        QTest::addColumn<CheckerPaths>("paths");
        QTest::addColumn<QString>("message");
        QTest::addColumn<SpamCheckResult::Status>("status");
        QTest::addColumn<QString>("checkerPath");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("detail");
        QTest::addColumn<QByteArray>("secondRuns");
        QTest::addColumn<QString>("said"); // what the checker wrote on its standard error
        using Status = SpamCheckResult::Status;
        const QString message = Messages + QStringLiteral("gtube.eml");
        QTest::newRow("no checker at all")
            << Fake(QString()) << message << Status::NotFound << QStringLiteral("spamassassin") << 0
            << QString() << QByteArray("-R\n") << QString();
        QTest::newRow("a checker path that does not exist")
            << Fake(QStringLiteral("/nonexistent/spamassassin")) << message << Status::NotFound
            << QStringLiteral("/nonexistent/spamassassin") << 0 << QString() << QByteArray("-R\n")
            << QString();
        QTest::newRow("a checker that is not executable")
            << Fake(Messages + QStringLiteral("not-a-message.txt")) << message << Status::NotStarted
            << Messages + QStringLiteral("not-a-message.txt") << 0 << QString() << QByteArray("-R\n")
            << QString();
        QTest::newRow("a message file that vanished (the second run cannot read it either)")
            << Fake(QStringLiteral("args")) << Messages + QStringLiteral("vanished.eml") << Status::NotStarted
            << Fakes + QStringLiteral("args") << 0 << QString() << QByteArray() << QString();
        // A second run would hang or crash the same way: it is left out.
        QTest::newRow("a checker that hangs")
            << Fake(QStringLiteral("hang")) << message << Status::TimedOut << Fakes + QStringLiteral("hang")
            << 0 << QString() << QByteArray() << QString();
        QTest::newRow("a checker that says what it waits for, then hangs")
            << Fake(QStringLiteral("hang-saying")) << message << Status::TimedOut
            << Fakes + QStringLiteral("hang-saying") << 0 << QString() << QByteArray()
            << QStringLiteral("fake checker: waiting for a DNS answer");
        QTest::newRow("a checker that crashes")
            << Fake(QStringLiteral("crash")) << message << Status::Crashed << Fakes + QStringLiteral("crash")
            << 0 << QString() << QByteArray() << QString();
        QTest::newRow("a checker that says why, then crashes")
            << Fake(QStringLiteral("crash-saying")) << message << Status::Crashed
            << Fakes + QStringLiteral("crash-saying") << 0 << QStringLiteral("Out of memory!") << QByteArray()
            << QStringLiteral("fake checker: Out of memory!");
        QTest::newRow("a checker that exits with an error")
            << Fake(QStringLiteral("fail")) << message << Status::ExitedWithError
            << Fakes + QStringLiteral("fail") << 3 << QStringLiteral("cannot read its configuration")
            << QByteArray("-R\n") << QStringLiteral("fake checker: cannot read its configuration");
        QTest::newRow("a checker that prints junk")
            << Fake(QStringLiteral("garbage")) << message << Status::NoReportSection
            << Fakes + QStringLiteral("garbage") << 0 << QString() << QByteArray("-R\n") << QString();
    }
    void failedCheck_hasItsOwnStatusAndTheSecondRunFollowsUnlessItHungOrCrashed()
    {
        QFETCH(CheckerPaths, paths);
        QFETCH(QString, message);
        QFETCH(SpamCheckResult::Status, status);
        QFETCH(QString, checkerPath);
        QFETCH(int, exitCode);
        QFETCH(QString, detail);
        QFETCH(QByteArray, secondRuns);
        QFETCH(QString, said);
        const SpamCheckResult result = RunSpamCheck(message, report(), false, paths, 1s);
        QCOMPARE(result.status, status);
        QVERIFY(!result.ok());
        QVERIFY(result.section.isEmpty());
        QCOMPARE(result.checkerPath, checkerPath);
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY(!result.detail.isEmpty());
        QVERIFY2(result.detail.contains(detail), qPrintable(result.detail));
        QCOMPARE(ReadAll(log()), secondRuns);
        QCOMPARE(result.checkerSaid, said);
    }

    void onlineFlag_decidesTheLocalSwitch_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("arguments");
        QTest::newRow("network tests allowed") << true << QStringLiteral("arguments: [-t]");
        QTest::newRow("local tests only") << false << QStringLiteral("arguments: [-t -L]");
    }
    void onlineFlag_decidesTheLocalSwitch()
    {
        QFETCH(bool, online);
        QFETCH(QString, arguments);
        const SpamCheckResult result = RunSpamCheck(
            Messages + QStringLiteral("gtube.eml"), report(), online, Fake(QStringLiteral("args")));
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QVERIFY2(result.section.contains(arguments + QStringLiteral("\r\n")), qPrintable(result.section));
        QVERIFY(result.section.contains(QStringLiteral("LANGUAGE=C LC_ALL=C\r\n")));
        QVERIFY(result.section.contains(QStringLiteral("first line: Date: Wed, 05 Jun 2024 17:40:12 +0200")));
        QCOMPARE(ReadAll(log()), QByteArray("-R\n"));
    }

    void report_replacesTheOldOneAndPathsAreTakenLiterally()
    {
        QTemporaryDir dir;
        const QString odd = dir.filePath(QStringLiteral("-t $(touch marker) `x` \"q\".txt"));
        QFile old(odd);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(100000, 'x') + "\nContent analysis details: an old report\n");
        old.close();
        const SpamCheckResult result = RunSpamCheck(
            Messages + QStringLiteral(".hidden-message.eml"), odd, false, Fake(QStringLiteral("args")));
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QVERIFY(!result.section.contains(QStringLiteral("an old report")));
        QVERIFY(result.section.contains(QStringLiteral("first line: Date: Thu, 06 Jun 2024")));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

    void hugeReport_isReadFromItsEnd()
    {
        const SpamCheckResult result = RunSpamCheck(
            Messages + QStringLiteral("gtube.eml"), report(), false, Fake(QStringLiteral("huge")));
        QVERIFY2(result.ok(), qPrintable(result.detail));
        QVERIFY(QFileInfo(report()).size() > 50'000'000);
        QVERIFY(result.section.startsWith(Heading));
        QVERIFY(result.section.contains(QStringLiteral("FAKE_HUGE_REPORT")));
        QVERIFY(result.section.size() < 1000);
    }

    void job_reportsBeforeTheSecondRunThenFinishes()
    {
        SpamCheckJob job;
        QStringList events;
        connect(&job, &SpamCheckJob::reportReady, this, [&](const SpamCheckResult &result) {
            events << QStringLiteral("report %1").arg(result.ok());
            // The second run has not started yet.
            events << QStringLiteral("log %1").arg(QFile::exists(log()));
        });
        connect(&job, &SpamCheckJob::finished, this, [&] {
            events << QStringLiteral("finished, log %1").arg(QString::fromLatin1(ReadAll(log()).trimmed()));
        });
        job.start(Messages + QStringLiteral("gtube.eml"), report(), false, Fake(QStringLiteral("args")));
        QVERIFY(job.isRunning());
        QVERIFY(events.isEmpty());
        QTRY_VERIFY(!job.isRunning());
        QCOMPARE(events,
            QStringList(
                { QStringLiteral("report 1"), QStringLiteral("log 0"), QStringLiteral("finished, log -R") }));
    }

    void job_ignoresAStartWhileRunning()
    {
        SpamCheckJob job;
        QSignalSpy ready(&job, &SpamCheckJob::reportReady);
        QSignalSpy finished(&job, &SpamCheckJob::finished);
        job.start(Messages + QStringLiteral("gtube.eml"), report(), false, Fake(QStringLiteral("args")));
        job.start(Messages + QStringLiteral("gtube.eml"), report(), true, Fake(QStringLiteral("fail")));
        QVERIFY(finished.wait());
        QCOMPARE(ready.count(), 1);
        QVERIFY(ready.at(0).at(0).value<SpamCheckResult>().section.contains(QStringLiteral("[-t -L]")));
        QTest::qWait(200);
        QCOMPARE(finished.count(), 1);
        QCOMPARE(ReadAll(log()), QByteArray("-R\n"));
    }

    void job_cancelStopsAHangingTestRunWithoutASecondRun()
    {
        SpamCheckJob job; // the full time limit: only cancel() can end this check soon
        QSignalSpy ready(&job, &SpamCheckJob::reportReady);
        QSignalSpy finished(&job, &SpamCheckJob::finished);
        job.start(Messages + QStringLiteral("gtube.eml"), report(), false, Fake(QStringLiteral("hang")));
        QTest::qWait(200);
        job.cancel();
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(!job.isRunning());
        QCOMPARE(ready.count(), 1);
        QCOMPARE(ready.at(0).at(0).value<SpamCheckResult>().status, SpamCheckResult::Status::Cancelled);
        QTest::qWait(200);
        QVERIFY(!QFile::exists(log()));
    }

    void job_cancelStopsAHangingSecondRun()
    {
        SpamCheckJob job;
        QSignalSpy ready(&job, &SpamCheckJob::reportReady);
        QSignalSpy finished(&job, &SpamCheckJob::finished);
        job.start(Messages + QStringLiteral("gtube.eml"), report(), false,
            Fake(QStringLiteral("args"), QStringLiteral("hang")));
        QTRY_COMPARE(ready.count(), 1);
        QVERIFY(ready.at(0).at(0).value<SpamCheckResult>().ok());
        QVERIFY(job.isRunning());
        job.cancel();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(ready.count(), 1);
    }

    void job_cancelFromTheReportEndsTheCheckThere()
    {
        SpamCheckJob job;
        QSignalSpy finished(&job, &SpamCheckJob::finished);
        connect(&job, &SpamCheckJob::reportReady, &job, &SpamCheckJob::cancel);
        job.start(Messages + QStringLiteral("gtube.eml"), report(), false, Fake(QStringLiteral("args")));
        QTRY_COMPARE(finished.count(), 1);
        QVERIFY(!job.isRunning());
        QTest::qWait(200);
        QCOMPARE(finished.count(), 1);
        QVERIFY(!QFile::exists(log()));
    }

    void job_canRunAgainAfterFinishing()
    {
        SpamCheckJob job;
        job.setTimeLimit(1s);
        QSignalSpy ready(&job, &SpamCheckJob::reportReady);
        QSignalSpy finished(&job, &SpamCheckJob::finished);
        job.start(Messages + QStringLiteral("gtube.eml"), report(), false, Fake(QStringLiteral("hang")));
        QVERIFY(finished.wait());
        job.start(Messages + QStringLiteral("gtube.eml"), report(), true, Fake(QStringLiteral("args")));
        QVERIFY(finished.wait());
        QCOMPARE(ready.count(), 2);
        QCOMPARE(ready.at(0).at(0).value<SpamCheckResult>().status, SpamCheckResult::Status::TimedOut);
        QCOMPARE(ready.at(0).at(0).value<SpamCheckResult>().timeLimit, 1s);
        QVERIFY(ready.at(1).at(0).value<SpamCheckResult>().ok());
        // The timed-out check had no second run.
        QCOMPARE(ReadAll(log()), QByteArray("-R\n"));
    }

    void resolve_prefersTheApplicationFoldersCheckers_data()
    {
        QTest::addColumn<QStringList>("executables"); // below the application folder
        QTest::addColumn<QStringList>("plainFiles");
        QTest::addColumn<bool>("onPath");
        QTest::addColumn<QString>("testRun");
        QTest::addColumn<QString>("secondRun");
        const QString test = QStringLiteral("spamassassin/spamassassin");
        const QString second = QStringLiteral("bin/spamassassin");
        const QString path = QStringLiteral("PATH");
        QTest::newRow("both beside the program")
            << QStringList { test, second } << QStringList() << true << test << second;
        QTest::newRow("only the test run's beside the program")
            << QStringList { test } << QStringList() << true << test << path;
        QTest::newRow("files that are not executable fall back to PATH")
            << QStringList() << QStringList { test, second } << true << path << path;
        QTest::newRow("none anywhere") << QStringList() << QStringList() << false << QString() << QString();
    }
    void resolve_prefersTheApplicationFoldersCheckers()
    {
        QFETCH(QStringList, executables);
        QFETCH(QStringList, plainFiles);
        QFETCH(bool, onPath);
        QFETCH(QString, testRun);
        QFETCH(QString, secondRun);
        QTemporaryDir app;
        QTemporaryDir bin;
        const auto make = [&](const QString &dir, const QString &name, bool executable) {
            QVERIFY(QDir(dir).mkpath(QFileInfo(name).path()));
            QFile file(QDir(dir).filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\n");
            QVERIFY(file.setPermissions(executable ? QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner
                                                   : QFile::ReadOwner | QFile::WriteOwner));
        };
        for (const QString &name : executables)
            make(app.path(), name, true);
        for (const QString &name : plainFiles)
            make(app.path(), name, false);
        if (onPath)
            make(bin.path(), QStringLiteral("spamassassin"), true);
        ScopedEnv pathEnv("PATH", QFile::encodeName(bin.path()));

        const auto expected = [&](const QString &which) {
            if (which == QStringLiteral("PATH"))
                return bin.filePath(QStringLiteral("spamassassin"));
            return which.isEmpty() ? QString() : app.filePath(which);
        };
        const CheckerPaths paths = CheckerPaths::resolve(app.path());
        QCOMPARE(paths.testRun, expected(testRun));
        QCOMPARE(paths.secondRun, expected(secondRun));
    }

private:
    QString report() const { return m_work.filePath(QStringLiteral("spamscore.txt")); }
    QString log() const { return m_work.filePath(QStringLiteral("second-run.log")); }

    QTemporaryDir m_home;
    QTemporaryDir m_work;
    std::unique_ptr<ScopedEnv> m_homeEnv;
    std::unique_ptr<ScopedEnv> m_logEnv;
    CheckerPaths m_real;
};

QTEST_GUILESS_MAIN(TestSpamCheck)
#include "tst_spamcheck.moc"
