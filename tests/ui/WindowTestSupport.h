#pragma once

// Shared set-up of the window tests: a private home and configuration folder,
// the shipped catalogue, message boxes that record instead of showing.

#include "ButtonPlus.h"
#include "MainWindow.h"
#include "MessageBox.h"
#include "Settings.h"
#include "Startup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"
#include <QTimer>

#include <memory>

namespace norvale::test {

inline const QString ShippedCatalogue = QStringLiteral(NORVALE_APP_DIR "/ide/ide.txt");

// Points HOME at a fresh folder and turns on the standard paths' test mode, so
// the settings file lies below that folder, never in the user's home.
inline std::unique_ptr<QTemporaryDir> UsePrivateHome()
{
    auto home = std::make_unique<QTemporaryDir>();
    qputenv("HOME", QFile::encodeName(home->path()));
    QStandardPaths::setTestModeEnabled(true);
    return home;
}

inline void RemoveSettingsFile()
{
    QFile::remove(SettingsFilePath());
    QDir(QFileInfo(SettingsFilePath()).absolutePath()).removeRecursively();
}

inline bool WriteSettingsFile(const QByteArray &content)
{
    const QString path = SettingsFilePath();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

template <typename T> T *Find(const QWidget &window, const QString &name)
{
    return window.findChild<T *>(name);
}

// Lets the start-up panel end now instead of after five seconds.
inline void EndStartup(MainWindow &window)
{
    auto *timer = window.findChild<QTimer *>(QStringLiteral("Timer2"));
    timer->setInterval(0);
    QTRY_COMPARE(window.currentPanel(), int(MainWindow::CheckPanelPage));
}

// A shown, active window on its options panel, reached by a click on its tab.
inline void ShowOptions(MainWindow &window)
{
    window.show();
    QApplication::setActiveWindow(&window);
    QVERIFY(QTest::qWaitForWindowActive(&window));
    EndStartup(window);
    QTest::mouseClick(Find<ButtonPlus>(window, QStringLiteral("cmdOptions_0")), Qt::LeftButton);
    QCOMPARE(window.currentPanel(), int(MainWindow::OptionsPage));
}

} // namespace norvale::test
