#pragma once
// The family file, its snapshots and its exports are cp932, which cannot hold every
// character a text box takes (pasted text bypasses the key filters). Every text a
// user types or pastes passes this one gate before it is stored, so the family
// always stays savable.

#include <string>

namespace model {

inline constexpr const char* UnsavableCharMessage = "ファイルに保存できない文字が含まれています：";

// True when the family file can hold every character of text. Otherwise shows the
// message naming the first such character (exclamation, OK only, the given title;
// an empty title is the program's own) and returns false: the caller stores nothing.
[[nodiscard]] bool acceptSavableText(const std::string& text, const std::string& title = "");

} // namespace model
