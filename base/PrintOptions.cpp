#include "base/PrintOptions.h"

QString optionText(ColorMode mode)
{
    switch (mode) {
    case ColorMode::Color:
        return QStringLiteral("color");
    case ColorMode::Mono:
        break;
    }
    return QStringLiteral("mono");
}

QString optionText(DuplexMode mode)
{
    switch (mode) {
    case DuplexMode::Simplex:
        return QStringLiteral("simplex");
    case DuplexMode::Duplex:
        break;
    }
    return QStringLiteral("duplex");
}

QString optionText(DuplexEdge edge)
{
    switch (edge) {
    case DuplexEdge::Short:
        return QStringLiteral("short");
    case DuplexEdge::Long:
        break;
    }
    return QStringLiteral("long");
}

ColorMode colorModeFromText(const QString &text)
{
    return text == QLatin1String("color") ? ColorMode::Color : ColorMode::Mono;
}

DuplexMode duplexModeFromText(const QString &text)
{
    return text == QLatin1String("simplex") ? DuplexMode::Simplex : DuplexMode::Duplex;
}

DuplexEdge duplexEdgeFromText(const QString &text)
{
    return text == QLatin1String("short") ? DuplexEdge::Short : DuplexEdge::Long;
}
