#include "model/PresetReference.h"

const PrintPreset *presetByReference(const QList<PrintPreset> &presets, const QString &reference)
{
    bool isNumber = false;
    const int id = reference.toInt(&isNumber, 10);
    if (isNumber && reference.trimmed() == reference) {
        for (const PrintPreset &preset : presets) {
            if (preset.id == id)
                return &preset;
        }
    }
    for (const PrintPreset &preset : presets) {
        if (preset.title == reference)
            return &preset;
    }
    return nullptr;
}
