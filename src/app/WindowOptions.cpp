#include "WindowOptions.h"

#include "Language.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <cstring>

namespace norvale {

namespace {

// The errors and help lines are norvale-check's own texts (CliText): both
// programs word them the same.
WindowOptions usageError(int textId, const QString &argument)
{
    WindowOptions options;
    options.action = WindowOptions::Action::UsageError;
    options.errorTextId = textId;
    options.errorArgument = argument;
    return options;
}

} // namespace

WindowOptions ParseWindowArguments(const QStringList &arguments)
{
    WindowOptions options;
    bool help = false;
    bool version = false;
    bool optionsEnded = false;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (optionsEnded || !argument.startsWith(u'-') || argument == u"-") {
            if (options.file.isEmpty())
                options.file = argument;
            continue;
        }
        if (argument == u"--") {
            optionsEnded = true;
            continue;
        }
        const qsizetype equals = argument.indexOf(u'=');
        const QString name = equals < 0 ? argument : argument.left(equals);
        if (name == u"--language") {
            if (equals >= 0)
                options.language = argument.mid(equals + 1);
            else if (i + 1 < arguments.size())
                options.language = arguments[++i];
            else
                return usageError(CliText::OptionNeedsValue, name);
        } else if (name == u"--help" || name == u"--version") {
            if (equals >= 0)
                return usageError(CliText::OptionTakesNoValue, name);
            (name == u"--help" ? help : version) = true;
        } else {
            return usageError(CliText::UnknownOption, name);
        }
    }
    if (help)
        options.action = WindowOptions::Action::Help;
    else if (version)
        options.action = WindowOptions::Action::Version;
    return options;
}

bool AsksForTextOnly(int argc, const char *const *argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0)
            return false;
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "--version") == 0)
            return true;
    }
    return false;
}

QString WindowUsageError(const WindowOptions &options)
{
    if (options.action == WindowOptions::Action::UsageError)
        return FillText(options.errorTextId, options.errorArgument);
    return options.language ? LanguageOptionError(*options.language) : QString();
}

QString WindowUsageText()
{
    const QString language = QStringLiteral("--language CODE");
    const qsizetype width = language.size() + 2;
    auto line = [width](const QString &name, const QString &help) {
        return QStringLiteral("  ") + name.leftJustified(width) + help + u'\n';
    };
    return GetText(TextId::WindowUsageLine) + QStringLiteral("\n\n") + GetText(TextId::WindowUsageSummary)
        + QStringLiteral("\n\n") + GetText(CliText::OptionsHeading) + u'\n'
        + line(
            language, FillText(TextId::LanguageOptionHelp, ApplicationLanguages().join(QStringLiteral(", "))))
        + line(QStringLiteral("--help"), GetText(CliText::HelpHelp))
        + line(QStringLiteral("--version"), GetText(CliText::HelpVersion));
}

} // namespace norvale
