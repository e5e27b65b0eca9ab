#include "platform/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {
namespace {

// Closes a descriptor on every way out until it is handed over.
class DescriptorGuard
{
public:
    explicit DescriptorGuard(int descriptor) : descriptor(descriptor) {}
    ~DescriptorGuard()
    {
        if (descriptor >= 0)
            ::close(descriptor);
    }
    DescriptorGuard(const DescriptorGuard &) = delete;
    DescriptorGuard &operator=(const DescriptorGuard &) = delete;
    void release() { descriptor = -1; }

private:
    int descriptor;
};

FileOpenStatus statusOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return FileOpenStatus::Missing;
    case EACCES:
    case EPERM:
        return FileOpenStatus::NoAccess;
    case ENXIO:  // a socket, or a device without its driver
    case ENODEV:
    case EISDIR:
        return FileOpenStatus::NotRegularFile;
    default:
        return FileOpenStatus::Failed;
    }
}

OpenedFile failed(FileOpenStatus status, int error)
{
    OpenedFile opened;
    opened.status = status;
    if (error != 0)
        opened.failure = qt_error_string(error);
    return opened;
}

}  // namespace

OpenedFile openRegularFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    const int descriptor = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) {
        const int error = errno;
        return failed(statusOf(error), error);
    }
    DescriptorGuard guard(descriptor);
    struct stat info = {};
    if (::fstat(descriptor, &info) != 0) {
        const int error = errno;
        return failed(FileOpenStatus::Failed, error);
    }
    if (!S_ISREG(info.st_mode))
        return failed(FileOpenStatus::NotRegularFile, 0);
    const int flags = ::fcntl(descriptor, F_GETFL);
    if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        return failed(FileOpenStatus::Failed, error);
    }

    OpenedFile opened;
    opened.file = std::make_unique<QFile>();
    if (!opened.file->open(descriptor, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        opened.failure = opened.file->errorString();
        opened.file.reset();
        return opened;
    }
    guard.release();
    opened.status = FileOpenStatus::Opened;
    opened.size = qint64(info.st_size);
    return opened;
}

}  // namespace platform
