#pragma once

namespace norvale::ReportText {

// Catalogue ids of the full report's texts.
enum : int
{
    ReportButton = 500,
    Title = 501,
    FileLine = 502,
    ScoreLine = 503,
    VerdictLine = 504,
    RulesHeading = 505,
    Meaning = 506,
    Why = 507,
    Change = 508,
    LocalOnly = 509,
    NoGuideEntry = 510,
    EvidenceLabel = 511,
    SubRules = 512,
    EvidenceFailed = 513,
    EvidencePending = 514,
    NoEvidence = 515,
    FixPlanHeading = 516,
    FixStepLine = 517,
    Unreachable = 518,
    NothingToFix = 519,
    FixPlanNote = 520,
    ChangeHeading = 521,
    TotalChange = 522,
    RuleNew = 523,
    RuleGone = 524,
    RuleChanged = 525,
    NoRuleChanged = 526,
    SaveHtml = 527,
    SavePdf = 528,
    Print = 529,
    Close = 530,
    HtmlFilter = 531,
    PdfFilter = 532,
    SaveFailed = 533,
    NoVerdict = 534,
    NoEarlierCheck = 535,
    GuideHeading = 536,
    EvidenceHeading = 537,

    HelpExplain = 540,
    HelpHtml = 541,
    HelpCompare = 542,
    HelpBaseline = 543,
    BadBaseline = 544,
    CompareNeedsTwo = 545,
    WriteFailed = 546,
};

} // namespace norvale::ReportText
