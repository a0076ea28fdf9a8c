#include "WindowTestSupport.h"

#include <QLineEdit>

using namespace norvale;
using namespace norvale::test;

class TestMainWindowThresholds : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;

    static QLineEdit *Box(const MainWindow &window, int index)
    {
        return Find<QLineEdit>(window, QStringLiteral("txtScore_%1").arg(index));
    }

    static QStringList Boxes(const MainWindow &window)
    {
        QStringList texts;
        for (int i = 0; i < 5; ++i)
            texts.append(Box(window, i)->text());
        return texts;
    }

private slots:
    void initTestCase()
    {
        m_home = UsePrivateHome();
        MessageBox::setTestMode(true);
        InitialiseApplication(ShippedCatalogue);
    }

    void init()
    {
        RemoveSettingsFile();
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void boxes_areRightAligned_whiteWithDarkGreyText()
    {
        MainWindow window;
        for (int i = 0; i < 5; ++i) {
            QLineEdit *box = Box(window, i);
            QVERIFY(box->alignment() & Qt::AlignRight);
            QCOMPARE(box->palette().color(QPalette::Base), QColor(Qt::white));
            QCOMPARE(box->palette().color(QPalette::Text), QColor(0x40, 0x40, 0x40));
        }
    }

    void leavingABox_normalisesItsText_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");

        QTest::newRow("spaces around a number go") << "en_US"
                                                   << " 3 "
                                                   << "3";
        QTest::newRow("trailing zeros go") << "en_US"
                                           << "2.50"
                                           << "2.5";
        QTest::newRow("an exponent is written out") << "en_US"
                                                    << "1e3"
                                                    << "1000";
        QTest::newRow("a negative number stays") << "en_US"
                                                 << "-2"
                                                 << "-2";
        QTest::newRow("seven significant digits at most") << "en_US"
                                                          << "1.23456789"
                                                          << "1.234568";
        QTest::newRow("a large number takes the exponent form") << "en_US"
                                                                << "12345678"
                                                                << "1.234568E+07";
        QTest::newRow("text that is not a number becomes 0") << "en_US"
                                                             << "abc"
                                                             << "0";
        QTest::newRow("a number beyond single precision becomes 0") << "en_US"
                                                                    << "1e39"
                                                                    << "0";
        QTest::newRow("an empty box stays empty") << "en_US"
                                                  << ""
                                                  << "";
        QTest::newRow("a comma is a decimal comma in English too") << "en_US"
                                                                   << "1,5"
                                                                   << "1.5";
        QTest::newRow("two separators are not a number") << "en_US"
                                                         << "1,000.5"
                                                         << "0";
        QTest::newRow("a German decimal comma is kept") << "de_DE"
                                                        << "2,50"
                                                        << "2,5";
        QTest::newRow("a point is a decimal point in German too") << "de_DE"
                                                                  << "1.5"
                                                                  << "1,5";
    }

    void leavingABox_normalisesItsText()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QLocale::setDefault(QLocale(locale));
        MainWindow window;
        ShowOptions(window);
        QLineEdit *box = Box(window, 1);
        box->setFocus(Qt::TabFocusReason);
        QVERIFY(box->hasFocus());
        QTest::keyClick(box, Qt::Key_Delete);
        QTest::keyClicks(box, typed);
        QCOMPARE(box->text(), typed);
        Box(window, 2)->setFocus(Qt::TabFocusReason);
        QVERIFY(!box->hasFocus());
        QCOMPARE(box->text(), shown);
    }

    void switchingPanels_normalisesTheBoxBeingEdited()
    {
        MainWindow window;
        ShowOptions(window);
        QLineEdit *box = Box(window, 0);
        box->setFocus(Qt::TabFocusReason);
        box->setText(QStringLiteral("0.50"));
        QTest::mouseClick(Find<ButtonPlus>(window, QStringLiteral("cmdCheck_0")), Qt::LeftButton);
        QCOMPARE(box->text(), QStringLiteral("0.5"));
    }

    void enteringABox_selectsItsWholeText_data()
    {
        QTest::addColumn<bool>("byMouse");
        QTest::newRow("with the Tab key") << false;
        QTest::newRow("with a mouse click in the middle of the text") << true;
    }

    void enteringABox_selectsItsWholeText()
    {
        QFETCH(bool, byMouse);
        MainWindow window;
        ShowOptions(window);
        QLineEdit *box = Box(window, 3);
        box->setText(QStringLiteral("12.5"));
        if (byMouse)
            QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
        else
            box->setFocus(Qt::TabFocusReason);
        QVERIFY(box->hasFocus());
        QCOMPARE(box->selectedText(), QStringLiteral("12.5"));
        QTest::keyClicks(box, QStringLiteral("7"));
        QCOMPARE(box->text(), QStringLiteral("7"));
    }

    void setThresholds_fillsTheBoxes_andGetThresholdsJoinsThem_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QString>("joined");

        QTest::newRow("the defaults")
            << "1|2|4|5|8" << QStringList { "1", "2", "4", "5", "8" } << "1|2|4|5|8";
        QTest::newRow("a leading empty box keeps its place")
            << "|5" << QStringList { "", "5", "", "", "" } << "|5";
        QTest::newRow("pieces past the fifth are dropped")
            << "1|2|3|4|5|6|7" << QStringList { "1", "2", "3", "4", "5" } << "1|2|3|4|5";
        QTest::newRow("the empty text empties every box") << "" << QStringList(5) << "";
        QTest::newRow("spaces only empty every box") << "   " << QStringList(5) << "";
        QTest::newRow("text that is not a number becomes 0")
            << "x|2" << QStringList { "0", "2", "", "", "" } << "0|2";
        QTest::newRow("descending values are taken as they are")
            << "8|5|4|2|1" << QStringList { "8", "5", "4", "2", "1" } << "8|5|4|2|1";
        QTest::newRow("inner empty boxes keep their places")
            << "1||3" << QStringList { "1", "", "3", "", "" } << "1||3";
    }

    void setThresholds_fillsTheBoxes_andGetThresholdsJoinsThem()
    {
        QFETCH(QString, text);
        QFETCH(QStringList, boxes);
        QFETCH(QString, joined);
        MainWindow window;
        window.SetThresholds(QStringLiteral("9|9|9|9|9"));
        window.SetThresholds(text);
        QCOMPARE(Boxes(window), boxes);
        QCOMPARE(window.GetThresholds(), joined);
    }

    void getThresholds_readsBoxesTrimmedButNotNormalised()
    {
        MainWindow window;
        window.SetThresholds(QString());
        Box(window, 0)->setText(QStringLiteral(" 2.50 "));
        Box(window, 2)->setText(QStringLiteral("abc"));
        QCOMPARE(window.GetThresholds(), QStringLiteral("2.50||abc"));
    }
};

QTEST_MAIN(TestMainWindowThresholds)
#include "tst_mainwindow_thresholds.moc"
