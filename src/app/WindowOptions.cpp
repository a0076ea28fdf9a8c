#include "WindowOptions.h"

#include "Language.h"
#include "TextCatalogue.h"

#include <cstring>

namespace norvale {

namespace {

// Shared with norvale-check, which words the same errors and help lines.
constexpr int UnknownOptionTextId = 321;
constexpr int OptionNeedsValueTextId = 322;
constexpr int OptionTakesNoValueTextId = 323;
constexpr int OptionsHeadingTextId = 303;
constexpr int HelpHelpTextId = 312;
constexpr int HelpVersionTextId = 313;

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
                return usageError(OptionNeedsValueTextId, name);
        } else if (name == u"--help" || name == u"--version") {
            if (equals >= 0)
                return usageError(OptionTakesNoValueTextId, name);
            (name == u"--help" ? help : version) = true;
        } else {
            return usageError(UnknownOptionTextId, name);
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
    return GetText(WindowUsageLineTextId) + QStringLiteral("\n\n") + GetText(WindowUsageSummaryTextId)
        + QStringLiteral("\n\n") + GetText(OptionsHeadingTextId) + u'\n'
        + line(
            language, FillText(LanguageOptionHelpTextId, ApplicationLanguages().join(QStringLiteral(", "))))
        + line(QStringLiteral("--help"), GetText(HelpHelpTextId))
        + line(QStringLiteral("--version"), GetText(HelpVersionTextId));
}

} // namespace norvale
