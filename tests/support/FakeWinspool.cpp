#include "FakeWinspool.h"

#include "platform/DevMode.h"

using namespace platform::devmode;

namespace ollavan::testsupport {
namespace {
thread_local quint32 lastError = 0;

bool armed(const QSet<QString> &set, const QString &call)
{
    return set.contains(call) || set.contains(call.left(call.indexOf(QLatin1Char('('))));
}
}  // namespace

void FakeWinspool::addPrinter(const QString &name)
{
    QMutexLocker lock(&mutex);
    printers.append(name);
    userDevModes.insert(name, devMode(name, 1, ColorColor, DuplexSimplex, PaperLetter, "user-private"));
    globalDevModes.insert(name, devMode(name, 1, ColorColor, DuplexSimplex, PaperA4, "global-private"));
}

QByteArray FakeWinspool::devMode(const QString &deviceName, qint16 copies, qint16 color, qint16 duplex,
                                 qint16 paper, const QByteArray &extra)
{
    platform::DevMode mode = platform::DevMode::create(deviceName, extra);
    mode.setFields(FieldCopies | FieldColor | FieldDuplex | FieldPaperSize);
    mode.setCopies(copies);
    mode.setColor(color);
    mode.setDuplex(duplex);
    mode.setPaperSize(paper);
    return mode.bytes();
}

void FakeWinspool::fail(const QString &call)
{
    QMutexLocker lock(&mutex);
    failures.insert(call);
}

void FakeWinspool::answerNullDevMode(const QString &call)
{
    QMutexLocker lock(&mutex);
    nullDevModes.insert(call);
}

QStringList FakeWinspool::calls() const
{
    QMutexLocker lock(&mutex);
    return recorded;
}

void FakeWinspool::clearCalls()
{
    QMutexLocker lock(&mutex);
    recorded.clear();
}

int FakeWinspool::openHandles() const
{
    QMutexLocker lock(&mutex);
    return int(handles.size());
}

FakeWinspool::Installation::Installation(FakeWinspool *fake)
    : settings(std::make_unique<platform::WinspoolPrinterSettings>(*fake))
{
    platform::setPrinterSettingsSystemForTesting(settings.get());
}

FakeWinspool::Installation::~Installation()
{
    platform::setPrinterSettingsSystemForTesting(nullptr);
}

bool FakeWinspool::record(const QString &call)
{
    recorded.append(call);
    if (armed(failures, call))
        lastError = errorCode;
    return armed(failures, call);
}

QByteArray &FakeWinspool::stored(Handle printer, quint32 level)
{
    return (level == platform::PrinterInfoGlobalDevMode ? globalDevModes
                                                        : userDevModes)[handles.value(printer)];
}

quint32 FakeWinspool::getDefaultPrinterLength()
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("getDefaultPrinterLength()")) || defaultPrinterName.isEmpty())
        return 0;
    return quint32(defaultPrinterName.size() + 1);
}

bool FakeWinspool::getDefaultPrinter(quint32 length, QString *name)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("getDefaultPrinter(%1)").arg(length)) ||
        quint32(defaultPrinterName.size() + 1) > length)
        return false;
    *name = defaultPrinterName;
    return true;
}

bool FakeWinspool::setDefaultPrinter(const QString &printerName)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("setDefaultPrinter(%1)").arg(printerName)) || !printers.contains(printerName))
        return false;
    defaultPrinterName = printerName;
    return true;
}

bool FakeWinspool::openPrinter(const QString &printerName, Handle *printer)
{
    QMutexLocker lock(&mutex);
    *printer = 0;
    if (record(QStringLiteral("openPrinter(%1)").arg(printerName)) || !printers.contains(printerName))
        return false;
    *printer = ++nextHandle;
    handles.insert(*printer, printerName);
    return true;
}

bool FakeWinspool::closePrinter(Handle printer)
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("closePrinter(%1)").arg(handles.value(printer)));
    return handles.remove(printer) == 1;
}

quint32 FakeWinspool::getPrinterSize(Handle printer, quint32 level)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("getPrinterSize(%1,%2)").arg(handles.value(printer)).arg(level)))
        return 0;
    return quint32(8 + stored(printer, level).size());
}

bool FakeWinspool::getPrinter(Handle printer, quint32 level, quint32 bufferSize, QByteArray *devMode)
{
    QMutexLocker lock(&mutex);
    const QString call = QStringLiteral("getPrinter(%1,%2)").arg(handles.value(printer)).arg(level);
    if (record(call) || bufferSize < quint32(8 + stored(printer, level).size()))
        return false;
    *devMode = armed(nullDevModes, call) ? QByteArray() : stored(printer, level);
    return true;
}

bool FakeWinspool::setPrinter(Handle printer, quint32 level, const QByteArray &devMode, quint32 command)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("setPrinter(%1,%2)").arg(handles.value(printer)).arg(level)) || command != 0 ||
        level != platform::PrinterInfoUserDevMode || !handles.contains(printer))
        return false;
    stored(printer, level) = devMode;
    return true;
}

int FakeWinspool::documentProperties(quintptr window, Handle printer, const QString &printerName,
                                     QByteArray *output, const QByteArray *input, quint32 mode)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("documentProperties(%1,%2)").arg(printerName).arg(mode)))
        return -1;
    const QByteArray current = stored(printer, platform::PrinterInfoUserDevMode);
    if (mode == platform::DocumentPropertiesSize)
        return int(current.size());
    QByteArray result = (mode & platform::DocumentPropertiesInBuffer) && input ? *input : current;
    int answer = platform::DocumentPropertiesOk;
    if (mode == platform::DocumentPropertiesMerge) {
        lastMergeInput = result;
        answer = driverAnswer;
    } else if (mode == platform::DocumentPropertiesDialog) {
        lastDialogWindow = window;
        const auto handler = dialogHandler;
        lock.unlock();
        answer = handler ? handler(&result) : driverAnswer;
        lock.relock();
    }
    if (answer == platform::DocumentPropertiesOk && output)
        *output = result;
    return answer;
}

quint32 FakeWinspool::getLastError()
{
    return lastError;
}

bool FakeWinspool::enumPrinters(QStringList *names)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("enumPrinters()")))
        return false;
    *names = printers;
    return true;
}

}  // namespace ollavan::testsupport
