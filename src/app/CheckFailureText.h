#pragma once

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

} // namespace norvale
