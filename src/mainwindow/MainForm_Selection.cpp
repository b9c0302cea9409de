// Clicks on the chart of the main window: the selection of a person box, a face
// icon or a couple mark, how the selection shows (focus frame, status label,
// child buttons), which windows around are told, and the child status buttons.
//
// The element maps of the drawing tell what a clicked element stands for:
// Label12_Per, Label12_OyaKou and Label12_Kou per person box, Image1_Per per face
// icon and Label11_Kou per couple mark, all indexed like their elements.

#include "mainwindow/MainForm.h"

#include "drawing/ChartRebuild.h"
#include "drawing/draw_state.h"
#include "layout/chart_state.h"
#include "mainwindow/OtherWindows.h"
#include "model/ChildSlots.h"
#include "model/Lookups.h"
#include "model/Utilities.h"
#include "document/Snapshots.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include <vector>

namespace {

constexpr const char* NoParentsMessage = "この人の親情報を見つける事が出来ません";

// The focus frame stands this far outside the selected box on every side (twips).
constexpr double FocusMargin = 128;
constexpr double NowPersonFontSize = 9;

// Couple-mark colours: another relation, a marriage, and the mark just clicked
// (the system's active-caption colour).
constexpr long RelationMarkColour = 0xC0C0C0L;
constexpr long MarriageMarkColour = 0x40L;
constexpr long ChosenMarkColour = 0x80000001L;

// The entry of an element map; missing for an index the map does not cover.
int16_t mapEntry(const std::vector<int16_t>& map, int index, int16_t missing = -1)
{
    return index >= 0 && static_cast<size_t>(index) < map.size() ? map[static_cast<size_t>(index)] : missing;
}

using model::isPersonSlot;

using model::isUsedMarriage;

bool anyPersonInUse()
{
    const model::Tables& t = model::tables();
    for (int p = 1; p <= model::LastSlot; ++p) {
        if (t.per_buf[static_cast<size_t>(p)].InUse == model::SlotUsed)
            return true;
    }
    return false;
}

bool easyBuilderLoaded()
{
    return model::Find_FormByName("EasyCtl") == 1;
}

} // namespace

void MainForm::connectChartEvents()
{
    DPic.onClick = [this](int index) { DPic_Click(index); };
    DPic.onDblClick = [this](int index) { DPic_DblClick(index); };
    Label12.onClick = [this](int index) { Label12_Click(index); };
    Label12.onDblClick = [this](int index) { Label12_DblClick(index); };
    Image1.onClick = [this](int index) { Image1_Click(index); };
    Image1.onDblClick = [this](int index) { Image1_DblClick(index); };
    Label11.onClick = [this](int index) { Label11_Click(index); };
    Label11.onDblClick = [this](int index) { Label11_DblClick(index); };
    optChMode.onMouseUp = [this](int index, int button, int shift, double x, double y) {
        optChMode_MouseUp(index, button, shift, x, y);
    };

    Text1.onGotFocus = [this] { Text1_GotFocus(); };
    Text1.onKeyPress = [this](int16_t& keyAscii) { Text1_KeyPress(keyAscii); };
    Text2.onKeyPress = [this](int index, int16_t& keyAscii) { Text2_KeyPress(index, keyAscii); };

    HScroll1.onChange = [this] { HScroll1_Change(); };
    VScroll1.onChange = [this] { VScroll1_Change(); };
    Picture1.onClick = [this] { Picture1_Click(); };
    TabStrip1.onClick = [this] { TabStrip1_Click(); };
}

// ---------------------------------------------------------------------------
// Selection

void MainForm::Clear_Selection()
{
    lblFocus.setVisible(false);
    model::runState().Sel_Person = -1;
    lblNowPer.setCaption("");
    cmdDispOp.setEnabled(false);
    cmdChdMov.forEach([](forms::CommandButton& button) { button.setEnabled(false); });
    optChMode.forEach([](forms::OptionButton& option) { option.setEnabled(false); });
    optChMode.forEach([](forms::OptionButton& option) { option.setValue(false); });
    cmdChDel.setEnabled(false);
}

// Where the selected person is a child: the marriage the box is drawn under when
// the person is one of its children, else the first marriage that has the person
// as a child. Sets Sel_ChildKou and Sel_ChildSlot when found.
MainForm::ChildSearch MainForm::findChildPosition(int boxChildKou)
{
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    if (!isPersonSlot(run.Sel_Person))
        return ChildSearch::NotSearched;
    t.Sel_ChildKou = static_cast<int16_t>(boxChildKou);
    if (boxChildKou > 0) {
        t.Sel_ChildSlot = static_cast<int16_t>(model::Find_KodoSlot(boxChildKou, run.Sel_Person));
        if (t.Sel_ChildSlot != -1)
            return ChildSearch::Found;
    }
    return model::Get_ChildKou(run.Sel_Person) == -1 ? ChildSearch::NotFound : ChildSearch::Found;
}

void MainForm::Select_ChartBox(int Index)
{
    if (!DPic.exists(Index))
        return;
    const forms::CanvasPicture& box = DPic[Index];
    lblFocus.setCaption("");
    lblFocus.move(box.left() - FocusMargin, box.top() - FocusMargin, box.width() + 2 * FocusMargin,
                  box.height() + 2 * FocusMargin);
    lblFocus.setVisible(true);
    lblFocus.zOrder(0);

    model::RunState& run = model::runState();
    const drawing::DrawState& d = drawing::drawState();
    run.Sel_BoxMark = 1;
    run.Sel_Person = mapEntry(d.Label12_Per, Index);
    if (findChildPosition(mapEntry(d.Label12_OyaKou, Index)) == ChildSearch::Found)
        showSelectedChild();
    else {
        lblNowPer.setCaption("");
        cmdChdMov.forEach([](forms::CommandButton& button) { button.setEnabled(false); });
        optChMode.forEach([](forms::OptionButton& option) { option.setEnabled(false); });
        cmdChDel.setEnabled(false);
    }
    if (isPersonSlot(run.Sel_Person))
        cmdDispOp.setEnabled(true);
}

// The selected person is child slot Sel_ChildSlot of Sel_ChildKou: its name, the
// child buttons and the option of its status.
void MainForm::showSelectedChild()
{
    const model::Tables& t = model::tables();
    const model::personal_data& person = t.per_buf[static_cast<size_t>(model::runState().Sel_Person)];
    lblNowPer.setCaption(person.F_name + " " + person.Name);
    lblNowPer.setFontSize(NowPersonFontSize);
    cmdChdMov.forEach([](forms::CommandButton& button) { button.setEnabled(true); });
    optChMode.forEach([](forms::OptionButton& option) {
        option.setEnabled(true);
        option.setValue(false);
    });
    cmdChDel.setEnabled(true);
    if (isUsedMarriage(t.Sel_ChildKou) && model::isChildSlot(t.Sel_ChildSlot)) {
        const int status = t.kou_buf[static_cast<size_t>(t.Sel_ChildKou)]
                               .kou_kodo_stat[static_cast<size_t>(t.Sel_ChildSlot)];
        if (status >= 0 && status <= 2)
            optChMode[status].setValue(true);
    }
}

int MainForm::selectedPersonBox() const
{
    const int person = model::runState().Sel_Person;
    // Elements 0 and 1 are the design-time templates, never a box of the chart.
    constexpr int FirstChartBox = 2;
    if (!isPersonSlot(person) || Last_BoxIdx < FirstChartBox || !DPic.exists(Last_BoxIdx)
        || !DPic[Last_BoxIdx].isVisible())
        return -1;
    return mapEntry(drawing::drawState().Label12_Per, Last_BoxIdx) == person ? Last_BoxIdx : -1;
}

// ---------------------------------------------------------------------------
// Person boxes

void MainForm::DPic_Click(int Index)
{
    Label12_Click(Index);
    // The full-screen view ignores clicks on the chart: the box stays unselected
    // there as it does for every other window.
    if (Fullscreen_Flag != 1)
        Select_ChartBox(Index);
}

void MainForm::DPic_DblClick(int Index)
{
    Label12_DblClick(Index);
}

void MainForm::Label12_Click(int Index)
{
    if (Fullscreen_Flag == 1)
        return;
    Last_BoxIdx = Index;
    NameEdit_Active = 0;
    model::RunState& run = model::runState();
    const drawing::DrawState& d = drawing::drawState();
    run.Sel_Person = mapEntry(d.Label12_Per, Index);
    run.Cur_PerIdx = run.Sel_Person < 1 ? 1 : run.Sel_Person;
    tellWindowsOfClick(ClickedElement::PersonBox, run.Sel_Person, mapEntry(d.Label12_Kou, Index));
}

// The windows around follow the clicked person: the person editor, the person
// card, the relationship editor (the box's own marriage, or for an icon the
// person's first one) and the easy relation builder (boxes only).
void MainForm::tellWindowsOfClick(ClickedElement element, int person, int boxKou)
{
    const bool fromIcon = element == ClickedElement::FaceIcon;
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    if (run.Entry_Open == 1) {
        if (fromIcon) {
            run.Cur_PerIdx = static_cast<int16_t>(person < 1 && anyPersonInUse() ? 1 : person);
            run.Entry_EditMode = 1;
            windows.showPersonInEditor(run.Cur_PerIdx);
        } else {
            windows.showPersonInEditorCard(run.Cur_PerIdx);
        }
    }
    windows.showPersonOnCardIfOpen(person);
    // The relationship editor loads the clicked marriage only once its own
    // unregistered change is settled; on キャンセル it stays as it is.
    if (run.Ctrl_Open == 1 && windows.settleRelationEditor()) {
        using Page = mainwindow::OtherWindows::RelationPage;
        windows.raiseRelationEditor();
        run.KouNum = static_cast<int16_t>(!fromIcon && boxKou != -1 ? boxKou : model::Get_PersonKou(person));
        run.Sel_KouMark = 1;
        windows.editRelationMarriage(run.KouNum);
        windows.showRelationPage(Page::Persons);
        if (isPersonSlot(person)) {
            const bool man = t.per_buf[static_cast<size_t>(person)].Sex == 0;
            windows.selectRelationPartner(man ? 0 : 1, person);
        }
        windows.raiseRelationEditor();
    }
    if (!fromIcon && easyBuilderLoaded())
        windows.setEasyBasePerson(run.Cur_PerIdx);
}

void MainForm::Label12_DblClick(int Index)
{
    if (Fullscreen_Flag == 1)
        return;
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    const drawing::DrawState& d = drawing::drawState();
    run.Sel_BoxMark = 1;
    run.Sel_Person = mapEntry(d.Label12_Per, Index);
    // A box that names no person has no parents either: the child dialog must not
    // open on whatever child an earlier selection left behind.
    if (findChildPosition(mapEntry(d.Label12_OyaKou, Index)) != ChildSearch::Found) {
        platform::MsgBox(NoParentsMessage, platform::vbOKOnly);
        run.Sel_BoxMark = 0;
        return;
    }
    mainwindow::otherWindows().showChildDialog(t.Sel_ChildKou, t.Sel_ChildSlot);
}

// ---------------------------------------------------------------------------
// Face icons

void MainForm::Image1_Click(int Index)
{
    if (Fullscreen_Flag == 1)
        return;
    model::RunState& run = model::runState();
    run.Sel_Person = mapEntry(drawing::drawState().Image1_Per, Index);
    tellWindowsOfClick(ClickedElement::FaceIcon, run.Sel_Person, -1);
}

void MainForm::Image1_DblClick(int Index)
{
    if (Fullscreen_Flag == 1)
        return;
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    run.Sel_Person = mapEntry(drawing::drawState().Image1_Per, Index);
    run.Sel_BoxMark = 1;
    if (!isPersonSlot(run.Sel_Person) || model::Get_ChildKou(run.Sel_Person) == -1) {
        platform::MsgBox(NoParentsMessage, platform::vbOKOnly);
        run.Sel_BoxMark = 0;
        return;
    }
    mainwindow::otherWindows().showChildDialog(t.Sel_ChildKou, t.Sel_ChildSlot);
}

// ---------------------------------------------------------------------------
// Couple marks

void MainForm::Label11_Click(int Index)
{
    if (Fullscreen_Flag == 1)
        return;
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    // The relationship editor loads the marriage: its unregistered change is
    // settled before the chosen marriage changes.
    if (run.Ctrl_Open == 1 && !mainwindow::otherWindows().settleRelationEditor())
        return;
    const drawing::DrawState& d = drawing::drawState();
    const int last = layout::chart().counters.Label11_cnt;
    for (int i = 2; i <= last; ++i) {
        if (!Label11.exists(i))
            continue;
        const int kou = mapEntry(d.Label11_Kou, i);
        const bool relation = model::isSlot(kou) && t.kou_buf[static_cast<size_t>(kou)].kou_mode == 1;
        Label11[i].setBackColor(relation ? RelationMarkColour : MarriageMarkColour);
    }
    if (Label11.exists(Index))
        Label11[Index].setBackColor(ChosenMarkColour);

    run.Sel_KouMark = 1;
    run.KouNum = mapEntry(d.Label11_Kou, Index);
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    if (run.Ctrl_Open == 1) {
        windows.showRelationPage(mainwindow::OtherWindows::RelationPage::Marriage);
        windows.editRelationMarriage(run.KouNum);
        windows.raiseRelationEditor();
    }
    if (easyBuilderLoaded())
        windows.setEasyBaseMarriage(run.KouNum);
}

void MainForm::Label11_DblClick(int Index)
{
    model::RunState& run = model::runState();
    const drawing::DrawState& d = drawing::drawState();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    if (!windows.settleRelationEditor())
        return;
    run.Sel_KouMark = 1;
    run.KouNum = mapEntry(d.Label11_Kou, Index);
    if (Fullscreen_Flag != 1) {
        windows.showRelationEditor();
        run.Ctrl_Open = 1;
    }
    windows.rebuildRelationLists();
    if (easyBuilderLoaded())
        windows.rebuildEasyRelationList();
    windows.showRelationPage(mainwindow::OtherWindows::RelationPage::Marriage);
    // The list rebuild may have moved the editor's marriage; the mark's one wins.
    run.KouNum = mapEntry(d.Label11_Kou, Index);
    windows.editRelationMarriage(run.KouNum);
}

// ---------------------------------------------------------------------------
// Child status

void MainForm::optChMode_MouseUp(int Index, int Button, int Shift, double X, double Y)
{
    (void)Index;
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    model::Tables& t = model::tables();
    // The buttons are enabled only while the selected child is known; a selection
    // gone stale (its marriage or slot emptied meanwhile) changes nothing.
    if (!isUsedMarriage(t.Sel_ChildKou) || !model::isChildSlot(t.Sel_ChildSlot))
        return;
    const model::marry_data& kou = t.kou_buf[static_cast<size_t>(t.Sel_ChildKou)];
    const auto slot = static_cast<size_t>(t.Sel_ChildSlot);
    if (kou.kou_kodo[slot] < 1)
        return;

    (void)model::Save_Undo();
    const int16_t status = optChMode[0].value() ? 0 : optChMode[1].value() ? 1 : 2;
    model::kodo_data& work = t.KodoWork;
    work.KouIdx = t.Sel_ChildKou;
    work.KodoIdx = t.Sel_ChildSlot;
    work.kou_kodo = kou.kou_kodo[slot];
    work.kou_kodo_comment = kou.kou_kodo_comment[slot];
    work.kodo_visible = kou.kodo_visible[slot];
    // The slot is written back whole: its main-line mark comes along too, or the
    // mark the scratch record held from an earlier operation would replace it.
    work.kodo_honsuji = kou.kodo_honsuji[slot];
    work.kou_kodo_stat = status;
    const int written = model::Add_Kodo(work);
    if (written >= 0)
        t.Sel_ChildSlot = static_cast<int16_t>(written);

    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    windows.rebuildRelationLists();
    if (easyBuilderLoaded())
        windows.rebuildEasyRelationList();
    drawing::Refresh_TabDisp();
    t.Data_Changed = 1;
}
