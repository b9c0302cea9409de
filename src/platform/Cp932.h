#pragma once
// Conversion between the program's UTF-8 text and the cp932 bytes of its files.

#include "platform/Errors.h"

#include <string>
#include <string_view>

namespace platform {

enum class EncodeMode { Strict, Substitute };

// Raised by strict encoding for a character cp932 cannot hold (number 5).
struct EncodeError : RuntimeError {
    explicit EncodeError(std::string character);

    std::string character; // the offending character, UTF-8
};

// UTF-8 -> cp932. Strict throws EncodeError naming the first character that
// cp932 cannot hold; Substitute writes "?" for it and counts it in
// *substituted. Invalid UTF-8 input counts as an unencodable character.
std::string encodeCp932(std::string_view utf8, EncodeMode mode = EncodeMode::Strict,
                        int* substituted = nullptr);

// cp932 -> UTF-8. Never fails: each bad byte sequence becomes U+FFFD and is
// counted in *badSequences.
std::string decodeCp932(std::string_view bytes, int* badSequences = nullptr);

// True when every character of utf8 has a cp932 form; otherwise the first one
// that has none is stored in *firstBadChar.
bool canEncodeCp932(std::string_view utf8, std::string* firstBadChar = nullptr);

// The length the text takes in cp932: half-width characters (ASCII and
// half-width katakana) count 1, all others 2.
int cp932ByteLength(std::string_view utf8);

} // namespace platform
