#include "platform/PrintJobOptions.h"

#include "platform/linux/SavedJobOptions.h"

#include <QPageSize>
#include <QPrintEngine>
#include <QPrinter>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

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
        QStringList options;
        QString savedMedia;
        QString savedSides;
        QString savedColor;
        for (const CupsOption &saved : savedJobOptions(printer.printerName())) {
            const QString &name = saved.first;
            if (name == QLatin1String("media"))
                savedMedia = saved.second;
            else if (name == QLatin1String("sides"))
                savedSides = saved.second;
            else if (name == QLatin1String("print-color-mode"))
                savedColor = saved.second;
            if (writtenByQt(name) || name == QLatin1String("print-color-mode"))
                continue;
            options << name << saved.second;
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
