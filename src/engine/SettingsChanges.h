#pragma once

#include "Settings.h"

#include <QLocale>
#include <QString>

namespace norvale {

// Saving what one window changed, and nothing else. Two windows (or a window
// and an editor) may hold the same settings file; a window that wrote back
// everything it loaded would undo the other's changes. So a window keeps the
// settings as it loaded them and, when it saves, reads the file again and
// applies only the keys, and the rule scores, that differ between what it
// loaded and what it holds now.

// The settings as the window holds them once loaded: every rule score entry
// normalised (blank names dropped, all entries kept, also those past the
// grid's rows) and the thresholds normalised as the five boxes hold them.
Settings NormaliseSettings(const Settings &settings, const QLocale &locale = QLocale());

// Applies the rule score changes from `loaded` to `current` onto `onDisk`, rule
// by rule: a rule whose score changed or that was added gets its new score
// (in place when `onDisk` has it, else at the end); a rule that was removed is
// removed. All three are normalised lists; a name given twice counts with its
// first entry, as the scorer reads it.
QString MergeRuleChanges(const QString &onDisk, const QString &loaded, const QString &current);

// `onDisk` with every setting that differs between `loaded` and `current` set
// to its current value; the rules merged by MergeRuleChanges. All normalised.
Settings MergeSettingsChanges(const Settings &onDisk, const Settings &loaded, const Settings &current);

struct ChangesSaveOutcome
{
    enum class Status
    {
        Saved,
        NotRead, // the file is there but could not be read: left as it was
        Failed // writing failed: the old file is intact
    };
    Status status = Status::Failed;
    QString reason; // why writing failed, without the file's name
};

// Reads the file at `path` again and writes it back with the changes from
// `loaded` to `current` applied (MergeSettingsChanges), keeping the pairs of
// other keys. A missing file counts as one holding the defaults; a file that
// exists but cannot be read is never overwritten. A lock file beside the
// settings keeps two saves from interleaving their read and write.
ChangesSaveOutcome SaveSettingsChanges(const Settings &loaded, const Settings &current,
    const QString &path = SettingsFilePath(), const QLocale &locale = QLocale());

} // namespace norvale
