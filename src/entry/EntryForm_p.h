#pragma once
// The person editor's inside, shared by its source files and used nowhere else:
// short names for the tables and a person's record, the key its text boxes do not
// insert and the keys each kind of field takes.

#include "model/tables.h"

#include <cstddef>
#include <cstdint>

namespace entry {

inline model::Tables& T()
{
    return model::tables();
}

using model::person;

// A key code the text box does not insert.
constexpr int16_t RefusedKey = 14;

// The keys a checked field takes: a postal code takes digits, "-", blank and
// control keys (and codes 255 and up, which come from input methods); a number
// (an age, a telephone number) takes every key but the lower-case letters a-z.
enum class KeyFilter { PostalCode, Number };

// True when the field refuses the key: shows "数字を入力してください。" and turns
// the key into RefusedKey.
bool refuseKey(KeyFilter filter, int16_t& KeyAscii);

} // namespace entry
