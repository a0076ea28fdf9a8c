#include "PicturePanel.h"

#include <QPainter>

namespace norvale {

PicturePanel::PicturePanel(const QColor &backColour, const QPixmap &picture, QWidget *parent)
    : QWidget(parent)
    , m_backColour(backColour)
    , m_picture(picture)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PicturePanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backColour);
    painter.drawPixmap(0, 0, m_picture);
}

} // namespace norvale
