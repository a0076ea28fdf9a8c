#include "CheckFailureText.h"

#include "TextCatalogue.h"

#include <chrono>

namespace norvale {

namespace {

enum : int
{
    MessageWarning = 84,
    NoFileName = 85,
    CheckerNotFound = 121,
    CheckerNotStarted = 122,
    CheckerFailed = 123,
    CheckerCrashed = 124,
    CheckerTimedOut = 125,
    CheckerNoSection = 126,
    WorkDirUnusable = 127,
    WorkDirCannotCreate = 131,
    WorkDirNotAFolder = 132,
    WorkDirWrongOwner = 133,
    WorkDirWrongMode = 134,
    FileNotRegular = 141,
    FileUnreadable = 142,
    FileNotAMessage = 143,
    FileTooLarge = 160,
};

} // namespace

QString CheckerFailureText(const SpamCheckResult &result)
{
    using Status = SpamCheckResult::Status;
    const QString path = result.checkerPath;
    switch (result.status) {
    case Status::Ok:
    case Status::Cancelled:
        return QString();
    case Status::NotFound:
        return FillText(CheckerNotFound, path);
    case Status::NotStarted:
        return FillText(CheckerNotStarted, path, result.detail);
    case Status::Crashed:
        return FillText(CheckerCrashed, path);
    case Status::ExitedWithError:
        return FillText(CheckerFailed, path, QString::number(result.exitCode));
    case Status::TimedOut:
        return FillText(CheckerTimedOut, path,
            QString::number(std::chrono::duration_cast<std::chrono::seconds>(result.timeLimit).count()));
    case Status::NoReportSection:
        return FillText(CheckerNoSection, path);
    }
    return QString();
}

QString WorkDirFailureText(const WorkDirResult &result)
{
    using Error = WorkDirResult::Error;
    int reason = 0;
    switch (result.error) {
    case Error::None:
        return QString();
    case Error::CannotCreate:
        reason = WorkDirCannotCreate;
        break;
    case Error::NotADirectory:
        reason = WorkDirNotAFolder;
        break;
    case Error::WrongOwner:
        reason = WorkDirWrongOwner;
        break;
    case Error::WrongMode:
        reason = WorkDirWrongMode;
        break;
    }
    return FillText(WorkDirUnusable, result.path, GetText(reason));
}

QString MessageFileFailureText(MessageFileStatus status, const QString &path)
{
    switch (status) {
    case MessageFileStatus::Ok:
        return QString();
    case MessageFileStatus::NotFound:
        return MessageFileWarningText(path);
    case MessageFileStatus::NotARegularFile:
        return FillText(FileNotRegular, path);
    case MessageFileStatus::Unreadable:
        return FillText(FileUnreadable, path);
    case MessageFileStatus::NotAMessage:
        return FillText(FileNotAMessage, path);
    case MessageFileStatus::TooLarge:
        return FillText(FileTooLarge, path, QString::number(MessageSizeLimit / (1024 * 1024)));
    }
    return QString();
}

QString MessageFileWarningText(const QString &path)
{
    return GetText(MessageWarning).replace(QStringLiteral("%1"), path);
}

QString CheckOutcomeFailureText(const CheckOutcome &outcome, FailureWording wording)
{
    using Stage = CheckOutcome::Stage;
    switch (outcome.stage) {
    case Stage::NoFileName:
        return GetText(NoFileName);
    case Stage::MessageFile:
        if (wording == FailureWording::Window && outcome.fileStatus != MessageFileStatus::TooLarge)
            return MessageFileWarningText(outcome.messagePath);
        return MessageFileFailureText(outcome.fileStatus, outcome.messagePath);
    case Stage::WorkDir:
        return WorkDirFailureText(outcome.workDir);
    case Stage::Checker:
        return CheckerFailureText(outcome.check);
    case Stage::Scored:
        return QString();
    }
    return QString();
}

} // namespace norvale
