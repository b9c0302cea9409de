#include "document/MergeLoad.h"

#include "layout/predraw/PreDraw.h"
#include "model/PersonTable.h"
#include "document/Snapshots.h"
#include "document/WorkFolders.h"
#include "model/era/EraDates.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/MediaBundle.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace model {

namespace {

// The open family while the second file is read into the live tables. Its person and
// marriage records 1..1024 wait in the backup tables (Backup_Bufs).
struct MergeStash {
    ParkedMedia media;
    personal_data person0;   // slot 0, which Backup_Bufs does not copy
    marry_data marriage0;
    Settings settings;
    std::vector<GrpNameRec> groups;
    int16_t groupCount = -1;
    std::vector<GrpTitleRec> titles;
    int16_t titleCount = -1;
    int16_t tabGroupFlag = -1;
};

std::unique_ptr<MergeStash>& mergeStash()
{
    static std::unique_ptr<MergeStash> stash;
    return stash;
}

// A media file the merge could not copy, move or rename is named with why.
void showMergeError(const char* message, const platform::RuntimeError* failure = nullptr)
{
    platform::MsgBox(failure ? platform::failedFileMessage(message, *failure) : std::string(message),
                     platform::vbExclamation, MergeErrorTitle);
}

// Why the open family's media could not be parked by the last Stash_MergeState.
std::optional<platform::RuntimeError>& parkFailure()
{
    static std::optional<platform::RuntimeError> failure;
    return failure;
}

// The open family's records back in the live tables, and its lineage groups.
void restoreRecordsAndTitles(const MergeStash& stash)
{
    layout::Restore_Bufs();
    Tables& t = tables();
    t.per_buf[0] = stash.person0;
    t.kou_buf[0] = stash.marriage0;
    t.GrpTitleList = stash.titles;
    t.GrpTitleCount = stash.titleCount;
    t.tab_grp_f = stash.tabGroupFlag;
}

// How the chart of the open family looks stays as it was. The date display mode stays
// too: every stored date is text in that mode, and the added dates are rewritten in it.
void keepOpenFamilyView(const Settings& open)
{
    Settings& s = settings();
    s.Dispmode_Tyokei = open.Dispmode_Tyokei;
    s.Dispmode_Flip = open.Dispmode_Flip;
    s.Dispmode_Death = open.Dispmode_Death;
    s.Dispmode_Manwoman = open.Dispmode_Manwoman;
    s.Dispmode_Icon = open.Dispmode_Icon;
    s.Dispmode_Fname = open.Dispmode_Fname;
    s.Dispmode_BGcolor = open.Dispmode_BGcolor;
    s.font = open.font;
    s.write_state = open.write_state;
    s.Dispmode_Nengo = open.Dispmode_Nengo;
}

// The open family's groups first, then the second file's groups it does not have: the
// persons of both sides keep a listed group.
void joinGroupNames(const MergeStash& stash)
{
    Tables& t = tables();
    std::vector<GrpNameRec> joined = stash.groups;
    joined.resize(static_cast<size_t>(stash.groupCount + 1));
    const int loadedLast = std::min<int>(t.GrpNameCount, static_cast<int>(t.GrpNameList.size()) - 1);
    for (int i = 0; i <= loadedLast; ++i) {
        const GrpNameRec& row = t.GrpNameList[static_cast<size_t>(i)];
        bool present = false;
        for (const GrpNameRec& kept : joined)
            present = present || kept.GrpName == row.GrpName;
        if (!present)
            joined.push_back(row);
    }
    t.GrpNameList = std::move(joined);
    t.GrpNameCount = static_cast<int16_t>(t.GrpNameList.size() - 1);
}

// Nothing of the second file stays: the family, its settings, lists and media are
// those parked.
void rollBack()
{
    MergeStash& stash = *mergeStash();
    restoreRecordsAndTitles(stash);
    Tables& t = tables();
    settings() = stash.settings;
    t.GrpNameList = stash.groups;
    t.GrpNameCount = stash.groupCount;
    if (stash.media.putBack())
        stash.media.release();
    else
        showMergeError(MediaReturnFailedMessage, stash.media.failure());
    mergeStash().reset();
}

// The work folders are emptied before the second file is read, so that afterwards they
// hold exactly the media its bundle brought.
// Nothing when they were emptied, else why not.
std::optional<platform::RuntimeError> emptyWorkFolders()
{
    try {
        for (const int16_t kind : {MediaVoice, MediaPicture}) {
            platform::makeDir(mediaFolder(kind));
            platform::deleteAllFiles(mediaFolder(kind));
        }
        return std::nullopt;
    } catch (const platform::RuntimeError& e) {
        return e;
    }
}

enum class Slots { Used, Free };

// The slots 1..last of a table that are in use, or those that are not.
template <class Record>
std::vector<int16_t> slotsWhere(const std::array<Record, RecordCount>& records, int last, Slots which)
{
    std::vector<int16_t> slots;
    for (int i = 1; i <= last; ++i) {
        if ((records[static_cast<size_t>(i)].InUse == SlotUsed) == (which == Slots::Used))
            slots.push_back(static_cast<int16_t>(i));
    }
    return slots;
}

// Where each record of the second file goes: map[number in the file] = slot in the
// merged family, -1 for none.
struct Placement {
    Placement()
    {
        person.fill(-1);
        marriage.fill(-1);
    }
    std::vector<int16_t> persons;   // used person slots of the second file
    std::vector<int16_t> marriages; // used marriage slots of the second file
    std::array<int16_t, RecordCount> person;
    std::array<int16_t, RecordCount> marriage;
};

enum class Fit { Fits, TooManyPersons, TooManyMarriages };

Fit place(Placement& placement)
{
    const Tables& t = tables();
    const layout::BackupBufs& open = layout::backupBufs();
    placement.persons = slotsWhere(t.per_buf, LastSlot, Slots::Used);
    placement.marriages = slotsWhere(t.kou_buf, LastSlot, Slots::Used);
    // Slot 1024 of the person table is the blank partner: never a real person.
    const std::vector<int16_t> freePersons = slotsWhere(open.per_buf_bak, LastPersonSlot, Slots::Free);
    const std::vector<int16_t> freeMarriages = slotsWhere(open.kou_buf_bak, LastSlot, Slots::Free);
    if (placement.persons.size() > freePersons.size())
        return Fit::TooManyPersons;
    if (placement.marriages.size() > freeMarriages.size())
        return Fit::TooManyMarriages;
    for (size_t i = 0; i < placement.persons.size(); ++i)
        placement.person[static_cast<size_t>(placement.persons[i])] = freePersons[i];
    for (size_t i = 0; i < placement.marriages.size(); ++i)
        placement.marriage[static_cast<size_t>(placement.marriages[i])] = freeMarriages[i];
    return Fit::Fits;
}

// Added media whose names the open family uses (a file it parked or a reference of one
// of its persons) are renamed in the work folder, so that putting the open family's
// files back replaces none of them and no person shows another's picture or memo. A
// reference whose file the second file's bundle did not bring is dropped: its name
// could only find one of the open family's files.
class MediaNames {
public:
    explicit MediaNames(const ParkedMedia& open) : m_open(open) {}

    void claim(int16_t kind, std::string& name, int16_t& index)
    {
        auto& renamed = m_renamed[kind == MediaVoice ? 0 : 1];
        if (const auto it = renamed.find(name); it != renamed.end()) {
            name = it->second;
            return;
        }
        const std::string folder = mediaFolder(kind);
        if (!isPlainFileName(name) || !platform::fileExists(platform::joinPath(folder, name))) {
            index = -1;
            return;
        }
        if (!openFamilyUses(kind, name))
            return;
        // A new name no person of either family refers to.
        const std::string fresh = freeMediaName(kind, name, [&](const std::string& candidate) {
            return openFamilyUses(kind, candidate) || mediaNameReferenced(tables().per_buf, kind, candidate);
        });
        platform::renameFile(platform::joinPath(folder, name), platform::joinPath(folder, fresh));
        renamed[name] = fresh;
        name = fresh;
    }

private:
    bool openFamilyUses(int16_t kind, const std::string& name) const
    {
        return m_open.holds(kind, name) || mediaNameReferenced(layout::backupBufs().per_buf_bak, kind, name);
    }

    const ParkedMedia& m_open;
    std::map<std::string, std::string> m_renamed[2];
};

void claimMedia(personal_data& person, MediaNames& names)
{
    if (person.Voice_index != -1)
        names.claim(MediaVoice, person.Voice_filename, person.Voice_index);
    if (!person.Picture_filename.empty() && person.Picture_index != -1)
        names.claim(MediaPicture, person.Picture_filename, person.Picture_index);
}

// Rewrites a date text in the open family's date display mode by the rule of a
// display-mode change: only a date that converts exactly is rewritten, anything
// else ("不詳", "明治10年頃", "平成元年" for a western family) stays as written.
void convertDate(std::string& date)
{
    int kept = 0; // the merge reports no count of its own
    rewriteDateExactly(date, kept);
}

bool sameDateForm(int32_t a, int32_t b)
{
    const auto western = [](int32_t mode) { return mode == 0 || mode == 3; };
    return a == b || (western(a) && western(b));
}

int16_t renumbered(int16_t reference, const std::array<int16_t, RecordCount>& map)
{
    return isSlot(reference) ? map[static_cast<size_t>(reference)] : int16_t(-1);
}

// The second file's records with every reference renumbered, ready for their slots.
// Throws RuntimeError when a media file cannot be renamed; nothing of the open family
// has been touched then.
struct AddedRecords {
    std::vector<personal_data> persons;  // in the order of Placement::persons
    std::vector<marry_data> marriages;   // in the order of Placement::marriages
};

AddedRecords prepareRecords(const Placement& placement, const MergeStash& stash)
{
    const Tables& t = tables();
    AddedRecords added;
    MediaNames names(stash.media);

    const int32_t fileDateMode = settings().Dispmode_Nengo;
    const bool convertDates = !sameDateForm(fileDateMode, stash.settings.Dispmode_Nengo);
    // The conversion writes the form of the current mode: the open family's.
    settings().Dispmode_Nengo = stash.settings.Dispmode_Nengo;

    for (const int16_t i : placement.persons) {
        personal_data person = t.per_buf[static_cast<size_t>(i)];
        claimMedia(person, names);
        if (convertDates) {
            convertDate(person.B_day);
            convertDate(person.Death_day);
        }
        if (person.CopyIdx > 0)
            person.CopyIdx = renumbered(person.CopyIdx, placement.person);
        added.persons.push_back(std::move(person));
    }

    for (const int16_t i : placement.marriages) {
        marry_data m = t.kou_buf[static_cast<size_t>(i)];
        m.dsp_start = 0;
        for (int16_t* partner : {&m.kou_titi, &m.kou_haha}) {
            if (*partner != -1 && *partner != BlankPartner)
                *partner = renumbered(*partner, placement.person);
        }
        for (int s = 0; s <= LastChildSlot; ++s) {
            if (m.kou_kodo[s] != -1 && m.kou_kodo[s] != BlankPartner)
                m.kou_kodo[s] = renumbered(m.kou_kodo[s], placement.person);
            // The adoption history names a marriage of the second file.
            if (m.kodo_yoshirireki[s] > 0)
                m.kodo_yoshirireki[s] = renumbered(m.kodo_yoshirireki[s], placement.marriage);
        }
        added.marriages.push_back(std::move(m));
    }
    return added;
}

// Writes the prepared records into their free slots of the backup tables, which hold
// the open family.
void addRecords(const Placement& placement, AddedRecords& added)
{
    layout::BackupBufs& merged = layout::backupBufs();
    for (size_t n = 0; n < placement.persons.size(); ++n) {
        const auto slot = static_cast<size_t>(placement.person[static_cast<size_t>(placement.persons[n])]);
        merged.per_buf_bak[slot] = std::move(added.persons[n]);
    }
    for (size_t n = 0; n < placement.marriages.size(); ++n) {
        const auto slot = static_cast<size_t>(placement.marriage[static_cast<size_t>(placement.marriages[n])]);
        merged.kou_buf_bak[slot] = std::move(added.marriages[n]);
    }
}

// True when the second file was added; false when nothing of it may stay.
bool addLoadedFamily()
{
    Placement placement;
    switch (place(placement)) {
    case Fit::TooManyPersons:
        showMergeError(MergePersonsFullMessage);
        return false;
    case Fit::TooManyMarriages:
        showMergeError(MergeMarriagesFullMessage);
        return false;
    case Fit::Fits:
        break;
    }
    AddedRecords added;
    try {
        added = prepareRecords(placement, *mergeStash());
    } catch (const platform::RuntimeError& e) {
        showMergeError(MergeMediaMessage, &e);
        return false;
    }
    addRecords(placement, added);
    return true;
}

} // namespace

bool Stash_MergeState()
{
    auto stash = std::make_unique<MergeStash>();
    parkFailure().reset();
    if (!stash->media.park()) {
        if (stash->media.failure())
            parkFailure() = *stash->media.failure();
        return false;
    }
    layout::Backup_Bufs();
    const Tables& t = tables();
    stash->person0 = t.per_buf[0];
    stash->marriage0 = t.kou_buf[0];
    stash->settings = settings();
    stash->groups = t.GrpNameList;
    stash->groupCount = t.GrpNameCount;
    stash->titles = t.GrpTitleList;
    stash->titleCount = t.GrpTitleCount;
    stash->tabGroupFlag = t.tab_grp_f;
    mergeStash() = std::move(stash);
    return true;
}

void Unstash_MergeState()
{
    if (!mergeStash())
        return;
    MergeStash& stash = *mergeStash();
    restoreRecordsAndTitles(stash);
    keepOpenFamilyView(stash.settings);
    joinGroupNames(stash);
    if (stash.media.putBackOver())
        stash.media.release();
    else
        showMergeError(MediaReturnFailedMessage, stash.media.failure());
    mergeStash().reset();
}

std::unique_ptr<StagedFamily> readMergeFile(const std::string& path)
{
    std::unique_ptr<StagedFamily> second = readFamilyFile(path, settings());
    if (!second)
        return nullptr;
    // A file that ends before its end marker may lack any of its persons' marriages
    // and children: the reader says what it found, and nothing of it is added.
    if (!second->reachedEnd()) {
        second->reportDamage();
        showMergeError(MergeIncompleteMessage);
        return nullptr;
    }
    return second;
}

void Merge_LoadFile(StagedFamily& second)
{
    fileStore().EndOfDataF = 0;
    if (!Stash_MergeState()) {
        showMergeError(MergeMediaMessage, parkFailure() ? &*parkFailure() : nullptr);
        Kill_UndoFiles();
        return;
    }
    if (const auto failure = emptyWorkFolders()) {
        showMergeError(MergeMediaMessage, &*failure);
        rollBack();
        Kill_UndoFiles();
        return;
    }
    Clear_PerBuf();
    Clear_KouBuf();
    takeOverFamily(second);
    if (addLoadedFamily()) {
        Unstash_MergeState();
        tables().Data_Changed = 1;
    } else {
        rollBack();
    }
    Kill_UndoFiles();
}

void Merge_LoadFile(const std::string& path)
{
    if (const std::unique_ptr<StagedFamily> second = readMergeFile(path))
        Merge_LoadFile(*second);
}

} // namespace model
