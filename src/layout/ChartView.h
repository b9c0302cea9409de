#pragma once
// What the chart rebuild and the chart views ask of the main window around its
// chart: the family-tree tabs, the viewport with the chart canvas inside it, the
// two scroll bars, the zoom box, the selection frame, the relationship editor and
// the window itself for the full-screen view. The layout cannot see the windows,
// so each request is a virtual call here; the defaults do nothing (the family can
// still be laid out and saved without a window), the main window installs its
// implementation over its controls (drawing::FormsChartView) and tests install
// either that one over a test window or a fake of their own.
//
// Tabs are counted from 1, as in the tab strip: tabs 1..tree_cnt show one tree
// each, then come two permanent tabs, the new-entry tab (empty caption) and the
// all-trees tab "全グループ表示".

#include <string>
#include <vector>

namespace layout {

inline constexpr const char* AllTreesTabCaption = "全グループ表示";

enum class ScrollAxis { Horizontal, Vertical };

class ChartView {
public:
    virtual ~ChartView() = default;

    // --- Family-tree tabs ---
    virtual int tabCount() const { return 0; }
    // The selected tab; the default answers the first one.
    virtual int selectedTab() const { return 1; }
    // Removes the first tab count times: the tree tabs of the last rebuild. The two
    // permanent tabs stay.
    virtual void removeTreeTabs(int count) { (void)count; }
    // Puts one tab per caption, in order, in front of the permanent tabs; the
    // new-entry tab then has an empty caption and the last tab reads "全グループ表示".
    virtual void insertTreeTabs(const std::vector<std::string>& captions) { (void)captions; }
    // The two together, as the rebuild uses them: the old tree tabs give way to the
    // new ones. A strip may do it at once, changing only the captions that differ.
    virtual void replaceTreeTabs(int count, const std::vector<std::string>& captions)
    {
        if (count > 0)
            removeTreeTabs(count);
        insertTreeTabs(captions);
    }
    // Selects the tab for a chart the caller has drawn already: the tab strip's click
    // handler ignores the click this selection raises, so nothing is rebuilt again
    // (and no flag is left behind to swallow the user's next click).
    virtual void selectTabQuietly(int index) { (void)index; }

    // --- Viewport and chart canvas (twips) ---
    virtual double viewportWidth() const { return 0; }
    virtual double viewportHeight() const { return 0; }
    virtual void setCanvasVisible(bool visible) { (void)visible; }
    virtual void setCanvasSize(double width, double height)
    {
        (void)width;
        (void)height;
    }
    virtual void moveCanvasTo(double left, double top)
    {
        (void)left;
        (void)top;
    }

    // --- Scroll bars of the viewport ---
    virtual void enableScrollBars() {}
    virtual int scrollValue(ScrollAxis axis) const
    {
        (void)axis;
        return 0;
    }
    // The value lies within the bar's range (0..its Max).
    virtual void setScrollValue(ScrollAxis axis, int value)
    {
        (void)axis;
        (void)value;
    }
    // The chart fits along the axis: the bar goes.
    virtual void hideScrollBar(ScrollAxis axis) { (void)axis; }
    // The chart is larger than the viewport along the axis: the bar shows with Min 0,
    // the given Max (0..32767), SmallChange 100 and LargeChange 500.
    virtual void showScrollBar(ScrollAxis axis, int max)
    {
        (void)axis;
        (void)max;
    }

    // --- Other controls of the main window ---
    // The chart elements were emptied, so no dropped box waits alone on the canvas:
    // the zoom box and the full-screen command work.
    virtual void enableChartCommands() {}
    // The selection frame around a chosen box goes, when it is shown.
    virtual void hideSelectionFrame() {}
    // The new-entry tab stayed selected: the relationship editor, where persons are
    // dragged from onto the empty canvas, comes to the front when it is open.
    virtual void raiseRelationEditor() {}

    // --- Full-screen view ---
    // The window's client area.
    virtual double windowWidth() const { return 0; }
    virtual double windowHeight() const { return 0; }
    // The first call: Fullscreen_Flag := 1, the layout of the frame around the
    // viewport, the viewport, the canvas and the scroll bars is kept for the way
    // back, the window becomes a full-screen window of the desktop and its menus go.
    // A call while the view is on (the window was sized again) changes nothing.
    virtual void beginFullScreen() {}
    // Lays the frame and the viewport over the whole window for a chart of the given
    // size, with a scroll bar at the window's edge along an axis where it does not fit.
    virtual void layFullScreenViewport(double chartWidth, double chartHeight)
    {
        (void)chartWidth;
        (void)chartHeight;
    }
};

// Installs the view (not owned); nullptr restores the do-nothing default.
void setChartView(ChartView* view);
ChartView& chartView();

} // namespace layout
