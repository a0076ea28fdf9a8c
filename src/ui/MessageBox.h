#pragma once

#include <QString>

class QWidget;

namespace norvale {

// Norvale's message boxes: the application's title, an OK button, the warning
// or information icon. In test mode nothing is shown; the text is recorded
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
    // How many boxes were shown (or recorded) since the test mode was last set.
    static int shownCount();
};

} // namespace norvale
