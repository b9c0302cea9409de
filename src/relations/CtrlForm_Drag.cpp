// Dragging persons out of the relationship editor's person lists: onto the
// husband and wife fields, into the children list, or onto a person box of the
// main window's chart. The marker window Form2 shows the dragged name at the
// pointer while the drag lasts and flies back to the list entry when nobody took
// the drop. A chart drop that needs the copy question was kept by the main
// window; this window asks it and carries the drop out when its drag ends.

#include "relations/CtrlForm.h"

#include "model/run_state.h"
#include "relations/relations_state.h"

#include "drawing/draw_state.h"
#include "forms/Application.h"
#include "layout/chart_state.h"
#include "mainwindow/DropState.h"
#include "mainwindow/MainForm.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/Utilities.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace {

using model::tables;

constexpr int StartDistanceSquared = 9;   // three pixels
constexpr int HoleSize = 4;               // pixels of the marker left open under the pointer
constexpr int ReturnStepInterval = 50;    // ms per step of the flight back
// A step of the flight waits for Timer2 at most this long: a timer that stopped
// ticking must not hold the editor in its wait.
constexpr auto LongestStepWait = std::chrono::milliseconds(1000);

constexpr const char* CopyTitle = "個人情報のコピー";

bool isListedPerson(int person)
{
    return person >= 1 && person <= model::LastSlot;
}

model::personal_data& person(int slot)
{
    return tables().per_buf[static_cast<size_t>(slot)];
}

// The loaded main window, or null: the chart is only touched while it is shown.
MainForm* loadedMainWindow()
{
    return forms::findLoadedForm("main") ? &main_form() : nullptr;
}

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

// ---------------------------------------------------------------- marker window

MarkerForm::MarkerForm() : Form("Form2") {}

void MarkerForm::design()
{
    setBorderStyle(0);
    setBackColor(MarkerRefusedColour);
    move(0, 0, 3000, 450);
}

MarkerForm& form2()
{
    static MarkerForm instance;
    return instance;
}

int returnStepCount(int dx, int dy)
{
    if (!(dx < 0 ? -dx < 101 : dx < 101) || !(dy < 101))
        return 10;
    return dx < 51 && dy < 51 ? 4 : 7;
}

// ---------------------------------------------------------------- wiring

void CtrlForm::connectDragEvents()
{
    List1.onMouseDown = [this](int index, int button, int shift, double x, double y) {
        List1_MouseDown(index, button, shift, x, y);
    };
    List1.onMouseMove = [this](int index, int button, int shift, double x, double y) {
        List1_MouseMove(index, button, shift, x, y);
    };
    List1.onOLEStartDrag = [this](int index, forms::DataObject& data, int& allowed) {
        List1_OLEStartDrag(index, data, allowed);
    };
    List1.onOLEGiveFeedback = [this](int index, int& effect, bool& defaultCursors) {
        List1_OLEGiveFeedback(index, effect, defaultCursors);
    };
    List1.onOLECompleteDrag = [this](int index, int& effect) { List1_OLECompleteDrag(index, effect); };
    Label2.onOLEDragDrop = [this](int index, forms::DataObject& data, int& effect, int button, int shift, double x,
                                  double y) { Label2_OLEDragDrop(index, data, effect, button, shift, x, y); };
    List2.onOLEDragDrop = [this](forms::DataObject& data, int& effect, int button, int shift, double x, double y) {
        List2_OLEDragDrop(data, effect, button, shift, x, y);
    };
    Timer1.onTimer = [this] { Timer1_Timer(); };
    Timer2.onTimer = [this] { Timer2_Timer(); };
}

// ---------------------------------------------------------------- starting a drag

void CtrlForm::List1_MouseDown(int Index, int Button, int Shift, double X, double Y)
{
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    if (Index != 0 && Index != 1)
        return;
    forms::ListBox& list = List1[Index];
    DownText = list.text();
    forms::cursorPosition(DownPoint.x, DownPoint.y);
    DownIndex = static_cast<int16_t>(list.listIndex());
    DragArmed = -1;
}

void CtrlForm::List1_MouseMove(int Index, int Button, int Shift, double X, double Y)
{
    (void)Shift;
    (void)X;
    (void)Y;
    if (Button != forms::vbLeftButton || (Index != 0 && Index != 1))
        return;
    if (DownIndex < 0 || DragArmed == 0 || DownPoint == PixelPoint{}) {
        DragArmed = 0;
        return;
    }
    PixelPoint pointer;
    forms::cursorPosition(pointer.x, pointer.y);
    const int dx = pointer.x - DownPoint.x;
    const int dy = pointer.y - DownPoint.y;
    if (dx * dx + dy * dy < StartDistanceSquared || Dragging != 0)
        return;

    // Where the pointer holds the entry: its row's top-left on the screen and the
    // pointer's place inside the row.
    forms::ListBox& list = List1[Index];
    PixelPoint client = pointer;
    forms::screenToClient(list, client.x, client.y);
    const int rowHeight = list.itemHeightPixels();
    const int rowTop = rowHeight > 0 ? (client.y / rowHeight) * rowHeight : 0;
    RowOrigin = {0, rowTop};
    forms::clientToScreen(list, RowOrigin.x, RowOrigin.y);
    GrabOffset = {client.x, rowHeight > 0 ? client.y % rowHeight : 0};

    // The marker: the outline of the name with a hole under the pointer's hot
    // spot, so the mouse reaches the window below it.
    MarkerForm& marker = form2();
    marker.load();
    marker.move(marker.left(), marker.top(), list.width(), std::max(rowHeight, 1) * forms::TwipsPerPixel * 2);
    forms::shapeWindowToText(marker, DownText, GrabOffset.x, GrabOffset.y, HoleSize);
    marker.setBackColor(MarkerRefusedColour);
    Timer1.setEnabled(true);

    list.setListIndex(DownIndex);
    Dragging = -1;
    mainwindow::dropState().Drop_Done = 0;
    list.oleDrag();
}

void CtrlForm::List1_OLEStartDrag(int Index, forms::DataObject& Data, int& AllowedEffects)
{
    if (Index != 0 && Index != 1) {
        AllowedEffects = forms::vbDropEffectNone;
        return;
    }
    mainwindow::DropState& st = mainwindow::dropState();
    st.Drop_Done = 0;
    model::runState().ListDragActive = 1;
    Data.setData(DownText, forms::vbCFText);
    forms::ListBox& list = List1[Index];
    st.Drag_Person = static_cast<int16_t>(DownIndex >= 0 && DownIndex < list.listCount() ? list.itemData(DownIndex)
                                                                                          : -1);
    Label2[Index].setOleDropMode(forms::vbOLEDropManual);
    Label2[1 - Index].setOleDropMode(forms::vbOLEDropNone);
    List2.setOleDropMode(forms::vbOLEDropManual);
    st.Drag_Sex = static_cast<int16_t>(Index);
    prepareChartTargets(Index);
    // Children need both partners.
    const bool bothPartners = !Label2[0].caption().empty() && !Label2[1].caption().empty();
    List2.setOleDropMode(bothPartners ? forms::vbOLEDropManual : forms::vbOLEDropNone);
    AllowedEffects = forms::vbDropEffectCopy;
}

void CtrlForm::prepareChartTargets(int sex)
{
    MainForm* main = loadedMainWindow();
    if (!main)
        return;
    const drawing::DrawState& d = drawing::drawState();
    const int last = layout::chart().counters.Label12_cnt;
    auto entry = [](const std::vector<int16_t>& map, int i) {
        return i >= 0 && static_cast<size_t>(i) < map.size() ? map[static_cast<size_t>(i)] : int16_t(-1);
    };
    auto setMode = [main](int i, int mode) {
        forms::CanvasPicture& box = main->DPic[i];
        box.setOleDropMode(mode);
        box.setTag(std::to_string(mode));
    };
    for (int i = 1; i <= last; ++i) {
        if (!main->DPic.exists(i))
            continue;
        if (entry(d.Label12_RelF, i) == 1 && main->DPic[i].oleDropMode() != forms::vbOLEDropManual)
            setMode(i, forms::vbOLEDropManual);
    }
    // A person is never dropped onto a box of the same sex.
    for (int i = 1; i <= last; ++i) {
        if (!main->DPic.exists(i) || main->DPic[i].oleDropMode() != forms::vbOLEDropManual)
            continue;
        const int boxPerson = entry(d.Label12_Per, i);
        if (isListedPerson(boxPerson) && (person(boxPerson).Sex == 0 ? 0 : 1) == sex)
            setMode(i, forms::vbOLEDropNone);
    }
    // Category boxes take either sex.
    for (int i = 1; i <= last; ++i) {
        if (!main->DPic.exists(i))
            continue;
        const int boxPerson = entry(d.Label12_Per, i);
        if (isListedPerson(boxPerson) && person(boxPerson).CategoryF == 1)
            setMode(i, forms::vbOLEDropManual);
    }
}

void CtrlForm::List1_OLEGiveFeedback(int Index, int& Effect, bool& DefaultCursors)
{
    (void)Index;
    (void)DefaultCursors;
    const long colour = Effect == forms::vbDropEffectCopy ? MarkerAcceptedColour : MarkerRefusedColour;
    MarkerForm& marker = form2();
    if (marker.backColor() != colour)
        marker.setBackColor(colour);
}

void CtrlForm::Timer1_Timer()
{
    PixelPoint pointer;
    forms::cursorPosition(pointer.x, pointer.y);
    forms::placeWindowOnTop(form2(), pointer.x - GrabOffset.x, pointer.y - GrabOffset.y);
}

void CtrlForm::Timer2_Timer()
{
    StepDone = -1;
}

// ---------------------------------------------------------------- drops in this window

int CtrlForm::createPlaceholderPerson(int list)
{
    model::Tables& t = tables();
    relations::RelationsState& state = relations::relationsState();
    forms::ListBox& source = List1[list];
    const int line = source.listIndex();
    if (line < 0)
        return -1;
    std::string fname, name;
    mainwindow::splitDragText(source.list(line), fname, name);
    const int created = model::Add_NewPerson(-1, name, fname, list);
    if (created < 0)
        return -1;
    source.setItemData(line, created);
    int16_t& counter = list == 0 ? t.DummyManCnt : t.DummyWomanCnt;
    ++counter;
    source.addItem(relations::placeholderLine(list == 0 ? state.DummyManText : state.DummyWomanText, counter));
    source.setItemData(source.newIndex(), -1);
    return created;
}

void CtrlForm::Label2_OLEDragDrop(int Index, forms::DataObject& Data, int& Effect, int Button, int Shift, double X,
                                  double Y)
{
    (void)Effect;
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    if (Index != 0 && Index != 1)
        return;
    mainwindow::DropState& st = mainwindow::dropState();
    hideDragMarker();
    model::KouUndoRecord record;
    if (st.Drag_Person == -1) {
        const std::string entryText = List1[Index].text();
        const int created = createPlaceholderPerson(Index);
        // No room for the person: the drop is refused and the field stays as it was.
        if (created < 0) {
            model::StartDrag(mainwindow::PersonTableFullDropMessage);
            return;
        }
        Label2[Index].setCaption(entryText);
        Label2[Index].setTag(std::to_string(created));
        record.KouUndoMode = Index == 0 ? model::KouUndo::NewHusband : model::KouUndo::NewWife;
        record.UndoActer = static_cast<int16_t>(created);
    } else {
        Label2[Index].setCaption(Data.getData(forms::vbCFText));
        Label2[Index].setTag(std::to_string(st.Drag_Person));
        record.KouUndoMode = Index == 0 ? model::KouUndo::ListedHusband : model::KouUndo::ListedWife;
    }
    model::recordKouUndo(std::move(record));
    showPendingUndo();
    st.Drop_Done = -1;
}

void CtrlForm::List2_OLEDragDrop(forms::DataObject& Data, int& Effect, int Button, int Shift, double X, double Y)
{
    (void)Effect;
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    mainwindow::DropState& st = mainwindow::dropState();
    hideDragMarker();
    const std::string dropped = Data.getData(forms::vbCFText);
    model::KouUndoRecord record;
    int child = st.Drag_Person;
    record.KouUndoMode = model::KouUndo::ListedChild;
    if (child == -1) {
        const int list = st.Drag_Sex != 0 ? 1 : 0;
        child = createPlaceholderPerson(list);
        // No room for the person: the drop is refused and the list stays as it was.
        if (child < 0) {
            model::StartDrag(mainwindow::PersonTableFullDropMessage);
            return;
        }
        record.KouUndoMode = list == 1 ? model::KouUndo::NewWomanChild : model::KouUndo::NewManChild;
    }
    List2.addItem(dropped);
    List2.setItemData(List2.newIndex(), child);
    List2.setSelected(List2.newIndex(), true);
    record.UndoKodo = static_cast<int16_t>(child);
    model::recordKouUndo(std::move(record));
    showPendingUndo();
    st.Drop_Done = -1;
}

// ---------------------------------------------------------------- completion

void CtrlForm::List1_OLECompleteDrag(int Index, int& Effect)
{
    (void)Index;
    (void)Effect;
    mainwindow::DropState& st = mainwindow::dropState();
    PixelPoint release;
    forms::cursorPosition(release.x, release.y);
    Timer1.setEnabled(false);

    if (st.Drop_Done == 0) {
        flyMarkerBack(release);
    } else {
        completeKeptChartDrop();
        st.Drop_PendKind = mainwindow::PendNone;
        Build_List();
    }

    model::EndDrag();
    DownPoint = PixelPoint{};
    hideDragMarker();
    Timer2.setEnabled(false);
    Dragging = 0;
    model::runState().ListDragActive = 0;
}

void CtrlForm::flyMarkerBack(const PixelPoint& release)
{
    const PixelPoint start{release.x - GrabOffset.x, release.y - GrabOffset.y};
    const PixelPoint target = RowOrigin;
    const int dx = target.x - start.x;
    const int dy = target.y - start.y;
    ReturnSteps = static_cast<int16_t>(returnStepCount(dx, dy));
    const int stepX = dx / ReturnSteps;
    const int stepY = dy / ReturnSteps;

    MarkerForm& marker = form2();
    Timer2.setInterval(ReturnStepInterval);
    Timer2.setEnabled(true);
    for (int i = 1; i <= ReturnSteps - 1; ++i) {
        StepDone = 0;
        forms::placeWindowOnTop(marker, start.x + i * stepX, start.y + i * stepY);
        const auto began = std::chrono::steady_clock::now();
        while (StepDone == 0 && isLoaded() && std::chrono::steady_clock::now() - began < LongestStepWait)
            forms::doEvents();
        // The window went away while the marker flew: nothing more to show.
        if (!isLoaded())
            return;
    }
    forms::placeWindowOnTop(marker, target.x, target.y);
}

void CtrlForm::completeKeptChartDrop()
{
    mainwindow::DropState& st = mainwindow::dropState();
    MainForm* main = loadedMainWindow();
    if (!main || st.Drop_PendKind == mainwindow::PendNone)
        return;
    model::Tables& t = tables();
    int effect = 0;
    if (st.Drop_PendKind == mainwindow::PendDraggedMarried) {
        if (isListedPerson(st.Drag_Person) && askCopy(st.Drag_Person, st.Drop_PendKind) == platform::vbYes) {
            const int copy = main->AddNullActors(st.Drag_Sex, st.Drop_PendFName, st.Drop_PendName);
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
        if (!isListedPerson(boxPerson) || askCopy(boxPerson, st.Drop_PendKind) != platform::vbYes)
            return;
        const model::personal_data& p = person(boxPerson);
        const int copy = main->AddNullActors(p.Sex == 0 ? 0 : 1, p.F_name, p.Name);
        if (copy == -1) {
            platform::MsgBox(mainwindow::PersonTableFullDropMessage, platform::vbOKOnly);
            return;
        }
        copyPerson(boxPerson, copy);
        boxes[static_cast<size_t>(index)] = static_cast<int16_t>(copy);
    }
    main->Label12_OLEDragDrop_Main(st.Drop_PendIndex, st.Drop_PendData, effect, 0, 0, 0, 0, st.Drop_PendFName,
                                   st.Drop_PendName);
    t.Data_Changed = 1;
}

// ---------------------------------------------------------------- requests of the main window

void CtrlForm::placeholderTaken(int list, int created)
{
    if (list != 0 && list != 1)
        return;
    relations::RelationsState& state = relations::relationsState();
    const model::Tables& t = tables();
    forms::ListBox& source = List1[list];
    const int line = source.listIndex();
    if (line >= 0)
        source.setItemData(line, created);
    source.addItem(relations::placeholderLine(list == 0 ? state.DummyManText : state.DummyWomanText,
                                              list == 0 ? t.DummyManCnt : t.DummyWomanCnt));
    source.setItemData(source.newIndex(), -1);
}

void CtrlForm::placeholderReturned(int list, int created)
{
    if (list != 0 && list != 1)
        return;
    relations::RelationsState& state = relations::relationsState();
    const model::Tables& t = tables();
    forms::ListBox& source = List1[list];
    const int last = source.newIndex();
    if (last >= 0 && last < source.listCount())
        source.setList(last, relations::placeholderLine(list == 0 ? state.DummyManText : state.DummyWomanText,
                                                        list == 0 ? t.DummyManCnt : t.DummyWomanCnt));
    for (int i = 0; i < source.listCount(); ++i) {
        if (source.itemData(i) == created) {
            source.removeItem(i);
            break;
        }
    }
}

void CtrlForm::hideDragMarker()
{
    if (form2().isLoaded())
        form2().hide();
}
