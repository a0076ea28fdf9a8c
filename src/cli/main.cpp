#include "CheckCommand.h"
#include "CheckOptions.h"
#include "Language.h"
#include "SignalStop.h"
#include "Startup.h"

#include <QCoreApplication>
#include <QLoggingCategory>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // When the kept-running checker cannot serve, the checks take the cold
    // path with the same results: its reasons stay off the error output, which
    // scripts read, unless asked for
    // (QT_LOGGING_RULES="norvale.warmchecker.warning=true", or .info for all).
    QLoggingCategory::setFilterRules(QStringLiteral("norvale.warmchecker.warning=false"));
    // Ctrl-C, a terminal closed or a CI job stopped: the checker and our files
    // go with us.
    norvale::StopOnSignals(norvale::ExitNow);
    QSet<qsizetype> undecodable;
    const QStringList arguments = norvale::DecodeArguments(argc, argv, undecodable);
    norvale::InitialiseApplication(norvale::ChooseApplicationCatalogue(norvale::ChosenLanguage(arguments)));
    return norvale::RunCheckCommand(arguments, undecodable);
}
