#pragma once
// The item list shared by list boxes and combo boxes, for use inside
// src/forms/*.cpp only. The control keeps its items here; the widget mirrors them.

#include "forms/ListBox.h"
#include "forms/ListOrder.h"

#include "platform/Errors.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace forms {

// Where AddItem puts text: at index when given (0..count, else error 5), after
// the equal items in sort order when sorted, else at the end.
inline int listInsertPosition(const std::vector<ListItem>& items, const std::string& text, bool sorted, int index)
{
    const int count = static_cast<int>(items.size());
    if (index >= 0) {
        if (index > count)
            throw platform::RuntimeError(platform::err::InvalidCall, "プロシージャの呼び出し、または引数が不正です。");
        return index;
    }
    if (!sorted)
        return count;
    const std::string key = listSortKey(text);
    auto position = std::upper_bound(items.begin(), items.end(), key, [](const std::string& k, const ListItem& item) {
        return k < listSortKey(item.text); // std::string compares bytes unsigned
    });
    return static_cast<int>(position - items.begin());
}

inline void checkListIndex(const std::vector<ListItem>& items, int index)
{
    if (index < 0 || index >= static_cast<int>(items.size()))
        throw platform::RuntimeError(381, "プロパティ配列のインデックスが不正です。");
}

} // namespace forms
