#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace norvale {

// What `norvale [--language CODE] [--help] [--version] [--] [FILE]` asks for.
// Read before the catalogue is loaded, so an error is kept as the text id and
// the word it names, and worded afterwards by WindowUsageError.
struct WindowOptions
{
    enum class Action
    {
        Open,
        Help,
        Version,
        UsageError
    };
    Action action = Action::Open;
    QString file; // the first file named; empty for none
    std::optional<QString> language; // --language CODE
    int errorTextId = 0; // for UsageError: the catalogue text
    QString errorArgument; // and the option it names
};

// Reads the arguments that follow the program name (Qt's own options already
// taken out by the application object). "--" ends the options; a value is the
// next argument or follows "="; a later file is ignored, as the desktop passes
// one.
WindowOptions ParseWindowArguments(const QStringList &arguments);

// Whether the raw arguments ask only for text (--help or --version before any
// "--"), which needs no display; read before any application object exists.
bool AsksForTextOnly(int argc, const char *const *argv);

// The usage error of options, or of their --language value (which needs the
// catalogue folder), from the loaded catalogue; empty when there is none.
QString WindowUsageError(const WindowOptions &options);

// The window's --help text, from the catalogue.
QString WindowUsageText();

} // namespace norvale
