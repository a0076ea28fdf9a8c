#include "Startup.h"

#include "Language.h"
#include "TextCatalogue.h"
#include "TextIds.h"

#include <QFileInfo>

#include <array>

namespace norvale {

namespace {

struct StartValues
{
    std::array<QString, VerdictLevelCount> verdictTexts;
    QString siteAddress;
    QString language;
};

StartValues &startValues()
{
    static StartValues values;
    return values;
}

constexpr std::array<int, VerdictLevelCount> VerdictBars { 1, 1, 1, 2, 3, 3 };

bool isVerdictLevel(int level)
{
    return level >= 0 && level < VerdictLevelCount;
}

} // namespace

QString VerdictText(int level)
{
    return isVerdictLevel(level) ? startValues().verdictTexts[level] : QString();
}

int VerdictBar(int level)
{
    return isVerdictLevel(level) ? VerdictBars[level] : 0;
}

QString SiteAddress()
{
    return startValues().siteAddress;
}

QString CatalogueLanguage()
{
    return startValues().language;
}

QString LocalisedApplicationFile(QStringView relativePath)
{
    return LocalisedFile(ApplicationFile(relativePath), CatalogueLanguage());
}

void InitialiseApplication(const QString &cataloguePath)
{
    LoadTextCatalogue(cataloguePath);
    StartValues &values = startValues();
    for (int level = 0; level < VerdictLevelCount; ++level)
        values.verdictTexts[level] = GetText(TextId::FirstVerdict + level);
    const bool italian = GetText(TextId::LanguageCode) == ItalianLanguageCode;
    values.siteAddress = (italian ? ItalianSiteAddress : InternationalSiteAddress).toString();
    // The catalogue's own code; a catalogue without one is known by its file
    // name (ide.<code>.txt), and ide.txt without one by none.
    values.language = LanguageCode(GetText(TextId::LanguageCode));
    if (values.language.isEmpty()) {
        const QString name = QFileInfo(cataloguePath).fileName();
        if (name.startsWith(u"ide.") && name.endsWith(u".txt") && name.size() > 8)
            values.language = LanguageCode(QStringView(name).sliced(4, name.size() - 8));
    }
}

} // namespace norvale
