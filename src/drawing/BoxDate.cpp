#include "drawing/BoxDate.h"

#include "model/era/EraDates.h"
#include "platform/Conversions.h"

#include <array>

namespace drawing {

namespace {

constexpr const char* IdeographicSpace = "\u3000";

std::string formatDisp(const std::string& key, int32_t displayMode)
{
    const model::DisplayModeOverride mode(displayMode);
    std::string shown;
    if (model::Format_DateDisp(key, shown) != 0)
        shown.clear();
    return shown;
}

// The western text "yyyy/mm/dd" written with a date pattern: yyyy, mm and dd
// are replaced, every other character is copied. "" when the text is no full date.
std::string applyDatePattern(const std::string& western, const std::string& pattern)
{
    if (western.size() != 10 || western[4] != '/' || western[7] != '/')
        return std::string();
    const std::string parts[] = {western.substr(0, 4), western.substr(5, 2), western.substr(8, 2)};
    const char* const marks[] = {"yyyy", "mm", "dd"};
    std::string out;
    for (size_t i = 0; i < pattern.size();) {
        bool replaced = false;
        for (size_t k = 0; k < 3; ++k) {
            const std::string mark = marks[k];
            if (pattern.compare(i, mark.size(), mark) == 0) {
                out += parts[k];
                i += mark.size();
                replaced = true;
                break;
            }
        }
        if (!replaced)
            out += pattern[i++];
    }
    return out;
}

// The patterns of a western box format for a year, a year and month, and a full date.
struct WesternPatterns {
    const char* year;
    const char* month;
    const char* full;
};

// A stored date in a western box format. A full date is written from its key; a
// year or a year and month (as the editor stores a partial date) keeps its
// precision: "大正03年" in "yyyy/mm/dd" is "1914". "" when the text is no date.
std::string westernBoxDate(const std::string& stored, const std::string& keyOrText, const WesternPatterns& patterns)
{
    const std::string full = applyDatePattern(formatDisp(keyOrText, 0), patterns.full);
    if (!full.empty())
        return full;
    std::string key;
    model::DatePrecision precision = model::DatePrecision::Full;
    if (!model::Read_DatePrecision(stored, key, precision) || precision == model::DatePrecision::Full)
        return std::string();
    const char* pattern = precision == model::DatePrecision::Year ? patterns.year : patterns.month;
    return applyDatePattern(formatDisp(key, 0), pattern);
}

constexpr WesternPatterns WesternYearMonthDay = {"西暦yyyy年", "西暦yyyy年mm月", "西暦yyyy年mm月dd日"};
constexpr WesternPatterns SlashYearMonthDay = {"yyyy", "yyyy/mm", "yyyy/mm/dd"};
constexpr WesternPatterns SlashMonthDayYear = {"yyyy", "mm/yyyy", "mm/dd/yyyy"};

size_t charCount(const std::string& utf8)
{
    size_t n = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80)
            ++n;
    }
    return n;
}

} // namespace

std::string Format_BoxDate(const std::string& text, int16_t mode)
{
    std::string key;
    model::Conv_WarekiKey(text, key);
    const std::string s = key.empty() ? text : key;

    switch (mode) {
    case BoxDateFormat::EraKanji:
        return Conv_KanjiDigits(formatDisp(s, 1));
    case BoxDateFormat::EraArabic:
        return formatDisp(s, 1);
    case BoxDateFormat::WesternKanji:
        return Conv_KanjiDigits(westernBoxDate(text, s, WesternYearMonthDay));
    case BoxDateFormat::WesternArabic:
        return westernBoxDate(text, s, WesternYearMonthDay);
    case BoxDateFormat::YearMonthDay:
        return westernBoxDate(text, s, SlashYearMonthDay);
    case BoxDateFormat::MonthDayYear:
        return westernBoxDate(text, s, SlashMonthDayYear);
    default:
        return s;
    }
}

std::string Conv_KanjiDigits(const std::string& text)
{
    const std::string trimmed = platform::Trim(text);
    std::string out;
    std::string run;
    for (char c : trimmed) {
        if (c >= '0' && c <= '9') {
            run += c;
            continue;
        }
        if (!run.empty()) {
            out += Conv_KanjiNumber(run);
            run.clear();
        }
        out += c;
    }
    if (!run.empty())
        out += Conv_KanjiNumber(run);
    return out;
}

std::string Conv_KanjiNumber(const std::string& digits)
{
    static const std::array<const char*, 10> digitKanji = {"", "一", "二", "三", "四",
                                                           "五", "六", "七", "八", "九"};
    // Place signs by place (1 = units); none for units and above 万.
    static const std::array<const char*, 6> placeKanji = {"", "", "十", "百", "千", "万"};

    const std::string s = platform::Trim(digits);
    if (s.empty())
        return std::string();

    const size_t n = s.size();
    std::string out;
    for (size_t i = 0; i < n; ++i) {
        const size_t place = n - i;
        const int d = s[i] - '0';
        if (d < 0 || d > 9)
            continue;
        if (d == 0)
            continue;
        // A one before a place sign is not written: 十, 百, 千 rather than 一十.
        if (d != 1 || place == 1)
            out += digitKanji[static_cast<size_t>(d)];
        if (place < placeKanji.size())
            out += placeKanji[place];
    }
    if (platform::Val(s) == 0)
        out = "零";

    if (n <= 2) {
        const size_t chars = charCount(out);
        if (chars == 1)
            out = IdeographicSpace + out + IdeographicSpace;
        else if (chars == 2)
            out = IdeographicSpace + out;
    }
    return out;
}

} // namespace drawing
