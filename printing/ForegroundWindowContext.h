#pragma once

#include "platform/WindowSystem.h"

#include <QString>
#include <QtGlobal>

// What is in front: whether it is this program's own window, its title and its process id, and what it
// shows: on a system with a table of document programs (Linux) the document the table found, otherwise the
// automation ProgID of the application (or the image-viewer marker "Ollavan.ImageViewer"; empty when the
// application is not supported).
struct ForegroundWindowContext
{
    bool ownWindow = false;
    QString progId;
    QString windowTitle;
    quint32 processId = 0;
    platform::ShownDocument document;

    // Whether a click prints from this application, or at least tells why it cannot.
    bool isSupported() const
    {
        return !progId.isEmpty() || (document.status != platform::ShownDocument::Status::NoTable &&
                                     document.status != platform::ShownDocument::Status::NotShown);
    }
};

// Reads the current foreground window through platform::windowSystem().
ForegroundWindowContext foregroundWindowContext();

// The ProgID for a process by the file name of its executable and its window title; empty when unsupported.
QString foregroundProgId(const QString &executablePath, const QString &windowTitle);
