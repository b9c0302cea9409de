// How the family file writes and reads single values.

#include "model/filestore/FileRecords.h"

#include "platform/Conversions.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <algorithm>
#include <cfloat>
#include <cstdint>
#include <cmath>

namespace model::filestore {

namespace {

// Most values of a family file are short whole numbers. For a value made of an
// optional "-" and one to nine digits every reading gives that number, so it is
// taken directly; anything else goes through the full conversions.
bool simpleWholeNumber(std::string_view value, long& number)
{
    size_t i = 0;
    bool negative = false;
    if (!value.empty() && value[0] == '-') {
        negative = true;
        i = 1;
    }
    const size_t digits = value.size() - i;
    if (digits == 0 || digits > 9)
        return false;
    long n = 0;
    for (; i < value.size(); ++i) {
        const char c = value[i];
        if (c < '0' || c > '9')
            return false;
        n = n * 10 + (c - '0');
    }
    number = negative ? -n : n;
    return true;
}

// The number a value stands for under a numeric reading; false when a guarded reading
// keeps the preset. Strict readings of a non-number raise a type mismatch.
bool numberOf(Reading reading, std::string_view value, double& number)
{
    long whole = 0;
    if (simpleWholeNumber(value, whole)) {
        number = static_cast<double>(whole);
        return true;
    }
    switch (reading) {
    case Reading::Guarded:
        if (!platform::IsNumeric(value))
            return false;
        number = platform::CDbl(value);
        return true;
    case Reading::Lenient:
        number = platform::Val(value);
        return true;
    default:
        number = platform::CDbl(value);
        return true;
    }
}

int16_t truthOf(std::string_view value)
{
    if (value == "True")
        return -1;
    if (value == "False")
        return 0;
    if (!platform::IsNumeric(value))
        failLoad("真偽値ではありません: " + std::string(value));
    return platform::CDbl(value) != 0 ? -1 : 0;
}

// The value with every CR LF and every lone CR turned into LF: the file has no escape
// for CR, and a CR inside a value would end its line and could inject lines.
std::string_view withoutCarriageReturns(std::string_view text, std::string& scratch)
{
    if (text.find('\r') == std::string_view::npos)
        return text;
    scratch.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            scratch += text[i];
        } else {
            scratch += '\n';
            if (i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        }
    }
    return scratch;
}

// Most fractional fields hold whole numbers (display widths of 20 and 50); these print
// exactly as their integer does, so they skip the slower significant-digit formatting.
bool isSmallWholeNumber(double number)
{
    return std::trunc(number) == number && std::fabs(number) < 1e6;
}

} // namespace

void failLoad(const std::string& reason)
{
    throw platform::RuntimeError(platform::err::InvalidCall, reason);
}

void readInto(Reading, std::string_view value, std::string& target)
{
    target.assign(value);
}

void readInto(Reading reading, std::string_view value, int16_t& target)
{
    if (reading == Reading::Flag) {
        target = value == "False" ? 0 : -1;
        return;
    }
    if (reading == Reading::StrictTruth) {
        target = truthOf(value);
        return;
    }
    long whole = 0;
    if (simpleWholeNumber(value, whole) && whole >= INT16_MIN && whole <= INT16_MAX) {
        target = static_cast<int16_t>(whole);
        return;
    }
    double number = 0;
    if (numberOf(reading, value, number))
        target = platform::CInt(number);
}

void readInto(Reading reading, std::string_view value, int32_t& target)
{
    double number = 0;
    if (numberOf(reading, value, number))
        target = platform::CLng(number);
}

void readInto(Reading reading, std::string_view value, float& target)
{
    double number = 0;
    if (!numberOf(reading, value, number))
        return;
    if (std::fabs(number) > static_cast<double>(FLT_MAX))
        throw platform::RuntimeError(platform::err::Overflow, "単精度の範囲を超えています");
    target = static_cast<float>(number);
}

void readInto(Reading reading, std::string_view value, double& target)
{
    double number = 0;
    if (numberOf(reading, value, number))
        target = number;
}

void readInto(Reading, std::string_view value, bool& target)
{
    target = truthOf(value) != 0;
}

namespace {

std::string_view trimBlanks(std::string_view s)
{
    const size_t first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(' ') - first + 1);
}

} // namespace

const KeyIndex::Entry* KeyIndex::find(std::string_view key, Cursor& cursor) const
{
    const int n = static_cast<int>(m_entries.size());
    if (cursor.successors.empty()) {
        // At first each key is expected to follow the one before it in the table.
        cursor.successors.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            cursor.successors[static_cast<size_t>(i)] = (i + 1) % n;
    }
    int found = -1;
    if (cursor.last >= 0) {
        const int expected = cursor.successors[static_cast<size_t>(cursor.last)];
        if (keyMatches(key, m_entries[static_cast<size_t>(expected)].key))
            found = expected;
    }
    for (int i = 0; found < 0 && i < n; ++i) {
        if (keyMatches(key, m_entries[static_cast<size_t>(i)].key))
            found = i;
    }
    if (found < 0)
        return nullptr;
    if (cursor.last >= 0)
        cursor.successors[static_cast<size_t>(cursor.last)] = found;
    cursor.last = found;
    return &m_entries[static_cast<size_t>(found)];
}

int splitLine(std::string_view line, std::string_view& key, std::string_view& value)
{
    key = {};
    value = {};
    line = trimBlanks(line);
    if (line.empty())
        return -1;
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
        key = line;
        return 0;
    }
    key = trimBlanks(line.substr(0, equals));
    value = trimBlanks(line.substr(equals + 1));
    return 1;
}

FileText::FileText(size_t expectedBytes)
{
    m_bytes.resize(expectedBytes);
}

std::string FileText::take()
{
    m_bytes.resize(m_used);
    m_used = 0;
    return std::move(m_bytes);
}

char* FileText::room(size_t n)
{
    // The buffer grows in large steps and is cut to size once at the end: a full
    // family file has some 300,000 lines.
    if (m_used + n > m_bytes.size())
        m_bytes.resize(std::max(m_bytes.size() * 2, m_used + n));
    char* out = &m_bytes[m_used];
    m_used += n;
    return out;
}

void FileText::line(std::string_view ascii)
{
    char* out = std::copy(ascii.begin(), ascii.end(), room(ascii.size() + 2));
    *out++ = '\r';
    *out = '\n';
}

void FileText::keyLine(std::string_view keyPrefix, std::string_view key, std::string_view cp932Value)
{
    char* out = room(keyPrefix.size() + key.size() + 1 + cp932Value.size() + 2);
    out = std::copy(keyPrefix.begin(), keyPrefix.end(), out);
    out = std::copy(key.begin(), key.end(), out);
    *out++ = '=';
    out = std::copy(cp932Value.begin(), cp932Value.end(), out);
    *out++ = '\r';
    *out = '\n';
}

void FileText::value(std::string_view keyPrefix, std::string_view key, Form, const std::string& text)
{
    const std::string_view plain = withoutCarriageReturns(text, m_scratch);
    // ASCII is the same in cp932; only other text goes through the encoder.
    if (asciiOnly(plain))
        keyLine(keyPrefix, key, plain);
    else
        keyLine(keyPrefix, key, platform::encodeCp932(plain, platform::EncodeMode::Strict));
}

void FileText::value(std::string_view keyPrefix, std::string_view key, Form form, int16_t number)
{
    value(keyPrefix, key, form, static_cast<int32_t>(number));
}

void FileText::value(std::string_view keyPrefix, std::string_view key, Form form, int32_t number)
{
    switch (form) {
    case Form::Signed:
        keyLine(keyPrefix, key, platform::Str(number));
        break;
    case Form::Bool:
        keyLine(keyPrefix, key, number != 0 ? "True" : "False");
        break;
    default:
        keyLine(keyPrefix, key, platform::CStr(number));
        break;
    }
}

void FileText::value(std::string_view keyPrefix, std::string_view key, Form form, float number)
{
    if (isSmallWholeNumber(number))
        value(keyPrefix, key, form, static_cast<int32_t>(number));
    else
        keyLine(keyPrefix, key, form == Form::Signed ? platform::StrSingle(number) : platform::CStrSingle(number));
}

void FileText::value(std::string_view keyPrefix, std::string_view key, Form form, double number)
{
    if (isSmallWholeNumber(number))
        value(keyPrefix, key, form, static_cast<int32_t>(number));
    else
        keyLine(keyPrefix, key, form == Form::Signed ? platform::StrDouble(number) : platform::CStrDouble(number));
}

void FileText::value(std::string_view keyPrefix, std::string_view key, Form, bool flag)
{
    keyLine(keyPrefix, key, flag ? "True" : "False");
}

} // namespace model::filestore
