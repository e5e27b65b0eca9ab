#include "platform/linux/SavedJobOptions.h"

#include <cups/cups.h>

namespace platform {
namespace {

// Attributes of the queue that cupsGetNamedDest reports among the options; they are not job options.
bool describesQueue(const QString &name)
{
    return name.startsWith(QLatin1String("printer-")) || name.startsWith(QLatin1String("marker-")) ||
           name.endsWith(QLatin1String("-default")) || name.endsWith(QLatin1String("-supported")) ||
           name == QLatin1String("device-uri") || name == QLatin1String("auth-info-required");
}

}  // namespace

QList<CupsOption> savedJobOptions(const QString &destination)
{
    const int slash = destination.indexOf(QLatin1Char('/'));
    const QByteArray queue = (slash < 0 ? destination : destination.left(slash)).toLocal8Bit();
    const QByteArray instance = slash < 0 ? QByteArray() : destination.mid(slash + 1).toLocal8Bit();
    QList<CupsOption> options;
    cups_dest_t *dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(),
                                         instance.isEmpty() ? nullptr : instance.constData());
    if (!dest)
        return options;
    for (int i = 0; i < dest->num_options; ++i) {
        const QString name = QString::fromUtf8(dest->options[i].name);
        if (!describesQueue(name))
            options.append({name, QString::fromUtf8(dest->options[i].value)});
    }
    cupsFreeDests(1, dest);
    return options;
}

}  // namespace platform
