#include "model/DispStat.h"

#include "model/settings.h"
#include "model/tables.h"

namespace model {

bool operator==(const DispStat& a, const DispStat& b)
{
    return a.DSW == b.DSW && a.DRank == b.DRank && a.DBai == b.DBai && a.DWLocate == b.DWLocate
        && a.DHLocate == b.DHLocate && a.DStart == b.DStart && a.DWidth == b.DWidth
        && a.DS_FName == b.DS_FName && a.DS_Houko == b.DS_Houko && a.DS_Nen == b.DS_Nen
        && a.DS_Waku == b.DS_Waku && a.DS_DeathW == b.DS_DeathW && a.DS_Visible == b.DS_Visible
        && a.DS_PicHouko == b.DS_PicHouko && a.DS_WakuPat == b.DS_WakuPat;
}

DispStat defaultDispStat()
{
    struct ItemDefaults {
        int16_t shown, rank, hLocate;
        double width;
    };
    // Per item: DSW, DRank, DHLocate, DWidth. DBai 50, DWLocate 0 and DStart 20 for all.
    // The default order of the items is 9, 1, 0, 10, 2, 3, 4, 5, 6, 7, 8.
    static constexpr ItemDefaults items[DispItemCount] = {
        {-1, 2, 0, 50.0},  // name
        {0, 1, 1, 20.0},   // former name
        {0, 4, 0, 20.0},   // birth date
        {0, 5, 0, 20.0},   // death date
        {0, 6, 0, 20.0},   // address
        {0, 7, 2, 20.0},   // telephone
        {0, 8, 2, 20.0},   // mobile
        {0, 9, 2, 20.0},   // e-mail
        {0, 10, 1, 20.0},  // remarks
        {-1, 0, 1, 20.0},  // relationship
        {0, 3, 0, 20.0},   // posthumous name
    };
    DispStat d;
    for (int i = 0; i < DispItemCount; ++i) {
        d.DSW[i] = items[i].shown;
        d.DRank[i] = items[i].rank;
        d.DBai[i] = 50;
        d.DWLocate[i] = 0;
        d.DHLocate[i] = items[i].hLocate;
        d.DStart[i] = 20.0;
        d.DWidth[i] = items[i].width;
    }
    d.DS_FName = 1;
    d.DS_Houko = 0;
    d.DS_Nen = 0;
    d.DS_Waku = 1;
    d.DS_DeathW = 0;
    d.DS_Visible = 1;
    d.DS_PicHouko = 0;
    d.DS_WakuPat = 0;
    return d;
}

void Init_DefDispStat()
{
    tables().DefDispStat = defaultDispStat();
}

void Apply_DispModes()
{
    auto& per = tables().per_buf;
    const auto& s = settings();
    for (int p = 1; p <= LastSlot; ++p) {
        if (per[p].InUse != SlotUsed)
            continue;
        per[p].Disp.DS_Houko = s.write_state;
        if (!per[p].Death_day.empty())
            per[p].Disp.DS_DeathW = s.Dispmode_Death;
    }
}

} // namespace model
