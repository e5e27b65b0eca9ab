#include "FakeSpooler.h"

#include "platform/DevMode.h"

#include <QMutexLocker>

namespace ollavan::testsupport {
namespace {
thread_local quint32 fakeLastError = 0;
}  // namespace

FakeSpooler::FakeSpooler() = default;

void FakeSpooler::addPrinter(const QString &name)
{
    QMutexLocker lock(&mutex);
    if (!printers.contains(name))
        printers.append(name);
    if (!userDevModes.contains(name))
        userDevModes.insert(name,
                            devMode(name, 1, platform::devmode::ColorColor, platform::devmode::DuplexSimplex,
                                    platform::devmode::PaperLetter, "user-private"));
    if (!globalDevModes.contains(name))
        globalDevModes.insert(name, devMode(name, 1, platform::devmode::ColorColor,
                                            platform::devmode::DuplexSimplex, platform::devmode::PaperA4,
                                            "global-private"));
}

QByteArray FakeSpooler::devMode(const QString &deviceName, qint16 copies, qint16 color, qint16 duplex,
                                qint16 paper, const QByteArray &extra)
{
    platform::DevMode mode = platform::DevMode::create(deviceName, extra);
    mode.setFields(platform::devmode::FieldCopies | platform::devmode::FieldColor |
                   platform::devmode::FieldDuplex | platform::devmode::FieldPaperSize);
    mode.setCopies(copies);
    mode.setColor(color);
    mode.setDuplex(duplex);
    mode.setPaperSize(paper);
    return mode.bytes();
}

void FakeSpooler::fail(const QString &call)
{
    QMutexLocker lock(&mutex);
    failures.insert(call);
}

void FakeSpooler::answerNullDevMode(const QString &call)
{
    QMutexLocker lock(&mutex);
    nullDevModes.insert(call);
}

void FakeSpooler::clearFailures()
{
    QMutexLocker lock(&mutex);
    failures.clear();
    nullDevModes.clear();
}

QStringList FakeSpooler::calls() const
{
    QMutexLocker lock(&mutex);
    return recorded;
}

void FakeSpooler::clearCalls()
{
    QMutexLocker lock(&mutex);
    recorded.clear();
}

int FakeSpooler::openHandles() const
{
    QMutexLocker lock(&mutex);
    return handles.size();
}

bool FakeSpooler::matches(const QSet<QString> &armed, const QString &call) const
{
    return armed.contains(call) || armed.contains(call.left(call.indexOf(QLatin1Char('('))));
}

bool FakeSpooler::record(const QString &call)
{
    recorded.append(call);
    if (!matches(failures, call))
        return false;
    fakeLastError = errorCode;
    return true;
}

QString FakeSpooler::nameOf(platform::PrinterHandle printer) const
{
    return handles.value(printer, QStringLiteral("<invalid handle>"));
}

quint32 FakeSpooler::defaultPrinterNameLength()
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("defaultPrinterNameLength()")))
        return 0;
    return defaultPrinterName.isEmpty() ? 0 : quint32(defaultPrinterName.size() + 1);
}

bool FakeSpooler::defaultPrinter(quint32 length, QString *name)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("defaultPrinter(%1)").arg(length)))
        return false;
    if (defaultPrinterName.isEmpty() || quint32(defaultPrinterName.size() + 1) > length) {
        fakeLastError = 122;
        return false;
    }
    *name = defaultPrinterName;
    return true;
}

bool FakeSpooler::setDefaultPrinter(const QString &printerName)
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("setDefaultPrinter(%1)").arg(printerName)))
        return false;
    if (!printers.contains(printerName)) {
        fakeLastError = 1801;
        return false;
    }
    defaultPrinterName = printerName;
    return true;
}

bool FakeSpooler::openPrinter(const QString &printerName, platform::PrinterHandle *printer)
{
    QMutexLocker lock(&mutex);
    *printer = 0;
    if (record(QStringLiteral("openPrinter(%1)").arg(printerName)))
        return false;
    if (!printers.contains(printerName)) {
        fakeLastError = 1801;
        return false;
    }
    *printer = ++nextHandle;
    handles.insert(*printer, printerName);
    return true;
}

void FakeSpooler::closePrinter(platform::PrinterHandle printer)
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("closePrinter(%1)").arg(nameOf(printer)));
    handles.remove(printer);
}

quint32 FakeSpooler::printerInfoSize(platform::PrinterHandle printer, quint32 level)
{
    QMutexLocker lock(&mutex);
    const QString name = nameOf(printer);
    if (record(QStringLiteral("printerInfoSize(%1,%2)").arg(name).arg(level)))
        return 0;
    const QByteArray mode =
        level == platform::PrinterInfoGlobalDevMode ? globalDevModes.value(name) : userDevModes.value(name);
    return mode.isEmpty() ? 0 : quint32(8 + mode.size());
}

bool FakeSpooler::printerDevMode(platform::PrinterHandle printer, quint32 level, quint32 bufferSize,
                                 QByteArray *devMode)
{
    QMutexLocker lock(&mutex);
    const QString name = nameOf(printer);
    const QString call = QStringLiteral("printerDevMode(%1,%2)").arg(name).arg(level);
    if (record(call))
        return false;
    if (matches(nullDevModes, call)) {
        *devMode = QByteArray();
        return true;
    }
    const QByteArray mode =
        level == platform::PrinterInfoGlobalDevMode ? globalDevModes.value(name) : userDevModes.value(name);
    if (bufferSize < quint32(8 + mode.size())) {
        fakeLastError = 122;
        return false;
    }
    *devMode = mode;
    return true;
}

bool FakeSpooler::setPrinterDevMode(platform::PrinterHandle printer, quint32 level, const QByteArray &devMode)
{
    QMutexLocker lock(&mutex);
    const QString name = nameOf(printer);
    if (record(QStringLiteral("setPrinterDevMode(%1,%2)").arg(name).arg(level)))
        return false;
    if (level != platform::PrinterInfoUserDevMode || !handles.contains(printer)) {
        fakeLastError = 87;
        return false;
    }
    userDevModes.insert(name, devMode);
    return true;
}

int FakeSpooler::documentProperties(QWidget *, platform::PrinterHandle printer, const QString &printerName,
                                    QByteArray *output, const QByteArray *input, quint32 mode)
{
    QMutexLocker lock(&mutex);
    const QString name = printer ? nameOf(printer) : printerName;
    if (record(QStringLiteral("documentProperties(%1,%2)").arg(name).arg(mode)))
        return -1;
    const QByteArray current = userDevModes.value(name);
    if (mode == platform::DocumentPropertiesSize)
        return current.size();
    QByteArray result = (mode & platform::DocumentPropertiesInBuffer) && input ? *input : current;
    int answer = platform::DocumentPropertiesOk;
    if (mode & platform::DocumentPropertiesInPrompt) {
        if (dialogHandler) {
            const auto handler = dialogHandler;
            lock.unlock();
            answer = handler(&result);
            lock.relock();
        } else {
            answer = mergeAnswer;
        }
    } else if (mode & platform::DocumentPropertiesInBuffer) {
        answer = mergeAnswer;
    }
    if (answer == platform::DocumentPropertiesOk && (mode & platform::DocumentPropertiesOutBuffer) && output)
        *output = result;
    return answer;
}

quint32 FakeSpooler::lastError()
{
    QMutexLocker lock(&mutex);
    record(QStringLiteral("lastError()"));
    return fakeLastError;
}

QStringList FakeSpooler::printerNames()
{
    QMutexLocker lock(&mutex);
    if (record(QStringLiteral("printerNames()")))
        return QStringList();
    fakeLastError = 0;
    return printers;
}

}  // namespace ollavan::testsupport
