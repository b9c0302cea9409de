#include "drawing/ChartRebuild.h"

#include "drawing/ChartViews.h"
#include "forms/BusyPointer.h"
#include "layout/ChartMetrics.h"
#include "layout/ChartTrees.h"
#include "layout/ChartView.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"
#include "model/tables.h"
#include "model/WindowServices.h"

#include <algorithm>
#include <vector>

namespace drawing {

namespace {

using TabKind = ShownTab::Kind;

// Calls f(cell) for every placed cell of the grid, row by row.
template <class F>
void forEachPlacedCell(F&& f)
{
    const layout::ChartState& c = layout::chart();
    const int lastRow = std::min<int>(c.row_max, layout::GridLastRow);
    for (int r = 0; r <= lastRow; ++r) {
        const auto& cells = c.cell_buf[static_cast<size_t>(r)];
        const int last = std::min<int>(c.cell_last[static_cast<size_t>(r)], static_cast<int>(cells.size()) - 1);
        for (int k = 0; k <= last; ++k)
            f(cells[static_cast<size_t>(k)]);
    }
}

// Tabs 1..tree_cnt show a tree each, then come the new-entry tab and the all-trees tab.
TabKind kindOf(int tab, int trees)
{
    if (tab <= trees)
        return TabKind::Tree;
    if (tab == trees + 2)
        return TabKind::AllTrees;
    return TabKind::NewEntry;
}

// --- Refresh_TabDisp's steps ---

void rebuildFor(TabKind kind)
{
    const forms::BusyPointer busy;
    switch (kind) {
    case TabKind::Tree:
        Build_Keizu(layout::chart().sel_tree);
        break;
    case TabKind::AllTrees:
        Build_KeizuAllTrees();
        break;
    case TabKind::NewEntry:
        // Draws nothing for this tab: the canvas stays empty for a dropped person
        // (a tree tab selected afterwards draws its tree).
        Build_KeizuUndrawn();
        break;
    }
}

// The tab to select after the rebuild: the same one while the number of tabs stayed;
// otherwise a tree tab that no longer exists gives way to the first tab, the
// all-trees tab is the new last tab, and the new-entry tab gives way to the first
// tab (the tree just made, or the new-entry tab again when no tree is left).
int tabToSelect(TabKind kind, int tab, int countBefore, int countAfter)
{
    if (countAfter == countBefore)
        return tab;
    switch (kind) {
    case TabKind::Tree:
        return tab > countAfter - 2 ? 1 : tab;
    case TabKind::AllTrees:
        return countAfter;
    case TabKind::NewEntry:
        break;
    }
    return 1;
}

// The marriages of the tree tab `tab` shows, in the grid's row order. After a
// rebuild the trees are numbered afresh; the tree is found again by the first of
// these marriages still on the chart.
std::vector<int16_t> marriagesOfTab(int tab)
{
    const int16_t tree = layout::treeOfTab(static_cast<int16_t>(tab - 1));
    std::vector<bool> seen(model::LastSlot + 1, false);
    std::vector<int16_t> marriages;
    forEachPlacedCell([&](const layout::cell_rec& cell) {
        if (cell.tree_no == tree && model::isMarriageSlot(cell.kou_no) && !seen[static_cast<size_t>(cell.kou_no)]) {
            seen[static_cast<size_t>(cell.kou_no)] = true;
            marriages.push_back(cell.kou_no);
        }
    });
    return marriages;
}

// The tab of the tree that holds the first of marriages found on the chart; -1 when
// none of them is on it any more.
int tabHolding(const std::vector<int16_t>& marriages)
{
    if (marriages.empty())
        return -1;
    std::vector<int16_t> treeOf(model::LastSlot + 1, -1);
    forEachPlacedCell([&](const layout::cell_rec& cell) {
        if (model::isMarriageSlot(cell.kou_no) && treeOf[static_cast<size_t>(cell.kou_no)] == -1)
            treeOf[static_cast<size_t>(cell.kou_no)] = cell.tree_no;
    });
    const int trees = layout::chart().tree_cnt;
    for (int16_t kou : marriages) {
        const int16_t tree = treeOf[static_cast<size_t>(kou)];
        if (tree >= 0 && tree < trees)
            return layout::tabOfTree(tree) + 1;
    }
    return -1;
}

// The new-entry tab stays: the canvas is emptied again (the rebuild may have drawn
// the first tree), accepts a dropped person, and the relationship editor that
// persons are dragged from comes forward.
void keepNewEntryTabEmpty()
{
    layout::Unload_ChartCtl();
    layout::chart().shownTree = -1;
    model::windowServices().setChartAcceptsDrops(true);
    layout::chartView().raiseRelationEditor();
}

// The tree of a tree tab, when the rebuild drew another one (or none): the rebuild
// drew the tree of the tab selected before it, which may be gone.
void showTreeOfTab(int tab)
{
    const int16_t tree = static_cast<int16_t>(tab - 1);
    if (layout::chart().shownTree == tree)
        return;
    const forms::BusyPointer busy;
    // The grid refers to the temporary person copies; the same transforms give
    // them again for the drawing.
    layout::TemporaryTransforms transforms;
    Setup_ChartView(tree);
}

void selectTab(int tab)
{
    layout::ChartView& view = layout::chartView();
    layout::ChartState& c = layout::chart();
    if (tab >= 1 && tab <= view.tabCount() && tab != view.selectedTab())
        view.selectTabQuietly(tab);
    if (kindOf(tab, c.tree_cnt) == TabKind::Tree)
        showTreeOfTab(tab);
    c.sel_tab = static_cast<int16_t>(tab);
    c.sel_tree = static_cast<int16_t>(tab - 1);
}

} // namespace

ShownTab shownTab()
{
    const layout::ChartView& view = layout::chartView();
    ShownTab shown;
    shown.tabCount = view.tabCount();
    // A strip without a selection counts as its first tab.
    shown.tab = std::max(view.selectedTab(), 1);
    shown.kind = kindOf(shown.tab, layout::chart().tree_cnt);
    if (shown.kind == TabKind::Tree)
        shown.marriages = marriagesOfTab(shown.tab);
    return shown;
}

void Refresh_TabDisp()
{
    Refresh_TabDisp(shownTab());
}

void Refresh_TabDisp(const ShownTab& shown)
{
    layout::ChartView& view = layout::chartView();
    layout::ChartState& c = layout::chart();
    view.hideSelectionFrame();
    const int tab = shown.tab;
    const TabKind kind = shown.kind;
    c.sel_tree = static_cast<int16_t>(tab - 1);

    rebuildFor(kind);

    // A tree tab follows its tree, wherever the new numbering put it.
    const int followed = tabHolding(shown.marriages);
    const int target = followed != -1 ? followed : tabToSelect(kind, tab, shown.tabCount, view.tabCount());
    if (kind == TabKind::NewEntry && kindOf(target, c.tree_cnt) == TabKind::NewEntry)
        keepNewEntryTabEmpty();
    selectTab(target);
}

} // namespace drawing
