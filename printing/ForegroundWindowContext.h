#pragma once

#include <QString>
#include <QtGlobal>

// What is in front: whether it is this program's own window, the automation ProgID of the application (or
// the image-viewer marker "Ollavan.ImageViewer"; empty when the application is not supported), its title
// and its process id.
struct ForegroundWindowContext
{
    bool ownWindow = false;
    QString progId;
    QString windowTitle;
    quint32 processId = 0;
};

// Reads the current foreground window through platform::windowSystem().
ForegroundWindowContext foregroundWindowContext();

// The ProgID for a process by the file name of its executable and its window title; empty when unsupported.
QString foregroundProgId(const QString &executablePath, const QString &windowTitle);
