#pragma once
// What the relationship editor asks of the windows around it. The person
// editor and the main window live in other libraries (the person editor in one
// built after this one), so each request is a virtual call here. The defaults
// go through what already reaches those windows: the family model's window
// services for the person editor, the Forms collection for the main window.
// Tests install a recording fake.

namespace relations {

class RelationRequests {
public:
    virtual ~RelationRequests() = default;

    // Hides and unloads the person editor when it is open (the caller has set
    // Entry_Open to 0 and settled the editor's unregistered input first): it
    // would otherwise show a person an undo has freed.
    virtual void closePersonEditor();
    // Brings the main window to the front (ZOrder 0) after a registration or a
    // deletion, so the user sees the rebuilt chart.
    virtual void raiseMainWindow();
};

// Installs requests (not owned); nullptr restores the defaults.
void setRelationRequests(RelationRequests* requests);
RelationRequests& relationRequests();

} // namespace relations
