#include "CheckCommand.h"

#include "ApplicationFolder.h"
#include "CheckOptions.h"
#include "CliTexts.h"
#include "FileCheck.h"
#include "ReadinessReport.h"
#include "ReportOutput.h"
#include "ResultPrinter.h"
#include "RuleScoreList.h"
#include "Settings.h"
#include "Text.h"
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
            err << FillText(CliText::SettingsUnreadable, EscapeForTerminal(*options.settingsFile))
                << Qt::endl;
            return std::nullopt;
        }
        settings = LoadSettings(*options.settingsFile);
    } else {
        settings = LoadSettings();
    }

    CheckSettings check;
    check.rules = AddRuleOptions(RuleScoreList::Normalise(settings.rules), options.rules);
    check.thresholdBoxes = SplitThresholds(options.thresholds.value_or(settings.thresholds));
    check.online = options.online.value_or(settings.onlineChecks != 0);
    check.hideZero = options.hideZero || settings.hideZero != 0;
    return check;
}

// The line on standard error for a file that could not be checked, safe for
// the terminal: the file's name escaped whole, line breaks included; the
// message's own line breaks kept.
QString errorLine(const FileCheckResult &result)
{
    const QString path = EscapeForTerminal(result.path);
    QString line;
    if (!result.errorNamesFile) {
        line = FillText(CliText::ErrorLine, path, EscapeForTerminal(result.error, true));
    } else {
        // The message names the file as it was checked, trimmed of spaces.
        QString error = result.error;
        const QString named = TrimSpaces(result.path);
        if (EscapeForTerminal(named) != named)
            error.replace(named, EscapeForTerminal(named));
        line = EscapeForTerminal(error, true);
    }
    // Without a catalogue the texts are empty; the file is still named.
    return line.isEmpty() ? path : line;
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
        err << EscapeForTerminal(options.usageError, true) << u'\n' << GetText(CliText::UsageHint)
            << Qt::endl;
        return ExitUsage;
    case CheckOptions::Action::Check:
        break;
    }

    std::optional<CheckSettings> settings = effectiveSettings(options, err);
    if (!settings)
        return ExitUsage;
    settings->readiness = options.readiness || options.requireReady;

    ReportOutput extras(options, *settings);
    if (const std::optional<QString> error = extras.prepare()) {
        err << *error << Qt::endl;
        return ExitUsage;
    }

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
                       EscapeForTerminal(options.files[i]))
                << "\033[K" << Qt::flush;
        }
        const FileCheckResult result = options.undecodableFiles.contains(i)
            ? UndecodableFileResult(options.files[i])
            : CheckFile(options.files[i], *settings);
        if (showProgress)
            err << "\r\033[K" << Qt::flush;

        if (!result.ok()) {
            anyNotChecked = true;
            err << errorLine(result) << Qt::endl;
        } else {
            // A score past the last limit has no level; it is above every level.
            if (options.failLevel && (!result.level || *result.level >= *options.failLevel))
                anyAtFailLevel = true;
            if (options.requireReady && result.readiness && !result.readiness->ready())
                anyAtFailLevel = true;
            const FullReport report = extras.reportFor(result);
            if (!options.json) {
                if (i > 0)
                    out << u'\n';
                out << FormatResultText(result, settings->hideZero, width);
                if (options.readiness && result.readiness)
                    out << u'\n' << ReadinessTerminalText(*result.readiness, width);
                if (const QString more = extras.text(report); !more.isEmpty())
                    out << u'\n' << more;
                out << Qt::flush;
            } else {
                FileCheckResult shown = result;
                if (!options.readiness)
                    shown.readiness.reset();
                out << FormatFileJson(shown, settings->hideZero, i == 0, extras.json(report)) << Qt::flush;
            }
            continue;
        }
        if (options.json) {
            FileCheckResult shown = result;
            if (!options.readiness)
                shown.readiness.reset();
            out << FormatFileJson(shown, settings->hideZero, i == 0) << Qt::flush;
        }
    }
    if (options.json)
        out << JsonDocumentTail() << Qt::flush;
    if (const std::optional<QString> error = extras.finish()) {
        err << *error << Qt::endl;
        anyNotChecked = true;
    }
    if (extras.worse())
        anyAtFailLevel = true;

    if (anyNotChecked)
        return ExitNotChecked;
    return anyAtFailLevel ? ExitFailLevel : ExitChecked;
}

} // namespace norvale
