#pragma once

#include "platform/WindowSystem.h"

#include <QString>
#include <QStringList>

namespace platform {

// How a program's window title names its document.
enum class TitleNaming {
    FileName,       // always by the file's name or path
    FileOrMetadata  // by the file's name, or by the title stored in the document when it has one
};

// One program of the Linux desktop that shows documents the panel prints. A contributor supports another
// program by adding its row to the table in DocumentPrograms.cpp.
struct DocumentProgram
{
    const char *name;  // as its users know it
    const char
        *executables;  // file names of its executable, or of the script an interpreter runs; space-separated
    ShownDocument::Program kind;
    // Its window titles while it shows a document, alternatives separated by "|": {doc} stands for the
    // document (a file name, a path, or with FileOrMetadata the document's own title), {*} for any text, and
    // a dash between blanks for any dash (-, – or —). The first alternative that matches decides.
    const char *titles;
    TitleNaming naming;
};

// The table's program for a process: by the file name of its executable, else of the command it was started
// as (a wrapper's or an interpreter's); nullptr when the program is not in the table.
const DocumentProgram *documentProgram(const QString &executable, const QStringList &arguments);
// The document as the title names it, without a mark of unsaved changes (a leading "*", a trailing " *",
// "[*]" or "[modified]"), which sets *unsaved, and without a note in parentheses after a file's name
// ("report.odt (read-only)"); empty when no title of the program matches.
QString documentInTitle(const DocumentProgram &program, const QString &title, bool *unsaved);
// Whether a file of this name is of a kind the program shows and the panel prints (by its suffix).
bool isDocumentOfKind(const QString &fileName, ShownDocument::Program kind);

}  // namespace platform
