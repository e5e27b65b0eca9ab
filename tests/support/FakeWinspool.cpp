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

void FakeWinspool::fail(const QString &call, bool nullDevMode)
{
    QMutexLocker lock(&mutex);
    (nullDevMode ? nullDevModes : failures).insert(call);
}

bool FakeWinspool::record(const QString &call)
{
    recorded.append(call);
    lastError = armed(failures, call) ? 5 : 0;
    return lastError != 0;
}

QByteArray &FakeWinspool::stored(Handle printer, quint32 level)
{
    return (level == platform::PrinterInfoGlobalDevMode ? globalDevModes
                                                        : userDevModes)[handles.value(printer)];
}

quint32 FakeWinspool::getDefaultPrinterLength()
{
    QMutexLocker lock(&mutex);
    const bool failed = record(QStringLiteral("getDefaultPrinterLength()"));
    return failed || defaultPrinterName.isEmpty() ? 0 : quint32(defaultPrinterName.size() + 1);
}

bool FakeWinspool::getDefaultPrinter(quint32 length, QString *name)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("getDefaultPrinter(%1)").arg(length)) ||
        quint32(defaultPrinterName.size()) >= length)
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
    handles.insert(*printer = ++nextHandle, printerName);
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
    const bool failed =
        record(QStringLiteral("getPrinterSize(%1,%2)").arg(handles.value(printer)).arg(level));
    return failed ? 0 : quint32(8 + stored(printer, level).size());
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
    QByteArray result = input ? *input : stored(printer, platform::PrinterInfoUserDevMode);
    if (mode == platform::DocumentPropertiesSize)
        return int(result.size());
    int answer = platform::DocumentPropertiesOk;
    if (mode == platform::DocumentPropertiesMerge)
        lastMergeInput = result;
    if (mode == platform::DocumentPropertiesDialog && dialogHandler) {
        lastDialogWindow = window;
        const auto handler = dialogHandler;
        lock.unlock();
        answer = handler(&result);
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
    *names = printers;
    return !record(QStringLiteral("enumPrinters()"));
}

}  // namespace ollavan::testsupport
