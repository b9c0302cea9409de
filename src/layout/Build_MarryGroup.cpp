#include "layout/Build_MarryGroup.h"

#include "layout/LayoutIndex.h"
#include "layout/chart_state.h"
#include "model/tables.h"

#include <algorithm>

namespace layout {

namespace {

// The tables live as long as the program; their address is taken once.
model::marry_data& marriage(int kou)
{
    static model::Tables& t = model::tables();
    return t.kou_buf[static_cast<size_t>(kou)];
}

bool hasPartner(const model::marry_data& m, int person)
{
    return m.kou_titi == person || m.kou_haha == person;
}

void syncCounts()
{
    ChartState& c = chart();
    c.MarryList_cnt = static_cast<int16_t>(static_cast<int>(c.MarryList.size()) - 1);
    c.GroupCells_cnt = static_cast<int16_t>(static_cast<int>(c.GroupCells.size()) - 1);
}

// Step 1: the work tables start empty. Rows keep their side vectors' storage.
void clearWorkTables()
{
    ChartState& c = chart();
    c.MarryList.clear();
    for (int r = 0; r <= c.MarryRows_cnt; ++r) {
        MarryRowRec& row = c.MarryRows[static_cast<size_t>(r)];
        row.Used = row.Kou = row.Titi = row.Haha = -1;
        row.Side0.clear();
        row.Side1.clear();
    }
    c.MarryRows_cnt = -1;
    c.GroupCells.clear();
    syncCounts();
}

MarryRowRec& appendRow()
{
    ChartState& c = chart();
    ++c.MarryRows_cnt;
    if (static_cast<size_t>(c.MarryRows_cnt) >= c.MarryRows.size())
        c.MarryRows.resize(static_cast<size_t>(c.MarryRows_cnt) + 1);
    MarryRowRec& row = c.MarryRows[static_cast<size_t>(c.MarryRows_cnt)];
    row.Side0.clear();
    row.Side1.clear();
    return row;
}

// The listed marriage of husband A and wife B (the last one in list order), or -1.
int16_t findOwnMarriage(int16_t A, int16_t B)
{
    int16_t own = -1;
    for (const int16_t m : chart().MarryList) {
        if (m != -1 && marriage(m).kou_titi == A && marriage(m).kou_haha == B)
            own = m;
    }
    return own;
}

bool otherListedMainMarriage(int16_t own)
{
    for (const int16_t m : chart().MarryList) {
        if (m != -1 && m != own && marriage(m).kou_mode == 0)
            return true;
    }
    return false;
}

void outputRows()
{
    ChartState& c = chart();
    for (int r = 0; r <= c.MarryRows_cnt; ++r) {
        const MarryRowRec& row = c.MarryRows[static_cast<size_t>(r)];
        if (row.Used != 1)
            continue;
        Add_GroupSide(0, static_cast<int16_t>(r));
        c.GroupCells.push_back(GroupCellRec{-1, marriage(row.Kou).kou_mode, row.Kou, 2});
        Add_GroupSide(1, static_cast<int16_t>(r));
    }
    syncCounts();
}

} // namespace

void Collect_PersonMarries(int16_t person)
{
    if (person == model::BlankPartner)
        return;
    detail::IndexScope scope;
    detail::GridIndex& grid = scope.index().grid();
    ChartState& c = chart();
    for (const int16_t m : scope.index().family().marriagesOf(person)) {
        const model::marry_data& rec = marriage(m);
        if (!model::isUsedMarriage(rec))
            continue;
        if (std::find(c.MarryList.begin(), c.MarryList.end(), m) != c.MarryList.end())
            continue;
        if (grid.hasPair(rec.kou_titi, rec.kou_haha))
            continue;
        c.MarryList.push_back(m);
    }
    syncCounts();
}

void Add_GroupRows(int16_t filter)
{
    for (int16_t& m : chart().MarryList) {
        if (m == -1 || (filter == 0 && marriage(m).kou_mode != 0))
            continue;
        MarryRowRec& row = appendRow();
        row.Used = 1;
        row.Kou = m;
        row.Titi = marriage(m).kou_titi;
        row.Haha = marriage(m).kou_haha;
        m = -1;
    }
}

void Attach_GroupSides(int16_t side)
{
    ChartState& c = chart();
    for (int r = 0; r <= c.MarryRows_cnt; ++r) {
        MarryRowRec& row = c.MarryRows[static_cast<size_t>(r)];
        const int16_t P = side == 0 ? row.Titi : row.Haha;
        std::vector<int16_t>& list = side == 0 ? row.Side0 : row.Side1;
        for (int16_t& m : c.MarryList) {
            if (m != -1 && hasPartner(marriage(m), P)) {
                list.push_back(m);
                m = -1;
            }
        }
        // A stable sort gives exactly what a bubble sort swapping only on strict
        // inequality gives. The husband's side stands left of the marriage, so both
        // sides have their lowest levels next to it.
        if (side == 0)
            std::stable_sort(list.begin(), list.end(), [](int16_t a, int16_t b) {
                return marriage(a).sort_lev > marriage(b).sort_lev;
            });
        else
            std::stable_sort(list.begin(), list.end(), [](int16_t a, int16_t b) {
                return marriage(a).sort_lev < marriage(b).sort_lev;
            });
    }
}

void Add_GroupSide(int16_t side, int16_t r)
{
    ChartState& c = chart();
    const MarryRowRec& row = c.MarryRows[static_cast<size_t>(r)];
    const int16_t P = side == 0 ? row.Titi : row.Haha;
    for (const int16_t m : side == 0 ? row.Side0 : row.Side1) {
        const model::marry_data& rec = marriage(m);
        const int16_t other = rec.kou_titi == P ? rec.kou_haha : rec.kou_titi;
        c.GroupCells.push_back(GroupCellRec{other, rec.kou_mode, m, side});
    }
    syncCounts();
}

void Build_MarryGroup(int16_t A, int16_t B)
{
    detail::IndexScope scope;
    clearWorkTables();

    Collect_PersonMarries(A);
    Collect_PersonMarries(B);
    if (chart().MarryList.empty())
        return;

    // A couple whose only tie is a relation still heads its group: its own record
    // counts as a main marriage while the rows are formed.
    const int16_t own = findOwnMarriage(A, B);
    const int16_t ownMode = own != -1 ? marriage(own).kou_mode : int16_t{0};
    const bool promoted = own != -1 && ownMode != 0 && !otherListedMainMarriage(own);
    if (promoted)
        marriage(own).kou_mode = 0;

    Add_GroupRows(0);
    if (chart().MarryRows_cnt != -1) {
        Attach_GroupSides(0);
        Attach_GroupSides(1);
    }
    Add_GroupRows(-1);

    if (promoted)
        marriage(own).kou_mode = ownMode;
    outputRows();
}

} // namespace layout
