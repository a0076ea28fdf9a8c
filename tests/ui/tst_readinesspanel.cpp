#include "CheckPanel.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "ReadinessDialog.h"
#include "ReadinessLine.h"
#include "Startup.h"

#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "TestFiles.h"

#include <memory>

using namespace norvale;

// The check panel's sending readiness summary and the report it opens, with
// the real checker.

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

    ReadinessDialog *clickSummary()
    {
        QTest::mouseClick(line(), Qt::LeftButton);
        auto *dialog = m_window->findChild<ReadinessDialog *>();
        return dialog && dialog->isVisible() ? dialog : nullptr;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_scratch.isValid());
        MessageBox::setTestMode(true);
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
        QTest::newRow("a ready newsletter")
            << English << Ready << QStringLiteral("Ready: no problems found")
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
        ReadinessDialog *dialog = clickSummary();
        QVERIFY(dialog);
        const QString shown
            = dialog->findChild<QTextBrowser *>(QStringLiteral("txtReadiness"))->toPlainText();
        QVERIFY2(shown.contains(inReport), qPrintable(shown));

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
        openWindow(English);
        runCheck(path);
        ReadinessDialog *dialog = clickSummary();
        QVERIFY(dialog);
        auto *browser = dialog->findChild<QTextBrowser *>(QStringLiteral("txtReadiness"));
        QVERIFY2(browser->toPlainText().contains(QStringLiteral("<b>Bold</b> <a href=")),
            qPrintable(browser->toPlainText()));
        QVERIFY(!browser->toHtml().contains(QStringLiteral("<a href=\"https://evil")));
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
