#include "CheckPanel.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "ReadinessLine.h"
#include "ReportView.h"
#include "Startup.h"
#include "TextCatalogue.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "FixtureDns.h"
#include "Recordings.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <memory>

using namespace norvale;

// The check panel's sending readiness summary and the full report it opens at
// its sending readiness section, with the real checker.

namespace {

constexpr int CheckTimeout = 120000;

const QString Clean = QStringLiteral(NORVALE_TEST_DATA "/messages/clean-newsletter.eml"); // not DKIM-signed
const QString Ready = QStringLiteral(NORVALE_TEST_DATA "/readiness/good.eml");
const QString English = QStringLiteral(NORVALE_APP_DIR "/ide/ide.txt");
const QString Italian = QStringLiteral(NORVALE_APP_DIR "/ide/ide.it.txt");

} // namespace

class TestReadinessPanel : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindow> m_window;
    QTemporaryDir m_scratch;
    QByteArray m_realPath;

    void openWindow(const QString &catalogue)
    {
        InitialiseApplication(catalogue);
        m_window = std::make_unique<MainWindow>();
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_window->findChild<QTimer *>(QStringLiteral("Timer2"))->start(0);
        QTRY_COMPARE(m_window->currentPanel(), int(MainWindow::CheckPanelPage));
    }

    ReadinessLine *line() const
    {
        return m_window->findChild<ReadinessLine *>(QStringLiteral("lblReadiness"));
    }

    void runCheck(const QString &path)
    {
        m_window->findChild<QLineEdit *>(QStringLiteral("txtFileName"))->setText(path);
        QSignalSpy finished(m_window->findChild<CheckPanel *>(), &CheckPanel::checkFinished);
        QTest::mouseClick(m_window->findChild<QWidget *>(QStringLiteral("cmdCheckNow")), Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, CheckTimeout);
    }

    ReportView *clickSummary()
    {
        QTest::mouseClick(line(), Qt::LeftButton);
        auto *view = m_window->findChild<ReportView *>(QStringLiteral("frmReport"));
        return view && view->isVisible() ? view : nullptr;
    }

    static QTextBrowser *browser(ReportView *view)
    {
        return view->findChild<QTextBrowser *>(QStringLiteral("txtReport"));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_scratch.isValid());
        MessageBox::setTestMode(true);
        // The window checks on the real checker's recorded reports.
        m_realPath = qgetenv("PATH");
        const QString recorded = RecordedCheckerPath(m_scratch.path());
        QVERIFY(!recorded.isEmpty());
        qputenv("PATH", QFile::encodeName(recorded));
    }

    void cleanup()
    {
        m_window.reset();
        InitialiseApplication(English);
    }

    // The summary lies inside the visible window and overlaps no other control
    // of the check panel.
    void summary_coversNoOtherControl()
    {
        openWindow(English);
        ReadinessLine *summary = line();
        QVERIFY(summary);
        QWidget *page = summary->parentWidget();
        QCOMPARE(page->objectName(), QStringLiteral("picCheck_0"));
        QVERIFY(QRect(QPoint(0, 0), m_window->size()).contains(summary->geometry()));
        for (QObject *child : page->children()) {
            auto *widget = qobject_cast<QWidget *>(child);
            if (!widget || widget == summary || widget->objectName().isEmpty())
                continue;
            QVERIFY2(!widget->geometry().intersects(summary->geometry()), qPrintable(widget->objectName()));
        }
        QVERIFY(summary->text().isEmpty());
    }

    void check_showsTheSummaryThatOpensTheReport_data()
    {
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<QString>("inReport");
        QTest::newRow("an unsigned newsletter in English")
            << English << Clean << QStringLiteral("1 problem")
            << QStringLiteral("The message has no DKIM signature.");
        QTest::newRow("an unsigned newsletter in Italian")
            << Italian << Clean << QStringLiteral("1 problema")
            << QStringLiteral("Il messaggio non ha una firma DKIM.");
        QTest::newRow("a ready newsletter") << English << Ready << QStringLiteral("Ready: no problems found")
                                            << QStringLiteral("d=harrowgate-garden-club.example");
    }

    void check_showsTheSummaryThatOpensTheReport()
    {
        QFETCH(QString, catalogue);
        QFETCH(QString, message);
        QFETCH(QString, summary);
        QFETCH(QString, inReport);
        openWindow(catalogue);
        QVERIFY(!clickSummary()); // nothing to open before a check
        runCheck(message);
        QCOMPARE(line()->text(), summary);
        QVERIFY2(line()->fontMetrics().horizontalAdvance(summary) <= line()->contentsRect().width(),
            qPrintable(summary)); // shown whole
        ReportView *dialog = clickSummary();
        QVERIFY(dialog);
        const QString shown = browser(dialog)->toPlainText();
        QVERIFY2(shown.contains(inReport), qPrintable(shown));
        // Opened at the section: the rules above it are scrolled away.
        QTRY_VERIFY(browser(dialog)->verticalScrollBar()->value() > 0);
        const int sectionAt = shown.indexOf(GetText(400));
        QVERIFY(sectionAt > shown.indexOf(GetText(111))); // after the rule table's points column

        // A new file name clears the results, the summary and its report.
        m_window->findChild<QLineEdit *>(QStringLiteral("txtFileName"))->setText(QString());
        QVERIFY(line()->text().isEmpty());
        QVERIFY(!dialog->isVisible());
    }

    // Markup in the message is shown as the text it is.
    void report_showsMessageMarkupAsText()
    {
        QByteArray message = ReadFile(Clean);
        message.replace("From: Harrowgate Garden Club <news@harrowgate-garden-club.example>",
            "From: <b>Bold</b> <a href=\"https://evil.example\">x</a>");
        const QString path = m_scratch.filePath(QStringLiteral("markup.eml"));
        QVERIFY(WriteFile(path, message));
        ScopedEnv realChecker("PATH", m_realPath); // a message of its own, not recorded
        openWindow(English);
        runCheck(path);
        ReportView *dialog = clickSummary();
        QVERIFY(dialog);
        QTextBrowser *shown = browser(dialog);
        QVERIFY2(shown->toPlainText().contains(QStringLiteral("<b>Bold</b> <a href=")),
            qPrintable(shown->toPlainText()));
        QVERIFY(!shown->toHtml().contains(QStringLiteral("<a href=\"https://evil")));
    }

    // With network tests allowed, the DNS findings join the summary and the
    // report once they are in; without, nothing is looked up.
    void networkChecks_followTheOnlineOption_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("summary");
        QTest::newRow("network tests allowed: the missing SPF record is found")
            << true << QStringLiteral("1 problem");
        QTest::newRow("network tests not allowed: nothing is looked up")
            << false << QStringLiteral("Ready: no problems found");
    }

    void networkChecks_followTheOnlineOption()
    {
        QFETCH(bool, online);
        QFETCH(QString, summary);
        FixtureDns dns({ { "_dmarc.harrowgate-garden-club.example", "v=DMARC1; p=none" },
            { "news2024._domainkey.harrowgate-garden-club.example",
                ReadFile(QStringLiteral(NORVALE_TEST_DATA "/readiness/dkim-key.txt")).trimmed() } });
        QVERIFY(dns.ok());
        const ScopedEnv server("NORVALE_DNS_SERVER", dns.server());
        openWindow(English);
        m_window->findChild<QCheckBox *>(QStringLiteral("chkOnlineChecks"))
            ->setCheckState(online ? Qt::Checked : Qt::Unchecked);
        runCheck(Ready);
        if (online) {
            QTRY_COMPARE_WITH_TIMEOUT(line()->text(), summary, 20000);
            ReportView *view = clickSummary();
            QVERIFY(view);
            const QString shown = browser(view)->toPlainText();
            QVERIFY2(shown.contains(QStringLiteral(
                         "The domain mail.harrowgate-garden-club.example publishes no SPF record.")),
                qPrintable(shown));
            QVERIFY(shown.contains(QStringLiteral("v=DMARC1; p=none")));
            QVERIFY(shown.contains(QStringLiteral("news2024._domainkey.harrowgate-garden-club.example")));
        } else {
            QTest::qWait(1000); // time enough for lookups, were any made
            QCOMPARE(line()->text(), summary);
            QCOMPARE(dns.queries(), QList<QByteArray>());
        }
    }
};

// The working folder must be this test's own, so XDG_RUNTIME_DIR is set before
// anything reads it.
int main(int argc, char **argv)
{
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    TestReadinessPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_readinesspanel.moc"
