#include "CheckRun.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "Processes.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <memory>

using namespace norvale;

namespace {

const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");
const QString Fakes = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");
const QStringList DefaultBoxes { "1", "2", "4", "5", "8" };

// A checker of our own making, as another kind of checker would be plugged in:
// it answers at once with one rule worth the points the message's first line
// names ("Subject: 2.5"), and notes the files it was given.
class InstantChecker : public CheckerJob
{
public:
    QString messagePath;
    QString reportPath;
    QByteArray read;
    bool running = false;

    void start(const QString &message, const QString &report, bool) override
    {
        messagePath = message;
        reportPath = report;
        read = ReadFile(message);
        running = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                SpamCheckResult result;
                result.checkerPath = QStringLiteral("instant");
                const QString points = QString::fromUtf8(read.mid(9, read.indexOf('\n') - 9));
                result.section
                    = QStringLiteral("Content analysis details:   (%1 points, 5.0 required)\r\n\r\n"
                                     " pts rule name              description\r\n"
                                     "---- ---------------------- ----------------\r\n"
                                     "%1 INSTANT                BODY: named in the subject\r\n")
                          .arg(points);
                emit reportReady(result);
                running = false;
                emit finished();
            },
            Qt::QueuedConnection);
    }
    bool isRunning() const override { return running; }
    void cancel() override { }
};

} // namespace

class TestCheckRun : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<norvale::CheckOutcome>();
        QVERIFY(m_dir.isValid());
        QVERIFY(QDir(m_dir.path()).mkpath(QStringLiteral("runtime")));
        QVERIFY(SetMode(m_dir.filePath(QStringLiteral("runtime")), 0700));
        m_runtime = std::make_unique<ScopedEnv>("XDG_RUNTIME_DIR", QFile::encodeName(runtime()));
        m_home = std::make_unique<ScopedEnv>("HOME", QFile::encodeName(m_dir.path()));
        m_log = std::make_unique<ScopedEnv>("NORVALE_FAKE_LOG", QFile::encodeName(log()));
    }
    void init() { QFile::remove(log()); }
    void cleanup()
    {
        m_path.reset();
        QCOMPARE(workingFiles(), QStringList());
    }

    // The real checker, from the name to the verdict; the working folder is
    // left as it was found.
    void realChecker_givesTheScoreAndTheVerdict()
    {
        const CheckOutcome outcome
            = RunCheck({ QStringLiteral("  ") + Messages + QStringLiteral("gtube.eml  "),
                QStringLiteral("GTUBE:6.5"), DefaultBoxes, false });
        QVERIFY2(outcome.ok(), qPrintable(outcome.check.detail));
        QCOMPARE(outcome.messagePath, Messages + QStringLiteral("gtube.eml"));
        QVERIFY(outcome.check.section.contains(QStringLiteral("GTUBE")));
        QVERIFY(outcome.score.total >= 6.5f && outcome.score.total < 7.0f);
        QCOMPARE(outcome.level, std::optional<int>(4));
    }

    void refused_endsBeforeTheChecker_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<CheckOutcome::Stage>("stage");
        QTest::addColumn<MessageFileStatus>("status");
        using Stage = CheckOutcome::Stage;
        QTest::newRow("an empty name") << QString() << Stage::NoFileName << MessageFileStatus::NotFound;
        QTest::newRow("spaces only") << QStringLiteral("   ") << Stage::NoFileName
                                     << MessageFileStatus::NotFound;
        QTest::newRow("a missing file")
            << Messages + QStringLiteral("missing.eml") << Stage::MessageFile << MessageFileStatus::NotFound;
        QTest::newRow("plain text") << Messages + QStringLiteral("not-a-message.txt") << Stage::MessageFile
                                    << MessageFileStatus::NotAMessage;
        QTest::newRow("a file past the size limit")
            << QStringLiteral("big") << Stage::MessageFile << MessageFileStatus::TooLarge;
    }
    void refused_endsBeforeTheChecker()
    {
        QFETCH(QString, path);
        QFETCH(CheckOutcome::Stage, stage);
        QFETCH(MessageFileStatus, status);
        if (path == u"big") {
            path = m_dir.filePath(QStringLiteral("big.eml"));
            QVERIFY(WriteFile(path, ReadFile(Messages + QStringLiteral("gtube.eml"))));
            QVERIFY(QFile(path).resize(MessageSizeLimit + 1));
        }
        useFake(QStringLiteral("log"));
        CheckRun run;
        QSignalSpy ready(&run, &CheckRun::resultReady);
        QVERIFY(!run.start({ path, QString(), DefaultBoxes, false }));
        QVERIFY(!run.isRunning());
        QCOMPARE(run.outcome().stage, stage);
        if (stage == CheckOutcome::Stage::MessageFile)
            QCOMPARE(run.outcome().fileStatus, status);
        QTest::qWait(100);
        QCOMPARE(ready.count(), 0);
        QVERIFY(!QFile::exists(log()));
    }

    // Another kind of checker is plugged in through the factory: it gets a
    // private copy of the message and a report file of its own, both in the
    // working folder, and its section is scored as the spamassassin program's.
    void checkerFactory_pluginsAnotherKindOfChecker()
    {
        const QString message = m_dir.filePath(QStringLiteral("instant.eml"));
        QVERIFY(WriteFile(message, "Subject: 2.5\nFrom: a@example.org\n\nbody\n"));
        InstantChecker *made = nullptr;
        CheckRun run;
        run.setCheckerFactory([&made] { return made = new InstantChecker; });
        QSignalSpy ready(&run, &CheckRun::resultReady);
        QSignalSpy finished(&run, &CheckRun::finished);
        QVERIFY(run.start({ message, QStringLiteral("INSTANT:3"), DefaultBoxes, false }));
        QVERIFY(made);
        QCOMPARE(made->read, ReadFile(message));
        QVERIFY(made->messagePath.startsWith(runtime() + QStringLiteral("/norvale/")));
        QVERIFY(made->reportPath.startsWith(runtime() + QStringLiteral("/norvale/")));
        QCOMPARE(workingFiles().size(), 2);
        QVERIFY(finished.wait());
        QCOMPARE(ready.count(), 1);
        const CheckOutcome outcome = ready.first().first().value<CheckOutcome>();
        QVERIFY(outcome.ok());
        QCOMPARE(outcome.score.total, 3.0f);
        QCOMPARE(outcome.level, std::optional<int>(2));
    }

    // Readiness, when asked for, is of the private copy: the bytes the checker
    // reads, whatever happens to the named file afterwards.
    void readiness_isOfTheCopyTheCheckerReads_data()
    {
        QTest::addColumn<bool>("asked");
        QTest::newRow("asked for") << true;
        QTest::newRow("not asked for") << false;
    }
    void readiness_isOfTheCopyTheCheckerReads()
    {
        QFETCH(bool, asked);
        const QString message = m_dir.filePath(QStringLiteral("readiness.eml"));
        QVERIFY(WriteFile(message, "Subject: 1\nFrom: a@first.example\n\nbody\n"));
        InstantChecker *made = nullptr;
        CheckRun run;
        run.setCheckerFactory([&made] { return made = new InstantChecker; });
        QSignalSpy finished(&run, &CheckRun::finished);
        QVERIFY(run.start({ message, QString(), DefaultBoxes, false, asked }));
        QVERIFY(WriteFile(message, "Subject: 1\nFrom: b@second.example\n\nbody\n"));
        QVERIFY(finished.wait());
        QVERIFY(made->read.contains("first.example"));
        QCOMPARE(run.outcome().readiness.has_value(), asked);
        if (asked)
            QCOMPARE(run.outcome().readiness->fromDomain, QStringLiteral("first.example"));
    }

    // Two checks at the same moment, as two windows make them, each read their
    // own report.
    void twoChecksAtOnce_eachGetItsOwnScore()
    {
        useFake(QStringLiteral("scored"));
        const QString gate = m_dir.filePath(QStringLiteral("gate"));
        ScopedEnv gateEnv("NORVALE_FAKE_GATE", QFile::encodeName(gate));
        const QString low = m_dir.filePath(QStringLiteral("low.eml"));
        const QString high = m_dir.filePath(QStringLiteral("high.eml"));
        QVERIFY(WriteFile(low, "Subject: low\nX-Fake-Score: 0.5\n\nbody\n"));
        QVERIFY(WriteFile(high, "Subject: high\nX-Fake-Score: 9\n\nbody\n"));
        CheckRun first;
        CheckRun second;
        QSignalSpy firstReady(&first, &CheckRun::resultReady);
        QSignalSpy secondReady(&second, &CheckRun::resultReady);
        QVERIFY(first.start({ low, QString(), DefaultBoxes, false }));
        QVERIFY(second.start({ high, QString(), DefaultBoxes, false }));
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(gate + QStringLiteral(".0.5")) && QFile::exists(gate + QStringLiteral(".9")),
            60000);
        QVERIFY(WriteFile(gate, QByteArray()));
        QTRY_VERIFY_WITH_TIMEOUT(!first.isRunning() && !second.isRunning(), 60000);
        QCOMPARE(firstReady.first().first().value<CheckOutcome>().score.total, 0.5f);
        QCOMPARE(secondReady.first().first().value<CheckOutcome>().score.total, 9.0f);
    }

    // cancel() ends the check before it returns: the checker is gone and so
    // are the check's files.
    void cancel_killsTheCheckerAndRemovesTheFilesAtOnce()
    {
        useFake(QStringLiteral("held"));
        const QString gate = m_dir.filePath(QStringLiteral("held-gate"));
        ScopedEnv hold("NORVALE_FAKE_HOLD", "t");
        ScopedEnv gateEnv("NORVALE_FAKE_GATE", QFile::encodeName(gate));
        CheckRun run;
        QStringList events;
        connect(&run, &CheckRun::resultReady, this, [&events](const CheckOutcome &outcome) {
            events << QStringLiteral("ready %1").arg(outcome.cancelled());
        });
        connect(&run, &CheckRun::finished, this, [&events] { events << QStringLiteral("finished"); });
        QVERIFY(run.start({ Messages + QStringLiteral("gtube.eml"), QString(), DefaultBoxes, false }));
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(gate + QStringLiteral(".pid")), 60000);
        const pid_t pid = ReadFile(gate + QStringLiteral(".pid")).trimmed().toInt();
        QVERIFY(pid > 0);
        QCOMPARE(workingFiles().size(), 2);

        run.cancel();
        QCOMPARE(events, (QStringList { QStringLiteral("ready 1"), QStringLiteral("finished") }));
        QVERIFY(!run.isRunning());
        QCOMPARE(workingFiles(), QStringList());
        QTRY_VERIFY(!GroupAlive(pid)); // SIGKILL takes effect a moment after it is sent
        QTest::qWait(200);
        QCOMPARE(events.size(), 2);
    }

private:
    QString runtime() const { return m_dir.filePath(QStringLiteral("runtime")); }
    QString log() const { return m_dir.filePath(QStringLiteral("checker.log")); }
    QStringList workingFiles() const { return FolderEntries(runtime() + QStringLiteral("/norvale")); }
    // Puts the fake checker `name` first on PATH, for both runs.
    void useFake(const QString &name)
    {
        const QString bin = m_dir.filePath(QStringLiteral("bin-") + name);
        if (!QFile::exists(bin)) {
            QVERIFY(QDir().mkpath(bin));
            QVERIFY(QFile::link(Fakes + name, bin + QStringLiteral("/spamassassin")));
        }
        m_path.reset();
        m_path = std::make_unique<ScopedEnv>("PATH", QFile::encodeName(bin) + ':' + qgetenv("PATH"));
    }

    QTemporaryDir m_dir;
    std::unique_ptr<ScopedEnv> m_runtime;
    std::unique_ptr<ScopedEnv> m_home;
    std::unique_ptr<ScopedEnv> m_log;
    std::unique_ptr<ScopedEnv> m_path;
};

QTEST_GUILESS_MAIN(TestCheckRun)
#include "tst_checkrun.moc"
