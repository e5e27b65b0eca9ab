#include "cli/PrinterCommands.h"

#include "base/PrintOptions.h"
#include "platform/PrinterSettings.h"
#include "printers/PrinterProperties.h"

#include <QJsonArray>
#include <QJsonObject>

namespace cli {
namespace {

QString defaultPrinter()
{
    platform::DefaultPrinter current;
    if (platform::printerSettingsSystem().defaultPrinter(&current) != platform::DefaultPrinterRead::Found)
        return QString();
    return current.name;
}

int runPrinters(const Invocation &invocation)
{
    if (!checkArgumentCount(invocation, "printers", 0))
        return ExitUsage;
    QString failure;
    const QStringList printers = platform::printerSettingsSystem().printerNames(&failure);
    if (printers.isEmpty() && !failure.isEmpty()) {
        printError(QStringLiteral("cannot list the printers: %1").arg(failure));
        return ExitFailure;
    }
    const QString current = defaultPrinter();
    if (invocation.json) {
        QJsonArray array;
        for (const QString &printer : printers) {
            array.append(QJsonObject{{QStringLiteral("name"), printer},
                                     {QStringLiteral("default"), printer == current}});
        }
        printJson(array);
        return ExitSuccess;
    }
    QList<QStringList> rows;
    for (const QString &printer : printers)
        rows.append({printer == current ? QStringLiteral("*") : QString(), printer});
    printTable({QStringLiteral("DEFAULT"), QStringLiteral("PRINTER")}, rows);
    return ExitSuccess;
}

int runSettings(const Invocation &invocation)
{
    if (invocation.arguments.size() != 1) {
        printError(QStringLiteral("settings takes one printer name (see ollavan settings --help)"));
        return ExitUsage;
    }
    const QString printer = invocation.arguments.first();
    NativePrinterOptions options;
    QString error;
    if (!PrinterProperties::readNativeSettings(printer, &options, &error)) {
        printError(error);
        return ExitFailure;
    }
    if (invocation.json) {
        printJson(QJsonObject{
            {QStringLiteral("printer"), printer},
            {QStringLiteral("colorMode"), optionText(options.colorMode)},
            {QStringLiteral("duplexMode"), optionText(options.duplexMode)},
            {QStringLiteral("duplexEdge"), optionText(options.duplexEdge)},
            {QStringLiteral("paperSize"), options.paperSize},
            {QStringLiteral("copies"), options.copies},
        });
        return ExitSuccess;
    }
    printTable({QStringLiteral("SETTING"), QStringLiteral("VALUE")},
               {{QStringLiteral("printer"), printer},
                {QStringLiteral("colorMode"), optionText(options.colorMode)},
                {QStringLiteral("duplexMode"), optionText(options.duplexMode)},
                {QStringLiteral("duplexEdge"), optionText(options.duplexEdge)},
                {QStringLiteral("paperSize"), options.paperSize},
                {QStringLiteral("copies"), QString::number(options.copies)}});
    return ExitSuccess;
}

}  // namespace

Verb printersVerb()
{
    return {"printers",
            "printers",
            "the installed printers; the default printer is marked with *",
            "--json: an array of {name, default}.",
            &runPrinters,
            false};
}

Verb settingsVerb()
{
    return {"settings",
            "settings PRINTER",
            "the printer driver's current settings for this user, as a preset would take them over",
            "PRINTER: the printer's name as `ollavan printers` lists it.\n"
            "Fails (exit 2) when the printer cannot be opened or its driver gives no settings.\n"
            "--json: {printer, colorMode, duplexMode, duplexEdge, paperSize, copies}.",
            &runSettings,
            false};
}

}  // namespace cli
