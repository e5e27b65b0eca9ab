#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A private net-snmp agent (tests/support/snmp-agent) on a loopback address, port 161, serving the values
// it was started with. Stopped when the object goes.
class SnmpAgent
{
public:
    explicit SnmpAgent(const QString &address);
    ~SnmpAgent();
    SnmpAgent(const SnmpAgent &) = delete;
    SnmpAgent &operator=(const SnmpAgent &) = delete;

    // A fixed value (TYPE "integer" or "octet" with hex digits).
    void serve(const QString &oid, const QString &type, const QString &value);
    // A value that can be changed with change() while the agent runs.
    void serveChanging(const QString &oid, const QString &type, const QString &value);

    // Starts the agent and waits until it answers; false (and a message) when it does not.
    bool start(QString *message = nullptr);
    bool change(const QString &oid, const QString &type, const QString &value);
    void stop();

    QString address() const { return agentAddress; }

private:
    QString agentAddress;
    QTemporaryDir directory;
    QStringList values;
    bool running = false;
};
