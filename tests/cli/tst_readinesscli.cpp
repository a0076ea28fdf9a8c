#include "FixtureDns.h"
#include "Recordings.h"
#include "RunProgram.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

// The sending readiness part of norvale-check, run as users meet it: the
// built program on real messages, with the real checker's recorded reports.

namespace {

const QString Program = QStringLiteral(NORVALE_APP_DIR "/norvale-check");
const QString Clean = QStringLiteral(NORVALE_TEST_DATA "/messages/clean-newsletter.eml"); // not DKIM-signed
const QString Ready = QStringLiteral(NORVALE_TEST_DATA "/readiness/good.eml");

using Run = ProgramRun;

} // namespace

class TestReadinessCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QString m_path; // the recorded checker's: the readiness table is the point here

    Run run(const QStringList &arguments, const QByteArray &dnsServer = {})
    {
        QStringList environment { QStringLiteral("XDG_CONFIG_HOME=")
                + m_home.filePath(QStringLiteral("config")),
            QStringLiteral("XDG_RUNTIME_DIR=") + m_home.path(), QStringLiteral("COLUMNS=100"),
            QStringLiteral("PATH=") + m_path };
        if (!dnsServer.isEmpty())
            environment << QStringLiteral("NORVALE_DNS_SERVER=") + QString::fromLatin1(dnsServer);
        return RunProgram(Program, arguments, environment);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_path = RecordedCheckerPath(m_home.path());
        QVERIFY(!m_path.isEmpty());
    }

    void text_showsTheTableAfterTheRules()
    {
        const Run result = run({ Clean });
        QCOMPARE(result.exitCode, 0);
        const qsizetype rules = result.out.indexOf(QStringLiteral("Rule"));
        const qsizetype readiness = result.out.indexOf(QStringLiteral("  Sending readiness: 1 problem\n"));
        QVERIFY2(rules > 0 && readiness > rules, qPrintable(result.out));
        QVERIFY(result.out.contains(QStringLiteral("    Problem  DKIM signature")));
        QVERIFY(result.out.contains(QStringLiteral("What to change: Sign your mail with DKIM")));
    }

    void noReadiness_leavesTheTableAndTheJsonOut_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<bool>("shown");
        QTest::newRow("text by default") << QStringList() << true;
        QTest::newRow("text with --no-readiness")
            << QStringList { QStringLiteral("--no-readiness") } << false;
        QTest::newRow("JSON by default") << QStringList { QStringLiteral("--json") } << true;
        QTest::newRow("JSON with --no-readiness")
            << QStringList { QStringLiteral("--json"), QStringLiteral("--no-readiness") } << false;
    }

    void noReadiness_leavesTheTableAndTheJsonOut()
    {
        QFETCH(QStringList, options);
        QFETCH(bool, shown);
        const Run result = run(options + QStringList { Ready });
        QCOMPARE(result.exitCode, 0);
        if (!options.contains(QStringLiteral("--json"))) {
            QCOMPARE(result.out.contains(QStringLiteral("Sending readiness")), shown);
            return;
        }
        const QJsonObject file = QJsonDocument::fromJson(result.out.toUtf8())
                                     .object()
                                     .value(u"files")
                                     .toArray()
                                     .first()
                                     .toObject();
        QVERIFY(file.contains(u"score"));
        QCOMPARE(file.contains(u"readiness"), shown);
        if (!shown)
            return;
        const QJsonObject readiness = file.value(u"readiness").toObject();
        QCOMPARE(readiness.value(u"ready").toBool(), true);
        QCOMPARE(readiness.value(u"problems").toInt(), 0);
        bool sawDkim = false;
        for (const QJsonValue &value : readiness.value(u"findings").toArray()) {
            const QJsonObject finding = value.toObject();
            if (finding.value(u"id").toString() == u"dkim-alignment") {
                sawDkim = true;
                QCOMPARE(finding.value(u"status").toString(), QStringLiteral("pass"));
                QCOMPARE(
                    finding.value(u"value").toString(), QStringLiteral("d=harrowgate-garden-club.example"));
            }
        }
        QVERIFY(sawDkim);
    }

    void requireReady_exitsWithThreeWhenACheckFails_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("a message with a problem")
            << QStringList { QStringLiteral("--require-ready"), Clean } << 3;
        QTest::newRow("a ready message") << QStringList { QStringLiteral("--require-ready"), Ready } << 0;
        QTest::newRow("a problem without --require-ready") << QStringList { Clean } << 0;
        QTest::newRow("a problem with the table left out") << QStringList { QStringLiteral("--require-ready"),
            QStringLiteral("--no-readiness"), Clean } << 3;
    }

    void requireReady_exitsWithThreeWhenACheckFails()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QCOMPARE(run(arguments).exitCode, exitCode);
    }

    // The checks that ask the DNS run with --online only; their findings count
    // for --require-ready like the others.
    void online_looksUpOnlyWhenAllowed_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QStringList>("networkFindings"); // "id status", in order
        QTest::addColumn<int>("exitCode");
        QTest::newRow("with --online the DNS findings join the others")
            << QStringList { QStringLiteral("--online") }
            << QStringList { QStringLiteral("dmarc pass"), QStringLiteral("spf fail"),
                   QStringLiteral("dkim-key pass") }
            << 0;
        QTest::newRow("with --online a missing SPF record makes the message not ready")
            << QStringList { QStringLiteral("--online"), QStringLiteral("--require-ready") }
            << QStringList { QStringLiteral("dmarc pass"), QStringLiteral("spf fail"),
                   QStringLiteral("dkim-key pass") }
            << 3;
        QTest::newRow("without it nothing is looked up") << QStringList() << QStringList() << 0;
        QTest::newRow("with --local nothing is looked up")
            << QStringList { QStringLiteral("--local"), QStringLiteral("--require-ready") } << QStringList()
            << 0;
    }

    void online_looksUpOnlyWhenAllowed()
    {
        QFETCH(QStringList, options);
        QFETCH(QStringList, networkFindings);
        QFETCH(int, exitCode);
        FixtureDns dns({ { "_dmarc.harrowgate-garden-club.example", "v=DMARC1; p=reject" },
            { "news2024._domainkey.harrowgate-garden-club.example",
                ReadFile(QStringLiteral(NORVALE_TEST_DATA "/readiness/dkim-key.txt")).trimmed() } });
        QVERIFY(dns.ok());
        const Run result = run(options + QStringList { QStringLiteral("--json"), Ready }, dns.server());
        QCOMPARE(result.exitCode, exitCode);
        QStringList found;
        const QJsonArray findings = QJsonDocument::fromJson(result.out.toUtf8())
                                        .object()
                                        .value(u"files")
                                        .toArray()
                                        .first()
                                        .toObject()
                                        .value(u"readiness")
                                        .toObject()
                                        .value(u"findings")
                                        .toArray();
        QVERIFY(!findings.isEmpty());
        for (const QJsonValue &value : findings) {
            const QString id = value.toObject().value(u"id").toString();
            if (id == u"dmarc" || id == u"spf" || id == u"dkim-key")
                found << id + u' ' + value.toObject().value(u"status").toString();
        }
        QCOMPARE(found, networkFindings);
        if (networkFindings.isEmpty())
            QCOMPARE(dns.queries(), QList<QByteArray>());
        else
            QVERIFY(!dns.queries().isEmpty());
    }

    void help_namesBothOptionsBesideFailLevel()
    {
        const Run result = run({ QStringLiteral("--help") });
        QCOMPARE(result.exitCode, 0);
        const QStringList lines = result.out.split(u'\n');
        qsizetype failLevel = -1;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].trimmed().startsWith(QStringLiteral("--fail-level")))
                failLevel = i;
        }
        QVERIFY(failLevel > 0);
        QVERIFY(lines[failLevel + 1].trimmed().startsWith(QStringLiteral("--require-ready")));
        QVERIFY(lines[failLevel + 2].trimmed().startsWith(QStringLiteral("--no-readiness")));
        QVERIFY(result.out.contains(QStringLiteral("With --require-ready, the exit status is also 3")));
    }
};

QTEST_GUILESS_MAIN(TestReadinessCli)
#include "tst_readinesscli.moc"
