#pragma once

#include <QString>

// The picture an image viewer in front shows, found from its window title.

// The absolute path of the image file a viewer's window title names, looked for as a full path, in the
// folder the title names and in the user's Desktop, Pictures, Downloads and Documents folders (directly,
// then recursively); empty when the title names no image or the file is not found.
QString resolveImageFromWindowTitle(const QString &windowTitle);
