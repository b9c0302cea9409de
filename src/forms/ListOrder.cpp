#include "forms/ListOrder.h"

#include "platform/Cp932.h"

#include <algorithm>

namespace forms {

namespace {

bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

} // namespace

std::string listSortKey(std::string_view text)
{
    std::string key = platform::encodeCp932(text, platform::EncodeMode::Substitute);
    for (size_t i = 0; i < key.size(); ++i) {
        const auto byte = static_cast<unsigned char>(key[i]);
        if (isLeadByte(byte) && i + 1 < key.size()) {
            ++i; // the trail byte may look like a letter; it is not one
            continue;
        }
        if (byte >= 'A' && byte <= 'Z')
            key[i] = static_cast<char>(byte - 'A' + 'a');
    }
    return key;
}

int compareListText(std::string_view a, std::string_view b)
{
    const std::string keyA = listSortKey(a);
    const std::string keyB = listSortKey(b);
    // Compare as unsigned bytes: cp932 lead bytes (>= 0x81) sort after ASCII.
    const size_t n = std::min(keyA.size(), keyB.size());
    for (size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(keyA[i]);
        const auto cb = static_cast<unsigned char>(keyB[i]);
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (keyA.size() == keyB.size())
        return 0;
    return keyA.size() < keyB.size() ? -1 : 1;
}

} // namespace forms
