#include "model/PresetParameters.h"

#include "base/I18n.h"

QString presetParameters(const PrintPreset &preset)
{
    const QString separator = QStringLiteral(" \u00b7 ");
    const QString color = preset.colorMode == ColorMode::Color ? I18n::text("Color") : I18n::text("Mono");
    QString sides;
    if (preset.duplexMode == DuplexMode::Simplex) {
        sides = I18n::text("Single-sided");
    } else if (preset.duplexEdge == DuplexEdge::Short) {
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
