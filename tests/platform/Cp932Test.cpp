#include "platform/Cp932.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

using namespace platform;

namespace {

struct Mapping {
    const char* name;
    std::string utf8;
    std::string cp932;
};

void PrintTo(const Mapping& c, std::ostream* os)
{
    *os << c.name;
}

// Characters whose bytes the files of the program depend on: the wave dash
// and minus that only CP932 (not SHIFT_JIS) holds, the backslash and tilde
// that must stay ASCII, half-width katakana and the vendor extensions.
class Cp932Mapping : public ::testing::TestWithParam<Mapping> {};

TEST_P(Cp932Mapping, EncodesToTheExpectedBytesAndBack)
{
    const Mapping& m = GetParam();
    EXPECT_EQ(encodeCp932(m.utf8), m.cp932);
    int bad = -1;
    EXPECT_EQ(decodeCp932(m.cp932, &bad), m.utf8);
    EXPECT_EQ(bad, 0);
    EXPECT_TRUE(canEncodeCp932(m.utf8));
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Cp932Mapping,
    ::testing::Values(Mapping{"ascii", "Tevora 1.0", "Tevora 1.0"},
                      Mapping{"backslash_and_tilde", "C:\\TMP\\~a", "C:\\TMP\\~a"},
                      Mapping{"wave_dash", "\xEF\xBD\x9E", "\x81\x60"},
                      Mapping{"fullwidth_minus", "\xEF\xBC\x8D", "\x81\x7C"},
                      Mapping{"hiragana", "\xE3\x81\x82", "\x82\xA0"},
                      Mapping{"kanji_with_5c_trail", "\xE8\xA1\xA8", "\x95\x5C"}, // 表
                      Mapping{"halfwidth_katakana", "\xEF\xBD\xB1", "\xB1"},
                      Mapping{"nec_circled_one", "\xE2\x91\xA0", "\x87\x40"},
                      Mapping{"ibm_kanji", "\xE9\xAB\x99", "\xFB\xFC"}, // 髙
                      Mapping{"ideographic_space", "\xE3\x80\x80", "\x81\x40"},
                      Mapping{"line_end_kept", "a\r\nb", "a\r\nb"},
                      Mapping{"empty", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

// Characters cp932 has no place for: strict encoding names them, substitute
// encoding writes "?" for each and counts them.
struct Unencodable {
    const char* name;
    std::string text;
    std::string firstBad;
    std::string substituted;
    int count;
    std::string shownAs = firstBad; // how the error message names it
};

void PrintTo(const Unencodable& c, std::ostream* os)
{
    *os << c.name;
}

class Cp932Unencodable : public ::testing::TestWithParam<Unencodable> {};

TEST_P(Cp932Unencodable, StrictNamesTheCharacter)
{
    const Unencodable& u = GetParam();
    try {
        (void)encodeCp932(u.text);
        FAIL() << "no EncodeError";
    } catch (const EncodeError& e) {
        EXPECT_EQ(e.number, 5);
        EXPECT_EQ(e.character, u.firstBad);
        EXPECT_NE(e.description.find(u.shownAs), std::string::npos) << e.description;
    }
}

TEST_P(Cp932Unencodable, SubstituteWritesQuestionMarksAndCounts)
{
    const Unencodable& u = GetParam();
    int count = -1;
    EXPECT_EQ(encodeCp932(u.text, EncodeMode::Substitute, &count), u.substituted);
    EXPECT_EQ(count, u.count);
}

TEST_P(Cp932Unencodable, CanEncodeReportsTheFirstBadCharacter)
{
    const Unencodable& u = GetParam();
    std::string bad;
    EXPECT_FALSE(canEncodeCp932(u.text, &bad));
    EXPECT_EQ(bad, u.firstBad);
}

INSTANTIATE_TEST_SUITE_P(
    Characters, Cp932Unencodable,
    ::testing::Values(
        Unencodable{"accented", "caf\xC3\xA9", "\xC3\xA9", "caf?", 1},
        Unencodable{"emoji_between_kanji", "\xE5\xB1\xB1\xF0\x9F\x98\x80\xE7\x94\xB0", "\xF0\x9F\x98\x80",
                    "\x8E\x52?\x93\x63", 1},
        Unencodable{"two_bad", "a\xE2\x84\xA2" "b\xC3\xA9", "\xE2\x84\xA2", "a?b?", 2},
        // The yen sign and overline would come back as backslash and tilde.
        Unencodable{"yen_sign", "\xC2\xA5" "100", "\xC2\xA5", "?100", 1},
        Unencodable{"overline", "\xE2\x80\xBE", "\xE2\x80\xBE", "?", 1},
        Unencodable{"invalid_utf8_byte", "a\xFF" "b", "\xFF", "a?b", 1, "0xFF"},
        Unencodable{"cut_utf8_sequence", "\xE3\x81", "\xE3", "??", 2, "0xE3"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Cp932Encode, SubstituteCountIsZeroForCleanText)
{
    int count = 7;
    EXPECT_EQ(encodeCp932("\xE6\x97\xA5\xE6\x9C\xAC", EncodeMode::Substitute, &count), "\x93\xFA\x96\x7B");
    EXPECT_EQ(count, 0);
}

// Bytes that are no cp932 character: each bad sequence becomes U+FFFD and is
// counted, and the bytes after it are read normally.
struct BadBytes {
    const char* name;
    std::string bytes;
    std::string utf8;
    int bad;
};

void PrintTo(const BadBytes& c, std::ostream* os)
{
    *os << c.name;
}

class Cp932Decode : public ::testing::TestWithParam<BadBytes> {};

TEST_P(Cp932Decode, ReplacesAndCountsBadSequences)
{
    const BadBytes& b = GetParam();
    int bad = -1;
    EXPECT_EQ(decodeCp932(b.bytes, &bad), b.utf8);
    EXPECT_EQ(bad, b.bad);
}

const std::string kReplacement = "\xEF\xBF\xBD";

INSTANTIATE_TEST_SUITE_P(
    Sequences, Cp932Decode,
    ::testing::Values(BadBytes{"byte_80", "a\x80z", "a" + kReplacement + "z", 1},
                      BadBytes{"byte_a0", "\xA0", kReplacement, 1},
                      BadBytes{"byte_ff", "x\xFF", "x" + kReplacement, 1},
                      BadBytes{"lead_byte_at_end", "ab\x82", "ab" + kReplacement, 1},
                      BadBytes{"lead_before_blank", "\x82 x", kReplacement + " x", 1},
                      BadBytes{"lead_before_cr_lf", "\x82\r\n", kReplacement + "\r\n", 1},
                      BadBytes{"unassigned_pair", "\x85\x40" "a", kReplacement + "a", 1},
                      BadBytes{"several", "\x80\x82\xA0\xA0", kReplacement + "\xE3\x81\x82" + kReplacement, 2},
                      BadBytes{"clean_text", "\x82\xA0\x82\xA2", "\xE3\x81\x82\xE3\x81\x84", 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct ByteLength {
    std::string text;
    int length;
};

void PrintTo(const ByteLength& c, std::ostream* os)
{
    *os << ::testing::PrintToString(c.text);
}

class Cp932Length : public ::testing::TestWithParam<ByteLength> {};

TEST_P(Cp932Length, HalfWidthCountsOneOthersTwo)
{
    EXPECT_EQ(cp932ByteLength(GetParam().text), GetParam().length) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Texts, Cp932Length,
                         ::testing::Values(ByteLength{"", 0}, ByteLength{"abc", 3},
                                           ByteLength{"\xE5\xB1\xB1\xE7\x94\xB0", 4},           // 山田
                                           ByteLength{"\xEF\xBD\xB1\xEF\xBD\xB2", 2},           // ｱｲ
                                           ByteLength{"a\xE5\xB1\xB1\xEF\xBD\xB1", 4},          // a山ｱ
                                           ByteLength{"\xEF\xBD\x9E\xE3\x80\x80", 4}));         // ～ and U+3000

TEST(Cp932RoundTrip, EveryDoubleByteCodeThatDecodesEncodesBackToItself)
{
    // Walk the whole double-byte space: whatever decodes cleanly must encode
    // to the same two bytes, except the few codes cp932 lists twice (NEC and
    // IBM copies of the same character), which go to one canonical code.
    int checked = 0;
    int duplicates = 0;
    for (int lead = 0x81; lead <= 0xFC; ++lead) {
        if (lead > 0x9F && lead < 0xE0)
            continue;
        for (int trail = 0x40; trail <= 0xFC; ++trail) {
            if (trail == 0x7F)
                continue;
            const std::string bytes{static_cast<char>(lead), static_cast<char>(trail)};
            int bad = 0;
            const std::string text = decodeCp932(bytes, &bad);
            if (bad != 0)
                continue;
            ++checked;
            const std::string back = encodeCp932(text);
            ASSERT_EQ(back.size(), 2u) << std::hex << lead << trail;
            if (back != bytes) {
                ++duplicates;
                EXPECT_EQ(decodeCp932(back), text) << std::hex << lead << trail;
            }
        }
    }
    EXPECT_GT(checked, 7000);
    EXPECT_LT(duplicates, 400);
}

} // namespace
