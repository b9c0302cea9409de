#include "relations/CtrlForm.h"

#include "forms/UnregisteredInput.h"

#include "model/run_state.h"
#include "relations/InfoChldForm.h"
#include "relations/relations_state.h"

#include "model/Lookups.h"
#include "model/UndoRecords.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Cp932.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using model::isSlot;
using model::person;
using model::tables;

// The person lists' page and the marriage lists' page.
constexpr int PersonPage = 0;
constexpr int MarriagePage = 1;

// The display width of a text in the fixed-pitch marriage list: half its cp932
// bytes, so a full-width character counts 1 and a half-width one a half.
int displayWidth(const std::string& text)
{
    return platform::cp932ByteLength(text) / 2;
}

// A name cut to three characters when it is wider than three full-width ones.
std::string shortName(const std::string& name)
{
    return displayWidth(name) > 3 ? platform::Left(name, 3) : name;
}

// The list view's text of a partner: "空白", or family name, two blanks, given name.
std::string listViewPartner(int partner)
{
    if (partner == model::BlankPartner)
        return relations::BlankPartnerText;
    if (!isSlot(partner))
        return {};
    return person(partner).F_name + "  " + person(partner).Name;
}

// The edit-target caption's text of a partner.
std::string captionPartner(int partner)
{
    if (partner == model::BlankPartner)
        return relations::BlankPartnerText;
    if (!isSlot(partner))
        return relations::UnspecifiedPartnerText;
    return person(partner).F_name + " " + person(partner).Name;
}

// The child list's text of a child: family name directly followed by given name;
// empty for a number a damaged file holds that is no person.
std::string childLine(int child)
{
    return isSlot(child) ? person(child).F_name + person(child).Name : std::string();
}

// Raises a placeholder counter past the number a listed person's name carries
// after the template, so a new placeholder never repeats an existing name.
void raisePlaceholderCounter(const std::string& lineText, const std::string& templateText, int16_t& counter)
{
    if (lineText.compare(0, templateText.size(), templateText) != 0)
        return;
    const double number = platform::Val(platform::Mid(lineText, platform::Len(templateText) + 1, 3));
    const double next = platform::roundHalfEven(number + 1);
    // A reading the 16-bit counter cannot hold (an exponent form) is ignored.
    if (next > counter && next <= INT16_MAX)
        counter = static_cast<int16_t>(next);
}

} // namespace

CtrlForm::CtrlForm() : Form("ctrl")
{
    CMDFUNC.onClick = [this](int index) { CMDFUNC_Click(index); };
    CmdSetNull.onClick = [this](int index) { CmdSetNull_Click(index); };
    Combo1.onClick = [this] { Combo1_Click(); };
    CMDEND.onClick = [this](int index) { CMDEND_Click(index); };
    List1.onClick = [this](int index) { List1_Click(index); };
    List2.onClick = [this] { List2_Click(); };
    List1.onDblClick = [this](int index) { List1_DblClick(index); };
    List2.onDblClick = [this] { List2_DblClick(); };
    lstvKou.onClick = [this] { lstvKou_Click(); };
    lstvKou.onColumnClick = [this](int column) { lstvKou_ColumnClick(column); };
    TabStrip1.onClick = [this] { TabStrip1_Click(); };
    Text1.onGotFocus = [this](int index) { Text1_GotFocus(index); };
    scritem.onClick = [this](int index) { scritem_Click(index); };
    Command2.onClick = [this](int index) { Command2_Click(index); };
    connectDragEvents();
}

CtrlForm& ctrl_form()
{
    static CtrlForm instance;
    return instance;
}

// ---------------------------------------------------------------- design

void CtrlForm::design()
{
    setCaption(relations::CtrlCaption);
    setFontName("ＭＳ Ｐゴシック");
    setFontSize(9);
    // The height is the outer frame's: it leaves room for a window manager's
    // title bar and the menu bar above the picture buttons at the bottom.
    move(0, 0, 10440, 7920);

    // Left half: the two pages under the tab strip.
    TabStrip1.move(60, 60, 5040, 360);
    TabStrip1.tabs().add(1, "", "個人情報");
    TabStrip1.tabs().add(2, "", "結婚情報");
    for (int page : {PersonPage, MarriagePage}) {
        Frame2[page].move(60, 420, 5040, 6360);
        Frame2[page].setCaption("");
    }
    Label1[2].move(120, 480, 2400, 255);
    Label1[2].setCaption("男");
    Label1[9].move(2640, 480, 2400, 255);
    Label1[9].setCaption("女");
    List1[0].move(120, 780, 2400, 5880);
    List1[0].setSorted(true);
    List1[1].move(2640, 780, 2400, 5880);
    List1[1].setSorted(true);
    lstvKou.move(120, 480, 4920, 5400);
    List1[2].move(120, 6000, 375, 240);
    List1[2].setFontName("ＭＳ 明朝");

    // Right half: the marriage fields.
    Label1[0].move(5220, 60, 2400, 255);
    Label1[0].setCaption("結婚関係");
    Label1[0].setToolTipText("結婚関係を設定します。");
    Label2[0].move(5220, 360, 1800, 360);
    Label2[0].setBackColor(relations::HusbandLabelColour);
    Label2[1].move(7620, 360, 1800, 360);
    Label2[1].setBackColor(relations::WifeLabelColour);
    for (int side : {0, 1}) {
        Label2[side].setBorderStyle(1);
        CmdSetNull[side].move(side == 0 ? 7020 : 9420, 360, 600, 360);
        CmdSetNull[side].setCaption(relations::BlankPartnerText);
        CmdSetNull[side].setToolTipText("片親表示の時等に使用します");
        Option1[side].move(side == 0 ? 5220 : 7620, 780, 2300, 300);
        Option1[side].setCaption("家系を伸ばす");
        Option1[side].setToolTipText("設定した人から家系を伸ばします。婿養子等に利用します");
    }
    Option1[0].setValue(true);

    Label1[5].move(5220, 1200, 1200, 300);
    Label1[5].setCaption("関係");
    Label1[5].setToolTipText("結婚の関係を設定します。「通常」以外は全て「結婚履歴」として扱われます");
    Combo1.move(6480, 1170, 3000, 300);
    Combo1.setStyle(forms::vbComboDropdownList);
    Combo1.setToolTipText("関係を設定します。「通常」以外は結婚履歴として扱います");
    Label1[4].move(5220, 1560, 1200, 300);
    Label1[4].setCaption("タイトル");
    Label1[4].setToolTipText("家系図上に表示されるタイトルです。編集出来ます。");
    Text1[0].move(6480, 1530, 3000, 315);
    Label1[6].move(5220, 1920, 1200, 300);
    Label1[6].setCaption("履歴表示順序");
    Label1[6].setToolTipText("「結婚履歴」で使用します。数が少ないほど、通常結婚に近い位置に表示されます");
    Text1[1].move(6480, 1890, 800, 315);
    Text1[1].setText("００");
    Label1[7].move(5220, 2280, 1200, 300);
    Label1[7].setCaption("基準となる結婚");
    Label1[7].setToolTipText("このチェックが付いている結婚関係から家系を展開します。"
                             "この家系を基準世代とし、上下の家系を検索します。");
    Check1[0].move(6480, 2250, 300, 300);
    ChkBunke.move(7200, 2250, 2400, 300);
    ChkBunke.setCaption("分家として扱う");
    ChkBunke.setToolTipText("この結婚関係を別家系グループとして扱う");

    const char* childTip = "子供を登録します。子供のチェックを外すと「直系表示」では表示されません";
    Label1[1].move(5220, 2640, 2400, 255);
    Label1[1].setCaption("子供関係");
    Label1[1].setToolTipText(childTip);
    List2.move(5220, 2940, 4740, 2400);
    List2.setStyle(forms::vbListBoxCheckbox);
    List2.setToolTipText(childTip);
    lblEditStat.move(5220, 5400, 4740, 300);
    lblEditStat.setBorderStyle(1);

    const char* commandCaptions[] = {"新規", "登録", "削除"};
    for (int i = 0; i < 3; ++i) {
        CMDFUNC[i].move(5220 + i * 1260, 5820, 1200, 420);
        CMDFUNC[i].setCaption(commandCaptions[i]);
    }
    CMDFUNC[1].setToolTipText("入力された関係を登録します。登録しないと、編集した結果は無効となります");
    CMDEND[0].move(9000, 5820, 960, 420);
    CMDEND[0].setCaption("戻る");

    Frame1.move(5220, 6360, 4740, 600);
    Frame1.setCaption("");
    // Picture buttons named as the menu items they run, with the English tips.
    struct PictureButton {
        int index;
        const char* glyph;
        const char* tip;
    };
    const PictureButton pictureButtons[] = {
        {0, "小表示", "small form"}, {1, "大表示", "large form"}, {3, "ＵＮＤＯ", model::UndoCaptionNone}, {4, "戻る", "EXIT"}};
    int x = 120;
    for (const PictureButton& button : pictureButtons) {
        Command2[button.index].move(x, 180, 900, 360);
        Command2[button.index].showGlyph(button.glyph, button.tip);
        x += 1020;
    }
    Command2[3].setEnabled(false);

    Timer1.setInterval(30);
    Timer1.setEnabled(false);
    Timer2.setInterval(100);
    Timer2.setEnabled(false);

    scrmenu.setCaption("表示");
    const char* menuCaptions[] = {"ＵＮＤＯ", "-", "小表示", "大表示", "-", "戻る"};
    for (int i = 0; i < 6; ++i)
        scritem[i].setCaption(menuCaptions[i]);

    showPage(PersonPage);
}

void CtrlForm::showPage(int page)
{
    Frame2[page].zOrder(0);
    const bool persons = page == PersonPage;
    for (forms::Control* control : {static_cast<forms::Control*>(&List1[0]), static_cast<forms::Control*>(&List1[1]),
                                    static_cast<forms::Control*>(&Label1[2]), static_cast<forms::Control*>(&Label1[9])}) {
        control->setVisible(persons);
        if (persons)
            control->zOrder(0);
    }
    for (forms::Control* control : {static_cast<forms::Control*>(&lstvKou), static_cast<forms::Control*>(&List1[2])}) {
        control->setVisible(!persons);
        if (!persons)
            control->zOrder(0);
    }
}

// ---------------------------------------------------------------- load and close

void CtrlForm::Form_Load()
{
    scritem[2].setChecked(false);
    scritem[3].setChecked(true);
    scritem[0].setEnabled(false);
    Command2[3].setEnabled(false);
    Command2[1].setEnabled(false);
    ReturnSteps = 0;
    // A drag cut short by an unload must not keep the next load from dragging.
    Dragging = 0;
    DragArmed = 0;
    DownPoint = PixelPoint{};
    // The marker's name has the size of the list text.
    const double listFontSize = List1[0].fontSize();
    form2().setFontSize(listFontSize > 0 ? listFontSize : fontSize());

    // The window object outlives its loads; each load starts as a new window.
    ChildListActive = 0;
    model::RunState& run = model::runState();
    run.KouNum = -1;
    run.Sel_KouMark = 0;
    Text1[0].setText("");
    Label2[0].setCaption("");
    Label2[1].setCaption("");
    List2.clear();
    m_fieldsKou = -1;
    markFieldsShown();
}

void CtrlForm::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // The close box is the user leaving the editor: an unregistered change is
    // settled first. The other ways out asked before they unload the window.
    if (UnloadMode == forms::vbFormControlMenu && !settleUnregisteredChange()) {
        Cancel = 1;
        return;
    }
    Cancel = 0;
    model::runState().Ctrl_Open = 0;
}

void CtrlForm::Form_Unload(int& Cancel)
{
    (void)Cancel;
    // A marker still flying back to its entry goes with the window; the timer that
    // moves it goes with the window's controls.
    endFlight();
}

void CtrlForm::CMDEND_Click(int Index)
{
    if (Index != 0 || !settleUnregisteredChange())
        return;
    model::runState().Ctrl_Open = 0;
    unload();
}

// ---------------------------------------------------------------- lists

void CtrlForm::Build_List()
{
    model::Tables& t = tables();
    relations::RelationsState& state = relations::relationsState();

    const int remembered[2] = {List1[0].listIndex(), List1[1].listIndex()};
    List1[0].clear();
    List1[1].clear();

    for (int i = 1; i <= model::LastSlot; ++i) {
        const model::personal_data& p = person(i);
        if (p.InUse != model::SlotUsed)
            continue;
        const std::string text = p.F_name + " " + p.Name;
        const int side = p.Sex == 0 ? 0 : 1;
        forms::ListBox& list = List1[side];
        list.addItem(text);
        list.setItemData(list.newIndex(), i);
        if (side == 0)
            raisePlaceholderCounter(text, state.DummyManText, t.DummyManCnt);
        else
            raisePlaceholderCounter(text, state.DummyWomanText, t.DummyWomanCnt);
    }

    for (int side : {0, 1}) {
        List1[side].addItem(relations::currentPlaceholderLine(side));
        List1[side].setItemData(List1[side].newIndex(), -1);
    }

    for (int side : {0, 1}) {
        forms::ListBox& list = List1[side];
        if (remembered[side] != -1 && list.listCount() > 0 && remembered[side] <= list.listCount() - 1)
            list.setListIndex(remembered[side]);
    }

    Build_list_kou();
}

void CtrlForm::Build_list_kou()
{
    forms::ListBox& list = List1[2];
    list.clear();
    for (int i = 1; i <= model::LastSlot; ++i) {
        const model::marry_data& k = tables().kou_buf[static_cast<size_t>(i)];
        if (!model::isUsedMarriage(k))
            continue;
        std::string line = k.dsp_start == 1 ? relations::StartMark : "  ";

        std::string title = k.kou_title;
        int width = displayWidth(title);
        if (width > 5) {
            title = platform::Left(title, 5);
            width = 5;
        }
        line += title + std::string(static_cast<size_t>(2 * (5 - width)), ' ');

        if (isSlot(k.kou_titi))
            line += shortName(person(k.kou_titi).F_name) + shortName(person(k.kou_titi).Name) + " ";
        if (isSlot(k.kou_haha))
            line += shortName(person(k.kou_haha).F_name) + shortName(person(k.kou_haha).Name);

        list.addItem(line);
        list.setItemData(list.newIndex(), i);
    }
    Build_list_kou_V6();
}

void CtrlForm::Build_list_kou_V6()
{
    lstvKou.setLabelEdit(forms::lvwManual);
    lstvKou.columnHeaders().clear();
    lstvKou.listItems().clear();
    lstvKou.setView(forms::lvwReport);

    const float width = static_cast<float>(lstvKou.width());
    const std::pair<const char*, float> columns[] = {
        {"タイトル", 23.0f}, {"氏名(男)", 30.0f}, {"氏名(女)", 30.0f}, {"基準", 14.0f}};
    for (const auto& [text, share] : columns)
        lstvKou.columnHeaders().add(0, "", text, width / 100.0f * share);

    for (int i = 1; i <= model::LastSlot; ++i) {
        const model::marry_data& k = tables().kou_buf[static_cast<size_t>(i)];
        if (!model::isUsedMarriage(k))
            continue;
        forms::ListViewItem item = lstvKou.listItems().add(0, "", k.kou_title);
        item.setTag(std::to_string(i));
        item.setSubItem(1, listViewPartner(k.kou_titi));
        item.setSubItem(2, listViewPartner(k.kou_haha));
        item.setSubItem(3, k.dsp_start == 1 ? relations::StartMark : "  ");
    }
    // Whole rows are picked, so a click on a partner's name picks the marriage.
    lstvKou.setFullRowSelect(true);
    // A column the user sorted by stays sorted.
    if (lstvKou.sorted())
        lstvKou.setSorted(true);
}

void CtrlForm::InitKouList()
{
    lstvKou.setLabelEdit(forms::lvwManual);
    lstvKou.columnHeaders().clear();
    lstvKou.listItems().clear();
}

// ---------------------------------------------------------------- loading a marriage

void CtrlForm::fillStateList()
{
    Combo1.clear();
    for (const relations::StateWord& state : relations::StateWords) {
        Combo1.addItem(state.word);
        Combo1.setItemData(Combo1.newIndex(), state.kou_mode);
    }
}

void CtrlForm::setPartnerLabel(int side, int partner)
{
    forms::Label& label = Label2[side];
    if (partner == model::BlankPartner) {
        label.setCaption(relations::BlankPartnerText);
        label.setTag(std::to_string(model::BlankPartner));
    } else if (isSlot(partner)) {
        label.setCaption(person(partner).F_name + person(partner).Name);
        label.setTag(std::to_string(partner));
    } else {
        // -1 (and anything a damaged file holds): shown empty, registered as not chosen.
        label.setCaption("");
        label.setTag("");
    }
}

void CtrlForm::clearPartnerLabel(int side)
{
    Label2[side].setCaption("");
    Label2[side].setTag("0");
}

void CtrlForm::edit_kou_data(int kou)
{
    model::Tables& t = tables();
    model::RunState& run = model::runState();
    fillStateList();
    Combo1.setListIndex(0);
    m_fieldsKou = static_cast<int16_t>(model::isMarriageSlot(kou) ? kou : -1);

    // Only slots of the marriage table load a record; anything else is a new one.
    if (!model::isMarriageSlot(kou)) {
        clearPartnerLabel(0);
        clearPartnerLabel(1);
        List2.clear();
        Text1[0].setText("");
        Text1[1].setText("");
        Check1[0].setValue(forms::vbUnchecked);
        Option1[0].setValue(true);
        Option1[1].setValue(false);
        ChkBunke.setValue(forms::vbUnchecked);
        markFieldsShown();
        Disp_KouNumStat();
        return;
    }

    model::marry_data& k = t.kou_buf[static_cast<size_t>(kou)];
    // Each selection runs the state-list click; an unknown state ends on "その他特別".
    for (int item = 0; item < Combo1.listCount(); ++item) {
        Combo1.setListIndex(item);
        if (Combo1.list(item) == k.kou_state)
            break;
    }
    Text1[0].setText(k.kou_title);
    Text1[1].setText(std::to_string(k.sort_lev));
    Text1[1].setEnabled(k.kou_mode == 1);
    setPartnerLabel(0, k.kou_titi);
    setPartnerLabel(1, k.kou_haha);

    if (k.dsp_start < 0)
        k.dsp_start = 0;
    // Only 1 marks the start marriage; a check box holds no other flag values.
    const int startValue = k.dsp_start == 1 ? forms::vbChecked : forms::vbUnchecked;
    Check1[0].setValue(startValue);
    // The start marriage cannot be unticked here: another one becomes the start by
    // being ticked and registered.
    Check1[0].setEnabled(startValue != forms::vbChecked);
    Option1[k.Yoshi_f == 0 ? 0 : 1].setValue(true);

    fillChildList(kou, true);
    List2.setListIndex(-1);
    ChkBunke.setValue(k.Bunke == 1 ? forms::vbChecked : forms::vbUnchecked);
    // Filled before the lists select the marriage: their click loads it again.
    markFieldsShown();

    TabStrip1.tabs().item(2).setSelected(true);
    showPage(MarriagePage);

    const std::string current = std::to_string(run.KouNum);
    for (int i = 1; i <= lstvKou.listItems().count(); ++i) {
        forms::ListViewItem item = lstvKou.listItems().item(i);
        if (item.tag() == current) {
            item.setSelected(true);
            lstvKou.selectedItem().ensureVisible();
            lstvKou.zOrder(0);
            break;
        }
    }
    for (int i = 0; i < List1[2].listCount(); ++i) {
        if (List1[2].itemData(i) == run.KouNum) {
            // A change of selection runs List1_Click, which loads the marriage again.
            List1[2].setListIndex(i);
            break;
        }
    }
    Disp_KouNumStat();
}

void CtrlForm::refillChildList(int kou)
{
    if (!model::isMarriageSlot(kou) || List2.listCount() == 0)
        return;
    // With their direct-line marks: the editor's 登録 stores the marks the list shows.
    fillChildList(kou, true);
    // Another window changed the children: the list shows them as registered.
    const ShownFields now = shownFields();
    m_shownFields.children = now.children;
    m_shownFields.marks = now.marks;
}

void CtrlForm::fillChildList(int kou, bool withMarks)
{
    List2.clear();
    const model::marry_data& k = model::marriage(kou);
    for (int slot = 0; slot <= model::LastChildSlot; ++slot) {
        const int child = k.kou_kodo[static_cast<size_t>(slot)];
        if (child == -1)
            continue;
        List2.addItem(childLine(child));
        List2.setItemData(List2.newIndex(), child);
        if (withMarks)
            DispKodoCheck(kou, slot, List2.newIndex());
    }
}

void CtrlForm::DispKodoCheck(int kou, int slot, int line)
{
    if (!isSlot(kou) || !model::isChildEntry(slot) || line < 0 || line >= List2.listCount())
        return;
    const model::marry_data& k = tables().kou_buf[static_cast<size_t>(kou)];
    List2.setSelected(line, k.kodo_visible[static_cast<size_t>(slot)] == 1);
}

void CtrlForm::Disp_KouNumStat()
{
    const int kou = model::runState().KouNum;
    if (kou == -1 || !model::isSlot(kou)) {
        lblEditStat.setCaption(relations::NewRecordCaption);
        lblEditStat.setBackColor(relations::NewRecordColour);
        return;
    }
    const model::marry_data& k = tables().kou_buf[static_cast<size_t>(kou)];
    lblEditStat.setCaption(captionPartner(k.kou_titi) + "と" + captionPartner(k.kou_haha) + "の修正");
    lblEditStat.setBackColor(relations::EditedRecordColour);
}

void CtrlForm::ResetKouNum()
{
    model::runState().KouNum = -1;
    edit_kou_data(-1);
}

void CtrlForm::DispListActer()
{
    TabStrip1.tabs().item(1).setSelected(true);
    showPage(PersonPage);
}

// ---------------------------------------------------------------- requests of other windows

void CtrlForm::showMarriageLists()
{
    TabStrip1.tabs().item(2).setSelected(true);
    showPage(MarriagePage);
}

void CtrlForm::selectPartner(int list, int person)
{
    if (list != 0 && list != 1)
        return;
    forms::ListBox& chosen = List1[list];
    for (int i = 0; i < chosen.listCount(); ++i) {
        if (chosen.itemData(i) == person) {
            chosen.setListIndex(i);
            break;
        }
    }
    List1[1 - list].setListIndex(-1);
}

void CtrlForm::enableUndo(const std::string& caption)
{
    scritem[0].setEnabled(true);
    Command2[3].setEnabled(true);
    scritem[0].setCaption(caption);
    Command2[3].setToolTipText(caption);
}

void CtrlForm::disableUndo()
{
    scritem[0].setEnabled(false);
    Command2[3].setEnabled(false);
    scritem[0].setCaption(model::UndoCaptionNone);
    Command2[3].setToolTipText(model::UndoCaptionNone);
}

void CtrlForm::showPendingUndo()
{
    const int16_t kind = model::kouUndo().KouUndoMode;
    if (kind == model::KouUndo::None)
        disableUndo();
    else
        enableUndo(model::kouUndoCaption(kind));
}

void CtrlForm::clearPersonLists()
{
    List1[0].clear();
    List1[1].clear();
}

void CtrlForm::resetEditor()
{
    List1[2].clear();
    InitKouList();
    resetFields();
    Check1[0].setEnabled(true);
    Disp_KouNumStat();
}

// ---------------------------------------------------------------- list and tab events

void CtrlForm::chooseMarriage(int kou)
{
    if (m_reselecting)
        return;
    if (!settleUnregisteredChange()) {
        reselectShownMarriage();
        return;
    }
    model::RunState& run = model::runState();
    run.KouNum = static_cast<int16_t>(kou);
    run.Sel_KouMark = 1;
    edit_kou_data(run.KouNum);
    ChildListActive = 0;
}

void CtrlForm::reselectShownMarriage()
{
    const int shown = model::runState().Sel_KouMark == 0 ? -1 : model::runState().KouNum;
    m_reselecting = true;
    int line = -1;
    for (int i = 0; i < List1[2].listCount(); ++i) {
        if (List1[2].itemData(i) == shown) {
            line = i;
            break;
        }
    }
    List1[2].setListIndex(line);
    const std::string tag = std::to_string(shown);
    for (int i = 1; i <= lstvKou.listItems().count(); ++i) {
        forms::ListViewItem item = lstvKou.listItems().item(i);
        if (item.tag() == tag) {
            item.setSelected(true);
            break;
        }
    }
    m_reselecting = false;
}

// ---------------------------------------------------------------- unregistered change

bool CtrlForm::ShownFields::operator==(const ShownFields& other) const
{
    return partnerTags[0] == other.partnerTags[0] && partnerTags[1] == other.partnerTags[1] &&
           partnerCaptions[0] == other.partnerCaptions[0] && partnerCaptions[1] == other.partnerCaptions[1] &&
           state == other.state && title == other.title && order == other.order && start == other.start &&
           branch == other.branch && husbandsLine == other.husbandsLine && children == other.children &&
           marks == other.marks;
}

CtrlForm::ShownFields CtrlForm::shownFields() const
{
    ShownFields fields;
    for (int side : {0, 1}) {
        // A partner not chosen reads "" or "0" in its Tag: both mean nobody.
        const std::string tag = Label2[side].tag();
        fields.partnerTags[side] = tag == "0" ? std::string() : tag;
        fields.partnerCaptions[side] = Label2[side].caption();
    }
    fields.state = Combo1.text();
    fields.title = Text1[0].text();
    fields.order = Text1[1].text();
    fields.start = Check1[0].value();
    fields.branch = ChkBunke.value();
    fields.husbandsLine = Option1[0].value();
    for (int i = 0; i < List2.listCount(); ++i) {
        fields.children.push_back(List2.itemData(i));
        fields.marks.push_back(List2.selected(i));
    }
    return fields;
}

void CtrlForm::markFieldsShown()
{
    m_shownFields = shownFields();
}

bool CtrlForm::hasUnregisteredChange() const
{
    return !(shownFields() == m_shownFields);
}

bool CtrlForm::settleUnregisteredChange()
{
    if (!isLoaded() || !hasUnregisteredChange())
        return true;
    // The registration refills the lists: their clicks meanwhile load nothing.
    const bool before = m_reselecting;
    m_reselecting = true;
    bool settled = false;
    try {
        settled = forms::settleUnregisteredInput([this] { return registerMarriage(); }, [] {});
    } catch (...) {
        m_reselecting = before;
        throw;
    }
    m_reselecting = before;
    return settled;
}

bool CtrlForm::holdsPerson(int person) const
{
    const ShownFields fields = shownFields();
    const std::string tag = std::to_string(person);
    return fields.partnerTags[0] == tag || fields.partnerTags[1] == tag ||
           std::find(fields.children.begin(), fields.children.end(), person) != fields.children.end();
}

void CtrlForm::forgetPerson(int person)
{
    if (!isLoaded())
        return;
    const std::string tag = std::to_string(person);
    for (int side : {0, 1}) {
        if (shownFields().partnerTags[side] == tag)
            clearPartnerLabel(side);
        if (m_shownFields.partnerTags[side] == tag) {
            m_shownFields.partnerTags[side].clear();
            m_shownFields.partnerCaptions[side].clear();
        }
    }
    for (int line = List2.listCount() - 1; line >= 0; --line) {
        if (List2.itemData(line) == person)
            List2.removeItem(line);
    }
    std::vector<int>& children = m_shownFields.children;
    std::vector<bool>& marks = m_shownFields.marks;
    for (size_t i = children.size(); i-- > 0;) {
        if (children[i] == person) {
            children.erase(children.begin() + static_cast<std::ptrdiff_t>(i));
            marks.erase(marks.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void CtrlForm::List1_Click(int Index)
{
    if (Index != 2)
        return;
    const int line = List1[2].listIndex();
    if (line >= 0)
        chooseMarriage(List1[2].itemData(line));
}

void CtrlForm::List2_Click()
{
    ChildListActive = 1;
}

void CtrlForm::showChildDialogFor(forms::ListBox& list)
{
    model::Tables& t = tables();
    model::RunState& run = model::runState();
    const int line = list.listIndex();
    const int16_t person = static_cast<int16_t>(line >= 0 ? list.itemData(line) : -1);
    // The dialog is filled with this child: what it holds unregistered is settled first.
    InfoChldForm& dialog = infochld_form();
    if (dialog.isLoaded() && !dialog.settleUnregisteredInput())
        return;
    run.Sel_Person = person;
    run.Sel_BoxMark = 1;
    if (run.Sel_Person != -1 && model::Get_ChildKou(run.Sel_Person) == 0) {
        dialog.show();
        dialog.edit_ch_data(t.Sel_ChildKou, t.Sel_ChildSlot, 0, 0);
        return;
    }
    platform::MsgBox(relations::ParentsNotFoundMessage, platform::vbOKOnly);
    run.Sel_BoxMark = 0;
}

void CtrlForm::List1_DblClick(int Index)
{
    if (Index == 0 || Index == 1)
        showChildDialogFor(List1[Index]);
}

void CtrlForm::List2_DblClick()
{
    showChildDialogFor(List2);
}

void CtrlForm::lstvKou_Click()
{
    if (lstvKou.listItems().count() == 0 || lstvKou.selectedIndex() == 0)
        return;
    const std::string tag = lstvKou.selectedItem().tag();
    if (tag == "-1")
        return;
    // The tag holds the marriage number the row was filled from.
    const double kou = platform::Val(tag);
    if (kou >= INT16_MIN && kou <= INT16_MAX && model::isMarriageSlot(static_cast<int>(kou)))
        chooseMarriage(static_cast<int>(kou));
}

void CtrlForm::lstvKou_ColumnClick(int column)
{
    lstvKou.setSortKey(column - 1);
    lstvKou.setSorted(true);
}

void CtrlForm::TabStrip1_Click()
{
    if (TabStrip1.selectedIndex() == 1) {
        showPage(PersonPage);
        return;
    }
    showPage(MarriagePage);
    const int line = List1[2].listIndex();
    if (line >= 0)
        List1[2].setListIndex(line);
}

void CtrlForm::Text1_GotFocus(int Index)
{
    // Hiragana input for the title, no input method for the number.
    Text1[Index].setIMEMode(Index == 0 ? 4 : 2);
}

// ---------------------------------------------------------------- menu and picture buttons

void CtrlForm::Command2_Click(int Index)
{
    switch (Index) {
    case 0:
        scritem_Click(2);
        break;
    case 1:
        scritem_Click(3);
        break;
    case 3:
        scritem_Click(0);
        break;
    case 4:
        scritem_Click(5);
        break;
    default:
        break;
    }
}

void CtrlForm::halveWidth()
{
    if (!scritem[3].isChecked() || scritem[2].isChecked())
        return;
    scritem[2].setChecked(true);
    scritem[3].setChecked(false);
    setWidth(width() / 2);
    Command2[0].setEnabled(false);
    Command2[1].setEnabled(true);
}

void CtrlForm::doubleWidth()
{
    if (!scritem[2].isChecked() || scritem[3].isChecked())
        return;
    scritem[3].setChecked(true);
    scritem[2].setChecked(false);
    setWidth(width() * 2);
    Command2[0].setEnabled(true);
    Command2[1].setEnabled(false);
}
