#include "CheckCommand.h"
#include "CheckOptions.h"
#include "Language.h"
#include "Startup.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QSet<qsizetype> undecodable;
    const QStringList arguments = norvale::DecodeArguments(argc, argv, undecodable);
    norvale::InitialiseApplication(norvale::ChooseApplicationCatalogue(norvale::ChosenLanguage(arguments)));
    return norvale::RunCheckCommand(arguments, undecodable);
}
