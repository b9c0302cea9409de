#pragma once
// The person editor's work folders under the program folder: "voice" holds the
// memo files and the recording waiting to be stored, "face" the face pictures.

#include <cstdint>
#include <string>

namespace entry {

// The recording waiting in the voice folder.
inline constexpr const char* VoiceTempName = "voicetmp.wav";
// The recording being made: it takes the place of the waiting recording only once
// it is checked to hold sound, so a recording that fails or is abandoned leaves
// the waiting one as it was.
inline constexpr const char* VoiceRecordingName = "voicerec.wav";

std::string voiceFolder();
std::string faceFolder();

// The stored face picture's name of a slot: "face<slot>.bmp" (bitmap, mode 1)
// or "face<slot>.ico" (icon, mode 0).
std::string faceFileName(int slot, int pictureMode);

// The kind a chosen picture file is stored in, by its ending: an icon stays an icon
// (0); a bitmap, and every other picture the loader reads (PNG, JPEG, GIF), is
// stored as a bitmap (1), the two kinds the family file and its bundle know.
int16_t facePictureKind(const std::string& path);

// The most pixels across and down of a face picture converted for storage. The
// largest face anything draws is the chart's icon at the largest zoom (500 %): 2500
// twips, 1.74 in square. On screen and in the chart export that is 167 pixels (the
// person editor's box is 88 x 80, the person card's 80 x 80); the printout draws it at
// 600 dpi, 1042 dots at the print scale of 100 %. 960 pixels still give such a print
// 550 dots per inch, more than a photo print shows, while every picture, whatever its
// proportions, stays below 3 MB as a 24-bit bitmap (a 4:3 camera photo becomes
// 960 x 720, 2.07 MB).
inline constexpr int MaxFacePicturePixels = 960;

// Puts a chosen picture file in place as a face file of its kind: an icon or a
// bitmap is copied as it is once its bytes read whole as a picture
// (forms::pictureFromBytes), any other picture (PNG, JPEG, GIF) is written as a
// bitmap the way up it is meant to be seen, scaled down to MaxFacePicturePixels
// across and down when it is larger, keeping its proportions. The chosen file itself
// is only read. The face file is replaced only by a whole file, flushed to disk:
// raises platform::RuntimeError when the file cannot be read as a whole picture or the
// target written, and target then stays as it was.
void writeFacePicture(const std::string& source, const std::string& target);

} // namespace entry
