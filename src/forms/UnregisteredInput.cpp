#include "forms/UnregisteredInput.h"

#include "platform/Hooks.h"

namespace forms {

bool settleUnregisteredInput(const std::function<bool()>& registerInput, const std::function<void()>& dropInput)
{
    switch (platform::MsgBox(UnregisteredInputQuestion, platform::vbYesNoCancel)) {
    case platform::vbYes:
        return registerInput();
    case platform::vbNo:
        dropInput();
        return true;
    default:
        return false;
    }
}

} // namespace forms
