#include "MessageFile.h"

#include <QFile>

#include "GMimeSupport.h"

#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>

namespace norvale {

void InitGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

namespace {

bool HasHeaderBlock(int fd)
{
    InitGMime();
    // The stream takes over the descriptor and closes it.
    GObjectRef<GMimeStream> stream(g_mime_stream_fs_new(fd));
    GObjectRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.object));
    g_mime_parser_set_format(parser.object, GMIME_FORMAT_MESSAGE);
    GObjectRef<GMimeMessage> message(g_mime_parser_construct_message(parser.object, nullptr));
    if (!message.object)
        return false;
    GMimeHeaderList *headers = g_mime_object_get_header_list(GMIME_OBJECT(message.object));
    return headers && g_mime_header_list_get_count(headers) > 0;
}

} // namespace

MessageFileStatus ValidateMessageFile(const QString &path)
{
    if (path.isEmpty())
        return MessageFileStatus::NotFound;
    const QByteArray native = QFile::encodeName(path);

    struct stat info = {};
    if (::stat(native.constData(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? MessageFileStatus::NotFound
                                                   : MessageFileStatus::Unreadable;
    if (!S_ISREG(info.st_mode))
        return MessageFileStatus::NotARegularFile;

    // Non-blocking, so a file swapped for a pipe since stat() cannot hang us;
    // fstat() then judges what was really opened.
    const int fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOENT ? MessageFileStatus::NotFound : MessageFileStatus::Unreadable;
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return MessageFileStatus::NotARegularFile;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return HasHeaderBlock(fd) ? MessageFileStatus::Ok : MessageFileStatus::NotAMessage;
}

} // namespace norvale
