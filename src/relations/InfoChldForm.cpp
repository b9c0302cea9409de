#include "relations/InfoChldForm.h"

#include "model/run_state.h"
#include "forms/UnregisteredInput.h"
#include "relations/CtrlForm.h"

#include "drawing/ChartRebuild.h"
#include "layout/predraw/PreDraw.h"
#include "model/ChildSlots.h"
#include "model/Lookups.h"
#include "model/SavableText.h"
#include "model/WindowServices.h"
#include "document/GroupSave.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

namespace {

using model::isMarriageSlot;
using model::tables;

// F_name immediately followed by Name; empty for a number outside the person table.
std::string joinedName(int person)
{
    if (!model::isSlot(person))
        return {};
    const model::personal_data& p = tables().per_buf[static_cast<size_t>(person)];
    return p.F_name + p.Name;
}

// The relationship editor follows the dialog's changes only while it is loaded:
// loading it just for that would reset the marriage picked on the chart (KouNum),
// and it is filled afresh whenever it is opened.
bool editorLoaded()
{
    return ctrl_form().isLoaded();
}

// Each command of the dialog refills the relationship editor's fields: their
// unregistered change is settled first (false: the user stays with it).
bool settleEditorFirst()
{
    return !editorLoaded() || ctrl_form().settleUnregisteredChange();
}

} // namespace

InfoChldForm::InfoChldForm() : Form("InfoChld")
{
    CMDFUNC.onClick = [this](int index) { CMDFUNC_Click(index); };
    Command1.onClick = [this](int index) { Command1_Click(index); };
    CMDEND.onClick = [this] { CMDEND_Click(); };
}

InfoChldForm& infochld_form()
{
    static InfoChldForm instance;
    return instance;
}

void InfoChldForm::design()
{
    setCaption(relations::InfoChldCaption);
    setFontName("ＭＳ Ｐゴシック");
    setFontSize(9);
    move(0, 0, 6300, 4500);

    const char* labels[] = {"親情報", "子供", "どちらの子供", "表示位置", "コメント"};
    const double labelTops[] = {120, 540, 960, 2640, 1380};
    for (int i = 0; i < 5; ++i) {
        Label1[i].move(120, labelTops[i], 1300, 300);
        Label1[i].setCaption(labels[i]);
    }
    Text1[0].move(1500, 90, 4560, 315);
    Text1[0].setLocked(true);
    Text1[1].move(1500, 510, 4560, 315);
    Text1[1].setLocked(true);
    Text1[2].move(1500, 1350, 4560, 315);
    const char* whose[] = {"父", "母", "養子"};
    for (int i = 0; i < 3; ++i) {
        Option1[i].move(1500 + i * 1000, 930, 900, 300);
        Option1[i].setCaption(whose[i]);
    }
    Check1.move(1500, 1770, 4560, 300);
    Check1.setCaption("この人から家系をつなげる");
    Check1.setToolTipText("この子供が複数の親に登録されている場合、どの子供から家系を伸ばすかを設定します");
    Label2.move(120, 2190, 1300, 300);
    Label2.setCaption("養子履歴");
    Combo1.move(1500, 2160, 4560, 300);
    Combo1.setStyle(forms::vbComboDropdownList);
    const char* moves[] = {"左端", "左", "右", "右端"};
    for (int i = 0; i < 4; ++i) {
        Command1[i].move(1500 + i * 1140, 2580, 1080, 375);
        Command1[i].setCaption(moves[i]);
    }
    CMDFUNC[0].move(1500, 3240, 1200, 420);
    CMDFUNC[0].setCaption("登録");
    CMDFUNC[1].move(2820, 3240, 1200, 420);
    CMDFUNC[1].setCaption("削除");
    CMDEND.move(4860, 3240, 1200, 420);
    CMDEND.setCaption("戻る");
}

// ---------------------------------------------------------------- filling

void InfoChldForm::fillParents(int kou)
{
    const model::marry_data& k = tables().kou_buf[static_cast<size_t>(kou)];
    std::string parents = joinedName(k.kou_titi) + "." + joinedName(k.kou_haha);
    if (k.kou_mode == 1)
        parents += "(" + k.kou_title + ")";
    Text1[0].setText(parents);
}

void InfoChldForm::fillAdoptionHistory(int kou, int slot, int child)
{
    const model::marry_data& k = tables().kou_buf[static_cast<size_t>(kou)];
    Combo1.clear();
    const bool linked = k.kodo_link[static_cast<size_t>(slot)] >= 1;
    Combo1.setVisible(linked);
    Label2.setVisible(linked);
    if (!linked)
        return;

    auto addMarriage = [this](int marriage) {
        const model::marry_data& m = tables().kou_buf[static_cast<size_t>(marriage)];
        Combo1.addItem(m.kou_title + ":" + model::Get_PersonText(m.kou_titi) + "と" +
                       model::Get_PersonText(m.kou_haha));
        Combo1.setItemData(Combo1.newIndex(), marriage);
    };
    // The marriages the child is a child of, then those the child is a partner in.
    int childSlot = -1;
    for (int m = model::Find_NextParentKou(child, 0, childSlot); m != -1;
         m = model::Find_NextParentKou(child, m + 1, childSlot))
        addMarriage(m);
    for (int m = model::Find_NextMarry(child, 0); m != -1; m = model::Find_NextMarry(child, m + 1))
        addMarriage(m);

    const int history = k.kodo_yoshirireki[static_cast<size_t>(slot)];
    for (int i = 0; i < Combo1.listCount(); ++i) {
        if (Combo1.itemData(i) == history) {
            Combo1.setListIndex(i);
            break;
        }
    }
}

void InfoChldForm::edit_ch_data(int kou, int slot, int commitFlag, int deleteFlag)
{
    m_kou = -1;
    m_slot = -1;
    m_child = -1;
    // A marriage outside the table is reported like one not in use.
    if (!model::isTakenMarriage(kou)) {
        platform::MsgBox(relations::ChildMarriageMissingMessage, platform::vbOKOnly);
        return;
    }
    m_kou = kou;
    if (model::isChildSlot(slot)) {
        m_slot = slot;
        m_child = tables().kou_buf[static_cast<size_t>(kou)].kou_kodo[static_cast<size_t>(slot)];
    }
    CMDFUNC[0].setEnabled(commitFlag != 1);
    CMDFUNC[1].setEnabled(deleteFlag != 1);
    fillParents(kou);

    // Without a child slot the dialog shows the parents and empty child fields.
    if (!model::isChildSlot(slot)) {
        for (int i = 0; i < 3; ++i)
            Option1[i].setValue(false);
        Text1[1].setText("");
        Text1[2].setText("");
        Check1.setValue(forms::vbUnchecked);
        Check1.setVisible(false);
        Combo1.clear();
        Combo1.setVisible(false);
        Label2.setVisible(false);
        m_shownFields = shownFields();
        return;
    }

    const model::marry_data& k = tables().kou_buf[static_cast<size_t>(kou)];
    const size_t s = static_cast<size_t>(slot);
    const int status = k.kou_kodo_stat[s];
    for (int i = 0; i < 3; ++i)
        Option1[i].setValue(false);
    if (status >= 0 && status <= 2)
        Option1[status].setValue(true);

    const int child = k.kou_kodo[s];
    Text1[1].setText(joinedName(child));
    Text1[2].setText(k.kou_kodo_comment[s]);

    Check1.setValue(forms::vbUnchecked);
    Check1.setVisible(k.kodo_link[s] > 0);
    if (k.kodo_link[s] > 0 && k.kodo_honsuji[s] == 1)
        Check1.setValue(forms::vbChecked);

    fillAdoptionHistory(kou, slot, child);
    m_shownFields = shownFields();
}

InfoChldForm::ShownFields InfoChldForm::shownFields() const
{
    ShownFields fields;
    for (int i = 0; i < 3; ++i) {
        if (Option1[i].value())
            fields.status = i;
    }
    fields.comment = Text1[2].text();
    fields.mark = Check1.value();
    fields.history = Combo1.listIndex();
    return fields;
}

bool InfoChldForm::hasUnregisteredInput() const
{
    return isLoaded() && isVisible() && m_child != -1 && !(shownFields() == m_shownFields);
}

bool InfoChldForm::settleUnregisteredInput()
{
    if (!hasUnregisteredInput())
        return true;
    model::Tables& t = tables();
    model::RunState& run = model::runState();
    const int16_t person = run.Sel_Person, boxMark = run.Sel_BoxMark;
    const int16_t childKou = t.Sel_ChildKou, childSlot = t.Sel_ChildSlot;
    if (!forms::settleUnregisteredInput([this] { return commitSlot(); }, [] {}))
        return false;
    run.Sel_Person = person;
    run.Sel_BoxMark = boxMark;
    t.Sel_ChildKou = childKou;
    t.Sel_ChildSlot = childSlot;
    return true;
}

void InfoChldForm::forgetPerson(int person)
{
    if (m_child == -1 || m_child != person)
        return;
    letGoOfChild();
}

void InfoChldForm::letGoOfChild()
{
    m_kou = -1;
    m_slot = -1;
    m_child = -1;
    hide();
}

void InfoChldForm::showCurrentFamily()
{
    if (!isLoaded() || m_kou == -1)
        return;
    // A dialog without a child shows its marriage's parents only.
    const bool stands = m_child == -1 ? model::isTakenMarriage(m_kou) : shownChildStands();
    if (!stands) {
        letGoOfChild();
        return;
    }
    edit_ch_data(m_kou, m_slot, CMDFUNC[0].isEnabled() ? 0 : 1, CMDFUNC[1].isEnabled() ? 0 : 1);
}

// ---------------------------------------------------------------- commands

bool InfoChldForm::shownChildStands() const
{
    if (!isMarriageSlot(m_kou) || !model::isChildSlot(m_slot) || !model::isSlot(m_child))
        return false;
    const model::marry_data& k = tables().kou_buf[static_cast<size_t>(m_kou)];
    return model::isTakenMarriage(k) && k.kou_kodo[static_cast<size_t>(m_slot)] == m_child;
}

void InfoChldForm::CMDFUNC_Click(int Index)
{
    if (Index == 0)
        commitSlot();
    else if (Index == 1)
        deleteChild();
}

bool InfoChldForm::commitSlot()
{
    if (!shownChildStands()) {
        platform::MsgBox(relations::ChildMissingMessage, platform::vbOKOnly);
        return false;
    }
    if (!model::acceptSavableText(Text1[2].text())) {
        Text1[2].setFocus();
        return false;
    }
    if (!settleEditorFirst())
        return false;
    model::Tables& t = tables();
    // Add_Kodo takes the snapshot once it accepts the child: a refusal keeps the undo.
    const model::UndoSnapshotStep snapshot;

    const int16_t status = Option1[0].value() ? 0 : Option1[1].value() ? 1 : 2;
    const int kou = m_kou;
    const model::marry_data& shown = t.kou_buf[static_cast<size_t>(kou)];
    const auto slot = static_cast<size_t>(m_slot);
    model::kodo_data& work = t.KodoWork;
    work.KouIdx = static_cast<int16_t>(kou);
    work.KodoIdx = static_cast<int16_t>(m_slot);
    work.kou_kodo_stat = status;
    work.kou_kodo_comment = Text1[2].text();
    work.kou_kodo = static_cast<int16_t>(m_child);
    work.kodo_visible = shown.kodo_visible[slot];
    // The slot keeps its own main-line mark unless the check box below sets it; the
    // scratch record may still hold the mark of an earlier operation.
    work.kodo_honsuji = shown.kodo_honsuji[slot];
    const int result = model::Add_Kodo(work);
    t.Sel_ChildSlot = static_cast<int16_t>(result);

    // A refused slot has no slot to carry the main-line mark and the adoption history.
    if (result >= 0 && Check1.isVisible()) {
        model::marry_data& k = t.kou_buf[static_cast<size_t>(kou)];
        const size_t s = static_cast<size_t>(result);
        if (Check1.value() == forms::vbChecked) {
            layout::Clear_Honsuji(static_cast<int16_t>(m_child));
            k.kodo_honsuji[s] = 1;
        } else {
            k.kodo_honsuji[s] = -1;
            layout::Mark_MultiParent();
        }
        const int chosen = Combo1.listIndex();
        k.kodo_yoshirireki[s] = static_cast<int16_t>(chosen >= 0 ? Combo1.itemData(chosen) : -1);
    }

    if (result == -2) {
        platform::MsgBox(t.per_buf[static_cast<size_t>(m_child)].Name + relations::AncestorChildMessage,
                         platform::vbOKOnly);
    } else if (result == -1) {
        platform::MsgBox(model::ChildSlotsFullMessage, platform::vbOKOnly);
    }

    if (editorLoaded())
        ctrl_form().edit_kou_data(kou);
    finishChange();
    return true;
}

void InfoChldForm::deleteChild()
{
    if (!shownChildStands()) {
        platform::MsgBox(relations::ChildMissingMessage, platform::vbOKOnly);
        return;
    }
    if (!settleEditorFirst())
        return;
    // The snapshot follows the confirmation: a cancelled deletion keeps the undo.
    const model::UndoSnapshotStep snapshot;
    model::windowServices().closeChronology();
    model::Del_Kodo(m_kou, m_slot);

    if (editorLoaded())
        ctrl_form().refillChildList(model::runState().KouNum);
    finishChange();
}

void InfoChldForm::finishChange()
{
    model::Tables& t = tables();
    model::RunState& run = model::runState();
    if (editorLoaded())
        ctrl_form().Build_List();
    // Add_Kodo and Del_Kodo mark the family changed when they changed it.
    drawing::Refresh_TabDisp();
    run.Sel_Person = -1;
    t.Sel_ChildSlot = -1;
    run.Sel_BoxMark = 0;
    if (editorLoaded())
        ctrl_form().resetEntryFields(platform::Str(0LL));
    hide();
}

void InfoChldForm::ChMoveJobMain(int direction)
{
    const model::Tables& t = tables();
    moveChild(t.Sel_ChildKou, t.Sel_ChildSlot, direction);
}

void InfoChldForm::moveChild(int kou, int slot, int direction)
{
    model::Tables& t = tables();
    model::RunState& run = model::runState();
    if (!settleEditorFirst())
        return;
    if (direction >= 0 && direction <= 3 && run.Sel_BoxMark == 1 && (direction >= 2 || slot >= 1)) {
        model::windowServices().saveUndo();
        if (model::Move_Kodo(kou, slot, direction + 1) == -1)
            platform::MsgBox(direction == 0 ? relations::ChildMissingFirstMessage : relations::ChildMissingMessage,
                             platform::vbOKOnly);
        drawing::Refresh_TabDisp();
        t.Data_Changed = 1;
    }
    // A move changes only the order of the children: the dialog stays with what the
    // user typed (comment, status, main-line mark), now for the child's new place,
    // where 登録 registers it.
    if (m_kou == kou && model::isSlot(m_child)) {
        const model::marry_data& k = t.kou_buf[static_cast<size_t>(kou)];
        for (int s = 0; s <= model::LastChildSlot; ++s) {
            if (k.kou_kodo[static_cast<size_t>(s)] == m_child) {
                if (t.Sel_ChildSlot == m_slot)
                    t.Sel_ChildSlot = static_cast<int16_t>(s);
                m_slot = s;
                break;
            }
        }
    }
    if (editorLoaded())
        ctrl_form().edit_kou_data(run.KouNum);
}

void InfoChldForm::Command1_Click(int Index)
{
    if (!shownChildStands()) {
        platform::MsgBox(Index == 0 ? relations::ChildMissingFirstMessage : relations::ChildMissingMessage,
                         platform::vbOKOnly);
        return;
    }
    moveChild(m_kou, m_slot, Index);
}

void InfoChldForm::CMDEND_Click()
{
    if (!settleUnregisteredInput())
        return;
    hide();
}

void InfoChldForm::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // The close box settles the input first, then hides the dialog and lets it unload.
    if (UnloadMode == forms::vbFormControlMenu && !settleUnregisteredInput()) {
        Cancel = 1;
        return;
    }
    Cancel = 0;
    hide();
}
