#include "GridCell.h"

#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMouseEvent>

namespace norvale {

GridCell::GridCell(int row, int column, QWidget *parent)
    : QLineEdit(parent)
    , m_row(row)
    , m_column(column)
{ }

void GridCell::selectWholeText(Qt::FocusReason reason)
{
    selectAll();
    m_selectAllAfterPress = reason == Qt::MouseFocusReason;
}

void GridCell::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    emit focusGained(this, event->reason());
}

void GridCell::focusOutEvent(QFocusEvent *event)
{
    m_selectAllAfterPress = false;
    QLineEdit::focusOutEvent(event);
    emit focusLost(this, event->reason());
}

void GridCell::keyPressEvent(QKeyEvent *event)
{
    emit keyPressed(this, event->key());
    const QString upper = event->text().toUpper();
    if (m_upperCaseTyping && upper != event->text()) {
        QKeyEvent typed(event->type(), event->key(), event->modifiers(), event->nativeScanCode(),
            event->nativeVirtualKey(), event->nativeModifiers(), upper, event->isAutoRepeat(), event->count(),
            event->device());
        QLineEdit::keyPressEvent(&typed);
        event->setAccepted(typed.isAccepted());
    } else {
        QLineEdit::keyPressEvent(event);
    }
    // Up and Down are the grid's row navigation; they go no further than the cell.
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down)
        event->accept();
}

void GridCell::inputMethodEvent(QInputMethodEvent *event)
{
    const QString upper = event->commitString().toUpper();
    if (m_upperCaseTyping && upper != event->commitString()) {
        QInputMethodEvent typed(event->preeditString(), event->attributes());
        typed.setCommitString(upper, event->replacementStart(), event->replacementLength());
        QLineEdit::inputMethodEvent(&typed);
        event->setAccepted(typed.isAccepted());
        return;
    }
    QLineEdit::inputMethodEvent(event);
}

void GridCell::mousePressEvent(QMouseEvent *event)
{
    QLineEdit::mousePressEvent(event);
    if (m_selectAllAfterPress) {
        m_selectAllAfterPress = false;
        selectAll();
    }
}

} // namespace norvale
