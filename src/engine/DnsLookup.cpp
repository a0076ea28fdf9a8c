#include "DnsLookup.h"

#include <arpa/inet.h>
#include <arpa/nameser.h>
#include <netdb.h>
#include <netinet/in.h>
#include <resolv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

namespace norvale {

namespace {

constexpr int MaxTxtAnswer = 65535;

// Reads "ADDRESS" or "ADDRESS:PORT" (IPv4); false when it is neither.
bool ReadServer(const QByteArray &text, sockaddr_in &server)
{
    QByteArray address = text.trimmed();
    int port = NS_DEFAULTPORT;
    const qsizetype colon = address.lastIndexOf(':');
    if (colon >= 0) {
        bool ok = false;
        port = address.mid(colon + 1).toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            return false;
        address.truncate(colon);
    }
    std::memset(&server, 0, sizeof server);
    server.sin_family = AF_INET;
    server.sin_port = htons(quint16(port));
    return inet_pton(AF_INET, address.constData(), &server.sin_addr) == 1;
}

// The resolver state of one lookup, closed when it goes.
class Resolver
{
public:
    Resolver() { std::memset(&m_state, 0, sizeof m_state); }
    ~Resolver()
    {
        if (m_open)
            res_nclose(&m_state);
    }
    Resolver(const Resolver &) = delete;
    Resolver &operator=(const Resolver &) = delete;

    bool open(const DnsSettings &settings, QString &error)
    {
        if (res_ninit(&m_state) != 0) {
            error = QStringLiteral("resolver configuration cannot be read");
            return false;
        }
        m_open = true;
        if (!settings.server.isEmpty()) {
            sockaddr_in server;
            if (!ReadServer(settings.server, server)) {
                error = QStringLiteral("not a resolver address: ") + QString::fromLatin1(settings.server);
                return false;
            }
            m_state.nscount = 1;
            m_state.nsaddr_list[0] = server;
        }
        // One try per resolver within the time limit; res_nquery never asks
        // the search domains.
        m_state.retrans = std::max(1, settings.timeoutSeconds) / std::max(1, m_state.nscount);
        if (m_state.retrans < 1)
            m_state.retrans = 1;
        m_state.retry = 1;
        m_state.options &= ~(RES_DNSRCH | RES_DEFNAMES);
        return true;
    }

    res_state state() { return &m_state; }

private:
    struct __res_state m_state;
    bool m_open = false;
};

} // namespace

DnsSettings DnsSettingsFromEnvironment()
{
    DnsSettings settings;
    settings.server = qgetenv("NORVALE_DNS_SERVER");
    return settings;
}

TxtAnswer LookUpTxt(const QByteArray &name, const DnsSettings &settings)
{
    TxtAnswer answer;
    Resolver resolver;
    if (!resolver.open(settings, answer.error))
        return answer;

    std::vector<unsigned char> reply(MaxTxtAnswer);
    errno = 0;
    const int length
        = res_nquery(resolver.state(), name.constData(), ns_c_in, ns_t_txt, reply.data(), int(reply.size()));
    if (length < 0) {
        switch (resolver.state()->res_h_errno) {
        case HOST_NOT_FOUND: // no such name
        case NO_DATA: // the name, without TXT records
            answer.status = TxtAnswer::Status::None;
            return answer;
        case TRY_AGAIN:
            answer.error = errno == ECONNREFUSED ? QStringLiteral("the DNS refused the query")
                : errno == ETIMEDOUT             ? QStringLiteral("no answer from the DNS in time")
                                                 : QStringLiteral("the DNS failed");
            return answer;
        default:
            answer.error = QStringLiteral("the DNS refused the query or failed");
            return answer;
        }
    }

    ns_msg message;
    if (ns_initparse(reply.data(), length, &message) != 0) {
        answer.error = QStringLiteral("the DNS answer cannot be read");
        return answer;
    }
    const int count = ns_msg_count(message, ns_s_an);
    for (int i = 0; i < count; ++i) {
        ns_rr record;
        if (ns_parserr(&message, ns_s_an, i, &record) != 0) {
            answer.error = QStringLiteral("the DNS answer cannot be read");
            return answer;
        }
        if (ns_rr_type(record) != ns_t_txt || ns_rr_class(record) != ns_c_in)
            continue; // the CNAME records of a chain
        // A TXT record is one or more strings, each after its length byte.
        const unsigned char *data = ns_rr_rdata(record);
        const int size = ns_rr_rdlen(record);
        QByteArray text;
        for (int at = 0; at < size;) {
            const int part = data[at];
            if (at + 1 + part > size) {
                answer.error = QStringLiteral("the DNS answer cannot be read");
                return answer;
            }
            text.append(reinterpret_cast<const char *>(data + at + 1), part);
            at += 1 + part;
        }
        answer.records << text;
    }
    answer.status = answer.records.isEmpty() ? TxtAnswer::Status::None : TxtAnswer::Status::Found;
    return answer;
}

} // namespace norvale
