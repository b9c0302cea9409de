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

const KeyIndex::Entry* KeyIndex::search(std::string_view key, Cursor& cursor) const
{
    const int n = static_cast<int>(m_entries.size());
    if (cursor.successors.empty()) {
        // At first each key is expected to follow the one before it in the table.
        cursor.successors.resize(static_cast<size_t>(n));
        for (int i = 0; i < n; ++i)
            cursor.successors[static_cast<size_t>(i)] = (i + 1) % n;
    }
    int found = -1;
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

FileText::FileText(size_t expectedBytes)
{
    m_bytes.reserve(expectedBytes);
}

std::string FileText::take()
{
    m_bytes.resize(m_used);
    m_used = 0;
    return std::move(m_bytes);
}

void FileText::grow(size_t n)
{
    // The room is reserved up front (a full family file has some 300,000 lines) and
    // made usable a step at a time: each step is cleared while it is about to be
    // written, so the text is not first cleared in full and then written over.
    constexpr size_t Step = 64 * 1024;
    m_bytes.resize(m_used + n + Step);
}

void FileText::textLine(std::string_view keyPrefix, std::string_view key, std::string_view cp932Value)
{
    // The file has no escape for CR, and a CR inside a value would end its line and
    // could inject lines. The value can only shrink by this.
    char* out = startKeyLine(keyPrefix, key, cp932Value.size());
    const char* from = cp932Value.data();
    const char* const end = from + cp932Value.size();
    for (;;) {
        const char* cr = findByte(from, end, '\r');
        out = std::copy(from, cr, out);
        if (cr == end)
            break;
        *out++ = '\n';
        from = cr + 1;
        if (from < end && *from == '\n')
            ++from;
    }
    *out++ = '\r';
    *out++ = '\n';
    commit(out);
}

void FileText::value(std::string_view keyPrefix, std::string_view key, Form, const std::string& text)
{
    // ASCII is the same in cp932; only other text goes through the encoder. No cp932
    // character holds the byte of CR or LF, so line breaks can be turned into LF in
    // the encoded bytes.
    if (asciiOnly(text))
        textLine(keyPrefix, key, text);
    else
        textLine(keyPrefix, key, platform::encodeCp932(text, platform::EncodeMode::Strict));
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

} // namespace model::filestore
