// `ollavan printers` and `ollavan settings PRINTER` against a private CUPS server.
#include "support/PrivateCups.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

using ollavan::testsupport::PrivateCups;

namespace {

struct Outcome
{
    int exitCode = -1;
    QString out;
    QString err;
};

Outcome runOllavan(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral(OLLAVAN_BIN_DIR "/ollavan"), arguments);
    Outcome outcome;
    if (!process.waitForFinished(60000))
        return outcome;
    outcome.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    outcome.out = QString::fromUtf8(process.readAllStandardOutput());
    outcome.err = QString::fromUtf8(process.readAllStandardError());
    return outcome;
}

}  // namespace

class PrinterCommandsTest : public QObject
{
    Q_OBJECT

private:
    PrivateCups cups;

    void writeUserOptions(const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(cups.userOptionsPath()).absolutePath());
        QFile file(cups.userOptionsPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(cups.start(&error), qPrintable(error));
        QVERIFY2(cups.addQueue(QStringLiteral("office"), PrivateCups::Ppd, &error), qPrintable(error));
        QVERIFY2(cups.addQueue(QStringLiteral("annex"), PrivateCups::Ppd, &error), qPrintable(error));
        QVERIFY2(cups.setServerDefault(QStringLiteral("annex"), &error), qPrintable(error));
    }

    void cleanupTestCase() { cups.stop(); }

    void listsPrintersWithTheDefaultMarked()
    {
        writeUserOptions("Default office\n");
        const Outcome json = runOllavan({QStringLiteral("printers"), QStringLiteral("--json")});
        QCOMPARE(json.exitCode, 0);
        const QJsonArray printers = QJsonDocument::fromJson(json.out.toUtf8()).array();
        QCOMPARE(printers.size(), 2);
        QCOMPARE(printers.at(0).toObject().value(QStringLiteral("name")).toString(), QStringLiteral("annex"));
        QCOMPARE(printers.at(0).toObject().value(QStringLiteral("default")).toBool(), false);
        QCOMPARE(printers.at(1).toObject().value(QStringLiteral("name")).toString(),
                 QStringLiteral("office"));
        QCOMPARE(printers.at(1).toObject().value(QStringLiteral("default")).toBool(), true);

        QFile::remove(cups.userOptionsPath());
        const Outcome text = runOllavan({QStringLiteral("printers")});
        QCOMPARE(text.exitCode, 0);
        QCOMPARE(text.out, QStringLiteral("DEFAULT  PRINTER\n*        annex\n         office\n"));
        QCOMPARE(runOllavan({QStringLiteral("printers"), QStringLiteral("extra")}).exitCode, 1);

        // A print server that cannot be reached is a failure, not an empty list.
        const QByteArray server = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", "127.0.0.1:9");
        const Outcome unreachable = runOllavan({QStringLiteral("printers")});
        qputenv("CUPS_SERVER", server);
        QCOMPARE(unreachable.exitCode, 2);
        QVERIFY2(unreachable.err.contains(QLatin1String("cannot list the printers")),
                 qPrintable(unreachable.err));
    }

    void showsTheDriversSettings()
    {
        writeUserOptions(
            "Dest office sides=two-sided-short-edge media=A5 copies=3 print-color-mode=monochrome\n");
        const Outcome json =
            runOllavan({QStringLiteral("--json"), QStringLiteral("settings"), QStringLiteral("office")});
        QCOMPARE(json.exitCode, 0);
        const QJsonObject settings = QJsonDocument::fromJson(json.out.toUtf8()).object();
        QCOMPARE(settings.value(QStringLiteral("printer")).toString(), QStringLiteral("office"));
        QCOMPARE(settings.value(QStringLiteral("duplexMode")).toString(), QStringLiteral("duplex"));
        QCOMPARE(settings.value(QStringLiteral("duplexEdge")).toString(), QStringLiteral("short"));
        QCOMPARE(settings.value(QStringLiteral("colorMode")).toString(), QStringLiteral("mono"));
        QCOMPARE(settings.value(QStringLiteral("paperSize")).toString(), QStringLiteral("A5"));
        QCOMPARE(settings.value(QStringLiteral("copies")).toInt(), 3);

        const Outcome text = runOllavan({QStringLiteral("settings"), QStringLiteral("annex")});
        QCOMPARE(text.exitCode, 0);
        QVERIFY2(text.out.contains(QLatin1String("paperSize   A4")), qPrintable(text.out));
        QVERIFY2(text.out.contains(QLatin1String("colorMode   color")), qPrintable(text.out));

        const Outcome missing = runOllavan({QStringLiteral("settings"), QStringLiteral("cellar")});
        QCOMPARE(missing.exitCode, 2);
        QVERIFY2(missing.err.contains(QLatin1String("Unable to open printer \"cellar\"")),
                 qPrintable(missing.err));
        QCOMPARE(runOllavan({QStringLiteral("settings")}).exitCode, 1);
    }
};

QTEST_GUILESS_MAIN(PrinterCommandsTest)
#include "tst_printercommands.moc"
