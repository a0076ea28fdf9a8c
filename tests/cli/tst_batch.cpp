// norvale-check over several files: checks run side by side, results come in
// the order of the arguments, with the warm checker or without it, or on a
// team's pool of checker daemons.
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include "Daemons.h"
#include "Recordings.h"
#include "RunProgram.h"
#include "TestFiles.h"

#include <unistd.h>

namespace {

const QString Program = QStringLiteral(NORVALE_APP_DIR "/norvale-check");
const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");

} // namespace

class BatchTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    // norvale-check with a home, settings and working folder of this test's
    // own; `path` replaces PATH when given.
    ProgramRun run(const QStringList &arguments, const QString &path = QString())
    {
        QStringList environment { QStringLiteral("HOME=") + m_home.path(),
            QStringLiteral("XDG_CONFIG_HOME=") + m_home.filePath(QStringLiteral("config")),
            QStringLiteral("XDG_RUNTIME_DIR=") + m_home.path() };
        if (!path.isEmpty())
            environment << QStringLiteral("PATH=") + path;
        return RunProgram(Program, arguments, environment, 600000);
    }

private slots:
    void initTestCase() { QVERIFY(m_home.isValid()); }

    // The order is the batch's own work: the cold rows run on the real
    // checker's recorded reports; the warm one on the real daemon.
    void resultsComeInArgumentOrder_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("realChecker");
        QTest::newRow("one at a time, cold")
            << QStringList { QStringLiteral("--jobs=1"), QStringLiteral("--cold") } << false;
        QTest::newRow("three at a time, cold")
            << QStringList { QStringLiteral("--jobs=3"), QStringLiteral("--cold") } << false;
        QTest::newRow("three at a time, warm") << QStringList { QStringLiteral("--jobs=3") } << true;
    }
    void resultsComeInArgumentOrder()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, realChecker);
        const QStringList files { Messages + QStringLiteral("gtube.eml"),
            Messages + QStringLiteral("clean-newsletter.eml"), Messages + QStringLiteral("not-a-message.txt"),
            Messages + QStringLiteral("missing.eml"), Messages + QStringLiteral("gtube.eml") };
        const ProgramRun result = run(QStringList { QStringLiteral("--json") } + options + files,
            realChecker ? QString() : RecordedCheckerPath(m_home.path()));
        QCOMPARE(result.exitCode, 1); // two files could not be checked
        const QJsonArray checked
            = QJsonDocument::fromJson(result.out.toUtf8()).object().value(u"files").toArray();
        QCOMPARE(checked.size(), files.size());
        for (qsizetype i = 0; i < files.size(); ++i)
            QCOMPARE(checked.at(i).toObject().value(u"path").toString(), files.at(i));
        QVERIFY(checked.at(0).toObject().value(u"score").toDouble() >= 1000);
        QVERIFY(checked.at(1).toObject().value(u"score").toDouble() < 5);
        QVERIFY(checked.at(4).toObject().value(u"score").toDouble() >= 1000);
        QVERIFY(!checked.at(2).toObject().contains(u"score"));
        QVERIFY(!checked.at(3).toObject().contains(u"score"));
    }

    void badBatchOptionsAreUsageErrors_data()
    {
        QTest::addColumn<QString>("option");
        QTest::newRow("no jobs") << "--jobs=0";
        QTest::newRow("jobs not a number") << "--jobs=many";
        QTest::newRow("too many jobs") << "--jobs=65";
        QTest::newRow("a pool entry without a port") << "--spamd=mail.example";
        QTest::newRow("a pool with an empty entry") << "--spamd=a.example:783,";
    }
    void badBatchOptionsAreUsageErrors()
    {
        QFETCH(QString, option);
        const ProgramRun result = run({ option, Messages + QStringLiteral("gtube.eml") });
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains(option.section(u'=', 1)), qPrintable(result.err));
    }

    void aPoolWithNoHostIsAnErrorNamingTheHosts_data()
    {
        QTest::addColumn<bool>("inSettings");
        QTest::newRow("named by --spamd") << false;
        QTest::newRow("named by the settings, as the window reads them") << true;
    }
    void aPoolWithNoHostIsAnErrorNamingTheHosts()
    {
        QFETCH(bool, inSettings);
        const QString pool
            = QStringLiteral("127.0.0.1:%1,127.0.0.1:%2").arg(FreeLoopbackPort()).arg(FreeLoopbackPort());
        QStringList arguments { QStringLiteral("--json") };
        if (inSettings) {
            const QString settings = m_home.filePath(QStringLiteral("pool.ini"));
            QVERIFY(WriteFile(
                settings, "rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0&spamd=" + pool.toLatin1()));
            arguments << QStringLiteral("--settings") << settings;
        } else {
            arguments << QStringLiteral("--spamd") << pool;
        }
        const ProgramRun result = run(arguments
            + QStringList {
                Messages + QStringLiteral("gtube.eml"), Messages + QStringLiteral("clean-newsletter.eml") });
        QCOMPARE(result.exitCode, 1);
        const QJsonArray checked
            = QJsonDocument::fromJson(result.out.toUtf8()).object().value(u"files").toArray();
        QCOMPARE(checked.size(), 2);
        for (const QJsonValue &file : checked)
            QVERIFY(!file.toObject().contains(u"score"));
        for (const QString &host : pool.split(u','))
            QVERIFY2(result.err.contains(host), qPrintable(result.err));
    }
};

// The warm checker never runs as root: the tests drop it, as a user would run.
int main(int argc, char **argv)
{
    DropRoot(argc, argv);
    QCoreApplication app(argc, argv);
    BatchTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_batch.moc"
