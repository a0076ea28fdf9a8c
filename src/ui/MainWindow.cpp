#include "MainWindow.h"

#include "ApplicationFolder.h"
#include "Artwork.h"
#include "ButtonPlus.h"
#include "CheckPanel.h"
#include "Desktop.h"
#include "FormTexts.h"
#include "Logging.h"
#include "MessageBox.h"
#include "PicturePanel.h"
#include "ReadinessLine.h"
#include "ReadinessTexts.h"
#include "ReportTexts.h"
#include "ResultsStrip.h"
#include "RuleScoreList.h"
#include "Settings.h"
#include "SettingsChanges.h"
#include "SpamdPool.h"
#include "Startup.h"
#include "TextCatalogue.h"
#include "TextIds.h"
#include "ThresholdBox.h"
#include "Thresholds.h"
#include "Twips.h"
#include "UserGrid.h"
#include "WarmChecker.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QStackedWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>

#include <algorithm>
#include <utility>

namespace norvale {

namespace {

// The desktop's sans-serif at a point size.
QFont Font(qreal pointSize, bool bold = false)
{
    QFont font = QApplication::font();
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

void SetTextColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::Text, colour);
    widget->setPalette(palette);
}

void SetBackColour(QWidget *widget, const QColor &colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    palette.setColor(QPalette::Base, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

QString Placeholder(int textId)
{
    return u'#' + QString::number(textId);
}

QLabel *MakeLabel(QWidget *parent, const QString &name, QRect twips, const QString &caption)
{
    auto *label = new QLabel(caption, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    SetTwipsGeometry(label, twips.x(), twips.y(), twips.width(), twips.height());
    return label;
}

ButtonPlus *MakeButton(QWidget *parent, const QString &name, QRect twips, const QString &caption,
    uint backColour, uint textColour)
{
    auto *button = new ButtonPlus(parent);
    button->setObjectName(name);
    button->setText(caption);
    button->setBackColor(ColourFromBgr(backColour));
    button->setTextColor(ColourFromBgr(textColour));
    SetTwipsGeometry(button, twips.x(), twips.y(), twips.width(), twips.height());
    return button;
}

// The check-box state as the settings store it: 0 off, 1 on, 2 greyed.
int CheckValue(const QCheckBox *box)
{
    switch (box->checkState()) {
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    default:
        return 0;
    }
}

// The greyed state comes only from the settings; the user's clicks toggle
// between on and off.
void SetCheckValue(QCheckBox *box, int value)
{
    if (value == 2) {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
    } else {
        box->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
        box->setTristate(false);
    }
}

QCheckBox *MakeCheckBox(QWidget *parent, const QString &name, int top)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(name);
    // Transparent over the panel's picture; the panel colour the box carries
    // would show as a patch on the light card.
    QPalette palette = box->palette();
    palette.setColor(QPalette::Window, ColourFromBgr(0xD6B594));
    box->setPalette(palette);
    SetTwipsGeometry(box, 300, top, 195, 255);
    // Wide enough for the style's indicator, which would otherwise be cut off.
    box->resize(std::max(box->width(), box->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, box)),
        box->height());
    QObject::connect(box, &QCheckBox::stateChanged, box, [box](int state) {
        if (state != Qt::PartiallyChecked)
            box->setTristate(false);
    });
    return box;
}

constexpr uint PanelColour = 0xD6B594;
constexpr uint TabBackColour = 0xDFC5AA;
constexpr uint White = 0xFFFFFF;
constexpr uint LightBlue = 0xE8D7C5;
constexpr uint BrandBlue = 0xBA8249;
constexpr uint CheckNowTextColour = 0x808080;
constexpr uint CheckNowHoverTextColour = 0x90B090;

constexpr int StartupMilliseconds = 5000;
constexpr int CheckDelayMilliseconds = 100;

const QString SiteScheme = QStringLiteral("http://");

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("frmCheck"));
    setWindowTitle(QStringLiteral("Norvale"));
    // The window is drawn from pictures, so it keeps the light palette they were
    // drawn for whatever the desktop's colour scheme.
    setPalette(style()->standardPalette());
    setFont(Font(8.25));

    m_panels = new QStackedWidget(this);
    m_panels->setObjectName(QStringLiteral("picCheck"));
    m_panels->addWidget(buildCheckPage());
    m_panels->addWidget(buildOptionsPage());
    m_panels->addWidget(buildHelpPage());
    m_panels->addWidget(buildStartupPage());

    auto *checkTimer = new QTimer(this);
    m_controls.timer = checkTimer;
    checkTimer->setObjectName(QStringLiteral("Timer1"));
    checkTimer->setInterval(CheckDelayMilliseconds);
    checkTimer->setSingleShot(true);

    m_startupTimer = new QTimer(this);
    m_startupTimer->setObjectName(QStringLiteral("Timer2"));
    m_startupTimer->setInterval(StartupMilliseconds);
    m_startupTimer->setSingleShot(true);
    connect(m_startupTimer, &QTimer::timeout, this, &MainWindow::endStartup);

    setUpWindow();

    m_checkPanel = new CheckPanel(this, m_controls);
    m_checkPanel->setRuleScoreSource([this] { return currentSettings().rules; });
    m_checkPanel->setCheckOnSave(m_checkOnSave->isChecked());
    connect(m_checkOnSave, &QCheckBox::toggled, m_checkPanel, &CheckPanel::setCheckOnSave);
    connect(m_warmCheckerBox, &QCheckBox::toggled, this, &MainWindow::chooseChecker);
    connect(m_controls.online, &QCheckBox::stateChanged, this, &MainWindow::chooseChecker);
    m_startupTimer->start();
}

MainWindow::~MainWindow()
{
    // The check that uses the checker ends before the checker does, and the
    // panel, which borrows this window's controls, goes before they do.
    m_checkPanel->stop();
    delete std::exchange(m_checkPanel, nullptr);
    m_warm.reset();
}

void MainWindow::startWarmChecker()
{
    m_warmAllowed = true;
    chooseChecker();
}

// The checker of the next checks: the team's daemons when the settings name
// them, else the checker kept running (started, or replaced when the online
// setting changed), else the one started afresh for every check.
void MainWindow::chooseChecker()
{
    if (m_checkPanel->isChecking()) {
        // The running check keeps its checker; the choice follows it.
        connect(m_checkPanel, &CheckPanel::checkFinished, this, &MainWindow::chooseChecker,
            Qt::ConnectionType(Qt::SingleShotConnection | Qt::UniqueConnection));
        return;
    }
    if (!m_spamdPool.isEmpty()) {
        if (const std::optional<SpamdPool> pool = SpamdPool::parse(m_spamdPool)) {
            m_warm.reset();
            const QString client = WarmCheckerPaths::resolve().client;
            m_checkPanel->setCheckerFactory(
                [pool = *pool, client] { return new SpamdPoolJob(pool, client); });
            qCInfo(lcUi).noquote() << "checker: the daemons" << pool->describe() << "through" << client;
            return;
        }
        qCWarning(lcWarmChecker) << "the settings' checker daemons are not HOST:PORT entries, ignored:"
                                 << m_spamdPool;
    }
    if (!m_warmAllowed || !m_warmCheckerBox->isChecked()) {
        m_warm.reset();
        m_checkPanel->setCheckerFactory({});
        qCInfo(lcUi) << "checker: started afresh for every check";
        return;
    }
    if (!m_warm)
        m_warm = std::make_unique<WarmChecker>();
    m_warm->start(m_controls.online->checkState() != Qt::Unchecked);
    m_checkPanel->setCheckerFactory([warm = m_warm.get()] { return new WarmCheckJob(warm); });
    qCInfo(lcUi) << "checker: kept running, cold until it answers";
}

QWidget *MainWindow::makePage(int index)
{
    // Each panel is 7935 x 5355 twips, wider and taller than the window, which
    // shows its top-left 500 x 330 pixels: the size of its picture.
    auto *page = new PicturePanel(ColourFromBgr(PanelColour), PanelPicture(index));
    page->setObjectName(QStringLiteral("picCheck_%1").arg(index));
    return page;
}

ButtonPlus *MainWindow::makeBanner(QWidget *page, int index, int width)
{
    ButtonPlus *banner = MakeButton(page, QStringLiteral("cmdFilterCheck_%1").arg(index),
        QRect(120, 60, width, 375), QString(), PanelColour, White);
    banner->setPicture(BannerPicture(false));
    connect(banner, &ButtonPlus::entered, banner, [banner] { banner->setPicture(BannerPicture(true)); });
    connect(banner, &ButtonPlus::left, banner, [banner] { banner->setPicture(BannerPicture(false)); });
    connect(banner, &ButtonPlus::clicked, this, [] { OpenDocument(SiteAddress(), QString()); });
    return banner;
}

ButtonPlus *MainWindow::makeTab(QWidget *page, const QString &name, int left, int textId, int target)
{
    ButtonPlus *tab
        = MakeButton(page, name, QRect(left, 240, 915, 255), Placeholder(textId), TabBackColour, White);
    if (target == HelpPage)
        connect(tab, &ButtonPlus::clicked, this, &MainWindow::showHelp);
    else
        connect(tab, &ButtonPlus::clicked, this, [this, target] { showPanel(target); });
    return tab;
}

QLabel *MainWindow::makeTabLabel(QWidget *page, const QString &name, int left, int textId)
{
    QLabel *label = MakeLabel(page, name, QRect(left, 285, 915, 195), Placeholder(textId));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    return label;
}

QWidget *MainWindow::buildCheckPage()
{
    QWidget *page = makePage(CheckPanelPage);
    m_controls.panel = page;
    makeBanner(page, 0, 1950);
    makeTabLabel(page, QStringLiteral("Label3"), 3720, TextId::CheckTab);
    makeTab(page, QStringLiteral("cmdOptions_0"), 4860, TextId::OptionsTab, OptionsPage);
    makeTab(page, QStringLiteral("cmdHelp_0"), 5940, TextId::HelpTab, HelpPage);
    // The full report: in the header's free space between the banner and the
    // tabs, dressed like a tab; enabled while a result is on screen.
    ButtonPlus *report = MakeButton(page, QStringLiteral("cmdReport"), QRect(2190, 240, 1410, 255),
        Placeholder(ReportText::ReportButton), TabBackColour, White);
    report->setEnabled(false);
    m_controls.reportButton = report;

    MakeLabel(page, QStringLiteral("lblURL"), QRect(270, 840, 6915, 195), Placeholder(TextId::FileNameLabel));

    auto *fileName = new QLineEdit(page);
    fileName->setObjectName(QStringLiteral("txtFileName"));
    m_controls.fileName = fileName;
    SetBackColour(fileName, ColourFromBgr(White));
    SetTextColour(fileName, ColourFromBgr(0x404040));
    SetTwipsGeometry(fileName, 270, 1095, 6420, 255);

    ButtonPlus *fileButton = MakeButton(
        page, QStringLiteral("cmdFileName"), QRect(6855, 1065, 375, 315), QString(), 0xE0E0E0, 0x000000);
    fileButton->setPicture(FileButtonPicture());
    fileButton->setPictureLayout(ButtonPlus::PictureLayout::Icon);
    fileButton->setToolTip(Placeholder(TextId::FileButtonTip));
    m_controls.fileButton = fileButton;

    m_controls.checkNow = MakeButton(page, QStringLiteral("cmdCheckNow"), QRect(300, 1560, 2235, 435),
        Placeholder(TextId::CheckNow), LightBlue, CheckNowTextColour);
    m_controls.checkNow->setFont(Font(12, true));
    m_controls.checkNow->setPicture(CheckNowPicture(false));
    connect(m_controls.checkNow, &ButtonPlus::entered, this, [this] {
        m_controls.checkNow->setPicture(CheckNowPicture(true));
        m_controls.checkNow->setTextColor(ColourFromBgr(CheckNowHoverTextColour));
    });
    connect(m_controls.checkNow, &ButtonPlus::left, this, [this] {
        m_controls.checkNow->setPicture(CheckNowPicture(false));
        m_controls.checkNow->setTextColor(ColourFromBgr(CheckNowTextColour));
    });

    MakeLabel(page, QStringLiteral("Label1"), QRect(2640, 1680, 915, 195), Placeholder(TextId::ScoreLabel));

    auto *results = new ResultsStrip(page);
    results->setObjectName(QStringLiteral("picResults"));
    m_controls.results = results;
    results->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    results->setPixmap(BarPicture(0));
    SetTwipsGeometry(results, 3615, 1650, 3615, 285);
    m_controls.score = MakeLabel(results, QStringLiteral("lblScore"), QRect(60, -15, 1335, 375), QString());
    m_controls.process = MakeLabel(results, QStringLiteral("lblProcess"), QRect(0, 30, 3585, 375), QString());
    m_controls.verdict
        = MakeLabel(results, QStringLiteral("lblGiudizio"), QRect(2220, 30, 1335, 315), QString());
    for (QLabel *label : { m_controls.score, m_controls.process, m_controls.verdict })
        ResultsStrip::keepColoursWhenDisabled(label);

    // The sending readiness summary takes the free band above the results
    // strip, right of cmdCheckNow and below the file name row, so it covers
    // no other control.
    auto *readiness = new ReadinessLine(page);
    readiness->setObjectName(QStringLiteral("lblReadiness"));
    m_controls.readinessLine = readiness;
    readiness->setToolTip(Placeholder(ReadinessText::SummaryTip));
    SetTwipsGeometry(readiness, 3615, 1395, 3615, 240);

    MakeLabel(page, QStringLiteral("Label2"), QRect(300, 2100, 6915, 195), Placeholder(TextId::ReasonsLabel));

    auto *reasons = new QWidget(page);
    reasons->setObjectName(QStringLiteral("picReasons"));
    SetBackColour(reasons, ColourFromBgr(White));
    SetTwipsGeometry(reasons, 270, 2340, 6945, 2355);
    auto *list = new QTreeWidget(reasons);
    list->setObjectName(QStringLiteral("lvwResults"));
    m_controls.list = list;
    list->setColumnCount(4);
    list->setRootIsDecorated(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->header()->setStretchLastSection(false);
    SetTwipsGeometry(list, 0, 0, 6945, 2355);
    return page;
}

QWidget *MainWindow::buildOptionsPage()
{
    QWidget *page = makePage(OptionsPage);
    makeBanner(page, 1, 1950);
    makeTab(page, QStringLiteral("cmdCheck_0"), 3720, TextId::CheckTab, CheckPanelPage);
    makeTabLabel(page, QStringLiteral("Label7"), 4860, TextId::OptionsTab);
    makeTab(page, QStringLiteral("cmdHelp_1"), 5940, TextId::HelpTab, HelpPage);

    MakeLabel(
        page, QStringLiteral("Label6"), QRect(300, 840, 3075, 195), Placeholder(TextId::ThresholdsLabel));
    for (int i = 0; i < int(m_controls.thresholds.size()); ++i) {
        const int top = 1200 + 300 * i;
        auto *box = new ThresholdBox(page);
        box->setObjectName(QStringLiteral("txtScore_%1").arg(i));
        SetBackColour(box, ColourFromBgr(White));
        SetTextColour(box, ColourFromBgr(0x404040));
        SetTwipsGeometry(box, 300, top, 435, 255);
        m_controls.thresholds[i] = box;
        QLabel *label = MakeLabel(page, QStringLiteral("Label8_%1").arg(i), QRect(780, top, 2475, 195),
            Placeholder(TextId::FirstVerdict + i));
        SetTextColour(label, Qt::black);
    }

    MakeLabel(
        page, QStringLiteral("Label5"), QRect(3600, 840, 3675, 195), Placeholder(TextId::RuleScoresLabel));
    m_controls.grid = new UserGrid(page);
    m_controls.grid->setObjectName(QStringLiteral("UserGrid1"));
    SetTwipsGeometry(m_controls.grid, 3600, 1080, 3585, 3615);

    m_controls.hideZero = MakeCheckBox(page, QStringLiteral("chkHideZero"), 3960);
    MakeLabel(
        page, QStringLiteral("Label10"), QRect(540, 4020, 2895, 195), Placeholder(TextId::HideZeroLabel));
    m_controls.online = MakeCheckBox(page, QStringLiteral("chkOnlineChecks"), 4380);
    MakeLabel(
        page, QStringLiteral("Label9"), QRect(540, 4440, 2895, 195), Placeholder(TextId::OnlineChecksLabel));
    // Two more options in the free space between the thresholds and the two above.
    m_warmCheckerBox = MakeCheckBox(page, QStringLiteral("chkWarmChecker"), 3120);
    MakeLabel(page, QStringLiteral("lblWarmChecker"), QRect(540, 3180, 2895, 195),
        Placeholder(TextId::WarmCheckerLabel));
    m_checkOnSave = MakeCheckBox(page, QStringLiteral("chkCheckOnSave"), 3540);
    MakeLabel(page, QStringLiteral("lblCheckOnSave"), QRect(540, 3600, 2895, 195),
        Placeholder(TextId::CheckOnSaveLabel));
    return page;
}

QWidget *MainWindow::buildHelpPage()
{
    QWidget *page = makePage(HelpPage);
    makeBanner(page, 2, 1955);
    makeTab(page, QStringLiteral("cmdCheck_1"), 3720, TextId::CheckTab, CheckPanelPage);
    makeTab(page, QStringLiteral("cmdOptions_1"), 4860, TextId::OptionsTab, OptionsPage);
    makeTabLabel(page, QStringLiteral("Label4"), 5940, TextId::HelpTab);

    // The browser reaches 2 pixels beyond its white container on every side,
    // so its frame is cut off.
    auto *frame = new QWidget(page);
    frame->setObjectName(QStringLiteral("picBrowser"));
    SetBackColour(frame, ColourFromBgr(White));
    SetTwipsGeometry(frame, 255, 720, 6945, 3975);
    m_browser = new QTextBrowser(frame);
    m_browser->setObjectName(QStringLiteral("WebBrowser1"));
    m_browser->setOpenExternalLinks(true);
    SetTwipsGeometry(m_browser, -30, -30, 7005, 4035);
    return page;
}

QWidget *MainWindow::buildStartupPage()
{
    QWidget *page = makePage(StartupPage);
    makeBanner(page, 3, 1955);

    m_about = MakeLabel(page, QStringLiteral("lblAbout_0"), QRect(240, 900, 7035, 915), QString());
    m_about->setFont(Font(9.75));

    m_site = MakeButton(
        page, QStringLiteral("cmdSite"), QRect(240, 1650, 2205, 315), QString(), LightBlue, BrandBlue);
    m_site->setFont(Font(9.75));
    m_site->setPicture(SitePicture());
    m_site->setPictureLayout(ButtonPlus::PictureLayout::Icon);
    connect(m_site, &ButtonPlus::clicked, this, &MainWindow::openSiteCaption);

    auto *bar = new QLabel(page);
    bar->setObjectName(QStringLiteral("imgBar_4"));
    bar->setPixmap(StartupBarPicture());
    SetTwipsGeometry(bar, 3615, 1650, 3615, 285);

    QLabel *text = MakeLabel(
        page, QStringLiteral("lblAbout_1"), QRect(240, 2400, 7035, 2175), Placeholder(TextId::About));
    SetTextColour(text, ColourFromBgr(BrandBlue));
    return page;
}

void MainWindow::setUpWindow()
{
    ApplyFormTexts(this);

    QTreeWidget *list = m_controls.list;
    static constexpr std::array<int, 4> ColumnTwips { 429, 400, 3100, 1600 };
    QStringList headers;
    for (int k = 0; k < int(ColumnTwips.size()); ++k)
        headers.append(GetText(TextId::PointsColumn + k));
    list->setHeaderLabels(headers);
    for (int k = 0; k < int(ColumnTwips.size()); ++k)
        list->setColumnWidth(k, Pixels(ColumnTwips[k]));

    m_panels->setGeometry(0, 0, Pixels(7935), Pixels(5355));
    m_panels->setCurrentIndex(StartupPage);
    m_browser->clear();
    // The outer size 7590 x 5430 twips held a client area of 500 x 330 pixels,
    // the size of the panel pictures; here the frame lies outside the window.
    setFixedSize(500, 330);

    m_controls.grid->setHeader1Text(GetText(TextId::RuleColumn));
    m_controls.grid->setHeader2Text(GetText(TextId::PointsColumn));

    m_about->setText(QStringLiteral("Norvale ") + ApplicationVersion() + u'\n' + GetText(TextId::Notice));
    m_site->setText(SiteAddress().remove(SiteScheme));
    // The desktop's sans-serif runs wider than the one the layout was drawn
    // for: the site button grows to show its whole address.
    m_site->resize(std::max(m_site->width(), m_site->sizeHint().width()), m_site->height());

    setWindowIcon(WindowIcon());

    LoadConfiguration();
}

int MainWindow::currentPanel() const
{
    return m_panels->currentIndex();
}

void MainWindow::showPanel(int index)
{
    m_panels->setCurrentIndex(index);
    if (index == OptionsPage)
        tellAboutRulesPastTheGrid();
}

// Once per window, when the grid first shows: the settings hold rule scores
// that it has no row for. They are kept, and count in every check.
void MainWindow::tellAboutRulesPastTheGrid()
{
    if (m_toldAboutRulesPastTheGrid || m_rulesPastTheGrid.isEmpty())
        return;
    m_toldAboutRulesPastTheGrid = true;
    const qsizetype count = m_rulesPastTheGrid.count(u'|') + 1;
    MessageBox::information(this,
        FillText(TextId::RulesPastTheGrid, QString::number(count), QString::number(UserGrid::RowCount)));
}

// The help page is read again on every visit, so an edited page shows at once.
void MainWindow::showHelp()
{
    const QUrl page = QUrl::fromLocalFile(LocalisedApplicationFile(u"/ide/help.htm"));
    if (m_browser->source() == page)
        m_browser->reload();
    else
        m_browser->setSource(page);
    showPanel(HelpPage);
}

void MainWindow::endStartup()
{
    m_startupTimer->stop();
    showPanel(CheckPanelPage);
}

void MainWindow::openSiteCaption()
{
    const QString caption = m_site->text();
    OpenDocument(caption.contains(SiteScheme) ? caption : SiteScheme + caption, QString());
}

QString MainWindow::GetThresholds() const
{
    QStringList boxes;
    for (const ThresholdBox *box : m_controls.thresholds)
        boxes.append(box->text());
    return JoinThresholds(boxes);
}

void MainWindow::SetThresholds(const QString &text)
{
    const QStringList boxes = SplitThresholds(text);
    for (int i = 0; i < int(m_controls.thresholds.size()); ++i)
        m_controls.thresholds[i]->setText(boxes.value(i));
}

Settings MainWindow::currentSettings() const
{
    Settings settings { RuleScoreList::Join(m_controls.grid->configuration(), m_rulesPastTheGrid),
        GetThresholds(), CheckValue(m_controls.hideZero), CheckValue(m_controls.online) };
    settings.warmChecker = m_warmCheckerBox->isChecked() ? 1 : 0;
    settings.checkOnSave = m_checkOnSave->isChecked() ? 1 : 0;
    settings.spamdPool = m_spamdPool;
    return settings;
}

QString MainWindow::GetConfiguration() const
{
    return FormatSettingsString(currentSettings());
}

void MainWindow::SetConfiguration(const QString &text)
{
    applySettings(ParseSettingsString(text));
}

void MainWindow::applySettings(const Settings &settings)
{
    m_controls.grid->setConfiguration(settings.rules);
    m_rulesPastTheGrid = RuleScoreList::EntriesPastTheGrid(settings.rules);
    SetThresholds(settings.thresholds);
    SetCheckValue(m_controls.hideZero, settings.hideZero);
    SetCheckValue(m_controls.online, settings.onlineChecks);
    m_warmCheckerBox->setChecked(settings.warmChecker != 0);
    m_checkOnSave->setChecked(settings.checkOnSave != 0);
    if (m_spamdPool != settings.spamdPool) {
        m_spamdPool = settings.spamdPool;
        if (m_checkPanel)
            chooseChecker();
    }
}

bool MainWindow::SaveConfiguration()
{
    const QString path = SettingsFilePath();
    const Settings current = currentSettings();
    const ChangesSaveOutcome outcome = SaveSettingsChanges(*m_saved, current, path);
    switch (outcome.status) {
    case ChangesSaveOutcome::Status::Saved:
        *m_saved = current;
        return true;
    case ChangesSaveOutcome::Status::NotRead:
        if (current == *m_saved)
            return true; // nothing of this window's is lost
        MessageBox::warning(this, FillText(TextId::SettingsNotRead, QDir::toNativeSeparators(path)));
        return false;
    case ChangesSaveOutcome::Status::Failed:
        break;
    }
    MessageBox::warning(
        this, FillText(TextId::SettingsNotSaved, QDir::toNativeSeparators(path), outcome.reason));
    return false;
}

void MainWindow::LoadConfiguration()
{
    applySettings(LoadSettings(SettingsFilePath()));
    m_saved = std::make_unique<Settings>(currentSettings());
}

// What is still being typed counts as typed to the end: the cell or box is
// normalised as if it had lost the focus, so raw text ("2&hidezero=1") never
// reaches the settings line.
void MainWindow::finishEditing()
{
    m_controls.grid->finishEditing();
    for (ThresholdBox *box : m_controls.thresholds)
        box->normalise();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    m_checkPanel->stop();
    m_warm.reset();
    finishEditing();
    SaveConfiguration();
    event->accept();
}

} // namespace norvale
