#include "CheckCommand.h"
#include "Startup.h"

#include <QCoreApplication>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    norvale::InitialiseApplication();
    return norvale::RunCheckCommand(app.arguments().mid(1));
}
