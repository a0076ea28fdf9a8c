#pragma once

#include "CheckRun.h"
#include "MessageFile.h"
#include "SpamCheck.h"
#include "WorkDir.h"

#include <QString>

namespace norvale {

// The catalogue messages for a check that could not give a score. Each names
// what went wrong and where, in the user's language, so no failure can pass
// for a clean result.
// A checker that said something on its standard error before it failed (a
// crash, a time-out, an error exit, no report section) has its last words
// under the message: checkerSaidText(result), after an empty line.
QString CheckerFailureText(const SpamCheckResult &result);
// The TextId::CheckerSaid text with the end of result.checkerSaid, cut to its
// last CheckerSaidLines lines and CheckerSaidChars characters; empty when the
// checker said nothing.
inline constexpr qsizetype CheckerSaidLines = 5;
inline constexpr qsizetype CheckerSaidChars = 500;
QString checkerSaidText(const SpamCheckResult &result);
QString WorkDirFailureText(const WorkDirResult &result);
// The command line's finer message for a file that cannot be checked; the
// window shows its single MessageFileWarning text instead.
QString MessageFileFailureText(MessageFileStatus status, const QString &path);
// The MessageFileWarning text, every "%1" replaced by the path.
QString MessageFileWarningText(const QString &path);

// Who reads a failure: the window names a refused message file with its
// single MessageFileWarning text (a file too large excepted, which has its own), the command
// line with the finer texts of MessageFileFailureText.
enum class FailureWording
{
    Window,
    CommandLine
};
// What the user reads about a check that gave no score; empty for a scored or
// cancelled check.
QString CheckOutcomeFailureText(const CheckOutcome &outcome, FailureWording wording);

} // namespace norvale
