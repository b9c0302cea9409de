#include "entry/EntryForm_p.h"

#include "entry/EntryForm.h"

#include "platform/Hooks.h"

namespace entry {

bool refuseKey(KeyFilter filter, int16_t& KeyAscii)
{
    bool refused = false;
    if (filter == KeyFilter::PostalCode)
        refused = KeyAscii > 32 && KeyAscii != 45 && (KeyAscii < 48 || KeyAscii > 57) && KeyAscii < 255;
    else if (filter == KeyFilter::Number)
        refused = KeyAscii >= 97 && KeyAscii <= 122;
    if (refused) {
        platform::MsgBox(DigitsOnlyMessage, platform::vbOKOnly);
        KeyAscii = RefusedKey;
    }
    return refused;
}

bool isPartner(int slot)
{
    for (int k = 1; k <= model::LastSlot; ++k) {
        const model::marry_data& m = T().kou_buf[static_cast<size_t>(k)];
        if (m.kou_titi == slot || m.kou_haha == slot)
            return true;
    }
    return false;
}

} // namespace entry
