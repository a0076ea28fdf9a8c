#include "CheckFailureText.h"

#include "Text.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <chrono>

namespace norvale {

namespace {

// The failure's own text, without what the checker said.
QString checkerFailureOnly(const SpamCheckResult &result)
{
    using Status = SpamCheckResult::Status;
    const QString path = result.checkerPath;
    switch (result.status) {
    case Status::Ok:
    case Status::Cancelled:
        return QString();
    case Status::NotFound:
        return FillText(TextId::CheckerNotFound, path);
    case Status::NotStarted:
        return FillText(TextId::CheckerNotStarted, path, result.detail);
    case Status::Crashed:
        return FillText(TextId::CheckerCrashed, path);
    case Status::ExitedWithError:
        return FillText(TextId::CheckerFailed, path, QString::number(result.exitCode));
    case Status::TimedOut:
        return FillText(TextId::CheckerTimedOut, path,
            QString::number(std::chrono::duration_cast<std::chrono::seconds>(result.timeLimit).count()));
    case Status::NoReportSection:
        return FillText(TextId::CheckerNoSection, path);
    }
    return QString();
}

} // namespace

QString checkerSaidText(const SpamCheckResult &result)
{
    const QString said = lastLines(result.checkerSaid, CheckerSaidLines, CheckerSaidChars);
    return said.isEmpty() ? QString() : FillText(TextId::CheckerSaid, said);
}

QString CheckerFailureText(const SpamCheckResult &result)
{
    QString text = checkerFailureOnly(result);
    if (const QString said = checkerSaidText(result); !said.isEmpty() && !text.isEmpty())
        text += QStringLiteral("\n\n") + said;
    return text;
}

QString WorkDirFailureText(const WorkDirResult &result)
{
    using Error = WorkDirResult::Error;
    int reason = 0;
    switch (result.error) {
    case Error::None:
        return QString();
    case Error::CannotCreate:
        reason = TextId::WorkDirCannotCreate;
        break;
    case Error::NotADirectory:
        reason = TextId::WorkDirNotAFolder;
        break;
    case Error::WrongOwner:
        reason = TextId::WorkDirWrongOwner;
        break;
    case Error::WrongMode:
        reason = TextId::WorkDirWrongMode;
        break;
    }
    return FillText(TextId::WorkDirUnusable, result.path, GetText(reason));
}

QString MessageFileFailureText(MessageFileStatus status, const QString &path)
{
    switch (status) {
    case MessageFileStatus::Ok:
        return QString();
    case MessageFileStatus::NotFound:
        return MessageFileWarningText(path);
    case MessageFileStatus::NotARegularFile:
        return FillText(TextId::FileNotRegular, path);
    case MessageFileStatus::Unreadable:
        return FillText(TextId::FileUnreadable, path);
    case MessageFileStatus::NotAMessage:
        return FillText(TextId::FileNotAMessage, path);
    case MessageFileStatus::TooLarge:
        return FillText(TextId::FileTooLarge, path, QString::number(MessageSizeLimit / 1024 / 1024));
    }
    return QString();
}

QString MessageFileWarningText(const QString &path)
{
    return GetText(TextId::MessageFileWarning).replace(QStringLiteral("%1"), path);
}

QString CheckOutcomeFailureText(const CheckOutcome &outcome, FailureWording wording)
{
    using Stage = CheckOutcome::Stage;
    switch (outcome.stage) {
    case Stage::NoFileName:
        return GetText(TextId::NoFileName);
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
