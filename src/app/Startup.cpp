#include "Startup.h"

#include "TextCatalogue.h"

#include <array>

namespace norvale {

namespace {

struct StartValues
{
    std::array<QString, VerdictLevelCount> verdictTexts;
    QString siteAddress;
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

void InitialiseApplication(const QString &cataloguePath)
{
    LoadTextCatalogue(cataloguePath);
    StartValues &values = startValues();
    for (int level = 0; level < VerdictLevelCount; ++level)
        values.verdictTexts[level] = GetText(FirstVerdictTextId + level);
    const bool italian = GetText(LanguageCodeTextId) == ItalianLanguageCode;
    values.siteAddress = (italian ? ItalianSiteAddress : InternationalSiteAddress).toString();
}

} // namespace norvale
