#pragma once

namespace norvale::CliText {

// Catalogue ids of the texts only the command line shows.
enum : int
{
    UsageLine = 301,
    UsageSummary = 302,
    OptionsHeading = 303,
    HelpOnline = 304,
    HelpLocal = 305,
    HelpRules = 306,
    HelpThresholds = 307,
    HelpSettings = 308,
    HelpHideZero = 309,
    HelpJson = 310,
    HelpFailLevel = 311,
    HelpHelp = 312,
    HelpVersion = 313,
    ExitStatusHelp = 314,

    UnknownOption = 321,
    OptionNeedsValue = 322,
    OptionTakesNoValue = 323,
    NoFiles = 324,
    BadFailLevel = 325,
    OnlineAndLocal = 326,
    SettingsUnreadable = 327,
    UsageHint = 328,

    VerdictLine = 331,
    NoVerdict = 332,
    NoRulesFired = 333,
    Progress = 334,
    ErrorLine = 335,

    ThresholdCountWrong = 341,
    ThresholdNotANumber = 342,
    RulesNotPairs = 343,
    RuleNameWrong = 344,
    RuleScoreNotANumber = 345,
    HelpJobs = 700,
    HelpSpamd = 701,
    HelpCold = 702,
    BadJobs = 703,
    BadSpamd = 704,
    ProgressRate = 705,
    HelpVerbose = 709,
};

} // namespace norvale::CliText
