#include "platform/Conversions.h"

#include "platform/Errors.h"

#include "Utf8.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace platform {

namespace {

[[noreturn]] void raise(int number, const char* what)
{
    throw RuntimeError(number, what);
}

[[noreturn]] void overflow() { raise(err::Overflow, "オーバーフローしました"); }
[[noreturn]] void typeMismatch() { raise(err::TypeMismatch, "型が一致しません"); }
[[noreturn]] void invalidCall() { raise(err::InvalidCall, "プロシージャの呼び出し、または引数が不正です"); }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Parses a plain decimal number (digits, ".", digits, exponent "e") in the C
// locale, whatever locale the program runs under.
double parseDecimal(const std::string& text)
{
    double value = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), value);
    if (r.ec == std::errc::result_out_of_range) {
        // Either too large (overflow) or too small (becomes zero).
        const double probe = std::strtod(text.c_str(), nullptr);
        if (std::isinf(probe))
            overflow();
        return 0.0;
    }
    if (r.ec != std::errc())
        return 0.0;
    return value;
}

// Reads "&H..." or "&O..." (or "&" followed by octal digits) at the start of
// t. Values up to &HFFFF are 16-bit and up to &HFFFFFFFF 32-bit, both read as
// signed; longer values overflow. Returns false when t holds no such prefix.
bool parseRadix(std::string_view t, double& value, size_t& used)
{
    if (t.size() < 2 || t[0] != '&')
        return false;
    int radix = 8;
    size_t i = 1;
    if (t[1] == 'H' || t[1] == 'h') {
        radix = 16;
        i = 2;
    } else if (t[1] == 'O' || t[1] == 'o') {
        i = 2;
    } else if (!(t[1] >= '0' && t[1] <= '7')) {
        return false;
    }
    unsigned long long v = 0;
    bool any = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0 || digit >= radix)
            break;
        v = v * static_cast<unsigned>(radix) + static_cast<unsigned>(digit);
        if (v > 0xFFFFFFFFull)
            overflow();
        any = true;
    }
    used = i;
    if (!any)
        value = 0;
    else if (v <= 0xFFFF)
        value = static_cast<int16_t>(static_cast<uint16_t>(v));
    else
        value = static_cast<int32_t>(static_cast<uint32_t>(v));
    return true;
}

// Scans a decimal number at the start of t: sign, digits, "." and fraction,
// exponent E or D with a sign. Returns the number of characters used (0 when
// there is no digit) and the number in the C form strtod understands.
size_t scanDecimal(std::string_view t, std::string& cForm, bool& negative)
{
    size_t i = 0;
    negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        negative = t[i] == '-';
        ++i;
    }
    cForm.clear();
    size_t digits = 0;
    while (i < t.size() && isDigit(t[i])) {
        cForm += t[i++];
        ++digits;
    }
    if (i < t.size() && t[i] == '.') {
        cForm += '.';
        ++i;
        while (i < t.size() && isDigit(t[i])) {
            cForm += t[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
        size_t j = i + 1;
        std::string exponent = "e";
        if (j < t.size() && (t[j] == '+' || t[j] == '-'))
            exponent += t[j++];
        const size_t firstDigit = j;
        while (j < t.size() && isDigit(t[j]))
            exponent += t[j++];
        if (j > firstDigit) {
            cForm += exponent;
            i = j;
        }
    }
    if (cForm[0] == '.')
        cForm.insert(cForm.begin(), '0');
    return i;
}

// The whole text (trimmed of blanks) as a number: the decimal form IsNumeric
// accepts, or the &H / &O forms. Returns false when it is not a number.
bool parseWholeNumber(std::string_view s, double& value)
{
    const std::string t = Trim(s);
    if (t.empty())
        return false;
    size_t used = 0;
    if (parseRadix(t, value, used)) {
        // "&H" and "&O" alone hold no digit; "&17" is octal with a one-character prefix.
        const size_t prefix = (t[1] >= '0' && t[1] <= '7') ? 1 : 2;
        return used == t.size() && used > prefix;
    }
    std::string cForm;
    bool negative = false;
    used = scanDecimal(t, cForm, negative);
    if (used == 0 || used != t.size())
        return false;
    value = parseDecimal(cForm);
    if (negative)
        value = -value;
    return true;
}

// %G-style formatting with the given significant digits, as the classic
// number-to-text conversion does it: fixed notation for exponents from -4 up
// to digits - 1, else d.dddE+XX with at least two exponent digits. With
// leadingBlank, a number that is not negative gets a blank in front (Str).
// The text is put together in a buffer on the stack: files write thousands of
// such numbers.
std::string formatSignificant(double value, int digits, bool leadingZero, bool leadingBlank)
{
    if (std::isnan(value))
        return "-1.#IND";
    const bool negative = value < 0;
    char out[64];
    char* o = out;
    if (negative)
        *o++ = '-';
    else if (leadingBlank)
        *o++ = ' ';
    if (value == 0.0) {
        *o++ = '0';
        return std::string(out, o);
    }
    if (std::isinf(value)) {
        std::memcpy(o, "1.#INF", 6);
        return std::string(out, o + 6);
    }

    // d.ddd...e+XX: the significant digits, without the point, and the exponent.
    char sci[64];
    const auto r = std::to_chars(sci, sci + sizeof sci, std::fabs(value), std::chars_format::scientific, digits - 1);
    char mantissa[32];
    size_t m = 0;
    const char* p = sci;
    for (; p < r.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            mantissa[m++] = *p;
    }
    ++p; // the "e"
    const bool negativeExponent = p < r.ptr && *p == '-';
    if (p < r.ptr && (*p == '-' || *p == '+'))
        ++p;
    int exponent = 0;
    for (; p < r.ptr; ++p)
        exponent = exponent * 10 + (*p - '0');
    if (negativeExponent)
        exponent = -exponent;
    while (m > 1 && mantissa[m - 1] == '0')
        --m;

    if (exponent < -4 || exponent >= digits) {
        *o++ = mantissa[0];
        if (m > 1) {
            *o++ = '.';
            std::memcpy(o, mantissa + 1, m - 1);
            o += m - 1;
        }
        *o++ = 'E';
        *o++ = exponent < 0 ? '-' : '+';
        const int magnitude = std::abs(exponent);
        if (magnitude < 10)
            *o++ = '0';
        o = std::to_chars(o, out + sizeof out, magnitude).ptr;
    } else if (exponent < 0) {
        if (leadingZero)
            *o++ = '0';
        *o++ = '.';
        for (int zeros = -exponent - 1; zeros > 0; --zeros)
            *o++ = '0';
        std::memcpy(o, mantissa, m);
        o += m;
    } else {
        const auto intDigits = static_cast<size_t>(exponent + 1);
        if (m <= intDigits) {
            std::memcpy(o, mantissa, m);
            o += m;
            for (size_t zeros = intDigits - m; zeros > 0; --zeros)
                *o++ = '0';
        } else {
            std::memcpy(o, mantissa, intDigits);
            o += intDigits;
            *o++ = '.';
            std::memcpy(o, mantissa + intDigits, m - intDigits);
            o += m - intDigits;
        }
    }
    return std::string(out, o);
}

std::string withLeadingBlank(std::string text)
{
    if (text.empty() || text[0] != '-')
        text.insert(text.begin(), ' ');
    return text;
}

// Days from 1970-01-01 of a proleptic Gregorian date (m 1..12).
long long daysFromCivil(long long y, int m, int d)
{
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void civilFromDays(long long z, int& y, int& m, int& d)
{
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const long long kEpoch = daysFromCivil(1899, 12, 30);
const long long kFirstSerial = daysFromCivil(100, 1, 1) - kEpoch;   // -657434
const long long kLastSerial = daysFromCivil(9999, 12, 31) - kEpoch; // 2958465

// The day number of a serial: the integer part, truncated toward zero (a
// negative serial's fraction is the time of that same day).
long long dayOf(double serial)
{
    if (std::isnan(serial) || serial < static_cast<double>(kFirstSerial) - 1 ||
        serial > static_cast<double>(kLastSerial) + 1)
        invalidCall();
    const double day = std::trunc(serial);
    if (day < static_cast<double>(kFirstSerial) || day > static_cast<double>(kLastSerial))
        invalidCall();
    return static_cast<long long>(day);
}

bool isLeapYear(int y)
{
    return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
}

int daysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && isLeapYear(y) ? 29 : days[m - 1];
}

} // namespace

// --- numbers from text -----------------------------------------------------

double Val(std::string_view s)
{
    std::string t;
    t.reserve(s.size());
    for (const char c : s)
        if (c != ' ' && c != '\t' && c != '\n')
            t += c;
    double value = 0;
    size_t used = 0;
    if (parseRadix(t, value, used))
        return value;
    std::string cForm;
    bool negative = false;
    if (scanDecimal(t, cForm, negative) == 0)
        return 0.0;
    value = parseDecimal(cForm);
    return negative ? -value : value;
}

bool IsNumeric(std::string_view s)
{
    const std::string t = Trim(s);
    std::string cForm;
    bool negative = false;
    const size_t used = scanDecimal(t, cForm, negative);
    if (used == 0 || used != t.size())
        return false;
    double value = 0;
    const auto r = std::from_chars(cForm.data(), cForm.data() + cForm.size(), value);
    if (r.ec == std::errc::result_out_of_range)
        return !std::isinf(std::strtod(cForm.c_str(), nullptr));
    return true;
}

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    const double below = std::floor(value);
    const double diff = value - below;
    if (diff < 0.5)
        return below;
    if (diff > 0.5)
        return below + 1.0;
    return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

int16_t CInt(double value)
{
    const double r = roundHalfEven(value);
    if (std::isnan(r) || r < -32768.0 || r > 32767.0)
        overflow();
    return static_cast<int16_t>(r);
}

int32_t CLng(double value)
{
    const double r = roundHalfEven(value);
    if (std::isnan(r) || r < -2147483648.0 || r > 2147483647.0)
        overflow();
    return static_cast<int32_t>(r);
}

double CDbl(std::string_view text)
{
    double value = 0;
    if (!parseWholeNumber(text, value))
        typeMismatch();
    return value;
}

int16_t CInt(std::string_view text)
{
    return CInt(CDbl(text));
}

int32_t CLng(std::string_view text)
{
    return CLng(CDbl(text));
}

double Int(double value)
{
    return std::floor(value);
}

double Fix(double value)
{
    return std::trunc(value);
}

// --- numbers to text -------------------------------------------------------

std::string StrSingle(float value)
{
    return formatSignificant(static_cast<double>(value), 7, false, true);
}

std::string StrDouble(double value)
{
    return formatSignificant(value, 15, false, true);
}

std::string CStrSingle(float value)
{
    return formatSignificant(static_cast<double>(value), 7, true, false);
}

std::string CStrDouble(double value)
{
    return formatSignificant(value, 15, true, false);
}

std::string CStr(long long value)
{
    return std::to_string(value);
}

std::string Str(long long value)
{
    return withLeadingBlank(std::to_string(value));
}

std::string Format(long long value, int minDigits)
{
    const bool negative = value < 0;
    // Work on the unsigned magnitude so that LLONG_MIN has one too.
    const unsigned long long magnitude =
        negative ? 0ull - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    std::string digits = std::to_string(magnitude);
    if (minDigits > 0 && digits.size() < static_cast<size_t>(minDigits))
        digits.insert(0, static_cast<size_t>(minDigits) - digits.size(), '0');
    return negative ? "-" + digits : digits;
}

// --- strings ---------------------------------------------------------------

std::string RTrim(std::string_view s)
{
    const size_t last = s.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string() : std::string(s.substr(0, last + 1));
}

std::string Trim(std::string_view s)
{
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return std::string();
    const size_t last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

long Len(std::string_view s)
{
    return static_cast<long>(utf8::countChars(s));
}

std::string Left(std::string_view s, long n)
{
    if (n < 0)
        invalidCall();
    return std::string(s.substr(0, utf8::byteOffsetOf(s, static_cast<size_t>(n))));
}

std::string Right(std::string_view s, long n)
{
    if (n < 0)
        invalidCall();
    const long length = Len(s);
    if (n >= length)
        return std::string(s);
    return std::string(s.substr(utf8::byteOffsetOf(s, static_cast<size_t>(length - n))));
}

std::string Mid(std::string_view s, long start1, long len)
{
    if (start1 < 1 || len < -1)
        invalidCall();
    const size_t from = utf8::byteOffsetOf(s, static_cast<size_t>(start1 - 1));
    if (len == -1)
        return std::string(s.substr(from));
    const std::string_view rest = s.substr(from);
    return std::string(rest.substr(0, utf8::byteOffsetOf(rest, static_cast<size_t>(len))));
}

long InStr(long start1, std::string_view s, std::string_view f)
{
    if (start1 < 1)
        invalidCall();
    if (s.empty())
        return 0;
    const long length = Len(s);
    if (start1 > length)
        return 0;
    if (f.empty())
        return start1;
    const size_t from = utf8::byteOffsetOf(s, static_cast<size_t>(start1 - 1));
    // Search character by character so that a match never starts inside a
    // multi-byte character.
    long index = start1;
    for (size_t i = from; i < s.size(); i += utf8::charLength(s, i), ++index) {
        if (s.compare(i, f.size(), f) == 0)
            return index;
    }
    return 0;
}

long InStr(std::string_view s, std::string_view f)
{
    return InStr(1, s, f);
}

std::string UCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}

std::string LCase(std::string_view s)
{
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string narrowWidth(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size();) {
        const size_t len = utf8::validSequenceLength(s, i);
        if (len == 3) {
            const char32_t cp = utf8::decodeAt(s, i, len);
            if (cp >= 0xFF01 && cp <= 0xFF5E) {
                out += static_cast<char>(cp - 0xFF01 + 0x21);
                i += 3;
                continue;
            }
            if (cp == 0x3000) {
                out += ' ';
                i += 3;
                continue;
            }
        }
        const size_t step = len == 0 ? 1 : len;
        out.append(s.substr(i, step));
        i += step;
    }
    return out;
}

// --- dates -----------------------------------------------------------------

bool isValidDate(int y, int m, int d)
{
    return y >= 100 && y <= 9999 && m >= 1 && m <= 12 && d >= 1 && d <= daysInMonth(y, m);
}

double DateSerial(int y, int m, int d)
{
    // Months beyond 1..12 move the year; days beyond the month move the date.
    long long year = y;
    const long long monthIndex = static_cast<long long>(m) - 1;
    year += monthIndex >= 0 ? monthIndex / 12 : -((-monthIndex + 11) / 12);
    const long long month0 = ((monthIndex % 12) + 12) % 12;
    if (year < 100 - 1 || year > 9999 + 1)
        invalidCall();
    const long long serial =
        daysFromCivil(year, static_cast<int>(month0 + 1), 1) - kEpoch + static_cast<long long>(d) - 1;
    if (serial < kFirstSerial || serial > kLastSerial)
        invalidCall();
    return static_cast<double>(serial);
}

int Year(double serial)
{
    int y = 0, m = 0, d = 0;
    civilFromDays(dayOf(serial) + kEpoch, y, m, d);
    return y;
}

int Month(double serial)
{
    int y = 0, m = 0, d = 0;
    civilFromDays(dayOf(serial) + kEpoch, y, m, d);
    return m;
}

int Day(double serial)
{
    int y = 0, m = 0, d = 0;
    civilFromDays(dayOf(serial) + kEpoch, y, m, d);
    return d;
}

namespace utf8 {

std::vector<std::string> splitChars(std::string_view s)
{
    std::vector<std::string> chars;
    for (size_t i = 0; i < s.size();) {
        const size_t len = charLength(s, i);
        chars.emplace_back(s.substr(i, len));
        i += len;
    }
    return chars;
}

} // namespace utf8

} // namespace platform
