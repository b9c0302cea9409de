#include "layout/LayoutIndex.h"

#include "layout/LayoutSession.h"
#include "layout/chart_state.h"

#include <algorithm>
#include <array>

namespace layout::detail {

namespace {

LayoutIndex* s_active = nullptr;

// Turns per-person counts (at index person + 1) into start offsets.
void accumulate(std::vector<int32_t>& start)
{
    for (size_t i = 1; i < start.size(); ++i)
        start[i] += start[i - 1];
}

} // namespace

void FamilyIndex::build(const model::Tables& tables)
{
    // The marriage records are large; the fields the index needs are read from them
    // once, into a compact copy, and counted and filled from there.
    struct Partners {
        int16_t titi;
        int16_t haha;
        std::array<int16_t, model::MaxChildren> kodo;
    };
    std::vector<Partners> records(model::RecordCount);
    for (int k = 1; k <= model::LastSlot; ++k) {
        const model::marry_data& m = tables.kou_buf[static_cast<size_t>(k)];
        Partners& p = records[static_cast<size_t>(k)];
        p.titi = m.kou_titi;
        p.haha = m.kou_haha;
        std::copy(m.kou_kodo.begin(), m.kou_kodo.begin() + model::MaxChildren, p.kodo.begin());
    }

    m_marryStart.assign(model::RecordCount + 1, 0);
    m_childStart.assign(model::RecordCount + 1, 0);
    for (int k = 1; k <= model::LastSlot; ++k) {
        const Partners& p = records[static_cast<size_t>(k)];
        if (model::isSlot(p.titi))
            ++m_marryStart[static_cast<size_t>(p.titi) + 1];
        if (model::isSlot(p.haha) && p.haha != p.titi)
            ++m_marryStart[static_cast<size_t>(p.haha) + 1];
        for (const int16_t child : p.kodo) {
            if (model::isSlot(child))
                ++m_childStart[static_cast<size_t>(child) + 1];
        }
    }
    accumulate(m_marryStart);
    accumulate(m_childStart);
    m_marriages.resize(static_cast<size_t>(m_marryStart.back()));
    m_registrations.resize(static_cast<size_t>(m_childStart.back()));

    // Filling in ascending marriage (then slot) order keeps every list ascending.
    std::vector<int32_t> marryFill(m_marryStart.begin(), m_marryStart.end() - 1);
    std::vector<int32_t> childFill(m_childStart.begin(), m_childStart.end() - 1);
    for (int k = 1; k <= model::LastSlot; ++k) {
        const Partners& p = records[static_cast<size_t>(k)];
        const auto kou = static_cast<int16_t>(k);
        if (model::isSlot(p.titi))
            m_marriages[static_cast<size_t>(marryFill[static_cast<size_t>(p.titi)]++)] = kou;
        if (model::isSlot(p.haha) && p.haha != p.titi)
            m_marriages[static_cast<size_t>(marryFill[static_cast<size_t>(p.haha)]++)] = kou;
        for (int j = 0; j < model::MaxChildren; ++j) {
            const int16_t child = p.kodo[static_cast<size_t>(j)];
            if (model::isSlot(child))
                m_registrations[static_cast<size_t>(childFill[static_cast<size_t>(child)]++)] =
                    Registration{kou, static_cast<int16_t>(j)};
        }
    }
}

Span<int16_t> FamilyIndex::marriagesOf(int person) const
{
    if (!model::isSlot(person) || m_marryStart.empty())
        return {};
    const int16_t* base = m_marriages.data();
    return {base + m_marryStart[static_cast<size_t>(person)],
            base + m_marryStart[static_cast<size_t>(person) + 1]};
}

Span<Registration> FamilyIndex::registrationsOf(int person) const
{
    if (!model::isSlot(person) || m_childStart.empty())
        return {};
    const Registration* base = m_registrations.data();
    return {base + m_childStart[static_cast<size_t>(person)],
            base + m_childStart[static_cast<size_t>(person) + 1]};
}

void GridIndex::build(const ChartState& chart)
{
    m_pairs.assign(size_t{1} << (64 - InitialShift), PairSlot{});
    m_shift = InitialShift;
    m_usedSlots = 0;
    m_marriages.assign(model::RecordCount, 0);
    // Cells beyond cell_last are empty: placement writes a cell only at cell_last + 1
    // and moves cell_last on to it.
    for (int r = 0; r < GridRows; ++r) {
        const auto& row = chart.cell_buf[static_cast<size_t>(r)];
        for (int k = 0; k <= chart.cell_last[static_cast<size_t>(r)]; ++k) {
            const cell_rec& cell = row[static_cast<size_t>(k)];
            addPair(cell.per_a, cell.per_b, 1);
            replaceMarriage(-1, cell.kou_no);
        }
    }
}

uint32_t GridIndex::pairKey(int a, int b)
{
    const auto lo = static_cast<uint16_t>(std::min(a, b));
    const auto hi = static_cast<uint16_t>(std::max(a, b));
    return (static_cast<uint32_t>(lo) << 16) | hi;
}

size_t GridIndex::findSlot(uint32_t key) const
{
    // Fibonacci hashing: the top bits of the product spread neighbouring keys.
    const size_t mask = m_pairs.size() - 1;
    size_t i = static_cast<size_t>((key * 0x9E3779B97F4A7C15ull) >> m_shift);
    while (m_pairs[i].key != key && m_pairs[i].key != EmptyKey)
        i = (i + 1) & mask;
    return i;
}

void GridIndex::grow()
{
    std::vector<PairSlot> old(m_pairs.size() * 2);
    old.swap(m_pairs);
    --m_shift;
    for (const PairSlot& slot : old) {
        if (slot.key != EmptyKey)
            m_pairs[findSlot(slot.key)] = slot;
    }
}

void GridIndex::addPair(int a, int b, int delta)
{
    if (a == -1 || b == -1)
        return;
    const uint32_t key = pairKey(a, b);
    size_t i = findSlot(key);
    if (m_pairs[i].key == EmptyKey) {
        if (2 * (m_usedSlots + 1) > m_pairs.size()) {
            grow();
            i = findSlot(key);
        }
        m_pairs[i].key = key;
        ++m_usedSlots;
    }
    m_pairs[i].count += delta;
}

bool GridIndex::hasPair(int a, int b) const
{
    if (a == -1 || b == -1 || m_pairs.empty())
        return false;
    const PairSlot& slot = m_pairs[findSlot(pairKey(a, b))];
    return slot.key != EmptyKey && slot.count > 0;
}

bool GridIndex::hasMarriage(int kou) const
{
    return kou >= 0 && static_cast<size_t>(kou) < m_marriages.size()
        && m_marriages[static_cast<size_t>(kou)] > 0;
}

void GridIndex::replacePair(int oldA, int oldB, int newA, int newB)
{
    addPair(oldA, oldB, -1);
    addPair(newA, newB, 1);
}

void GridIndex::replaceMarriage(int oldKou, int newKou)
{
    if (oldKou >= 0 && static_cast<size_t>(oldKou) < m_marriages.size())
        --m_marriages[static_cast<size_t>(oldKou)];
    if (newKou >= 0 && static_cast<size_t>(newKou) < m_marriages.size())
        ++m_marriages[static_cast<size_t>(newKou)];
}

LayoutIndex::LayoutIndex()
{
    m_family.build(model::tables());
}

GridIndex& LayoutIndex::grid()
{
    if (!m_gridBuilt) {
        m_grid.build(chart());
        m_gridBuilt = true;
    }
    return m_grid;
}

IndexScope::IndexScope()
{
    if (s_active) {
        m_index = s_active;
        return;
    }
    m_own = std::make_unique<LayoutIndex>();
    m_index = m_own.get();
    s_active = m_index;
}

IndexScope::~IndexScope()
{
    if (m_own)
        s_active = nullptr;
}

void gridRewritten()
{
    if (s_active)
        s_active->forgetGrid();
}

} // namespace layout::detail

namespace layout {

LayoutSession::LayoutSession() : m_scope(std::make_unique<detail::IndexScope>()) {}

LayoutSession::~LayoutSession() = default;

} // namespace layout
