#include "SettingsChanges.h"

#include "RuleScoreList.h"
#include "Thresholds.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QList>
#include <QLockFile>

#include <algorithm>
#include <optional>

namespace norvale {

namespace {

struct Entry
{
    QString name;
    QString score;
};

// The entries of a normalised list: each "NAME:score", names never blank.
QList<Entry> Entries(const QString &list)
{
    QList<Entry> entries;
    if (list.isEmpty())
        return entries;
    for (const QString &part : list.split(u'|')) {
        const qsizetype colon = part.indexOf(u':');
        entries.append(
            colon < 0 ? Entry { part, QString() } : Entry { part.first(colon), part.sliced(colon + 1) });
    }
    return entries;
}

// Each name's score as the scorer finds it: the first entry wins.
QHash<QString, QString> FirstScores(const QList<Entry> &entries)
{
    QHash<QString, QString> scores;
    for (const Entry &entry : entries) {
        if (!scores.contains(entry.name))
            scores.insert(entry.name, entry.score);
    }
    return scores;
}

QString Format(const QList<Entry> &entries)
{
    QStringList parts;
    for (const Entry &entry : entries)
        parts.append(entry.name + u':' + entry.score);
    return parts.join(u'|');
}

// How long a save waits for another window's save to finish.
constexpr int LockWaitMilliseconds = 5000;

} // namespace

Settings NormaliseSettings(const Settings &settings, const QLocale &locale)
{
    Settings normal = settings;
    normal.rules = RuleScoreList::Normalise(settings.rules, locale);
    normal.thresholds = JoinThresholds(SplitThresholds(settings.thresholds, locale));
    return normal;
}

QString MergeRuleChanges(const QString &onDisk, const QString &loaded, const QString &current)
{
    if (current == loaded)
        return onDisk;
    if (onDisk == loaded)
        return current; // nobody else changed them: the window's list, in its order

    const QList<Entry> currentEntries = Entries(current);
    const QHash<QString, QString> before = FirstScores(Entries(loaded));
    const QHash<QString, QString> now = FirstScores(currentEntries);

    QList<Entry> merged = Entries(onDisk);
    merged.removeIf(
        [&](const Entry &entry) { return before.contains(entry.name) && !now.contains(entry.name); });
    for (const Entry &entry : currentEntries) {
        if (now.value(entry.name) != entry.score)
            continue; // a later entry of a name given twice
        const std::optional<QString> old
            = before.contains(entry.name) ? std::optional(before.value(entry.name)) : std::nullopt;
        if (old == entry.score)
            continue;
        auto found = std::find_if(
            merged.begin(), merged.end(), [&](const Entry &other) { return other.name == entry.name; });
        if (found != merged.end())
            found->score = entry.score;
        else
            merged.append(entry);
    }
    return Format(merged);
}

Settings MergeSettingsChanges(const Settings &onDisk, const Settings &loaded, const Settings &current)
{
    Settings merged = onDisk;
    merged.rules = MergeRuleChanges(onDisk.rules, loaded.rules, current.rules);
    if (current.thresholds != loaded.thresholds)
        merged.thresholds = current.thresholds;
    if (current.hideZero != loaded.hideZero)
        merged.hideZero = current.hideZero;
    if (current.onlineChecks != loaded.onlineChecks)
        merged.onlineChecks = current.onlineChecks;
    if (current.language != loaded.language)
        merged.language = current.language;
    if (current.warmChecker != loaded.warmChecker)
        merged.warmChecker = current.warmChecker;
    if (current.checkOnSave != loaded.checkOnSave)
        merged.checkOnSave = current.checkOnSave;
    if (current.spamdPool != loaded.spamdPool)
        merged.spamdPool = current.spamdPool;
    return merged;
}

ChangesSaveOutcome SaveSettingsChanges(
    const Settings &loaded, const Settings &current, const QString &path, const QLocale &locale)
{
    // Without the lock (no folder, a lock that stays taken) the save still
    // goes ahead: losing this window's changes would be worse than the rare
    // race the lock guards against.
    QDir().mkpath(QFileInfo(path).absolutePath());
    QLockFile lock(path + QStringLiteral(".lock"));
    lock.tryLock(LockWaitMilliseconds);

    const SettingsFile file = ReadSettingsFile(path);
    if (file.state == SettingsFile::State::NotRead)
        return { ChangesSaveOutcome::Status::NotRead, QString() };
    const Settings merged = MergeSettingsChanges(NormaliseSettings(file.settings, locale), loaded, current);
    const SaveOutcome saved = SaveSettings(merged, path, file.otherPairs);
    if (!saved.ok)
        return { ChangesSaveOutcome::Status::Failed, saved.reason };
    return { ChangesSaveOutcome::Status::Saved, QString() };
}

} // namespace norvale
