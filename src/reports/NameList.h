#pragma once
// The ruled table of the name list: name, sex, birth date and death date of the
// persons on the chart of the selected tab, in slot order. The same drawing serves
// the screen (rows 250 twips high) and paper (rows 400 twips high, 29 persons a
// page under the heading row), through forms::Surface.

#include "forms/Surface.h"

#include <array>
#include <cstdint>
#include <functional>

namespace reports {

// The column edges and the top of the table, whole twips, for a drawing area of
// width by height twips: x1 = W/16, x5 = 15W/16, and with D = x5 - x1 the sex,
// birth and death columns start at x2 = x1 + 2D/9, x3 = x2 + D/9, x4 = x3 + D/3.
// Each edge is rounded (halves to even) before the next is computed from it.
struct NameListGeometry {
    int32_t x1 = 0;
    int32_t x2 = 0;
    int32_t x3 = 0;
    int32_t x4 = 0;
    int32_t x5 = 0;
    int32_t top = 0;   // height / 10
};
NameListGeometry nameListGeometry(double width, double height);

// What differs between the screen list and the printed one.
struct NameListStyle {
    double rowHeight;                       // twips, the heading row as well
    double textOffset;                      // from a row's top to its texts
    std::array<const char*, 4> headings;    // name, sex, birth, death
    int lastSlot;                           // the highest person slot listed
};
extern const NameListStyle ScreenNameList;
extern const NameListStyle PaperNameList;

// The rows a printed page holds: the heading row and 29 persons.
constexpr int NameListRowsPerPage = 30;

// True when the person slot gets a row: its InUse is not -1 and it stands on the
// chart of the selected tab (Is_OnChart(sel_tree, slot) = 1).
bool isOnNameList(int slot);

// The four cell texts of a person: F_name followed directly by Name, "男" for Sex 0
// and "女" for any other value, B_day and Death_day as stored.
std::array<std::string, 4> nameListCells(int slot);

// Draws the heading row with its top at top; returns the row's bottom.
double drawNameListHeading(forms::Surface& surface, const NameListGeometry& g, double top,
                           const NameListStyle& style);
// Draws the row of a person with its top at top (the bottom of the row above);
// returns the row's bottom.
double drawNameListRow(forms::Surface& surface, const NameListGeometry& g, double top,
                       const NameListStyle& style, int slot);
// The heavy line under the last row.
void closeNameList(forms::Surface& surface, const NameListGeometry& g, double bottom);

// Prints the list onto page, a printer's surface: the title once at the top of the
// first page (15 pt), then pages of the heading row and up to 29 persons (12 pt),
// the last page ending with the closing line. newPage is called between pages.
// A page is begun only for persons still to come, so a list that fills its last
// page exactly gets no extra page holding only the heading. Returns the number of
// pages drawn.
int printNameListPages(forms::Surface& page, const std::function<void()>& newPage);

} // namespace reports
