#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// A private X session for integration tests: Xvfb on a free display number, the openbox window manager
// and, on request, a trayer notification area. Everything it started is stopped by stop() or the
// destructor. DISPLAY is left alone; callers export display() where they need it.
class XSession
{
public:
    XSession() = default;
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // Starts the server and the window manager (and the tray when asked); false with a reason otherwise.
    bool start(bool withTray = false, QString *error = nullptr);
    void stop();

    bool isRunning() const { return !displayName.isEmpty(); }
    // ":N" while running.
    QString display() const { return displayName; }

    // Runs a program with DISPLAY set to this session; returns its standard output (trimmed) and sets
    // *exitCode when given. Waits at most timeoutMs.
    QString run(const QString &program, const QStringList &arguments, int *exitCode = nullptr,
                int timeoutMs = 15000) const;
    QString xdotool(const QStringList &arguments, int *exitCode = nullptr) const;

    // Starts a long-running client of this session (a test window); it is killed by stop().
    QProcess *startClient(const QString &program, const QStringList &arguments);

    // Waits until a window whose name matches the pattern exists; returns its id, 0 on time-out.
    quint32 waitForWindow(const QString &namePattern, int timeoutMs = 10000) const;

    // Sets DISPLAY and QT_QPA_PLATFORM=xcb in this process's environment (before QApplication exists).
    void exportToEnvironment() const;

private:
    bool startProcess(const QString &program, const QStringList &arguments, QString *error);
    bool waitForWindowManager(int timeoutMs) const;
    bool waitForTray(int timeoutMs) const;

    QString displayName;
    std::vector<std::unique_ptr<QProcess>> processes;
};
