#pragma once
// The media bundle: the voice memos and face pictures of a family packed into one
// binary file beside the family file (named by kedFileName: "a.KED" beside "a.KEZ",
// "a.ked" beside "a.kez"), and the two work folders "voice" and "face" under the
// program folder that hold the working copies.
//
// Layout, little-endian, no padding: the number of files n (16-bit), n directory
// entries of 268 bytes (kind 16-bit, person 16-bit, the cp932 name in 256 bytes padded
// with blanks, length 32-bit, offset 32-bit), then the data area with the files' bytes.

#include "model/filestore/FileStore.h"
#include "model/tables.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace model {

constexpr int MediaNameBytes = 256;
constexpr int MediaEntryBytes = 268;

inline constexpr const char* BundleWriteFailedMessage = "画像情報を読み取れません";
inline constexpr const char* BundleReadFailedMessage = "画像情報を読み込めません";
// Before the persons whose media a bundle read could not give them.
inline constexpr const char* DroppedMediaHeading = "次の人物の画像・音声は取り出せないため、指定を外しました。";
// A bundle that does not belong to its family file (cut short, missing, saved with
// another family).
inline const std::string BundleMismatchMessage =
    std::string(BundleReadFailedMessage)
    + "\r\n画像と音声のファイル（.ked）がこの家系図ファイルと合わないため、読み込めたものだけを使います。";

// True for a name that stands for a file inside a work folder: not empty, not "." or
// "..", no "/" or backslash and no control character. Media names come from family
// files and bundles, which may hold anything; every place that joins such a name to a
// folder asks this first, so a name one of them accepts is never dropped by another.
bool isPlainFileName(const std::string& name);

// The work folder of a media kind: "voice" for MediaVoice, "face" for any other kind.
std::string mediaFolder(int16_t kind);

// True when a used person of persons other than slot except refers to a media file of
// kind under name (a voice memo or a face picture it has). Letter case aside: a file
// system that ignores it would take the names for one file.
bool mediaNameReferenced(const std::array<personal_data, RecordCount>& persons, int16_t kind,
                         const std::string& name, int except = -1);

// The one rule for naming a media file that is about to be written or renamed: name
// itself when taken(name) is false, else the first of "stem_2.ext", "stem_3.ext", ...
// that taken refuses not and no file of the work folder of kind holds. taken says
// which names other persons refer to, so that no file one of them names is ever
// written over.
std::string freeMediaName(int16_t kind, const std::string& name,
                          const std::function<bool(const std::string&)>& taken);

// The name under which the person in slot owner of the tables may write its media file
// of kind, called wanted when nobody else uses that name: freeMediaName with the names
// every other used person refers to taken.
std::string mediaNameFor(int16_t kind, const std::string& wanted, int owner);

// A voice memo or face picture that the last collectMedia could not include: its file
// was missing from the work folder (or could not be read or placed in a bundle).
struct LeftOutMedia {
    int16_t kind = MediaNone;
    int16_t person = -1;     // slot
    int16_t index = -1;      // the reference's Voice_index or Picture_index before
    std::string personName;  // family and given name
    std::string fileName;
};

// Fills media_buf with the voice memos (persons in slot order), then the face pictures,
// of all used persons, and returns their number. A person whose file is missing from
// its work folder loses the reference (Voice_index or Picture_index := -1), so the
// family file written next records what the bundle really holds; each one is listed in
// leftOutMedia() until the next collectMedia.
int16_t collectMedia();

// What the last collectMedia left out, in its order.
const std::vector<LeftOutMedia>& leftOutMedia();

// Gives every person the last collectMedia left out its reference back: a snapshot,
// which is no save of the user's, and a save that failed keep the family as it was.
void restoreLeftOutMedia();

// The message that ends a save of the user's that has written its file: "保存が終了しました"
// when it held every voice memo and face picture, else the persons and files it could
// not include (collected by the save's collectMedia).
std::string savedFamilyMessage();

// Writes the bundle of media_buf entries 1..n completely to its partial file
// (platform::partialFileName(path)) and leaves it there for the caller to rename over
// path; path itself is not touched. Raises platform::RuntimeError (the partial file
// removed) on failure.
void writePartialKedFile(const std::string& path, int16_t n);

// Writes the bundle of media_buf entries 1..n. The bundle is written to its partial
// file and renamed over path only when complete, so a failure leaves an older bundle
// whole. On failure shows "画像情報を読み取れません" with the file that could not be
// written or read and why (platform::failedFileMessage) and returns false.
[[nodiscard]] bool WriteKedFile(const std::string& path, int16_t n);

// Puts a media file of kind at file without writing it anew, one known elsewhere as
// name that holds exactly bytes (the undo's parked copy of the file a bundle entry
// holds, moved: no room on the disk is needed); false when it knows none.
using MediaStandIn = std::function<bool(int16_t kind, const std::string& name, const std::string& bytes,
                                        const std::string& file)>;

// Unpacks the bundle at path into the work folders and tells whether it belongs to
// the family in the tables: it holds exactly the expected number of files, each of
// them readable and whole, and every voice memo and face picture the family refers to.
// A missing or empty bundle (nothing at path, or a link that leads nowhere) holds
// none. Its count is checked before anything is touched: a count outside 0..2048
// shows its description and number, then "画像情報を読み込めません", leaves the work
// folders as they were and returns false; a bundle that cannot be opened or read, or
// is no regular file (a folder, a named pipe, a device) or larger than any bundle can
// be, shows "画像情報を読み込めません" with the file and why in a word
// (platform::failedFileMessage).
// Otherwise the whole directory is read first, then the work folders are emptied and
// take every file the bundle holds that can be read (names reduced to their last path
// component). Each entry belongs to the person in the slot it names when that person
// refers to a file of its kind under its name (letter case aside); that person then
// refers to the file it was unpacked as: its own name, or, when a file of that name is
// there already (two persons' pictures under one name), the first free name no other
// person refers to (freeMediaName). Each entry is unpacked on its own: one that
// cannot be (its bytes past the end of a bundle cut short, a negative length or
// position, a name empty, "." or "..", a name an earlier entry already unpacked when it
// belongs to no person (the file system's judgement: in another letter case where it
// ignores case), and any failure to read its bytes or write its file, such as a name
// longer than the file system takes, a full disk or a folder in the way) is left out,
// leaves no file behind and costs no other entry its file, and nothing is written
// outside the work folders. An entry whose file cannot be written is put in place by
// standIn, when given and it knows a file of exactly the entry's bytes.
// Every person then has only media its own entry gave it: a reference whose entry was
// left out or missing is dropped (its Voice_index or Picture_index := -1), so that it
// never finds another person's file.
// A bundle that does not belong to the family (cut short, damaged entries, another
// count, a person's file missing) shows BundleMismatchMessage; one that belongs to it
// but whose entries this computer could not write (a full disk) shows
// "画像情報を読み込めません" alone. Either is followed by a line naming each entry left
// out with the reason in a word, in bundle order, then DroppedMediaHeading and the
// persons whose media were dropped; a bundle that cannot be read at all names those
// persons after its message. Returns false whenever a message was shown.
bool ReadKedFile(const std::string& path, int16_t expected, const MediaStandIn& standIn = nullptr);

} // namespace model
