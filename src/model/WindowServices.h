#pragma once
// What the family model asks of the windows above it. The model cannot see the
// forms layer, so each request is a virtual call here; the defaults do nothing
// (or, for deleteMarriage, only the table part), and the windows install an
// implementation that also updates what they show. Tests install recording fakes.

#include <cstdint>
#include <string>

namespace model {

class WindowServices {
public:
    virtual ~WindowServices() = default;

    // A person was added elsewhere: an open person editor would show a stale grid,
    // so it is hidden (when shown) and unloaded. The command that adds the person
    // has settled the editor's unregistered input before it changed anything.
    virtual void closePersonEditor() {}
    // The family changed: the chronology window is unloaded; it builds its table
    // afresh when opened again.
    virtual void closeChronology() {}
    // A person was freed (freePerson): every window lets go of him, taking him out
    // of the fields and lists that still name him. The command that frees him has
    // settled, before it changed anything, the unregistered input that named him.
    virtual void personFreed(int person) { (void)person; }
    // The person table was emptied: the relationship editor's two person lists go.
    virtual void clearRelationPersonLists() {}
    // The marriage table was emptied: the relationship editor drops its third person
    // list, its marriage list, partner labels, text fields, children list and marks.
    virtual void resetRelationEditor() {}
    // A step of the relationship editor's undo was recorded (model/UndoRecords.h):
    // the editor's undo menu item and button are enabled and carry this caption.
    virtual void enableRelationUndo(const std::string& caption) { (void)caption; }
    // The relationship editor's delete of a marriage record (it asks first).
    // Returns -1 when the record is not in use, else 0. The default performs the
    // question and the table change through deleteMarriageRecord().
    virtual int deleteMarriage(int kou);
    // Forgets the chart selection.
    virtual void clearSelection() {}
    // Keeps the named window in front of the main window and its chart (topmost)
    // or no longer; returns the platform's result.
    virtual int setTopMost(const std::string& windowName, bool topmost)
    {
        (void)windowName;
        (void)topmost;
        return 0;
    }
    // True when a loaded window has exactly this name.
    virtual bool isFormLoaded(const std::string& windowName)
    {
        (void)windowName;
        return false;
    }
    // The undo snapshot of the whole family, written by an editing command before it
    // changes the tables. The main window's implementation calls Save_Undo
    // (document/Snapshots.h), which writes it and enables the undo button.
    virtual void saveUndo() {}

    // --- Main window requests of the new-document initialisation, the snapshots, the
    // --- additional load and the family-group save.

    // The snapshot undo button CmdUndo: enabled exactly while an undo snapshot exists.
    virtual void setUndoEnabled(bool enabled) { (void)enabled; }
    // The undo of the last drop on the chart (the menu item "ＵＮＤＯ") is disabled.
    virtual void disableDropUndo() {}
    // The relationship editor's undo menu item and undo button are disabled.
    virtual void disableRelationUndo() {}
    // The Settings menu check marks are set from the display flags of the settings:
    // death, male/female, writing direction, icons, family names and display mode.
    virtual void setDisplayChecks() {}
    // After a load: the relationship editor and the easy relation builder are refreshed
    // when loaded, and the Settings menu check marks follow the loaded settings.
    virtual void loadAfterDisp() {}
    // The relationship editor forgets the marriage it edits (KouNum := -1) and clears
    // its fields. The default does the table part.
    virtual void resetKouNum();
    // The chart canvas Picture1 takes the colour (&H00BBGGRR) as its background.
    virtual void setChartBackColor(int32_t colour) { (void)colour; }
    // The chart canvas accepts a person dropped on it (drop mode 1) or not (0).
    virtual void setChartAcceptsDrops(bool accepts) { (void)accepts; }
    // The main window's caption.
    virtual void setCaption(const std::string& caption) { (void)caption; }
    // Removes the first tab of the family-tree tab strip count times (the tree tabs
    // of the last chart rebuild; the two permanent tabs stay).
    virtual void removeTreeTabs(int count) { (void)count; }
    // File > Save As's dialog (title "家系図の保存", pattern "*.kez") with offeredName in
    // its name box: the family file the chosen name stands for (model::kezFileName),
    // once the user agreed to replace it when it exists; "" when cancelled or
    // declined. Only asks: the open document's path and changed flag stay.
    virtual std::string askSaveAsPath(const std::string& offeredName)
    {
        (void)offeredName;
        return {};
    }
};

// Installs services (not owned); nullptr restores the do-nothing defaults.
void setWindowServices(WindowServices* services);
WindowServices& windowServices();

// A deletion that asks first takes its undo snapshot only once the user has confirmed
// it (saveUndoOnce after the OK), so that a cancelled one leaves the undo as it was;
// an addition takes it once its checks have passed (snapshotBeforeChange).
// A step made of several such deletions (a child, then the record it emptied) runs in
// one of these: its first confirmed deletion takes the snapshot and the later ones do
// not, so that the undo takes the whole step back.
class UndoSnapshotStep {
public:
    UndoSnapshotStep();
    ~UndoSnapshotStep();
    UndoSnapshotStep(const UndoSnapshotStep&) = delete;
    UndoSnapshotStep& operator=(const UndoSnapshotStep&) = delete;
};

// windowServices().saveUndo(), unless the UndoSnapshotStep running has taken it already.
void saveUndoOnce();

// Called by the operations that add to the family (Add_NewPerson, set_kou_buf,
// Add_Kodo) once their own checks have passed, just before they change the tables.
// Inside an UndoSnapshotStep the step's snapshot is taken then (saveUndoOnce): a
// command in a step that is refused before it changes anything leaves the undo as it
// was, and one that changes the family takes one snapshot. Outside a step nothing is
// taken: the caller took its snapshot itself.
void snapshotBeforeChange();

// The table part of the relationship editor's marriage delete: -1 when the record
// is not in use (nothing asked); otherwise asks "削除してよろしいでしょうか？"
// (OK/Cancel) and returns 0; on OK the undo snapshot is taken (saveUndoOnce), the
// record is freed (and with it every adoption history naming it), the start flag
// handed to the first remaining record, and the deletion recorded as the
// relationship editor's pending step (model/UndoRecords.h), whose undo is offered as
// "UNDO 削除" and names the marriage in those histories again.
int deleteMarriageRecord(int kou);

} // namespace model
