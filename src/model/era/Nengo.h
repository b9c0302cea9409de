#pragma once
// The era (nengo) table: one row per Japanese era, read from "nengo_tbl.mas" in
// the program folder. Row 0 is the current era; row i + 1 is the era before
// row i, so the era that follows row i is row i - 1 and row 0 has none.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace model {

// Letter codes are kept as fixed texts of this many characters, blank-padded.
constexpr int NengoCodeWidth = 5;

struct nengo_data {
    std::string nengo_name;  // era name as written in the file, e.g. "平成"
    std::string nengo_code;  // letter code, left-aligned and blank-padded to 5 characters
    double nengo_start = 0;  // first day of the era as a date serial
};

// The program-wide era table, newest era first.
extern std::vector<nengo_data> nengo_tbl;

// Reads the era file into nengo_tbl. Each non-empty line is
// "yyyy/mm/dd name [code]". Returns 0 when every line was read; -1 when the file
// is missing (the table is then left as it was) or a line is not an era line
// (reading stops there; the rows before it stay and the bad line adds no row).
// Never shows a message.
int16_t Load_NengoTbl(const std::string& path);

// True when an era text is a letter code: exactly one character whose
// half-width upper-case form lies strictly between "A" and "Z".
bool isNengoLetterCode(std::string_view eraText);

// The row of an era text (letter code or era name), first match from row 0,
// or -1 when the table has no such era.
int findNengoRow(std::string_view eraText);

// True when a letter code (as typed, either width or case) is the code of a row.
bool isTableLetterCode(std::string_view letter);

} // namespace model
