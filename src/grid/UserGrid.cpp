#include "UserGrid.h"

#include "Twips.h"

#include "GridCell.h"
#include "Numbers.h"

#include <QApplication>
#include <QEvent>
#include <QLineEdit>
#include <QPalette>
#include <QScrollBar>

#include <algorithm>
#include <optional>
#include <utility>

namespace norvale {

namespace {

// Design lengths in twips.
constexpr int HeaderHeight = 240;
constexpr int RowHeight = 240;
constexpr int RowsPanelHeight = 12015;
constexpr int CellHeight = 225;
constexpr int Gap = 15;
constexpr int ScrollBarWidth = 255;
constexpr int ScoreWidth = 495;

constexpr uint SystemColourFlag = 0x80000000u;

// The palette role that stands for a system colour index (as the desktop's
// colour table numbers them), or nothing when no system colour has that index.
std::optional<QPalette::ColorRole> SystemColourRole(uint index)
{
    using R = QPalette;
    static constexpr QPalette::ColorRole roles[] = {
        R::Button, // scroll bar
        R::Window, // desktop
        R::Highlight, // active caption
        R::Mid, // inactive caption
        R::Window, // menu
        R::Base, // window
        R::Shadow, // window frame
        R::WindowText, // menu text
        R::Text, // window text
        R::HighlightedText, // caption text
        R::Window, // active border
        R::Window, // inactive border
        R::Dark, // application workspace
        R::Highlight, // highlight
        R::HighlightedText, // highlighted text
        R::Button, // button face
        R::Dark, // button shadow
        R::PlaceholderText, // grey text
        R::ButtonText, // button text
        R::WindowText, // inactive caption text
        R::Light, // button highlight
        R::Shadow, // 3-D dark shadow
        R::Midlight, // 3-D light
        R::ToolTipText, // tooltip text
        R::ToolTipBase, // tooltip background
        R::NoRole, // unused index
        R::Link, // hot-tracked item
        R::Highlight, // active caption gradient
        R::Mid, // inactive caption gradient
        R::Highlight, // highlighted menu item
        R::Window, // menu bar
    };
    if (index >= std::size(roles) || roles[index] == R::NoRole)
        return std::nullopt;
    return roles[index];
}

bool IsColourValue(uint colour)
{
    return !(colour & SystemColourFlag) || SystemColourRole(colour & ~SystemColourFlag).has_value();
}

// Gives role in target the colour value: a plain colour in every group, or the
// system palette's brushes of the matching role.
void SetRole(QPalette &target, QPalette::ColorRole role, uint colour, const QPalette &system)
{
    if (colour & SystemColourFlag) {
        const QPalette::ColorRole source = *SystemColourRole(colour & ~SystemColourFlag);
        for (const auto group : { QPalette::Active, QPalette::Inactive, QPalette::Disabled })
            target.setBrush(group, role, system.brush(group, source));
    } else {
        target.setColor(role, ColourFromBgr(colour));
    }
}

QPalette CellPalette(uint back, uint fore, const QPalette &system)
{
    QPalette palette;
    SetRole(palette, QPalette::Base, back, system);
    SetRole(palette, QPalette::Window, back, system);
    SetRole(palette, QPalette::Text, fore, system);
    SetRole(palette, QPalette::WindowText, fore, system);
    return palette;
}

QLineEdit *NewHeaderCell(const QString &name, Qt::Alignment alignment, QWidget *parent)
{
    auto *cell = new QLineEdit(parent);
    cell->setObjectName(name);
    cell->setFrame(false);
    cell->setReadOnly(true);
    cell->setFocusPolicy(Qt::NoFocus);
    cell->setAlignment(alignment);
    cell->setAutoFillBackground(true);
    return cell;
}

} // namespace

UserGrid::UserGrid(QWidget *parent)
    : QWidget(parent)
{
    // Created in focus order, and the header panel after the rows panel so that
    // it stays on top of the rows scrolled up under it.
    m_rowsPanel = new QWidget(this);
    m_rowsPanel->setObjectName(QStringLiteral("Picture1"));
    m_rowsPanel->setAutoFillBackground(true);
    m_rowsPanel->installEventFilter(this);
    for (int row = 0; row < RowCount; ++row) {
        for (const int column : { 1, 2 }) {
            auto *cell = new GridCell(row, column, m_rowsPanel);
            cell->setObjectName(QStringLiteral("txtColumn%1_%2").arg(column).arg(row));
            cell->setFrame(false);
            cell->setAutoFillBackground(true);
            cell->setFocusPolicy(Qt::ClickFocus);
            cell->setAlignment(
                column == 1 ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignRight | Qt::AlignVCenter);
            cell->setUpperCaseTyping(column == 1);
            cell->installEventFilter(this);
            connect(cell, &GridCell::focusGained, this, &UserGrid::cellFocusGained);
            connect(cell, &GridCell::focusLost, this, &UserGrid::cellFocusLost);
            connect(cell, &GridCell::keyPressed, this, &UserGrid::cellKeyPressed);
            (column == 1 ? m_names : m_scores).append(cell);
        }
    }

    m_scrollBar = new QScrollBar(Qt::Vertical, this);
    m_scrollBar->setObjectName(QStringLiteral("VScroll1"));
    m_scrollBar->setFocusPolicy(Qt::NoFocus);
    m_scrollBar->setSingleStep(RowHeight);
    connect(m_scrollBar, &QScrollBar::valueChanged, this, &UserGrid::moveRowsPanel);

    m_headerPanel = new QWidget(this);
    m_headerPanel->setObjectName(QStringLiteral("Picture2"));
    m_headerPanel->setAutoFillBackground(true);
    m_headerPanel->installEventFilter(this);
    m_header1 = NewHeaderCell(QStringLiteral("txtHeader1"), Qt::AlignLeft | Qt::AlignVCenter, m_headerPanel);
    m_header2 = NewHeaderCell(QStringLiteral("txtHeader2"), Qt::AlignCenter, m_headerPanel);
    m_header1->installEventFilter(this);
    m_header2->installEventFilter(this);

    RestoreTabStops();
    setFocusProxy(m_names.first());
    connect(qApp, &QApplication::focusChanged, this, &UserGrid::focusChanged);

    applyColours();
    layOut();
}

UserGrid::~UserGrid()
{
    // The cells die after this body has run, and a focused one changes the
    // application's focus as it goes: nothing may call back into the grid then.
    disconnect(qApp, nullptr, this, nullptr);
    for (GridCell *cell : std::as_const(m_names))
        cell->disconnect(this);
    for (GridCell *cell : std::as_const(m_scores))
        cell->disconnect(this);
}

QString UserGrid::header1Text() const
{
    return m_header1->text();
}

void UserGrid::setHeader1Text(const QString &text)
{
    m_header1->setText(text);
}

QString UserGrid::header2Text() const
{
    return m_header2->text();
}

void UserGrid::setHeader2Text(const QString &text)
{
    m_header2->setText(text);
}

QString UserGrid::configuration() const
{
    QList<RuleScoreList::Row> rows;
    for (int row = 0; row < RowCount; ++row)
        rows.append({ m_names[row]->text(), m_scores[row]->text() });
    return RuleScoreList::Format(rows);
}

void UserGrid::setConfiguration(const QString &list)
{
    const QList<RuleScoreList::Row> rows = RuleScoreList::Parse(list, QLocale());
    for (int row = 0; row < RowCount; ++row) {
        m_names[row]->setText(rows[row].name);
        m_scores[row]->setText(rows[row].score);
    }
}

int UserGrid::scrollValue() const
{
    return m_scrollBar->value();
}

void UserGrid::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOut();
}

void UserGrid::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // System colours follow the palette.
    if (event->type() == QEvent::PaletteChange)
        applyColours();
}

bool UserGrid::eventFilter(QObject *watched, QEvent *event)
{
    // The wheel scrolls the grid wherever the pointer is over it.
    if (event->type() == QEvent::Wheel) {
        QCoreApplication::sendEvent(m_scrollBar, event);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void UserGrid::layOut()
{
    const int width = this->width() * TwipsPerPixel;
    const int height = this->height() * TwipsPerPixel;
    const int panelWidth = width - ScrollBarWidth;

    SetTwipsGeometry(m_scrollBar, panelWidth, 0, ScrollBarWidth, height);
    SetTwipsGeometry(m_rowsPanel, 0, HeaderHeight, panelWidth, RowsPanelHeight);
    SetTwipsGeometry(m_headerPanel, 0, 0, panelWidth, HeaderHeight);

    // A grid taller than its rows has nothing to scroll.
    m_scrollBar->setRange(0, std::max(0, RowsPanelHeight - height + HeaderHeight));
    m_scrollBar->setPageStep(std::max(RowHeight, height - HeaderHeight));

    const int nameWidth = std::max(0, width - ScoreWidth - ScrollBarWidth - 45);
    for (int row = 0; row < RowCount; ++row) {
        const int top = RowHeight * row + Gap;
        SetTwipsGeometry(m_names[row], Gap, top, nameWidth, CellHeight);
        SetTwipsGeometry(m_scores[row], nameWidth + 2 * Gap, top, ScoreWidth, CellHeight);
    }
    SetTwipsGeometry(m_header1, Gap, Gap, nameWidth, CellHeight);
    SetTwipsGeometry(m_header2, nameWidth + 2 * Gap, Gap, ScoreWidth, CellHeight);

    // Every layout starts again at row 0.
    m_scrollBar->setValue(0);
    moveRowsPanel(0);
}

void UserGrid::moveRowsPanel(int value)
{
    m_rowsPanel->move(0, Pixels(HeaderHeight - value));
}

void UserGrid::setScrollValueInRange(int value)
{
    if (value >= m_scrollBar->minimum() && value <= m_scrollBar->maximum())
        m_scrollBar->setValue(value);
}

void UserGrid::EnsureRowVisible(int row)
{
    if (row < 0 || row >= RowCount)
        return;
    const int height = this->height() * TwipsPerPixel;
    const int firstVisible = m_scrollBar->value();
    const int lastVisible = firstVisible + height - HeaderHeight;
    const int top = RowHeight * row + Gap;
    if (top + CellHeight > lastVisible)
        setScrollValueInRange(top + CellHeight - height + Gap + HeaderHeight);
    if (top < firstVisible)
        setScrollValueInRange(top - Gap);
}

void UserGrid::ClearTabStops()
{
    m_names.first()->setFocusPolicy(Qt::ClickFocus);
}

void UserGrid::RestoreTabStops()
{
    m_names.first()->setFocusPolicy(Qt::StrongFocus);
}

void UserGrid::cellFocusGained(GridCell *cell, Qt::FocusReason reason)
{
    // The focus coming back after a popup menu or from another application
    // resumes the edit: the caret stays where it was.
    if (cell == m_editCell)
        return;
    endEditing();
    m_editCell = cell;
    cell->selectWholeText(reason);
    ClearTabStops();
    EnsureRowVisible(cell->row());
}

void UserGrid::cellFocusLost(GridCell *cell, Qt::FocusReason reason)
{
    if (cell != m_editCell || reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return;
    endEditing();
}

void UserGrid::focusChanged(QWidget *, QWidget *now)
{
    // The focus moved on while the window was inactive, or to another window of
    // this application: the edit is over.
    if (m_editCell && now && now != m_editCell && !m_rowsPanel->isAncestorOf(now))
        endEditing();
}

void UserGrid::finishEditing()
{
    endEditing();
}

void UserGrid::endEditing()
{
    GridCell *cell = std::exchange(m_editCell, nullptr);
    if (!cell)
        return;
    RestoreTabStops();
    const QString text
        = cell->column() == 1 ? NormaliseRuleName(cell->text()) : NormaliseScore(cell->text(), QLocale());
    if (text != cell->text())
        cell->setText(text);
}

void UserGrid::cellKeyPressed(GridCell *cell, int key)
{
    const int row = cell->row();
    GridCell *target = nullptr;
    switch (key) {
    case Qt::Key_Down:
        target = row + 1 < RowCount ? (cell->column() == 1 ? m_names : m_scores)[row + 1] : nullptr;
        break;
    case Qt::Key_Up:
        target = row > 0 ? (cell->column() == 1 ? m_names : m_scores)[row - 1] : nullptr;
        break;
    case Qt::Key_Right:
        target = cell->column() == 1 ? m_scores[row] : nullptr;
        break;
    case Qt::Key_Left:
        target = cell->column() == 2 ? m_names[row] : nullptr;
        break;
    default:
        break;
    }
    if (target)
        target->setFocus(Qt::OtherFocusReason);
}

void UserGrid::setColour(uint &property, uint colour)
{
    if (!IsColourValue(colour))
        return;
    property = colour;
    applyColours();
}

void UserGrid::applyColours()
{
    const QPalette &system = palette();
    m_header1->setPalette(CellPalette(m_header1BackColor, m_header1ForeColor, system));
    m_header2->setPalette(CellPalette(m_header2BackColor, m_header2ForeColor, system));
    const QPalette names = CellPalette(m_column1BackColor, m_column1ForeColor, system);
    const QPalette scores = CellPalette(m_column2BackColor, m_column2ForeColor, system);
    for (int row = 0; row < RowCount; ++row) {
        m_names[row]->setPalette(names);
        m_scores[row]->setPalette(scores);
    }
    QPalette panels;
    SetRole(panels, QPalette::Window, m_dividerLinesColor, system);
    m_rowsPanel->setPalette(panels);
    m_headerPanel->setPalette(panels);
}

} // namespace norvale
