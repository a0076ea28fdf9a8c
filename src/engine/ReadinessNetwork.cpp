#include "ReadinessNetwork.h"

#include "OrganizationalDomain.h"
#include "ReadinessTexts.h"

// The DKIM library's header is C and spells its booleans _Bool, which GCC
// takes in C++ too but Clang does not.
#if defined(__clang__)
#define _Bool bool
#endif
#include <opendkim/dkim.h>
#if defined(__clang__)
#undef _Bool
#endif
#include <opendmarc/dmarc.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>

namespace norvale {

namespace {

using Status = ReadinessStatus;
namespace T = ReadinessText;

constexpr int MaxSignaturesVerified = 3; // each costs a lookup

// The lookups of one message. After a lookup without a usable answer the DNS
// is not asked again: each further lookup fails at once the same way.
class Lookups
{
public:
    explicit Lookups(const DnsSettings &dns)
        : m_dns(dns)
    { }

    TxtAnswer txt(const QByteArray &name)
    {
        if (m_failed)
            return *m_failed;
        TxtAnswer answer = LookUpTxt(name, m_dns);
        if (answer.status == TxtAnswer::Status::Failed)
            m_failed = answer;
        return answer;
    }

private:
    const DnsSettings &m_dns;
    std::optional<TxtAnswer> m_failed;
};

ReadinessFinding NoAnswer(const char *id, int title, const QByteArray &name, const TxtAnswer &answer)
{
    return MakeReadinessFinding(id, Status::Info, title, T::DnsNoAnswer, { QString::fromLatin1(name) },
        T::DnsNoAnswerAdvice, answer.error);
}

// "v=DMARC1" first, then tags read by libopendmarc.
bool IsDmarcRecord(const QByteArray &record)
{
    const QByteArray start = record.trimmed().left(8);
    return start.compare("v=DMARC1", Qt::CaseInsensitive) == 0
        && (record.trimmed().size() == 8 || QByteArrayView(" ;\t").contains(record.trimmed().at(8)));
}

void InitDmarcLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] {
        static OPENDMARC_LIB_T library;
        std::memset(&library, 0, sizeof library);
        library.tld_type = OPENDMARC_TLD_TYPE_NONE; // organizational domains come from libpsl
        opendmarc_policy_library_init(&library);
    });
}

// The policy letter of a record that libopendmarc reads ('n', 'q' or 'r'), or
// 0 when it cannot read it.
int DmarcPolicy(const QByteArray &domain, const QByteArray &record)
{
    InitDmarcLibrary();
    QByteArray address("127.0.0.1"); // not used: no policy is evaluated for a connection
    DMARC_POLICY_T *context = opendmarc_policy_connect_init(
        reinterpret_cast<u_char *>(address.data()), DMARC_POLICY_IP_TYPE_IPV4);
    if (!context)
        return 0;
    QByteArray domainCopy = domain;
    QByteArray recordCopy = record;
    int policy = 0;
    if (opendmarc_policy_parse_dmarc(context, reinterpret_cast<u_char *>(domainCopy.data()),
            reinterpret_cast<u_char *>(recordCopy.data()))
            == DMARC_PARSE_OKAY
        && opendmarc_policy_fetch_p(context, &policy) != DMARC_PARSE_OKAY)
        policy = 0;
    opendmarc_policy_connect_shutdown(context);
    return policy == DMARC_RECORD_P_NONE || policy == DMARC_RECORD_P_QUARANTINE
            || policy == DMARC_RECORD_P_REJECT
        ? policy
        : 0;
}

ReadinessFinding CheckDmarc(const QString &fromDomain, Lookups &lookups)
{
    // The From domain's own record, else its organizational domain's (RFC 7489).
    QList<QByteArray> domains { fromDomain.toLatin1() };
    const QByteArray organization = OrganizationalDomain(fromDomain).toLatin1();
    if (organization != domains.first())
        domains << organization;
    for (const QByteArray &domain : std::as_const(domains)) {
        const QByteArray name = "_dmarc." + domain;
        const TxtAnswer answer = lookups.txt(name);
        if (answer.status == TxtAnswer::Status::Failed)
            return NoAnswer("dmarc", T::DmarcTitle, name, answer);
        QList<QByteArray> records;
        for (const QByteArray &record : answer.records) {
            if (IsDmarcRecord(record))
                records << record;
        }
        if (records.isEmpty())
            continue;
        const QString value = QString::fromLatin1(records.first());
        if (records.size() > 1 || DmarcPolicy(domain, records.first()) == 0)
            return MakeReadinessFinding("dmarc", Status::Fail, T::DmarcTitle, T::DmarcUnreadable,
                { QString::fromLatin1(name) }, T::DmarcAdvice, value);
        return MakeReadinessFinding("dmarc", Status::Pass, T::DmarcTitle, 0, {}, 0, value);
    }
    return MakeReadinessFinding(
        "dmarc", Status::Fail, T::DmarcTitle, T::DmarcMissing, { fromDomain }, T::DmarcAdvice);
}

// An SPF record starts "v=spf1" followed by a space or nothing (RFC 7208 4.5).
bool IsSpfRecord(const QByteArray &record)
{
    return record.size() >= 6 && record.left(6).compare("v=spf1", Qt::CaseInsensitive) == 0
        && (record.size() == 6 || record.at(6) == ' ');
}

ReadinessFinding CheckSpf(const QString &fromDomain, Lookups &lookups)
{
    const QByteArray name = fromDomain.toLatin1();
    const TxtAnswer answer = lookups.txt(name);
    if (answer.status == TxtAnswer::Status::Failed)
        return NoAnswer("spf", T::SpfTitle, name, answer);
    QList<QByteArray> records;
    for (const QByteArray &record : answer.records) {
        if (IsSpfRecord(record))
            records << record;
    }
    if (records.isEmpty())
        return MakeReadinessFinding(
            "spf", Status::Fail, T::SpfTitle, T::SpfMissing, { fromDomain }, T::SpfAdvice);
    if (records.size() > 1)
        return MakeReadinessFinding("spf", Status::Fail, T::SpfTitle, T::SpfRepeated,
            { fromDomain, QString::number(records.size()) }, T::SpfAdvice,
            QString::fromLatin1(records.first()));
    return MakeReadinessFinding(
        "spf", Status::Pass, T::SpfTitle, 0, {}, 0, QString::fromLatin1(records.first()));
}

// The DKIM key lookups of one verification go through our resolver, with its
// time limit, rather than the library's own.
struct KeyLookupContext
{
    Lookups *lookups = nullptr;
    QByteArray failedName; // the key name that got no usable answer
    TxtAnswer failed;
};

QByteArray KeyName(DKIM_SIGINFO *signature)
{
    const unsigned char *selector = dkim_sig_getselector(signature);
    const unsigned char *domain = dkim_sig_getdomain(signature);
    return QByteArray(reinterpret_cast<const char *>(
               selector ? selector : reinterpret_cast<const unsigned char *>("")))
        + "._domainkey."
        + QByteArray(
            reinterpret_cast<const char *>(domain ? domain : reinterpret_cast<const unsigned char *>("")));
}

DKIM_CBSTAT LookUpKey(DKIM *dkim, DKIM_SIGINFO *signature, unsigned char *buffer, size_t size)
{
    auto *context = static_cast<KeyLookupContext *>(dkim_get_user_context(dkim));
    const QByteArray name = KeyName(signature);
    const TxtAnswer answer = context->lookups->txt(name);
    if (answer.status == TxtAnswer::Status::Failed) {
        if (context->failedName.isEmpty()) {
            context->failedName = name;
            context->failed = answer;
        }
        return DKIM_CBSTAT_ERROR;
    }
    if (answer.status == TxtAnswer::Status::None)
        return DKIM_CBSTAT_NOTFOUND;
    // More than one record at a key name cannot be used (RFC 6376 3.6.2.2):
    // the library is given the first and the signature fails if it is wrong.
    const QByteArray &key = answer.records.first();
    if (size == 0 || size_t(key.size()) >= size)
        return DKIM_CBSTAT_ERROR;
    std::memcpy(buffer, key.constData(), size_t(key.size()));
    buffer[key.size()] = '\0';
    return DKIM_CBSTAT_CONTINUE;
}

// Verifies only the first few signatures: each costs a lookup.
DKIM_CBSTAT Prescreen(DKIM *, DKIM_SIGINFO **signatures, int count)
{
    for (int i = MaxSignaturesVerified; i < count; ++i)
        dkim_sig_ignore(signatures[i]);
    return DKIM_CBSTAT_CONTINUE;
}

// The header fields as the file holds them, each with its folded lines joined
// by CR LF and without its line end, and the body with CR LF line ends.
struct RawMessage
{
    QList<QByteArray> fields;
    QByteArray body;
};

RawMessage SplitMessage(const QByteArray &message)
{
    RawMessage raw;
    qsizetype at = 0;
    bool inHeader = true;
    while (at < message.size() && inHeader) {
        qsizetype end = message.indexOf('\n', at);
        const qsizetype next = end < 0 ? message.size() : end + 1;
        if (end < 0)
            end = message.size();
        QByteArray line = message.mid(at, end - at);
        if (line.endsWith('\r'))
            line.chop(1);
        at = next;
        if (line.isEmpty()) {
            inHeader = false;
        } else if ((line.startsWith(' ') || line.startsWith('\t')) && !raw.fields.isEmpty()) {
            raw.fields.last() += "\r\n" + line;
        } else {
            raw.fields << line;
        }
    }
    raw.body = message.mid(at);
    raw.body.replace("\r\n", "\n");
    raw.body.replace("\n", "\r\n");
    return raw;
}

struct DkimLibrary
{
    void operator()(DKIM_LIB *library) const { dkim_close(library); }
};
struct DkimHandle
{
    void operator()(DKIM *dkim) const { dkim_free(dkim); }
};

ReadinessFinding CheckDkimKey(const QByteArray &message, Lookups &lookups)
{
    const auto notCheckable = [](const QString &why) {
        return MakeReadinessFinding(
            "dkim-key", Status::Info, T::DkimKeyTitle, T::NetworkNotCheckable, {}, 0, why);
    };
    std::unique_ptr<DKIM_LIB, DkimLibrary> library(dkim_init(nullptr, nullptr));
    if (!library)
        return notCheckable(QStringLiteral("DKIM library"));
    dkim_set_key_lookup(library.get(), LookUpKey);
    dkim_set_prescreen(library.get(), Prescreen);

    DKIM_STAT status = DKIM_STAT_OK;
    std::unique_ptr<DKIM, DkimHandle> dkim(
        dkim_verify(library.get(), reinterpret_cast<const unsigned char *>("norvale"), nullptr, &status));
    if (!dkim)
        return notCheckable(QString::fromLatin1(dkim_getresultstr(status)));
    KeyLookupContext context;
    context.lookups = &lookups;
    dkim_set_user_context(dkim.get(), &context);

    RawMessage raw = SplitMessage(message);
    for (QByteArray &field : raw.fields) {
        status = dkim_header(dkim.get(), reinterpret_cast<u_char *>(field.data()), size_t(field.size()));
        if (status != DKIM_STAT_OK)
            return notCheckable(QString::fromLatin1(dkim_getresultstr(status)));
    }
    status = dkim_eoh(dkim.get());
    if (status == DKIM_STAT_OK && !raw.body.isEmpty())
        status = dkim_body(dkim.get(), reinterpret_cast<u_char *>(raw.body.data()), size_t(raw.body.size()));
    if (status == DKIM_STAT_OK)
        status = dkim_eom(dkim.get(), nullptr);

    // A key lookup without a usable answer: whatever the library made of it,
    // the signature could not be checked.
    if (!context.failedName.isEmpty())
        return NoAnswer("dkim-key", T::DkimKeyTitle, context.failedName, context.failed);

    DKIM_SIGINFO **signatures = nullptr;
    int count = 0;
    if (dkim_getsiglist(dkim.get(), &signatures, &count) != DKIM_STAT_OK || count == 0)
        return notCheckable(QString::fromLatin1(dkim_getresultstr(status)));
    // A signature that verified, else the first one judged.
    DKIM_SIGINFO *chosen = nullptr;
    for (int i = 0; i < count && !chosen; ++i) {
        if (DKIM_SIG_CHECK(signatures[i]))
            chosen = signatures[i];
    }
    if (chosen)
        return MakeReadinessFinding(
            "dkim-key", Status::Pass, T::DkimKeyTitle, 0, {}, 0, QString::fromLatin1(KeyName(chosen)));
    for (int i = 0; i < count && !chosen; ++i) {
        if ((dkim_sig_getflags(signatures[i]) & DKIM_SIGFLAG_IGNORE) == 0)
            chosen = signatures[i];
    }
    if (!chosen)
        chosen = signatures[0];

    const QString keyName = QString::fromLatin1(KeyName(chosen));
    const int error = dkim_sig_geterror(chosen);
    const char *errorText = dkim_sig_geterrorstr(error);
    const QString why = QString::fromLatin1(errorText ? errorText : "");
    switch (error) {
    case DKIM_SIGERROR_KEYFAIL:
        return MakeReadinessFinding("dkim-key", Status::Info, T::DkimKeyTitle, T::DnsNoAnswer, { keyName },
            T::DnsNoAnswerAdvice, why);
    case DKIM_SIGERROR_NOKEY:
        return MakeReadinessFinding(
            "dkim-key", Status::Fail, T::DkimKeyTitle, T::DkimKeyMissing, { keyName }, T::DkimKeyAdvice);
    case DKIM_SIGERROR_DNSSYNTAX:
    case DKIM_SIGERROR_MULTIREPLY:
    case DKIM_SIGERROR_KEYVERSION:
    case DKIM_SIGERROR_KEYUNKNOWNHASH:
    case DKIM_SIGERROR_KEYHASHMISMATCH:
    case DKIM_SIGERROR_NOTEMAILKEY:
    case DKIM_SIGERROR_KEYTYPEMISSING:
    case DKIM_SIGERROR_KEYTYPEUNKNOWN:
    case DKIM_SIGERROR_KEYREVOKED:
    case DKIM_SIGERROR_KEYDECODE:
    case DKIM_SIGERROR_KEYTOOSMALL:
        return MakeReadinessFinding("dkim-key", Status::Fail, T::DkimKeyTitle, T::DkimKeyUnusable,
            { keyName }, T::DkimKeyAdvice, why);
    default:
        if (error == DKIM_SIGERROR_OK && dkim_sig_getbh(chosen) == DKIM_SIGBH_MISMATCH)
            return MakeReadinessFinding("dkim-key", Status::Fail, T::DkimKeyTitle, T::DkimKeyBadSignature,
                { keyName }, T::DkimKeyAdvice, QStringLiteral("bh="));
        return MakeReadinessFinding("dkim-key", Status::Fail, T::DkimKeyTitle, T::DkimKeyBadSignature,
            { keyName }, T::DkimKeyAdvice, why);
    }
}

} // namespace

void AddNetworkFindings(ReadinessResult &result, const DnsSettings &dns)
{
    Lookups lookups(dns);
    if (!result.fromDomain.isEmpty()) {
        result.findings << CheckDmarc(result.fromDomain, lookups);
        result.findings << CheckSpf(result.fromDomain, lookups);
    }
    if (!result.signedMessage.isEmpty())
        result.findings << CheckDkimKey(result.signedMessage, lookups);
    result.signedMessage.clear();
}

} // namespace norvale
