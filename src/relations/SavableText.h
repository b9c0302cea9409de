#pragma once
// Text the relationship windows put into the family (names, titles) is stored in
// the family file as cp932, which cannot hold every character a text box takes
// (pasted text bypasses the key filter). Such text is refused where it enters, so
// the family always stays savable.

#include <string>

namespace relations {

inline constexpr const char* UnsavableCharMessage = "ファイルに保存できない文字が含まれています：";

// True when the family file can hold every character of text. Otherwise shows the
// message naming the first such character (exclamation, OK only, the given title)
// and returns false.
[[nodiscard]] bool acceptSavableText(const std::string& text, const std::string& title);

} // namespace relations
