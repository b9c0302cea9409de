// Date texts, date keys and era look-ups.

#include "EraFixture.h"

#include <ostream>

namespace {

using era_test::EraFixture;
using era_test::HeiseiShowa;

// Rows print their input so that a failing row names itself.
struct KeyCase {
    int mode;
    const char* text;
    int result;
    const char* key;
};
std::ostream& operator<<(std::ostream& os, const KeyCase& c) { return os << c.text << " (mode " << c.mode << ")"; }

std::string rowName(const ::testing::TestParamInfo<KeyCase>& info) { return std::to_string(info.index); }

class HeiseiShowaTable : public EraFixture {
protected:
    void SetUp() override
    {
        EraFixture::SetUp();
        loadTable(HeiseiShowa);
    }
};

// --- Is_DigitChar and Split_WarekiStr --------------------------------------

TEST(IsDigitChar, DigitsOfBothWidthsAreClassZero)
{
    for (const char* digit : {"0", "5", "9", "０", "９"})
        EXPECT_EQ(model::Is_DigitChar(digit), 0) << digit;
    for (const char* other : {"a", "/", " ", "元", "年", "十", "", "12"})
        EXPECT_EQ(model::Is_DigitChar(other), -1) << other;
}

struct SplitCase {
    const char* text;
    int result;
    const char* era;
    const char* year;
    const char* month;
    const char* day;
};
std::ostream& operator<<(std::ostream& os, const SplitCase& c) { return os << c.text; }

class SplitWarekiStr : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitWarekiStr, AssignsRunsByTheirCount)
{
    const SplitCase& c = GetParam();
    std::string era = "x";
    std::string year = "x";
    std::string month = "x";
    std::string day = "x";
    ASSERT_EQ(model::Split_WarekiStr(c.text, era, year, month, day), c.result);
    if (c.result != 0)
        return;
    EXPECT_EQ(era, c.era);
    EXPECT_EQ(year, c.year);
    EXPECT_EQ(month, c.month);
    EXPECT_EQ(day, c.day);
}

INSTANTIATE_TEST_SUITE_P(, SplitWarekiStr,
    ::testing::Values(
        SplitCase{"平成元年3月4日", 0, "平成", "1", "3", "4"},
        SplitCase{"H1/3/4", 0, "H", "1", "3", "4"},
        SplitCase{"平成1年3月4日", 0, "平成", "1", "3", "4"},
        SplitCase{"元治元年", 0, "元治", "1", "", ""},
        SplitCase{"平成 16 年", 0, "平成", "16", "", ""},
        SplitCase{"2004/03/04", 0, "", "2004", "03", "04"},
        SplitCase{"2004年3月4日", 0, "", "2004", "3", "4"},
        SplitCase{"2004", 0, "", "2004", "", ""},
        SplitCase{"2004年", 0, "", "2004", "", ""},
        SplitCase{"2004/3", 0, "", "2004", "3", ""},
        SplitCase{"2004/3/", 0, "", "2004", "3", ""},
        SplitCase{"平成16", 0, "平成", "16", "", ""},
        SplitCase{"平成16年3", 0, "平成", "16", "3", ""},
        SplitCase{"平成16年3月", 0, "平成", "16", "3", ""},
        SplitCase{"", 0, "", "", "", ""},
        SplitCase{"平成", -1, "", "", "", ""},
        SplitCase{"1/2/3/4", -1, "", "", "", ""},
        SplitCase{"H1/2/3/4/5", -1, "", "", "", ""}),
    [](const auto& info) { return std::to_string(info.index); });

// --- Conv_DateKey -----------------------------------------------------------

class ConvDateKey : public HeiseiShowaTable, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ConvDateKey, GivesKeyOrReason)
{
    const KeyCase& c = GetParam();
    setMode(c.mode);
    std::string key = "stale";
    EXPECT_EQ(model::Conv_DateKey(c.text, key), c.result);
    EXPECT_EQ(key, c.key);
}

INSTANTIATE_TEST_SUITE_P(, ConvDateKey,
    ::testing::Values(
        // The three spellings of one era date.
        KeyCase{1, "平成元年3月4日", 0, "19890304"},
        KeyCase{1, "H1/3/4", 0, "19890304"},
        KeyCase{1, "平成1年3月4日", 0, "19890304"},
        KeyCase{1, "h1/3/4", 0, "19890304"},
        KeyCase{1, "Ｈ１/３/４", 0, "19890304"},
        KeyCase{1, " 平成1年3月4日 ", 0, "19890304"},
        // The last day of 昭和 and the first of 平成.
        KeyCase{1, "昭和64年1月7日", 0, "19890107"},
        KeyCase{1, "昭和64年1月8日", -2, ""},
        KeyCase{1, "S64/1/8", -2, ""},
        KeyCase{1, "平成元年1月8日", 0, "19890108"},
        KeyCase{1, "昭和元年12月25日", 0, "19261225"},
        // Western texts.
        KeyCase{0, "2004/3/4", 0, "20040304"},
        KeyCase{0, "2004年3月4日", 0, "20040304"},
        KeyCase{0, "2004/02/30", -1, ""},
        KeyCase{0, "2004/3", -1, ""},
        KeyCase{0, "99/3/4", -1, ""},
        // Rejected era texts.
        KeyCase{1, "令和1/5/1", -2, ""},
        KeyCase{1, "大正5年1月1日", -2, ""},
        KeyCase{1, "平成0年5月1日", -1, ""},
        KeyCase{1, "平成2年13月1日", -1, ""},
        KeyCase{1, "平成2年", -1, ""},
        KeyCase{1, "", -1, ""}),
    rowName);

TEST_F(EraFixture, LettersAAndZAreEraNamesNotLetterCodes)
{
    // Row 0 is named "A", row 1 has the letter code "A": "A" must find row 0.
    loadTable({"2000/01/01 A Q", "1990/01/01 甲 A", "1980/01/01 Z Z"});
    std::string key;
    EXPECT_EQ(model::Conv_DateKey("A1/1/1", key), 0);
    EXPECT_EQ(key, "20000101");
    EXPECT_EQ(model::Conv_DateKey("Z5/1/1", key), 0);
    EXPECT_EQ(key, "19840101");
    EXPECT_EQ(model::Conv_DateKey("Q1/2/3", key), 0) << "a letter between A and Z is a code";
    EXPECT_EQ(key, "20000203");
}

TEST_F(HeiseiShowaTable, DateKeyToDateGivesTheCalendarDay)
{
    double date = 0;
    ASSERT_EQ(model::DateKey_ToDate("平成元年3月4日", date), 0);
    EXPECT_EQ(date, platform::DateSerial(1989, 3, 4));
    ASSERT_EQ(model::DateKey_ToDate("S64/1/7", date), 0);
    EXPECT_EQ(date, platform::DateSerial(1989, 1, 7));
    date = 42;
    EXPECT_EQ(model::DateKey_ToDate("平成元年2月30日", date), -1);
    EXPECT_EQ(model::DateKey_ToDate("令和元年5月1日", date), -1);
    EXPECT_EQ(date, 42);
}

// --- Format_DateDisp ----------------------------------------------------------

struct DispCase {
    int mode;
    const char* key;
    int result;
    const char* shown;
};
std::ostream& operator<<(std::ostream& os, const DispCase& c) { return os << c.key << " (mode " << c.mode << ")"; }

class FormatDateDisp : public HeiseiShowaTable, public ::testing::WithParamInterface<DispCase> {};

TEST_P(FormatDateDisp, ShowsKeyInTheDisplayMode)
{
    const DispCase& c = GetParam();
    setMode(c.mode);
    std::string shown = "unchanged";
    EXPECT_EQ(model::Format_DateDisp(c.key, shown), c.result);
    EXPECT_EQ(shown, c.shown);
}

INSTANTIATE_TEST_SUITE_P(, FormatDateDisp,
    ::testing::Values(
        DispCase{1, "19890108", 0, "平成元年01月08日"},
        DispCase{1, "19890107", 0, "昭和64年01月07日"},
        DispCase{1, "19300304", 0, "昭和05年03月04日"},
        DispCase{1, "19261225", 0, "昭和元年12月25日"},
        DispCase{1, "20040304", 0, "平成16年03月04日"},
        DispCase{1, "19261224", 0, "1926/12/24"},
        DispCase{2, "19930304", 0, "H5年03月04日"},
        DispCase{2, "19890108", 0, "H1年01月08日"},
        DispCase{2, "18500304", 0, "1850年03月04日"},
        DispCase{0, "19890108", 0, "1989/01/08"},
        DispCase{3, "19890108", 0, "1989/01/08"},
        DispCase{9, "19890108", 0, "unchanged"},
        DispCase{1, "", 0, ""},
        // Keys that are no date, short ones among them, leave the output alone.
        DispCase{1, "19890230", -1, "unchanged"},
        DispCase{1, "1989", -1, "unchanged"},
        DispCase{1, "1989010", -1, "unchanged"},
        DispCase{1, "平成16年", -1, "unchanged"}),
    [](const auto& info) { return std::to_string(info.index); });

// --- Conv_WarekiKey -----------------------------------------------------------

class ConvWarekiKey : public HeiseiShowaTable, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ConvWarekiKey, ReadsStoredTextBack)
{
    const KeyCase& c = GetParam();
    setMode(c.mode);
    std::string key = "stale";
    EXPECT_EQ(model::Conv_WarekiKey(c.text, key), c.result);
    EXPECT_EQ(key, c.key);
}

INSTANTIATE_TEST_SUITE_P(, ConvWarekiKey,
    ::testing::Values(
        // The last calendar year of an era is valid up to the next era's first day.
        KeyCase{1, "昭和64年01月07日", 0, "19890107"},
        KeyCase{1, "昭和64年01月08日", -2, ""},
        KeyCase{2, "S64年01月07日", 0, "19890107"},
        KeyCase{2, "S64/01/07", 0, "19890107"},
        KeyCase{2, "S64/01/08", -2, ""},
        KeyCase{2, "S65年01月01日", -2, ""},
        KeyCase{1, "平成元年03月04日", 0, "19890304"},
        KeyCase{1, "昭和05年03月04日", 0, "19300304"},
        KeyCase{2, "H16年03月04日", 0, "20040304"},
        KeyCase{0, "2004/03/04", 0, "20040304"},
        KeyCase{2, "1850年03月04日", 0, "18500304"},
        KeyCase{0, "2004/03", -1, ""},
        KeyCase{1, "平成16年", -2, ""},
        KeyCase{2, "H16年03月", -1, ""},
        KeyCase{1, "平成0年03月04日", -1, ""},
        KeyCase{1, "令和元年05月01日", -2, ""},
        KeyCase{1, "昭", -2, ""},
        KeyCase{1, "", -1, ""}),
    rowName);

// --- Fill_DatePart ------------------------------------------------------------

struct FillCase {
    int mode;
    const char* text;
    const char* filled;
};
std::ostream& operator<<(std::ostream& os, const FillCase& c) { return os << c.text << " (mode " << c.mode << ")"; }

class FillDatePart : public HeiseiShowaTable, public ::testing::WithParamInterface<FillCase> {};

TEST_P(FillDatePart, CompletesPartialDates)
{
    setMode(GetParam().mode);
    EXPECT_EQ(model::Fill_DatePart(GetParam().text), GetParam().filled);
}

INSTANTIATE_TEST_SUITE_P(, FillDatePart,
    ::testing::Values(
        FillCase{1, "2004/03", "2004/03/01"},
        FillCase{1, "2004/3", ""},
        FillCase{1, "2004", "2004/01/01"},
        FillCase{1, "2004/03/04", "2004/03/04"},
        FillCase{1, "平成16年", "平成16年01月01日"},
        FillCase{1, "平成16年03月", "平成16年03月01日"},
        FillCase{1, "平成16年03月04日", "平成16年03月04日"},
        FillCase{2, "H16年", "H16年01月01日"},
        // The text's own form decides, not the display mode.
        FillCase{0, "平成16年", "平成16年01月01日"},
        // The year or month an era began in starts on the era's first day.
        FillCase{1, "平成元年", "平成元年01月08日"},
        FillCase{1, "平成元年01月", "平成元年01月08日"},
        FillCase{1, "平成元年02月", "平成元年02月01日"},
        FillCase{2, "H1年", "H1年01月08日"},
        FillCase{1, "昭和64年", "昭和64年01月01日"},
        FillCase{1, "", ""}),
    [](const auto& info) { return std::to_string(info.index); });

// --- Conv_InputDate -----------------------------------------------------------

struct InputCase {
    int mode;
    const char* typed;
    int result;
    const char* stored;
};
std::ostream& operator<<(std::ostream& os, const InputCase& c) { return os << c.typed << " (mode " << c.mode << ")"; }

void expectInput(const InputCase& c)
{
    model::settings().Dispmode_Nengo = c.mode;
    std::string out = "unchanged";
    EXPECT_EQ(model::Conv_InputDate(c.typed, out), c.result);
    EXPECT_EQ(out, c.stored);
}

class ConvInputDate : public HeiseiShowaTable, public ::testing::WithParamInterface<InputCase> {};

TEST_P(ConvInputDate, NormalisesTypedDate) { expectInput(GetParam()); }

INSTANTIATE_TEST_SUITE_P(, ConvInputDate,
    ::testing::Values(
        // Western typing, kept to the precision typed.
        InputCase{1, "2004", 0, "平成16年"},
        InputCase{1, "2004/3", 0, "平成16年03月"},
        InputCase{1, "2004/3/4", 0, "平成16年03月04日"},
        InputCase{1, "２００４", 0, "平成16年"},
        InputCase{1, "2004.3.4", 0, "平成16年03月04日"},
        InputCase{0, "2004", 0, "2004"},
        InputCase{0, "2004/3", 0, "2004/03"},
        InputCase{0, "2004/3/", 0, "2004/03"},
        InputCase{0, "2004/0", 0, "2004"},
        InputCase{0, "2004/3/4", 0, "2004/03/04"},
        InputCase{3, "2004/3", 0, "2004/03"},
        InputCase{2, "2004", 0, "H16年"},
        InputCase{2, "2004/3/4", 0, "H16年03月04日"},
        // Era-name typing.
        InputCase{1, "平成16", 0, "平成16年"},
        InputCase{1, "平成16年3", 0, "平成16年03月"},
        InputCase{1, "平成16年3月", 0, "平成16年03月"},
        InputCase{1, "平成16年3月4", 0, "平成16年03月04日"},
        InputCase{1, "平成元年3月4日", 0, "平成元年03月04日"},
        InputCase{0, "平成16年3月4日", 0, "2004/03/04"},
        // Letter-form typing.
        InputCase{1, "H16", 0, "平成16年"},
        InputCase{1, "H16/3", 0, "平成16年03月"},
        InputCase{1, "H16/3/", 0, "平成16年03月"},
        InputCase{1, "H16/3/4", 0, "平成16年03月04日"},
        InputCase{1, "h1/3/4", 0, "平成元年03月04日"},
        InputCase{1, "S64.1.7", 0, "昭和64年01月07日"},
        InputCase{0, "H16/3/4", 0, "2004/03/04"},
        // Dates before every era of the table stay western, also when partial.
        InputCase{2, "1850/3/4", 0, "1850/03/04"},
        InputCase{1, "1850/3/4", 0, "1850/03/04"},
        InputCase{1, "1900", 0, "1900"},
        InputCase{1, "1900/5", 0, "1900/05"},
        // Refused: no date, a year below 1000, after today (2024-06-01).
        InputCase{1, "999", -1, "unchanged"},
        InputCase{1, "2004/2/30", -1, "unchanged"},
        InputCase{1, "2024/6/2", -1, "unchanged"},
        InputCase{1, "2025", -1, "unchanged"},
        InputCase{1, "2024/6/1", 0, "平成36年06月01日"},
        InputCase{1, "R1/5/1", -1, "unchanged"},
        InputCase{1, "昭和64年1月8日", -1, "unchanged"},
        InputCase{1, "abc", -1, "unchanged"},
        InputCase{1, "", -1, "unchanged"}),
    [](const auto& info) { return std::to_string(info.index); });

// A year, or a year and month, typed in an era keeps that era when the era began
// inside it; a full date is read as written, and a western year two eras share is
// kept as typed.
INSTANTIATE_TEST_SUITE_P(FirstYearOfAnEra, ConvInputDate,
    ::testing::Values(
        InputCase{1, "平成元年", 0, "平成元年"},
        InputCase{1, "H1", 0, "平成元年"},
        InputCase{2, "H1", 0, "H1年"},
        InputCase{2, "平成元年", 0, "H1年"},
        InputCase{1, "平成元年1月", 0, "平成元年01月"},
        InputCase{1, "H1/1", 0, "平成元年01月"},
        InputCase{1, "平成元年2月", 0, "平成元年02月"},
        InputCase{1, "昭和元年", 0, "昭和元年"},
        InputCase{1, "S1", 0, "昭和元年"},
        InputCase{1, "昭和元年12月", 0, "昭和元年12月"},
        InputCase{1, "S64", 0, "昭和64年"},
        InputCase{1, "S64/1", 0, "昭和64年01月"},
        // A year two eras share has no text of the same days in the other form.
        InputCase{0, "平成元年", 0, "平成元年"},
        InputCase{1, "1989", 0, "1989"},
        InputCase{1, "平成元年1月7日", 0, "昭和64年01月07日"}),
    [](const auto& info) { return std::to_string(info.index); });

// Only a date is taken: characters besides an era, digits, 元 年 月 日, the
// separators / . - (either width, or as an input method types them in kana) and
// blanks refuse the text, so nothing typed is dropped. The forms of a date in
// either width still pass.
INSTANTIATE_TEST_SUITE_P(MoreThanADate, ConvInputDate,
    ::testing::Values(
        InputCase{1, "昭和20年頃", -1, "unchanged"},
        InputCase{1, "昭和20年3月ごろ", -1, "unchanged"},
        InputCase{1, "1950年頃", -1, "unchanged"},
        InputCase{1, "約1950", -1, "unchanged"},
        InputCase{0, "2004/3/4?", -1, "unchanged"},
        InputCase{1, "H16,3,4", -1, "unchanged"},
        InputCase{1, "不詳", -1, "unchanged"},
        InputCase{1, "２００４／３／４", 0, "平成16年03月04日"},
        InputCase{1, "2004-3-4", 0, "平成16年03月04日"},
        InputCase{1, "2004年3月4日", 0, "平成16年03月04日"},
        InputCase{1, "平成16年 3月 4日", 0, "平成16年03月04日"},
        InputCase{1, "平成１６年３月４日", 0, "平成16年03月04日"},
        InputCase{1, "Ｈ16－3－4", 0, "平成16年03月04日"},
        InputCase{1, "h16．3．4", 0, "平成16年03月04日"},
        InputCase{0, "2004　3　4", 0, "2004/03/04"},
        InputCase{1, "２００４・０３・０４", 0, "平成16年03月04日"},
        InputCase{1, "ｈ１６。３。４", 0, "平成16年03月04日"},
        InputCase{0, "２００４ー３ー４", 0, "2004/03/04"}),
    [](const auto& info) { return std::to_string(info.index); });

// --- convertDateExactly --------------------------------------------------------

struct ExactCase {
    int mode;
    const char* stored;
    bool exact;
    const char* out;
};
std::ostream& operator<<(std::ostream& os, const ExactCase& c) { return os << c.stored << " (mode " << c.mode << ")"; }

class ConvertDateExactly : public HeiseiShowaTable, public ::testing::WithParamInterface<ExactCase> {};

TEST_P(ConvertDateExactly, RewritesOnlyWhatReadsBackTheSame)
{
    const ExactCase& c = GetParam();
    model::settings().Dispmode_Nengo = c.mode;
    std::string out = "unchanged";
    EXPECT_EQ(model::convertDateExactly(c.stored, out), c.exact);
    EXPECT_EQ(out, c.out);
    EXPECT_EQ(model::settings().Dispmode_Nengo, c.mode) << "the display mode is put back";
}

INSTANTIATE_TEST_SUITE_P(, ConvertDateExactly,
    ::testing::Values(
        ExactCase{1, "1990/05/06", true, "平成2年05月06日"},
        ExactCase{0, "平成2年05月06日", true, "1990/05/06"},
        ExactCase{0, "H2年05月06日", true, "1990/05/06"},
        ExactCase{1, "1950/3/4", true, "昭和25年03月04日"},
        ExactCase{1, "1950", true, "昭和25年"},
        ExactCase{0, "昭和25年03月", true, "1950/03"},
        // More than a date, no date, an era the table lacks, after today.
        ExactCase{1, "1950年頃", false, "unchanged"},
        ExactCase{1, "不詳", false, "unchanged"},
        ExactCase{0, "明治頃", false, "unchanged"},
        ExactCase{0, "R1/5/1", false, "unchanged"},
        ExactCase{1, "2030/01/01", false, "unchanged"},
        ExactCase{1, "", false, "unchanged"},
        // A year two eras share keeps its era: no western year gives it back.
        ExactCase{0, "平成元年", false, "unchanged"},
        ExactCase{1, "平成元年", true, "平成元年"},
        ExactCase{2, "平成元年", true, "H1年"},
        ExactCase{1, "H1年", true, "平成元年"},
        ExactCase{2, "平成元年01月", true, "H1年01月"},
        ExactCase{1, "昭和64年", true, "昭和64年"},
        // A western year or month two eras share has no era form of the same days.
        ExactCase{1, "1989", false, "unchanged"},
        ExactCase{1, "1989/01", false, "unchanged"},
        ExactCase{2, "1989", false, "unchanged"},
        ExactCase{0, "平成元年01月", false, "unchanged"},
        ExactCase{1, "1989/02", true, "平成元年02月"}),
    [](const auto& info) { return std::to_string(info.index); });

// --- With the shipped table: the real era boundaries -------------------------

class ShippedTable : public EraFixture {
protected:
    void SetUp() override
    {
        EraFixture::SetUp();
        loadShippedTable();
    }
};

class ShippedConvWarekiKey : public ShippedTable, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(ShippedConvWarekiKey, ReadsStoredTextBack)
{
    const KeyCase& c = GetParam();
    setMode(c.mode);
    std::string key = "stale";
    EXPECT_EQ(model::Conv_WarekiKey(c.text, key), c.result);
    EXPECT_EQ(key, c.key);
    // A typed date follows the same boundaries.
    std::string typedKey;
    EXPECT_EQ(model::Conv_DateKey(c.text, typedKey), c.result);
    EXPECT_EQ(typedKey, c.key);
}

INSTANTIATE_TEST_SUITE_P(, ShippedConvWarekiKey,
    ::testing::Values(
        KeyCase{1, "平成31年04月30日", 0, "20190430"},
        KeyCase{1, "平成31年05月01日", -2, ""},
        KeyCase{1, "令和元年05月01日", 0, "20190501"},
        KeyCase{2, "R1年05月01日", 0, "20190501"},
        KeyCase{1, "昭和64年01月07日", 0, "19890107"},
        KeyCase{1, "平成元年01月08日", 0, "19890108"},
        KeyCase{1, "大正15年12月24日", 0, "19261224"},
        KeyCase{1, "大正15年12月25日", -2, ""},
        KeyCase{2, "T15年12月24日", 0, "19261224"},
        KeyCase{1, "明治45年07月29日", 0, "19120729"},
        KeyCase{1, "明治45年07月30日", -2, ""},
        KeyCase{2, "M45年07月29日", 0, "19120729"},
        KeyCase{1, "大正元年07月30日", 0, "19120730"},
        KeyCase{1, "慶応04年10月22日", 0, "18681022"}),
    rowName);

class ShippedConvInputDate : public ShippedTable, public ::testing::WithParamInterface<InputCase> {};

TEST_P(ShippedConvInputDate, NormalisesTypedDate) { expectInput(GetParam()); }

INSTANTIATE_TEST_SUITE_P(, ShippedConvInputDate,
    ::testing::Values(
        // Every letter code of the table is typed like H, S, T, M and K.
        InputCase{1, "R1/5/1", 0, "令和元年05月01日"},
        InputCase{1, "R6", 0, "令和6年"},
        InputCase{2, "R1/5/1", 0, "R1年05月01日"},
        InputCase{1, "K2/3/4", 0, "慶応02年03月04日"},
        InputCase{1, "2019/4/30", 0, "平成31年04月30日"},
        InputCase{1, "2019/5/1", 0, "令和元年05月01日"},
        InputCase{1, "1850/3/4", 0, "嘉永03年03月04日"},
        InputCase{1, "1520", 0, "永正17年"},
        InputCase{1, "1500/3/4", 0, "1500/03/04"},
        InputCase{2, "1866/3/4", 0, "K2年03月04日"},
        InputCase{2, "1865/3/4", 0, "1865年03月04日"},
        InputCase{2, "1865/3", 0, "1865年03月"},
        InputCase{2, "1864/6/1", 0, "1864/06/01"}),
    [](const auto& info) { return std::to_string(info.index); });

// The first year of each era keeps its era; its key is the era's first day.
INSTANTIATE_TEST_SUITE_P(FirstYearOfAnEra, ShippedConvInputDate,
    ::testing::Values(
        InputCase{1, "令和元年", 0, "令和元年"},
        InputCase{1, "R1", 0, "令和元年"},
        InputCase{1, "令和元年5月", 0, "令和元年05月"},
        InputCase{1, "平成元年", 0, "平成元年"},
        InputCase{1, "昭和元年", 0, "昭和元年"},
        InputCase{1, "大正元年", 0, "大正元年"},
        InputCase{1, "明治元年", 0, "明治元年"},
        InputCase{2, "M1", 0, "M1年"},
        InputCase{1, "明治元年10月", 0, "明治元年10月"},
        // A month the era never reached is read as written, like a full date.
        InputCase{1, "令和元年4月", 0, "平成31年04月"}),
    [](const auto& info) { return std::to_string(info.index); });

TEST_F(ShippedTable, APartialDateOfAnEraStartsOnTheEraFirstDayInsideIt)
{
    const struct {
        const char* text;
        const char* key;
        model::DatePrecision precision;
    } cases[] = {
        {"平成元年", "19890108", model::DatePrecision::Year},
        {"H1年", "19890108", model::DatePrecision::Year},
        {"令和元年", "20190501", model::DatePrecision::Year},
        {"昭和元年", "19261225", model::DatePrecision::Year},
        {"明治元年", "18681023", model::DatePrecision::Year},
        {"平成元年01月", "19890108", model::DatePrecision::Month},
        {"平成元年02月", "19890201", model::DatePrecision::Month},
        {"昭和64年", "19890101", model::DatePrecision::Year},
        {"1989", "19890101", model::DatePrecision::Year},
        {"平成元年01月08日", "19890108", model::DatePrecision::Full},
    };
    for (const auto& c : cases) {
        std::string key;
        model::DatePrecision precision = model::DatePrecision::Full;
        EXPECT_TRUE(model::Read_DatePrecision(c.text, key, precision)) << c.text;
        EXPECT_EQ(key, c.key) << c.text;
        EXPECT_EQ(precision, c.precision) << c.text;
    }
}

} // namespace
