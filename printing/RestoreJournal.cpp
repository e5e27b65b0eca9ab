#include "printing/RestoreJournal.h"

#include "base/I18n.h"
#include "model/DatabaseLocation.h"
#include "printing/SettingsSwitchLock.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

namespace RestoreJournal {
namespace {

using platform::DefaultPrinterRead;
using platform::PrinterSettings;
using platform::Sides;

const char *const readWords[] = {"found", "none", "failed"};
const char *const sidesWords[] = {"one-sided", "two-sided-long-edge", "two-sided-short-edge"};

QString base64(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toBase64());
}

QByteArray bytesOf(const QJsonValue &value)
{
    return QByteArray::fromBase64(value.toString().toLatin1());
}

QJsonObject settingsObject(const PrinterSettings &settings)
{
    QJsonObject object{{QStringLiteral("record"), base64(settings.record)}};
    if (settings.copies)
        object.insert(QStringLiteral("copies"), *settings.copies);
    if (settings.color)
        object.insert(QStringLiteral("color"),
                      *settings.color == ColorMode::Color ? QStringLiteral("color") : QStringLiteral("mono"));
    if (settings.sides)
        object.insert(QStringLiteral("sides"), QLatin1String(sidesWords[int(*settings.sides)]));
    if (!settings.paper.isEmpty())
        object.insert(QStringLiteral("paper"), settings.paper);
    return object;
}

PrinterSettings settingsFrom(const QJsonObject &object)
{
    PrinterSettings settings = PrinterSettings::restoring(bytesOf(object.value(QStringLiteral("record"))));
    if (object.contains(QStringLiteral("copies")))
        settings.copies = object.value(QStringLiteral("copies")).toInt();
    if (object.contains(QStringLiteral("color")))
        settings.color = object.value(QStringLiteral("color")).toString() == QLatin1String("color")
                             ? ColorMode::Color
                             : ColorMode::Mono;
    for (int i = 0; i < 3; ++i) {
        if (object.value(QStringLiteral("sides")).toString() == QLatin1String(sidesWords[i]))
            settings.sides = Sides(i);
    }
    settings.paper = object.value(QStringLiteral("paper")).toString();
    return settings;
}

}  // namespace

QString path()
{
    return QFileInfo(DatabaseLocation::databasePath()).absolutePath() +
           QStringLiteral("/printer-settings.journal");
}

bool exists()
{
    return QFileInfo::exists(path());
}

bool write(const SwitchRecord &record, QString *failure)
{
    QJsonObject object{
        {QStringLiteral("owner"),
         QJsonObject{{QStringLiteral("id"), QString::number(record.owner.id)},
                     {QStringLiteral("started"), QString::number(record.owner.started)}}},
        {QStringLiteral("printer"), record.printerName},
        {QStringLiteral("defaultPrinter"),
         QJsonObject{{QStringLiteral("read"), QLatin1String(readWords[int(record.previousDefaultRead)])},
                     {QStringLiteral("name"), record.previousDefault.name},
                     {QStringLiteral("record"), base64(record.previousDefault.record)}}},
    };
    if (record.userSettings)
        object.insert(QStringLiteral("userSettings"), settingsObject(*record.userSettings));
    return platform::writeFileDurably(path(), QJsonDocument(object).toJson(), failure);
}

bool read(SwitchRecord *record, QString *failure)
{
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly)) {
        if (failure)
            *failure = I18n::text("The file %1 could not be read: %2").arg(path(), file.errorString());
        return false;
    }
    QJsonParseError parse;
    const QJsonObject object = QJsonDocument::fromJson(file.readAll(), &parse).object();
    const QJsonObject owner = object.value(QStringLiteral("owner")).toObject();
    const QJsonObject previous = object.value(QStringLiteral("defaultPrinter")).toObject();
    SwitchRecord result;
    result.owner.id = owner.value(QStringLiteral("id")).toString().toLongLong();
    result.owner.started = owner.value(QStringLiteral("started")).toString().toULongLong();
    result.printerName = object.value(QStringLiteral("printer")).toString();
    const QString readWord = previous.value(QStringLiteral("read")).toString();
    bool known = false;
    for (int i = 0; i < 3; ++i) {
        if (readWord == QLatin1String(readWords[i])) {
            result.previousDefaultRead = DefaultPrinterRead(i);
            known = true;
        }
    }
    if (parse.error != QJsonParseError::NoError || !known || result.printerName.isEmpty()) {
        if (failure)
            *failure = I18n::text("The file %1 is damaged.").arg(path());
        return false;
    }
    result.previousDefault.name = previous.value(QStringLiteral("name")).toString();
    result.previousDefault.record = bytesOf(previous.value(QStringLiteral("record")));
    if (object.contains(QStringLiteral("userSettings")))
        result.userSettings = settingsFrom(object.value(QStringLiteral("userSettings")).toObject());
    *record = result;
    return true;
}

bool remove(QString *failure)
{
    return platform::removeFileDurably(path(), failure);
}

bool restore(const SwitchRecord &record, std::unique_ptr<platform::OpenPrinter> printer, QString *failure)
{
    platform::PrinterSettingsSystem &system = platform::printerSettingsSystem();
    bool complete = true;
    QString what;
    if (record.userSettings) {
        if (!printer)
            printer = system.openPrinter(record.printerName, &what);
        if (!printer ||
            !printer->setUserSettings(PrinterSettings::restoring(record.userSettings->record), &what))
            complete = false;
    }
    printer.reset();
    if (!system.restoreDefaultPrinter(record.previousDefault, complete ? &what : nullptr))
        complete = false;
    if (!complete && failure)
        *failure = what;
    return complete;
}

bool recoverInterruptedSwitch(QString *report)
{
    report->clear();
    if (!exists())
        return true;
    SettingsSwitchLock lock;
    if (!lock.tryAcquire())
        return true;  // a switch is in progress: its journal is in use
    SwitchRecord record;
    QString failure;
    if (read(&record, &failure) && platform::isRunning(record.owner))
        return true;  // its process still runs and puts it back itself
    if (failure.isEmpty() && restore(record, nullptr, &failure) && remove(&failure)) {
        switch (record.previousDefaultRead) {
        case DefaultPrinterRead::Found:
            *report = I18n::text("Restored your printer settings after an interrupted print: default printer "
                                 "\"%1\", options of \"%2\".")
                          .arg(record.previousDefault.name, record.printerName);
            break;
        case DefaultPrinterRead::None:
            *report = I18n::text("Restored your printer settings after an interrupted print: no default "
                                 "printer, options of \"%1\".")
                          .arg(record.printerName);
            break;
        case DefaultPrinterRead::Failed:
            *report =
                I18n::text("Restored your printer settings after an interrupted print: options of \"%1\".")
                    .arg(record.printerName);
            break;
        }
        return true;
    }
    *report =
        I18n::text("Your printer settings from an interrupted print could not be restored: %1").arg(failure);
    return false;
}

}  // namespace RestoreJournal
