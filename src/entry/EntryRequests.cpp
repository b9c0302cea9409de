#include "entry/EntryRequests.h"

#include "entry/CelSet.h"
#include "entry/Voicefm.h"

#include "drawing/ChartRebuild.h"
#include "drawing/DspOp.h"

namespace entry {

namespace {
EntryRequests* installed = nullptr;
} // namespace

void EntryRequests::rebuildChart()
{
    drawing::Refresh_TabDisp();
}

void EntryRequests::showDisplayOptions(int person)
{
    dspop_form().showForPerson(person);
}

void EntryRequests::showColumnChooser()
{
    // A second request brings the open chooser forward.
    if (celset_form().isLoaded() && celset_form().isVisible())
        celset_form().zOrder(0);
    else
        celset_form().show();
}

void EntryRequests::closeColumnChooser()
{
    if (celset_form().isLoaded())
        celset_form().unload();
}

void EntryRequests::closeVoiceMemo()
{
    if (voicefm_form().isLoaded())
        voicefm_form().unload();
}

void setEntryRequests(EntryRequests* requests)
{
    installed = requests;
}

EntryRequests& entryRequests()
{
    static EntryRequests defaults;
    return installed ? *installed : defaults;
}

} // namespace entry
