// Faults the command line cannot stage, checked where they happen: a message
// that goes away between its validation and the checker's run, and a
// settings folder the user can no longer write. The rest of the fault matrix
// runs through the built norvale-check (tests/cli/tst_faultmatrix).

#include "MessageFile.h"
#include "Settings.h"
#include "SpamCheck.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

using namespace norvale;

namespace {

const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");

constexpr uid_t NobodyId = 65534;

} // namespace

class TestFaultMatrix : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        qRegisterMetaType<norvale::SpamCheckResult>();
        QVERIFY(m_dir.isValid());
        // The checker keeps its data below HOME; keep it away from anyone's own.
        qputenv("HOME", QFile::encodeName(m_dir.path()));
        m_real = CheckerPaths::resolve(QStringLiteral(NORVALE_APP_DIR));
        QVERIFY2(!m_real.testRun.isEmpty(), "SpamAssassin (spamassassin) must be installed");
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
    QTemporaryDir m_dir;
    CheckerPaths m_real;
};

QTEST_GUILESS_MAIN(TestFaultMatrix)
#include "tst_faultmatrix.moc"
