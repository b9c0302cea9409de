#pragma once
// Character-level helpers for the date texts: every cut and position here is by
// characters (code points), never by bytes, and never reads past a text's end.

#include <string>
#include <string_view>
#include <vector>

namespace model::eratext {

// Characters [from, from + count) joined again; the range is clamped to the list.
std::string joinChars(const std::vector<std::string>& chars, size_t from,
                      size_t count = std::string::npos);

// A decimal digit, half-width "0".."9" or full-width "０".."９".
bool isDigit(std::string_view ch);

// The value of a text made only of digits (either width), at most nine of them;
// false for an empty text, another character or a longer run.
bool digitsValue(std::string_view digits, int& value);

// A year, a month and a day written as three digit runs with separators:
// "/", "-" or "." between them, or the 年 月 日 form (trailing 日 optional).
// Only the shape is checked; the caller judges the numbers.
bool parseYmd(std::string_view text, int& year, int& month, int& day);

// The half-width upper-case form of one character ("ｈ" and "h" give "H").
std::string upperHalfWidth(std::string_view ch);

} // namespace model::eratext
