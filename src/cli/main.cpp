#include "CheckCommand.h"
#include "SignalStop.h"
#include "Startup.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    norvale::InitialiseApplication();
    // Ctrl-C, a terminal closed or a CI job stopped: the checker and our files
    // go with us.
    norvale::StopOnSignals(norvale::ExitNow);
    QSet<qsizetype> undecodable;
    const QStringList arguments = norvale::DecodeArguments(argc, argv, undecodable);
    return norvale::RunCheckCommand(arguments, undecodable);
}
