#include "ReadinessLine.h"

#include "ReadinessReport.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace norvale {

namespace {

const QColor ProblemColour(0xB0, 0x00, 0x00);
const QColor WarningColour(0x9A, 0x52, 0x00);
const QColor ReadyColour(0x2E, 0x7D, 0x32);

} // namespace

ReadinessLine::ReadinessLine(QWidget *parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont underlined = font();
    underlined.setUnderline(true);
    setFont(underlined);
    setFocusPolicy(Qt::TabFocus);
    clearSummary();
}

void ReadinessLine::showSummary(const ReadinessResult &result)
{
    const QColor colour = result.count(ReadinessStatus::Fail) > 0 ? ProblemColour
        : result.count(ReadinessStatus::Warn) > 0                 ? WarningColour
                                                                  : ReadyColour;
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
    setText(ReadinessSummary(result));
    setCursor(Qt::PointingHandCursor);
    setEnabled(true);
}

void ReadinessLine::clearSummary()
{
    clear();
    unsetCursor();
    setEnabled(false);
}

void ReadinessLine::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())
        && !text().isEmpty()) {
        emit clicked();
        return;
    }
    QLabel::mouseReleaseEvent(event);
}

void ReadinessLine::keyPressEvent(QKeyEvent *event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space)
        && !text().isEmpty()) {
        emit clicked();
        return;
    }
    QLabel::keyPressEvent(event);
}

} // namespace norvale
