#pragma once
// What the person editor asks of the windows around it that the main window's
// OtherWindows does not cover: the chart rebuild, the display-options window,
// and its own companion windows that are built later (column chooser, voice
// memo window). The defaults do the real thing; tests install a recording fake.

namespace entry {

class EntryRequests {
public:
    virtual ~EntryRequests() = default;

    // Rebuilds the chart of the selected tab (Refresh_TabDisp).
    virtual void rebuildChart();
    // Shows the display-options window for a person, not modal.
    virtual void showDisplayOptions(int person);
    // Shows the column chooser CelSet, not modal.
    virtual void showColumnChooser();
    // Closes the column chooser; the caller has cleared CelSet_Open.
    virtual void closeColumnChooser();
    // Closes the voice memo window; the caller has cleared Voice_Busy.
    virtual void closeVoiceMemo();
};

// Installs the requests (not owned); nullptr restores the defaults.
void setEntryRequests(EntryRequests* requests);
EntryRequests& entryRequests();

} // namespace entry
