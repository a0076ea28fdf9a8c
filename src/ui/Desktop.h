#pragma once

#include <QString>

namespace norvale {

// The path itself when it names an existing file or folder, else empty text.
// (This platform has no short form of a path.)
QString GetShortPath(const QString &path);

// Opens a web address or a file with the desktop's default program. A file is
// looked for relative to folder when folder is given; when that fails, the
// short path of folder, "/" and file is tried once more. True when opening
// failed; false when it worked or file is empty (nothing to open).
bool OpenDocument(const QString &file, const QString &folder);

} // namespace norvale
