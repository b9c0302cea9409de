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

} // namespace entry
