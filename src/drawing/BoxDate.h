#pragma once
// Birth and death dates as a person box shows them, and kanji numerals.

#include <cstdint>
#include <string>

namespace drawing {

// The date formats of a box (the person's DS_Nen).
namespace BoxDateFormat {
constexpr int16_t EraKanji = 0;        // 昭和　二十年　八　月　十五日
constexpr int16_t EraArabic = 1;       // 昭和20年08月15日
constexpr int16_t WesternKanji = 2;    // 西暦千九百四十五年　八　月　十五日
constexpr int16_t WesternArabic = 3;   // 西暦1945年08月15日
constexpr int16_t YearMonthDay = 4;    // 1945/08/15
constexpr int16_t MonthDayYear = 5;    // 08/15/1945
} // namespace BoxDateFormat

// A stored date text (western, era name or letter code) in one of the six box
// formats. In the western formats 2..5 a year or a year and month follows the
// format as far as it goes ("大正03年": "西暦1914年", "1914"); in the era formats
// 0 and 1 only a complete date is written. A text that gives no date in the
// format gives "", one outside 0..5 gives the text (or its key) back; the box
// then shows the stored text itself. The document's Dispmode_Nengo is left as it was.
std::string Format_BoxDate(const std::string& text, int16_t mode);

// The text trimmed of blanks with every run of half-width digits turned into
// its kanji numeral (full-width digits stay).
std::string Conv_KanjiDigits(const std::string& text);

// One run of digits as a kanji numeral: 1945 -> 千九百四十五, 2004 -> 二千四,
// 0 -> 零. One- and two-digit input is filled to three characters with
// ideographic spaces (5 -> "　五　", 15 -> "　十五") so that date columns line up.
std::string Conv_KanjiNumber(const std::string& digits);

} // namespace drawing
