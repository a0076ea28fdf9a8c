#include "ApplicationFolder.h"

#include <QCoreApplication>

namespace norvale {

QString ApplicationFolder()
{
    QString folder = QCoreApplication::applicationDirPath();
    // Only an executable in "/" gets a trailing "/"; dropping it keeps
    // ApplicationFile() from doubling the separator.
    if (folder.endsWith(u'/'))
        folder.chop(1);
    return folder;
}

QString ApplicationFile(QStringView relativePath)
{
    QString path = ApplicationFolder();
    path.append(relativePath);
    return path;
}

QString ApplicationVersion()
{
    return QStringLiteral(NORVALE_VERSION);
}

} // namespace norvale
