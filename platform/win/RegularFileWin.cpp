#include "platform/RegularFile.h"
#include "platform/win/HandleGuard.h"

#include <QDir>
#include <QFile>

#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <string>

namespace platform {
namespace {

FileOpenStatus statusOf(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return FileOpenStatus::Missing;
    case ERROR_ACCESS_DENIED:
        return FileOpenStatus::NoAccess;
    default:
        return FileOpenStatus::Failed;
    }
}

OpenedFile failed(FileOpenStatus status, DWORD error)
{
    OpenedFile opened;
    opened.status = status;
    if (error != 0)
        opened.failure = qt_error_string(int(error));
    return opened;
}

}  // namespace

OpenedFile openRegularFile(const QString &path)
{
    const std::wstring name = QDir::toNativeSeparators(path).toStdWString();
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        return failed(statusOf(error), error);
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return failed(FileOpenStatus::NotRegularFile, 0);

    const HANDLE handle =
        CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return failed(statusOf(error), error);
    }
    HandleGuard guard(handle);
    if (GetFileType(handle) != FILE_TYPE_DISK)
        return failed(FileOpenStatus::NotRegularFile, 0);
    LARGE_INTEGER size = {};
    if (!GetFileSizeEx(handle, &size)) {
        const DWORD error = GetLastError();
        return failed(FileOpenStatus::Failed, error);
    }

    const int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (descriptor < 0)
        return failed(FileOpenStatus::Failed, ERROR_INVALID_HANDLE);
    guard.release();  // the descriptor owns the handle now
    OpenedFile opened;
    opened.file = std::make_unique<QFile>();
    if (!opened.file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        _close(descriptor);
        opened.failure = opened.file->errorString();
        opened.file.reset();
        return opened;
    }
    opened.status = FileOpenStatus::Opened;
    opened.size = qint64(size.QuadPart);
    return opened;
}

}  // namespace platform
