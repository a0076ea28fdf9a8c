#include "MessageFile.h"

#include <QFile>

// GLib's headers use "signals" as a field name, which Qt defines as a macro.
#pragma push_macro("signals")
#undef signals
#include <gmime/gmime.h>
#pragma pop_macro("signals")

#include <cerrno>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace norvale {

namespace {

void InitGMime()
{
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// Owns one GObject reference.
template <typename T> struct GObjectRef
{
    T *object = nullptr;
    explicit GObjectRef(T *o)
        : object(o)
    { }
    ~GObjectRef()
    {
        if (object)
            g_object_unref(object);
    }
    GObjectRef(const GObjectRef &) = delete;
    GObjectRef &operator=(const GObjectRef &) = delete;
};

// Parses the file from its start through a descriptor of its own.
bool HasHeaderBlock(int fd)
{
    const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0)
        return false;
    InitGMime();
    // The stream takes over the descriptor and closes it; the bounds make it
    // read from the start, whatever the shared offset is.
    GObjectRef<GMimeStream> stream(g_mime_stream_fs_new_with_bounds(own, 0, -1));
    GObjectRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.object));
    g_mime_parser_set_format(parser.object, GMIME_FORMAT_MESSAGE);
    GObjectRef<GMimeMessage> message(g_mime_parser_construct_message(parser.object, nullptr));
    if (!message.object)
        return false;
    GMimeHeaderList *headers = g_mime_object_get_header_list(GMIME_OBJECT(message.object));
    return headers && g_mime_header_list_get_count(headers) > 0;
}

bool WriteAll(int fd, const char *data, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size_t(size));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

OpenedMessage::~OpenedMessage()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

OpenedMessage::OpenedMessage(OpenedMessage &&other) noexcept
    : m_status(other.m_status)
    , m_fd(std::exchange(other.m_fd, -1))
    , m_size(other.m_size)
{ }

OpenedMessage &OpenedMessage::operator=(OpenedMessage &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_status = other.m_status;
        m_fd = std::exchange(other.m_fd, -1);
        m_size = other.m_size;
    }
    return *this;
}

MessageFileStatus OpenedMessage::copyTo(int target, QString *error) const
{
    if (m_fd < 0)
        return m_status;
    char buffer[64 * 1024];
    qint64 offset = 0;
    for (;;) {
        const ssize_t got = ::pread(m_fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return MessageFileStatus::Unreadable;
        if (got == 0)
            return MessageFileStatus::Ok;
        offset += got;
        if (offset > MessageSizeLimit)
            return MessageFileStatus::TooLarge;
        if (!WriteAll(target, buffer, got)) {
            if (error)
                *error = qt_error_string(errno);
            return MessageFileStatus::Ok;
        }
    }
}

OpenedMessage OpenMessageFile(const QString &path)
{
    OpenedMessage opened;
    const auto judged = [&opened](MessageFileStatus status) {
        opened.m_status = status;
        if (status != MessageFileStatus::Ok && opened.m_fd >= 0)
            ::close(std::exchange(opened.m_fd, -1));
        return std::move(opened);
    };
    if (path.isEmpty())
        return judged(MessageFileStatus::NotFound);
    const QByteArray native = QFile::encodeName(path);

    struct stat info = {};
    if (::stat(native.constData(), &info) != 0)
        return judged(errno == ENOENT || errno == ENOTDIR ? MessageFileStatus::NotFound
                                                          : MessageFileStatus::Unreadable);
    if (!S_ISREG(info.st_mode))
        return judged(MessageFileStatus::NotARegularFile);

    // Non-blocking, so a file swapped for a pipe since stat() cannot hang us;
    // fstat() then judges what was really opened, and from here on only the
    // descriptor is used.
    opened.m_fd = ::open(native.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (opened.m_fd < 0)
        return judged(errno == ENOENT ? MessageFileStatus::NotFound : MessageFileStatus::Unreadable);
    if (::fstat(opened.m_fd, &info) != 0 || !S_ISREG(info.st_mode))
        return judged(MessageFileStatus::NotARegularFile);
    ::fcntl(opened.m_fd, F_SETFL, ::fcntl(opened.m_fd, F_GETFL) & ~O_NONBLOCK);
    opened.m_size = info.st_size;
    // Before parsing: a mailbox of gigabytes is refused without reading it.
    if (info.st_size > MessageSizeLimit)
        return judged(MessageFileStatus::TooLarge);
    return judged(HasHeaderBlock(opened.m_fd) ? MessageFileStatus::Ok : MessageFileStatus::NotAMessage);
}

MessageFileStatus ValidateMessageFile(const QString &path)
{
    return OpenMessageFile(path).status();
}

} // namespace norvale
