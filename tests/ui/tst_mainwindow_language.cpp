#include "WindowTestSupport.h"

#include "ApplicationFolder.h"
#include "ButtonPlus.h"

#include <QScopeGuard>
#include <QTextBrowser>

using namespace norvale;
using namespace norvale::test;

// The help page follows the language of the catalogue the window speaks.
class TestMainWindowLanguage : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_home;

private slots:
    void initTestCase()
    {
        m_home = UsePrivateHome();
        MessageBox::setTestMode(true);
    }

    void helpPage_followsTheCataloguesLanguage_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("shown");
        QTest::newRow("the Italian catalogue shows the Italian page")
            << "ide.it.txt" << QStringList { "help.htm", "help.it.htm" } << "help.it.htm";
        QTest::newRow("the English catalogue shows help.htm")
            << "ide.txt" << QStringList { "help.htm", "help.it.htm" } << "help.htm";
        QTest::newRow("the Italian catalogue without an Italian page shows help.htm")
            << "ide.it.txt" << QStringList { "help.htm" } << "help.htm";
    }
    void helpPage_followsTheCataloguesLanguage()
    {
        QFETCH(QString, catalogue);
        QFETCH(QStringList, pages);
        QFETCH(QString, shown);

        // The help pages are looked for beside this test program.
        const QString folder = ApplicationFolder() + QStringLiteral("/ide");
        QVERIFY(QDir().mkpath(folder));
        auto removePages = qScopeGuard([&] {
            for (const QString &page : pages)
                QFile::remove(folder + u'/' + page);
            QDir().rmdir(folder);
        });
        for (const QString &page : pages)
            QVERIFY(WriteFile(folder + u'/' + page, "<html><body>" + page.toUtf8() + "</body></html>"));

        InitialiseApplication(QStringLiteral(NORVALE_APP_DIR "/ide/") + catalogue);
        MainWindow window;
        window.show();
        EndStartup(window);
        auto *help = Find<ButtonPlus>(window, QStringLiteral("cmdHelp_0"));
        QVERIFY(help);
        QTest::mouseClick(help, Qt::LeftButton);
        auto *browser = Find<QTextBrowser>(window, QStringLiteral("WebBrowser1"));
        QCOMPARE(browser->source(), QUrl::fromLocalFile(folder + u'/' + shown));
        QCOMPARE(browser->toPlainText(), shown);
    }
};

QTEST_MAIN(TestMainWindowLanguage)
#include "tst_mainwindow_language.moc"
