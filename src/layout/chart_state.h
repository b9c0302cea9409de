#pragma once
// The chart as the whole program sees it: the layout grid cell_buf with its
// companion tables, the tab table, the marriage-group work tables, the metrics
// derived from the zoom and the chart-element counters, all reached through chart().
//
// The grid has one row per generation (rows 0..100). A row is a growable vector
// that always holds at least col_max + 1 cells, so code that scans a row up to
// col_max or up to cell_last of the row stays inside it; placement appends cells at
// cell_last + 1 and the row grows as needed.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace layout {

constexpr int GridRows = 101;       // generation rows 0..100
constexpr int GridLastRow = 100;
constexpr int16_t DefaultRowMax = 100;
constexpr int16_t DefaultColMax = 200;
// Link numbers and columns are 16-bit in the grid: placement stops (with a message)
// rather than give out link number 32767 or beyond.
constexpr int MaxChartLinks = 32767;
// The fixed tables indexed by person, marriage, tree or link have at least 1025 rows.
constexpr int ChartTableRows = 1025;

// One grid cell: a couple, a single person or a reference to a person laid out elsewhere.
struct cell_rec {
    int16_t per_a = -1;     // left box: husband, or a single male child; -1 empty
    int16_t per_b = -1;     // right box: wife, or a single female child; -1 none
    int16_t tree_no = -1;   // tree of the cell; -1 empty
    int16_t kodo_f = -1;    // 1 = reference cell (family laid out elsewhere), else -1
    int16_t link_no = -1;   // the number the cell's child cells carry in oya_link
    int16_t oya_link = -1;  // link_no of the parent cell in the row above; -1 top cell
    int16_t mark6 = -1;     // the blood member (child of the parent cell); -1 none
    double tree_w = -1.0;   // width of the subtree under the cell; -1.0 not computed
    int16_t mark12 = -1;    // side cell of a marriage group: the other partner
    int16_t cell_mode = 0;  // kou_mode of the cell's marriage; 0 for a cell without one
    int16_t kou_no = -1;    // marriage of the cell; -1 none
    int16_t line_type = -1; // 0 husband's-side relation, 1 wife's-side relation, 2 main or single
    int16_t done_f = -1;    // -1 new, -2 measured (width pass) or drawn (drawing walk)
    int16_t kodo_side = -1; // child taken over from a partner's relation: 0 in per_a, 1 in per_b
    int16_t bunke_idx = -1; // row of bunke_buf; -1 none
    int16_t edge_f = -1;    // first/last cell of a marriage group, set by the drawing walk
};

// Where the cell that received a link number stands.
struct ChartPerIdxRec {
    int16_t row = -1;
    int16_t col = -1;
};

// A person of the current chart, as the chronology table reads it.
struct ChartPerRec {
    int16_t Flag = -1;      // 1 row used, -1 empty
    std::string Name;       // family name followed by given name
    int16_t Sex = 0;
    std::string B_day;
    std::string Death_day;
    int16_t Age = -1;
    int16_t PerIdx = -1;    // person slot
};

// One tree tab, in tab order.
struct tab_rec {
    int16_t tree_no = -1;
    std::string caption;
    int16_t Visible = -1;   // copied from the lineage group
    int16_t grp_f = -1;     // 1 caption from a lineage group, -1 from the tree's marriage
    double Offset = 0;      // the lineage group's generation offset
};

// A row of the branch-family link list. Nothing in the program reads it back.
struct bunke_rec {
    int16_t head = -1;      // -1 after clearing; not set by Add_BunkeLink
    int16_t kind = 0;
    int16_t kou_a = -1;
    int16_t kou_b = -1;
    int16_t tree_no = -1;
    int16_t extra = -1;     // the fifth argument of Add_BunkeLink when the kind is 1
    std::array<double, 4> pos{{-1.0, -1.0, -1.0, -1.0}};
};

// A marriage that heads a part of a marriage group, with the relations attached on
// the husband's side (Side0) and on the wife's side (Side1).
struct MarryRowRec {
    int16_t Used = -1;
    int16_t Kou = -1;
    int16_t Titi = -1;
    int16_t Haha = -1;
    std::vector<int16_t> Side0;
    std::vector<int16_t> Side1;
};

// One cell of a marriage group, as the placement writes it into the grid.
struct GroupCellRec {
    int16_t mark12 = -1;
    int16_t cell_mode = -1;
    int16_t kou_no = -1;
    int16_t line_type = -1;
};

// The chart-control arrays of the main window emptied by Unload_ChartCtl.
struct ElementCounters {
    int16_t Label11_cnt = 1; // couple marks
    int16_t Label12_cnt = 1; // name labels, paired with the person-box pictures DPic
    int16_t Label13_cnt = 1; // captions
    int16_t Line1_cnt = 1;
    int16_t Line7_cnt = 1;
    int16_t Image1_cnt = 1;  // face icons
};

struct ChartState {
    ChartState();

    // --- Layout grid ---
    std::array<std::vector<cell_rec>, GridRows> cell_buf;
    std::array<int16_t, GridRows> cell_last; // last used column of each row, -1 empty
    int16_t row_max = DefaultRowMax;         // bounds of the layout's clears and scans
    int16_t col_max = DefaultColMax;
    int16_t tree_cnt = 0;                    // trees laid out; the number the next tree gets
    int16_t link_cnt = 0;                    // the next link number to give out
    std::vector<ChartPerIdxRec> ChartPerIdx; // by link number; at least 1025 rows
    std::vector<ChartPerRec> ChartPerList;   // rows 1.. used, row 0 never; at least 1025 rows
    std::vector<bunke_rec> bunke_buf;        // at least 1025 rows
    int16_t bunke_cnt = -1;                  // last used row, -1 none
    // Set when a placement reached MaxChartLinks; the rest of that build places nothing.
    bool gridFull = false;

    // --- Tabs and start marriage ---
    std::vector<tab_rec> tab_buf;            // rows 0..1024
    int16_t tab_cnt = -1;                    // tree tabs inserted by the last build, -1 none
    int16_t start_kou = -1;
    int16_t sel_tab = 1;
    int16_t sel_tree = 0;

    // --- Marriage-group work tables (rebuilt by every Build_MarryGroup) ---
    std::vector<int16_t> MarryList;          // collected marriages; -1 once moved on
    int16_t MarryList_cnt = -1;
    std::vector<MarryRowRec> MarryRows;      // rows 0..MarryRows_cnt are valid
    int16_t MarryRows_cnt = -1;
    std::vector<GroupCellRec> GroupCells;    // the group's cells, left to right
    int16_t GroupCells_cnt = -1;             // -1 = empty group: a single cell is placed

    // --- Metrics (twips), all Zoom_Scale times a constant ---
    double Zoom_Scale = 15.0;  // zoom percent / 100 x 15
    double Zoom_Ratio = 1.0;   // zoom percent / 100
    double box_w = 0;
    double box_h = 0;
    double pair_gap = 0;
    double gen_gap_a = 0;
    double gen_gap_b = 0;
    double sib_gap = 0;
    double margin_x = 0;
    double margin_y = 0;
    double mark_gap = 0;
    double label_dx = 0;
    double label_dy = 0;
    double icon_w = 0;
    double icon_h = 0;
    double gen_step = 0;

    ElementCounters counters;

    // --- Chart views (single tree, all trees, fit view) ---
    // Chart twips per scroll-bar step: 1.0, or more when the scroll span passes the
    // scroll bars' limit of 32767. The scroll handlers put the canvas at
    // -Scroll_ScaleX x HScroll1 value and -Scroll_ScaleY x VScroll1 value.
    double Scroll_ScaleX = 1.0;
    double Scroll_ScaleY = 1.0;
    // The extent of the chart the canvas was last sized to (twips, margins
    // included), so that a resized viewport can size it again.
    double Canvas_ExtX = 0;
    double Canvas_ExtY = 0;
    // Where the single-tree view drew its tree (the image export draws there too).
    double View_OriginX = 0;
    double View_OriginY = 0;
    // Per tree number, filled by the all-trees view: the row the tree stands at
    // relative to the others, whether it is shown, and its measured extent.
    std::vector<int16_t> Tree_FirstRow;      // at least 1025 rows
    std::vector<int16_t> Tree_Shown;         // 1 shown, 0 not
    std::vector<double> Tree_ExtX;
    std::vector<double> Tree_ExtY;
    // The tree (tab index - 1) the single-tree view drew last, -1 when the last view
    // drew no single tree; lets the refresh after an edit tell whether the tab it
    // selects already shows its tree.
    int16_t shownTree = -1;
    // By person slot: the person a temporary copy of the last layout stands for, -1
    // for a slot that held no copy. The grid names the copies of the multiple-marriage
    // expansion, which are gone from the tables once they are restored.
    std::vector<int16_t> Copy_Origin;

    // The cell at (row, col); the row grows to hold the column. Row and column must
    // lie inside the grid (0..100, 0..MaxChartLinks - 1).
    cell_rec& cellAt(int row, int col);
};

// The one instance the whole program shares.
ChartState& chart();

// True when (row, col) names a cell that exists in the grid.
bool isGridCell(int row, int col);

} // namespace layout
