#include "WindowTestSupport.h"

#include "TextCatalogue.h"
#include "ThresholdBox.h"
#include "UserGrid.h"

#include <QCheckBox>
#include <QLineEdit>

using namespace norvale;
using namespace norvale::test;

class TestMainWindowSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;

    static QStringList Thresholds(const MainWindow &window)
    {
        QStringList boxes;
        for (int i = 0; i < 5; ++i)
            boxes.append(Find<QLineEdit>(window, QStringLiteral("txtScore_%1").arg(i))->text());
        return boxes;
    }

    static QCheckBox *HideZero(const MainWindow &window)
    {
        return Find<QCheckBox>(window, QStringLiteral("chkHideZero"));
    }
    static QCheckBox *OnlineChecks(const MainWindow &window)
    {
        return Find<QCheckBox>(window, QStringLiteral("chkOnlineChecks"));
    }
    static UserGrid *Grid(const MainWindow &window)
    {
        return Find<UserGrid>(window, QStringLiteral("UserGrid1"));
    }

private slots:
    void initTestCase()
    {
        m_home = UsePrivateHome();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        InitialiseApplication(ShippedCatalogue);
    }

    void init()
    {
        RemoveSettingsFile();
        MessageBox::setTestMode(true);
    }

    void settingsFile_isKeptInTheUsersConfigurationFolder()
    {
        QCOMPARE(SettingsFilePath(),
            QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
                + QStringLiteral("/norvale/conf.ini"));
        QVERIFY(SettingsFilePath().startsWith(m_home->path()));
    }

    void firstStart_withoutAFile_showsTheDefaults_andClosingWritesThem()
    {
        {
            MainWindow window;
            QCOMPARE(Grid(window)->configuration(), QString());
            QCOMPARE(Thresholds(window), QStringList({ "1", "2", "4", "5", "8" }));
            QCOMPARE(HideZero(window)->checkState(), Qt::Unchecked);
            QCOMPARE(OnlineChecks(window)->checkState(), Qt::Unchecked);
            window.show();
            QVERIFY(window.close());
        }
        QCOMPARE(ReadFile(SettingsFilePath()),
            QByteArray("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n"));
        QCOMPARE(MessageBox::shownCount(), 0);
    }

    void languageChoice_survivesClosingTheWindow()
    {
        QVERIFY(WriteSettingsFile("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0&language=it\n"));
        {
            MainWindow window;
            window.show();
            HideZero(window)->click();
            QVERIFY(window.close());
        }
        QCOMPARE(ReadFile(SettingsFilePath()),
            QByteArray("rules=&thresholds=1|2|4|5|8&hidezero=1&onlinechecks=0&language=it\n"));
    }

    void loading_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("configuration");

        QTest::newRow("an empty file gives the default thresholds")
            << QByteArray("") << "rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0";
        QTest::newRow("only hidezero: the option on, no thresholds")
            << QByteArray("hidezero=1") << "rules=&thresholds=&hidezero=1&onlinechecks=0";
        QTest::newRow("keys are case-sensitive and not trimmed")
            << QByteArray("HideZero=1&hidezero =1") << "rules=&thresholds=&hidezero=0&onlinechecks=0";
        QTest::newRow("a line end after the value is ignored")
            << QByteArray("hidezero=1\r\n") << "rules=&thresholds=&hidezero=1&onlinechecks=0";
        QTest::newRow("a value is read as its leading number")
            << QByteArray("onlinechecks=1x") << "rules=&thresholds=&hidezero=0&onlinechecks=1";
        QTest::newRow("a value above 2 leaves the box off")
            << QByteArray("hidezero=3") << "rules=&thresholds=&hidezero=0&onlinechecks=0";
        QTest::newRow("a negative value leaves the box off")
            << QByteArray("hidezero=-1") << "rules=&thresholds=&hidezero=0&onlinechecks=0";
        QTest::newRow("half a point rounds to the even 0")
            << QByteArray("hidezero=0.5") << "rules=&thresholds=&hidezero=0&onlinechecks=0";
        QTest::newRow("one and a half rounds to the greyed 2")
            << QByteArray("hidezero=1.5") << "rules=&thresholds=&hidezero=2&onlinechecks=0";
        QTest::newRow("the last of two pairs wins")
            << QByteArray("onlinechecks=1&onlinechecks=0") << "rules=&thresholds=&hidezero=0&onlinechecks=0";
        QTest::newRow("the last thresholds replace all five boxes")
            << QByteArray("thresholds=2|3&thresholds=5") << "rules=&thresholds=5&hidezero=0&onlinechecks=0";
        QTest::newRow("a value ends at its second equals sign")
            << QByteArray("rules=AB=C:1|D:2") << "rules=AB:&thresholds=&hidezero=0&onlinechecks=0";
        QTest::newRow("two ampersands reset everything, without defaults")
            << QByteArray("&&") << "rules=&thresholds=&hidezero=0&onlinechecks=0";
        QTest::newRow("a full line is read back as it was written")
            << QByteArray(
                   "rules=NO_RELAYS:0|HTML_MESSAGE:1.5&thresholds=1|2||5|8&hidezero=1&onlinechecks=1\n")
            << "rules=NO_RELAYS:0|HTML_MESSAGE:1.5&thresholds=1|2||5|8&hidezero=1&onlinechecks=1";
        QTest::newRow("rules and thresholds are normalised as they are read")
            << QByteArray("rules=a:2.50| b :x&thresholds= 3 |2.0")
            << "rules=A:2.5|B:0&thresholds=3|2&hidezero=0&onlinechecks=0";
        QTest::newRow("a language choice is kept after onlinechecks") << QByteArray(
            "language=it&hidezero=1") << "rules=&thresholds=&hidezero=1&onlinechecks=0&language=it";
    }

    void loading()
    {
        QFETCH(QByteArray, file);
        QFETCH(QString, configuration);
        QVERIFY(WriteSettingsFile(file));
        MainWindow window;
        QCOMPARE(window.GetConfiguration(), configuration);
    }

    void greyedOption_comesOnlyFromTheFile_andTheUsersClicksToggleOnAndOff()
    {
        QVERIFY(WriteSettingsFile("hidezero=2"));
        MainWindow window;
        window.show();
        QCheckBox *box = HideZero(window);
        QCOMPARE(box->checkState(), Qt::PartiallyChecked);
        QList<Qt::CheckState> states;
        for (int click = 0; click < 3; ++click) {
            box->click();
            states.append(box->checkState());
        }
        QCOMPARE(states, QList<Qt::CheckState>({ Qt::Checked, Qt::Unchecked, Qt::Checked }));
    }

    void setConfiguration_resetsWhatTheStringDoesNotName()
    {
        MainWindow window;
        window.SetConfiguration(QStringLiteral("rules=A:1&thresholds=1|2&hidezero=1&onlinechecks=1"));
        QCOMPARE(
            window.GetConfiguration(), QStringLiteral("rules=A:1&thresholds=1|2&hidezero=1&onlinechecks=1"));
        window.SetConfiguration(QStringLiteral("onlinechecks=2"));
        QCOMPARE(Grid(window)->configuration(), QString());
        QCOMPARE(Thresholds(window), QStringList(5));
        QCOMPARE(HideZero(window)->checkState(), Qt::Unchecked);
        QCOMPARE(OnlineChecks(window)->checkState(), Qt::PartiallyChecked);
        window.SetConfiguration(QString());
        QCOMPARE(window.GetConfiguration(), QStringLiteral("rules=&thresholds=&hidezero=0&onlinechecks=0"));
    }

    void whatTheUserSets_isThereAfterARestart()
    {
        QString before;
        {
            MainWindow window;
            window.show();
            Grid(window)->setConfiguration(QStringLiteral("URIBL_BLOCKED:0|HTML_MESSAGE:-1.5"));
            auto *box = Find<QLineEdit>(window, QStringLiteral("txtScore_2"));
            box->setText(QStringLiteral("3.5"));
            Find<QLineEdit>(window, QStringLiteral("txtScore_4"))->clear();
            HideZero(window)->click();
            OnlineChecks(window)->click();
            before = window.GetConfiguration();
            QCOMPARE(before,
                QStringLiteral("rules=URIBL_BLOCKED:0|HTML_MESSAGE:-1.5&thresholds=1|2|3.5|5&hidezero=1&"
                               "onlinechecks=1"));
            QVERIFY(window.close());
        }
        MainWindow again;
        QCOMPARE(again.GetConfiguration(), before);
        QCOMPARE(Thresholds(again), QStringList({ "1", "2", "3.5", "5", "" }));
        QCOMPARE(HideZero(again)->checkState(), Qt::Checked);
        QCOMPARE(OnlineChecks(again)->checkState(), Qt::Checked);
    }

    void saveFailure_isShownToTheUser_andLeavesWhatIsThereAlone()
    {
        // A file stands where the settings folder should be.
        const QString folder = QFileInfo(SettingsFilePath()).absolutePath();
        QVERIFY(QDir().mkpath(QFileInfo(folder).absolutePath()));
        {
            QFile blocker(folder);
            QVERIFY(blocker.open(QIODevice::WriteOnly));
            blocker.write("not a folder");
        }
        auto removeBlocker = qScopeGuard([&] { QFile::remove(folder); });

        MainWindow window;
        window.show();
        QCOMPARE(window.GetConfiguration(),
            QStringLiteral("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0"));
        QVERIFY(window.close());

        QCOMPARE(MessageBox::shownCount(), 1);
        const QString text = MessageBox::lastText();
        const QString expectedStart
            = GetText(128).section(QStringLiteral("%2"), 0, 0).arg(SettingsFilePath());
        QVERIFY2(text.startsWith(expectedStart), qPrintable(text));
        QVERIFY2(text.size() > expectedStart.size(), "no reason given");
        QCOMPARE(text.count(SettingsFilePath()), 1);
        QCOMPARE(ReadFile(folder), QByteArray("not a folder"));
        QVERIFY(!window.SaveConfiguration());
        QCOMPARE(MessageBox::shownCount(), 2);
    }

    void saving_replacesTheOldFileWhole()
    {
        QVERIFY(WriteSettingsFile(
            "rules=OLD:1&thresholds=9&hidezero=1&onlinechecks=1&padding=" + QByteArray(200, 'x')));
        MainWindow window;
        window.SetConfiguration(QStringLiteral("thresholds=2"));
        QVERIFY(window.SaveConfiguration());
        QCOMPARE(ReadFile(SettingsFilePath()), QByteArray("rules=&thresholds=2&hidezero=0&onlinechecks=0\n"));
        QCOMPARE(MessageBox::shownCount(), 0);
    }
};

QTEST_MAIN(TestMainWindowSettings)
#include "tst_mainwindow_settings.moc"
