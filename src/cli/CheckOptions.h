#pragma once

#include "RuleScoreList.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

namespace norvale {

// What norvale-check was asked to do, as read from its arguments. Options that
// are absent leave the user's settings in force.
inline constexpr int MaxJobs = 64;

struct CheckOptions
{
    enum class Action
    {
        Check,
        Help,
        Version,
        UsageError
    };
    Action action = Action::Check;
    QString usageError; // the message for UsageError, from the catalogue

    QStringList files;
    QSet<qsizetype> undecodableFiles; // indexes into files of names not valid in the system's encoding
    std::optional<bool> online; // --online / --local
    QList<RuleScoreList::Row>
        rules; // every --rules pair in order: names normalised, scores in the user's locale
    std::optional<QString> thresholds; // --thresholds TEXT: five numbers
    std::optional<QString> settingsFile; // --settings FILE
    bool hideZero = false; // --hide-zero (adds to the settings' own option)
    bool json = false; // --json
    std::optional<int> failLevel; // --fail-level N, 0 to 5
    std::optional<QString> language; // --language CODE, a language a catalogue serves
    bool readiness = true; // false with --no-readiness: no sending readiness table
    bool requireReady = false; // --require-ready: a failed readiness check gives exit status 3
    bool explain = false; // --explain: guide, evidence and fix plan under each table
    std::optional<QString> htmlFile; // --html FILE: the full report as HTML
    bool compare = false; // --compare OLD NEW: exactly two files, the change from the first to the second
    std::optional<QString> baselineFile; // --baseline FILE: a result saved with --json to compare against
    std::optional<int> jobs; // --jobs N, 1 to MaxJobs; by default the number of processors
    std::optional<QString> spamd; // --spamd HOST:PORT[,HOST:PORT...], checked by SpamdPool::parse
    bool cold = false; // --cold: no warm checker for this run
    bool verbose = false; // --verbose: the detail of every step on standard error
};

// Reads the arguments that follow the program name. Options and files may be
// mixed; "--" ends the options; a value is the next argument or follows "=".
// --thresholds takes exactly five numbers joined by "|"; --rules takes
// RULE:score pairs joined by "|" (empty text: none), rule names of letters,
// digits and "_"; anything else is a usage error that says what is wrong.
// Numbers read the same in every locale (ParseUserNumber).
// `undecodable` holds the indexes of arguments whose bytes are not valid in
// the system's encoding: their text would name another file, so such a file
// is marked in undecodableFiles and such a settings file is a usage error.
CheckOptions ParseCheckArguments(const QStringList &arguments, const QSet<qsizetype> &undecodable = {});

// The language these arguments choose for the texts, read before the
// catalogue is loaded: the value of --language, else the "language" key of
// the settings file (the one --settings names, or the user's). Empty for no
// choice. Reads the arguments as ParseCheckArguments does, so an option's
// value is never taken for an option.
QString ChosenLanguage(const QStringList &arguments);

// The rule score list with the --rules pairs on top, rule by rule: a pair
// replaces the score of the first entry of its rule, or follows the last entry.
QString AddRuleOptions(const QString &rules, const QList<RuleScoreList::Row> &pairs);

// The --help text, from the catalogue.
QString CheckUsageText();

} // namespace norvale
