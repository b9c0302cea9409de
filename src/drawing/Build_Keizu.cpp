#include "drawing/ChartRebuild.h"

#include "drawing/ChartViews.h"
#include "forms/BusyPointer.h"
#include "layout/Calc_TreeWidth.h"
#include "layout/ChartMetrics.h"
#include "layout/ChartTrees.h"
#include "layout/ChartView.h"
#include "layout/Flip_Grid.h"
#include "layout/LayoutGrid.h"
#include "layout/LayoutSession.h"
#include "layout/Number_Gen.h"
#include "layout/Place_Generations.h"
#include "layout/TemporaryTransforms.h"
#include "layout/chart_state.h"
#include "layout/predraw/PreDraw.h"
#include "model/DispStat.h"
#include "model/WindowServices.h"
#include "document/Snapshots.h"
#include "model/settings.h"
#include "model/tables.h"

#include <algorithm>
#include <string>
#include <vector>

namespace drawing {

namespace {

// The start marriage numbers as the middle row of the grid's rows 0..100, leaving
// room for its ancestors above and its descendants below.
constexpr int16_t StartRow = 100 / 2 + 1;

// Caption of a tree tab whose first couple has no marriage record.
constexpr const char* UntitledTreeCaption = "****家";

layout::ChartState& chartState()
{
    return layout::chart();
}

using model::marriage;

// Calls f(cell) for every placed cell of rows 0..row_max, row by row, left to right.
// Rows are scanned up to their last placed cell, also beyond col_max, so that no
// placed cell is left out of the renumbering or the tab captions.
template <class F>
void forEachPlacedCell(F&& f)
{
    layout::ChartState& c = chartState();
    const int lastRow = std::min<int>(c.row_max, layout::GridLastRow);
    for (int r = 0; r <= lastRow; ++r) {
        auto& cells = c.cell_buf[static_cast<size_t>(r)];
        const int last = std::min<int>(c.cell_last[static_cast<size_t>(r)], static_cast<int>(cells.size()) - 1);
        for (int k = 0; k <= last; ++k) {
            if (!f(r, cells[static_cast<size_t>(k)]))
                break;
        }
    }
}

// --- Step 1 ---

void prepareChart()
{
    model::Apply_DispModes();
    model::windowServices().clearSelection();
    layout::Unload_ChartCtl();
}

// --- Step 2: the marriage the chart starts from; the mark given here is kept ---

int16_t chooseStartMarriage()
{
    auto& kou = model::tables().kou_buf;
    for (int k = 1; k <= model::LastSlot; ++k) {
        if (model::isUsedMarriage(k) && kou[static_cast<size_t>(k)].dsp_start == 1)
            return static_cast<int16_t>(k);
    }
    for (int k = 1; k <= model::LastSlot; ++k) {
        if (model::isUsedMarriage(k)) {
            kou[static_cast<size_t>(k)].dsp_start = 1;
            return static_cast<int16_t>(k);
        }
    }
    return -1;
}

// The tree tabs of the last rebuild go: tab_cnt of them, and any other tab the strip
// holds in front of its two permanent tabs, so that tabs whose count was forgotten
// (the chart state of a new family) do not stay in front of the new ones.
int oldTreeTabs()
{
    return std::max<int>(chartState().tab_cnt, layout::chartView().tabCount() - 2);
}

void removeTreeTabs()
{
    const int count = oldTreeTabs();
    if (count > 0)
        layout::chartView().removeTreeTabs(count);
}

// --- Step 3: no marriage at all ---

void showEmptyChart()
{
    layout::ChartState& c = chartState();
    removeTreeTabs();
    c.tab_cnt = -1;
    // The grid of the family that was shown goes as well: with no tree left, nothing
    // may draw or list the persons of a chart that no longer exists.
    layout::Clear_CellBuf();
    c.tree_cnt = 0;
    c.shownTree = -1;
    model::windowServices().setChartAcceptsDrops(true);
    c.sel_tab = 1;
    c.sel_tree = 0;
    layout::Clear_ChartPerList();
}

// --- Step 4 ---

void beginChart()
{
    model::windowServices().setChartAcceptsDrops(false);
}

// --- Steps 5 and 6: numbering and placement, one look-up index for all of it ---

void layOutFamily()
{
    const layout::LayoutSession session;
    layout::Reset_KouGen();
    const int16_t start = chartState().start_kou;
    layout::Number_Gen(StartRow, start, -1);
    layout::Clear_CellBuf();
    layout::Place_Generations();
    // Families not connected to the start marriage follow to the right, each with
    // trees of their own.
    for (int k = 0; k <= model::LastSlot; ++k) {
        if (model::isUsedMarriage(k) && marriage(k).kou_gen == -100) {
            layout::Number_Gen(StartRow, static_cast<int16_t>(k), -1);
            layout::Place_Generations();
        }
    }
}

// --- Step 7 ---

void mirrorIfFlipped()
{
    if (model::settings().Dispmode_Flip == 1)
        layout::Flip_Grid();
}

// --- Step 8: the start marriage's tree becomes tree 0 and gets the first tab ---

void makeStartTreeFirst()
{
    const int16_t start = chartState().start_kou;
    int16_t startTree = -1;
    int lastRow = -1;
    forEachPlacedCell([&](int r, const layout::cell_rec& cell) {
        if (r != lastRow && cell.kou_no == start) {
            // The first such cell of a row counts, the last such row wins.
            lastRow = r;
            startTree = cell.tree_no;
        }
        return true;
    });
    if (startTree <= 0)
        return;
    // Exchanged in one pass: a spare number in between could be a real tree number
    // of a family with that many trees.
    forEachPlacedCell([startTree](int, layout::cell_rec& cell) {
        if (cell.tree_no == startTree)
            cell.tree_no = 0;
        else if (cell.tree_no == 0)
            cell.tree_no = startTree;
        return true;
    });
}

// --- Step 9: the tree tabs ---

// Rows 0..tree_cnt - 1 of tab_buf: each tree with the title of its first couple
// (the husband's side, per_b once mirrored). The layout's Clear_CellBuf emptied every row.
void captionTrees()
{
    layout::ChartState& c = chartState();
    const int trees = c.tree_cnt;
    std::vector<std::string> captions(static_cast<size_t>(trees), UntitledTreeCaption);
    std::vector<bool> decided(static_cast<size_t>(trees), false);
    const bool mirrored = model::settings().Dispmode_Flip != 0;
    forEachPlacedCell([&](int, const layout::cell_rec& cell) {
        const int16_t t = cell.tree_no;
        if (t < 0 || t >= trees || decided[static_cast<size_t>(t)])
            return true;
        const int16_t person = mirrored ? cell.per_b : cell.per_a;
        if (!model::isPersonSlot(person))
            return true;
        decided[static_cast<size_t>(t)] = true;
        if (cell.kou_no != -1)
            captions[static_cast<size_t>(t)] = marriage(cell.kou_no).kou_title;
        return true;
    });
    for (int i = 0; i < trees; ++i) {
        layout::tab_rec& row = c.tab_buf[static_cast<size_t>(i)];
        row = layout::tab_rec{};
        row.tree_no = static_cast<int16_t>(i);
        row.caption = captions[static_cast<size_t>(i)];
        row.grp_f = -1;
    }
}

// The tab row of tree t among rows 0..tree_cnt - 1; -1 when none.
int tabRowOfTree(int16_t t)
{
    const layout::ChartState& c = chartState();
    for (int r = 0; r < c.tree_cnt; ++r) {
        if (c.tab_buf[static_cast<size_t>(r)].tree_no == t)
            return r;
    }
    return -1;
}

// The tree holding a lineage group's leader goes first, titled by the group. Groups
// are taken from last to first, each moved to the front, so their tabs end up in
// group-list order ahead of the plain tree tabs.
void moveLineageTreesFirst()
{
    const model::Tables& t = model::tables();
    layout::ChartState& c = chartState();
    for (int g = t.GrpTitleCount; g >= 0; --g) {
        const model::GrpTitleRec& group = t.GrpTitleList[static_cast<size_t>(g)];
        if (group.Leader == -1)
            continue;
        int row = -1;
        forEachPlacedCell([&](int, const layout::cell_rec& cell) {
            if (row != -1)
                return false;
            if (cell.per_a != group.Leader && cell.per_b != group.Leader)
                return true;
            const int r = tabRowOfTree(cell.tree_no);
            if (r != -1 && c.tab_buf[static_cast<size_t>(r)].grp_f == -1)
                row = r;
            return row == -1;
        });
        if (row == -1)
            continue;
        layout::tab_rec moved = c.tab_buf[static_cast<size_t>(row)];
        std::move_backward(c.tab_buf.begin(), c.tab_buf.begin() + row, c.tab_buf.begin() + row + 1);
        moved.caption = group.TitleName;
        moved.Offset = group.Offset;
        moved.Visible = group.Visible;
        moved.grp_f = 1;
        c.tab_buf[0] = moved;
        model::tables().tab_grp_f = 1;
    }
}

void buildTreeTabs()
{
    layout::ChartState& c = chartState();
    layout::ChartView& view = layout::chartView();
    // The old tabs give way to the new ones in one step below.
    const int oldTabs = std::max(oldTreeTabs(), 0);
    captionTrees();
    if (model::tables().GrpTitleCount != -1)
        moveLineageTreesFirst();
    std::vector<std::string> captions;
    captions.reserve(static_cast<size_t>(c.tree_cnt));
    for (int i = 0; i < c.tree_cnt; ++i)
        captions.push_back(c.tab_buf[static_cast<size_t>(i)].caption);
    view.replaceTreeTabs(oldTabs, captions);
    c.tab_cnt = c.tree_cnt;
}

// --- Step 10 ---

void measureChart()
{
    layout::Build_ChartPerList();
    layout::setMetricsForWriteState();
    layout::Calc_TreeWidth();
}

// --- Step 11: only what the tab shows is drawn: the tree asked for while a tree tab
// --- is selected, every tree side by side, or nothing (the new-entry tab) ---

enum class Shown { SelectedTree, AllTrees, Nothing };

void showChart(Shown shown, int16_t tree)
{
    layout::ChartState& c = chartState();
    layout::ChartView& view = layout::chartView();
    // The tab rebuild keeps only the number of the selected tab, clamped while the old
    // tree tabs went: the tab of the tree asked for is marked again, so that the strip
    // and sel_tab name the tree drawn and every command on the shown tree takes that one.
    if (shown == Shown::SelectedTree && tree >= 0 && tree < c.tree_cnt)
        view.selectTabQuietly(tree + 1);
    c.sel_tab = static_cast<int16_t>(view.selectedTab());
    c.shownTree = -1;
    if (shown == Shown::AllTrees)
        drawAllTreesView();
    else if (shown == Shown::SelectedTree && c.sel_tab <= c.tree_cnt)
        Setup_ChartView(tree);
}

// Steps 4 to 11, for a family with a marriage to start from.
void buildChart(Shown shown, int16_t tree)
{
    const forms::BusyPointer busy;
    beginChart();
    layout::Mark_MultiParent();
    // Backup_Bufs, Hide_Branches, Expand_MultiMarry now; Restore_Bufs below, or on
    // the way out of a step that throws.
    layout::TemporaryTransforms transforms;
    layOutFamily();
    layout::Remember_CopyOrigins();
    mirrorIfFlipped();
    makeStartTreeFirst();
    buildTreeTabs();
    measureChart();
    showChart(shown, tree);
    transforms.restore();
    // Said once the chart stands behind the message, about the family as it is.
    layout::reportExpansionShortfall(transforms.shortfall());
}

void rebuild(Shown shown, int16_t tree)
{
    prepareChart();
    chartState().start_kou = chooseStartMarriage();
    if (chartState().start_kou == -1)
        showEmptyChart();
    else
        buildChart(shown, tree);
    // The snapshot holds the family as it is after every rebuild (within a user
    // command, as the command leaves it), without the temporary copies, also when
    // there is no marriage to draw. A failure has been shown by the writer; the
    // chart stands either way.
    (void)model::Request_Autosave();
}

} // namespace

void Build_Keizu(int16_t tree)
{
    rebuild(Shown::SelectedTree, tree);
}

void Build_KeizuAllTrees()
{
    rebuild(Shown::AllTrees, 0);
}

void Build_KeizuUndrawn()
{
    rebuild(Shown::Nothing, 0);
}

} // namespace drawing
