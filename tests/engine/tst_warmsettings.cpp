#include "Settings.h"

#include <QTest>

using namespace norvale;

// The setting that keeps the checker running between checks is new: an
// untouched installation still writes the line it always wrote, and an older
// line reads as the default.
class WarmSettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void theLineIsWrittenAsBefore_data()
    {
        QTest::addColumn<int>("warmChecker");
        QTest::addColumn<QString>("line");
        QTest::newRow("kept running, the default: no new key")
            << 1 << "rules=A:1&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=1";
        QTest::newRow("switched off: the key follows onlinechecks")
            << 0 << "rules=A:1&thresholds=1|2|4|5|8&hidezero=0&onlinechecks=1&warmchecker=0";
    }
    void theLineIsWrittenAsBefore()
    {
        QFETCH(int, warmChecker);
        QFETCH(QString, line);
        Settings settings;
        settings.rules = QStringLiteral("A:1");
        settings.thresholds = QStringLiteral("1|2|4|5|8");
        settings.onlineChecks = 1;
        settings.warmChecker = warmChecker;
        QCOMPARE(FormatSettingsString(settings), line);
        QCOMPARE(ParseSettingsString(line), settings);
    }

    // The keys of checking on save and of a team's daemons follow the same
    // rule: after onlinechecks, in a fixed order, and only when not default.
    void otherNewKeysFollowInOrder_data()
    {
        QTest::addColumn<int>("checkOnSave");
        QTest::addColumn<QString>("pool");
        QTest::addColumn<QString>("tail");
        QTest::newRow("both at their defaults") << 0 << QString() << "&onlinechecks=0";
        QTest::newRow("checking on save") << 1 << QString() << "&onlinechecks=0&warmchecker=0&checkonsave=1";
        QTest::newRow("a pool") << 0 << "a.example:783,b.example:783"
                                << "&onlinechecks=0&spamd=a.example:783,b.example:783";
    }
    void otherNewKeysFollowInOrder()
    {
        QFETCH(int, checkOnSave);
        QFETCH(QString, pool);
        QFETCH(QString, tail);
        Settings settings;
        settings.checkOnSave = checkOnSave;
        settings.spamdPool = pool;
        settings.warmChecker = checkOnSave ? 0 : 1;
        const QString line = FormatSettingsString(settings);
        QVERIFY2(line.endsWith(tail), qPrintable(line));
        // Read back whole, the last value without its line end.
        QCOMPARE(ParseSettingsString(line + QStringLiteral("\r\n")), settings);
    }

    void theKeyIsRead_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<int>("warmChecker");
        QTest::newRow("an older line without the key") << "hidezero=1&onlinechecks=1" << 1;
        QTest::newRow("switched off") << "onlinechecks=0&warmchecker=0" << 0;
        QTest::newRow("switched on") << "onlinechecks=0&warmchecker=1" << 1;
        QTest::newRow("an unreadable value keeps the default") << "warmchecker=x" << 1;
    }
    void theKeyIsRead()
    {
        QFETCH(QString, line);
        QFETCH(int, warmChecker);
        QCOMPARE(ParseSettingsString(line).warmChecker, warmChecker);
    }

    // Keys Norvale does not know are kept after its own; the switch is one of
    // its own, so it is read once and written once, before them.
    void theKeyComesBeforeUnknownKeysOnce_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("written");
        QTest::newRow("switched off, an unknown key after it")
            << "onlinechecks=1&warmchecker=0&future=2"
            << "rules=&thresholds=&hidezero=0&onlinechecks=1&warmchecker=0&future=2";
        QTest::newRow("switched off, an unknown key before it")
            << "future=2&onlinechecks=1&warmchecker=0"
            << "rules=&thresholds=&hidezero=0&onlinechecks=1&warmchecker=0&future=2";
        QTest::newRow("switched on: neither read back as unknown nor written")
            << "warmchecker=1&future=2"
            << "rules=&thresholds=&hidezero=0&onlinechecks=0&future=2";
    }
    void theKeyComesBeforeUnknownKeysOnce()
    {
        QFETCH(QString, line);
        QFETCH(QString, written);
        QStringList others;
        const Settings settings = ParseSettingsString(line, &others);
        QCOMPARE(others, QStringList { QStringLiteral("future=2") });
        QCOMPARE(FormatSettingsString(settings, others), written);
    }
};

QTEST_GUILESS_MAIN(WarmSettingsTest)
#include "tst_warmsettings.moc"
