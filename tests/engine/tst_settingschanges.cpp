#include "SettingsChanges.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

using namespace norvale;

Q_DECLARE_METATYPE(Settings)

namespace {

Settings Make(
    const QString &rules, const QString &thresholds = "1|2|4|5|8", int hideZero = 0, int onlineChecks = 0)
{
    return Settings { rules, thresholds, hideZero, onlineChecks };
}

} // namespace

class TestSettingsChanges : public QObject
{
    Q_OBJECT

private slots:
    void normaliseSettings_givesTheFormTheWindowHolds()
    {
        const Settings raw = Make("a:1.50||b :x|:5", " 3 |2.0|", 1, 2);
        QCOMPARE(NormaliseSettings(raw, QLocale::c()), Make("A:1.5|B:0", "3|2", 1, 2));
        QStringList sixty;
        for (int i = 0; i < 60; ++i)
            sixty << QStringLiteral("R%1:%1").arg(i);
        QCOMPARE(NormaliseSettings(Make(sixty.join(u'|')), QLocale::c()).rules, sixty.join(u'|'));
    }

    void mergeRuleChanges_data()
    {
        QTest::addColumn<QString>("onDisk");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("merged");

        QTest::newRow("no change keeps what is on disk") << "A:1|X:9"
                                                         << "A:1"
                                                         << "A:1"
                                                         << "A:1|X:9";
        QTest::newRow("a file nobody else changed takes the window's list in its order") << "A:1|B:2"
                                                                                         << "A:1|B:2"
                                                                                         << "B:2|C:3|A:1"
                                                                                         << "B:2|C:3|A:1";
        QTest::newRow("an added rule goes after the other window's") << "A:1|X:9"
                                                                     << "A:1"
                                                                     << "A:1|C:3"
                                                                     << "A:1|X:9|C:3";
        QTest::newRow("a changed score is changed in place") << "X:9|A:1|Y:8"
                                                             << "A:1"
                                                             << "A:5"
                                                             << "X:9|A:5|Y:8";
        QTest::newRow("a removed rule is removed, the other window's stay") << "A:1|X:9|B:2"
                                                                            << "A:1|B:2"
                                                                            << "B:2"
                                                                            << "X:9|B:2";
        QTest::newRow("a rule the other window changed and this one did not keeps its change") << "A:7|B:2"
                                                                                               << "A:1|B:2"
                                                                                               << "A:1|B:3"
                                                                                               << "A:7|B:3";
        QTest::newRow("both windows set the same rule: this window's score wins") << "A:7"
                                                                                  << "A:1"
                                                                                  << "A:2"
                                                                                  << "A:2";
        QTest::newRow("a rule removed by the other window and changed here comes back") << "B:2"
                                                                                        << "A:1|B:2"
                                                                                        << "A:4|B:2"
                                                                                        << "B:2|A:4";
        QTest::newRow("a name given twice counts by its first entry") << "A:1|A:5|X:9"
                                                                      << "A:1|A:5"
                                                                      << "A:2|A:5"
                                                                      << "A:2|A:5|X:9";
        QTest::newRow("everything removed here, the other's new rule stays") << "A:1|X:9"
                                                                             << "A:1"
                                                                             << ""
                                                                             << "X:9";
        QTest::newRow("an empty score is a score of its own") << "A:1|X:9"
                                                              << "A:1"
                                                              << "A:"
                                                              << "A:|X:9";
    }
    void mergeRuleChanges()
    {
        QFETCH(QString, onDisk);
        QFETCH(QString, loaded);
        QFETCH(QString, current);
        QFETCH(QString, merged);
        QCOMPARE(MergeRuleChanges(onDisk, loaded, current), merged);
    }

    void mergeSettingsChanges_takesOnlyTheKeysThatChanged()
    {
        const Settings loaded = Make("A:1", "1|2|4|5|8", 0, 0);
        const Settings current = Make("A:1", "1|2|4|5|8", 1, 0);
        const Settings onDisk = Make("A:1|X:9", "2|3", 0, 1);
        QCOMPARE(MergeSettingsChanges(onDisk, loaded, current), Make("A:1|X:9", "2|3", 1, 1));
        QCOMPARE(MergeSettingsChanges(onDisk, current, Make("B:2", "9", 0, 0)), Make("X:9|B:2", "9", 0, 1));
    }

    void saveSettingsChanges_overTheFilesCurrentContent_keepsOtherPairs()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("norvale/conf.ini");
        QVERIFY(QDir().mkpath(dir.filePath("norvale")));
        const Settings loaded = Make("A:1");
        QVERIFY(WriteFile(
            path, "rules=a:1|x:9.0&thresholds=1|2|4|5|8&colour=red&hidezero=0&onlinechecks=1&later=yes\r\n"));
        const ChangesSaveOutcome outcome = SaveSettingsChanges(loaded, Make("A:1|B:2"), path, QLocale::c());
        QCOMPARE(int(outcome.status), int(ChangesSaveOutcome::Status::Saved));
        QCOMPARE(ReadFile(path),
            QByteArray(
                "rules=A:1|X:9|B:2&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=1&colour=red&later=yes\n"));
        QCOMPARE(
            QDir(dir.filePath("norvale")).entryList(QDir::Files | QDir::Hidden), QStringList { "conf.ini" });
    }

    void saveSettingsChanges_withoutAFile_writesTheWindowsSettings()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("deeper/norvale/conf.ini");
        const Settings defaults = Make("");
        QCOMPARE(int(SaveSettingsChanges(defaults, defaults, path, QLocale::c()).status),
            int(ChangesSaveOutcome::Status::Saved));
        QCOMPARE(ReadFile(path), QByteArray("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n"));
    }

    void saveSettingsChanges_fileNotRead_isLeftAlone_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::newRow("a file over the size limit") << false;
        QTest::newRow("a folder where the file should be") << true;
    }
    void saveSettingsChanges_fileNotRead_isLeftAlone()
    {
        QFETCH(bool, folder);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = dir.filePath("conf.ini");
        const QByteArray big = "hidezero=1&rules=" + QByteArray(MaxSettingsFileSize, 'A');
        if (folder)
            QVERIFY(QDir(dir.path()).mkdir("conf.ini"));
        else
            QVERIFY(WriteFile(path, big));
        const ChangesSaveOutcome outcome = SaveSettingsChanges(Make(""), Make("B:2"), path, QLocale::c());
        QCOMPARE(int(outcome.status), int(ChangesSaveOutcome::Status::NotRead));
        if (folder)
            QVERIFY(QFileInfo(path).isDir());
        else
            QCOMPARE(ReadFile(path), big);
    }

    void saveSettingsChanges_writeFailure_saysWhy()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(WriteFile(dir.filePath("norvale"), "not a folder"));
        const ChangesSaveOutcome outcome
            = SaveSettingsChanges(Make(""), Make("B:2"), dir.filePath("norvale/conf.ini"), QLocale::c());
        QCOMPARE(int(outcome.status), int(ChangesSaveOutcome::Status::Failed));
        QVERIFY(!outcome.reason.isEmpty());
        QCOMPARE(ReadFile(dir.filePath("norvale")), QByteArray("not a folder"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsChanges)
#include "tst_settingschanges.moc"
