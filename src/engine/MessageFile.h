#pragma once

#include <QString>

namespace norvale {

enum class MessageFileStatus
{
    Ok,
    NotFound,
    NotARegularFile,
    Unreadable,
    NotAMessage
};

// Whether a file can be handed to the checker as a message. It must be a regular
// file (a symbolic link to one is fine; a name beginning with "." is an ordinary
// name here) that this user can read, and GMime must parse it as a message with
// a header block: at least one header field at the very start of the file.
// That rules out an empty file, binary junk and plain text (GMime finds no
// message in them) and text that begins with a blank line (GMime gives a message
// without headers). Anything that begins with a well-formed header line counts,
// however odd the rest; the checker judges the content. Folders, devices and
// pipes are NotARegularFile; a missing path or a broken link is NotFound.
MessageFileStatus ValidateMessageFile(const QString &path);

} // namespace norvale
