#include "FileCheck.h"

#include "CheckFailureText.h"
#include "CheckRun.h"

namespace norvale {

FileCheckResult CheckFile(const QString &path, const CheckSettings &settings)
{
    FileCheckResult result;
    result.path = path;
    // The window's check, waited for.
    const CheckOutcome outcome = RunCheck({ path, settings.rules, settings.thresholdBoxes, settings.online });
    if (!outcome.ok()) {
        result.failed = true;
        result.error = CheckOutcomeFailureText(outcome, FailureWording::CommandLine);
        result.errorNamesFile = outcome.stage == CheckOutcome::Stage::MessageFile;
        return result;
    }
    result.score = outcome.score;
    result.level = outcome.level;
    return result;
}

FileCheckResult UndecodableFileResult(const QString &path)
{
    FileCheckResult result;
    result.path = path;
    result.failed = true;
    result.error = MessageFileFailureText(MessageFileStatus::Unreadable, path);
    result.errorNamesFile = true;
    return result;
}

} // namespace norvale
