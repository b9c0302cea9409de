#include "platform/Cp932.h"

#include "Utf8.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <functional>

namespace platform {

namespace {

// One conversion descriptor per direction, opened on first use and kept:
// opening costs far more than converting a short field.
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

    // Converts as much of [in, in + inLeft) as possible, appending to out.
    // Returns 0 when everything was converted, else the errno that stopped it
    // (EILSEQ or EINVAL) with in/inLeft pointing at the offending bytes.
    int convert(const char*& in, size_t& inLeft, std::string& out)
    {
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr); // back to the initial state
        char buffer[8192];
        while (inLeft > 0) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            char* inPtr = const_cast<char*>(in);
            const size_t r = ::iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            in = inPtr;
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (r == static_cast<size_t>(-1)) {
                if (error == E2BIG)
                    continue;
                return error;
            }
        }
        return 0;
    }

private:
    iconv_t m_cd;
};

Converter& encoder()
{
    static thread_local Converter c("CP932", "UTF-8");
    return c;
}

Converter& decoder()
{
    static thread_local Converter c("UTF-8", "CP932");
    return c;
}

bool isAscii(std::string_view s)
{
    for (const char ch : s)
        if (static_cast<unsigned char>(ch) >= 0x80)
            return false;
    return true;
}

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// Characters the converter maps one way only onto bytes that read back as a
// different visible character: U+00A5 (yen sign) and U+203E (overline) would
// come back as the backslash and the tilde. They count as unencodable so that
// no text changes without notice.
bool isRefusedChar(std::string_view s, size_t i, size_t len)
{
    if (len == 2)
        return static_cast<unsigned char>(s[i]) == 0xC2 && static_cast<unsigned char>(s[i + 1]) == 0xA5;
    if (len == 3)
        return static_cast<unsigned char>(s[i]) == 0xE2 && static_cast<unsigned char>(s[i + 1]) == 0x80 &&
               static_cast<unsigned char>(s[i + 2]) == 0xBE;
    return false;
}

// Encodes utf8, calling onBad for each character cp932 cannot hold (or each
// stray byte of invalid UTF-8). onBad returns false to stop; "?" is written in
// place of each bad character.
void encodeImpl(std::string_view utf8, std::string& out,
                const std::function<bool(std::string_view)>& onBad)
{
    Converter& conv = encoder();
    size_t start = 0;
    while (start < utf8.size()) {
        // The stretch up to the next refused character goes to iconv.
        size_t end = start;
        size_t refusedLen = 0;
        while (end < utf8.size()) {
            const size_t len = utf8::charLength(utf8, end);
            if (isRefusedChar(utf8, end, len)) {
                refusedLen = len;
                break;
            }
            end += len;
        }
        const char* in = utf8.data() + start;
        size_t inLeft = end - start;
        while (inLeft > 0) {
            if (conv.convert(in, inLeft, out) == 0)
                break;
            const size_t pos = static_cast<size_t>(in - utf8.data());
            const size_t len = utf8::validSequenceLength(utf8, pos);
            const size_t skip = len == 0 ? 1 : len;
            if (!onBad(utf8.substr(pos, skip)))
                return;
            out += '?';
            in += skip;
            inLeft -= skip;
        }
        if (refusedLen > 0) {
            if (!onBad(utf8.substr(end, refusedLen)))
                return;
            out += '?';
        }
        start = end + refusedLen;
    }
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
    std::string out;
    out.reserve(utf8.size());
    int count = 0;
    encodeImpl(utf8, out, [&](std::string_view bad) {
        if (mode == EncodeMode::Strict)
            throw EncodeError(std::string(bad));
        ++count;
        return true;
    });
    if (substituted)
        *substituted = count;
    return out;
}

std::string decodeCp932(std::string_view bytes, int* badSequences)
{
    if (badSequences)
        *badSequences = 0;
    if (isAscii(bytes))
        return std::string(bytes);
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 2);
    Converter& conv = decoder();
    int bad = 0;
    const char* in = bytes.data();
    size_t inLeft = bytes.size();
    while (inLeft > 0) {
        if (conv.convert(in, inLeft, out) == 0)
            break;
        // An unmapped pair (a lead byte with a proper trail byte) is one bad
        // sequence; otherwise only the offending byte is skipped, so that a
        // following ASCII byte is read normally.
        const auto b = static_cast<unsigned char>(*in);
        size_t skip = 1;
        if (isLeadByte(b) && inLeft >= 2 && isTrailByte(static_cast<unsigned char>(in[1])))
            skip = 2;
        out += "\xEF\xBF\xBD";
        ++bad;
        in += skip;
        inLeft -= skip;
    }
    if (badSequences)
        *badSequences = bad;
    return out;
}

bool canEncodeCp932(std::string_view utf8, std::string* firstBadChar)
{
    if (isAscii(utf8))
        return true;
    std::string out;
    bool ok = true;
    encodeImpl(utf8, out, [&](std::string_view bad) {
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
