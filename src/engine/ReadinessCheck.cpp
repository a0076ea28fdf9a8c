#include "ReadinessCheck.h"

#include "DkimSignature.h"
#include "GMimeSupport.h"
#include "HeaderBlock.h"
#include "HtmlScan.h"
#include "OrganizationalDomain.h"
#include "ReadinessTexts.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace norvale {

namespace {

using Status = ReadinessStatus;
namespace T = ReadinessText;

constexpr qsizetype MaxValueLength = 200;
constexpr qint64 KiB = 1024;
constexpr qint64 MaxReadBytes = 32 * KiB * 1024;
// A large webmail clips a message whose HTML passes 102 KB; from 90 KB on
// a small edit can take it there.
constexpr qint64 ClipBytes = 102 * KiB;
constexpr qint64 NearClipBytes = 90 * KiB;
constexpr qint64 LargeMessageBytes = 1024 * KiB;
constexpr qint64 HugeMessageBytes = 10 * KiB * 1024;
constexpr qsizetype MaxLineLength = 998; // RFC 5322
constexpr qsizetype LittleText = 50; // visible characters: an image-only message
constexpr qsizetype TextPerImage = 100;
constexpr qsizetype EnoughText = 500;
constexpr qsizetype ManyLinkDomains = 10;
constexpr int MaxPartDepth = 50;
constexpr int MaxMergeTags = 1000;

QString Clip(const QString &text)
{
    if (text.size() <= MaxValueLength)
        return text;
    return text.left(MaxValueLength - 1) + QChar(0x2026);
}

QString Decoded(const QByteArray &raw)
{
    return QString::fromUtf8(raw);
}

QString Kilobytes(qint64 bytes)
{
    return QString::number((bytes + KiB - 1) / KiB);
}

bool IsHostName(QStringView host)
{
    if (host.isEmpty() || host.size() > 253 || !host.contains(u'.'))
        return false;
    for (const QStringView label : host.split(u'.')) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (const QChar c : label) {
            if (c.unicode() < 128 && !c.isLetterOrNumber() && c != u'-')
                return false;
            if (c.unicode() >= 128 && !c.isLetterOrNumber())
                return false;
        }
    }
    return true;
}

// The domain of an address "local@domain", or empty when it is not one.
QString AddressDomain(const QString &address)
{
    const qsizetype at = address.lastIndexOf(u'@');
    if (at <= 0)
        return {};
    // A dot-atom or a quoted local part; what GMime's forgiving reading
    // lets through beyond that (blanks, brackets, separators) is not an address.
    const QStringView local = QStringView(address).left(at);
    const bool quoted = local.size() > 1 && local.startsWith(u'"') && local.endsWith(u'"');
    for (const QChar c : local) {
        if (c.unicode() < 32 || c.unicode() == 127 || (!quoted && QStringView(u" <>()[],;:\\\"").contains(c)))
            return {};
    }
    const QString domain = address.mid(at + 1).toLower();
    return IsHostName(domain) ? domain : QString();
}

struct Addresses
{
    QStringList mailboxes; // the addresses themselves
    bool valid = false; // parsed, and every entry a mailbox with a usable address
};

// The addresses of a header value, read by GMime. Its forgiving mode is used
// and the addresses judged here: GMime 3.2's strict mode leaks memory on some
// malformed lists.
Addresses ParseAddresses(const QByteArray &value)
{
    Addresses result;
    InitGMime();
    GMimeParserOptions *options = g_mime_parser_options_new();
    g_mime_parser_options_set_address_compliance_mode(options, GMIME_RFC_COMPLIANCE_LOOSE);
    InternetAddressList *list = internet_address_list_parse(options, value.constData());
    g_mime_parser_options_free(options);
    if (!list)
        return result;
    GObjectRef<InternetAddressList> owner(list);
    const int count = internet_address_list_length(list);
    result.valid = count > 0;
    for (int i = 0; i < count; ++i) {
        InternetAddress *address = internet_address_list_get_address(list, i);
        if (!INTERNET_ADDRESS_IS_MAILBOX(address)) {
            result.valid = false;
            continue;
        }
        const char *addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
        const QString text = QString::fromUtf8(addr ? addr : "");
        result.mailboxes << text;
        if (AddressDomain(text).isEmpty())
            result.valid = false;
    }
    return result;
}

const QSet<QString> &Shorteners()
{
    static const QSet<QString> hosts { QStringLiteral("bit.ly"), QStringLiteral("bitly.com"),
        QStringLiteral("tinyurl.com"), QStringLiteral("goo.gl"), QStringLiteral("t.co"),
        QStringLiteral("ow.ly"), QStringLiteral("is.gd"), QStringLiteral("v.gd"), QStringLiteral("buff.ly"),
        QStringLiteral("rebrand.ly"), QStringLiteral("cutt.ly"), QStringLiteral("tiny.cc"),
        QStringLiteral("shorturl.at"), QStringLiteral("rb.gy"), QStringLiteral("bit.do"),
        QStringLiteral("t.ly"), QStringLiteral("s.id"), QStringLiteral("lnkd.in"), QStringLiteral("trib.al"),
        QStringLiteral("shorte.st"), QStringLiteral("adf.ly"), QStringLiteral("tr.im"),
        QStringLiteral("qr.net"), QStringLiteral("1url.com"), QStringLiteral("x.co"),
        QStringLiteral("u.to") };
    return hosts;
}

// Attachments that filters distrust: programs, scripts, disk images, archives
// that can hide them, documents with macros and web pages.
bool IsRiskyAttachment(const QString &fileName)
{
    static const QSet<QString> extensions { QStringLiteral("exe"), QStringLiteral("scr"),
        QStringLiteral("com"), QStringLiteral("pif"), QStringLiteral("bat"), QStringLiteral("cmd"),
        QStringLiteral("vbs"), QStringLiteral("vbe"), QStringLiteral("js"), QStringLiteral("jse"),
        QStringLiteral("wsf"), QStringLiteral("wsh"), QStringLiteral("hta"), QStringLiteral("msi"),
        QStringLiteral("msp"), QStringLiteral("jar"), QStringLiteral("ps1"), QStringLiteral("lnk"),
        QStringLiteral("cpl"), QStringLiteral("reg"), QStringLiteral("iso"), QStringLiteral("img"),
        QStringLiteral("vhd"), QStringLiteral("zip"), QStringLiteral("rar"), QStringLiteral("7z"),
        QStringLiteral("ace"), QStringLiteral("arj"), QStringLiteral("cab"), QStringLiteral("docm"),
        QStringLiteral("xlsm"), QStringLiteral("pptm"), QStringLiteral("html"), QStringLiteral("htm"),
        QStringLiteral("svg") };
    QString name = fileName.trimmed().toLower();
    while (name.endsWith(u'.') || name.endsWith(u' '))
        name.chop(1); // "invoice.exe." runs as invoice.exe
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 && extensions.contains(name.mid(dot + 1));
}

bool IsIpHost(const QString &host)
{
    static const QRegularExpression ipv4(QStringLiteral("^\\d{1,3}(\\.\\d{1,3}){3}$"));
    static const QRegularExpression number(QStringLiteral("^(0x[0-9a-f]+|\\d+)$"));
    return host.contains(u':') || ipv4.match(host).hasMatch() || number.match(host).hasMatch();
}

QString WebHost(const QString &target)
{
    const QUrl url(target.trimmed());
    if (!url.isValid() || (url.scheme() != u"http" && url.scheme() != u"https"))
        return {};
    return url.host().toLower();
}

class Checker
{
public:
    Checker(const QByteArray &message, qint64 fileSize)
        : m_message(message)
        , m_fileSize(fileSize < 0 ? message.size() : fileSize)
        , m_whole(fileSize < 0 || fileSize <= message.size())
        , m_headers(HeaderBlock::Parse(message))
    { }

    ReadinessResult run()
    {
        checkSyntax();
        checkFrom();
        checkDate();
        checkMessageId();
        checkMimeVersion();
        checkReplyTo();
        checkRepeats();
        checkEncoding();
        checkUnsubscribe();
        checkDkim();
        readParts();
        checkParts();
        checkImages();
        checkLinks();
        checkMergeTags();
        m_result.fromDomain = m_fromDomain;
        return std::move(m_result);
    }

private:
    ReadinessFinding &add(const char *id, Status status, int title, int problem = 0,
        const QStringList &args = {}, int advice = 0, const QString &value = {})
    {
        m_result.findings.append(MakeReadinessFinding(id, status, title, problem, args, advice, value));
        return m_result.findings.last();
    }

    // A measured finding: a pass shows the measure alone, a problem or warning
    // says what it means.
    void addMeasure(const char *id, Status status, int title, int problem, const QString &amount, int advice,
        const QString &value)
    {
        if (status == Status::Pass)
            add(id, status, title, 0, {}, 0, value);
        else
            add(id, status, title, problem, { amount }, advice, value);
    }

    void notCheckable(const char *id, int title, const QString &why = {})
    {
        add(id, Status::Info, title, T::NotCheckable, {}, 0, why);
    }

    // A header that must be there once: its single field, or null after a
    // finding that it is missing or repeated.
    const HeaderField *single(const char *id, const char *name, int advice)
    {
        const QList<const HeaderField *> fields = m_headers.all(name);
        const QString header = QString::fromLatin1(name);
        if (fields.isEmpty()) {
            add(id, Status::Fail, T::HeaderTitle, T::HeaderMissing, { header }, advice).titleArg = header;
            return nullptr;
        }
        if (fields.size() > 1) {
            add(id, Status::Fail, T::HeaderTitle, T::HeaderRepeated,
                { header, QString::number(fields.size()) }, advice, Decoded(fields[1]->value))
                .titleArg
                = header;
            return nullptr;
        }
        return fields.first();
    }

    void passHeader(const char *id, const char *name, const QString &value)
    {
        add(id, Status::Pass, T::HeaderTitle, 0, {}, 0, value).titleArg = QString::fromLatin1(name);
    }

    void invalidHeader(const char *id, const char *name, int advice, const HeaderField *field)
    {
        const QString header = QString::fromLatin1(name);
        add(id, Status::Fail, T::HeaderTitle, T::HeaderInvalid, { header }, advice, Decoded(field->value))
            .titleArg
            = header;
    }

    void checkSyntax()
    {
        bool clean = true;
        if (!m_headers.badLines().isEmpty()) {
            clean = false;
            add("header-syntax", Status::Fail, T::SyntaxTitle, T::SyntaxBadLine,
                { QString::number(m_headers.badLines().size()) }, T::SyntaxAdvice,
                Decoded(m_headers.badLines().first().left(MaxValueLength * 4)));
        }
        if (m_headers.longestLine() > MaxLineLength) {
            clean = false;
            add("header-line-length", Status::Fail, T::SyntaxTitle, T::SyntaxLongLine,
                { QString::number(m_headers.longestLine()), QString::number(MaxLineLength) }, T::SyntaxAdvice,
                Decoded(m_headers.longestLineField()));
        }
        if (m_headers.bodyOffset() < 0 && m_whole) {
            clean = false;
            add("header-end", Status::Fail, T::SyntaxTitle, T::SyntaxNoBody, {}, T::SyntaxAdvice);
        }
        if (clean)
            add("header-syntax", Status::Pass, T::SyntaxTitle);
    }

    void checkFrom()
    {
        const HeaderField *field = single("from", "From", T::FromAdvice);
        if (!field)
            return;
        const Addresses from = ParseAddresses(field->value);
        if (from.valid && from.mailboxes.size() > 1) {
            add("from", Status::Fail, T::HeaderTitle, T::FromMailboxCount,
                { QString::number(from.mailboxes.size()) }, T::FromAdvice, Decoded(field->value))
                .titleArg
                = QStringLiteral("From");
            return;
        }
        if (!from.valid) {
            invalidHeader("from", "From", T::FromAdvice, field);
            return;
        }
        m_fromDomain = AddressDomain(from.mailboxes.first());
        passHeader("from", "From", from.mailboxes.first());
    }

    void checkDate()
    {
        const HeaderField *field = single("date", "Date", T::HeaderAdvice);
        if (!field)
            return;
        InitGMime();
        GDateTime *date = g_mime_utils_header_decode_date(field->value.constData());
        if (!date) {
            invalidHeader("date", "Date", T::HeaderAdvice, field);
            return;
        }
        g_date_time_unref(date);
        passHeader("date", "Date", Decoded(field->value));
    }

    void checkMessageId()
    {
        const HeaderField *field = single("message-id", "Message-ID", T::HeaderAdvice);
        if (!field)
            return;
        static const QRegularExpression form(QStringLiteral("^<[^<>@\\s]+@[^<>@\\s]+>$"));
        const QString id = Decoded(field->value);
        if (!form.match(id).hasMatch()) {
            invalidHeader("message-id", "Message-ID", T::HeaderAdvice, field);
            return;
        }
        passHeader("message-id", "Message-ID", id);
    }

    void checkMimeVersion()
    {
        const HeaderField *field = single("mime-version", "MIME-Version", T::HeaderAdvice);
        if (!field)
            return;
        static const QRegularExpression comment(QStringLiteral("\\([^()]*\\)|\\s"));
        const QString version = Decoded(field->value);
        if (QString(version).remove(comment) != u"1.0") {
            invalidHeader("mime-version", "MIME-Version", T::HeaderAdvice, field);
            return;
        }
        passHeader("mime-version", "MIME-Version", version);
    }

    void checkReplyTo()
    {
        if (m_headers.all("Reply-To").isEmpty())
            return;
        const HeaderField *field = single("reply-to", "Reply-To", T::ReplyToAdvice);
        if (!field)
            return;
        const Addresses replyTo = ParseAddresses(field->value);
        if (!replyTo.valid) {
            invalidHeader("reply-to", "Reply-To", T::ReplyToAdvice, field);
            return;
        }
        passHeader("reply-to", "Reply-To", replyTo.mailboxes.join(QStringLiteral(", ")));
    }

    // Fields a message may hold at most once besides those checked above.
    void checkRepeats()
    {
        static const char *const names[] = { "To", "Cc", "Bcc", "Subject", "Sender", "In-Reply-To",
            "References", "Content-Type", "Content-Transfer-Encoding" };
        for (const char *name : names) {
            const QList<const HeaderField *> fields = m_headers.all(name);
            if (fields.size() < 2)
                continue;
            const QString header = QString::fromLatin1(name);
            const QByteArray id = QByteArray(name).toLower() + "-once";
            add(id.constData(), Status::Fail, T::HeaderTitle, T::HeaderRepeated,
                { header, QString::number(fields.size()) }, T::HeaderAdvice, Decoded(fields[1]->value))
                .titleArg
                = header;
        }
    }

    void checkEncoding()
    {
        for (const HeaderField &field : m_headers.fields()) {
            const QByteArray &value = field.value;
            if (std::any_of(value.begin(), value.end(), [](char c) { return uchar(c) >= 0x80; })) {
                add("header-encoding", Status::Fail, T::EncodingTitle, T::EncodingProblem,
                    { Decoded(field.name) }, T::EncodingAdvice, Decoded(value));
                return;
            }
        }
        add("header-encoding", Status::Pass, T::EncodingTitle);
    }

    void checkUnsubscribe()
    {
        const QList<const HeaderField *> links = m_headers.all("List-Unsubscribe");
        if (links.isEmpty()) {
            add("list-unsubscribe", Status::Fail, T::UnsubscribeTitle, T::UnsubscribeMissing, {},
                T::UnsubscribeAdvice);
        } else if (links.size() > 1) {
            add("list-unsubscribe", Status::Fail, T::UnsubscribeTitle, T::HeaderRepeated,
                { QStringLiteral("List-Unsubscribe"), QString::number(links.size()) }, T::UnsubscribeAdvice,
                Decoded(links[1]->value));
        } else {
            static const QRegularExpression uri(QStringLiteral("<\\s*([^>]*?)\\s*>"));
            const QString value = Decoded(links.first()->value);
            QString https;
            for (auto match = uri.globalMatch(value); match.hasNext() && https.isEmpty();) {
                const QString address = match.next().captured(1);
                if (address.startsWith(QStringLiteral("https://"), Qt::CaseInsensitive)
                    && !WebHost(address).isEmpty())
                    https = address;
            }
            if (https.isEmpty())
                add("list-unsubscribe", Status::Fail, T::UnsubscribeTitle, T::UnsubscribeNoHttps, {},
                    T::UnsubscribeAdvice, value);
            else
                add("list-unsubscribe", Status::Pass, T::UnsubscribeTitle, 0, {}, 0, https);
        }

        const QList<const HeaderField *> posts = m_headers.all("List-Unsubscribe-Post");
        const QString post = QStringLiteral("List-Unsubscribe-Post");
        if (posts.isEmpty()) {
            add("list-unsubscribe-post", Status::Fail, T::HeaderTitle, T::OneClickMissing, {},
                T::UnsubscribeAdvice)
                .titleArg
                = post;
        } else if (posts.size() > 1) {
            add("list-unsubscribe-post", Status::Fail, T::HeaderTitle, T::HeaderRepeated,
                { post, QString::number(posts.size()) }, T::UnsubscribeAdvice, Decoded(posts[1]->value))
                .titleArg
                = post;
        } else {
            const QString value = Decoded(posts.first()->value);
            const bool oneClick
                = value.simplified().remove(u' ').compare(u"List-Unsubscribe=One-Click", Qt::CaseInsensitive)
                == 0;
            add("list-unsubscribe-post", oneClick ? Status::Pass : Status::Fail, T::HeaderTitle,
                oneClick ? 0 : int(T::OneClickWrong), {}, T::UnsubscribeAdvice, value)
                .titleArg
                = post;
        }
    }

    void checkDkim()
    {
        const QList<const HeaderField *> fields = m_headers.all("DKIM-Signature");
        if (fields.isEmpty()) {
            add("dkim-signature", Status::Fail, T::DkimTitle, T::DkimMissing, {}, T::DkimAdvice);
            return;
        }
        QList<DkimSignature> signatures;
        const HeaderField *malformed = nullptr;
        QByteArray badTag;
        for (const HeaderField *field : fields) {
            DkimSignature signature = DkimSignature::Parse(field->value);
            if (signature.wellFormed()) {
                signatures << signature;
            } else if (!malformed) {
                malformed = field;
                badTag = signature.badTag();
            }
        }
        if (malformed) {
            add("dkim-signature", Status::Fail, T::DkimTitle, T::DkimMalformed, { Decoded(badTag) },
                T::DkimAdvice, Decoded(malformed->value));
        } else {
            add("dkim-signature", Status::Pass, T::DkimTitle, 0, {}, 0,
                QStringLiteral("d=") + Decoded(signatures.first().domain()));
        }
        if (signatures.isEmpty())
            return;
        if (m_whole)
            m_result.signedMessage = m_message;

        // The signature judged below: the first aligned one, else the first.
        const DkimSignature *chosen = &signatures.first();
        if (m_fromDomain.isEmpty()) {
            notCheckable("dkim-alignment", T::AlignmentTitle);
        } else {
            const QString fromOrganization = OrganizationalDomain(m_fromDomain);
            const auto aligned
                = std::find_if(signatures.cbegin(), signatures.cend(), [&](const DkimSignature &s) {
                      return OrganizationalDomain(Decoded(s.domain())) == fromOrganization;
                  });
            if (aligned != signatures.cend()) {
                chosen = &*aligned;
                add("dkim-alignment", Status::Pass, T::AlignmentTitle, 0, {}, 0,
                    QStringLiteral("d=") + Decoded(chosen->domain()));
            } else {
                add("dkim-alignment", Status::Fail, T::AlignmentTitle, T::AlignmentProblem,
                    { Decoded(chosen->domain()), m_fromDomain }, T::AlignmentAdvice,
                    QStringLiteral("d=") + Decoded(chosen->domain()));
            }
        }

        QStringList uncovered;
        for (const char *name : { "From", "List-Unsubscribe", "List-Unsubscribe-Post" }) {
            const bool needed = qstrcmp(name, "From") == 0 || !m_headers.all(name).isEmpty();
            if (needed && !chosen->covers(name))
                uncovered << QString::fromLatin1(name);
        }
        const QString signedHeaders = Decoded(chosen->signedHeaders().join(':'));
        if (uncovered.isEmpty())
            add("dkim-coverage", Status::Pass, T::CoverageTitle, 0, {}, 0,
                QStringLiteral("h=") + signedHeaders);
        else
            add("dkim-coverage", Status::Fail, T::CoverageTitle, T::CoverageProblem,
                { uncovered.join(QStringLiteral(", ")) }, T::CoverageAdvice,
                QStringLiteral("h=") + signedHeaders);

        if (!m_whole) {
            notCheckable("dkim-body", T::BodyHashTitle);
            return;
        }
        const QByteArray body
            = m_headers.bodyOffset() < 0 ? QByteArray() : m_message.mid(m_headers.bodyOffset());
        switch (chosen->checkBody(body)) {
        case DkimSignature::BodyHash::Matches:
            add("dkim-body", Status::Pass, T::BodyHashTitle, T::BodyHashMatches);
            break;
        case DkimSignature::BodyHash::Differs:
            add("dkim-body", Status::Fail, T::BodyHashTitle, T::BodyHashChanged, {}, T::BodyHashAdvice);
            break;
        case DkimSignature::BodyHash::Unknown:
            add("dkim-body", Status::Info, T::BodyHashTitle, T::BodyHashUnknown, {}, 0,
                Decoded(
                    chosen->unknownMethod().isEmpty() ? QByteArrayLiteral("l=") : chosen->unknownMethod()));
            break;
        }
    }

    // The part's text, its transfer encoding undone and its charset decoded;
    // `bytes` gets the size of the decoded bytes before the charset is.
    static QString PartText(GMimePart *part, qint64 *bytes = nullptr)
    {
        GMimeDataWrapper *content = g_mime_part_get_content(part);
        if (!content)
            return {};
        GObjectRef<GMimeStream> memory(g_mime_stream_mem_new());
        if (g_mime_data_wrapper_write_to_stream(content, memory.object) < 0)
            return {};
        GByteArray *array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory.object));
        const QByteArrayView data(reinterpret_cast<const char *>(array->data), qsizetype(array->len));
        if (bytes)
            *bytes += data.size();
        const char *charset = g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset");
        QStringDecoder decoder(charset ? charset : "UTF-8");
        if (!decoder.isValid())
            decoder = QStringDecoder(QStringDecoder::Utf8);
        return decoder.decode(data);
    }

    // Reads the message's parts with GMime: the inline HTML and plain text, and
    // the names of the attachments.
    void readParts()
    {
        InitGMime();
        GObjectRef<GMimeStream> stream(
            g_mime_stream_mem_new_with_buffer(m_message.constData(), m_message.size()));
        GObjectRef<GMimeParser> parser(g_mime_parser_new_with_stream(stream.object));
        g_mime_parser_set_format(parser.object, GMIME_FORMAT_MESSAGE);
        GObjectRef<GMimeMessage> message(g_mime_parser_construct_message(parser.object, nullptr));
        if (!message.object || m_headers.fields().isEmpty())
            return;
        m_parsed = true;

        QList<std::pair<GMimeObject *, int>> pending { { g_mime_message_get_mime_part(message.object), 0 } };
        while (!pending.isEmpty()) {
            const auto [object, depth] = pending.takeLast();
            if (!object)
                continue;
            if (GMIME_IS_MULTIPART(object)) {
                if (depth >= MaxPartDepth)
                    continue;
                GMimeMultipart *multipart = GMIME_MULTIPART(object);
                for (int i = g_mime_multipart_get_count(multipart) - 1; i >= 0; --i)
                    pending.append({ g_mime_multipart_get_part(multipart, i), depth + 1 });
                continue;
            }
            if (GMIME_IS_MESSAGE_PART(object)) {
                m_attachments << QStringLiteral("message/rfc822");
                continue;
            }
            if (!GMIME_IS_PART(object))
                continue;
            GMimePart *part = GMIME_PART(object);
            const char *fileName = g_mime_part_get_filename(part);
            if (g_mime_part_is_attachment(part) || fileName) {
                m_attachments << QString::fromUtf8(fileName ? fileName : "");
                continue;
            }
            GMimeContentType *type = g_mime_object_get_content_type(object);
            if (g_mime_content_type_is_type(type, "text", "html")) {
                m_html += PartText(part, &m_htmlBytes);
                m_hasHtml = true;
            } else if (g_mime_content_type_is_type(type, "text", "plain")) {
                m_plain += PartText(part);
                m_hasPlain = true;
            }
        }
    }

    void checkParts()
    {
        if (!m_parsed) {
            notCheckable("text-alternative", T::AlternativeTitle);
            notCheckable("attachments", T::AttachmentTitle);
        } else {
            if (m_hasHtml && !m_hasPlain)
                add("text-alternative", Status::Fail, T::AlternativeTitle, T::AlternativeMissing, {},
                    T::AlternativeAdvice);
            else
                add("text-alternative", Status::Pass, T::AlternativeTitle);
            if (m_hasHtml) {
                const Status status = m_htmlBytes > ClipBytes ? Status::Fail
                    : m_htmlBytes > NearClipBytes             ? Status::Warn
                                                              : Status::Pass;
                addMeasure("html-size", status, T::HtmlSizeTitle, T::HtmlSizeProblem, Kilobytes(m_htmlBytes),
                    T::HtmlSizeAdvice, Kilobytes(m_htmlBytes) + QStringLiteral(" KB"));
            }
        }

        const Status sizeStatus = m_fileSize > HugeMessageBytes ? Status::Fail
            : m_fileSize > LargeMessageBytes                    ? Status::Warn
                                                                : Status::Pass;
        addMeasure("message-size", sizeStatus, T::MessageSizeTitle, T::MessageSizeProblem,
            Kilobytes(m_fileSize), T::MessageSizeAdvice, Kilobytes(m_fileSize) + QStringLiteral(" KB"));

        if (m_parsed) {
            const auto risky = std::find_if(m_attachments.cbegin(), m_attachments.cend(), IsRiskyAttachment);
            if (risky != m_attachments.cend())
                add("attachments", Status::Fail, T::AttachmentTitle, T::AttachmentProblem, {},
                    T::AttachmentAdvice, *risky);
            else
                add("attachments", Status::Pass, T::AttachmentTitle);
        }
    }

    void checkImages()
    {
        if (!m_hasHtml)
            return;
        m_scan = HtmlScan::Scan(m_html);
        const QList<HtmlScan::Image> &images = m_scan.images;
        if (images.isEmpty())
            return;
        const qsizetype withoutAlt = std::count_if(
            images.cbegin(), images.cend(), [](const HtmlScan::Image &i) { return !i.hasAlt; });
        if (withoutAlt > 0) {
            const auto first = std::find_if(
                images.cbegin(), images.cend(), [](const HtmlScan::Image &i) { return !i.hasAlt; });
            add("image-alt", Status::Warn, T::AltTitle, T::AltProblem,
                { QString::number(withoutAlt), QString::number(images.size()) }, T::AltAdvice, first->source);
        } else {
            add("image-alt", Status::Pass, T::AltTitle);
        }

        const qsizetype text = m_scan.textLength;
        const Status ratio = text < LittleText                                    ? Status::Fail
            : text < EnoughText && text < TextPerImage * qsizetype(images.size()) ? Status::Warn
                                                                                  : Status::Pass;
        add("image-text", ratio, T::ImageTextTitle, T::ImageTextProblem,
            { QString::number(text), QString::number(images.size()) }, T::ImageTextAdvice);

        const bool allRemote = std::all_of(images.cbegin(), images.cend(), [](const HtmlScan::Image &i) {
            return i.source.startsWith(QStringLiteral("http:"), Qt::CaseInsensitive)
                || i.source.startsWith(QStringLiteral("https:"), Qt::CaseInsensitive)
                || i.source.startsWith(u"//");
        });
        if (allRemote)
            add("remote-images", Status::Info, T::RemoteImagesTitle, T::RemoteImagesProblem, {},
                T::RemoteImagesAdvice, images.first().source);
        else
            add("remote-images", Status::Pass, T::RemoteImagesTitle);
    }

    void checkLinks()
    {
        if (!m_parsed)
            return;
        QStringList targets;
        for (const HtmlScan::Link &link : m_scan.links)
            targets << link.target.trimmed();
        static const QRegularExpression textUrl(
            QStringLiteral("https?://[^\\s<>\"')\\]]+"), QRegularExpression::CaseInsensitiveOption);
        for (auto match = textUrl.globalMatch(m_plain); match.hasNext();)
            targets << match.next().captured();

        QStringList http;
        QString shortener;
        QString ip;
        QSet<QString> domains;
        for (const QString &target : targets) {
            const QString host = WebHost(target);
            if (host.isEmpty())
                continue;
            if (target.startsWith(QStringLiteral("http:"), Qt::CaseInsensitive))
                http << target;
            QString bare = host;
            if (bare.startsWith(QStringLiteral("www.")))
                bare.remove(0, 4);
            if (shortener.isEmpty() && Shorteners().contains(bare))
                shortener = target;
            if (ip.isEmpty() && IsIpHost(host))
                ip = target;
            domains.insert(IsIpHost(host) ? host : OrganizationalDomain(host));
        }
        if (domains.isEmpty())
            return;

        if (http.isEmpty())
            add("http-links", Status::Pass, T::HttpLinksTitle);
        else
            add("http-links", Status::Warn, T::HttpLinksTitle, T::HttpLinksProblem,
                { QString::number(http.size()) }, T::HttpLinksAdvice, http.first());
        if (shortener.isEmpty())
            add("link-shorteners", Status::Pass, T::ShortenerTitle);
        else
            add("link-shorteners", Status::Fail, T::ShortenerTitle, T::ShortenerProblem, {},
                T::ShortenerAdvice, shortener);
        if (ip.isEmpty())
            add("ip-links", Status::Pass, T::IpLinkTitle);
        else
            add("ip-links", Status::Fail, T::IpLinkTitle, T::IpLinkProblem, {}, T::IpLinkAdvice, ip);

        checkLinkTexts();

        QStringList names = domains.values();
        names.sort();
        addMeasure("link-domains", domains.size() > ManyLinkDomains ? Status::Warn : Status::Pass,
            T::LinkDomainsTitle, T::LinkDomainsProblem, QString::number(domains.size()), T::LinkDomainsAdvice,
            names.join(QStringLiteral(", ")));
    }

    // A link whose text is an address of one domain while it goes to another
    // is what phishing looks like.
    void checkLinkTexts()
    {
        static const QRegularExpression shownAddress(
            QStringLiteral("^(?:https?://)?((?:[\\w-]+\\.)+[a-z]{2,})(?:[/:?#]\\S*)?$"),
            QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
        bool anyShown = false;
        for (const HtmlScan::Link &link : m_scan.links) {
            const QRegularExpressionMatch shown = shownAddress.match(link.text);
            const QString targetHost = WebHost(link.target);
            if (!shown.hasMatch() || targetHost.isEmpty())
                continue;
            anyShown = true;
            const QString shownHost = shown.captured(1).toLower();
            if (OrganizationalDomain(shownHost) != OrganizationalDomain(targetHost)) {
                add("link-text", Status::Fail, T::LinkTextTitle, T::LinkTextProblem,
                    { link.text, targetHost }, T::LinkTextAdvice, link.target);
                return;
            }
        }
        if (anyShown)
            add("link-text", Status::Pass, T::LinkTextTitle);
    }

    void checkMergeTags()
    {
        static const QRegularExpression tag(
            QStringLiteral("\\{\\{\\s*[A-Za-z_][\\w.\\- ]{0,40}\\}\\}|\\*\\|[A-Za-z0-9_:\\-]{1,40}\\|\\*"
                           "|%%[A-Za-z_][\\w\\-]{0,40}%%|\\[\\[\\s*[A-Za-z_][\\w.\\-]{0,40}\\s*\\]\\]"));
        QStringList places;
        for (const HeaderField *subject : m_headers.all("Subject"))
            places << Decoded(subject->value);
        if (m_parsed)
            places << m_plain << m_html;
        else
            places << Decoded(m_message);

        int count = 0;
        QString first;
        for (const QString &place : std::as_const(places)) {
            for (auto match = tag.globalMatch(place); match.hasNext() && count < MaxMergeTags; ++count) {
                const QString found = match.next().captured();
                if (first.isEmpty())
                    first = found;
            }
        }
        if (count > 0)
            add("merge-tags", Status::Fail, T::MergeTagTitle, T::MergeTagProblem, { QString::number(count) },
                T::MergeTagAdvice, first);
        else
            add("merge-tags", Status::Pass, T::MergeTagTitle);
    }

    const QByteArray &m_message;
    const qint64 m_fileSize;
    const bool m_whole;
    const HeaderBlock m_headers;
    ReadinessResult m_result;
    QString m_fromDomain; // the From address's domain when From is valid
    bool m_parsed = false; // GMime found a message with parts
    bool m_hasHtml = false;
    bool m_hasPlain = false;
    QString m_html; // the inline HTML parts, decoded
    qint64 m_htmlBytes = 0; // their size as sent, transfer encoding undone
    QString m_plain; // the inline plain-text parts, decoded
    QStringList m_attachments; // file names, or a type for an attached message
    HtmlScan m_scan;
};

} // namespace

QString ReadinessStatusKey(ReadinessStatus status)
{
    switch (status) {
    case ReadinessStatus::Fail:
        return QStringLiteral("fail");
    case ReadinessStatus::Warn:
        return QStringLiteral("warn");
    case ReadinessStatus::Pass:
        return QStringLiteral("pass");
    case ReadinessStatus::Info:
        return QStringLiteral("info");
    }
    return {};
}

ReadinessFinding MakeReadinessFinding(const char *id, ReadinessStatus status, int title, int problem,
    const QStringList &args, int advice, const QString &value)
{
    ReadinessFinding finding;
    finding.id = QString::fromLatin1(id);
    finding.status = status;
    finding.titleText = title;
    finding.problemText = problem;
    for (const QString &arg : args)
        finding.problemArgs << Clip(arg);
    finding.adviceText = status == ReadinessStatus::Pass ? 0 : advice;
    finding.value = Clip(value);
    return finding;
}

qsizetype ReadinessResult::count(ReadinessStatus status) const
{
    return std::count_if(findings.cbegin(), findings.cend(),
        [status](const ReadinessFinding &f) { return f.status == status; });
}

ReadinessResult CheckReadiness(const QByteArray &message, qint64 fileSize)
{
    return Checker(message, fileSize).run();
}

ReadinessResult CheckReadinessFile(const QString &path)
{
    const auto notReadable = [](const QString &why) {
        ReadinessResult result;
        ReadinessFinding finding;
        finding.id = QStringLiteral("message-file");
        finding.status = ReadinessStatus::Info;
        finding.titleText = ReadinessText::MessageSizeTitle;
        finding.problemText = ReadinessText::NotCheckable;
        finding.value = Clip(why);
        result.findings << finding;
        return result;
    };
    // Non-blocking and judged by fstat(), so a name swapped for a pipe or a
    // device since the check began cannot hang us.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return notReadable(QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info = {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return notReadable(path);
    }
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return notReadable(file.errorString());
    }
    const qint64 size = file.size();
    const QByteArray message = file.read(MaxReadBytes);
    return CheckReadiness(message, std::max(size, qint64(message.size())));
}

} // namespace norvale
