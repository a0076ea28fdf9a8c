#include "WindowTestSupport.h"

#include "TextCatalogue.h"
#include "TextIds.h"
#include "ThresholdBox.h"
#include "UserGrid.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>

#include <sys/stat.h>

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
            = GetText(TextId::SettingsNotSaved).section(QStringLiteral("%2"), 0, 0).arg(SettingsFilePath());
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
            "rules=OLD:1|" + QByteArray(200, 'X') + ":2&thresholds=9&hidezero=1&onlinechecks=1"));
        MainWindow window;
        window.SetConfiguration(QStringLiteral("thresholds=2"));
        QVERIFY(window.SaveConfiguration());
        QCOMPARE(ReadFile(SettingsFilePath()), QByteArray("rules=&thresholds=2&hidezero=0&onlinechecks=0\n"));
        QCOMPARE(MessageBox::shownCount(), 0);
    }

    void twoWindows_eachSavesOnlyWhatItsUserChanged_data()
    {
        QTest::addColumn<bool>("firstClosesFirst");
        QTest::newRow("the first window closes first") << true;
        QTest::newRow("the second window closes first") << false;
    }
    void twoWindows_eachSavesOnlyWhatItsUserChanged()
    {
        QFETCH(bool, firstClosesFirst);
        QVERIFY(WriteSettingsFile("rules=A:1|B:2&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n"));
        MainWindow first;
        MainWindow second;
        first.show();
        second.show();
        // One user changes a score, adds a rule and hides zero rows; the other
        // removes a rule, moves a threshold and allows network tests.
        Grid(first)->setConfiguration(QStringLiteral("A:5|B:2|C:3"));
        HideZero(first)->click();
        Grid(second)->setConfiguration(QStringLiteral("A:1"));
        Find<QLineEdit>(second, QStringLiteral("txtScore_2"))->setText(QStringLiteral("3"));
        OnlineChecks(second)->click();

        QVERIFY(firstClosesFirst ? first.close() : second.close());
        QVERIFY(firstClosesFirst ? second.close() : first.close());
        QCOMPARE(ReadFile(SettingsFilePath()),
            QByteArray("rules=A:5|C:3&thresholds=1|2|3|5|8&hidezero=1&onlinechecks=1\n"));
        QCOMPARE(MessageBox::shownCount(), 0);
    }

    void aWindowThatChangedNothing_leavesTheOtherWindowsChanges()
    {
        QVERIFY(WriteSettingsFile("rules=A:1&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n"));
        MainWindow idle;
        {
            MainWindow busy;
            busy.show();
            Grid(busy)->setConfiguration(QStringLiteral("A:1|B:2"));
            HideZero(busy)->click();
            QVERIFY(busy.close());
        }
        idle.show();
        QVERIFY(idle.close());
        QCOMPARE(ReadFile(SettingsFilePath()),
            QByteArray("rules=A:1|B:2&thresholds=1|2|4|5|8&hidezero=1&onlinechecks=0\n"));
    }

    void otherKeys_areKeptAfterTheFour()
    {
        QVERIFY(WriteSettingsFile(
            "rules=A:1&colour=red&thresholds=1|2&hidezero=0&onlinechecks=0&HideZero=1&later=x=y\r\n"));
        MainWindow window;
        window.show();
        QCOMPARE(
            window.GetConfiguration(), QStringLiteral("rules=A:1&thresholds=1|2&hidezero=0&onlinechecks=0"));
        HideZero(window)->click();
        QVERIFY(window.close());
        QCOMPARE(ReadFile(SettingsFilePath()),
            QByteArray(
                "rules=A:1&thresholds=1|2&hidezero=1&onlinechecks=0&colour=red&HideZero=1&later=x=y\n"));
    }

    void fileNotRead_isNeverOverwritten_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("userChanges");
        for (const char *kind : { "a file over the size limit", "a folder", "a named pipe" }) {
            QTest::addRow("%s, nothing changed: nothing said", kind) << QString::fromLatin1(kind) << false;
            QTest::addRow("%s, the user's changes: the user is told", kind)
                << QString::fromLatin1(kind) << true;
        }
    }
    void fileNotRead_isNeverOverwritten()
    {
        QFETCH(QString, kind);
        QFETCH(bool, userChanges);
        const QString path = SettingsFilePath();
        const QByteArray big = "rules=MINE:1&hidezero=1&pad=" + QByteArray(MaxSettingsFileSize, 'x');
        if (kind.contains(u"size"))
            QVERIFY(WriteSettingsFile(big));
        else if (kind.contains(u"folder"))
            QVERIFY(QDir().mkpath(path));
        else
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath())
                && ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);

        MainWindow window;
        window.show();
        QCOMPARE(window.GetConfiguration(),
            QStringLiteral("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0"));
        if (userChanges)
            OnlineChecks(window)->click();
        QVERIFY(window.close());

        if (kind.contains(u"size"))
            QCOMPARE(ReadFile(path), big);
        else if (kind.contains(u"folder"))
            QVERIFY(QFileInfo(path).isDir());
        else
            QVERIFY(!QFileInfo(path).isFile() && QFileInfo(path).exists());
        QCOMPARE(MessageBox::shownCount(), userChanges ? 1 : 0);
        if (userChanges)
            QCOMPARE(MessageBox::lastText(), FillText(TextId::SettingsNotRead, path));
    }

    void moreRulesThanRows_areKeptOnSave_andTheWindowSaysSoOnce()
    {
        QStringList rules;
        for (int i = 0; i < 60; ++i)
            rules << QStringLiteral("R%1:%1").arg(i);
        QVERIFY(WriteSettingsFile("rules=" + rules.join(u'|').toUtf8() + "&thresholds=1|2|4|5|8"));
        MainWindow window;
        QCOMPARE(Grid(window)->configuration(), rules.first(50).join(u'|'));
        QCOMPARE(window.GetConfiguration(),
            "rules=" + rules.join(u'|') + "&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0");
        QCOMPARE(MessageBox::shownCount(), 0);

        ShowOptions(window);
        QCOMPARE(MessageBox::shownCount(), 1);
        QCOMPARE(MessageBox::lastText(),
            FillText(TextId::RulesPastTheGrid, QStringLiteral("10"), QStringLiteral("50")));
        QTest::mouseClick(Find<ButtonPlus>(window, QStringLiteral("cmdCheck_0")), Qt::LeftButton);
        QTest::mouseClick(Find<ButtonPlus>(window, QStringLiteral("cmdOptions_0")), Qt::LeftButton);
        QCOMPARE(window.currentPanel(), int(MainWindow::OptionsPage));
        QCOMPARE(MessageBox::shownCount(), 1);

        rules[0] = QStringLiteral("R0:7");
        Grid(window)->setConfiguration(rules.first(50).join(u'|'));
        QVERIFY(window.close());
        QCOMPARE(ReadFile(SettingsFilePath()),
            "rules=" + rules.join(u'|').toUtf8() + "&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n");
    }

    void fiftyRules_fitTheGrid_andNothingIsSaid()
    {
        QStringList rules;
        for (int i = 0; i < 50; ++i)
            rules << QStringLiteral("R%1:%1").arg(i);
        QVERIFY(WriteSettingsFile("rules=" + rules.join(u'|').toUtf8()));
        MainWindow window;
        ShowOptions(window);
        QCOMPARE(MessageBox::shownCount(), 0);
        QCOMPARE(Grid(window)->configuration(), rules.join(u'|'));
    }

    void closingWhileEditing_savesTheNormalisedText_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QByteArray>("saved");
        QTest::newRow("a score cell holding settings text saves its number")
            << "txtColumn2_0"
            << "2&hidezero=1" << QByteArray("rules=A:0&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n");
        QTest::newRow("a score cell holding a number saves it in its normal form")
            << "txtColumn2_0"
            << "2.50" << QByteArray("rules=A:2.5&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n");
        QTest::newRow("a name cell loses the separators")
            << "txtColumn1_1"
            << "x=y&hidezero=1|z:9"
            << QByteArray("rules=A:1|XYHIDEZERO1Z9:&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0\n");
        QTest::newRow("a threshold box saves its number")
            << "txtScore_2"
            << "3&hidezero=1" << QByteArray("rules=A:1&thresholds=1|2|0|5|8&hidezero=0&onlinechecks=0\n");
    }
    void closingWhileEditing_savesTheNormalisedText()
    {
        QFETCH(QString, control);
        QFETCH(QString, typed);
        QFETCH(QByteArray, saved);
        QVERIFY(WriteSettingsFile("rules=A:1&thresholds=1|2|4|5|8"));
        MainWindow window;
        ShowOptions(window);
        auto *edit = Find<QLineEdit>(window, control);
        QVERIFY(edit);
        edit->setFocus(Qt::MouseFocusReason);
        QVERIFY(edit->hasFocus());
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text().toLower(), typed);
        QVERIFY(window.close());
        QCOMPARE(ReadFile(SettingsFilePath()), saved);
        MainWindow again;
        QCOMPARE(again.GetConfiguration().toUtf8() + '\n', saved);
    }

    void ruleNameWithAnEqualsSign_keepsTheRulesAfterIt()
    {
        {
            MainWindow window;
            ShowOptions(window);
            const QStringList typed { "txtColumn1_0", "my=rule", "txtColumn2_0", "1", "txtColumn1_1", "b",
                "txtColumn2_1", "2" };
            for (qsizetype i = 0; i < typed.size(); i += 2) {
                auto *cell = Find<QLineEdit>(window, typed[i]);
                cell->setFocus(Qt::MouseFocusReason);
                QTest::keyClicks(cell, typed[i + 1]);
            }
            Find<QLineEdit>(window, QStringLiteral("txtScore_0"))->setFocus(Qt::TabFocusReason);
            QCOMPARE(Grid(window)->configuration(), QStringLiteral("MYRULE:1|B:2"));
            QVERIFY(window.close());
        }
        MainWindow again;
        QCOMPARE(Grid(again)->configuration(), QStringLiteral("MYRULE:1|B:2"));
    }
};

QTEST_MAIN(TestMainWindowSettings)
#include "tst_mainwindow_settings.moc"
