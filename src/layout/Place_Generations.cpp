#include "layout/Place_Generations.h"

#include "layout/Build_MarryGroup.h"
#include "layout/LayoutGrid.h"
#include "layout/LayoutIndex.h"
#include "layout/chart_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <vector>

namespace layout {

namespace {

using detail::FamilyIndex;
using detail::GridIndex;

// The tables live as long as the program; their address is taken once.
model::marry_data& marriage(int kou)
{
    static model::Tables& t = model::tables();
    return t.kou_buf[static_cast<size_t>(kou)];
}

const model::personal_data* person(int p)
{
    static model::Tables& t = model::tables();
    return model::isSlot(p) ? &t.per_buf[static_cast<size_t>(p)] : nullptr;
}

int lastPlacedRow()
{
    return std::min<int>(chart().row_max, GridLastRow);
}

bool isMainMode(int16_t mode)
{
    return mode == 0 || mode == 2;
}

int16_t findPairKou(const FamilyIndex& family, int A, int B)
{
    // Either person's list holds every marriage of the pair; the shorter one is read.
    auto listA = family.marriagesOf(A);
    auto listB = family.marriagesOf(B);
    const auto& list = listB.size() < listA.size() ? listB : listA;
    for (const int16_t* it = list.end(); it != list.begin();) {
        const int16_t k = *--it;
        const model::marry_data& m = marriage(k);
        if (model::isUsedMarriage(m)
            && ((m.kou_titi == A && m.kou_haha == B) || (m.kou_titi == B && m.kou_haha == A)))
            return k;
    }
    return -1;
}

int16_t findFirstMarry(const FamilyIndex& family, int p)
{
    const auto list = family.marriagesOf(p);
    for (const int16_t k : list) {
        if (model::isUsedMarriage(marriage(k)) && marriage(k).kou_mode == 0)
            return k;
    }
    for (const int16_t k : list) {
        if (model::isUsedMarriage(marriage(k)))
            return k;
    }
    return -1;
}

// True when some marriage other than Q with kou_mode 0 has the person as husband
// (side 0) or as wife (side 1).
bool hasOtherMainMarriage(const FamilyIndex& family, int p, int Q, int side)
{
    for (const int16_t k : family.marriagesOf(p)) {
        const model::marry_data& m = marriage(k);
        if (k != Q && m.kou_mode == 0 && (side == 0 ? m.kou_titi : m.kou_haha) == p)
            return true;
    }
    return false;
}

// The child's kind under its parents.
enum class ChildKind { Alone, Couple, Reference };

// The three passes over a cell's children.
enum class ChildPass { HusbandRelations = 1, Own = 2, WifeRelations = 3 };

class Placement {
public:
    explicit Placement(detail::LayoutIndex& index)
        : m_tables(model::tables()), m_chart(chart()), m_family(index.family()), m_grid(index.grid()),
          m_dispmode(model::settings().dispmode)
    {
    }

    void placeCouple(int16_t g, int16_t husband, int16_t wife, int16_t kou, int16_t mode);

private:
    model::marry_data& marriage(int kou) { return m_tables.kou_buf[static_cast<size_t>(kou)]; }
    void placeChildren(int r, int c, int16_t parentLink, int force);
    void placeChildPasses(int r, int c);
    void placeChildSlots(ChildPass pass, int childRow, int col, int16_t Q, int16_t F1, int16_t F2);
    void placeChildrenOf(ChildPass pass, int16_t source, int childRow, int16_t Q, int16_t LT, int16_t PA,
                         int16_t PB, int16_t F1, int16_t F2, int16_t parentLink);
    bool takesSlot(ChildPass pass, int16_t Q, int16_t stat, int16_t LT, int16_t PA, int16_t PB,
                   int16_t F1, int16_t F2);

    bool roomForCell();
    void giveLink(int r, int c);
    int nextLinkedCell(int r, int16_t parentLink);
    void setPersons(cell_rec& cell, int16_t a, int16_t b);
    void setMarriage(cell_rec& cell, int16_t kou);

    model::Tables& m_tables;
    ChartState& m_chart;
    const FamilyIndex& m_family;
    GridIndex& m_grid;
    const int16_t m_dispmode;
    // The group being placed in each row. A group's cells are placed one after the
    // other, each with its whole subtree; the subtrees lie in lower rows only, so a
    // row's copy stays intact until its group is done.
    std::array<std::vector<GroupCellRec>, GridRows> m_groups;
};

// Every placed cell takes a link number; at the 16-bit limit the placement of this
// build stops here, once, with a message, rather than write past what the fields hold.
bool Placement::roomForCell()
{
    if (m_chart.gridFull)
        return false;
    if (m_chart.link_cnt < MaxChartLinks)
        return true;
    m_chart.gridFull = true;
    platform::MsgBox(GridFullMessage, platform::vbExclamation, GridFullTitle);
    return false;
}

void Placement::giveLink(int r, int col)
{
    const int16_t link = m_chart.link_cnt;
    if (static_cast<size_t>(link) >= m_chart.ChartPerIdx.size())
        m_chart.ChartPerIdx.resize(static_cast<size_t>(link) + 1);
    m_chart.ChartPerIdx[static_cast<size_t>(link)] =
        ChartPerIdxRec{static_cast<int16_t>(r), static_cast<int16_t>(col)};
    m_chart.cellAt(r, col).link_no = link;
    m_chart.link_cnt = static_cast<int16_t>(link + 1);
}

// The column of the next cell of row r, which takes a link number and its parent's
// link; -1 when the grid has no room left.
int Placement::nextLinkedCell(int r, int16_t parentLink)
{
    if (!roomForCell())
        return -1;
    const int at = m_chart.cell_last[static_cast<size_t>(r)] + 1;
    giveLink(r, at);
    m_chart.cellAt(r, at).oya_link = parentLink;
    return at;
}

void Placement::setPersons(cell_rec& cell, int16_t a, int16_t b)
{
    m_grid.replacePair(cell.per_a, cell.per_b, a, b);
    cell.per_a = a;
    cell.per_b = b;
}

void Placement::setMarriage(cell_rec& cell, int16_t kou)
{
    m_grid.replaceMarriage(cell.kou_no, kou);
    cell.kou_no = kou;
}

void Placement::placeCouple(int16_t g, int16_t husband, int16_t wife, int16_t kou, int16_t mode)
{
    // A partner registered as a child of several marriages stands only under a parent.
    for (const int16_t p : {husband, wife}) {
        if (p != -1 && person(p) && person(p)->MultiParentF != 0)
            return;
    }
    if (m_grid.hasPair(husband, wife) || m_grid.hasMarriage(kou) || !roomForCell())
        return;

    const int col = m_chart.cell_last[static_cast<size_t>(g)] + 1;
    cell_rec& cell = m_chart.cellAt(g, col);
    setPersons(cell, husband, wife);
    cell.tree_no = m_chart.tree_cnt;
    setMarriage(cell, kou);
    cell.cell_mode = mode;
    m_chart.cell_last[static_cast<size_t>(g)] = static_cast<int16_t>(col);
    if (model::isSlot(kou) && marriage(kou).Bunke == 1)
        cell.bunke_idx = Add_BunkeLink(2, kou, kou, m_chart.tree_cnt, 0);

    placeChildren(g, col, -1, 0);
    ++m_chart.tree_cnt;
}

// Expands the cell (always the last of its row) into its marriage group, or re-places
// it as a single cell. The re-placed cells start at the same column and keep the
// fields the emptied cell had unless they are written again.
void Placement::placeChildren(int r, int col, int16_t parentLink, int force)
{
    const auto row = static_cast<size_t>(r);
    int16_t A;
    int16_t B;
    int16_t M;
    int16_t side;
    bool reference;
    {
        cell_rec& cell = m_chart.cellAt(r, col);
        A = cell.per_a;
        B = cell.per_b;
        M = cell.mark6;
        side = cell.kodo_side;
        const int16_t wasReference = cell.kodo_f;
        setPersons(cell, -1, -1);
        --m_chart.cell_last[row];

        reference = force == 1;
        if (!reference && m_grid.hasPair(A, B)) {
            // The couple stands elsewhere: only the child stays, as a reference.
            reference = true;
            cell.kodo_f = 1;
            if (A == M)
                B = -1;
            else
                A = -1;
        }
        if (wasReference == 1)
            reference = true;
    }

    if (!reference) {
        Build_MarryGroup(A, B);
        if (!m_chart.GroupCells.empty()) {
            std::vector<GroupCellRec>& group = m_groups[row];
            group = m_chart.GroupCells; // the recursion below rebuilds GroupCells
            for (size_t i = 0; i < group.size(); ++i) {
                const GroupCellRec entry = group[i];
                const int at = nextLinkedCell(r, parentLink);
                if (at < 0)
                    return;
                cell_rec& cell = m_chart.cellAt(r, at);
                const model::marry_data& m = marriage(entry.kou_no);
                setPersons(cell, m.kou_titi, m.kou_haha);
                cell.tree_no = m_chart.tree_cnt;
                if (M != -1 && (M == m.kou_titi || M == m.kou_haha))
                    cell.mark6 = M;
                cell.mark12 = entry.mark12;
                cell.cell_mode = entry.cell_mode;
                setMarriage(cell, entry.kou_no);
                cell.line_type = entry.line_type;
                m_chart.cell_last[row] = static_cast<int16_t>(at);
                placeChildPasses(r, at);
                if (m_chart.gridFull)
                    return;
            }
            return;
        }
    }

    // A single cell: a reference, or a person with no marriage left to place.
    const int at = nextLinkedCell(r, parentLink);
    if (at < 0)
        return;
    cell_rec& cell = m_chart.cellAt(r, at);
    setPersons(cell, A, B);
    cell.mark6 = M;
    cell.tree_no = m_chart.tree_cnt;
    cell.kodo_side = side;
    cell.mark12 = -1;
    cell.line_type = 2;
    // A cell without a marriage gets a defined mode rather than whatever an earlier
    // chart left at this grid position.
    if (cell.kou_no == -1)
        cell.cell_mode = 0;
    m_chart.cell_last[row] = static_cast<int16_t>(at);
}

void Placement::placeChildPasses(int r, int col)
{
    int16_t PA;
    int16_t PB;
    int16_t LT;
    {
        const cell_rec& cell = m_chart.cellAt(r, col);
        PA = cell.per_a;
        PB = cell.per_b;
        LT = cell.line_type;
    }
    const int16_t Q = findPairKou(m_family, PA, PB);
    if (Q == -1) {
        Set_BloodMark(static_cast<int16_t>(r), static_cast<int16_t>(col), -1);
        return;
    }
    if (r >= lastPlacedRow())
        return;

    const int childRow = r + 1;
    const int16_t mode = marriage(Q).kou_mode;
    if (m_dispmode == 1 && isMainMode(mode))
        placeChildSlots(ChildPass::HusbandRelations, childRow, col, Q, -1, -1);

    int16_t F1 = -1;
    int16_t F2 = -1;
    if (m_dispmode == 1 && mode == 1) {
        if (LT == 0 && hasOtherMainMarriage(m_family, PA, Q, 0))
            F1 = PA;
        if (LT == 1 && hasOtherMainMarriage(m_family, PB, Q, 1))
            F2 = PB;
    }
    placeChildSlots(ChildPass::Own, childRow, col, Q, F1, F2);

    if (m_dispmode == 1 && isMainMode(mode))
        placeChildSlots(ChildPass::WifeRelations, childRow, col, Q, -1, -1);
}

bool Placement::takesSlot(ChildPass pass, int16_t Q, int16_t stat, int16_t LT, int16_t PA, int16_t PB,
                          int16_t F1, int16_t F2)
{
    switch (pass) {
    case ChildPass::HusbandRelations:
        return stat == 0;
    case ChildPass::WifeRelations:
        return stat == 1;
    case ChildPass::Own:
        break;
    }
    // Only a relation (kou_mode 1) in dispmode 1 hands children over to the
    // partners' marriages; a marriage of kou_mode 2 shows all its own children, as
    // one of kou_mode 0 does.
    if (m_dispmode != 1 || marriage(Q).kou_mode != 1)
        return true;
    return (LT == 0 && PA == F1 && stat == 1) || (LT == 1 && PB == F2 && stat == 0) || stat == 2
        || (F1 == -1 && F2 == -1);
}

// Source marriages of a pass: Q itself for its own children; for the partners'
// relations, every other kou_mode 1 marriage of the husband (pass 1) or of the wife
// (pass 3), in record order.
void Placement::placeChildSlots(ChildPass pass, int childRow, int col, int16_t Q, int16_t F1, int16_t F2)
{
    int16_t LT;
    int16_t PA;
    int16_t PB;
    int16_t parentLink;
    {
        const cell_rec& parent = m_chart.cellAt(childRow - 1, col);
        LT = parent.line_type;
        PA = parent.per_a;
        PB = parent.per_b;
        parentLink = parent.link_no;
    }

    if (pass == ChildPass::Own) {
        placeChildrenOf(pass, Q, childRow, Q, LT, PA, PB, F1, F2, parentLink);
        return;
    }
    const bool husbands = pass == ChildPass::HusbandRelations;
    const int16_t p = husbands ? PA : PB;
    if (p == model::BlankPartner)
        return;
    for (const int16_t s : m_family.marriagesOf(p)) {
        const model::marry_data& m = marriage(s);
        if (s != Q && m.kou_mode == 1 && (husbands ? m.kou_titi : m.kou_haha) == p)
            placeChildrenOf(pass, s, childRow, Q, LT, PA, PB, F1, F2, parentLink);
        if (m_chart.gridFull)
            return;
    }
}

void Placement::placeChildrenOf(ChildPass pass, int16_t s, int childRow, int16_t Q, int16_t LT, int16_t PA,
                                int16_t PB, int16_t F1, int16_t F2, int16_t parentLink)
{
    const auto row = static_cast<size_t>(childRow);
    const model::marry_data& source = marriage(s);
    for (size_t slot = 0; slot <= static_cast<size_t>(model::LastChildSlot); ++slot) {
        const int16_t p = source.kou_kodo[slot];
        if (!person(p) || !takesSlot(pass, Q, source.kou_kodo_stat[slot], LT, PA, PB, F1, F2))
            continue;
        if (!roomForCell())
            return;

        const int k = m_chart.cell_last[row] + 1;
        cell_rec& cell = m_chart.cellAt(childRow, k);
        cell.tree_no = m_chart.tree_cnt;
        int force = 0;

        const int16_t sex = person(p)->Sex;
        const int16_t m = findFirstMarry(m_family, p);
        ChildKind kind = ChildKind::Reference;
        if (m == -1)
            kind = ChildKind::Alone;
        else if ((sex == 0 && marriage(m).Yoshi_f == 0) || (sex == 1 && marriage(m).Yoshi_f == 1))
            kind = ChildKind::Couple;
        // A second registration of a child registered twice (not the one carrying
        // the line) only refers to the child.
        if (source.kodo_link[slot] == 1 && source.kodo_honsuji[slot] != 1) {
            kind = ChildKind::Reference;
            force = 1;
        }

        const bool alone = kind != ChildKind::Couple || marriage(m).Bunke == 1;
        if (!alone)
            setPersons(cell, marriage(m).kou_titi, marriage(m).kou_haha);
        else if (sex == 0)
            setPersons(cell, p, cell.per_b);
        else
            setPersons(cell, cell.per_a, p);
        // A branch family becomes a tree of its own: its child stands here alone.
        if (kind == ChildKind::Reference || (kind == ChildKind::Couple && alone))
            cell.kodo_f = 1;

        cell.mark6 = p;
        cell.kodo_side = pass == ChildPass::Own ? int16_t{-1} : (sex == 0 ? int16_t{0} : int16_t{1});
        m_chart.cell_last[row] = static_cast<int16_t>(k);
        placeChildren(childRow, k, parentLink, force);
        if (m_chart.gridFull)
            return;
    }
}

} // namespace

void Place_Generations()
{
    detail::IndexScope scope;
    Placement placement(scope.index());
    const auto& kou_buf = model::tables().kou_buf;
    const int lastRow = lastPlacedRow();

    // The marriages of each row in index order (kou_gen does not change while placing).
    std::vector<std::vector<int16_t>> byRow(static_cast<size_t>(std::max(lastRow, -1) + 1));
    for (int k = 0; k <= model::LastSlot; ++k) {
        const model::marry_data& m = kou_buf[static_cast<size_t>(k)];
        if (model::isUsedMarriage(m) && m.kou_gen >= 0 && m.kou_gen <= lastRow)
            byRow[static_cast<size_t>(m.kou_gen)].push_back(static_cast<int16_t>(k));
    }

    auto hasMain = [&](const std::vector<int16_t>& row) {
        return std::any_of(row.begin(), row.end(),
                           [&](int16_t k) { return isMainMode(kou_buf[static_cast<size_t>(k)].kou_mode); });
    };
    auto placeRelations = [&](int g) {
        for (const int16_t k : byRow[static_cast<size_t>(g)]) {
            const model::marry_data& m = kou_buf[static_cast<size_t>(k)];
            if (!isMainMode(m.kou_mode))
                placement.placeCouple(static_cast<int16_t>(g), m.kou_titi, m.kou_haha, k, m.kou_mode);
        }
    };

    for (int g = 0; g <= lastRow; ++g) {
        const auto& row = byRow[static_cast<size_t>(g)];
        // In a row holding any main marriage (placed already or not), a relation does
        // not start a tree here: it enters the grid inside its partner's marriage group.
        for (const int16_t k : row) {
            const model::marry_data& m = kou_buf[static_cast<size_t>(k)];
            if (isMainMode(m.kou_mode))
                placement.placeCouple(static_cast<int16_t>(g), m.kou_titi, m.kou_haha, k, m.kou_mode);
        }
        if (!hasMain(row))
            placeRelations(g);
    }

    // A relation of a row that holds marriages can still be off the grid: a group
    // collects only the records of the couple being expanded, so nothing takes in a
    // couple whose only record is a relation (divorced or widowed parents, say), nor
    // a relation of a partner who stands only in someone else's group (a second
    // wife's earlier relation). Such a relation starts a tree of its own, after
    // everything else, so that none of its persons is left off the chart.
    for (int g = 0; g <= lastRow; ++g) {
        if (hasMain(byRow[static_cast<size_t>(g)]))
            placeRelations(g);
    }
}

int16_t Find_PairCell(int16_t row, int16_t husband, int16_t wife)
{
    (void)row;
    if (husband == -1 || wife == -1)
        return -1;
    const ChartState& c = chart();
    for (int r = 0; r <= GridLastRow; ++r) {
        const auto& cells = c.cell_buf[static_cast<size_t>(r)];
        for (int k = 0; k <= c.cell_last[static_cast<size_t>(r)]; ++k) {
            const cell_rec& cell = cells[static_cast<size_t>(k)];
            if ((cell.per_a == husband && cell.per_b == wife) || (cell.per_a == wife && cell.per_b == husband))
                return static_cast<int16_t>(k);
        }
    }
    return -1;
}

int16_t Find_PairKou(int16_t A, int16_t B)
{
    detail::IndexScope scope;
    return findPairKou(scope.index().family(), A, B);
}

int16_t Find_FirstMarry(int16_t p)
{
    detail::IndexScope scope;
    return findFirstMarry(scope.index().family(), p);
}

void Set_BloodMark(int16_t row, int16_t col, int16_t p)
{
    if (!isGridCell(row, col))
        return;
    cell_rec& cell = chart().cell_buf[static_cast<size_t>(row)][static_cast<size_t>(col)];
    if (p != -1)
        cell.mark6 = p;
    else
        cell.mark6 = cell.per_a != -1 ? cell.per_a : cell.per_b;
}

} // namespace layout
