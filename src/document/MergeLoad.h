#pragma once
// File > "家系データの追加読み込み": the persons and marriages of a second family file
// appended to the open family.

#include "model/filestore/FamilyFile.h"

#include <memory>
#include <string>

namespace model {

inline constexpr const char* MergeErrorTitle = "追加読み込みエラー";
inline constexpr const char* MergePersonsFullMessage = "これ以上個人情報を追加出来ません。追加処理を終了します";
inline constexpr const char* MergeMarriagesFullMessage = "これ以上結婚情報を追加出来ません。追加処理を終了します";
// Shown after the reader's own message when the second file ends before its end
// marker; nothing is added.
inline constexpr const char* MergeIncompleteMessage = "途中で終わっているファイルは追加読み込みできません。追加処理を終了します";
// Shown when the open family's voice memos and face pictures cannot be set aside
// while the second file is read; nothing is added. Both media messages name the file
// that could not be copied or moved and why (platform::failedFileMessage).
inline constexpr const char* MergeMediaMessage = "音声・画像ファイルを退避できません。追加処理を終了します";
// Shown when some of the open family's media could not be put back into the work
// folders; they stay in "StackVoice" and "StackFace" and return with the next undo or
// additional load.
inline constexpr const char* MediaReturnFailedMessage = "音声・画像ファイルの一部を作業フォルダに戻せませんでした";

// Reads the second file of a merge in full, its settings starting from the open
// family's, and touches nothing of the open family. nullptr when nothing of it may be
// added: it cannot be read or holds no family (the reader has said why), or it ends
// before its end marker (what the reader found wrong with it, then
// MergeIncompleteMessage); the family, its undo snapshot and its media then stay as
// they were.
std::unique_ptr<StagedFamily> readMergeFile(const std::string& path);

// Appends the persons and marriages of a second file read by readMergeFile: the open
// family keeps its slots, the second file's persons and marriages take the free slots
// in their own order, and every reference among them is renumbered (partners,
// children, the person a record was copied from, the marriage of a child's adoption
// history). Added marriages never become the start marriage. The open family keeps its
// view settings, date display mode and lineage groups; the family-group list gains the
// second file's groups; the other document settings are the second file's. Added
// dates are rewritten in the open family's date display mode. Added voice memos and
// face pictures whose file names the open family already uses get new names.
//
// When the second file's persons (1023 in all) or marriages (1024) do not fit, or the
// open family's media cannot be set aside, nothing of it is added: the family, its
// settings, lists and media stay exactly as they were
// ("これ以上個人情報を追加出来ません。追加処理を終了します" or
// "これ以上結婚情報を追加出来ません。追加処理を終了します", title "追加読み込みエラー").
// Data_Changed becomes 1 when something was added. The undo snapshot is deleted in
// every case: the merge cannot be undone.
void Merge_LoadFile(StagedFamily& second);
// readMergeFile, then Merge_LoadFile of what it read; a file it refuses changes nothing.
void Merge_LoadFile(const std::string& path);

// Used by Merge_LoadFile. Parks the open family: its tables in the backup tables
// (Backup_Bufs), its settings and both group lists in memory, its media in the parking
// folders. False (nothing parked) when the media cannot be set aside.
[[nodiscard]] bool Stash_MergeState();
// Brings the parked family back after the merged records were written into the backup
// tables: Restore_Bufs, the open family's view settings, date display mode and lineage
// groups, the family-group lists joined, and the parked media moved back over the work
// folders.
void Unstash_MergeState();

} // namespace model
