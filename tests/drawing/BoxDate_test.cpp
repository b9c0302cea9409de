// Box dates in the six formats and kanji numerals.

#include "DrawingFixture.h"

#include "drawing/BoxDate.h"

#include <array>
#include <ostream>
#include <string>
#include <vector>

namespace {

using drawing::Conv_KanjiDigits;
using drawing::Conv_KanjiNumber;
using drawing::Format_BoxDate;
using drawing_test::DrawingFixture;

// U+3000, the ideographic space that pads short numerals.
const std::string S = "\u3000";

struct KanjiCase {
    const char* digits;
    std::string kanji;
};
std::ostream& operator<<(std::ostream& os, const KanjiCase& c) { return os << '"' << c.digits << '"'; }

class KanjiNumber : public ::testing::TestWithParam<KanjiCase> {};

TEST_P(KanjiNumber, WritesDigitRunAsKanji) { EXPECT_EQ(Conv_KanjiNumber(GetParam().digits), GetParam().kanji); }

INSTANTIATE_TEST_SUITE_P(, KanjiNumber,
    ::testing::Values(
        KanjiCase{"5", S + "五" + S},
        KanjiCase{"08", S + "八" + S},
        KanjiCase{"10", S + "十" + S},
        KanjiCase{"15", S + "十五"},
        KanjiCase{"20", S + "二十"},
        KanjiCase{"25", "二十五"},
        KanjiCase{"00", S + "零" + S},
        KanjiCase{"1945", "千九百四十五"},
        KanjiCase{"2004", "二千四"},
        KanjiCase{"100", "百"},
        KanjiCase{"1", S + "一" + S},
        KanjiCase{"11", S + "十一"},
        KanjiCase{"111", "百十一"},
        KanjiCase{"12345", "万二千三百四十五"},
        KanjiCase{" 7 ", S + "七" + S},
        KanjiCase{"", ""}),
    [](const auto& info) { return std::to_string(info.index); });

TEST(KanjiDigits, ConvertsEveryHalfWidthRunOnly)
{
    EXPECT_EQ(Conv_KanjiDigits("昭和20年08月15日"), "昭和" + S + "二十年" + S + "八" + S + "月" + S + "十五日");
    EXPECT_EQ(Conv_KanjiDigits("２０年"), "２０年") << "full-width digits stay";
    EXPECT_EQ(Conv_KanjiDigits("  12  "), S + "十二") << "blanks around the text are trimmed";
    EXPECT_EQ(Conv_KanjiDigits("   "), "");
}

// The stored forms of one day, read back in each of the six box formats.
struct BoxDateCase {
    int16_t mode;
    std::string shown;
};
std::ostream& operator<<(std::ostream& os, const BoxDateCase& c) { return os << "DS_Nen " << c.mode; }

class BoxDate19450815 : public DrawingFixture, public ::testing::WithParamInterface<BoxDateCase> {};

TEST_P(BoxDate19450815, EveryStoredFormGivesTheBoxText)
{
    model::settings().Dispmode_Nengo = 2;
    for (const char* stored : {"昭和20年08月15日", "S20年08月15日", "1945/08/15"}) {
        SCOPED_TRACE(stored);
        EXPECT_EQ(Format_BoxDate(stored, GetParam().mode), GetParam().shown);
        EXPECT_EQ(model::settings().Dispmode_Nengo, 2) << "the display mode is put back";
    }
}

INSTANTIATE_TEST_SUITE_P(, BoxDate19450815,
    ::testing::Values(
        BoxDateCase{0, "昭和" + S + "二十年" + S + "八" + S + "月" + S + "十五日"},
        BoxDateCase{1, "昭和20年08月15日"},
        BoxDateCase{2, "西暦千九百四十五年" + S + "八" + S + "月" + S + "十五日"},
        BoxDateCase{3, "西暦1945年08月15日"},
        BoxDateCase{4, "1945/08/15"},
        BoxDateCase{5, "08/15/1945"},
        BoxDateCase{6, "19450815"}),
    [](const auto& info) { return std::to_string(info.index); });

struct StoredCase {
    const char* stored;
    int16_t mode;
    const char* shown;
};
std::ostream& operator<<(std::ostream& os, const StoredCase& c) { return os << c.stored << " DS_Nen " << c.mode; }

class BoxDateStored : public DrawingFixture, public ::testing::WithParamInterface<StoredCase> {};

TEST_P(BoxDateStored, FormatsOrGivesUp)
{
    EXPECT_EQ(Format_BoxDate(GetParam().stored, GetParam().mode), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(, BoxDateStored,
    ::testing::Values(
        // Dates in the last calendar year of an era are real dates.
        StoredCase{"昭和64年01月07日", 1, "昭和64年01月07日"},
        StoredCase{"昭和64年01月07日", 4, "1989/01/07"},
        StoredCase{"大正15年12月24日", 4, "1926/12/24"},
        StoredCase{"明治45年07月29日", 3, "西暦1912年07月29日"},
        StoredCase{"平成31年04月30日", 1, "平成31年04月30日"},
        StoredCase{"令和元年05月01日", 1, "令和元年05月01日"},
        // A day the era never reached, a partial date in an era format and a
        // non-date give up; the box then shows the stored text.
        StoredCase{"昭和64年01月08日", 4, ""},
        StoredCase{"2004/03", 1, ""},
        StoredCase{"大正03年", 0, ""},
        StoredCase{"大正03年06月", 1, ""},
        StoredCase{"不明", 0, ""},
        StoredCase{"不明", 9, "不明"}),
    [](const auto& info) { return std::to_string(info.index); });

// A year or a year and month, as the editor stores it in each display mode, follows
// the western formats as far as its precision goes.
struct PartialCase {
    std::vector<const char*> stored; // the same date in western, era-name and era-letter form
    std::array<std::string, 4> shown; // in the formats 2, 3, 4 and 5
};
std::ostream& operator<<(std::ostream& os, const PartialCase& c) { return os << c.stored.front(); }

class BoxDatePartial : public DrawingFixture, public ::testing::WithParamInterface<PartialCase> {};

TEST_P(BoxDatePartial, FollowsTheWesternFormatsAsFarAsItGoes)
{
    for (const char* stored : GetParam().stored) {
        for (int16_t mode = 2; mode <= 5; ++mode) {
            SCOPED_TRACE(std::string(stored) + " DS_Nen " + std::to_string(mode));
            EXPECT_EQ(Format_BoxDate(stored, mode), GetParam().shown[static_cast<size_t>(mode - 2)]);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(, BoxDatePartial,
    ::testing::Values(
        PartialCase{{"1914", "大正03年", "大正3年", "T3年"}, {"西暦千九百十四年", "西暦1914年", "1914", "1914"}},
        PartialCase{{"1914/06", "大正03年06月", "T3年6月"},
                    {"西暦千九百十四年" + S + "六" + S + "月", "西暦1914年06月", "1914/06", "06/1914"}},
        PartialCase{{"1989", "平成元年"}, {"西暦千九百八十九年", "西暦1989年", "1989", "1989"}},
        PartialCase{{"2019/05", "令和元年05月"}, {"西暦二千十九年" + S + "五" + S + "月", "西暦2019年05月", "2019/05", "05/2019"}},
        // More than a date, or a year the western form does not take, stays as stored.
        PartialCase{{"1950年頃", "大正03年頃", "0800", "大正99年"}, {"", "", "", ""}}),
    [](const auto& info) { return std::to_string(info.index); });

} // namespace
