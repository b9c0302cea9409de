// How the family file writes and reads single values.

#include "model/filestore/FileRecords.h"

#include "platform/Conversions.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

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
        failLoad("真偽値（True か False）ではありません");
    return platform::CDbl(value) != 0 ? -1 : 0;
}

// Most fractional fields hold whole numbers (display widths of 20 and 50); these print
// exactly as their integer does, so they skip the slower significant-digit formatting.
bool isSmallWholeNumber(double number)
{
    return std::trunc(number) == number && std::fabs(number) < 1e6;
}

// Bytes that are not cp932 arrive as U+FFFD, which the writer could never store again;
// they become "?" so that the family stays savable. cp932 has no U+FFFD of its own, so
// every one in the decoded text stands for bad bytes. Works in place on [begin, end)
// and returns the new end.
char* replaceUndecodable(char* begin, char* end)
{
    static constexpr std::string_view replacement = "\xEF\xBF\xBD";
    const auto next = [&](char* from) { return std::search(from, end, replacement.begin(), replacement.end()); };
    char* at = next(begin);
    char* out = at;
    // One pass: each replacement becomes "?" and the text up to the next one moves
    // left over the two bytes saved.
    while (at != end) {
        *out++ = '?';
        char* const from = at + replacement.size();
        at = next(from);
        out = std::copy(from, at, out);
    }
    return out;
}

// A value as the UTF-8 the numeric readings take. Numbers are ASCII and are read in
// place; other text (full-width digits, say) is decoded into scratch first.
std::string_view textOf(std::string_view raw, std::string& scratch)
{
    if (asciiOnly(raw))
        return raw;
    readInto(Reading::Text, raw, scratch);
    return scratch;
}

} // namespace

void failLoad(const std::string& reason)
{
    throw platform::RuntimeError(platform::err::InvalidCall, reason);
}

void readInto(Reading, std::string_view value, std::string& target)
{
    if (asciiOnly(value)) {
        target.assign(value);
        return;
    }
    // A byte becomes at most three bytes of UTF-8; the field takes the text at its size.
    std::string buffer(3 * value.size() + 1, '\0');
    int badSequences = 0;
    char* end = platform::decodeCp932To(value, buffer.data(), &badSequences);
    if (badSequences > 0) {
        end = replaceUndecodable(buffer.data(), end);
        ++undecodableCount();
    }
    target.assign(buffer.data(), end);
}

int& undecodableCount()
{
    static thread_local int count = 0;
    return count;
}

void readInto(Reading reading, std::string_view rawValue, int16_t& target)
{
    std::string scratch;
    const std::string_view value = textOf(rawValue, scratch);
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

void readInto(Reading reading, std::string_view rawValue, int32_t& target)
{
    std::string scratch;
    const std::string_view value = textOf(rawValue, scratch);
    double number = 0;
    if (numberOf(reading, value, number))
        target = platform::CLng(number);
}

void readInto(Reading reading, std::string_view rawValue, float& target)
{
    std::string scratch;
    const std::string_view value = textOf(rawValue, scratch);
    double number = 0;
    if (!numberOf(reading, value, number))
        return;
    if (std::fabs(number) > static_cast<double>(FLT_MAX))
        throw platform::RuntimeError(platform::err::Overflow, "単精度の範囲を超えています");
    target = static_cast<float>(number);
}

void readInto(Reading reading, std::string_view rawValue, double& target)
{
    std::string scratch;
    const std::string_view value = textOf(rawValue, scratch);
    double number = 0;
    if (numberOf(reading, value, number))
        target = number;
}

void readInto(Reading, std::string_view rawValue, bool& target)
{
    std::string scratch;
    target = truthOf(textOf(rawValue, scratch)) != 0;
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
    : m_bytes(new char[expectedBytes]), m_capacity(expectedBytes)
{
}

void FileText::grow(size_t n)
{
    // Only when the estimate fell short: the room grows by half again.
    const size_t capacity = std::max(m_capacity + m_capacity / 2, m_used + n + 4096);
    std::unique_ptr<char[]> bytes(new char[capacity]);
    std::memcpy(bytes.get(), m_bytes.get(), m_used);
    m_bytes = std::move(bytes);
    m_capacity = capacity;
}

namespace {

// Turns every CR LF and every lone CR in [begin, end) into LF, in place, and returns
// the new end. The file has no escape for CR, and a CR inside a value would end its
// line and could inject lines. No cp932 character holds the byte of CR or LF, so
// this works on encoded text.
char* foldCarriageReturns(char* begin, char* end)
{
    char* cr = const_cast<char*>(findByte(begin, end, '\r'));
    if (cr == end)
        return end;
    char* out = cr;
    const char* from = cr;
    while (from < end) {
        // from is at a CR.
        *out++ = '\n';
        ++from;
        if (from < end && *from == '\n')
            ++from;
        const char* next = findByte(from, end, '\r');
        out = std::copy(from, next, out);
        from = next;
    }
    return out;
}

} // namespace

UnsavableValue::UnsavableValue(std::string character, std::string_view key)
    : EncodeError(std::move(character)), key(key)
{
}

void FileText::value(std::string_view keyPrefix, std::string_view key, Form, const std::string& text)
{
    // ASCII is the same in cp932; other text is encoded straight into the file, in
    // at most as many bytes as its UTF-8 takes.
    char* const begin = startKeyLine(keyPrefix, key, text.size());
    char* end = begin;
    if (asciiOnly(text)) {
        end = std::copy(text.begin(), text.end(), begin);
    } else {
        try {
            end = platform::encodeCp932To(text, begin);
        } catch (const platform::EncodeError& e) {
            throw UnsavableValue(e.character, key);
        }
    }
    end = foldCarriageReturns(begin, end);
    *end++ = '\r';
    *end++ = '\n';
    commit(end);
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
