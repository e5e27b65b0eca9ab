#include "cli/ChooserCommands.h"

#include "base/I18n.h"
#include "base/QtTranslations.h"
#include "cli/PrintCommands.h"
#include "model/PresetRepository.h"
#include "ui/PresetChooser.h"

#include <QGuiApplication>

namespace cli {

namespace {

int runChooseAndPrint(const Invocation &invocation)
{
    if (invocation.arguments.isEmpty()) {
        printError(QStringLiteral("choose-and-print: usage: ollavan choose-and-print FILE..."));
        return ExitUsage;
    }
    // Without a display no one would see the window, and the command would wait for ever.
    if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
        printError(
            QStringLiteral("choose-and-print: there is no display to show the preset chooser on (use print "
                           "--preset ID|TITLE FILE... instead)"));
        return ExitFailure;
    }
    QList<PrintPreset> presets;
    {
        const std::unique_ptr<PresetRepository> store = openStore();
        if (!store)
            return ExitFailure;
        QString error;
        presets = store->presets(&error);
        if (!error.isEmpty()) {
            printError(QStringLiteral("cannot read the presets: %1").arg(error));
            return ExitFailure;
        }
    }
    if (presets.isEmpty()) {
        printError(I18n::text("There are no presets yet. Add one in the Ollavan Quick panel."));
        return ExitFailure;
    }

    QtTranslations::apply(I18n::language());
    PresetChooser chooser(presets, invocation.arguments);
    if (chooser.exec() != QDialog::Accepted)
        return ExitSuccess;
    Invocation print = invocation;
    print.arguments = QStringList{QStringLiteral("--preset"), QString::number(chooser.chosenPresetId())} +
                      invocation.arguments;
    return printVerb().run(print);
}

}  // namespace

Verb chooseAndPrintVerb()
{
    return Verb{"choose-and-print",
                "choose-and-print FILE...",
                "Ask for the preset in a small window, then print the files with it as print does.",
                "The window lists the presets in card order; Print, Enter or a double click takes the\n"
                "selected one, and the files print exactly as `ollavan print --preset ID FILE...`, with\n"
                "its output, --json and exit codes. Cancel prints nothing and exits with 0. No presets\n"
                "at all or no display to show the window on is an error (exit code 2). The file managers'\n"
                "static \"Print with preset\" actions run `ollavan --notify choose-and-print FILE...`.",
                runChooseAndPrint,
                true};
}

}  // namespace cli
