#include "platform/Conversions.h"
#include "platform/Errors.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <ostream>
#include <string>

using namespace platform;

namespace {

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const RuntimeError& e) {
        return e.number;
    }
    return 0;
}

// --- Val ---------------------------------------------------------------------

struct ValCase {
    const char* text;
    double value;
};

void PrintTo(const ValCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.text));
}

class ValTest : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValTest, ReadsTheLeadingNumber)
{
    EXPECT_DOUBLE_EQ(Val(GetParam().text), GetParam().value) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValTest,
    ::testing::Values(ValCase{"12", 12}, ValCase{"  12  ", 12}, ValCase{"1 2 3", 123}, ValCase{"\t-3.5", -3.5},
                      ValCase{"3\n4", 34}, ValCase{"12\r34", 12}, ValCase{"12abc", 12}, ValCase{"abc", 0},
                      ValCase{"", 0}, ValCase{".5", 0.5}, ValCase{"-.5", -0.5}, ValCase{" .75", 0.75},
                      ValCase{"+7", 7}, ValCase{"--1", 0}, ValCase{"- 1", -1}, ValCase{"1.2.3", 1.2},
                      ValCase{"1,000", 1}, ValCase{"1e3", 1000}, ValCase{"1E-2", 0.01}, ValCase{"1D2", 100},
                      ValCase{"2 5e 1", 250}, ValCase{"1e", 1}, ValCase{"1e+", 1}, ValCase{"1ex", 1},
                      ValCase{".", 0}, ValCase{"&H10", 16}, ValCase{"&hff", 255}, ValCase{"&HFFFF", -1},
                      ValCase{"&H8000", -32768}, ValCase{"&H10000", 65536}, ValCase{"&HFFFFFFFF", -1},
                      ValCase{"&O17", 15}, ValCase{"&17", 15}, ValCase{"&H", 0}, ValCase{"&HG", 0},
                      ValCase{"\xEF\xBC\x91\xEF\xBC\x92", 0}, // full-width digits are no number
                      ValCase{"12\xE6\xAD\xB3", 12}));        // 12歳

TEST(ValOverflow, ANumberBeyondDoubleRaisesOverflow)
{
    EXPECT_EQ(errorNumberOf([] { Val("1e400"); }), 6);
    EXPECT_EQ(errorNumberOf([] { Val("&H100000000"); }), 6);
    EXPECT_DOUBLE_EQ(Val("1e-400"), 0.0);
}

// --- IsNumeric ------------------------------------------------------------------

struct NumericCase {
    const char* text;
    bool numeric;
};

void PrintTo(const NumericCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.text));
}

class IsNumericTest : public ::testing::TestWithParam<NumericCase> {};

TEST_P(IsNumericTest, AcceptsOnlyPlainDecimalNumbers)
{
    EXPECT_EQ(IsNumeric(GetParam().text), GetParam().numeric) << '"' << GetParam().text << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IsNumericTest,
    ::testing::Values(NumericCase{"12", true}, NumericCase{" 12 ", true}, NumericCase{"-1.5", true},
                      NumericCase{"+3", true}, NumericCase{"1.", true}, NumericCase{".5", true},
                      NumericCase{"1e5", true}, NumericCase{"1E-3", true}, NumericCase{"0", true},
                      NumericCase{"", false}, NumericCase{"   ", false}, NumericCase{".", false},
                      NumericCase{"-", false}, NumericCase{"1e", false}, NumericCase{"12a", false},
                      NumericCase{"&H10", false}, NumericCase{"1,000", false}, NumericCase{"$5", false},
                      NumericCase{"\xEF\xBC\x91\xEF\xBC\x92", false}, NumericCase{"\t12", false},
                      NumericCase{"1 2", false}, NumericCase{"--1", false}, NumericCase{"1e400", false}));

// --- CInt / CLng ----------------------------------------------------------------

struct RoundCase {
    double value;
    int expected; // 0 together with error != 0 means "raises"
    int error;
};

void PrintTo(const RoundCase& c, std::ostream* os)
{
    *os << c.value;
}

class CIntTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(CIntTest, RoundsHalfToEvenWithinSixteenBits)
{
    const RoundCase& c = GetParam();
    if (c.error != 0) {
        EXPECT_EQ(errorNumberOf([&] { CInt(c.value); }), c.error) << c.value;
    } else {
        EXPECT_EQ(CInt(c.value), c.expected) << c.value;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, CIntTest,
    ::testing::Values(RoundCase{2.5, 2, 0}, RoundCase{3.5, 4, 0}, RoundCase{-2.5, -2, 0}, RoundCase{-3.5, -4, 0},
                      RoundCase{0.5, 0, 0}, RoundCase{1.5, 2, 0}, RoundCase{2.4999, 2, 0}, RoundCase{2.5001, 3, 0},
                      RoundCase{-0.4, 0, 0}, RoundCase{32767.4, 32767, 0}, RoundCase{32767.5, 0, 6},
                      RoundCase{-32768.5, -32768, 0}, RoundCase{-32768.6, 0, 6}, RoundCase{1e10, 0, 6},
                      RoundCase{std::numeric_limits<double>::quiet_NaN(), 0, 6}));

class CLngTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(CLngTest, RoundsHalfToEvenWithinThirtyTwoBits)
{
    const RoundCase& c = GetParam();
    if (c.error != 0) {
        EXPECT_EQ(errorNumberOf([&] { CLng(c.value); }), c.error) << c.value;
    } else {
        EXPECT_EQ(CLng(c.value), c.expected) << c.value;
    }
}

INSTANTIATE_TEST_SUITE_P(Values, CLngTest,
                         ::testing::Values(RoundCase{40000.5, 40000, 0}, RoundCase{40001.5, 40002, 0},
                                           RoundCase{2147483647.4, 2147483647, 0},
                                           RoundCase{2147483647.5, 0, 6},
                                           RoundCase{-2147483648.5, -2147483647 - 1, 0},
                                           RoundCase{-2147483649.0, 0, 6}, RoundCase{1e300, 0, 6}));

TEST(CIntText, ConvertsNumbersAndRefusesOtherText)
{
    EXPECT_EQ(CInt(std::string_view("2.5")), 2);
    EXPECT_EQ(CInt(std::string_view(" 7 ")), 7);
    EXPECT_EQ(CInt(std::string_view("-3.5")), -4);
    EXPECT_EQ(CInt(std::string_view("&H10")), 16);
    EXPECT_EQ(CLng(std::string_view("100000")), 100000);
    EXPECT_EQ(errorNumberOf([] { CInt(std::string_view("abc")); }), 13);
    EXPECT_EQ(errorNumberOf([] { CInt(std::string_view("")); }), 13);
    EXPECT_EQ(errorNumberOf([] { CInt(std::string_view("12a")); }), 13);
    EXPECT_EQ(errorNumberOf([] { CInt(std::string_view("&H")); }), 13);
    EXPECT_EQ(errorNumberOf([] { CInt(std::string_view("40000")); }), 6);
    EXPECT_EQ(errorNumberOf([] { CLng(std::string_view("3000000000")); }), 6);
    EXPECT_DOUBLE_EQ(CDbl(" -1.25e1 "), -12.5);
    EXPECT_EQ(errorNumberOf([] { CDbl("1.2.3"); }), 13);
}

TEST(RoundHalfEven, KeepsWholeAndHugeNumbers)
{
    EXPECT_EQ(roundHalfEven(4503599627370497.0), 4503599627370497.0);
    EXPECT_EQ(roundHalfEven(-7.0), -7.0);
    EXPECT_EQ(roundHalfEven(0.49999999999999994), 0.0);
    EXPECT_EQ(roundHalfEven(-0.5), 0.0);
    EXPECT_EQ(roundHalfEven(-1.5), -2.0);
    EXPECT_TRUE(std::isinf(roundHalfEven(std::numeric_limits<double>::infinity())));
}

TEST(IntAndFix, FloorAndTruncate)
{
    const struct {
        double value, intValue, fixValue;
    } cases[] = {{2.7, 2, 2}, {-2.7, -3, -2}, {-2.0, -2, -2}, {0.5, 0, 0}, {-0.5, -1, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(Int(c.value), c.intValue) << c.value;
        EXPECT_EQ(Fix(c.value), c.fixValue) << c.value;
    }
}

// --- numbers to text ----------------------------------------------------------

struct DoubleText {
    double value;
    const char* str;
    const char* cstr;
};

void PrintTo(const DoubleText& c, std::ostream* os)
{
    *os << c.value;
}

class DoubleToText : public ::testing::TestWithParam<DoubleText> {};

TEST_P(DoubleToText, StrAndCStrWithFifteenDigits)
{
    EXPECT_EQ(StrDouble(GetParam().value), GetParam().str);
    EXPECT_EQ(CStrDouble(GetParam().value), GetParam().cstr);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DoubleToText,
    ::testing::Values(DoubleText{15, " 15", "15"}, DoubleText{-1, "-1", "-1"}, DoubleText{0, " 0", "0"},
                      DoubleText{-0.0, " 0", "0"}, DoubleText{0.75, " .75", "0.75"},
                      DoubleText{-0.75, "-.75", "-0.75"}, DoubleText{0.5, " .5", "0.5"},
                      DoubleText{3.5, " 3.5", "3.5"}, DoubleText{100, " 100", "100"},
                      DoubleText{1e20, " 1E+20", "1E+20"}, DoubleText{1e-5, " 1E-05", "1E-05"},
                      DoubleText{0.0001, " .0001", "0.0001"}, DoubleText{0.000123, " .000123", "0.000123"},
                      DoubleText{1.5e-7, " 1.5E-07", "1.5E-07"},
                      DoubleText{123456789012345.0, " 123456789012345", "123456789012345"},
                      DoubleText{1e15, " 1E+15", "1E+15"},
                      DoubleText{1234567890123456.0, " 1.23456789012346E+15", "1.23456789012346E+15"},
                      DoubleText{0.1 + 0.2, " .3", "0.3"}, DoubleText{1.0 / 3, " .333333333333333", "0.333333333333333"},
                      DoubleText{2.0 / 3, " .666666666666667", "0.666666666666667"},
                      DoubleText{999999999999999.9, " 1E+15", "1E+15"},
                      DoubleText{-1.5e300, "-1.5E+300", "-1.5E+300"}, DoubleText{1e100, " 1E+100", "1E+100"},
                      DoubleText{12.5, " 12.5", "12.5"}, DoubleText{-123.456, "-123.456", "-123.456"}));

struct SingleText {
    float value;
    const char* str;
    const char* cstr;
};

void PrintTo(const SingleText& c, std::ostream* os)
{
    *os << c.value;
}

class SingleToText : public ::testing::TestWithParam<SingleText> {};

TEST_P(SingleToText, StrAndCStrWithSevenDigits)
{
    EXPECT_EQ(StrSingle(GetParam().value), GetParam().str);
    EXPECT_EQ(CStrSingle(GetParam().value), GetParam().cstr);
}

INSTANTIATE_TEST_SUITE_P(
    Values, SingleToText,
    ::testing::Values(SingleText{0.75f, " .75", "0.75"}, SingleText{0.1f, " .1", "0.1"},
                      SingleText{1.0f / 3, " .3333333", "0.3333333"}, SingleText{1234567.0f, " 1234567", "1234567"},
                      SingleText{12345678.0f, " 1.234568E+07", "1.234568E+07"},
                      SingleText{1e7f, " 1E+07", "1E+07"}, SingleText{100.1f, " 100.1", "100.1"},
                      SingleText{-2.5f, "-2.5", "-2.5"}, SingleText{15.0f, " 15", "15"},
                      SingleText{1e-5f, " 1E-05", "1E-05"}, SingleText{0.0f, " 0", "0"}));

TEST(IntegerToText, StrCStrAndFormat)
{
    EXPECT_EQ(Str(5), " 5");
    EXPECT_EQ(Str(0), " 0");
    EXPECT_EQ(Str(-5), "-5");
    EXPECT_EQ(Str(1024), " 1024");
    EXPECT_EQ(CStr(-1), "-1");
    EXPECT_EQ(CStr(40000), "40000");
    const struct {
        long long value;
        int digits;
        const char* text;
    } cases[] = {{5, 2, "05"}, {12, 2, "12"}, {123, 2, "123"}, {-5, 2, "-05"}, {0, 4, "0000"}, {7, 0, "7"},
                 {std::numeric_limits<long long>::min(), 2, "-9223372036854775808"}};
    for (const auto& c : cases)
        EXPECT_EQ(Format(c.value, c.digits), c.text) << c.value;
}

// --- strings ---------------------------------------------------------------------

TEST(TrimFamily, RemovesTheAsciiBlankOnly)
{
    const struct {
        const char* text;
        const char* trim;
        const char* rtrim;
    } cases[] = {
        {"  a b  ", "a b", "  a b"},
        {"\ta\t", "\ta\t", "\ta\t"},
        {"\xE3\x80\x80" "a" "\xE3\x80\x80", "\xE3\x80\x80" "a" "\xE3\x80\x80", "\xE3\x80\x80" "a" "\xE3\x80\x80"},
        {"   ", "", ""},
        {"", "", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Trim(c.text), c.trim);
        EXPECT_EQ(RTrim(c.text), c.rtrim);
    }
}

// 日本語テキスト: seven characters, 21 bytes.
const std::string kJapanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x83\x86\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88";

TEST(Slicing, CountsCodePointsAndClamps)
{
    EXPECT_EQ(Len(kJapanese), 7);
    EXPECT_EQ(Len(""), 0);
    EXPECT_EQ(Len("a\xE5\xB1\xB1" "b"), 3);
    EXPECT_EQ(Len("\xFF\xFE"), 2); // stray bytes count one each

    EXPECT_EQ(Left(kJapanese, 2), "\xE6\x97\xA5\xE6\x9C\xAC");
    EXPECT_EQ(Left(kJapanese, 0), "");
    EXPECT_EQ(Left("abc", 10), "abc");
    EXPECT_EQ(Right(kJapanese, 2), "\xE3\x82\xB9\xE3\x83\x88");
    EXPECT_EQ(Right("abc", 5), "abc");
    EXPECT_EQ(Right("abc", 0), "");
    EXPECT_EQ(Mid(kJapanese, 3, 2), "\xE8\xAA\x9E\xE3\x83\x86");
    EXPECT_EQ(Mid(kJapanese, 7), "\xE3\x83\x88");
    EXPECT_EQ(Mid("abc", 2), "bc");
    EXPECT_EQ(Mid("abc", 3, 10), "c");
    EXPECT_EQ(Mid("abc", 4), "");
    EXPECT_EQ(Mid("abc", 5, 1), "");
    EXPECT_EQ(Mid("abc", 1, 0), "");
}

TEST(Slicing, InvalidArgumentsRaiseFive)
{
    EXPECT_EQ(errorNumberOf([] { Left("abc", -1); }), 5);
    EXPECT_EQ(errorNumberOf([] { Right("abc", -1); }), 5);
    EXPECT_EQ(errorNumberOf([] { Mid("abc", 0); }), 5);
    EXPECT_EQ(errorNumberOf([] { Mid("abc", 1, -2); }), 5);
    EXPECT_EQ(errorNumberOf([] { InStr(0, "abc", "a"); }), 5);
}

TEST(InStrTest, FindsByCodePointPosition)
{
    const std::string text = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE6\x9C\xAC"; // 日本語の本
    const std::string hon = "\xE6\x9C\xAC";
    const struct {
        long start;
        std::string s, f;
        long position;
    } cases[] = {
        {1, text, hon, 2}, {3, text, hon, 5}, {6, text, hon, 0}, {1, "abc", "d", 0}, {1, "abc", "bc", 2},
        {1, "abc", "", 1}, {3, "abc", "", 3}, {4, "abc", "", 0}, {1, "", "", 0},     {1, "", "a", 0},
        {2, "aXa", "a", 3},
        // A match must not start inside a multi-byte character: the last two
        // bytes of 本 (E6 9C AC) are not a character of their own.
        {1, text, "\x9C\xAC", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(InStr(c.start, c.s, c.f), c.position) << c.start << " " << c.s << " / " << c.f;
    EXPECT_EQ(InStr(text, hon), 2);
}

TEST(CaseAndWidth, ChangeOnlyWhatTheyShould)
{
    EXPECT_EQ(UCase("abc\xEF\xBD\x81\xC3\xA4z"), "ABC\xEF\xBD\x81\xC3\xA4Z"); // full-width ａ and ä unchanged
    EXPECT_EQ(LCase("ABC\xEF\xBC\xA1\xC3\x84Z"), "abc\xEF\xBC\xA1\xC3\x84z");
    const struct {
        std::string wide, narrow;
    } cases[] = {
        {"\xEF\xBC\xA1\xEF\xBC\xA2\xEF\xBC\xA3", "ABC"},      // ＡＢＣ
        {"\xEF\xBC\x91\xEF\xBC\x92\xEF\xBC\x93", "123"},      // １２３
        {"\xE3\x80\x80", " "},                                // ideographic space
        {"\xEF\xBC\x81\xEF\xBD\x9E", "!~"},                   // ！ and the last form ～
        {"\xEF\xBC\xBC", "\\"},                               // ＼
        {"\xEF\xBD\xB1\xE6\x97\xA5", "\xEF\xBD\xB1\xE6\x97\xA5"}, // half-width katakana and kanji stay
        {"\xEF\xBD\x9F", "\xEF\xBD\x9F"},                     // U+FF5F is beyond the ASCII forms
        {"a\xFF" "b", "a\xFF" "b"},                           // stray bytes pass through
    };
    for (const auto& c : cases)
        EXPECT_EQ(narrowWidth(c.wide), c.narrow) << c.wide;
}

} // namespace
