#include "CheckCommand.h"
#include "Startup.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    norvale::InitialiseApplication();
    QSet<qsizetype> undecodable;
    const QStringList arguments = norvale::DecodeArguments(argc, argv, undecodable);
    return norvale::RunCheckCommand(arguments, undecodable);
}
