#include "FileCheck.h"

#include "CheckFailureText.h"
#include "CheckRun.h"
#include "Logging.h"

#include <QElapsedTimer>

namespace norvale {

FileCheckResult CheckFile(const QString &path, const CheckSettings &settings)
{
    // The window's check, waited for.
    return FileResultFromOutcome(
        path, RunCheck({ path, settings.rules, settings.thresholdBoxes, settings.online }), settings);
}

FileCheckResult FileResultFromOutcome(const QString &path, const CheckOutcome &outcome, const CheckSettings &settings)
{
    FileCheckResult result;
    result.path = path;
    if (!outcome.ok()) {
        result.failed = true;
        result.error = CheckOutcomeFailureText(outcome, FailureWording::CommandLine);
        result.errorNamesFile = outcome.stage == CheckOutcome::Stage::MessageFile;
        return result;
    }
    result.score = outcome.score;
    result.level = outcome.level;
    if (settings.readiness) {
        QElapsedTimer clock;
        clock.start();
        result.readiness = CheckReadinessFile(outcome.messagePath);
        qCInfo(lcReadiness).noquote()
            << "sending readiness of" << outcome.messagePath << "checked in" << clock.elapsed() << "ms";
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
