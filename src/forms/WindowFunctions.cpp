#include "forms/WindowFunctions.h"

#include "forms/Form.h"
#include "forms/FormWindow_p.h"

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
    FormWindow* w = window.window();
    if (!w)
        return result;
    const bool wasVisible = w->isVisible();
    const QRect geometry = w->geometry();
    // Qt hides a window whose flags change; it comes back where it was.
    w->setWindowFlag(Qt::WindowStaysOnTopHint, mode == 1);
    if (wasVisible) {
        w->setGeometry(geometry);
        w->show();
    } else {
        // Setting a window topmost shows it too, so a caller needs no second call.
        window.show();
    }
    return result;
}

bool isTopMost(const Form& window)
{
    const FormWindow* w = window.window();
    return w && w->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
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
