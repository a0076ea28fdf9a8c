#include "WorkDir.h"

#include "Logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace norvale {

namespace {

QString ErrnoText(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// Uses the folder when it is safe, creating it when it is missing.
WorkDirResult UseFolder(const QString &folder)
{
    WorkDirResult result;
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

// The fresh folder made in place of a taken one: its path as bytes, so that
// removing it at the end needs nothing of Qt.
std::mutex FallbackMutex;
char FallbackPath[4096] = {};

void RemoveFallbackAtExit()
{
    RemoveFallbackWorkDir();
}

// A fresh private folder beside the taken one, made once per program.
WorkDirResult FallbackFolder(const QString &taken, const WorkDirResult &refused)
{
    const std::lock_guard lock(FallbackMutex);
    if (FallbackPath[0] != '\0') {
        WorkDirResult again = UseFolder(QFile::decodeName(FallbackPath));
        if (again.ok())
            return again;
    }
    QByteArray pattern = QFile::encodeName(taken) + "-XXXXXX";
    if (pattern.size() >= qsizetype(sizeof FallbackPath) || !::mkdtemp(pattern.data()))
        return refused;
    std::memcpy(FallbackPath, pattern.constData(), size_t(pattern.size()) + 1);
    static const bool registered = std::atexit(RemoveFallbackAtExit) == 0;
    Q_UNUSED(registered);
    const QString path = QFile::decodeName(pattern);
    qCWarning(lcWorkDir,
        "The working folder %s cannot be used (%s); using the fresh private folder %s instead",
        qUtf8Printable(taken), qUtf8Printable(refused.detail), qUtf8Printable(path));
    return UseFolder(path);
}

} // namespace

WorkDirResult GetTempDir()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime) && QFileInfo(runtime).isDir())
        return UseFolder(QDir::cleanPath(runtime) + QStringLiteral("/norvale"));

    const QString folder = QDir::cleanPath(QDir::tempPath()) + QStringLiteral("/norvale-%1").arg(::geteuid());
    WorkDirResult result = UseFolder(folder);
    if (result.ok() || result.error == WorkDirResult::Error::CannotCreate)
        return result;
    return FallbackFolder(folder, result);
}

void RemoveFallbackWorkDir()
{
    // Plain system calls only: this also runs on the way out after a signal
    // and after Qt has shut down.
    char path[sizeof FallbackPath];
    {
        const std::lock_guard lock(FallbackMutex);
        if (FallbackPath[0] == '\0')
            return;
        std::memcpy(path, FallbackPath, sizeof path);
        FallbackPath[0] = '\0';
    }
    if (DIR *dir = ::opendir(path)) {
        const int fd = ::dirfd(dir);
        while (const dirent *entry = ::readdir(dir)) {
            if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
                ::unlinkat(fd, entry->d_name, 0);
        }
        ::closedir(dir);
    }
    ::rmdir(path);
}

} // namespace norvale
