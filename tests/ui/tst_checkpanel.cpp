#include "Artwork.h"
#include "ButtonPlus.h"
#include "CheckFailureText.h"
#include "CheckPanel.h"
#include "CheckReports.h"
#include "CheckRun.h"
#include "FileDialog.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "MessageFile.h"
#include "Numbers.h"
#include "ReasonItem.h"
#include "ReportScorer.h"
#include "ReportView.h"
#include "SafeText.h"
#include "SignalStop.h"
#include "SpamCheck.h"
#include "Startup.h"
#include "TextCatalogue.h"
#include "TextIds.h"
#include "UserGrid.h"
#include "WorkDir.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"
#include <QTimer>
#include <QTreeWidget>

#include <cerrno>
#include <csignal>
#include <memory>

using namespace norvale;

namespace {

// A real check takes a few seconds; a loaded machine may need many more.
constexpr int CheckTimeout = 120000;

const QString Messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");
const QString FakeCheckers = QStringLiteral(NORVALE_TEST_DATA "/fake-checkers/");
const QString DefaultThresholds = QStringLiteral("1|2|4|5|8");

QString Gtube()
{
    return Messages + QStringLiteral("gtube.eml");
}

QString Newsletter()
{
    return Messages + QStringLiteral("clean-newsletter.eml");
}

// The files a check has left in the working folder.
QStringList WorkingFiles()
{
    return FolderEntries(GetTempDir().path);
}

bool ProcessExists(qint64 pid)
{
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// A message the "scored" fake checker gives `points` for.
QByteArray ScoredMessage(const QByteArray &points)
{
    return "From: news@garden-club.example\nSubject: points " + points + "\nX-Fake-Score: " + points
        + "\n\nbody\n";
}

} // namespace

Q_DECLARE_METATYPE(norvale::SpamCheckResult::Status)

class TestCheckPanel : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void check_matchesTheCommandLine_data();
    void check_matchesTheCommandLine();
    void check_nameBeginningWithADotIsAnOrdinaryFile();
    void check_pathIsTrimmedAndTheBoxKeepsItsSpaces();
    void hideZero_data();
    void hideZero();
    void headerClicks_sortPointsByValueAndOtherColumnsAsText();
    void doubleClick_showsTheRowInADetailsBox();
    void hugeFields_areCutInTheListAndTheDetailsBox();
    void markupInAFileName_isShownAsPlainText_data();
    void markupInAFileName_isShownAsPlainText();
    void rulesPastTheGrid_countInTheCheck();
    void refusedFile_warnsAndLeavesTheResultsEmpty_data();
    void refusedFile_warnsAndLeavesTheResultsEmpty();
    void check_leavesNoFileInTheWorkingFolder();
    void twoWindows_checkingAtOnce_eachShowItsOwnScore();
    void tooLargeFile_isRefusedWithoutRunningTheChecker();
    void stopSignal_endsTheCheckAndRemovesItsFiles();
    void refusedWorkingFolder_warnsWithoutRunningTheChecker();
    void brokenChecker_warnsAndLeavesTheResultsEmpty_data();
    void brokenChecker_warnsAndLeavesTheResultsEmpty();
    void onlineOption_data();
    void onlineOption();
    void twoQuickClicks_giveOneCheck();
    void duringCheck_panelDisabledAndWaitCursor_resultsBeforeTheSecondRunEnds();
    void closingDuringCheck_stopsTheChecker();
    void fileDialog_setsTheBoxOrKeepsItWhenCancelled();
    void editingTheBox_clearsTheResults();
    void droppedFile_becomesTheFileName();
    void report_showsGuideChangeAndEvidence();

private:
    template <typename T> T *control(const QString &name) const
    {
        T *found = m_window->findChild<T *>(name);
        if (!found)
            qFatal("no control %s", qPrintable(name));
        return found;
    }
    QLineEdit *fileName() const { return control<QLineEdit>(QStringLiteral("txtFileName")); }
    QTreeWidget *list() const { return control<QTreeWidget>(QStringLiteral("lvwResults")); }
    QLabel *label(const char *name) const { return control<QLabel>(QLatin1String(name)); }
    QWidget *panel() const { return control<QWidget>(QStringLiteral("picCheck_0")); }
    CheckPanel *checkPanel() const { return m_window->checkPanel(); }

    void setOptions(const QString &rules, const QString &thresholds = DefaultThresholds,
        Qt::CheckState hideZero = Qt::Unchecked, Qt::CheckState online = Qt::Unchecked);
    // Clicks cmdCheckNow for `path` and waits until the check has ended.
    void runCheck(const QString &path);
    // The same, giving the report section the check scored, heard from the
    // check itself: it leaves no report behind.
    QString runCheckForSection(const QString &path);
    void clickCheckNow();
    void clickHeader(int column);
    // A user's double-click on the list: a click, then the double-click.
    void doubleClick(const QPoint &where);
    // One column's cells, top to bottom as the list shows them.
    QStringList column(int index) const;
    QStringList keys() const;
    QString barOf(const QLabel *results) const;
    void verifyResultsEmpty();
    // Puts the fake checker `name` first on PATH, in place of the one before;
    // empty: PATH holds no checker at all.
    void useFakeChecker(const QString &name);
    // Starts a check of the GTUBE message with the held fake checker, holding
    // the run `hold` ("t" or "R") until the returned gate file is made; returns
    // once that run has begun to wait.
    QString startHeldCheck(const char *hold);

    std::unique_ptr<QTemporaryDir> m_scratch;
    std::unique_ptr<MainWindow> m_window;
    QByteArray m_path;
    QByteArray m_runtimeDir;
};

void TestCheckPanel::initTestCase()
{
    MessageBox::setTestMode(true);
    m_path = qgetenv("PATH");
    m_runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    QVERIFY(GetTempDir().ok());
}

void TestCheckPanel::init()
{
    m_scratch = std::make_unique<QTemporaryDir>();
    QVERIFY(m_scratch->isValid());
    MessageBox::setTestMode(true);
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // Skip the five seconds of the start-up panel.
    control<QTimer>(QStringLiteral("Timer2"))->start(0);
    QTRY_COMPARE(m_window->currentPanel(), int(MainWindow::CheckPanelPage));
    setOptions(QString());
    // The window's own behaviour is tested on the real checker's recorded
    // reports; the checks that compare with the command line run the real one.
    useFakeChecker(QStringLiteral("recorded"));
}

void TestCheckPanel::cleanup()
{
    m_window.reset();
    qputenv("PATH", m_path);
    qputenv("XDG_RUNTIME_DIR", m_runtimeDir);
    for (const char *name : { "NORVALE_FAKE_HOLD", "NORVALE_FAKE_GATE", "NORVALE_FAKE_REPORT",
             "NORVALE_FAKE_LOG", "NORVALE_FAKE_COPY" })
        qunsetenv(name);
    QVERIFY(!QApplication::overrideCursor());
    m_scratch.reset();
}

void TestCheckPanel::setOptions(
    const QString &rules, const QString &thresholds, Qt::CheckState hideZero, Qt::CheckState online)
{
    control<UserGrid>(QStringLiteral("UserGrid1"))->setConfiguration(rules);
    m_window->SetThresholds(thresholds);
    control<QCheckBox>(QStringLiteral("chkHideZero"))->setCheckState(hideZero);
    control<QCheckBox>(QStringLiteral("chkOnlineChecks"))->setCheckState(online);
}

void TestCheckPanel::clickCheckNow()
{
    QTest::mouseClick(control<QWidget>(QStringLiteral("cmdCheckNow")), Qt::LeftButton);
}

void TestCheckPanel::runCheck(const QString &path)
{
    fileName()->setText(path);
    QSignalSpy finished(checkPanel(), &CheckPanel::checkFinished);
    clickCheckNow();
    QVERIFY(checkPanel()->isChecking());
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, CheckTimeout);
    QVERIFY(!checkPanel()->isChecking());
    QVERIFY(panel()->isEnabled());
}

QString TestCheckPanel::runCheckForSection(const QString &path)
{
    QString section;
    fileName()->setText(path);
    QSignalSpy finished(checkPanel(), &CheckPanel::checkFinished);
    clickCheckNow();
    [&] {
        QTRY_VERIFY(checkPanel()->findChild<CheckRun *>());
        connect(checkPanel()->findChild<CheckRun *>(), &CheckRun::resultReady, this,
            [&section](const CheckOutcome &outcome) { section = outcome.check.section; });
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, CheckTimeout);
    }();
    return section;
}

void TestCheckPanel::clickHeader(int column)
{
    QHeaderView *header = list()->header();
    const QPoint centre(
        header->sectionViewportPosition(column) + header->sectionSize(column) / 2, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, centre);
}

void TestCheckPanel::doubleClick(const QPoint &where)
{
    QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, where);
    QTest::mouseDClick(list()->viewport(), Qt::LeftButton, {}, where);
}

QStringList TestCheckPanel::column(int index) const
{
    QStringList cells;
    for (int row = 0; row < list()->topLevelItemCount(); ++row)
        cells.append(list()->topLevelItem(row)->text(index));
    return cells;
}

QStringList TestCheckPanel::keys() const
{
    QStringList keys;
    for (int row = 0; row < list()->topLevelItemCount(); ++row)
        keys.append(list()->topLevelItem(row)->data(0, ReasonItem::KeyRole).toString());
    return keys;
}

// The bar picture the results strip shows, by its index; "?" for none of them.
QString TestCheckPanel::barOf(const QLabel *results) const
{
    const QImage shown = results->pixmap().toImage();
    for (int index = 0; index <= 3; ++index) {
        if (shown == BarPicture(index).toImage())
            return QString::number(index);
    }
    return QStringLiteral("?");
}

void TestCheckPanel::verifyResultsEmpty()
{
    QCOMPARE(list()->topLevelItemCount(), 0);
    QCOMPARE(label("lblScore")->text(), QString());
    QCOMPARE(label("lblGiudizio")->text(), QString());
    QCOMPARE(label("lblProcess")->text(), QString());
    QCOMPARE(barOf(label("picResults")), QStringLiteral("0"));
}

QString TestCheckPanel::startHeldCheck(const char *hold)
{
    const QString gate = m_scratch->filePath(QStringLiteral("gate"));
    useFakeChecker(QStringLiteral("held"));
    qputenv("NORVALE_FAKE_HOLD", hold);
    qputenv("NORVALE_FAKE_GATE", QFile::encodeName(gate));
    qputenv("NORVALE_FAKE_REPORT", NORVALE_TEST_DATA "/reports/gtube.report.txt");
    fileName()->setText(Gtube());
    clickCheckNow();
    [&] { QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(gate + QStringLiteral(".pid")), CheckTimeout); }();
    return gate;
}

void TestCheckPanel::useFakeChecker(const QString &name)
{
    const QString bin = m_scratch->filePath(QStringLiteral("bin"));
    QVERIFY(QDir().mkpath(bin));
    QFile::remove(bin + QStringLiteral("/spamassassin"));
    if (name.isEmpty()) {
        qputenv("PATH", QFile::encodeName(bin));
        return;
    }
    QVERIFY(QFile::link(FakeCheckers + name, bin + QStringLiteral("/spamassassin")));
    qputenv("PATH", QFile::encodeName(bin) + ':' + m_path);
}

void TestCheckPanel::check_matchesTheCommandLine_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("rules");
    QTest::addColumn<QString>("thresholds");
    QTest::addColumn<int>("level"); // -1: none
    QTest::addColumn<QString>("bar");
    QTest::addColumn<QString>("firedRule");
    QTest::addColumn<bool>("realChecker"); // else its recorded reports

    QTest::newRow("the GTUBE sample reaches the highest verdict")
        << Gtube() << QString() << DefaultThresholds << 5 << "3"
        << "GTUBE" << true;
    QTest::newRow("the clean newsletter gets the lowest verdict")
        << Newsletter() << QString() << DefaultThresholds << 0 << "1"
        << "HTML_MESSAGE" << true;
    QTest::newRow("the grid's overrides and the threshold boxes decide the verdict")
        << Newsletter() << "HTML_MESSAGE:2.5|no_relays:0.5"
        << "1|2|3|4.5|8" << 3 << "2"
        << "NO_RELAYS" << false;
    QTest::newRow("a message the checker scores 5.04 is spam, though its rounded rows add up to 4.9")
        << Messages + QStringLiteral("fractional-points.eml") << QString() << DefaultThresholds << 4 << "3"
        << "HTML_TITLE_SUBJ_DIFF" << false;
    QTest::newRow("a score of 10000 or more has no verdict and the neutral bar")
        << Gtube() << "GTUBE:10000" << DefaultThresholds << -1 << "0"
        << "GTUBE" << false;
}

// The window's score, verdict and rows equal norvale-check's for the same file
// and settings, and the score is the scorer's total of the checker's report.
void TestCheckPanel::check_matchesTheCommandLine()
{
    QFETCH(QString, message);
    QFETCH(QString, rules);
    QFETCH(QString, thresholds);
    QFETCH(int, level);
    QFETCH(QString, bar);
    QFETCH(QString, firedRule);
    QFETCH(bool, realChecker);

    if (realChecker)
        qputenv("PATH", m_path); // for norvale-check as well
    setOptions(rules, thresholds);
    const QString gridRules = control<UserGrid>(QStringLiteral("UserGrid1"))->configuration();
    const QString section = runCheckForSection(message);
    QCOMPARE(MessageBox::shownCount(), 0);

    QVERIFY(section.startsWith(QStringLiteral("Content analysis details")));
    const ScoreResult scored = ScoreReport(section, gridRules);
    QCOMPARE(label("lblScore")->text(), FormatUserNumber(scored.total));
    QCOMPARE(label("lblGiudizio")->text(), level < 0 ? QString() : GetText(TextId::FirstVerdict + level));
    QCOMPARE(label("lblGiudizio")->text(), level < 0 ? QString() : VerdictText(level));
    QCOMPARE(barOf(label("picResults")), bar);
    QCOMPARE(label("lblProcess")->text(), QString());
    QVERIFY2(column(ReasonItem::RuleColumn).contains(firedRule), qPrintable(column(3).join(u' ')));
    // Every number shows whole, "1000" and "10000" included.
    for (const QString &points : column(ReasonItem::PointsColumn))
        QVERIFY2(
            list()->fontMetrics().horizontalAdvance(points) < list()->columnWidth(ReasonItem::PointsColumn),
            qPrintable(points));

    QProcess cli;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), m_scratch->filePath(QStringLiteral("config")));
    cli.setProcessEnvironment(environment);
    cli.start(QStringLiteral(NORVALE_APP_DIR "/norvale-check"),
        { QStringLiteral("--json"), QStringLiteral("--local"), QStringLiteral("--rules"), gridRules,
            QStringLiteral("--thresholds"), m_window->GetThresholds(), message });
    QVERIFY(cli.waitForFinished(CheckTimeout));
    QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
    const QJsonObject file = QJsonDocument::fromJson(cli.readAllStandardOutput())
                                 .object()
                                 .value(u"files")
                                 .toArray()
                                 .at(0)
                                 .toObject();
    QVERIFY2(file.contains(u"score"), qPrintable(cli.readAllStandardError()));
    QCOMPARE(label("lblScore")->text(), FormatUserNumber(float(file.value(u"score").toDouble())));
    QCOMPARE(file.value(u"level").toInt(-1), level);
    QCOMPARE(label("lblGiudizio")->text(), file.value(u"verdict").toString());
    // The window lists the rows in the report's order, norvale-check by points,
    // highest first, then by rule name.
    QStringList cliRows;
    for (const QJsonValue reason : file.value(u"reasons").toArray())
        cliRows.append(
            FormatUserNumber(float(reason[u"points"].toDouble())) + u' ' + reason[u"rule"].toString());
    QList<std::pair<float, QString>> windowRows;
    for (int i = 0; i < list()->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = list()->topLevelItem(i);
        windowRows.append({ ParseUserNumber(item->text(ReasonItem::PointsColumn)).value_or(-1e30f),
            item->text(ReasonItem::RuleColumn) });
    }
    std::stable_sort(windowRows.begin(), windowRows.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QStringList windowSorted;
    for (const auto &[points, rule] : windowRows)
        windowSorted.append(FormatUserNumber(points) + u' ' + rule);
    QCOMPARE(windowSorted, cliRows);
}

void TestCheckPanel::check_nameBeginningWithADotIsAnOrdinaryFile()
{
    const QString dotted = m_scratch->filePath(QStringLiteral(".newsletter.eml"));
    QVERIFY(QFile::copy(Newsletter(), dotted));
    runCheck(dotted);
    QCOMPARE(MessageBox::shownCount(), 0);
    QCOMPARE(label("lblGiudizio")->text(), VerdictText(0));
    QVERIFY(column(ReasonItem::RuleColumn).contains(QStringLiteral("HTML_MESSAGE")));
}

void TestCheckPanel::check_pathIsTrimmedAndTheBoxKeepsItsSpaces()
{
    const QString typed = QStringLiteral("  ") + Gtube() + QStringLiteral("   ");
    runCheck(typed);
    QCOMPARE(MessageBox::shownCount(), 0);
    QCOMPARE(fileName()->text(), typed);
    QCOMPARE(label("lblGiudizio")->text(), VerdictText(5));
}

void TestCheckPanel::hideZero_data()
{
    QTest::addColumn<QString>("rules");
    QTest::addColumn<Qt::CheckState>("hideZero");
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("points");
    QTest::addColumn<QString>("score");

    // The newsletter fires NO_RECEIVED (-0.0), NO_RELAYS (-0.0) and HTML_MESSAGE (0.0).
    QTest::newRow("with the box clear every row shows, minus zero as 0")
        << "HTML_MESSAGE:1.5" << Qt::Unchecked << QStringList { "k1", "k2", "k3" }
        << QStringList { "0", "0", "1.5" } << "1.5";
    QTest::newRow("with the box checked zero and minus zero rows are left out")
        << "HTML_MESSAGE:1.5" << Qt::Checked << QStringList { "k3" } << QStringList { "1.5" } << "1.5";
    QTest::newRow("the greyed box hides like the checked one")
        << "HTML_MESSAGE:1.5" << Qt::PartiallyChecked << QStringList { "k3" } << QStringList { "1.5" }
        << "1.5";
    QTest::newRow("a rule overridden to 0 is hidden and row keys keep their reason's index")
        << "NO_RELAYS:2|HTML_MESSAGE:0" << Qt::Checked << QStringList { "k2" } << QStringList { "2" } << "2";
    QTest::newRow("nothing left when every rule scored zero")
        << QString() << Qt::Checked << QStringList() << QStringList() << "0";
}

void TestCheckPanel::hideZero()
{
    QFETCH(QString, rules);
    QFETCH(Qt::CheckState, hideZero);
    QFETCH(QStringList, keys);
    QFETCH(QStringList, points);
    QFETCH(QString, score);

    setOptions(rules, DefaultThresholds, hideZero);
    runCheck(Newsletter());
    QCOMPARE(this->keys(), keys);
    QCOMPARE(column(ReasonItem::PointsColumn), points);
    QCOMPARE(label("lblScore")->text(), score);
}

void TestCheckPanel::headerClicks_sortPointsByValueAndOtherColumnsAsText()
{
    setOptions(QStringLiteral("NO_RECEIVED:12|NO_RELAYS:2|HTML_MESSAGE:-1.5"));
    runCheck(Newsletter());
    // Before any click the rows stand in report order.
    QCOMPARE(keys(), (QStringList { "k1", "k2", "k3" }));
    QVERIFY(!list()->header()->isSortIndicatorShown());

    clickHeader(ReasonItem::PointsColumn);
    QCOMPARE(column(ReasonItem::PointsColumn), (QStringList { "12", "2", "-1.5" }));
    QVERIFY(list()->header()->isSortIndicatorShown());
    QCOMPARE(list()->header()->sortIndicatorOrder(), Qt::DescendingOrder);
    clickHeader(ReasonItem::PointsColumn);
    QCOMPARE(column(ReasonItem::PointsColumn), (QStringList { "-1.5", "2", "12" }));
    QCOMPARE(list()->header()->sortIndicatorOrder(), Qt::AscendingOrder);

    clickHeader(ReasonItem::RuleColumn);
    QCOMPARE(column(ReasonItem::RuleColumn), (QStringList { "NO_RELAYS", "NO_RECEIVED", "HTML_MESSAGE" }));
    clickHeader(ReasonItem::RuleColumn);
    QCOMPARE(column(ReasonItem::RuleColumn), (QStringList { "HTML_MESSAGE", "NO_RECEIVED", "NO_RELAYS" }));
    QCOMPARE(keys(), (QStringList { "k3", "k1", "k2" }));

    // The sort stays for the next check, and a new column starts descending.
    clickHeader(ReasonItem::PointsColumn);
    runCheck(Newsletter());
    QCOMPARE(column(ReasonItem::PointsColumn), (QStringList { "12", "2", "-1.5" }));
    QCOMPARE(keys(), (QStringList { "k1", "k2", "k3" }));
}

void TestCheckPanel::doubleClick_showsTheRowInADetailsBox()
{
    setOptions(QStringLiteral("NO_RECEIVED:12.5"));
    runCheck(Newsletter());
    QTreeWidgetItem *row = list()->topLevelItem(0);
    QCOMPARE(row->text(ReasonItem::RuleColumn), QStringLiteral("NO_RECEIVED"));

    doubleClick(list()->visualItemRect(row).center());
    QCOMPARE(MessageBox::shownCount(), 1);
    const QString expected = GetText(TextId::PointsColumn) + QStringLiteral(": 12.5\n")
        + GetText(TextId::TypeColumn) + QStringLiteral(": Informational\n")
        + GetText(TextId::DescriptionColumn) + QStringLiteral(": message has no Received headers\n")
        + GetText(TextId::RuleColumn)
        + QStringLiteral(": NO_RECEIVED")
        // The guide's text follows the row's four lines.
        + QStringLiteral("\n\n") + CheckReports::guideText(QStringLiteral("NO_RECEIVED"));
    QVERIFY(CheckReports::guideText(QStringLiteral("NO_RECEIVED")).contains(GetText(ReportText::LocalOnly)));
    QCOMPARE(MessageBox::lastText(), expected);

    // Below the rows, with nothing selected: no box.
    list()->clearSelection();
    const QRect last = list()->visualItemRect(list()->topLevelItem(list()->topLevelItemCount() - 1));
    QVERIFY(last.bottom() + 10 < list()->viewport()->height());
    doubleClick(QPoint(last.center().x(), last.bottom() + 10));
    QCOMPARE(MessageBox::shownCount(), 1);
}

// A report field of megabytes (here from a checker that writes one) would take
// the list seconds per sort and the details box most of a minute to lay out.
void TestCheckPanel::hugeFields_areCutInTheListAndTheDetailsBox()
{
    const QString rule = QStringLiteral("LONG_") + QString(995, u'R'); // longer than a cell, not the box
    QString description = QStringLiteral("<a href=http://x>click</a> <h2>big</h2>");
    while (description.size() < 3 * 1024 * 1024)
        description += QStringLiteral(" word");
    const QString report = m_scratch->filePath(QStringLiteral("huge.report.txt"));
    QVERIFY(WriteFile(report,
        ("Content analysis details:   (1.0 points, 5.0 required)\n\n pts rule name description\n"
         "---- --------- -----------\n 1.0 "
            + rule + QStringLiteral(" BODY: ") + description + u'\n')
            .toUtf8()));
    useFakeChecker(QStringLiteral("held"));
    qputenv("NORVALE_FAKE_REPORT", QFile::encodeName(report));
    runCheck(Gtube());
    QCOMPARE(MessageBox::shownCount(), 0);
    QCOMPARE(list()->topLevelItemCount(), 1);

    QTreeWidgetItem *row = list()->topLevelItem(0);
    const QString ellipsis(QChar(0x2026));
    for (const auto &[column, whole] : { std::pair { int(ReasonItem::DescriptionColumn), description },
             std::pair { int(ReasonItem::RuleColumn), rule } }) {
        const QString shown = row->text(column);
        QCOMPARE(shown.size(), ReasonItem::ListChars);
        QVERIFY(shown.endsWith(ellipsis));
        QVERIFY(whole.startsWith(shown.chopped(1)));
    }
    QCOMPARE(row->text(ReasonItem::TypeColumn), QStringLiteral("BODY"));

    doubleClick(list()->visualItemRect(row).center());
    QCOMPARE(MessageBox::shownCount(), 1);
    QCOMPARE(MessageBox::lastTextFormat(), Qt::PlainText);
    const QStringList lines = MessageBox::lastText().split(u'\n');
    // The four lines of the row, then the rule guide's text after a blank line;
    // for a rule the guide does not know that is the description again, cut too.
    QVERIFY(lines.size() >= 4);
    if (lines.size() > 4)
        QVERIFY(lines[4].isEmpty());
    for (qsizetype i = 5; i < lines.size(); ++i)
        QVERIFY(lines[i].size() <= ReasonItem::DetailChars + 200);
    const QString descriptionLine = lines[2];
    const QString prefix = GetText(TextId::DescriptionColumn) + QStringLiteral(": ");
    QCOMPARE(descriptionLine.size(), prefix.size() + ReasonItem::DetailChars);
    QVERIFY(descriptionLine.endsWith(ellipsis));
    QVERIFY((prefix + description).startsWith(descriptionLine.chopped(1)));
    QCOMPARE(lines[3], GetText(TextId::RuleColumn) + QStringLiteral(": ") + rule);
}

void TestCheckPanel::markupInAFileName_isShownAsPlainText_data()
{
    QTest::addColumn<QString>("name"); // below the scratch folder; "/" makes folders
    QTest::newRow("a link") << "<a href=http://x>details.eml";
    QTest::newRow("an image") << "<img src=file:///usr/share/pixmaps/debian-logo.png>.eml";
    QTest::newRow("a heading in colour") << "<h2><font color=red>urgent</font></h2>.eml";
}

// A file name is data: the warning that names it shows every character as
// typed, never a link, a picture or a heading.
void TestCheckPanel::markupInAFileName_isShownAsPlainText()
{
    QFETCH(QString, name);
    const QString path = m_scratch->path() + u'/' + name;
    QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
    QVERIFY(WriteFile(path, "not an e-mail message\n"));
    runCheck(path);
    QCOMPARE(MessageBox::shownCount(), 1);
    QCOMPARE(MessageBox::lastTextFormat(), Qt::PlainText);
    QCOMPARE(MessageBox::lastText(), MessageFileWarningText(path));
    QVERIFY(MessageBox::lastText().contains(name));
    verifyResultsEmpty();
}

// Rule scores past the grid's 50 rows come from the settings and count as
// norvale-check counts them.
void TestCheckPanel::rulesPastTheGrid_countInTheCheck()
{
    QStringList rules;
    for (int i = 0; i < 55; ++i)
        rules << QStringLiteral("FILLER_%1:1").arg(i);
    rules << QStringLiteral("GTUBE:-5");
    m_window->SetConfiguration(
        QStringLiteral("rules=") + rules.join(u'|') + QStringLiteral("&thresholds=1|2|4|5|8"));
    QVERIFY(
        !control<UserGrid>(QStringLiteral("UserGrid1"))->configuration().contains(QStringLiteral("GTUBE")));
    const QString section = runCheckForSection(Gtube());
    QCOMPARE(MessageBox::shownCount(), 0);
    const int gtube = column(ReasonItem::RuleColumn).indexOf(QStringLiteral("GTUBE"));
    QVERIFY(gtube >= 0);
    QCOMPARE(column(ReasonItem::PointsColumn).at(gtube), QStringLiteral("-5"));
    const ScoreResult scored = ScoreReport(section, rules.join(u'|'));
    QCOMPARE(label("lblScore")->text(), FormatUserNumber(scored.total));
}

void TestCheckPanel::refusedFile_warnsAndLeavesTheResultsEmpty_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("textId");
    QTest::addColumn<QString>("named"); // the path the warning names

    const QString missing = QDir::tempPath() + QStringLiteral("/norvale-no-such-message.eml");
    QTest::newRow("an empty box") << QString() << 85 << QString();
    QTest::newRow("a box of spaces only") << "    " << 85 << QString();
    QTest::newRow("a missing file") << missing << 84 << missing;
    QTest::newRow("a missing file typed with spaces around is named without them")
        << "  " + missing + " " << 84 << missing;
    QTest::newRow("a folder") << QString(NORVALE_TEST_DATA "/messages") << 84
                              << QString(NORVALE_TEST_DATA "/messages");
    QTest::newRow("plain text that is no message")
        << Messages + "not-a-message.txt" << 84 << Messages + "not-a-message.txt";
}

void TestCheckPanel::refusedFile_warnsAndLeavesTheResultsEmpty()
{
    QFETCH(QString, typed);
    QFETCH(int, textId);
    QFETCH(QString, named);

    runCheck(Gtube());
    QVERIFY(list()->topLevelItemCount() > 0);
    runCheck(typed);
    QCOMPARE(MessageBox::shownCount(), 1);
    if (textId == 85) {
        QCOMPARE(MessageBox::lastText(), GetText(TextId::NoFileName));
    } else {
        QCOMPARE(MessageBox::lastText(), MessageFileWarningText(named));
        QVERIFY(GetText(TextId::MessageFileWarning).contains(QStringLiteral("%1")));
        QVERIFY(MessageBox::lastText().contains(named));
        QVERIFY(!MessageBox::lastText().contains(QStringLiteral("%1")));
    }
    verifyResultsEmpty();
}

// The report and the checker's copy of the message hold the whole message:
// nothing of a check stays in the working folder, whether it scored, failed or
// was refused.
void TestCheckPanel::check_leavesNoFileInTheWorkingFolder()
{
    runCheck(Newsletter());
    QCOMPARE(MessageBox::shownCount(), 0);
    QVERIFY(column(ReasonItem::RuleColumn).contains(QStringLiteral("HTML_MESSAGE")));
    QCOMPARE(WorkingFiles(), QStringList());
    runCheck(m_scratch->filePath(QStringLiteral("missing.eml")));
    QCOMPARE(
        MessageBox::lastText(), MessageFileWarningText(m_scratch->filePath(QStringLiteral("missing.eml"))));
    QCOMPARE(WorkingFiles(), QStringList());
    useFakeChecker(QStringLiteral("garbage"));
    runCheck(Gtube());
    QCOMPARE(MessageBox::shownCount(), 2);
    QCOMPARE(WorkingFiles(), QStringList());
}

// Two windows that check different messages at the same moment each show the
// score of their own message, never the other's.
void TestCheckPanel::twoWindows_checkingAtOnce_eachShowItsOwnScore()
{
    const QString low = m_scratch->filePath(QStringLiteral("low.eml"));
    const QString high = m_scratch->filePath(QStringLiteral("high.eml"));
    QVERIFY(WriteFile(low, ScoredMessage("1.5")));
    QVERIFY(WriteFile(high, ScoredMessage("7")));
    useFakeChecker(QStringLiteral("scored"));
    const QString gate = m_scratch->filePath(QStringLiteral("gate"));
    qputenv("NORVALE_FAKE_GATE", QFile::encodeName(gate));

    MainWindow other;
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.findChild<QTimer *>(QStringLiteral("Timer2"))->start(0);
    QTRY_COMPARE(other.currentPanel(), int(MainWindow::CheckPanelPage));
    QSignalSpy firstDone(checkPanel(), &CheckPanel::checkFinished);
    QSignalSpy otherDone(other.checkPanel(), &CheckPanel::checkFinished);

    // Both checkers run at once: the first window's starts, then the other's,
    // and only then may either write its report.
    fileName()->setText(low);
    clickCheckNow();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(gate + QStringLiteral(".1.5")), CheckTimeout);
    other.findChild<QLineEdit *>(QStringLiteral("txtFileName"))->setText(high);
    QTest::mouseClick(other.findChild<QWidget *>(QStringLiteral("cmdCheckNow")), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(gate + QStringLiteral(".7")), CheckTimeout);
    QVERIFY(WriteFile(gate, QByteArray()));
    QTRY_COMPARE_WITH_TIMEOUT(firstDone.count(), 1, CheckTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(otherDone.count(), 1, CheckTimeout);

    QCOMPARE(MessageBox::shownCount(), 0);
    QCOMPARE(label("lblScore")->text(), QStringLiteral("1.5"));
    QCOMPARE(label("lblGiudizio")->text(), VerdictText(1));
    QCOMPARE(other.findChild<QLabel *>(QStringLiteral("lblScore"))->text(), QStringLiteral("7"));
    QCOMPARE(other.findChild<QLabel *>(QStringLiteral("lblGiudizio"))->text(), VerdictText(4));
    QCOMPARE(WorkingFiles(), QStringList());
}

// A file past the size limit (a mailbox picked by mistake) is refused with its
// own message, before the checker could spend gigabytes on it.
void TestCheckPanel::tooLargeFile_isRefusedWithoutRunningTheChecker()
{
    const QString log = m_scratch->filePath(QStringLiteral("log.txt"));
    useFakeChecker(QStringLiteral("log"));
    qputenv("NORVALE_FAKE_LOG", QFile::encodeName(log));
    const QString mailbox = m_scratch->filePath(QStringLiteral("mailbox.eml"));
    QVERIFY(WriteFile(mailbox, ReadFile(Gtube())));
    QVERIFY(QFile(mailbox).resize(MessageSizeLimit + 1)); // sparse: no disk is spent

    runCheck(mailbox);
    QCOMPARE(MessageBox::shownCount(), 1);
    QCOMPARE(MessageBox::lastText(), FillText(TextId::FileTooLarge, mailbox, QStringLiteral("32")));
    QVERIFY(!QFile::exists(log));
    verifyResultsEmpty();
}

// A logout's SIGTERM while the checker runs: the checker and everything it
// started are killed, the check's files removed, and the program is told to
// end with status 143.
void TestCheckPanel::stopSignal_endsTheCheckAndRemovesItsFiles()
{
    QList<int> statuses;
    StopOnSignals([&statuses](int status) { statuses.append(status); });
    const auto keepRunning = qScopeGuard([] { StopOnSignals({}); });
    QSignalSpy finished(checkPanel(), &CheckPanel::checkFinished);
    const QString gate = startHeldCheck("t");
    if (QTest::currentTestFailed())
        return;
    const qint64 pid = ReadFile(gate + QStringLiteral(".pid")).trimmed().toLongLong();
    QVERIFY(pid > 0);
    QCOMPARE(WorkingFiles().size(), 2); // the report and the message's copy

    QVERIFY(::raise(SIGTERM) == 0);
    QTRY_COMPARE(statuses, QList<int> { 143 });
    QVERIFY(!ProcessExists(pid));
    QCOMPARE(WorkingFiles(), QStringList());
    QCOMPARE(finished.count(), 1);
    QVERIFY(!checkPanel()->isChecking());
    QVERIFY(panel()->isEnabled());
    QCOMPARE(MessageBox::shownCount(), 0);
}

void TestCheckPanel::refusedWorkingFolder_warnsWithoutRunningTheChecker()
{
    // A file where the working folder belongs cannot be used.
    QVERIFY(QDir(m_scratch->path()).mkdir(QStringLiteral("runtime")));
    QFile blocker(m_scratch->filePath(QStringLiteral("runtime/norvale")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_scratch->filePath(QStringLiteral("runtime"))));
    useFakeChecker(QStringLiteral("log"));
    qputenv("NORVALE_FAKE_LOG", QFile::encodeName(m_scratch->filePath(QStringLiteral("log.txt"))));

    const WorkDirResult refused = GetTempDir();
    QVERIFY(!refused.ok());
    runCheck(Gtube());
    QCOMPARE(MessageBox::shownCount(), 1);
    QCOMPARE(MessageBox::lastText(), WorkDirFailureText(refused));
    QVERIFY(!QFile::exists(m_scratch->filePath(QStringLiteral("log.txt"))));
    verifyResultsEmpty();
}

void TestCheckPanel::brokenChecker_warnsAndLeavesTheResultsEmpty_data()
{
    QTest::addColumn<QString>("fake");
    QTest::addColumn<SpamCheckResult::Status>("status");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said"); // the checker's standard error, which the warning quotes

    QTest::newRow("no checker on the path")
        << QString() << SpamCheckResult::Status::NotFound << 0 << QString();
    QTest::newRow("a checker that exits with an error") << "fail" << SpamCheckResult::Status::ExitedWithError
                                                        << 3 << "fake checker: cannot read its configuration";
    QTest::newRow("a checker killed by a signal")
        << "crash" << SpamCheckResult::Status::Crashed << 0 << QString();
    QTest::newRow("a checker that says why, then is killed by a signal")
        << "crash-saying" << SpamCheckResult::Status::Crashed << 0 << "fake checker: Out of memory!";
    QTest::newRow("a checker that writes junk without a report section")
        << "garbage" << SpamCheckResult::Status::NoReportSection << 0 << QString();
}

// Never a score of 0 with a calm verdict for a check that did not run.
void TestCheckPanel::brokenChecker_warnsAndLeavesTheResultsEmpty()
{
    QFETCH(QString, fake);
    QFETCH(SpamCheckResult::Status, status);
    QFETCH(int, exitCode);
    QFETCH(QString, said);

    runCheck(Gtube());
    QVERIFY(list()->topLevelItemCount() > 0);
    useFakeChecker(fake);
    SpamCheckResult expected;
    expected.status = status;
    expected.exitCode = exitCode;
    expected.checkerSaid = said;
    expected.checkerPath = fake.isEmpty() ? QStringLiteral("spamassassin")
                                          : QStandardPaths::findExecutable(QStringLiteral("spamassassin"));

    runCheck(Gtube());
    QCOMPARE(MessageBox::shownCount(), 1);
    QVERIFY(!CheckerFailureText(expected).isEmpty());
    QCOMPARE(MessageBox::lastText(), CheckerFailureText(expected));
    // The checker's own words, under the text of the failure.
    QCOMPARE(MessageBox::lastText().endsWith(QStringLiteral("\n\n") + FillText(TextId::CheckerSaid, said)),
        !said.isEmpty());
    verifyResultsEmpty();
}

void TestCheckPanel::onlineOption_data()
{
    QTest::addColumn<Qt::CheckState>("online");
    QTest::addColumn<QByteArray>("arguments");

    QTest::newRow("clear: local tests only") << Qt::Unchecked << QByteArray("arguments: [-t -L]");
    QTest::newRow("checked: network tests allowed") << Qt::Checked << QByteArray("arguments: [-t]");
    QTest::newRow("greyed: network tests allowed") << Qt::PartiallyChecked << QByteArray("arguments: [-t]");
}

void TestCheckPanel::onlineOption()
{
    QFETCH(Qt::CheckState, online);
    QFETCH(QByteArray, arguments);

    setOptions(QString(), DefaultThresholds, Qt::Unchecked, online);
    useFakeChecker(QStringLiteral("args"));
    const QString copy = m_scratch->filePath(QStringLiteral("report-copy.txt"));
    qputenv("NORVALE_FAKE_COPY", QFile::encodeName(copy));
    runCheck(Gtube());
    const QByteArray report = ReadFile(copy);
    QVERIFY2(report.contains(arguments + '\n'), report.constData());
    QVERIFY(report.contains("LANGUAGE=C LC_ALL=C"));
}

void TestCheckPanel::twoQuickClicks_giveOneCheck()
{
    const QString log = m_scratch->filePath(QStringLiteral("log.txt"));
    useFakeChecker(QStringLiteral("log"));
    qputenv("NORVALE_FAKE_LOG", QFile::encodeName(log));
    fileName()->setText(Gtube());
    QSignalSpy finished(checkPanel(), &CheckPanel::checkFinished);
    clickCheckNow();
    clickCheckNow();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, CheckTimeout);
    QTest::qWait(500);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(ReadFile(log), QByteArray("-t -L\n-R\n"));
}

void TestCheckPanel::duringCheck_panelDisabledAndWaitCursor_resultsBeforeTheSecondRunEnds()
{
    QSignalSpy finished(checkPanel(), &CheckPanel::checkFinished);
    const QString gate = startHeldCheck("R");
    if (QTest::currentTestFailed())
        return;
    // The second run waits for the gate, yet the results are there.
    QTRY_VERIFY(list()->topLevelItemCount() > 0);
    QVERIFY(column(ReasonItem::RuleColumn).contains(QStringLiteral("GTUBE")));
    QCOMPARE(label("lblScore")->text(), QStringLiteral("1000"));
    QCOMPARE(label("lblGiudizio")->text(), VerdictText(5));
    QCOMPARE(label("lblProcess")->text(), QString());
    QVERIFY(checkPanel()->isChecking());
    QVERIFY(!panel()->isEnabled());
    QVERIFY(QApplication::overrideCursor());
    QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QCOMPARE(finished.count(), 0);

    QFile open(gate);
    QVERIFY(open.open(QIODevice::WriteOnly));
    open.close();
    QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, CheckTimeout);
    QVERIFY(panel()->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(label("lblScore")->text(), QStringLiteral("1000"));
}

void TestCheckPanel::closingDuringCheck_stopsTheChecker()
{
    QSignalSpy finished(checkPanel(), &CheckPanel::checkFinished);
    const QString gate = startHeldCheck("t");
    if (QTest::currentTestFailed())
        return;
    const qint64 pid = ReadFile(gate + QStringLiteral(".pid")).trimmed().toLongLong();
    QVERIFY(pid > 0);
    QCOMPARE(label("lblProcess")->text(), GetText(TextId::Checking));
    QVERIFY(!panel()->isEnabled());

    QVERIFY(m_window->close());
    QCOMPARE(finished.count(), 1);
    QVERIFY(!checkPanel()->isChecking());
    QVERIFY(panel()->isEnabled());
    QVERIFY(!QApplication::overrideCursor());
    QTRY_VERIFY(!ProcessExists(pid));
    QCOMPARE(MessageBox::shownCount(), 0);
    verifyResultsEmpty();
}

void TestCheckPanel::fileDialog_setsTheBoxOrKeepsItWhenCancelled()
{
    runCheck(Gtube());
    QVERIFY(list()->topLevelItemCount() > 0);
    auto *chooser = control<QWidget>(QStringLiteral("cmdFileName"));

    FileDialog::setNextFileName(QString());
    QTest::mouseClick(chooser, Qt::LeftButton);
    QCOMPARE(fileName()->text(), Gtube());
    QVERIFY(list()->topLevelItemCount() > 0);
    QCOMPARE(label("lblGiudizio")->text(), VerdictText(5));

    FileDialog::setNextFileName(Newsletter());
    QTest::mouseClick(chooser, Qt::LeftButton);
    QCOMPARE(fileName()->text(), Newsletter());
    verifyResultsEmpty();
}

void TestCheckPanel::editingTheBox_clearsTheResults()
{
    runCheck(Gtube());
    QVERIFY(list()->topLevelItemCount() > 0);
    QTest::keyClick(fileName(), Qt::Key_End);
    QTest::keyClick(fileName(), Qt::Key_Space);
    verifyResultsEmpty();
}

void TestCheckPanel::droppedFile_becomesTheFileName()
{
    auto drop = [this](const QList<QUrl> &urls, QWidget *target) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint centre = target->rect().center();
        QDragEnterEvent enter(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(centre, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &dropped);
        return dropped.isAccepted();
    };

    QVERIFY(m_window->acceptDrops());
    QVERIFY(drop({ QUrl::fromLocalFile(Gtube()) }, m_window.get()));
    QCOMPARE(fileName()->text(), Gtube());
    QVERIFY(drop({ QUrl::fromLocalFile(Newsletter()) }, fileName()));
    QCOMPARE(fileName()->text(), Newsletter());

    QVERIFY(!drop({ QUrl(QStringLiteral("https://example.org/a.eml")) }, m_window.get()));
    QVERIFY(!drop({ QUrl::fromLocalFile(Gtube()), QUrl::fromLocalFile(Newsletter()) }, m_window.get()));
    QCOMPARE(fileName()->text(), Newsletter());

    checkPanel()->setFileName(Gtube());
    QCOMPARE(fileName()->text(), Gtube());
}

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
    InitialiseApplication(QStringLiteral(NORVALE_APP_DIR "/ide/ide.txt"));
    TestCheckPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_checkpanel.moc"

// The report button opens the full report of the results on screen; a second
// check of the same file shows what changed; the evidence follows on demand.
void TestCheckPanel::report_showsGuideChangeAndEvidence()
{
    auto *button = control<ButtonPlus>(QStringLiteral("cmdReport"));
    setOptions(QString());
    fileName()->setText(QString());
    QVERIFY(!button->isEnabled());
    runCheck(Newsletter());
    QVERIFY(button->isEnabled());
    CheckReports *reports = checkPanel()->reports();
    QVERIFY(reports->hasReport());

    setOptions(QStringLiteral("HTML_MESSAGE:1.5"));
    runCheck(Newsletter());
    QVERIFY(reports->current()->change);
    const QList<RuleChange> rules = reports->current()->change->rules;
    QCOMPARE(rules.size(), 1);
    QCOMPARE(rules[0].ruleName, QStringLiteral("HTML_MESSAGE"));
    QCOMPARE(rules[0].delta(), 1.5f);
    QVERIFY(button->toolTip().contains(QStringLiteral("(+1.5)")));

    QTest::mouseClick(button, Qt::LeftButton);
    ReportView *view = reports->view();
    QVERIFY(view && view->isVisible());
    QVERIFY(view->html().contains(HtmlText(Guide().find(u"NO_RECEIVED")->meaning)));
    QVERIFY(
        view->html().contains(HtmlText(GetText(ReportText::EvidencePending)))); // the evidence is on its way
    QTRY_VERIFY_WITH_TIMEOUT(
        reports->current()->evidenceState != FullReport::EvidenceState::Pending, CheckTimeout);
    QVERIFY2(reports->current()->evidenceState == FullReport::EvidenceState::Ready,
        qPrintable(reports->current()->evidenceError));
    QVERIFY(!view->html().contains(HtmlText(GetText(ReportText::EvidencePending))));

    // Saved as HTML and as PDF.
    QTemporaryDir dir;
    QVERIFY(view->saveHtml(dir.filePath(QStringLiteral("r.html"))).isEmpty());
    QCOMPARE(ReadFile(dir.filePath(QStringLiteral("r.html"))), view->html().toUtf8());
    QVERIFY(view->savePdf(dir.filePath(QStringLiteral("r.pdf"))).isEmpty());
    QVERIFY(ReadFile(dir.filePath(QStringLiteral("r.pdf"))).startsWith("%PDF"));
    QVERIFY(!view->saveHtml(QStringLiteral("/nonexistent/r.html")).isEmpty());

    // Editing the file name clears the results and the report with them.
    fileName()->setText(Newsletter() + u' ');
    QVERIFY(!reports->hasReport());
    QVERIFY(!button->isEnabled());
    QVERIFY(!view->isVisible());
}
