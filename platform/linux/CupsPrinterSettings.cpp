#include "platform/linux/CupsPrinterSettings.h"

#include "platform/PaperNames.h"
#include "platform/linux/CupsQueue.h"
#include "platform/linux/LpOptions.h"

#include <cups/pwg.h>

#include <algorithm>
#include <cstdlib>

namespace platform {
namespace {

// The records of a user's settings: the destination's line (after 'L'), or none in an existing file, or no
// file. The records of a default printer: the whole file (after 'F'), or no file, or named by the
// environment.
constexpr char lineRecord = 'L';
constexpr char noLineRecord = '-';
constexpr char noFileRecord = '0';
constexpr char fileRecord = 'F';
constexpr char environmentRecord = 'E';

// The papers with a name of their own; others are named by their PPD or PWG name.
struct PaperEntry
{
    int code;  // DMPAPER, for the preset's paper names (platform/PaperNames.h)
    const char *pwg;
    const char *name;
};

constexpr PaperEntry paperTable[] = {
    {1, "na_letter_8.5x11in", "Letter"},
    {5, "na_legal_8.5x14in", "Legal"},
    {7, "na_executive_7.25x10.5in", "Executive"},
    {8, "iso_a3_297x420mm", "A3"},
    {9, "iso_a4_210x297mm", "A4"},
    {11, "iso_a5_148x210mm", "A5"},
    {12, "jis_b4_257x364mm", "B4"},
    {13, "jis_b5_182x257mm", "B5"},
    {70, "iso_a6_105x148mm", "A6"},
    {88, "jis_b6_128x182mm", "B6"},
};

const char *const a4 = "iso_a4_210x297mm";

pwg_media_t *lookUpMedia(const QString &media)
{
    const QByteArray name = media.trimmed().toUtf8();
    if (name.isEmpty())
        return nullptr;
    if (pwg_media_t *found = pwgMediaForPWG(name.constData()))
        return found;
    if (pwg_media_t *found = pwgMediaForLegacy(name.constData()))
        return found;
    return pwgMediaForPPD(name.constData());
}

// The table's paper of a media size: by its PWG name, else by its size (within a millimetre).
const PaperEntry *tablePaper(pwg_media_t *media)
{
    if (!media)
        return nullptr;
    for (const PaperEntry &entry : paperTable) {
        if (media->pwg && qstrcmp(media->pwg, entry.pwg) == 0)
            return &entry;
    }
    for (const PaperEntry &entry : paperTable) {
        pwg_media_t *known = pwgMediaForPWG(entry.pwg);
        if (known && std::abs(known->width - media->width) <= 100 &&
            std::abs(known->length - media->length) <= 100)
            return &entry;
    }
    return nullptr;
}

// A paper's name as the program shows it: the table's name, else the PPD name, else the media name.
QString paperName(const QString &media)
{
    pwg_media_t *found = lookUpMedia(media);
    if (const PaperEntry *entry = tablePaper(found))
        return QString::fromLatin1(entry->name);
    if (found && found->ppd)
        return QString::fromUtf8(found->ppd);
    return media.trimmed();
}

// The PWG media of a paper name: the table's name, a name the queue shows for one of its media, a PWG,
// legacy or PPD name, else the preset's rule for paper names.
QString mediaForPaper(const CupsQueueInfo &queue, const QString &paper)
{
    const QString name = paper.trimmed();
    for (const PaperEntry &entry : paperTable) {
        if (name.compare(QLatin1String(entry.name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(entry.pwg);
    }
    for (const QString &media : queue.mediaSupported) {
        if (paperName(media).compare(name, Qt::CaseInsensitive) == 0)
            return media;
    }
    if (pwg_media_t *found = lookUpMedia(name))
        return QString::fromUtf8(found->pwg);
    const int code = paperCodeForName(name);
    for (const PaperEntry &entry : paperTable) {
        if (entry.code == code)
            return QString::fromLatin1(entry.pwg);
    }
    return QString::fromLatin1(a4);
}

QString option(const QList<CupsOption> &options, const char *name, bool *present = nullptr)
{
    for (const CupsOption &entry : options) {
        if (entry.first.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            if (present)
                *present = true;
            return entry.second;
        }
    }
    if (present)
        *present = false;
    return QString();
}

bool colorSupported(const CupsQueueInfo &queue)
{
    return queue.colorModesSupported.contains(QLatin1String("color")) ||
           (queue.colorModesSupported.isEmpty() && queue.colorSupported);
}

ColorMode colorFromKeyword(const QString &value, const CupsQueueInfo &queue)
{
    const QString word = value.trimmed().toLower();
    if (word == QLatin1String("color") || (word == QLatin1String("auto") && colorSupported(queue)))
        return ColorMode::Color;
    return ColorMode::Mono;
}

ColorMode colorFromColorModel(const QString &value)
{
    const QString word = value.trimmed().toLower();
    for (const char *mono : {"gray", "grey", "mono", "black", "kgray", "bw"}) {
        if (word.contains(QLatin1String(mono)))
            return ColorMode::Mono;
    }
    return ColorMode::Color;
}

Sides sidesFromKeyword(const QString &value)
{
    if (value == QLatin1String("two-sided-long-edge"))
        return Sides::TwoSidedLongEdge;
    if (value == QLatin1String("two-sided-short-edge"))
        return Sides::TwoSidedShortEdge;
    return Sides::OneSided;
}

Sides sidesFromPpd(const QString &value)
{
    if (value == QLatin1String("DuplexNoTumble"))
        return Sides::TwoSidedLongEdge;
    if (value == QLatin1String("DuplexTumble"))
        return Sides::TwoSidedShortEdge;
    return Sides::OneSided;
}

QString sidesKeyword(Sides sides)
{
    switch (sides) {
    case Sides::TwoSidedLongEdge:
        return QStringLiteral("two-sided-long-edge");
    case Sides::TwoSidedShortEdge:
        return QStringLiteral("two-sided-short-edge");
    case Sides::OneSided:
        break;
    }
    return QStringLiteral("one-sided");
}

// The options of a settings record: those of its line; none for the other records.
QByteArray optionsOf(const QByteArray &record)
{
    if (!record.startsWith(lineRecord))
        return QByteArray();
    LpOptionsFile line;
    line.setContent(record.mid(1));
    return line.lineCount() > 0 ? line.optionsAt(0) : QByteArray();
}

// The settings a record gives on the queue: its options over the queue's defaults.
PrinterSettings settingsOf(const CupsQueueInfo &queue, const QByteArray &record)
{
    const QList<CupsOption> options = parseCupsOptions(optionsOf(record));
    PrinterSettings settings;
    settings.record = record;
    bool present = false;
    const int copies = option(options, "copies").toInt(&present);
    settings.copies = present ? copies : queue.copiesDefault;

    const QString colorMode = option(options, "print-color-mode", &present);
    if (present)
        settings.color = colorFromKeyword(colorMode, queue);
    else if (const QString model = option(options, "ColorModel", &present); present)
        settings.color = colorFromColorModel(model);
    else if (!queue.colorModeDefault.isEmpty())
        settings.color = colorFromKeyword(queue.colorModeDefault, queue);
    else
        settings.color = colorSupported(queue) ? ColorMode::Color : ColorMode::Mono;

    const QString sides = option(options, "sides", &present);
    if (present)
        settings.sides = sidesFromKeyword(sides);
    else if (const QString duplex = option(options, "Duplex", &present); present)
        settings.sides = sidesFromPpd(duplex);
    else
        settings.sides = sidesFromKeyword(queue.sidesDefault);

    QStringList candidates = option(options, "media").split(QLatin1Char(','), Qt::SkipEmptyParts);
    candidates << option(options, "PageSize") << option(options, "PageRegion") << queue.mediaDefault;
    for (const QString &media : candidates) {
        if (lookUpMedia(media)) {
            settings.paper = paperName(media);
            break;
        }
    }
    if (settings.paper.isEmpty())
        settings.paper = paperName(QString::fromLatin1(a4));
    return settings;
}

// The options text with the value's choices written into it: every choice that is set when `explicitly`,
// else those that differ from what the text gives. Unchanged, the text comes back as it was.
QByteArray optionsWith(const CupsQueueInfo &queue, const PrinterSettings &settings, bool explicitly)
{
    const QByteArray text = optionsOf(settings.record);
    const PrinterSettings held = settingsOf(queue, settings.record);
    QList<CupsOption> options = parseCupsOptions(text);
    bool changed = false;
    const auto write = [&](std::initializer_list<const char *> replaced, const char *name,
                           const QString &value) {
        options.erase(
            std::remove_if(options.begin(), options.end(),
                           [&](const CupsOption &entry) {
                               return std::any_of(replaced.begin(), replaced.end(), [&](const char *old) {
                                   return entry.first.compare(QLatin1String(old), Qt::CaseInsensitive) == 0;
                               });
                           }),
            options.end());
        options.append({QString::fromLatin1(name), value});
        changed = true;
    };
    if (settings.copies && (explicitly || settings.copies != held.copies))
        write({"copies"}, "copies", QString::number(*settings.copies));
    if (!settings.paper.isEmpty() &&
        (explicitly || settings.paper.compare(held.paper, Qt::CaseInsensitive) != 0))
        write({"media", "PageSize", "PageRegion"}, "media", mediaForPaper(queue, settings.paper));
    if (settings.color && (explicitly || settings.color != held.color))
        write({"print-color-mode", "ColorModel"}, "print-color-mode",
              *settings.color == ColorMode::Color ? QStringLiteral("color") : QStringLiteral("monochrome"));
    if (settings.sides && (explicitly || settings.sides != held.sides))
        write({"sides", "Duplex"}, "sides", sidesKeyword(*settings.sides));
    return changed ? encodeCupsOptions(options) : text;
}

QString environmentDefault()
{
    const QString lpdest = qEnvironmentVariable("LPDEST").trimmed();
    if (!lpdest.isEmpty())
        return lpdest;
    const QString printer = qEnvironmentVariable("PRINTER").trimmed();
    return printer == QLatin1String("lp") ? QString() : printer;
}

// The default when the user's file names none: the system's file, then the server.
bool defaultWithoutUserLine(QString *name)
{
    LpOptionsFile system;
    if (system.load(LpOptionsFile::systemPath()) && system.defaultIndex() >= 0) {
        *name = system.destinationAt(system.defaultIndex());
        return true;
    }
    return cupsServerDefault(name, nullptr);
}

class CupsPrinter final : public OpenPrinter
{
public:
    CupsPrinter(const CupsQueueInfo &queue, const QString &destination)
        : queue(queue), destination(destination)
    {
    }

    SettingsRead userSettings(PrinterSettings *settings) override
    {
        LpOptionsFile file;
        if (!file.load(LpOptionsFile::userPath()))
            return SettingsRead::Failed;
        QByteArray record(1, noFileRecord);
        if (file.exists()) {
            const int index = file.indexOf(destination);
            record = index < 0 ? QByteArray(1, noLineRecord) : lineRecord + file.lineAt(index);
        }
        *settings = settingsOf(queue, record);
        return SettingsRead::Ok;
    }

    SettingsRead defaultSettings(PrinterSettings *settings) override
    {
        *settings = settingsOf(queue, QByteArray());
        return SettingsRead::Ok;
    }

    bool validate(PrinterSettings *settings) override
    {
        PrinterSettings clamped = *settings;
        if (clamped.copies) {
            const int minimum = std::clamp(queue.copiesMinimum, 1, 9999);
            clamped.copies =
                std::clamp(*clamped.copies, minimum, std::clamp(queue.copiesMaximum, minimum, 9999));
        }
        if (clamped.color && !colorSupported(queue))
            clamped.color = ColorMode::Mono;
        if (clamped.sides && !queue.sidesSupported.contains(sidesKeyword(*clamped.sides)))
            clamped.sides = Sides::OneSided;
        if (!clamped.paper.isEmpty()) {
            QString media = mediaForPaper(queue, clamped.paper);
            if (!queue.mediaSupported.isEmpty() && !queue.mediaSupported.contains(media))
                media = queue.mediaDefault.isEmpty() ? QString::fromLatin1(a4) : queue.mediaDefault;
            clamped.paper = paperName(media);
        }
        LpOptionsFile line;
        line.setContent(QByteArray());
        line.appendLine(false, destination, optionsWith(queue, clamped, true));
        *settings = settingsOf(queue, lineRecord + line.lineAt(0));
        return true;
    }

    SettingsRead currentSettings(PrinterSettings *settings) override { return userSettings(settings); }

    PrinterChoices choices() override
    {
        PrinterChoices offered;
        offered.copiesMinimum = std::clamp(queue.copiesMinimum, 1, 9999);
        offered.copiesMaximum = std::clamp(queue.copiesMaximum, offered.copiesMinimum, 9999);
        if (colorSupported(queue))
            offered.colors << ColorMode::Color;
        offered.colors << ColorMode::Mono;
        offered.sides << Sides::OneSided;
        for (Sides sides : {Sides::TwoSidedLongEdge, Sides::TwoSidedShortEdge}) {
            if (queue.sidesSupported.contains(sidesKeyword(sides)))
                offered.sides << sides;
        }
        for (const QString &media : queue.mediaSupported)
            offered.papers << paperName(media);
        return offered;
    }

    DialogAnswer runDriverDialog(quintptr, PrinterSettings *) override { return DialogAnswer::NotOffered; }

    bool setUserSettings(const PrinterSettings &settings, QString *failure) override
    {
        LpOptionsFile file;
        if (!file.load(LpOptionsFile::userPath(), failure))
            return false;
        const int index = file.indexOf(destination);
        if (settings.hasChoices()) {
            const QByteArray options = optionsWith(queue, settings, false);
            if (index >= 0)
                file.setOptionsAt(index, options);
            else if (!options.isEmpty())
                file.appendLine(false, destination, options);
            return file.save(failure);
        }
        // A record put back: the destination's line exactly as it was, or none.
        const QByteArray &record = settings.record;
        if (record.startsWith(lineRecord)) {
            if (index >= 0)
                file.setLine(index, record.mid(1));
            else
                file.insertLine(file.lineCount(), record.mid(1));
        } else if (record == QByteArray(1, noLineRecord) || record == QByteArray(1, noFileRecord)) {
            if (index < 0)
                return true;
            file.removeLine(index);
        } else {
            return true;
        }
        return file.save(failure, record == QByteArray(1, noFileRecord));
    }

private:
    const CupsQueueInfo queue;
    const QString destination;
};

}  // namespace

DefaultPrinterRead CupsPrinterSettings::defaultPrinter(DefaultPrinter *printer)
{
    *printer = DefaultPrinter();
    const QString fromEnvironment = environmentDefault();
    if (!fromEnvironment.isEmpty()) {
        printer->name = fromEnvironment;
        printer->record = QByteArray(1, environmentRecord);
        return DefaultPrinterRead::Found;
    }
    LpOptionsFile user;
    if (!user.load(LpOptionsFile::userPath()))
        return DefaultPrinterRead::Failed;
    printer->record = user.exists() ? fileRecord + user.content() : QByteArray(1, noFileRecord);
    if (user.defaultIndex() >= 0) {
        printer->name = user.destinationAt(user.defaultIndex());
        return DefaultPrinterRead::Found;
    }
    if (!defaultWithoutUserLine(&printer->name))
        return DefaultPrinterRead::Failed;
    return printer->name.isEmpty() ? DefaultPrinterRead::None : DefaultPrinterRead::Found;
}

bool CupsPrinterSettings::setDefaultPrinter(const QString &printerName)
{
    if (!environmentDefault().isEmpty())
        return true;  // the environment decides; the job names its queue anyway
    LpOptionsFile user;
    if (!user.load(LpOptionsFile::userPath()))
        return false;
    const int current = user.defaultIndex();
    if (current >= 0 && user.destinationAt(current).compare(printerName, Qt::CaseInsensitive) == 0)
        return true;
    QString fallback;
    if (current < 0 && defaultWithoutUserLine(&fallback) &&
        fallback.compare(printerName, Qt::CaseInsensitive) == 0)
        return true;  // already the default without a line of the user's
    if (current >= 0)
        user.setDefaultAt(current, false);
    const int index = user.indexOf(printerName);
    if (index >= 0)
        user.setDefaultAt(index, true);
    else
        user.appendLine(true, printerName, QByteArray());
    return user.save();
}

bool CupsPrinterSettings::restoreDefaultPrinter(const DefaultPrinter &previous, QString *failure)
{
    const QByteArray &record = previous.record;
    if (!record.startsWith(fileRecord) && record != QByteArray(1, noFileRecord))
        return true;  // named by the environment, or unknown: nothing was written
    LpOptionsFile original;
    original.setContent(record.mid(1));
    LpOptionsFile current;
    if (!current.load(LpOptionsFile::userPath(), failure))
        return false;
    const int originalDefault = original.defaultIndex();
    const QString originalName = originalDefault >= 0 ? original.destinationAt(originalDefault) : QString();
    const int currentDefault = current.defaultIndex();
    const QString currentName = currentDefault >= 0 ? current.destinationAt(currentDefault) : QString();
    if (currentName.compare(originalName, Qt::CaseInsensitive) == 0)
        return true;
    // The line the switch made the Default line goes back to what it was.
    const auto lineOf = [](const LpOptionsFile &file, int at, const QString &destination) {
        const bool there =
            at < file.lineCount() && file.destinationAt(at).compare(destination, Qt::CaseInsensitive) == 0;
        return there ? at : file.indexOf(destination);
    };
    if (currentDefault >= 0) {
        const int before = lineOf(original, currentDefault, currentName);
        if (before >= 0)
            current.setLine(currentDefault, original.lineAt(before));
        else if (current.optionsAt(currentDefault).isEmpty())
            current.removeLine(currentDefault);
        else
            current.setDefaultAt(currentDefault, false);
    }
    // The Default line the user had comes back, where it was.
    if (originalDefault >= 0) {
        const int now = lineOf(current, originalDefault, originalName);
        if (now >= 0)
            current.setLine(now, original.lineAt(originalDefault));
        else
            current.insertLine(originalDefault, original.lineAt(originalDefault));
    }
    return current.save(failure, record == QByteArray(1, noFileRecord));
}

std::unique_ptr<OpenPrinter> CupsPrinterSettings::openPrinter(const QString &printerName, QString *failure)
{
    const int slash = printerName.indexOf(QLatin1Char('/'));
    QString name = slash < 0 ? printerName : printerName.left(slash);
    const QString instance = slash < 0 ? QString() : printerName.mid(slash + 1);
    CupsQueueInfo queue;
    if (slash >= 0 && (instance.isEmpty() || instance.contains(QLatin1Char('/'))))
        name.clear();
    if (!cupsQueueInfo(name, &queue, failure))
        return nullptr;
    const QString destination = instance.isEmpty() ? queue.name : queue.name + QLatin1Char('/') + instance;
    return std::make_unique<CupsPrinter>(queue, destination);
}

QStringList CupsPrinterSettings::printerNames(QString *failure)
{
    QStringList names;
    cupsQueueNames(&names, failure);
    return names;
}

std::unique_ptr<PrinterSettingsSystem> createSystemPrinterSettings()
{
    return std::make_unique<CupsPrinterSettings>();
}

}  // namespace platform
