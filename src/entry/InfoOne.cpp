#include "entry/InfoOne.h"

#include "entry/DateValue.h"
#include "entry/EntryPaths.h"
#include "entry/entry_state.h"

#include "forms/Picture.h"
#include "model/filestore/MediaBundle.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"

#include <array>

namespace {

struct Field {
    int label;
    const char* caption;
    double labelLeft, labelTop;
    int text;
    double left, top, width;
};

// Caption and value box of every field, as the card lays them out.
constexpr std::array<Field, 13> Fields = {{
    {0, "名字", 120, 120, 0, 120, 360, 855},
    {1, "名前", 1080, 120, 1, 1080, 360, 855},
    {3, "生年月日", 3120, 120, 3, 3120, 360, 1815},
    {14, "〒", 120, 720, 13, 120, 960, 1215},
    {2, "旧姓", 2070, 720, 2, 2070, 960, 855},
    {4, "死亡年月日", 3120, 720, 4, 3120, 960, 1815},
    {5, "年令", 5040, 720, 5, 5040, 960, 855},
    {6, "住所１", 120, 1320, 6, 120, 1560, 2895},
    {8, "電話番号", 3120, 1320, 8, 3120, 1560, 1335},
    {7, "住所２", 120, 1920, 7, 120, 2160, 2895},
    {9, "ＦＡＸ", 3120, 1920, 9, 3120, 2160, 1335},
    {11, "e-mail", 120, 2520, 11, 120, 2760, 2895},
    {10, "携帯電話", 3120, 2520, 10, 3120, 2760, 1335},
}};

} // namespace

namespace entry {

std::string cardRemarks(const std::string& biko)
{
    std::string out;
    int lineFeeds = 0;
    for (char c : biko) {
        if (c == '\n')
            ++lineFeeds;
        else
            out += c;
        if (lineFeeds == 2) {
            out += "\r\n";
            lineFeeds = 0;
        }
    }
    return out;
}

} // namespace entry

InfoOne::InfoOne() : Form("InfoOne")
{
    CMDEND.onClick = [this] { CMDEND_Click(); };
}

InfoOne& infoone_form()
{
    static InfoOne instance;
    return instance;
}

void InfoOne::design()
{
    setCaption(entry::InfoOneCaption);
    setBorderStyle(forms::vbFixedSingle);
    move(1500, 1500, 6780, 4890);
    for (const Field& f : Fields) {
        Label1[f.label].move(f.labelLeft, f.labelTop, 1000, 255);
        Label1[f.label].setCaption(f.caption);
        Text1[f.text].move(f.left, f.top, f.width, 295);
        Text1[f.text].setLocked(true);
    }
    Option1[0].move(2100, 120, 800, 255);
    Option1[0].setCaption("男");
    Option1[1].move(2100, 435, 800, 255);
    Option1[1].setCaption("女");
    Label1[12].move(120, 3120, 1000, 255);
    Label1[12].setCaption("備考");
    Text1[12].setMultiLine(true);
    Text1[12].move(120, 3360, 5445, 900);
    Text1[12].setLocked(true);
    Label1[13].move(5340, 1620, 1000, 255);
    Label1[13].setCaption("画像");
    Picture1[1].move(5310, 1855, 1200, 1200);
    Label1[15].move(4590, 2250, 700, 255);
    Label1[15].setCaption("ｱｲｺﾝ");
    Picture1[0].move(4590, 2500, 555, 555);
    CMDEND.move(5730, 3420, 800, 825);
    CMDEND.setCaption("戻る");
}

void InfoOne::Show_Person_Info(int index)
{
    const std::string faceFolder = entry::faceFolder();
    // Slots outside the table are no person at all; there is no record to read a picture from.
    if (!model::isSlot(index)) {
        platform::MsgBox(entry::NoSuchPersonMessage, platform::vbOKOnly);
        return;
    }
    const model::personal_data& p = model::tables().per_buf[static_cast<size_t>(index)];
    if (p.InUse == model::SlotUsed) {
        m_person = index;
        Text1[0].setText(p.F_name);
        Text1[1].setText(p.Name);
        Text1[2].setText(p.Old_name);
        Text1[3].setText(p.B_day);
        Text1[4].setText(p.Death_day);
        // The age follows the dates as on the editor's card and grid; without
        // usable dates the stored age is shown.
        Text1[5].setText(entry::ageText(entry::ageOf(p.B_day, p.Death_day), p.Age));
        Text1[6].setText(p.Addr1);
        Text1[7].setText(p.Addr2);
        Text1[8].setText(p.TelNo);
        Text1[9].setText(p.FaxNo);
        Text1[10].setText(p.KeiNo);
        Text1[11].setText(p.E_mail);
        Text1[12].setText(entry::cardRemarks(p.Biko));
        Text1[13].setText(p.YubinNo);
        Label1[5].setCaption(p.Death_day.empty() ? "年令" : "死亡年令");
        if (p.Sex != 0)
            Option1[1].setValue(true);
        else
            Option1[0].setValue(true);
    } else {
        platform::MsgBox(entry::NoSuchPersonMessage, platform::vbOKOnly);
    }
    if (const std::string failure = showPicture(faceFolder, index); !failure.empty())
        platform::MsgBox(failure, platform::vbOKOnly);
}

std::string InfoOne::showPicture(const std::string& faceFolder, int index)
{
    const model::personal_data& p = model::tables().per_buf[static_cast<size_t>(index)];
    // The previous person's face never stays: a picture that cannot be loaded leaves both boxes empty.
    Picture1[0].setPicture(forms::Picture());
    Picture1[1].setPicture(forms::Picture());
    if (p.Picture_index == -1)
        return std::string();
    // The picture's name comes from the family file: it must stay inside the face folder.
    if (!model::isPlainFileName(p.Picture_filename))
        return entry::CardPictureError;
    const std::string path = platform::joinPath(faceFolder, p.Picture_filename);
    forms::Picture picture;
    try {
        picture = forms::LoadPicture(path);
    } catch (const platform::RuntimeError& e) {
        return platform::failedFileMessage(entry::CardPictureError, e, path);
    }
    if (p.Picture_mode != 0) {
        forms::PictureBox& box = Picture1[1];
        box.paintPicture(picture, 0, 0, box.width(), box.height());
    } else {
        Picture1[0].setPicture(picture);
    }
    return std::string();
}

void InfoOne::showPersonCard(int person)
{
    entry::EntryState& state = entry::entryState();
    if (state.InfoOne_Open == 1 && isLoaded()) {
        zOrder(0);
    } else {
        show();
        state.InfoOne_Open = 1;
    }
    Show_Person_Info(person);
}

void InfoOne::showPersonIfOpen(int person)
{
    if (entry::entryState().InfoOne_Open != 1 || !isLoaded())
        return;
    zOrder(0);
    Show_Person_Info(person);
}

void InfoOne::showCurrentFamily()
{
    if (entry::entryState().InfoOne_Open != 1 || !isLoaded())
        return;
    if (model::isUsedPerson(m_person))
        Show_Person_Info(m_person);
    else
        CMDEND_Click();
}

void InfoOne::CMDEND_Click()
{
    if (model::runState().YTbl_Open == -1) {
        if (forms::Form* chronology = forms::findLoadedForm("yeartb"))
            chronology->setFocus();
    }
    entry::entryState().InfoOne_Open = 0;
    hide();
}

void InfoOne::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    (void)Cancel;
    (void)UnloadMode;
    entry::entryState().InfoOne_Open = 0;
    hide();
}
