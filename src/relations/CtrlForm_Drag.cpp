// Dragging persons out of the relationship editor's person lists: onto the
// husband and wife fields, into the children list, or onto a person box of the
// main window's chart. The marker window Form2 shows the dragged name at the
// pointer while the drag lasts and flies back to the list entry when nobody took
// the drop; the flight runs on Timer2 after the drag has ended and stops at once
// when the editor closes. A chart drop that needs the copy question was kept by the main
// window; when this window's drag ends the main window asks it and carries the drop out.

#include "relations/CtrlForm.h"

#include "model/run_state.h"
#include "relations/relations_state.h"

#include "forms/Application.h"
#include "mainwindow/DropState.h"
#include "mainwindow/MainForm.h"
#include "model/ChildSlots.h"
#include "model/PersonTable.h"
#include "model/UndoRecords.h"
#include "model/Utilities.h"
#include "model/WindowServices.h"
#include "model/tables.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

using model::tables;

constexpr int StartDistanceSquared = 9;   // three pixels
constexpr int HoleSize = 4;               // pixels of the marker left open under the pointer
constexpr int ReturnStepInterval = 50;    // ms per step of the flight back

// The loaded main window, or null: the chart is only touched while it is shown.
MainForm* loadedMainWindow()
{
    return forms::findLoadedForm("main") ? &main_form() : nullptr;
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
    // spot, so the mouse reaches the window below it. A flight back of the last
    // drag still under way ends here.
    Timer2.setEnabled(false);
    MarkerForm& marker = form2();
    marker.load();
    marker.move(marker.left(), marker.top(), list.width(), std::max(rowHeight, 1) * forms::TwipsPerPixel * 2);
    forms::shapeWindowToText(marker, DownText, GrabOffset.x, GrabOffset.y, HoleSize);
    marker.setBackColor(MarkerRefusedColour);
    Timer1.setEnabled(true);

    list.setListIndex(DownIndex);
    Dragging = -1;
    mainwindow::dropState().Drop_Done = 0;
    // A drop left waiting by a drag whose end never came (the editor closed) is over.
    mainwindow::dropState().Drop_AfterSettle = nullptr;
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
    if (MainForm* main = loadedMainWindow())
        main->prepareListDropTargets(Index);
    // Children need both partners.
    const bool bothPartners = !Label2[0].caption().empty() && !Label2[1].caption().empty();
    List2.setOleDropMode(bothPartners ? forms::vbOLEDropManual : forms::vbOLEDropNone);
    AllowedEffects = forms::vbDropEffectCopy;
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
    ++StepsFlown;
    if (StepsFlown < ReturnSteps) {
        forms::placeWindowOnTop(form2(), FlightStart.x + StepsFlown * FlightStep.x,
                                FlightStart.y + StepsFlown * FlightStep.y);
        return;
    }
    forms::placeWindowOnTop(form2(), RowOrigin.x, RowOrigin.y);
    endFlight();
}

// ---------------------------------------------------------------- drops in this window

int CtrlForm::createPlaceholderPerson(int list, const std::string& draggedText)
{
    // A new person is a change of the family: the main window's undo takes it back
    // on its own. Without room nothing is made, and that undo stays as it was.
    if (!model::personSlotFree())
        return -1;
    model::windowServices().saveUndo();
    std::string fname, name;
    mainwindow::splitDragText(draggedText, fname, name);
    const int created = model::Add_NewPerson(-1, name, fname, list);
    if (created < 0)
        return -1;
    ++model::placeholderCounter(list);
    placeholderTaken(list, created);
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
    const model::RelationEditorStep step;
    mainwindow::DropState& st = mainwindow::dropState();
    if (st.Drag_Person == -1 && mainwindow::waitForPersonEditor([this, Index, Data] {
            forms::DataObject data = Data;
            int effect = forms::vbDropEffectCopy;
            Label2_OLEDragDrop(Index, data, effect, forms::vbLeftButton, 0, 0, 0);
        }))
        return;
    hideDragMarker();
    model::KouUndoRecord record;
    // What is dropped is what the drag started with: the list's current line may
    // have moved under the pointer since.
    const std::string dragged = Data.getData(forms::vbCFText);
    if (st.Drag_Person == -1) {
        const int created = createPlaceholderPerson(Index, dragged);
        // No room for the person: the drop is refused and the field stays as it was.
        if (created < 0) {
            model::StartDrag(mainwindow::PersonTableFullDropMessage);
            return;
        }
        Label2[Index].setCaption(dragged);
        Label2[Index].setTag(std::to_string(created));
        record.KouUndoMode = Index == 0 ? model::KouUndo::NewHusband : model::KouUndo::NewWife;
        record.UndoActer = static_cast<int16_t>(created);
    } else {
        Label2[Index].setCaption(dragged);
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
    const model::RelationEditorStep step;
    mainwindow::DropState& st = mainwindow::dropState();
    if (st.Drag_Person == -1 && mainwindow::waitForPersonEditor([this, Data] {
            forms::DataObject data = Data;
            int effect = forms::vbDropEffectCopy;
            List2_OLEDragDrop(data, effect, forms::vbLeftButton, 0, 0, 0);
        }))
        return;
    hideDragMarker();
    // The list shows every child slot of the marriage: with all of them taken the
    // drop is refused, and the message waits for the end of the drag.
    if (List2.listCount() > model::LastChildSlot) {
        model::StartDrag(model::ChildSlotsFullMessage);
        return;
    }
    const std::string dropped = Data.getData(forms::vbCFText);
    model::KouUndoRecord record;
    int child = st.Drag_Person;
    record.KouUndoMode = model::KouUndo::ListedChild;
    if (child == -1) {
        const int list = st.Drag_Sex != 0 ? 1 : 0;
        child = createPlaceholderPerson(list, dropped);
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
        hideDragMarker();
        mainwindow::completeDropAfterSettle();
        if (MainForm* main = loadedMainWindow())
            main->completeKeptDrop();
        st.Drop_PendKind = mainwindow::PendNone;
        Build_List();
    }

    model::EndDrag();
    DownPoint = PixelPoint{};
    Dragging = 0;
    model::runState().ListDragActive = 0;
}

void CtrlForm::flyMarkerBack(const PixelPoint& release)
{
    FlightStart = {release.x - GrabOffset.x, release.y - GrabOffset.y};
    const int dx = RowOrigin.x - FlightStart.x;
    const int dy = RowOrigin.y - FlightStart.y;
    ReturnSteps = static_cast<int16_t>(returnStepCount(dx, dy));
    FlightStep = {dx / ReturnSteps, dy / ReturnSteps};
    StepsFlown = 1;
    forms::placeWindowOnTop(form2(), FlightStart.x + FlightStep.x, FlightStart.y + FlightStep.y);
    Timer2.setInterval(ReturnStepInterval);
    Timer2.setEnabled(true);
}

void CtrlForm::endFlight()
{
    Timer2.setEnabled(false);
    hideDragMarker();
}

// ---------------------------------------------------------------- requests of the main window

void CtrlForm::placeholderTaken(int list, int created)
{
    if (list != 0 && list != 1)
        return;
    forms::ListBox& source = List1[list];
    // The placeholder line is the one naming no person, wherever the list's current
    // line stands.
    for (int line = 0; line < source.listCount(); ++line) {
        if (source.itemData(line) == -1) {
            source.setItemData(line, created);
            break;
        }
    }
    source.addItem(relations::currentPlaceholderLine(list));
    source.setItemData(source.newIndex(), -1);
}

void CtrlForm::placeholderReturned(int list, int created)
{
    if (list != 0 && list != 1)
        return;
    forms::ListBox& source = List1[list];
    // The placeholder line is the one last added to its list.
    const int last = source.newIndex();
    if (last >= 0 && last < source.listCount())
        source.setList(last, relations::currentPlaceholderLine(list));
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
