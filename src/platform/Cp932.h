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

// Strict UTF-8 -> cp932 straight into a buffer with room for utf8.size() bytes
// (no character takes more bytes in cp932 than in UTF-8), for writers that build a
// whole file in one buffer. Returns the end of what was written; throws EncodeError
// as strict encodeCp932 does, after writing part of the text.
char* encodeCp932To(std::string_view utf8, char* out);

// cp932 -> UTF-8. Never fails: each bad byte sequence becomes U+FFFD and is
// counted in *badSequences.
std::string decodeCp932(std::string_view bytes, int* badSequences = nullptr);

// cp932 -> UTF-8 straight into a buffer with room for 3 * bytes.size() + 1 bytes (a
// byte becomes at most three bytes of UTF-8), for readers that decode a file piece by
// piece into one buffer. Returns the end of what was written; bad sequences as above.
char* decodeCp932To(std::string_view bytes, char* out, int* badSequences = nullptr);

// True when every character of utf8 has a cp932 form; otherwise the first one
// that has none is stored in *firstBadChar.
bool canEncodeCp932(std::string_view utf8, std::string* firstBadChar = nullptr);

// The length the text takes in cp932: half-width characters (ASCII and
// half-width katakana) count 1, all others 2.
int cp932ByteLength(std::string_view utf8);

} // namespace platform
