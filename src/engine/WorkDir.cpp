#include "WorkDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace norvale {

namespace {

QString BaseFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return QDir::cleanPath(runtime) + QStringLiteral("/norvale");
    return QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/norvale-%1").arg(::geteuid());
}

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

WorkDirResult GetTempDir()
{
    WorkDirResult result;
    const QString folder = BaseFolder();
    result.path = folder + QLatin1Char('/');
    const QByteArray native = QFile::encodeName(folder);

    if (::mkdir(native.constData(), 0700) == 0) {
        // Ours since a moment ago; only the umask could have narrowed the mode.
        ::chmod(native.constData(), 0700);
    } else if (errno != EEXIST) {
        result.error = WorkDirResult::Error::CannotCreate;
        result.detail = QStringLiteral("%1: %2").arg(folder, ErrnoText(errno));
        return result;
    }

    struct stat info = {};
    if (::lstat(native.constData(), &info) != 0) {
        result.error = WorkDirResult::Error::CannotCreate;
        result.detail = QStringLiteral("%1: %2").arg(folder, ErrnoText(errno));
    } else if (S_ISLNK(info.st_mode)) {
        result.error = WorkDirResult::Error::NotADirectory;
        result.detail = QStringLiteral("%1 is a symbolic link, not a folder").arg(folder);
    } else if (!S_ISDIR(info.st_mode)) {
        result.error = WorkDirResult::Error::NotADirectory;
        result.detail = QStringLiteral("%1 is not a folder").arg(folder);
    } else if (info.st_uid != ::geteuid()) {
        result.error = WorkDirResult::Error::WrongOwner;
        result.detail = QStringLiteral("%1 belongs to another user (uid %2)").arg(folder).arg(info.st_uid);
    } else if ((info.st_mode & 07777) != 0700) {
        result.error = WorkDirResult::Error::WrongMode;
        result.detail = QStringLiteral("%1 has mode %2, not 0700")
                            .arg(folder)
                            .arg(info.st_mode & 07777, 4, 8, QLatin1Char('0'));
    }
    return result;
}

} // namespace norvale
