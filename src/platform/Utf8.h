#pragma once
// UTF-8 walking shared by the codec, the string conversions and every reader
// that steps through text character by character.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace platform::utf8 {

// Length of the well-formed UTF-8 sequence starting at s[i], or 0 when the
// bytes there are not one (bad lead byte, bad continuation, overlong form,
// surrogate, beyond U+10FFFF or cut short).
inline size_t validSequenceLength(std::string_view s, size_t i)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    const size_t n = s.size();
    const unsigned char c = b(i);
    if (c < 0x80)
        return 1;
    if (c >= 0xC2 && c <= 0xDF)
        return (i + 1 < n && (b(i + 1) & 0xC0) == 0x80) ? 2 : 0;
    if (c >= 0xE0 && c <= 0xEF) {
        if (i + 2 >= n)
            return 0;
        const unsigned char c1 = b(i + 1);
        if ((c1 & 0xC0) != 0x80 || (b(i + 2) & 0xC0) != 0x80)
            return 0;
        if (c == 0xE0 && c1 < 0xA0)
            return 0; // overlong
        if (c == 0xED && c1 >= 0xA0)
            return 0; // surrogate
        return 3;
    }
    if (c >= 0xF0 && c <= 0xF4) {
        if (i + 3 >= n)
            return 0;
        const unsigned char c1 = b(i + 1);
        if ((c1 & 0xC0) != 0x80 || (b(i + 2) & 0xC0) != 0x80 || (b(i + 3) & 0xC0) != 0x80)
            return 0;
        if (c == 0xF0 && c1 < 0x90)
            return 0; // overlong
        if (c == 0xF4 && c1 >= 0x90)
            return 0; // beyond U+10FFFF
        return 4;
    }
    return 0;
}

// Length of the character at s[i] for counting purposes: a well-formed
// sequence counts as one character, every stray byte as one character.
inline size_t charLength(std::string_view s, size_t i)
{
    const size_t len = validSequenceLength(s, i);
    return len == 0 ? 1 : len;
}

// The code point of the well-formed sequence at s[i] of length len.
inline char32_t decodeAt(std::string_view s, size_t i, size_t len)
{
    const auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    switch (len) {
    case 1:
        return b(i);
    case 2:
        return (char32_t(b(i) & 0x1F) << 6) | (b(i + 1) & 0x3F);
    case 3:
        return (char32_t(b(i) & 0x0F) << 12) | (char32_t(b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F);
    case 4:
        return (char32_t(b(i) & 0x07) << 18) | (char32_t(b(i + 1) & 0x3F) << 12) |
               (char32_t(b(i + 2) & 0x3F) << 6) | (b(i + 3) & 0x3F);
    default:
        return 0xFFFD;
    }
}

// Byte offset of the code point with the given 0-based index, clamped to s.size().
inline size_t byteOffsetOf(std::string_view s, size_t charIndex)
{
    size_t i = 0;
    while (charIndex > 0 && i < s.size()) {
        i += charLength(s, i);
        --charIndex;
    }
    return i < s.size() ? i : s.size();
}

inline size_t countChars(std::string_view s)
{
    size_t count = 0;
    for (size_t i = 0; i < s.size(); i += charLength(s, i))
        ++count;
    return count;
}

// The text as a list of characters. A stray byte that starts no well-formed
// sequence counts as one character of its own.
std::vector<std::string> splitChars(std::string_view s);

} // namespace platform::utf8
