#pragma once
// What the family model asks of the windows above it. The model cannot see the
// forms layer, so each request is a virtual call here; the defaults do nothing
// (or, for deleteMarriage, only the table part), and the windows install an
// implementation that also updates what they show. Tests install recording fakes.

#include <string>

namespace model {

class WindowServices {
public:
    virtual ~WindowServices() = default;

    // A person was added elsewhere: an open person editor would show a stale grid,
    // so it is hidden (when shown) and unloaded.
    virtual void closePersonEditor() {}
    // The family changed: the chronology window is unloaded; it builds its table
    // afresh when opened again.
    virtual void closeChronology() {}
    // The person table was emptied: the relationship editor's two person lists go.
    virtual void clearRelationPersonLists() {}
    // The marriage table was emptied: the relationship editor drops its third person
    // list, its marriage list, partner labels, text fields, children list and marks.
    virtual void resetRelationEditor() {}
    // A child was removed with an undo record: the relationship editor's undo menu
    // item and button are enabled and carry this caption.
    virtual void enableRelationUndo(const std::string& caption) { (void)caption; }
    // The relationship editor's delete of a marriage record (it asks first).
    // Returns -1 when the record is not in use, else 0. The default performs the
    // question and the table change through deleteMarriageRecord().
    virtual int deleteMarriage(int kou);
    // Forgets the chart selection.
    virtual void clearSelection() {}
    // Puts the named window on top as a topmost window (topmost) or back to normal;
    // returns the platform's result.
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
    // changes the tables (the file store writes it; the main window enables its undo
    // button).
    virtual void saveUndo() {}
};

// Installs services (not owned); nullptr restores the do-nothing defaults.
void setWindowServices(WindowServices* services);
WindowServices& windowServices();

// The table part of the relationship editor's marriage delete: -1 when the record
// is not in use (nothing asked); otherwise asks "削除してよろしいでしょうか？"
// (OK/Cancel) and returns 0; on OK the record is copied to KouUndoBuf, freed, the
// start flag handed to the first remaining record, KouUndoMode 3 and UndoKou set,
// and the relationship editor's undo enabled as "UNDO 削除".
int deleteMarriageRecord(int kou);

} // namespace model
