#pragma once

#include "platform/WindowSystem.h"

#include <QHash>
#include <QMutex>
#include <QString>
#include <QStringList>

namespace ollavan::testsupport {

// A desktop of made-up windows and processes, installed as the process's window system for its lifetime.
// Thread-safe, so a print worker and the GUI thread may both ask it. Every query is recorded.
class FakeWindowSystem : public platform::WindowSystem
{
public:
    struct Window
    {
        quint32 processId = 0;
        QString title;
        bool visible = true;
        bool minimized = false;
    };

    FakeWindowSystem();
    ~FakeWindowSystem() override;
    FakeWindowSystem(const FakeWindowSystem &) = delete;
    FakeWindowSystem &operator=(const FakeWindowSystem &) = delete;

    // A window owned by a process; the process is made to exist (with no known image path unless one
    // was given through addProcess).
    void addWindow(quintptr window, quint32 processId, const QString &title = QString());
    void removeWindow(quintptr window);
    void setWindowTitle(quintptr window, const QString &title);
    void setWindowVisible(quintptr window, bool visible);
    void setWindowMinimized(quintptr window, bool minimized);
    void setForegroundWindow(quintptr window);

    // A process and the path of its executable (empty: the path cannot be read).
    void addProcess(quint32 processId, const QString &imagePath = QString());
    // The process ends: it no longer exists, and neither do its windows.
    void endProcess(quint32 processId);
    void setCurrentProcessId(quint32 processId);

    // Queries in order, for example "windowProcessId 4097" or "processExists 77".
    QStringList calls() const;
    void clearCalls();

    quintptr foregroundWindow() override;
    quint32 windowProcessId(quintptr window) override;
    QString windowTitle(quintptr window, int maxLength) override;
    bool isWindowVisible(quintptr window) override;
    bool isWindowMinimized(quintptr window) override;
    bool processExists(quint32 processId) override;
    bool processImagePath(quint32 processId, QString *path) override;
    // A desktop without a table of document programs.
    platform::ShownDocument shownDocument(quint32 processId, const QString &windowTitle) override;
    quint32 currentProcessId() override;

private:
    void record(const QString &call);

    mutable QMutex mutex;
    QHash<quintptr, Window> windows;
    QHash<quint32, QString> processes;
    quintptr foreground = 0;
    quint32 ownProcessId = 1;
    QStringList recorded;
};

}  // namespace ollavan::testsupport
