#include "forms/WindowFunctions.h"

#include "forms/Form.h"
#include "forms/FormWindow_p.h"
#include "forms/WindowPlacement_p.h"

namespace forms {

namespace {

std::vector<TopMostChange>& changes()
{
    static std::vector<TopMostChange> list;
    return list;
}

} // namespace

int SetTopMost(Form& window, int mode)
{
    window.load();
    const int result = (mode == 0 || mode == 1) ? 1 : 0;
    changes().push_back({window.name(), mode, result});
    if (result == 0)
        return 0;
    keepInFront(window, mode == 1 ? InFront::OfOwner : InFront::No);
    // Either mode shows the window too, so a caller needs no second call.
    if (window.window() && !window.window()->isVisible())
        window.show();
    return result;
}

bool isKeptInFront(const Form& window)
{
    return keptInFront(window) != InFront::No;
}

const std::vector<TopMostChange>& topMostChanges()
{
    return changes();
}

void clearTopMostChanges()
{
    changes().clear();
}

} // namespace forms
