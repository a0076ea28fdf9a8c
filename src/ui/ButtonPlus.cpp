#include "ButtonPlus.h"

#include "Artwork.h"

#include <QPainter>
#include <QStyleOptionFocusRect>

#include <algorithm>

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

QSize ButtonPlus::iconSize() const
{
    const QSize size = m_picture.deviceIndependentSize().toSize();
    const int room = height() - 2 * IconMargin;
    return size.height() > room && room > 0 ? size.scaled(room, room, Qt::KeepAspectRatio) : size;
}

QSize ButtonPlus::sizeHint() const
{
    const QSize caption = fontMetrics().size(Qt::TextShowMnemonic, text());
    const QSize padded(caption.width() + 8, caption.height() + 6);
    if (m_picture.isNull())
        return padded;
    if (m_pictureLayout == PictureLayout::Face)
        return padded.expandedTo(m_picture.deviceIndependentSize().toSize());
    const QSize icon = iconSize();
    if (text().isEmpty())
        return icon + QSize(2 * IconMargin, 2 * IconMargin);
    return QSize(IconMargin + icon.width() + IconMargin + padded.width(),
        std::max(padded.height(), icon.height() + 2 * IconMargin));
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
            const QSize size = iconSize();
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
        // A disabled caption fades halfway into the background.
        const QColor faded = QColor::fromRgbF((m_textColor.redF() + m_backColor.redF()) / 2,
            (m_textColor.greenF() + m_backColor.greenF()) / 2,
            (m_textColor.blueF() + m_backColor.blueF()) / 2);
        painter.setPen(isEnabled() ? m_textColor : faded);
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
