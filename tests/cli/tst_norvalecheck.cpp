#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include "Recordings.h"
#include "RunProgram.h"
#include "TestFiles.h"
#include <algorithm>

namespace {

const QString Program = QStringLiteral(NORVALE_APP_DIR "/norvale-check");
const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");
const QString FakeCheckers = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");

using Run = ProgramRun;

} // namespace

class TestNorvaleCheck : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;

    // PATH with the real checker, for the tests of norvale-check and the
    // checker together; the others run on the checker's recorded reports.
    QString m_realPath;
    QString m_recordedPath;

    // Runs norvale-check with a settings folder and a home of its own, so the
    // user's settings never leak into a test; `path` replaces PATH when given
    // (by default the recorded checker's), `language` the locale.
    Run run(
        const QStringList &arguments, const QString &path = QString(), const QString &language = QString())
    {
        QStringList environment { QStringLiteral("XDG_CONFIG_HOME=")
                + m_home.filePath(QStringLiteral("config")),
            QStringLiteral("XDG_RUNTIME_DIR=") + m_home.path(),
            QStringLiteral("HOME=") + m_home.filePath(QStringLiteral("home")),
            QStringLiteral("PATH=") + (path.isNull() ? m_recordedPath : path) };
        if (!language.isNull())
            environment << QStringLiteral("LANG=") + language << QStringLiteral("LC_ALL=") + language;
        return RunProgram(Program, arguments, environment);
    }

    // The first file of a --json run that must exit with expectedExit.
    QJsonObject firstJsonFile(
        const QStringList &arguments, int expectedExit = 0, const QString &language = QString())
    {
        const Run result = run(QStringList { QStringLiteral("--json") } + arguments, QString(), language);
        if (result.exitCode != expectedExit)
            qWarning().noquote() << "exit" << result.exitCode << result.err;
        return result.exitCode == expectedExit ? jsonFiles(result).first().toObject() : QJsonObject();
    }

    static QJsonArray jsonFiles(const Run &result)
    {
        return QJsonDocument::fromJson(result.out.toUtf8()).object().value(u"files").toArray();
    }

    // A folder holding `checker` under the name spamassassin, to stand in
    // for the real one on PATH.
    QString pathWithFakeChecker(const QString &checker)
    {
        const QString folder = m_home.filePath(QStringLiteral("fake-") + checker);
        QDir().mkpath(folder);
        QFile::link(FakeCheckers + checker, folder + QStringLiteral("/spamassassin"));
        return folder;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        QVERIFY2(QFileInfo(Program).isExecutable(), qPrintable(Program));
        m_realPath = qEnvironmentVariable("PATH");
        m_recordedPath = RecordedCheckerPath(m_home.path());
        QVERIFY(!m_recordedPath.isEmpty());
    }

    // With the real checker: a spam message and a clean one, end to end.
    void spamMessage_textShowsScoreVerdictAndRule()
    {
        const Run result = run({ Messages + QStringLiteral("gtube.eml") }, m_realPath);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.contains(QStringLiteral("GTUBE")), qPrintable(result.out));
        QVERIFY(result.out.contains(QStringLiteral("1000")));
        QVERIFY(result.out.startsWith(Messages + QStringLiteral("gtube.eml\n")));
        QVERIFY(result.err.isEmpty());
    }

    void json_describesEveryFile()
    {
        const Run result = run({ QStringLiteral("--json"), Messages + QStringLiteral("gtube.eml"),
                                   Messages + QStringLiteral("clean-newsletter.eml") },
            m_realPath);
        QCOMPARE(result.exitCode, 0);
        QJsonParseError error;
        const QJsonObject document = QJsonDocument::fromJson(result.out.toUtf8(), &error).object();
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(document.value(u"version").toString(), QStringLiteral(NORVALE_EXPECTED_VERSION));
        const QJsonArray files = document.value(u"files").toArray();
        QCOMPARE(files.size(), 2);

        const QJsonObject spam = files[0].toObject();
        QVERIFY(spam.value(u"score").toDouble() >= 1000);
        QCOMPARE(spam.value(u"level").toInt(), 5);
        QVERIFY(!spam.value(u"verdict").toString().isEmpty());
        bool listed = false;
        for (const QJsonValue &reason : spam.value(u"reasons").toArray()) {
            const QJsonObject r = reason.toObject();
            QVERIFY(r.contains(u"points") && r.contains(u"type") && r.contains(u"description"));
            if (r.value(u"rule").toString() == u"GTUBE") {
                listed = true;
                QCOMPARE(r.value(u"points").toDouble(), 1000.0);
            }
        }
        QVERIFY(listed);

        const QJsonObject clean = files[1].toObject();
        QVERIFY2(clean.value(u"score").toDouble() < 1, qPrintable(QJsonDocument(clean).toJson()));
        QCOMPARE(clean.value(u"level").toInt(), 0);
    }

    void ruleOverride_replacesTheCheckersPoints()
    {
        const QJsonObject spam = firstJsonFile({ QStringLiteral("--rules"), QStringLiteral("gtube:6.5"),
            Messages + QStringLiteral("gtube.eml") });
        QCOMPARE(spam.value(u"score").toDouble(), 6.5);
        QCOMPARE(spam.value(u"level").toInt(), 4);
    }

    void settingsFile_appliesOverridesThresholdsAndHideZero()
    {
        const QString settings = m_home.filePath(QStringLiteral("custom.ini"));
        QFile file(settings);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("rules=GTUBE:3&thresholds=10|20|30|40|50&hidezero=1&onlinechecks=0\n");
        file.close();

        const QJsonObject spam = firstJsonFile(
            { QStringLiteral("--settings"), settings, Messages + QStringLiteral("gtube.eml") });
        QCOMPARE(spam.value(u"score").toDouble(), 3.0);
        QCOMPARE(spam.value(u"level").toInt(), 0);
        for (const QJsonValue &reason : spam.value(u"reasons").toArray())
            QVERIFY(reason.toObject().value(u"points").toDouble() != 0.0);

        // The command line's own thresholds win over the file's.
        const QJsonObject strict
            = firstJsonFile({ QStringLiteral("--settings"), settings, QStringLiteral("--thresholds"),
                QStringLiteral("1|2|4|5|8"), Messages + QStringLiteral("gtube.eml") });
        QCOMPARE(strict.value(u"level").toInt(), 2);
    }

    QString writeSettings(const QByteArray &line)
    {
        const QString settings = m_home.filePath(QStringLiteral("settings.ini"));
        QFile file(settings);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(line) != line.size())
            qFatal("cannot write the settings file");
        return settings;
    }

    static float jsonPoints(const QJsonObject &file, QStringView rule)
    {
        for (const QJsonValue &reason : file.value(u"reasons").toArray()) {
            if (reason[u"rule"].toString() == rule)
                return float(reason[u"points"].toDouble());
        }
        return -1e30f;
    }

    // The checker's own total decides: the rows it shows are rounded, and
    // their sum can miss its total. The rows are listed by points, highest
    // first, then by rule name, whatever order the checker chose this time.
    void fractionalPoints_scoreIsTheCheckersTotalAndRowsAreByPoints()
    {
        const QString message = Messages + QStringLiteral("fractional-points.eml");
        const QJsonObject file = firstJsonFile({ QStringLiteral("--local"), message });
        QCOMPARE(file.value(u"score").toDouble(), 5.0);
        QCOMPARE(file.value(u"level").toInt(), 4);
        float rowSum = 0.0f;
        QList<std::pair<double, QString>> rows;
        for (const QJsonValue &reason : file.value(u"reasons").toArray()) {
            rowSum += float(reason[u"points"].toDouble());
            rows.append({ reason[u"points"].toDouble(), reason[u"rule"].toString() });
        }
        QCOMPARE(qRound(rowSum * 10), 49);
        QCOMPARE(rows.size(), 12);
        QCOMPARE(rows.at(0).second, QStringLiteral("MISSING_DATE"));
        QCOMPARE(rows.at(1).second, QStringLiteral("HTML_TITLE_SUBJ_DIFF"));
        QVERIFY(std::is_sorted(rows.begin(), rows.end(), [](const auto &a, const auto &b) {
            return a.first != b.first ? a.first > b.first : a.second < b.second;
        }));

        // The text lists the same rows in the same order (the readiness
        // table that follows them is left out).
        const Run text = run({ QStringLiteral("--local"), QStringLiteral("--no-readiness"), message });
        QCOMPARE(text.exitCode, 0);
        const QStringList lines = text.out.split(u'\n');
        QCOMPARE(lines.size(), 3 + rows.size() + 1);
        for (qsizetype i = 0; i < rows.size(); ++i)
            QVERIFY2(lines[3 + i].endsWith(u' ' + rows[i].second), qPrintable(text.out));
    }

    void rulesOption_addsToTheSettingsOverrides()
    {
        const QString settings
            = writeSettings("rules=NO_RELAYS:2|GTUBE:7&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n");
        const QString gtube = Messages + QStringLiteral("gtube.eml");
        const QJsonObject file = firstJsonFile({ QStringLiteral("--settings"), settings,
            QStringLiteral("--rules"), QStringLiteral("gtube:3|NO_RECEIVED:0,5"), gtube });
        QCOMPARE(jsonPoints(file, u"GTUBE"), 3.0f); // replaced by the command line
        QCOMPARE(jsonPoints(file, u"NO_RELAYS"), 2.0f); // kept from the settings
        QCOMPARE(jsonPoints(file, u"NO_RECEIVED"), 0.5f); // added by the command line
        QCOMPARE(file.value(u"score").toDouble(), 5.5);
    }

    // A number in the settings or on the command line reads the same in every
    // language: a single "." or "," is the decimal separator.
    void numbers_meanTheSameInEveryLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<double>("score");
        QTest::addColumn<int>("level");
        const QByteArray english = "rules=GTUBE:2.5&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n";
        const QByteArray italian = "rules=GTUBE:0,5&thresholds=0,25|0,5|4|5|8&hidezero=0&onlinechecks=0\n";
        QTest::newRow("a decimal point in the settings on a German desktop")
            << "de_DE.UTF-8" << english << QStringList {} << 2.5 << 2;
        QTest::newRow("a decimal comma in the settings, as the Italian window writes it, under C")
            << "C.UTF-8" << italian << QStringList {} << 0.5 << 2;
        QTest::newRow("decimal points on the command line on an Italian desktop")
            << "it_IT.UTF-8" << italian
            << QStringList { "--rules", "GTUBE:1.5", "--thresholds", "0.5|1.25|1.5|4|8" } << 1.5 << 3;
    }
    void numbers_meanTheSameInEveryLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, options);
        QFETCH(double, score);
        QFETCH(int, level);
        const QJsonObject file
            = firstJsonFile(QStringList { QStringLiteral("--settings"), writeSettings(settings) } + options
                    + QStringList { Messages + QStringLiteral("gtube.eml") },
                0, language);
        QCOMPARE(file.value(u"score").toDouble(), score);
        QCOMPARE(file.value(u"level").toInt(-1), level);
    }

    void rulesPastFifty_inTheSettingsOrOnTheCommandLine_allCount()
    {
        QStringList rules;
        for (int i = 0; i < 59; ++i)
            rules << QStringLiteral("FILLER_%1:1").arg(i);
        rules << QStringLiteral("GTUBE:3");
        const QString settings = m_home.filePath(QStringLiteral("sixty.ini"));
        QVERIFY(WriteFile(settings, "rules=" + rules.join(u'|').toUtf8() + "&thresholds=1|2|4|5|8\n"));

        const QJsonObject fromFile = firstJsonFile(
            { QStringLiteral("--settings"), settings, Messages + QStringLiteral("gtube.eml") });
        QCOMPARE(fromFile.value(u"score").toDouble(), 3.0);
        const QJsonObject fromOption = firstJsonFile(
            { QStringLiteral("--rules"), rules.join(u'|'), Messages + QStringLiteral("gtube.eml") });
        QCOMPARE(fromOption.value(u"score").toDouble(), 3.0);
    }

    void failLevel_gatesOnTheVerdict_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("level");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("spam reaches level 4") << "gtube.eml"
                                              << "4" << 3;
        QTest::newRow("clean newsletter stays below level 2") << "clean-newsletter.eml"
                                                              << "2" << 0;
        QTest::newRow("clean newsletter reaches level 0") << "clean-newsletter.eml"
                                                          << "0" << 3;
    }
    void failLevel_gatesOnTheVerdict()
    {
        QFETCH(QString, message);
        QFETCH(QString, level);
        QFETCH(int, exitCode);
        QCOMPARE(run({ QStringLiteral("--fail-level"), level, Messages + message }).exitCode, exitCode);
    }

    void unreadableFile_isReportedAndTheOthersStillChecked()
    {
        const QString missing = m_home.filePath(QStringLiteral("no such file.eml"));
        const QString notAMessage = Messages + QStringLiteral("not-a-message.txt");
        const Run result = run({ missing, notAMessage, Messages + QStringLiteral("gtube.eml") });
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(missing), qPrintable(result.err));
        QVERIFY(result.err.contains(notAMessage));
        QVERIFY(result.out.contains(QStringLiteral("GTUBE")));

        // The fail level never hides a file that was not checked.
        QCOMPARE(run({ QStringLiteral("--fail-level=0"), missing, Messages + QStringLiteral("gtube.eml") })
                     .exitCode,
            1);
    }

    void brokenChecker_failsTheFileWithoutAScore_data()
    {
        QTest::addColumn<QString>("checker"); // empty: no checker at all
        QTest::newRow("checker missing") << "";
        QTest::newRow("checker writes garbage") << "garbage";
        QTest::newRow("checker exits with an error") << "fail";
    }
    void brokenChecker_failsTheFileWithoutAScore()
    {
        QFETCH(QString, checker);
        const QString path = checker.isEmpty() ? m_home.filePath(QStringLiteral("empty-path"))
                                               : pathWithFakeChecker(checker);
        const Run result
            = run({ QStringLiteral("--json"), Messages + QStringLiteral("clean-newsletter.eml") }, path);
        QCOMPARE(result.exitCode, 1);
        QVERIFY2(result.err.contains(QStringLiteral("spamassassin")), qPrintable(result.err));
        const QJsonObject file = jsonFiles(result).first().toObject();
        QVERIFY(file.contains(u"error"));
        QVERIFY(!file.contains(u"score"));
    }

    void usageErrors_exitWithTwo_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::newRow("no file") << QStringList {};
        QTest::newRow("unknown option") << QStringList { "--colour", "a.eml" };
        QTest::newRow("missing value") << QStringList { "a.eml", "--rules" };
        QTest::newRow("value for a flag") << QStringList { "--json=yes", "a.eml" };
        QTest::newRow("fail level out of range") << QStringList { "--fail-level", "6", "a.eml" };
        QTest::newRow("fail level not a number") << QStringList { "--fail-level", "high", "a.eml" };
        QTest::newRow("online and local") << QStringList { "--online", "--local", "a.eml" };
        QTest::newRow("settings file missing")
            << QStringList { "--settings", "/nonexistent/conf.ini", "a.eml" };
    }
    void usageErrors_exitWithTwo()
    {
        QFETCH(QStringList, arguments);
        const Run result = run(arguments);
        QCOMPARE(result.exitCode, 2);
        QVERIFY(!result.err.trimmed().isEmpty());
        QVERIFY(result.out.isEmpty());
    }

    void verbose_tellsEveryStepOnStandardError()
    {
        const QString path = pathWithFakeChecker(QStringLiteral("args"));
        // A file name that would act on the terminal is shown escaped there.
        const QString message = m_home.filePath(QStringLiteral("news\x1b[2Jletter.eml"));
        QFile::remove(message);
        QVERIFY(QFile::copy(Messages + QStringLiteral("clean-newsletter.eml"), message));

        const Run quiet = run({ QStringLiteral("--local"), message }, path);
        QCOMPARE(quiet.exitCode, 0);
        QCOMPARE(quiet.err, QString());

        const Run verbose = run({ QStringLiteral("--local"), QStringLiteral("--verbose"), message }, path);
        QCOMPARE(verbose.exitCode, 0);
        QCOMPARE(verbose.out, quiet.out);
        const QString checker = path + QStringLiteral("/spamassassin");
        const QString shown = m_home.filePath(QStringLiteral("news\\x1b[2Jletter.eml"));
        for (const QString &step : { QStringLiteral("checker: started afresh for every message: ") + checker,
                 QStringLiteral("working folder ") + m_home.filePath(QStringLiteral("norvale")),
                 QStringLiteral("checking ") + shown + QStringLiteral(" without the network tests"),
                 QStringLiteral("test run, started afresh: ") + checker + QStringLiteral(" -t -L"),
                 QStringLiteral("test run ended after "),
                 QStringLiteral("second run: ") + checker + QStringLiteral(" -R"),
                 QStringLiteral("check ended after ") })
            QVERIFY2(verbose.err.contains(step), qPrintable(step + QStringLiteral("\n---\n") + verbose.err));
        QVERIFY2(!verbose.err.contains(QChar(0x1b)), qPrintable(verbose.err));
    }

    void helpAndVersion()
    {
        const Run help = run({ QStringLiteral("--help") });
        QCOMPARE(help.exitCode, 0);
        for (const char *option :
            { "--json", "--fail-level", "--rules", "--thresholds", "--settings", "--online", "--verbose" })
            QVERIFY2(help.out.contains(QLatin1String(option)), option);
        const Run version = run({ QStringLiteral("--version") });
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out.trimmed(), QStringLiteral("norvale-check " NORVALE_EXPECTED_VERSION));
    }

    void fileNamedLikeAnOption_isCheckedAfterDoubleDash()
    {
        const QString odd = m_home.filePath(QStringLiteral("-odd $(touch pwned) `x`.eml"));
        QVERIFY(QFile::copy(Messages + QStringLiteral("gtube.eml"), odd));
        QDir::setCurrent(m_home.path());
        const Run result = run({ QStringLiteral("--"), odd });
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.out.contains(QStringLiteral("GTUBE")));
        QVERIFY(!QFile::exists(m_home.filePath(QStringLiteral("pwned"))));
    }
};

QTEST_GUILESS_MAIN(TestNorvaleCheck)
#include "tst_norvalecheck.moc"
