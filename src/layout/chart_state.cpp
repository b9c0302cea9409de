#include "layout/chart_state.h"

#include <cassert>

namespace layout {

ChartState::ChartState()
    : ChartPerIdx(ChartTableRows), ChartPerList(ChartTableRows), bunke_buf(ChartTableRows),
      tab_buf(ChartTableRows), Tree_FirstRow(ChartTableRows, 0), Tree_Shown(ChartTableRows, 1),
      Tree_ExtX(ChartTableRows, 0.0), Tree_ExtY(ChartTableRows, 0.0)
{
    for (auto& row : cell_buf)
        row.resize(DefaultColMax + 1);
    cell_last.fill(-1);
}

cell_rec& ChartState::cellAt(int row, int col)
{
    assert(row >= 0 && row < GridRows && col >= 0 && col < MaxChartLinks);
    auto& cells = cell_buf[static_cast<size_t>(row)];
    if (static_cast<size_t>(col) >= cells.size())
        cells.resize(static_cast<size_t>(col) + 1);
    return cells[static_cast<size_t>(col)];
}

ChartState& chart()
{
    static ChartState state;
    return state;
}

bool isGridCell(int row, int col)
{
    return row >= 0 && row < GridRows && col >= 0
        && static_cast<size_t>(col) < chart().cell_buf[static_cast<size_t>(row)].size();
}

} // namespace layout
