#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <cups/cups.h>

namespace platform {

// An IPP connection to the CUPS server of the calling thread's environment (CUPS_SERVER, client.conf),
// closed when it goes out of scope.
class CupsConnection
{
public:
    CupsConnection();
    ~CupsConnection();
    CupsConnection(const CupsConnection &) = delete;
    CupsConnection &operator=(const CupsConnection &) = delete;

    http_t *http() const { return connection; }
    bool isOpen() const { return connection != nullptr; }

private:
    http_t *connection = nullptr;
};

// What a queue offers and uses when a job asks for nothing, in IPP keywords.
struct CupsQueueInfo
{
    QString name;
    int copiesDefault = 1;
    int copiesMinimum = 1;
    int copiesMaximum = 9999;
    QString colorModeDefault;         // print-color-mode-default
    QStringList colorModesSupported;  // print-color-mode-supported
    bool colorSupported = false;      // color-supported
    QString sidesDefault;             // sides-default
    QStringList sidesSupported;       // sides-supported
    QString mediaDefault;             // media-default
    QStringList mediaSupported;       // media-supported
    QString deviceUri;                // device-uri
};

// Each answers false with CUPS's own description of the failure in *failure (translated by CUPS).
bool cupsQueueInfo(const QString &name, CupsQueueInfo *info, QString *failure);
// The server's default destination; an empty name when the server has none.
bool cupsServerDefault(QString *name, QString *failure);
// Every queue and class of the server, sorted as the server lists them.
bool cupsQueueNames(QStringList *names, QString *failure);

}  // namespace platform
