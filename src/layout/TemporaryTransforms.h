#pragma once
// The temporary pre-draw transforms around one layout or drawing of the chart:
// Backup_Bufs, Hide_Branches and Expand_MultiMarry on construction, Restore_Bufs
// when the object goes (or earlier, through restore()). The layout grid refers to
// the person copies the expansion makes, so every drawing of a laid-out chart runs
// inside one of these; the expansion is deterministic and gives the same copies
// again.
//
// The tables are put back also when a step in between throws: a family left with
// its temporary copies and hidden marriages would be saved that way.
//
// When the person table has no slot left for a copy, the further marriages that
// got none are out of use until the tables are restored: the chart is laid out and
// drawn with every marriage that fits. What was left out is kept for the caller
// (shortfall()), which reports it once the chart is drawn.

#include "layout/predraw/PreDraw.h"

namespace layout {

class TemporaryTransforms {
public:
    TemporaryTransforms();
    ~TemporaryTransforms();
    TemporaryTransforms(const TemporaryTransforms&) = delete;
    TemporaryTransforms& operator=(const TemporaryTransforms&) = delete;

    // Restore_Bufs now; later calls and the destructor do nothing more.
    void restore();
    // The further marriages left out for want of person slots (empty: none).
    const ExpansionShortfall& shortfall() const { return m_shortfall; }

private:
    bool m_active = true;
    ExpansionShortfall m_shortfall;
};

} // namespace layout
