// ollavan: the command-line companion of Ollavan Quick. It works on the same database and settings as the
// panel (the identity of AppIdentity selects both).
//
// Adding verbs: write one file pair per verb group, cli/<Group>Verbs.h and .cpp, whose functions return a
// filled-in cli::Verb each (name, synopsis, one-line summary, help details including the --json shape, and
// the function that runs it; see cli/CommandLine.h and cli/StoreVerbs.cpp as the model). Then add one line
// per verb to the table in verbTable() below. Nothing else: --help, --json and dispatch come from the table.
//
// Conventions every verb follows:
// - The global options "--json" (machine-readable output on stdout), "--notify" (errors also as desktop
//   notifications) and "--help" may stand anywhere before "--"; they are taken out before the verb sees its
//   arguments. "--" ends the options: every argument after it is a name (a file or a printer), whatever it
//   begins with (Invocation::isName).
// - Results go to stdout; errors go to stderr through cli::printError.
// - Exit codes: 0 success, 1 usage error, 2 the operation failed (a database that cannot be opened gives
//   the store's message, which names the file, and 2).
// - Tables, JSON and --help are English: the companion is a tool for people who script or support the
//   panel. A message written through I18n::text (its row in base/translations/CommandLineRows.cpp) uses the
//   panel's interface language, as does the panel's own vocabulary (the settings summary).
// - A print switches the user's printer settings for a while: a termination request (SIGTERM, SIGINT, SIGHUP)
//   puts them back first and exits with 128 + the signal; a switch left by a killed process is put back at
//   the next start, with one line on stderr; a second print waits for the first one's switch, at most 120 s.

#include "base/AppIdentity.h"
#include "base/I18n.h"
#include "base/SettingsKeys.h"
#include "cli/ChooserCommands.h"
#include "cli/CommandLine.h"
#include "cli/PrintCommands.h"
#include "cli/PrinterCommands.h"
#include "cli/StatusCommands.h"
#include "cli/StoreVerbs.h"
#include "platform/ProcessGuards.h"
#include "printing/PrinterSettingsScope.h"
#include "printing/RestoreJournal.h"
#include "printing/SettingsSwitchLock.h"

#include <QApplication>
#include <QCoreApplication>
#include <QSettings>
#include <QSysInfo>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace {

QList<cli::Verb> verbTable()
{
    // One line per verb.
    // clang-format off
    return {
        cli::presetsVerb(),
        cli::historyVerb(),
        cli::printVerb(),
        cli::chooseAndPrintVerb(),
        cli::printersVerb(),
        cli::settingsVerb(),
        cli::statusVerb(),
    };
    // clang-format on
}

const cli::Verb *findVerb(const QList<cli::Verb> &verbs, const QString &name)
{
    for (const cli::Verb &verb : verbs) {
        if (name == QLatin1String(verb.name)) {
            return &verb;
        }
    }
    return nullptr;
}

QString indented(const char *text)
{
    QString result;
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        if (!line.isEmpty()) {
            result += QStringLiteral("      ") + line + QLatin1Char('\n');
        }
    }
    return result;
}

QString verbHelp(const cli::Verb &verb)
{
    return QStringLiteral("  ollavan %1\n      %2\n%3")
        .arg(QString::fromUtf8(verb.synopsis), QString::fromUtf8(verb.summary), indented(verb.details));
}

QString generalHelp(const QList<cli::Verb> &verbs)
{
    QString text =
        QStringLiteral("Usage: ollavan [--json] [--notify] VERB [ARGUMENTS]\n"
                       "       ollavan --help | ollavan VERB --help | ollavan --version\n"
                       "\n"
                       "The command-line companion of Ollavan Quick. It reads and changes the same presets,\n"
                       "print history and settings as the panel.\n"
                       "\n"
                       "Options (anywhere on the line before --):\n"
                       "  --json     machine-readable output (JSON on stdout)\n"
                       "  --notify   show every error as a desktop notification too (for file-manager\n"
                       "             actions)\n"
                       "  --help     this text, or a verb's own help after the verb\n"
                       "  --version  the program version\n"
                       "  --         ends the options: every later argument is a name, for example a\n"
                       "             file called --json or -x\n"
                       "\n"
                       "Verbs:\n");
    for (const cli::Verb &verb : verbs) {
        text += verbHelp(verb);
    }
    text += QStringLiteral(
        "\nExit codes: 0 success, 1 usage error, 2 the operation failed (for example a\n"
        "database that cannot be opened; the message on stderr names the file and says why).\n");
    return text;
}

bool isOption(const char *argument, const char *option)
{
    return std::strcmp(argument, option) == 0;
}

bool isGlobalOption(const QString &argument)
{
    return argument == QLatin1String("--json") || argument == QLatin1String("--notify") ||
           argument == QLatin1String("--help") || argument == QLatin1String("-h");
}

// The verb needs to be known before the application object exists (a painting verb needs a GUI one).
const char *verbNameIn(int argc, char **argv)
{
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        if (!optionsEnded && isOption(argv[i], "--")) {
            optionsEnded = true;
        } else if (optionsEnded || !isGlobalOption(QString::fromLocal8Bit(argv[i]))) {
            return argv[i];
        }
    }
    return nullptr;
}

std::unique_ptr<QCoreApplication> createApplication(int &argc, char **argv, bool gui)
{
    if (!gui) {
        return std::make_unique<QCoreApplication>(argc, argv);
    }
    // Without a display a Linux session has no window system to connect to; painting needs none.
    if (QSysInfo::kernelType() == QLatin1String("linux") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    return std::make_unique<QApplication>(argc, argv);
}

}  // namespace

int main(int argc, char **argv)
{
    platform::holdTerminationRequests();
    const platform::OwnTemporaryFolder temporaryFolder;
    const QList<cli::Verb> verbs = verbTable();
    const char *requestedVerb = verbNameIn(argc, argv);
    const cli::Verb *guiVerb =
        requestedVerb ? findVerb(verbs, QString::fromLocal8Bit(requestedVerb)) : nullptr;
    const std::unique_ptr<QCoreApplication> application =
        createApplication(argc, argv, guiVerb && guiVerb->needsGuiApplication);
    AppIdentity::apply();
    // The settings summary and any panel text follow the interface language the user chose in the panel.
    I18n::setLanguage(
        QSettings().value(QLatin1String(SettingsKeys::Language), QStringLiteral("en")).toString());

    platform::handleTerminationRequests([](int signal) {
        PrinterSettingsScope::restoreBeforeExit();
        platform::OwnTemporaryFolder::remove();
        std::fflush(nullptr);
        std::_Exit(128 + signal);
    });
    QString recovered;
    RestoreJournal::recoverInterruptedSwitch(&recovered);
    if (!recovered.isEmpty())
        cli::printError(recovered);
    SettingsSwitchLock::setWaitNotifier([](bool waiting) {
        if (waiting)
            cli::printError(I18n::text("Waiting for another print job to finish…"));
    });
    SettingsSwitchLock::setWaitLimit(120);

    cli::Invocation invocation;
    bool help = false;
    bool optionsEnded = false;
    bool verbIsName = false;  // the verb came after "--"
    QString verbName;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (const QString &argument : arguments) {
        if (!optionsEnded && argument == QLatin1String("--")) {
            optionsEnded = true;
            invocation.namesFrom = int(invocation.arguments.size());
        } else if (!optionsEnded && argument == QLatin1String("--json")) {
            invocation.json = true;
        } else if (!optionsEnded && argument == QLatin1String("--notify")) {
            cli::setErrorNotifications(true);
        } else if (!optionsEnded && isGlobalOption(argument)) {
            help = true;
        } else if (verbName.isEmpty() && !verbIsName) {
            verbName = argument;
            verbIsName = optionsEnded;
        } else {
            invocation.arguments.append(argument);
        }
    }

    if (verbName == QLatin1String("--version") && !verbIsName) {
        cli::printLine(QStringLiteral("ollavan %1").arg(QCoreApplication::applicationVersion()));
        return cli::ExitSuccess;
    }
    if (verbName.isEmpty() || verbName == QLatin1String("help")) {
        const cli::Verb *verb =
            invocation.arguments.isEmpty() ? nullptr : findVerb(verbs, invocation.arguments.first());
        if (verb) {
            cli::printLine(verbHelp(*verb).chopped(1));
            return cli::ExitSuccess;
        }
        if (verbName.isEmpty() && !help) {
            cli::printError(QStringLiteral("no verb given\n") + generalHelp(verbs).chopped(1));
            return cli::ExitUsage;
        }
        cli::printLine(generalHelp(verbs).chopped(1));
        return cli::ExitSuccess;
    }
    const cli::Verb *verb = findVerb(verbs, verbName);
    if (!verb) {
        cli::printError(QStringLiteral("unknown verb \"%1\" (see ollavan --help)").arg(verbName));
        return cli::ExitUsage;
    }
    if (help) {
        cli::printLine(verbHelp(*verb).chopped(1));
        return cli::ExitSuccess;
    }
    return verb->run(invocation);
}
