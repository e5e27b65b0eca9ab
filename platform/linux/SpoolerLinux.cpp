// The spooler on CUPS. The default printer is the user's default destination (LPDEST, PRINTER, the Default
// line of ~/.cups/lpoptions, of the system's lpoptions, then the server's default); the per-user DEVMODE is
// the user's saved options for the queue in ~/.cups/lpoptions; the global DEVMODE is the queue's defaults on
// the server; the driver's validation clamps a record to the queue's supported values; the driver's dialog is
// a dialog of our own over the queue's choices.
#include "platform/Spooler.h"

#include "platform/DevMode.h"
#include "platform/linux/CupsDevMode.h"
#include "platform/linux/CupsQueue.h"
#include "platform/linux/LpOptions.h"
#include "platform/linux/QueueOptionsDialog.h"

#include <QApplication>
#include <QThread>

#include <cerrno>
#include <cstring>

namespace platform {
namespace {

// Windows error codes where a Windows caller expects one; other failures report the IPP status or errno.
constexpr quint32 errorFileNotFound = 2;
constexpr quint32 errorInvalidHandle = 6;
constexpr quint32 errorInvalidParameter = 87;
constexpr quint32 errorInsufficientBuffer = 122;
constexpr quint32 errorInvalidLevel = 124;
constexpr quint32 errorInvalidPrinterName = 1801;
constexpr quint32 sizeOfPrinterInfo = 8;  // PRINTER_INFO_8 and PRINTER_INFO_9 hold one pointer

thread_local quint32 threadLastError = 0;

// An open printer: the queue as the server described it when it was opened, and the destination the user's
// options are saved under (the queue, or "queue/instance" for an instance).
struct OpenQueue
{
    CupsQueueInfo queue;
    QString destination;
};

OpenQueue *queueOf(PrinterHandle printer)
{
    return reinterpret_cast<OpenQueue *>(printer);
}

// Looks up the queue of a destination ("queue" or "queue/instance"); *canonical receives the destination with
// the queue's name as the server spells it.
bool describe(const QString &destination, CupsQueueInfo *queue, QString *canonical, quint32 *error)
{
    const int slash = destination.indexOf(QLatin1Char('/'));
    const QString name = slash < 0 ? destination : destination.left(slash);
    const QString instance = slash < 0 ? QString() : destination.mid(slash + 1);
    if (slash >= 0 && (instance.isEmpty() || instance.contains(QLatin1Char('/')))) {
        *error = errorInvalidPrinterName;
        return false;
    }
    if (!cupsQueueInfo(name, queue, error))
        return false;
    *canonical = instance.isEmpty() ? queue->name : queue->name + QLatin1Char('/') + instance;
    return true;
}

class CupsSpooler final : public Spooler
{
public:
    quint32 defaultPrinterNameLength() override
    {
        QString name;
        if (!resolveDefault(&name) || name.isEmpty())
            return 0;
        return quint32(name.size() + 1);
    }

    bool defaultPrinter(quint32 length, QString *name) override
    {
        QString found;
        if (!resolveDefault(&found))
            return false;
        if (found.isEmpty())
            return fail(errorFileNotFound);
        if (quint32(found.size() + 1) > length)
            return fail(errorInsufficientBuffer);
        if (name)
            *name = found;
        return true;
    }

    bool setDefaultPrinter(const QString &printerName) override
    {
        CupsQueueInfo queue;
        QString destination;
        quint32 error = 0;
        if (printerName.trimmed().isEmpty() || !describe(printerName, &queue, &destination, &error))
            return fail(error ? error : errorInvalidPrinterName);
        LpOptionsFile file;
        int fileError = 0;
        if (!file.load(LpOptionsFile::userPath(), &fileError))
            return fail(quint32(fileError));
        if (file.defaultDestination().compare(destination, Qt::CaseInsensitive) == 0)
            return true;
        if (file.hasLine(destination)) {
            file.setDefaultDestination(destination);
        } else {
            // Without a Default line of its own the user gets the system's choice; when that is the printer
            // asked for, the user's file need not name it (as before a switch away from it).
            QString fallback;
            if (!defaultWithoutUserFile(&fallback))
                return false;
            if (fallback.compare(destination, Qt::CaseInsensitive) == 0)
                file.clearDefaultDestination();
            else
                file.setDefaultDestination(destination);
        }
        if (!file.save(&fileError))
            return fail(quint32(fileError));
        // Check what was written: a file that cannot be written in place may still have been left alone.
        LpOptionsFile written;
        if (!written.load(LpOptionsFile::userPath(), &fileError) || written.content() != file.content())
            return fail(quint32(fileError ? fileError : EIO));
        return true;
    }

    bool openPrinter(const QString &printerName, PrinterHandle *printer) override
    {
        if (printer)
            *printer = 0;
        CupsQueueInfo queue;
        QString destination;
        quint32 error = 0;
        if (!printer || printerName.trimmed().isEmpty() ||
            !describe(printerName, &queue, &destination, &error))
            return fail(error ? error : errorInvalidPrinterName);
        *printer = reinterpret_cast<PrinterHandle>(new OpenQueue{queue, destination});
        return true;
    }

    void closePrinter(PrinterHandle printer) override { delete queueOf(printer); }

    quint32 printerInfoSize(PrinterHandle printer, quint32 level) override
    {
        DevMode mode;
        if (!readDevMode(printer, level, &mode))
            return 0;
        threadLastError = errorInsufficientBuffer;  // as the spooler answers a size query
        return sizeOfPrinterInfo + quint32(mode.bytes().size());
    }

    bool printerDevMode(PrinterHandle printer, quint32 level, quint32 bufferSize,
                        QByteArray *devMode) override
    {
        DevMode mode;
        if (!readDevMode(printer, level, &mode))
            return false;
        if (bufferSize < sizeOfPrinterInfo + quint32(mode.bytes().size()))
            return fail(errorInsufficientBuffer);
        if (devMode)
            *devMode = mode.bytes();
        return true;
    }

    bool setPrinterDevMode(PrinterHandle printer, quint32 level, const QByteArray &devMode) override
    {
        if (!printer)
            return fail(errorInvalidHandle);
        if (level != PrinterInfoUserDevMode)
            return fail(errorInvalidLevel);
        const DevMode mode(devMode);
        if (!mode.isValid())
            return fail(errorInvalidParameter);
        const OpenQueue *open = queueOf(printer);
        LpOptionsFile file;
        int fileError = 0;
        if (!file.load(LpOptionsFile::userPath(), &fileError))
            return fail(quint32(fileError));
        file.setOptionText(open->destination, cupsUserOptionText(open->queue, mode));
        if (!file.save(&fileError))
            return fail(quint32(fileError));
        LpOptionsFile written;
        if (!written.load(LpOptionsFile::userPath(), &fileError) || written.content() != file.content())
            return fail(quint32(fileError ? fileError : EIO));
        return true;
    }

    int documentProperties(QWidget *parent, PrinterHandle printer, const QString &printerName,
                           QByteArray *output, const QByteArray *input, quint32 mode) override
    {
        CupsQueueInfo queue;
        QString destination;
        quint32 error = 0;
        if (printer) {
            queue = queueOf(printer)->queue;
            destination = queueOf(printer)->destination;
        } else if (!describe(printerName, &queue, &destination, &error)) {
            threadLastError = error;
            return -1;
        }
        DevMode record;
        if (mode & DocumentPropertiesInBuffer) {
            if (!input || !DevMode(*input).isValid()) {
                threadLastError = errorInvalidParameter;
                return -1;
            }
            const DevMode given(*input);
            record = DevMode(given.bytes().left(given.size() + given.driverExtraSize()));
            cupsValidateDevMode(queue, &record);
        } else {
            LpOptionsFile file;
            int fileError = 0;
            if (!file.load(LpOptionsFile::userPath(), &fileError)) {
                threadLastError = quint32(fileError);
                return -1;
            }
            record = cupsDevMode(queue, destination, file.optionText(destination));
        }
        if (mode == DocumentPropertiesSize)
            return record.bytes().size();

        int answer = DocumentPropertiesOk;
        if (mode & DocumentPropertiesInPrompt) {
            if (!qobject_cast<QApplication *>(QCoreApplication::instance()) ||
                QThread::currentThread() != QCoreApplication::instance()->thread()) {
                threadLastError = errorInvalidParameter;
                return -1;
            }
            answer = runQueueOptionsDialog(parent, queue, &record);
            if (answer == DocumentPropertiesOk)
                cupsValidateDevMode(queue, &record);
        }
        if ((mode & DocumentPropertiesOutBuffer) && answer == DocumentPropertiesOk) {
            if (!output || output->size() < record.bytes().size()) {
                threadLastError = errorInsufficientBuffer;
                return -1;
            }
            std::memcpy(output->data(), record.bytes().constData(), size_t(record.bytes().size()));
        }
        return answer;
    }

    quint32 lastError() override { return threadLastError; }

    QStringList printerNames() override
    {
        QStringList names;
        quint32 error = 0;
        threadLastError = cupsQueueNames(&names, &error) ? 0 : error;
        return names;
    }

private:
    static bool fail(quint32 error)
    {
        threadLastError = error;
        return false;
    }

    static bool defaultWithoutUserFile(QString *name)
    {
        const QString fromEnvironment = environmentDefault();
        if (!fromEnvironment.isEmpty()) {
            *name = fromEnvironment;
            return true;
        }
        LpOptionsFile system;
        system.load(LpOptionsFile::systemPath());
        if (!system.defaultDestination().isEmpty()) {
            *name = system.defaultDestination();
            return true;
        }
        quint32 error = 0;
        if (!cupsServerDefault(name, &error))
            return fail(error);
        return true;
    }

    static QString environmentDefault()
    {
        const QString lpdest = qEnvironmentVariable("LPDEST").trimmed();
        if (!lpdest.isEmpty())
            return lpdest;
        const QString printer = qEnvironmentVariable("PRINTER").trimmed();
        if (!printer.isEmpty() && printer != QLatin1String("lp"))
            return printer;
        return QString();
    }

    static bool resolveDefault(QString *name)
    {
        const QString fromEnvironment = environmentDefault();
        if (!fromEnvironment.isEmpty()) {
            *name = fromEnvironment;
            return true;
        }
        LpOptionsFile user;
        int fileError = 0;
        if (!user.load(LpOptionsFile::userPath(), &fileError))
            return fail(quint32(fileError));
        if (!user.defaultDestination().isEmpty()) {
            *name = user.defaultDestination();
            return true;
        }
        return defaultWithoutUserFile(name);
    }

    static bool readDevMode(PrinterHandle printer, quint32 level, DevMode *mode)
    {
        if (!printer)
            return fail(errorInvalidHandle);
        if (level != PrinterInfoUserDevMode && level != PrinterInfoGlobalDevMode)
            return fail(errorInvalidLevel);
        const OpenQueue *open = queueOf(printer);
        QByteArray userOptions;
        if (level == PrinterInfoUserDevMode) {
            LpOptionsFile file;
            int fileError = 0;
            if (!file.load(LpOptionsFile::userPath(), &fileError))
                return fail(quint32(fileError));
            userOptions = file.optionText(open->destination);
        }
        if (userOptions.size() > 0xffff)
            return fail(errorInvalidParameter);
        *mode = cupsDevMode(open->queue, open->destination, userOptions);
        return true;
    }
};

}  // namespace

std::unique_ptr<Spooler> createSystemSpooler()
{
    return std::make_unique<CupsSpooler>();
}

}  // namespace platform
