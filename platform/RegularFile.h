#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

class QFile;

namespace platform {

// How opening a document for reading went.
enum class FileOpenStatus {
    Opened,
    Missing,         // nothing by that name (or a link to nothing)
    NotRegularFile,  // a folder, pipe, device, socket or anything else that is not a plain file
    NoAccess,        // the user may not read it
    Failed           // any other failure; `failure` says which
};

struct OpenedFile
{
    FileOpenStatus status = FileOpenStatus::Failed;
    std::unique_ptr<QFile> file;  // open for reading when Opened; its handle is closed with it
    qint64 size = 0;              // the size when it was opened
    QString failure;              // the system's description of a failure (untranslated)
};

// Opens `path` (links followed) for reading when it names a regular file, and never waits on what is not one:
// a pipe or a device is opened without blocking and refused by its type. Linux: open with O_NONBLOCK, fstat,
// then blocking reads again. Windows: GetFileAttributesW, CreateFileW, GetFileType.
OpenedFile openRegularFile(const QString &path);

}  // namespace platform
