#pragma once
// Colours as the program stores them: 32-bit values &H00BBGGRR. A value with the
// high bit set (&H800000xx) is a system colour whose low byte indexes the palette
// table of systemColorRgb(). Colour properties store and return the value as set;
// only drawing resolves it.

namespace forms {

constexpr long RGB(int red, int green, int blue)
{
    return (static_cast<long>(blue & 0xFF) << 16) | (static_cast<long>(green & 0xFF) << 8)
           | static_cast<long>(red & 0xFF);
}

constexpr long SystemColorFlag = 0x80000000L;

// A few system colours the windows use by name.
constexpr long vbDesktop = 0x80000001L;
constexpr long vbWindowBackground = 0x80000005L;
constexpr long vbWindowText = 0x80000008L;
constexpr long vbHighlight = 0x8000000DL;
constexpr long vbButtonFace = 0x8000000FL;
constexpr long vbInfoBackground = 0x80000018L;

constexpr bool isSystemColor(long colour)
{
    return (static_cast<unsigned long>(colour) & 0x80000000UL) != 0;
}

// The plain &H00BBGGRR value a colour draws as: system colours through the
// palette table, others with their top byte dropped.
long resolveColor(long colour);

// The palette entry of a system colour index (0..24); unknown indexes give black.
long systemColorRgb(int index);

constexpr int redOf(long colour) { return static_cast<int>(colour & 0xFF); }
constexpr int greenOf(long colour) { return static_cast<int>((colour >> 8) & 0xFF); }
constexpr int blueOf(long colour) { return static_cast<int>((colour >> 16) & 0xFF); }

} // namespace forms
