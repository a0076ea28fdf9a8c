#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

namespace norvale {

// Which text catalogue Norvale speaks. English ships as ide/ide.txt and every
// other language beside it as ide/ide.<code>.txt (ide/ide.it.txt). A
// translator may also replace ide/ide.txt itself; its text 1000 then names
// its language. The order of choice:
//  1. an explicit choice (norvale --language, norvale-check --language, or the
//     "language" key of the settings), when a catalogue here serves it;
//  2. the desktop's languages in order of preference (LANGUAGE, LC_ALL,
//     LC_MESSAGES, LANG, as QLocale::system().uiLanguages() reads them), up
//     to the first one that ide/ide.txt speaks itself;
//  3. ide/ide.txt.
// Files beside the catalogue that come in languages (help.htm, help.it.htm)
// follow the language of the catalogue chosen.

// The language code of a locale or language name, lower case, as the
// catalogue files are named: "it_IT.UTF-8", "it-IT", "it_IT@euro" and "IT"
// give "it"; "pt_BR" gives "pt_br". Empty for the C and POSIX locales and for
// anything that is not a plain code (letters, one "_" or "-" and letters), so
// no name can reach outside the ide folder.
QString LanguageCode(QStringView name);

// The codes a name may be served by, most specific first: "pt_br" then "pt".
QStringList LanguageCandidates(QStringView name);

// ide/ide.<code>.txt in the catalogue folder.
QString CatalogueFileOf(const QString &catalogueFolder, QStringView code);

// The catalogue file to load from catalogueFolder (the application's ide
// folder), as described above. explicitChoice may be empty (no choice);
// desktopLanguages is the desktop's list in order of preference; baseLanguage
// is the code of ide/ide.txt itself (its text 1000).
QString ChooseCatalogueFile(const QString &catalogueFolder, QStringView explicitChoice,
    const QStringList &desktopLanguages, QStringView baseLanguage);

// The languages the catalogue folder offers: ide/ide.txt's own code (when it
// has one) and the code of every ide/ide.<code>.txt, sorted, without repeats.
QStringList AvailableLanguages(const QString &catalogueFolder, QStringView baseLanguage);

// The code in text 1000 of a catalogue file, lower case; empty when the file
// has none.
QString CatalogueFileLanguage(const QString &path);

// For the program's own start: the catalogue of the application folder chosen
// with QLocale::system().uiLanguages() as the desktop's languages.
QString ChooseApplicationCatalogue(QStringView explicitChoice);
// AvailableLanguages of the application folder.
QStringList ApplicationLanguages();

// The usage error for a --language value that no catalogue here serves;
// empty when one does.
QString LanguageOptionError(const QString &code);

// path with ".<code>" put before its last extension (help.htm with "it"
// gives help.it.htm) when code is not empty and that file exists; path
// otherwise.
QString LocalisedFile(const QString &path, QStringView code);

} // namespace norvale
