// The grid's sort popup: "UP", "Down" and "Nosort" order the rows by the column
// whose header was right-clicked and keep the choice in the document settings,
// so that every refill of the grid (tablein) sorts the same way.

#include "entry/EntryForm.h"

#include "model/settings.h"

void EntryForm::sortByMouseColumn(int code)
{
    model::Settings& s = model::settings();
    up.setChecked(code == forms::flexSortGenericAscending);
    down.setChecked(code == forms::flexSortGenericDescending);
    nosort.setChecked(code == forms::flexSortNone);
    const int col = tb.mouseCol();
    if (col >= 0 && col < tb.cols())
        tb.setCol(col);
    s.Sort_factor = static_cast<int16_t>(tb.col());
    tb.sort(code);
    s.Array_SortMode = static_cast<int16_t>(code);
    rowset();
}

void EntryForm::up_Click()
{
    sortByMouseColumn(forms::flexSortGenericAscending);
}

void EntryForm::down_Click()
{
    sortByMouseColumn(forms::flexSortGenericDescending);
}

void EntryForm::nosort_Click()
{
    sortByMouseColumn(forms::flexSortNone);
}
