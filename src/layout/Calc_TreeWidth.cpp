#include "layout/Calc_TreeWidth.h"

#include "layout/chart_state.h"
#include "model/settings.h"
#include "model/tables.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace layout {

namespace {

// The chart state lives as long as the program; its address is taken once.
ChartState& state()
{
    static ChartState& c = chart();
    return c;
}

cell_rec& cellOf(int row, int col)
{
    return state().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

int lastColumn(int row)
{
    return state().cell_last[static_cast<size_t>(row)];
}

// The cells of each row ordered by parent link, tree and column, so that "the cells
// of row r under link L (in tree T), left to right" is one range instead of a scan of
// the row. Built by Calc_TreeWidth for its own pass; parent links and trees do not
// change while widths are measured.
class ParentLinkIndex {
public:
    void build()
    {
        const ChartState& c = state();
        for (int r = 0; r < GridRows; ++r) {
            auto& entries = m_rows[static_cast<size_t>(r)];
            entries.clear();
            for (int k = 0; k <= c.cell_last[static_cast<size_t>(r)]; ++k) {
                const cell_rec& cell = cellOf(r, k);
                entries.push_back(Entry{cell.oya_link, cell.tree_no, static_cast<int16_t>(k)});
            }
            std::sort(entries.begin(), entries.end());
        }
    }

    // Calls f(column) for every cell of the row whose oya_link is link, left to right.
    template <typename F>
    void forEachChild(int row, int16_t link, F f) const
    {
        const auto [first, last] = range(row, Entry{link, Lowest, Lowest}, Entry{link, Highest, Highest});
        if (first == last)
            return;
        if (first->tree == (last - 1)->tree) {
            for (auto it = first; it != last; ++it)
                f(it->col);
            return;
        }
        // Children of one parent in several trees: back into column order.
        std::vector<int16_t> columns;
        for (auto it = first; it != last; ++it)
            columns.push_back(it->col);
        std::sort(columns.begin(), columns.end());
        for (const int16_t col : columns)
            f(col);
    }

    // Calls f(column) for every cell of the row with that oya_link and tree, left to right.
    template <typename F>
    void forEachInTree(int row, int16_t link, int16_t tree, F f) const
    {
        const auto [first, last] = range(row, Entry{link, tree, Lowest}, Entry{link, tree, Highest});
        for (auto it = first; it != last; ++it)
            f(it->col);
    }

private:
    struct Entry {
        int16_t link;
        int16_t tree;
        int16_t col;
        bool operator<(const Entry& o) const
        {
            return link != o.link ? link < o.link : tree != o.tree ? tree < o.tree : col < o.col;
        }
    };
    static constexpr int16_t Lowest = std::numeric_limits<int16_t>::min();
    static constexpr int16_t Highest = std::numeric_limits<int16_t>::max();

    std::pair<std::vector<Entry>::const_iterator, std::vector<Entry>::const_iterator>
    range(int row, const Entry& low, const Entry& high) const
    {
        const auto& entries = m_rows[static_cast<size_t>(row)];
        const auto first = std::lower_bound(entries.begin(), entries.end(), low);
        const auto last = std::upper_bound(first, entries.end(), high);
        return {first, last};
    }

    std::array<std::vector<Entry>, GridRows> m_rows;
};

// Set while Calc_TreeWidth runs; outside it (the drawing walk) the rows are scanned.
const ParentLinkIndex* s_links = nullptr;

template <typename F>
void forEachWithParent(int row, int16_t link, F f)
{
    if (s_links) {
        s_links->forEachChild(row, link, f);
        return;
    }
    for (int k = 0; k <= lastColumn(row); ++k) {
        if (cellOf(row, k).oya_link == link)
            f(static_cast<int16_t>(k));
    }
}

template <typename F>
void forEachWithParentInTree(int row, int16_t link, int16_t tree, F f)
{
    if (s_links) {
        s_links->forEachInTree(row, link, tree, f);
        return;
    }
    for (int k = 0; k <= lastColumn(row); ++k) {
        const cell_rec& cell = cellOf(row, k);
        if (cell.oya_link == link && cell.tree_no == tree)
            f(static_cast<int16_t>(k));
    }
}

// Callers outside the width pass (the drawing walk) name cells by row and column;
// a position outside the grid has no width and no children.
bool isCell(int row, int col)
{
    return row >= 0 && row < GridRows && col >= 0
        && static_cast<size_t>(col) < state().cell_buf[static_cast<size_t>(row)].size();
}

} // namespace

double Calc_BoxWidth(int16_t row, int16_t col)
{
    if (!isCell(row, col))
        return 0.0;
    const ChartState& c = chart();
    const cell_rec& cell = cellOf(row, col);
    const bool icons = model::settings().Dispmode_Icon != 0;
    const double icon = icons ? c.icon_w : 0.0;
    // One box when the other side holds no person: empty, or the blank partner,
    // which takes no box.
    if (cell.per_b != -1 && !model::isPersonSlot(cell.per_a))
        return c.box_w + icon;
    if (cell.per_a != -1 && !model::isPersonSlot(cell.per_b))
        return c.box_w + icon;
    if (cell.per_a != -1 && cell.per_b != -1) {
        if (cell.line_type == 2)
            return 2 * c.box_w + c.pair_gap + 2 * icon;
        if (cell.line_type == 0 || cell.line_type == 1)
            return c.box_w + c.pair_gap + icon;
    }
    return 0.0;
}

int16_t Count_ChildCells(int16_t row, int16_t col, int16_t link)
{
    if (!isCell(row, col))
        return -1;
    const cell_rec& cell = cellOf(row, col);
    if (cell.per_a == -1 || cell.per_b == -1 || row >= GridLastRow || lastColumn(row + 1) == -1)
        return -1;
    int count = 0;
    forEachWithParent(row + 1, link, [&](int16_t) { ++count; });
    return static_cast<int16_t>(count - 1);
}

int16_t Get_MarryCells(int16_t row, int16_t col, std::vector<int16_t>& list)
{
    list.clear();
    if (!isCell(row, col))
        return -1;
    const cell_rec& cell = cellOf(row, col);
    const int16_t A = cell.oya_link;
    const int16_t T = cell.tree_no;
    if (cell.cell_mode != 1) {
        bool hasRelation = false;
        forEachWithParentInTree(row, A, T, [&](int16_t k) { hasRelation = hasRelation || cellOf(row, k).cell_mode == 1; });
        if (!hasRelation)
            return -1;
    }
    forEachWithParentInTree(row, A, T, [&](int16_t k) {
        if (cellOf(row, k).done_f != -2)
            list.push_back(k);
    });
    return static_cast<int16_t>(static_cast<int>(list.size()) - 1);
}

double Calc_CellWidth(int16_t row, int16_t col)
{
    if (!isCell(row, col))
        return 0.0;
    const double own = Calc_BoxWidth(row, col);
    cellOf(row, col).done_f = -2;
    const int16_t link = cellOf(row, col).link_no;

    double width = own;
    if (Count_ChildCells(row, col, link) != -1) {
        // A child measured meanwhile as part of an earlier child's group is skipped
        // when the loop reaches it.
        double sum = 0;
        int count = 0;
        forEachWithParent(row + 1, link, [&](int16_t k) {
            if (cellOf(row + 1, k).done_f == -2)
                return;
            sum += Calc_GroupWidth(static_cast<int16_t>(row + 1), k);
            ++count;
        });
        if (count > 1)
            sum += chart().sib_gap * (count - 1);
        if (sum > own)
            width = sum;
    }
    cellOf(row, col).tree_w = width;
    return width;
}

double Calc_GroupWidth(int16_t row, int16_t col)
{
    if (!isCell(row, col))
        return 0.0;
    std::vector<int16_t> list;
    const int16_t n = Get_MarryCells(row, col, list);
    if (n == -1)
        return cellOf(row, col).done_f != -2 ? Calc_CellWidth(row, col) : 0.0;
    double width = 0;
    for (const int16_t k : list) {
        if (cellOf(row, k).done_f != -2)
            width += Calc_CellWidth(row, k);
    }
    return width + chart().sib_gap * n;
}

void Calc_TreeWidth()
{
    ChartState& c = chart();
    const int lastRow = std::min<int>(c.row_max, GridLastRow);
    // Every cell of the rows, also those a wide row has beyond col_max, so that no
    // cell keeps the width of an earlier pass.
    for (int r = 0; r <= lastRow; ++r) {
        for (cell_rec& cell : c.cell_buf[static_cast<size_t>(r)]) {
            cell.tree_w = -1.0;
            cell.done_f = -1;
        }
    }

    static ParentLinkIndex links; // keeps its storage from one pass to the next
    links.build();
    struct ActiveIndex {
        explicit ActiveIndex(const ParentLinkIndex* index) { s_links = index; }
        ~ActiveIndex() { s_links = nullptr; }
    } active(&links);
    for (int r = 0; r <= lastRow; ++r) {
        const int last = lastColumn(r);
        if (last == -1)
            continue;
        // Main marriages first, then every cell still unmeasured: a relation that
        // heads a tree of its own in a row that also holds main marriages is reached
        // by no parent, and without a width its tree could not be drawn.
        for (int k = 0; k <= last; ++k) {
            const cell_rec& cell = cellOf(r, k);
            if (cell.tree_w == -1.0 && (cell.cell_mode == 0 || cell.cell_mode == 2))
                Calc_GroupWidth(static_cast<int16_t>(r), static_cast<int16_t>(k));
        }
        for (int k = 0; k <= last; ++k) {
            if (cellOf(r, k).tree_w == -1.0)
                Calc_GroupWidth(static_cast<int16_t>(r), static_cast<int16_t>(k));
        }
    }
}

} // namespace layout
