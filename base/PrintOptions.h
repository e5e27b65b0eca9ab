#pragma once

#include "base/Records.h"

#include <QString>

// The words of the print options where they leave the program or come into it: the preset table's columns
// and the command line's output. Inside the program the options are the enumerations of base/Records.h.
//
// Writing gives "color" or "mono", "simplex" or "duplex", "long" or "short". Reading compares exactly and
// case-sensitively, and every unexpected word reads the same way: anything but "color" is Mono, anything
// but "simplex" is Duplex, and only "short" is Short.

QString optionText(ColorMode mode);
QString optionText(DuplexMode mode);
QString optionText(DuplexEdge edge);

ColorMode colorModeFromText(const QString &text);
DuplexMode duplexModeFromText(const QString &text);
DuplexEdge duplexEdgeFromText(const QString &text);
