#include "DkimSignature.h"
#include "OrganizationalDomain.h"
#include "ReadinessCheck.h"
#include "ReadinessTexts.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace norvale;

namespace {

const QString Fixtures = QStringLiteral(NORVALE_TEST_DATA "/readiness/");

QByteArray Good()
{
    static const QByteArray good = ReadFile(Fixtures + QStringLiteral("good.eml"));
    return good;
}

// The good newsletter with each `from` replaced by its `to`; a `from` that is
// not in the message stops the test run, so no row tests an unchanged message
// by mistake.
QByteArray Edited(QByteArray message, const QList<std::pair<QByteArray, QByteArray>> &edits)
{
    for (const auto &[from, to] : edits) {
        const qsizetype at = message.indexOf(from);
        if (at < 0)
            qFatal("fixture edit not found: %s", from.constData());
        message.replace(at, from.size(), to);
    }
    return message;
}

QByteArray Headers()
{
    return "From: News <news@harrowgate-garden-club.example>\n"
           "Date: Tue, 04 Jun 2024 08:15:00 +0100\n"
           "Message-ID: <1@harrowgate-garden-club.example>\n"
           "Subject: June news\n"
           "MIME-Version: 1.0\n";
}

QByteArray PlainText()
{
    return "Dear Margaret, here is the club's news for June, with the plant swap on Saturday and the summer "
           "show "
           "entry forms. Read more: https://harrowgate-garden-club.example/news\n";
}

// A message with a plain-text part beside this HTML.
QByteArray WithHtml(const QByteArray &html)
{
    return Headers()
        + "Content-Type: multipart/alternative; boundary=\"b\"\n\n--b\n"
          "Content-Type: text/plain; charset=utf-8\n\n"
        + PlainText() + "\n--b\nContent-Type: text/html; charset=utf-8\n\n" + html + "\n--b--\n";
}

QByteArray HtmlOnly(const QByteArray &html)
{
    return Headers() + "Content-Type: text/html; charset=utf-8\n\n" + html + "\n";
}

QByteArray PlainOnly()
{
    return Headers() + "Content-Type: text/plain; charset=utf-8\n\n" + PlainText();
}

QByteArray WithAttachment(const QByteArray &fileName)
{
    return Headers()
        + "Content-Type: multipart/mixed; boundary=\"m\"\n\n--m\n"
          "Content-Type: text/plain; charset=utf-8\n\n"
        + PlainText()
        + "\n--m\nContent-Type: application/octet-stream\nContent-Disposition: attachment; filename=\""
        + fileName + "\"\nContent-Transfer-Encoding: base64\n\nAAAA\n--m--\n";
}

// Visible text of about `length` characters.
QByteArray Words(int length)
{
    QByteArray text;
    while (text.size() < length)
        text += "garden ";
    return text.left(length);
}

QByteArray Images(int count, const QByteArray &attributes = "alt=\"flowers\"")
{
    QByteArray images;
    for (int i = 0; i < count; ++i)
        images += "<img src=\"https://harrowgate-garden-club.example/" + QByteArray::number(i) + ".png\" "
            + attributes + ">";
    return images;
}

const ReadinessFinding *Find(const ReadinessResult &result, const QString &id)
{
    for (const ReadinessFinding &finding : result.findings) {
        if (finding.id == id)
            return &finding;
    }
    return nullptr;
}

} // namespace

class TestReadinessCheck : public QObject
{
    Q_OBJECT

private slots:
    void findings_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::addColumn<qint64>("fileSize");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("status"); // or "absent"
        QTest::addColumn<QString>("value"); // expected in the value, when not empty

        const auto row = [](const char *name, const QByteArray &message, const char *id, const char *status,
                             const QString &value = {}, qint64 fileSize = -1) {
            QTest::newRow(name) << message << fileSize << QString::fromLatin1(id)
                                << QString::fromLatin1(status) << value;
        };
        const QByteArray good = Good();
        const QByteArray simple = ReadFile(Fixtures + QStringLiteral("good-simple.eml"));
        const QByteArray from = "From: Harrowgate Garden Club <news@mail.harrowgate-garden-club.example>\n";

        // The header fields every message needs.
        row("a single valid From passes", good, "from", "pass", QStringLiteral("news@mail."));
        row("a missing From fails", Edited(good, { { from, "" } }), "from", "fail");
        row("a repeated From fails", Edited(good, { { from, from + from } }), "from", "fail");
        row("two addresses in From fail",
            Edited(good,
                { { from, "From: a@harrowgate-garden-club.example, b@harrowgate-garden-club.example\n" } }),
            "from", "fail");
        row("a From without a domain fails", Edited(good, { { from, "From: News <news>\n" } }), "from",
            "fail");
        row("a quoted local part passes",
            Edited(good, { { from, "From: News <\"club news\"@harrowgate-garden-club.example>\n" } }), "from",
            "pass");
        row("a From with junk after the address fails",
            Edited(good, { { from, "From: Club <news@harrowgate-garden-club.example>b\">,/p>\n" } }), "from",
            "fail");
        row("a group in From fails",
            Edited(good, { { from, "From: Club: a@harrowgate-garden-club.example;\n" } }), "from", "fail");
        row("a valid Date passes", good, "date", "pass");
        row("a missing Date fails", Edited(good, { { "Date: Tue, 04 Jun 2024 08:15:00 +0100\n", "" } }),
            "date", "fail");
        row("an unreadable Date fails",
            Edited(good, { { "Date: Tue, 04 Jun 2024 08:15:00 +0100", "Date: sometime soon" } }), "date",
            "fail");
        row("a valid Message-ID passes", good, "message-id", "pass");
        row("a Message-ID without angle brackets fails",
            Edited(good,
                { { "Message-ID: <20240604071500.3f9c2a7e@mail.harrowgate-garden-club.example>",
                    "Message-ID: 20240604071500" } }),
            "message-id", "fail", QStringLiteral("20240604071500"));
        row("a valid MIME-Version passes", good, "mime-version", "pass");
        row("a MIME-Version with a comment passes",
            Edited(good, { { "MIME-Version: 1.0", "MIME-Version: 1.0 (made by hand)" } }), "mime-version",
            "pass");
        row("a MIME-Version other than 1.0 fails",
            Edited(good, { { "MIME-Version: 1.0", "MIME-Version: 2.0" } }), "mime-version", "fail");
        row("a missing MIME-Version fails", Edited(good, { { "MIME-Version: 1.0\n", "" } }), "mime-version",
            "fail");
        row("no Reply-To gives no finding", good, "reply-to", "absent");
        row("a valid Reply-To passes",
            Edited(good, { { from, from + "Reply-To: help@harrowgate-garden-club.example\n" } }), "reply-to",
            "pass");
        row("an invalid Reply-To fails", Edited(good, { { from, from + "Reply-To: the secretary\n" } }),
            "reply-to", "fail");
        row("a repeated Subject fails",
            Edited(good, { { "Subject: June", "Subject: May news\nSubject: June" } }), "subject-once",
            "fail");

        // Header syntax and encoding.
        row("clean header lines pass", good, "header-syntax", "pass");
        row("a line that is no header field fails",
            Edited(good, { { from, from + "this line is not a field\n" } }), "header-syntax", "fail",
            QStringLiteral("this line is not a field"));
        row("a continuation before any field fails", "\tfolded first\n" + good, "header-syntax", "fail");
        row("a header line over 998 characters fails",
            Edited(good, { { "Subject: June news", "Subject: " + QByteArray(1200, 'x') } }),
            "header-line-length", "fail", QStringLiteral("Subject"));
        row("a header block without an empty line fails", Headers(), "header-end", "fail");
        row("encoded header text passes", good, "header-encoding", "pass");
        row("raw non-ASCII in a header fails",
            Edited(good, { { "Subject: June news", "Subject: Caff\xc3\xa8 e giardino" } }), "header-encoding",
            "fail", QStringLiteral("Caffè"));

        // One-click unsubscribe.
        const QByteArray unsubscribe
            = "List-Unsubscribe: <https://harrowgate-garden-club.example/leave?m=ellis>, "
              "<mailto:leave@harrowgate-garden-club.example>\n";
        row("an HTTPS List-Unsubscribe passes", good, "list-unsubscribe", "pass",
            QStringLiteral("https://harrowgate-garden-club.example/leave?m=ellis"));
        row("a missing List-Unsubscribe fails", Edited(good, { { unsubscribe, "" } }), "list-unsubscribe",
            "fail");
        row("a mailto-only List-Unsubscribe fails",
            Edited(good,
                { { unsubscribe, "List-Unsubscribe: <mailto:leave@harrowgate-garden-club.example>\n" } }),
            "list-unsubscribe", "fail");
        row("a plain http List-Unsubscribe fails",
            Edited(good, { { "<https://harrowgate", "<http://harrowgate" } }), "list-unsubscribe", "fail");
        row("the one-click List-Unsubscribe-Post passes", good, "list-unsubscribe-post", "pass");
        row("a missing List-Unsubscribe-Post fails",
            Edited(good, { { "List-Unsubscribe-Post: List-Unsubscribe=One-Click\n", "" } }),
            "list-unsubscribe-post", "fail");
        row("another List-Unsubscribe-Post value fails",
            Edited(good, { { "List-Unsubscribe=One-Click", "List-Unsubscribe=Yes" } }),
            "list-unsubscribe-post", "fail");

        // DKIM, as far as the file shows it.
        row("a well-formed signature passes", good, "dkim-signature", "pass");
        row("a message without a signature fails", PlainOnly(), "dkim-signature", "fail");
        row("a signature without a selector fails", Edited(good, { { " s=news2024;", "" } }),
            "dkim-signature", "fail");
        row("a signature of version 2 fails", Edited(good, { { "v=1;", "v=2;" } }), "dkim-signature", "fail");
        row("a signature by a subdomain's parent is aligned", good, "dkim-alignment", "pass");
        row("a signature by the sending service is not aligned",
            Edited(good, { { "d=\n\tharrowgate-garden-club.example", "d=\n\tsender-service.example" } }),
            "dkim-alignment", "fail");
        row("alignment cannot be judged without a valid From",
            Edited(good, { { from, "From: News <news>\n" } }), "dkim-alignment", "info");
        row("a signature over From and both unsubscribe fields passes", good, "dkim-coverage", "pass");
        row("a signature leaving out the unsubscribe fields fails",
            Edited(good, { { ":list-unsubscribe:list-unsubscribe-post", "" } }), "dkim-coverage", "fail",
            QStringLiteral("h=date:from"));
        row("an unchanged body under relaxed canonicalization passes", good, "dkim-body", "pass");
        row("an unchanged body under simple canonicalization passes", simple, "dkim-body", "pass");
        row("extra blanks under relaxed canonicalization still pass",
            Edited(good, { { "Dear Margaret,\n", "Dear   Margaret,  \n" } }), "dkim-body", "pass");
        row("extra blanks under simple canonicalization fail",
            Edited(simple, { { "Dear Margaret,\n", "Dear   Margaret,  \n" } }), "dkim-body", "fail");
        row("a body edited after signing fails", Edited(good, { { "Saturday 15 June", "Sunday 16 June" } }),
            "dkim-body", "fail");
        row("an unknown algorithm cannot be checked", Edited(good, { { "a=rsa-sha256", "a=rsa-sha512" } }),
            "dkim-body", "info", QStringLiteral("a=rsa-sha512"));
        row("a body hash cannot be checked from part of the file", good, "dkim-body", "info", {},
            qint64(Good().size()) + 1000);

        // Parts and sizes.
        row("HTML with a plain-text part passes", good, "text-alternative", "pass");
        row("plain text alone passes", PlainOnly(), "text-alternative", "pass");
        row("HTML alone fails", HtmlOnly("<p>" + Words(600) + "</p>"), "text-alternative", "fail");
        row("small HTML passes", good, "html-size", "pass");
        row("HTML near the clipping size warns", WithHtml("<p>" + Words(95 * 1024) + "</p>"), "html-size",
            "warn", {});
        row("HTML past the clipping size fails", WithHtml("<p>" + Words(110 * 1024) + "</p>"), "html-size",
            "fail");
        row("a small message passes", good, "message-size", "pass");
        row("a message over a megabyte warns", WithHtml("<p>" + Words(1100 * 1024) + "</p>"), "message-size",
            "warn");
        row("a message over ten megabytes fails", good, "message-size", "fail", {}, qint64(11) * 1024 * 1024);
        row("a PDF attachment passes", WithAttachment("menu.pdf"), "attachments", "pass");
        row("a program attachment fails", WithAttachment("invoice.pdf.exe"), "attachments", "fail",
            QStringLiteral("invoice.pdf.exe"));
        row("a trailing dot does not hide a program", WithAttachment("invoice.exe."), "attachments", "fail");

        // Images.
        row("images with alt text pass", good, "image-alt", "pass");
        row("an image without alt text warns", WithHtml("<p>" + Words(600) + "</p>" + Images(2, "")),
            "image-alt", "warn");
        row("text without images gives no image finding", PlainOnly(), "image-alt", "absent");
        row("enough text beside the images passes", good, "image-text", "pass");
        row("an image-only message fails", WithHtml(Images(3) + "<p>Hello</p>"), "image-text", "fail");
        row("little text for many images warns", WithHtml(Images(4) + "<p>" + Words(200) + "</p>"),
            "image-text", "warn");
        row("images that are all remote are noted", good, "remote-images", "info");
        row("an embedded image passes",
            WithHtml("<p>" + Words(600) + "</p><img src=\"cid:logo@club\" alt=\"logo\">" + Images(1)),
            "remote-images", "pass");

        // Links.
        const auto link = [](const QByteArray &target, const QByteArray &text = "the club's news") {
            return WithHtml("<p>" + Words(600) + "</p><a href=\"" + target + "\">" + text + "</a>");
        };
        row("https links pass", good, "http-links", "pass");
        row("a plain http link warns", link("http://harrowgate-garden-club.example/news"), "http-links",
            "warn");
        row("a link to an own domain passes the shortener check", good, "link-shorteners", "pass");
        row("a shortened link fails", link("https://bit.ly/3xYz"), "link-shorteners", "fail");
        row("a shortened link in the plain text fails",
            Edited(good,
                { { "Read more: https://harrowgate-garden-club.example/news/june",
                    "Read more: https://tinyurl.com/june" } }),
            "link-shorteners", "fail");
        row("links to names pass the address check", good, "ip-links", "pass");
        row("a link to an IPv4 address fails", link("http://192.168.10.1/win"), "ip-links", "fail");
        row("a link to an IPv6 address fails", link("https://[2001:db8::1]/win"), "ip-links", "fail");
        row("link text showing the link's own domain passes", good, "link-text", "pass");
        row("link text showing another domain fails",
            link("https://collect.example.net/login", "www.harrowgate-garden-club.example"), "link-text",
            "fail", QStringLiteral("https://collect.example.net/login"));
        row("link text with an entity-encoded address is read",
            link("https://collect.example.net/login", "https&#58;//paypal.com"), "link-text", "fail");
        row("link text in words is not an address", link("https://harrowgate-garden-club.example/june"),
            "link-text", "absent");
        row("links to a few domains pass", good, "link-domains", "pass");
        QByteArray manyDomains = "<p>" + Words(600) + "</p>";
        for (int i = 0; i < 12; ++i)
            manyDomains += "<a href=\"https://site" + QByteArray::number(i) + ".example/\">site</a>";
        row("links to many domains warn", WithHtml(manyDomains), "link-domains", "warn");

        // Template leftovers.
        row("filled merge tags pass", good, "merge-tags", "pass");
        row("a double-brace tag fails", WithHtml("<p>Dear {{first_name}},</p>"), "merge-tags", "fail",
            QStringLiteral("{{first_name}}"));
        row("a star-pipe tag fails", WithHtml("<p>Dear *|FNAME|*,</p>"), "merge-tags", "fail");
        row("a percent tag fails", Edited(PlainOnly(), { { "Dear Margaret", "Dear %%name%%" } }),
            "merge-tags", "fail");
        row("a tag in the subject fails", Edited(good, { { "Subject: June", "Subject: {{ name }}, June" } }),
            "merge-tags", "fail");

        // What cannot be known from a file that is no message.
        row("parts of a file without headers cannot be checked", "no header here\n\nbody\n",
            "text-alternative", "info");
    }

    void findings()
    {
        QFETCH(QByteArray, message);
        QFETCH(qint64, fileSize);
        QFETCH(QString, id);
        QFETCH(QString, status);
        QFETCH(QString, value);

        const ReadinessResult result = CheckReadiness(message, fileSize);
        const ReadinessFinding *finding = Find(result, id);
        if (status == u"absent") {
            QVERIFY2(!finding, qPrintable(id));
            return;
        }
        QVERIFY2(finding, qPrintable(id));
        QCOMPARE(ReadinessStatusKey(finding->status), status);
        if (!value.isEmpty())
            QVERIFY2(finding->value.contains(value), qPrintable(finding->value));
    }

    // The good newsletter has no problem and no warning at all.
    void goodNewsletterIsReady()
    {
        const ReadinessResult result = CheckReadiness(Good());
        for (const ReadinessFinding &finding : result.findings)
            QVERIFY2(finding.status == ReadinessStatus::Pass || finding.status == ReadinessStatus::Info,
                qPrintable(finding.id));
        QVERIFY(result.ready());
        QCOMPARE(result.count(ReadinessStatus::Info), 1); // its images are all remote
    }

    // Every problem says what is wrong and what to change; the ids are unique.
    void everyProblemHasItsTexts_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("a plain message without any sender setup") << PlainOnly();
        QTest::newRow("HTML only, images and leftovers")
            << HtmlOnly(Images(3, "") + "<a href=\"http://1.2.3.4/\">www.example.com</a>{{name}}");
        QTest::newRow("a damaged header block") << QByteArray("From: \nDate: never\n bad\nx\n\n");
    }

    void everyProblemHasItsTexts()
    {
        QFETCH(QByteArray, message);
        const ReadinessResult result = CheckReadiness(message);
        QVERIFY(!result.ready());
        QSet<QString> ids;
        for (const ReadinessFinding &finding : result.findings) {
            QVERIFY2(!ids.contains(finding.id), qPrintable(finding.id));
            ids.insert(finding.id);
            QVERIFY(finding.titleText >= ReadinessText::SectionTitle && finding.titleText < 500);
            if (finding.status == ReadinessStatus::Fail || finding.status == ReadinessStatus::Warn) {
                QVERIFY2(finding.problemText != 0, qPrintable(finding.id));
                QVERIFY2(finding.adviceText != 0, qPrintable(finding.id));
            } else if (finding.status == ReadinessStatus::Pass) {
                QCOMPARE(finding.adviceText, 0);
            }
        }
    }

    // Malformed, repeated, oddly folded and huge input ends with findings.
    void badInputGivesFindings_data()
    {
        QTest::addColumn<QByteArray>("message");
        QTest::newRow("an empty file") << QByteArray();
        QByteArray junk;
        for (int i = 0; i < 65536; ++i)
            junk += char((i * 7919 + 13) % 256);
        QTest::newRow("binary junk") << junk;
        QTest::newRow("lone carriage returns") << QByteArray("From: a@b.example\rDate: x\r\rbody");
        QTest::newRow("a header line of eight megabytes")
            << "Subject: " + QByteArray(8 << 20, 'a') + "\n\nbody\n";
        QByteArray manyFields;
        for (int i = 0; i < 100000; ++i)
            manyFields += "Received: from x" + QByteArray::number(i) + "\n";
        QTest::newRow("a hundred thousand fields") << manyFields + "\nbody\n";
        QByteArray folded = "Subject: start\n";
        for (int i = 0; i < 100000; ++i)
            folded += " \n";
        QTest::newRow("a field folded into blank lines") << folded + "\nbody\n";
        QByteArray nested = Headers();
        for (int i = 0; i < 2000; ++i)
            nested += "Content-Type: multipart/mixed; boundary=\"b" + QByteArray::number(i) + "\"\n\n--b"
                + QByteArray::number(i) + "\n";
        QTest::newRow("multiparts nested two thousand deep") << nested;
        QTest::newRow("unclosed tags and quotes")
            << HtmlOnly("<a href=\"https://x.example/" + QByteArray(100000, '<') + "<img alt='");
        QTest::newRow("many ampersands") << HtmlOnly(QByteArray(200000, '&'));
        QTest::newRow("a DKIM signature of repeated tags")
            << "DKIM-Signature: " + QByteArray(50000, ';') + "a=1; a=2; d=;\n" + PlainOnly();
        QTest::newRow("an unknown charset")
            << Edited(PlainOnly(), { { "charset=utf-8", "charset=x-nothing" } });
    }

    void badInputGivesFindings()
    {
        QFETCH(QByteArray, message);
        const ReadinessResult result = CheckReadiness(message);
        QVERIFY(!result.findings.isEmpty());
        QVERIFY(!result.ready());
    }

    // A file whose line ends are CR LF reads as the same message.
    void crlfFileReadsLikeLf()
    {
        QByteArray crlf = Good();
        crlf.replace("\n", "\r\n");
        const ReadinessResult lf = CheckReadiness(Good());
        const ReadinessResult cr = CheckReadiness(crlf);
        QCOMPARE(cr.findings.size(), lf.findings.size());
        for (qsizetype i = 0; i < lf.findings.size(); ++i) {
            QCOMPARE(cr.findings[i].id, lf.findings[i].id);
            QCOMPARE(ReadinessStatusKey(cr.findings[i].status), ReadinessStatusKey(lf.findings[i].status));
        }
    }

    void unreadableFileSaysSo()
    {
        const ReadinessResult result
            = CheckReadinessFile(QStringLiteral(NORVALE_TEST_DATA "/no-such-file.eml"));
        QCOMPARE(result.findings.size(), 1);
        QCOMPARE(ReadinessStatusKey(result.findings.first().status), QStringLiteral("info"));
        QCOMPARE(result.findings.first().problemText, int(ReadinessText::NotCheckable));
    }

    // Messages written by others read without trouble, and what they lack is found.
    void realMessages_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("status");
        const QString debian = QStringLiteral("/usr/share/doc/spamassassin/examples/");
        const QString messages = QStringLiteral(NORVALE_TEST_DATA "/messages/");
        QTest::newRow("Debian's spam sample has a valid sender")
            << debian + QStringLiteral("sample-spam.txt") << QStringLiteral("from") << QStringLiteral("pass");
        QTest::newRow("Debian's spam sample has no unsubscribe address")
            << debian + QStringLiteral("sample-spam.txt") << QStringLiteral("list-unsubscribe")
            << QStringLiteral("fail");
        QTest::newRow("Debian's ham sample links over plain http")
            << debian + QStringLiteral("sample-nonspam.txt") << QStringLiteral("http-links")
            << QStringLiteral("warn");
        QTest::newRow("the test newsletter is not signed")
            << messages + QStringLiteral("clean-newsletter.eml") << QStringLiteral("dkim-signature")
            << QStringLiteral("fail");
        QTest::newRow("the test newsletter has its one-click unsubscribe")
            << messages + QStringLiteral("clean-newsletter.eml") << QStringLiteral("list-unsubscribe-post")
            << QStringLiteral("pass");
        QTest::newRow("the shipped sample newsletter has a plain-text part")
            << QStringLiteral(NORVALE_SOURCE_DIR "/samples/newsletter.eml")
            << QStringLiteral("text-alternative") << QStringLiteral("pass");
        QTest::newRow("plain text is no header block")
            << messages + QStringLiteral("not-a-message.txt") << QStringLiteral("header-syntax")
            << QStringLiteral("fail");
    }

    void realMessages()
    {
        QFETCH(QString, path);
        QFETCH(QString, id);
        QFETCH(QString, status);
        QVERIFY2(QFile::exists(path), qPrintable(path));
        const ReadinessResult result = CheckReadinessFile(path);
        const ReadinessFinding *finding = Find(result, id);
        QVERIFY2(finding, qPrintable(id));
        QCOMPARE(ReadinessStatusKey(finding->status), status);
    }

    // A name that has become a pipe gives a note at once instead of waiting
    // for a writer that never comes.
    void pipeIsNotRead()
    {
        QTemporaryDir dir;
        const QString pipe = dir.filePath(QStringLiteral("message.eml"));
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        const ReadinessResult result = CheckReadinessFile(pipe);
        QCOMPARE(result.findings.size(), 1);
        QCOMPARE(result.findings.first().problemText, int(ReadinessText::NotCheckable));
    }

    void organizationalDomain_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("expected");
        QTest::newRow("a subdomain under a two-label suffix")
            << QStringLiteral("news.mail.example.co.uk") << QStringLiteral("example.co.uk");
        QTest::newRow("a registrable domain is its own")
            << QStringLiteral("example.com") << QStringLiteral("example.com");
        QTest::newRow("capitals and a trailing dot")
            << QStringLiteral("Mail.Example.COM.") << QStringLiteral("example.com");
        QTest::newRow("a public suffix alone") << QStringLiteral("co.uk") << QStringLiteral("co.uk");
        QTest::newRow("an internationalised name")
            << QStringLiteral("news.bücher.example") << QStringLiteral("xn--bcher-kva.example");
    }

    void organizationalDomain()
    {
        QFETCH(QString, host);
        QFETCH(QString, expected);
        QCOMPARE(OrganizationalDomain(host), expected);
    }
};

QTEST_GUILESS_MAIN(TestReadinessCheck)
#include "tst_readinesscheck.moc"
