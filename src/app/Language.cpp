#include "Language.h"

#include "ApplicationFolder.h"
#include "Startup.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>

namespace norvale {

namespace {

bool isAsciiLetters(QStringView text)
{
    return !text.isEmpty()
        && std::all_of(text.begin(), text.end(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; });
}

QString baseCatalogueFile(const QString &catalogueFolder)
{
    return catalogueFolder + QStringLiteral("/ide.txt");
}

// The first desktop language that a catalogue serves: its file, or ide.txt
// when it is ide.txt's own language; empty when none up to the end does.
QString desktopCatalogue(
    const QString &catalogueFolder, const QStringList &desktopLanguages, QStringView baseLanguage)
{
    for (const QString &language : desktopLanguages) {
        const QStringList candidates = LanguageCandidates(language);
        if (candidates.isEmpty())
            return baseCatalogueFile(catalogueFolder); // C or POSIX: the catalogue as shipped
        for (const QString &code : candidates) {
            QString file = CatalogueFileOf(catalogueFolder, code);
            if (QFileInfo(file).isFile())
                return file;
            if (code == baseLanguage)
                return baseCatalogueFile(catalogueFolder);
        }
    }
    return {};
}

} // namespace

QString LanguageCode(QStringView name)
{
    // Drop the encoding and the modifier: "it_IT.UTF-8@euro".
    const qsizetype end = std::min(name.indexOf(u'.') < 0 ? name.size() : name.indexOf(u'.'),
        name.indexOf(u'@') < 0 ? name.size() : name.indexOf(u'@'));
    QString code = name.first(end).toString().toLower();
    code.replace(u'-', u'_');
    if (code == u"c" || code == u"posix")
        return {};
    const qsizetype underscore = code.indexOf(u'_');
    const QStringView language = underscore < 0 ? QStringView(code) : QStringView(code).first(underscore);
    const QStringView territory = underscore < 0 ? QStringView() : QStringView(code).sliced(underscore + 1);
    if (!isAsciiLetters(language) || language.size() > 8)
        return {};
    if (underscore >= 0 && (!isAsciiLetters(territory) || territory.size() > 8))
        return {};
    return code;
}

QStringList LanguageCandidates(QStringView name)
{
    const QString code = LanguageCode(name);
    if (code.isEmpty())
        return {};
    const qsizetype underscore = code.indexOf(u'_');
    if (underscore < 0)
        return { code };
    return { code, code.first(underscore) };
}

QString CatalogueFileOf(const QString &catalogueFolder, QStringView code)
{
    return catalogueFolder + QStringLiteral("/ide.") + code.toString() + QStringLiteral(".txt");
}

QString ChooseCatalogueFile(const QString &catalogueFolder, QStringView explicitChoice,
    const QStringList &desktopLanguages, QStringView baseLanguage)
{
    // A choice that names no catalogue here leaves the desktop's languages.
    QStringList languages = desktopLanguages;
    if (!LanguageCode(explicitChoice).isEmpty())
        languages.prepend(explicitChoice.toString());
    const QString file = desktopCatalogue(catalogueFolder, languages, baseLanguage);
    return file.isEmpty() ? baseCatalogueFile(catalogueFolder) : file;
}

QStringList AvailableLanguages(const QString &catalogueFolder, QStringView baseLanguage)
{
    QStringList codes;
    if (!baseLanguage.isEmpty())
        codes << baseLanguage.toString();
    const QStringList files
        = QDir(catalogueFolder).entryList({ QStringLiteral("ide.*.txt") }, QDir::Files | QDir::Readable);
    for (const QString &file : files) {
        const QString code = file.mid(4, file.size() - 8);
        if (LanguageCode(code) == code)
            codes << code;
    }
    codes.sort();
    codes.removeDuplicates();
    return codes;
}

QString CatalogueFileLanguage(const QString &path)
{
    TextCatalogue catalogue;
    catalogue.load(path);
    return LanguageCode(catalogue.text(TextId::LanguageCode));
}

QString ChooseApplicationCatalogue(QStringView explicitChoice)
{
    const QString folder = ApplicationFile(u"/ide");
    return ChooseCatalogueFile(folder, explicitChoice, QLocale::system().uiLanguages(),
        CatalogueFileLanguage(baseCatalogueFile(folder)));
}

QStringList ApplicationLanguages()
{
    const QString folder = ApplicationFile(u"/ide");
    return AvailableLanguages(folder, CatalogueFileLanguage(baseCatalogueFile(folder)));
}

QString LanguageOptionError(const QString &code)
{
    const QStringList offered = ApplicationLanguages();
    if (offered.contains(LanguageCode(code)))
        return {};
    return FillText(TextId::UnknownLanguage, code, offered.join(QStringLiteral(", ")));
}

QString LocalisedFile(const QString &path, QStringView code)
{
    if (LanguageCode(code).isEmpty())
        return path;
    const qsizetype slash = path.lastIndexOf(u'/');
    const qsizetype dot = path.lastIndexOf(u'.');
    const qsizetype at = dot > slash ? dot : path.size();
    const QString localised = path.first(at) + u'.' + LanguageCode(code) + path.sliced(at);
    return QFileInfo(localised).isFile() ? localised : path;
}

} // namespace norvale
