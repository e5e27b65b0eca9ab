#pragma once

#include "XSession.h"

#include <QApplication>
#include <QTest>

#include <cstdio>

// The main() of a test that runs on a private X session: starts the session (with a system tray when asked),
// makes it this process's display, points *current at it while the test object `Test` runs in a
// QApplication, then stops it. Returns the test's exit status, 1 when the session cannot start.
template <typename Test>
int runTestInXSession(int argc, char **argv, bool withTray, XSession **current,
                      bool quitOnLastWindowClosed = true)
{
    XSession x;
    QString error;
    if (!x.start(withTray, &error)) {
        std::fprintf(stderr, "cannot start the X session: %s\n", qPrintable(error));
        return 1;
    }
    x.exportToEnvironment();
    *current = &x;
    int result = 0;
    {
        QApplication app(argc, argv);
        app.setQuitOnLastWindowClosed(quitOnLastWindowClosed);
        Test test;
        result = QTest::qExec(&test, argc, argv);
    }
    *current = nullptr;
    x.stop();
    return result;
}
