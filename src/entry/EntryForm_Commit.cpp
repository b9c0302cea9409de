// Writing the person the editor holds into per_buf: the new person of the grid's
// last row, or the person of the panel, new or existing.

#include "entry/EntryForm.h"

#include "entry/EntryForm_p.h"
#include "entry/EntryPaths.h"
#include "entry/WaveFile.h"

#include "model/GroupLists.h"
#include "model/SavableText.h"
#include "model/filestore/MediaBundle.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <array>
#include <utility>

using entry::person;
using entry::T;

namespace {

// The first slot a new person may take, -1 when the table is full. Slot 1024 is
// the blank partner of the marriage table and never holds a real person.
int firstFreeSlot()
{
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot) {
        if (person(slot).InUse != model::SlotUsed)
            return slot;
    }
    return -1;
}

enum class AgeText { Empty, Negative, Valid, TooLarge };

// An age text as the record holds it: empty, a negative value (stored as -1),
// a whole number of years, or more than an Integer holds.
AgeText readAge(const std::string& text, int16_t& years)
{
    years = -1;
    if (platform::Trim(text).empty())
        return AgeText::Empty;
    const double value = platform::Fix(platform::Val(text));
    if (value < 0)
        return AgeText::Negative;
    if (value > 32767)
        return AgeText::TooLarge;
    years = static_cast<int16_t>(value);
    return AgeText::Valid;
}

// The grid columns the table path copies into the record.
constexpr std::array<int, 12> CopiedColumns = {1, 2, 3, 5, 6, 8, 9, 10, 11, 12, 13, 14};

} // namespace

// ---------------------------------------------------------------- checks

bool EntryForm::checkBeforeStore()
{
    model::RunState& run = model::runState();
    if (run.Entry_EditMode == 0 && firstFreeSlot() == -1) {
        platform::MsgBox(entry::TableFullMessage, platform::vbOKOnly);
        return false;
    }
    int16_t years = -1;
    if (Entry_CardView == 0) {
        if (run.Entry_EditMode != 0)
            return true;
        const int r = tb.rows() - 1;
        for (int col : CopiedColumns) {
            if (!model::acceptSavableText(tb.textMatrix(r, col))) {
                tb.setFocus();
                tb.setRow(r);
                tb.setCol(col);
                return false;
            }
        }
        if (readAge(tb.textMatrix(r, 7), years) == AgeText::TooLarge) {
            platform::MsgBox(entry::BadAgeMessage, platform::vbOKOnly);
            tb.setFocus();
            tb.setRow(r);
            tb.setCol(7);
            return false;
        }
        return true;
    }
    for (int i = 0; i <= 16; ++i) {
        if (!model::acceptSavableText(Text1[i].text())) {
            Text1[i].setFocus();
            return false;
        }
    }
    if (!model::acceptSavableText(CBGrp.text())) {
        CBGrp.setFocus();
        return false;
    }
    if (platform::Len(Text1[13].text()) > entry::MaxBikoLength) {
        platform::MsgBox(entry::BikoTooLongMessage, platform::vbOKOnly);
        Text1[13].setFocus();
        return false;
    }
    if (readAge(Text1[5].text(), years) == AgeText::TooLarge) {
        platform::MsgBox(entry::BadAgeMessage, platform::vbOKOnly);
        Text1[5].setFocus();
        return false;
    }
    return true;
}

// ---------------------------------------------------------------- picture and voice

bool EntryForm::storePicture(int slot)
{
    model::personal_data& p = person(slot);
    const int mode = model::runState().PicMode;
    // -1: the panel holds no picture (a new card, or the picture was cleared).
    if (mode != 0 && mode != 1 && mode != -1)
        return true;
    // The kind need not match the box: a bitmap typed into the icon box's dialog is
    // stored as a bitmap. Choosing a picture empties the other box, so at most one
    // Tag names a file.
    const std::string tag = mode == -1                    ? std::string()
                            : !Picture1[0].tag().empty() ? Picture1[0].tag()
                                                         : Picture1[1].tag();
    if (tag.empty()) {
        p.Picture_filename.clear();
        p.Picture_index = -1;
        p.Picture_mode = -1;
        return true;
    }
    // Registering again without a new picture keeps the person's own file and name.
    if (p.Picture_index != -1 && p.Picture_mode == mode && model::isPlainFileName(p.Picture_filename)
        && platform::LCase(tag) == platform::LCase(platform::joinPath(entry::faceFolder(), p.Picture_filename)))
        return true;
    // The slot's own name, unless another person's picture has it (an added family
    // keeps its names): no file another person names is ever written over.
    const std::string name = model::mediaNameFor(model::MediaPicture, entry::faceFileName(slot, mode), slot);
    const std::string target = platform::joinPath(entry::faceFolder(), name);
    try {
        if (!platform::dirExists(entry::faceFolder()))
            platform::makeDir(entry::faceFolder());
        // Registering again without a new picture writes nothing.
        if (platform::LCase(tag) != platform::LCase(target))
            entry::writeFacePicture(tag, target);
    } catch (const platform::RuntimeError& e) {
        // The record keeps the picture it had; the person is stored all the same.
        platform::MsgBox(platform::failedFileMessage(entry::PictureFileError, e, target), platform::vbOKOnly);
        return false;
    }
    p.Picture_mode = static_cast<int16_t>(mode);
    p.Picture_filename = name;
    p.Picture_index = 1;
    return true;
}

namespace {

// What became of a recording waiting in "voicetmp.wav" when a person was stored.
enum class MemoStore {
    Stored,      // it is the person's memo
    NoneWaiting, // no recording with sound data waits
    LeftWaiting, // its memo file could not be written: it still waits
};

// Copies the waiting recording over the memo file of the person in slot. A person
// without a memo name of the voice folder (a family file may leave it empty or
// name a path) takes the slot's own name. A memo name another person's memo has
// (an added family keeps its names) gives way to a free one: no file another
// person names is ever written over. A memo file that holds the recording already
// is not written again. The memo file is replaced only by a whole copy: one that
// cannot be written whole (a full disk) leaves the registered memo as it was, is
// reported with the file and why, and leaves the recording waiting.
MemoStore storeRecording(int slot)
{
    model::personal_data& p = person(slot);
    const std::string folder = entry::voiceFolder();
    std::string recording;
    try {
        recording = platform::readWholeFile(platform::joinPath(folder, entry::VoiceTempName));
    } catch (const platform::RuntimeError&) {
        return MemoStore::NoneWaiting;
    }
    if (!entry::waveBytesHoldSound(recording))
        return MemoStore::NoneWaiting;
    const std::string& own = p.Voice_filename;
    const std::string name = model::mediaNameFor(
        model::MediaVoice, model::isPlainFileName(own) ? own : model::slotVoiceName(slot), slot);
    const std::string memo = platform::joinPath(folder, name);
    try {
        if (!platform::fileExists(memo) || platform::readWholeFile(memo) != recording)
            platform::writeFileAtomically(memo, recording);
        p.Voice_filename = name;
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(platform::failedFileMessage(entry::VoiceFileError, e), platform::vbOKOnly);
        return MemoStore::LeftWaiting;
    }
    return MemoStore::Stored;
}

} // namespace

// ---------------------------------------------------------------- StorePerBuf

bool EntryForm::StorePerBuf()
{
    model::Tables& t = T();
    model::RunState& run = model::runState();

    if (run.Entry_EditMode == 1 && Entry_CardView == 0)
        return true;

    // The card's fields go into the record. With `shown` (what the card showed the
    // person with), only the fields changed since are written: a field another window
    // changed meanwhile (a rename on the chart, the quick name input, the display
    // options) keeps that change instead of the value the card still shows.
    using TextField = std::pair<int, std::string model::personal_data::*>;
    static const TextField textFields[] = {
        {0, &model::personal_data::F_name},   {1, &model::personal_data::Name},
        {2, &model::personal_data::Old_name}, {3, &model::personal_data::B_day},
        {4, &model::personal_data::Death_day}, {6, &model::personal_data::YubinNo},
        {7, &model::personal_data::Addr1},    {8, &model::personal_data::Addr2},
        {9, &model::personal_data::TelNo},    {10, &model::personal_data::FaxNo},
        {11, &model::personal_data::KeiNo},   {12, &model::personal_data::E_mail},
        {13, &model::personal_data::Biko},    {14, &model::personal_data::Zokugara},
        {15, &model::personal_data::Kaimyo},  {16, &model::personal_data::ZokugaraK},
    };
    const CardContents card = cardContents();
    auto storeCard = [this, &card](model::personal_data& p, const CardContents* shown) {
        const auto changed = [shown](const auto& now, const auto& before) { return !shown || now != before; };
        for (const auto& [index, field] : textFields) {
            const auto i = static_cast<size_t>(index);
            if (changed(card.texts[i], shown ? shown->texts[i] : std::string()))
                p.*field = index == 13 ? tran(card.texts[i], 13) : card.texts[i];
        }
        // The age the card shows is worked out from the dates when it opens, so
        // it is written whenever it differs from the stored one, even untouched.
        int16_t years = -1;
        readAge(card.texts[5], years);
        if (changed(card.texts[5], shown ? shown->texts[5] : std::string()) || years != p.Age)
            p.Age = years;
        if (changed(card.group, shown ? shown->group : std::string()))
            p.GrpName = platform::Trim(card.group);
        model::Add_GrpName(p.GrpName);
        model::Purge_GrpNames();
        const std::array<int, 5> before = shown ? shown->flags : std::array<int, 5>{};
        if (changed(card.flags[1], before[1]))
            p.Disp.DS_DeathW = static_cast<int16_t>(card.flags[1]);
        if (changed(card.flags[0], before[0]))
            p.Disp.DS_Waku = static_cast<int16_t>(card.flags[0]);
        if (changed(card.flags[4], before[4])) {
            const int pattern = card.flags[4];
            p.Disp.DS_WakuPat = static_cast<int16_t>(pattern < 0 || pattern > 4 ? 0 : pattern);
        }
        if (changed(card.flags[2], before[2]))
            p.CategoryF = card.flags[2] == forms::vbChecked ? 1 : -1;
        if (changed(card.flags[3], before[3]))
            p.CsvOutFlag = card.flags[3] == forms::vbChecked ? 1 : 0;
        if (changed(card.man, shown ? shown->man : true))
            p.Sex = card.man ? 0 : 1;
    };
    const bool voiceWaiting = platform::Val(cmdvoice.tag()) == 1;

    if (run.Entry_EditMode == 0) {
        const int slot = firstFreeSlot();
        if (slot == -1)
            return true;
        per_buf_ready(slot);
        run.Cur_PerIdx = static_cast<int16_t>(slot);
        t.PerCount = static_cast<int16_t>(t.PerCount + 1);
        model::personal_data& p = person(slot);

        if (Entry_CardView == 0) {
            const int r = tb.rows() - 1;
            p.InUse = model::SlotUsed;
            tb.setRowData(r, slot);
            p.F_name = tb.textMatrix(r, 1);
            p.Name = tb.textMatrix(r, 2);
            p.Old_name = tb.textMatrix(r, 3);
            p.Sex = tb.textMatrix(r, 4) == "女" ? 1 : 0;
            p.Addr1 = tb.textMatrix(r, 11);
            p.Addr2 = tb.textMatrix(r, 12);
            p.TelNo = tb.textMatrix(r, 8);
            p.YubinNo = tb.textMatrix(r, 13);
            p.FaxNo = tb.textMatrix(r, 10);
            p.KeiNo = tb.textMatrix(r, 9);
            p.E_mail = tb.textMatrix(r, 14);
            p.B_day = tb.textMatrix(r, 5);
            p.Death_day = tb.textMatrix(r, 6);
            readAge(tb.textMatrix(r, 7), p.Age);
            run.Entry_EditMode = 0;
            return true;
        }

        storePicture(slot);
        const MemoStore memo = voiceWaiting ? storeRecording(slot) : MemoStore::NoneWaiting;
        if (memo == MemoStore::Stored)
            p.Voice_index = 1;
        p.InUse = model::SlotUsed;
        storeCard(p, nullptr);
        Keep_YubinNo = p.YubinNo;

        CMDFUNC[1].setEnabled(true);
        // The person is stored; the card stays his, with his recording waiting.
        if (memo == MemoStore::LeftWaiting)
            return false;
        newp();
        Text1[6].setText(Keep_YubinNo);
        CMDFUNC[5].setEnabled(true);
        CMDFUNC[6].setEnabled(true);
        SetFocusNewInput();
        return true;
    }

    const int slot = run.Cur_PerIdx;
    if (!model::isUsedPerson(slot))
        return true;
    model::personal_data& p = person(slot);
    storePicture(slot);
    // Without a recording waiting the person keeps the memo mark as it was.
    const MemoStore memo = voiceWaiting ? storeRecording(slot) : MemoStore::NoneWaiting;
    if (memo == MemoStore::Stored)
        p.Voice_index = 1;
    // A card that shows somebody else than the person it is stored for has no
    // earlier values of his to compare with: all of it is written.
    const bool shownForHim = m_shownPerson == slot && m_shownEditMode == 1;
    storeCard(p, shownForHim ? &m_shownCard : nullptr);
    return memo != MemoStore::LeftWaiting;
}
