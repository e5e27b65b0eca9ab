#include "platform/linux/CupsQueue.h"

#include "base/I18n.h"

#include <memory>

namespace platform {
namespace {

struct IppDeleter
{
    void operator()(ipp_t *ipp) const { ippDelete(ipp); }
};
using IppMessage = std::unique_ptr<ipp_t, IppDeleter>;

QString keyword(ipp_t *response, const char *name)
{
    ipp_attribute_t *attribute = ippFindAttribute(response, name, IPP_TAG_ZERO);
    if (!attribute)
        return QString();
    const char *value = ippGetString(attribute, 0, nullptr);
    return value ? QString::fromUtf8(value) : QString();
}

QStringList keywords(ipp_t *response, const char *name)
{
    QStringList values;
    ipp_attribute_t *attribute = ippFindAttribute(response, name, IPP_TAG_ZERO);
    if (!attribute)
        return values;
    for (int i = 0; i < ippGetCount(attribute); ++i) {
        if (const char *value = ippGetString(attribute, i, nullptr))
            values.append(QString::fromUtf8(value));
    }
    return values;
}

QByteArray printerUri(const QString &name)
{
    char uri[HTTP_MAX_URI];
    httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof(uri), "ipp", nullptr, "localhost", ippPort(),
                     "/printers/%s", name.toUtf8().constData());
    return QByteArray(uri);
}

bool fail(QString *failure, const QString &description)
{
    if (failure)
        *failure = description;
    return false;
}

bool lastError(QString *failure)
{
    return fail(failure, QString::fromUtf8(cupsLastErrorString()));
}

bool unreachable(QString *failure)
{
    return fail(failure,
                I18n::text("The print server %1 cannot be reached.").arg(QString::fromUtf8(cupsServer())));
}

// Sends the request; *notFound tells a NOT_FOUND status (a missing default, a server without queues) apart.
IppMessage send(const CupsConnection &connection, ipp_t *request, bool *notFound, QString *failure)
{
    IppMessage response(cupsDoRequest(connection.http(), request, "/"));
    const ipp_status_t status = cupsLastError();
    if (notFound)
        *notFound = status == IPP_STATUS_ERROR_NOT_FOUND;
    if (!response || status > IPP_STATUS_OK_EVENTS_COMPLETE) {
        lastError(failure);
        return nullptr;
    }
    return response;
}

}  // namespace

CupsConnection::CupsConnection()
{
    connection =
        httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1, 30000, nullptr);
}

CupsConnection::~CupsConnection()
{
    if (connection)
        httpClose(connection);
}

bool cupsQueueInfo(const QString &name, CupsQueueInfo *info, QString *failure)
{
    if (name.trimmed().isEmpty() || name.contains(QLatin1Char('/')))
        return fail(failure, QString::fromUtf8(ippErrorString(IPP_STATUS_ERROR_NOT_FOUND)));
    CupsConnection connection;
    if (!connection.isOpen())
        return unreachable(failure);
    static const char *const requested[] = {"printer-name",
                                            "copies-default",
                                            "copies-supported",
                                            "print-color-mode-default",
                                            "print-color-mode-supported",
                                            "color-supported",
                                            "sides-default",
                                            "sides-supported",
                                            "media-default",
                                            "media-supported",
                                            "device-uri"};
    ipp_t *request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
                 printerUri(name).constData());
    ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                  int(sizeof(requested) / sizeof(requested[0])), nullptr, requested);
    const IppMessage response = send(connection, request, nullptr, failure);
    if (!response)
        return false;
    CupsQueueInfo result;
    result.name = keyword(response.get(), "printer-name");
    if (result.name.isEmpty())
        result.name = name;
    if (ipp_attribute_t *copies = ippFindAttribute(response.get(), "copies-default", IPP_TAG_INTEGER))
        result.copiesDefault = ippGetInteger(copies, 0);
    if (ipp_attribute_t *range = ippFindAttribute(response.get(), "copies-supported", IPP_TAG_RANGE)) {
        int upper = 0;
        result.copiesMinimum = ippGetRange(range, 0, &upper);
        result.copiesMaximum = upper;
    }
    result.colorModeDefault = keyword(response.get(), "print-color-mode-default");
    result.colorModesSupported = keywords(response.get(), "print-color-mode-supported");
    if (ipp_attribute_t *color = ippFindAttribute(response.get(), "color-supported", IPP_TAG_BOOLEAN))
        result.colorSupported = ippGetBoolean(color, 0);
    result.sidesDefault = keyword(response.get(), "sides-default");
    result.sidesSupported = keywords(response.get(), "sides-supported");
    result.mediaDefault = keyword(response.get(), "media-default");
    result.mediaSupported = keywords(response.get(), "media-supported");
    result.deviceUri = keyword(response.get(), "device-uri");
    if (info)
        *info = result;
    return true;
}

bool cupsServerDefault(QString *name, QString *failure)
{
    name->clear();
    CupsConnection connection;
    if (!connection.isOpen())
        return unreachable(failure);
    ipp_t *request = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    bool notFound = false;
    const IppMessage response = send(connection, request, &notFound, failure);
    if (!response)
        return notFound;
    *name = keyword(response.get(), "printer-name");
    return true;
}

bool cupsQueueNames(QStringList *names, QString *failure)
{
    names->clear();
    CupsConnection connection;
    if (!connection.isOpen())
        return unreachable(failure);
    ipp_t *request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
    ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes", nullptr,
                 "printer-name");
    bool notFound = false;
    const IppMessage response = send(connection, request, &notFound, failure);
    if (!response)
        return notFound;  // a server without queues answers NOT_FOUND
    for (ipp_attribute_t *attribute = ippFirstAttribute(response.get()); attribute;
         attribute = ippNextAttribute(response.get())) {
        const char *attributeName = ippGetName(attribute);
        if (attributeName && qstrcmp(attributeName, "printer-name") == 0) {
            if (const char *value = ippGetString(attribute, 0, nullptr))
                names->append(QString::fromUtf8(value));
        }
    }
    return true;
}

}  // namespace platform
