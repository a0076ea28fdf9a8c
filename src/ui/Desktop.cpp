#include "Desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace norvale {

namespace {

// An address with a scheme ("http://...", "mailto:...") stays an address;
// anything else is a file, relative to folder when it is relative.
QUrl DocumentUrl(const QString &file, const QString &folder)
{
    QUrl url(file, QUrl::StrictMode);
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(folder.isEmpty() ? file : QDir(folder).absoluteFilePath(file));
}

} // namespace

QString GetShortPath(const QString &path)
{
    return !path.isEmpty() && QFileInfo::exists(path) ? path : QString();
}

bool OpenDocument(const QString &file, const QString &folder)
{
    if (file.isEmpty())
        return false;
    if (QDesktopServices::openUrl(DocumentUrl(file, folder)))
        return false;
    if (folder.isEmpty())
        return true;
    const QString path = GetShortPath(folder + u'/' + file);
    return path.isEmpty() || !QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

} // namespace norvale
