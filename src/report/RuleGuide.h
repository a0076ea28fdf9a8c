#pragma once

#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace norvale {

// What the guide says about one rule or one family of rules.
struct GuideEntry
{
    QString key; // the entry's heading as written: one or more name patterns
    QString meaning; // what the rule means, in plain words
    QString why; // why a filter cares
    QString change; // what a newsletter sender should change (or that nothing needs changing)
    bool localOnly = false; // fires only because the file is a local copy that was never sent
};

// How an entry was found for a rule.
enum class GuideMatch
{
    None, // no entry: only the checker's own description is there
    Own, // an entry whose heading is exactly this rule's name
    Family // an entry whose heading names the rule among others, or by a pattern
};

// The rule guide: plain UTF-8 text beside the text catalogue, one file per
// language, so the guide is translated by translating one file.
//
//   # a comment line
//   [HTML_IMAGE_RATIO_*]
//   meaning = ...
//   why = ...
//   change = ...
//   local = yes
//
// A heading in square brackets starts an entry; it holds one or more rule
// name patterns separated by spaces ("*" stands for any run of characters,
// "?" for one). Field lines are "name = text"; unknown field names, lines
// before the first heading and lines without "=" are ignored; a repeated field
// replaces the earlier one; "\n" in a text starts a new line. "local" is yes
// when its text is "yes" (any letter case). A repeated heading replaces the
// earlier entry. Lines end at LF or CR LF; a byte-order mark is dropped.
class RuleGuide
{
public:
    void load(const QString &path); // a missing or unreadable file gives the empty guide
    void loadData(QByteArrayView utf8);

    // The entry for a rule name (letter case ignored): an own entry first,
    // then a heading naming it among others, then the pattern with the most
    // literal characters (the most specific), earlier entries winning ties.
    const GuideEntry *find(QStringView ruleName, GuideMatch *match = nullptr) const;
    GuideMatch matchOf(QStringView ruleName) const;

    const QList<GuideEntry> &entries() const { return m_entries; }
    bool isEmpty() const { return m_entries.isEmpty(); }

private:
    struct Pattern
    {
        QString wildcard; // upper case
        qsizetype literalLength = 0;
        qsizetype entry = 0;
    };
    // `positions` maps the headings read so far to their entries, so a long
    // file loads in linear time.
    void addEntry(GuideEntry entry, QHash<QString, qsizetype> &positions);
    void rebuildIndex();

    QList<GuideEntry> m_entries;
    QHash<QString, qsizetype> m_own; // upper-case name -> entry with exactly that heading
    QHash<QString, qsizetype> m_listed; // upper-case name -> entry listing it among others
    QList<Pattern> m_patterns;
};

// The guide file that goes with a catalogue, in its folder: the guide of the
// catalogue's language code (text 1000, "guide.<code>.txt" in lower case)
// when there is one, else the catalogue file's name with its leading "ide"
// replaced by "guide" ("ide.it.txt" gives "guide.it.txt"), else "guide.txt".
QString GuideFileFor(const QString &cataloguePath, const QString &languageCode);

// The process-wide guide, loaded on first use from the guide that goes with
// the loaded catalogue.
const RuleGuide &Guide();
// Replaces the process-wide guide (tests, or a catalogue loaded later).
void SetGuide(const RuleGuide &guide);

} // namespace norvale
