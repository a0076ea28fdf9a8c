#include "Recordings.h"
#include "ReportScorer.h"
#include "RuleGuide.h"
#include "SpamCheck.h"
#include "TestFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace norvale;

namespace {

const QString ShippedGuide = QStringLiteral(NORVALE_SOURCE_DIR "/ide/guide.txt");
const QString ShippedItalianGuide = QStringLiteral(NORVALE_SOURCE_DIR "/ide/guide.it.txt");
const QString CapturedFiredRules = QStringLiteral(NORVALE_TEST_DATA "/fired-rules.tsv");

RuleGuide loadGuide(const QString &path)
{
    RuleGuide guide;
    guide.load(path);
    return guide;
}

QStringList keysOf(const RuleGuide &guide)
{
    QStringList keys;
    for (const GuideEntry &entry : guide.entries())
        keys << entry.key;
    return keys;
}

// The rules the real checker fires on a message, local tests only: as it
// recorded them for the repository's messages (tst_spamcheck keeps the
// recordings true), from a run of it for the others.
QStringList firedRules(const QString &messagePath)
{
    QString output;
    if (const std::optional<Recording> recording = RecordingOf(messagePath)) {
        output = recording->output();
    } else {
        QProcess process;
        process.setProcessEnvironment(CheckerEnvironment());
        process.setStandardInputFile(messagePath);
        process.start(QStringLiteral("spamassassin"), { QStringLiteral("-t"), QStringLiteral("-L") });
        if (!process.waitForFinished(180000))
            qFatal("spamassassin did not finish");
        output = QString::fromUtf8(process.readAllStandardOutput());
    }
    const ScoreResult result = ScoreReport(ExtractReportSection(output), {});
    QStringList rules;
    for (const Reason &reason : result.reasons)
        rules << reason.ruleName;
    return rules;
}

// The rules among `rules` that lack an entry of their own in a shipped guide,
// each followed by the guide's language; empty when every one has both.
QString withoutOwnEntry(const QStringList &rules)
{
    static const RuleGuide english = loadGuide(ShippedGuide);
    static const RuleGuide italian = loadGuide(ShippedItalianGuide);
    QStringList missing;
    for (const QString &rule : rules) {
        if (english.matchOf(rule) != GuideMatch::Own)
            missing << rule + QStringLiteral(" (English)");
        if (italian.matchOf(rule) != GuideMatch::Own)
            missing << rule + QStringLiteral(" (Italian)");
    }
    return missing.join(QStringLiteral(", "));
}

} // namespace

class TestRuleGuide : public QObject
{
    Q_OBJECT

private slots:
    void readsEntries_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("meaning");
        QTest::addColumn<bool>("localOnly");

        QTest::newRow("a plain entry gives its fields")
            << QByteArray("[ONE]\nmeaning = It means one.\nwhy = W\nchange = C\n") << "ONE"
            << "It means one." << false;
        QTest::newRow("CR LF line ends and a byte-order mark are accepted")
            << QByteArray("\xEF\xBB\xBF[ONE]\r\nmeaning = M\r\nlocal = yes\r\n") << "ONE"
            << "M" << true;
        QTest::newRow("local takes yes in any letter case")
            << QByteArray("[ONE]\nlocal = YES\nmeaning=M") << "ONE"
            << "M" << true;
        QTest::newRow("local is no for anything but yes")
            << QByteArray("[ONE]\nlocal = true\nmeaning=M") << "ONE"
            << "M" << false;
        QTest::newRow("an escaped line break becomes a line feed")
            << QByteArray("[ONE]\nmeaning = a\\nb") << "ONE"
            << "a\nb" << false;
        QTest::newRow("an equals sign inside the text stays") << QByteArray("[ONE]\nmeaning = a = b") << "ONE"
                                                              << "a = b" << false;
        QTest::newRow("comments, stray lines and unknown fields are ignored")
            << QByteArray("meaning = before\n# [ONE]\n[ONE]\nnoise\ncolour = red\nmeaning = M\n") << "ONE"
            << "M" << false;
        QTest::newRow("a later field replaces an earlier one")
            << QByteArray("[ONE]\nmeaning = A\nmeaning = B") << "ONE"
            << "B" << false;
        QTest::newRow("a repeated heading replaces the whole entry")
            << QByteArray("[ONE]\nmeaning = A\nlocal = yes\n[ONE]\nmeaning = B\n") << "ONE"
            << "B" << false;
        QTest::newRow("rule names are found in any letter case")
            << QByteArray("[One_Rule]\nmeaning = M") << "one_RULE"
            << "M" << false;
    }
    void readsEntries()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, rule);
        QFETCH(QString, meaning);
        QFETCH(bool, localOnly);
        RuleGuide guide;
        guide.loadData(text);
        const GuideEntry *entry = guide.find(rule);
        QVERIFY(entry);
        QCOMPARE(entry->meaning, meaning);
        QCOMPARE(entry->localOnly, localOnly);
    }

    void findsTheMostFittingEntry_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("match");

        QTest::newRow("an own entry wins over a pattern") << "HTML_IMAGE_RATIO_02"
                                                          << "HTML_IMAGE_RATIO_02" << int(GuideMatch::Own);
        QTest::newRow("a longer pattern wins over a shorter one")
            << "HTML_IMAGE_RATIO_04"
            << "HTML_IMAGE_RATIO_*" << int(GuideMatch::Family);
        QTest::newRow("a short pattern catches the rest") << "HTML_FONT_SIZE"
                                                          << "HTML_* *_HTML" << int(GuideMatch::Family);
        QTest::newRow("a name listed among others is a family member")
            << "LISTED_RULE"
            << "LISTED_RULE OTHER_RULE" << int(GuideMatch::Family);
        QTest::newRow("a pattern may stand anywhere in the name")
            << "BODY_HTML"
            << "HTML_* *_HTML" << int(GuideMatch::Family);
        QTest::newRow("no entry for an unknown rule") << "UNKNOWN" << QString() << int(GuideMatch::None);
        QTest::newRow("no entry for an empty name") << "" << QString() << int(GuideMatch::None);
        QTest::newRow("a question mark stands for one character") << "DATE_7"
                                                                  << "DATE_?" << int(GuideMatch::Family);
        QTest::newRow("a question mark does not stand for two")
            << "DATE_77" << QString() << int(GuideMatch::None);
        QTest::newRow("a star may stand for nothing") << "HTML_"
                                                      << "HTML_* *_HTML" << int(GuideMatch::Family);
        QTest::newRow("a star gives back what a later part needs") << "X_A_C_A_B"
                                                                   << "*_A_B" << int(GuideMatch::Family);
        QTest::newRow("a pattern must match up to the name's end")
            << "X_A_B_C" << QString() << int(GuideMatch::None);
        QTest::newRow("a star after the last part takes the rest") << "PRE_ANYTHING_AT_ALL"
                                                                   << "PRE_*" << int(GuideMatch::Family);
    }
    void findsTheMostFittingEntry()
    {
        QFETCH(QString, rule);
        QFETCH(QString, key);
        QFETCH(int, match);
        RuleGuide guide;
        guide.loadData("[HTML_* *_HTML]\nmeaning = family\n"
                       "[HTML_IMAGE_RATIO_*]\nmeaning = ratio family\n"
                       "[HTML_IMAGE_RATIO_02]\nmeaning = own\n"
                       "[LISTED_RULE OTHER_RULE]\nmeaning = listed\n"
                       "[DATE_?]\nmeaning = one digit\n"
                       "[*_A_B]\nmeaning = ends in A and B\n"
                       "[PRE_*]\nmeaning = a prefix\n");
        GuideMatch found = GuideMatch::Own;
        const GuideEntry *entry = guide.find(rule, &found);
        QCOMPARE(int(found), match);
        QCOMPARE(entry ? entry->key : QString(), key);
    }

    void guideFileFollowsTheCatalogue_data()
    {
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("catalogue");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("expected");

        const QStringList both { "guide.txt", "guide.it.txt" };
        QTest::newRow("the Italian catalogue's file name gives the Italian guide") << both << "ide.it.txt"
                                                                                   << "IT"
                                                                                   << "guide.it.txt";
        QTest::newRow("the English catalogue gives the English guide") << both << "ide.txt"
                                                                       << "EN"
                                                                       << "guide.txt";
        QTest::newRow("a catalogue of another name follows its language code") << both << "mine.txt"
                                                                               << "IT"
                                                                               << "guide.it.txt";
        QTest::newRow("a catalogue copied over ide.txt follows its language code") << both << "ide.txt"
                                                                                   << "IT"
                                                                                   << "guide.it.txt";
        QTest::newRow("a language without a guide falls back to English") << both << "ide.de.txt"
                                                                          << "DE"
                                                                          << "guide.txt";
        QTest::newRow("a language code cannot reach out of the folder") << both << "mine.txt"
                                                                        << "../it"
                                                                        << "guide.txt";
    }
    void guideFileFollowsTheCatalogue()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, catalogue);
        QFETCH(QString, code);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        for (const QString &file : files)
            QVERIFY(WriteFile(dir.filePath(file), "[X]\n"));
        QCOMPARE(GuideFileFor(dir.filePath(catalogue), code), dir.filePath(expected));
    }

    void missingFileGivesTheEmptyGuide()
    {
        RuleGuide guide;
        guide.loadData("[ONE]\nmeaning = M\n");
        guide.load(QStringLiteral("/nonexistent/guide.txt"));
        QVERIFY(guide.isEmpty());
        QVERIFY(!guide.find(u"ONE"));
    }

    void shippedGuidesHaveTheSameKeys()
    {
        const RuleGuide english = loadGuide(ShippedGuide);
        const RuleGuide italian = loadGuide(ShippedItalianGuide);
        QVERIFY(english.entries().size() > 50);
        QCOMPARE(keysOf(italian), keysOf(english));
        for (qsizetype i = 0; i < english.entries().size(); ++i)
            QCOMPARE(italian.entries()[i].localOnly, english.entries()[i].localOnly);
    }

    void shippedGuidesAreComplete_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("English") << ShippedGuide;
        QTest::newRow("Italian") << ShippedItalianGuide;
    }
    void shippedGuidesAreComplete()
    {
        QFETCH(QString, path);
        const RuleGuide guide = loadGuide(path);
        // Every heading is read as an entry: a typo in a bracket loses none.
        const QString text = QString::fromUtf8(ReadFile(path));
        QCOMPARE(guide.entries().size(),
            text.count(
                QRegularExpression(QStringLiteral("^\\[.*\\]\\s*$"), QRegularExpression::MultilineOption)));
        QSet<QString> names;
        for (const GuideEntry &entry : guide.entries()) {
            QVERIFY2(!entry.meaning.isEmpty() && !entry.why.isEmpty() && !entry.change.isEmpty(),
                qPrintable(entry.key));
            for (const QString &name : entry.key.split(u' ')) {
                QVERIFY2(!names.contains(name), qPrintable(QStringLiteral("named twice: ") + name));
                names.insert(name);
            }
        }
    }

    // Every rule the real checker fires on the messages of the repository's
    // test data and on Debian's example messages has an entry of its own, in
    // both languages.
    void firedRulesHaveOwnEntries_data()
    {
        QTest::addColumn<QString>("message");
        const QDir data(QStringLiteral(NORVALE_TEST_DATA));
        QDirIterator messages(data.path(), { QStringLiteral("*.eml") }, QDir::Files | QDir::Hidden,
            QDirIterator::Subdirectories);
        QStringList paths;
        while (messages.hasNext())
            paths << messages.next();
        paths.sort();
        for (const QString &path : paths)
            QTest::newRow(qPrintable(data.relativeFilePath(path))) << path;
        QTest::newRow("samples/newsletter.eml")
            << QStringLiteral(NORVALE_SOURCE_DIR "/samples/newsletter.eml");
        for (const QString &name :
            { QStringLiteral("sample-spam.txt"), QStringLiteral("sample-nonspam.txt") }) {
            const QString path = QStringLiteral("/usr/share/doc/spamassassin/examples/") + name;
            if (QFileInfo::exists(path))
                QTest::newRow(qPrintable(name)) << path;
        }
    }
    void firedRulesHaveOwnEntries()
    {
        QFETCH(QString, message);
        QCOMPARE(withoutOwnEntry(firedRules(message)), QString());
    }

    // The same for the reference messages outside the repository (Debian's
    // examples, CPython's e-mail test set), from the list of fired rules that
    // bench/fired_rules.sh captured with the installed checker.
    void capturedFiredRulesHaveOwnEntries_data()
    {
        QTest::addColumn<QStringList>("rules");
        const QStringList lines = QString::fromUtf8(ReadFile(CapturedFiredRules)).split(u'\n');
        for (const QString &line : lines) {
            if (line.isEmpty() || line.startsWith(u'#'))
                continue;
            const QString label = line.section(u'\t', 0, 0);
            QTest::newRow(qPrintable(label)) << line.section(u'\t', 1).split(u' ', Qt::SkipEmptyParts);
        }
    }
    void capturedFiredRulesHaveOwnEntries()
    {
        QFETCH(QStringList, rules);
        QCOMPARE(withoutOwnEntry(rules), QString());
    }

    // The captured list holds both reference sets, so a failed capture that
    // wrote too little cannot pass the test above unnoticed.
    void capturedFiredRulesCoverBothSets()
    {
        const QString text = QString::fromUtf8(ReadFile(CapturedFiredRules));
        QVERIFY(text.contains(QStringLiteral("\ndebian/sample-spam.txt\tGTUBE ")));
        QCOMPARE(text.count(QStringLiteral("\ncpython/msg_")), 47);
    }
};

QTEST_GUILESS_MAIN(TestRuleGuide)
#include "tst_ruleguide.moc"
