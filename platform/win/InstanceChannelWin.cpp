// Where the single-instance channel lives on Windows: a named pipe named after the user's SID and the session
// it runs in. QLocalServer's user-only access option gives the pipe an ACL for this user alone; the peer
// check compares the token users of both ends.
#include "platform/InstanceChannel.h"

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "platform/win/HandleGuard.h"

#include <QDir>

#include <windows.h>

#include <sddl.h>

#include <vector>

namespace platform {
namespace {

// The user of a process's token as a SID string ("S-1-5-21-..."); empty when it cannot be read.
QString processUserSid(HANDLE process)
{
    HANDLE token = nullptr;
    if (!process || !OpenProcessToken(process, TOKEN_QUERY, &token))
        return QString();
    const HandleGuard tokenGuard(token);
    DWORD size = 0;
    GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    if (size == 0 || !GetTokenInformation(token, TokenUser, buffer.data(), size, &size))
        return QString();
    LPWSTR text = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER *>(buffer.data())->User.Sid, &text))
        return QString();
    const QString sid = QString::fromWCharArray(text);
    LocalFree(text);
    return sid;
}

}  // namespace

bool instanceChannelAddress(QString *serverName, QString *lockFile, QString *error)
{
    const QString sid = processUserSid(GetCurrentProcess());
    DWORD session = 0;
    if (sid.isEmpty() || !ProcessIdToSessionId(GetCurrentProcessId(), &session)) {
        *error =
            I18n::text("The panel's channel cannot be named: %1").arg(qt_error_string(int(GetLastError())));
        return false;
    }
    const QString base = QLatin1String(AppIdentity::DesktopEntryId) + QLatin1Char('-') + sid +
                         QLatin1Char('-') + QString::number(session);
    *serverName = base;
    *lockFile = QDir::tempPath() + QLatin1Char('/') + base + QStringLiteral(".lock");
    return true;
}

bool isSameUserPeer(qintptr socketDescriptor)
{
    const HANDLE pipe = reinterpret_cast<HANDLE>(socketDescriptor);
    ULONG client = 0;
    ULONG server = 0;
    if (!GetNamedPipeClientProcessId(pipe, &client) || !GetNamedPipeServerProcessId(pipe, &server))
        return false;
    const DWORD other = client == GetCurrentProcessId() ? server : client;
    const HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, other);
    const HandleGuard processGuard(process);
    const QString otherSid = processUserSid(process);
    return !otherSid.isEmpty() && otherSid == processUserSid(GetCurrentProcess());
}

}  // namespace platform
