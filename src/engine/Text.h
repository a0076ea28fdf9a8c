#pragma once

#include <QString>
#include <QStringView>

namespace norvale {

// Removes leading and trailing space characters (code 32) only; tabs, carriage
// returns and other white space stay. Report lines, catalogue texts and rule
// names are trimmed this way.
QString TrimSpaces(QStringView text);
QStringView TrimSpacesView(QStringView text);

// The text as a widget may show it: a text of more than maxChars characters
// (UTF-16 units) is cut to maxChars - 1 and ends with an ellipsis, never
// inside a surrogate pair. A report field can run to megabytes, which a list
// or a message box would lay out for seconds.
QString ElideText(QStringView text, qsizetype maxChars);

} // namespace norvale
