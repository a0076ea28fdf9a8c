#pragma once

#include <QString>

class QWidget;

namespace norvale {

// The open-file dialog. A test can name the next file it gives, so no test
// blocks on a modal dialog.
class FileDialog
{
public:
    // Shows the dialog with a title and a filter in Qt's form ("Messages (*.eml);;All (*)").
    // The chosen path, or empty text when the user cancels.
    static QString getOpenFileName(QWidget *parent, const QString &title, const QString &filter);

    // Test hook: the next getOpenFileName returns fileName without showing
    // anything (empty text stands for a cancelled dialog). Used once.
    static void setNextFileName(const QString &fileName);
    // The save-file dialog, with the same test hook.
    static QString getSaveFileName(QWidget *parent, const QString &title, const QString &filter);
};

// A filter in the "description|pattern|description|pattern" form of catalogue
// text 82 in Qt's form: one "description (pattern pattern)" entry per pair,
// joined by ";;". Patterns separated by ";" are separated by spaces. A
// description that already ends with its patterns in brackets keeps them
// ("Messages (*.eml)|*.eml" gives "Messages (*.eml)"). Empty pairs and a
// description without a pattern are left out.
QString QtFileFilter(const QString &text82);

} // namespace norvale
