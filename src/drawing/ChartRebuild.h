#pragma once
// The full chart rebuild after every change of the family or of a display setting,
// and the refresh that editors call after a change. The main window's chart
// controls are reached through layout::chartView() and model::windowServices()
// (chart selection, the canvas's drop mode).

#include <cstdint>
#include <vector>

namespace drawing {

// Lays the whole family out afresh and shows tree (a tab index - 1, normally
// sel_tree) when a tree tab is selected. In order: display modes applied, chart
// selection cleared, chart elements unloaded; start marriage chosen; pre-draw
// transforms; generation numbering from row 51 and placement of every tree, then
// of the families not connected to the start marriage; mirroring; the start tree
// made tree 0; tree tabs; chart-person list; metrics; widths; the selected tree
// shown; tables restored; autosave written. When tree is a tree of the new chart,
// its tab is the one marked afterwards (selected without a click), whatever tab the
// rebuild of the tabs left selected.
//
// A family without a marriage in use shows an empty canvas that accepts a dropped
// person, with only the two permanent tabs; nothing is drawn and no autosave is
// written.
void Build_Keizu(int16_t tree);
// The same rebuild for the tabs that show no single tree, drawing only what they
// show: every tree side by side as Redisp_Keizu draws them (the all-trees tab), or
// nothing (the new-entry tab).
void Build_KeizuAllTrees();
void Build_KeizuUndrawn();

// The redraw of the current tab: every command that changed the family, a name, the
// zoom or the view calls it. The selected tab is rebuilt and stays selected when it
// still exists: a tree tab follows its tree (found again by the first of its
// marriages still on the chart, since the trees are numbered afresh), a tree tab
// whose tree is gone gives way to the first tab, the all-trees
// tab stays the last tab, and the new-entry tab gives way to the first tab when the
// edit added or removed a tree. The chart shown always belongs to the tab selected
// afterwards, and sel_tab and sel_tree name that tab.
void Refresh_TabDisp();

// The tab the chart shows, taken before a command that empties the tab strip (the
// undo reads the whole family back): its index, what it shows, for a tree tab the
// tree's marriages in the grid's row order, and the number of tabs.
struct ShownTab {
    enum class Kind { Tree, NewEntry, AllTrees };
    int tab = 1;
    Kind kind = Kind::Tree;
    std::vector<int16_t> marriages;
    int tabCount = 0;
};
ShownTab shownTab();
// The redraw for the tab shown as taken before the command.
void Refresh_TabDisp(const ShownTab& shown);

} // namespace drawing
