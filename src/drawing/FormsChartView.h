#pragma once
// The chart view of the main window over its forms controls: the tab strip of
// family trees, the viewport picture box with the chart canvas inside it, the two
// scroll bars, the zoom box, the selection frame and, for the full-screen view, the
// window with its frame around the viewport and its four menus. The main window
// owns one and installs it:
//
//     drawing::ChartViewControls controls;
//     controls.window = this;
//     controls.Picture2 = &Picture2;  controls.Picture1 = &Picture1;
//     controls.HScroll1 = &HScroll1;  controls.VScroll1 = &VScroll1;
//     controls.TabStrip1 = &TabStrip1; controls.Text1 = &Text1; controls.lblFocus = &lblFocus;
//     controls.Frame2 = &Frame2;      controls.menus = {&filemenu, &scrmenu, &setmenu, &helpmenu};
//     controls.Tab_ClickSkip = &Tab_ClickSkip; controls.Fullscreen_Flag = &Fullscreen_Flag;
//     chartView = std::make_unique<drawing::FormsChartView>(controls);
//     layout::setChartView(chartView.get());
//
//     HScroll1.onChange = [this] { chartView->scrollChanged(layout::ScrollAxis::Horizontal); };
//     VScroll1.onChange = [this] { chartView->scrollChanged(layout::ScrollAxis::Vertical); };
//
// Every control is optional: a request for a control that is not given does
// nothing (reads answer as the do-nothing view does).
//
// The tab strip keeps the selected index number when tabs are added or removed,
// clamped to the tabs there are, and raises Click only when the selection changes;
// selectTabQuietly therefore raises Tab_ClickSkip only for a selection that changes,
// or the flag would swallow the user's next click.

#include "layout/ChartView.h"

#include <cstdint>
#include <vector>

namespace forms {
class CanvasLabel;
class CommandButton;
class ChartCanvas;
class Form;
class Frame;
class Menu;
class PictureBox;
class ScrollBar;
class TabStrip;
class TextBox;
} // namespace forms

namespace drawing {

struct ChartViewControls {
    forms::Form* window = nullptr;         // the main window (size, full-screen view)
    forms::PictureBox* Picture2 = nullptr; // viewport
    forms::ChartCanvas* Picture1 = nullptr; // chart canvas inside the viewport
    forms::ScrollBar* HScroll1 = nullptr;
    forms::ScrollBar* VScroll1 = nullptr;
    forms::TabStrip* TabStrip1 = nullptr;  // family-tree tabs
    forms::TextBox* Text1 = nullptr;       // zoom box
    forms::CommandButton* fullScreenButton = nullptr;
    forms::CanvasLabel* lblFocus = nullptr; // selection frame
    forms::Frame* Frame2 = nullptr;        // frame around the viewport
    std::vector<forms::Menu*> menus;       // filemenu, scrmenu, setmenu, helpmenu
    int16_t* Tab_ClickSkip = nullptr;      // the tab strip's click handler ignores one click while 1
    int16_t* Fullscreen_Flag = nullptr;
};

// The layout saved when the full-screen view begins, for the way back.
struct ControlPlace {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};
// A scroll bar's range and position: the chart comes back scrolled as it was.
struct ScrollPlace {
    ControlPlace place;
    int max = 0;
    int value = 0;
};
struct FullscreenSave {
    ScrollPlace hscroll;
    ScrollPlace vscroll;
    double frameTop = 0;
    double frameLeft = 0;
    double frameHeight = 0;
    double frameWidth = 0;
    double canvasWidth = 0;   // Picture1
    double canvasHeight = 0;
    double viewportWidth = 0; // Picture2
    double viewportHeight = 0;
};

class FormsChartView : public layout::ChartView {
public:
    explicit FormsChartView(const ChartViewControls& controls);
    // Uninstalls itself when it is still the installed chart view.
    ~FormsChartView() override;
    FormsChartView(const FormsChartView&) = delete;
    FormsChartView& operator=(const FormsChartView&) = delete;

    int tabCount() const override;
    int selectedTab() const override;
    void removeTreeTabs(int count) override;
    void insertTreeTabs(const std::vector<std::string>& captions) override;
    void replaceTreeTabs(int count, const std::vector<std::string>& captions) override;
    void selectTabQuietly(int index) override;

    double viewportWidth() const override;
    double viewportHeight() const override;
    void setCanvasVisible(bool visible) override;
    void setCanvasSize(double width, double height) override;
    void moveCanvasTo(double left, double top) override;

    void enableScrollBars() override;
    int scrollValue(layout::ScrollAxis axis) const override;
    void setScrollValue(layout::ScrollAxis axis, int value) override;
    void hideScrollBar(layout::ScrollAxis axis) override;
    void showScrollBar(layout::ScrollAxis axis, int max) override;

    void enableChartCommands() override;
    void hideSelectionFrame() override;
    // Brings the relationship editor "ctrl" to the front when it is loaded.
    void raiseRelationEditor() override;

    double windowWidth() const override;
    double windowHeight() const override;
    void beginFullScreen() override;
    void layFullScreenViewport(double chartWidth, double chartHeight) override;

    // For the main window's scroll handlers: the canvas follows the scroll bar, at
    // -Scroll_ScaleX x HScroll1 value (Left) or -Scroll_ScaleY x VScroll1 value (Top).
    void scrollChanged(layout::ScrollAxis axis);
    // The way back from the full-screen view: Fullscreen_Flag := 0, the frame,
    // viewport, canvas and scroll bars back at the saved places and sizes (the
    // viewport and the canvas at 0, 0), the menus shown, and the window back in the
    // state and place it had. The main window then redraws the chart.
    void endFullScreen();
    // Wheel notches' scroll along the axis (positive: down or right), while its
    // scroll bar shows; false when there is no bar to move.
    bool scrollByNotches(layout::ScrollAxis axis, int notches);

private:
    forms::ScrollBar* scrollBar(layout::ScrollAxis axis) const;

    ChartViewControls m_controls;
    FullscreenSave m_saved;
};

} // namespace drawing
