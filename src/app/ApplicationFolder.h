#pragma once

#include <QString>
#include <QStringView>

namespace norvale {

// The folder of the running executable (symbolic links resolved), without a
// trailing "/". Every file the program ships with is found below it. Needs the
// application object to exist.
QString ApplicationFolder();

// ApplicationFolder() followed by relativePath, which begins with "/":
// ApplicationFile(u"/ide/ide.txt").
QString ApplicationFile(QStringView relativePath);

// The program's version, "major.minor.patch", as the build declares it.
QString ApplicationVersion();

} // namespace norvale
