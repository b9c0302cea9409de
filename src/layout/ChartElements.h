#pragma once
// What the layout asks of the main window's chart canvas: emptying the chart-control
// arrays before a redraw and showing the zoom percent in the zoom box. The layout
// cannot see the windows, so each request is a virtual call here; the defaults do
// nothing, the main window's chart canvas installs its implementation and tests
// install a recording fake.

#include <string>

namespace layout {

// The chart-control arrays of the main window, in the order Unload_ChartCtl empties them.
enum class ChartArray { Label11, Label12, Label13, Line1, Line7, Image1, DPic };

class ChartElements {
public:
    virtual ~ChartElements() = default;

    // Unloads the elements first..last (both included, first >= 2) of the array.
    // Elements 0 and 1 of every array exist from the start and are never unloaded.
    virtual void unloadElements(ChartArray array, int first, int last)
    {
        (void)array;
        (void)first;
        (void)last;
    }
    // Shows the zoom percent in the main window's zoom box.
    virtual void setZoomBoxText(const std::string& text) { (void)text; }
};

// Installs the chart canvas (not owned); nullptr restores the do-nothing default.
void setChartElements(ChartElements* elements);
ChartElements& chartElements();

} // namespace layout
