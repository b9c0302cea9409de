// Feeds arbitrary text to the number and string conversions: they either
// give a result or raise a RuntimeError, and agree with each other.

#include "platform/Conversions.h"
#include "platform/Errors.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        const double v = platform::Val(text);
        check(std::isfinite(v));
        // The plain form of a number reads back as the same number to 15 digits.
        const std::string plain = platform::CStrDouble(v);
        check(platform::IsNumeric(plain));
        const double back = platform::Val(plain);
        check(v == 0 ? back == 0 : std::fabs(back - v) <= std::fabs(v) * 1e-14);
    } catch (const platform::RuntimeError& e) {
        check(e.number == 6);
    }
    if (platform::IsNumeric(text)) {
        try {
            (void)platform::CDbl(text);
        } catch (const platform::RuntimeError&) {
            std::abort(); // a text IsNumeric accepts converts
        }
    }
    const long length = platform::Len(text);
    check(platform::Left(text, length) == text);
    check(platform::Mid(text, 1) == text);
    check(platform::Left(text, length / 2) + platform::Mid(text, length / 2 + 1) == text);
    check(platform::Right(text, length) == text);
    check(platform::Trim(platform::Trim(text)) == platform::Trim(text));
    if (size > 0) {
        const std::string first = platform::Left(text, 1);
        check(platform::InStr(text, first) == 1);
    }
    return 0;
}
