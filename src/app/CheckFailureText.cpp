#include "CheckFailureText.h"

#include "TextCatalogue.h"

#include <chrono>

namespace norvale {

namespace {

enum : int
{
    MessageWarning = 84,
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
        return GetText(CheckerNotFound).arg(path);
    case Status::NotStarted:
        return GetText(CheckerNotStarted).arg(path, result.detail);
    case Status::Crashed:
        return GetText(CheckerCrashed).arg(path);
    case Status::ExitedWithError:
        return GetText(CheckerFailed).arg(path, QString::number(result.exitCode));
    case Status::TimedOut:
        return GetText(CheckerTimedOut)
            .arg(path,
                QString::number(std::chrono::duration_cast<std::chrono::seconds>(CheckerTimeLimit).count()));
    case Status::NoReportSection:
        return GetText(CheckerNoSection).arg(path);
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
    return GetText(WorkDirUnusable).arg(result.path, GetText(reason));
}

QString MessageFileFailureText(MessageFileStatus status, const QString &path)
{
    switch (status) {
    case MessageFileStatus::Ok:
        return QString();
    case MessageFileStatus::NotFound:
        return MessageFileWarningText(path);
    case MessageFileStatus::NotARegularFile:
        return GetText(FileNotRegular).arg(path);
    case MessageFileStatus::Unreadable:
        return GetText(FileUnreadable).arg(path);
    case MessageFileStatus::NotAMessage:
        return GetText(FileNotAMessage).arg(path);
    }
    return QString();
}

QString MessageFileWarningText(const QString &path)
{
    return GetText(MessageWarning).replace(QStringLiteral("%1"), path);
}

} // namespace norvale
