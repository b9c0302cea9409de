#include "model/WindowServices.h"

#include "model/tables.h"
#include "platform/Hooks.h"

namespace model {

namespace {

WindowServices* installedServices = nullptr;

WindowServices& defaultServices()
{
    static WindowServices services;
    return services;
}

// A freed record holds no couple and no children; the start flag leaves it.
void freeMarriage(marry_data& k)
{
    k.InUse = SlotFree;
    k.kou_gen = -1;
    k.kou_title.clear();
    k.kou_state.clear();
    k.kou_mode = -1;
    k.sort_lev = -1;
    k.kou_titi = -1;
    k.kou_haha = -1;
    k.dsp_start = -1;
    for (int s = 0; s <= LastChildSlot; ++s) {
        k.kou_kodo[s] = -1;
        k.kou_kodo_stat[s] = -1;
    }
}

// The chart needs a start marriage: when the freed record held it, the first
// record still in use takes it over.
void handOverStartFlag(int freedKou)
{
    Tables& t = tables();
    for (int k = 1; k <= LastSlot; ++k) {
        if (k != freedKou && t.kou_buf[k].InUse != SlotFree) {
            t.kou_buf[k].dsp_start = 1;
            return;
        }
    }
}

} // namespace

int WindowServices::deleteMarriage(int kou)
{
    return deleteMarriageRecord(kou);
}

void WindowServices::resetKouNum()
{
    tables().KouNum = -1;
}

void setWindowServices(WindowServices* services)
{
    installedServices = services;
}

WindowServices& windowServices()
{
    return installedServices ? *installedServices : defaultServices();
}

int deleteMarriageRecord(int kou)
{
    if (!isSlot(kou) || kou == 0)
        return -1;
    Tables& t = tables();
    marry_data& k = t.kou_buf[kou];
    if (k.InUse == SlotFree)
        return -1;
    if (platform::MsgBox("削除してよろしいでしょうか？", platform::vbOKCancel) != platform::vbOK)
        return 0;
    t.KouUndoBuf = k;
    windowServices().enableRelationUndo("UNDO 削除");
    const bool heldStart = k.dsp_start == 1;
    freeMarriage(k);
    if (heldStart)
        handOverStartFlag(kou);
    t.KouUndoMode = 3;
    t.UndoKou = static_cast<int16_t>(kou);
    t.Data_Changed = 1;
    return 0;
}

} // namespace model
