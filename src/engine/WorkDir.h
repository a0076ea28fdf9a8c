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

// The private per-user working folder that holds a check's files:
// $XDG_RUNTIME_DIR/norvale/ when XDG_RUNTIME_DIR names an existing folder by an
// absolute path, else <QDir::tempPath()>/norvale-<uid>/. It is created with mode
// 0700. One that exists already is used only when it is a real folder (not a
// symbolic link) owned by this user with mode 0700; otherwise it is never
// changed, so another user cannot plant or read our files.
//
// Inside XDG_RUNTIME_DIR, which only this user can write, such a folder is
// the user's own doing and is refused with the reason. In the shared
// temporary folder anyone can take the fixed name first: then a fresh private
// folder of our own is made there instead (norvale-<uid>-XXXXXX, a warning in
// the log says why), used for the rest of the program's life and removed
// when the program ends.
WorkDirResult GetTempDir();

// Removes the fresh folder GetTempDir may have made, with the files left in
// it; nothing when none was made. Runs by itself when the program ends
// normally; a program ended by a signal calls it on its way out.
void RemoveFallbackWorkDir();

} // namespace norvale
