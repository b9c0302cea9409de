#include "entry/EntryRequests.h"

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
