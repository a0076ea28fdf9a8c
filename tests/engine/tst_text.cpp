#include "Text.h"

#include <QTest>

using namespace norvale;

class TestText : public QObject
{
    Q_OBJECT

private slots:
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
};

QTEST_APPLESS_MAIN(TestText)
#include "tst_text.moc"
