#include "WindowTestSupport.h"

#include "ApplicationFolder.h"
#include "Artwork.h"
#include "ButtonPlus.h"
#include "TextCatalogue.h"
#include "TextIds.h"
#include "UserGrid.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QEnterEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QTreeWidget>

using namespace norvale;
using namespace norvale::test;

// Records the addresses the desktop is asked to open.
class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> urls;

public slots:
    void open(const QUrl &url) { urls.append(url); }
};

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;
    UrlRecorder m_recorder;

    static QList<QWidget *> VisiblePanels(const MainWindow &window)
    {
        QList<QWidget *> shown;
        for (int i = 0; i < 4; ++i) {
            auto *panel = Find<QWidget>(window, QStringLiteral("picCheck_%1").arg(i));
            if (panel && panel->isVisible())
                shown.append(panel);
        }
        return shown;
    }

    static void Click(const MainWindow &window, const QString &name)
    {
        auto *button = Find<ButtonPlus>(window, name);
        QVERIFY2(button, qPrintable(name));
        QVERIFY2(button->isVisible(), qPrintable(name + QStringLiteral(" is not on the panel on show")));
        QTest::mouseClick(button, Qt::LeftButton);
    }

    static void Enter(QWidget *widget)
    {
        QEnterEvent event(QPointF(2, 2), QPointF(2, 2), widget->mapToGlobal(QPointF(2, 2)));
        QApplication::sendEvent(widget, &event);
    }

    static void Leave(QWidget *widget)
    {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(widget, &event);
    }

private slots:
    void initTestCase()
    {
        m_home = UsePrivateHome();
        MessageBox::setTestMode(true);
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &m_recorder, "open");
    }

    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }

    void init()
    {
        InitialiseApplication(ShippedCatalogue);
        RemoveSettingsFile();
        m_recorder.urls.clear();
    }

    void startsOnTheStartupPanel_andTimer2EndsItOnce()
    {
        MainWindow window;
        window.show();
        QCOMPARE(window.objectName(), QStringLiteral("frmCheck"));
        QCOMPARE(window.windowTitle(), QStringLiteral("Norvale"));
        QCOMPARE(
            VisiblePanels(window), QList<QWidget *> { Find<QWidget>(window, QStringLiteral("picCheck_3")) });

        auto *startup = Find<QTimer>(window, QStringLiteral("Timer2"));
        QVERIFY(startup->isActive());
        QVERIFY(startup->isSingleShot());
        QCOMPARE(startup->interval(), 5000);
        auto *check = Find<QTimer>(window, QStringLiteral("Timer1"));
        QVERIFY(check);
        QVERIFY(!check->isActive());
        QVERIFY(check->isSingleShot());
        QCOMPARE(check->interval(), 100);

        EndStartup(window);
        QCOMPARE(
            VisiblePanels(window), QList<QWidget *> { Find<QWidget>(window, QStringLiteral("picCheck_0")) });
        QVERIFY(!startup->isActive());
    }

    void startupPanel_hasNoTabsButItsBannerAndSiteButtonWork()
    {
        MainWindow window;
        window.show();
        auto *startup = Find<QWidget>(window, QStringLiteral("picCheck_3"));
        QCOMPARE(startup->findChildren<ButtonPlus *>().size(), 2);
        Click(window, QStringLiteral("cmdFilterCheck_3"));
        Click(window, QStringLiteral("cmdSite"));
        QCOMPARE(m_recorder.urls, QList<QUrl>({ QUrl(SiteAddress()), QUrl(SiteAddress()) }));
        QCOMPARE(window.currentPanel(), int(MainWindow::StartupPage));
    }

    void tabButtons_switchPanels_data()
    {
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<QList<int>>("panels");

        QTest::newRow("check, options, help and back to check")
            << QStringList { "cmdOptions_0", "cmdHelp_1", "cmdCheck_1" } << QList<int> { 1, 2, 0 };
        QTest::newRow("check, help, options and back to check")
            << QStringList { "cmdHelp_0", "cmdOptions_1", "cmdCheck_0" } << QList<int> { 2, 1, 0 };
    }

    void tabButtons_switchPanels()
    {
        QFETCH(QStringList, buttons);
        QFETCH(QList<int>, panels);
        MainWindow window;
        window.show();
        EndStartup(window);
        for (int i = 0; i < buttons.size(); ++i) {
            Click(window, buttons[i]);
            QCOMPARE(window.currentPanel(), panels[i]);
            const QList<QWidget *> shown = VisiblePanels(window);
            QCOMPARE(shown.size(), 1);
            QCOMPARE(shown.first()->objectName(), QStringLiteral("picCheck_%1").arg(panels[i]));
        }
    }

    void tabOfTheShownPanel_isALabelWithTheTabsCaption_data()
    {
        QTest::addColumn<int>("panel");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("textId");
        QTest::addColumn<QStringList>("buttons");

        QTest::newRow("check panel") << 0 << "Label3" << 51 << QStringList { "cmdOptions_0", "cmdHelp_0" };
        QTest::newRow("options panel") << 1 << "Label7" << 52 << QStringList { "cmdCheck_0", "cmdHelp_1" };
        QTest::newRow("help panel") << 2 << "Label4" << 53 << QStringList { "cmdCheck_1", "cmdOptions_1" };
    }

    void tabOfTheShownPanel_isALabelWithTheTabsCaption()
    {
        QFETCH(int, panel);
        QFETCH(QString, label);
        QFETCH(int, textId);
        QFETCH(QStringList, buttons);
        MainWindow window;
        auto *page = Find<QWidget>(window, QStringLiteral("picCheck_%1").arg(panel));
        auto *tab = page->findChild<QLabel *>(label);
        QVERIFY(tab);
        QCOMPARE(tab->text(), GetText(textId));
        QStringList pageButtons;
        for (const ButtonPlus *button : page->findChildren<ButtonPlus *>()) {
            if (button->objectName().startsWith(QStringLiteral("cmdCheck_"))
                || button->objectName().startsWith(QStringLiteral("cmdOptions_"))
                || button->objectName().startsWith(QStringLiteral("cmdHelp_")))
                pageButtons.append(button->objectName());
        }
        QCOMPARE(pageButtons, buttons);
    }

    void placeholders_becomeCatalogueTexts_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("textId");

        const QList<std::pair<const char *, int>> captions {
            { "Label3", 51 },
            { "cmdOptions_0", 52 },
            { "cmdHelp_0", 53 },
            { "cmdCheck_0", 51 },
            { "Label7", 52 },
            { "cmdHelp_1", 53 },
            { "cmdCheck_1", 51 },
            { "cmdOptions_1", 52 },
            { "Label4", 53 },
            { "lblURL", 101 },
            { "cmdCheckNow", 102 },
            { "Label1", 103 },
            { "Label2", 104 },
            { "Label6", 201 },
            { "Label5", 202 },
            { "Label10", 203 },
            { "Label9", 204 },
            { "Label8_0", 71 },
            { "Label8_1", 72 },
            { "Label8_2", 73 },
            { "Label8_3", 74 },
            { "Label8_4", 75 },
            { "lblAbout_1", 901 },
        };
        for (const auto &[name, id] : captions)
            QTest::newRow(name) << QString::fromLatin1(name) << id;
    }

    void placeholders_becomeCatalogueTexts()
    {
        QFETCH(QString, name);
        QFETCH(int, textId);
        MainWindow window;
        QWidget *widget = Find<QWidget>(window, name);
        QVERIFY(widget);
        const QString text = widget->property("text").toString();
        QVERIFY(!GetText(textId).isEmpty());
        QCOMPARE(text, GetText(textId));
    }

    void fileButtonTooltip_reasonListHeaders_andGridHeaders_comeFromTheCatalogue()
    {
        MainWindow window;
        QCOMPARE(
            Find<QWidget>(window, QStringLiteral("cmdFileName"))->toolTip(), GetText(TextId::FileButtonTip));
        auto *list = Find<QTreeWidget>(window, QStringLiteral("lvwResults"));
        QCOMPARE(list->columnCount(), 4);
        const QList<int> widths { 29, 27, 207, 107 }; // 429, 400, 3100 and 1600 twips
        for (int k = 0; k < 4; ++k) {
            QCOMPARE(list->headerItem()->text(k), GetText(TextId::PointsColumn + k));
            QCOMPARE(list->columnWidth(k), widths[k]);
        }
        auto *grid = Find<UserGrid>(window, QStringLiteral("UserGrid1"));
        QCOMPARE(grid->header1Text(), GetText(TextId::RuleColumn));
        QCOMPARE(grid->header2Text(), GetText(TextId::PointsColumn));
    }

    // Labels show file names, scores and catalogue texts: none is read as markup.
    void everyLabel_showsPlainText()
    {
        MainWindow window;
        const QList<QLabel *> labels = window.findChildren<QLabel *>();
        QVERIFY(labels.size() > 10);
        for (const QLabel *label : labels) {
            if (!label->text().isEmpty() || label->pixmap().isNull())
                QVERIFY2(label->textFormat() == Qt::PlainText, qPrintable(label->objectName()));
        }
    }

    void placeholderOfAMissingText_becomesEmpty()
    {
        QTemporaryDir dir;
        QFile catalogue(dir.filePath(QStringLiteral("ide.txt")));
        QVERIFY(catalogue.open(QIODevice::WriteOnly));
        catalogue.write("51 Check\n102 Check now\n");
        catalogue.close();
        InitialiseApplication(catalogue.fileName());

        MainWindow window;
        QCOMPARE(Find<QLabel>(window, QStringLiteral("Label3"))->text(), QStringLiteral("Check"));
        QCOMPARE(
            Find<ButtonPlus>(window, QStringLiteral("cmdCheckNow"))->text(), QStringLiteral("Check now"));
        QCOMPARE(Find<ButtonPlus>(window, QStringLiteral("cmdOptions_0"))->text(), QString());
        QCOMPARE(Find<QLabel>(window, QStringLiteral("lblURL"))->text(), QString());
        QCOMPARE(Find<QWidget>(window, QStringLiteral("cmdFileName"))->toolTip(), QString());
        QCOMPARE(window.windowTitle(), QStringLiteral("Norvale"));
    }

    void startupPanel_showsNameVersionAndNotice()
    {
        MainWindow window;
        const QStringList lines = Find<QLabel>(window, QStringLiteral("lblAbout_0"))->text().split(u'\n');
        QCOMPARE(lines.size(), 2);
        QCOMPARE(lines[0], QStringLiteral("Norvale ") + ApplicationVersion());
        QVERIFY(!lines[1].isEmpty());
    }

    void siteButton_showsTheAddressWithoutHttp_andOpensItWithHttp_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("opened");

        QTest::newRow("international site") << "ide.txt"
                                            << "www.norvale.app/"
                                            << "http://www.norvale.app/";
        QTest::newRow("Italian site") << "ide.it.txt"
                                      << "www.norvale.app/it/"
                                      << "http://www.norvale.app/it/";
    }

    void siteButton_showsTheAddressWithoutHttp_andOpensItWithHttp()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, caption);
        QFETCH(QString, opened);
        InitialiseApplication(QStringLiteral(NORVALE_APP_DIR "/ide/") + catalogue);
        MainWindow window;
        window.show();
        QCOMPARE(Find<ButtonPlus>(window, QStringLiteral("cmdSite"))->text(), caption);
        Click(window, QStringLiteral("cmdSite"));
        QCOMPARE(m_recorder.urls, QList<QUrl> { QUrl(opened) });
    }

    void siteButton_withHttpInItsCaption_opensTheCaptionAsItStands()
    {
        MainWindow window;
        window.show();
        auto *site = Find<ButtonPlus>(window, QStringLiteral("cmdSite"));
        site->setText(QStringLiteral("http://example.org/http/"));
        Click(window, QStringLiteral("cmdSite"));
        QCOMPARE(m_recorder.urls, QList<QUrl> { QUrl(QStringLiteral("http://example.org/http/")) });
    }

    void bannerButtons_openTheSiteOnEveryPanel()
    {
        MainWindow window;
        window.show();
        Click(window, QStringLiteral("cmdFilterCheck_3"));
        EndStartup(window);
        Click(window, QStringLiteral("cmdFilterCheck_0"));
        Click(window, QStringLiteral("cmdOptions_0"));
        Click(window, QStringLiteral("cmdFilterCheck_1"));
        Click(window, QStringLiteral("cmdHelp_1"));
        Click(window, QStringLiteral("cmdFilterCheck_2"));
        QCOMPARE(m_recorder.urls, QList<QUrl>(4, QUrl(SiteAddress())));
    }

    void checkNowHover_changesPictureAndTextColour_andLeavingRestoresThem()
    {
        MainWindow window;
        auto *button = Find<ButtonPlus>(window, QStringLiteral("cmdCheckNow"));
        const QColor grey(0x80, 0x80, 0x80);
        QCOMPARE(button->textColor(), grey);
        QCOMPARE(button->picture().cacheKey(), CheckNowPicture(false).cacheKey());

        Enter(button);
        QCOMPARE(button->textColor(), QColor(0x90, 0xB0, 0x90));
        QCOMPARE(button->picture().cacheKey(), CheckNowPicture(true).cacheKey());
        Leave(button);
        QCOMPARE(button->textColor(), grey);
        QCOMPARE(button->picture().cacheKey(), CheckNowPicture(false).cacheKey());
    }

    void bannerHover_changesOnlyThatBannersPicture()
    {
        MainWindow window;
        for (int i = 0; i < 4; ++i) {
            auto *banner = Find<ButtonPlus>(window, QStringLiteral("cmdFilterCheck_%1").arg(i));
            auto *other = Find<ButtonPlus>(window, QStringLiteral("cmdFilterCheck_%1").arg((i + 1) % 4));
            Enter(banner);
            QCOMPARE(banner->picture().cacheKey(), BannerPicture(true).cacheKey());
            QCOMPARE(other->picture().cacheKey(), BannerPicture(false).cacheKey());
            Leave(banner);
            QCOMPARE(banner->picture().cacheKey(), BannerPicture(false).cacheKey());
        }
    }

    void helpPanel_startsBlank_andReadsTheHelpPageOnEveryClick()
    {
        // The help page is looked for beside this test program.
        const QString folder = ApplicationFolder() + QStringLiteral("/ide");
        const QString page = folder + QStringLiteral("/help.htm");
        QVERIFY2(!QFile::exists(page), "a help page is already beside the test program");
        QVERIFY(QDir().mkpath(folder));
        auto writePage = [&](const QByteArray &body) {
            QFile file(page);
            return file.open(QIODevice::WriteOnly)
                && file.write("<html><body>" + body + "</body></html>") > 0;
        };
        auto removePage = qScopeGuard([&] {
            QFile::remove(page);
            QDir().rmdir(folder);
        });

        MainWindow window;
        window.show();
        auto *browser = Find<QTextBrowser>(window, QStringLiteral("WebBrowser1"));
        QVERIFY(browser->toPlainText().isEmpty());
        EndStartup(window);

        QVERIFY(writePage("First version"));
        Click(window, QStringLiteral("cmdHelp_0"));
        QCOMPARE(window.currentPanel(), int(MainWindow::HelpPage));
        QCOMPARE(browser->source(), QUrl::fromLocalFile(page));
        QCOMPARE(browser->toPlainText(), QStringLiteral("First version"));

        QVERIFY(writePage("Second version"));
        Click(window, QStringLiteral("cmdCheck_1"));
        Click(window, QStringLiteral("cmdHelp_0"));
        QCOMPARE(browser->toPlainText(), QStringLiteral("Second version"));

        QVERIFY(writePage("Third version"));
        Click(window, QStringLiteral("cmdOptions_1"));
        Click(window, QStringLiteral("cmdHelp_1"));
        QCOMPARE(browser->toPlainText(), QStringLiteral("Third version"));
    }

    void browser_reachesTwoPixelsBeyondItsContainer()
    {
        MainWindow window;
        auto *browser = Find<QWidget>(window, QStringLiteral("WebBrowser1"));
        auto *frame = Find<QWidget>(window, QStringLiteral("picBrowser"));
        QCOMPARE(browser->parentWidget(), frame);
        QCOMPARE(browser->geometry(), QRect(-2, -2, frame->width() + 4, frame->height() + 4));
    }

    void window_hasTheThreeIconSizes()
    {
        MainWindow window;
        const QList<QSize> sizes = window.windowIcon().availableSizes();
        for (int size : { 16, 32, 48 })
            QVERIFY2(sizes.contains(QSize(size, size)), qPrintable(QString::number(size)));
    }

    void everyControl_liesInsideTheWindow()
    {
        MainWindow window;
        window.show();
        const QRect client = window.rect();
        QCOMPARE(client.size(), QSize(500, 330));
        const QStringList names { "cmdFilterCheck_0", "Label3", "cmdOptions_0", "cmdHelp_0", "lblURL",
            "txtFileName", "cmdFileName", "cmdCheckNow", "Label1", "picResults", "Label2", "picReasons",
            "Label6", "txtScore_4", "Label8_4", "Label5", "UserGrid1", "chkHideZero", "Label10",
            "chkOnlineChecks", "Label9", "picBrowser", "lblAbout_0", "cmdSite", "imgBar_4", "lblAbout_1" };
        for (const QString &name : names) {
            QWidget *widget = Find<QWidget>(window, name);
            QVERIFY2(widget, qPrintable(name));
            const QRect place(widget->mapTo(&window, QPoint(0, 0)), widget->size());
            QVERIFY2(client.contains(place), qPrintable(name));
        }
    }

    void texts_fitTheirControls_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::newRow("English") << "ide.txt";
        QTest::newRow("Italian") << "ide.it.txt";
    }

    void texts_fitTheirControls()
    {
        QFETCH(QString, catalogue);
        InitialiseApplication(QStringLiteral(NORVALE_APP_DIR "/ide/") + catalogue);
        MainWindow window;
        window.show();
        for (const QLabel *label : window.findChildren<QLabel *>()) {
            if (label->text().isEmpty())
                continue;
            const int needed
                = label->wordWrap() ? label->heightForWidth(label->width()) : label->fontMetrics().height();
            QVERIFY2(needed <= label->height(), qPrintable(label->objectName()));
            if (!label->wordWrap()
                || label->heightForWidth(label->width()) <= label->fontMetrics().lineSpacing())
                QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                    qPrintable(label->objectName()));
        }
        for (const ButtonPlus *button : window.findChildren<ButtonPlus *>())
            QVERIFY2(button->sizeHint().width() <= button->width() || button->text().isEmpty(),
                qPrintable(button->objectName()));
    }

    void controls_haveTheirColours()
    {
        MainWindow window;
        auto *fileName = Find<QLineEdit>(window, QStringLiteral("txtFileName"));
        QCOMPARE(fileName->palette().color(QPalette::Base), QColor(Qt::white));
        QCOMPARE(fileName->palette().color(QPalette::Text), QColor(0x40, 0x40, 0x40));
        auto *tab = Find<ButtonPlus>(window, QStringLiteral("cmdOptions_0"));
        QCOMPARE(tab->backColor(), QColor(0xAA, 0xC5, 0xDF));
        QCOMPARE(tab->textColor(), QColor(Qt::white));
        auto *site = Find<ButtonPlus>(window, QStringLiteral("cmdSite"));
        QCOMPARE(site->textColor(), QColor(0x49, 0x82, 0xBA));
        QCOMPARE(Find<QLabel>(window, QStringLiteral("lblAbout_1"))->palette().color(QPalette::WindowText),
            QColor(0x49, 0x82, 0xBA));
        QVERIFY(Find<QWidget>(window, QStringLiteral("cmdCheckNow"))->font().bold());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
