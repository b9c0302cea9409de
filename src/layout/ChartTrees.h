#pragma once
// Trees and tabs of the laid-out chart. Tab indexes here are 0-based (tab - 1), the
// number the chart views and the drawing walk are given. While lineage-group tabs
// are in use (tab_grp_f <> -1) the tabs are no longer in tree order: row i of
// tab_buf names the tree of tab index i.

#include <cstdint>
#include <vector>

namespace layout {

// The tree shown by tab index tab: tab_buf's tree number for it while lineage-group
// tabs are in use (unless that row names none), else tab itself.
int16_t treeOfTab(int16_t tab);
// The tab index that shows tree: the first tab_buf row naming it while lineage-group
// tabs are in use, else the tree itself (also when no row names it).
int16_t tabOfTree(int16_t tree);

// Remembers which person each temporary copy of the multiple-marriage expansion
// stands for; runs while the expansion is in force, right after the layout.
void Remember_CopyOrigins();
// The person a slot named by the grid stands for: the original of a copy, else the
// slot itself.
int16_t personOfCell(int16_t slot);

// For every person slot 0..1024: whether the person stands in a cell of the chart
// of tab index tree, himself or through a copy. The new-entry tab (tree = tree_cnt)
// shows nobody; the all-trees tab (tree = tree_cnt + 1) counts everybody.
std::vector<bool> personsOnChart(int16_t tree);

// 1 when the person stands in a cell of the chart of tab index tree, himself or
// through a copy, -1 otherwise.
// The new-entry tab (tree = tree_cnt) shows nobody; the all-trees tab
// (tree = tree_cnt + 1) counts everybody.
int16_t Is_OnChart(int16_t tree, int16_t person);

} // namespace layout
