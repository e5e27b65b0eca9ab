#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace ollavan::testsupport {

// One job as the capture backend of the private print server saved it.
struct CapturedJob
{
    int id = 0;
    QString queue;
    int copies = 0;                  // the backend's copies argument
    QString optionText;              // the backend's options argument, as given
    QMap<QString, QString> options;  // the same, parsed (name -> value)
    QString title;
    QString user;
    QString
        dataPath;  // the document as the filters delivered it (PDF for PPD queues, the raw bytes otherwise)
};

// A private CUPS server for integration tests, on 127.0.0.1 and a free high port, with its own ServerRoot,
// spool, state, logs and a capture backend; it runs beside any system print server and never touches it.
//
//     PrivateCups cups;
//     QVERIFY2(cups.start(&error), qPrintable(error));   // in initTestCase
//     QVERIFY(cups.addQueue("office"));                   // PPD queue: PageSize A3 A4 A5 A6 B4 B5 Letter
//     Legal,
//                                                        // Duplex, ColorModel
//     QVERIFY(cups.addQueue("plain", PrivateCups::Raw));  // no PPD
//     ... lp, the program, QPrinter ...
//     QVERIFY(cups.waitForJobs("office", 1));
//     const CapturedJob job = cups.jobs("office").last();
//
// While it runs, the process environment points every CUPS client of this process and of its child processes
// at it: CUPS_SERVER=127.0.0.1:PORT, CUPS_SERVERROOT=<its client folder> (no system lpoptions, no client.conf
// of the machine), HOME=<a fresh private home> (so ~/.cups/lpoptions is the test's own) unless
// keepHome is set before start, and no PRINTER or LPDEST. stop() (and the destructor) ends the server, waits
// for it and puts the environment back. A watchdog ends the server as well when the test process dies.
// All methods are for the thread that started it; other threads may print and use libcups freely.
class PrivateCups
{
public:
    enum QueueKind { Ppd, Raw };

    PrivateCups();
    ~PrivateCups();
    PrivateCups(const PrivateCups &) = delete;
    PrivateCups &operator=(const PrivateCups &) = delete;

    // Leave HOME as it is (set before start()).
    bool keepHome = false;

    // Starts the server and waits until it answers; false with the reason in *error.
    bool start(QString *error = nullptr);
    // Ends the server and removes its folder; safe to call twice.
    void stop();
    bool isRunning() const;

    quint16 port() const { return serverPort; }
    // "127.0.0.1:PORT", the value of CUPS_SERVER.
    QString server() const;
    // The server's folder (etc/, log/, jobs/, client/, home/).
    QString directory() const;
    // The private HOME (empty with keepHome).
    QString home() const;
    // The user's options file of the private HOME: HOME/.cups/lpoptions.
    QString userOptionsPath() const;

    // Adds an enabled, accepting capture queue. Names may not contain blanks or slashes (a CUPS rule).
    bool addQueue(const QString &name, QueueKind kind = Ppd, QString *error = nullptr);
    // Sets the server's default destination (lpadmin -d); an empty name is refused.
    bool setServerDefault(const QString &name, QString *error = nullptr);
    // Sets the user's default destination in the private HOME's lpoptions (lpoptions -d).
    bool setUserDefault(const QString &name, QString *error = nullptr);
    // Sets a queue's default for an option on the server (lpadmin -p NAME -o OPTION-default=VALUE), e.g.
    // setQueueDefault("office", "sides", "two-sided-long-edge").
    bool setQueueDefault(const QString &name, const QString &option, const QString &value,
                         QString *error = nullptr);
    // Sets printer-state-reasons without a job; an empty list clears them.
    bool setReasons(const QString &name, const QStringList &reasons, QString *error = nullptr);
    // Stops a queue (cupsdisable, with an optional reason text) or starts it again (cupsenable).
    bool disableQueue(const QString &name, const QString &reason = QString(), QString *error = nullptr);
    bool enableQueue(const QString &name, QString *error = nullptr);
    // Deletes a queue.
    bool removeQueue(const QString &name, QString *error = nullptr);

    // The completely captured jobs of a queue, oldest first.
    QList<CapturedJob> jobs(const QString &queue) const;
    // Waits until the queue has at least `count` captured jobs; false after the timeout.
    bool waitForJobs(const QString &queue, int count, int timeoutMs = 60000) const;

    // Runs a program (lp, lpstat, lpoptions, ...) with the server's environment; answers its exit code (-1
    // when it did not start or time out) with stdout and stderr in *output.
    int run(const QString &program, const QStringList &arguments, QString *output = nullptr,
            int timeoutMs = 60000) const;

private:
    bool script(const QString &name, const QStringList &arguments, QString *error) const;
    void setEnvironment();
    void restoreEnvironment();

    std::unique_ptr<QTemporaryDir> folder;
    quint16 serverPort = 0;
    bool running = false;
    QMap<QByteArray, QByteArray> savedEnvironment;
    QList<QByteArray> unsetEnvironment;
};

// The folder of the cupsd scripts (tests/support/cups).
QString cupsScriptFolder();

}  // namespace ollavan::testsupport
