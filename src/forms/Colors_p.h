#pragma once
// Colour conversion between the program's &H00BBGGRR values and Qt, for use
// inside src/forms/*.cpp only.

#include "forms/Colors.h"

#include <QColor>

namespace forms {

// System colours resolve through the palette table; the top byte is dropped.
QColor toQColor(long colour);
QRgb toQRgb(long colour);
long fromQColor(const QColor& colour);

} // namespace forms
