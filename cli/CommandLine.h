#pragma once

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <memory>

class PresetRepository;

// Shared pieces of the `ollavan` command-line companion: the verb record of the verb table in main.cpp,
// exit codes, output (plain text tables and JSON), argument helpers and opening the store.
namespace cli {

enum ExitCode {
    ExitSuccess = 0,
    ExitUsage = 1,    // unknown verb, bad or missing arguments
    ExitFailure = 2,  // the operation failed: the database cannot be opened, a printer is missing, ...
};

// What a verb receives: its own arguments (everything after the verb name, with the global options
// "--json" and "--help" and the end of the options "--" taken out) and whether machine-readable output was
// asked for. Arguments that followed "--" are names (files, printers), never options.
struct Invocation
{
    QStringList arguments;
    bool json = false;
    int namesFrom = -1;  // the index of the first argument that followed "--"; -1 without "--"

    // True for an argument that followed "--".
    bool isName(int index) const { return namesFrom >= 0 && index >= namesFrom; }
};

// One entry of the verb table.
struct Verb
{
    const char *name;      // "history"
    const char *synopsis;  // "history [N]": the arguments as shown in --help
    const char *summary;   // one line for the verb list
    const char *details;   // further lines for --help (arguments, the JSON shape); may be empty
    int (*run)(const Invocation &invocation);
    // True for a verb that paints or prints (QPainter, QPrinter): it then runs under a QApplication
    // instead of a QCoreApplication (on a headless Linux session with the "offscreen" platform).
    bool needsGuiApplication = false;
};

// Output. Lines end with "\n"; everything is written as UTF-8 and flushed at once.
void printLine(const QString &line = QString());
void printError(const QString &message);  // "ollavan: " + message on stderr
// With the global option "--notify", every error printed through printError also shows as a desktop
// notification: the file managers' print actions run the companion where no one reads its standard error.
void setErrorNotifications(bool enabled);
// Indented JSON document (an object or an array) on stdout.
void printJson(const QJsonValue &value);
// A plain-text table: a header row, then the rows, columns padded to their widest cell and separated by
// two spaces; the last column is not padded. Prints nothing but the header for an empty row list.
void printTable(const QStringList &headers, const QList<QStringList> &rows);
// printTable as text.
QString formatTable(const QStringList &headers, const QList<QStringList> &rows);

// Parses a whole decimal integer (optional sign, no spaces); false for anything else.
bool parseInteger(const QString &text, int *value);
// For a verb that takes no more than `maximum` arguments: true when there are at most that many,
// otherwise prints a usage error naming the verb and returns false.
bool checkArgumentCount(const Invocation &invocation, const char *verbName, int maximum);

// Opens the database the panel uses (DatabaseLocation::databasePath(), its folder created when missing).
// On failure prints the store's message (it names the file and says what to do) to stderr and returns
// null: the verb then returns ExitFailure.
std::unique_ptr<PresetRepository> openStore();
// After a failed read of the open store: prints the database's path, the driver's message and what to do.
void printReadError(const PresetRepository &store, const QString &driverText);

}  // namespace cli
