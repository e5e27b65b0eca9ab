#include "printing/PrintRoute.h"

PrintOutcome printThroughRoutes(const QList<PrintRoute *> &routes, const PrintPreset &preset)
{
    PrintOutcome outcome;
    outcome.result = PrintResult::NoDocument;
    QList<PrintRoute::Kind> passedOn;
    for (PrintRoute *route : routes) {
        if (!route || !route->available())
            continue;
        const RouteAnswer answer = route->print(preset, passedOn);
        outcome = answer.outcome;
        if (!answer.passOn)
            break;
        passedOn.append(route->kind());
    }
    return outcome;
}
