#include "SignalStop.h"

#include "CheckRun.h"
#include "WorkDir.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace norvale {

namespace {

int SignalPipe[2] = { -1, -1 };
SignalFinish Finish;

void OnSignal(int number)
{
    const int saved = errno;
    const char byte = char(number);
    // Async-signal-safe; a full pipe already holds a signal to act on.
    [[maybe_unused]] const ssize_t written = ::write(SignalPipe[1], &byte, 1);
    errno = saved;
}

void OnSignalNoted()
{
    char byte = 0;
    if (::read(SignalPipe[0], &byte, 1) != 1)
        return;
    CheckRun::cancelAll();
    RemoveFallbackWorkDir();
    if (Finish)
        Finish(128 + int(byte));
}

} // namespace

void StopOnSignals(SignalFinish finish)
{
    Finish = std::move(finish);
    if (SignalPipe[0] >= 0)
        return;
    if (::pipe2(SignalPipe, O_CLOEXEC | O_NONBLOCK) != 0) {
        SignalPipe[0] = SignalPipe[1] = -1;
        return;
    }
    auto *notifier = new QSocketNotifier(SignalPipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [] { OnSignalNoted(); });

    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : { SIGINT, SIGTERM, SIGHUP }) {
        // A signal ignored from the start (nohup, a background job) stays ignored.
        struct sigaction old = {};
        if (::sigaction(number, nullptr, &old) == 0 && old.sa_handler == SIG_IGN)
            continue;
        ::sigaction(number, &action, nullptr);
    }
}

void ExitNow(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(status);
}

} // namespace norvale
