// The shell's print verb and page count against a shell that records every call.
#include "platform/Shell.h"
#include "printing/ShellPrinting.h"

#include <QDir>
#include <QtTest>

namespace {

class RecordingShell : public platform::Shell
{
public:
    QStringList calls;
    platform::ShellExecuteRequest request;
    bool succeed = true;
    quint32 error = 0;
    platform::ProcessHandle process = 0;
    bool hasPageCount = false;
    quint32 pages = 0;

    bool execute(const platform::ShellExecuteRequest &given, platform::ProcessHandle *started,
                 quint32 *code) override
    {
        calls.append(QStringLiteral("execute"));
        request = given;
        if (!succeed) {
            *code = error;
            return false;
        }
        *started = process;
        return true;
    }
    void waitForInputIdle(platform::ProcessHandle handle, quint32 milliseconds) override
    {
        calls.append(QStringLiteral("waitForInputIdle(%1,%2)").arg(handle).arg(milliseconds));
    }
    void waitForExit(platform::ProcessHandle handle, quint32 milliseconds) override
    {
        calls.append(QStringLiteral("waitForExit(%1,%2)").arg(handle).arg(milliseconds));
    }
    void closeProcess(platform::ProcessHandle handle) override
    {
        calls.append(QStringLiteral("closeProcess(%1)").arg(handle));
    }
    bool documentPageCount(const QString &path, quint32 *count) override
    {
        calls.append(QStringLiteral("documentPageCount(%1)").arg(path));
        if (hasPageCount)
            *count = pages;
        return hasPageCount;
    }
};

class ShellInstallation
{
public:
    explicit ShellInstallation(platform::Shell *shell) { platform::setShellForTesting(shell); }
    ~ShellInstallation() { platform::setShellForTesting(nullptr); }
};

}  // namespace

class ShellPrintingTest : public QObject
{
    Q_OBJECT

private slots:
    void handsTheFileToThePrintToHandler_data()
    {
        QTest::addColumn<quintptr>("process");
        QTest::addColumn<QStringList>("waits");
        QTest::newRow("handler process") << quintptr(77)
                                         << QStringList{"execute", "waitForInputIdle(77,10000)",
                                                        "waitForExit(77,30000)", "closeProcess(77)"};
        QTest::newRow("no process came back") << quintptr(0) << QStringList{"execute"};
    }

    void handsTheFileToThePrintToHandler()
    {
        QFETCH(quintptr, process);
        QFETCH(QStringList, waits);
        RecordingShell shell;
        ShellInstallation installed(&shell);
        shell.process = process;
        quint32 error = 12345;
        QVERIFY(executeShellPrint(QStringLiteral("/work/reports/Q3 summary.docx"),
                                  QStringLiteral("Office Laser 5"), &error));
        QCOMPARE(error, quint32(12345));
        QCOMPARE(shell.calls, waits);
        QCOMPARE(shell.request.verb, QStringLiteral("printto"));
        QCOMPARE(shell.request.file,
                 QDir::toNativeSeparators(QStringLiteral("/work/reports/Q3 summary.docx")));
        // The printer name travels as one quoted argument.
        QCOMPARE(shell.request.parameters, QStringLiteral("\"Office Laser 5\""));
        QCOMPARE(shell.request.show, 0);
    }

    void reportsTheShellsError()
    {
        RecordingShell shell;
        ShellInstallation installed(&shell);
        shell.succeed = false;
        shell.error = 1155;
        quint32 error = 0;
        QVERIFY(!executeShellPrint(QStringLiteral("notes.wps"), QStringLiteral("Office"), &error));
        QCOMPARE(error, quint32(1155));
        QCOMPARE(shell.calls, QStringList{"execute"});
        QVERIFY(!executeShellPrint(QStringLiteral("notes.wps"), QStringLiteral("Office")));
    }

    void pageCount()
    {
        RecordingShell shell;
        ShellInstallation installed(&shell);
        QCOMPARE(shellDocumentPageCount(QStringLiteral("a.docx")), 0);
        shell.hasPageCount = true;
        shell.pages = 12;
        QCOMPARE(shellDocumentPageCount(QStringLiteral("b.docx")), 12);
        shell.pages = 0xffffffffu;
        QCOMPARE(shellDocumentPageCount(QStringLiteral("c.docx")), INT_MAX);
        QCOMPARE(shell.calls, (QStringList{"documentPageCount(a.docx)", "documentPageCount(b.docx)",
                                           "documentPageCount(c.docx)"}));
    }
};

QTEST_GUILESS_MAIN(ShellPrintingTest)
#include "tst_shellprinting.moc"
