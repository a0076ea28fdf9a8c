#include "ButtonPlus.h"

#include "Artwork.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

namespace norvale {

namespace {

constexpr int IconMargin = 2; // around an icon and between an icon and the caption

} // namespace

ButtonPlus::ButtonPlus(QWidget *parent)
    : QAbstractButton(parent)
{
    setCursor(ButtonCursor());
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
}

void ButtonPlus::setBackColor(const QColor &colour)
{
    m_backColor = colour;
    update();
}

void ButtonPlus::setTextColor(const QColor &colour)
{
    m_textColor = colour;
    update();
}

void ButtonPlus::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

QSize ButtonPlus::sizeHint() const
{
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    return QSize(caption.width() + 8, caption.height() + 6)
        .expandedTo(m_picture.deviceIndependentSize().toSize());
}

void ButtonPlus::setPictureLayout(PictureLayout layout)
{
    m_pictureLayout = layout;
    update();
}

void ButtonPlus::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_backColor);

    // A pressed button's content sinks by one pixel.
    const int sink = isDown() ? 1 : 0;
    QRect textArea = rect().translated(sink, sink);
    if (!m_picture.isNull()) {
        if (m_pictureLayout == PictureLayout::Face) {
            painter.drawPixmap(QPoint(sink, sink), m_picture);
        } else {
            QSize size = m_picture.deviceIndependentSize().toSize();
            const int room = height() - 2 * IconMargin;
            if (size.height() > room)
                size = size.scaled(room, room, Qt::KeepAspectRatio);
            const int top = (height() - size.height()) / 2 + sink;
            int left = (width() - size.width()) / 2 + sink;
            if (!text().isEmpty()) {
                left = IconMargin + sink;
                textArea.setLeft(left + size.width() + IconMargin);
            }
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawPixmap(QRect(QPoint(left, top), size), m_picture);
        }
    }
    if (!text().isEmpty()) {
        painter.setPen(isEnabled() ? m_textColor : palette().color(QPalette::Disabled, QPalette::WindowText));
        painter.drawText(textArea, Qt::AlignCenter | Qt::TextShowMnemonic, text());
    }
    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(1, 1, -1, -1);
        option.backgroundColor = m_backColor;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}

void ButtonPlus::enterEvent(QEnterEvent *event)
{
    QAbstractButton::enterEvent(event);
    emit entered();
}

void ButtonPlus::leaveEvent(QEvent *event)
{
    QAbstractButton::leaveEvent(event);
    emit left();
}

} // namespace norvale
