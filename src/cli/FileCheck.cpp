#include "FileCheck.h"

#include "CheckFailureText.h"
#include "CheckRun.h"
#include "ReadinessNetwork.h"

namespace norvale {

FileCheckResult CheckFile(const QString &path, const CheckSettings &settings)
{
    FileCheckResult result;
    result.path = path;
    // The window's check, waited for.
    const CheckOutcome outcome
        = RunCheck({ path, settings.rules, settings.thresholdBoxes, settings.online, settings.readiness });
    if (!outcome.ok()) {
        result.failed = true;
        result.error = CheckOutcomeFailureText(outcome, FailureWording::CommandLine);
        result.errorNamesFile = outcome.stage == CheckOutcome::Stage::MessageFile;
        return result;
    }
    result.score = outcome.score;
    result.level = outcome.level;
    result.readiness = outcome.readiness;
    if (result.readiness) {
        if (settings.online)
            AddNetworkFindings(*result.readiness, DnsSettingsFromEnvironment());
        result.readiness->signedMessage.clear();
    }
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
