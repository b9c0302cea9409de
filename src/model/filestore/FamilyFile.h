#pragma once
// The family file: an INI-like cp932 text with CR LF line ends holding every person,
// every marriage with its children, the document settings and the two group lists.
// save_file is its one writer and load_file its one reader; both also handle the media
// bundle beside it (model/filestore/MediaBundle.h).

#include "model/filestore/FileStore.h"
#include "model/filestore/MediaBundle.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace model {

inline constexpr const char* SaveFailedMessage = "ファイルが書き込めません";
// Shown by the save commands once a family file chosen by the user has been written.
inline constexpr const char* SaveDoneMessage = "保存が終了しました";
inline constexpr const char* FileNotFoundMessage = " ファイルを読込めません";
inline constexpr const char* LoadFailedMessage = "なんらかの障害によりファイルが開けません";
inline constexpr const char* TooManyChildrenMessage = "子供の数が２０人を超えているデータがあります";
inline constexpr const char* IncompleteFileMessage =
    "ファイルが途中で終わっています（終わりの印 [end_of_data] がありません）。データの一部が失われている可能性があります。";
inline constexpr const char* NotFamilyFileMessage =
    "家系図ファイルではありません（家系図のデータが一つもありません）。ほかの種類のファイルか、空のファイルの可能性があります。";

// The largest family file the tables can hold: every reader of a family file (Open,
// the merge, the snapshots) refuses a larger one by its size, before a byte of it is
// read, as platform::readWholeFile refuses any file too large. 1023 persons and 1024
// marriages with every text as long as the windows take it (a one-line input box
// 32,767 characters, at most two bytes each in cp932; the remarks 1,024 characters; a
// media file name 255 bytes), every other line a key with the longest number, and a
// group and a lineage group for each person. Some 2.7 GB, while a family of 1023
// persons with full addresses and remarks writes some 7 MB.
namespace filestore {
constexpr uint64_t LongestLineBytes = 64;        // " key=" with a number and CR LF
constexpr uint64_t LongestTextBytes = 2 * 32767; // one input box in cp932
constexpr uint64_t LargestPersonBytes =
    127 * LongestLineBytes + 16 * LongestTextBytes + 2 * 1024 + 2 * 255; // 127 lines, 16 one-line texts
constexpr uint64_t LargestMarriageBytes =
    (12 + 20 * 9) * LongestLineBytes + (2 + 20) * LongestTextBytes; // title, state, 20 child comments
} // namespace filestore
inline constexpr uint64_t LargestFamilyFileBytes =
    (uint64_t{1} << 20) + LastPersonSlot * filestore::LargestPersonBytes + LastSlot * filestore::LargestMarriageBytes
    + 2 * LastPersonSlot * (3 * filestore::LongestLineBytes + filestore::LongestTextBytes);
static_assert(LargestFamilyFileBytes < platform::MostBytesReadWhole,
              "every family file the tables can hold must be read whole");

// Writes the family file named kezFileName(path) and, when any used person has a voice
// memo or face picture, the media bundle beside it (existingKedFileName: the bundle
// already there in whatever case, else kedFileName). Both are written in full to their
// partial files first (the bundle, then the family file) and renamed over the old ones
// only then, back to back, the family file last, so a failed or interrupted save never
// destroys the previous files. A record in the program folder names both while the
// save is under way (platform::RecordedReplacement): a save killed before the renames
// is undone and one killed between them completed by the next start or by the next
// read of the family, so a new family file is never read with an old bundle and no
// partial file is left. A family file reached through a symbolic
// link is the file the link leads to (platform::linkTarget): that file is replaced,
// its bundle is the one beside it, and the link stays. A bundle failure shows its own
// message, any other failure (also a character cp932 cannot hold)
// "ファイルが書き込めません"; each names the file that could not be written and why
// (platform::failureReason), and either leaves both old files as they were. Returns true when both were written. The live dispmode is left alone
// (the file always records 1). Collecting the media may reset the voice or picture
// reference of a person whose file has gone.
[[nodiscard]] bool save_file(const std::string& path);

// Builds in memory the family file's bytes exactly as save_file writes them for the
// tables and settings as they are, and hands them to use, which may change them in
// place (the snapshots scramble them) and write them where it likes. Collect the media
// first (collectMedia), as save_file does, so the text records what a bundle holds.
// Raises platform::RuntimeError for a character cp932 cannot hold; use is not called.
void buildFamilyFile(const std::function<void(char* bytes, size_t length)>& use);

// The message for a save or snapshot that failed with error: "ファイルが書き込めません",
// followed for a character cp932 cannot hold by the character, the person or
// marriage and the field that hold it, else by the file named by error and why.
std::string saveFailedMessageFor(const platform::RuntimeError& error);

// A family file read in full and not yet taken over: its persons, marriages, settings
// and lists, and what the read found wrong with it. Reading one touches nothing of the
// family that is open; only takeOverFamily does.
class StagedFamily {
public:
    struct Contents; // load_file.cpp
    explicit StagedFamily(std::unique_ptr<Contents> contents);
    ~StagedFamily();
    StagedFamily(const StagedFamily&) = delete;
    StagedFamily& operator=(const StagedFamily&) = delete;

    // True when the file reached its end marker "[end_of_data]".
    bool reachedEnd() const;
    // Shows one message (exclamation icon) telling what was wrong with the file, read
    // all the same: that it ends before its end marker, how many values held
    // characters that could not be read (now "?") and the line of the first, and for
    // each kind of record or link the tables cannot hold as it stands
    // (filestore::Repair: the blank partner 1024 used as a person, a person block
    // without a slot or repeating one, a marriage without two partners, a child outside
    // the person table or beyond the 20th, a copy or adoption reference outside its
    // table, a partner, child, copy source or lineage leader naming a person slot the
    // file holds no person for) how many were dropped, replaced or made "none" and the
    // line of the first. Nothing when the file was whole.
    void reportDamage() const;

private:
    friend void takeOverFamily(StagedFamily& family, const MediaStandIn& standIn);
    std::unique_ptr<Contents> m_contents;
};

// Reads the family file at path in full into a StagedFamily, its settings starting
// from startFrom (the settings it is to replace: newFamilySettings() for a family that
// replaces the open one) with the display presets of a load; a setting the file does
// not name keeps that value. Nothing of the open family, its settings, lists or media
// is touched. A file that cannot be read shows " ファイルを読込めません" (a missing
// file) or "なんらかの障害によりファイルが開けません" (any other failure), each followed
// for a failure of the file system, or a path that is no regular file or a file larger
// than any family file (LargestFamilyFileBytes, refused before it is read), by the file
// and why in a word, and
// for a line whose value the tables cannot hold (a number outside its field's range,
// text where a number belongs, a person number outside the table, a marriage or group
// beyond the last) by what is wrong, the line as read and its number. A file without a
// single section of the family file (another kind of file, an empty one) shows
// NotFamilyFileMessage, and nullptr is returned. EndOfDataF is 0 afterwards either
// way, until a take-over.
std::unique_ptr<StagedFamily> readFamilyFile(const std::string& path, const Settings& startFrom);

// readFamilyFile for the bytes of a family file already read into memory (a snapshot,
// unscrambled there): path is the file they were read from, whose bundle lies beside
// it. Shows the same messages for the same faults.
std::unique_ptr<StagedFamily> readFamilyBytes(const std::string& bytes, const std::string& path,
                                              const Settings& startFrom);

// Takes over a family read by readFamilyFile: the persons into the slots the file
// names, the marriages into slots 1, 2, 3 ..., the settings, and each group list whose
// section the file held. The caller has emptied the tables and the work folders
// (InitAllSetting, or the merge's own emptying). Then tells what was wrong with the
// file (reportDamage), unpacks its media bundle (existingKedFileName beside the file a
// symbolic link leads to) and applies the display modes. EndOfDataF is -1 only when
// the file reached its end marker. A file with anything reportDamage names, or a
// bundle that does not belong to the family (ReadKedFile), sets
// fileStore().loadDamaged. Cannot fail: a bundle reports its own failures. standIn,
// when given, may put a media file in place that the bundle holds but cannot write
// (ReadKedFile).
void takeOverFamily(StagedFamily& family, const MediaStandIn& standIn = nullptr);

// readFamilyFile starting from the live settings, then takeOverFamily: the whole
// load for a caller that has already brought the family to its new-document state (or
// to the state it wants to merge into). A file that cannot be read leaves the family
// exactly as it was and returns false; otherwise true.
bool load_file(const std::string& path);

// Splits one line: -1 for a line of blanks only; 1 for "key=value" (key upper-cased
// and trimmed of blanks, value trimmed of blanks, split at the first "="); 0 for a line
// without "=" (the whole trimmed line upper-cased as key, value empty).
int16_t SplitEqu(std::string_view line, std::string& key, std::string& value);

} // namespace model
