#include "SnmpAgent.h"

#include <QCoreApplication>
#include <QProcess>

namespace {

QString script()
{
    return QStringLiteral(OLLAVAN_SOURCE_DIR "/tests/support/snmp-agent");
}

bool runScript(const QStringList &arguments, QString *output)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("SNMP_AGENT_OWNER"),
                       QString::number(QCoreApplication::applicationPid()));
    process.setProcessEnvironment(environment);
    process.start(script(), arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        if (output)
            *output = QStringLiteral("snmp-agent did not finish");
        return false;
    }
    if (output)
        *output = QString::fromLocal8Bit(process.readAll());
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

}  // namespace

SnmpAgent::SnmpAgent(const QString &address) : agentAddress(address) {}

SnmpAgent::~SnmpAgent()
{
    stop();
}

void SnmpAgent::serve(const QString &oid, const QString &type, const QString &value)
{
    values.append(QStringLiteral("%1=%2:%3").arg(oid, type, value));
}

void SnmpAgent::serveChanging(const QString &oid, const QString &type, const QString &value)
{
    values.append(QStringLiteral("~%1=%2:%3").arg(oid, type, value));
}

bool SnmpAgent::start(QString *message)
{
    if (!directory.isValid()) {
        if (message)
            *message = QStringLiteral("no temporary folder for the agent");
        return false;
    }
    running = runScript(QStringList{"start", directory.path(), agentAddress} + values, message);
    return running;
}

bool SnmpAgent::change(const QString &oid, const QString &type, const QString &value)
{
    return runScript({"set", directory.path(), oid, type, value}, nullptr);
}

void SnmpAgent::stop()
{
    if (!running)
        return;
    runScript({"stop", directory.path()}, nullptr);
    running = false;
}
