// Editing the family by dropping entries of the relationship editor's person
// lists onto the chart: onto a person box (marry the two, or with Shift add the
// dragged person as an adopted child, or add a child to a category box), onto a
// couple mark (add a child) or onto the empty canvas of the new-entry tab (place
// a first person); the right button on a person box (quick name input); and the
// one-step undo of the last drop, kept in memory.
//
// Every drag comes from the relationship editor, which publishes the dragged
// person and its list in dropState(). A drop that needs a question (the copy of
// a person who is already married) is kept; the editor has it completed when its
// drag ends, through completeKeptDrop.
//
// Each drop is one undo step (model::UndoSnapshotStep): its snapshot is taken by the
// first change it makes to the family (a new person, marriage or child), after the
// checks that may refuse it. A drop that is kept for a question or refused leaves
// the main window's undo and the changed mark as they were.

#include "mainwindow/DropState.h"
#include "mainwindow/MainForm.h"

#include "drawing/ChartRebuild.h"
#include "drawing/ElementPlacers.h"
#include "drawing/draw_state.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "mainwindow/OtherWindows.h"
#include "model/ChildSlots.h"
#include "model/Lookups.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/Utilities.h"
#include "model/WindowServices.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace mainwindow {

DropState& dropState()
{
    static DropState state;
    return state;
}

void splitDragText(const std::string& text, std::string& fname, std::string& name)
{
    fname = platform::Left(text, 5);
    name = platform::Mid(text, 6);
}

namespace {

// True while a waiting drop is carried out: its input was settled already.
bool settledForDrop = false;

bool holdsUnsettledInput(bool personEditor, bool relationEditor)
{
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    return (personEditor && model::runState().Entry_Open == 1 && windows.personEditorHoldsInput()) ||
           (relationEditor && windows.relationEditorHoldsChange());
}

bool settleEditors(bool personEditor, bool relationEditor)
{
    return (!personEditor || settlePersonEditorFirst()) &&
           (!relationEditor || otherWindows().settleRelationEditor());
}

} // namespace

bool waitForPersonEditor(std::function<void()> carryOut)
{
    return waitForEditors(true, false, std::move(carryOut));
}

bool waitForEditors(bool personEditor, bool relationEditor, std::function<void()> carryOut)
{
    if (settledForDrop || !holdsUnsettledInput(personEditor, relationEditor))
        return false;
    if (model::runState().ListDragActive != 1)
        return !settleEditors(personEditor, relationEditor);
    DropState& st = dropState();
    st.Drop_AfterSettle = std::move(carryOut);
    st.Drop_SettlesPerson = personEditor;
    st.Drop_SettlesRelation = relationEditor;
    st.Drop_Done = -1;
    return true;
}

void completeDropAfterSettle()
{
    DropState& st = dropState();
    std::function<void()> carryOut = std::move(st.Drop_AfterSettle);
    st.Drop_AfterSettle = nullptr;
    if (!carryOut || !settleEditors(st.Drop_SettlesPerson, st.Drop_SettlesRelation))
        return;
    settledForDrop = true;
    try {
        carryOut();
    } catch (...) {
        settledForDrop = false;
        throw;
    }
    settledForDrop = false;
}

} // namespace mainwindow

namespace {

using mainwindow::DropState;
using mainwindow::dropState;
namespace DropUndo = model::DropUndo;

constexpr const char* SameSexListedMessage = "この人の上にはドラッグ出来ません。性別が同一です";
constexpr const char* SameSexPlaceholderMessage = "この人にはドラッグ出来ません。性別が同一です";
constexpr const char* DuplicateMarriageMessage = "既に結婚関係として登録されています";
constexpr const char* MarriagesFullMessage = "結婚関係は1024組迄登録出来ます";
constexpr const char* ChildElsewhereMessage = " :  この子供は、他の結婚関係で登録されています";
constexpr const char* ChildAncestorMessage = " :  この子供は、家族の先祖として使用されている可能性があります";

constexpr const char* NormalState = "通常";
constexpr const char* UnmarriedState = "unmarried";
constexpr int16_t UnmarriedMode = 2;
constexpr const char* AdoptedComment = "養子";
constexpr int16_t PlainChildStatus = 0;
constexpr int16_t AdoptedChildStatus = 2;

int16_t mapEntry(const std::vector<int16_t>& map, int index)
{
    return index >= 0 && static_cast<size_t>(index) < map.size() ? map[static_cast<size_t>(index)] : -1;
}

using model::isPersonSlot;

using model::person;

using model::marriage;

using model::isUsedMarriage;

bool easyBuilderLoaded()
{
    return model::Find_FormByName("EasyCtl") == 1;
}

int sexOfList(int dragSex)
{
    return dragSex == 0 ? 0 : 1;
}

// The drop handlers' common start: the chronology window goes (the family is
// about to change) and the drag marker is hidden.
void closeChronologyAndMarker()
{
    model::RunState& run = model::runState();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    if (run.YTbl_Open != 0) {
        windows.closeChronology();
        run.YTbl_Open = 0;
    }
    windows.hideDragMarker();
}

// A drop that waits for the copy question asked when the drag ends: what was
// dropped where is kept, and the drop is over for now.
void keepDropPending(const forms::DataObject& Data, int Index, const std::string& fname, const std::string& name,
                     int16_t kind)
{
    DropState& st = dropState();
    st.Drop_PendData = Data;
    st.Drop_PendIndex = static_cast<int16_t>(Index);
    st.Drop_PendFName = fname;
    st.Drop_PendName = name;
    st.Drop_PendKind = kind;
    st.Drop_Done = -1;
}

// A child into marriage kou through KodoWork; the other fields of KodoWork keep
// what they held. Returns the Add_Kodo result.
int addChild(int kou, int child, int16_t status, const std::string& comment)
{
    model::kodo_data& work = model::tables().KodoWork;
    work.KouIdx = static_cast<int16_t>(kou);
    work.KodoIdx = -1;
    work.kou_kodo = static_cast<int16_t>(child);
    work.kou_kodo_stat = status;
    work.kou_kodo_comment = comment;
    work.kodo_visible = 1;
    return model::Add_Kodo(work);
}

// The new placeholder person of a list: the counter moves on and the editor's
// list follows (its entry now names the person, a new placeholder is appended).
void takePlaceholder(int list, int created)
{
    ++model::placeholderCounter(list);
    mainwindow::otherWindows().placeholderTaken(list, created);
}

// The undo of takePlaceholder: the person's line leaves the list, and the number goes
// back while no later placeholder took the next one (`countAfter` is the counter just
// after this one was made).
void returnPlaceholder(int list, int created, int16_t countAfter)
{
    model::returnPlaceholderNumber(list, countAfter);
    mainwindow::otherWindows().placeholderReturned(list, created);
}

// A drop that made a person under a new placeholder name is taken back by freeing the
// person and giving the name back to its list; a drop of a listed person made nobody.
void returnCreatedPerson(const model::DropUndoRecord& r, int created)
{
    const int list = model::dropPlaceholderList(r.Drop_UndoKind);
    if (list == -1)
        return;
    model::freeCreatedPerson(created);
    returnPlaceholder(list, created, r.placeholderCount);
}

// The persons the drop made, which its undo frees: the placed or married placeholder,
// the "unknown" partner of an adoption, a placeholder child.
std::vector<int> personsFreedByUndo(const model::DropUndoRecord& r)
{
    switch (r.Drop_UndoKind) {
    case DropUndo::CanvasNewMan:
    case DropUndo::CanvasNewWoman:
    case DropUndo::MarriageNewMan:
    case DropUndo::MarriageNewWoman:
    case DropUndo::AdoptedListed:
        return {r.Drop_UndoPer};
    case DropUndo::ChildNewMan:
    case DropUndo::ChildNewWoman:
        return {r.UndoKodo};
    case DropUndo::AdoptedNewMan:
    case DropUndo::AdoptedNewWoman:
        return {r.Drop_UndoPer, r.UndoKodo};
    default:
        return {};
    }
}

// Frees the drop's marriage and gives the start mark back to the marriage the drop
// took it from. The editor's pending registration of the same marriage goes with it:
// there is nothing left to take back.
void freeDropMarriage(int kou, int displacedStart)
{
    model::freeCreatedMarriage(kou, displacedStart);
    const model::KouUndoRecord& editorStep = model::kouUndo();
    if (editorStep.KouUndoMode == model::KouUndo::NewMarriage && editorStep.UndoKou == kou) {
        model::clearKouUndo();
        mainwindow::otherWindows().disableRelationUndo();
    }
}

} // namespace

// ---------------------------------------------------------------------------
// Wiring

MainForm::DropWiring::DropWiring(MainForm& window)
{
    MainForm* w = &window;
    // The person-box pictures forward their drops and right-button presses to the
    // hidden name labels' handlers.
    auto boxDrop = [w](int index, forms::DataObject& data, int& effect, int button, int shift, double x, double y) {
        w->Label12_OLEDragDrop(index, data, effect, button, shift, x, y);
    };
    auto boxMouseDown = [w](int index, int button, int shift, double x, double y) {
        w->Label12_MouseDown(index, button, shift, x, y);
    };
    window.DPic.onOLEDragDrop = boxDrop;
    window.Label12.onOLEDragDrop = boxDrop;
    window.DPic.onMouseDown = boxMouseDown;
    window.Label12.onMouseDown = boxMouseDown;
    window.Label11.onOLEDragDrop = [w](int index, forms::DataObject& data, int& effect, int button, int shift,
                                       double x, double y) {
        w->Label11_OLEDragDrop(index, data, effect, button, shift, x, y);
    };
    window.Picture1.onOLEDragDrop = [w](forms::DataObject& data, int& effect, int button, int shift, double x,
                                        double y) { w->Picture1_OLEDragDrop(data, effect, button, shift, x, y); };
}

// ---------------------------------------------------------------------------
// Quick name input

void MainForm::Label12_MouseDown(int Index, int Button, int Shift, double X, double Y)
{
    (void)Shift;
    (void)X;
    (void)Y;
    if (Button != forms::vbRightButton)
        return;
    const int slot = mapEntry(drawing::drawState().Label12_Per, Index);
    if (!isPersonSlot(slot))
        return;
    // Input the person editor holds unregistered for this person is settled before
    // the dialog opens, so that the dialog starts from the person as stored and its
    // 決定 takes the undo snapshot of this command only after every check: a
    // registration answered はい is then a step of its own, キャンセル leaves the
    // family, its undo and its changed mark as they were, and the card's 登録 never
    // stores the old names and marks back over the dialog's.
    if (!mainwindow::settlePersonEditorFirst(slot))
        return;
    model::personal_data& p = person(slot);
    mainwindow::OtherWindows::QuickName values;
    values.familyName = p.F_name;
    values.givenName = p.Name;
    values.options[0] = p.CategoryF == 1 ? 1 : 0;
    values.options[1] = p.Disp.DS_DeathW == 1 ? 1 : 0;
    values.options[2] = p.Disp.DS_Waku == 1 ? 1 : 0;
    values.options[3] = p.CsvOutFlag == 1 ? 1 : 0;
    // The relationship editor is out of its place in front while the dialog is
    // shown, and back in it afterwards.
    const bool editorOpen = model::runState().Ctrl_Open == 1;
    if (editorOpen)
        model::SetTopMost("ctrl", 0);
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    const bool entered = windows.showQuickNameInput(values);
    if (editorOpen && model::runState().Ctrl_Open == 1)
        model::SetTopMost("ctrl", 1);
    if (!entered)
        return;
    p.F_name = values.familyName;
    p.Name = values.givenName;
    p.CategoryF = static_cast<int16_t>(values.options[0]);
    p.Disp.DS_DeathW = static_cast<int16_t>(values.options[1]);
    p.Disp.DS_Waku = static_cast<int16_t>(values.options[2]);
    p.CsvOutFlag = static_cast<int16_t>(values.options[3]);
    drawing::Refresh_TabDisp();
    windows.rebuildRelationLists();
    if (easyBuilderLoaded())
        windows.rebuildEasyRelationList();
    windows.showChangedPerson(slot);
}

// ---------------------------------------------------------------------------
// Drops on person boxes

void MainForm::Label12_OLEDragDrop(int Index, forms::DataObject& Data, int& Effect, int Button, int Shift,
                                   double X, double Y)
{
    DropState& st = dropState();
    st.Drop_PendKind = mainwindow::PendNone;
    // A placeholder and the partner "unknown" of a Shift drop become persons.
    if ((st.Drag_Person == -1 || Shift == forms::vbShiftMask) &&
        mainwindow::waitForPersonEditor([this, Index, Data, Button, Shift, X, Y] {
            forms::DataObject data = Data;
            int effect = forms::vbDropEffectCopy;
            Label12_OLEDragDrop(Index, data, effect, Button, Shift, X, Y);
        }))
        return;
    std::string fname, name;
    mainwindow::splitDragText(Data.getData(forms::vbCFText), fname, name);
    const model::UndoSnapshotStep snapshot;
    if (st.Drag_Person != -1 && model::Find_PersonMarry(st.Drag_Person) != -1) {
        keepDropPending(Data, Index, fname, name, mainwindow::PendDraggedMarried);
        return;
    }
    Label12_OLEDragDrop_Main(Index, Data, Effect, Button, Shift, X, Y, fname, name);
}

int MainForm::AddNullActors(int Sex, const std::string& FName, const std::string& Name)
{
    const int created = model::Add_NewPerson(-1, Name, FName, Sex);
    if (created >= 0)
        takePlaceholder(Sex == 0 ? 0 : 1, created);
    return created;
}

// ---------------------------------------------------------------------------
// The relationship editor's drags

namespace {

constexpr const char* CopyTitle = "個人情報のコピー";

// The copy question about a person who is already married.
int askCopy(int slot, int16_t kind)
{
    const model::personal_data& p = person(slot);
    std::string text = p.F_name + " " + p.Name + "は既に結婚しています。\r\n"
                       "個人情報のコピーを作成し、新たに関係を追加しますか?\r\n"
                       "（既に作成している結婚関係に影響を与えず、関係を追加します)\r\n";
    text += kind == mainwindow::PendDraggedMarried ? "「いいえ」の場合は、そのまま既存の関係に追加します"
                                                   : "「いいえ」の場合は追加をキャンセルします";
    return platform::MsgBox(text, platform::vbYesNo + platform::vbInformation, CopyTitle);
}

// A copy of a person's whole record in a slot AddNullActors made.
void copyPerson(int from, int to)
{
    person(to) = person(from);
    person(to).CopyIdx = static_cast<int16_t>(from);
}

} // namespace

void MainForm::prepareListDropTargets(int sex)
{
    const drawing::DrawState& d = drawing::drawState();
    const int last = layout::chart().counters.Label12_cnt;
    auto setMode = [this](int i, int mode) {
        forms::CanvasPicture& box = DPic[i];
        box.setOleDropMode(mode);
        box.setTag(std::to_string(mode));
    };
    for (int i = 1; i <= last; ++i) {
        if (!DPic.exists(i))
            continue;
        if (mapEntry(d.Label12_RelF, i) == 1 && DPic[i].oleDropMode() != forms::vbOLEDropManual)
            setMode(i, forms::vbOLEDropManual);
    }
    // A person is never dropped onto a box of the same sex.
    for (int i = 1; i <= last; ++i) {
        if (!DPic.exists(i) || DPic[i].oleDropMode() != forms::vbOLEDropManual)
            continue;
        const int boxPerson = mapEntry(d.Label12_Per, i);
        if (isPersonSlot(boxPerson) && (person(boxPerson).Sex == 0 ? 0 : 1) == sex)
            setMode(i, forms::vbOLEDropNone);
    }
    // Category boxes take either sex.
    for (int i = 1; i <= last; ++i) {
        if (!DPic.exists(i))
            continue;
        const int boxPerson = mapEntry(d.Label12_Per, i);
        if (isPersonSlot(boxPerson) && person(boxPerson).CategoryF == 1)
            setMode(i, forms::vbOLEDropManual);
    }
}

void MainForm::completeKeptDrop()
{
    DropState& st = dropState();
    if (st.Drop_PendKind == mainwindow::PendNone)
        return;
    const model::UndoSnapshotStep snapshot;
    int effect = 0;
    if (st.Drop_PendKind == mainwindow::PendDraggedMarried) {
        if (isPersonSlot(st.Drag_Person) && askCopy(st.Drag_Person, st.Drop_PendKind) == platform::vbYes) {
            if (!mainwindow::settlePersonEditorFirst())
                return;
            const int copy = AddNullActors(st.Drag_Sex, st.Drop_PendFName, st.Drop_PendName);
            // The user chose the copy; without room for it the drop is cancelled
            // rather than relating the person the user declined.
            if (copy == -1) {
                platform::MsgBox(mainwindow::PersonTableFullDropMessage, platform::vbOKOnly);
                return;
            }
            copyPerson(st.Drag_Person, copy);
            st.Drag_Person = static_cast<int16_t>(copy);
        }
    } else if (st.Drop_PendKind == mainwindow::PendBoxMarried) {
        std::vector<int16_t>& boxes = drawing::drawState().Label12_Per;
        const int index = st.Drop_PendIndex;
        if (index < 0 || static_cast<size_t>(index) >= boxes.size())
            return;
        const int boxPerson = boxes[static_cast<size_t>(index)];
        if (!isPersonSlot(boxPerson) || askCopy(boxPerson, st.Drop_PendKind) != platform::vbYes)
            return;
        if (!mainwindow::settlePersonEditorFirst())
            return;
        const model::personal_data& p = person(boxPerson);
        const int copy = AddNullActors(p.Sex == 0 ? 0 : 1, p.F_name, p.Name);
        if (copy == -1) {
            platform::MsgBox(mainwindow::PersonTableFullDropMessage, platform::vbOKOnly);
            return;
        }
        copyPerson(boxPerson, copy);
        boxes[static_cast<size_t>(index)] = static_cast<int16_t>(copy);
    }
    Label12_OLEDragDrop_Main(st.Drop_PendIndex, st.Drop_PendData, effect, 0, 0, 0, 0, st.Drop_PendFName,
                             st.Drop_PendName);
}

namespace {

// The undo record of a drop. `displacedStart` is the start marriage before a drop
// that made a new one (-1 none).
void recordDrop(int16_t kind, int undoPer, int kou, int kodo, int kodoSlot, int displacedStart = -1)
{
    model::DropUndoRecord record;
    record.Drop_UndoKind = kind;
    record.Drop_UndoPer = static_cast<int16_t>(undoPer);
    record.UndoKou = static_cast<int16_t>(kou);
    record.UndoKodo = static_cast<int16_t>(kodo);
    record.UndoKodoSlot = static_cast<int16_t>(kodoSlot);
    record.displacedStart = static_cast<int16_t>(displacedStart);
    model::recordDropUndo(std::move(record));
}

// A drop that needed a new person found the person table full: it is refused with a
// message (held back until the drag ends) and records nothing.
void refuseFullPersonTable()
{
    model::StartDrag(mainwindow::PersonTableFullDropMessage);
}

} // namespace

void MainForm::Label12_OLEDragDrop_Main(int Index, forms::DataObject& Data, int& /*Effect*/, int /*Button*/,
                                        int Shift, double /*X*/, double /*Y*/, const std::string& FName,
                                        const std::string& Name)
{
    closeChronologyAndMarker();
    Drop_TargetPer = mapEntry(drawing::drawState().Label12_Per, Index);
    // A box that names no person in use takes nothing: there is nobody to relate to.
    if (!model::isUsedPerson(Drop_TargetPer)) {
        dropState().Drop_Done = -1;
        return;
    }
    // A category box takes the dragged person as a child whatever the sexes and the
    // Shift key.
    if (person(Drop_TargetPer).CategoryF == 1)
        dropChildOnCategoryBox(Index, Data, FName, Name);
    else if (Shift != forms::vbShiftMask)
        dropPartnerOnBox(Index, FName, Name);
    else
        dropAdoptedChildOnBox(Index, FName, Name);
}

void MainForm::dropChildOnCategoryBox(int Index, forms::DataObject& Data, const std::string& FName,
                                      const std::string& Name)
{
    DropState& st = dropState();
    model::Tables& t = model::tables();
    const model::personal_data& target = person(Drop_TargetPer);
    const bool targetIsMan = target.Sex == 0;
    int kou = mapEntry(drawing::drawState().Label12_Kou, Index);
    if (kou == -1) {
        const int me = Drop_TargetPer;
        kou = model::set_kou_buf(-1, NormalState, 0, 0, targetIsMan ? me : model::BlankPartner,
                                 targetIsMan ? model::BlankPartner : me, 1, target.F_name + " " + target.Name, 0);
        mainwindow::otherWindows().rebuildRelationMarriageList();
    }
    if (kou == -2) {
        keepDropPending(Data, Index, FName, Name, mainwindow::PendBoxMarried);
        return;
    }
    // No marriage (the table is full) or no child: nothing is added.
    int child = st.Drag_Person;
    if (kou >= 0 && child == -1) {
        child = AddNullActors(st.Drag_Sex, FName, Name);
        if (child < 0) {
            refuseFullPersonTable();
            return;
        }
    }
    if (kou >= 0 && child >= 0)
        t.Sel_ChildSlot = static_cast<int16_t>(addChild(kou, child, PlainChildStatus, ""));
    st.Drop_Done = -1;
    drawing::Refresh_TabDisp();
}

void MainForm::dropPartnerOnBox(int Index, const std::string& FName, const std::string& Name)
{
    DropState& st = dropState();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    const bool listed = st.Drag_Person != -1;
    const bool targetIsMan = person(Drop_TargetPer).Sex == 0;
    const bool manOnWoman = st.Drag_Sex == 0 && !targetIsMan;
    const bool womanOnMan = st.Drag_Sex == 1 && targetIsMan;
    if (!manOnWoman && !womanOnMan) {
        model::StartDrag(listed ? SameSexListedMessage : SameSexPlaceholderMessage);
        st.Drop_Done = -1;
        return;
    }
    int dragged = st.Drag_Person;
    if (!listed) {
        dragged = AddNullActors(manOnWoman ? 0 : 1, FName, Name);
        if (dragged < 0) {
            refuseFullPersonTable();
            return;
        }
    }
    const int husband = manOnWoman ? dragged : Drop_TargetPer;
    const int wife = manOnWoman ? Drop_TargetPer : dragged;
    const int displacedStart = model::currentStartMarriage();
    const int r = model::set_kou_buf(-1, NormalState, 0, 0, husband, wife, 1, "", 0);
    Marry_set_check(r, Index);
    if (r >= 0) {
        const int16_t kind = listed       ? DropUndo::MarriageListed
                             : manOnWoman ? DropUndo::MarriageNewMan
                                          : DropUndo::MarriageNewWoman;
        recordDrop(kind, listed ? -1 : dragged, r, -1, -1, displacedStart);
        scritem[0].setEnabled(true);
    }
    if (listed && manOnWoman)
        windows.rebuildRelationLists();
    else
        windows.rebuildRelationMarriageList();
    if (listed && easyBuilderLoaded())
        windows.rebuildEasyRelationList();
    st.Drop_Done = -1;
}

void MainForm::dropAdoptedChildOnBox(int Index, const std::string& FName, const std::string& Name)
{
    DropState& st = dropState();
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    const bool listed = st.Drag_Person != -1;
    const bool targetIsMan = person(Drop_TargetPer).Sex == 0;
    int child = st.Drag_Person;
    const int childList = sexOfList(st.Drag_Sex);
    // The partner, and a placeholder child, both need a slot: without them the drop
    // is refused before anything is made.
    if (!model::personSlotFree(listed ? 1 : 2)) {
        refuseFullPersonTable();
        return;
    }
    if (listed) {
        run.Sel_Person = static_cast<int16_t>(child);
    } else {
        child = AddNullActors(childList, FName, Name);
        if (child < 0) {
            refuseFullPersonTable();
            return;
        }
    }
    const int partner = model::Add_NewPerson(-1, "unknown", " ", targetIsMan ? 1 : 0);
    if (partner < 0) {
        // The drop is refused whole: the child made for it goes again.
        if (!listed) {
            model::freeCreatedPerson(child);
            returnPlaceholder(childList, child, model::placeholderCounter(childList));
        }
        refuseFullPersonTable();
        return;
    }
    const int husband = targetIsMan ? Drop_TargetPer : partner;
    const int wife = targetIsMan ? partner : Drop_TargetPer;
    const int displacedStart = model::currentStartMarriage();
    const int r = model::set_kou_buf(-1, UnmarriedState, UnmarriedMode, 0, husband, wife, 1, "", 0);
    if (!listed)
        t.Sel_ChildKou = static_cast<int16_t>(r);
    Marry_set_check_Msg(r);
    if (r < 0) {
        // Nothing refers to the new partner when no relationship was made.
        model::freeCreatedPerson(partner);
        st.Drop_Done = -1;
        return;
    }
    run.Sel_Person = static_cast<int16_t>(child);
    t.Sel_ChildSlot = -1;
    const int slot = addChild(r, child, AdoptedChildStatus, AdoptedComment);
    t.Sel_ChildSlot = static_cast<int16_t>(slot);
    Ch_set_check(slot, Index);
    if (listed && !targetIsMan) {
        windows.rebuildRelationLists();
        if (easyBuilderLoaded())
            windows.rebuildEasyRelationList();
    } else {
        windows.rebuildRelationMarriageList();
    }
    // Only a relationship that was made has anything to undo.
    if (slot >= 0) {
        const int16_t kind = listed              ? DropUndo::AdoptedListed
                             : childList == 0 ? DropUndo::AdoptedNewMan
                                              : DropUndo::AdoptedNewWoman;
        recordDrop(kind, partner, r, child, slot, displacedStart);
        scritem[0].setEnabled(true);
    }
    st.Drop_Done = -1;
}

// ---------------------------------------------------------------------------
// Drops on couple marks

void MainForm::Label11_OLEDragDrop(int Index, forms::DataObject& Data, int& /*Effect*/, int /*Button*/, int Shift,
                                   double /*X*/, double /*Y*/)
{
    DropState& st = dropState();
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();

    // The drop loads the mark's marriage into the relationship editor, and a
    // placeholder it makes a person of closes the person editor. A registration
    // meanwhile redraws the chart: the drop then goes to the same marriage's mark.
    const int markKou = mapEntry(drawing::drawState().Label11_Kou, Index);
    if (mainwindow::waitForEditors(st.Drag_Person == -1, true, [this, markKou, Data, Shift] {
            const std::vector<int16_t>& marks = drawing::drawState().Label11_Kou;
            for (size_t mark = 2; mark < marks.size(); ++mark) {
                if (marks[mark] == markKou && Label11.exists(static_cast<int>(mark))) {
                    forms::DataObject data = Data;
                    int effect = forms::vbDropEffectCopy;
                    Label11_OLEDragDrop(static_cast<int>(mark), data, effect, forms::vbLeftButton, Shift, 0, 0);
                    return;
                }
            }
        }))
        return;
    const model::UndoSnapshotStep snapshot;
    closeChronologyAndMarker();
    run.Sel_KouMark = 1;
    run.KouNum = mapEntry(drawing::drawState().Label11_Kou, Index);
    run.Sel_BoxMark = 0;
    t.Sel_ChildSlot = -1;

    std::string fname, name;
    mainwindow::splitDragText(Data.getData(forms::vbCFText), fname, name);
    const bool listed = st.Drag_Person != -1;
    const int childList = sexOfList(st.Drag_Sex);
    int child = st.Drag_Person;
    // A mark that names no marriage in use takes no child.
    if (isUsedMarriage(run.KouNum)) {
        if (!listed) {
            child = AddNullActors(childList, fname, name);
            if (child < 0) {
                refuseFullPersonTable();
                return;
            }
        }
        if (child >= 0) {
            run.Sel_Person = static_cast<int16_t>(child);
            const bool adopted = Shift == forms::vbShiftMask;
            const int kou = run.KouNum;
            const int slot = addChild(kou, child, adopted ? AdoptedChildStatus : PlainChildStatus,
                                      adopted ? AdoptedComment : "");
            t.Sel_ChildSlot = static_cast<int16_t>(slot);
            Ch_set_check(slot, Index);
            // The record takes the child and its place from here: the redraw of the
            // report has cleared the chart selection, Sel_Person with it.
            if (slot >= 0) {
                const int16_t kind = listed ? DropUndo::ChildListed
                                     : childList == 0 ? DropUndo::ChildNewMan
                                                      : DropUndo::ChildNewWoman;
                recordDrop(kind, -1, kou, child, slot);
                scritem[0].setEnabled(true);
            }
        }
    }

    windows.rebuildRelationMarriageList();
    if (run.KouNum != -1)
        windows.editRelationMarriage(run.KouNum);
    if (easyBuilderLoaded())
        windows.rebuildEasyRelationList();
    windows.showRelationPage(mainwindow::OtherWindows::RelationPage::Persons);
    st.Drop_Done = -1;
}

// ---------------------------------------------------------------------------
// Drops on the empty canvas of the new-entry tab

void MainForm::Picture1_OLEDragDrop(forms::DataObject& Data, int& /*Effect*/, int /*Button*/, int /*Shift*/,
                                    double X, double Y)
{
    if (!Data.getFormat(forms::vbCFText))
        return;
    DropState& st = dropState();
    if (st.Drag_Person == -1 && mainwindow::waitForPersonEditor([this, Data, X, Y] {
            forms::DataObject data = Data;
            int effect = forms::vbDropEffectCopy;
            Picture1_OLEDragDrop(data, effect, forms::vbLeftButton, 0, X, Y);
        }))
        return;
    const model::UndoSnapshotStep snapshot;
    closeChronologyAndMarker();
    if (model::settings().write_state != 1)
        layout::Set_ChartMetrics();
    else
        layout::Set_ChartMetricsW();

    std::string fname, name;
    mainwindow::splitDragText(Data.getData(forms::vbCFText), fname, name);
    int placed = -1;
    int16_t kind = DropUndo::None;
    if (st.Drag_Person != -1) {
        placed = st.Drag_Person;
        kind = DropUndo::CanvasListed;
        // The box placed is this drop's step, though no table changes.
        model::saveUndoOnce();
    } else if (st.Drag_Sex == 0 || st.Drag_Sex == 1) {
        placed = AddNullActors(st.Drag_Sex, fname, name);
        if (placed < 0) {
            refuseFullPersonTable();
            return;
        }
        kind = st.Drag_Sex == 0 ? DropUndo::CanvasNewMan : DropUndo::CanvasNewWoman;
    }
    if (isPersonSlot(placed)) {
        // The zoom box and the full-screen button wait while the dropped box stands
        // alone; a refused drop leaves them as they were.
        Text1.setEnabled(false);
        Command2[4].setEnabled(false);
        drawing::Put_NameLabel(static_cast<int16_t>(placed), X, Y, drawing::RelationFlag::Related, -1, -1);
        const int box = layout::chart().counters.Label12_cnt;
        recordDrop(kind, placed, -1, -1, -1);
        scritem[0].setEnabled(true);
        Picture1.setOleDropMode(forms::vbOLEDropNone);
        if (Label12.exists(box))
            Label12[box].setOleDropMode(forms::vbOLEDropManual);
        // The box's picture lies over its label and takes the drops for it.
        if (DPic.exists(box))
            DPic[box].setOleDropMode(forms::vbOLEDropManual);
        drawing::DrawState& d = drawing::drawState();
        d.Chart_MaxX = X;
        d.Chart_MaxY = Y;
    }
    st.Drop_Done = -1;
}

// ---------------------------------------------------------------------------
// Reports

void MainForm::Ch_set_check(int code, int Index)
{
    (void)Index;
    model::RunState& run = model::runState();
    const std::string childName = isPersonSlot(run.Sel_Person) ? person(run.Sel_Person).Name : std::string();
    switch (code) {
    case -3:
        model::StartDrag(childName + ChildElsewhereMessage);
        return;
    case -2:
        model::StartDrag(childName + ChildAncestorMessage);
        return;
    case -1:
        model::StartDrag(model::ChildSlotsFullMessage);
        return;
    default:
        break;
    }
    if (code >= 0 && run.Sel_Person >= 0) {
        drawing::Refresh_TabDisp();
        Text1.setEnabled(true);
        Command2[4].setEnabled(true);
    }
}

void MainForm::Marry_set_check(int code, int Index)
{
    (void)Index;
    if (code == -2) {
        model::StartDrag(DuplicateMarriageMessage);
        return;
    }
    if (code == -1) {
        model::StartDrag(MarriagesFullMessage);
        return;
    }
    if (code < 0)
        return;
    model::runState().KouNum = static_cast<int16_t>(code);
    layout::ChartState& c = layout::chart();
    if (c.tree_cnt != 0) {
        // The first tab's click rebuilds the chart. Selecting the tab that already
        // is selected raises no click, so the chart is rebuilt here then.
        if (TabStrip1.selectedIndex() == 1) {
            c.sel_tab = 1;
            c.sel_tree = 0;
            drawing::Build_Keizu(0);
        } else {
            TabStrip1.tabs().item(1).setSelected(true);
        }
    } else {
        c.sel_tree = 0;
        drawing::Build_Keizu(0);
    }
    Text1.setEnabled(true);
    Command2[4].setEnabled(true);
}

void MainForm::Marry_set_check_Msg(int code)
{
    if (code == -2) {
        platform::MsgBox(DuplicateMarriageMessage, platform::vbOKOnly);
        return;
    }
    if (code == -1) {
        platform::MsgBox(MarriagesFullMessage, platform::vbOKOnly);
        return;
    }
    if (code < 0)
        return;
    model::runState().KouNum = static_cast<int16_t>(code);
    drawing::Refresh_TabDisp();
}

// ---------------------------------------------------------------------------
// Undo of the last drop

void MainForm::dropUndoItem_Click()
{
    auto usedPersons = [] {
        int count = 0;
        for (int p = 1; p <= model::LastSlot; ++p)
            count += person(p).InUse == model::SlotUsed ? 1 : 0;
        return count;
    };
    // The undo of a drop that made a person frees it and closes the person editor:
    // what the editor holds unregistered is settled first.
    const model::DropUndoRecord& r = model::dropUndo();
    const int16_t kind = r.Drop_UndoKind;
    const bool freesPerson = model::dropPlaceholderList(kind) != -1 || kind == DropUndo::AdoptedListed;
    if (freesPerson && !mainwindow::settlePersonEditorFirst())
        return;
    // Input another window holds naming a person the undo frees (the relationship
    // editor's fields) is settled first too.
    for (int person : personsFreedByUndo(r)) {
        if (model::isUsedPerson(person) && !mainwindow::otherWindows().settleWindowsHolding(person))
            return;
    }
    const int before = usedPersons();
    UndoLastEdit();
    if (usedPersons() < before) {
        model::RunState& run = model::runState();
        mainwindow::OtherWindows& windows = mainwindow::otherWindows();
        run.Entry_Open = 0;
        windows.closePersonEditor();
        windows.closeChronology();
        run.YTbl_Open = 0;
    }
}

void MainForm::UndoLastEdit()
{
    model::Tables& t = model::tables();
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    const model::DropUndoRecord r = model::dropUndo();
    model::clearDropUndo();
    windows.raiseRelationEditor();
    scritem[0].setEnabled(false);

    // Only what the drop made and nobody uses since goes: the marriage as the drop
    // left it (partners and children), persons under the names the drop gave them and
    // named by no other marriage.
    const int per = r.Drop_UndoPer;
    const int kodo = r.UndoKodo;
    bool stands = model::stepStands(r.left);
    switch (r.Drop_UndoKind) {
    case DropUndo::CanvasNewMan:
    case DropUndo::CanvasNewWoman:
        stands = stands && model::createdPersonStands(per, r.perName);
        break;
    case DropUndo::MarriageListed:
        stands = stands && isUsedMarriage(r.UndoKou);
        break;
    case DropUndo::MarriageNewMan:
    case DropUndo::MarriageNewWoman:
        stands = stands && isUsedMarriage(r.UndoKou) && model::createdPersonStands(per, r.perName, r.UndoKou);
        break;
    case DropUndo::ChildListed:
    case DropUndo::ChildNewMan:
    case DropUndo::ChildNewWoman:
        stands = stands && isUsedMarriage(r.UndoKou) && model::isChildSlot(r.UndoKodoSlot)
                 && marriage(r.UndoKou).kou_kodo[static_cast<size_t>(r.UndoKodoSlot)] == kodo
                 && (r.Drop_UndoKind == DropUndo::ChildListed || model::createdPersonStands(kodo, r.kodoName, r.UndoKou));
        break;
    case DropUndo::AdoptedListed:
    case DropUndo::AdoptedNewMan:
    case DropUndo::AdoptedNewWoman:
        stands = stands && isUsedMarriage(r.UndoKou) && model::createdPersonStands(per, r.perName, r.UndoKou)
                 && (r.Drop_UndoKind == DropUndo::AdoptedListed || model::createdPersonStands(kodo, r.kodoName, r.UndoKou));
        break;
    default:
        break;
    }
    if (!stands) {
        platform::MsgBox(model::UndoRefusedMessage, platform::vbOKOnly | platform::vbExclamation);
        return;
    }
    // Taking the drop back changes the family (but for a listed person dropped on the
    // empty canvas, which only left the canvas waiting): it is a step of its own for 戻.
    if (r.Drop_UndoKind != DropUndo::CanvasListed)
        model::windowServices().saveUndo();

    switch (r.Drop_UndoKind) {
    case DropUndo::CanvasListed:
        layout::Unload_ChartCtl();
        Picture1.setOleDropMode(forms::vbOLEDropManual);
        break;
    case DropUndo::CanvasNewMan:
    case DropUndo::CanvasNewWoman:
        layout::Unload_ChartCtl();
        returnCreatedPerson(r, per);
        Picture1.setOleDropMode(forms::vbOLEDropManual);
        t.Data_Changed = 1;
        break;
    case DropUndo::MarriageListed:
    case DropUndo::MarriageNewMan:
    case DropUndo::MarriageNewWoman:
        freeDropMarriage(r.UndoKou, r.displacedStart);
        windows.rebuildRelationMarriageList();
        returnCreatedPerson(r, per);
        drawing::Refresh_TabDisp();
        t.Data_Changed = 1;
        break;
    case DropUndo::ChildListed:
    case DropUndo::ChildNewMan:
    case DropUndo::ChildNewWoman: {
        model::marry_data& k = marriage(r.UndoKou);
        const auto slot = static_cast<size_t>(r.UndoKodoSlot);
        k.kou_kodo[slot] = -1;
        k.kou_kodo_stat[slot] = 0;
        k.kou_kodo_comment[slot].clear();
        returnCreatedPerson(r, kodo);
        drawing::Refresh_TabDisp();
        t.Data_Changed = 1;
        break;
    }
    case DropUndo::AdoptedListed:
    case DropUndo::AdoptedNewMan:
    case DropUndo::AdoptedNewWoman:
        freeDropMarriage(r.UndoKou, r.displacedStart);
        windows.rebuildRelationMarriageList();
        model::freeCreatedPerson(per);
        returnCreatedPerson(r, kodo);
        drawing::Refresh_TabDisp();
        t.Data_Changed = 1;
        break;
    default:
        break;
    }
}
