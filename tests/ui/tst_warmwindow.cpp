#include "ButtonPlus.h"
#include "CheckPanel.h"
#include "CheckRun.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "Numbers.h"
#include "Settings.h"
#include "Startup.h"
#include "WarmChecker.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include "Daemons.h"
#include "Recordings.h"
#include "ScopedEnv.h"
#include "TestFiles.h"

#include <csignal>
#include <memory>

using namespace norvale;

namespace {

// The daemon compiles the whole rule set before it answers, and a loaded
// machine takes its time.
constexpr int StartWait = 180000;
constexpr int CheckWait = 120000;

const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");

QString Newsletter()
{
    return Messages + QStringLiteral("clean-newsletter.eml");
}

bool ProcessAlive(qint64 pid)
{
    return pid > 0 && ::kill(static_cast<pid_t>(pid), 0) == 0;
}

} // namespace

// The window keeps the checker running: it answers by the first click, gives
// the same results as a fresh checker, never makes the next check wait for
// the learning run, and ends with the window. Checking on save checks a
// changed file once per save.
class TestWarmWindow : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void theWindowsChecksAnswerWarmAndMatchTheColdPath();
    void theWarmCheckerEndsWithTheWindowAndCanBeSwitchedOff();
    void switchingOnlineChecksReplacesTheDaemon();
    void aSaveInStepsGivesOneCheck_data();
    void aSaveInStepsGivesOneCheck();
    void theOptionsAreSavedOnlyWhenNotDefault();
    void aPoolThatCannotBeReachedIsAWarningNamingItsHosts();

private:
    void makeWindow(const QByteArray &settingsLine = {});
    // Clicks the check button and waits until the check has ended.
    void runCheck(const QString &path);
    QString score() const { return m_window->findChild<QLabel *>(QStringLiteral("lblScore"))->text(); }

    std::unique_ptr<QTemporaryDir> m_scratch;
    std::unique_ptr<MainWindow> m_window;
};

void TestWarmWindow::init()
{
    m_scratch = std::make_unique<QTemporaryDir>();
    QVERIFY(m_scratch->isValid());
    // The settings (in test mode under HOME) and the checker's own files of
    // this test alone.
    qputenv("HOME", QFile::encodeName(m_scratch->path()));
}

void TestWarmWindow::cleanup()
{
    m_window.reset();
    m_scratch.reset();
}

void TestWarmWindow::makeWindow(const QByteArray &settingsLine)
{
    if (!settingsLine.isEmpty()) {
        QVERIFY(QDir().mkpath(QFileInfo(SettingsFilePath()).absolutePath()));
        QVERIFY(WriteFile(SettingsFilePath(), settingsLine + '\n'));
    }
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

void TestWarmWindow::runCheck(const QString &path)
{
    m_window->checkPanel()->setFileName(path);
    QSignalSpy finished(m_window->checkPanel(), &CheckPanel::checkFinished);
    m_window->findChild<ButtonPlus *>(QStringLiteral("cmdCheckNow"))->click();
    QVERIFY(finished.wait(CheckWait));
}

void TestWarmWindow::theWindowsChecksAnswerWarmAndMatchTheColdPath()
{
    makeWindow();
    m_window->startWarmChecker();
    WarmChecker *warm = m_window->warmChecker();
    QVERIFY(warm);
    QTRY_VERIFY_WITH_TIMEOUT(warm->state() != WarmChecker::State::Starting, StartWait);
    QVERIFY2(warm->isReady(), qPrintable(warm->failureReason()));

    CheckRequest request;
    request.path = Newsletter();
    const CheckOutcome cold = RunCheck(request);
    QVERIFY(cold.ok());

    runCheck(Newsletter());
    QCOMPARE(score(), FormatUserNumber(cold.score.total));
    auto *list = m_window->findChild<QTreeWidget *>(QStringLiteral("lvwResults"));
    QCOMPARE(list->topLevelItemCount(), cold.score.reasons.size());
    // The results are on screen and the panel takes input while the learning
    // run that follows them may still go on.
    QVERIFY(m_window->findChild<QWidget *>(QStringLiteral("picCheck_0"))->isEnabled());
    QVERIFY(!m_window->checkPanel()->isChecking());
    QTRY_VERIFY_WITH_TIMEOUT(!warm->secondRunPending(), CheckWait);
}

void TestWarmWindow::theWarmCheckerEndsWithTheWindowAndCanBeSwitchedOff()
{
    makeWindow();
    m_window->startWarmChecker();
    QTRY_VERIFY_WITH_TIMEOUT(m_window->warmChecker()->state() != WarmChecker::State::Starting, StartWait);
    const qint64 pid = m_window->warmChecker()->daemonPid();
    QVERIFY(ProcessAlive(pid));

    // Switched off on the options page: the daemon ends at once.
    m_window->findChild<QCheckBox *>(QStringLiteral("chkWarmChecker"))->setChecked(false);
    QVERIFY(!m_window->warmChecker());
    QTRY_VERIFY(!ProcessAlive(pid));

    // On again, then the window closes: no daemon is left behind.
    m_window->findChild<QCheckBox *>(QStringLiteral("chkWarmChecker"))->setChecked(true);
    QVERIFY(m_window->warmChecker());
    QTRY_VERIFY_WITH_TIMEOUT(m_window->warmChecker()->state() != WarmChecker::State::Starting, StartWait);
    const qint64 second = m_window->warmChecker()->daemonPid();
    QVERIFY(ProcessAlive(second));
    m_window->close();
    QTRY_VERIFY(!ProcessAlive(second));
}

// The network tests are the daemon's own setting: another one takes its place,
// and checks meanwhile take the cold path with the right setting.
void TestWarmWindow::switchingOnlineChecksReplacesTheDaemon()
{
    makeWindow();
    m_window->startWarmChecker();
    WarmChecker *warm = m_window->warmChecker();
    QTRY_VERIFY_WITH_TIMEOUT(warm->state() != WarmChecker::State::Starting, StartWait);
    QVERIFY(warm->isReady());
    QVERIFY(!warm->online());
    const qint64 local = warm->daemonPid();

    m_window->findChild<QCheckBox *>(QStringLiteral("chkOnlineChecks"))->setChecked(true);
    QCOMPARE(m_window->warmChecker(), warm);
    QVERIFY(warm->online());
    QTRY_VERIFY(!ProcessAlive(local));
    QTRY_VERIFY_WITH_TIMEOUT(warm->state() != WarmChecker::State::Starting, StartWait);
    QVERIFY(warm->isReady());
    QVERIFY(warm->daemonPid() != local);
}

void TestWarmWindow::aSaveInStepsGivesOneCheck_data()
{
    QTest::addColumn<bool>("byRename");
    QTest::newRow("written in place: emptied, then written in two parts") << false;
    QTest::newRow("written beside it and renamed over it") << true;
}

void TestWarmWindow::aSaveInStepsGivesOneCheck()
{
    QFETCH(bool, byRename);
    // What a save sets off is the window's own work: the checks run on the
    // real checker's recorded reports.
    ScopedEnv recorded("PATH", QFile::encodeName(RecordedCheckerPath(m_scratch->path())));
    makeWindow("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0&checkonsave=1");
    QVERIFY(m_window->findChild<QCheckBox *>(QStringLiteral("chkCheckOnSave"))->isChecked());
    QVERIFY(m_window->checkPanel()->checkOnSave());

    const QString path = m_scratch->filePath(QStringLiteral("letter.eml"));
    QVERIFY(QFile::copy(Newsletter(), path));
    runCheck(path);
    const QString first = score();
    QVERIFY(!first.isEmpty());

    // The same file, now the test message every checker knows as spam.
    const QByteArray spam = ReadFile(Messages + QStringLiteral("gtube.eml"));
    QSignalSpy finished(m_window->checkPanel(), &CheckPanel::checkFinished);
    if (byRename) {
        const QString temporary = path + QStringLiteral(".new");
        QVERIFY(WriteFile(temporary, spam));
        QVERIFY(::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(path).constData()) == 0);
    } else {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.flush();
        QTest::qWait(50);
        file.write(spam.left(spam.size() / 2));
        file.flush();
        QTest::qWait(50);
        file.write(spam.mid(spam.size() / 2));
        file.close();
    }
    QVERIFY(finished.wait(CheckWait));
    QVERIFY2(score() != first && QLocale().toDouble(score()) >= 1000, qPrintable(score()));
    // Nothing more follows: one save, one check.
    QTest::qWait(3 * CheckPanel::SaveSettleMilliseconds);
    QCOMPARE(finished.size(), 1);

    // Switched off, a save checks nothing.
    m_window->findChild<QCheckBox *>(QStringLiteral("chkCheckOnSave"))->setChecked(false);
    QVERIFY(WriteFile(path, ReadFile(Newsletter())));
    QTest::qWait(3 * CheckPanel::SaveSettleMilliseconds);
    QCOMPARE(finished.size(), 1);
}

void TestWarmWindow::theOptionsAreSavedOnlyWhenNotDefault()
{
    makeWindow();
    m_window->close();
    QCOMPARE(ReadFile(SettingsFilePath()).trimmed(),
        QByteArray("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0"));

    makeWindow();
    m_window->findChild<QCheckBox *>(QStringLiteral("chkWarmChecker"))->setChecked(false);
    m_window->findChild<QCheckBox *>(QStringLiteral("chkCheckOnSave"))->setChecked(true);
    m_window->close();
    QCOMPARE(ReadFile(SettingsFilePath()).trimmed(),
        QByteArray("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0&warmchecker=0&checkonsave=1"));
}

// A team's daemons named in the settings take the checks; when none answers
// the check fails with their names, and shows no score.
void TestWarmWindow::aPoolThatCannotBeReachedIsAWarningNamingItsHosts()
{
    const QByteArray hosts = "127.0.0.1:" + QByteArray::number(FreeLoopbackPort())
        + ",127.0.0.1:" + QByteArray::number(FreeLoopbackPort());
    makeWindow("rules=&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=0&spamd=" + hosts);
    m_window->startWarmChecker();
    QVERIFY(!m_window->warmChecker()); // the pool, not a daemon of our own
    const int shown = MessageBox::shownCount();
    runCheck(Newsletter());
    QCOMPARE(MessageBox::shownCount(), shown + 1);
    for (const QByteArray &host : hosts.split(','))
        QVERIFY2(
            MessageBox::lastText().contains(QString::fromLatin1(host)), qPrintable(MessageBox::lastText()));
    QCOMPARE(score(), QString());
    m_window->close();
    QVERIFY(ReadFile(SettingsFilePath()).contains("&spamd=" + hosts));
}

// The daemon never runs as root: run by root, the test leaves it first. The
// working folder and the settings are the test's own.
int main(int argc, char **argv)
{
    DropRoot(argc, argv);
    QTemporaryDir runtime;
    if (!runtime.isValid())
        return 1;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    QStandardPaths::setTestModeEnabled(true);
    MessageBox::setTestMode(true);
    QApplication app(argc, argv);
    InitialiseApplication(QStringLiteral(NORVALE_APP_DIR "/ide/ide.txt"));
    TestWarmWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_warmwindow.moc"
