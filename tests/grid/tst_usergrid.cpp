#include "UserGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMetaProperty>
#include <QScopeGuard>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include <memory>

using namespace norvale;

namespace {

// A window holding a line edit, the grid and another line edit, in that focus
// order. Sizes are in pixels; the grid's twips are 15 times as many.
struct Host
{
    explicit Host(int width = 239, int height = 241)
    {
        before = new QLineEdit(QStringLiteral("before"), &window);
        grid = new UserGrid(&window);
        after = new QLineEdit(QStringLiteral("after"), &window);
        before->setObjectName(QStringLiteral("before"));
        after->setObjectName(QStringLiteral("after"));
        before->setGeometry(0, 0, width, 20);
        grid->setGeometry(0, 20, width, height);
        after->setGeometry(0, 20 + height, width, 20);
        window.resize(width, height + 40);
    }

    bool show()
    {
        window.show();
        QApplication::setActiveWindow(&window);
        return QTest::qWaitForWindowActive(&window);
    }

    QLineEdit *cell(int column, int row) const
    {
        return grid->findChild<QLineEdit *>(QStringLiteral("txtColumn%1_%2").arg(column).arg(row));
    }
    QScrollBar *scrollBar() const { return grid->findChild<QScrollBar *>(QStringLiteral("VScroll1")); }
    QWidget *rowsPanel() const { return grid->findChild<QWidget *>(QStringLiteral("Picture1")); }
    QWidget *headerPanel() const { return grid->findChild<QWidget *>(QStringLiteral("Picture2")); }
    QLineEdit *header(int column) const
    {
        return grid->findChild<QLineEdit *>(QStringLiteral("txtHeader%1").arg(column));
    }

    QWidget window;
    QLineEdit *before = nullptr;
    UserGrid *grid = nullptr;
    QLineEdit *after = nullptr;
};

QString FocusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

QString CellName(int column, int row)
{
    return QStringLiteral("txtColumn%1_%2").arg(column).arg(row);
}

} // namespace

class TestUserGrid : public QObject
{
    Q_OBJECT

private slots:
    void properties_inOrderWithTheirDefaults()
    {
        UserGrid grid;
        const QList<std::pair<const char *, QVariant>> expected = {
            { "Header1Text", QString() },
            { "Header1BackColor", 0xE8D7C5u },
            { "Header1ForeColor", 0u },
            { "Column1BackColor", 0xFFFFFFu },
            { "Column1ForeColor", 0x80000008u },
            { "Header2Text", QString() },
            { "Header2BackColor", 0xE8D7C5u },
            { "Header2ForeColor", 0u },
            { "Column2BackColor", 0xFFFFFFu },
            { "Column2ForeColor", 0x80000008u },
            { "DividerLinesColor", 0xE0E0E0u },
            { "Configuration", QString() },
        };
        const QMetaObject *meta = grid.metaObject();
        QCOMPARE(meta->propertyCount() - meta->propertyOffset(), expected.size());
        for (int i = 0; i < expected.size(); ++i) {
            const QMetaProperty property = meta->property(meta->propertyOffset() + i);
            QCOMPARE(property.name(), expected[i].first);
            QCOMPARE(property.read(&grid), expected[i].second);
            QVERIFY(property.isWritable());
        }
    }

    void configuration_read_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("expected");
        QTest::newRow("an empty grid reads as the empty list") << QStringList {} << QStringList {} << "";
        QTest::newRow("a blank row leaves no trace")
            << QStringList { "A", "", "B" } << QStringList { "1", "", "3" } << "A:1|B:3";
        QTest::newRow("a missing score ends the entry with the colon")
            << QStringList { "A", "B" } << QStringList { "", "2" } << "A:|B:2";
        QTest::newRow("a name of spaces leaves the row out whatever its score")
            << QStringList { "   ", "B" } << QStringList { "5", "2" } << "B:2";
        QTest::newRow("reading trims but does not normalise")
            << QStringList { " low ", "B" } << QStringList { " 2.50 ", "x" } << "low:2.50|B:x";
        QTest::newRow("a colon typed into a name is read unchanged")
            << QStringList { "A:B" } << QStringList { "1" } << "A:B:1";
    }
    void configuration_read()
    {
        QFETCH(QStringList, names);
        QFETCH(QStringList, scores);
        QFETCH(QString, expected);
        Host host;
        for (int row = 0; row < names.size(); ++row) {
            host.cell(1, row)->setText(names[row]);
            host.cell(2, row)->setText(scores[row]);
        }
        QCOMPARE(host.grid->configuration(), expected);
        QCOMPARE(host.grid->property("Configuration").toString(), expected);
    }

    void configuration_readsTheLastRow()
    {
        Host host;
        host.cell(1, 49)->setText(QStringLiteral("LAST"));
        host.cell(2, 49)->setText(QStringLiteral("7"));
        QCOMPARE(host.grid->configuration(), QStringLiteral("LAST:7"));
    }

    void configuration_write_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("scores");
        QTest::addColumn<QString>("readBack");
        QTest::newRow("writing the empty text clears all rows")
            << "" << QStringList {} << QStringList {} << "";
        QTest::newRow("an empty part leaves a blank row")
            << "A:1||B:2" << QStringList { "A", "", "B" } << QStringList { "1", "", "2" } << "A:1|B:2";
        QTest::newRow("a part without a colon is a name without a score")
            << "x" << QStringList { "X" } << QStringList { "" } << "X:";
        QTest::newRow("a part without a name keeps its score but reads as nothing")
            << ":5" << QStringList { "" } << QStringList { "5" } << "";
        QTest::newRow("pieces after the second colon are ignored")
            << "A:1:2" << QStringList { "A" } << QStringList { "1" } << "A:1";
        QTest::newRow("names and scores are normalised in the C locale")
            << "a:1.50|b:x" << QStringList { "A", "B" } << QStringList { "1.5", "0" } << "A:1.5|B:0";
        QTest::newRow("separators in a name are dropped, inner spaces kept")
            << "a & b:+3" << QStringList { "A  B" } << QStringList { "3" } << "A  B:3";
    }
    void configuration_write()
    {
        QFETCH(QString, list);
        QFETCH(QStringList, names);
        QFETCH(QStringList, scores);
        QFETCH(QString, readBack);
        Host host;
        for (int row = 0; row < UserGrid::RowCount; ++row) {
            host.cell(1, row)->setText(QStringLiteral("OLD%1").arg(row));
            host.cell(2, row)->setText(QStringLiteral("9"));
        }
        QVERIFY(host.grid->setProperty("Configuration", list));
        for (int row = 0; row < UserGrid::RowCount; ++row) {
            QCOMPARE(host.cell(1, row)->text(), names.value(row));
            QCOMPARE(host.cell(2, row)->text(), scores.value(row));
        }
        QCOMPARE(host.grid->configuration(), readBack);
    }

    void configuration_writeFillsFiftyRowsOfSixtyEntries()
    {
        QStringList entries;
        for (int i = 0; i < 60; ++i)
            entries << QStringLiteral("R%1:%1").arg(i);
        Host host;
        host.grid->setConfiguration(entries.join(u'|'));
        QCOMPARE(host.cell(1, 49)->text(), QStringLiteral("R49"));
        QCOMPARE(host.cell(2, 49)->text(), QStringLiteral("49"));
        QCOMPARE(host.grid->configuration(), entries.first(50).join(u'|'));
    }

    void configuration_usesTheUsersLocale()
    {
        const QLocale previous;
        const auto restore = qScopeGuard([&] { QLocale::setDefault(previous); });
        QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
        Host host;
        host.grid->setConfiguration(QStringLiteral("a:1,50|b:x|c:2.500"));
        QCOMPARE(host.cell(2, 0)->text(), QStringLiteral("1,5"));
        QCOMPARE(host.cell(2, 1)->text(), QStringLiteral("0"));
        QCOMPARE(host.cell(2, 2)->text(), QStringLiteral("2,5"));
        QCOMPARE(host.grid->configuration(), QStringLiteral("A:1,5|B:0|C:2,5"));

        QVERIFY(host.show());
        host.cell(2, 3)->setFocus();
        QTest::keyClicks(host.cell(2, 3), QStringLiteral("0,250"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(host.cell(2, 3)->text(), QStringLiteral("0,25"));
    }

    void configuration_writeMovesNoFocusAndDoesNotScroll()
    {
        Host host(239, 187);
        QVERIFY(host.show());
        host.cell(2, 30)->setFocus();
        const int value = host.grid->scrollValue();
        QVERIFY(value > 0);
        host.cell(2, 30)->setText(QStringLiteral("abc"));
        host.grid->setConfiguration(QStringLiteral("A:1"));
        QCOMPARE(FocusName(), CellName(2, 30));
        QCOMPARE(host.grid->scrollValue(), value);
        QCOMPARE(host.cell(2, 30)->text(), QString());
        QCOMPARE(host.cell(1, 0)->text(), QStringLiteral("A"));
    }

    void layout_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("nameWidth"); // twips
        QTest::addColumn<int>("scrollMaximum"); // twips
        QTest::newRow("4800 x 3255 twips: name column 4005, scroll maximum 9000")
            << 320 << 217 << 4005 << 9000;
        QTest::newRow("the main window's 3585 x 3615 twips") << 239 << 241 << 2790 << 8640;
        QTest::newRow("taller than the rows: nothing to scroll") << 300 << 900 << 3705 << 0;
        QTest::newRow("narrower than the fixed columns: an empty name column") << 40 << 100 << 0 << 10755;
    }
    void layout()
    {
        QFETCH(int, width);
        QFETCH(int, height);
        QFETCH(int, nameWidth);
        QFETCH(int, scrollMaximum);
        Host host(width, height);
        QVERIFY(host.show());
        const int name = nameWidth / 15;
        QCOMPARE(host.scrollBar()->geometry(), QRect(width - 17, 0, 17, height));
        QCOMPARE(host.headerPanel()->geometry(), QRect(0, 0, width - 17, 16));
        QCOMPARE(host.rowsPanel()->geometry(), QRect(0, 16, width - 17, 801));
        QCOMPARE(host.header(1)->geometry(), QRect(1, 1, name, 15));
        QCOMPARE(host.header(2)->geometry(), QRect(name + 2, 1, 33, 15));
        for (const int row : { 0, 3, 49 }) {
            QCOMPARE(host.cell(1, row)->geometry(), QRect(1, 16 * row + 1, name, 15));
            QCOMPARE(host.cell(2, row)->geometry(), QRect(name + 2, 16 * row + 1, 33, 15));
        }
        QCOMPARE(host.scrollBar()->minimum(), 0);
        QCOMPARE(host.scrollBar()->maximum(), scrollMaximum);
    }

    void cells_alignment()
    {
        Host host;
        QCOMPARE(host.cell(1, 7)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(host.cell(2, 7)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(host.header(1)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(host.header(2)->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    }

    void headers_showTheirTextsAndTakeNoFocus()
    {
        Host host;
        QVERIFY(host.show());
        host.grid->setHeader1Text(QStringLiteral("Rule"));
        QVERIFY(host.grid->setProperty("Header2Text", QStringLiteral("Pts")));
        QCOMPARE(host.header(1)->text(), QStringLiteral("Rule"));
        QCOMPARE(host.grid->property("Header2Text").toString(), QStringLiteral("Pts"));
        host.after->setFocus();
        QTest::mouseClick(host.header(1), Qt::LeftButton);
        QTest::keyClicks(host.header(1), QStringLiteral("x"));
        QCOMPARE(FocusName(), QStringLiteral("after"));
        QCOMPARE(host.grid->header1Text(), QStringLiteral("Rule"));
    }

    void scrolling_movesTheRowsPanel_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("top"); // pixels
        QTest::newRow("at 0 row 0 is right under the header") << 0 << 16;
        QTest::newRow("one row down") << 240 << 0;
        QTest::newRow("four rows down") << 1200 << -64;
        QTest::newRow("a value between pixels rounds to the nearest") << 95 << 10;
        QTest::newRow("at the maximum the panel ends at the lower edge") << 9000 << 217 - 801;
    }
    void scrolling_movesTheRowsPanel()
    {
        QFETCH(int, value);
        QFETCH(int, top);
        Host host(320, 217);
        QVERIFY(host.show());
        host.scrollBar()->setValue(value);
        QCOMPARE(host.grid->scrollValue(), value);
        QCOMPARE(host.rowsPanel()->y(), top);
    }

    void resize_scrollsBackToTheTop()
    {
        Host host(320, 217);
        QVERIFY(host.show());
        host.scrollBar()->setValue(3000);
        host.grid->resize(320, 300);
        QCOMPARE(host.grid->scrollValue(), 0);
        QCOMPARE(host.rowsPanel()->y(), 16);
        QCOMPARE(host.scrollBar()->maximum(), 12255 - 300 * 15);
        QCOMPARE(host.scrollBar()->height(), 300);
    }

    void wheel_overTheGridScrolls_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("over a name cell") << "txtColumn1_2";
        QTest::newRow("over a score cell") << "txtColumn2_2";
        QTest::newRow("over the header") << "txtHeader1";
        QTest::newRow("over a divider line") << "Picture1";
    }
    void wheel_overTheGridScrolls()
    {
        QFETCH(QString, target);
        Host host;
        QVERIFY(host.show());
        QWidget *widget = host.grid->findChild<QWidget *>(target);
        QVERIFY(widget);
        QWheelEvent down(QPointF(5, 5), widget->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(widget, &down);
        QCOMPARE(host.grid->scrollValue(), 240 * QApplication::wheelScrollLines());
        QCOMPARE(host.rowsPanel()->y(), (240 - host.grid->scrollValue()) / 15);
    }

    // A grid 187 pixels high is 2805 twips: rows 0 to 9 show whole, row 10 in part.
    void arrowKeys_keepTheFocusedRowInView()
    {
        Host host(239, 187);
        QVERIFY(host.show());
        host.cell(1, 0)->setFocus();
        for (int row = 1; row <= 9; ++row) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
            QCOMPARE(FocusName(), CellName(1, row));
            QCOMPARE(host.grid->scrollValue(), 0);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QCOMPARE(FocusName(), CellName(1, 10));
        QCOMPARE(host.grid->scrollValue(), 240 * 10 + 495 - 2805);
        QCOMPARE(host.rowsPanel()->y() + host.cell(1, 10)->geometry().bottom() + 2, host.grid->height());
        for (int row = 9; row >= 1; --row) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
            QCOMPARE(FocusName(), CellName(1, row));
            QCOMPARE(host.grid->scrollValue(), 90);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
        QCOMPARE(FocusName(), CellName(1, 0));
        QCOMPARE(host.grid->scrollValue(), 0);
    }

    void focusGain_scrollsOnlyWhenTheRowIsOutOfSight_data()
    {
        QTest::addColumn<int>("value");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("expected");
        QTest::newRow("a fully visible row does not scroll") << 0 << 1 << 5 << 0;
        QTest::newRow("a fully visible row of a scrolled grid does not scroll") << 90 << 2 << 1 << 90;
        QTest::newRow("a partly visible row below ends at the lower edge") << 0 << 1 << 10 << 90;
        QTest::newRow("a row far below ends at the lower edge") << 0 << 2 << 30 << 4890;
        QTest::newRow("the last row scrolls to the maximum") << 0 << 1 << 49 << 9450;
        QTest::newRow("a row above starts under the header") << 4890 << 1 << 2 << 480;
        QTest::newRow("a partly hidden row above starts under the header") << 260 << 2 << 1 << 240;
    }
    void focusGain_scrollsOnlyWhenTheRowIsOutOfSight()
    {
        QFETCH(int, value);
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, expected);
        Host host(239, 187);
        QVERIFY(host.show());
        host.after->setFocus();
        host.scrollBar()->setValue(value);
        host.cell(column, row)->setFocus();
        QCOMPARE(host.grid->scrollValue(), expected);
    }

    void ensureRowVisible_ignoresRowsThatDoNotExist()
    {
        Host host(239, 187);
        host.scrollBar()->setValue(500);
        host.grid->EnsureRowVisible(-1);
        host.grid->EnsureRowVisible(50);
        QCOMPARE(host.grid->scrollValue(), 500);
    }

    void typing_afterScrollingAwayDoesNotScrollBack()
    {
        Host host(239, 187);
        QVERIFY(host.show());
        host.cell(1, 0)->setFocus();
        host.scrollBar()->setValue(3000);
        QTest::keyClicks(host.cell(1, 0), QStringLiteral("ab"));
        QCOMPARE(host.grid->scrollValue(), 3000);
        QCOMPARE(host.cell(1, 0)->text(), QStringLiteral("AB"));
    }

    void arrowKeys_moveBetweenCells_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<int>("cursor"); // in the cell that keeps the focus, -1 when it moves
        const auto none = Qt::KeyboardModifiers();
        QTest::newRow("Down moves to the next name")
            << 1 << 3 << int(Qt::Key_Down) << none << CellName(1, 4) << -1;
        QTest::newRow("Up moves to the previous score")
            << 2 << 3 << int(Qt::Key_Up) << none << CellName(2, 2) << -1;
        QTest::newRow("Down in the last row keeps the focus")
            << 1 << 49 << int(Qt::Key_Down) << none << CellName(1, 49) << 2;
        QTest::newRow("Up in the first row keeps the focus")
            << 2 << 0 << int(Qt::Key_Up) << none << CellName(2, 0) << 2;
        QTest::newRow("Right in a name moves to its score even with the caret inside")
            << 1 << 3 << int(Qt::Key_Right) << none << CellName(2, 3) << -1;
        QTest::newRow("Shift is ignored: Shift+Right in a name moves too")
            << 1 << 3 << int(Qt::Key_Right) << Qt::KeyboardModifiers(Qt::ShiftModifier) << CellName(2, 3)
            << -1;
        QTest::newRow("Left in a name only moves the caret")
            << 1 << 3 << int(Qt::Key_Left) << none << CellName(1, 3) << 1;
        QTest::newRow("Left in a score moves to its name")
            << 2 << 3 << int(Qt::Key_Left) << none << CellName(1, 3) << -1;
        QTest::newRow("Right in a score only moves the caret")
            << 2 << 3 << int(Qt::Key_Right) << none << CellName(2, 3) << 3;
    }
    void arrowKeys_moveBetweenCells()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, focus);
        QFETCH(int, cursor);
        Host host;
        QVERIFY(host.show());
        for (int i = 0; i < UserGrid::RowCount; ++i) {
            host.cell(1, i)->setText(QStringLiteral("ABCD"));
            host.cell(2, i)->setText(QStringLiteral("1234"));
        }
        QLineEdit *start = host.cell(column, row);
        start->setFocus();
        start->setCursorPosition(2);
        QTest::keyClick(start, Qt::Key(key), modifiers);
        QCOMPARE(FocusName(), focus);
        auto *now = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        if (cursor >= 0)
            QCOMPARE(now->cursorPosition(), cursor);
        else
            QCOMPARE(now->selectedText(), now->text());
    }

    void typing_andLeaving_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("read"); // while the cell is still being edited
        QTest::addColumn<QString>("left");
        const auto row = [](const char *name, int column, const char *typed, const char *shown,
                             const char *read, const char *left) {
            QTest::newRow(name) << column << QString(typed) << QString(shown) << QString(read)
                                << QString(left);
        };
        row("letters typed into a name appear as capitals", 1, "abc_1", "ABC_1", "ABC_1:1", "ABC_1");
        row("separators typed into a name stay until it is left", 1, "a & b:", "A & B:", "A & B::1", "A  B");
        row("a name of spaces is left empty", 1, "   ", "   ", "", "");
        row("a score takes letters unchanged and becomes 0", 2, "abc", "abc", "R:abc", "0");
        row("a score of spaces is left empty", 2, "   ", "   ", "R:", "");
        row("a plus sign is dropped", 2, "+3", "+3", "R:+3", "3");
        row("trailing zeros are dropped", 2, " 2.50", " 2.50", "R:2.50", "2.5");
        row("a score keeps seven significant digits", 2, "1234567.8", "1234567.8", "R:1234567.8", "1234568");
    }
    void typing_andLeaving()
    {
        QFETCH(int, column);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, read);
        QFETCH(QString, left);
        Host host;
        QVERIFY(host.show());
        host.grid->setConfiguration(QStringLiteral("||||R:1"));
        QLineEdit *cell = host.cell(column, 4);
        cell->setFocus();
        QTest::keyClicks(cell, typed);
        QCOMPARE(cell->text(), shown);
        QCOMPARE(host.grid->configuration(), read);
        QTest::keyClick(cell, Qt::Key_Tab);
        QCOMPARE(FocusName(), QStringLiteral("after"));
        QCOMPARE(cell->text(), left);
    }

    void paste_staysLowerCaseUntilTheCellIsLeft()
    {
        Host host;
        QVERIFY(host.show());
        QApplication::clipboard()->setText(QStringLiteral("bayes_50"));
        QLineEdit *cell = host.cell(1, 0);
        cell->setFocus();
        QTest::keyClick(cell, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(cell->text(), QStringLiteral("bayes_50"));
        QTest::keyClick(cell, Qt::Key_Down);
        QCOMPARE(cell->text(), QStringLiteral("BAYES_50"));
    }

    void entering_selectsTheWholeText_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("cell");
        QTest::newRow("Tab from the control before") << "tab" << CellName(1, 0);
        QTest::newRow("Shift+Tab from the control after") << "backtab" << CellName(1, 0);
        QTest::newRow("a mouse click") << "click" << CellName(2, 5);
        QTest::newRow("an arrow key") << "arrow" << CellName(1, 5);
    }
    void entering_selectsTheWholeText()
    {
        QFETCH(QString, how);
        QFETCH(QString, cell);
        Host host;
        QVERIFY(host.show());
        host.grid->setConfiguration(QStringLiteral("A|B|C|D|OLD NAME:3|FIVE:12.5"));
        if (how == u"tab") {
            host.before->setFocus();
            QTest::keyClick(host.before, Qt::Key_Tab);
        } else if (how == u"backtab") {
            host.after->setFocus();
            QTest::keyClick(host.after, Qt::Key_Backtab, Qt::ShiftModifier);
        } else if (how == u"click") {
            QTest::mouseClick(host.cell(2, 5), Qt::LeftButton, {}, QPoint(3, 7));
        } else {
            host.cell(1, 4)->setFocus();
            QTest::keyClick(host.cell(1, 4), Qt::Key_Down);
        }
        QCOMPARE(FocusName(), cell);
        auto *focus = qobject_cast<QLineEdit *>(QApplication::focusWidget());
        QVERIFY(!focus->text().isEmpty());
        QCOMPARE(focus->selectedText(), focus->text());
        QTest::keyClicks(focus, QStringLiteral("7"));
        QCOMPARE(focus->text(), QStringLiteral("7"));
    }

    void tab_leavesTheGrid_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("backwards");
        QTest::addColumn<QString>("focus");
        QTest::newRow("Tab in the first name cell") << 1 << 0 << false << "after";
        QTest::newRow("Shift+Tab in the first name cell") << 1 << 0 << true << "before";
        QTest::newRow("Tab in a score cell") << 2 << 7 << false << "after";
        QTest::newRow("Shift+Tab in a name cell further down") << 1 << 12 << true << "before";
        QTest::newRow("Shift+Tab in the last score cell") << 2 << 49 << true << "before";
    }
    void tab_leavesTheGrid()
    {
        QFETCH(int, column);
        QFETCH(int, row);
        QFETCH(bool, backwards);
        QFETCH(QString, focus);
        Host host;
        QVERIFY(host.show());
        host.cell(column, row)->setFocus();
        if (backwards)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        else
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(FocusName(), focus);
    }

    void tab_entersTheGridAgainAfterLeavingIt()
    {
        Host host;
        QVERIFY(host.show());
        host.cell(2, 20)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(FocusName(), QStringLiteral("after"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(FocusName(), CellName(1, 0));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(FocusName(), QStringLiteral("before"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(FocusName(), CellName(1, 0));
        host.grid->setFocus();
        QCOMPARE(FocusName(), CellName(1, 0));
    }

    void leavingTheApplication_pausesTheEdit()
    {
        Host host;
        QVERIFY(host.show());
        QLineEdit *cell = host.cell(2, 2);
        cell->setFocus();
        QTest::keyClicks(cell, QStringLiteral("abc"));
        cell->setCursorPosition(1);
        QApplication::setActiveWindow(nullptr);
        QTRY_VERIFY(!QApplication::focusWidget());
        QCOMPARE(cell->text(), QStringLiteral("abc"));
        QApplication::setActiveWindow(&host.window);
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        QCOMPARE(FocusName(), CellName(2, 2));
        QCOMPARE(cell->text(), QStringLiteral("abc"));
        QCOMPARE(cell->cursorPosition(), 1);
        QVERIFY(!cell->hasSelectedText());
        QTest::keyClick(cell, Qt::Key_Tab);
        QCOMPARE(cell->text(), QStringLiteral("0"));
    }

    void anotherWindowTakingTheFocus_endsTheEdit()
    {
        Host host;
        QVERIFY(host.show());
        QLineEdit *cell = host.cell(1, 2);
        cell->setFocus();
        QTest::keyClicks(cell, QStringLiteral("a:b"));
        QWidget other;
        auto *otherEdit = new QLineEdit(&other);
        other.show();
        QApplication::setActiveWindow(&other);
        QVERIFY(QTest::qWaitForWindowActive(&other));
        QCOMPARE(QApplication::focusWidget(), otherEdit);
        QCOMPARE(cell->text(), QStringLiteral("AB"));

        // The tab stops are back: Tab from the control before enters the grid.
        QApplication::setActiveWindow(&host.window);
        QVERIFY(QTest::qWaitForWindowActive(&host.window));
        host.before->setFocus();
        QTest::keyClick(host.before, Qt::Key_Tab);
        QCOMPARE(FocusName(), CellName(1, 0));
    }

    void destroyingTheGridWithAFocusedCell()
    {
        Host host;
        QVERIFY(host.show());
        host.cell(2, 3)->setFocus();
        QTest::keyClicks(host.cell(2, 3), QStringLiteral("1"));
        delete host.grid;
        host.before->setFocus();
        QCOMPARE(FocusName(), QStringLiteral("before"));
    }

    void colours_colourTheirControls_data()
    {
        QTest::addColumn<QString>("property");
        QTest::addColumn<QString>("prefix"); // of the names of the coloured controls
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("role");
        QTest::newRow("Column1BackColor: all 50 name cells") << "Column1BackColor"
                                                             << "txtColumn1_" << 50 << int(QPalette::Base);
        QTest::newRow("Column1ForeColor: all 50 name cells") << "Column1ForeColor"
                                                             << "txtColumn1_" << 50 << int(QPalette::Text);
        QTest::newRow("Column2BackColor: all 50 score cells") << "Column2BackColor"
                                                              << "txtColumn2_" << 50 << int(QPalette::Base);
        QTest::newRow("Column2ForeColor: all 50 score cells") << "Column2ForeColor"
                                                              << "txtColumn2_" << 50 << int(QPalette::Text);
        QTest::newRow("Header1BackColor: the name header") << "Header1BackColor"
                                                           << "txtHeader1" << 1 << int(QPalette::Base);
        QTest::newRow("Header1ForeColor: the name header") << "Header1ForeColor"
                                                           << "txtHeader1" << 1 << int(QPalette::Text);
        QTest::newRow("Header2BackColor: the score header") << "Header2BackColor"
                                                            << "txtHeader2" << 1 << int(QPalette::Base);
        QTest::newRow("Header2ForeColor: the score header") << "Header2ForeColor"
                                                            << "txtHeader2" << 1 << int(QPalette::Text);
        QTest::newRow("DividerLinesColor: both panels") << "DividerLinesColor"
                                                        << "Picture" << 2 << int(QPalette::Window);
    }
    void colours_colourTheirControls()
    {
        QFETCH(QString, property);
        QFETCH(QString, prefix);
        QFETCH(int, count);
        QFETCH(int, role);
        Host host;
        QVERIFY(host.show());
        const QColor colour(0x56, 0x34, 0x12);
        QVERIFY(host.grid->setProperty(property.toLatin1(), 0x123456u));
        QCOMPARE(host.grid->property(property.toLatin1()).toUInt(), 0x123456u);
        QStringList coloured;
        for (const QWidget *widget : host.grid->findChildren<QWidget *>()) {
            if (widget->palette().color(QPalette::ColorRole(role)) == colour)
                coloured << widget->objectName();
        }
        QCOMPARE(coloured.size(), count);
        for (const QString &name : std::as_const(coloured))
            QVERIFY2(name.startsWith(prefix), qPrintable(name));
    }

    void colours_systemColoursTakeThePalette()
    {
        Host host;
        const QPalette system = host.grid->palette();
        QCOMPARE(host.cell(1, 9)->palette().color(QPalette::Text), system.color(QPalette::Text));
        host.grid->setColumn2BackColor(0x8000000F); // button face
        QCOMPARE(host.cell(2, 9)->palette().color(QPalette::Base), system.color(QPalette::Button));
        QCOMPARE(host.grid->column2BackColor(), 0x8000000Fu);

        QPalette changed = system;
        changed.setColor(QPalette::Text, Qt::darkGreen);
        changed.setColor(QPalette::Button, Qt::darkRed);
        host.grid->setPalette(changed);
        QCOMPARE(host.cell(1, 9)->palette().color(QPalette::Text), QColor(Qt::darkGreen));
        QCOMPARE(host.cell(2, 9)->palette().color(QPalette::Base), QColor(Qt::darkRed));
        QCOMPARE(host.cell(2, 9)->palette().color(QPalette::Text), QColor(Qt::darkGreen));
    }

    void colours_unusableValueChangesNothing_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::newRow("text that is not a number") << QVariant(QStringLiteral("red"));
        QTest::newRow("an unused system colour index") << QVariant(0x80000019u);
        QTest::newRow("a system colour index past the table") << QVariant(0x800000FFu);
    }
    void colours_unusableValueChangesNothing()
    {
        QFETCH(QVariant, value);
        Host host;
        host.grid->setProperty("Column1BackColor", value);
        QCOMPARE(host.grid->column1BackColor(), 0xFFFFFFu);
        QCOMPARE(host.cell(1, 0)->palette().color(QPalette::Base), QColor(Qt::white));
    }
};

QTEST_MAIN(TestUserGrid)
#include "tst_usergrid.moc"
