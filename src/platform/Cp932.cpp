#include "platform/Cp932.h"

#include "Utf8.h"

#include <iconv.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

namespace platform {

// The conversion runs on two tables built once, on first use, from iconv's own
// "CP932" converter: every byte from 0x80 up and every lead/trail pair -> the UTF-8
// of its character, and every BMP code point -> its one or two bytes (ASCII, which
// cp932 keeps as it is, is copied through). The mapping is therefore exactly the
// system converter's, and a family file of several megabytes converts in
// milliseconds. Building the tables takes some 80,000 single conversions, once per
// run of the program.

namespace {

// One conversion descriptor, used by the table builders and for the rare
// characters beyond the BMP.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(::iconv_open(to, from))
    {
        if (m_cd == reinterpret_cast<iconv_t>(-1))
            throw RuntimeError(err::PathFileAccess,
                               std::string("iconv cannot convert from ") + from + " to " + to);
    }
    ~Converter() { ::iconv_close(m_cd); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts the whole of in as one unit. Returns false when the converter
    // refuses it or stops before its end (out then holds nothing useful).
    bool convertWhole(const char* in, size_t inLen, std::string& out)
    {
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        char buffer[16];
        char* inPtr = const_cast<char*>(in);
        size_t inLeft = inLen;
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t r = ::iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
        out.assign(buffer, static_cast<size_t>(outPtr - buffer));
        return r != static_cast<size_t>(-1) && inLeft == 0;
    }

    // True when the converter asks for more bytes to finish the character in.
    bool isIncomplete(const char* in, size_t inLen)
    {
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char buffer[16];
        char* inPtr = const_cast<char*>(in);
        size_t inLeft = inLen;
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        return ::iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) && errno == EINVAL;
    }

private:
    iconv_t m_cd;
};

[[noreturn]] void unusableConverter(const char* what)
{
    throw RuntimeError(err::PathFileAccess, std::string("iconv CP932: ") + what);
}

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The UTF-8 of one character packed into 32 bits: up to three bytes in the low
// bytes (first byte lowest) and the byte count in the top byte; 0 for none.
// Every cp932 character lies in the BMP, so three bytes always suffice.
using PackedUtf8 = uint32_t;

PackedUtf8 pack(const std::string& utf8)
{
    if (utf8.empty() || utf8.size() > 3)
        unusableConverter("a character decodes to more than three bytes of UTF-8");
    PackedUtf8 p = static_cast<PackedUtf8>(utf8.size()) << 24;
    for (size_t i = 0; i < utf8.size(); ++i)
        p |= static_cast<PackedUtf8>(static_cast<unsigned char>(utf8[i])) << (8 * i);
    return p;
}

// Writes the packed bytes at out; four bytes are stored, so out needs one byte of
// room beyond the character (later writes overwrite it, or it is cut off).
inline char* put(char* out, PackedUtf8 p)
{
    std::memcpy(out, &p, 4);
    return out + (p >> 24);
}

// cp932 bytes -> UTF-8, for the bytes from 0x80 up; ASCII is the same in both.
struct DecodeTable {
    // Per byte: a character by itself (its PackedUtf8, at least 1 << 24), a lead
    // byte (1 + where its 256 entries start in pairs) or no character (0).
    std::array<uint32_t, 128> first{};
    std::vector<PackedUtf8> pairs; // by lead byte and trail byte; 0 where no character
};
constexpr uint32_t FirstIsCharacter = 1u << 24;

const DecodeTable& decodeTable()
{
    static const DecodeTable table = [] {
        DecodeTable t;
        Converter conv("UTF-8", "CP932");
        std::string out;
        std::vector<int> leads;
        for (int b = 0x80; b < 0x100; ++b) {
            const char byte = static_cast<char>(b);
            if (conv.convertWhole(&byte, 1, out))
                t.first[static_cast<size_t>(b - 0x80)] = pack(out);
            else if (conv.isIncomplete(&byte, 1))
                leads.push_back(b);
        }
        t.pairs.assign(leads.size() * 256, 0);
        for (size_t row = 0; row < leads.size(); ++row) {
            const int lead = leads[row];
            t.first[static_cast<size_t>(lead - 0x80)] = static_cast<uint32_t>(1 + row * 256);
            for (int trail = 0; trail < 256; ++trail) {
                const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                if (conv.convertWhole(pair, 2, out))
                    t.pairs[row * 256 + static_cast<size_t>(trail)] = pack(out);
            }
        }
        return t;
    }();
    return table;
}

// Code point -> cp932 bytes for the whole BMP: first byte | second byte << 8, the
// second byte 0 for a one-byte character (no trail byte is 0); NoCode where cp932
// has no place for the character.
constexpr uint16_t NoCode = 0xFFFF;

// Writes the bytes of a code at out and returns the end. Two bytes are stored
// either way; the caller has room for them.
inline char* putCode(char* out, uint16_t code)
{
    out[0] = static_cast<char>(code & 0xFF);
    out[1] = static_cast<char>(code >> 8);
    return out + (code > 0xFF ? 2 : 1);
}

// The four bytes at p as one number, the first byte lowest, whatever the byte order
// of the machine: a character of three UTF-8 bytes is then tested and taken apart
// with a few masks.
inline uint32_t fourBytesAt(const char* p)
{
    uint32_t bytes;
    std::memcpy(&bytes, p, 4);
    if constexpr (__BYTE_ORDER__ == __ORDER_BIG_ENDIAN__)
        bytes = __builtin_bswap32(bytes);
    return bytes;
}

// Characters the converter maps one way only onto bytes that read back as a
// different visible character: U+00A5 (yen sign) and U+203E (overline) would
// come back as the backslash and the tilde. They count as unencodable so that
// no text changes without notice.
constexpr char32_t RefusedChars[] = {0x00A5, 0x203E};

const std::vector<uint16_t>& encodeTable()
{
    static const std::vector<uint16_t> table = [] {
        std::vector<uint16_t> t(0x10000, NoCode);
        Converter conv("CP932", "UTF-8");
        std::string out;
        for (char32_t cp = 0; cp < 0x10000; ++cp) {
            if (cp >= 0xD800 && cp <= 0xDFFF)
                continue; // no character; UTF-8 cannot hold it
            char utf8[3];
            size_t len = 0;
            if (cp < 0x80) {
                utf8[len++] = static_cast<char>(cp);
            } else if (cp < 0x800) {
                utf8[len++] = static_cast<char>(0xC0 | (cp >> 6));
                utf8[len++] = static_cast<char>(0x80 | (cp & 0x3F));
            } else {
                utf8[len++] = static_cast<char>(0xE0 | (cp >> 12));
                utf8[len++] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
                utf8[len++] = static_cast<char>(0x80 | (cp & 0x3F));
            }
            if (!conv.convertWhole(utf8, len, out))
                continue;
            uint16_t code = NoCode;
            if (out.size() == 1)
                code = static_cast<unsigned char>(out[0]);
            else if (out.size() == 2 && out[1] != 0)
                code = static_cast<uint16_t>(static_cast<unsigned char>(out[0]) |
                                             static_cast<unsigned char>(out[1]) << 8);
            if (code == NoCode)
                unusableConverter("a character encodes to an unexpected byte sequence");
            t[cp] = code;
        }
        for (const char32_t refused : RefusedChars)
            t[refused] = NoCode;
        return t;
    }();
    return table;
}

// Characters beyond the BMP go to the converter one at a time.
bool encodeBeyondBmp(std::string_view utf8Char, std::string& out)
{
    static thread_local Converter conv("CP932", "UTF-8");
    return conv.convertWhole(utf8Char.data(), utf8Char.size(), out);
}

// Length of the run of bytes below 0x80 starting at s[i], tested eight at a time.
size_t asciiRun(const char* s, size_t i, size_t n)
{
    const size_t start = i;
    for (; i + 8 <= n; i += 8) {
        uint64_t word;
        std::memcpy(&word, s + i, 8);
        if (word & 0x8080808080808080ull)
            break;
    }
    while (i < n && static_cast<unsigned char>(s[i]) < 0x80)
        ++i;
    return i - start;
}

// Encodes utf8 to out, which has room for utf8.size() bytes, calling onBad for
// each character cp932 cannot hold (or each stray byte of invalid UTF-8), which
// then becomes "?". onBad returns false to stop. Returns the end of what was
// written. No character grows in cp932: one byte stays one, longer UTF-8 forms
// become at most two bytes.
template <class OnBad>
char* encodeInto(std::string_view utf8, char* o, OnBad&& onBad)
{
    // A local pointer: the table's address is not reloaded after every byte written.
    const uint16_t* const table = encodeTable().data();
    const char* in = utf8.data();
    const size_t n = utf8.size();
    std::string wide;
    for (size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(in[i]);
        if (b < 0x80) {
            // ASCII is the same in cp932; whole words of it are copied at once.
            uint64_t word;
            if (i + 8 <= n && (std::memcpy(&word, in + i, 8), (word & 0x8080808080808080ull) == 0)) {
                std::memcpy(o, &word, 8);
                o += 8;
                i += 8;
            } else {
                *o++ = static_cast<char>(b);
                ++i;
            }
            continue;
        }
        if ((b & 0xF0) == 0xE0) {
            // Kanji and kana take three bytes: the common case, read in place while it
            // lasts, four bytes at a time of which the fourth is left out, together
            // with single ASCII characters strewn among them (digits, hyphens, blanks).
            // Which of the two a character is, and whether its code takes one byte or
            // two, is selected without a branch: in mixed text a branch would guess
            // wrong at every change. An overlong form goes the general way below, and
            // so does a surrogate, which the table holds no code for, and so does
            // every other character. Each character consumed leaves room for the two
            // stores made for it.
            while (i + 4 <= n) {
                const uint32_t bytes = fourBytesAt(in + i);
                const bool ascii = (bytes & 0x80u) == 0;
                if (ascii && (bytes & 0x8000u) == 0)
                    break; // a run of ASCII: copied a word at a time below
                // For ASCII the table is read at 0 rather than at whatever the bytes
                // after it would make, which would pull stray lines into the cache.
                const uint32_t cp = ascii ? 0 : (bytes & 0x0F) << 12 | (bytes >> 2 & 0xFC0) | (bytes >> 16 & 0x3F);
                const uint16_t wide = table[cp];
                const bool threeBytes = (bytes & 0xC0C0F0u) == 0x8080E0u && cp >= 0x800 && wide != NoCode;
                if (!(ascii || threeBytes))
                    break;
                const uint16_t code = ascii ? static_cast<uint16_t>(bytes & 0x7F) : wide;
                o[0] = static_cast<char>(code & 0xFF);
                o[1] = static_cast<char>(code >> 8);
                o += 1 + (code > 0xFF);
                i += ascii ? 1 : 3;
            }
            if (i == n || static_cast<unsigned char>(in[i]) < 0x80)
                continue;
        }
        const size_t len = utf8::validSequenceLength(utf8, i);
        if (len == 0) {
            if (!onBad(utf8.substr(i, 1)))
                return o;
            *o++ = '?';
            ++i;
            continue;
        }
        const char32_t cp = utf8::decodeAt(utf8, i, len);
        if (cp < 0x10000) {
            const uint16_t code = table[cp];
            if (code != NoCode) {
                o = putCode(o, code); // two or three bytes consumed leave room for two
                i += len;
                continue;
            }
        } else if (encodeBeyondBmp(utf8.substr(i, len), wide) && wide.size() <= len) {
            std::memcpy(o, wide.data(), wide.size());
            o += wide.size();
            i += len;
            continue;
        }
        if (!onBad(utf8.substr(i, len)))
            return o;
        *o++ = '?';
        i += len;
    }
    return o;
}

bool isAscii(std::string_view s)
{
    return asciiRun(s.data(), 0, s.size()) == s.size();
}

// Texts up to this many bytes are decoded on the stack.
constexpr size_t ShortText = 1024;

// Decodes in[i..stepEnd) to o, advancing i past what was read; a pair may take the
// byte after stepEnd (up to n). o has room for three bytes per byte read and the
// four-byte stores of put(): a byte becomes at most three bytes of UTF-8. Returns
// the end of what was written and counts bad sequences in bad.
char* decodeStep(const DecodeTable& table, const unsigned char* in, size_t& position, size_t stepEnd, size_t n,
                 char* o, int& badCount)
{
    const PackedUtf8* const pairs = table.pairs.data(); // not reloaded after every byte written
    // Locals rather than the callers' variables: a store through o could alias them,
    // which would have them stored and reloaded for every character.
    size_t i = position;
    int bad = 0;
    constexpr PackedUtf8 Replacement = 3u << 24 | 0xBDBFEFu; // U+FFFD
    while (i < stepEnd) {
        unsigned char b = in[i];
        if (b >= 0x80) {
            // Japanese text: pairs, half-width kana and the odd ASCII character among
            // them, each selected without a branch, since in mixed text a branch
            // would guess wrong at every change. Two ASCII bytes in a row go back to
            // the copy of whole words below; a byte that is no character, and the last
            // byte of the text, go the general way.
            while (i < stepEnd && i + 1 < n) {
                const unsigned c0 = in[i];
                const unsigned c1 = in[i + 1];
                const bool ascii = c0 < 0x80;
                if (ascii && c1 < 0x80)
                    break;
                const uint32_t first = table.first[(c0 - 0x80) & 0x7F];
                const bool single = first >= FirstIsCharacter;
                const bool lead = !single && first != 0;
                // Row 0, trail byte 0 holds no character: the read for a byte that is
                // not a lead byte costs nothing and finds none.
                const PackedUtf8 pair = pairs[lead ? first - 1 + c1 : 0];
                const PackedUtf8 p = ascii ? (1u << 24 | c0) : single ? first : pair;
                if (p == 0)
                    break;
                o = put(o, p);
                i += ascii || single ? 1 : 2;
            }
            if (i >= stepEnd)
                break;
            b = in[i];
        }
        if (b < 0x80) {
            // ASCII is the same in UTF-8; whole words of it are copied at once.
            uint64_t word;
            if (i + 8 <= stepEnd && (std::memcpy(&word, in + i, 8), (word & 0x8080808080808080ull) == 0)) {
                std::memcpy(o, &word, 8);
                o += 8;
                i += 8;
            } else {
                *o++ = static_cast<char>(b);
                ++i;
            }
            continue;
        }
        const uint32_t first = table.first[b - 0x80];
        if (first >= FirstIsCharacter) {
            o = put(o, first);
            ++i;
            continue;
        }
        if (first != 0 && i + 1 < n) {
            if (const PackedUtf8 p = pairs[first - 1 + in[i + 1]]) {
                o = put(o, p);
                i += 2;
                continue;
            }
        }
        // An unmapped pair (a lead byte with a proper trail byte) is one bad
        // sequence; otherwise only the offending byte is skipped, so that a
        // following ASCII byte is read normally.
        size_t skip = 1;
        if (isLeadByte(b) && i + 1 < n && isTrailByte(in[i + 1]))
            skip = 2;
        o = put(o, Replacement);
        ++bad;
        i += skip;
    }
    position = i;
    badCount += bad;
    return o;
}

std::string describeChar(std::string_view ch)
{
    char code[24];
    const size_t len = utf8::validSequenceLength(ch, 0);
    if (len == 0 || len != ch.size()) {
        std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(ch[0]));
        return std::string("UTF-8 として不正なバイト ") + code + " は cp932 に変換できません";
    }
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(utf8::decodeAt(ch, 0, len)));
    return std::string("文字「") + std::string(ch) + "」(" + code + ") は cp932 で表せません";
}

} // namespace

EncodeError::EncodeError(std::string character)
    : RuntimeError(err::InvalidCall, describeChar(character)), character(std::move(character))
{
}

std::string encodeCp932(std::string_view utf8, EncodeMode mode, int* substituted)
{
    if (substituted)
        *substituted = 0;
    if (isAscii(utf8))
        return std::string(utf8);
    std::string out(utf8.size(), '\0');
    int count = 0;
    const char* end = encodeInto(utf8, out.data(), [&](std::string_view bad) {
        if (mode == EncodeMode::Strict)
            throw EncodeError(std::string(bad));
        ++count;
        return true;
    });
    out.resize(static_cast<size_t>(end - out.data()));
    if (substituted)
        *substituted = count;
    return out;
}

char* encodeCp932To(std::string_view utf8, char* out)
{
    return encodeInto(utf8, out, [](std::string_view bad) -> bool { throw EncodeError(std::string(bad)); });
}

std::string decodeCp932(std::string_view bytes, int* badSequences)
{
    if (badSequences)
        *badSequences = 0;
    if (isAscii(bytes))
        return std::string(bytes);
    const DecodeTable& table = decodeTable();
    const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    int bad = 0;
    size_t i = 0;
    std::string out;
    if (n <= ShortText) {
        // A line or a field: decoded on the stack and copied once, at its size.
        char buffer[3 * ShortText + 4];
        out.assign(buffer, decodeStep(table, in, i, n, n, buffer, bad));
    } else {
        // Consumed in steps, each with room for its worst case; the room is cleared
        // step by step, just before it is written, rather than all at once.
        constexpr size_t Step = 4096;
        out.reserve(n + n / 2 + 16);
        size_t used = 0;
        while (i < n) {
            const size_t stepEnd = std::min(n, i + Step);
            out.resize(used + 3 * (stepEnd - i) + 4);
            used = static_cast<size_t>(decodeStep(table, in, i, stepEnd, n, &out[used], bad) - out.data());
        }
        out.resize(used);
    }
    if (badSequences)
        *badSequences = bad;
    return out;
}

char* decodeCp932To(std::string_view bytes, char* out, int* badSequences)
{
    int bad = 0;
    size_t i = 0;
    char* end = decodeStep(decodeTable(), reinterpret_cast<const unsigned char*>(bytes.data()), i, bytes.size(),
                           bytes.size(), out, bad);
    if (badSequences)
        *badSequences = bad;
    return end;
}

bool canEncodeCp932(std::string_view utf8, std::string* firstBadChar)
{
    if (isAscii(utf8))
        return true;
    std::string out(utf8.size(), '\0');
    bool ok = true;
    encodeInto(utf8, out.data(), [&](std::string_view bad) {
        ok = false;
        if (firstBadChar)
            *firstBadChar = std::string(bad);
        return false;
    });
    return ok;
}

int cp932ByteLength(std::string_view utf8)
{
    int length = 0;
    for (size_t i = 0; i < utf8.size();) {
        const size_t len = utf8::validSequenceLength(utf8, i);
        if (len == 0) {
            ++length; // a stray byte is written as one "?"
            ++i;
            continue;
        }
        const char32_t cp = utf8::decodeAt(utf8, i, len);
        const bool halfWidth = cp < 0x80 || (cp >= 0xFF61 && cp <= 0xFF9F);
        length += halfWidth ? 1 : 2;
        i += len;
    }
    return length;
}

} // namespace platform
