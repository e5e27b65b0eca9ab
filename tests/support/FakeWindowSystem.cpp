#include "FakeWindowSystem.h"

#include <QMutexLocker>

namespace ollavan::testsupport {

FakeWindowSystem::FakeWindowSystem()
{
    platform::setWindowSystemForTesting(this);
}

FakeWindowSystem::~FakeWindowSystem()
{
    platform::setWindowSystemForTesting(nullptr);
}

void FakeWindowSystem::addWindow(quintptr window, quint32 processId, const QString &title)
{
    QMutexLocker lock(&mutex);
    Window entry;
    entry.processId = processId;
    entry.title = title;
    windows.insert(window, entry);
    if (!processes.contains(processId))
        processes.insert(processId, QString());
}

void FakeWindowSystem::removeWindow(quintptr window)
{
    QMutexLocker lock(&mutex);
    windows.remove(window);
    if (foreground == window)
        foreground = 0;
}

void FakeWindowSystem::setWindowTitle(quintptr window, const QString &title)
{
    QMutexLocker lock(&mutex);
    if (windows.contains(window))
        windows[window].title = title;
}

void FakeWindowSystem::setWindowVisible(quintptr window, bool visible)
{
    QMutexLocker lock(&mutex);
    if (windows.contains(window))
        windows[window].visible = visible;
}

void FakeWindowSystem::setWindowMinimized(quintptr window, bool minimized)
{
    QMutexLocker lock(&mutex);
    if (windows.contains(window))
        windows[window].minimized = minimized;
}

void FakeWindowSystem::setForegroundWindow(quintptr window)
{
    QMutexLocker lock(&mutex);
    foreground = window;
}

void FakeWindowSystem::addProcess(quint32 processId, const QString &imagePath)
{
    QMutexLocker lock(&mutex);
    processes.insert(processId, imagePath);
}

void FakeWindowSystem::endProcess(quint32 processId)
{
    QMutexLocker lock(&mutex);
    processes.remove(processId);
    for (auto window = windows.begin(); window != windows.end();) {
        if (window->processId == processId) {
            if (foreground == window.key())
                foreground = 0;
            window = windows.erase(window);
        } else {
            ++window;
        }
    }
}

void FakeWindowSystem::setCurrentProcessId(quint32 processId)
{
    QMutexLocker lock(&mutex);
    ownProcessId = processId;
}

QStringList FakeWindowSystem::calls() const
{
    QMutexLocker lock(&mutex);
    return recorded;
}

void FakeWindowSystem::clearCalls()
{
    QMutexLocker lock(&mutex);
    recorded.clear();
}

void FakeWindowSystem::record(const QString &call)
{
    recorded.append(call);
}

quintptr FakeWindowSystem::foregroundWindow()
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("foregroundWindow"));
    return foreground;
}

quint32 FakeWindowSystem::windowProcessId(quintptr window)
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("windowProcessId %1").arg(window));
    return windows.value(window).processId;
}

QString FakeWindowSystem::windowTitle(quintptr window, int maxLength)
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("windowTitle %1").arg(window));
    return windows.value(window).title.left(qMax(0, maxLength));
}

bool FakeWindowSystem::isWindowVisible(quintptr window)
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("isWindowVisible %1").arg(window));
    return windows.contains(window) && windows.value(window).visible;
}

bool FakeWindowSystem::isWindowMinimized(quintptr window)
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("isWindowMinimized %1").arg(window));
    return windows.contains(window) && windows.value(window).minimized;
}

bool FakeWindowSystem::processExists(quint32 processId)
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("processExists %1").arg(processId));
    return processId != 0 && processes.contains(processId);
}

bool FakeWindowSystem::processImagePath(quint32 processId, QString *path)
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("processImagePath %1").arg(processId));
    const QString image = processes.value(processId);
    if (image.isEmpty())
        return false;
    if (path)
        *path = image;
    return true;
}

platform::ShownDocument FakeWindowSystem::shownDocument(quint32 processId, const QString &)
{
    record(QStringLiteral("shownDocument %1").arg(processId));
    return platform::ShownDocument();
}

quint32 FakeWindowSystem::currentProcessId()
{
    QMutexLocker lock(&mutex);
    return ownProcessId;
}

}  // namespace ollavan::testsupport
