#include "platform/PrinterQueue.h"

#include <QByteArray>

#include <cups/cups.h>

#include <cstring>

namespace platform {
namespace {

namespace bits = printer_status;

// How a CUPS queue's state becomes the spooler's status bits. Each printer-state-reasons keyword is
// looked up with its "-report", "-warning" or "-error" suffix removed; the rows whose condition starts
// with "state:" stand for the other queue attributes. The bits of every matching row are combined, and the
// status monitor ranks them (offline before a jam before a pause, and so on).
//
//   condition                       bits            where it comes from
//   offline                         OFFLINE         the backend or the printer reports it offline
//   connecting-to-device            NOT_AVAILABLE   the backend cannot reach the printer
//   state:remote-unreachable        NOT_AVAILABLE   a queue of another server that is stopped (not reached)
//   media-jam                       PAPER_JAM
//   media-empty, media-needed       PAPER_OUT
//   door-open, cover-open           DOOR_OPEN
//   toner-empty, marker-supply-empty NO_TONER
//   toner-low, marker-supply-low    TONER_LOW
//   state:other-error               ERROR           any other reason ending in "-error"
//   paused                          PAUSED
//   state:stopped                   PAUSED          printer-state 5 (cupsdisable)
//   state:rejecting                 PAUSED          printer-is-accepting-jobs false (cupsreject)
//   state:processing                PRINTING        printer-state 4
struct QueueCondition
{
    const char *condition;
    quint32 bits;
};

const QueueCondition queueConditions[] = {
    {"offline", bits::Offline},
    {"connecting-to-device", bits::NotAvailable},
    {"state:remote-unreachable", bits::NotAvailable},
    {"media-jam", bits::PaperJam},
    {"media-empty", bits::PaperOut},
    {"media-needed", bits::PaperOut},
    {"door-open", bits::DoorOpen},
    {"cover-open", bits::DoorOpen},
    {"toner-empty", bits::NoToner},
    {"marker-supply-empty", bits::NoToner},
    {"toner-low", bits::TonerLow},
    {"marker-supply-low", bits::TonerLow},
    {"state:other-error", bits::Error},
    {"paused", bits::Paused},
    {"state:stopped", bits::Paused},
    {"state:rejecting", bits::Paused},
    {"state:processing", bits::Printing},
};

// The bits of a condition from the table, or nullptr when the table has no row for it.
const QueueCondition *findCondition(const QByteArray &condition)
{
    for (const QueueCondition &row : queueConditions) {
        if (condition == row.condition)
            return &row;
    }
    return nullptr;
}

quint32 bitsOf(const char *condition)
{
    const QueueCondition *row = findCondition(QByteArray(condition));
    return row ? row->bits : 0;
}

// The status bits of one printer-state-reasons keyword.
quint32 reasonBits(const QByteArray &reason)
{
    QByteArray keyword = reason;
    bool isError = false;
    for (const char *suffix : {"-report", "-warning", "-error"}) {
        if (keyword.endsWith(suffix)) {
            isError = std::strcmp(suffix, "-error") == 0;
            keyword.chop(int(std::strlen(suffix)));
            break;
        }
    }
    if (keyword.startsWith("state:"))
        return 0;
    if (const QueueCondition *row = findCondition(keyword))
        return row->bits;
    return isError ? bitsOf("state:other-error") : 0;
}

// Frees the connection and the IPP messages on every way out.
struct HttpConnection
{
    explicit HttpConnection(http_t *connection) : http(connection) {}
    ~HttpConnection()
    {
        if (http)
            httpClose(http);
    }
    HttpConnection(const HttpConnection &) = delete;
    HttpConnection &operator=(const HttpConnection &) = delete;
    http_t *http;
};

struct IppMessage
{
    explicit IppMessage(ipp_t *message) : ipp(message) {}
    ~IppMessage()
    {
        if (ipp)
            ippDelete(ipp);
    }
    IppMessage(const IppMessage &) = delete;
    IppMessage &operator=(const IppMessage &) = delete;
    ipp_t *ipp;
};

http_t *connectToServer()
{
    return httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 10000, nullptr);
}

// The URI schemes whose host part names the printer itself.
bool schemeNamesPrinterHost(const QByteArray &scheme)
{
    for (const char *known : {"socket", "ipp", "ipps", "lpd", "http"}) {
        if (scheme == known)
            return true;
    }
    return false;
}

class CupsPrinterQueue final : public PrinterQueue
{
public:
    PrinterQueueInfo queueInfo(const QString &printerName) override
    {
        PrinterQueueInfo info;
        const QByteArray name = printerName.toUtf8();
        if (name.isEmpty())
            return info;
        HttpConnection connection(connectToServer());
        if (!connection.http)
            return info;

        char uri[HTTP_MAX_URI];
        if (httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", ippPort(),
                             "/printers/%s", name.constData()) != HTTP_URI_STATUS_OK)
            return info;
        static const char *const requested[] = {"printer-state", "printer-state-reasons", "device-uri",
                                                "printer-is-accepting-jobs", "printer-type"};
        ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
        ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
        ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                      int(sizeof requested / sizeof requested[0]), nullptr, requested);
        IppMessage response(cupsDoRequest(connection.http, request, "/"));  // frees the request
        if (!response.ipp || ippGetStatusCode(response.ipp) > IPP_STATUS_OK_EVENTS_COMPLETE)
            return info;

        ipp_attribute_t *state = ippFindAttribute(response.ipp, "printer-state", IPP_TAG_ENUM);
        if (!state)
            return info;
        info.found = true;
        const int printerState = ippGetInteger(state, 0);
        ipp_attribute_t *type = ippFindAttribute(response.ipp, "printer-type", IPP_TAG_ENUM);
        const bool remote = type && (ippGetInteger(type, 0) & CUPS_PRINTER_REMOTE);
        if (printerState == IPP_PSTATE_STOPPED)
            info.status |= bitsOf(remote ? "state:remote-unreachable" : "state:stopped");
        if (printerState == IPP_PSTATE_PROCESSING)
            info.status |= bitsOf("state:processing");
        ipp_attribute_t *accepting =
            ippFindAttribute(response.ipp, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
        if (accepting && !ippGetBoolean(accepting, 0))
            info.status |= bitsOf("state:rejecting");
        if (ipp_attribute_t *reasons =
                ippFindAttribute(response.ipp, "printer-state-reasons", IPP_TAG_KEYWORD)) {
            for (int i = 0; i < ippGetCount(reasons); ++i) {
                if (const char *reason = ippGetString(reasons, i, nullptr))
                    info.status |= reasonBits(QByteArray(reason));
            }
        }
        if (ipp_attribute_t *device = ippFindAttribute(response.ipp, "device-uri", IPP_TAG_URI)) {
            if (const char *deviceUri = ippGetString(device, 0, nullptr))
                info.portName = QString::fromUtf8(deviceUri);
        }
        return info;
    }

    QString portHost(const QString &portName) override
    {
        const QByteArray uri = portName.trimmed().toUtf8();
        char scheme[HTTP_MAX_URI];
        char userPass[HTTP_MAX_URI];
        char host[HTTP_MAX_URI];
        char resource[HTTP_MAX_URI];
        int port = 0;
        if (httpSeparateURI(HTTP_URI_CODING_ALL, uri.constData(), scheme, sizeof scheme, userPass,
                            sizeof userPass, host, sizeof host, &port, resource,
                            sizeof resource) < HTTP_URI_STATUS_OK)
            return {};
        if (!schemeNamesPrinterHost(QByteArray(scheme).toLower()))
            return {};
        return QString::fromUtf8(host).trimmed();
    }
};

}  // namespace

std::unique_ptr<PrinterQueue> createSystemPrinterQueue()
{
    return std::make_unique<CupsPrinterQueue>();
}

}  // namespace platform
