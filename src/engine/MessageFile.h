#pragma once

#include <QString>
#include <QtGlobal>

namespace norvale {

enum class MessageFileStatus
{
    Ok,
    NotFound,
    NotARegularFile,
    Unreadable,
    NotAMessage,
    TooLarge
};

// The largest message file Norvale checks: far above any real newsletter
// (a few hundred KiB, a few MiB with pictures), far below a mailbox picked by
// mistake, which would make the checker use many times its size in memory.
inline constexpr qint64 MessageSizeLimit = qint64(32) * 1024 * 1024;

// A message file opened once and checked through its descriptor, so what was
// checked is what is read afterwards, whatever happens to its name meanwhile.
class OpenedMessage
{
public:
    OpenedMessage() = default;
    ~OpenedMessage();
    OpenedMessage(OpenedMessage &&other) noexcept;
    OpenedMessage &operator=(OpenedMessage &&other) noexcept;
    OpenedMessage(const OpenedMessage &) = delete;
    OpenedMessage &operator=(const OpenedMessage &) = delete;

    MessageFileStatus status() const { return m_status; }
    bool ok() const { return m_status == MessageFileStatus::Ok; }
    // The open descriptor (read-only, blocking); -1 unless ok().
    int descriptor() const { return m_fd; }
    // The size the file had when it was opened.
    qint64 size() const { return m_size; }

    // Copies the file's bytes, from its start, into the descriptor `target`
    // (at most MessageSizeLimit; a file grown past it is TooLarge). Returns
    // Ok, TooLarge or Unreadable; `error` gets the system's words for a
    // failed write, which leaves the status Ok.
    MessageFileStatus copyTo(int target, QString *error) const;

private:
    friend OpenedMessage OpenMessageFile(const QString &path);
    MessageFileStatus m_status = MessageFileStatus::NotFound;
    int m_fd = -1;
    qint64 m_size = 0;
};

// Opens a message file for checking and judges it. It must be a regular file
// (a symbolic link to one is fine; a name beginning with "." is an ordinary
// name here) that this user can read, of at most MessageSizeLimit bytes, and
// GMime must parse it as a message with a header block: at least one header
// field at the very start of the file. That rules out an empty file, binary
// junk and plain text (GMime finds no message in them) and text that begins
// with a blank line (GMime gives a message without headers). Anything that
// begins with a well-formed header line counts, however odd the rest; the
// checker judges the content. Folders, devices and pipes are
// NotARegularFile; a missing path or a broken link is NotFound. The file is
// opened without waiting, so a pipe put in its place cannot hang us.
OpenedMessage OpenMessageFile(const QString &path);

// The status OpenMessageFile gives, the file closed again.
MessageFileStatus ValidateMessageFile(const QString &path);

} // namespace norvale
