#pragma once
// What the main window asks of the windows around it: the person editor, the
// relationship editor, the easy relation builder, the chronology window and the
// hints window. Those windows live in libraries built after this one, so the
// main window reaches them only through this interface. The defaults do nothing,
// or only the table part of a request; each window's library installs an
// implementation that also updates what the window shows, and tests install a
// recording fake.

#include <string>

namespace mainwindow {

class OtherWindows {
public:
    virtual ~OtherWindows() = default;

    // --- Hints window `FrmQA` ---

    // Shows the hints window, not modal (start-up, when QAMODE is 1).
    virtual void showHints() {}

    // --- Person editor `entry` ---

    // Hides and unloads the person editor when it is open; the caller has set
    // Entry_Open to 0 already. A load replaces the family the editor shows.
    virtual void closePersonEditor() {}
    // The family became empty while the person editor stays open: the editor
    // closes its voice memo window and shows a blank card, or in its table view a
    // grid holding only the blank new row.
    virtual void blankPersonEditor() {}

    // --- Chronology window `yeartb` ---

    // Unloads the chronology window when it is open (it builds its table afresh
    // when opened again) and clears its open flag.
    virtual void closeChronology() {}

    // --- Relationship editor `ctrl` and easy relation builder `EasyCtl` ---

    // `Build_List`: the editor's person lists and marriage list from the tables.
    virtual void rebuildRelationLists() {}
    // `Easy_Build_List`: the builder's person list. Called only while a window
    // named "EasyCtl" is loaded.
    virtual void rebuildEasyRelationList() {}
    // `ResetKouNum`: the editor forgets its current marriage and empties its
    // marriage fields. The default does the table part, KouNum := -1.
    virtual void forgetRelationMarriage();
    // The person table was emptied: the editor's two person lists go.
    virtual void clearRelationPersonLists() {}
    // The marriage table was emptied: the editor drops its marriage list and fields.
    virtual void resetRelationEditor() {}
    // The editor's own undo became available with this caption, or went.
    virtual void enableRelationUndo(const std::string& caption) { (void)caption; }
    virtual void disableRelationUndo() {}
    // The editor's delete of a marriage record, asking first: -1 when the record is
    // not in use, else 0. The default does the question and the table change.
    virtual int deleteMarriage(int kou);
};

// Installs the windows (not owned); nullptr restores the defaults.
void setOtherWindows(OtherWindows* windows);
OtherWindows& otherWindows();

} // namespace mainwindow
