#include "document/Snapshots.h"

#include "layout/chart_state.h"
#include "model/WindowServices.h"
#include "document/InitAllSetting.h"
#include "document/WorkFolders.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/MediaBundle.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Commands.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

namespace model {

namespace {

// A changed bundle is complete beside these names before it replaces the previous one.
constexpr const char* UndoStagingName = "\\TMP\\UndoNew.kez";
constexpr const char* AutosaveStagingName = "\\TMP\\AutosaveNew.kez";
// An autosave that could not be recovered, or not in full, is kept as a family file of
// this name followed by the date and time ("-20261207-0930"): no later autosave and no
// clean-up touches it.
constexpr const char* UnrecoveredName = "\\TMP\\Unrecovered";

// The scrambling table. Its values must be the same in every run: an autosave written
// by one run is unscrambled by the next. A fixed xorshift sequence gives them.
const std::array<uint8_t, 256>& scrambleTable()
{
    static const std::array<uint8_t, 256> table = [] {
        std::array<uint8_t, 256> values{};
        uint32_t x = 0x6B43A9B5u;
        for (uint8_t& value : values) {
            x ^= x << 13;
            x ^= x >> 17;
            x ^= x << 5;
            value = static_cast<uint8_t>(x >> 24);
        }
        return values;
    }();
    return table;
}

enum class Direction { Scramble, Unscramble };

// Byte i gets table[i mod 256] added (or taken away). Runs of 0 or 1 byte stay as
// they are. Works a table length at a time, so the inner loop needs no modulo.
void transformBytes(char* bytes, size_t length, Direction direction)
{
    if (length <= 1)
        return;
    const auto& table = scrambleTable();
    auto* b = reinterpret_cast<uint8_t*>(bytes);
    for (size_t start = 0; start < length; start += table.size()) {
        const size_t n = std::min(table.size(), length - start);
        uint8_t* block = b + start;
        if (direction == Direction::Scramble) {
            for (size_t i = 0; i < n; ++i)
                block[i] = static_cast<uint8_t>(block[i] + table[i]);
        } else {
            for (size_t i = 0; i < n; ++i)
                block[i] = static_cast<uint8_t>(block[i] - table[i]);
        }
    }
}

// False when the file is missing or cannot be rewritten.
bool transformFile(const std::string& path, Direction direction)
{
    try {
        if (!platform::fileExists(path))
            return false;
        std::string bytes = platform::readWholeFile(path, LargestFamilyFileBytes);
        if (bytes.size() <= 1)
            return true;
        transformBytes(bytes.data(), bytes.size(), direction);
        platform::writeFileAtomically(path, bytes);
        return true;
    } catch (const platform::RuntimeError&) {
        return false;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

void deleteQuietly(const std::string& path)
{
    try {
        platform::deleteFile(path);
    } catch (const platform::RuntimeError&) {
        // A snapshot that cannot be deleted is replaced by the next one; CmdUndo is
        // already off, so nothing offers it meanwhile.
    }
}

void deletePair(const std::string& familyPath)
{
    deleteQuietly(familyPath);
    deleteQuietly(platform::spareFileName(familyPath));
    deleteQuietly(kedFileName(familyPath));
}

std::string snapshotPath(const char* backslashName)
{
    return kezFileName(platform::appFile(backslashName));
}

// True when the snapshot at path is there as a file of the program's own. What else
// stands at its name or its bundle's (a link to some other file, a named pipe) is no
// snapshot: it is removed as a name and named, and never read.
bool snapshotThere(const std::string& path)
{
    try {
        platform::clearProgramFileName(path);
        platform::clearProgramFileName(kedFileName(path));
    } catch (const platform::RuntimeError&) {
        return false;
    }
    return platform::fileExists(path);
}

void reportWriteFailure()
{
    platform::MsgBox(SaveFailedMessage, platform::vbOKOnly);
}

// Names the file that could not be written and why.
void reportWriteFailure(const platform::RuntimeError& error)
{
    platform::MsgBox(saveFailedMessageFor(error), platform::vbOKOnly);
}

// What a snapshot's media bundle was packed from: the bundle's directory and the stamp
// of every media file in it, and the stamp of the bundle as written. While all of them
// are the same, the bundle on disk is what a new one would be, byte for byte.
struct PackedMedia {
    std::vector<media_data> entries;
    std::vector<platform::FileStamp> files;
    platform::FileStamp bundle;
};

bool sameEntry(const media_data& a, const media_data& b)
{
    return a.MediaKind == b.MediaKind && a.PerIdx == b.PerIdx && a.FileName == b.FileName && a.DataLen == b.DataLen
           && a.DataOfs == b.DataOfs;
}

// The media collectMedia has just listed in media_buf (entries 1..count), with the
// stamps of their files. A file that cannot be looked at gives no answer.
std::optional<PackedMedia> mediaToPack(int16_t count)
{
    PackedMedia media;
    media.entries.reserve(static_cast<size_t>(count));
    media.files.reserve(static_cast<size_t>(count));
    const auto& buffer = fileStore().media_buf;
    try {
        for (int i = 1; i <= count; ++i) {
            const media_data& entry = buffer[static_cast<size_t>(i)];
            media.entries.push_back(entry);
            media.files.push_back(platform::fileStamp(platform::joinPath(mediaFolder(entry.MediaKind), entry.FileName)));
        }
    } catch (const platform::RuntimeError&) {
        return std::nullopt;
    }
    return media;
}

// One of the two snapshots, with what its bundle was last packed from.
struct Snapshot {
    const char* name;        // the family file under the program folder
    const char* stagingName; // a changed bundle is complete beside this name first
    std::optional<PackedMedia> packed;

    // True when the bundle beside the snapshot is the one packed from exactly these media.
    bool holdsBundleOf(const PackedMedia& media, const std::string& bundlePath) const
    {
        if (!packed || packed->files != media.files || packed->entries.size() != media.entries.size())
            return false;
        for (size_t i = 0; i < media.entries.size(); ++i) {
            if (!sameEntry(packed->entries[i], media.entries[i]))
                return false;
        }
        try {
            return platform::fileStamp(bundlePath) == packed->bundle;
        } catch (const platform::RuntimeError&) {
            return false;
        }
    }
};

// Program-wide: what each snapshot's bundle was packed from, kept for the whole run.
Snapshot& undoSnapshot()
{
    static Snapshot snapshot{UndoSnapshotName, UndoStagingName, std::nullopt};
    return snapshot;
}

Snapshot& autosaveSnapshot()
{
    static Snapshot snapshot{AutosaveSnapshotName, AutosaveStagingName, std::nullopt};
    return snapshot;
}

// The edits of the family (familyEdits) the autosave has followed: those before its
// last write, or before the clean-up that deleted it.
uint64_t autosavedEdits = 0;
// A chart rebuild of the running command asked for the autosave.
bool rebuildAutosavePending = false;

// The step the undo snapshot of this run takes back (settleUndoStep).
struct UndoStep {
    bool held = false;         // this run wrote the undo snapshot on disk
    bool written = false;      // it was written since the last command ended
    bool inCommand = false;    // and inside a user command
    uint64_t snapshotEdit = 0; // the edit of the family (ChangedFlag::lastEdit) it holds
    uint64_t endEdit = 0;      // the edit of the family when the last command ended
};
UndoStep undoStep;

// True while the autosave on disk was written by this run. An autosave that an earlier
// run left, and that the user chose not to recover, is this run's to replace but not to
// delete.
bool autosaveWrittenThisRun = false;

// Puts the scrambled family text and its bundle in place of the previous snapshot. A
// bundle whose media have not changed since it was packed stays as it is; a changed
// one is written in full under its staging name first. The text then replaces the old
// one through a spare file, and the new bundle follows it. A failure before the text
// is replaced leaves the previous snapshot whole. Nothing is flushed to disk: a
// snapshot has to outlive the program, not a crash of the system.
bool replaceSnapshot(Snapshot& snapshot, std::string_view scrambled, int16_t mediaCount)
{
    const std::string target = snapshotPath(snapshot.name);
    const std::string bundle = kedFileName(target);
    const std::string staging = kedFileName(snapshotPath(snapshot.stagingName));

    std::optional<PackedMedia> media;
    bool bundleIsCurrent = false;
    if (mediaCount > 0) {
        media = mediaToPack(mediaCount);
        bundleIsCurrent = media && snapshot.holdsBundleOf(*media, bundle);
        // WriteKedFile shows its own message: a snapshot without its media would bring
        // back the family without them.
        if (!bundleIsCurrent && !WriteKedFile(staging, mediaCount))
            return false;
    }
    try {
        platform::replaceThroughSpare(target, scrambled);
    } catch (const platform::RuntimeError& e) {
        deleteQuietly(staging);
        reportWriteFailure(e);
        return false;
    }
    try {
        if (mediaCount == 0) {
            // A bundle left from an older snapshot belongs to no family file any more.
            snapshot.packed.reset();
            platform::deleteFile(bundle);
        } else if (!bundleIsCurrent) {
            snapshot.packed.reset();
            platform::renameFile(staging, bundle);
            if (media) {
                media->bundle = platform::fileStamp(bundle);
                snapshot.packed = std::move(media);
            }
        }
    } catch (const platform::RuntimeError& e) {
        deleteQuietly(staging);
        reportWriteFailure(e);
        return false;
    }
    return true;
}

// Writes the snapshot: the family text is built in memory, scrambled there and
// written once (see replaceSnapshot).
bool writeSnapshot(Snapshot& snapshot)
{
    try {
        platform::makeDir(platform::appFile("\\TMP"));
    } catch (const platform::RuntimeError& e) {
        reportWriteFailure(e);
        return false;
    }
    // Runs first, as in save_file. A snapshot is no save of the user's: a file missing
    // from the work folder stays referenced, in the family and in the snapshot's text
    // (its bundle cannot hold the file, which the undo or recovery then says), and the
    // user's next save names what it could not include.
    const int16_t mediaCount = collectMedia();
    restoreLeftOutMedia();
    bool written = false;
    try {
        buildFamilyFile([&](char* bytes, size_t length) {
            transformBytes(bytes, length, Direction::Scramble);
            written = replaceSnapshot(snapshot, std::string_view(bytes, length), mediaCount);
        });
    } catch (const platform::RuntimeError& e) {
        // A character the family file's code page cannot hold: nothing was written.
        platform::MsgBox(saveFailedMessageFor(e), platform::vbOKOnly);
        return false;
    } catch (const std::bad_alloc&) {
        reportWriteFailure();
        return false;
    }
    return written;
}

// A snapshot's family file read in full: its scrambled text is read and unscrambled in
// memory, so a read needs no room on the disk and leaves the snapshot as it was.
struct SnapshotRead {
    std::string text; // the family file's text, unscrambled
    std::unique_ptr<StagedFamily> family;
    // Why the file could not be read. Without it and without a family, the reader has
    // said why the text holds none it can read.
    std::optional<platform::RuntimeError> failure;
};

SnapshotRead readSnapshot(const std::string& path)
{
    SnapshotRead read;
    try {
        read.text = platform::readWholeFile(path, LargestFamilyFileBytes);
    } catch (const platform::RuntimeError& e) {
        read.failure = e;
        return read;
    } catch (const std::bad_alloc&) {
        read.failure = platform::errnoError(ENOMEM, path);
        return read;
    }
    transformBytes(read.text.data(), read.text.size(), Direction::Unscramble);
    read.family = readFamilyBytes(read.text, path, newFamilySettings());
    return read;
}

// "-yyyymmdd-hhmm" of now.
std::string dateAndTimeSuffix()
{
    const double now = platform::Now();
    const double day = std::floor(now);
    const int minutes = static_cast<int>(std::lround((now - day) * 86400)) / 60;
    return "-" + platform::Format(platform::Year(now), 4) + platform::Format(platform::Month(now), 2)
           + platform::Format(platform::Day(now), 2) + "-" + platform::Format(minutes / 60, 2)
           + platform::Format(minutes % 60, 2);
}

// The autosave an earlier run left that could be neither recovered nor kept elsewhere:
// it stays where it is for the next start, which offers it again, and this run writes
// and deletes no autosave there. Empty when none is held.
std::string heldAutosave;

bool autosaveHeld()
{
    return !heldAutosave.empty() && heldAutosave == snapshotPath(AutosaveSnapshotName);
}

// Leaves the autosave at path where it is for the next start and says why it could not
// be recovered or kept (what failed, on file, and why) and what to do.
void holdForNextStart(const std::string& path, const char* head, const platform::RuntimeError& error,
                      const std::string& file)
{
    heldAutosave = path;
    platform::MsgBox(platform::failedFileMessage(head, error, file) + "\r\n" + RecoveryHeldMessage,
                     platform::vbOKOnly + platform::vbExclamation, AutosaveQuestionTitle);
}

// Keeps what the autosave at path holds (text: its family file, unscrambled) as a
// family file of its own that Open reads, "TMP\Unrecovered-<date>-<time>.kez" (a
// number added when that is taken), with the autosave's bundle moved beside it, out of
// the way of every later autosave and clean-up, and says where under head. When the
// copy cannot be written (a full disk) or the bundle not moved, the autosave is held
// for the next start instead.
void keepUnrecovered(const std::string& text, const std::string& path, const char* head)
{
    const std::string stem = platform::appFile(UnrecoveredName) + dateAndTimeSuffix();
    std::string kept = kezFileName(stem);
    for (int n = 2; platform::fileExists(kept) || platform::fileExists(kedFileName(kept)); ++n)
        kept = kezFileName(stem + "-" + std::to_string(n));
    try {
        platform::writeFileAtomically(kept, text);
    } catch (const platform::RuntimeError& e) {
        holdForNextStart(path, head, e, kept);
        return;
    }
    try {
        if (platform::fileExists(kedFileName(path)))
            platform::renameFile(kedFileName(path), kedFileName(kept));
    } catch (const platform::RuntimeError& e) {
        deleteQuietly(kept);
        holdForNextStart(path, head, e, kedFileName(kept));
        return;
    }
    // What the autosave held is in the copy now; without its bundle it is no snapshot.
    deleteQuietly(path);
    deleteQuietly(platform::spareFileName(path));
    platform::MsgBox(std::string(head) + "\r\n" + RecoveryKeptMessage + "\r\n" + kept,
                     platform::vbOKOnly + platform::vbExclamation, AutosaveQuestionTitle);
}

bool familyIsEmpty()
{
    const Tables& t = tables();
    for (int i = 1; i <= LastSlot; ++i) {
        if (t.per_buf[static_cast<size_t>(i)].InUse == SlotUsed || isUsedMarriage(t.kou_buf[static_cast<size_t>(i)]))
            return false;
    }
    return true;
}

enum class RestoreOutcome { NotAttempted, Restored, Failed };

// failure receives why a restore was not attempted, when a file could not be read or
// written.
RestoreOutcome restoreSnapshot(const std::string& path, std::optional<platform::RuntimeError>& failure)
{
    // The snapshot is read in full before anything of the open family goes: one that
    // cannot be read (the reader has said why) leaves the family, its settings, its
    // media, the chart and the steps of the editors' own undos as they were.
    SnapshotRead read = readSnapshot(path);
    if (read.failure) {
        failure = read.failure;
        return RestoreOutcome::NotAttempted;
    }
    if (!read.family)
        return RestoreOutcome::Failed;
    ParkedMedia parked;
    if (!parked.park()) {
        // The snapshot stays as it is, for another try.
        if (parked.failure())
            failure = *parked.failure();
        return RestoreOutcome::NotAttempted;
    }

    Tables& t = tables();
    const std::string filePath = t.Cur_FilePath;
    // The snapshot is a step back in the family, not in how the windows show it.
    const Settings shown = settings();
    WindowServices& windows = windowServices();
    layout::ChartState& c = layout::chart();
    if (c.tab_cnt > 0)
        windows.removeTreeTabs(c.tab_cnt);
    c.tab_cnt = -1;
    InitAllSetting();
    // A file the snapshot's bundle holds but cannot write (a full disk) is the open
    // family's parked file where that holds the same bytes: moved back, it needs no room.
    takeOverFamily(*read.family,
                   [&parked](int16_t kind, const std::string& name, const std::string& bytes, const std::string& file) {
                       return parked.giveBack(kind, name, bytes, file);
                   });
    copyViewChoices(shown, settings());
    windows.loadAfterDisp();
    windows.resetKouNum();
    // The snapshot is older than the open document's last command, so it differs
    // from the file on disk whenever that command did: asking before it is lost
    // is the safe side.
    t.Data_Changed = 1;
    parked.release();
    t.Cur_FilePath = filePath;
    windows.setCaption(t.Cur_FilePath);
    return RestoreOutcome::Restored;
}

} // namespace

std::string undoSnapshotPath()
{
    return snapshotPath(UndoSnapshotName);
}

std::string autosaveSnapshotPath()
{
    return snapshotPath(AutosaveSnapshotName);
}

bool Save_Undo()
{
    undoStep.written = true;
    undoStep.inCommand = platform::commandRunning();
    undoStep.snapshotEdit = tables().Data_Changed.lastEdit();
    if (writeSnapshot(undoSnapshot())) {
        undoStep.held = true;
        windowServices().setUndoEnabled(true);
        return true;
    }
    // The previous snapshot holds the family before an earlier command: an undo to it
    // would silently take back that command too. Without a snapshot of the state
    // before this command there is no undo.
    Kill_UndoFiles();
    return false;
}

bool Save_Autosave()
{
    // Tried once per edit: a write that fails has said so and is not repeated until
    // the next edit or rebuild.
    autosavedEdits = familyEdits();
    rebuildAutosavePending = false;
    // The user was told at the start that this run writes no autosave.
    if (autosaveHeld())
        return false;
    if (familyIsEmpty()) {
        // An empty family is nothing to recover.
        if (autosaveWrittenThisRun) {
            deletePair(autosaveSnapshotPath());
            autosaveWrittenThisRun = false;
        }
        return true;
    }
    if (!writeSnapshot(autosaveSnapshot()))
        return false;
    autosaveWrittenThisRun = true;
    return true;
}

bool Request_Autosave()
{
    if (platform::commandRunning()) {
        rebuildAutosavePending = true;
        return true;
    }
    return Save_Autosave();
}

bool Save_AutosaveAfterEdits()
{
    if (!rebuildAutosavePending && autosavedEdits == familyEdits())
        return true;
    return Save_Autosave();
}

void Restore_Undo()
{
    const std::string path = undoSnapshotPath();
    std::optional<platform::RuntimeError> failure;
    if (snapshotThere(path) && restoreSnapshot(path, failure) == RestoreOutcome::NotAttempted) {
        platform::MsgBox(failure ? platform::failedFileMessage(UndoFailedMessage, *failure, path)
                                 : std::string(UndoFailedMessage),
                         platform::vbOKOnly | platform::vbExclamation);
        windowServices().setChartBackColor(settings().Dispmode_BGcolor);
        return;
    }
    windowServices().setChartBackColor(settings().Dispmode_BGcolor);
    Kill_UndoFiles();
}

void Kill_UndoFiles()
{
    undoStep.held = false;
    windowServices().setUndoEnabled(false);
    deletePair(undoSnapshotPath());
    deletePair(snapshotPath(UndoStagingName));
}

void settleUndoStep()
{
    const uint64_t edit = tables().Data_Changed.lastEdit();
    const bool written = undoStep.written;
    const uint64_t stepEnd = undoStep.endEdit;
    undoStep.written = false;
    undoStep.endEdit = edit;
    if (!undoStep.held)
        return;
    if (written) {
        // A command that changed nothing after its snapshot (refused or cancelled
        // once it was written) has no step to take back, and the snapshot replaced the
        // previous one. A snapshot written outside a command has no command to tell by.
        if (undoStep.inCommand && edit == undoStep.snapshotEdit)
            Kill_UndoFiles();
        return;
    }
    if (edit != stepEnd)
        Kill_UndoFiles();
}

void Kill_AutosaveFiles()
{
    autosaveWrittenThisRun = false;
    autosavedEdits = familyEdits();
    rebuildAutosavePending = false;
    if (!autosaveHeld())
        deletePair(autosaveSnapshotPath());
    deletePair(snapshotPath(AutosaveStagingName));
    Kill_UndoFiles();
}

bool Scramble_File(const std::string& path)
{
    return transformFile(path, Direction::Scramble);
}

bool Unscramble_File(const std::string& path)
{
    return transformFile(path, Direction::Unscramble);
}

Recovery recoverAutosave(const std::function<void(StagedFamily& family)>& showFamily)
{
    const std::string path = autosaveSnapshotPath();
    if (!snapshotThere(path))
        return Recovery::NoAutosave;
    if (platform::MsgBox(AutosaveQuestion, platform::vbYesNo + platform::vbInformation, AutosaveQuestionTitle) != platform::vbYes)
        return Recovery::Declined;
    // The autosave on disk is the interrupted run's: the load below empties the family
    // first, which must not take it for one of this run's and delete it. One a run
    // before this start held is offered again, and so no longer held.
    autosaveWrittenThisRun = false;
    heldAutosave.clear();

    // The autosave may be all there is of the user's latest work: it is read in
    // memory, which needs no room on the disk, and stays as it is until the family is
    // back or what it holds is kept elsewhere.
    SnapshotRead read = readSnapshot(path);
    if (read.failure) {
        holdForNextStart(path, RecoveryFailedMessage, *read.failure, path);
        return Recovery::NotRecovered;
    }
    if (!read.family) {
        keepUnrecovered(read.text, path, RecoveryFailedMessage);
        return Recovery::NotRecovered;
    }
    // No autosave replaces this one (the chart rebuild of the family shown writes one)
    // until it is known whether the family came back whole.
    heldAutosave = path;
    showFamily(*read.family);
    heldAutosave.clear();
    // A family that came back without all the autosave holds (a picture or memo that
    // could not be unpacked, a record the tables cannot hold) is not what the next
    // autosave may replace the autosave with: what it holds is kept first.
    if (fileStore().loadDamaged)
        keepUnrecovered(read.text, path, RecoveryIncompleteMessage);
    // The undo snapshot of the interrupted run is no step back from the recovered
    // family. The autosave holds the recovered family at once, so that a second
    // interruption loses nothing either.
    Kill_UndoFiles();
    (void)Save_Autosave();
    return Recovery::Recovered;
}

} // namespace model
