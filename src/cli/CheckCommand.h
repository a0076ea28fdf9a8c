#pragma once

#include <QSet>
#include <QStringList>

namespace norvale {

// Exit statuses of norvale-check.
enum CheckExitStatus : int
{
    ExitChecked = 0, // every file was checked
    ExitNotChecked = 1, // at least one file could not be checked
    ExitUsage = 2, // the arguments were wrong
    ExitFailLevel = 3, // with --fail-level: a checked file reached the level
};

// The whole command: reads the arguments (without the program name), checks
// every file, writes results to standard output and problems to standard
// error, and returns the exit status. A file that cannot be checked does not
// stop the others; when some file could not be checked, that status wins over
// the fail level. `undecodable`: see ParseCheckArguments.
int RunCheckCommand(const QStringList &arguments, const QSet<qsizetype> &undecodable = {});

// The program's arguments (without its name) as text, and in `undecodable`
// the indexes of those whose bytes do not survive the round trip through the
// system's encoding (invalid UTF-8 in a file name).
QStringList DecodeArguments(int argc, const char *const *argv, QSet<qsizetype> &undecodable);

} // namespace norvale
