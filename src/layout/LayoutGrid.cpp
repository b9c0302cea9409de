#include "layout/LayoutGrid.h"

#include "layout/ChartTrees.h"
#include "layout/LayoutIndex.h"
#include "layout/chart_state.h"
#include "model/tables.h"
#include "platform/Conversions.h"

#include <algorithm>
#include <limits>
#include <string>
#include <unordered_set>

namespace layout {

namespace {

int lastScannedRow()
{
    return std::min<int>(chart().row_max, GridLastRow);
}

void clearCell(cell_rec& cell)
{
    cell.per_a = -1;
    cell.per_b = -1;
    cell.tree_no = -1;
    cell.kodo_f = -1;
    cell.link_no = -1;
    cell.oya_link = -1;
    cell.mark6 = -1;
    cell.kou_no = -1;
    cell.kodo_side = -1;
    cell.bunke_idx = -1;
    cell.edge_f = -1;
    cell.tree_w = -1.0;
}

bool isUnknownPerson(const model::personal_data& person)
{
    return platform::Trim(person.F_name).empty() && person.Name == "unknown";
}

} // namespace

void Clear_CellBuf()
{
    ChartState& c = chart();
    const size_t columns = static_cast<size_t>(std::max<int>(c.col_max, 0)) + 1;
    for (int r = 0; r <= lastScannedRow(); ++r) {
        auto& row = c.cell_buf[static_cast<size_t>(r)];
        // Cells beyond col_max exist only when an earlier chart had a row wider than
        // col_max + 1 cells; dropping them keeps no stale cell behind the scans.
        row.resize(columns);
        for (cell_rec& cell : row)
            clearCell(cell);
        c.cell_last[static_cast<size_t>(r)] = -1;
    }
    c.tree_cnt = 0;
    c.link_cnt = 0;
    c.gridFull = false;
    c.Copy_Origin.clear();
    c.ChartPerIdx.assign(ChartTableRows, ChartPerIdxRec{});
    // No tree, no tab row: what reads the tabs (the chronology's heading, the group
    // save) names no tree of an earlier chart.
    for (tab_rec& row : c.tab_buf)
        row = tab_rec{};
    model::tables().tab_grp_f = -1;
    Clear_BunkeList();
    detail::gridRewritten();
}

void Clear_ChartPerIdx()
{
    ChartState& c = chart();
    c.ChartPerIdx.assign(ChartTableRows, ChartPerIdxRec{});
    for (ChartPerRec& row : c.ChartPerList)
        row.Flag = -1;
}

void Clear_ChartPerList()
{
    ChartState& c = chart();
    c.ChartPerList.resize(ChartTableRows);
    for (ChartPerRec& row : c.ChartPerList) {
        row.Flag = -1;
        row.Name.clear();
        row.B_day.clear();
        row.Death_day.clear();
        row.Sex = 0;
        row.Age = -1;
    }
}

void Build_ChartPerList()
{
    Clear_ChartPerList();
    ChartState& c = chart();
    const auto& per_buf = model::tables().per_buf;

    // A name equal to that of any row 0..n is not listed again. Row 0 and the next
    // free row hold the empty name, so a person whose names are both empty is left out.
    std::unordered_set<std::string> listed{std::string()};
    size_t n = 1;

    // A temporary copy of the multiple-marriage expansion stands for its original: the
    // copy's slot is freed once the chart is drawn, so the list names the person himself.
    auto addPerson = [&](int16_t slot) {
        const int16_t p = personOfCell(slot);
        if (!model::isSlot(p))
            return;
        const model::personal_data& person = per_buf[static_cast<size_t>(p)];
        if (isUnknownPerson(person))
            return;
        std::string name = person.F_name + person.Name;
        if (!listed.insert(name).second)
            return;
        if (n >= c.ChartPerList.size())
            c.ChartPerList.resize(n + 1);
        ChartPerRec& row = c.ChartPerList[n];
        row.Flag = 1;
        row.Name = std::move(name);
        row.Sex = person.Sex;
        row.B_day = person.B_day;
        row.Death_day = person.Death_day;
        row.Age = person.Age;
        row.PerIdx = p;
        ++n;
    };

    // Only the links this chart gave out: an entry at link_cnt or beyond may describe
    // a cell of an earlier chart.
    const size_t links = std::min(static_cast<size_t>(std::max<int>(c.link_cnt, 0)),
                                  c.ChartPerIdx.size());
    for (size_t i = 0; i < links; ++i) {
        const ChartPerIdxRec where = c.ChartPerIdx[i];
        if (where.row == -1 || where.col == -1 || !isGridCell(where.row, where.col))
            break;
        const cell_rec& cell = c.cell_buf[static_cast<size_t>(where.row)][static_cast<size_t>(where.col)];
        if (cell.per_a != -1)
            addPerson(cell.per_a);
        if (cell.per_b != -1)
            addPerson(cell.per_b);
    }
}

void Clear_BunkeList()
{
    ChartState& c = chart();
    c.bunke_buf.resize(ChartTableRows);
    for (bunke_rec& row : c.bunke_buf) {
        row.head = -1;
        row.kind = 0;
    }
    c.bunke_cnt = -1;
}

int16_t Add_BunkeLink(int16_t kind, int16_t kou_a, int16_t kou_b, int16_t tree, int16_t extra)
{
    ChartState& c = chart();
    if (c.bunke_cnt >= std::numeric_limits<int16_t>::max() - 1)
        return -1;
    const int16_t index = static_cast<int16_t>(c.bunke_cnt + 1);
    if (static_cast<size_t>(index) >= c.bunke_buf.size())
        c.bunke_buf.resize(static_cast<size_t>(index) + 1);
    bunke_rec& row = c.bunke_buf[static_cast<size_t>(index)];
    row.kind = kind;
    row.kou_a = kou_a;
    row.kou_b = kou_b;
    row.tree_no = tree;
    row.extra = kind == 1 ? extra : int16_t{-1};
    row.pos.fill(-1.0);
    c.bunke_cnt = index;
    return index;
}

int Find_GridCell(int16_t value, int16_t& row, int16_t& col)
{
    const ChartState& c = chart();
    for (int r = 0; r <= GridLastRow; ++r) {
        const auto& cells = c.cell_buf[static_cast<size_t>(r)];
        for (int k = 0; k <= c.cell_last[static_cast<size_t>(r)]; ++k) {
            if (cells[static_cast<size_t>(k)].link_no == value) {
                row = static_cast<int16_t>(r);
                col = static_cast<int16_t>(k);
                return 0;
            }
        }
    }
    return -1;
}

} // namespace layout
