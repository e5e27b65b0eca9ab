#include "RecordingJobOptions.h"

#include <QFile>

RecordingJobOptions::RecordingJobOptions(QString optionsPath)
    : optionsPath(std::move(optionsPath)), system(platform::createSystemPrintJobOptions())
{
}

void RecordingJobOptions::prepare(QPrinter &printer, bool useDriverSettings)
{
    QFile file(optionsPath);
    savedOptions << (file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString());
    system->prepare(printer, useDriverSettings);
}
