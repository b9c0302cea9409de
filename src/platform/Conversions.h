#pragma once
// The classic BASIC conversions with their exact semantics: numbers from text,
// rounding, integer arithmetic, number formatting, string slicing by code
// points and date serials.

#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

namespace platform {

// Leading number of a text: blanks, tabs and LFs are removed everywhere, then
// an optional sign, digits, "." and fraction, an exponent E or D with a sign,
// or &H / &O; reading stops at the first other character; 0 when none.
double Val(std::string_view s);
// The text trimmed of blanks is an optional sign, digits with an optional
// point and fraction (at least one digit) and an optional exponent.
bool IsNumeric(std::string_view s);

// Round half to even; outside the range raises 6; CInt/CLng of a text that is
// not a number raise 13.
int16_t CInt(double value);
int16_t CInt(std::string_view text);
int32_t CLng(double value);
int32_t CLng(std::string_view text);
// CDbl of a text: the number IsNumeric accepts, else raises 13.
double CDbl(std::string_view text);
double roundHalfEven(double value);

double Int(double value); // floor
double Fix(double value); // truncate toward zero
// Str: a leading blank for numbers >= 0, no "0" before the point (" .75"),
// 7 significant digits for Single and 15 for Double, exponent forms such as
// "1E+20" and "1E-05".
std::string StrSingle(float value);
std::string StrDouble(double value);
// CStr: the same digits without the leading blank and with "0.75".
std::string CStrSingle(float value);
std::string CStrDouble(double value);
std::string CStr(long long value);
std::string Str(long long value); // " 5", "-5"
// A floating-point argument would be cut to an integer silently; use
// StrSingle/StrDouble or CStrSingle/CStrDouble, which keep the digits.
template <typename T, typename = std::enable_if_t<std::is_floating_point_v<T>>>
std::string Str(T) = delete;
template <typename T, typename = std::enable_if_t<std::is_floating_point_v<T>>>
std::string CStr(T) = delete;

// Remove the ASCII blank only (not tabs, not U+3000).
std::string Trim(std::string_view s);
std::string RTrim(std::string_view s);

// Code-point based slicing with 1-based positions. Counts beyond the end
// clamp; a negative length raises 5; a start below 1 raises 5.
std::string Left(std::string_view s, long n);
std::string Right(std::string_view s, long n);
std::string Mid(std::string_view s, long start1, long len = -1); // -1: to the end
long Len(std::string_view s);
// 1-based code-point position of f in s, 0 when absent. An empty s gives 0;
// an empty f gives start1 when start1 <= Len(s), else 0. A start below 1
// raises 5.
long InStr(std::string_view s, std::string_view f);
long InStr(long start1, std::string_view s, std::string_view f);

std::string UCase(std::string_view s); // ASCII letters only
std::string LCase(std::string_view s);
// Full-width ASCII forms (U+FF01..U+FF5E) become ASCII, U+3000 a blank.
std::string narrowWidth(std::string_view s);
// Zero-padded to at least minDigits digits, like Format(n, "00"); a minus
// sign comes before the digits.
std::string Format(long long value, int minDigits);

// Dates are serial day numbers (day 0 = 1899-12-30), fractional part = time.
// DateSerial normalises months and days like the classic function (month 13
// is January of the next year, day 0 the last day of the previous month);
// a resulting year outside 100..9999 raises 5.
double DateSerial(int y, int m, int d);
int Year(double serial);
int Month(double serial);
int Day(double serial);
// True when y-m-d is a real calendar date with y in 100..9999.
bool isValidDate(int y, int m, int d);

} // namespace platform
