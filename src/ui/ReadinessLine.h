#pragma once

#include "ReadinessCheck.h"

#include <QLabel>

namespace norvale {

// The one-line sending readiness summary of the check panel ("2 problems,
// 1 warning"): plain text, red while a check fails, amber with warnings only,
// green when ready, empty while there are no results. A click on it while it
// shows a summary reports `clicked`, which opens the readiness report.
class ReadinessLine : public QLabel
{
    Q_OBJECT

public:
    explicit ReadinessLine(QWidget *parent = nullptr);

    void showSummary(const ReadinessResult &result);
    void clearSummary();

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

} // namespace norvale
