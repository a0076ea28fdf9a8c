#include "FileCheck.h"

#include "CheckFailureText.h"
#include "MessageFile.h"
#include "SpamCheck.h"
#include "Text.h"
#include "TextCatalogue.h"
#include "Thresholds.h"
#include "WorkDir.h"

#include <QFile>
#include <QTemporaryFile>

namespace norvale {

namespace {

constexpr int NoFileNameText = 85;

} // namespace

FileCheckResult CheckFile(const QString &path, const CheckSettings &settings)
{
    FileCheckResult result;
    result.path = path;

    const QString messagePath = TrimSpaces(path);
    if (messagePath.isEmpty()) {
        result.error = GetText(NoFileNameText);
        return result;
    }
    const MessageFileStatus fileStatus = ValidateMessageFile(messagePath);
    if (fileStatus != MessageFileStatus::Ok) {
        result.error = MessageFileFailureText(fileStatus, messagePath);
        result.errorNamesFile = true;
        return result;
    }
    const WorkDirResult workDir = GetTempDir();
    if (!workDir.ok()) {
        result.error = WorkDirFailureText(workDir);
        return result;
    }

    // Scripts run several checks at once; each gets a report file of its own
    // in the private working folder, removed once it has been read.
    QTemporaryFile report(workDir.path + QStringLiteral("spamscore-XXXXXX.txt"));
    if (!report.open()) {
        result.error
            = WorkDirFailureText({ workDir.path, WorkDirResult::Error::CannotCreate, report.errorString() });
        return result;
    }
    report.close();

    const SpamCheckResult check = RunSpamCheck(messagePath, report.fileName(), settings.online);
    if (!check.ok()) {
        result.error = CheckerFailureText(check);
        return result;
    }
    result.score = ScoreReport(check.section, settings.rules);
    result.level = VerdictLevel(result.score.total, BandLimits(settings.thresholdBoxes));
    return result;
}

} // namespace norvale
