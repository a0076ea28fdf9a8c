#include "ThresholdBox.h"

#include "Thresholds.h"

#include <QFocusEvent>

namespace norvale {

namespace {

// The focus moves only between windows, or to a popup and back.
bool IsPassingFocus(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
}

} // namespace

ThresholdBox::ThresholdBox(QWidget *parent)
    : QLineEdit(parent)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

void ThresholdBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (IsPassingFocus(event->reason()))
        return;
    selectAll();
    m_selectAllAfterPress = event->reason() == Qt::MouseFocusReason;
}

void ThresholdBox::focusOutEvent(QFocusEvent *event)
{
    m_selectAllAfterPress = false;
    QLineEdit::focusOutEvent(event);
    if (IsPassingFocus(event->reason()))
        return;
    normalise();
}

void ThresholdBox::normalise()
{
    const QString normal = NormaliseThreshold(text());
    if (normal != text())
        setText(normal);
}

void ThresholdBox::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    if (m_selectAllAfterPress)
        selectAll();
}

void ThresholdBox::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    if (m_selectAllAfterPress) {
        m_selectAllAfterPress = false;
        selectAll();
    }
}

} // namespace norvale
