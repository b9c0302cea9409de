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

    // Shows the hints window, not modal (start-up, when QAMODE is 1). The
    // window belongs to this library: the default shows it (FrmQA.cpp).
    virtual void showHints();

    // --- Hidden message screen `EEGG` ---

    // Shows the hidden message screen modally. The default shows this library's
    // window (EEGG.cpp).
    virtual void showMessageScreen();

    // --- Person editor `entry` ---

    // Hides and unloads the person editor when it is open; the caller has set
    // Entry_Open to 0 already and settled the editor's unregistered input before
    // it changed anything (settlePersonEditorFirst). A load replaces the family
    // the editor shows.
    virtual void closePersonEditor() {}
    // The family was replaced (emptied, or brought back by a restore) while the
    // person editor stays open: the editor shows the family as it now is. A person
    // that no longer exists is not shown (a blank card, its voice memo window
    // closed); the table view lists the persons there are.
    virtual void refreshPersonEditor() {}

    // A person box was clicked while the person editor is open (Entry_Open 1): the
    // editor is set back to its normal size, loads the person (`entryset`), is shown
    // not modal and switches to its card view (first page and tab, previous and next
    // enabled, its View menu offering the table view); a person with a voice memo
    // marks the voice button (Tag "1").
    virtual void showPersonInEditorCard(int person) { (void)person; }
    // A face icon was clicked while the person editor is open: the editor is shown
    // not modal with previous and next enabled, set back to its normal size, loads
    // the person (`entryset`) on its first page and tab and comes to the front, its
    // View menu offering the table view; its card or table view stays as it was.
    // The caller has set Entry_EditMode to 1.
    virtual void showPersonInEditor(int person) { (void)person; }

    // Before a command of the main window replaces or ends the family while the
    // editor is open: the editor asks about input it holds that was never
    // registered. False when the user stays in the editor (the command then
    // stops); true when it may go on. The default has nothing to ask.
    virtual bool settlePersonEditor() { return true; }
    // True while the open editor holds input that was never registered (what
    // settlePersonEditor would ask about).
    virtual bool personEditorHoldsInput() { return false; }

    // Before a command of another window changes a person (a rename on the chart,
    // the quick name input, the display options; -1 when it changes every person):
    // the editor settles the input it holds unregistered for that person (its card
    // shows him, or its table view edits a cell of his row); いいえ shows him as
    // stored. Input for anybody else is left alone. False when the user stays with
    // the input (the command then stops); true when it may go on.
    virtual bool settlePersonEditorFor(int person)
    {
        (void)person;
        return true;
    }
    // After such a change (-1: of every person): a card that shows the person
    // without unregistered input shows him as he is now stored.
    virtual void showChangedPerson(int person) { (void)person; }

    // The same for the relationship editor's unregistered change (its fields differ
    // from the marriage last loaded or registered): false when the user stays with it.
    virtual bool settleRelationEditor() { return true; }
    // True while the loaded relationship editor holds such a change.
    virtual bool relationEditorHoldsChange() { return false; }
    // The same for what the child dialog (comment, status, mark) and the easy
    // relation builder (names) hold typed and unregistered.
    virtual bool settleChildDialogAndBuilder() { return true; }
    // The same for the child dialog alone (a command that refills it, as 戻 does).
    virtual bool settleChildDialog() { return true; }

    // View menu "入力画面" while the editor is open: a minimised editor is set back
    // to its normal size, comes to the front and puts the focus in its person grid
    // (table view) or in its first field (card view).
    virtual void raisePersonEditor() {}
    // View menu "入力画面" while the editor is closed: the editor is shown not modal;
    // in its card view it loads the person (`entryset`). The caller sets Entry_Open.
    virtual void showPersonEditor(int person) { (void)person; }

    // --- Person card `InfoOne` ---

    // When the person card is open (its open flag 1) it comes to the front and shows
    // the person (`Show_Person_Info`); otherwise nothing happens.
    virtual void showPersonOnCardIfOpen(int person) { (void)person; }

    // --- Chronology window `yeartb`, name list `nametb` ---

    // Shows the window not modal.
    virtual void showChronology() {}
    virtual void showNameList() {}

    // Unloads the chronology window when it is open (it builds its table afresh
    // when opened again) and clears its open flag.
    virtual void closeChronology() {}

    // --- A person leaves the family ---

    // Before a command frees a person: a window whose unregistered input names him
    // (the relationship editor's partner fields or children list) settles it with
    // the question every command asks. False when the user stays with it: the
    // command then stops and changes nothing.
    virtual bool settleWindowsHolding(int person)
    {
        (void)person;
        return true;
    }
    // The person was freed (model::freePerson): every window takes him out of what
    // it holds, the relationship editor's partner fields and children list, the
    // child dialog that shows him, the easy builder's base person and its list, the
    // lineage-group window's leader field; the display options editing his block close.
    virtual void forgetFreedPerson(int person) { (void)person; }

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
    // Shows the relationship editor not modal (a shown editor stays as it is).
    virtual void showRelationEditor() {}
    // Brings the relationship editor to the front.
    virtual void raiseRelationEditor() {}
    // Makes the relationship editor a topmost window, kept in front of the main
    // window and its chart (`SetTopMost` with 1).
    virtual void setRelationEditorTopMost() {}
    // View menu "関係追加画面": the easy relation builder is made topmost and shown
    // (`SetTopMost` with 1).
    virtual void showEasyRelationBuilder() {}
    // `edit_kou_data`: loads marriage kou into the editor's fields (-1: a new, empty
    // record).
    virtual void editRelationMarriage(int kou) { (void)kou; }
    // Selects the editor's tab and brings its page to the front: the persons page
    // (first tab, Frame2(0)) or the marriage page (second tab, Frame2(1)).
    enum class RelationPage { Persons, Marriage };
    virtual void showRelationPage(RelationPage page) { (void)page; }
    // Selects the person in the editor's partner list (0 men, 1 women): its first
    // row with the person as ItemData becomes the ListIndex (a list without such a
    // row keeps its selection) and the other list loses its selection.
    virtual void selectRelationPartner(int list, int person)
    {
        (void)list;
        (void)person;
    }
    // `SetMotoNin` and `SetMotoKou` of the easy relation builder: its base person
    // or base marriage. Called only while a window named "EasyCtl" is loaded.
    virtual void setEasyBasePerson(int person) { (void)person; }
    virtual void setEasyBaseMarriage(int kou) { (void)kou; }

    // --- Child dialog `InfoChld` ---

    // Shows the child dialog not modal with the child slot of marriage kou in it
    // (`edit_ch_data`).
    virtual void showChildDialog(int kou, int slot)
    {
        (void)kou;
        (void)slot;
    }
    // `ChMoveJobMain` of the child dialog: moves the selected child to the first
    // place (0), one place left (1), one place right (2) or to the last place (3).
    virtual void moveSelectedChild(int direction) { (void)direction; }

    // --- Relationship editor's child list ---

    // After a child was deleted from the chart: when the editor's child list
    // `List2` holds at least one entry, it is refilled with the children of
    // marriage kou (text family name directly followed by given name, ItemData
    // the person), in slot order.
    virtual void refillRelationChildList(int kou) { (void)kou; }

    // --- Person card `InfoOne` ---

    // True while the person card is shown (InfoOne_Open 1).
    virtual bool isPersonCardOpen() const { return false; }
    // Shows the person card not modal (InfoOne_Open := 1), or brings it to the
    // front when it is shown, and fills it with the person (`Show_Person_Info`):
    // InfoOne's showPersonCard.
    virtual void showPersonCard(int person) { (void)person; }

    // --- Category window `CategMake`, lineage-group window `KakeGrpStat` ---

    // Each is shown not modal.
    virtual void showCategoryWindow() {}
    virtual void showLineageGroups() {}

    // --- The family replaced ---

    // New, a load or a restore replaced the family while windows stay open: beside
    // the editors (refreshPersonEditor, rebuildRelationLists), the open lineage-group
    // window, child dialog and person card show the family as it now is, each closing
    // where what it showed is gone; the display options of a person gone close and the
    // easy builder lets go of such a base person. The child dialog's unregistered input
    // was settled.
    virtual void showCurrentFamily() {}

    // --- Printing: printer choice `frmPrnSet`, print preview `PrePrint` ---

    // The printer choice window, shown modally.
    virtual void showPrinterChoice() {}
    // The print preview, shown modally with the main window as its owner, after
    // the chart was recorded into the drawing lists.
    virtual void showPrintPreview() {}

    // --- Drag and drop on the chart ---

    // `Build_list_kou`: the relationship editor's marriage lists from the tables.
    virtual void rebuildRelationMarriageList() {}
    // A drop turned the selected placeholder entry of the editor's person list
    // (0 men, 1 women) into person: the entry's ItemData becomes the person and a
    // new placeholder entry with the (already raised) counter is appended.
    virtual void placeholderTaken(int list, int person)
    {
        (void)list;
        (void)person;
    }
    // The undo of such a drop: the last added entry of the list shows the (already
    // lowered) counter again and the entry of the freed person goes.
    virtual void placeholderReturned(int list, int person)
    {
        (void)list;
        (void)person;
    }
    // Hides the editor's drag marker `Form2`.
    virtual void hideDragMarker() {}
    // Quick name input `InputNameOne`, shown modally for a person: the names and
    // the four marks (category, death frame, frame, CSV output) are shown and,
    // when the user confirms (INNO_Result 1), come back changed and true is
    // returned. The default asks nothing and returns false.
    struct QuickName {
        std::string familyName;
        std::string givenName;
        int options[4] = {0, 0, 0, 0};
    };
    virtual bool showQuickNameInput(QuickName& values)
    {
        (void)values;
        return false;
    }
};

// Installs the windows (not owned); nullptr restores the defaults.
void setOtherWindows(OtherWindows* windows);
OtherWindows& otherWindows();

// The one rule for every command that closes or refills the person editor (a load,
// a merge, a CSV import, a drop or an undo that adds or frees a person): before the
// command changes anything, an open editor settles the input it holds unregistered
// (settlePersonEditor). False when the user stays with that input: the command then
// stops and changes nothing.
bool settlePersonEditorFirst();
// The rule for every command that changes a person from outside the person editor
// (settlePersonEditorFor): input the open editor holds unregistered for that person
// is settled before the change. False when the user stays with it.
bool settlePersonEditorFirst(int person);
// The same rule for a command that replaces or ends the whole family (New, Open,
// the merge, the CSV import, the end of the program): both editors settle their
// unregistered input first, the person editor before the relationship editor, then
// the child dialog and the easy relation builder.
bool settleEditorsFirst();

} // namespace mainwindow
