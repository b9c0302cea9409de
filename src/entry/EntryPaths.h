#pragma once
// The person editor's work folders under the program folder: "voice" holds the
// memo files and the recording waiting to be stored, "face" the face pictures.

#include <string>

namespace entry {

// The recording waiting in the voice folder.
inline constexpr const char* VoiceTempName = "voicetmp.wav";

std::string voiceFolder();
std::string faceFolder();

// The stored face picture's name of a slot: "face<slot>.bmp" (bitmap, mode 1)
// or "face<slot>.ico" (icon, mode 0).
std::string faceFileName(int slot, int pictureMode);

} // namespace entry
