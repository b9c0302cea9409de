#include "model/SavableText.h"

#include "platform/Cp932.h"
#include "platform/Hooks.h"

namespace model {

bool acceptSavableText(const std::string& text, const std::string& title)
{
    std::string bad;
    if (platform::canEncodeCp932(text, &bad))
        return true;
    platform::MsgBox(UnsavableCharMessage + bad, platform::vbOKOnly + platform::vbExclamation, title);
    return false;
}

} // namespace model
