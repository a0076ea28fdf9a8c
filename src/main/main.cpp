#include "ApplicationFolder.h"
#include "Artwork.h"
#include "CheckPanel.h"
#include "MainWindow.h"
#include "SignalStop.h"
#include "Startup.h"

#include <QApplication>
#include <QDir>

// norvale [FILE]: opens the window, with FILE in the message box when given
// (the desktop passes the file the user opened Norvale with).
int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvale"));
    QApplication::setApplicationVersion(norvale::ApplicationVersion());
    QApplication::setDesktopFileName(QStringLiteral("norvale"));
    QApplication::setWindowIcon(norvale::WindowIcon());

    norvale::InitialiseApplication();
    // A logout's SIGTERM or a closed terminal's SIGHUP stops a running check
    // (the checker and our files go with it) before the program ends.
    norvale::StopOnSignals([](int status) { QCoreApplication::exit(status); });

    norvale::MainWindow window;
    const QStringList arguments = application.arguments().mid(1);
    if (!arguments.isEmpty())
        window.checkPanel()->setFileName(QDir::current().absoluteFilePath(arguments.first()));
    window.show();
    return application.exec();
}
