#include "CheckCommand.h"

#include "ApplicationFolder.h"
#include "BatchCheck.h"
#include "CheckOptions.h"
#include "CliTexts.h"
#include "FileCheck.h"
#include "Logging.h"
#include "ReadinessReport.h"
#include "ReportOutput.h"
#include "ResultPrinter.h"
#include "RuleScoreList.h"
#include "Settings.h"
#include "SignalStop.h"
#include "SpamdPool.h"
#include "Text.h"
#include "TextCatalogue.h"
#include "Thresholds.h"
#include "WarmChecker.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <QThread>

#include <cstdio>
#include <memory>
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
    check.warmChecker = settings.warmChecker != 0;
    check.spamdPool = options.spamd ? *options.spamd : options.cold ? QString() : settings.spamdPool;
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
    if (options.verbose)
        QLoggingCategory::setFilterRules(QStringLiteral("norvale.*.info=true\nnorvale.*.warning=true"));

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

    BatchCheck batch;
    batch.files = options.files;
    batch.undecodableFiles = options.undecodableFiles;
    batch.settings = *settings;
    batch.jobs = options.jobs.value_or(std::max(1, QThread::idealThreadCount()));

    // The checker: the team's pool when named, else the warm checker for a
    // batch (the one a running Norvale keeps when there is one), else the cold one.
    std::unique_ptr<WarmChecker> warm;
    // The settings' list is the window's too: one that is not HOST:PORT
    // entries is passed over there, and here.
    const std::optional<SpamdPool> pool
        = settings->spamdPool.isEmpty() ? std::nullopt : SpamdPool::parse(settings->spamdPool);
    if (pool) {
        const QString client = WarmCheckerPaths::resolve().client;
        batch.factory = [pool = *pool, client] { return new SpamdPoolJob(pool, client); };
        qCInfo(lcCli).noquote() << "checker: the daemons" << pool->describe() << "through" << client;
    } else if (!options.cold && settings->warmChecker) {
        warm = std::make_unique<WarmChecker>();
        warm->start(settings->online,
            options.files.size() > 1 ? WarmChecker::Start::Always : WarmChecker::Start::IfRunning);
        // A batch waits for the daemon to answer (or fail) rather than load the
        // rule set once per file meanwhile.
        QEventLoop wait;
        QObject::connect(warm.get(), &WarmChecker::stateChanged, &wait, [&wait](WarmChecker::State state) {
            if (state != WarmChecker::State::Starting)
                wait.quit();
        });
        if (warm->state() == WarmChecker::State::Starting)
            wait.exec(QEventLoop::ExcludeUserInputEvents);
        WarmChecker *checker = warm.get();
        // Without a daemon (none running for a single file, root, none
        // installed, a start that failed) the checks are the cold ones of old.
        if (checker->isReady()) {
            batch.factory = [checker] { return new WarmCheckJob(checker); };
            qCInfo(lcCli).noquote() << "checker: kept running, through" << checker->clientPath();
        }
        // A stop signal ends the daemon this command started, with the checks.
        StopOnSignals([checker](int status) {
            checker->stop();
            ExitNow(status);
        });
    }

    if (!batch.factory) {
        const CheckerPaths paths = CheckerPaths::resolve();
        qCInfo(lcCli).noquote() << "checker: started afresh for every message:" << paths.testRun << "then"
                                << paths.secondRun;
    }

    QElapsedTimer clock;
    clock.start();
    batch.onProgress = [&](qsizetype done) {
        if (!showProgress)
            return;
        const double seconds = std::max<qint64>(clock.elapsed(), 1) / 1000.0;
        err << u'\r'
            << FillText(CliText::ProgressRate, QString::number(done), QString::number(options.files.size()),
                   QLocale::c().toString(done / seconds, 'f', 1))
            << "\033[K" << Qt::flush;
    };
    // Each file's result is written as soon as it and those before it are
    // known, then dropped: memory stays the same however many files there are.
    if (options.json)
        out << JsonDocumentHead();
    batch.onResult = [&](qsizetype i, const FileCheckResult &result) {
        if (showProgress)
            err << "\r\033[K" << Qt::flush;
        if (!result.ok()) {
            anyNotChecked = true;
            err << errorLine(result) << Qt::endl;
        }
        FileCheckResult shown = result;
        if (!options.readiness)
            shown.readiness.reset();
        if (!result.ok()) {
            if (options.json)
                out << FormatFileJson(shown, settings->hideZero, i == 0) << Qt::flush;
            return;
        }
        // A score past the last limit has no level; it is above every level.
        if (options.failLevel && (!result.level || *result.level >= *options.failLevel))
            anyAtFailLevel = true;
        if (options.requireReady && result.readiness && !result.readiness->ready())
            anyAtFailLevel = true;
        const FullReport report = extras.reportFor(result);
        if (options.json) {
            out << FormatFileJson(shown, settings->hideZero, i == 0, extras.json(report)) << Qt::flush;
            return;
        }
        if (i > 0)
            out << u'\n';
        out << FormatResultText(result, settings->hideZero, width);
        if (options.readiness && result.readiness)
            out << u'\n' << ReadinessTerminalText(*result.readiness, width);
        if (const QString more = extras.text(report); !more.isEmpty())
            out << u'\n' << more;
        out << Qt::flush;
    };
    batch.run();
    if (showProgress)
        err << "\r\033[K" << Qt::flush;
    if (warm) {
        // The learning that follows each check is finished before the daemon ends.
        QEventLoop wait;
        QObject::connect(warm.get(), &WarmChecker::secondRunsDone, &wait, &QEventLoop::quit);
        if (warm->secondRunPending())
            wait.exec(QEventLoop::ExcludeUserInputEvents);
        warm->stop();
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
