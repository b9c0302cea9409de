#pragma once
// The family file: an INI-like cp932 text with CR LF line ends holding every person,
// every marriage with its children, the document settings and the two group lists.
// save_file is its one writer and load_file its one reader; both also handle the media
// bundle beside it (model/filestore/MediaBundle.h).

#include "model/filestore/FileStore.h"
#include "platform/Errors.h"

#include <cstddef>
#include <cstdint>
#include <functional>
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

// Writes the family file named kezFileName(path) and, when any used person has a voice
// memo or face picture, the media bundle beside it (existingKedFileName: the bundle
// already there in whatever case, else kedFileName). Both are written in full to their
// partial files first (the bundle, then the family file) and renamed over the old ones
// only then, back to back, the family file last, so a failed or interrupted save never
// destroys the previous files and never pairs a new family file with an old bundle
// but for the moment between the renames. A family file reached through a symbolic
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

// Reads a family file into the tables, the group lists and the document settings,
// then unpacks its media bundle (existingKedFileName) and applies the display modes.
// The caller has brought the family to its new-document state (or to the state it
// wants to merge into). Everything is read into a staging copy first and taken over
// only when the whole file was read, so a file that fails leaves the family exactly as
// it was: the message " ファイルを読込めません" (missing file),
// "なんらかの障害によりファイルが開けません", or NotFamilyFileMessage for a file without a
// single section of the family file (another kind of file, an empty one) is shown,
// EndOfDataF is 0 and false is returned.
//
// Otherwise what was read is taken over and true is returned. EndOfDataF is -1 only
// when the file reached its end marker. One message (exclamation icon) tells what was
// wrong with a file read all the same: that it ends before its end marker, how many
// values held characters that could not be read (now "?") and the line of the first,
// and for each kind of record or link the tables cannot hold as it stands
// (filestore::Repair: the blank partner 1024 used as a person, a person block without
// a slot or repeating one, a marriage without two partners, a child outside the person
// table or beyond the 20th, a copy or adoption reference outside its table) how many
// were dropped, replaced or made "none" and the line of the first. Any of these, and a bundle
// that does not belong to the family (ReadKedFile), sets fileStore().loadDamaged.
bool load_file(const std::string& path);

// Splits one line: -1 for a line of blanks only; 1 for "key=value" (key upper-cased
// and trimmed of blanks, value trimmed of blanks, split at the first "="); 0 for a line
// without "=" (the whole trimmed line upper-cased as key, value empty).
int16_t SplitEqu(std::string_view line, std::string& key, std::string& value);

} // namespace model
