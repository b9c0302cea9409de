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

} // namespace

void Flip_ReverseRun(int16_t row, int16_t S, int16_t E, int16_t Bs, int16_t Be, int16_t Cs,
                     int16_t Ce, int16_t M)
{
    if (row < 0 || row > GridLastRow || S < 0)
        return;
    ChartState& c = chart();
    auto& cells = c.cell_buf[static_cast<size_t>(row)];
    const int last = std::min<int>(E, c.cell_last[static_cast<size_t>(row)]);

    std::vector<cell_rec> run;
    auto take = [&](int k) {
        if (k >= 0 && k <= c.cell_last[static_cast<size_t>(row)])
            run.push_back(cells[static_cast<size_t>(k)]);
    };
    if (Cs != -1) {
        for (int k = Ce; k >= Cs; --k)
            take(k);
    }
    take(M);
    if (Bs != -1) {
        for (int k = Be; k >= Bs; --k)
            take(k);
    }

    int k = S;
    for (cell_rec& cell : run) {
        if (k > last)
            break;
        if (cell.line_type == 0)
            cell.line_type = 1;
        else if (cell.line_type == 1)
            cell.line_type = 0;
        cells[static_cast<size_t>(k++)] = cell;
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
                // A left part left without a pivot is dropped.
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
        for (int k = 0; k <= c.cell_last[static_cast<size_t>(r)]; ++k)
            std::swap(cells[static_cast<size_t>(k)].per_a, cells[static_cast<size_t>(k)].per_b);
    }
    for (int r = 0; r <= GridLastRow; ++r) {
        const int16_t last = c.cell_last[static_cast<size_t>(r)];
        if (last != -1)
            Flip_ScanRow(0, last, static_cast<int16_t>(r));
    }
    detail::gridRewritten();
}

} // namespace layout
