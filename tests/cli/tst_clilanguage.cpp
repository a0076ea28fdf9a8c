#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "Recordings.h"
#include "RunProgram.h"
#include "TestFiles.h"

// Which language the built programs speak: the desktop's locale, the
// --language option and the settings' "language" key, with the catalogues
// as they ship beside the programs (or as a translator left them).

namespace {

const QString AppDir = QStringLiteral(NORVALE_APP_DIR);
const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");

} // namespace

class TestCliLanguage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_home;
    QString m_path; // the recorded checker's: the checker's own language is tst_spamcheck's

    // Runs a program with LANG set to `lang` and the other locale variables
    // unset (unless `extra` sets them), in a settings folder of its own.
    ProgramRun run(const QString &program, const QStringList &arguments, const QString &lang,
        const QStringList &extra = {})
    {
        const QStringList environment = QStringList { QStringLiteral("LANGUAGE"), QStringLiteral("LC_ALL"),
            QStringLiteral("LC_MESSAGES"), QStringLiteral("LANG=") + lang,
            QStringLiteral("XDG_CONFIG_HOME=") + m_home.filePath(QStringLiteral("config")),
            QStringLiteral("XDG_RUNTIME_DIR=") + m_home.path(), QStringLiteral("PATH=") + m_path }
            + extra;
        return RunProgram(program, arguments, environment);
    }

    bool writeUserSettings(const QByteArray &line)
    {
        const QString folder = m_home.filePath(QStringLiteral("config/norvale"));
        return QDir().mkpath(folder) && WriteFile(folder + QStringLiteral("/conf.ini"), line);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_home.isValid());
        m_path = RecordedCheckerPath(m_home.path());
        QVERIFY(!m_path.isEmpty());
    }

    void init() { QFile::remove(m_home.filePath(QStringLiteral("config/norvale/conf.ini"))); }

    void help_speaksTheChosenLanguage_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QStringList>("extra");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QString>("start");

        const QString check = QStringLiteral("norvale-check");
        const QString window = QStringLiteral("norvale");
        const QStringList help { "--help" };
        const QStringList none;
        const QByteArray noSettings;
        QTest::newRow("an Italian desktop: norvale-check in Italian")
            << check << help << "it_IT.UTF-8" << none << noSettings << "Uso: norvale-check";
        QTest::newRow("the C locale: norvale-check in English")
            << check << help << "C" << none << noSettings << "Usage: norvale-check";
        QTest::newRow("a German desktop: no catalogue, English")
            << check << help << "de_DE.UTF-8" << none << noSettings << "Usage: norvale-check";
        QTest::newRow("LC_ALL wins over LANG")
            << check << help << "it_IT.UTF-8" << QStringList { "LC_ALL=C.UTF-8" } << noSettings
            << "Usage: norvale-check";
        QTest::newRow("LANGUAGE lists Italian first")
            << check << help << "en_US.UTF-8" << QStringList { "LANGUAGE=it:en" } << noSettings
            << "Uso: norvale-check";
        QTest::newRow("--language it wins over the C locale")
            << check << QStringList { "--language", "it", "--help" } << "C" << none << noSettings
            << "Uso: norvale-check";
        QTest::newRow("--language=en wins over an Italian desktop")
            << check << QStringList { "--help", "--language=en" } << "it_IT.UTF-8" << none << noSettings
            << "Usage: norvale-check";
        QTest::newRow("the settings' language wins over the desktop")
            << check << help << "C" << none
            << QByteArray("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0&language=it\n")
            << "Uso: norvale-check";
        QTest::newRow("--language wins over the settings")
            << check << QStringList { "--language", "en", "--help" } << "it_IT.UTF-8" << none
            << QByteArray("language=it\n") << "Usage: norvale-check";
        QTest::newRow("a settings file named like an option is no language")
            << check << QStringList { "--settings", "--language", "--help" } << "it_IT.UTF-8" << none
            << noSettings << "Uso: norvale-check";
        QTest::newRow("an Italian desktop: the window's help in Italian")
            << window << help << "it_IT.UTF-8" << none << noSettings << "Uso: norvale [opzioni] [FILE]";
        QTest::newRow("the C locale: the window's help in English")
            << window << help << "C" << none << noSettings << "Usage: norvale [options] [FILE]";
        QTest::newRow("the window's --language wins")
            << window << QStringList { "--language", "en", "--help" } << "it_IT.UTF-8" << none << noSettings
            << "Usage: norvale [options] [FILE]";
        QTest::newRow("the window follows the settings' language")
            << window << help << "C" << none << QByteArray("language=it\n")
            << "Uso: norvale [opzioni] [FILE]";
    }
    void help_speaksTheChosenLanguage()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(QString, lang);
        QFETCH(QStringList, extra);
        QFETCH(QByteArray, settings);
        QFETCH(QString, start);
        if (!settings.isNull())
            QVERIFY(writeUserSettings(settings));
        const ProgramRun result = run(AppDir + u'/' + program, arguments, lang, extra);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.startsWith(start), qPrintable(result.out));
    }

    void check_speaksItalianOnAnItalianDesktop()
    {
        const ProgramRun italian = run(AppDir + QStringLiteral("/norvale-check"),
            { Messages + QStringLiteral("gtube.eml") }, QStringLiteral("it_IT.UTF-8"));
        QCOMPARE(italian.exitCode, 0);
        QVERIFY2(italian.out.contains(QStringLiteral("Giudizio 5 su 5")), qPrintable(italian.out));

        const ProgramRun english = run(AppDir + QStringLiteral("/norvale-check"),
            { Messages + QStringLiteral("gtube.eml") }, QStringLiteral("C"));
        QCOMPARE(english.exitCode, 0);
        QVERIFY2(english.out.contains(QStringLiteral("Verdict 5 of 5")), qPrintable(english.out));
    }

    void unknownLanguage_isAUsageErrorNamingTheLanguagesOffered_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QString>("hint");
        QTest::newRow("norvale-check") << "norvale-check"
                                       << "Try \"norvale-check --help\"";
        QTest::newRow("norvale") << "norvale"
                                 << "Try \"norvale --help\"";
    }
    void unknownLanguage_isAUsageErrorNamingTheLanguagesOffered()
    {
        QFETCH(QString, program);
        QFETCH(QString, hint);
        const ProgramRun result = run(AppDir + u'/' + program,
            { QStringLiteral("--language"), QStringLiteral("xx"), Messages + QStringLiteral("gtube.eml") },
            QStringLiteral("C"));
        QCOMPARE(result.exitCode, 2);
        QVERIFY2(result.err.contains(QStringLiteral("No texts for the language \"xx\"; available: en, it.")),
            qPrintable(result.err));
        QVERIFY2(result.err.contains(hint), qPrintable(result.err));
        QVERIFY(result.out.isEmpty());
    }

    void window_versionNeedsNoDisplay()
    {
        const ProgramRun result
            = run(AppDir + QStringLiteral("/norvale"), { QStringLiteral("--version") }, QStringLiteral("C"),
                { QStringLiteral("QT_QPA_PLATFORM=no-such-platform"), QStringLiteral("DISPLAY=") });
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(result.out, QStringLiteral("norvale " NORVALE_EXPECTED_VERSION "\n"));
    }

    // A copy of norvale-check in a folder of its own, with the catalogues a
    // translator left there.
    void translatorsCatalogue_keepsWorking_data()
    {
        QTest::addColumn<QStringList>("catalogues"); // name=source ("ide.txt=ide.it.txt")
        QTest::addColumn<QString>("lang");
        QTest::addColumn<QString>("start");
        QTest::newRow("Italian copied over ide.txt, C locale") << QStringList { "ide.txt=ide.it.txt" } << "C"
                                                               << "Uso: norvale-check";
        QTest::newRow("Italian copied over ide.txt, English desktop")
            << QStringList { "ide.txt=ide.it.txt" } << "en_GB.UTF-8"
            << "Uso: norvale-check";
        QTest::newRow("Italian copied over ide.txt, Italian beside it, C locale")
            << QStringList { "ide.txt=ide.it.txt", "ide.it.txt=ide.it.txt" } << "C"
            << "Uso: norvale-check";
        QTest::newRow("only English shipped, Italian desktop")
            << QStringList { "ide.txt=ide.txt" } << "it_IT.UTF-8"
            << "Usage: norvale-check";
    }
    void translatorsCatalogue_keepsWorking()
    {
        QFETCH(QStringList, catalogues);
        QFETCH(QString, lang);
        QFETCH(QString, start);
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QVERIFY(QDir(folder.path()).mkdir(QStringLiteral("ide")));
        const QString program = folder.filePath(QStringLiteral("norvale-check"));
        QVERIFY(QFile::copy(AppDir + QStringLiteral("/norvale-check"), program));
        for (const QString &entry : catalogues) {
            QVERIFY(QFile::copy(AppDir + QStringLiteral("/ide/") + entry.section(u'=', 1),
                folder.filePath(QStringLiteral("ide/") + entry.section(u'=', 0, 0))));
        }
        const ProgramRun result = run(program, { QStringLiteral("--help") }, lang);
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.out.startsWith(start), qPrintable(result.out));
    }
};

QTEST_GUILESS_MAIN(TestCliLanguage)
#include "tst_clilanguage.moc"
