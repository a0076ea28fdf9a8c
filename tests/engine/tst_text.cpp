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
};

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
