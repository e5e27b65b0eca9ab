// Word and WPS files handed to LibreOffice, with a stand-in soffice on the PATH that records its arguments,
// and PDF page counts read from the file.
#include "printing/ShellPrinting.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

namespace {

const char standInOffice[] = R"(#!/bin/sh
# Stand-in for LibreOffice: records its arguments (NUL-separated) and process id, then takes its time.
record=$OLLAVAN_SOFFICE_RECORD
printf '%s\0' "$@" > "$record/arguments.tmp" && mv "$record/arguments.tmp" "$record/arguments"
echo $$ > "$record/pid"
sleep "${OLLAVAN_SOFFICE_SECONDS:-0}"
: > "$record/finished"
)";

bool processRuns(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray line = stat.readAll();
    const int close = line.lastIndexOf(')');
    return close >= 0 && close + 2 < line.size() && line.at(close + 2) != 'Z';
}

}  // namespace

class ShellPrintTest : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir folder;
    QString bin;
    QString record;
    QByteArray originalPath;

    QStringList recordedArguments() const
    {
        QFile file(record + QStringLiteral("/arguments"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        QStringList arguments;
        for (const QByteArray &argument : file.readAll().split('\0'))
            arguments.append(QString::fromUtf8(argument));
        arguments.removeLast();  // after the final NUL
        return arguments;
    }

    QString makeFile(const QString &name)
    {
        const QString path = folder.path() + QLatin1Char('/') + name;
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write("document");
        return path;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(folder.isValid());
        bin = folder.path() + QStringLiteral("/bin");
        record = folder.path() + QStringLiteral("/record");
        QVERIFY(QDir().mkpath(bin));
        QVERIFY(QDir().mkpath(record));
        QFile office(bin + QStringLiteral("/soffice"));
        QVERIFY(office.open(QIODevice::WriteOnly));
        office.write(standInOffice);
        office.close();
        QVERIFY(
            office.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
        originalPath = qgetenv("PATH");
        qputenv("PATH", bin.toUtf8() + ':' + originalPath);
        qputenv("OLLAVAN_SOFFICE_RECORD", record.toUtf8());
    }

    void init()
    {
        QFile::remove(record + QStringLiteral("/arguments"));
        QFile::remove(record + QStringLiteral("/finished"));
        QFile::remove(record + QStringLiteral("/pid"));
        qputenv("OLLAVAN_SOFFICE_SECONDS", "0");
    }

    void cleanupTestCase() { qputenv("PATH", originalPath); }

    void printerNameArrivesAsOneArgument_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("printer");
        QTest::newRow("docx, printer with spaces") << "Quarterly report.docx"
                                                   << "Office Laser 5";
        QTest::newRow("doc, accented printer") << "brief.DOC"
                                               << "Étage 2 – Couleur";
        QTest::newRow("wps, plain printer") << "notes.wps"
                                            << "office";
    }

    void printerNameArrivesAsOneArgument()
    {
        QFETCH(QString, fileName);
        QFETCH(QString, printer);
        qputenv("OLLAVAN_SOFFICE_SECONDS", "1");
        const QString path = makeFile(fileName);
        quint32 error = 0;
        QVERIFY(executeShellPrint(path, printer, &error));
        QCOMPARE(error, quint32(0));
        QCOMPARE(recordedArguments(), (QStringList{"--headless", "--pt", printer, path}));
        // The call waited for the handler to finish.
        QVERIFY(QFile::exists(record + QStringLiteral("/finished")));
    }

    void withoutHandlerNothingRuns_data()
    {
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<bool>("officeOnPath");
        QTest::addColumn<quint32>("error");
        QTest::newRow("text file") << "readme.txt" << true << quint32(1155);
        QTest::newRow("pdf") << "form.pdf" << true << quint32(1155);
        QTest::newRow("no LibreOffice") << "letter.docx" << false << quint32(1155);
        QTest::newRow("missing file") << "" << true << quint32(2);
    }

    void withoutHandlerNothingRuns()
    {
        QFETCH(QString, fileName);
        QFETCH(bool, officeOnPath);
        QFETCH(quint32, error);
        const QString path =
            fileName.isEmpty() ? folder.path() + QStringLiteral("/gone.docx") : makeFile(fileName);
        if (!officeOnPath)
            qputenv("PATH", folder.path().toUtf8());
        quint32 code = 0;
        const bool sent = executeShellPrint(path, QStringLiteral("office"), &code);
        qputenv("PATH", bin.toUtf8() + ':' + originalPath);
        QVERIFY(!sent);
        QCOMPARE(code, error);
        QVERIFY(!QFile::exists(record + QStringLiteral("/pid")));
    }

    void slowHandlerIsLeftRunning()
    {
        // The handler outlives both waits (at most 10 s for input idle, 30 s for its end): the call returns
        // with success while the handler keeps running.
        qputenv("OLLAVAN_SOFFICE_SECONDS", "50");
        const QString path = makeFile(QStringLiteral("long.docx"));
        QElapsedTimer clock;
        clock.start();
        QVERIFY(executeShellPrint(path, QStringLiteral("office")));
        QFile pidFile(record + QStringLiteral("/pid"));
        QVERIFY(pidFile.open(QIODevice::ReadOnly));
        const qint64 pid = pidFile.readAll().trimmed().toLongLong();
        QVERIFY(pid > 0);
        QVERIFY2(clock.elapsed() >= 29000, "the call waits for the handler before giving up");
        QVERIFY(processRuns(pid));
        QVERIFY(!QFile::exists(record + QStringLiteral("/finished")));
        ::kill(pid_t(pid), SIGTERM);  // the stand-in this test started
    }

    void pdfPageCountComesFromTheFile()
    {
        const QString pdf = folder.path() + QStringLiteral("/three.pdf");
        {
            QPdfWriter writer(pdf);
            QPainter painter(&writer);
            painter.drawRect(100, 100, 400, 400);
            writer.newPage();
            writer.newPage();
        }
        QCOMPARE(shellDocumentPageCount(pdf), 3);
        const QString upper = folder.path() + QStringLiteral("/THREE.PDF");
        QVERIFY(QFile::copy(pdf, upper));
        QCOMPARE(shellDocumentPageCount(upper), 3);
        QCOMPARE(shellDocumentPageCount(makeFile(QStringLiteral("broken.pdf"))), 0);
        QCOMPARE(shellDocumentPageCount(makeFile(QStringLiteral("letter.docx"))), 0);
        QCOMPARE(shellDocumentPageCount(folder.path() + QStringLiteral("/missing.pdf")), 0);
    }
};

QTEST_MAIN(ShellPrintTest)
#include "tst_shellprint.moc"
