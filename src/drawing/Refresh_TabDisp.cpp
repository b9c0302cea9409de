#include "drawing/ChartRebuild.h"

#include "drawing/BusyPointer.h"
#include "drawing/ChartViews.h"
#include "layout/ChartMetrics.h"
#include "layout/ChartView.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"
#include "model/WindowServices.h"

#include <algorithm>

namespace drawing {

namespace {

enum class TabKind { Tree, NewEntry, AllTrees };

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
    const BusyPointer busy;
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
    const BusyPointer busy;
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

void Refresh_TabDisp()
{
    layout::ChartView& view = layout::chartView();
    layout::ChartState& c = layout::chart();
    view.hideSelectionFrame();
    const int countBefore = view.tabCount();
    // A strip without a selection counts as its first tab.
    const int tab = std::max(view.selectedTab(), 1);
    c.sel_tree = static_cast<int16_t>(tab - 1);
    const TabKind kind = kindOf(tab, c.tree_cnt);

    rebuildFor(kind);

    const int target = tabToSelect(kind, tab, countBefore, view.tabCount());
    if (kind == TabKind::NewEntry && kindOf(target, c.tree_cnt) == TabKind::NewEntry)
        keepNewEntryTabEmpty();
    selectTab(target);
}

} // namespace drawing
