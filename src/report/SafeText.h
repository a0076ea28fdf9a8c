#pragma once

#include <QString>
#include <QStringView>

namespace norvale {

// Text that came from a message, the checker or a file name is data: this
// turns it into something that can be shown without being interpreted.

// For HTML: markup characters escaped (& < > " '), control characters (except
// line feed and tab) shown as U+FFFD, line feeds kept as they are.
QString HtmlText(QStringView text);

// For a terminal: EscapeForTerminal (Text.h).

} // namespace norvale
