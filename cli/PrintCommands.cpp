#include "cli/PrintCommands.h"

#include "base/I18n.h"
#include "model/PresetReference.h"
#include "model/PresetRepository.h"
#include "printing/JobHistory.h"
#include "printing/PrintService.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

namespace cli {

namespace {

int runPrint(const Invocation &invocation)
{
    QString reference;
    QString engine;
    QStringList files;
    const QStringList &arguments = invocation.arguments;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool option =
            !invocation.isName(i) && argument.startsWith(QLatin1Char('-')) && argument.size() > 1;
        if (!option) {
            files.append(argument);
        } else if (argument == QLatin1String("--preset") || argument.startsWith(QLatin1String("--preset="))) {
            const bool separate = argument == QLatin1String("--preset");
            if (!reference.isEmpty() || (separate && i + 1 >= arguments.size())) {
                printError(QStringLiteral("print: --preset takes one preset id or title"));
                return ExitUsage;
            }
            reference = separate ? arguments.at(++i) : argument.mid(int(qstrlen("--preset=")));
        } else if (argument == QLatin1String("--engine") || argument.startsWith(QLatin1String("--engine="))) {
            const bool separate = argument == QLatin1String("--engine");
            if (!engine.isEmpty() || (separate && i + 1 >= arguments.size())) {
                printError(QStringLiteral("print: --engine takes auto or builtin"));
                return ExitUsage;
            }
            engine = separate ? arguments.at(++i) : argument.mid(int(qstrlen("--engine=")));
            if (engine != QLatin1String("auto") && engine != QLatin1String("builtin")) {
                printError(QStringLiteral("print: --engine takes auto or builtin, not \"%1\"").arg(engine));
                return ExitUsage;
            }
        } else {
            printError(
                I18n::text("print: unknown option \"%1\"; put -- before a file whose name begins with -")
                    .arg(argument));
            return ExitUsage;
        }
    }
    if (reference.isEmpty() || files.isEmpty()) {
        printError(
            QStringLiteral("print: usage: ollavan print --preset ID|TITLE [--engine auto|builtin] FILE..."));
        return ExitUsage;
    }

    const std::unique_ptr<PresetRepository> store = openStore();
    if (!store)
        return ExitFailure;
    QString error;
    const QList<PrintPreset> presets = store->presets(&error);
    if (!error.isEmpty()) {
        printReadError(*store, error);
        return ExitFailure;
    }
    const PrintPreset *found = presetByReference(presets, reference);
    if (!found) {
        printError(QStringLiteral("print: no preset with the id or title \"%1\" (see ollavan presets)")
                       .arg(reference));
        return ExitFailure;
    }
    const PrintPreset preset = *found;

    const PdfEngineChoice choice =
        engine == QLatin1String("builtin") ? PdfEngineChoice::BuiltIn : PdfEngineChoice::Auto;
    const PrintService service;
    QJsonArray jobs;
    // The worst result decides the exit code: a failed print (3) over a missing or unsupported file (2).
    PrintResult worst = PrintResult::Sent;
    for (const QString &file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        const PrintOutcome outcome = service.printFile(path, preset, choice);
        worst = std::max(worst, outcome.result);
        QJsonObject job{{QStringLiteral("file"), path},
                        {QStringLiteral("result"), int(outcome.result)},
                        {QStringLiteral("message"), outcome.message},
                        {QStringLiteral("jobName"), outcome.details.jobName},
                        {QStringLiteral("pageCount"), outcome.details.pageCount}};
        if (!outcome.sent()) {
            if (!invocation.json)
                printError(QStringLiteral("%1: %2").arg(path, jobFailureText(outcome.message, false)));
            jobs.append(job);
            continue;
        }
        const PrintHistoryEntry entry = historyEntryForJob(preset, outcome.details, path, QString());
        QString storeError;
        const bool saved = store->addPrintHistory(entry, &storeError);
        job.insert(QStringLiteral("historySaved"), saved);
        job.insert(QStringLiteral("totalPages"), entry.totalPages);
        if (!invocation.json) {
            printLine(outcome.message);
            if (!saved)
                printError(QStringLiteral("%1: %2").arg(
                    path, I18n::text("Print submitted, but history could not be saved: %1").arg(storeError)));
        }
        jobs.append(job);
    }
    if (invocation.json)
        printJson(jobs);
    return int(worst);
}

}  // namespace

Verb printVerb()
{
    return Verb{
        "print",
        "print --preset ID|TITLE [--engine auto|builtin] FILE...",
        "Print files with a preset, exactly as dropping each on the preset's card does.",
        "The preset is named by its id or its exact title (see ollavan presets). Each file goes\n"
        "through the panel's print route for its kind (PDF, Word/WPS document, image), and each\n"
        "job that is handed over is recorded in the print history with the same rules.\n"
        "--engine builtin prints PDFs (and the PDFs made of Word/WPS documents) with the built-in\n"
        "engine, which sends each page as a picture, for printers that mishandle PDFs; --engine auto\n"
        "(the default) leaves it to the preset: PDFs go to the print system as they are unless the\n"
        "preset asks for the built-in engine, and to the built-in engine when the printer takes no PDF.\n"
        "Prints each route's message (failures on stderr, after the file's path). Put -- before\n"
        "files whose names begin with -. Exit code: the worst result among the files, 3 printing\n"
        "failed over 2 missing or unsupported file over 0 sent; 1 for a usage error and 2 when\n"
        "the preset is unknown or the database cannot be opened (nothing is printed).\n"
        "--json: an array of objects with file, result, message, jobName, pageCount and, for\n"
        "jobs handed over, historySaved and totalPages.",
        runPrint,
        true};
}

}  // namespace cli
