#include "model/document/Snapshots.h"

#include "layout/chart_state.h"
#include "model/WindowServices.h"
#include "model/document/InitAllSetting.h"
#include "model/document/WorkFolders.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <array>
#include <cstdint>
#include <memory>
#include <new>

namespace model {

namespace {

// A snapshot is complete under its staging name before it replaces the previous one.
constexpr const char* UndoStagingName = "\\TMP\\UndoNew.kez";
constexpr const char* AutosaveStagingName = "\\TMP\\AutosaveNew.kez";

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

bool transformFile(const std::string& path, Direction direction)
{
    try {
        if (!platform::fileExists(path))
            return false;
        std::string bytes = platform::readWholeFile(path);
        if (bytes.size() <= 1)
            return true;
        const auto& table = scrambleTable();
        for (size_t i = 0; i < bytes.size(); ++i) {
            const auto b = static_cast<uint8_t>(bytes[i]);
            const uint8_t k = table[i % table.size()];
            bytes[i] = static_cast<char>(direction == Direction::Scramble ? uint8_t(b + k) : uint8_t(b - k));
        }
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
    deleteQuietly(kedFileName(familyPath));
}

std::string snapshotPath(const char* backslashName)
{
    return kezFileName(platform::appFile(backslashName));
}

void reportWriteFailure()
{
    platform::MsgBox(SaveFailedMessage, platform::vbOKOnly);
}

// Writes the family under the staging name, scrambles it, then moves the bundle and
// the family file over the previous snapshot, the family file last. Any failure before
// the moves leaves the previous snapshot as it was.
bool writeSnapshot(const char* backslashName, const char* stagingName)
{
    try {
        platform::makeDir(platform::appFile("\\TMP"));
    } catch (const platform::RuntimeError&) {
        reportWriteFailure();
        return false;
    }
    const std::string target = snapshotPath(backslashName);
    const std::string staging = snapshotPath(stagingName);
    deletePair(staging);

    // save_file shows its own message, also for a bundle it could not write: a
    // snapshot without its media would bring back the family without them.
    if (!save_file(staging)) {
        deletePair(staging);
        return false;
    }
    if (!Scramble_File(staging)) {
        reportWriteFailure();
        deletePair(staging);
        return false;
    }
    const std::string stagingBundle = kedFileName(staging);
    const bool hasBundle = platform::fileExists(stagingBundle);
    try {
        if (hasBundle)
            platform::renameFile(stagingBundle, kedFileName(target));
        platform::renameFile(staging, target);
    } catch (const platform::RuntimeError&) {
        reportWriteFailure();
        deletePair(staging);
        return false;
    }
    // A bundle left from an older snapshot belongs to no family file any more.
    if (!hasBundle)
        deleteQuietly(kedFileName(target));
    return true;
}

// Everything the undo replaces, kept until the snapshot has been read back.
struct OpenFamily {
    OpenFamily() : family(std::make_unique<Tables>(tables())), documentSettings(settings()) {}
    std::unique_ptr<Tables> family;
    Settings documentSettings;
};

enum class RestoreOutcome { NotAttempted, Restored, Failed };

RestoreOutcome restoreSnapshot(const std::string& path)
{
    if (!Unscramble_File(path))
        return RestoreOutcome::NotAttempted;
    ParkedMedia parked;
    if (!parked.park()) {
        // Scrambled again, the snapshot stays valid for another try.
        if (!Scramble_File(path))
            deletePair(path);
        return RestoreOutcome::NotAttempted;
    }

    const OpenFamily open;
    Tables& t = tables();
    WindowServices& windows = windowServices();
    layout::ChartState& c = layout::chart();
    if (c.tab_cnt > 0)
        windows.removeTreeTabs(c.tab_cnt);
    c.tab_cnt = -1;
    InitAllSetting();

    const bool loaded = load_file(path);
    if (loaded) {
        windows.loadAfterDisp();
        windows.resetKouNum();
        // The snapshot is older than the open document's last command, so it differs
        // from the file on disk whenever that command did: asking before it is lost
        // is the safe side.
        t.Data_Changed = 1;
        // A bundle that could not be read leaves media missing; the open family's
        // copies of the same names are better than none.
        parked.restoreMissing();
        parked.release();
    } else {
        // load_file has told why; the family goes back to what it was.
        t = *open.family;
        settings() = open.documentSettings;
        if (parked.putBack())
            parked.release();
        windows.loadAfterDisp();
    }
    t.Cur_FilePath = open.family->Cur_FilePath;
    windows.setCaption(t.Cur_FilePath);
    return loaded ? RestoreOutcome::Restored : RestoreOutcome::Failed;
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
    const bool written = writeSnapshot(UndoSnapshotName, UndoStagingName);
    windowServices().setUndoEnabled(written || platform::fileExists(undoSnapshotPath()));
    return written;
}

bool Save_Autosave()
{
    return writeSnapshot(AutosaveSnapshotName, AutosaveStagingName);
}

void Restore_Undo()
{
    const std::string path = undoSnapshotPath();
    if (platform::fileExists(path) && restoreSnapshot(path) == RestoreOutcome::NotAttempted) {
        platform::MsgBox(UndoFailedMessage, platform::vbOKOnly | platform::vbExclamation);
        windowServices().setChartBackColor(settings().Dispmode_BGcolor);
        return;
    }
    windowServices().setChartBackColor(settings().Dispmode_BGcolor);
    Kill_UndoFiles();
}

void Kill_UndoFiles()
{
    windowServices().setUndoEnabled(false);
    deletePair(undoSnapshotPath());
    deletePair(snapshotPath(UndoStagingName));
}

void Kill_AutosaveFiles()
{
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

bool recoverAutosave(const std::function<bool(const std::string& path)>& loadFamily)
{
    const std::string path = autosaveSnapshotPath();
    if (!platform::fileExists(path))
        return false;
    if (platform::MsgBox(AutosaveQuestion, platform::vbYesNo + platform::vbInformation, AutosaveQuestionTitle) != platform::vbYes)
        return false;

    std::string scrambled;
    try {
        scrambled = platform::readWholeFile(path);
    } catch (const platform::RuntimeError&) {
        return false;
    }
    if (!Unscramble_File(path))
        return false;
    if (loadFamily(path)) {
        Kill_AutosaveFiles();
        return true;
    }
    // The interrupted edit may be all there is of the user's latest work: keep it as
    // it was rather than delete it with a load that failed.
    try {
        platform::writeFileAtomically(path, scrambled);
    } catch (const platform::RuntimeError&) {
        // The file stays unscrambled; the next chart rebuild writes a new autosave.
    }
    return false;
}

} // namespace model
