#include "layout/TemporaryTransforms.h"

#include "layout/predraw/PreDraw.h"

namespace layout {

TemporaryTransforms::TemporaryTransforms()
{
    Backup_Bufs();
    Hide_Branches();
    if (!Expand_MultiMarry()) {
        // The expansion stopped half-way; start again from the backup without it.
        m_expanded = false;
        Restore_Bufs();
        Backup_Bufs();
        Hide_Branches();
    }
}

TemporaryTransforms::~TemporaryTransforms()
{
    restore();
}

void TemporaryTransforms::restore()
{
    if (!m_active)
        return;
    m_active = false;
    Restore_Bufs();
}

} // namespace layout
