#pragma once
// Look-up indexes used inside the layout (not part of its interface).
//
// The numbering and the placement ask the same questions many times: "the marriages
// of this person", "the registrations of this person as a child", "does this pair
// already stand in the grid", "is this marriage in the grid". Answered by scanning
// the whole marriage table or the whole grid each time, a family of a thousand
// persons would cost millions of steps. The index answers them from per-person lists
// built once per layout step; the lists keep the tables' ascending order, so every
// search can still keep its first or its last match exactly as the scan would.

#include "model/tables.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace layout {

struct ChartState;

namespace detail {

template <typename T>
struct Span {
    const T* first = nullptr;
    const T* last = nullptr;
    const T* begin() const { return first; }
    const T* end() const { return last; }
    size_t size() const { return static_cast<size_t>(last - first); }
    bool empty() const { return first == last; }
};

// A child registration: the marriage and the child slot that hold a person.
struct Registration {
    int16_t kou;
    int16_t slot;
};

// Marriages and child registrations of every person slot 0..1024. Built from the
// tables; valid while the tables' persons and children stay as they were (the layout
// changes only kou_gen, and kou_mode for the length of one group build).
class FamilyIndex {
public:
    void build(const model::Tables& tables);
    // Marriages 1..1024 in which the person is husband or wife, ascending, whether in
    // use or not (some scans do not test InUse). Empty for a person outside 0..1024.
    Span<int16_t> marriagesOf(int person) const;
    // Registrations in child slots 0..19 of marriages 1..1024, ascending by marriage
    // then slot, whether the marriage is in use or not.
    Span<Registration> registrationsOf(int person) const;

private:
    std::vector<int32_t> m_marryStart;  // per person + 1
    std::vector<int16_t> m_marriages;
    std::vector<int32_t> m_childStart;  // per person + 1
    std::vector<Registration> m_registrations;
};

// Which person pairs and which marriages stand in the grid. Built from the grid and
// kept up to date by the placement as it writes cells.
class GridIndex {
public:
    void build(const ChartState& chart);
    // True when some cell holds the two persons in either order; false when either is -1.
    bool hasPair(int a, int b) const;
    bool hasMarriage(int kou) const;

    // A cell's persons or marriage change from old to new.
    void replacePair(int oldA, int oldB, int newA, int newB);
    void replaceMarriage(int oldKou, int newKou);

private:
    // Open addressing with linear probing; a pair whose count falls to 0 keeps its
    // slot and reads as absent, so nothing is ever removed.
    struct PairSlot {
        uint32_t key = EmptyKey;
        int32_t count = 0;
    };
    static constexpr uint32_t EmptyKey = 0xFFFFFFFFu; // the pair (-1, -1), never stored
    static uint32_t pairKey(int a, int b);
    size_t findSlot(uint32_t key) const;
    void addPair(int a, int b, int delta);
    void grow();
    static constexpr int InitialShift = 64 - 11; // 2048 slots
    std::vector<PairSlot> m_pairs;
    int m_shift = InitialShift;                 // 64 - log2(slots)
    size_t m_usedSlots = 0;
    std::vector<int> m_marriages;  // count of cells per marriage index
};

// The family index is built with the scope; the grid index on first use, since the
// numbering never needs it.
class LayoutIndex {
public:
    LayoutIndex();
    const FamilyIndex& family() const { return m_family; }
    GridIndex& grid();
    // The grid changed other than through the placement (cleared, mirrored): the grid
    // index is built again on its next use.
    void forgetGrid() { m_gridBuilt = false; }

private:
    FamilyIndex m_family;
    GridIndex m_grid;
    bool m_gridBuilt = false;
};

// The index of the layout step in progress. A public layout operation opens an
// IndexScope; the outermost scope builds the index, nested ones share it.
class IndexScope {
public:
    IndexScope();
    ~IndexScope();
    IndexScope(const IndexScope&) = delete;
    IndexScope& operator=(const IndexScope&) = delete;
    LayoutIndex& index() { return *m_index; }

private:
    std::unique_ptr<LayoutIndex> m_own;
    LayoutIndex* m_index = nullptr;
};

// Tells the index of the layout step in progress, if any, that the grid was rewritten.
void gridRewritten();

} // namespace detail
} // namespace layout
