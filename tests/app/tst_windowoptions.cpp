#include "WindowOptions.h"

#include <QTest>

using namespace norvale;

using Action = WindowOptions::Action;

class TestWindowOptions : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("action");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("language"); // "-" for none
        QTest::addColumn<int>("errorTextId");
        QTest::addColumn<QString>("errorArgument");

        auto open = int(Action::Open);
        auto error = int(Action::UsageError);
        QTest::newRow("no arguments open an empty window") << QStringList {} << open << ""
                                                           << "-" << 0 << "";
        QTest::newRow("a file, as the desktop passes it")
            << QStringList { "/home/a/news.eml" } << open << "/home/a/news.eml"
            << "-" << 0 << "";
        QTest::newRow("the first file of several") << QStringList { "a.eml", "b.eml" } << open << "a.eml"
                                                   << "-" << 0 << "";
        QTest::newRow("a language and a file")
            << QStringList { "--language", "it", "a.eml" } << open << "a.eml"
            << "it" << 0 << "";
        QTest::newRow("a language after =") << QStringList { "--language=it" } << open << ""
                                            << "it" << 0 << "";
        QTest::newRow("a file that begins with a dash after --")
            << QStringList { "--", "-odd.eml" } << open << "-odd.eml"
            << "-" << 0 << "";
        QTest::newRow("a single dash is a file") << QStringList { "-" } << open << "-"
                                                 << "-" << 0 << "";
        QTest::newRow("help") << QStringList { "--help" } << int(Action::Help) << ""
                              << "-" << 0 << "";
        QTest::newRow("version") << QStringList { "--version", "a.eml" } << int(Action::Version) << "a.eml"
                                 << "-" << 0 << "";
        QTest::newRow("an unknown option") << QStringList { "--colour" } << error << ""
                                           << "-" << 321 << "--colour";
        QTest::newRow("an unknown option with a value") << QStringList { "--colour=red" } << error << ""
                                                        << "-" << 321 << "--colour";
        QTest::newRow("a language without its value") << QStringList { "--language" } << error << ""
                                                      << "-" << 322 << "--language";
        QTest::newRow("help with a value") << QStringList { "--help=yes" } << error << ""
                                           << "-" << 323 << "--help";
    }
    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, action);
        QFETCH(QString, file);
        QFETCH(QString, language);
        QFETCH(int, errorTextId);
        QFETCH(QString, errorArgument);
        const WindowOptions options = ParseWindowArguments(arguments);
        QCOMPARE(int(options.action), action);
        QCOMPARE(options.errorTextId, errorTextId);
        QCOMPARE(options.errorArgument, errorArgument);
        if (action == int(Action::UsageError))
            return;
        QCOMPARE(options.file, file);
        QCOMPARE(options.language.value_or(QStringLiteral("-")), language);
    }

    void asksForTextOnly_data()
    {
        QTest::addColumn<QList<QByteArray>>("arguments");
        QTest::addColumn<bool>("textOnly");
        QTest::newRow("help") << QList<QByteArray> { "--help" } << true;
        QTest::newRow("version after a file") << QList<QByteArray> { "a.eml", "--version" } << true;
        QTest::newRow("a file") << QList<QByteArray> { "a.eml" } << false;
        QTest::newRow("a file named --help after --") << QList<QByteArray> { "--", "--help" } << false;
        QTest::newRow("nothing") << QList<QByteArray> {} << false;
    }
    void asksForTextOnly()
    {
        QFETCH(QList<QByteArray>, arguments);
        QFETCH(bool, textOnly);
        QList<QByteArray> all { "norvale" };
        all += arguments;
        std::vector<const char *> argv;
        for (const QByteArray &argument : all)
            argv.push_back(argument.constData());
        QCOMPARE(AsksForTextOnly(int(argv.size()), argv.data()), textOnly);
    }
};

QTEST_GUILESS_MAIN(TestWindowOptions)
#include "tst_windowoptions.moc"
