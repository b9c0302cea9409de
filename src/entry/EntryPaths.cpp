#include "entry/EntryPaths.h"

#include "forms/Picture.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/FileSystem.h"

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

namespace {

std::string ending(const std::string& path)
{
    return platform::LCase(platform::Right(path, 4));
}

} // namespace

int16_t facePictureKind(const std::string& path)
{
    return ending(path) == ".ico" ? 0 : 1;
}

void writeFacePicture(const std::string& source, const std::string& target)
{
    if (ending(source) == ".ico" || ending(source) == ".bmp") {
        // Copied only once read whole as a picture: a file cut short or damaged since
        // it was chosen is refused, and the face file stays.
        const std::string bytes = platform::readWholeFile(source);
        forms::pictureFromBytes(bytes, source);
        platform::writeFileAtomically(target, bytes);
    } else {
        forms::SavePictureWithin(forms::LoadPicture(source), target, MaxFacePicturePixels, MaxFacePicturePixels);
    }
}

} // namespace entry
