#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include "RunProgram.h"
#include "TestFiles.h"

namespace {

const QString AppDir = QStringLiteral(NORVALE_APP_DIR);
const QString Packaging = QStringLiteral(NORVALE_SOURCE_DIR "/packaging");
const QString Generated = QStringLiteral(NORVALE_PACKAGING_BUILD_DIR);

// The options that a program's --help lists, each at the start of an
// indented line.
QSet<QString> HelpOptions(const QString &program)
{
    const ProgramRun help = RunProgram(AppDir + u'/' + program, { QStringLiteral("--help") });
    QSet<QString> options;
    static const QRegularExpression optionLine(
        QStringLiteral("^  (--[a-z-]+)"), QRegularExpression::MultilineOption);
    for (const QRegularExpressionMatch &match : optionLine.globalMatch(help.out))
        options.insert(match.captured(1));
    return options;
}

QSet<QString> Words(const QString &text)
{
    const QStringList list = text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    return QSet<QString>(list.begin(), list.end());
}

// What the bash completion offers for the words typed so far (the last one
// being completed), with the built programs first on PATH.
QSet<QString> BashCompletion(const QStringList &words)
{
    QStringList quoted;
    for (const QString &word : words)
        quoted << u'\'' + word + u'\'';
    const QString script = QStringLiteral("source '%1/completion/norvale-check.bash'\n"
                                          "COMP_WORDS=(%2); COMP_CWORD=%3; _norvale_check\n"
                                          "printf '%s\\n' \"${COMPREPLY[@]}\"\n")
                               .arg(Packaging, quoted.join(u' '))
                               .arg(words.size() - 1);
    const ProgramRun result = RunProgram(QStringLiteral("bash"), { QStringLiteral("-c"), script },
        { QStringLiteral("PATH=") + AppDir + u':' + qEnvironmentVariable("PATH") });
    if (result.exitCode != 0)
        qWarning().noquote() << result.err;
    return Words(result.out);
}

} // namespace

class TestPackaging : public QObject
{
    Q_OBJECT

private slots:
    void desktopEntry_passesDesktopFileValidate()
    {
        const ProgramRun result = RunProgram(
            QStringLiteral("desktop-file-validate"), { Packaging + QStringLiteral("/norvale.desktop") });
        QVERIFY2(result.exitCode == 0 && result.out.isEmpty(), qPrintable(result.out + result.err));
    }

    void desktopEntry_opensMessageFiles()
    {
        const QString entry = QString::fromUtf8(ReadFile(Packaging + QStringLiteral("/norvale.desktop")));
        QVERIFY(entry.contains(QStringLiteral("\nMimeType=message/rfc822;\n")));
        QVERIFY(entry.contains(QStringLiteral("\nExec=norvale %f\n")));
    }

    void metainfo_passesAppstreamValidation()
    {
        const ProgramRun result = RunProgram(QStringLiteral("appstreamcli"),
            { QStringLiteral("validate"), QStringLiteral("--no-net"), QStringLiteral("--pedantic"),
                QStringLiteral(NORVALE_METAINFO_FILE) });
        QVERIFY2(result.exitCode == 0, qPrintable(result.out + result.err));
    }

    void metainfo_namesThisVersion()
    {
        const QString metainfo = QString::fromUtf8(ReadFile(QStringLiteral(NORVALE_METAINFO_FILE)));
        const ProgramRun version
            = RunProgram(AppDir + QStringLiteral("/norvale-check"), { QStringLiteral("--version") });
        const QString number = version.out.trimmed().section(u' ', 1);
        QVERIFY(!number.isEmpty());
        QVERIFY2(
            metainfo.contains(QStringLiteral("<release version=\"%1\"").arg(number)), qPrintable(number));
    }

    void manPage_namesEveryOptionOfHelp_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("norvale-check") << "norvale-check";
        QTest::newRow("norvale") << "norvale";
    }
    void manPage_namesEveryOptionOfHelp()
    {
        QFETCH(QString, program);
        const QString page = Generated + QStringLiteral("/man/") + program + QStringLiteral(".1.gz");
        QVERIFY2(
            QFileInfo::exists(page), qPrintable(page + QStringLiteral(" was not built (help2man missing?)")));
        const ProgramRun man = RunProgram(QStringLiteral("man"), { QStringLiteral("-l"), page },
            { QStringLiteral("MANWIDTH=100"), QStringLiteral("LANG=C.UTF-8") });
        QCOMPARE(man.exitCode, 0);
        const QSet<QString> options = HelpOptions(program);
        QVERIFY(options.contains(QStringLiteral("--language")));
        for (const QString &option : options)
            QVERIFY2(man.out.contains(option), qPrintable(option));
        QVERIFY2(man.out.contains(QStringLiteral("~/.config/norvale/conf.ini")), qPrintable(man.out));
        QVERIFY2(!man.out.contains(QDir::homePath() + QStringLiteral("/.config")),
            "the builder's home is in the page");
    }

    void bashCompletion_offersEveryOptionOfHelp()
    {
        QCOMPARE(BashCompletion({ QStringLiteral("norvale-check"), QStringLiteral("--") }),
            HelpOptions(QStringLiteral("norvale-check")));
        QCOMPARE(BashCompletion({ QStringLiteral("norvale-check"), QStringLiteral("--j") }),
            QSet<QString>({ QStringLiteral("--json"), QStringLiteral("--jobs") }));
    }

    void bashCompletion_offersValues_data()
    {
        QTest::addColumn<QStringList>("words");
        QTest::addColumn<QStringList>("offered");
        QTest::newRow("the languages that ship")
            << QStringList { "norvale-check", "--language", "" } << QStringList { "en", "it" };
        QTest::newRow("the verdict levels") << QStringList { "norvale-check", "--fail-level", "" }
                                            << QStringList { "0", "1", "2", "3", "4", "5" };
        QTest::newRow("no option after --") << QStringList { "norvale-check", "--", "--j" } << QStringList {};
    }
    void bashCompletion_offersValues()
    {
        QFETCH(QStringList, words);
        QFETCH(QStringList, offered);
        QCOMPARE(BashCompletion(words), QSet<QString>(offered.begin(), offered.end()));
    }

    void zshCompletion_namesEveryOptionOfHelp()
    {
        const QString script
            = QString::fromUtf8(ReadFile(Packaging + QStringLiteral("/completion/_norvale-check")));
        QSet<QString> named;
        static const QRegularExpression optionEntry(QStringLiteral("'(?:\\([^)]*\\))?(--[a-z-]+)"));
        for (const QRegularExpressionMatch &match : optionEntry.globalMatch(script))
            named.insert(match.captured(1));
        QCOMPARE(named, HelpOptions(QStringLiteral("norvale-check")));
    }
};

QTEST_GUILESS_MAIN(TestPackaging)
#include "tst_packaging.moc"
