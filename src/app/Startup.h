#pragma once

#include "ApplicationFolder.h"

#include <QString>
#include <QStringView>

namespace norvale {

// The maker's two web sites; the window strips "http://" for the caption of
// its site button, so both begin with it.
inline constexpr QStringView ItalianSiteAddress = u"http://www.norvale.app/it/";
inline constexpr QStringView InternationalSiteAddress = u"http://www.norvale.app/";

// The language code "IT" (exactly) in catalogue text TextId::LanguageCode
// chooses the Italian site.
inline constexpr QStringView ItalianLanguageCode = u"IT";

// Verdict levels run from 0 (below the first threshold) to 5; level i is
// catalogue text TextId::FirstVerdict + i.
inline constexpr int VerdictLevelCount = 6;

// The verdict text of a level, as InitialiseApplication read it; empty for a
// level outside 0..5 and before InitialiseApplication.
QString VerdictText(int level);
// The bar picture of a level: 1, 1, 1, 2, 3, 3 for levels 0..5; 0 outside.
int VerdictBar(int level);
// The address the site buttons open, chosen by InitialiseApplication; empty
// before it.
QString SiteAddress();

// The language code of the catalogue loaded at start (its text 1000, lower
// case, else the code in its file name ide.<code>.txt); empty when neither
// names one.
QString CatalogueLanguage();
// ApplicationFile(relativePath) in the catalogue's language when that file
// ships: u"/ide/help.htm" gives .../ide/help.it.htm for an Italian catalogue.
QString LocalisedApplicationFile(QStringView relativePath);

// The start of the program before any window exists: loads the text
// catalogue, reads the six verdict texts and chooses the site address from
// the catalogue's language code. Never fails: a missing catalogue gives empty
// texts and the international site.
void InitialiseApplication(const QString &cataloguePath = ApplicationFile(u"/ide/ide.txt"));

} // namespace norvale
