#include "cli/PrintCommands.h"

#include "base/I18n.h"
#include "model/PresetRepository.h"
#include "printing/JobHistory.h"
#include "printing/PrintService.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

namespace cli {

namespace {

// The preset named by id (a whole number that is some preset's id) or else by its exact title.
const PrintPreset *findPreset(const QList<PrintPreset> &presets, const QString &reference)
{
    int id = 0;
    if (parseInteger(reference, &id)) {
        for (const PrintPreset &preset : presets) {
            if (preset.id == id)
                return &preset;
        }
    }
    for (const PrintPreset &preset : presets) {
        if (preset.title == reference)
            return &preset;
    }
    return nullptr;
}

int runPrint(const Invocation &invocation)
{
    QString reference;
    QStringList files;
    const QStringList &arguments = invocation.arguments;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--preset")) {
            if (i + 1 >= arguments.size() || !reference.isEmpty()) {
                printError(QStringLiteral("print: --preset takes one preset id or title"));
                return ExitUsage;
            }
            reference = arguments.at(++i);
        } else if (argument.startsWith(QLatin1String("--preset="))) {
            reference = argument.mid(int(qstrlen("--preset=")));
        } else {
            files.append(argument);
        }
    }
    if (reference.isEmpty() || files.isEmpty()) {
        printError(QStringLiteral("print: usage: ollavan print --preset ID|TITLE FILE..."));
        return ExitUsage;
    }

    const std::unique_ptr<PresetRepository> store = openStore();
    if (!store)
        return ExitFailure;
    QString error;
    const QList<PrintPreset> presets = store->presets(&error);
    if (!error.isEmpty()) {
        printError(QStringLiteral("cannot read the presets: %1").arg(error));
        return ExitFailure;
    }
    const PrintPreset *found = findPreset(presets, reference);
    if (!found) {
        printError(QStringLiteral("print: no preset with the id or title \"%1\" (see ollavan presets)")
                       .arg(reference));
        return ExitFailure;
    }
    const PrintPreset preset = *found;

    const PrintService service;
    QJsonArray jobs;
    int lastResult = PrintService::Failed;
    for (const QString &file : files) {
        const QString path = QFileInfo(file).absoluteFilePath();
        const PrintOutcome outcome = service.printFile(path, preset);
        const QString &message = outcome.message;
        const JobDetails &details = outcome.details;
        lastResult = int(outcome.result);

        QJsonObject job{{QStringLiteral("file"), path},
                        {QStringLiteral("result"), lastResult},
                        {QStringLiteral("message"), message},
                        {QStringLiteral("jobName"), details.jobName},
                        {QStringLiteral("pageCount"), details.pageCount}};
        if (lastResult != PrintService::Sent) {
            if (!invocation.json)
                printError(jobFailureText(message, false));
            jobs.append(job);
            continue;
        }
        const PrintHistoryEntry entry = historyEntryForJob(preset, details, path, QString());
        QString storeError;
        const bool saved = store->addPrintHistory(entry, &storeError);
        job.insert(QStringLiteral("historySaved"), saved);
        job.insert(QStringLiteral("totalPages"), entry.totalPages);
        if (!invocation.json) {
            printLine(message);
            if (!saved)
                printError(I18n::text("Print submitted, but history could not be saved: %1").arg(storeError));
        }
        jobs.append(job);
    }
    if (invocation.json)
        printJson(jobs);
    return lastResult;
}

}  // namespace

Verb printVerb()
{
    return Verb{"print",
                "print --preset ID|TITLE FILE...",
                "Print files with a preset, exactly as dropping each on the preset's card does.",
                "The preset is named by its id or its exact title (see ollavan presets). Each file goes\n"
                "through the panel's print route for its kind (PDF, Word/WPS document, image), and each\n"
                "job that is handed over is recorded in the print history with the same rules.\n"
                "Prints each route's message (failures on stderr). Exit code: the result of the last\n"
                "file: 0 sent, 2 missing or unsupported file, 3 printing failed; 1 for a usage error and 2\n"
                "when the preset is unknown or the database cannot be opened (nothing is printed).\n"
                "--json: an array of objects with file, result, message, jobName, pageCount and, for\n"
                "jobs handed over, historySaved and totalPages.",
                runPrint,
                true};
}

}  // namespace cli
