#pragma once

#include "Process.h"
#include "SpamCheck.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>

namespace norvale {

// A team's own checker daemons, as "HOST:PORT[,HOST:PORT...]".
struct SpamdPool
{
    struct Host
    {
        QString name; // a host name or address; an IPv6 address without its brackets
        quint16 port = 0;
    };
    QList<Host> hosts;

    // Reads the list; none when it is empty or any entry lacks a host or a
    // port from 1 to 65535.
    static std::optional<SpamdPool> parse(QStringView text);
    // The hosts as given, for messages: "a:783, b:783".
    QString describe() const;
    // The hosts that share the port of hosts[first], in list order from
    // `first` on: the client's own host list takes one port for all.
    QStringList hostsSharingPort(qsizetype first) const;
};

// One check on a pool through the daemon's client and its own host list and
// fail-over. When the client cannot get an answer (a host died mid-check, a
// group of hosts is out of reach), the message is tried again starting from
// the next host, until every host has been tried; only then is the check a
// failure (NotStarted, naming the hosts). A pool's answer is never replaced by
// the cold checker's, and its second run is the pool's own business: the
// learning files live on the servers.
class SpamdPoolJob : public CheckerJob
{
    Q_OBJECT

public:
    SpamdPoolJob(const SpamdPool &pool, const QString &client, QObject *parent = nullptr);

    void start(const QString &messagePath, const QString &reportPath, bool online) override;
    bool isRunning() const override { return m_running; }
    void cancel() override;
    void setTimeLimit(std::chrono::milliseconds limit) { m_timeLimit = limit; }
    // The attempts the last check took.
    int attempts() const { return m_attempt; }

private:
    void attempt();
    void onFinished(const ProcessOutcome &outcome);
    void end(const SpamCheckResult &result);

    SpamdPool m_pool;
    QString m_client;
    Process m_process;
    QString m_messagePath;
    QString m_reportPath;
    QStringList m_errors;
    int m_attempt = 0;
    qsizetype m_first = 0;
    bool m_running = false;
    std::chrono::milliseconds m_timeLimit = std::chrono::milliseconds(60000);
};

} // namespace norvale
