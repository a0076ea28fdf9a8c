#include "CheckCommand.h"
#include "CheckOptions.h"
#include "Language.h"
#include "SignalStop.h"
#include "Startup.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    // Ctrl-C, a terminal closed or a CI job stopped: the checker and our files
    // go with us.
    norvale::StopOnSignals(norvale::ExitNow);
    QSet<qsizetype> undecodable;
    const QStringList arguments = norvale::DecodeArguments(argc, argv, undecodable);
    norvale::InitialiseApplication(norvale::ChooseApplicationCatalogue(norvale::ChosenLanguage(arguments)));
    return norvale::RunCheckCommand(arguments, undecodable);
}
