#include "platform/linux/CupsDevMode.h"

#include "platform/linux/LpOptions.h"

#include <cups/pwg.h>

#include <algorithm>
#include <cstdlib>

namespace platform {
namespace {

struct PaperEntry
{
    qint16 code;
    const char *pwg;
    const char *name;
};

constexpr PaperEntry paperTable[] = {
    {devmode::PaperLetter, "na_letter_8.5x11in", "Letter"},
    {devmode::PaperLegal, "na_legal_8.5x14in", "Legal"},
    {devmode::PaperExecutive, "na_executive_7.25x10.5in", "Executive"},
    {devmode::PaperA3, "iso_a3_297x420mm", "A3"},
    {devmode::PaperA4, "iso_a4_210x297mm", "A4"},
    {devmode::PaperA5, "iso_a5_148x210mm", "A5"},
    {devmode::PaperB4, "jis_b4_257x364mm", "B4"},
    {devmode::PaperB5, "jis_b5_182x257mm", "B5"},
    {devmode::PaperA6, "iso_a6_105x148mm", "A6"},
    {devmode::PaperB6, "jis_b6_128x182mm", "B6"},
};

// The options that the four record fields stand for; they never ride in the driver extra next to the fields.
const char *const settingOptions[] = {"copies", "print-color-mode", "ColorModel", "sides", "Duplex",
                                      "media",  "PageSize",         "PageRegion"};

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

const PaperEntry *paperForMedia(pwg_media_t *media)
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

QString option(const QList<CupsOption> &options, const char *name)
{
    for (const CupsOption &entry : options) {
        if (entry.first.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return entry.second;
    }
    return QString();
}

bool hasOption(const QList<CupsOption> &options, const char *name)
{
    for (const CupsOption &entry : options) {
        if (entry.first.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

qint16 colorFromKeyword(const QString &value, const CupsQueueInfo &queue)
{
    const QString word = value.trimmed().toLower();
    if (word == QLatin1String("color"))
        return devmode::ColorColor;
    if (word == QLatin1String("auto"))
        return queue.colorSupported || queue.colorModesSupported.contains(QLatin1String("color"))
                   ? devmode::ColorColor
                   : devmode::ColorMonochrome;
    return devmode::ColorMonochrome;
}

qint16 colorFromColorModel(const QString &value)
{
    const QString word = value.trimmed().toLower();
    for (const char *mono : {"gray", "grey", "mono", "black", "kgray", "bw"}) {
        if (word.contains(QLatin1String(mono)))
            return devmode::ColorMonochrome;
    }
    return devmode::ColorColor;
}

qint16 duplexFromSides(const QString &value)
{
    if (value == QLatin1String("two-sided-long-edge"))
        return devmode::DuplexVertical;
    if (value == QLatin1String("two-sided-short-edge"))
        return devmode::DuplexHorizontal;
    return devmode::DuplexSimplex;
}

qint16 duplexFromPpd(const QString &value)
{
    if (value == QLatin1String("DuplexNoTumble"))
        return devmode::DuplexVertical;
    if (value == QLatin1String("DuplexTumble"))
        return devmode::DuplexHorizontal;
    return devmode::DuplexSimplex;
}

QString sidesFromDuplex(qint16 duplex)
{
    if (duplex == devmode::DuplexVertical)
        return QStringLiteral("two-sided-long-edge");
    if (duplex == devmode::DuplexHorizontal)
        return QStringLiteral("two-sided-short-edge");
    return QStringLiteral("one-sided");
}

// Writes the paper fields of a record for a media name; false when the name is no known size.
bool setPaper(DevMode *mode, const QString &media)
{
    pwg_media_t *found = lookUpMedia(media);
    if (!found)
        return false;
    quint32 fields = mode->fields() & ~(devmode::FieldPaperWidth | devmode::FieldPaperLength);
    fields |= devmode::FieldPaperSize | devmode::FieldFormName;
    if (const PaperEntry *entry = paperForMedia(found)) {
        mode->setPaperSize(entry->code);
        mode->setFormName(QString::fromLatin1(entry->name));
        mode->setPaperWidth(0);
        mode->setPaperLength(0);
    } else {
        mode->setPaperSize(devmode::PaperUser);
        mode->setFormName(found->ppd ? QString::fromUtf8(found->ppd) : media.trimmed());
        mode->setPaperWidth(qint16(std::clamp(found->width / 10, 1, 32767)));
        mode->setPaperLength(qint16(std::clamp(found->length / 10, 1, 32767)));
        fields |= devmode::FieldPaperWidth | devmode::FieldPaperLength;
    }
    mode->setFields(fields);
    return true;
}

}  // namespace

bool CupsJobSettings::operator==(const CupsJobSettings &other) const
{
    return copies == other.copies && colorMode == other.colorMode && sides == other.sides &&
           media == other.media;
}

bool cupsPaperForMedia(const QString &media, qint16 *code, QString *name)
{
    const PaperEntry *entry = paperForMedia(lookUpMedia(media));
    if (!entry)
        return false;
    if (code)
        *code = entry->code;
    if (name)
        *name = QString::fromLatin1(entry->name);
    return true;
}

QString cupsMediaForPaper(qint16 code)
{
    for (const PaperEntry &entry : paperTable) {
        if (entry.code == code)
            return QString::fromLatin1(entry.pwg);
    }
    return QString();
}

QString cupsMediaDisplayName(const QString &media)
{
    QString name;
    if (cupsPaperForMedia(media, nullptr, &name))
        return name;
    pwg_media_t *found = lookUpMedia(media);
    if (found && found->ppd)
        return QString::fromUtf8(found->ppd);
    return media;
}

DevMode cupsDevMode(const CupsQueueInfo &queue, const QString &destination, const QByteArray &userOptions)
{
    DevMode mode = DevMode::create(destination, userOptions);
    const QList<CupsOption> options = parseCupsOptions(userOptions);

    bool copiesSet = false;
    const int copies = option(options, "copies").toInt(&copiesSet);
    mode.setCopies(qint16(std::clamp(copiesSet ? copies : queue.copiesDefault, 0, 32767)));

    if (hasOption(options, "print-color-mode"))
        mode.setColor(colorFromKeyword(option(options, "print-color-mode"), queue));
    else if (hasOption(options, "ColorModel"))
        mode.setColor(colorFromColorModel(option(options, "ColorModel")));
    else if (!queue.colorModeDefault.isEmpty())
        mode.setColor(colorFromKeyword(queue.colorModeDefault, queue));
    else
        mode.setColor(queue.colorSupported ? devmode::ColorColor : devmode::ColorMonochrome);

    if (hasOption(options, "sides"))
        mode.setDuplex(duplexFromSides(option(options, "sides")));
    else if (hasOption(options, "Duplex"))
        mode.setDuplex(duplexFromPpd(option(options, "Duplex")));
    else
        mode.setDuplex(duplexFromSides(queue.sidesDefault));

    mode.setFields(devmode::FieldCopies | devmode::FieldColor | devmode::FieldDuplex);
    bool paper = false;
    for (const QString &media : option(options, "media").split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if ((paper = setPaper(&mode, media)))
            break;
    }
    if (!paper && hasOption(options, "PageSize"))
        paper = setPaper(&mode, option(options, "PageSize"));
    if (!paper && hasOption(options, "PageRegion"))
        paper = setPaper(&mode, option(options, "PageRegion"));
    if (!paper)
        paper = setPaper(&mode, queue.mediaDefault);
    if (!paper)
        setPaper(&mode, QStringLiteral("iso_a4_210x297mm"));
    return mode;
}

CupsJobSettings cupsJobSettings(const DevMode &mode)
{
    CupsJobSettings settings;
    settings.copies = std::max<int>(1, mode.copies());
    settings.colorMode =
        mode.color() == devmode::ColorColor ? QStringLiteral("color") : QStringLiteral("monochrome");
    settings.sides = sidesFromDuplex(mode.duplex());
    const quint32 fields = mode.fields();
    const QString tableMedia = cupsMediaForPaper(mode.paperSize());
    if ((fields & devmode::FieldPaperSize) && !tableMedia.isEmpty()) {
        settings.media = tableMedia;
        return settings;
    }
    if (fields & devmode::FieldFormName) {
        if (pwg_media_t *found = lookUpMedia(mode.formName())) {
            settings.media = QString::fromUtf8(found->pwg);
            return settings;
        }
    }
    if ((fields & devmode::FieldPaperWidth) && (fields & devmode::FieldPaperLength) &&
        mode.paperWidth() > 0 && mode.paperLength() > 0) {
        if (pwg_media_t *found = pwgMediaForSize(mode.paperWidth() * 10, mode.paperLength() * 10))
            settings.media = QString::fromUtf8(found->pwg);
    }
    return settings;
}

void cupsValidateDevMode(const CupsQueueInfo &queue, DevMode *mode)
{
    const int minimum = std::max(1, queue.copiesMinimum);
    const int maximum = std::max(minimum, queue.copiesMaximum);
    mode->setCopies(qint16(std::clamp<int>(mode->copies(), minimum, std::min(maximum, 32767))));

    const bool color = queue.colorModesSupported.contains(QLatin1String("color")) ||
                       (queue.colorModesSupported.isEmpty() && queue.colorSupported);
    mode->setColor(mode->color() == devmode::ColorColor && color ? devmode::ColorColor
                                                                 : devmode::ColorMonochrome);

    const qint16 duplex = mode->duplex();
    const bool duplexKnown = duplex == devmode::DuplexVertical || duplex == devmode::DuplexHorizontal;
    mode->setDuplex(duplexKnown && queue.sidesSupported.contains(sidesFromDuplex(duplex))
                        ? duplex
                        : devmode::DuplexSimplex);

    const QString media = cupsJobSettings(*mode).media;
    const bool supported =
        !media.isEmpty() && (queue.mediaSupported.isEmpty() || queue.mediaSupported.contains(media));
    if (!supported || !setPaper(mode, media)) {
        if (!setPaper(mode, queue.mediaDefault))
            setPaper(mode, QStringLiteral("iso_a4_210x297mm"));
    }
    mode->setFields(mode->fields() | devmode::FieldCopies | devmode::FieldColor | devmode::FieldDuplex);
}

QByteArray cupsUserOptionText(const CupsQueueInfo &queue, const DevMode &mode)
{
    const QByteArray own = mode.driverExtra();
    const CupsJobSettings wanted = cupsJobSettings(mode);
    if (cupsJobSettings(cupsDevMode(queue, mode.deviceName(), own)) == wanted)
        return own;
    QList<CupsOption> options;
    for (const CupsOption &entry : parseCupsOptions(own)) {
        const bool setting =
            std::any_of(std::begin(settingOptions), std::end(settingOptions), [&](const char *name) {
                return entry.first.compare(QLatin1String(name), Qt::CaseInsensitive) == 0;
            });
        if (!setting)
            options.append(entry);
    }
    options.append({QStringLiteral("copies"), QString::number(wanted.copies)});
    options.append({QStringLiteral("print-color-mode"), wanted.colorMode});
    options.append({QStringLiteral("sides"), wanted.sides});
    if (!wanted.media.isEmpty())
        options.append({QStringLiteral("media"), wanted.media});
    std::sort(options.begin(), options.end(),
              [](const CupsOption &a, const CupsOption &b) { return a.first < b.first; });
    return encodeCupsOptions(options);
}

}  // namespace platform
