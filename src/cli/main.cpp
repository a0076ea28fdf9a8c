#include "CheckCommand.h"
#include "CheckOptions.h"
#include "Language.h"
#include "SignalStop.h"
#include "Startup.h"
#include "Text.h"

#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdio>
#include <cstdlib>

namespace {

// Diagnostics name files and quote the checker: on the terminal they are
// escaped like every other text from outside.
void writeLogLine(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    const QByteArray line
        = norvale::EscapeForTerminal(qFormatLogMessage(type, context, message)).toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
    if (type == QtFatalMsg)
        std::abort();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    qInstallMessageHandler(writeLogLine);
    // When the kept-running checker cannot serve, the checks take the cold
    // path with the same results: its reasons stay off the error output, which
    // scripts read, unless asked for (--verbose shows every step, or
    // QT_LOGGING_RULES="norvale.warmchecker.warning=true", or .info for all).
    QLoggingCategory::setFilterRules(QStringLiteral("norvale.warmchecker.warning=false"));
    // Ctrl-C, a terminal closed or a CI job stopped: the checker and our files
    // go with us.
    norvale::StopOnSignals(norvale::ExitNow);
    QSet<qsizetype> undecodable;
    const QStringList arguments = norvale::DecodeArguments(argc, argv, undecodable);
    norvale::InitialiseApplication(norvale::ChooseApplicationCatalogue(norvale::ChosenLanguage(arguments)));
    return norvale::RunCheckCommand(arguments, undecodable);
}
