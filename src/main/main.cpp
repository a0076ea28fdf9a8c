#include "ApplicationFolder.h"
#include "Artwork.h"
#include "CheckPanel.h"
#include "MainWindow.h"
#include "Startup.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvale"));
    QApplication::setApplicationVersion(norvale::ApplicationVersion());
    QApplication::setDesktopFileName(QStringLiteral("norvale"));
    QApplication::setWindowIcon(norvale::WindowIcon());

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tells how likely a newsletter is to be taken for spam, before you send it."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("file"), QStringLiteral("The message file to check (.eml)."),
        QStringLiteral("[file]"));
    parser.process(application);

    norvale::InitialiseApplication();

    norvale::MainWindow window;
    if (const QStringList files = parser.positionalArguments(); !files.isEmpty())
        window.checkPanel()->setFileName(QDir::current().absoluteFilePath(files.first()));
    window.show();
    return application.exec();
}
