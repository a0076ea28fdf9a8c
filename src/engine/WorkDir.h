#pragma once

#include <QString>

namespace norvale {

struct WorkDirResult
{
    QString path; // the working folder, ending with "/"; set even when refused, so messages can name it
    enum class Error
    {
        None,
        CannotCreate,
        NotADirectory,
        WrongOwner,
        WrongMode
    } error
        = Error::None;
    QString detail; // what is wrong, for a message
    bool ok() const { return error == Error::None; }
};

// The private per-user working folder that holds the checker's report:
// $XDG_RUNTIME_DIR/norvale/ when XDG_RUNTIME_DIR names an existing folder by an
// absolute path, else <QDir::tempPath()>/norvale-<uid>/. It is created with mode
// 0700. One that exists already is used only when it is a real folder (not a
// symbolic link) owned by this user with mode 0700; otherwise it is refused,
// never changed, so another user cannot plant or read our files.
WorkDirResult GetTempDir();

} // namespace norvale
