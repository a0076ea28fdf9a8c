#pragma once

#include <QString>
#include <QStringView>

namespace norvale {

// Removes leading and trailing space characters (code 32) only; tabs, carriage
// returns and other white space stay. Report lines, catalogue texts and rule
// names are trimmed this way.
QString TrimSpaces(QStringView text);
QStringView TrimSpacesView(QStringView text);

} // namespace norvale
