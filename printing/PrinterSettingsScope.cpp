#include "printing/PrinterSettingsScope.h"

#include "base/I18n.h"
#include "platform/DevMode.h"
#include "platform/SystemTexts.h"

#include <algorithm>

QMutex printerSettingsMutex;

namespace {

// GetPrinterW at `level`: size query, then the read. Distinguishes the three ways it can fail.
enum class DevModeRead { Ok, NoSize, ReadFailed, NoDevMode };

DevModeRead readPrinterDevMode(platform::Spooler &spooler, platform::PrinterHandle printer, quint32 level,
                               QByteArray *devMode)
{
    const quint32 needed = spooler.printerInfoSize(printer, level);
    if (needed == 0)
        return DevModeRead::NoSize;
    QByteArray copy;
    if (!spooler.printerDevMode(printer, level, needed, &copy))
        return DevModeRead::ReadFailed;
    if (copy.isNull())
        return DevModeRead::NoDevMode;
    *devMode = copy;
    return DevModeRead::Ok;
}

bool fail(QString *error, const QString &message)
{
    if (error)
        *error = message;
    return false;
}

}  // namespace

bool PrinterSettingsScope::apply(const PrintPreset &preset, QString *error)
{
    platform::Spooler &spooler = platform::spooler();
    const QString &printerName = preset.printerName;

    // 1. The default printer to come back to; none (or an unreadable one) is not an error.
    const quint32 length = spooler.defaultPrinterNameLength();
    if (length > 1) {
        QString name;
        if (spooler.defaultPrinter(length, &name))
            previousDefaultPrinter = name;
    }

    // 2. The preset's printer.
    platform::PrinterHandle printer = 0;
    if (!spooler.openPrinter(printerName, &printer) || printer == 0)
        return fail(error, I18n::text("Printer not found: %1").arg(printerName));
    printerHandle = printer;

    // 3. Make it the default printer.
    if (!spooler.setDefaultPrinter(printerName))
        return fail(error,
                    I18n::text("Unable to temporarily switch the default printer: %1").arg(printerName));

    // 4. and 5. The user's own settings for it, kept for the way back.
    QByteArray userDevMode;
    switch (readPrinterDevMode(spooler, printerHandle, platform::PrinterInfoUserDevMode, &userDevMode)) {
    case DevModeRead::NoSize:
        return fail(error, I18n::text("Unable to read printer defaults: %1").arg(printerName));
    case DevModeRead::ReadFailed:
        return fail(error, I18n::text("Failed to read printer defaults: %1").arg(printerName));
    case DevModeRead::NoDevMode:
        return fail(error, I18n::text("The printer driver did not provide print settings."));
    case DevModeRead::Ok:
        break;
    }
    savedUserDevMode = userDevMode;

    // 6. The base: the printer's clean global defaults, or the user's own driver settings.
    QByteArray working;
    if (!preset.useDriverSettings) {
        switch (readPrinterDevMode(spooler, printerHandle, platform::PrinterInfoGlobalDevMode, &working)) {
        case DevModeRead::NoSize:
        case DevModeRead::ReadFailed:
            return fail(error, I18n::text("Unable to read clean printer defaults: %1").arg(printerName));
        case DevModeRead::NoDevMode:
            return fail(error, I18n::text("The printer driver did not provide clean default settings."));
        case DevModeRead::Ok:
            break;
        }
    } else {
        working = savedUserDevMode;
    }

    // 7. The preset's choices.
    platform::DevMode mode(working);
    quint32 fields = mode.fields() | platform::devmode::FieldCopies;
    mode.setCopies(qint16(std::clamp(preset.copies, 1, 9999)));
    if (!preset.useDriverSettings) {
        fields |= platform::devmode::FieldPaperSize | platform::devmode::FieldColor |
                  platform::devmode::FieldDuplex;
        mode.setColor(preset.colorMode == ColorMode::Color ? platform::devmode::ColorColor
                                                           : platform::devmode::ColorMonochrome);
        if (preset.duplexMode == DuplexMode::Simplex)
            mode.setDuplex(platform::devmode::DuplexSimplex);
        else if (preset.duplexEdge == DuplexEdge::Short)
            mode.setDuplex(platform::devmode::DuplexHorizontal);
        else
            mode.setDuplex(platform::devmode::DuplexVertical);
        mode.setPaperSize(qint16(paperCodeForName(preset.paperSize)));
    }
    mode.setFields(fields);
    working = mode.bytes();

    // 8. The driver validates and merges.
    if (spooler.documentProperties(nullptr, printerHandle, printerName, &working, &working,
                                   platform::DocumentPropertiesMerge) != platform::DocumentPropertiesOk)
        return fail(error, I18n::text("The printer driver rejected these print settings."));

    // 9. The user's settings become the preset's.
    if (!spooler.setPrinterDevMode(printerHandle, platform::PrinterInfoUserDevMode, working)) {
        const quint32 code = spooler.lastError();
        return fail(error,
                    I18n::text(platform::systemText("Unable to apply printer settings (Windows error %1)"))
                        .arg(code));
    }
    return true;
}

PrinterSettingsScope::~PrinterSettingsScope()
{
    platform::Spooler &spooler = platform::spooler();
    if (printerHandle != 0) {
        if (!savedUserDevMode.isEmpty())
            spooler.setPrinterDevMode(printerHandle, platform::PrinterInfoUserDevMode, savedUserDevMode);
        spooler.closePrinter(printerHandle);
    }
    if (!previousDefaultPrinter.isEmpty())
        spooler.setDefaultPrinter(previousDefaultPrinter);
}

namespace {

// The paper names in the order they are tested; the first prefix that matches wins.
struct PaperPrefix
{
    const char *prefix;
    int code;
    QPageSize::PageSizeId pageSize;
};

constexpr PaperPrefix paperPrefixes[] = {
    {"A3", 8, QPageSize::A3},         {"A4", 9, QPageSize::A4},       {"A5", 11, QPageSize::A5},
    {"A6", 70, QPageSize::A6},        {"B4", 12, QPageSize::B4},      {"B5", 13, QPageSize::B5},
    {"LETTER", 1, QPageSize::Letter}, {"LEGAL", 5, QPageSize::Legal},
};

const PaperPrefix *matchPaper(const QString &name)
{
    const QString normalised = name.trimmed().toUpper();
    for (const PaperPrefix &paper : paperPrefixes) {
        if (normalised.startsWith(QLatin1String(paper.prefix)))
            return &paper;
    }
    return nullptr;
}

}  // namespace

int paperCodeForName(const QString &name)
{
    const PaperPrefix *paper = matchPaper(name);
    return paper ? paper->code : 9;
}

QPageSize pageSizeForName(const QString &name)
{
    const PaperPrefix *paper = matchPaper(name);
    return QPageSize(paper ? paper->pageSize : QPageSize::A4);
}
