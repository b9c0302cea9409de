#pragma once
// Program-wide values of the family file store: the load flag the open command tests
// and the directory of the last media bundle written or read.

#include <array>
#include <cstdint>
#include <string>

namespace model {

// Kinds of media_data entries.
constexpr int16_t MediaVoice = 0;   // a voice memo, kept in the "voice" work folder
constexpr int16_t MediaPicture = 1; // a face picture, kept in the "face" work folder
constexpr int16_t MediaNone = -1;   // an empty entry

// Entries 1..2048 of media_buf: two files for each of the 1024 person slots.
constexpr int MaxMediaEntries = 2048;

// One entry of a media bundle's directory.
struct media_data {
    int16_t MediaKind = MediaNone;
    int16_t PerIdx = -1;  // person slot the file belongs to, -1 none
    // The file's plain name inside its work folder. On disk it fills a field of 256
    // bytes, padded with blanks; here it is held without the padding.
    std::string FileName;
    int32_t DataLen = 0;  // length of the file in bytes
    int32_t DataOfs = 0;  // position of its bytes from the start of the data area
};

struct FileStore {
    // -1 when the last load_file read its file up to the end marker "[end_of_data]";
    // 0 when it failed or the file ended before that marker.
    int16_t EndOfDataF = 0;
    // True when the last load_file took over a file that does not hold the whole
    // family it was written with: one that ends before its end marker, one with text
    // values that could not be read, one with records or links the reader dropped or
    // changed, or one whose bundle does not match it. The family shown then belongs to
    // no file, so that saving it cannot overwrite the original unnoticed.
    bool loadDamaged = false;
    // Entry 0 is never used; a bundle of n files uses entries 1..n.
    std::array<media_data, MaxMediaEntries + 1> media_buf;
};

// The one instance the whole program shares.
FileStore& fileStore();

// The family file as this program last read or wrote it. Another program may replace
// the file meanwhile; a plain save asks before it writes over such a change.
// Remembers the stamp (platform::fileStamp: place, length, time) of the family file
// path names (its kezFileName, through symbolic links); a file that cannot be looked
// at is forgotten.
void rememberFamilyFile(const std::string& path);
// True when the family file path names exists and is another version than the one
// rememberFamilyFile last remembered for that same file. A file this program never
// read or wrote, or one that is gone, has nothing to lose: false.
bool familyFileChangedMeanwhile(const std::string& path);

} // namespace model
