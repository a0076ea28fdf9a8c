#pragma once

#include "CheckRun.h"
#include "ReadinessCheck.h"
#include "ReportScorer.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace norvale {

// The settings one run of norvale-check applies to every file: the user's
// settings with the command line's options on top, in the form the window
// holds them (the grid's rule list, the five threshold boxes).
struct CheckSettings
{
    QString rules; // the settings' list as the grid gives it (normalised, at most 50 rows), the --rules pairs
                   // on top
    QStringList thresholdBoxes; // five box texts
    bool online = false;
    bool hideZero = false;
    bool readiness = false; // also check the message's sending readiness
    bool warmChecker = true; // keep the checker running between messages
    QString spamdPool; // the team's checker daemons, HOST:PORT,HOST:PORT; empty for none
};

struct FileCheckResult
{
    QString path; // as named on the command line
    bool failed = false; // the file could not be checked
    QString error; // why, when failed; empty too when the catalogue has no such text
    bool errorNamesFile = false; // the error text names the file itself
    ScoreResult score; // the reasons (all of them, hidden zero rows included) and the total
    std::optional<int> level; // the verdict level; none for a score past the last limit
    std::optional<ReadinessResult> readiness; // when asked for and the file was checked
    bool ok() const { return !failed; }
};

// Checks one message file with the window's check (CheckRun), waiting for it.
FileCheckResult CheckFile(const QString &path, const CheckSettings &settings);

// The result of a check of the file that has ended, with its sending
// readiness when the settings ask for it.
FileCheckResult FileResultFromOutcome(
    const QString &path, const CheckOutcome &outcome, const CheckSettings &settings);

// The result for a file that is not checked because its name, as given, is not
// valid in the system's encoding: the text would name another file.
FileCheckResult UndecodableFileResult(const QString &path);

} // namespace norvale
