#pragma once

#include <QObject>
#include <QString>

class QWidget;

namespace norvale {

// The check panel's behaviour: choosing the message file, running a check and
// showing its results. It works on the controls of the main window, found by
// their object names (txtFileName, cmdFileName, cmdCheckNow, picCheck_0,
// picResults, lblScore, lblProcess, lblGiudizio, lvwResults, chkHideZero,
// chkOnlineChecks, UserGrid1, txtScore_0 to txtScore_4), so the window lays
// them out and this class gives them life.
class CheckPanel : public QObject
{
    Q_OBJECT

public:
    // `window` is the main window holding the controls; it becomes the parent.
    explicit CheckPanel(QWidget *window);

    // Puts a path into the file name box (from the command line or a drop).
    void setFileName(const QString &path);
    // True while a check runs (from the click until the checker's second run has ended).
    bool isChecking() const;
    // Stops a running check at once (the window is closing); nothing when idle.
    void stop();

signals:
    void checkFinished();
};

} // namespace norvale
