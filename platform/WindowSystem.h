#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>

namespace platform {

// The document a program's window shows, as the system's table of document programs finds it.
struct ShownDocument
{
    enum class Status {
        NoTable,   // this system tells programs apart another way (Windows: by their automation ProgIDs)
        NotShown,  // the program is not in the table, or its window shows no document
        Found,     // `path` names the readable file the window shows
        Unsure,    // a program of the table, but which file its window shows cannot be told for certain
        Gone       // the file the window names was deleted or renamed after the program opened it
    };
    // The kind of program, and so the kind of file it shows.
    enum class Program { PdfViewer, OfficeSuite, ImageViewer };

    Status status = Status::NoTable;
    Program program = Program::PdfViewer;
    QString programName;          // as its users know it ("Document Viewer", "LibreOffice Writer")
    QString name;                 // the document's name as the title shows it; the file's name when found
    QString path;                 // Found: the file, readable from outside the program's sandbox
    bool unsavedChanges = false;  // the title marks changes that have not been saved

    bool operator==(const ShownDocument &other) const
    {
        return status == other.status && program == other.program && programName == other.programName &&
               name == other.name && path == other.path && unsavedChanges == other.unsavedChanges;
    }
    bool operator!=(const ShownDocument &other) const { return !(*this == other); }
};

// Windows and processes of the desktop session, as the print routes and the foreground poll need them.
// A window is an opaque handle (HWND on Windows, an X11 window id on Linux); 0 means "no window".
class WindowSystem
{
public:
    virtual ~WindowSystem() = default;

    // The window the user is working in (GetForegroundWindow / _NET_ACTIVE_WINDOW); 0 when there is none.
    virtual quintptr foregroundWindow() = 0;
    // The id of the process that owns the window (GetWindowThreadProcessId / _NET_WM_PID); 0 when unknown.
    virtual quint32 windowProcessId(quintptr window) = 0;
    // The window's title, at most maxLength UTF-16 units; empty when it has none.
    virtual QString windowTitle(quintptr window, int maxLength) = 0;
    virtual bool isWindowVisible(quintptr window) = 0;
    virtual bool isWindowMinimized(quintptr window) = 0;
    // Whether a process with this id exists and may be queried (OpenProcess with limited query rights).
    virtual bool processExists(quint32 processId) = 0;
    // The full path of the process's executable; false when it cannot be read.
    virtual bool processImagePath(quint32 processId, QString *path) = 0;
    // The document a window of the process shows, by the system's table of document programs, the process
    // and the window's title; Status::NoTable on systems without such a table.
    virtual ShownDocument shownDocument(quint32 processId, const QString &windowTitle) = 0;
    virtual quint32 currentProcessId() = 0;
};

// The process's window system: the platform's own unless a test installed another.
WindowSystem &windowSystem();
// Installs a replacement (tests); nullptr goes back to the platform's own. Not owned.
void setWindowSystemForTesting(WindowSystem *replacement);
// Defined once per platform (platform/win, platform/linux).
std::unique_ptr<WindowSystem> createSystemWindowSystem();

}  // namespace platform
