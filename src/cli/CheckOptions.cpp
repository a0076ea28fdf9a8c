#include "CheckOptions.h"

#include "CliTexts.h"
#include "Language.h"
#include "Numbers.h"
#include "ReadinessTexts.h"
#include "ReportTexts.h"
#include "Settings.h"
#include "SpamdPool.h"
#include "Text.h"
#include "TextCatalogue.h"
#include "TextIds.h"
#include "Thresholds.h"

#include <algorithm>
#include <variant>

namespace norvale {

namespace {

struct OptionInfo
{
    QStringView name;
    bool takesValue;
    int helpTextId;
    QStringView valueName;
};

// The order here is the order of the help text.
constexpr OptionInfo Options[] = {
    { u"--online", false, CliText::HelpOnline, {} },
    { u"--local", false, CliText::HelpLocal, {} },
    { u"--rules", true, CliText::HelpRules, u"LIST" },
    { u"--thresholds", true, CliText::HelpThresholds, u"TEXT" },
    { u"--settings", true, CliText::HelpSettings, u"FILE" },
    { u"--hide-zero", false, CliText::HelpHideZero, {} },
    { u"--json", false, CliText::HelpJson, {} },
    { u"--fail-level", true, CliText::HelpFailLevel, u"N" },
    { u"--require-ready", false, ReadinessText::HelpRequireReady, {} },
    { u"--no-readiness", false, ReadinessText::HelpNoReadiness, {} },
    { u"--explain", false, ReportText::HelpExplain, {} },
    { u"--html", true, ReportText::HelpHtml, u"FILE" },
    { u"--compare", false, ReportText::HelpCompare, u"OLD NEW" },
    { u"--baseline", true, ReportText::HelpBaseline, u"FILE" },
    { u"--language", true, TextId::LanguageOptionHelp, u"CODE" },
    { u"--jobs", true, CliText::HelpJobs, u"N" },
    { u"--spamd", true, CliText::HelpSpamd, u"LIST" },
    { u"--cold", false, CliText::HelpCold, {} },
    { u"--verbose", false, CliText::HelpVerbose, {} },
    { u"--help", false, CliText::HelpHelp, {} },
    { u"--version", false, CliText::HelpVersion, {} },
};

const OptionInfo *findOption(QStringView name)
{
    for (const OptionInfo &option : Options) {
        if (option.name == name)
            return &option;
    }
    return nullptr;
}

CheckOptions usageError(const QString &message)
{
    CheckOptions options;
    options.action = CheckOptions::Action::UsageError;
    options.usageError = message;
    return options;
}

bool isRuleName(QStringView name)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        if (!((c >= u'0' && c <= u'9') || c == u'_' || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')))
            return false;
    }
    return true;
}

// The pairs of a --rules value, or the message that says what is wrong.
std::variant<QList<RuleScoreList::Row>, QString> readRulePairs(const QString &value)
{
    QList<RuleScoreList::Row> pairs;
    if (value.isEmpty())
        return pairs;
    for (const QString &entry : value.split(u'|')) {
        const QStringList pieces = entry.split(u':');
        if (pieces.size() != 2)
            return FillText(CliText::RulesNotPairs, entry);
        // Normalised as the grid normalises names (":", "|", "&" and "=" dropped).
        const QString name = NormaliseRuleName(pieces[0]);
        if (!isRuleName(name))
            return FillText(CliText::RuleNameWrong, pieces[0]);
        const std::optional<float> score = ParseUserNumber(pieces[1]);
        if (!score)
            return FillText(CliText::RuleScoreNotANumber, name, pieces[1]);
        pairs.append({ name, FormatUserNumber(*score) });
    }
    return pairs;
}

// The message that says what is wrong with a --thresholds value; empty when
// it is five numbers.
QString thresholdsProblem(const QString &value)
{
    const QStringList pieces = value.split(u'|');
    if (pieces.size() != ThresholdCount)
        return FillText(CliText::ThresholdCountWrong, value, QString::number(pieces.size()));
    for (const QString &piece : pieces) {
        if (!ParseUserNumber(piece))
            return FillText(CliText::ThresholdNotANumber, piece);
    }
    return QString();
}

} // namespace

CheckOptions ParseCheckArguments(const QStringList &arguments, const QSet<qsizetype> &undecodable)
{
    CheckOptions options;
    bool help = false;
    bool version = false;
    bool sawOnline = false;
    bool sawLocal = false;
    bool optionsEnded = false;

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            if (undecodable.contains(i))
                options.undecodableFiles.insert(options.files.size());
            options.files << argument;
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = equals < 0 ? argument : argument.left(equals);
        const OptionInfo *option = findOption(name);
        if (!option)
            return usageError(FillText(CliText::UnknownOption, name));

        QString value;
        bool valueUndecodable = false;
        if (option->takesValue) {
            if (equals >= 0) {
                value = argument.mid(equals + 1);
                valueUndecodable = undecodable.contains(i);
            } else if (i + 1 < arguments.size()) {
                value = arguments[++i];
                valueUndecodable = undecodable.contains(i);
            } else {
                return usageError(FillText(CliText::OptionNeedsValue, name));
            }
        } else if (equals >= 0) {
            return usageError(FillText(CliText::OptionTakesNoValue, name));
        }

        if (name == u"--online") {
            sawOnline = true;
        } else if (name == u"--local") {
            sawLocal = true;
        } else if (name == u"--rules") {
            auto pairs = readRulePairs(value);
            if (const QString *problem = std::get_if<QString>(&pairs))
                return usageError(*problem);
            options.rules += std::get<QList<RuleScoreList::Row>>(pairs);
        } else if (name == u"--thresholds") {
            if (const QString problem = thresholdsProblem(value); !problem.isEmpty())
                return usageError(problem);
            options.thresholds = value;
        } else if (name == u"--settings") {
            if (valueUndecodable)
                return usageError(FillText(CliText::SettingsUnreadable, value));
            options.settingsFile = value;
        } else if (name == u"--hide-zero") {
            options.hideZero = true;
        } else if (name == u"--json") {
            options.json = true;
        } else if (name == u"--fail-level") {
            bool ok = false;
            const int level = value.toInt(&ok);
            if (!ok || level < 0 || level > 5)
                return usageError(FillText(CliText::BadFailLevel, value));
            options.failLevel = level;
        } else if (name == u"--explain") {
            options.explain = true;
        } else if (name == u"--html") {
            if (valueUndecodable)
                return usageError(FillText(ReportText::WriteFailed, value, QString()));
            options.htmlFile = value;
        } else if (name == u"--compare") {
            options.compare = true;
        } else if (name == u"--baseline") {
            if (valueUndecodable)
                return usageError(FillText(ReportText::BadBaseline, value, QString()));
            options.baselineFile = value;
        } else if (name == u"--language") {
            const QString error = LanguageOptionError(value);
            if (!error.isEmpty())
                return usageError(error);
            options.language = value;
        } else if (name == u"--require-ready") {
            options.requireReady = true;
        } else if (name == u"--no-readiness") {
            options.readiness = false;
        } else if (name == u"--jobs") {
            bool ok = false;
            const int jobs = value.toInt(&ok);
            if (!ok || jobs < 1 || jobs > MaxJobs)
                return usageError(FillText(CliText::BadJobs, value));
            options.jobs = jobs;
        } else if (name == u"--spamd") {
            if (!SpamdPool::parse(value))
                return usageError(FillText(CliText::BadSpamd, value));
            options.spamd = value;
        } else if (name == u"--cold") {
            options.cold = true;
        } else if (name == u"--verbose") {
            options.verbose = true;
        } else if (name == u"--help") {
            help = true;
        } else if (name == u"--version") {
            version = true;
        }
    }

    if (help) {
        options.action = CheckOptions::Action::Help;
        return options;
    }
    if (version) {
        options.action = CheckOptions::Action::Version;
        return options;
    }
    if (sawOnline && sawLocal)
        return usageError(GetText(CliText::OnlineAndLocal));
    if (sawOnline || sawLocal)
        options.online = sawOnline;
    if (options.files.isEmpty())
        return usageError(GetText(CliText::NoFiles));
    if (options.compare && options.files.size() != 2)
        return usageError(GetText(ReportText::CompareNeedsTwo));
    return options;
}

QString ChosenLanguage(const QStringList &arguments)
{
    std::optional<QString> language;
    std::optional<QString> settingsFile;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == u"--")
            break;
        if (!argument.startsWith(u"--"))
            continue;
        const qsizetype equals = argument.indexOf(u'=');
        const OptionInfo *option
            = findOption(equals < 0 ? QStringView(argument) : QStringView(argument).first(equals));
        if (!option || !option->takesValue)
            continue;
        QString value;
        if (equals >= 0)
            value = argument.mid(equals + 1);
        else if (i + 1 < arguments.size())
            value = arguments[++i];
        if (option->name == u"--language")
            language = value;
        else if (option->name == u"--settings")
            settingsFile = value;
    }
    if (language)
        return *language;
    return (settingsFile ? LoadSettings(*settingsFile) : LoadSettings()).language;
}

QString AddRuleOptions(const QString &rules, const QList<RuleScoreList::Row> &pairs)
{
    if (pairs.isEmpty())
        return rules;
    QStringList entries;
    if (!rules.isEmpty())
        entries = rules.split(u'|');
    for (const RuleScoreList::Row &pair : pairs) {
        const QString prefix = pair.name + u':';
        const auto same = std::find_if(entries.begin(), entries.end(),
            [&prefix](const QString &entry) { return entry.startsWith(prefix); });
        if (same != entries.end())
            *same = prefix + pair.score;
        else
            entries.append(prefix + pair.score);
    }
    return entries.join(u'|');
}

QString CheckUsageText()
{
    QString text = GetText(CliText::UsageLine) + QStringLiteral("\n\n") + GetText(CliText::UsageSummary)
        + QStringLiteral("\n\n") + GetText(CliText::OptionsHeading) + u'\n';

    QList<QString> names;
    qsizetype width = 0;
    for (const OptionInfo &option : Options) {
        QString name = option.name.toString();
        if (!option.valueName.isEmpty())
            name += u' ' + option.valueName.toString();
        width = std::max(width, name.size());
        names << name;
    }
    for (qsizetype i = 0; i < names.size(); ++i) {
        QString help = GetText(Options[i].helpTextId);
        if (Options[i].helpTextId == CliText::HelpSettings)
            help = help.arg(SettingsFilePath());
        else if (Options[i].helpTextId == TextId::LanguageOptionHelp)
            help = help.arg(ApplicationLanguages().join(QStringLiteral(", ")));
        text += QStringLiteral("  ") + names[i].leftJustified(width + 2) + help + u'\n';
    }
    return text + u'\n' + GetText(CliText::ExitStatusHelp) + u' ' + GetText(ReadinessText::ExitStatusReady)
        + u'\n';
}

} // namespace norvale
