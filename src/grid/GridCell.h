#pragma once

#include <QLineEdit>

namespace norvale {

// One single-line cell of the rule score grid. It reports focus changes and
// key presses to the grid (before it handles a key itself), can upper-case what
// is typed into it, and keeps a whole-text selection made on focus gain even
// when the focus came with a mouse press, which would otherwise place the caret.
class GridCell : public QLineEdit
{
    Q_OBJECT

public:
    // row is the grid row (-1 for a header cell), column 1 for names, 2 for scores.
    GridCell(int row, int column, QWidget *parent = nullptr);

    int row() const { return m_row; }
    int column() const { return m_column; }

    // Typed and input-method text is upper-cased before the cell takes it;
    // pasted or programmatically set text is not.
    void setUpperCaseTyping(bool on) { m_upperCaseTyping = on; }

    // Selects the whole text. When the focus came with a mouse press, the
    // selection is made again once that press has been handled.
    void selectWholeText(Qt::FocusReason reason);

signals:
    void focusGained(norvale::GridCell *cell, Qt::FocusReason reason);
    void focusLost(norvale::GridCell *cell, Qt::FocusReason reason);
    void keyPressed(norvale::GridCell *cell, int key);

protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    int m_row = -1;
    int m_column = 1;
    bool m_upperCaseTyping = false;
    bool m_selectAllAfterPress = false;
};

} // namespace norvale
