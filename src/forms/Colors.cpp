#include "forms/Colors.h"
#include "forms/Colors_p.h"

#include <array>

namespace forms {

namespace {

// The classic Windows palette of system colours, index = low byte of &H800000xx.
constexpr std::array<long, 25> SystemPalette = {
    RGB(212, 208, 200),   //  0 scroll bar
    RGB(58, 110, 165),    //  1 desktop
    RGB(10, 36, 106),     //  2 active caption
    RGB(128, 128, 128),   //  3 inactive caption
    RGB(212, 208, 200),   //  4 menu
    RGB(255, 255, 255),   //  5 window background
    RGB(0, 0, 0),         //  6 window frame
    RGB(0, 0, 0),         //  7 menu text
    RGB(0, 0, 0),         //  8 window text
    RGB(255, 255, 255),   //  9 caption text
    RGB(212, 208, 200),   // 10 active border
    RGB(212, 208, 200),   // 11 inactive border
    RGB(128, 128, 128),   // 12 application workspace
    RGB(10, 36, 106),     // 13 highlight
    RGB(255, 255, 255),   // 14 highlight text
    RGB(212, 208, 200),   // 15 button face
    RGB(128, 128, 128),   // 16 button shadow
    RGB(128, 128, 128),   // 17 grey text
    RGB(0, 0, 0),         // 18 button text
    RGB(212, 208, 200),   // 19 inactive caption text
    RGB(255, 255, 255),   // 20 button highlight
    RGB(64, 64, 64),      // 21 3D dark shadow
    RGB(212, 208, 200),   // 22 3D light
    RGB(0, 0, 0),         // 23 tool tip text
    RGB(255, 255, 225),   // 24 tool tip background
};

} // namespace

long systemColorRgb(int index)
{
    if (index < 0 || index >= static_cast<int>(SystemPalette.size()))
        return 0;
    return SystemPalette[static_cast<std::size_t>(index)];
}

long resolveColor(long colour)
{
    if (isSystemColor(colour))
        return systemColorRgb(static_cast<int>(colour & 0xFF));
    return colour & 0xFFFFFF;
}

QColor toQColor(long colour)
{
    const long rgb = resolveColor(colour);
    return QColor(redOf(rgb), greenOf(rgb), blueOf(rgb));
}

QRgb toQRgb(long colour)
{
    const long rgb = resolveColor(colour);
    return qRgb(redOf(rgb), greenOf(rgb), blueOf(rgb));
}

long fromQColor(const QColor& colour)
{
    return RGB(colour.red(), colour.green(), colour.blue());
}

} // namespace forms
