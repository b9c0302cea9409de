#pragma once
// A run of layout steps over one family. The numbering and the placement look up
// each person's marriages and child registrations in an index built from the tables;
// without a session every public layout call builds that index afresh. A chart
// rebuild opens one session around its numbering and placement calls (the unconnected
// families included), so the index is built once.
//
// ASSUMPTION: while a session is open, the tables' persons, partners, child slots and
// InUse marks do not change (the layout itself writes only kou_gen, and kou_mode for
// the length of one marriage group), and the grid changes only through the layout's
// own operations: placement, Clear_CellBuf and Flip_Grid keep the index up to date.

#include <memory>

namespace layout {

namespace detail {
class IndexScope;
}

class LayoutSession {
public:
    LayoutSession();
    ~LayoutSession();
    LayoutSession(const LayoutSession&) = delete;
    LayoutSession& operator=(const LayoutSession&) = delete;

private:
    std::unique_ptr<detail::IndexScope> m_scope;
};

} // namespace layout
