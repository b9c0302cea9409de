#include "model/era/EraText.h"

#include "platform/Conversions.h"
#include "platform/Utf8.h"

namespace model::eratext {

using platform::utf8::splitChars;

namespace {

bool isSeparator(const std::string& ch, const char* const* allowed)
{
    for (const char* const* a = allowed; *a; ++a) {
        if (ch == *a)
            return true;
    }
    return false;
}

} // namespace

std::string joinChars(const std::vector<std::string>& chars, size_t from, size_t count)
{
    std::string out;
    for (size_t i = from; i < chars.size() && i - from < count; ++i)
        out += chars[i];
    return out;
}

bool isDigit(std::string_view ch)
{
    if (ch.size() == 1)
        return ch[0] >= '0' && ch[0] <= '9';
    // Full-width digits U+FF10..U+FF19 are EF BC 90..99 in UTF-8.
    return ch.size() == 3 && static_cast<unsigned char>(ch[0]) == 0xEF
        && static_cast<unsigned char>(ch[1]) == 0xBC && static_cast<unsigned char>(ch[2]) >= 0x90
        && static_cast<unsigned char>(ch[2]) <= 0x99;
}

bool digitsValue(std::string_view digits, int& value)
{
    const std::vector<std::string> chars = splitChars(digits);
    if (chars.empty() || chars.size() > 9)
        return false;
    int v = 0;
    for (const std::string& ch : chars) {
        if (!isDigit(ch))
            return false;
        const int d = ch.size() == 1 ? ch[0] - '0' : static_cast<unsigned char>(ch[2]) - 0x90;
        v = v * 10 + d;
    }
    value = v;
    return true;
}

bool parseYmd(std::string_view text, int& year, int& month, int& day)
{
    static const char* const firstSeparators[] = {"/", "-", ".", "年", nullptr};
    static const char* const secondSeparators[] = {"/", "-", ".", "月", nullptr};

    const std::vector<std::string> chars = splitChars(text);
    size_t i = 0;
    const auto digitRun = [&](int& value) {
        const size_t start = i;
        while (i < chars.size() && isDigit(chars[i]))
            ++i;
        return i > start && digitsValue(joinChars(chars, start, i - start), value);
    };

    if (!digitRun(year) || i >= chars.size() || !isSeparator(chars[i], firstSeparators))
        return false;
    const bool kanjiForm = chars[i] == "年";
    ++i;
    if (!digitRun(month) || i >= chars.size() || !isSeparator(chars[i], secondSeparators))
        return false;
    if ((chars[i] == "月") != kanjiForm)
        return false;
    ++i;
    if (!digitRun(day))
        return false;
    if (kanjiForm && i < chars.size() && chars[i] == "日")
        ++i;
    return i == chars.size();
}

std::string upperHalfWidth(std::string_view ch)
{
    return platform::UCase(platform::narrowWidth(ch));
}

} // namespace model::eratext
