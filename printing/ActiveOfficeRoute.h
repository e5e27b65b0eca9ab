#pragma once

#include "printing/PrintRoute.h"

#include <QString>

// The document Word or WPS shows in front, printed through the application's automation object: only the
// running instance that owns the foreground window is printed from; the printer's settings carry one copy
// and the document's PrintOut asks for the preset's copies. Not available on systems without automation
// servers. Answers NoDocument (without a message) when there is no such document.
class ActiveOfficeRoute final : public PrintRoute
{
public:
    ActiveOfficeRoute(const QString &progId, quint32 processId) : progId(progId), processId(processId) {}

    Kind kind() const override { return Kind::ActiveOffice; }
    bool available() const override;
    RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) override;

private:
    QString progId;
    quint32 processId;
};
