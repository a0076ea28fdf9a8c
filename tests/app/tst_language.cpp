#include "Language.h"
#include "Startup.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

using namespace norvale;

namespace {

// A catalogue folder holding the named files, each a catalogue whose text 1000
// is the code given after ":" ("ide.txt:EN"); a name without ":" gets a file
// without text 1000.
void MakeFolder(const QTemporaryDir &dir, const QStringList &files)
{
    for (const QString &entry : files) {
        const QString name = entry.section(u':', 0, 0);
        const QString code = entry.section(u':', 1);
        const QByteArray content
            = "1 " + name.toUtf8() + "\n" + (code.isEmpty() ? "" : "1000 " + code.toUtf8() + "\n");
        if (!WriteFile(dir.filePath(name), content))
            qFatal("cannot write %s", qPrintable(name));
    }
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void languageCode_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("code");
        QTest::newRow("a locale with its encoding") << "it_IT.UTF-8"
                                                    << "it_it";
        QTest::newRow("a locale with a modifier") << "it_IT@euro"
                                                  << "it_it";
        QTest::newRow("a BCP 47 name as Qt lists it") << "it-IT"
                                                      << "it_it";
        QTest::newRow("a bare code in capitals, as text 1000 holds it") << "IT"
                                                                        << "it";
        QTest::newRow("the C locale") << "C"
                                      << "";
        QTest::newRow("the C locale with UTF-8") << "C.UTF-8"
                                                 << "";
        QTest::newRow("POSIX") << "POSIX"
                               << "";
        QTest::newRow("nothing") << ""
                                 << "";
        QTest::newRow("a path cannot reach outside the folder") << "../../etc/passwd"
                                                                << "";
        QTest::newRow("a slash") << "it/x"
                                 << "";
        QTest::newRow("digits") << "i7"
                                << "";
        QTest::newRow("two underscores") << "a_b_c"
                                         << "";
        QTest::newRow("a letter outside ASCII") << QStringLiteral("itá") << "";
    }
    void languageCode()
    {
        QFETCH(QString, name);
        QFETCH(QString, code);
        QCOMPARE(LanguageCode(name), code);
    }

    void languageCandidates_tryTheTerritoryFirst()
    {
        QCOMPARE(LanguageCandidates(u"pt_BR.UTF-8"), QStringList({ "pt_br", "pt" }));
        QCOMPARE(LanguageCandidates(u"it"), QStringList({ "it" }));
        QCOMPARE(LanguageCandidates(u"C"), QStringList());
    }

    void chooseCatalogueFile_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<QStringList>("desktop");
        QTest::addColumn<QString>("chosen");

        const QStringList shipped { "ide.txt:EN", "ide.it.txt:IT" };
        QTest::newRow("an Italian desktop gets the Italian catalogue")
            << shipped << "" << QStringList { "it-IT", "it" } << "ide.it.txt";
        QTest::newRow("the C locale gets ide.txt") << shipped << "" << QStringList { "C" } << "ide.txt";
        QTest::newRow("an English desktop gets ide.txt")
            << shipped << "" << QStringList { "en-GB", "en" } << "ide.txt";
        QTest::newRow("a language that no catalogue serves gets ide.txt")
            << shipped << "" << QStringList { "de-DE", "de" } << "ide.txt";
        QTest::newRow("no desktop language gets ide.txt") << shipped << "" << QStringList {} << "ide.txt";
        QTest::newRow("the first served language in the list wins")
            << shipped << "" << QStringList { "de-DE", "it-IT", "en" } << "ide.it.txt";
        QTest::newRow("English before Italian in the list stays English")
            << shipped << "" << QStringList { "en-US", "it-IT" } << "ide.txt";
        QTest::newRow("an explicit choice wins over the desktop")
            << shipped << "it" << QStringList { "en-US" } << "ide.it.txt";
        QTest::newRow("an explicit English wins over an Italian desktop")
            << shipped << "en" << QStringList { "it-IT" } << "ide.txt";
        QTest::newRow("an explicit choice no catalogue serves leaves the desktop's")
            << shipped << "fr" << QStringList { "it-IT" } << "ide.it.txt";
        QTest::newRow("an explicit choice that is no code leaves the desktop's")
            << shipped << "../it" << QStringList { "it-IT" } << "ide.it.txt";
        QTest::newRow("a translator's ide.txt in French serves a French desktop")
            << QStringList { "ide.txt:FR", "ide.it.txt:IT" } << "" << QStringList { "fr-FR" } << "ide.txt";
        QTest::newRow("a translator who copied Italian over ide.txt keeps it under C")
            << QStringList { "ide.txt:IT", "ide.it.txt:IT" } << "" << QStringList { "C" } << "ide.txt";
        QTest::newRow("a territory's own catalogue comes before the language's")
            << QStringList { "ide.txt:EN", "ide.pt.txt:PT", "ide.pt_br.txt:PT" } << ""
            << QStringList { "pt-BR" } << "ide.pt_br.txt";
        QTest::newRow("a territory falls back to the language's catalogue")
            << QStringList { "ide.txt:EN", "ide.pt.txt:PT" } << "" << QStringList { "pt-PT" } << "ide.pt.txt";
        QTest::newRow("a folder named like a catalogue is no catalogue")
            << QStringList { "ide.txt:EN" } << "" << QStringList { "nl" } << "ide.txt";
    }
    void chooseCatalogueFile()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, choice);
        QFETCH(QStringList, desktop);
        QFETCH(QString, chosen);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MakeFolder(dir, files);
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("ide.nl.txt")));
        const QString base = CatalogueFileLanguage(dir.filePath(QStringLiteral("ide.txt")));
        QCOMPARE(ChooseCatalogueFile(dir.path(), choice, desktop, base), dir.filePath(chosen));
    }

    void availableLanguages_listTheBaseAndEveryCatalogueBesideIt()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MakeFolder(
            dir, { "ide.txt:EN", "ide.it.txt:IT", "ide.pt_br.txt", "ide.bad name.txt", "help.it.htm" });
        QCOMPARE(AvailableLanguages(dir.path(), u"en"), QStringList({ "en", "it", "pt_br" }));
        QCOMPARE(AvailableLanguages(dir.path(), u"it"), QStringList({ "it", "pt_br" }));
        QCOMPARE(AvailableLanguages(dir.path(), u""), QStringList({ "it", "pt_br" }));
    }

    void catalogueFileLanguage_isText1000InLowerCase()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MakeFolder(dir, { "ide.txt:EN", "ide.it.txt" });
        QCOMPARE(CatalogueFileLanguage(dir.filePath(QStringLiteral("ide.txt"))), QStringLiteral("en"));
        QCOMPARE(CatalogueFileLanguage(dir.filePath(QStringLiteral("ide.it.txt"))), QString());
        QCOMPARE(CatalogueFileLanguage(dir.filePath(QStringLiteral("missing.txt"))), QString());
    }

    void localisedFile_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");
        QTest::newRow("the language's page when it ships")
            << QStringList { "help.htm", "help.it.htm" } << "help.htm"
            << "it"
            << "help.it.htm";
        QTest::newRow("the plain page when the language's is missing")
            << QStringList { "help.htm" } << "help.htm"
            << "it"
            << "help.htm";
        QTest::newRow("the plain page for no language")
            << QStringList { "help.htm", "help.it.htm" } << "help.htm"
            << ""
            << "help.htm";
        QTest::newRow("a code in capitals finds the lower-case file")
            << QStringList { "help.htm", "help.it.htm" } << "help.htm"
            << "IT"
            << "help.it.htm";
        QTest::newRow("a name without an extension") << QStringList { "guide", "guide.it" } << "guide"
                                                     << "it"
                                                     << "guide.it";
        QTest::newRow("a code that is no code is never put in a path")
            << QStringList { "help.htm" } << "help.htm"
            << "../x"
            << "help.htm";
    }
    void localisedFile()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, path);
        QFETCH(QString, code);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        MakeFolder(dir, files);
        QCOMPARE(LocalisedFile(dir.filePath(path), code), dir.filePath(expected));
    }

    void catalogueLanguage_comesFromText1000OrTheFileName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("language");
        QTest::newRow("text 1000 names it") << "ide.txt" << QByteArray("1000 IT\n") << "it";
        QTest::newRow("text 1000 wins over the file name") << "ide.it.txt" << QByteArray("1000 EN\n") << "en";
        QTest::newRow("the file name when text 1000 is missing")
            << "ide.it.txt" << QByteArray("1 x\n") << "it";
        QTest::newRow("ide.txt without text 1000 names none") << "ide.txt" << QByteArray("1 x\n") << "";
    }
    void catalogueLanguage_comesFromText1000OrTheFileName()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, language);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(WriteFile(dir.filePath(name), content));
        InitialiseApplication(dir.filePath(name));
        QCOMPARE(CatalogueLanguage(), language);
    }
};

QTEST_GUILESS_MAIN(TestLanguage)
#include "tst_language.moc"
