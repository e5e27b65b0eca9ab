#include "platform/PrintJobOptions.h"

#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <cups/cups.h>

namespace platform {
namespace {

// QPrintEngine's property that carries extra CUPS options as name/value pairs (what Qt's print dialog uses).
constexpr int CupsOptionsProperty = 0xfe00;

// Options Qt's CUPS path writes itself from the QPrinter; the printer object carries them instead.
bool writtenByQt(const QString &name)
{
    static const QStringList names = {QStringLiteral("media"),     QStringLiteral("sides"),
                                      QStringLiteral("copies"),    QStringLiteral("collate"),
                                      QStringLiteral("landscape"), QStringLiteral("orientation-requested")};
    return names.contains(name, Qt::CaseInsensitive);
}

// Attributes of the queue that cupsGetNamedDest reports among the options; they are not job options.
bool describesQueue(const QString &name)
{
    return name.startsWith(QLatin1String("printer-")) || name.startsWith(QLatin1String("marker-")) ||
           name.endsWith(QLatin1String("-default")) || name.endsWith(QLatin1String("-supported")) ||
           name == QLatin1String("device-uri") || name == QLatin1String("auth-info-required");
}

// A CUPS media name as a page size: PPD names ("A4", "Letter") and self-describing PWG names
// ("iso_a4_210x297mm", "na_letter_8.5x11in").
QPageSize pageSizeForMedia(const QString &media)
{
    static const QRegularExpression pwg(QStringLiteral("_([0-9.]+)x([0-9.]+)(mm|in)$"));
    const QRegularExpressionMatch match = pwg.match(media);
    if (match.hasMatch()) {
        const QSizeF size(match.captured(1).toDouble(), match.captured(2).toDouble());
        const QPageSize::Unit unit =
            match.captured(3) == QLatin1String("mm") ? QPageSize::Millimeter : QPageSize::Inch;
        const QPageSize::PageSizeId id = QPageSize::id(size, unit, QPageSize::FuzzyMatch);
        if (id != QPageSize::Custom)
            return QPageSize(id);
        return QPageSize(size, unit);
    }
    for (int id = 0; id <= int(QPageSize::LastPageSize); ++id) {
        const auto pageSizeId = QPageSize::PageSizeId(id);
        if (QPageSize::key(pageSizeId).compare(media, Qt::CaseInsensitive) == 0)
            return QPageSize(pageSizeId);
    }
    return QPageSize();
}

class CupsPrintJobOptions final : public PrintJobOptions
{
public:
    void prepare(QPrinter &printer, bool useDriverSettings) override
    {
        const QString fullName = printer.printerName();
        const int slash = fullName.indexOf(QLatin1Char('/'));
        const QByteArray queue = (slash < 0 ? fullName : fullName.left(slash)).toLocal8Bit();
        const QByteArray instance = slash < 0 ? QByteArray() : fullName.mid(slash + 1).toLocal8Bit();

        QStringList options;
        QString savedMedia;
        QString savedSides;
        QString savedColor;
        if (cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                                 instance.isEmpty() ? nullptr : instance.constData())) {
            for (int i = 0; i < dest->num_options; ++i) {
                const QString name = QString::fromUtf8(dest->options[i].name);
                const QString value = QString::fromUtf8(dest->options[i].value);
                if (name == QLatin1String("media"))
                    savedMedia = value;
                else if (name == QLatin1String("sides"))
                    savedSides = value;
                else if (name == QLatin1String("print-color-mode"))
                    savedColor = value;
                if (writtenByQt(name) || describesQueue(name) || name == QLatin1String("print-color-mode"))
                    continue;
                options << name << value;
            }
            cupsFreeDests(1, dest);
        }

        if (useDriverSettings) {
            // The printer's own settings: Qt writes paper and sides from the printer object, so it takes them
            // from the saved options; the colour mode travels as an option of its own.
            const QPageSize pageSize = pageSizeForMedia(savedMedia);
            if (pageSize.isValid())
                printer.setPageSize(pageSize);
            if (savedSides == QLatin1String("two-sided-long-edge"))
                printer.setDuplex(QPrinter::DuplexLongSide);
            else if (savedSides == QLatin1String("two-sided-short-edge"))
                printer.setDuplex(QPrinter::DuplexShortSide);
            else if (savedSides == QLatin1String("one-sided"))
                printer.setDuplex(QPrinter::DuplexNone);
            if (!savedColor.isEmpty()) {
                printer.setColorMode(savedColor == QLatin1String("color") ? QPrinter::Color
                                                                          : QPrinter::GrayScale);
                options << QStringLiteral("print-color-mode") << savedColor;
            }
        } else {
            options << QStringLiteral("print-color-mode")
                    << (printer.colorMode() == QPrinter::Color ? QStringLiteral("color")
                                                               : QStringLiteral("monochrome"));
        }

        if (QPrintEngine *engine = printer.printEngine())
            engine->setProperty(QPrintEngine::PrintEnginePropertyKey(CupsOptionsProperty), options);
    }
};

}  // namespace

std::unique_ptr<PrintJobOptions> createSystemPrintJobOptions()
{
    return std::make_unique<CupsPrintJobOptions>();
}

}  // namespace platform
