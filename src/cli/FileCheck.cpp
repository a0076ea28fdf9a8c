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
    const auto fail = [&result](const QString &error, bool namesFile = false) {
        result.failed = true;
        result.error = error;
        result.errorNamesFile = namesFile;
        return result;
    };

    const QString messagePath = TrimSpaces(path);
    if (messagePath.isEmpty())
        return fail(GetText(NoFileNameText));
    const MessageFileStatus fileStatus = ValidateMessageFile(messagePath);
    if (fileStatus != MessageFileStatus::Ok)
        return fail(MessageFileFailureText(fileStatus, messagePath), true);
    const WorkDirResult workDir = GetTempDir();
    if (!workDir.ok())
        return fail(WorkDirFailureText(workDir));

    // Scripts run several checks at once; each gets a report file of its own
    // in the private working folder, removed once it has been read.
    QTemporaryFile report(workDir.path + QStringLiteral("spamscore-XXXXXX.txt"));
    if (!report.open())
        return fail(
            WorkDirFailureText({ workDir.path, WorkDirResult::Error::CannotCreate, report.errorString() }));
    report.close();

    const SpamCheckResult check = RunSpamCheck(messagePath, report.fileName(), settings.online);
    if (!check.ok())
        return fail(CheckerFailureText(check));
    result.score = ScoreReport(check.section, settings.rules);
    result.level = VerdictLevel(result.score.total, BandLimits(settings.thresholdBoxes));
    if (settings.readiness)
        result.readiness = CheckReadinessFile(messagePath);
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
