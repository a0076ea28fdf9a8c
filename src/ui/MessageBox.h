#pragma once

#include <QString>
#include <Qt>

class QWidget;

namespace norvale {

// Norvale's message boxes: the application's title, an OK button, the warning
// or information icon, the text shown as plain text (never markup). In test
// mode the box is built but not shown; its text is recorded
// instead, so no test blocks on a modal box.
class MessageBox
{
public:
    static void warning(QWidget *parent, const QString &text);
    static void information(QWidget *parent, const QString &text);

    // Test hook: while on, boxes are counted and their text kept, not shown.
    static void setTestMode(bool on);
    // The text of the last box shown (or recorded); empty before the first.
    static QString lastText();
    // The text format of the last box; its text is never read as markup.
    static Qt::TextFormat lastTextFormat();
    // How many boxes were shown (or recorded) since the test mode was last set.
    static int shownCount();
};

} // namespace norvale
