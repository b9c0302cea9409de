// The relationship editor's commands: new, register, delete (a marriage or one
// of its children), the blank-partner buttons and the state list.

#include "relations/CtrlForm.h"

#include "model/run_state.h"
#include "relations/RelationRequests.h"
#include "relations/relations_state.h"

#include "drawing/ChartRebuild.h"
#include "layout/chart_state.h"
#include "model/ChildSlots.h"
#include "model/Lookups.h"
#include "model/MarriageRegistration.h"
#include "model/SavableText.h"
#include "model/UndoRecords.h"
#include "model/WindowServices.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

using model::tables;

// The person slot a partner label's Tag names; a text that is no 16-bit number
// counts as not chosen (0).
int16_t tagSlot(const std::string& tag)
{
    const double value = platform::Val(tag);
    if (!(value >= INT16_MIN && value <= INT16_MAX))
        return 0;
    return static_cast<int16_t>(value);
}

// The history order of the order field: the largest whole number not above the
// value, within -100..100; false when the text is not a number.
bool historyOrder(const std::string& text, int16_t& order)
{
    if (!platform::IsNumeric(text))
        return false;
    const double value = std::floor(platform::Val(text));
    order = static_cast<int16_t>(std::clamp(value, -100.0, 100.0));
    return true;
}

} // namespace

void CtrlForm::CMDFUNC_Click(int Index)
{
    switch (Index) {
    case 0: {
        if (!settleUnregisteredChange())
            return;
        model::Tables& t = tables();
        model::RunState& run = model::runState();
        run.Sel_KouMark = 0;
        run.KouNum = -1;
        edit_kou_data(-1);
        List1[2].setListIndex(-1);
        run.Sel_BoxMark = 0;
        run.Sel_Person = -1;
        t.Sel_ChildSlot = -1;
        break;
    }
    case 1:
        registerMarriage();
        break;
    case 2:
        if (ChildListActive == 1)
            deleteChild();
        else
            deleteMarriage();
        break;
    default:
        break;
    }
}

void CtrlForm::refreshChart()
{
    drawing::Refresh_TabDisp();
    model::windowServices().setChartAcceptsDrops(layout::chart().tree_cnt == 0);
}

bool CtrlForm::registerMarriage()
{
    actOnShownMarriage();
    const model::RelationEditorStep step;
    if (!model::acceptSavableText(Text1[0].text())) {
        Text1[0].setFocus();
        return false;
    }
    if (!model::acceptSavableText(Combo1.text())) {
        Combo1.setFocus();
        return false;
    }
    model::Tables& t = tables();
    model::RunState& run = model::runState();
    model::kou_work work;
    model::init_kou_work(work);
    work.kou_titi = tagSlot(Label2[0].tag());
    work.kou_haha = tagSlot(Label2[1].tag());
    const int state = Combo1.listIndex();
    if (state >= 0)
        work.kou_mode = static_cast<int16_t>(Combo1.itemData(state));
    work.kou_state = Combo1.text();
    work.dsp_start = static_cast<int16_t>(Check1[0].value());
    work.Bunke = static_cast<int16_t>(ChkBunke.value());
    work.kou_title = Text1[0].text();
    historyOrder(Text1[1].text(), work.sort_lev);
    work.Yoshi_f = Option1[0].value() ? 0 : 1;
    // The record carries at most as many children as its Kodo array holds.
    const int children = std::min(List2.listCount(), model::ChildArraySize);
    work.KodoCnt = static_cast<int16_t>(children);
    for (int i = 0; i < children; ++i) {
        model::KodoEntry& entry = work.Kodo[static_cast<size_t>(i)];
        entry.kou_kodo = static_cast<int16_t>(List2.itemData(i));
        entry.kodo_visible = List2.selected(i) ? 1 : 0;
    }
    work.KouIdx = run.Sel_KouMark == 0 ? -1 : run.KouNum;

    model::regist_kou_data(work);

    if (work.ErrFlag != 0)
        platform::MsgBox(work.ErrMsg, work.ErrStyle, work.ErrTitle);
    if (work.Registered != 1) {
        // A refused registration keeps what the user entered, to be corrected; it
        // leaves whatever step was pending, under its own caption.
        showPendingUndo();
        return false;
    }
    t.Data_Changed = 1;
    model::windowServices().closeChronology();
    Build_List();
    refreshChart();
    run.Sel_KouMark = 0;
    run.KouNum = -1;
    edit_kou_data(-1);
    showPendingUndo();
    relations::relationRequests().raiseMainWindow();
    return true;
}

void CtrlForm::deleteMarriage()
{
    actOnShownMarriage();
    model::RunState& run = model::runState();
    if (run.KouNum == -1) {
        relations::relationRequests().raiseMainWindow();
        return;
    }
    // The deletion empties the fields, whatever the answer to its question: their
    // unregistered change is settled first. A registration leaves the fields empty,
    // and the marriage they showed is still the one to delete.
    const int16_t shown = run.KouNum;
    if (!settleUnregisteredChange())
        return;
    run.KouNum = shown;
    const model::RelationEditorStep step;
    // The snapshot follows the confirmation: a cancelled deletion keeps the undo.
    const model::UndoSnapshotStep snapshot;
    if (del_kou_buf(run.KouNum) == -1) {
        platform::MsgBox(relations::MarriageMissingMessage, platform::vbOKOnly);
    } else {
        model::windowServices().closeChronology();
        Build_List();
        refreshChart();
    }
    run.Sel_KouMark = 0;
    run.KouNum = -1;
    edit_kou_data(-1);
    relations::relationRequests().raiseMainWindow();
}

void CtrlForm::deleteChild()
{
    actOnShownMarriage();
    model::Tables& t = tables();
    model::RunState& run = model::runState();
    const int line = List2.listIndex();
    if (line >= 0) {
        run.Sel_Person = static_cast<int16_t>(List2.itemData(line));
        run.Sel_BoxMark = 1;
    }
    // Without a child to delete (no line chosen and nobody selected on the chart) the
    // child slot left by an earlier look-up would name an unrelated child: nothing is
    // deleted then, as when the person is not a child of this marriage.
    auto childFound = [&run] {
        if (run.Sel_Person != -1 && model::Get_ChildSlot(run.KouNum, run.Sel_Person) != -1)
            return true;
        platform::MsgBox(relations::ParentsNotFoundMessage, platform::vbOKOnly);
        run.Sel_BoxMark = 0;
        run.Sel_Person = -1;
        return false;
    };
    if (!childFound())
        return;
    // The deletion refills the fields: their unregistered change is settled first.
    // A registration empties them; the child is then looked up again in the marriage
    // as registered.
    const int16_t shown = run.KouNum;
    const int16_t child = run.Sel_Person;
    if (hasUnregisteredChange()) {
        if (!settleUnregisteredChange())
            return;
        run.KouNum = shown;
        run.Sel_Person = child;
        if (!childFound())
            return;
    }
    const model::RelationEditorStep step;

    // The snapshot follows the confirmation: a cancelled deletion keeps the undo.
    const model::UndoSnapshotStep snapshot;
    const int kou = t.Sel_ChildKou;
    const int slot = t.Sel_ChildSlot;
    // Del_Kodo marks the family changed once the deletion is confirmed.
    model::Del_Kodo(kou, slot);
    showPendingUndo();
    edit_kou_data(run.KouNum);
    refreshChart();

    resetFields();
    run.Sel_BoxMark = 0;
    run.Sel_Person = -1;
    t.Sel_ChildSlot = -1;
    run.Sel_KouMark = 0;
    run.KouNum = -1;
    relations::relationRequests().raiseMainWindow();
}

void CtrlForm::resetFields()
{
    resetEntryFields("0");
}

void CtrlForm::resetEntryFields(const std::string& zeroText)
{
    Text1[0].setText("");
    Text1[1].setText(zeroText);
    for (int side : {0, 1}) {
        Label2[side].setCaption("");
        Label2[side].setTag(zeroText);
    }
    List2.clear();
    Check1[0].setValue(forms::vbUnchecked);
    Option1[0].setValue(true);
    m_fieldsKou = -1;
    markFieldsShown();
}

void CtrlForm::actOnShownMarriage()
{
    model::RunState& run = model::runState();
    if (run.KouNum == m_fieldsKou)
        return;
    run.KouNum = m_fieldsKou;
    run.Sel_KouMark = static_cast<int16_t>(m_fieldsKou == -1 ? 0 : 1);
}

int CtrlForm::del_kou_buf(int kou)
{
    // A slot outside the table is no marriage: report it as such rather than as done.
    if (!model::isTakenMarriage(kou))
        return -1;
    const int result = model::deleteMarriageRecord(kou);
    showPendingUndo();
    resetFields();
    return result == -1 ? -1 : 0;
}

void CtrlForm::CmdSetNull_Click(int Index)
{
    if (Index != 0 && Index != 1)
        return;
    Label2[Index].setCaption(relations::BlankPartnerText);
    Label2[Index].setTag(std::to_string(model::BlankPartner));
    model::personal_data& blank = tables().per_buf[model::BlankPartner];
    blank.Name = relations::BlankPartnerText;
    blank.Sex = static_cast<int16_t>(Index);
}

void CtrlForm::Combo1_Click()
{
    const std::string word = Combo1.text();
    Text1[0].setText(word == relations::StateWords[0].word ? std::string() : word);
}

int CtrlForm::check_kou(int titi, int haha)
{
    model::Tables& t = tables();
    int result = 0;
    if (model::Get_ChildKou(titi) == 0 && model::isMarriageSlot(t.Sel_ChildKou) &&
        t.kou_buf[static_cast<size_t>(t.Sel_ChildKou)].kou_haha == haha && haha != model::BlankPartner)
        result = -1;
    if (model::Get_ChildKou(haha) == 0 && model::isMarriageSlot(t.Sel_ChildKou) &&
        t.kou_buf[static_cast<size_t>(t.Sel_ChildKou)].kou_titi == titi && titi != model::BlankPartner)
        result = -1;
    return result;
}
