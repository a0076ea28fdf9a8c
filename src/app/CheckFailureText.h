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
QString CheckerFailureText(const SpamCheckResult &result);
QString WorkDirFailureText(const WorkDirResult &result);
// The command line's finer message for a file that cannot be checked; the
// window shows its single text 84 instead.
QString MessageFileFailureText(MessageFileStatus status, const QString &path);
// Text 84, every "%1" replaced by the path.
QString MessageFileWarningText(const QString &path);

// Who reads a failure: the window names a refused message file with its
// single text 84 (a file too large excepted, which has its own), the command
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
