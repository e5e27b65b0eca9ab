#pragma once

#include "platform/PrintJobOptions.h"

#include <QString>
#include <QStringList>

#include <memory>

// The system's job-options layer with a recorder in front: keeps the text of the user's saved options file
// (lpoptions) at the moment each job of the program's own routes is set up, one entry per job in order.
class RecordingJobOptions final : public platform::PrintJobOptions
{
public:
    explicit RecordingJobOptions(QString optionsPath);
    void prepare(QPrinter &printer, bool useDriverSettings) override;

    QStringList savedOptions;

private:
    QString optionsPath;
    std::unique_ptr<platform::PrintJobOptions> system;
};
