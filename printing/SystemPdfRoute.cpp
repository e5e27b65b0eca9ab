#include "printing/SystemPdfRoute.h"

bool SystemPdfRoute::available() const
{
    return false;
}

RouteAnswer SystemPdfRoute::print(const PrintPreset &, const QList<Kind> &)
{
    // Never offered a document while it is not available; were it asked, it passes the document on.
    RouteAnswer answer;
    answer.passOn = true;
    return answer;
}
