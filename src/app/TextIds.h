#pragma once

// Every catalogue id the code uses, by name: the texts that belong to no one
// area here, each area's own texts in its header included below (the command
// line's CliText, the sending readiness's ReadinessText, the full report's
// ReportText). Each id has exactly one name; code never writes an id as a
// number. The texts themselves are in ide/ide.txt and its translations.
#include "../cli/CliTexts.h"
#include "../engine/ReadinessTexts.h"
#include "../report/ReportTexts.h"

namespace norvale::TextId {

enum : int
{
    // The window's tabs.
    CheckTab = 51,
    OptionsTab = 52,
    HelpTab = 53,

    // The six verdicts, FirstVerdict + level (0 to 5); the first five also
    // label the threshold boxes.
    FirstVerdict = 71,

    // Choosing the message file.
    FileButtonTip = 81,
    FileDialogFilter = 82,
    FileDialogTitle = 83,
    MessageFileWarning = 84,
    NoFileName = 85,

    // The check panel.
    FileNameLabel = 101,
    CheckNow = 102,
    ScoreLabel = 103,
    ReasonsLabel = 104,
    Checking = 105,

    // The rule list's columns, in their order.
    PointsColumn = 111,
    TypeColumn = 112,
    DescriptionColumn = 113,
    RuleColumn = 114,

    // A check that gave no score.
    CheckerNotFound = 121,
    CheckerNotStarted = 122,
    CheckerFailed = 123,
    CheckerCrashed = 124,
    CheckerTimedOut = 125,
    CheckerNoSection = 126,
    WorkDirUnusable = 127,
    SettingsNotSaved = 128,
    WorkDirCannotCreate = 131,
    WorkDirNotAFolder = 132,
    WorkDirWrongOwner = 133,
    WorkDirWrongMode = 134,
    FileNotRegular = 141,
    FileUnreadable = 142,
    FileNotAMessage = 143,
    FileTooLarge = 160,
    SettingsNotRead = 180,
    RulesPastTheGrid = 181,

    // The options panel.
    ThresholdsLabel = 201,
    RuleScoresLabel = 202,
    HideZeroLabel = 203,
    OnlineChecksLabel = 204,
    CheckOnSaveLabel = 706,
    WarmCheckerLabel = 707,

    // The window's command line.
    WindowUsageLine = 600,
    WindowUsageSummary = 601,
    LanguageOptionHelp = 602, // %1 the languages offered
    UnknownLanguage = 603, // %1 the code asked for, %2 the languages offered
    WindowUsageHint = 604,

    // The checker's own last words, under the text of its failure.
    CheckerSaid = 708,

    // The start-up panel.
    About = 901,
    Notice = 902,

    // The catalogue's language code; shown nowhere.
    LanguageCode = 1000,
};

} // namespace norvale::TextId
