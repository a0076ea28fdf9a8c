#include "Text.h"

#include <QTest>

using namespace norvale;

class TestText : public QObject
{
    Q_OBJECT

private slots:
    void escapeForTerminal_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("keepLineFeeds");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain text stays") << "June newsletter.eml" << false << "June newsletter.eml";
        QTest::newRow("letters of any script, quotes and a backslash stay") << QString::fromUtf8(
            "caffè «€» \\x1b 日本.eml") << false << QString::fromUtf8("caffè «€» \\x1b 日本.eml");
        QTest::newRow("a clear-screen sequence") << "a\x1b[2Jb" << false << "a\\x1b[2Jb";
        QTest::newRow("a window-title sequence ended by BEL")
            << "\x1b]0;pwned\x07.eml" << false << "\\x1b]0;pwned\\x07.eml";
        QTest::newRow("a hyperlink sequence")
            << "\x1b]8;;http://example.com\x1b\\click\x1b]8;;\x1b\\" << false
            << "\\x1b]8;;http://example.com\\x1b\\click\\x1b]8;;\\x1b\\";
        QTest::newRow("the one-character CSI and OSC of C1")
            << QString(QChar(0x9b)) + "2J" + QChar(0x9d) << false << "\\x9b2J\\x9d";
        QTest::newRow("every C1 control") << QString(QChar(0x80)) + QChar(0x9f) << false << "\\x80\\x9f";
        QTest::newRow("DEL and NUL") << QString(QChar(0x7f)) + QChar(0) << false << "\\x7f\\x00";
        QTest::newRow("tab, carriage return and line feed by name")
            << "a\tb\rc\nd" << false << "a\\tb\\rc\\nd";
        QTest::newRow("a line feed stays when asked, a carriage return never")
            << "first line\nsecond\r" << true << "first line\nsecond\\r";
        QTest::newRow("a right-to-left override that turns a name around")
            << QString::fromUtf8("invoice\u202Elme.exe") << false << "invoice\\u202elme.exe";
        QTest::newRow("bidirectional marks and isolates")
            << QString::fromUtf8("\u200E\u200F\u061C\u2066\u2069\u202A") << false
            << "\\u200e\\u200f\\u061c\\u2066\\u2069\\u202a";
        QTest::newRow("line and paragraph separators")
            << QString::fromUtf8("a\u2028b\u2029") << false << "a\\u2028b\\u2029";
        QTest::newRow("a no-break space and a zero-width joiner stay")
            << QString::fromUtf8("a\u00A0b\u200Dc") << false << QString::fromUtf8("a\u00A0b\u200Dc");
        QTest::newRow("the empty text") << "" << false << "";
    }
    void escapeForTerminal()
    {
        QFETCH(QString, text);
        QFETCH(bool, keepLineFeeds);
        QFETCH(QString, expected);
        QCOMPARE(EscapeForTerminal(text, keepLineFeeds), expected);
    }

    void elideText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxChars");
        QTest::addColumn<QString>("expected");
        const QString ellipsis(QChar(0x2026));
        QTest::newRow("a short text stays whole") << "abc" << 5 << "abc";
        QTest::newRow("a text of exactly the length stays whole") << "abcde" << 5 << "abcde";
        QTest::newRow("a longer text is cut and ends with an ellipsis") << "abcdef" << 5 << "abcd" + ellipsis;
        QTest::newRow("a character outside the basic plane is never split")
            << "abc\U0001F600xyz" << 5 << "abc" + ellipsis;
        QTest::newRow("the empty text stays empty") << "" << 5 << "";
    }
    void elideText()
    {
        QFETCH(QString, text);
        QFETCH(int, maxChars);
        QFETCH(QString, expected);
        QCOMPARE(ElideText(text, maxChars), expected);
        QVERIFY(ElideText(text, maxChars).size() <= maxChars);
    }

    void elideText_megabytesOfText_areCutToTheLimit()
    {
        const QString huge(3 * 1024 * 1024, u'x');
        const QString shown = ElideText(huge, 300);
        QCOMPARE(shown.size(), 300);
        QVERIFY(shown.endsWith(QChar(0x2026)));
        QVERIFY(huge.startsWith(shown.chopped(1)));
    }
    void lastLines_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxLines");
        QTest::addColumn<int>("maxChars");
        QTest::addColumn<QString>("expected");
        const QString ellipsis(QChar(0x2026));
        QTest::newRow("a short text stays whole, its end trimmed") << "one\ntwo\n\n"
                                                                   << 5 << 100 << "one\ntwo";
        QTest::newRow("only the last lines are kept") << "1\n2\n3\n4\n5\n6\n7" << 5 << 100 << "3\n4\n5\n6\n7";
        QTest::newRow("empty and blank lines do not count") << "a\n\n   \nb\r\n\nc\n" << 2 << 100 << "b\nc";
        QTest::newRow("an indent stays") << "warn:\n  at line 3" << 5 << 100 << "warn:\n  at line 3";
        QTest::newRow("whole lines are dropped from the front to fit the length")
            << "first line\nsecond\nthird" << 5 << 14 << "second\nthird";
        QTest::newRow("a last line longer than the length is cut at the front")
            << "short\nabcdefghij" << 5 << 6 << ellipsis + "fghij";
        QTest::newRow("a character outside the basic plane is never split")
            << "ab\U0001F600cd" << 5 << 4 << ellipsis + "cd";
        QTest::newRow("white space only gives nothing") << " \n\t\n" << 5 << 100 << "";
    }
    void lastLines()
    {
        QFETCH(QString, text);
        QFETCH(int, maxLines);
        QFETCH(int, maxChars);
        QFETCH(QString, expected);
        const QString tail = norvale::lastLines(text, maxLines, maxChars);
        QCOMPARE(tail, expected);
        QVERIFY(tail.size() <= maxChars);
    }
};

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
