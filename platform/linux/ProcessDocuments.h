#pragma once

#include "platform/WindowSystem.h"

#include <QString>

namespace platform {

// The document a process's window shows, from what the process table tells of the process (its executable,
// command line, working folder, open files and root folder) and the window's title, for the programs of the
// table in DocumentPrograms. The title decides between several documents of one process; files are
// candidates when the process has them open or named them on its command line (relative names against its
// working folder), and a name the title shows is looked for beside them too (viewers that browse a folder).
// Paths inside a sandbox become paths outside it: the document portal's files (/run/user/UID/doc/... and
// /run/flatpak/doc/...) under the user's runtime folder, other files through the process's root folder.
class ProcessDocuments
{
public:
    // The system's process table and the user's runtime folder ($XDG_RUNTIME_DIR, else /run/user/UID).
    ProcessDocuments();
    // Another process table and runtime folder, laid out like the system's (tests).
    ProcessDocuments(const QString &processTable, const QString &runtimeFolder);

    ShownDocument shownDocument(quint32 processId, const QString &windowTitle) const;

private:
    QString processTable;
    QString runtimeFolder;
};

}  // namespace platform
