#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace norvale {

// The user's settings, kept as one line "rules=..&thresholds=..&hidezero=N&onlinechecks=N"
// in conf.ini. Values are stored as written (the grid and the threshold boxes
// normalise them); there is no escaping, so a value holding "&" or "=" does not
// survive a round trip.

inline constexpr auto DefaultThresholds = "1|2|4|5|8";

struct Settings
{
    QString rules; // the rule score list
    QString thresholds; // the thresholds text
    int hideZero = 0; // check-box state: 0 off, 1 on, 2 greyed
    int onlineChecks = 0; // same encoding
    QString language {}; // the language chosen for the texts ("it"); empty follows the desktop
    // Keep the checker running between checks: 1 (the default) or 0. Written
    // after "onlinechecks", and only when 0, so an untouched installation
    // writes the line as it always was.
    int warmChecker = 1;
    // Check the named file again by itself when it changes on disk: 0 (the
    // default) or 1; written only when 1.
    int checkOnSave = 0;
    // The team's checker daemons, "HOST:PORT,HOST:PORT"; empty (the default)
    // checks on this machine. Written only when set.
    QString spamdPool {};
    friend bool operator==(const Settings &, const Settings &) = default;
};

// Starts from empty settings (no thresholds, options off) and applies every
// "&"-separated pair in order, so a key given twice takes its last value. A
// pair is split at every "=": the key is the first piece (exact, case-sensitive,
// not trimmed), the value the second piece only. Unknown keys, empty pairs and
// pairs without "=" change nothing. A check-box value is its leading number
// rounded half to even; anything but 0, 1 or 2 leaves 0 ("1\r\n" and "1x" read 1).
// The keys added after "onlinechecks" are trimmed, so the line end after the
// last pair is no part of its value.
//
// otherPairs, when given, receives the pairs with another non-empty key, as
// they stand (line ends after a pair dropped), so that a save keeps
// what a newer or another program wrote there.
Settings ParseSettingsString(QStringView text, QStringList *otherPairs = nullptr);

// The settings line, pairs always in the same order, no line end. Keys added
// after "onlinechecks" ("language", "warmchecker", "checkonsave", "spamd") are
// written only when they differ from their defaults, so settings left at their
// defaults give the four-pair line; other pairs (as ParseSettingsString gave
// them) follow.
QString FormatSettingsString(const Settings &settings, const QStringList &otherPairs = {});

// <generic config folder>/norvale/conf.ini (~/.config/norvale/conf.ini by default).
QString SettingsFilePath();

// Reads the settings file as UTF-8 and parses it. A file that is missing,
// unreadable, not a regular file, empty, or larger than MaxSettingsFileSize
// (not read: a settings line is never that long) gives empty settings with the
// DefaultThresholds.
inline constexpr qint64 MaxSettingsFileSize = qint64(1024) * 1024;
Settings LoadSettings(const QString &path = SettingsFilePath());

// What reading the settings file found. A file that exists but could not be
// read (not a regular file, no permission, over the size limit, a read error)
// holds settings Norvale does not know, so it must never be overwritten.
struct SettingsFile
{
    enum class State
    {
        Read, // read, an empty file included
        Missing, // nothing at the path
        NotRead // there, but not read
    };
    State state = State::Missing;
    Settings settings; // as LoadSettings gives them
    QStringList otherPairs; // the pairs with keys Norvale does not know, in file order
};
SettingsFile ReadSettingsFile(const QString &path = SettingsFilePath());

struct SaveOutcome
{
    bool ok = false;
    QString errorString; // why saving failed, naming the file; empty on success
    QString reason; // the same without the file's name, for a message that names it itself
};

// Writes the settings line (and a line end) atomically, creating the folder.
// On failure the old file is left intact and the outcome says why.
SaveOutcome SaveSettings(
    const Settings &settings, const QString &path = SettingsFilePath(), const QStringList &otherPairs = {});

} // namespace norvale
