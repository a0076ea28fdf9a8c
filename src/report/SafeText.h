#pragma once

#include <QString>
#include <QStringView>

namespace norvale {

// Text that came from a message, the checker or a file name is data. These
// turn it into something that can be shown without being interpreted.

// For HTML: markup characters escaped (& < > " '), control characters (except
// line feed and tab) shown as U+FFFD, line feeds kept as they are.
QString HtmlText(QStringView text);

// For a terminal: every control character (C0, DEL and C1, escape sequences
// included) written as a visible \xNN, \uNNNN or \t, so nothing can move the
// cursor, change colours, set the title or hide text. Line feeds are kept only
// when `keepLineFeeds`.
QString TerminalText(QStringView text, bool keepLineFeeds = false);

} // namespace norvale
