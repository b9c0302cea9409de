// Moving a person's record between per_buf, the grid tb and the panel.

#include "entry/EntryForm.h"

#include "entry/DateValue.h"
#include "entry/EntryForm_p.h"
#include "entry/EntryPaths.h"

#include "forms/Picture.h"
#include "model/GroupLists.h"
#include "model/Lookups.h"
#include "model/filestore/MediaBundle.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <string>
#include <vector>

using entry::person;
using entry::T;

namespace {

std::string flagText(bool set, const char* setText)
{
    return set ? setText : "-";
}

std::string nameCell(const std::string& name)
{
    return name.empty() ? "  " : name;
}

} // namespace

// ---------------------------------------------------------------- small operations

void EntryForm::per_buf_ready(int idx)
{
    if (!model::isSlot(idx))
        return;
    // A new person starts from the cleared record: nothing of a deleted
    // occupant of the slot (labels, group, flags, copy mark) carries over.
    person(idx) = model::clearedPerson(idx);
}

std::string EntryForm::tran(const std::string& text, int mode)
{
    if (platform::Trim(text).empty())
        return text;
    // CR and LF are single bytes that no multi-byte character contains, so the
    // visit can run over bytes.
    std::string out = text;
    const size_t length = out.size();
    for (size_t i = 0; i < length; ++i) {
        if (mode == 13) {
            if (out[i] == '\r')
                out[i] = '\n';
        } else if (out[i] == '\n') {
            out[i] = '\r';
            ++i;
        }
    }
    return out;
}

int EntryForm::getrow(int idx)
{
    if (idx < 1)
        return 0;
    int found = 0;
    for (int r = 1; r < tb.rows(); ++r) {
        if (tb.rowData(r) == idx)
            found = r;
    }
    return found;
}

void EntryForm::rowset()
{
    model::RunState& run = model::runState();
    const int last = tb.rows() - 1;
    if (run.Entry_EditMode != 0) {
        for (int r = 1; r <= last; ++r) {
            if (r == tb.row()) {
                if (tb.rowData(r) != 0)
                    run.Cur_PerIdx = static_cast<int16_t>(tb.rowData(r));
                if (run.Cur_PerIdx != -1)
                    Label2[0].setCaption(platform::CStr(getrow(run.Cur_PerIdx)));
                tb.setTextMatrix(r, 0, "*");
            } else {
                tb.setTextMatrix(r, 0, "");
            }
        }
        return;
    }
    if (last < 1)
        return;
    tb.setTextMatrix(last, 0, "*");
    for (int r = 1; r < last; ++r)
        tb.setTextMatrix(r, 0, "");
}

double EntryForm::personRowHeight(double minimum) const
{
    return Text2.height() > minimum ? Text2.height() : 250;
}

void EntryForm::clearPictures()
{
    for (int i = 0; i <= 1; ++i) {
        Picture1[i].setPicture(forms::Picture());
        Picture1[i].setTag("");
    }
}

void EntryForm::showGroupAndFlags(const model::personal_data& p)
{
    const model::Tables& t = T();
    chkDeath.setValue(p.Disp.DS_DeathW == 1 ? forms::vbChecked : forms::vbUnchecked);
    ChkWaku.setValue(p.Disp.DS_Waku == 1 ? forms::vbChecked : forms::vbUnchecked);
    const int pattern = p.Disp.DS_WakuPat;
    cbWakuPat.setListIndex(pattern >= 0 && pattern < cbWakuPat.listCount() ? pattern : -1);
    chkCateF.setValue(p.CategoryF == 1 ? forms::vbChecked : forms::vbUnchecked);
    chkCsvOutput.setValue(p.CsvOutFlag == 1 ? forms::vbChecked : forms::vbUnchecked);
    CBGrp.clear();
    for (int g = 0; g <= t.GrpNameCount; ++g)
        CBGrp.addItem(t.GrpNameList[static_cast<size_t>(g)].GrpName);
    CBGrp.setText(p.GrpName);
}

void EntryForm::clearCard()
{
    for (int i = 0; i <= 16; ++i)
        Text1[i].setText("");
    // A new person starts as a man, with the sex buttons offered.
    Option1[0].setVisible(true);
    Option1[1].setVisible(true);
    Option1[0].setValue(true);
    // The group and the flags of a new person are those of a cleared record.
    showGroupAndFlags(model::clearedPerson(0));
    showAgeKind();
    Label2[0].setCaption("");
    clearPictures();
    model::runState().PicMode = -1;
    cmdvoice.setTag("0");
}

// ---------------------------------------------------------------- newp

void EntryForm::newp()
{
    model::Tables& t = T();
    model::runState().Entry_EditMode = 0;

    if (Entry_CardView == 0) {
        tb.setEditable(forms::flexEDNone);
        tb.addItem(" ");
        const int r = tb.rows() - 1;
        tb.setRowHeight(r, personRowHeight(270));
        tb.setTextMatrix(r, 4, "男");
        CMDFUNC[0].setEnabled(false);
        tb.setRow(r);
        tb.setCol(1);
        tb.setLeftCol(1);
        if (tb.rows() > 19)
            tb.setTopRow(r);
    } else {
        clearCard();
        CMDFUNC[0].setEnabled(true);
        markCardShown();
    }

    // A new person is pending in either view: "登録" is offered for it.
    CMDFUNC[1].setVisible(true);
    CMDFUNC[1].setEnabled(true);
    CMDFUNC[2].setEnabled(false);
    if (Entry_CardView != 0) {
        if (!CMDFUNC[5].isEnabled() && t.PerCount >= 1)
            CMDFUNC[5].setEnabled(true);
        CMDFUNC[6].setEnabled(false);
    }
}

// ---------------------------------------------------------------- entryset

std::string EntryForm::showPicture(int mode, const std::string& path)
{
    forms::Picture picture;
    try {
        picture = forms::LoadPicture(path);
    } catch (const platform::RuntimeError& e) {
        // Missing, or a file that holds no picture.
        return platform::failedFileMessage(entry::PictureFileError, e, path);
    }
    if (mode == 0) {
        Picture1[0].setPicture(picture);
        Picture1[0].setTag(path);
    } else {
        forms::PictureBox& box = Picture1[1];
        box.setPicture(forms::Picture());
        box.paintPicture(picture, 0, 0, box.scaleWidth(), box.scaleHeight());
        box.setTag(path);
    }
    return std::string();
}

void EntryForm::entryset(int& idx)
{
    model::RunState& run = model::runState();
    const std::string voiceFolder = entry::voiceFolder();
    const std::string faceFolder = entry::faceFolder();

    if (idx == -1) {
        newp();
        return;
    }
    // Slots outside the table are treated as no person at all.
    if (!model::isPersonReference(idx))
        return;
    if (person(idx).InUse != model::SlotUsed) {
        idx = 1;
        if (person(1).InUse != model::SlotUsed)
            return;
    }
    const model::personal_data& p = person(idx);

    CMDFUNC[5].setEnabled(true);
    CMDFUNC[6].setEnabled(true);
    const int r = getrow(idx);
    if (r == 1)
        CMDFUNC[5].setEnabled(false);
    if (r == tb.rows() - 1)
        CMDFUNC[6].setEnabled(false);

    run.Entry_EditMode = 1;
    CMDFUNC[2].setEnabled(true);
    cmdvoice.setTag("0");

    if (p.Voice_index != -1) {
        cmdvoice.setTag("1");
        try {
            // The memo's name comes from the family file: it must stay inside the voice folder.
            if (!model::isPlainFileName(p.Voice_filename))
                throw platform::RuntimeError(platform::err::FileNotFound, p.Voice_filename);
            platform::copyFile(platform::joinPath(voiceFolder, p.Voice_filename),
                               platform::joinPath(voiceFolder, entry::VoiceTempName));
        } catch (const platform::RuntimeError&) {
            cmdvoice.setTag("0");
        }
    }

    Text1[0].setText(p.F_name);
    Text1[1].setText(p.Name);
    Text1[2].setText(p.Old_name);
    Text1[3].setText(p.B_day);
    Text1[4].setText(p.Death_day);
    showAgeKind();
    // Dates that give no age (a birth kept as written, "明治10年頃") leave the stored
    // one on the card, so that a registration of another field keeps it.
    const std::string age = Calc_Age(Text1[3].text(), Text1[4].text());
    Text1[5].setText(age.empty() ? entry::ageText(entry::Age{}, p.Age) : age);
    Text1[6].setText(p.YubinNo);
    Text1[7].setText(p.Addr1);
    Text1[8].setText(p.Addr2);
    Text1[9].setText(p.TelNo);
    Text1[10].setText(p.FaxNo);
    Text1[11].setText(p.KeiNo);
    Text1[12].setText(p.E_mail);
    Text1[13].setText(tran(p.Biko, 0));
    Text1[14].setText(p.Zokugara);
    Text1[15].setText(p.Kaimyo);
    Text1[16].setText(p.ZokugaraK);

    showGroupAndFlags(p);

    Label2[0].setCaption(platform::CStr(r));
    if (r > 0)
        tb.setRow(r);

    const bool partner = model::Find_PersonMarry(idx) != -1;
    Option1[0].setVisible(!partner);
    Option1[1].setVisible(!partner);
    if (p.Sex != 0)
        Option1[1].setValue(true);
    else
        Option1[0].setValue(true);

    run.PicMode = p.Picture_mode;

    if (p.Picture_index == -1 || (p.Picture_mode != 0 && p.Picture_mode != 1)) {
        clearPictures();
    } else {
        const int mode = p.Picture_mode;
        const int other = mode == 0 ? 1 : 0;
        Picture1[other].setPicture(forms::Picture());
        Picture1[other].setTag("");
        // The picture's name comes from the family file: it must stay inside the face folder.
        const std::string failure = model::isPlainFileName(p.Picture_filename)
                                        ? showPicture(mode, platform::joinPath(faceFolder, p.Picture_filename))
                                        : std::string(entry::PictureFileError);
        if (!failure.empty()) {
            Picture1[mode].setPicture(forms::Picture());
            Picture1[mode].setTag("");
            markCardShown(idx);
            platform::MsgBox(failure, platform::vbOKOnly);
            return;
        }
    }
    CMDFUNC[1].setEnabled(true);
    markCardShown(idx);
}

// ---------------------------------------------------------------- unregistered input

bool EntryForm::CardContents::operator==(const CardContents& other) const
{
    return texts == other.texts && man == other.man && group == other.group && flags == other.flags &&
           pictures == other.pictures && pictureMode == other.pictureMode && voice == other.voice &&
           recordings == other.recordings;
}

EntryForm::CardContents EntryForm::cardContents()
{
    CardContents card;
    for (int i = 0; i <= 16; ++i)
        card.texts[static_cast<size_t>(i)] = Text1[i].text();
    card.man = Option1[0].value();
    card.group = CBGrp.text();
    card.flags = {ChkWaku.value(), chkDeath.value(), chkCateF.value(), chkCsvOutput.value(), cbWakuPat.listIndex()};
    card.pictures = {Picture1[0].tag(), Picture1[1].tag()};
    card.pictureMode = model::runState().PicMode;
    card.voice = cmdvoice.tag();
    card.recordings = m_recordingsTaken;
    return card;
}

void EntryForm::markCardShown(int person)
{
    const model::RunState& run = model::runState();
    m_shownCard = cardContents();
    m_shownPerson = static_cast<int16_t>(person);
    m_shownEditMode = run.Entry_EditMode;
}

void EntryForm::markCardShown()
{
    markCardShown(model::runState().Cur_PerIdx);
}

bool EntryForm::hasUnregisteredInput()
{
    // In the table view: the new row typed into, or a cell editor whose text differs
    // from the cell's text when the edit started (it reaches the person only when the
    // edit ends).
    if (Entry_CardView == 0)
        return pendingRowTyped() || (Text2.isVisible() && Text2.text() != Text2.tag());
    return !(cardContents() == m_shownCard);
}

// ---------------------------------------------------------------- tablein

namespace {

// How many persons the refill's message names before it gives only their number.
constexpr size_t NamedPersons = 3;

std::string birthAfterDeathMessage(const std::vector<std::string>& names)
{
    // A notice about stored persons, not a refusal: nothing is refused here.
    std::string text = std::string(entry::BirthAfterDeathListMessage) + "\r\n";
    for (size_t i = 0; i < names.size() && i < NamedPersons; ++i)
        text += (i == 0 ? "" : "、") + names[i];
    if (names.size() > NamedPersons)
        text += " ほか" + std::to_string(names.size() - NamedPersons) + "人";
    return text;
}

} // namespace

void EntryForm::tablein()
{
    model::Tables& t = T();
    const model::Settings& s = model::settings();

    int count = 0;
    for (int slot = 1; slot <= model::LastSlot; ++slot) {
        if (person(slot).InUse == model::SlotUsed)
            ++count;
    }
    t.PerCount = static_cast<int16_t>(count);
    m_fillingGrid = true;
    tb.setRows(count + 1);

    const double height = personRowHeight(250);
    // Persons whose birth lies after their death are named in one message after
    // the refill rather than one message each.
    std::vector<std::string> birthAfterDeath;
    int r = 1;
    for (int slot = 1; slot <= model::LastSlot; ++slot) {
        const model::personal_data& p = person(slot);
        if (p.InUse != model::SlotUsed)
            continue;
        tb.setTextMatrix(r, 1, nameCell(p.F_name));
        tb.setTextMatrix(r, 2, nameCell(p.Name));
        tb.setTextMatrix(r, 3, p.Old_name);
        tb.setTextMatrix(r, 4, p.Sex == 1 ? "女" : "男");
        tb.setTextMatrix(r, 5, p.B_day);
        tb.setTextMatrix(r, 6, p.Death_day);
        const entry::Age age = entry::ageOf(p.B_day, p.Death_day);
        tb.setTextMatrix(r, 7, entry::ageText(age, p.Age));
        if (age.kind == entry::Age::Kind::BirthAfterDeath)
            birthAfterDeath.push_back(p.F_name + " " + p.Name);
        tb.setTextMatrix(r, 8, p.TelNo);
        tb.setTextMatrix(r, 9, p.KeiNo);
        tb.setTextMatrix(r, 10, p.FaxNo);
        tb.setTextMatrix(r, 11, p.Addr1);
        tb.setTextMatrix(r, 12, p.Addr2);
        tb.setTextMatrix(r, 13, p.YubinNo);
        tb.setTextMatrix(r, 14, p.E_mail);
        tb.setTextMatrix(r, 15, p.Zokugara);
        tb.setTextMatrix(r, 16, p.Kaimyo);
        tb.setTextMatrix(r, 17, flagText(p.Disp.DS_Waku == 1, "表示"));
        tb.setTextMatrix(r, 18, flagText(p.Disp.DS_DeathW == 1, "表示"));
        tb.setTextMatrix(r, 19, flagText(p.CategoryF == 1, "設定"));
        tb.setTextMatrix(r, 20, flagText(p.CsvOutFlag == 1, "設定"));
        tb.setRowHeight(r, height);
        tb.setRowData(r, slot);
        ++r;
    }

    if (t.PerCount > 0) {
        // Settings from a damaged family file must not take the grid outside
        // its columns or sort codes.
        const bool sortable = s.Sort_factor >= 0 && s.Sort_factor < entry::GridCols &&
                              s.Array_SortMode >= forms::flexSortNone &&
                              s.Array_SortMode <= forms::flexSortGenericDescending;
        if (sortable) {
            const int col = tb.col();
            tb.setCol(s.Sort_factor);
            tb.sort(s.Array_SortMode);
            tb.setCol(col);
        }
        m_fillingGrid = false;
        rowset();
    }
    m_fillingGrid = false;
    if (model::runState().Entry_EditMode == 0)
        newp();

    if (Entry_CardView == 0) {
        setPanelTabStops(false, false);
        tb.setFocus();
    }
    if (!birthAfterDeath.empty())
        platform::MsgBox(birthAfterDeathMessage(birthAfterDeath), platform::vbOKOnly);
}
