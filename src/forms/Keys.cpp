#include "forms/Keys.h"

#include "platform/Cp932.h"

#include <Qt>

namespace forms {

int virtualKeyCode(int qtKey, bool keypad)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return keypad ? 96 + (qtKey - Qt::Key_0) : '0' + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return vbKeyF1 + (qtKey - Qt::Key_F1);
    switch (qtKey) {
    case Qt::Key_Backspace: return vbKeyBack;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return vbKeyTab;
    case Qt::Key_Clear: return 12;
    case Qt::Key_Return:
    case Qt::Key_Enter: return vbKeyReturn;
    case Qt::Key_Shift: return vbKeyShift;
    case Qt::Key_Control: return vbKeyControl;
    case Qt::Key_Alt: return vbKeyMenu;
    case Qt::Key_Pause: return 19;
    case Qt::Key_CapsLock: return 20;
    case Qt::Key_Escape: return vbKeyEscape;
    case Qt::Key_Space: return vbKeySpace;
    case Qt::Key_PageUp: return vbKeyPageUp;
    case Qt::Key_PageDown: return vbKeyPageDown;
    case Qt::Key_End: return vbKeyEnd;
    case Qt::Key_Home: return vbKeyHome;
    case Qt::Key_Left: return vbKeyLeft;
    case Qt::Key_Up: return vbKeyUp;
    case Qt::Key_Right: return vbKeyRight;
    case Qt::Key_Down: return vbKeyDown;
    case Qt::Key_Print: return 44;
    case Qt::Key_Insert: return vbKeyInsert;
    case Qt::Key_Delete: return vbKeyDelete;
    case Qt::Key_Asterisk: return keypad ? 106 : 0;
    case Qt::Key_Plus: return keypad ? 107 : 187;
    case Qt::Key_Minus: return keypad ? 109 : 189;
    case Qt::Key_Period: return keypad ? 110 : 190;
    case Qt::Key_Slash: return keypad ? 111 : 191;
    case Qt::Key_NumLock: return 144;
    case Qt::Key_ScrollLock: return 145;
    case Qt::Key_Semicolon: return 186;
    case Qt::Key_Comma: return 188;
    case Qt::Key_Equal: return 187;
    default: return 0;
    }
}

int16_t keyAsciiOf(char32_t character)
{
    if (character < 0x80)
        return static_cast<int16_t>(character);
    // One code point as UTF-8, then its cp932 bytes.
    std::string utf8;
    if (character < 0x800) {
        utf8 += static_cast<char>(0xC0 | (character >> 6));
        utf8 += static_cast<char>(0x80 | (character & 0x3F));
    } else if (character < 0x10000) {
        utf8 += static_cast<char>(0xE0 | (character >> 12));
        utf8 += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (character & 0x3F));
    } else {
        utf8 += static_cast<char>(0xF0 | (character >> 18));
        utf8 += static_cast<char>(0x80 | ((character >> 12) & 0x3F));
        utf8 += static_cast<char>(0x80 | ((character >> 6) & 0x3F));
        utf8 += static_cast<char>(0x80 | (character & 0x3F));
    }
    if (!platform::canEncodeCp932(utf8))
        return '?';
    const std::string bytes = platform::encodeCp932(utf8);
    if (bytes.size() == 1)
        return static_cast<int16_t>(static_cast<unsigned char>(bytes[0]));
    if (bytes.size() != 2)
        return '?';
    const unsigned code = static_cast<unsigned char>(bytes[0]) * 256u + static_cast<unsigned char>(bytes[1]);
    // KeyAscii is a signed 16-bit value, so a double-byte code above 0x7FFF
    // arrives negative; textOfKeyAscii reads it back the same way.
    return static_cast<int16_t>(static_cast<uint16_t>(code));
}

std::string textOfKeyAscii(int16_t keyAscii)
{
    if (keyAscii == 0)
        return {};
    std::string bytes;
    if (keyAscii > 0 && keyAscii < 256) {
        bytes += static_cast<char>(keyAscii);
    } else {
        const auto code = static_cast<uint16_t>(keyAscii);
        bytes += static_cast<char>(code >> 8);
        bytes += static_cast<char>(code & 0xFF);
    }
    int bad = 0;
    std::string text = platform::decodeCp932(bytes, &bad);
    return bad ? std::string() : text;
}

} // namespace forms
