#pragma once

#include "ApplicationFolder.h"

#include <QByteArrayView>
#include <QList>
#include <QString>

namespace norvale {

// The table of numbered texts that every text the user sees comes from, so the
// program is translated by replacing one file. A catalogue file is UTF-8; lines
// end with LF or CR LF. A line "<id> <text>" defines text <id> (1 to 32767):
// the id is read as a leading number and rounded halves to even, the text is
// trimmed of spaces (not tabs) and every "\n" in it becomes a line break (LF).
// Any other line (no space, an id that is not a number above 0, an id too
// large) defines nothing, so comment lines begin with a word such as "#".
// A later line for the same id replaces the earlier one.
class TextCatalogue
{
public:
    static constexpr int HighestPossibleId = 32767;

    // Rebuilds the table from the file, read in one piece. A missing or
    // unreadable file leaves the empty table (the single empty entry 0).
    void load(const QString &path);
    // Rebuilds the table from the file's content.
    void loadData(QByteArrayView utf8);

    // The text of an id; empty for an id no line defined or outside the table.
    QString text(int id) const;
    // The highest index of the table; 0 for the empty table.
    int highestId() const;

private:
    void defineLine(QStringView line);

    QList<QString> m_texts = QList<QString>(1);
};

// Loads the process-wide catalogue. Called once at start, before any window.
void LoadTextCatalogue(const QString &path = ApplicationFile(u"/ide/ide.txt"));
// A text of the process-wide catalogue; empty for an id outside it.
QString GetText(int id);
// GetText(id) with its %1, %2, ... filled in by QString::arg; empty when the
// catalogue has no such text (without Qt's warning about missing arguments).
template <typename... Args> QString FillText(int id, const Args &...args)
{
    const QString text = GetText(id);
    return text.isEmpty() ? text : text.arg(args...);
}
const TextCatalogue &Catalogue();
// The file LoadTextCatalogue last loaded (or tried to); empty before it. Files
// that go with the catalogue, such as the rule guide, are found beside it.
QString LoadedCataloguePath();

// Windows are designed with placeholders, "#" and a text id, where a
// catalogue text belongs. PlaceholderId gives that id when value is a
// placeholder whose number (a leading number, rounded halves to even) is an id
// from 1 to 32767, and 0 otherwise. ReplacePlaceholder gives the catalogue text
// for such a placeholder (empty when the catalogue has none) and value itself
// for anything else.
int PlaceholderId(const QString &value);
QString ReplacePlaceholder(const QString &value);

} // namespace norvale
