#pragma once

#include <QtGlobal>

#include <QByteArray>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// The checker's daemon never runs as root. A test of it run by root (a CI
// container) starts itself again as the unprivileged user "nobody", as an
// ordinary user would run Norvale; it returns only when not root.
// The folders above `path` that others cannot pass through get that right,
// so that "nobody" reaches the test program and its data wherever the
// checkout lies (a CI checkout under a private temporary folder).
inline void LetOthersPassTo(const char *path)
{
    char resolved[PATH_MAX];
    if (!::realpath(path, resolved))
        return;
    QByteArray folder(resolved);
    while (true) {
        const qsizetype slash = folder.lastIndexOf('/');
        if (slash <= 0)
            break;
        folder.truncate(slash);
        struct stat info
        {
        };
        if (::stat(folder.constData(), &info) == 0 && !(info.st_mode & S_IXOTH)) {
            std::fprintf(stderr, "letting others pass through %s for the test\n", folder.constData());
            ::chmod(folder.constData(), (info.st_mode & 07777) | S_IXOTH);
        }
    }
}

inline void DropRoot(int argc, char **argv)
{
    if (::geteuid() != 0)
        return;
    LetOthersPassTo(argv[0]);
#ifdef NORVALE_TEST_DATA
    LetOthersPassTo(NORVALE_TEST_DATA "/messages");
    LetOthersPassTo(NORVALE_TEST_DATA "/recorded/index.tsv");
    LetOthersPassTo(NORVALE_TEST_DATA "/fake-checkers/recorded");
#endif
#ifdef NORVALE_SOURCE_DIR
    LetOthersPassTo(NORVALE_SOURCE_DIR "/samples");
#endif
    std::vector<char *> arguments { const_cast<char *>("setpriv"), const_cast<char *>("--reuid=65534"),
        const_cast<char *>("--regid=65534"), const_cast<char *>("--clear-groups") };
    for (int i = 0; i < argc; ++i)
        arguments.push_back(argv[i]);
    arguments.push_back(nullptr);
    ::execvp("setpriv", arguments.data());
    qFatal("cannot leave root: setpriv did not start");
}

// A loopback port nothing listens on at this moment.
inline quint16 FreeLoopbackPort()
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    quint16 port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0
        && ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    ::close(fd);
    return port;
}
