#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace norvale {

// Removes leading and trailing space characters (code 32) only; tabs, carriage
// returns and other white space stay. Report lines, catalogue texts and rule
// names are trimmed this way.
QString TrimSpaces(QStringView text);
QStringView TrimSpacesView(QStringView text);

// Text from a file name, a report or a message, made safe to print on a
// terminal: every character that could act on the terminal or reorder what it
// shows is written as an escape instead. Those are the C0 controls (ESC, BEL,
// CR, ...), DEL, the C1 controls U+0080 to U+009F (CSI, OSC, ...), the
// bidirectional marks, embeddings, overrides and isolates, and the line and
// paragraph separators. Tab, CR and LF are written \t, \r and \n, the others
// \xHH or \uHHHH; everything else, a backslash included, stays as it is.
// With keepLineFeeds, LF stays a line break (a message of several lines).
QString EscapeForTerminal(QStringView text, bool keepLineFeeds = false);

// True for the characters EscapeForTerminal escapes.
bool ActsOnTerminal(QChar c);

// The text as a widget may show it: a text of more than maxChars characters
// (UTF-16 units) is cut to maxChars - 1 and ends with an ellipsis, never
// inside a surrogate pair. A report field can run to megabytes, which a list
// or a message box would lay out for seconds.
QString ElideText(QStringView text, qsizetype maxChars);

// Breaks text into lines of at most width characters at spaces (runs of
// spaces collapse); a word longer than a line is cut. Always at least one line.
QStringList WrapAtSpaces(const QString &text, qsizetype width);

// The end of a program's output, short enough for a message: its last
// maxLines non-empty lines (trailing spaces dropped), and of those at most the
// last maxChars characters, from a line's start where one fits (else cut at the
// front, never inside a surrogate pair, behind an ellipsis). Empty for text
// that is empty or white space only.
QString lastLines(QStringView text, qsizetype maxLines, qsizetype maxChars);

} // namespace norvale
