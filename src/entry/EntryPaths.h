#pragma once
// The person editor's work folders under the program folder: "voice" holds the
// memo files and the recording waiting to be stored, "face" the face pictures.

#include <cstdint>
#include <string>

namespace entry {

// The recording waiting in the voice folder.
inline constexpr const char* VoiceTempName = "voicetmp.wav";

std::string voiceFolder();
std::string faceFolder();

// The stored face picture's name of a slot: "face<slot>.bmp" (bitmap, mode 1)
// or "face<slot>.ico" (icon, mode 0).
std::string faceFileName(int slot, int pictureMode);

// The kind a chosen picture file is stored in, by its ending: an icon stays an icon
// (0); a bitmap, and every other picture the loader reads (PNG, JPEG, GIF), is
// stored as a bitmap (1), the two kinds the family file and its bundle know.
int16_t facePictureKind(const std::string& path);

// Puts a chosen picture file in place as a face file of its kind: an icon or a
// bitmap is copied as it is, any other picture is written as a bitmap. Raises
// platform::RuntimeError when the file cannot be read or the target written.
void writeFacePicture(const std::string& source, const std::string& target);

} // namespace entry
