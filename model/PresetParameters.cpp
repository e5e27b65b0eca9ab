#include "model/PresetParameters.h"

#include "base/I18n.h"

bool printsInColor(const PrintPreset &preset)
{
    return preset.colorMode == QLatin1String("color");
}

bool printsDoubleSided(const PrintPreset &preset)
{
    return preset.duplexMode != QLatin1String("simplex");
}

bool bindsOnShortEdge(const PrintPreset &preset)
{
    return preset.duplexEdge == QLatin1String("short");
}

QString presetParameters(const PrintPreset &preset)
{
    const QString separator = QStringLiteral(" \u00b7 ");
    const QString color = printsInColor(preset) ? I18n::text("Color") : I18n::text("Mono");
    QString sides;
    if (!printsDoubleSided(preset)) {
        sides = I18n::text("Single-sided");
    } else if (bindsOnShortEdge(preset)) {
        sides = I18n::text("Double-sided (short edge)");
    } else {
        sides = I18n::text("Double-sided (long edge)");
    }
    QString text = color + separator + sides + separator + preset.paperSize;
    if (preset.useDriverSettings) {
        text += separator + I18n::text("Driver settings");
    }
    return text;
}
