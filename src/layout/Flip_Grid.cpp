#include "layout/Flip_Grid.h"

#include "layout/LayoutIndex.h"
#include "layout/chart_state.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace layout {

namespace {

// The bounds of the run being collected while a row is scanned; -1 = unset.
struct RunBounds {
    int16_t S = -1;  // first column of the run
    int16_t E = -1;  // last column of the run
    int16_t Bs = -1; // left part (line_type 0 cells)
    int16_t Be = -1;
    int16_t Cs = -1; // right part (line_type 1 cells)
    int16_t Ce = -1;
    int16_t M = -1;  // pivot (line_type 2)

    void reverse(int16_t row)
    {
        Flip_ReverseRun(row, S, E, Bs, Be, Cs, Ce, M);
        *this = RunBounds{};
    }
};

// True when the bounds describe one run S..E exactly: a left part Bs..Be ending just
// before the pivot M (or none, with the run starting at M) and a right part Cs..Ce
// starting just after it and ending the run (or none, with the run ending at M).
// Rows whose line types do not come from a marriage group (a type -1 cell inside a
// run, a type-1 cell after a type-0 one) can leave other bounds; such a run is not
// rewritten, so that no cell is lost or written twice.
bool isWholeRun(int16_t S, int16_t E, int16_t Bs, int16_t Be, int16_t Cs, int16_t Ce, int16_t M)
{
    if (M < 0 || S < 0 || S > M || M > E)
        return false;
    const bool left = Bs == -1 ? M == S : Bs == S && Be == M - 1;
    const bool right = Cs == -1 ? E == M : Cs == M + 1 && Ce == E;
    return left && right;
}

} // namespace

void Flip_ReverseRun(int16_t row, int16_t S, int16_t E, int16_t Bs, int16_t Be, int16_t Cs,
                     int16_t Ce, int16_t M)
{
    if (row < 0 || row > GridLastRow || !isWholeRun(S, E, Bs, Be, Cs, Ce, M))
        return;
    auto& cells = chart().cell_buf[static_cast<size_t>(row)];
    if (E > chart().cell_last[static_cast<size_t>(row)])
        return;

    std::vector<cell_rec> run;
    run.reserve(static_cast<size_t>(E - S + 1));
    if (Cs != -1) {
        for (int k = Ce; k >= Cs; --k)
            run.push_back(cells[static_cast<size_t>(k)]);
    }
    run.push_back(cells[static_cast<size_t>(M)]);
    if (Bs != -1) {
        for (int k = Be; k >= Bs; --k)
            run.push_back(cells[static_cast<size_t>(k)]);
    }

    size_t k = static_cast<size_t>(S);
    for (cell_rec& cell : run) {
        if (cell.line_type == 0)
            cell.line_type = 1;
        else if (cell.line_type == 1)
            cell.line_type = 0;
        cells[k++] = cell;
    }
}

int16_t Flip_ScanRow(int16_t column, int16_t lastColumn, int16_t row)
{
    ChartState& c = chart();
    const auto& cells = c.cell_buf[static_cast<size_t>(row)];
    const int last = std::min<int>(lastColumn, c.cell_last[static_cast<size_t>(row)]);
    RunBounds run;
    int16_t prev = 2;
    int col = column;
    for (; col <= last; ++col) {
        const auto k = static_cast<int16_t>(col);
        const int16_t t = cells[static_cast<size_t>(col)].line_type;
        if (t == 0) {
            if (prev == 2) {
                if (run.M != -1) {
                    run.E = static_cast<int16_t>(k - 1);
                    run.reverse(row);
                }
                // A left part left without a pivot is dropped whole, its end included,
                // so that it cannot reach into the run starting here.
                run = RunBounds{};
                run.Bs = k;
                run.S = k;
            } else if (prev == 1) {
                run.E = static_cast<int16_t>(k - 1);
                run.Ce = static_cast<int16_t>(k - 1);
                run.reverse(row);
                run.Bs = k;
                run.S = k;
            }
        } else if (t == 2) {
            if (run.Bs != -1) {
                if (run.Be == -1)
                    run.Be = static_cast<int16_t>(k - 1);
                if (prev == 0)
                    run.M = k;
            }
            if (prev == 2 && run.M != -1) {
                run.E = static_cast<int16_t>(k - 1);
                run.reverse(row);
            } else if (prev == 1) {
                run.E = static_cast<int16_t>(k - 1);
                run.Ce = static_cast<int16_t>(k - 1);
                run.reverse(row);
            }
        } else if (t == 1) {
            if (prev == 2) {
                run.Cs = k;
                run.M = static_cast<int16_t>(k - 1);
                if (run.Bs == -1)
                    run.S = static_cast<int16_t>(k - 1);
            }
        }
        prev = t;
    }
    if (run.M != -1 && last >= 0) {
        run.E = static_cast<int16_t>(last);
        if (prev == 1)
            run.Ce = static_cast<int16_t>(last);
        if (prev == 2 || prev == 1)
            run.reverse(row);
    }
    return static_cast<int16_t>(col);
}

void Flip_Grid()
{
    ChartState& c = chart();
    for (int r = 0; r <= GridLastRow; ++r) {
        auto& cells = c.cell_buf[static_cast<size_t>(r)];
        for (int k = 0; k <= c.cell_last[static_cast<size_t>(r)]; ++k) {
            cell_rec& cell = cells[static_cast<size_t>(k)];
            std::swap(cell.per_a, cell.per_b);
            // A child taken over from a partner's relation stays with that partner,
            // who now stands on the other side of the cell.
            if (cell.kodo_side == 0 || cell.kodo_side == 1)
                cell.kodo_side = static_cast<int16_t>(1 - cell.kodo_side);
        }
    }
    for (int r = 0; r <= GridLastRow; ++r) {
        const int16_t last = c.cell_last[static_cast<size_t>(r)];
        if (last != -1)
            Flip_ScanRow(0, last, static_cast<int16_t>(r));
    }
    detail::gridRewritten();
}

} // namespace layout
