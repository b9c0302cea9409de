// Feeds arbitrary bytes through the line rule and the cp932 codec and checks
// the properties the file readers rely on.

#include "platform/Cp932.h"
#include "platform/TextFile.h"

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

bool isValidUtf8(std::string_view s)
{
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (len == 0 || i + len > s.size())
            return false;
        for (size_t k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        i += len;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Lines hold no CR, and the lines plus their line ends cover the input.
    const auto lines = platform::splitLines(bytes);
    size_t covered = 0;
    for (const auto& line : lines) {
        check(line.find('\r') == std::string::npos);
        covered += line.size();
        if (covered < size && bytes[covered] == '\r')
            covered += (covered + 1 < size && bytes[covered + 1] == '\n') ? 2 : 1;
    }
    check(covered == size);

    // Decoding never fails and gives valid UTF-8; clean text survives a round trip.
    int bad = -1;
    const std::string text = platform::decodeCp932(bytes, &bad);
    check(bad >= 0);
    check(isValidUtf8(text));
    if (bad == 0) {
        const std::string again = platform::encodeCp932(text);
        check(platform::decodeCp932(again) == text);
    }

    // Substitute encoding of anything (also invalid UTF-8) never throws, and
    // strict encoding throws exactly when something was substituted.
    int substituted = -1;
    const std::string encoded = platform::encodeCp932(bytes, platform::EncodeMode::Substitute, &substituted);
    check(substituted >= 0);
    bool threw = false;
    try {
        (void)platform::encodeCp932(bytes);
    } catch (const platform::EncodeError&) {
        threw = true;
    }
    check(threw == (substituted > 0));
    check(platform::canEncodeCp932(bytes) == !threw);
    return 0;
}
