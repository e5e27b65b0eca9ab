#pragma once

#include "platform/DevMode.h"
#include "platform/linux/CupsQueue.h"

#include <QByteArray>
#include <QString>

namespace platform {

// The four settings of a DEVMODE record as CUPS job options (copies, print-color-mode, sides, media).
struct CupsJobSettings
{
    int copies = 1;
    QString colorMode;  // "color" or "monochrome"
    QString sides;      // "one-sided", "two-sided-long-edge", "two-sided-short-edge"
    QString media;      // a PWG media name; empty when the record names no paper
    bool operator==(const CupsJobSettings &other) const;
    bool operator!=(const CupsJobSettings &other) const { return !(*this == other); }
};

// The DEVMODE record of a destination (a queue or an instance of it, the record's device name): the queue's
// defaults on the server overlaid with `userOptions` (the user's saved option text for the destination, empty
// for the server's defaults). The fields carry the effective copies, colour, duplex and paper; the option
// text itself rides verbatim in the driver-extra bytes.
DevMode cupsDevMode(const CupsQueueInfo &queue, const QString &destination, const QByteArray &userOptions);
// The settings a record asks for.
CupsJobSettings cupsJobSettings(const DevMode &mode);
// Adjusts the record to what the queue supports: copies into its range, colour and sides to supported
// values, an unsupported or unknown paper to the queue's default; the form name follows the paper code.
void cupsValidateDevMode(const CupsQueueInfo &queue, DevMode *mode);
// The option text to save as the user's options for the queue so that the queue's effective settings are the
// record's: the record's own driver-extra text when its fields are what that text gives anyway, otherwise
// the text's other options with the four settings written out.
QByteArray cupsUserOptionText(const CupsQueueInfo &queue, const DevMode &mode);

// DMPAPER code and paper name of a PWG media name (or a PPD or legacy size name); false when the size is not
// one of the table's (Letter, Legal, Executive, A3, A4, A5, B4, B5, A6, B6).
bool cupsPaperForMedia(const QString &media, qint16 *code, QString *name);
// PWG media name of a DMPAPER code of the table; empty for others.
QString cupsMediaForPaper(qint16 code);
// A display name of a PWG media name: the paper table's name, else the PPD name, else the media name.
QString cupsMediaDisplayName(const QString &media);

}  // namespace platform
