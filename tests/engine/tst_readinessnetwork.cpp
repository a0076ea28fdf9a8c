#include "FixtureDns.h"
#include "ReadinessCheck.h"
#include "ReadinessNetwork.h"
#include "ReadinessTexts.h"
#include "TestFiles.h"

#include <QTest>

using namespace norvale;
namespace T = ReadinessText;

namespace {

const QString Fixtures = QStringLiteral(NORVALE_TEST_DATA "/readiness/");
const QByteArray Domain = "harrowgate-garden-club.example";
const QByteArray FromDomain = "mail.harrowgate-garden-club.example";
const QByteArray KeyName = "news2024._domainkey.harrowgate-garden-club.example";

QByteArray Good()
{
    return ReadFile(Fixtures + QStringLiteral("good.eml"));
}

QByteArray Key()
{
    return ReadFile(Fixtures + QStringLiteral("dkim-key.txt")).trimmed();
}

QByteArray Edited(QByteArray message, const QByteArray &from, const QByteArray &to)
{
    const qsizetype at = message.indexOf(from);
    if (at < 0)
        qFatal("fixture edit not found: %s", from.constData());
    return message.replace(at, from.size(), to);
}

QByteArray Unsigned(const QByteArray &message)
{
    // The signature field is the first, folded over the lines up to Date.
    return message.mid(message.indexOf("\nDate:") + 1);
}

FixtureDns::Records AllRecords()
{
    return { { "_dmarc." + Domain, "v=DMARC1; p=quarantine; rua=mailto:dmarc@" + Domain },
        { FromDomain, "v=spf1 ip4:192.0.2.0/24 -all" }, { KeyName, Key() } };
}

FixtureDns::Records Without(FixtureDns::Records records, const QByteArray &name)
{
    records.removeIf([&](const auto &record) { return record.first == name; });
    return records;
}

// The network findings as "id status problem-text", in their order.
QStringList NetworkFindings(const ReadinessResult &result, qsizetype offline)
{
    QStringList found;
    for (qsizetype i = offline; i < result.findings.size(); ++i) {
        const ReadinessFinding &f = result.findings[i];
        found << f.id + u' ' + ReadinessStatusKey(f.status) + u' ' + QString::number(f.problemText);
    }
    return found;
}

QString Row(const char *id, const char *status, int problem = 0)
{
    return QLatin1String(id) + u' ' + QLatin1String(status) + u' ' + QString::number(problem);
}

} // namespace

class TestReadinessNetwork : public QObject
{
    Q_OBJECT

private slots:
    void findings_data();
    void findings();
    void silentResolverIsNotCheckedAndNothingPasses();
    void offlineResultKeepsWhatTheLookupsNeed();
};

void TestReadinessNetwork::findings_data()
{
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<FixtureDns::Records>("records");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("value"); // a finding's value holds this, when not empty

    const QStringList allPass { Row("dmarc", "pass"), Row("spf", "pass"), Row("dkim-key", "pass") };
    QTest::newRow("a signed newsletter whose domain publishes all three passes")
        << Good() << AllRecords() << allPass << QStringLiteral("p=quarantine");
    QTest::newRow("the simple canonicalization verifies too")
        << ReadFile(Fixtures + QStringLiteral("good-simple.eml")) << AllRecords() << allPass
        << QStringLiteral("news2024._domainkey.") + QString::fromLatin1(Domain);
    QTest::newRow("a key record in two strings is read as one")
        << Good()
        << (Without(AllRecords(), KeyName)
               << std::pair { KeyName, "\"" + Key().left(100) + "\",\"" + Key().mid(100) + "\"" })
        << allPass << QString();
    QTest::newRow("the From domain's own DMARC record comes before its organization's")
        << Good() << (AllRecords() << std::pair { "_dmarc." + FromDomain, QByteArray("v=DMARC1; p=reject") })
        << allPass << QStringLiteral("p=reject");

    QTest::newRow("no DMARC record at the domain or its organization fails")
        << Good() << Without(AllRecords(), "_dmarc." + Domain)
        << QStringList { Row("dmarc", "fail", T::DmarcMissing), Row("spf", "pass"), Row("dkim-key", "pass") }
        << QString();
    QTest::newRow("a TXT record that is not DMARC is no DMARC record")
        << Good()
        << (Without(AllRecords(), "_dmarc." + Domain)
               << std::pair { "_dmarc." + Domain, QByteArray("hello") })
        << QStringList { Row("dmarc", "fail", T::DmarcMissing), Row("spf", "pass"), Row("dkim-key", "pass") }
        << QString();
    QTest::newRow("a DMARC record with an unknown policy cannot be read")
        << Good()
        << (Without(AllRecords(), "_dmarc." + Domain)
               << std::pair { "_dmarc." + Domain, QByteArray("v=DMARC1; p=maybe") })
        << QStringList { Row("dmarc", "fail", T::DmarcUnreadable), Row("spf", "pass"),
               Row("dkim-key", "pass") }
        << QStringLiteral("p=maybe");

    QTest::newRow("no SPF record fails")
        << Good() << Without(AllRecords(), FromDomain)
        << QStringList { Row("dmarc", "pass"), Row("spf", "fail", T::SpfMissing), Row("dkim-key", "pass") }
        << QString();
    QTest::newRow("a record that only starts like SPF is none")
        << Good()
        << (Without(AllRecords(), FromDomain) << std::pair { FromDomain, QByteArray("v=spf10 -all") })
        << QStringList { Row("dmarc", "pass"), Row("spf", "fail", T::SpfMissing), Row("dkim-key", "pass") }
        << QString();
    QTest::newRow("two SPF records fail")
        << Good()
        << (AllRecords() << std::pair { FromDomain, QByteArray("v=spf1 include:mailer.example ~all") })
        << QStringList { Row("dmarc", "pass"), Row("spf", "fail", T::SpfRepeated), Row("dkim-key", "pass") }
        << QString();

    QTest::newRow("no public key at the selector fails")
        << Good() << Without(AllRecords(), KeyName)
        << QStringList { Row("dmarc", "pass"), Row("spf", "pass"),
               Row("dkim-key", "fail", T::DkimKeyMissing) }
        << QString();
    QTest::newRow("a subject changed after signing fails the signature")
        << Edited(Good(), "Subject: June news", "Subject: July news") << AllRecords()
        << QStringList { Row("dmarc", "pass"), Row("spf", "pass"),
               Row("dkim-key", "fail", T::DkimKeyBadSignature) }
        << QString();
    QTest::newRow("a revoked key cannot be used")
        << Good()
        << (Without(AllRecords(), KeyName) << std::pair { KeyName, QByteArray("v=DKIM1; k=rsa; p=") })
        << QStringList { Row("dmarc", "pass"), Row("spf", "pass"),
               Row("dkim-key", "fail", T::DkimKeyUnusable) }
        << QString();
    QTest::newRow("an unsigned message is not verified")
        << Unsigned(Good()) << AllRecords() << QStringList { Row("dmarc", "pass"), Row("spf", "pass") }
        << QString();
    QTest::newRow("a From without a valid address looks up no domain and cannot be verified")
        << Edited(Good(), "<news@mail.harrowgate-garden-club.example>", "<news at harrowgate>")
        << AllRecords() << QStringList { Row("dkim-key", "info", T::NetworkNotCheckable) } << QString();
    QTest::newRow("a name the resolver cannot answer for is not checked, and nothing more is asked")
        << Edited(Good(), "news@mail.harrowgate-garden-club.example", "news@garden-club.test") << AllRecords()
        << QStringList { Row("dmarc", "info", T::DnsNoAnswer), Row("spf", "info", T::DnsNoAnswer),
               Row("dkim-key", "info", T::DnsNoAnswer) }
        << QStringLiteral("no answer from the DNS in time");
}

void TestReadinessNetwork::findings()
{
    QFETCH(QByteArray, message);
    QFETCH(FixtureDns::Records, records);
    QFETCH(QStringList, expected);
    QFETCH(QString, value);

    FixtureDns dns(records);
    QVERIFY2(dns.ok(), "dnsmasq did not start on a loopback port");
    ReadinessResult result = CheckReadiness(message);
    const qsizetype offline = result.findings.size();
    QVERIFY(dns.queries().isEmpty());
    AddNetworkFindings(result, dns.settings());
    QCOMPARE(NetworkFindings(result, offline), expected);
    QVERIFY(result.signedMessage.isEmpty());
    if (!value.isEmpty()) {
        QVERIFY2(std::any_of(result.findings.cbegin() + offline, result.findings.cend(),
                     [&](const ReadinessFinding &f) { return f.value.contains(value); }),
            qPrintable(value));
    }
    if (expected.size() > 0 && expected.first() == Row("dmarc", "info", T::DnsNoAnswer))
        QCOMPARE(dns.queries().size(), 1); // the unanswered name alone
}

// A resolver that takes the queries and never answers: every network check
// says it could not be made, none passes, and the wait ends.
void TestReadinessNetwork::silentResolverIsNotCheckedAndNothingPasses()
{
    FixtureDns::SilentServer silent;
    QVERIFY(silent.port() != 0);
    ReadinessResult result = CheckReadiness(Good());
    const qsizetype offline = result.findings.size();
    AddNetworkFindings(result, { silent.server(), 1 });
    QCOMPARE(NetworkFindings(result, offline),
        QStringList({ Row("dmarc", "info", T::DnsNoAnswer), Row("spf", "info", T::DnsNoAnswer),
            Row("dkim-key", "info", T::DnsNoAnswer) }));
    for (qsizetype i = offline; i < result.findings.size(); ++i) {
        QCOMPARE(result.findings[i].adviceText, int(T::DnsNoAnswerAdvice));
        QCOMPARE(result.findings[i].value, QStringLiteral("no answer from the DNS in time"));
    }
}

void TestReadinessNetwork::offlineResultKeepsWhatTheLookupsNeed()
{
    const ReadinessResult signedResult = CheckReadiness(Good());
    QCOMPARE(signedResult.fromDomain, QString::fromLatin1(FromDomain));
    QCOMPARE(signedResult.signedMessage, Good());
    const ReadinessResult unsignedResult = CheckReadiness(Unsigned(Good()));
    QVERIFY(unsignedResult.signedMessage.isEmpty());
    // A file read only in part cannot be verified.
    QVERIFY(CheckReadiness(Good(), Good().size() * 2).signedMessage.isEmpty());
}

QTEST_GUILESS_MAIN(TestReadinessNetwork)
#include "tst_readinessnetwork.moc"
