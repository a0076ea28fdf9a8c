#include "ApplicationFolder.h"
#include "Artwork.h"
#include "CheckPanel.h"
#include "Language.h"
#include "MainWindow.h"
#include "Settings.h"
#include "SignalStop.h"
#include "Startup.h"
#include "TextCatalogue.h"
#include "TextIds.h"
#include "WindowOptions.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

namespace {

constexpr int ExitUsage = 2;

// The language these options and the user's settings choose, then the
// catalogue of it. Needs the application object.
void initialise(const norvale::WindowOptions &options)
{
    norvale::InitialiseApplication(
        norvale::ChooseApplicationCatalogue(options.language.value_or(norvale::LoadSettings().language)));
}

// norvale --help and --version need no display: they run before any window
// system is reached.
int printText(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const norvale::WindowOptions options = norvale::ParseWindowArguments(application.arguments().mid(1));
    initialise(options);
    QTextStream out(stdout);
    QTextStream err(stderr);
    if (const QString error = norvale::WindowUsageError(options); !error.isEmpty()) {
        err << error << u'\n' << norvale::GetText(norvale::TextId::WindowUsageHint) << Qt::endl;
        return ExitUsage;
    }
    if (options.action == norvale::WindowOptions::Action::Help)
        out << norvale::WindowUsageText();
    else
        out << "norvale " << norvale::ApplicationVersion() << Qt::endl;
    return 0;
}

} // namespace

// norvale [--language CODE] [FILE]: opens the window, with FILE in the message
// box when given (the desktop passes the file the user opened Norvale with).
int main(int argc, char *argv[])
{
    if (norvale::AsksForTextOnly(argc, argv))
        return printText(argc, argv);

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvale"));
    QApplication::setApplicationVersion(norvale::ApplicationVersion());
    QApplication::setDesktopFileName(QStringLiteral("norvale"));
    QApplication::setWindowIcon(norvale::WindowIcon());

    const norvale::WindowOptions options = norvale::ParseWindowArguments(application.arguments().mid(1));
    initialise(options);
    if (const QString error = norvale::WindowUsageError(options); !error.isEmpty()) {
        QTextStream(stderr) << error << u'\n' << norvale::GetText(norvale::TextId::WindowUsageHint)
                            << Qt::endl;
        return ExitUsage;
    }
    // A logout's SIGTERM or a closed terminal's SIGHUP stops a running check
    // (the checker and our files go with it) before the program ends.
    norvale::StopOnSignals([](int status) { QCoreApplication::exit(status); });

    norvale::MainWindow window;
    window.startWarmChecker();
    if (!options.file.isEmpty())
        window.checkPanel()->setFileName(QDir::current().absoluteFilePath(options.file));
    window.show();
    return application.exec();
}
