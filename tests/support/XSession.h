#pragma once

#include <QApplication>
#include <QProcess>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdio>
#include <memory>
#include <vector>

// A private X session for integration tests: Xvfb (1280 x 1024) on a display number it picks itself, the
// openbox window manager, the trayer notification area at the bottom and a session bus for the clients
// (desktop programs that refuse to run without one; this process stays off it). Everything it started is
// stopped with it, and also when the test process dies. It is an X client of its own too, one that grabs keys
// as another program would (each grab returns once the server has processed it).
class XSession
{
public:
    XSession() = default;
    ~XSession();
    XSession(const XSession &) = delete;
    XSession &operator=(const XSession &) = delete;

    // Starts the server, the window manager and the tray and waits for them; false with the reason.
    bool start(QString *error);
    QString display() const { return displayName; }
    // Runs a program (xdotool, for example) on this display; its standard output, trimmed.
    QString run(const QString &program, const QStringList &arguments) const;
    // A client of this display that runs until the session stops (in that working folder when one is given).
    QProcess *startClient(const QString &program, const QStringList &arguments,
                          const QString &workingFolder = QString());
    // The first window xdotool finds with these search options (by default a visible window whose name
    // matches the pattern); 0 after 20 s.
    quint32 waitForWindow(const QString &pattern,
                          const QStringList &options = {"--onlyvisible", "--name"}) const;

    // True when the server let this client grab the key (a Latin-1 keysym) with exactly these modifiers.
    bool grabKey(char key, uint16_t modifiers);
    // The modifiers and lock states the server reports now.
    uint16_t modifierState() const;

private:
    xcb_keycode_t keycode(char key) const;

    QString displayName;
    QString busAddress;
    std::vector<std::unique_ptr<QProcess>> processes;
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;
};

// The main() of a test on a private X session: starts the session, makes it this process's display (xcb)
// and points *current at it while the test object runs in a QApplication that does not quit when its last
// window closes. 1 when the session cannot start.
template <typename Test> int runTestInXSession(int argc, char **argv, XSession **current)
{
    XSession session;
    QString error;
    if (!session.start(&error)) {
        std::fprintf(stderr, "cannot start the X session: %s\n", qPrintable(error));
        return 1;
    }
    qputenv("DISPLAY", session.display().toLocal8Bit());
    qputenv("QT_QPA_PLATFORM", "xcb");
    *current = &session;
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    Test test;
    return QTest::qExec(&test, argc, argv);
}
