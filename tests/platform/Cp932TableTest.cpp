// The table-driven cp932 codec against the system converter it is built from.
// Each case runs the same text through iconv "CP932" directly (with the codec's
// rules for what iconv refuses: U+FFFD per bad byte sequence on reading, "?" per
// unencodable character on writing, the yen sign and the overline refused) and
// through the codec, over the whole one- and two-byte space, every BMP code point
// and the malformed UTF-8 forms. A table built wrongly, a lookup off by one or a
// walk that loses its place shows up as a difference.

#include "platform/Cp932.h"
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <string_view>

using namespace platform;

namespace {

class Iconv {
public:
    Iconv(const char* to, const char* from) : m_cd(::iconv_open(to, from)) {}
    ~Iconv()
    {
        if (ok())
            ::iconv_close(m_cd);
    }
    Iconv(const Iconv&) = delete;
    Iconv& operator=(const Iconv&) = delete;
    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts from in until the end or the first refusal; returns the bytes
    // consumed.
    size_t convert(std::string_view in, std::string& out)
    {
        ::iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in.data());
        size_t inLeft = in.size();
        char buffer[4096];
        for (;;) {
            char* outPtr = buffer;
            size_t outLeft = sizeof buffer;
            const size_t r = ::iconv(m_cd, &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            out.append(buffer, static_cast<size_t>(outPtr - buffer));
            if (r != static_cast<size_t>(-1) || error != E2BIG)
                break;
        }
        return in.size() - inLeft;
    }

private:
    iconv_t m_cd;
};

struct Decoded {
    std::string utf8;
    int bad = 0;
};

// cp932 -> UTF-8 through iconv: a refused lead byte with a proper trail byte is one
// bad sequence of two bytes, any other refused byte one of one byte.
Decoded iconvDecode(Iconv& conv, std::string_view bytes)
{
    Decoded d;
    size_t at = 0;
    while (at < bytes.size()) {
        at += conv.convert(bytes.substr(at), d.utf8);
        if (at == bytes.size())
            break;
        const auto b = static_cast<unsigned char>(bytes[at]);
        const bool lead = (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
        size_t skip = 1;
        if (lead && at + 1 < bytes.size()) {
            const auto t = static_cast<unsigned char>(bytes[at + 1]);
            if (t >= 0x40 && t <= 0xFC && t != 0x7F)
                skip = 2;
        }
        d.utf8 += "\xEF\xBF\xBD";
        ++d.bad;
        at += skip;
    }
    return d;
}

struct Encoded {
    std::string bytes; // with "?" for each unencodable character
    int bad = 0;
    std::string firstBad;
};

bool isRefused(std::string_view ch)
{
    return ch == "\xC2\xA5" || ch == "\xE2\x80\xBE";
}

// UTF-8 -> cp932 through iconv: the text goes to iconv in stretches ending before
// each refused character; where iconv stops, the character there (or the stray
// byte, for malformed UTF-8) is one bad character and iconv resumes after it.
Encoded iconvEncode(Iconv& conv, std::string_view text)
{
    Encoded e;
    const auto bad = [&e](std::string_view ch) {
        if (e.bad++ == 0)
            e.firstBad = std::string(ch);
        e.bytes += '?';
    };
    for (size_t start = 0; start < text.size();) {
        size_t end = start;
        size_t refused = 0;
        while (end < text.size()) {
            const size_t len = utf8::charLength(text, end);
            if (isRefused(text.substr(end, len))) {
                refused = len;
                break;
            }
            end += len;
        }
        for (size_t at = start; at < end;) {
            at += conv.convert(text.substr(at, end - at), e.bytes);
            if (at == end)
                break;
            const size_t len = utf8::validSequenceLength(text, at);
            bad(text.substr(at, len == 0 ? 1 : len));
            at += len == 0 ? 1 : len;
        }
        if (refused > 0)
            bad(text.substr(end, refused));
        start = end + refused;
    }
    return e;
}

std::string hex(std::string_view s)
{
    std::string out;
    char b[4];
    for (const char c : s) {
        std::snprintf(b, sizeof b, "%02X ", static_cast<unsigned char>(c));
        out += b;
    }
    return out;
}

class Cp932AgainstIconv : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_decoder.ok());
        ASSERT_TRUE(m_encoder.ok());
    }

    // Compares the codec's decoding of bytes with iconv's; false once too many
    // differences were reported to go on.
    bool checkDecode(const std::string& bytes)
    {
        const Decoded expected = iconvDecode(m_decoder, bytes);
        int bad = -1;
        const std::string actual = decodeCp932(bytes, &bad);
        if (actual != expected.utf8 || bad != expected.bad) {
            ADD_FAILURE() << "bytes " << hex(bytes) << ": decoded " << hex(actual) << "(" << bad
                          << " bad), iconv " << hex(expected.utf8) << "(" << expected.bad << " bad)";
            return ++m_failures < 20;
        }
        return true;
    }

    // Compares all three ways of encoding text with iconv's result.
    bool checkEncode(const std::string& text)
    {
        const Encoded expected = iconvEncode(m_encoder, text);
        bool same = true;
        std::string strict;
        std::string thrown;
        try {
            strict = encodeCp932(text);
        } catch (const EncodeError& e) {
            thrown = e.character;
        }
        if (expected.bad == 0)
            same = same && thrown.empty() && strict == expected.bytes;
        else
            same = same && thrown == expected.firstBad;

        int count = -1;
        same = same && encodeCp932(text, EncodeMode::Substitute, &count) == expected.bytes &&
               count == expected.bad;

        std::string firstBad;
        const bool can = canEncodeCp932(text, &firstBad);
        same = same && can == (expected.bad == 0) && (can || firstBad == expected.firstBad);

        if (!same) {
            ADD_FAILURE() << "text " << hex(text) << ": iconv gives " << hex(expected.bytes) << "with "
                          << expected.bad << " bad, first " << hex(expected.firstBad);
            return ++m_failures < 20;
        }
        return true;
    }

    static std::string utf8Of(char32_t cp)
    {
        std::string s;
        if (cp < 0x80) {
            s += static_cast<char>(cp);
        } else if (cp < 0x800) {
            s += static_cast<char>(0xC0 | (cp >> 6));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            s += static_cast<char>(0xE0 | (cp >> 12));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            s += static_cast<char>(0xF0 | (cp >> 18));
            s += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            s += static_cast<char>(0x80 | (cp & 0x3F));
        }
        return s;
    }

    Iconv m_decoder{"UTF-8", "CP932"};
    Iconv m_encoder{"CP932", "UTF-8"};
    int m_failures = 0;
};

TEST_F(Cp932AgainstIconv, DecodesEveryByteAndEveryPairAsIconvDoes)
{
    for (int b = 0; b < 256; ++b) {
        if (!checkDecode(std::string(1, static_cast<char>(b))))
            return;
    }
    // Each pair alone, and between a kanji and ASCII so that a character before it
    // and one after it must be read in step.
    for (int lead = 0; lead < 256; ++lead) {
        for (int trail = 0; trail < 256; ++trail) {
            const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
            if (!checkDecode(pair) || !checkDecode("\x8E\x52" + pair + "A"))
                return;
        }
    }
}

TEST_F(Cp932AgainstIconv, DecodesLongTextAcrossTheCodecsInternalSteps)
{
    // Several kilobytes mixing ASCII runs, half-width katakana, pairs and bad bytes,
    // so that characters fall on every position relative to the codec's steps.
    std::string bytes;
    const char* pieces[] = {"abcdefghij", "\x82\xA0", "\xB1", "\x80", "\x95\x5C", "\x82",
                            "\r\n", "\xFB\xFC", "\x85\x40", "xyz", "\xA0", "\xF0\x40"};
    for (int i = 0; i < 20000; ++i)
        bytes += pieces[(i * 7 + i / 13) % 12];
    checkDecode(bytes);
    checkDecode(bytes.substr(1));
    checkDecode(bytes.substr(0, bytes.size() - 1) + "\x81");
}

TEST_F(Cp932AgainstIconv, EncodesEveryBmpCodePointAsIconvDoes)
{
    for (char32_t cp = 0; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        const std::string ch = utf8Of(cp);
        // Alone, between a kanji and ASCII, and within a run of kana.
        if (!checkEncode(ch) || !checkEncode("\xE5\xB1\xB1" + ch + "a") ||
            !checkEncode("\xE3\x81\x82" + ch + "\xE3\x81\x84\xE3\x81\x86"))
            return;
    }
}

TEST_F(Cp932AgainstIconv, EncodesCharactersBeyondTheBmpAsIconvDoes)
{
    for (const char32_t cp : {0x10000u, 0x1F600u, 0x20B9Fu, 0xE0100u, 0x10FFFFu}) {
        if (!checkEncode(utf8Of(cp)) || !checkEncode("\xE3\x81\x82" + utf8Of(cp) + "\xE3\x81\x82"))
            return;
    }
}

TEST_F(Cp932AgainstIconv, EncodesMalformedUtf8AsIconvDoes)
{
    // Every two-byte input: stray continuation bytes, cut sequences, the overlong
    // leads C0 and C1, bytes F5 to FF. Also between kana, where the encoder reads
    // runs of three-byte characters several bytes at a time.
    const std::string kana = "\xE3\x81\x82\xE3\x81\x84"; // あい
    for (int a = 0; a < 256; ++a) {
        for (int b = 0; b < 256; ++b) {
            const std::string two{static_cast<char>(a), static_cast<char>(b)};
            if (!checkEncode(two) || !checkEncode("\xE5\xB1\xB1" + two) || !checkEncode(kana + two + kana))
                return;
        }
    }
    // Three-byte forms around the proper ones: overlong (E0 80..9F), surrogates
    // (ED A0..BF), and bad continuation bytes after leads whose proper characters
    // cp932 holds (E3 kana, E9 kanji, EF full-width forms).
    for (const int lead : {0xE0, 0xE3, 0xE9, 0xED, 0xEF}) {
        for (int b = 0x7F; b <= 0xC0; ++b) {
            for (int c = 0x7F; c <= 0xC0; ++c) {
                const std::string three{static_cast<char>(lead), static_cast<char>(b), static_cast<char>(c)};
                if (!checkEncode(kana + three + kana))
                    return;
            }
        }
    }
    // Four-byte forms: overlong, beyond U+10FFFF, and leads that start none.
    for (const char* four : {"\xF0\x80\x80\x80", "\xF0\x8F\xBF\xBF", "\xF4\x90\x80\x80", "\xF5\x80\x80\x80",
                             "\xF8\x88\x80\x80\x80", "\xFC\x84\x80\x80\x80\x80", "\xF0\x9F\x98"}) {
        if (!checkEncode(std::string(four) + "a") || !checkEncode(kana + four + kana))
            return;
    }
}

TEST_F(Cp932AgainstIconv, ConvertsRandomMixedTextAsIconvDoesAlsoIntoTheCallersBuffer)
{
    // Texts as files hold them: kanji and kana with single ASCII characters, ASCII
    // runs, half-width katakana, line ends and now and then a bad byte or an
    // unencodable character, strung together at random. The codec reads such text
    // without branching on each change of kind, so every order of kinds matters.
    const char* cp932Pieces[] = {"\x8E\x52", "\x93\x63", "\x82\xA0", "1", "-", "a", "abcdefghijk",
                                 "\xB1", "\xDF", "\r\n", "\x80", "\x85\x40", "\x82", "\xFC\xFC", " "};
    const char* utf8Pieces[] = {"\xE5\xB1\xB1", "\xE3\x81\x82", "\xEF\xBD\xB1", "1", "-", "a",
                                "abcdefghijk", "\xEF\xBD\x9E", "\r\n", "\xC2\xA5", "\xC3\xA9",
                                "\xF0\x9F\x98\x80", "\xE3\x81", "\xFF", " "};
    std::mt19937 random(20261207);
    for (int round = 0; round < 300; ++round) {
        std::string bytes;
        std::string text;
        const int pieces = static_cast<int>(random() % 200);
        // Mostly well-formed text; the bad kinds come in a few rounds only.
        const unsigned kinds = round % 3 == 0 ? 15 : 10;
        for (int i = 0; i < pieces; ++i) {
            bytes += cp932Pieces[random() % kinds];
            text += utf8Pieces[random() % (kinds - 1)];
        }
        if (!checkDecode(bytes) || !checkEncode(text))
            return;

        // The buffer forms give the same bytes, up to their end and not beyond the
        // room they were promised.
        int bad = -1;
        const std::string decoded = decodeCp932(bytes, &bad);
        const size_t decodeRoom = 3 * bytes.size() + 1;
        auto decodeBuffer = std::make_unique<char[]>(decodeRoom);
        int badTo = -1;
        const char* decodedEnd = decodeCp932To(bytes, decodeBuffer.get(), &badTo);
        ASSERT_LE(decodedEnd - decodeBuffer.get(), static_cast<std::ptrdiff_t>(decodeRoom));
        EXPECT_EQ(std::string(static_cast<const char*>(decodeBuffer.get()), decodedEnd), decoded);
        EXPECT_EQ(badTo, bad);

        auto encodeBuffer = std::make_unique<char[]>(text.size() + 1);
        std::string encoded;
        try {
            encoded = encodeCp932(text);
        } catch (const EncodeError&) {
            EXPECT_THROW(encodeCp932To(text, encodeBuffer.get()), EncodeError);
            continue;
        }
        const char* encodedEnd = encodeCp932To(text, encodeBuffer.get());
        ASSERT_LE(encodedEnd - encodeBuffer.get(), static_cast<std::ptrdiff_t>(text.size()));
        EXPECT_EQ(std::string(static_cast<const char*>(encodeBuffer.get()), encodedEnd), encoded);
    }
}

} // namespace
