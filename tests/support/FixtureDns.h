#pragma once

#include "DnsLookup.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

// A DNS server on a loopback address that serves only the TXT records a test
// gives it (dnsmasq, started by the test): names under "example" that it does
// not know do not exist, and nothing is asked of any other server. Every
// query is written to a log, so a test can tell whether anything was looked up.
class FixtureDns
{
public:
    // Name and text; a text that starts with a quote is written as it stands:
    // "one","two" is one record of two strings.
    using Records = QList<std::pair<QByteArray, QByteArray>>;

    // Starts the server; ok() says whether it answers.
    explicit FixtureDns(const Records &records)
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("dnsmasq"),
            { QStringLiteral("/usr/sbin"), QStringLiteral("/sbin"), QStringLiteral("/usr/bin") });
        if (program.isEmpty() || !m_dir.isValid())
            return;
        QByteArray config
            = "no-resolv\nno-hosts\nlocal=/example/\nlisten-address=127.0.0.1\nbind-interfaces\n"
              "log-queries\nlog-facility="
            + QFile::encodeName(logPath()) + "\ntxt-record=ready.norvale-test.example,ready\n";
        for (const auto &[name, text] : records)
            config += "txt-record=" + name + "," + (text.startsWith('"') ? text : "\"" + text + "\"") + "\n";
        QFile file(m_dir.filePath(QStringLiteral("dnsmasq.conf")));
        if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
            return;
        file.close();
        // A port free a moment ago; another try if it was taken meanwhile.
        for (int attempt = 0; attempt < 5 && !m_ready; ++attempt) {
            m_port = FreePort();
            m_process.start(program,
                { QStringLiteral("--keep-in-foreground"), QStringLiteral("--pid-file="),
                    QStringLiteral("--user=") + qEnvironmentVariable("USER", QStringLiteral("root")),
                    QStringLiteral("--conf-file=") + file.fileName(),
                    QStringLiteral("--port=%1").arg(m_port) });
            m_ready = m_process.waitForStarted(5000) && answers();
            if (!m_ready)
                stop();
        }
    }
    ~FixtureDns() { stop(); }

    bool ok() const { return m_ready; }
    QByteArray server() const { return "127.0.0.1:" + QByteArray::number(m_port); }
    norvale::DnsSettings settings() const { return { server(), 2 }; }
    QString logPath() const { return m_dir.filePath(QStringLiteral("queries.log")); }
    // The TXT names asked since the server answered its own readiness query.
    QList<QByteArray> queries() const
    {
        QList<QByteArray> names;
        QFile log(logPath());
        if (!log.open(QIODevice::ReadOnly))
            return names;
        for (const QByteArray &line : log.readAll().split('\n')) {
            const qsizetype at = line.indexOf("query[TXT] ");
            if (at < 0)
                continue;
            const QByteArray name = line.mid(at + 11).split(' ').value(0);
            if (name != "ready.norvale-test.example")
                names << name;
        }
        return names;
    }

    static quint16 FreePort()
    {
        SilentServer socket;
        return socket.port();
    }

    // A UDP socket on a loopback port that takes queries and never answers.
    class SilentServer
    {
    public:
        SilentServer()
        {
            m_socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
            sockaddr_in address = {};
            address.sin_family = AF_INET;
            address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            socklen_t size = sizeof address;
            if (m_socket >= 0 && ::bind(m_socket, reinterpret_cast<sockaddr *>(&address), size) == 0
                && ::getsockname(m_socket, reinterpret_cast<sockaddr *>(&address), &size) == 0)
                m_port = ntohs(address.sin_port);
        }
        ~SilentServer()
        {
            if (m_socket >= 0)
                ::close(m_socket);
        }
        SilentServer(const SilentServer &) = delete;
        SilentServer &operator=(const SilentServer &) = delete;
        quint16 port() const { return m_port; }
        QByteArray server() const { return "127.0.0.1:" + QByteArray::number(m_port); }

    private:
        int m_socket = -1;
        quint16 m_port = 0;
    };

private:
    bool answers()
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 10000 && m_process.state() == QProcess::Running) {
            if (norvale::LookUpTxt("ready.norvale-test.example", { server(), 1 }).status
                == norvale::TxtAnswer::Status::Found)
                return true;
            QThread::msleep(50);
        }
        return false;
    }

    void stop()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(5000)) {
                m_process.kill();
                m_process.waitForFinished(5000);
            }
        }
    }

    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
    bool m_ready = false;
};
