#include "TextCatalogue.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "TestFiles.h"

using namespace norvale;

class TestTextCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void loadData_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("highestId");

        QTest::newRow("a backslash-n in a text becomes a line break")
            << QByteArray("12 first\\nsecond\r\n") << 12 << "first\nsecond" << 12;
        QTest::newRow("a line without a space defines nothing") << QByteArray("12text\r\n") << 12 << "" << 0;
        QTest::newRow("blank lines define nothing") << QByteArray("\r\n\r\n\n") << 0 << "" << 0;
        QTest::newRow("a line starting with a space defines nothing")
            << QByteArray(" 12 text\r\n") << 12 << "" << 0;
        QTest::newRow("comment lines define nothing")
            << QByteArray("# 12 text\r\nNote 13 text\r\n") << 12 << "" << 0;
        QTest::newRow("an id and one space define an empty text") << QByteArray("12 \r\n") << 12 << "" << 12;
        QTest::newRow("only spaces are trimmed from a text")
            << QByteArray("7   \t hello \t  \r\n") << 7 << "\t hello \t" << 7;
        QTest::newRow("spaces inside a text stay") << QByteArray("1 2  3\r\n") << 1 << "2  3" << 1;
        QTest::newRow("the later line of an id wins")
            << QByteArray("12 old\r\n12 new\r\n") << 12 << "new" << 12;
        QTest::newRow("id 0 is ignored") << QByteArray("0 zero\r\n") << 0 << "" << 0;
        QTest::newRow("a negative id is ignored") << QByteArray("-3 minus\r\n") << 3 << "" << 0;
        QTest::newRow("an id above 32767 is ignored") << QByteArray("32768 big\r\n") << 32767 << "" << 0;
        QTest::newRow("an overflowing id is ignored") << QByteArray("1e400 huge\r\n") << 0 << "" << 0;
        QTest::newRow("id 32767 is the highest") << QByteArray("32767 last\r\n") << 32767 << "last" << 32767;
        QTest::newRow("1.6 defines id 2") << QByteArray("1.6 x\r\n") << 2 << "x" << 2;
        QTest::newRow("2.5 rounds to the even id 2") << QByteArray("2.5 x\r\n") << 2 << "x" << 2;
        QTest::newRow("3.5 rounds to the even id 4") << QByteArray("3.5 x\r\n") << 4 << "x" << 4;
        QTest::newRow("0.5 sets entry 0") << QByteArray("0.5 zero\r\n") << 0 << "zero" << 0;
        QTest::newRow("letters after the id number are ignored")
            << QByteArray("12abc x\r\n") << 12 << "x" << 12;
        QTest::newRow("the id ends at the first space") << QByteArray("1 2 3\r\n") << 1 << "2 3" << 1;
        QTest::newRow("lines ending with LF only")
            << QByteArray("1 one\n2 two\n3 three\n") << 2 << "two" << 3;
        QTest::newRow("lines ending with CR LF")
            << QByteArray("1 one\r\n2 two\r\n3 three\r\n") << 2 << "two" << 3;
        QTest::newRow("a file mixing both line ends")
            << QByteArray("1 one\r\n2 two\n3 three\r\n") << 3 << "three" << 3;
        QTest::newRow("a last line without a line end") << QByteArray("1 one\r\n2 two") << 2 << "two" << 2;
        QTest::newRow("a carriage return inside a text stays")
            << QByteArray("5 a\rb\r\n") << 5 << "a\rb" << 5;
        QTest::newRow("a lone carriage return does not end a line")
            << QByteArray("5 a\r6 b\r\n") << 5 << "a\r6 b" << 5;
        QTest::newRow("texts are UTF-8")
            << QByteArray("9 Perch\xc3\xa9 pi\xc3\xb9\r\n") << 9 << QString::fromUtf8("Perché più") << 9;
        QTest::newRow("a byte-order mark does not hide the first id") << QByteArray("\xef\xbb\xbf"
                                                                                    "1 first\r\n")
                                                                      << 1 << "first" << 1;
    }
    void loadData()
    {
        QFETCH(QByteArray, data);
        QFETCH(int, id);
        QFETCH(QString, expected);
        QFETCH(int, highestId);
        TextCatalogue catalogue;
        catalogue.loadData(data);
        QCOMPARE(catalogue.text(id), expected);
        QCOMPARE(catalogue.highestId(), highestId);
    }

    void lookupsOutsideTheDefinedIds_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("expected");
        QTest::newRow("an id between two defined ones") << 6 << "";
        QTest::newRow("the first defined id") << 5 << "five";
        QTest::newRow("the highest defined id") << 300 << "three hundred";
        QTest::newRow("just above the table") << 301 << "";
        QTest::newRow("far above the table") << 40000 << "";
        QTest::newRow("a negative id") << -1 << "";
        QTest::newRow("entry 0") << 0 << "";
    }
    void lookupsOutsideTheDefinedIds()
    {
        QFETCH(int, id);
        QFETCH(QString, expected);
        TextCatalogue catalogue;
        catalogue.loadData("5 five\r\n300 three hundred\r\n");
        QCOMPARE(catalogue.highestId(), 300);
        QCOMPARE(catalogue.text(id), expected);
    }

    void loadingAgainStartsFromAnEmptyTable()
    {
        TextCatalogue catalogue;
        catalogue.loadData("300 old\r\n");
        catalogue.loadData("5 new\r\n");
        QCOMPARE(catalogue.highestId(), 5);
        QCOMPARE(catalogue.text(300), QString());
    }

    void load_readsTheFile()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString path = WriteCatalogue(dir, "# comment\n51 Check\n52 Options\r\n");

        TextCatalogue catalogue;
        catalogue.load(path);
        QCOMPARE(catalogue.text(51), QStringLiteral("Check"));
        QCOMPARE(catalogue.text(52), QStringLiteral("Options"));
        QCOMPARE(catalogue.highestId(), 52);
    }

    void load_withoutAReadableFileGivesTheEmptyTable_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a missing file") << "missing.txt";
        QTest::newRow("a folder") << "folder";
    }
    void load_withoutAReadableFileGivesTheEmptyTable()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));

        TextCatalogue catalogue;
        catalogue.loadData("51 Check\r\n");
        catalogue.load(dir.filePath(name));
        QCOMPARE(catalogue.highestId(), 0);
        QCOMPARE(catalogue.text(0), QString());
        QCOMPARE(catalogue.text(51), QString());
    }

    void placeholders_data()
    {
        QTest::addColumn<QString>("value");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("replaced");
        QTest::newRow("a placeholder becomes its text") << "#102" << 102 << "Check now";
        QTest::newRow("a fraction rounds to the nearest id") << "#4.6" << 5 << "five";
        QTest::newRow("letters after the number are ignored") << "#5abc" << 5 << "five";
        QTest::newRow("an id without text makes the value empty") << "#7" << 7 << "";
        QTest::newRow("id 32767 is a placeholder") << "#32767" << 32767 << "";
        QTest::newRow("hash and 0 stays") << "#0" << 0 << "#0";
        QTest::newRow("a number rounding to 0 stays") << "#0.5" << 0 << "#0.5";
        QTest::newRow("hash and a letter stays") << "#a" << 0 << "#a";
        QTest::newRow("two hashes stay") << "##5" << 0 << "##5";
        QTest::newRow("a hash alone stays") << "#" << 0 << "#";
        QTest::newRow("a negative id stays") << "#-5" << 0 << "#-5";
        QTest::newRow("an id rounding above 32767 stays") << "#32767.5" << 0 << "#32767.5";
        QTest::newRow("an id too large for 16 bits stays") << "#40000" << 0 << "#40000";
        QTest::newRow("plain text stays") << "Check now" << 0 << "Check now";
        QTest::newRow("a hash later in the text stays") << "a#5" << 0 << "a#5";
        QTest::newRow("empty text stays") << "" << 0 << "";
    }
    void placeholders()
    {
        QFETCH(QString, value);
        QFETCH(int, id);
        QFETCH(QString, replaced);

        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        LoadTextCatalogue(WriteCatalogue(dir, "5 five\n102 Check now\n"));

        QCOMPARE(PlaceholderId(value), id);
        QCOMPARE(ReplacePlaceholder(value), replaced);
    }

    void getText_readsTheProcessCatalogue()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        LoadTextCatalogue(WriteCatalogue(dir, "53 Help\n"));
        QCOMPARE(GetText(53), QStringLiteral("Help"));
        QCOMPARE(Catalogue().highestId(), 53);

        LoadTextCatalogue(dir.filePath(QStringLiteral("missing.txt")));
        QCOMPARE(GetText(53), QString());
        QCOMPARE(Catalogue().highestId(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTextCatalogue)
#include "tst_textcatalogue.moc"
