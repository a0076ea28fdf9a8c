// norvale-check's full report: --explain, --html, --compare, --baseline and
// the report's keys in --json, run as users run them, on real newsletters
// and the real checker's recorded reports and evidence (tests/data/recorded).

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "Recordings.h"
#include "RunProgram.h"

namespace {

const QString Program = QStringLiteral(NORVALE_APP_DIR "/norvale-check");
const QString Newsletters = QStringLiteral(NORVALE_TEST_DATA "/newsletters/");
const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");

using Run = ProgramRun;

} // namespace

class TestReportCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QString m_path; // the recorded checker in front of the machine's PATH

    Run run(const QStringList &arguments)
    {
        return RunProgram(Program, arguments,
            { QStringLiteral("XDG_CONFIG_HOME=") + m_home.filePath(QStringLiteral("config")),
                QStringLiteral("XDG_RUNTIME_DIR=") + m_home.path(), QStringLiteral("PATH=") + m_path },
            300000);
    }

    static QJsonObject firstFile(const Run &result)
    {
        return QJsonDocument::fromJson(result.out.toUtf8())
            .object()
            .value(u"files")
            .toArray()
            .first()
            .toObject();
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_path = RecordedCheckerPath(m_home.path());
        QVERIFY(!m_path.isEmpty());
    }

    void explainPrintsGuideEvidenceAndFixPlan()
    {
        const Run result = run({ QStringLiteral("--explain"), Newsletters + QStringLiteral("headers.eml") });
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.contains(u"What it means: The text opens with \"Dear friend\"."),
            qPrintable(result.out));
        QVERIFY(result.out.contains(u"What made it fire: \u201CDear friend\u201D"));
        QVERIFY(result.out.contains(u"Fires only on this local copy"));
        QVERIFY(result.out.contains(u"Fix plan\n  To reach "));
        // The guide comes under the table.
        QVERIFY(result.out.indexOf(u"DEAR_FRIEND") < result.out.indexOf(u"What it means:"));
        QVERIFY(!result.out.contains(QChar(0x1b)));
    }

    void htmlWritesTheSelfContainedReport()
    {
        const QString path = m_home.filePath(QStringLiteral("report.html"));
        const Run result = run({ QStringLiteral("--html"), path, Newsletters + QStringLiteral("links.eml"),
            Newsletters + QStringLiteral("image-heavy.eml") });
        QCOMPARE(result.exitCode, 0);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        QVERIFY(html.startsWith(u"<!DOCTYPE html>"));
        QVERIFY(html.contains(u"links.eml") && html.contains(u"image-heavy.eml"));
        QVERIFY(html.contains(u"HTML_IMAGE_RATIO_02"));
        QVERIFY(html.contains(u"&#8220;http://203.0.113.5&#8221;")
            || html.contains(u"\u201Chttp://203.0.113.5\u201D"));
        // The newsletter's own images and links never become the report's.
        QVERIFY(!html.contains(QRegularExpression(QStringLiteral("<(img|a|link|script)\\b"))));
        QVERIFY(!html.contains(u"src="));
    }

    void htmlToAnUnwritablePlaceFails()
    {
        const Run result = run({ QStringLiteral("--html"), QStringLiteral("/nonexistent/folder/report.html"),
            Newsletters + QStringLiteral("unsubscribe.eml") });
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.err.contains(u"/nonexistent/folder/report.html"));
    }

    void compareShowsTheChangeAndFailsWhenWorse_data()
    {
        QTest::addColumn<QString>("older");
        QTest::addColumn<QString>("newer");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("a newsletter that got worse exits with 3") << "unsubscribe.eml"
                                                                  << "headers.eml" << 3;
        QTest::newRow("a newsletter that got better exits with 0") << "headers.eml"
                                                                   << "unsubscribe.eml" << 0;
    }
    void compareShowsTheChangeAndFailsWhenWorse()
    {
        QFETCH(QString, older);
        QFETCH(QString, newer);
        QFETCH(int, exitCode);
        const Run result = run({ QStringLiteral("--compare"), Newsletters + older, Newsletters + newer });
        QCOMPARE(result.exitCode, exitCode);
        QVERIFY2(result.out.contains(u"Change since the last check\n  Total: "), qPrintable(result.out));
        QVERIFY(result.out.contains(QStringLiteral(" DEAR_FRIEND (")
            + (exitCode ? QStringLiteral("new") : QStringLiteral("gone")) + u')'));
    }

    void compareNeedsTwoFiles()
    {
        const Run result = run({ QStringLiteral("--compare"), Newsletters + QStringLiteral("headers.eml") });
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.err.contains(u"--compare needs exactly two message files."));
    }

    void baselineComparesWithASavedResult()
    {
        const QString saved = m_home.filePath(QStringLiteral("baseline.json"));
        const Run first = run({ QStringLiteral("--json"), Newsletters + QStringLiteral("links.eml") });
        QCOMPARE(first.exitCode, 0);
        QFile file(saved);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(first.out.toUtf8());
        file.close();

        const Run same = run({ QStringLiteral("--json"), QStringLiteral("--baseline"), saved,
            Newsletters + QStringLiteral("links.eml") });
        QCOMPARE(same.exitCode, 0);
        const QJsonObject change = firstFile(same).value(u"change").toObject();
        QCOMPARE(change.value(u"delta").toDouble(), 0.0);
        QVERIFY(change.value(u"rules").toArray().isEmpty());

        const Run worse
            = run({ QStringLiteral("--baseline"), saved, Newsletters + QStringLiteral("headers.eml") });
        QCOMPARE(worse.exitCode, 3);
        QVERIFY(worse.out.contains(u"SHORT_SHORTNER (gone)"));
    }

    void baselineThatIsNoSavedResultIsRefused()
    {
        const QString saved = m_home.filePath(QStringLiteral("not-json.txt"));
        QFile file(saved);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("Score: 3\n");
        file.close();
        const Run result
            = run({ QStringLiteral("--baseline"), saved, Newsletters + QStringLiteral("links.eml") });
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.err.contains(saved));
    }

    void jsonCarriesGuideAndFixPlan()
    {
        const QJsonObject file
            = firstFile(run({ QStringLiteral("--json"), Newsletters + QStringLiteral("headers.eml") }));
        const QJsonObject guide = file.value(u"guide").toObject();
        QCOMPARE(guide.value(u"DEAR_FRIEND").toObject().value(u"match").toString(), QStringLiteral("own"));
        QCOMPARE(guide.value(u"NO_RECEIVED").toObject().value(u"localOnly").toBool(), true);
        const QJsonArray plan = file.value(u"fixPlan").toArray();
        QVERIFY(!plan.isEmpty());
        for (const QJsonValue &target : plan) {
            for (const QJsonValue &rule : target.toObject().value(u"rules").toArray())
                QVERIFY(
                    rule.toObject().value(u"rule").toString() != u"NO_HEADERS_MESSAGE"); // local copy only
        }
        QVERIFY(!file.contains(u"evidence")); // only asked for with --explain or --html
    }

    void jsonWithExplainCarriesTheEvidence()
    {
        const QJsonObject file = firstFile(run({ QStringLiteral("--json"), QStringLiteral("--explain"),
            Newsletters + QStringLiteral("links.eml") }));
        const QJsonObject evidence = file.value(u"evidence").toObject();
        QVERIFY(evidence.value(u"NORMAL_HTTP_TO_IP")
                    .toObject()
                    .value(u"matches")
                    .toArray()
                    .contains(QStringLiteral("http://203.0.113.5")));
        QVERIFY(evidence.value(u"SHORT_SHORTNER")
                    .toObject()
                    .value(u"subRules")
                    .toArray()
                    .contains(QStringLiteral("__URL_SHORTENER")));
    }
};

QTEST_GUILESS_MAIN(TestReportCli)
#include "tst_reportcli.moc"
