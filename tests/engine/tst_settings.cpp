#include "Settings.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

#include <cerrno>

#include <sys/stat.h>

using namespace norvale;

Q_DECLARE_METATYPE(Settings)

namespace {

Settings Make(const QString &rules, const QString &thresholds, int hideZero, int onlineChecks,
    const QString &language = QString())
{
    return Settings { rules, thresholds, hideZero, onlineChecks, language };
}

} // namespace

class TestSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The test-mode folders lie below the home folder; point that at a
        // temporary one so that no run touches the user's files.
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        QStandardPaths::setTestModeEnabled(true);
    }

    void parseSettingsString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Settings>("expected");
        QTest::newRow("the first-start line")
            << "rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0" << Make("", "1|2|4|5|8", 0, 0);
        QTest::newRow("all four values")
            << "rules=A:1|B:2&thresholds=1||3&hidezero=1&onlinechecks=1" << Make("A:1|B:2", "1||3", 1, 1);
        QTest::newRow("only hidezero leaves the thresholds empty") << "hidezero=1" << Make("", "", 1, 0);
        QTest::newRow("the empty text") << "" << Make("", "", 0, 0);
        QTest::newRow("keys are case-sensitive") << "HideZero=1&Rules=A:1" << Make("", "", 0, 0);
        QTest::newRow("keys are not trimmed") << "hidezero =1& rules=A:1" << Make("", "", 0, 0);
        QTest::newRow("a line end after the last value") << "hidezero=1&onlinechecks=1\r\n"
                                                         << Make("", "", 1, 1);
        QTest::newRow("a line end after the value of hidezero") << "hidezero=1\r\n" << Make("", "", 1, 0);
        QTest::newRow("letters after the digit") << "hidezero=1x" << Make("", "", 1, 0);
        QTest::newRow("3 is no check-box state") << "hidezero=3" << Make("", "", 0, 0);
        QTest::newRow("-1 is no check-box state") << "hidezero=-1" << Make("", "", 0, 0);
        QTest::newRow("0.5 rounds to 0") << "hidezero=0.5" << Make("", "", 0, 0);
        QTest::newRow("1.5 rounds to 2, the greyed state") << "hidezero=1.5" << Make("", "", 2, 0);
        QTest::newRow("2 is the greyed state") << "onlinechecks=2" << Make("", "", 0, 2);
        QTest::newRow("beyond 16 bits") << "onlinechecks=65537" << Make("", "", 0, 0);
        QTest::newRow("text that is no number reads 0") << "hidezero=yes" << Make("", "", 0, 0);
        QTest::newRow("the last pair wins") << "onlinechecks=1&onlinechecks=0" << Make("", "", 0, 0);
        QTest::newRow("the last thresholds win") << "thresholds=2|3&thresholds=5" << Make("", "5", 0, 0);
        QTest::newRow("a value ends at its second equals sign") << "rules=AB=C:1|D:2" << Make("AB", "", 0, 0);
        QTest::newRow("a pair without an equals sign has an empty value")
            << "rules=A:1&rules" << Make("", "", 0, 0);
        QTest::newRow("two ampersands reset everything") << "&&" << Make("", "", 0, 0);
        QTest::newRow("unknown keys and empty pairs are skipped")
            << "&colour=red&=5&thresholds=1|2&" << Make("", "1|2", 0, 0);
        QTest::newRow("values are kept as written")
            << "rules=a:1.50&thresholds= 2 |x" << Make("a:1.50", " 2 |x", 0, 0);
        QTest::newRow("the language after onlinechecks")
            << "rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0&language=it"
            << Make("", "1|2|4|5|8", 0, 0, "it");
        QTest::newRow("the language is kept as written") << "language=IT_it" << Make("", "", 0, 0, "IT_it");
        QTest::newRow("a line end after the language is no part of it") << "onlinechecks=0&language=it\r\n"
                                                                        << Make("", "", 0, 0, "it");
        QTest::newRow("the key Language is another key") << "Language=it" << Make("", "", 0, 0);
    }
    void parseSettingsString()
    {
        QFETCH(QString, text);
        QFETCH(Settings, expected);
        const Settings parsed = ParseSettingsString(text);
        QCOMPARE(parsed.rules, expected.rules);
        QCOMPARE(parsed.thresholds, expected.thresholds);
        QCOMPARE(parsed.hideZero, expected.hideZero);
        QCOMPARE(parsed.onlineChecks, expected.onlineChecks);
        QCOMPARE(parsed.language, expected.language);
    }

    void formatSettingsString_data()
    {
        QTest::addColumn<Settings>("settings");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the first-start line")
            << Make("", DefaultThresholds, 0, 0) << "rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0";
        QTest::newRow("all four values") << Make("A:1,5|B:-2", "1||3", 1, 2)
                                         << "rules=A:1,5|B:-2&thresholds=1||3&hidezero=1&onlinechecks=2";
        QTest::newRow("nothing set") << Settings {} << "rules=&thresholds=&hidezero=0&onlinechecks=0";
        QTest::newRow("a language chosen comes after onlinechecks") << Make("", DefaultThresholds, 0, 0,
            "it") << "rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0&language=it";
    }
    void formatSettingsString()
    {
        QFETCH(Settings, settings);
        QFETCH(QString, expected);
        const QString line = FormatSettingsString(settings);
        QCOMPARE(line, expected);
        QCOMPARE(FormatSettingsString(ParseSettingsString(line)), line); // round trip
    }

    void parseSettingsString_keepsThePairsOfOtherKeys_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("otherPairs");
        QTest::newRow("the four keys leave nothing over")
            << "rules=A:1&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n"
            << QStringList();
        QTest::newRow("another key after the four, without its line end")
            << "rules=&thresholds=1&hidezero=0&onlinechecks=0&colour=red\r\n"
            << QStringList { "colour=red" };
        QTest::newRow("keys are told apart exactly, values kept whole")
            << "HideZero=1&size=a=b&rules=A:1&hidezero =1"
            << QStringList { "HideZero=1", "size=a=b", "hidezero =1" };
        QTest::newRow("empty pairs, empty keys and pairs without a value are no settings")
            << "&=5&word&colour=&" << QStringList { "colour=" };
    }
    void parseSettingsString_keepsThePairsOfOtherKeys()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, otherPairs);
        QStringList found;
        const Settings settings = ParseSettingsString(text, &found);
        QCOMPARE(found, otherPairs);
        QCOMPARE(settings, ParseSettingsString(text)); // the four read as without them
    }

    void formatSettingsString_writesOtherPairsAfterTheFour()
    {
        const QString line = FormatSettingsString(Make("A:1", "1|2", 1, 0), { "colour=red", "size=a=b" });
        QCOMPARE(
            line, QStringLiteral("rules=A:1&thresholds=1|2&hidezero=1&onlinechecks=0&colour=red&size=a=b"));
        QStringList again;
        QCOMPARE(ParseSettingsString(line, &again), Make("A:1", "1|2", 1, 0));
        QCOMPARE(again, QStringList({ "colour=red", "size=a=b" }));
    }

    void readSettingsFile_saysWhetherTheFileWasRead_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<none>", "<folder>", "<pipe>": no regular file
        QTest::addColumn<int>("state");
        QTest::addColumn<int>("hideZero");
        using State = SettingsFile::State;
        QTest::newRow("no file is missing") << QByteArray("<none>") << int(State::Missing) << 0;
        QTest::newRow("an empty file is read") << QByteArray() << int(State::Read) << 0;
        QTest::newRow("a settings line is read") << QByteArray("hidezero=1\n") << int(State::Read) << 1;
        QTest::newRow("a file at the size limit is read")
            << QByteArray("hidezero=1&x=") + QByteArray(MaxSettingsFileSize - 13, 'A') << int(State::Read)
            << 1;
        QTest::newRow("a file over the size limit is not read")
            << QByteArray("hidezero=1&x=") + QByteArray(MaxSettingsFileSize, 'A') << int(State::NotRead) << 0;
        QTest::newRow("a folder is not read") << QByteArray("<folder>") << int(State::NotRead) << 0;
        QTest::newRow("a named pipe is not read") << QByteArray("<pipe>") << int(State::NotRead) << 0;
    }
    void readSettingsFile_saysWhetherTheFileWasRead()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, state);
        QFETCH(int, hideZero);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("conf.ini");
        if (content == "<folder>")
            QVERIFY(QDir(dir.path()).mkdir("conf.ini"));
        else if (content == "<pipe>")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (content != "<none>")
            QVERIFY(WriteFile(path, content));
        const SettingsFile file = ReadSettingsFile(path);
        QCOMPARE(int(file.state), state);
        QCOMPARE(file.settings.hideZero, hideZero);
        QCOMPARE(file.settings, LoadSettings(path));
    }

    void settingsFilePath_isInTheConfigFolder()
    {
        const QString path = SettingsFilePath();
        QCOMPARE(path,
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + "/norvale/conf.ini");
        QVERIFY(path.startsWith(m_home.path() + u'/'));
    }

    void loadSettings_data()
    {
        QTest::addColumn<QByteArray>("content"); // "<none>": no file at all
        QTest::addColumn<Settings>("expected");
        QTest::newRow("a missing file gives the default thresholds")
            << QByteArray("<none>") << Make("", DefaultThresholds, 0, 0);
        QTest::newRow("an empty file gives the default thresholds")
            << QByteArray() << Make("", DefaultThresholds, 0, 0);
        QTest::newRow("a file with only two ampersands resets everything")
            << QByteArray("&&") << Make("", "", 0, 0);
        QTest::newRow("a file without thresholds leaves them empty")
            << QByteArray("hidezero=1\r\n") << Make("", "", 1, 0);
        QTest::newRow("a saved line with its line end")
            << QByteArray("rules=A:1&thresholds=1|2|4|5|8&hidezero=1&onlinechecks=1\n")
            << Make("A:1", "1|2|4|5|8", 1, 1);
        QTest::newRow("UTF-8 text") << QByteArray("rules=\xc3\x9c"
                                                  "BER:1")
                                    << Make("\u00dc"
                                            "BER:1",
                                           "", 0, 0);
        QTest::newRow("a byte order mark is not part of the first key")
            << QByteArray("\xef\xbb\xbfhidezero=1") << Make("", "", 1, 0);
        QTest::newRow("a file over the size limit gives the defaults") << QByteArray("hidezero=1&rules=")
                + QByteArray(MaxSettingsFileSize, 'A') << Make("", DefaultThresholds, 0, 0);
    }
    void loadSettings()
    {
        QFETCH(QByteArray, content);
        QFETCH(Settings, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("conf.ini");
        if (content != "<none>")
            QVERIFY(WriteFile(path, content));
        const Settings loaded = LoadSettings(path);
        QCOMPARE(loaded.rules, expected.rules);
        QCOMPARE(loaded.thresholds, expected.thresholds);
        QCOMPARE(loaded.hideZero, expected.hideZero);
        QCOMPARE(loaded.onlineChecks, expected.onlineChecks);
    }

    void loadSettings_folderInsteadOfFile_givesDefaults()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir("conf.ini"));
        QCOMPARE(LoadSettings(dir.filePath("conf.ini")), Make("", DefaultThresholds, 0, 0));
    }

    void saveThenLoad_roundTrip()
    {
        const QString path = SettingsFilePath();
        QFile::remove(path);
        const Settings settings = Make("GTUBE:2,5|FREEMAIL_FROM:0", "1|2||5", 1, 0);
        const SaveOutcome outcome = SaveSettings(settings);
        QVERIFY2(outcome.ok, qPrintable(outcome.errorString));
        QVERIFY(outcome.errorString.isEmpty());
        QCOMPARE(ReadFile(path), FormatSettingsString(settings).toUtf8() + '\n');
        QCOMPARE(LoadSettings(), settings);
        QVERIFY(QFile::remove(path));
    }

    void saveSettings_replacesTheOldFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("deeper/norvale/conf.ini");
        QVERIFY(SaveSettings(Make("A:1", "1", 1, 1), path).ok);
        QVERIFY(SaveSettings(Make("", "2", 0, 0), path).ok);
        QCOMPARE(LoadSettings(path), Make("", "2", 0, 0));
    }

    void saveSettings_fileWhereTheFolderShouldBe_fails()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(WriteFile(dir.filePath("norvale"), "not a folder"));
        const SaveOutcome outcome = SaveSettings(Make("", "1", 0, 0), dir.filePath("norvale/conf.ini"));
        QVERIFY(!outcome.ok);
        QVERIFY(!outcome.errorString.isEmpty());
        QCOMPARE(ReadFile(dir.filePath("norvale")), QByteArray("not a folder"));
    }

    void saveSettings_failure_leavesTheOldFileIntact()
    {
        // The new content goes to a temporary file beside the old one first; with
        // a name of 250 characters the old file can exist but that temporary
        // file's name is too long, for every user.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath(QString(246, u'c') + ".ini");
        const QByteArray old = "rules=A:1&thresholds=1|2|4|5|8&hidezero=1&onlinechecks=0\n";
        QVERIFY(WriteFile(path, old));
        const SaveOutcome outcome = SaveSettings(Make("", "", 0, 0), path);
        QVERIFY(!outcome.ok);
        QVERIFY2(
            outcome.errorString.endsWith(qt_error_string(ENAMETOOLONG)), qPrintable(outcome.errorString));
        QCOMPARE(ReadFile(path), old);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }

private:
    QTemporaryDir m_home;
};

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"
