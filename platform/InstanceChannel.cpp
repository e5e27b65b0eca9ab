#include "platform/InstanceChannel.h"

#include "base/I18n.h"

#include <QDeadlineTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>

#include <memory>

namespace platform {
namespace {

// One request is one line of JSON; the panel answers "ok" once it has taken it.
constexpr qint64 maximumRequestBytes = 1 << 20;
constexpr int connectTimeoutMs = 2000;
constexpr int answerTimeoutMs = 10000;
constexpr int lockTimeoutMs = 10000;
const QByteArray acceptedAnswer = QByteArrayLiteral("ok\n");

QByteArray encode(const InstanceRequest &request)
{
    const QJsonObject object{{QStringLiteral("files"), QJsonArray::fromStringList(request.files)},
                             {QStringLiteral("preset"), request.preset}};
    return QJsonDocument(object).toJson(QJsonDocument::Compact) + '\n';
}

bool decode(const QByteArray &line, InstanceRequest *request)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return false;
    const QJsonObject object = document.object();
    const QJsonValue files = object.value(QStringLiteral("files"));
    const QJsonValue preset = object.value(QStringLiteral("preset"));
    if (!files.isArray() || !preset.isString())
        return false;
    for (const QJsonValue &file : files.toArray()) {
        if (!file.isString() || file.toString().isEmpty())
            return false;
        request->files.append(file.toString());
    }
    request->preset = preset.toString();
    return true;
}

}  // namespace

InstanceChannel::InstanceChannel(QObject *parent) : QObject(parent) {}

// The server closes with its owner, which removes the socket file.
InstanceChannel::~InstanceChannel() = default;

InstanceChannel::Claim InstanceChannel::claim(const InstanceRequest &request, QString *error)
{
    QString lockPath;
    if (!instanceChannelAddress(&name, &lockPath, error)) {
        name.clear();
        return Claim::Unavailable;
    }
    QLockFile lock(lockPath);
    if (!lock.tryLock(lockTimeoutMs)) {
        *error = I18n::text("Another start of Ollavan Quick holds %1.").arg(lockPath);
        return Claim::Unavailable;
    }

    QString answerError;
    const Claim handed = handOver(request, &answerError);
    if (handed != Claim::Unavailable) {
        *error = answerError;
        return handed;
    }

    // Nobody answered at the address: what is there is a socket a crashed panel left behind.
    QLocalServer::removeServer(name);
    auto listening = std::make_unique<QLocalServer>(this);
    listening->setSocketOptions(QLocalServer::UserAccessOption);
    if (!listening->listen(name)) {
        *error =
            I18n::text("The panel's channel %1 cannot be opened: %2").arg(name, listening->errorString());
        return Claim::Unavailable;
    }
    server = listening.release();
    connect(server, &QLocalServer::newConnection, this, &InstanceChannel::accept);
    return Claim::Listening;
}

// Unavailable when no panel listens at the address.
InstanceChannel::Claim InstanceChannel::handOver(const InstanceRequest &request, QString *error) const
{
    QLocalSocket socket;
    socket.connectToServer(name);
    if (!socket.waitForConnected(connectTimeoutMs))
        return Claim::Unavailable;
    if (!isSameUserPeer(socket.socketDescriptor())) {
        *error = I18n::text("The panel's channel %1 belongs to another user.").arg(name);
        return Claim::NoAnswer;
    }
    socket.write(encode(request));
    QByteArray answer;
    const QDeadlineTimer deadline(answerTimeoutMs);
    while (!answer.contains('\n') && !deadline.hasExpired() &&
           (socket.bytesToWrite() > 0 ? socket.waitForBytesWritten(int(deadline.remainingTime()))
                                      : socket.waitForReadyRead(int(deadline.remainingTime()))))
        answer += socket.readAll();
    if (answer == acceptedAnswer)
        return Claim::HandedOver;
    *error = I18n::text("Another Ollavan Quick panel is running but does not answer.");
    return Claim::NoAnswer;
}

void InstanceChannel::accept()
{
    while (QLocalSocket *socket = server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        if (!isSameUserPeer(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { read(socket); });
        read(socket);
    }
}

void InstanceChannel::read(QLocalSocket *socket)
{
    if (!socket->canReadLine()) {
        if (socket->bytesAvailable() > maximumRequestBytes)
            socket->abort();
        return;
    }
    InstanceRequest request;
    if (!decode(socket->readLine(maximumRequestBytes + 1).trimmed(), &request)) {
        socket->abort();
        return;
    }
    socket->disconnect(this);
    socket->write(acceptedAnswer);
    socket->disconnectFromServer();
    emit requestReceived(request);
}

}  // namespace platform
