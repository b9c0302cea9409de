#pragma once
// The order of sorted lists (list boxes, and the list view and grid later):
// ascending by cp932 bytes, with ASCII letters compared case-insensitively, so
// "*" comes before digits, digits before letters, and letters before Japanese.

#include <string>
#include <string_view>

namespace forms {

// <0, 0 or >0 as a sorts before, equal to or after b. Characters cp932 cannot
// hold compare as "?".
int compareListText(std::string_view a, std::string_view b);

// The key compareListText compares: cp932 bytes with single-byte ASCII letters
// folded to lower case (trail bytes of double-byte characters are left alone).
std::string listSortKey(std::string_view text);

} // namespace forms
