#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace norvale {

// Where the network checks ask the DNS, and how long they wait.
struct DnsSettings
{
    // "192.0.2.1" or "192.0.2.1:5353"; empty: the system's resolvers (/etc/resolv.conf).
    QByteArray server;
    int timeoutSeconds = 3; // per query, whatever the answer
};

// The system's resolvers, or the one named by NORVALE_DNS_SERVER ("ADDRESS" or
// "ADDRESS:PORT", IPv4) for a resolver of the user's own.
DnsSettings DnsSettingsFromEnvironment();

struct TxtAnswer
{
    enum class Status
    {
        Found, // the name has TXT records: records holds them
        None, // the name does not exist, or has no TXT records
        Failed // no answer in time, a refused or broken answer: error says why
    };
    Status status = Status::Failed;
    QList<QByteArray> records; // each record's strings joined, as RFC 7208 and 6376 read them
    QString error;
};

// The TXT records of `name`, asked with a time limit (about timeoutSeconds;
// one try per resolver). Never waits longer for a resolver that does not answer.
TxtAnswer LookUpTxt(const QByteArray &name, const DnsSettings &settings);

} // namespace norvale
