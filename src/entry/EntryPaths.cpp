#include "entry/EntryPaths.h"

#include "platform/AppPath.h"

namespace entry {

std::string voiceFolder()
{
    return platform::joinPath(platform::GetAppPath(), "voice");
}

std::string faceFolder()
{
    return platform::joinPath(platform::GetAppPath(), "face");
}

std::string faceFileName(int slot, int pictureMode)
{
    return "face" + std::to_string(slot) + (pictureMode == 1 ? ".bmp" : ".ico");
}

} // namespace entry
