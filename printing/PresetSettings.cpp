#include "printing/PresetSettings.h"

#include "base/I18n.h"

QString PresetSettings::apply(const PrintPreset &preset, CopiesFrom copies)
{
    PrintPreset switched = preset;
    if (copies == CopiesFrom::Job)
        switched.copies = 1;
    QString error;
    if (scope.apply(switched, &error))
        return QString();
    return error.isEmpty() ? I18n::text("The print job could not be started.") : error;
}
