#pragma once

#include "base/Records.h"
#include "printing/PrintOutcome.h"

#include <QList>

// What a route answers: the outcome, and whether a later route of its chain may still try the document. A
// route passes the document on when it could not print it for a reason of its own (the application behind
// it is missing or refused the job); a failure that every route would meet (the printer settings could not
// be switched, the document is damaged) is final.
struct RouteAnswer
{
    PrintOutcome outcome;
    bool passOn = false;
};

// One way of printing one document: constructed with its document (a checked file, or the document of the
// application in front), asked to print it once with a preset. PrintService chains the routes of a kind.
class PrintRoute
{
public:
    enum class Kind { SystemPdf, Acrobat, ActiveAcrobat, PdfEngine, Image, OfficeFile, ActiveOffice };

    virtual ~PrintRoute() = default;

    virtual Kind kind() const = 0;
    // False when this system has no such route: a chain passes over it without trying it.
    virtual bool available() const { return true; }
    // Prints the route's document with the preset. `passedOn` lists, in order, the routes of the chain that
    // tried the document before and passed it on.
    virtual RouteAnswer print(const PrintPreset &preset, const QList<Kind> &passedOn) = 0;
};

// Offers the document to the available routes in order (null entries are passed over) until one answers for
// good, and answers that outcome; when every route passed it on, the last one's outcome. When no route is
// available: NoDocument without a message.
PrintOutcome printThroughRoutes(const QList<PrintRoute *> &routes, const PrintPreset &preset);
