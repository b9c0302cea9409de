// Three small input paths of the main window: its key handler (delete the
// selected marriage, rename a person in place, two shortcuts), the zoom box Text1
// and the in-place name editor Text2(0) (family name) and Text2(1) (given name).
// The window previews keys (KeyPreview), so the handler sees them whichever
// control has the focus.

#include "mainwindow/MainForm.h"

#include "document/Snapshots.h"
#include "drawing/ChartRebuild.h"
#include "drawing/FormsChartView.h"
#include "forms/Keys.h"
#include "layout/Calc_TreeWidth.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"
#include "mainwindow/OtherWindows.h"
#include "model/SavableText.h"
#include "model/Utilities.h"
#include "model/WindowServices.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

namespace {

constexpr const char* NoMarriageMessage = "この結婚関係は存在していません";
constexpr const char* NameRequiredMessage = "名前は省略出来ません";

constexpr int16_t EnterKey = 13;
constexpr int CsvInputItem = 5;

// The zoom the box accepts, in percent.
constexpr double SmallestZoom = 25;
constexpr double LargestZoom = 500;

using model::isPersonSlot;

void rebuildRelationLists()
{
    mainwindow::OtherWindows& windows = mainwindow::otherWindows();
    windows.rebuildRelationLists();
    if (model::Find_FormByName("EasyCtl") == 1)
        windows.rebuildEasyRelationList();
}

} // namespace

// ---------------------------------------------------------------------------
// Keys

void MainForm::Form_KeyDown(int& KeyCode, int Shift)
{
    if (Fullscreen_Flag == 1 && scrollFullScreenByKey(KeyCode)) {
        KeyCode = 0;
        return;
    }
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    // Delete in the zoom box deletes a character of the zoom, never a marriage.
    const bool editingZoom = activeControl() == &Text1;
    if (KeyCode == forms::vbKeyDelete) {
        if (run.Sel_KouMark != 0 && run.KouNum != -1 && NameEdit_Active == 0 && !editingZoom) {
            // The deletion empties the relationship editor's fields: their unregistered
            // change is settled first (a registration there forgets the chosen marriage).
            const int16_t chosen = run.KouNum;
            if (!mainwindow::otherWindows().settleRelationEditor())
                return;
            run.KouNum = chosen;
            // The deletion is this window's step: its undo snapshot, taken once the
            // deletion is confirmed, takes it back.
            const model::UndoSnapshotStep snapshot;
            if (mainwindow::otherWindows().deleteMarriage(run.KouNum) == -1) {
                platform::MsgBox(NoMarriageMessage, platform::vbOKOnly);
            } else {
                rebuildRelationLists();
                drawing::Refresh_TabDisp();
            }
            run.Sel_KouMark = 0;
            run.KouNum = -1;
        }
    } else if (KeyCode == forms::vbKeyF2) {
        const int box = selectedPersonBox();
        if (box != -1) {
            NameEdit_Active = -1;
            const model::personal_data& person = t.per_buf[static_cast<size_t>(run.Sel_Person)];
            m_renamedPerson = run.Sel_Person;
            m_renameShown[0] = person.F_name;
            m_renameShown[1] = person.Name;
            Text2[0].setText(person.F_name);
            Text2[1].setText(person.Name);
            const forms::CanvasPicture& picture = DPic[box];
            Text2[0].move(picture.left(), picture.top() + picture.height());
            Text2[1].move(Text2[0].left() + Text2[0].width(), Text2[0].top());
            Text2[0].setVisible(true);
            Text2[1].setVisible(true);
            Text2[0].setFocus();
        }
    } else if (KeyCode == forms::vbKeyEscape) {
        closeNameEditor();
    }

    if (KeyCode == forms::vbKeyF3 && Shift == forms::vbShiftMask)
        fileitem_Click(CsvInputItem);
    if (KeyCode == forms::vbKeyF12 && Shift == forms::vbShiftMask)
        mainwindow::otherWindows().showMessageScreen();
}

// The arrow keys scroll the full-screen view as the wheel does, one notch a key.
bool MainForm::scrollFullScreenByKey(int KeyCode)
{
    switch (KeyCode) {
    case forms::vbKeyLeft:
        return m_chartView->scrollByNotches(layout::ScrollAxis::Horizontal, -1);
    case forms::vbKeyRight:
        return m_chartView->scrollByNotches(layout::ScrollAxis::Horizontal, 1);
    case forms::vbKeyUp:
        return m_chartView->scrollByNotches(layout::ScrollAxis::Vertical, -1);
    case forms::vbKeyDown:
        return m_chartView->scrollByNotches(layout::ScrollAxis::Vertical, 1);
    default:
        return false;
    }
}

// ---------------------------------------------------------------------------
// Zoom box

void MainForm::Text1_GotFocus()
{
    Text1.setIMEMode(forms::vbIMEOff);
}

void MainForm::Text1_KeyPress(int16_t& KeyAscii)
{
    Picture1.move(0, 0);
    if (KeyAscii != EnterKey)
        return;
    // Text that is no number reads as 0 and so becomes the smallest zoom.
    if (platform::Val(Text1.text()) > LargestZoom)
        Text1.setText("500");
    if (platform::Val(Text1.text()) < SmallestZoom)
        Text1.setText("25");
    layout::setZoomPercent(platform::Val(Text1.text()));
    layout::setMetricsForWriteState();
    layout::Calc_TreeWidth();
    layout::Unload_ChartCtl();
    drawing::Refresh_TabDisp();
    Clear_Selection();
}

// ---------------------------------------------------------------------------
// Renaming in place

void MainForm::closeNameEditor()
{
    Text2[0].setVisible(false);
    Text2[1].setVisible(false);
    m_renamedPerson = -1;
}

void MainForm::Text2_KeyPress(int Index, int16_t& KeyAscii)
{
    if (KeyAscii != EnterKey)
        return;
    if (Index == 0) {
        Text2[1].setFocus();
        return;
    }
    model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    // The selection went (a chart rebuild clears it) or moved to another person (a
    // click on another box) while the editor was open: there is no person left whose
    // names it shows, so the editor closes storing nothing.
    if (!isPersonSlot(run.Sel_Person) || run.Sel_Person != m_renamedPerson) {
        closeNameEditor();
        return;
    }
    if (platform::Trim(Text2[0].text()).empty() || platform::Trim(Text2[1].text()).empty()) {
        platform::MsgBox(NameRequiredMessage, platform::vbOKOnly);
        return;
    }
    for (int i = 0; i <= 1; ++i) {
        if (!model::acceptSavableText(Text2[i].text())) {
            Text2[i].setFocus();
            return;
        }
    }
    const int renamed = run.Sel_Person;
    model::personal_data& person = t.per_buf[static_cast<size_t>(renamed)];
    // Only a name changed in the editor is written: the other keeps what was stored
    // meanwhile (the person editor's 登録 of the same person), rather than the value
    // the editor merely showed.
    const auto renamedTo = [this](int box, const std::string& stored) {
        const std::string& typed = Text2[box].text();
        return typed != m_renameShown[box] ? typed : stored;
    };
    // Enter on names left as they were closes the editor and is no edit.
    const bool changed = renamedTo(0, person.F_name) != person.F_name || renamedTo(1, person.Name) != person.Name;
    if (changed) {
        // Input the person editor holds unregistered for this person is settled
        // first: its 登録 would otherwise store the old name back. キャンセル keeps
        // the name editor open.
        if (!mainwindow::settlePersonEditorFirst(renamed))
            return;
        // A changed name is a command of its own for the main window's undo.
        (void)model::Save_Undo();
    }
    person.F_name = renamedTo(0, person.F_name);
    person.Name = renamedTo(1, person.Name);
    closeNameEditor();
    drawing::Refresh_TabDisp();
    rebuildRelationLists();
    mainwindow::otherWindows().showChangedPerson(renamed);
    if (changed)
        t.Data_Changed = 1;
}
