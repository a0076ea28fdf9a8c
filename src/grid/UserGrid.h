#pragma once

#include "RuleScoreList.h"

#include <QList>
#include <QString>
#include <QWidget>

class QLineEdit;
class QScrollBar;

namespace norvale {

class GridCell;

// The rule score grid: 50 rows of a rule name cell and a score cell under a
// header row, with a vertical scroll bar on the right. Its whole content is read
// and written as one rule score list through Configuration.
//
// Lengths follow the twips layout (15 twips per pixel): the grid's inner size in
// twips is its pixel size times 15, and the scroll bar's value and range are in
// twips, so the rows panel sits at 240 - value twips, rounded to the nearest
// pixel (halves to even).
//
// Colours are &HBBGGRR values, red in the low byte; a value with the top bit set
// names a system colour and takes the matching role of the grid's palette.
// Writing a colour that names no system colour changes nothing.
//
// Tab stops: name cell 0 is the grid's single tab entry (and the grid's focus
// proxy); every other cell takes the focus only by mouse or arrow keys. While a
// cell has the focus even cell 0 is no tab stop, so Tab and Shift+Tab in any
// cell leave the grid for the host's next or previous control. The header cells
// are read-only and never take the focus; the panels and the scroll bar neither.
class UserGrid : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Header1Text READ header1Text WRITE setHeader1Text)
    Q_PROPERTY(uint Header1BackColor READ header1BackColor WRITE setHeader1BackColor)
    Q_PROPERTY(uint Header1ForeColor READ header1ForeColor WRITE setHeader1ForeColor)
    Q_PROPERTY(uint Column1BackColor READ column1BackColor WRITE setColumn1BackColor)
    Q_PROPERTY(uint Column1ForeColor READ column1ForeColor WRITE setColumn1ForeColor)
    Q_PROPERTY(QString Header2Text READ header2Text WRITE setHeader2Text)
    Q_PROPERTY(uint Header2BackColor READ header2BackColor WRITE setHeader2BackColor)
    Q_PROPERTY(uint Header2ForeColor READ header2ForeColor WRITE setHeader2ForeColor)
    Q_PROPERTY(uint Column2BackColor READ column2BackColor WRITE setColumn2BackColor)
    Q_PROPERTY(uint Column2ForeColor READ column2ForeColor WRITE setColumn2ForeColor)
    Q_PROPERTY(uint DividerLinesColor READ dividerLinesColor WRITE setDividerLinesColor)
    Q_PROPERTY(QString Configuration READ configuration WRITE setConfiguration)

public:
    static constexpr int RowCount = RuleScoreList::RowCount;

    explicit UserGrid(QWidget *parent = nullptr);
    ~UserGrid() override;

    QString header1Text() const;
    void setHeader1Text(const QString &text);
    QString header2Text() const;
    void setHeader2Text(const QString &text);

    uint header1BackColor() const { return m_header1BackColor; }
    void setHeader1BackColor(uint colour) { setColour(m_header1BackColor, colour); }
    uint header1ForeColor() const { return m_header1ForeColor; }
    void setHeader1ForeColor(uint colour) { setColour(m_header1ForeColor, colour); }
    uint column1BackColor() const { return m_column1BackColor; }
    void setColumn1BackColor(uint colour) { setColour(m_column1BackColor, colour); }
    uint column1ForeColor() const { return m_column1ForeColor; }
    void setColumn1ForeColor(uint colour) { setColour(m_column1ForeColor, colour); }
    uint header2BackColor() const { return m_header2BackColor; }
    void setHeader2BackColor(uint colour) { setColour(m_header2BackColor, colour); }
    uint header2ForeColor() const { return m_header2ForeColor; }
    void setHeader2ForeColor(uint colour) { setColour(m_header2ForeColor, colour); }
    uint column2BackColor() const { return m_column2BackColor; }
    void setColumn2BackColor(uint colour) { setColour(m_column2BackColor, colour); }
    uint column2ForeColor() const { return m_column2ForeColor; }
    void setColumn2ForeColor(uint colour) { setColour(m_column2ForeColor, colour); }
    uint dividerLinesColor() const { return m_dividerLinesColor; }
    void setDividerLinesColor(uint colour) { setColour(m_dividerLinesColor, colour); }

    // The rows as a rule score list: trimmed, not normalised, blank names left out.
    QString configuration() const;
    // Replaces all 50 rows: the k-th "|"-separated part fills row k, normalised.
    // Only the cell texts change: no focus move, no scrolling.
    void setConfiguration(const QString &list);

    // Scrolls the least needed to show row (0 to 49) whole: a row reaching below
    // the visible area ends at the grid's lower edge, a row above it starts right
    // under the header. A value outside the scroll range leaves the scroll as it was.
    void EnsureRowVisible(int row);

    // The scroll bar's value in twips: how far the rows panel is scrolled up.
    int scrollValue() const;

    // Ends the edit of the cell being edited, as its focus loss would: its text
    // is normalised. The focus stays where it is. Nothing when no cell is edited.
    void finishEditing();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOut();
    void moveRowsPanel(int value);
    void setScrollValueInRange(int value);
    void ClearTabStops();
    void RestoreTabStops();
    void cellFocusGained(GridCell *cell, Qt::FocusReason reason);
    void cellFocusLost(GridCell *cell, Qt::FocusReason reason);
    void focusChanged(QWidget *old, QWidget *now);
    void endEditing();
    void cellKeyPressed(GridCell *cell, int key);
    void setColour(uint &property, uint colour);
    void applyColours();

    uint m_header1BackColor = 0xE8D7C5;
    uint m_header1ForeColor = 0;
    uint m_column1BackColor = 0xFFFFFF;
    uint m_column1ForeColor = 0x80000008;
    uint m_header2BackColor = 0xE8D7C5;
    uint m_header2ForeColor = 0;
    uint m_column2BackColor = 0xFFFFFF;
    uint m_column2ForeColor = 0x80000008;
    uint m_dividerLinesColor = 0xE0E0E0;

    QWidget *m_rowsPanel = nullptr;
    QWidget *m_headerPanel = nullptr;
    QScrollBar *m_scrollBar = nullptr;
    QLineEdit *m_header1 = nullptr;
    QLineEdit *m_header2 = nullptr;
    QList<GridCell *> m_names;
    QList<GridCell *> m_scores;
    // The cell being edited: it has had its focus-gain steps and not yet its
    // focus-loss steps. It keeps that role while the window is inactive or a
    // popup menu is open.
    GridCell *m_editCell = nullptr;
};

} // namespace norvale
