#include "layout/ChartTrees.h"

#include "layout/chart_state.h"
#include "model/tables.h"

#include <algorithm>

namespace layout {

namespace {

bool lineageTabsInUse()
{
    return model::tables().tab_grp_f != -1;
}

} // namespace

int16_t treeOfTab(int16_t tab)
{
    const auto& tabs = chart().tab_buf;
    if (!lineageTabsInUse() || tab < 0 || static_cast<size_t>(tab) >= tabs.size())
        return tab;
    const int16_t tree = tabs[static_cast<size_t>(tab)].tree_no;
    return tree != -1 ? tree : tab;
}

int16_t tabOfTree(int16_t tree)
{
    if (!lineageTabsInUse())
        return tree;
    const auto& tabs = chart().tab_buf;
    const auto row = std::find_if(tabs.begin(), tabs.end(), [tree](const tab_rec& t) { return t.tree_no == tree; });
    return row != tabs.end() ? static_cast<int16_t>(row - tabs.begin()) : tree;
}

void Remember_CopyOrigins()
{
    const auto& per_buf = model::tables().per_buf;
    std::vector<int16_t>& origin = chart().Copy_Origin;
    origin.assign(per_buf.size(), -1);
    for (size_t p = 0; p < per_buf.size(); ++p)
        origin[p] = per_buf[p].OrgIdx;
}

int16_t personOfCell(int16_t slot)
{
    const std::vector<int16_t>& origin = chart().Copy_Origin;
    if (slot < 0 || static_cast<size_t>(slot) >= origin.size() || origin[static_cast<size_t>(slot)] == -1)
        return slot;
    return origin[static_cast<size_t>(slot)];
}

std::vector<bool> personsOnChart(int16_t tree)
{
    const ChartState& c = chart();
    std::vector<bool> on(model::RecordCount, false);
    if (tree == c.tree_cnt)
        return on;
    if (tree == c.tree_cnt + 1) {
        on.assign(on.size(), true);
        return on;
    }
    tree = treeOfTab(tree);
    if (tree < 0)
        return on;
    for (int r = 0; r < GridRows; ++r) {
        const auto& cells = c.cell_buf[static_cast<size_t>(r)];
        const int last = std::min<int>(c.cell_last[static_cast<size_t>(r)], static_cast<int>(cells.size()) - 1);
        for (int k = 0; k <= last; ++k) {
            const cell_rec& cell = cells[static_cast<size_t>(k)];
            if (cell.tree_no != tree)
                continue;
            // An empty half of a cell (-1) names nobody.
            for (const int16_t slot : {cell.per_a, cell.per_b}) {
                const int16_t person = personOfCell(slot);
                if (model::isSlot(person))
                    on[static_cast<size_t>(person)] = true;
            }
        }
    }
    return on;
}

int16_t Is_OnChart(int16_t tree, int16_t person)
{
    const ChartState& c = chart();
    if (tree == c.tree_cnt)
        return -1;
    if (tree == c.tree_cnt + 1)
        return 1;
    if (!model::isSlot(person))
        return -1;
    return personsOnChart(tree)[static_cast<size_t>(person)] ? 1 : -1;
}

} // namespace layout
