#pragma once

#include "CheckPanel.h"

#include <QWidget>

#include <memory>

class QCheckBox;
class QLabel;
class QStackedWidget;
class QTextBrowser;
class QTimer;

namespace norvale {

class ButtonPlus;
class WarmChecker;
struct Settings;

// frmCheck, Norvale's only window: four stacked panels (check, options, help
// and the start-up panel shown for its first five seconds), each control named
// as the check panel and the tests find it. It lays out and dresses every
// control; the check panel's behaviour lives in CheckPanel, created last.
//
// Settings: loaded from SettingsFilePath() while the window is built, saved
// when it closes; in between they live only in the controls, apart from rule
// scores past the grid's 50 rows, which the window keeps unseen (and says so
// once, when the options panel first shows). A save writes only what changed
// in this window since it loaded, over the file's content at that moment, so
// two windows do not undo each other's changes; a file that could not be read
// is never overwritten. A save that fails is shown to the user, and the old
// file stays as it was.
class MainWindow : public QWidget
{
    Q_OBJECT

public:
    // Pages of the panel stack, picCheck_0 to picCheck_3.
    enum Panel
    {
        CheckPanelPage = 0,
        OptionsPage = 1,
        HelpPage = 2,
        StartupPage = 3
    };

    // Needs InitialiseApplication to have run (texts, site address).
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    CheckPanel *checkPanel() const { return m_checkPanel; }
    // Lets this window keep the checker running between its checks (see
    // WarmChecker), as the settings say: started now, while the start-up panel
    // shows, so that it answers by the first check. Until it answers, and
    // wherever it cannot run, checks start the checker afresh as before.
    void startWarmChecker();
    // The running checker of this window; null before startWarmChecker() or
    // while it is switched off.
    WarmChecker *warmChecker() const { return m_warm.get(); }
    // The page on show, 0 to 3.
    int currentPanel() const;

    // The settings string of the controls: rules (with those past the grid's
    // rows), thresholds and the two options.
    QString GetConfiguration() const;
    // Resets the four settings (empty grid, empty thresholds, options off),
    // then applies the pairs of a settings string.
    void SetConfiguration(const QString &text);
    // Writes the settings this window changed since it loaded (or last saved)
    // them into the settings file, atomically, over the file's current content.
    // On failure the user is told why (TextId::SettingsNotSaved) and false is
    // returned; changes that cannot be saved because the file could not be read
    // are told too (TextId::SettingsNotRead), and the file is left alone.
    bool SaveConfiguration();
    // Applies the settings file; a missing, unreadable or empty file gives the
    // default thresholds. Runs while the window is built, when the grid is
    // still empty and both options off.
    void LoadConfiguration();

    // The thresholds text of the five boxes ("1|2|4|5|8"; trailing empty boxes dropped).
    QString GetThresholds() const;
    // Empties the five boxes, then fills them from a thresholds text, normalised.
    void SetThresholds(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildCheckPage();
    QWidget *buildOptionsPage();
    QWidget *buildHelpPage();
    QWidget *buildStartupPage();
    QWidget *makePage(int index);
    ButtonPlus *makeBanner(QWidget *page, int index, int width);
    ButtonPlus *makeTab(QWidget *page, const QString &name, int left, int textId, int target);
    QLabel *makeTabLabel(QWidget *page, const QString &name, int left, int textId);
    void setUpWindow();
    void showPanel(int index);
    void showHelp();
    void endStartup();
    void openSiteCaption();
    Settings currentSettings() const;
    void applySettings(const Settings &settings);
    void finishEditing();
    void tellAboutRulesPastTheGrid();
    void chooseChecker();

    QStackedWidget *m_panels = nullptr;
    QTextBrowser *m_browser = nullptr;
    // The controls the check panel works on; it borrows them. Some are the
    // window's settings too (the grid, the thresholds, the two options).
    CheckPanelControls m_controls;
    QCheckBox *m_warmCheckerBox = nullptr;
    QCheckBox *m_checkOnSave = nullptr;
    ButtonPlus *m_site = nullptr;
    QLabel *m_about = nullptr;
    QTimer *m_startupTimer = nullptr;
    CheckPanel *m_checkPanel = nullptr;
    // The settings as loaded or last saved; a save applies what differs from them.
    std::unique_ptr<Settings> m_saved;
    // Normalised rule score entries that the grid has no row for.
    QString m_rulesPastTheGrid;
    bool m_toldAboutRulesPastTheGrid = false;
    // The team's checker daemons from the settings; no control shows them.
    QString m_spamdPool;
    bool m_warmAllowed = false; // startWarmChecker() was called
    std::unique_ptr<WarmChecker> m_warm;
};

} // namespace norvale
