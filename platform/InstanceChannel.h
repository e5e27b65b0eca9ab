#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtGlobal>

class QLocalServer;
class QLocalSocket;

namespace platform {

// What a later start of the panel hands to the panel that runs: files to print (absolute paths; none just
// brings the panel forward) and the preset to print them with (an id or a title; empty to ask).
struct InstanceRequest
{
    QStringList files;
    QString preset;
};

// The panel's single-instance channel in the user's desktop session: a local socket only this user can reach.
// The first start listens on it; a later start hands its request over and ends. The system parts below say
// where the channel lives and who is at the other end.
class InstanceChannel : public QObject
{
    Q_OBJECT

public:
    enum class Claim {
        Listening,   // no panel ran: this process listens now, and requests arrive through requestReceived
        HandedOver,  // the running panel took the request
        NoAnswer,    // a panel runs but did not take the request
        Unavailable  // the channel cannot be had (no private place for it); nothing listens
    };

    explicit InstanceChannel(QObject *parent = nullptr);
    ~InstanceChannel() override;

    // Hands `request` to the panel that listens or, when none does, listens itself; a socket a crashed panel
    // left behind is replaced. Two starts at once are put in order by a lock file beside the socket. For
    // NoAnswer and Unavailable, *error says why.
    Claim claim(const InstanceRequest &request, QString *error);
    // The socket's path (Linux) or the pipe's name (Windows); empty until claim has found it.
    QString serverName() const { return name; }

signals:
    // A request from another start, from a process of this user.
    void requestReceived(const platform::InstanceRequest &request);

private:
    Claim handOver(const InstanceRequest &request, QString *error) const;
    void accept();
    void read(QLocalSocket *socket);

    QLocalServer *server = nullptr;
    QString name;
};

// The channel's server name (a socket path on Linux, a pipe name on Windows) and the lock file that orders
// two starts, both private to this user and particular to the desktop session. Linux: in $XDG_RUNTIME_DIR
// when it is a folder of this user's alone, else in /tmp/ollavan-quick-UID (made with mode 0700 and checked
// the same way); Windows: a pipe named after the user's SID and session, the lock in the user's temporary
// folder. False with the reason.
bool instanceChannelAddress(QString *serverName, QString *lockFile, QString *error);
// Whether the process at the other end of a connected local socket runs as this user (Linux: the peer's
// credentials; Windows: the client process's token). False when it cannot be told.
bool isSameUserPeer(qintptr socketDescriptor);

}  // namespace platform
