#include "cli/StoreVerbs.h"

#include "base/I18n.h"
#include "base/PrintOptions.h"
#include "model/PresetParameters.h"
#include "model/PresetRepository.h"

#include <QJsonArray>
#include <QJsonObject>

namespace cli {

namespace {

constexpr int DefaultHistoryCount = 20;

// How the preset prints PDFs: "builtin" (always the built-in engine) or "auto".
QString pdfEngineText(const PrintPreset &preset)
{
    return preset.builtInPdfEngine ? QStringLiteral("builtin") : QStringLiteral("auto");
}

QJsonObject presetJson(const PrintPreset &preset)
{
    return QJsonObject{
        {QStringLiteral("id"), preset.id},
        {QStringLiteral("position"), preset.sortOrder},
        {QStringLiteral("title"), preset.title},
        {QStringLiteral("printer"), preset.printerName},
        {QStringLiteral("settings"), presetParameters(preset)},
        {QStringLiteral("copies"), preset.copies},
        {QStringLiteral("hotkey"), preset.hotkey},
        {QStringLiteral("colorMode"), optionText(preset.colorMode)},
        {QStringLiteral("duplexMode"), optionText(preset.duplexMode)},
        {QStringLiteral("duplexEdge"), optionText(preset.duplexEdge)},
        {QStringLiteral("paperSize"), preset.paperSize},
        {QStringLiteral("useDriverSettings"), preset.useDriverSettings},
        {QStringLiteral("pdfEngine"), pdfEngineText(preset)},
        {QStringLiteral("backgroundColor"), preset.backgroundColor},
    };
}

int runPresets(const Invocation &invocation)
{
    if (!checkArgumentCount(invocation, "presets", 0)) {
        return ExitUsage;
    }
    const std::unique_ptr<PresetRepository> store = openStore();
    if (!store) {
        return ExitFailure;
    }
    QString error;
    const QList<PrintPreset> presets = store->presets(&error);
    if (!error.isEmpty()) {
        printReadError(*store, error);
        return ExitFailure;
    }
    if (invocation.json) {
        QJsonArray array;
        for (const PrintPreset &preset : presets) {
            array.append(presetJson(preset));
        }
        printJson(array);
        return ExitSuccess;
    }
    QList<QStringList> rows;
    for (const PrintPreset &preset : presets) {
        rows.append({QString::number(preset.id), QString::number(preset.sortOrder), preset.title,
                     preset.printerName, presetParameters(preset), QString::number(preset.copies),
                     pdfEngineText(preset), preset.hotkey});
    }
    printTable({QStringLiteral("ID"), QStringLiteral("POSITION"), QStringLiteral("TITLE"),
                QStringLiteral("PRINTER"), QStringLiteral("SETTINGS"), QStringLiteral("COPIES"),
                QStringLiteral("PDF"), QStringLiteral("HOTKEY")},
               rows);
    return ExitSuccess;
}

QJsonObject historyJson(const PrintHistoryEntry &entry)
{
    return QJsonObject{
        {QStringLiteral("id"), entry.id},
        {QStringLiteral("createdAt"), entry.createdAt.toString(Qt::ISODateWithMs)},
        {QStringLiteral("jobName"), entry.jobName},
        {QStringLiteral("printer"), entry.printerName},
        {QStringLiteral("settings"), entry.parameters},
        {QStringLiteral("copies"), entry.copies},
        {QStringLiteral("pageCount"), entry.pageCount},
        {QStringLiteral("totalPages"), entry.totalPages},
    };
}

QString pagesText(int pages)
{
    return pages > 0 ? QString::number(pages) : QStringLiteral("?");
}

int runHistory(const Invocation &invocation)
{
    if (!checkArgumentCount(invocation, "history", 1)) {
        return ExitUsage;
    }
    int count = DefaultHistoryCount;
    if (!invocation.arguments.isEmpty() &&
        (!parseInteger(invocation.arguments.first(), &count) ||
         count < PresetRepository::MinimumHistoryCount || count > PresetRepository::MaximumHistoryCount)) {
        printError(I18n::text("history: N must be a whole number from %1 to %2, not \"%3\"")
                       .arg(PresetRepository::MinimumHistoryCount)
                       .arg(PresetRepository::MaximumHistoryCount)
                       .arg(invocation.arguments.first()));
        return ExitUsage;
    }
    const std::unique_ptr<PresetRepository> store = openStore();
    if (!store) {
        return ExitFailure;
    }
    QString error;
    const QList<PrintHistoryEntry> entries = store->printHistory(count, &error);
    if (!error.isEmpty()) {
        printReadError(*store, error);
        return ExitFailure;
    }
    if (invocation.json) {
        QJsonArray array;
        for (const PrintHistoryEntry &entry : entries) {
            array.append(historyJson(entry));
        }
        printJson(array);
        return ExitSuccess;
    }
    QList<QStringList> rows;
    for (const PrintHistoryEntry &entry : entries) {
        rows.append({QString::number(entry.id),
                     entry.createdAt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")), entry.jobName,
                     entry.printerName, entry.parameters, QString::number(entry.copies),
                     pagesText(entry.pageCount), pagesText(entry.totalPages)});
    }
    printTable({QStringLiteral("ID"), QStringLiteral("TIME"), QStringLiteral("JOB"),
                QStringLiteral("PRINTER"), QStringLiteral("SETTINGS"), QStringLiteral("COPIES"),
                QStringLiteral("PAGES"), QStringLiteral("TOTAL")},
               rows);
    return ExitSuccess;
}

}  // namespace

Verb presetsVerb()
{
    return Verb{"presets", "presets", "List the stored printer presets in card order.",
                "Columns: id, position (card order), title, printer, settings summary, copies, how PDFs\n"
                "print (auto, or builtin: always the built-in engine), hotkey.\n"
                "--json: an array of objects with id, position, title, printer, settings, copies, hotkey,\n"
                "colorMode, duplexMode, duplexEdge, paperSize, useDriverSettings, pdfEngine (auto or\n"
                "builtin), backgroundColor.",
                runPresets};
}

Verb historyVerb()
{
    return Verb{"history", "history [N]",
                "List the newest N print history entries (N from 1 to 5000, default 20).",
                "Columns: id, time, job, printer, settings, copies, pages, total pages (? when unknown).\n"
                "--json: an array of objects with id, createdAt (ISO 8601 local time with milliseconds),\n"
                "jobName, printer, settings, copies, pageCount, totalPages (0 when unknown), newest first.",
                runHistory};
}

}  // namespace cli
