#include "entry/EntryForm.h"

#include "entry/EntryForm_p.h"
#include "entry/EntryRequests.h"
#include "entry/entry_state.h"

#include "forms/BusyPointer.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <array>

using entry::T;

namespace {

constexpr std::array<const char*, 19> PanelCaptions = {
    "名字", "名前", "旧姓", "生年月日", "死亡年月日", "年令", "住所１", "住所２", "電話番号", "ＦＡＸ",
    "携帯電話", "E_mail", "備考", "画像", "〒", "続柄", "戒名", "グループ", "結婚後の続柄"};

constexpr std::array<const char*, entry::GridCols> GridHeaders = {
    "  ", "名字", "名前", "旧姓", "男女", "生年月日", "死亡年月日", "年令", "電話番号", "携帯電話", "FAX",
    "住所１", "住所２", "〒", "E_mail", "続柄", "戒名", "枠表示", "死亡枠表示", "カテゴリ設定", "CSV出力"};

constexpr std::array<const char*, 5> WakuPatterns = {"実線", "鎖線", "点線", "一点鎖線", "二点鎖線"};

// The panel's rows, in twips inside frm1(0).
constexpr double RowStep = 360;
constexpr double FirstRow = 240;
double rowTop(int row)
{
    return FirstRow + RowStep * row;
}

} // namespace

EntryForm::EntryForm() : Form("entry")
{
    CMDFUNC.onClick = [this](int index) { CMDFUNC_Click(index); };
    scritem.onClick = [this](int index) { scritem_Click(index); };
    Tab1.onClick = [this] { Tab1_Click(); };
    CBGrp.onGotFocus = [this] { CBGrp_GotFocus(); };
    CBGrp.onKeyPress = [this](int16_t& key) { CBGrp_KeyPress(key); };
    Option1.onKeyPress = [this](int index, int16_t& key) { Option1_KeyPress(index, key); };
    Text1.onGotFocus = [this](int index) { Text1_GotFocus(index); };
    Text1.onKeyPress = [this](int index, int16_t& key) { Text1_KeyPress(index, key); };
    Text1.onLostFocus = [this](int index) { Text1_LostFocus(index); };
    calend.onClick = [this](int index) { calend_Click(index); };

    tb.onKeyDown = [this](int& key, int shift) { tb_KeyDown(key, shift); };
    tb.onKeyPress = [this](int16_t& key) { tb_KeyPress(key); };
    tb.onBeforeEdit = [this](int row, int col, int& cancel) { tb_BeforeEdit(row, col, cancel); };
    tb.onValidateEdit = [this](int row, int col, int& cancel) { tb_ValidateEdit(row, col, cancel); };
    tb.onAfterEdit = [this](int row, int col) { tb_AfterEdit(row, col); };
    tb.onMouseDown = [this](int button, int shift, double x, double y) { tb_MouseDown(button, shift, x, y); };
    tb.onMouseUp = [this](int button, int shift, double x, double y) { tb_MouseUp(button, shift, x, y); };
    tb.onRowColChange = [this] { tb_RowColChange(); };
    tb.onEnterCell = [this] { tb_EnterCell(); };
    tb.onHideEditor = [this] { tb_HideEditor(); };
    tb.onClick = [this] { tb_Click(); };
    Text2.onKeyDown = [this](int& key, int shift) { Text2_KeyDown(key, shift); };
    // Tab in the cell editor moves along the row as Enter does, not out of the grid.
    Text2.setTakesTabKey(true);
    Text2.onKeyPress = [this](int16_t& key) { Text2_KeyPress(key); };
    Text2.onLostFocus = [this] { Text2_LostFocus(); };
    up.onClick = [this] { up_Click(); };
    down.onClick = [this] { down_Click(); };
    nosort.onClick = [this] { nosort_Click(); };
    Picture1.onClick = [this](int index) { Picture1_Click(index); };
    Picture1.onDblClick = [this](int index) { Picture1_DblClick(index); };
    chan.onClick = [this] { chan_Click(); };
    del.onClick = [this] { del_Click(); };
    cmdvoice.onClick = [this] { cmdvoice_Click(); };
    cmdvoice.onMouseMove = [this](int button, int shift, double x, double y) { cmdvoice_MouseMove(button, shift, x, y); };
}

EntryForm& entry_form()
{
    static EntryForm instance;
    return instance;
}

// ---------------------------------------------------------------- design

void EntryForm::design()
{
    setCaption(entry::EntryCaption);
    setBorderStyle(forms::vbSizable);
    move(1200, 900, 8760, 8160);

    Tab1.move(165, 30, 8070, 345);
    Tab1.tabs().add(0, "card", "カード");
    Tab1.tabs().add(0, "table", "表");
    frm1[0].move(150, 345, 8235, 5970);
    frm1[1].move(165, 330, 8235, 6000);
    for (int i = 0; i <= 1; ++i)
        frm1[i].setBorderStyle(0);

    Line1.setX1(90);
    Line1.setY1(6465);
    Line1.setX2(8370);
    Line1.setY2(6465);

    const std::array<const char*, 8> captions = {"新規", "登録", "削除", "項目設定", "戻る", "", "", "オプション"};
    const std::array<std::array<double, 4>, 8> places = {{{210, 6555, 915, 825},
                                                          {1155, 6555, 915, 825},
                                                          {2130, 6555, 915, 825},
                                                          {3375, 6570, 915, 825},
                                                          {7395, 6555, 915, 825},
                                                          {4575, 6915, 495, 435},
                                                          {5055, 6915, 495, 435},
                                                          {5895, 6570, 915, 825}}};
    for (int i = 0; i < 8; ++i) {
        CMDFUNC[i].move(places[i][0], places[i][1], places[i][2], places[i][3]);
        CMDFUNC[i].setCaption(captions[static_cast<size_t>(i)]);
    }
    // The previous and next buttons carry arrows where the toolbar pictures would be.
    CMDFUNC[5].setCaption("◀");
    CMDFUNC[6].setCaption("▶");
    CMDFUNC[5].setToolTipText("前へ");
    CMDFUNC[6].setToolTipText("次へ");
    CMDFUNC[5].setEnabled(false);
    CMDFUNC[6].setEnabled(false);
    CMDFUNC[7].setToolTipText("表示オプション");

    Label2[0].move(4575, 6615, 390, 255);
    Label2[1].move(5175, 6615, 390, 255);
    // Four digits ("1023") fit the 390-twip counts with the half-width digits of
    // the fixed-pitch gothic.
    Label2[0].setFontName("ＭＳ ゴシック");
    Label2[1].setFontName("ＭＳ ゴシック");
    Line2.setX1(4965);
    Line2.setY1(6795);
    Line2.setX2(5145);
    Line2.setY2(6615);

    // The panel: names, sex, labels and dates on the left; address, contact,
    // remarks and the picture on the right.
    auto placeField = [this](int label, int text, double left, int row, double width) {
        Label1[label].move(left, rowTop(row) + 45, 1140, 255);
        Text1[text].move(left + 1200, rowTop(row), width, 300);
    };
    for (int i = 0; i < static_cast<int>(PanelCaptions.size()); ++i)
        Label1[i].setCaption(PanelCaptions[static_cast<size_t>(i)]);
    placeField(0, 0, 120, 0, 2640);
    placeField(1, 1, 120, 1, 2640);
    placeField(2, 2, 120, 2, 2640);
    Option1[0].move(1320, rowTop(3), 900, 300);
    Option1[0].setCaption("男");
    Option1[1].move(2280, rowTop(3), 900, 300);
    Option1[1].setCaption("女");
    placeField(15, 14, 120, 4, 2640);
    placeField(16, 15, 120, 5, 2640);
    placeField(18, 16, 120, 6, 2640);
    placeField(3, 3, 120, 7, 2640);
    placeField(4, 4, 120, 8, 2640);
    placeField(5, 5, 120, 9, 1200);
    Label1[17].move(120, rowTop(10) + 45, 1140, 255);
    CBGrp.move(1320, rowTop(10), 2640, 300);
    ChkWaku.move(120, rowTop(11), 2200, 300);
    ChkWaku.setCaption("枠を表示する");
    ChkWaku.setToolTipText("家系図上の個人表示に枠を表示します");
    cbWakuPat.move(2400, rowTop(11), 1560, 300);
    cbWakuPat.setStyle(forms::vbComboDropdownList);
    cbWakuPat.setToolTipText("枠の表示パターンです");
    chkDeath.move(120, rowTop(12), 3840, 300);
    chkDeath.setCaption("死亡枠を表示する");
    chkDeath.setToolTipText("死亡年月日を入力しなくとも、強制的に死亡枠を表示させます");
    chkCateF.move(120, rowTop(13), 3840, 300);
    chkCateF.setCaption("この情報をｶﾃｺﾞﾘとして扱う");
    chkCateF.setToolTipText("知人関係等のまとめに利用します。チェックすると家系図上でこの人にドラックした場合、子供として追加されます。");
    chkCsvOutput.move(120, rowTop(14), 3840, 300);
    chkCsvOutput.setCaption("CSV出力フラグ");
    chkCsvOutput.setToolTipText("CSVﾌｧｲﾙに個人情報を出力するかどうかを設定します");

    placeField(14, 6, 4140, 0, 2760);
    placeField(6, 7, 4140, 1, 2760);
    placeField(7, 8, 4140, 2, 2760);
    placeField(8, 9, 4140, 3, 2760);
    placeField(9, 10, 4140, 4, 2760);
    placeField(10, 11, 4140, 5, 2760);
    placeField(11, 12, 4140, 6, 2760);
    Label1[12].move(4140, rowTop(7) + 45, 1140, 255);
    Text1[13].setMultiLine(true);
    Text1[13].move(5340, rowTop(7), 2760, 1020);
    Label1[13].move(4140, rowTop(10) + 45, 1140, 255);
    Picture1[0].move(5340, rowTop(10), 540, 540);
    Picture1[1].move(6000, rowTop(10), 1500, 1500);
    cmdvoice.move(5340, rowTop(12), 540, 540);
    cmdvoice.setCaption("音声");
    cmdvoice.setTag("0");

    // The table view: the grid and its hidden cell editor.
    tb.move(0, 0, 8235, 6000);
    // The window opens on the card, in front of the grid.
    tb.setTabStop(false);
    Text2.move(0, 0, 1000, 285);
    Text2.setVisible(false);

    // Menus.
    scrmenu.setCaption("表示");
    const std::array<const char*, 4> scrCaptions = {"カード入力", "表入力", "-", "戻る"};
    for (int i = 0; i < 4; ++i)
        scritem[i].setCaption(scrCaptions[static_cast<size_t>(i)]);
    setmenu.setCaption("設定");
    setitem[0].setCaption("年号設定");
    calend[0].setCaption("西暦");
    calend[1].setCaption("和暦");
    calend[2].setCaption("省略和暦");
    sort.setCaption("sortmenu");
    sort.setVisible(false);
    up.setCaption("UP");
    p.setCaption("-");
    down.setCaption("Down");
    p2.setCaption("-");
    nosort.setCaption("Nosort");
    pic.setCaption("pic");
    pic.setVisible(false);
    chan.setCaption("Change");
    o.setCaption("-");
    del.setCaption("Delete");
    helpmenu.setCaption("ヘルプ");
    helpmenu.setVisible(false);
}

// ---------------------------------------------------------------- load

void EntryForm::Form_Load()
{
    model::Settings& s = model::settings();
    model::Tables& t = T();
    model::RunState& run = model::runState();

    cbWakuPat.clear();
    for (const char* pattern : WakuPatterns)
        cbWakuPat.addItem(pattern);

    m_loadHeight = height();
    m_loadWidth = width();

    CMDFUNC[2].setEnabled(false);
    CMDFUNC[3].setEnabled(false);

    Entry_CardView = -1;
    frm1[0].zOrder(0);

    scritem[0].setEnabled(false);
    scritem[1].setEnabled(true);

    int free = 0;
    for (int slot = 1; slot <= model::LastSlot; ++slot) {
        if (t.per_buf[static_cast<size_t>(slot)].InUse == model::SlotFree)
            ++free;
    }
    t.PerCount = static_cast<int16_t>(model::LastSlot - free);
    Label2[1].setCaption(platform::CStr(t.PerCount));

    tb.setCols(entry::GridCols);
    tb.setRows(1);
    for (int c = 0; c < entry::GridCols; ++c) {
        tb.setTextMatrix(0, c, GridHeaders[static_cast<size_t>(c)]);
        tb.setColAlignment(c, forms::flexAlignCenterCenter);
    }
    tb.setColWidth(0, run.CelWidth[0]);

    cels();

    up.setChecked(s.Array_SortMode == 1);
    down.setChecked(s.Array_SortMode == 2);
    nosort.setChecked(s.Array_SortMode != 1 && s.Array_SortMode != 2);

    int person = run.Cur_PerIdx;
    tablein();
    if (person < 1)
        person = t.PerCount >= 1 ? tb.rowData(1) : -1;
    if (person > 0 && (!model::isSlot(person) || t.per_buf[static_cast<size_t>(person)].InUse != model::SlotUsed) &&
        t.PerCount >= 1)
        person = tb.rowData(1);
    run.Cur_PerIdx = static_cast<int16_t>(person);
    int shown = run.Cur_PerIdx;
    entryset(shown);
    run.Cur_PerIdx = static_cast<int16_t>(shown);

    if (s.Dispmode_Nengo >= 0 && s.Dispmode_Nengo <= 2) {
        for (int i = 0; i <= 2; ++i)
            calend[i].setChecked(i == s.Dispmode_Nengo);
    }
}

void EntryForm::cels()
{
    const model::Settings& s = model::settings();
    for (int c = 1; c < entry::GridCols; ++c) {
        if (s.DispFactor[static_cast<size_t>(c)]) {
            tb.setColWidth(c, model::runState().CelWidth[static_cast<size_t>(c)]);
            tb.setRowData(0, c);
        } else {
            tb.setColWidth(c, 0);
        }
    }
}

// ---------------------------------------------------------------- views

void EntryForm::setPanelTabStops(bool on, bool includeTab)
{
    for (int i = 0; i <= 4; ++i)
        CMDFUNC[i].setTabStop(on);
    if (includeTab)
        Tab1.setTabStop(on);
    for (int i = 0; i <= 13; ++i)
        Text1[i].setTabStop(on);
    Option1[0].setTabStop(on);
    Option1[1].setTabStop(on);
    cmdvoice.setTabStop(on);
    Picture1[0].setTabStop(on);
    Picture1[1].setTabStop(on);
    // The grid lies behind the card: Tab reaches it only in the table view.
    tb.setTabStop(!on);
}

void EntryForm::switchToCardView(SwitchSource source)
{
    model::Tables& t = T();
    model::RunState& run = model::runState();
    Text2.setVisible(false);
    if (source == SwitchSource::Tab && Entry_CardView == -1)
        return;
    // A new row the user has typed into is never dropped without a word.
    if (Entry_CardView == 0 && pendingRowTyped() &&
        platform::MsgBox(entry::DiscardNewRowOnClickQuestion, platform::vbYesNo) != platform::vbYes) {
        Tab1.tabs().item(2).setSelected(true);
        tb.setRow(tb.rows() - 1);
        tb.setFocus();
        return;
    }
    // Tab1's own stop stays as the table view left it.
    setPanelTabStops(true, false);
    if (run.Entry_EditMode == 0 && tb.rows() > 1 && tb.rowData(tb.rows() - 1) == 0)
        tb.removeItem(tb.rows() - 1);
    Entry_CardView = -1;
    frm1[0].zOrder(0);
    if (source == SwitchSource::Menu)
        Tab1.tabs().item(1).setSelected(true);

    CMDFUNC[0].setEnabled(true);
    CMDFUNC[1].setVisible(true);
    CMDFUNC[1].setEnabled(true);
    CMDFUNC[3].setEnabled(false);
    CMDFUNC[5].setEnabled(true);
    CMDFUNC[6].setEnabled(true);

    run.Entry_EditMode = 1;
    if (t.PerCount == 0) {
        CMDFUNC[5].setEnabled(false);
        CMDFUNC[6].setEnabled(false);
        run.Entry_EditMode = 0;
    }
    scritem[0].setEnabled(false);
    scritem[1].setEnabled(true);

    int person = run.Cur_PerIdx;
    entryset(person);
    run.Cur_PerIdx = static_cast<int16_t>(person);
    if (run.Cur_PerIdx != -1)
        run.Entry_EditMode = 1;

    const int r = getrow(run.Cur_PerIdx);
    if (r < 2)
        CMDFUNC[5].setEnabled(false);
    if (r >= tb.rows() - 1)
        CMDFUNC[6].setEnabled(false);
    if (run.Entry_Open == 1)
        SetFocusNewInput();
}

bool EntryForm::pendingRowTyped()
{
    const int r = tb.rows() - 1;
    if (model::runState().Entry_EditMode != 0 || r < 1 || tb.rowData(r) != 0)
        return false;
    // Text in the open cell editor reaches its cell only when the edit ends.
    if (Text2.isVisible() && EditRow == r && !platform::Trim(Text2.text()).empty())
        return true;
    for (int c = 1; c < tb.cols(); ++c) {
        // The sex cell starts as "男": only another choice counts as typed.
        const std::string cell = platform::Trim(tb.textMatrix(r, c));
        if (c == 4 ? cell != "男" && !cell.empty() : !cell.empty())
            return true;
    }
    return false;
}

void EntryForm::switchToTableView(SwitchSource source)
{
    model::Tables& t = T();
    model::RunState& run = model::runState();
    if (source == SwitchSource::Tab && Entry_CardView == 0) {
        tb.setFocus();
        return;
    }
    if (Entry_CardView != 0 && !settleUnregisteredInput()) {
        Tab1.tabs().item(1).setSelected(true);
        return;
    }
    setPanelTabStops(false, true);
    Entry_CardView = 0;
    frm1[1].zOrder(0);

    run.Entry_EditMode = t.PerCount == 0 ? 0 : 1;
    if (source == SwitchSource::Menu)
        Tab1.tabs().item(2).setSelected(true);

    CMDFUNC[0].setEnabled(true);
    CMDFUNC[1].setEnabled(false);
    CMDFUNC[1].setVisible(false);
    CMDFUNC[3].setEnabled(true);
    CMDFUNC[5].setEnabled(false);
    CMDFUNC[6].setEnabled(false);

    scritem[1].setEnabled(false);
    scritem[0].setEnabled(true);
    if (t.PerCount > 0)
        CMDFUNC[2].setEnabled(true);

    tb.setRedraw(false);
    tablein();
    if (run.Entry_EditMode == 1) {
        Text2.setVisible(false);
        const int r = getrow(run.Cur_PerIdx);
        if (r > 0 && r < tb.rows())
            tb.setRow(r);
    }
    tb.setRedraw(true);
    tb.setFocus();
    if (tb.col() == 1 && Text2.isEnabled())
        Text2.setIMEMode(forms::vbIMEHiragana);
}

void EntryForm::scritem_Click(int Index)
{
    switch (Index) {
    case 0:
        switchToCardView(SwitchSource::Menu);
        break;
    case 1:
        switchToTableView(SwitchSource::Menu);
        break;
    case 3:
        if (!settleUnregisteredInput())
            return;
        {
            const forms::BusyPointer busy;
            hide();
            model::runState().Entry_Open = 0;
            unload();
        }
        break;
    default:
        break;
    }
}

void EntryForm::Tab1_Click()
{
    if (Tab1.selectedIndex() == 1)
        switchToCardView(SwitchSource::Tab);
    else if (Tab1.selectedIndex() == 2)
        switchToTableView(SwitchSource::Tab);
}

// ---------------------------------------------------------------- keys

void EntryForm::CBGrp_GotFocus()
{
    CBGrp.setIMEMode(forms::vbIMEHiragana);
}

void EntryForm::CBGrp_KeyPress(int16_t& KeyAscii)
{
    if (KeyAscii == 13)
        Text1[0].setFocus();
}

void EntryForm::Option1_KeyPress(int Index, int16_t& KeyAscii)
{
    (void)Index;
    if (KeyAscii == 13)
        Text1[14].setFocus();
}

// ---------------------------------------------------------------- resize and close

void EntryForm::Form_Resize()
{
    if (Entry_CardView == 0)
        tb.setFocus();
    for (int r = 0; r < tb.rows(); ++r)
        tb.setRowHeight(r, Text2.height());
    if (windowState() == forms::vbMinimized)
        return;
    if (height() < m_loadHeight || width() < m_loadWidth) {
        setHeight(std::max(height(), m_loadHeight));
        setWidth(std::max(width(), m_loadWidth));
    }
}

void EntryForm::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // The close box is the user leaving the editor; the other ways out asked
    // before they unload the window.
    if (UnloadMode == forms::vbFormControlMenu && !settleUnregisteredInput()) {
        Cancel = 1;
        return;
    }
    model::Tables& t = T();
    model::RunState& run = model::runState();
    entry::EntryState& state = entry::entryState();
    const forms::BusyPointer busy;
    if (run.CelSet_Open == 1) {
        run.CelSet_Open = 0;
        entry::entryRequests().closeColumnChooser();
    }
    run.Entry_Open = 0;
    if (state.Voice_Busy == 1) {
        state.Voice_Busy = 0;
        entry::entryRequests().closeVoiceMemo();
    }
    if (t.Data_Changed == 1)
        entry::entryRequests().rebuildChart();
}

// ---------------------------------------------------------------- main window requests

void EntryForm::closeFromMainWindow()
{
    if (!isLoaded())
        return;
    hide();
    unload();
}

void EntryForm::showEmptyFamily()
{
    if (!isLoaded())
        return;
    model::Tables& t = T();
    model::RunState& run = model::runState();
    entry::EntryState& state = entry::entryState();
    if (state.Voice_Busy == 1) {
        state.Voice_Busy = 0;
        entry::entryRequests().closeVoiceMemo();
    }
    // The emptied family has no current person: whatever is typed next is a new one.
    run.Cur_PerIdx = -1;
    run.Entry_EditMode = 0;
    // Nothing of the previous family's person may stay on the card.
    clearCard();
    markCardShown();
    Label2[1].setCaption("");
    Text1[0].setFocus();
    CMDFUNC[0].setEnabled(true);
    CMDFUNC[1].setVisible(true);
    CMDFUNC[1].setEnabled(true);
    for (int i : {5, 6, 2, 3})
        CMDFUNC[i].setEnabled(false);
    if (Entry_CardView != 0)
        return;
    if (t.PerCount == 0)
        tb.setEditable(forms::flexEDNone);
    CMDFUNC[0].setEnabled(true);
    CMDFUNC[1].setEnabled(false);
    CMDFUNC[3].setEnabled(true);
    CMDFUNC[5].setEnabled(false);
    CMDFUNC[6].setEnabled(false);
    scritem[1].setEnabled(false);
    scritem[0].setEnabled(true);
    tablein();
    tb.setFocus();
}

void EntryForm::showCurrentFamily()
{
    if (!isLoaded())
        return;
    // The table lists the family as it is now; tablein also counts its persons.
    tablein();
    if (T().PerCount == 0) {
        showEmptyFamily();
        return;
    }
    model::RunState& run = model::runState();
    if (Entry_CardView != 0) {
        if (model::isUsedPerson(run.Cur_PerIdx)) {
            int shown = run.Cur_PerIdx;
            entryset(shown);
        } else {
            // The shown person is gone: the card becomes a new one, and the persons
            // left stay reachable with ◀, as after 新規.
            run.Cur_PerIdx = -1;
            newp();
            Label2[0].setCaption("");
        }
    }
    Label2[1].setCaption(platform::CStr(T().PerCount));
}

void EntryForm::showPersonInCard(int person)
{
    if (!settleUnregisteredInput())
        return;
    setWindowState(forms::vbNormal);
    int shown = person;
    entryset(shown);
    show();
    Entry_CardView = -1;
    setPanelTabStops(true, false);
    frm1[0].zOrder(0);
    Tab1.tabs().item(1).setSelected(true);
    CMDFUNC[0].setEnabled(true);
    CMDFUNC[1].setEnabled(true);
    scritem[1].setEnabled(true);
    scritem[0].setEnabled(false);
}

void EntryForm::showPersonOnFirstTab(int person)
{
    if (!settleUnregisteredInput())
        return;
    show();
    CMDFUNC[5].setEnabled(true);
    CMDFUNC[6].setEnabled(true);
    setWindowState(forms::vbNormal);
    int shown = person;
    entryset(shown);
    frm1[0].zOrder(0);
    Tab1.tabs().item(1).setSelected(true);
    zOrder(0);
    scritem[0].setEnabled(false);
    scritem[1].setEnabled(true);
}

void EntryForm::raiseEditor()
{
    if (windowState() == forms::vbMinimized)
        setWindowState(forms::vbNormal);
    zOrder(0);
    if (Entry_CardView == 0)
        tb.setFocus();
    else
        Text1[0].setFocus();
}

void EntryForm::showEditor(int person)
{
    show();
    if (Entry_CardView == -1) {
        int shown = person;
        entryset(shown);
    }
}
