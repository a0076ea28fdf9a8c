#include "CheckCommand.h"

#include "ApplicationFolder.h"
#include "CheckOptions.h"
#include "CliTexts.h"
#include "FileCheck.h"
#include "ResultPrinter.h"
#include "RuleScoreList.h"
#include "Settings.h"
#include "TextCatalogue.h"
#include "Thresholds.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <sys/ioctl.h>
#include <unistd.h>

namespace norvale {

namespace {

constexpr int DefaultWidth = 100;

int terminalWidth()
{
    winsize size {};
    if (isatty(STDOUT_FILENO) && ioctl(STDOUT_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    bool ok = false;
    const int columns = qEnvironmentVariableIntValue("COLUMNS", &ok);
    return ok && columns > 0 ? columns : DefaultWidth;
}

// The settings of this run: the user's settings file (or the one named), with
// the options on top, brought into the form the window holds them in.
std::optional<CheckSettings> effectiveSettings(const CheckOptions &options, QTextStream &err)
{
    Settings settings;
    if (options.settingsFile) {
        const QFileInfo info(*options.settingsFile);
        if (!info.isFile() || !info.isReadable()) {
            err << FillText(CliText::SettingsUnreadable, *options.settingsFile) << Qt::endl;
            return std::nullopt;
        }
        settings = LoadSettings(*options.settingsFile);
    } else {
        settings = LoadSettings();
    }

    CheckSettings check;
    check.rules = RuleScoreList::Format(RuleScoreList::Parse(options.rules.value_or(settings.rules)));
    check.thresholdBoxes = SplitThresholds(options.thresholds.value_or(settings.thresholds));
    check.online = options.online.value_or(settings.onlineChecks != 0);
    check.hideZero = options.hideZero || settings.hideZero != 0;
    return check;
}

} // namespace

QStringList DecodeArguments(int argc, const char *const *argv, QSet<qsizetype> &undecodable)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        const QByteArray raw(argv[i]);
        const QString argument = QFile::decodeName(raw);
        // Qt has no lossless form for bytes that are not valid UTF-8: they
        // become U+FFFD, and the text then names another file.
        if (QFile::encodeName(argument) != raw)
            undecodable.insert(arguments.size());
        arguments << argument;
    }
    return arguments;
}

int RunCheckCommand(const QStringList &arguments, const QSet<qsizetype> &undecodable)
{
    QTextStream out(stdout);
    QTextStream err(stderr);

    const CheckOptions options = ParseCheckArguments(arguments, undecodable);
    switch (options.action) {
    case CheckOptions::Action::Help:
        out << CheckUsageText();
        return ExitChecked;
    case CheckOptions::Action::Version:
        out << "norvale-check " << ApplicationVersion() << Qt::endl;
        return ExitChecked;
    case CheckOptions::Action::UsageError:
        err << options.usageError << u'\n' << GetText(CliText::UsageHint) << Qt::endl;
        return ExitUsage;
    case CheckOptions::Action::Check:
        break;
    }

    const std::optional<CheckSettings> settings = effectiveSettings(options, err);
    if (!settings)
        return ExitUsage;

    const bool showProgress = options.files.size() > 1 && isatty(STDERR_FILENO);
    const int width = terminalWidth();
    bool anyNotChecked = false;
    bool anyAtFailLevel = false;

    // Each file's result is written as soon as it is known and then dropped:
    // memory stays the same however many files there are.
    if (options.json)
        out << JsonDocumentHead();
    for (qsizetype i = 0; i < options.files.size(); ++i) {
        // A stop signal is acted on between files too, not only while the
        // checker runs.
        QCoreApplication::processEvents();
        if (showProgress) {
            err << u'\r'
                << FillText(CliText::Progress, QString::number(i + 1), QString::number(options.files.size()),
                       options.files[i])
                << "\033[K" << Qt::flush;
        }
        const FileCheckResult result = options.undecodableFiles.contains(i)
            ? UndecodableFileResult(options.files[i])
            : CheckFile(options.files[i], *settings);
        if (showProgress)
            err << "\r\033[K" << Qt::flush;

        if (!result.ok()) {
            anyNotChecked = true;
            QString line = result.errorNamesFile ? result.error
                                                 : FillText(CliText::ErrorLine, result.path, result.error);
            // Without a catalogue the texts are empty; the file is still named.
            if (line.isEmpty())
                line = result.path;
            err << line << Qt::endl;
        } else {
            // A score past the last limit has no level; it is above every level.
            if (options.failLevel && (!result.level || *result.level >= *options.failLevel))
                anyAtFailLevel = true;
            if (!options.json) {
                if (i > 0)
                    out << u'\n';
                out << FormatResultText(result, settings->hideZero, width) << Qt::flush;
            }
        }
        if (options.json)
            out << FormatFileJson(result, settings->hideZero, i == 0) << Qt::flush;
    }
    if (options.json)
        out << JsonDocumentTail() << Qt::flush;

    if (anyNotChecked)
        return ExitNotChecked;
    return anyAtFailLevel ? ExitFailLevel : ExitChecked;
}

} // namespace norvale
