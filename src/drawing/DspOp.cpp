#include "drawing/DspOp.h"

#include "drawing/BoxText.h"
#include "forms/Colors.h"
#include "layout/Calc_TreeWidth.h"
#include "layout/ChartElements.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "model/WindowServices.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <initializer_list>
#include <utility>

namespace drawing {

namespace {

DspOpRequests defaultRequests;
DspOpRequests* installedRequests = nullptr;

} // namespace

std::string DspOpRequests::zoomBoxText()
{
    return platform::CStrDouble(layout::chart().Zoom_Ratio * 100);
}

void DspOpRequests::setZoomBoxText(const std::string& text)
{
    layout::chartElements().setZoomBoxText(text);
}

void setDspOpRequests(DspOpRequests* requests)
{
    installedRequests = requests;
}

DspOpRequests& dspOpRequests()
{
    return installedRequests ? *installedRequests : defaultRequests;
}

const std::array<const char*, model::DispItemCount> DspItemNames = {
    "名前", "旧姓", "生年月日", "死亡年月日", "住所", "電話番号", "携帯番号", "E_mail", "備考", "続柄", "戒名"};

const std::array<const char*, 6> DspNenNames = {
    "年号漢数字－年月日",        "年号アラビア数字－年月日",     "西暦漢数字－年月日",
    "西暦アラビア数字－年月日", "西暦アラビア数字(YYYY/MM/DD)", "西暦アラビア数字(MM/DD/YYYY)"};

const std::array<const char*, 5> DspPicLocNames = {"画像無し", "上", "下", "右", "左"};

bool parseItemPercent(const std::string& text, int16_t& value)
{
    const std::string digits = platform::Trim(platform::narrowWidth(text));
    // Three digits are enough for 1..100; longer runs are out of range anyway and
    // must not overflow on the way.
    if (digits.empty() || digits.size() > 3)
        return false;
    int v = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
        v = v * 10 + (c - '0');
    }
    if (v < 1 || v > 100)
        return false;
    value = static_cast<int16_t>(v);
    return true;
}

} // namespace drawing


namespace {

using drawing::dspOpRequests;

using model::isUsedPerson;

// The alignment labels in code order, for each chart direction. In vertical
// writing DWLocate runs across the columns and DHLocate along them; in horizontal
// writing DHLocate runs along the rows and DWLocate across them.
constexpr std::array<const char*, 3> VerticalWLoc = {"中央揃え", "右揃え", "左揃え"};
constexpr std::array<const char*, 3> VerticalHLoc = {"中央揃え", "上揃え", "下揃え"};
constexpr std::array<const char*, 3> HorizontalWLoc = {"中央揃え", "下揃え", "上揃え"};
constexpr std::array<const char*, 3> HorizontalHLoc = {"中央揃え", "左揃え", "右揃え"};

// Lends a display block to a person's record for the length of one rendering:
// the renderer reads the block from the record, and the record must come back
// unchanged whatever happens while it draws.
class BlockOnLoan {
public:
    BlockOnLoan(model::personal_data& person, const model::DispStat& block) : m_person(person), m_own(person.Disp)
    {
        m_person.Disp = block;
    }
    ~BlockOnLoan() { m_person.Disp = m_own; }
    BlockOnLoan(const BlockOnLoan&) = delete;
    BlockOnLoan& operator=(const BlockOnLoan&) = delete;

private:
    model::personal_data& m_person;
    model::DispStat m_own;
};

// The caption band at the top of the preview frame, in twips; the box is centred below it.
constexpr double PreviewCaptionHeight = 240;

// `now` with each value `edited` holds other than `shown`: what the user changed in the
// window since it showed the block goes over the block as it is stored now, and a
// value another window changed meanwhile (the person editor's frame switches and
// pattern, the quick name input's) stays.
template <class T>
void takeChanged(T& now, const T& shown, const T& edited)
{
    if (edited != shown)
        now = edited;
}

template <class T, size_t N>
void takeChanged(std::array<T, N>& now, const std::array<T, N>& shown, const std::array<T, N>& edited)
{
    for (size_t i = 0; i < N; ++i)
        takeChanged(now[i], shown[i], edited[i]);
}

model::DispStat withChanges(model::DispStat now, const model::DispStat& shown, const model::DispStat& edited)
{
    takeChanged(now.DSW, shown.DSW, edited.DSW);
    takeChanged(now.DRank, shown.DRank, edited.DRank);
    takeChanged(now.DBai, shown.DBai, edited.DBai);
    takeChanged(now.DWLocate, shown.DWLocate, edited.DWLocate);
    takeChanged(now.DHLocate, shown.DHLocate, edited.DHLocate);
    takeChanged(now.DStart, shown.DStart, edited.DStart);
    takeChanged(now.DWidth, shown.DWidth, edited.DWidth);
    takeChanged(now.DS_FName, shown.DS_FName, edited.DS_FName);
    takeChanged(now.DS_Houko, shown.DS_Houko, edited.DS_Houko);
    takeChanged(now.DS_Nen, shown.DS_Nen, edited.DS_Nen);
    takeChanged(now.DS_Waku, shown.DS_Waku, edited.DS_Waku);
    takeChanged(now.DS_DeathW, shown.DS_DeathW, edited.DS_DeathW);
    takeChanged(now.DS_Visible, shown.DS_Visible, edited.DS_Visible);
    takeChanged(now.DS_PicHouko, shown.DS_PicHouko, edited.DS_PicHouko);
    takeChanged(now.DS_WakuPat, shown.DS_WakuPat, edited.DS_WakuPat);
    return now;
}

} // namespace

DspOpForm::DspOpForm() : Form("DspOp")
{
    DspList.onClick = [this] { DspList_Click(); };
    DspList.onItemCheck = [this](int item) { DspList_ItemCheck(item); };
    DspUp.onClick = [this] { DspUp_Click(); };
    DspDn.onClick = [this] { DspDn_Click(); };
    CBWLoc.onClick = [this] { CBWLoc_Click(); };
    CBHLoc.onClick = [this] { CBHLoc_Click(); };
    CBNen.onClick = [this] { CBNen_Click(); };
    CBPicLoc.onClick = [this] { CBPicLoc_Click(); };
    ChkWaku.onClick = [this] { ChkWaku_Click(); };
    ChkDWaku.onClick = [this] { ChkDWaku_Click(); };
    ChkFName.onClick = [this] { ChkFName_Click(); };
    ChkVisible.onClick = [this] { ChkVisible_Click(); };
    DspHouko.onClick = [this](int index) { DspHouko_Click(index); };
    optWrite_Stat.onClick = [this](int index) { optWrite_Stat_Click(index); };
    txtBai.onKeyPress = [this](int16_t& keyAscii) { txtBai_KeyPress(keyAscii); };
    TxtDBai.onKeyPress = [this](int16_t& keyAscii) { TxtDBai_KeyPress(keyAscii); };
    TxtDW.onKeyPress = [this](int16_t& keyAscii) { TxtDW_KeyPress(keyAscii); };
    TxtDBai.onGotFocus = [this] { TxtDBai_GotFocus(); };
    TxtDW.onGotFocus = [this] { TxtDW_GotFocus(); };
    CmdOK.onClick = [this] { CmdOK_Click(); };
    CmdCan.onClick = [this] { CmdCan_Click(); };
    CmdAllMod.onClick = [this] { CmdAllMod_Click(); };
    cmdAllModCate.onClick = [this] { cmdAllModCate_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void DspOpForm::design()
{
    setCaption(drawing::DspOpCaption);
    setBorderStyle(forms::vbFixedDialog);
    move(1800, 1200, 12480, 7020);

    // Left: the item list with its order buttons, and the family-name switches.
    lblDspList.move(120, 120, 2880, 255);
    lblDspList.setCaption("表示項目");
    DspList.move(120, 390, 2880, 3660);
    DspList.setStyle(forms::vbListBoxCheckbox);
    DspList.setToolTipText("表示する項目を指定します。横書の場合は上から下、縦書の場合は右から左へ設定した内容が上から順番に表示されます");
    DspUp.move(120, 4140, 1380, 375);
    DspUp.setCaption("↑ひとつ上へ");
    DspDn.move(1620, 4140, 1380, 375);
    DspDn.setCaption("↓ひとつ下へ");
    Command1.move(120, 4680, 2880, 375);
    Command1.setCaption("全員の名字を表示する");
    Command1.setToolTipText("全員の名字を表示する様に設定を変更します");
    Command2.move(120, 5130, 2880, 375);
    Command2.setCaption("全員の名字を表示しない");
    Command2.setToolTipText("全員の名字を表示しない様に設定を変更します");

    // Middle: the selected item's settings, then the settings of the whole box.
    FraItem.move(3240, 60, 3360, 1980);
    FraItem.setCaption("選択した項目");
    lblDBai.move(120, 330, 1740, 255);
    lblDBai.setCaption("表示フォントサイズ");
    TxtDBai.move(1860, 285, 660, 315);
    TxtDBai.setToolTipText("表示のフォントサイズを決めます。指定された大きさで書けない場合は、表示領域に収まる最大のフォントサイズで表示されます");
    lblDBaiUnit.move(2580, 330, 720, 255);
    lblDBaiUnit.setCaption("ポイント");
    lblDW.move(120, 780, 1740, 255);
    lblDW.setCaption("枠の幅");
    TxtDW.move(1860, 735, 660, 315);
    TxtDW.setToolTipText("枠の幅（縦書）や高さ（横書）の割合を指定します。");
    lblDWUnit.move(2580, 780, 720, 255);
    lblDWUnit.setCaption("％");
    lblLoc.move(120, 1200, 3120, 255);
    lblLoc.setCaption("文字の揃え位置");
    CBWLoc.move(120, 1470, 1500, 315);
    CBWLoc.setStyle(forms::vbComboDropdownList);
    CBWLoc.setToolTipText("文字の揃え位置を指定します");
    CBHLoc.move(1740, 1470, 1500, 315);
    CBHLoc.setStyle(forms::vbComboDropdownList);
    CBHLoc.setToolTipText("文字の揃え位置を指定します");

    lblNen.move(3240, 2160, 3360, 255);
    lblNen.setCaption("年月日表示方法");
    CBNen.move(3240, 2430, 3360, 315);
    CBNen.setStyle(forms::vbComboDropdownList);
    CBNen.setToolTipText("年号の表示方法を指定します");
    lblPicLoc.move(3240, 2910, 1380, 255);
    lblPicLoc.setCaption("画像表示位置");
    CBPicLoc.move(4680, 2865, 1920, 315);
    CBPicLoc.setStyle(forms::vbComboDropdownList);

    FraHouko.move(3240, 3300, 1620, 660);
    FraHouko.setCaption("枠内表示方向");
    FraWrite.move(4980, 3300, 1620, 660);
    FraWrite.setCaption("家系図表示方向");
    for (auto* pair : {&DspHouko, &optWrite_Stat}) {
        (*pair)[0].move(120, 300, 660, 270);
        (*pair)[0].setCaption("横");
        (*pair)[1].move(840, 300, 660, 270);
        (*pair)[1].setCaption("縦");
    }

    lblBai.move(3240, 4140, 1380, 255);
    lblBai.setCaption("枠表示倍率");
    txtBai.move(4680, 4095, 900, 315);
    // The zoom takes digits, typed half-width as in the main window's zoom box.
    txtBai.setIMEMode(forms::vbIMEOff);
    lblBaiUnit.move(5640, 4140, 600, 255);
    lblBaiUnit.setCaption("％");

    ChkWaku.move(3240, 4560, 3360, 270);
    ChkWaku.setCaption("枠を表示する");
    ChkDWaku.move(3240, 4860, 3360, 270);
    ChkDWaku.setCaption("死亡枠を表示する");
    ChkFName.move(3240, 5160, 3360, 270);
    ChkFName.setCaption("名字を表示する");
    ChkVisible.move(3240, 5460, 3360, 270);
    ChkVisible.setCaption("この人を表示しない");

    // Right: the preview, large enough for a box at the largest zoom.
    FraPreview.move(6840, 60, 5400, 5700);
    FraPreview.setCaption("プレビュー");
    PrePic.setBorderStyle(0);
    PrePic.setBackColor(forms::RGB(255, 255, 255));
    PrePic.move(120, PreviewCaptionHeight, 975, 495);

    // Bottom: the apply commands.
    CmdAllMod.move(120, 6000, 1800, 420);
    CmdAllMod.setCaption("全員に設定");
    CmdAllMod.setToolTipText("現在の設定を全ての人に対して適用します");
    cmdAllModCate.move(2040, 6000, 3480, 420);
    cmdAllModCate.setCaption("「カテゴリ」に対して全員に設定");
    cmdAllModCate.setToolTipText("カテゴリの設定がされている個人情報のみに、この設定を適用します");
    CmdOK.move(9600, 6000, 1200, 420);
    CmdOK.setCaption("決定");
    CmdOK.setToolTipText("この人だけに設定を適用します");
    CmdCan.move(10920, 6000, 1320, 420);
    CmdCan.setCaption("ｷｬﾝｾﾙ");
    CmdCan.setToolTipText("編集内容を適用しません");

    int tab = 0;
    for (forms::Control* control : std::initializer_list<forms::Control*>{
             &DspList, &DspUp, &DspDn, &TxtDBai, &TxtDW, &CBWLoc, &CBHLoc, &CBNen, &CBPicLoc, &DspHouko[0],
             &DspHouko[1], &optWrite_Stat[0], &optWrite_Stat[1], &txtBai, &ChkWaku, &ChkDWaku, &ChkFName,
             &ChkVisible, &Command1, &Command2, &CmdAllMod, &cmdAllModCate, &CmdOK, &CmdCan})
        control->setTabIndex(tab++);
}

// ------------------------------------------------------------------ opening and closing

void DspOpForm::Form_Load()
{
    DspRestoreF = 0;
    DspListGuard = 0;
    m_workPerson = -1;
    const int person = model::runState().DspOp_Person;
    if (!isUsedPerson(person)) {
        // Nobody to edit: the window does not open.
        platform::Beep();
        unload();
        return;
    }
    DspSavedZoom = dspOpRequests().zoomBoxText();
    DspSavedDir = model::settings().write_state;
    m_savedZoomScale = layout::chart().Zoom_Scale;
    m_savedZoomRatio = layout::chart().Zoom_Ratio;
    DspRestoreF = 1;
    startEditing(person);
}

void DspOpForm::Form_Unload(int& /*Cancel*/)
{
    if (DspRestoreF == 1) {
        dspOpRequests().setZoomBoxText(DspSavedZoom);
        model::settings().write_state = DspSavedDir;
        // The zoom and the metrics go back with the box text and the direction, so
        // the next drawing of the chart matches what the zoom box says.
        layout::chart().Zoom_Scale = m_savedZoomScale;
        layout::chart().Zoom_Ratio = m_savedZoomRatio;
        layout::setMetricsForWriteState();
    }
    DspRestoreF = 0;
    m_workPerson = -1;
}

void DspOpForm::showForPerson(int person)
{
    if (!isUsedPerson(person)) {
        platform::Beep();
        return;
    }
    model::runState().DspOp_Person = static_cast<int16_t>(person);
    if (!isLoaded()) {
        load();
        if (!isLoaded())
            return;
    } else if (m_workPerson != person) {
        // Open for someone else: the edits of the first person are dropped unapplied.
        startEditing(person);
    }
    show();
}

void DspOpForm::showCurrentFamily()
{
    if (isLoaded() && !isUsedPerson(m_workPerson))
        forgetPerson(m_workPerson);
}

void DspOpForm::forgetPerson(int person)
{
    // The block belongs to nobody now; an apply would give it to whoever takes the
    // slot next. The window closes as Cancel closes it.
    if (isLoaded() && m_workPerson != -1 && m_workPerson == person)
        unload();
}

void DspOpForm::startEditing(int person)
{
    m_workPerson = person;
    m_shownBlock = model::tables().per_buf[person].Disp;
    DspWork = m_shownBlock;
    DspListGuard = 0;
    SetDspOp();
}

// ------------------------------------------------------------------ filling the controls

void DspOpForm::fillAlignmentLists()
{
    const bool vertical = model::settings().write_state != 0;
    CBWLoc.clear();
    for (const char* label : vertical ? VerticalWLoc : HorizontalWLoc)
        CBWLoc.addItem(label);
    CBHLoc.clear();
    for (const char* label : vertical ? VerticalHLoc : HorizontalHLoc)
        CBHLoc.addItem(label);
}

void DspOpForm::showCode(forms::ComboBox& list, int code)
{
    list.setListIndex(code >= 0 && code < list.listCount() ? code : -1);
}

int DspOpForm::checkValueOf(int16_t flag)
{
    return flag != 0 ? forms::vbChecked : forms::vbUnchecked;
}

void DspOpForm::SetDspOp()
{
    load();
    if (!isLoaded() || m_workPerson < 0)
        return;

    fillAlignmentLists();

    CBNen.clear();
    for (const char* label : drawing::DspNenNames)
        CBNen.addItem(label);
    showCode(CBNen, DspWork.DS_Nen);
    CBPicLoc.clear();
    for (const char* label : drawing::DspPicLocNames)
        CBPicLoc.addItem(label);
    showCode(CBPicLoc, DspWork.DS_PicHouko);

    // Rows in ascending rank; equal ranks keep item order, as the renderer takes them.
    for (int i = 0; i < model::DispItemCount; ++i)
        DspRowMap[i] = RowMapEntry{static_cast<int16_t>(i), DspWork.DRank[i]};
    for (bool swapped = true; swapped;) {
        swapped = false;
        for (int r = 0; r + 1 < model::DispItemCount; ++r) {
            if (DspRowMap[r].rank > DspRowMap[r + 1].rank) {
                std::swap(DspRowMap[r], DspRowMap[r + 1]);
                swapped = true;
            }
        }
    }
    DspList.clear();
    for (int r = 0; r < model::DispItemCount; ++r) {
        const int item = DspRowMap[r].item;
        DspList.addItem("");
        // Checked exactly when the renderer shows the item.
        Mod_DspList(r, DspWork.DSW[item] == -1, drawing::DspItemNames[item]);
    }
    // No row is selected: the item boxes show nothing until one is.
    TxtDBai.setText("");
    TxtDW.setText("");

    if (DspWork.DS_Houko != 0) {
        DspWork.DS_Houko = 1;
        DspHouko[1].setValue(true);
    } else {
        DspHouko[0].setValue(true);
    }
    optWrite_Stat[model::settings().write_state != 0 ? 1 : 0].setValue(true);

    ChkWaku.setValue(checkValueOf(DspWork.DS_Waku));
    ChkDWaku.setValue(checkValueOf(DspWork.DS_DeathW));
    // Only 1 shows the family name.
    ChkFName.setValue(DspWork.DS_FName == 1 ? forms::vbChecked : forms::vbUnchecked);
    // The box asks whether the person is hidden; the block stores whether it is shown.
    ChkVisible.setValue(DspWork.DS_Visible == 0 ? forms::vbChecked : forms::vbUnchecked);
    txtBai.setText(dspOpRequests().zoomBoxText());

    // The controls that changed have drawn the preview already; the ones that did
    // not may have been all of them.
    DispPreView();
}

void DspOpForm::Mod_DspList(int row, bool check, const std::string& name)
{
    load();
    if (!isLoaded() || row < 0 || row >= DspList.listCount())
        return;
    DspListGuard = -1;
    DspList.setList(row, name);
    DspList.setSelected(row, check);
    DspListGuard = 0;
}

// ------------------------------------------------------------------ preview

void DspOpForm::DispPreView()
{
    load();
    if (!isLoaded() || m_workPerson < 0)
        return;
    if (CBNen.listIndex() >= 0)
        DspWork.DS_Nen = static_cast<int16_t>(CBNen.listIndex());
    layout::setMetricsForWriteState();

    const double boxW = layout::chart().box_w;
    const double boxH = layout::chart().box_h;
    const double areaW = FraPreview.width();
    const double areaH = FraPreview.height() - PreviewCaptionHeight;
    PrePic.move(std::max(0.0, (areaW - boxW) / 2), PreviewCaptionHeight + std::max(0.0, (areaH - boxH) / 2), boxW,
                boxH);
    PrePic.cls();
    if (!isUsedPerson(m_workPerson))
        return;
    // The box as an apply would leave it.
    const model::DispStat block = editedBlock();
    {
        BlockOnLoan loan(model::tables().per_buf[m_workPerson], block);
        drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(PrePic, boxW, boxH, drawing::BoxTarget::Chart);
        drawing::Draw_BoxText(ctx, m_workPerson, 0, 0);
    }
    outlineItemLines(block);
}

model::DispStat DspOpForm::editedBlock() const
{
    if (!isUsedPerson(m_workPerson))
        return DspWork;
    return withChanges(model::tables().per_buf[m_workPerson].Disp, m_shownBlock, DspWork);
}

void DspOpForm::outlineItemLines(const model::DispStat& block)
{
    // The widths as the renderer used them: scaled down when they add up to more than 100.
    const model::DispStat& drawn = model::tables().LastDispStat;
    const model::personal_data& person = model::tables().per_buf[m_workPerson];
    double left = 0;
    double top = 0;
    double width = PrePic.scaleWidth();
    double height = PrePic.scaleHeight();
    if (model::settings().Dispmode_Death == 1 && (!platform::Trim(person.Death_day).empty() || block.DS_DeathW != 0)) {
        const double margin = platform::Int(std::max(width, height) / 50);
        left += margin;
        top += margin;
        width -= 2 * margin;
        height -= 2 * margin;
    }
    // The far edges one pixel in, so that the last line's outline stays visible.
    const double right = left + width - PrePic.twipsPerPixelX();
    const double bottom = top + height - PrePic.twipsPerPixelY();
    const bool vertical = block.DS_Houko != 0;
    double edge = vertical ? right : top;
    for (const RowMapEntry& row : DspRowMap) {
        if (block.DSW[row.item] != -1)
            continue;
        const double share = drawn.DWidth[row.item] / 100;
        if (vertical) {
            const double next = std::max(left, edge - share * width);
            PrePic.line(next, top, edge, bottom, forms::UseForeColor, forms::LineShape::Box);
            edge = next;
        } else {
            const double next = std::min(bottom, edge + share * height);
            PrePic.line(left, edge, right, next, forms::UseForeColor, forms::LineShape::Box);
            edge = next;
        }
    }
}

// ------------------------------------------------------------------ item list

int DspOpForm::selectedItem() const
{
    const int row = DspList.listIndex();
    if (row < 0 || row >= model::DispItemCount)
        return -1;
    return DspRowMap[row].item;
}

void DspOpForm::DspList_Click()
{
    const int item = selectedItem();
    if (item < 0)
        return;
    TxtDBai.setText(std::to_string(DspWork.DBai[item]));
    TxtDW.setText(platform::CStrDouble(DspWork.DWidth[item]));
    showCode(CBWLoc, DspWork.DWLocate[item]);
    showCode(CBHLoc, DspWork.DHLocate[item]);
}

void DspOpForm::DspList_ItemCheck(int Item)
{
    if (DspListGuard == -1 || Item < 0 || Item >= model::DispItemCount)
        return;
    DspWork.DSW[DspRowMap[Item].item] = DspList.selected(Item) ? -1 : 0;
    DispPreView();
}

void DspOpForm::moveSelectedRow(int direction)
{
    const int row = DspList.listIndex();
    const int other = row + direction;
    if (row < 0 || row >= model::DispItemCount || other < 0 || other >= model::DispItemCount)
        return;
    std::swap(DspRowMap[row], DspRowMap[other]);
    for (int r : {row, other}) {
        const int item = DspRowMap[r].item;
        Mod_DspList(r, DspWork.DSW[item] == -1, drawing::DspItemNames[item]);
    }
    for (int r = 0; r < model::DispItemCount; ++r) {
        DspWork.DRank[DspRowMap[r].item] = static_cast<int16_t>(r);
        DspRowMap[r].rank = static_cast<int16_t>(r);
    }
    DspList.setListIndex(other);
    DispPreView();
}

void DspOpForm::DspUp_Click()
{
    moveSelectedRow(-1);
}

void DspOpForm::DspDn_Click()
{
    moveSelectedRow(+1);
}

// ------------------------------------------------------------------ item settings

void DspOpForm::CBWLoc_Click()
{
    const int item = selectedItem();
    const int code = CBWLoc.listIndex();
    if (item < 0 || code < 0)
        return;
    DspWork.DWLocate[item] = static_cast<int16_t>(code);
    DspList_Click();
    DispPreView();
}

void DspOpForm::CBHLoc_Click()
{
    const int item = selectedItem();
    const int code = CBHLoc.listIndex();
    if (item < 0 || code < 0)
        return;
    DspWork.DHLocate[item] = static_cast<int16_t>(code);
    DspList_Click();
    DispPreView();
}

void DspOpForm::enterItemPercent(forms::TextBox& box, bool isWidth)
{
    int16_t value = 0;
    if (!drawing::parseItemPercent(box.text(), value)) {
        if (isWidth)
            platform::MsgBox(drawing::DWidthRangeMessage, platform::vbExclamation, drawing::DWidthRangeTitle);
        else
            platform::MsgBox(drawing::DBaiRangeMessage, platform::vbExclamation, drawing::DBaiRangeTitle);
        return;
    }
    const int item = selectedItem();
    if (item < 0)
        return;
    if (isWidth)
        DspWork.DWidth[item] = value;
    else
        DspWork.DBai[item] = value;
    DispPreView();
    DspList_Click();
}

void DspOpForm::TxtDBai_KeyPress(int16_t& KeyAscii)
{
    if (KeyAscii == 13)
        enterItemPercent(TxtDBai, false);
}

void DspOpForm::TxtDW_KeyPress(int16_t& KeyAscii)
{
    if (KeyAscii == 13)
        enterItemPercent(TxtDW, true);
}

void DspOpForm::TxtDBai_GotFocus()
{
    // Digits are typed half-width.
    TxtDBai.setIMEMode(forms::vbIMEOff);
}

void DspOpForm::TxtDW_GotFocus()
{
    TxtDW.setIMEMode(forms::vbIMEOff);
}

// ------------------------------------------------------------------ box settings

void DspOpForm::CBNen_Click()
{
    if (CBNen.listIndex() < 0)
        return;
    DspWork.DS_Nen = static_cast<int16_t>(CBNen.listIndex());
    DispPreView();
}

void DspOpForm::CBPicLoc_Click()
{
    if (CBPicLoc.listIndex() < 0)
        return;
    DspWork.DS_PicHouko = static_cast<int16_t>(CBPicLoc.listIndex());
    DispPreView();
}

void DspOpForm::ChkWaku_Click()
{
    DspWork.DS_Waku = static_cast<int16_t>(ChkWaku.value());
    DispPreView();
}

void DspOpForm::ChkDWaku_Click()
{
    DspWork.DS_DeathW = static_cast<int16_t>(ChkDWaku.value());
    DispPreView();
}

void DspOpForm::ChkFName_Click()
{
    DspWork.DS_FName = static_cast<int16_t>(ChkFName.value());
    DispPreView();
}

void DspOpForm::ChkVisible_Click()
{
    DspWork.DS_Visible = ChkVisible.value() == forms::vbChecked ? 0 : 1;
    DispPreView();
}

void DspOpForm::DspHouko_Click(int /*Index*/)
{
    const int16_t chosen = DspHouko[0].value() ? 0 : 1;
    if (DspWork.DS_Houko != chosen)
        DspWork.DS_Houko = chosen;
    DispPreView();
}

void DspOpForm::optWrite_Stat_Click(int /*Index*/)
{
    const int16_t chosen = optWrite_Stat[0].value() ? 0 : 1;
    if (model::settings().write_state != chosen) {
        // The chart itself follows only when a command applies the settings.
        model::settings().write_state = chosen;
        // The labels follow the direction; the selected item's codes are shown again.
        fillAlignmentLists();
        DspList_Click();
    }
    DispPreView();
}

void DspOpForm::txtBai_KeyPress(int16_t& KeyAscii)
{
    if (KeyAscii != 13)
        return;
    const double entered = platform::Val(txtBai.text());
    if (entered > drawing::DspMaxZoom)
        txtBai.setText("500");
    else if (entered < drawing::DspMinZoom)
        txtBai.setText("25");
    dspOpRequests().setZoomBoxText(txtBai.text());
    // The zoom is what the box now shows, also when the entry was out of range.
    layout::setZoomPercent(platform::Val(txtBai.text()));
    layout::setMetricsForWriteState();
    DispPreView();
}

// ------------------------------------------------------------------ commands

void DspOpForm::finishApply()
{
    model::tables().Data_Changed = 1;
    DspRestoreF = 0;
    layout::Calc_TreeWidth();
    layout::Unload_ChartCtl();
    dspOpRequests().rebuildChart();
    unload();
}

void DspOpForm::saveUndoBeforeApply()
{
    model::Settings& s = model::settings();
    const int16_t chosen = s.write_state;
    s.write_state = DspSavedDir;
    model::windowServices().saveUndo();
    s.write_state = chosen;
}

void DspOpForm::applyBlock(ApplyTo scope)
{
    const int changed = scope == ApplyTo::EditedPerson ? m_workPerson : -1;
    if (!dspOpRequests().settlePersonEditorFor(changed))
        return;
    // The edited person takes the block as the preview showed it: what was changed
    // here over the block as it is stored now.
    const model::DispStat block = editedBlock();
    saveUndoBeforeApply();
    model::Tables& t = model::tables();
    if (isUsedPerson(m_workPerson))
        t.per_buf[m_workPerson].Disp = block;
    if (scope != ApplyTo::EditedPerson) {
        for (int p = 1; p <= model::LastSlot; ++p) {
            model::personal_data& person = t.per_buf[p];
            if (p == m_workPerson || person.InUse != model::SlotUsed)
                continue;
            if (scope == ApplyTo::CategoryPersons && person.CategoryF != 1)
                continue;
            // Everybody else keeps the own frame and death-frame switches.
            const int16_t waku = person.Disp.DS_Waku;
            const int16_t deathWaku = person.Disp.DS_DeathW;
            person.Disp = block;
            person.Disp.DS_Waku = waku;
            person.Disp.DS_DeathW = deathWaku;
        }
    }
    finishApply();
    dspOpRequests().showChangedPerson(changed);
}

void DspOpForm::setAllFamilyNames(int16_t shown, const char* question)
{
    if (platform::MsgBox(question, platform::vbYesNo, drawing::DspOpCaption) != platform::vbYes)
        return;
    // The edited person takes the whole block; the others only the family-name mark,
    // which no editor shows.
    if (!dspOpRequests().settlePersonEditorFor(m_workPerson))
        return;
    saveUndoBeforeApply();
    model::Tables& t = model::tables();
    DspWork.DS_FName = shown;
    if (isUsedPerson(m_workPerson))
        t.per_buf[m_workPerson].Disp = editedBlock();
    for (int p = 1; p <= model::LastSlot; ++p) {
        if (t.per_buf[p].InUse == model::SlotUsed)
            t.per_buf[p].Disp.DS_FName = shown;
    }
    const int edited = m_workPerson;
    finishApply();
    dspOpRequests().showChangedPerson(edited);
}

void DspOpForm::CmdOK_Click()
{
    applyBlock(ApplyTo::EditedPerson);
}

void DspOpForm::CmdAllMod_Click()
{
    applyBlock(ApplyTo::AllPersons);
}

void DspOpForm::cmdAllModCate_Click()
{
    applyBlock(ApplyTo::CategoryPersons);
}

void DspOpForm::Command1_Click()
{
    setAllFamilyNames(1, drawing::AllFNameOnQuestion);
}

void DspOpForm::Command2_Click()
{
    setAllFamilyNames(0, drawing::AllFNameOffQuestion);
}

void DspOpForm::CmdCan_Click()
{
    unload();
}

DspOpForm& dspop_form()
{
    static DspOpForm instance;
    return instance;
}
