#include "layout/TemporaryTransforms.h"

namespace layout {

TemporaryTransforms::TemporaryTransforms()
{
    Backup_Bufs();
    Hide_Branches();
    m_shortfall = Expand_MultiMarry();
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
