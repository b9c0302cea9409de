#pragma once
// Keyboard codes as the windows see them: Windows virtual-key codes in KeyDown
// and KeyUp, and the signed 16-bit character code KeyAscii in KeyPress.

#include <cstdint>
#include <string>

namespace forms {

// Virtual-key codes the windows test.
constexpr int vbKeyBack = 8;
constexpr int vbKeyTab = 9;
constexpr int vbKeyReturn = 13;
constexpr int vbKeyShift = 16;
constexpr int vbKeyControl = 17;
constexpr int vbKeyMenu = 18;
constexpr int vbKeyEscape = 27;
constexpr int vbKeySpace = 32;
constexpr int vbKeyPageUp = 33;
constexpr int vbKeyPageDown = 34;
constexpr int vbKeyEnd = 35;
constexpr int vbKeyHome = 36;
constexpr int vbKeyLeft = 37;
constexpr int vbKeyUp = 38;
constexpr int vbKeyRight = 39;
constexpr int vbKeyDown = 40;
constexpr int vbKeyInsert = 45;
constexpr int vbKeyDelete = 46;
constexpr int vbKeyF1 = 112;
constexpr int vbKeyF2 = 113;
constexpr int vbKeyF3 = 114;
constexpr int vbKeyF12 = 123;

// The virtual-key code of a Qt key (Qt::Key value); keypad says the key came
// from the numeric keypad. Letters give 65..90, digits 48..57. 0 when the key
// has no virtual-key code.
int virtualKeyCode(int qtKey, bool keypad);

// KeyAscii of one character (a Unicode code point):
//   ASCII                      its code (control characters included)
//   half-width katakana        161..223 (its cp932 byte)
//   double-byte cp932          lead * 256 + trail, as a signed 16-bit value
//   anything cp932 cannot hold 63 ("?")
int16_t keyAsciiOf(char32_t character);

// The UTF-8 text a KeyAscii code stands for; "" for 0, and for codes that are
// no character (an unassigned double-byte code).
std::string textOfKeyAscii(int16_t keyAscii);

// True for the codes that insert nothing when a KeyPress handler returns them:
// 0 and the control codes below 32.
constexpr bool keyAsciiInsertsNothing(int16_t keyAscii)
{
    return keyAscii >= 0 && keyAscii < 32;
}

} // namespace forms
