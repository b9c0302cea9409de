#pragma once
// The undo and autosave snapshots: ordinary family files in the folder "TMP" under the
// program folder, their family-file text stored scrambled so that it cannot be opened
// as a family file directly. They are read back by the family file's reader, their
// text unscrambled in memory (readFamilyBytes): a restore needs no room on the disk.
//
//   "TMP\Undo.kez" (+ "Undo.ked")          written before every editing command
//   "TMP\Autosave.kez" (+ "Autosave.ked")  written after every chart rebuild and
//                                          after every command that edited the family
//
// The family text is scrambled in memory and written once, through a temporary file
// renamed over the previous snapshot. The media bundle beside a snapshot is not
// scrambled; it is packed again only when the media changed since it was packed.

#include <functional>
#include <string>

namespace model {

inline constexpr const char* UndoSnapshotName = "\\TMP\\Undo.kez";
inline constexpr const char* AutosaveSnapshotName = "\\TMP\\Autosave.kez";

inline constexpr const char* AutosaveQuestion = "編集途中のファイルがあります。読み込みますか？";
inline constexpr const char* AutosaveQuestionTitle = "ファイルのロード";
// Shown when the undo snapshot cannot be read back or the media cannot be set aside
// first (with the file that could not be written and why); the family stays as it is
// and the snapshot is kept for another try.
inline constexpr const char* UndoFailedMessage = "元に戻す処理ができませんでした";
// Shown when the interrupted edit cannot be recovered, or only in part; then, on lines
// of their own, RecoveryKeptMessage and the family file that keeps what the autosave
// held, or the file that could not be read or written, why, and RecoveryHeldMessage.
inline constexpr const char* RecoveryFailedMessage = "編集途中のファイルを復元できませんでした。";
inline constexpr const char* RecoveryIncompleteMessage = "編集途中のファイルの一部を復元できませんでした。";
inline constexpr const char* RecoveryKeptMessage = "編集途中のファイルの内容は、次の家系図ファイルとして残してあります：";
inline constexpr const char* RecoveryHeldMessage =
    "編集途中のファイルはそのまま残してあります。ディスクの空きを作るなど原因を取り除いてから、もう一度起動してください。"
    "それまで自動保存はしません。";

// The family files of the two snapshots (their bundles: kedFileName of these).
std::string undoSnapshotPath();
std::string autosaveSnapshotPath();

// Writes the undo snapshot of the whole family. The undo button CmdUndo is enabled
// exactly while an undo snapshot exists. A snapshot that fails (the writer has shown
// why) deletes the previous one and disables CmdUndo: an undo must never go back past
// an earlier command. True when written.
bool Save_Undo();

// Reloads the undo snapshot, if there is one, and deletes it. The open document keeps
// its path and caption and counts as changed, and the windows' view choices
// (copyViewChoices, model/settings.h) stay as they are. The snapshot is read in full
// before anything of the family goes: one that cannot be read (the reader says why) leaves
// the family, its settings, its media, the tree tabs and the pending steps of the
// relationship editor's and the drop's own undos exactly as they were. In every case
// the chart background follows Dispmode_BGcolor and CmdUndo ends disabled; the caller
// rebuilds the chart afterwards.
void Restore_Undo();

// Disables CmdUndo and deletes the undo snapshot (a missing file is no error).
void Kill_UndoFiles();

// The end of every user command, before its autosave: 戻 takes back exactly one
// command or is not offered. The command that wrote the undo snapshot is the step the
// snapshot takes back. A command that changed the family (set its changed flag; see
// ChangedFlag::lastEdit) without writing one of its own would leave a snapshot from
// before an earlier command, and 戻 would take both back: that snapshot is deleted
// and CmdUndo turned off. So is a snapshot the command did not change the family
// after (it was refused or cancelled once the snapshot was written): 戻 would take back
// nothing. A command that neither wrote a snapshot nor changed the family leaves the
// undo as it was, and so does every command while this run has written no snapshot
// (one an interrupted run left stays as it is).
void settleUndoStep();

// Writes the autosave snapshot of the family as it is; CmdUndo is not touched. A family
// with neither a person nor a marriage is nothing to recover: the autosave this run
// wrote is deleted instead (one left by an earlier run stays for the next start). A
// failure (the writer has shown why) leaves the previous autosave whole. False only
// when writing failed, or when nothing is written because the start-up recovery holds
// the autosave for the next start.
bool Save_Autosave();

// The autosave of a chart rebuild. Outside a user command it is Save_Autosave; while
// one runs (platform::commandRunning) it is left to the command's end, so that a
// command that rebuilds the chart and edits the family writes the autosave once.
bool Request_Autosave();

// The end of a user command: Save_Autosave when the command's chart rebuild asked for
// it or the family was edited (familyEdits) since the autosave last followed it (its
// last write, attempted or done, or Kill_AutosaveFiles). Every edit that changes the
// family, in whatever window and whether or not it rebuilds the chart, so leaves a
// current autosave, written once. True when nothing had to be written.
bool Save_AutosaveAfterEdits();

// Deletes the autosave snapshot (unless the start-up recovery holds it for the next
// start) and then the undo snapshot.
void Kill_AutosaveFiles();

// Scrambles a file in place: byte i gets table[i mod 256] added (mod 256). Files of 0
// or 1 byte stay as they are. The file is replaced only once fully written. False when
// the file cannot be read or written; it is then unchanged.
[[nodiscard]] bool Scramble_File(const std::string& path);
// Undoes Scramble_File in place, on the same terms.
[[nodiscard]] bool Unscramble_File(const std::string& path);

class StagedFamily;

enum class Recovery {
    NoAutosave,   // no autosave was left
    Declined,     // the user chose not to recover it
    Recovered,    // the family is back
    NotRecovered, // the user chose to, and it could not be read
};

// Start-up recovery of an interrupted edit: when an autosave exists, asks
// "編集途中のファイルがあります。読み込みますか？" (Yes/No with the information icon, "ファイルのロード"). On Yes
// reads the autosave in memory (its scrambled text is unscrambled there, so no room on
// the disk is needed; the autosave itself is only read) and hands the family read to
// showFamily (the main window's showing of a recovered family, which takes it over).
// After a recovery the undo snapshot is deleted and the autosave rewritten from the
// recovered family.
// What the autosave holds is never lost. One the reader refuses, and one whose family
// came back without all it holds (a picture that could not be unpacked, a damaged
// record), is first kept as a family file that Open reads, its text unscrambled:
// "TMP\Unrecovered-<yyyymmdd>-<hhmm>.kez" (a number added when that is taken) with the
// autosave's bundle beside it, where no later autosave and no clean-up at the end
// touches them; the message says so with that path. When that copy cannot be written
// (a full disk) or the autosave cannot be read, the autosave stays where it is for the
// next start, which offers it again, this run writes and deletes no autosave, and the
// message names the file and why and says to start again once the cause is gone. On
// No both snapshots remain.
Recovery recoverAutosave(const std::function<void(StagedFamily& family)>& showFamily);

} // namespace model
