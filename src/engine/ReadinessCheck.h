#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace norvale {

// How one readiness finding stands: a problem that mailbox providers act on
// (Fail), a likely problem (Warn), a check passed (Pass), or something worth
// knowing that is neither, such as a check that cannot be made from the file
// (Info).
enum class ReadinessStatus
{
    Fail,
    Warn,
    Pass,
    Info
};

// "fail", "warn", "pass" or "info": a status for scripts, never translated.
QString ReadinessStatusKey(ReadinessStatus status);

// One finding. Texts are catalogue ids (ReadinessTexts.h); the arguments and
// the value come from the message and are data, never markup.
struct ReadinessFinding
{
    QString id; // stable, for scripts: "from", "dkim-alignment", ...
    ReadinessStatus status = ReadinessStatus::Pass;
    int titleText = 0; // the check's name
    QString titleArg; // fills %1 of the name (a header name), or empty
    int problemText = 0; // what is wrong or what was found; 0 for a plain pass
    QStringList problemArgs; // fill %1, %2 of problemText
    int adviceText = 0; // what to change (or, for a note, what to make sure of); 0 for a pass
    QString value; // the offending value as the message has it, at most 200 characters, or empty
};

// A finding with its texts; the arguments and the value are cut to 200
// characters, and a pass carries no advice.
ReadinessFinding MakeReadinessFinding(const char *id, ReadinessStatus status, int title, int problem = 0,
    const QStringList &args = {}, int advice = 0, const QString &value = {});

struct ReadinessResult
{
    QList<ReadinessFinding> findings; // in a fixed order of checks
    // What the network checks look up, kept by the offline ones: the From
    // domain (empty unless From is one valid mailbox) and the message when it
    // has a well-formed DKIM signature (shared, not copied).
    QString fromDomain;
    QByteArray signedMessage;
    qsizetype count(ReadinessStatus status) const;
    bool ready() const { return count(ReadinessStatus::Fail) == 0; }
};

// The offline sending readiness checks of one message: its header fields, its
// one-click unsubscribe, what its DKIM signature shows without the DNS, its
// parts and sizes, its images, its links and template leftovers. `fileSize` is
// the size of the whole file when `message` holds only its start (-1: the
// message is whole). Any bytes give findings; none of them makes the check
// fail to end, and a check that cannot be made says so (Info with
// NotCheckable or its own text) rather than passing.
ReadinessResult CheckReadiness(const QByteArray &message, qint64 fileSize = -1);

// The same for a message file, of which at most the first 32 MiB are read.
// A file that cannot be read gives one Info finding that says so.
ReadinessResult CheckReadinessFile(const QString &path);

} // namespace norvale
