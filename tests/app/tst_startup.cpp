#include "Startup.h"

#include "ApplicationFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

using namespace norvale;

namespace {

const QByteArray Verdicts
    = "71 Fine\r\n72 Minimal\r\n73 Some\r\n74 Borderline\r\n75 Likely\r\n76 Very likely\r\n";

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void siteAddress_followsTheLanguageCode_data()
    {
        QTest::addColumn<QByteArray>("catalogue");
        QTest::addColumn<bool>("italian");
        QTest::newRow("IT chooses the Italian site") << QByteArray("1000 IT\r\n") << true;
        QTest::newRow("IT in a file with LF line ends") << QByteArray("1\n1000 IT\n2\n") << true;
        QTest::newRow("spaces around IT are trimmed by the loader") << QByteArray("1000   IT   \r\n") << true;
        QTest::newRow("lower-case it is another code") << QByteArray("1000 it\r\n") << false;
        QTest::newRow("ITA is another code") << QByteArray("1000 ITA\r\n") << false;
        QTest::newRow("a tab after IT is not trimmed") << QByteArray("1000 IT\t\r\n") << false;
        QTest::newRow("EN chooses the international site") << QByteArray("1000 EN\r\n") << false;
        QTest::newRow("an empty code") << QByteArray("1000 \r\n") << false;
        QTest::newRow("no language code") << QByteArray("71 Fine\r\n") << false;
        QTest::newRow("the later line of the code wins") << QByteArray("1000 IT\r\n1000 EN\r\n") << false;
    }
    void siteAddress_followsTheLanguageCode()
    {
        QFETCH(QByteArray, catalogue);
        QFETCH(bool, italian);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        InitialiseApplication(WriteCatalogue(dir, catalogue));
        QCOMPARE(SiteAddress(), (italian ? ItalianSiteAddress : InternationalSiteAddress).toString());
    }

    void siteAddresses_areFullHttpAddresses()
    {
        QVERIFY(ItalianSiteAddress.startsWith(u"http://"));
        QVERIFY(InternationalSiteAddress.startsWith(u"http://"));
        QVERIFY(ItalianSiteAddress != InternationalSiteAddress);
    }

    void verdictTexts_comeFromTexts71To76()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        InitialiseApplication(WriteCatalogue(dir, Verdicts));
        const QStringList expected { "Fine", "Minimal", "Some", "Borderline", "Likely", "Very likely" };
        for (int level = 0; level < VerdictLevelCount; ++level)
            QCOMPARE(VerdictText(level), expected.at(level));
        QCOMPARE(VerdictText(-1), QString());
        QCOMPARE(VerdictText(6), QString());
    }

    void missingCatalogue_givesEmptyVerdictsAndTheInternationalSite()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        InitialiseApplication(WriteCatalogue(dir, Verdicts + "1000 IT\r\n"));
        QCOMPARE(VerdictText(5), QStringLiteral("Very likely"));

        InitialiseApplication(dir.filePath(QStringLiteral("missing.txt")));
        for (int level = 0; level < VerdictLevelCount; ++level)
            QCOMPARE(VerdictText(level), QString());
        QCOMPARE(SiteAddress(), InternationalSiteAddress.toString());
    }

    void catalogueWithoutVerdicts_leavesThemEmpty()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        InitialiseApplication(WriteCatalogue(dir, "70 before\r\n77 after\r\n"));
        for (int level = 0; level < VerdictLevelCount; ++level)
            QCOMPARE(VerdictText(level), QString());
    }

    void verdictBar_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("bar");
        QTest::newRow("below the table") << -1 << 0;
        QTest::newRow("level 0 has bar 1") << 0 << 1;
        QTest::newRow("level 1 has bar 1") << 1 << 1;
        QTest::newRow("level 2 has bar 1") << 2 << 1;
        QTest::newRow("level 3 has bar 2") << 3 << 2;
        QTest::newRow("level 4 has bar 3") << 4 << 3;
        QTest::newRow("level 5 has bar 3") << 5 << 3;
        QTest::newRow("above the table") << 6 << 0;
    }
    void verdictBar()
    {
        QFETCH(int, level);
        QFETCH(int, bar);
        QCOMPARE(VerdictBar(level), bar);
    }

    void applicationFolder_isTheExecutablesFolder()
    {
        const QString folder = ApplicationFolder();
        QVERIFY(!folder.endsWith(u'/'));
        QCOMPARE(QDir(folder).canonicalPath(), QDir(QCoreApplication::applicationDirPath()).canonicalPath());
        QVERIFY(QFile::exists(folder + u'/' + QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
        QCOMPARE(ApplicationFile(u"/ide/ide.txt"), folder + QStringLiteral("/ide/ide.txt"));
    }

    void applicationVersion_isTheBuildsVersion()
    {
        QCOMPARE(ApplicationVersion(), QStringLiteral(NORVALE_EXPECTED_VERSION));
        QVERIFY(QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$"))
                    .match(ApplicationVersion())
                    .hasMatch());
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
