#include "Evidence.h"
#include "TestFiles.h"

#include <QMap>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

namespace {

const QString Newsletters = QStringLiteral(NORVALE_TEST_DATA "/newsletters/");
const QString FakeCheckers = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");

const QString DebugFile = QStringLiteral(NORVALE_TEST_DATA "/evidence/rules-debug.txt");

} // namespace

class TestEvidence : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QMap<QString, EvidenceMap> m_gathered; // by message, from the real checker

private slots:
    void initTestCase() { qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_home.path())); }

    void readsTheMatchedTexts_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QStringList>("matches");
        QTest::addColumn<QStringList>("subRules");

        QTest::newRow("a body rule gives the words it matched")
            << "DEAR_FRIEND" << QStringList { "Dear friend" } << QStringList {};
        QTest::newRow("a header text may run over two lines")
            << "__SANE_MSGID" << QStringList { "<a@b.example>\n" } << QStringList {};
        QTest::newRow("a repeated match is kept once")
            << "__LOWER_E" << QStringList { "e" } << QStringList {};
        QTest::newRow("a quote inside the matched text is kept")
            << "RAW_ONE" << QStringList { "<a href=\"http://x.example/\">" } << QStringList {};
        QTest::newRow("a meta rule names the sub-rules that fired, not the ones that did not")
            << "SHORT_SHORTNER" << QStringList {} << QStringList { "__PDS_MSG_512", "__URL_SHORTENER" };
    }
    void readsTheMatchedTexts()
    {
        QFETCH(QString, rule);
        QFETCH(QStringList, matches);
        QFETCH(QStringList, subRules);
        const MetaRuleMap metas = ParseMetaRules(
            u"meta SHORT_SHORTNER __PDS_MSG_512 && __URL_SHORTENER && !DRUGS_ERECTILE # note\n");
        const EvidenceMap evidence = ParseRuleDebug(QString::fromUtf8(ReadFile(DebugFile)), metas);
        QVERIFY(evidence.contains(rule));
        QCOMPARE(evidence.value(rule).matches, matches);
        QCOMPARE(evidence.value(rule).subRules, subRules);
        QVERIFY(!evidence.contains(QStringLiteral("DRUGS_ERECTILE")));
    }

    void cutsLongAndManyMatches()
    {
        QString debug;
        for (int i = 0; i < 20; ++i)
            debug += QStringLiteral(
                "Dec 10 15:12:14.545 [1] dbg: rules: ran body rule LONG ======> got hit: \"%1%2\"\n")
                         .arg(i)
                         .arg(QString(500, u'x'));
        const RuleEvidence evidence = ParseRuleDebug(debug).value(QStringLiteral("LONG"));
        QCOMPARE(evidence.matches.size(), EvidenceMatchLimit);
        for (const QString &match : evidence.matches) {
            QCOMPARE(match.size(), EvidenceTextLimit);
            QVERIFY(match.endsWith(QChar(0x2026)));
        }
    }

    void laterMetaDefinitionWins()
    {
        const MetaRuleMap metas = ParseMetaRules(u"meta A B && C\n  meta  A (D || E)\nmetaX F G\n");
        QCOMPARE(metas.value(QStringLiteral("A")), (QStringList { "D", "E" }));
        QVERIFY(!metas.contains(QStringLiteral("METAX")));
    }

    void installedRuleSetHasMetaRules()
    {
        QVERIFY(InstalledMetaRules()
                    .value(QStringLiteral("NO_HEADERS_MESSAGE"))
                    .contains(QStringLiteral("MISSING_MID")));
    }

    // The real checker, on real newsletters: a body, a header, a URI and a meta rule.
    void gathersEvidenceFromTheRealChecker_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("match");
        QTest::addColumn<QString>("subRule");

        QTest::newRow("body rule") << "headers.eml"
                                   << "DEAR_FRIEND"
                                   << "Dear friend" << QString();
        QTest::newRow("header rule") << "headers.eml"
                                     << "FROM_NO_USER"
                                     << "<>" << QString();
        QTest::newRow("URI rule") << "links.eml"
                                  << "NORMAL_HTTP_TO_IP"
                                  << "http://203.0.113.5" << QString();
        QTest::newRow("meta rule") << "links.eml"
                                   << "SHORT_SHORTNER" << QString() << "__URL_SHORTENER";
    }
    void gathersEvidenceFromTheRealChecker()
    {
        QFETCH(QString, message);
        QFETCH(QString, rule);
        QFETCH(QString, match);
        QFETCH(QString, subRule);
        // One run of the checker per message serves all its rows.
        if (!m_gathered.contains(message)) {
            QString error;
            const std::optional<EvidenceMap> gathered = GatherEvidence(Newsletters + message, false, &error);
            QVERIFY2(gathered, qPrintable(error));
            m_gathered.insert(message, *gathered);
        }
        const std::optional<EvidenceMap> evidence = m_gathered.value(message);
        QVERIFY(evidence->contains(rule));
        if (!match.isEmpty())
            QVERIFY2(evidence->value(rule).matches.contains(match),
                qPrintable(evidence->value(rule).matches.join(u'|')));
        if (!subRule.isEmpty())
            QVERIFY(evidence->value(rule).subRules.contains(subRule));
    }

    void secondRequestForTheSameContentComesFromTheCache()
    {
        QTemporaryDir dir;
        const QString copy = dir.filePath(QStringLiteral("letter.eml"));
        QVERIFY(QFile::copy(Newsletters + QStringLiteral("headers.eml"), copy));
        EvidenceJob job;
        QSignalSpy ready(&job, &EvidenceJob::ready);
        // The cache is the point here: the checker's recorded output will do.
        CheckerPaths recorded;
        recorded.testRun = FakeCheckers + QStringLiteral("recorded");
        QVERIFY(job.start(copy, false, recorded));
        QVERIFY(ready.wait(180000));
        QVERIFY(job.cached(copy));

        // A failing checker is never started again for unchanged content.
        CheckerPaths failing;
        failing.testRun = FakeCheckers + QStringLiteral("fail");
        QVERIFY(job.start(copy, false, failing));
        QVERIFY(ready.wait(5000));
        QCOMPARE(ready.size(), 2);

        // Changed content is not in the cache.
        QFile file(copy);
        QVERIFY(file.open(QIODevice::Append));
        file.write("\nP.S. one more line\n");
        file.close();
        QVERIFY(!job.cached(copy));
    }

    void failedRunIsReported_data()
    {
        QTest::addColumn<QString>("checker");
        QTest::newRow("a checker that exits with an error") << FakeCheckers + QStringLiteral("fail");
        QTest::newRow("a checker that writes no rule debugging") << FakeCheckers + QStringLiteral("args");
        QTest::newRow("a checker that does not exist") << QStringLiteral("/nonexistent/spamassassin");
    }
    void failedRunIsReported()
    {
        QFETCH(QString, checker);
        CheckerPaths paths;
        paths.testRun = checker;
        // Content of its own, so no earlier run's evidence answers from the cache.
        QTemporaryDir dir;
        const QString message = dir.filePath(QStringLiteral("letter.eml"));
        QVERIFY(WriteFile(message, ReadFile(Newsletters + QStringLiteral("headers.eml")) + checker.toUtf8()));
        QString error;
        QVERIFY(!GatherEvidence(message, false, &error, paths));
        QVERIFY(!error.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestEvidence)
#include "tst_evidence.moc"
