#pragma once
// The largest family the tables hold, laid out as one chart, with western dates:
// births spread over three centuries, every third person dead forty to ninety years
// later, the rest alive, and the chart's person list built as a rebuild builds it
// (the family order of the chronology's line lists). Shared by the chronology
// benchmarks.

#include "LayoutFamilies.h"

#include "layout/LayoutGrid.h"
#include "model/settings.h"
#include "model/tables.h"

#include <string>

namespace benchfamily {

inline void layOutDatedFullFamily()
{
    layouttest::resetAll();
    const int16_t start = layouttest::buildFullFamily();
    model::settings().Dispmode_Nengo = 0;
    auto& per_buf = model::tables().per_buf;
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot) {
        model::personal_data& p = per_buf[static_cast<size_t>(slot)];
        if (p.InUse != model::SlotUsed)
            continue;
        const int birth = 1700 + (slot * 7919) % 300;
        p.B_day = std::to_string(birth) + "/04/01";
        if (slot % 3 == 0)
            p.Death_day = std::to_string(birth + 40 + slot % 50) + "/12/31";
    }
    layouttest::layOut(start);
    layout::Build_ChartPerList();
}

} // namespace benchfamily
