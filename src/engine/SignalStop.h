#pragma once

#include <functional>

namespace norvale {

// How the program ends after a stop signal: with the usual status 128 + the
// signal's number (130 for SIGINT, 143 for SIGTERM, 129 for SIGHUP).
using SignalFinish = std::function<void(int status)>;

// Lets SIGINT, SIGTERM and SIGHUP end the program cleanly instead of at once:
// every running check is cancelled (its checker killed with everything it
// started, its files removed), the fresh working folder made in place of a
// taken one is removed, and then `finish` ends the program with the status.
// The signal handler only writes to a pipe; the work is done in the event
// loop of the calling thread, which must be the main thread with a
// QCoreApplication. A signal ignored when the program started (nohup, a
// background job) stays ignored. Calling it again replaces `finish`.
void StopOnSignals(SignalFinish finish);

// A finish that ends the program at once, for a program that may be inside a
// nested event loop: standard output and error are flushed first.
void ExitNow(int status);

} // namespace norvale
