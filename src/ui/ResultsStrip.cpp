#include "ResultsStrip.h"

#include <QPainter>

namespace norvale {

ResultsStrip::ResultsStrip(QWidget *parent)
    : QLabel(parent)
{ }

void ResultsStrip::keepColoursWhenDisabled(QWidget *widget)
{
    QPalette palette = widget->palette();
    for (const QPalette::ColorRole role : { QPalette::WindowText, QPalette::Text, QPalette::Window })
        palette.setColor(QPalette::Disabled, role, palette.color(QPalette::Active, role));
    widget->setPalette(palette);
}

void ResultsStrip::paintEvent(QPaintEvent *event)
{
    const QPixmap picture = pixmap();
    if (picture.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    painter.drawPixmap(contentsRect().topLeft(), picture);
}

} // namespace norvale
