#include "drawing/FormsChartView.h"

#include "forms/ChartCanvas.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Menu.h"
#include "forms/PictureBox.h"
#include "forms/ScrollBar.h"
#include "forms/TabStrip.h"
#include "forms/TextBox.h"
#include "layout/chart_state.h"

#include <algorithm>

namespace drawing {

namespace {

// The tabs that always end the strip: the new-entry tab and the all-trees tab.
constexpr int PermanentTabs = 2;

// The two permanent tabs after the tree tabs: a strip that lost them gets them
// back, the new-entry tab without a caption and the all-trees tab with its own.
void settlePermanentTabs(forms::Tabs& tabs, int trees)
{
    while (tabs.count() < trees + PermanentTabs)
        tabs.add(0, "", "");
    const int newEntry = trees + 1;
    if (!tabs.item(newEntry).caption().empty())
        tabs.item(newEntry).setCaption("");
    if (tabs.item(newEntry + 1).caption() != layout::AllTreesTabCaption)
        tabs.item(newEntry + 1).setCaption(layout::AllTreesTabCaption);
}

constexpr int ScrollSmallChange = 100;
constexpr int ScrollLargeChange = 500;
// Rows of boxes (generation steps) one wheel notch scrolls.
constexpr double WheelRows = 3;

} // namespace

FormsChartView::FormsChartView(const ChartViewControls& controls) : m_controls(controls)
{
    // The wheel over the chart moves the bars as their arrows would.
    for (forms::ScrollBar* bar : {m_controls.HScroll1, m_controls.VScroll1}) {
        if (bar)
            bar->setWheelArea(m_controls.Picture2);
    }
}

FormsChartView::~FormsChartView()
{
    if (&layout::chartView() == this)
        layout::setChartView(nullptr);
}

// --- Tabs ---

int FormsChartView::tabCount() const
{
    return m_controls.TabStrip1 ? m_controls.TabStrip1->tabs().count() : 0;
}

int FormsChartView::selectedTab() const
{
    return m_controls.TabStrip1 ? m_controls.TabStrip1->selectedIndex() : 1;
}

void FormsChartView::removeTreeTabs(int count)
{
    forms::TabStrip* strip = m_controls.TabStrip1;
    if (!strip)
        return;
    // The permanent tabs stay whatever count says.
    const int removable = std::min(count, strip->tabs().count() - PermanentTabs);
    for (int i = 0; i < removable; ++i)
        strip->tabs().remove(1);
}

void FormsChartView::insertTreeTabs(const std::vector<std::string>& captions)
{
    forms::TabStrip* strip = m_controls.TabStrip1;
    if (!strip)
        return;
    forms::Tabs& tabs = strip->tabs();
    int index = 1;
    for (const std::string& caption : captions)
        tabs.add(index++, "", caption);
    settlePermanentTabs(tabs, static_cast<int>(captions.size()));
}

void FormsChartView::replaceTreeTabs(int count, const std::vector<std::string>& captions)
{
    forms::TabStrip* strip = m_controls.TabStrip1;
    if (!strip)
        return;
    forms::Tabs& tabs = strip->tabs();
    tabs.replace(1, std::max(std::min(count, tabs.count() - PermanentTabs), 0), captions);
    settlePermanentTabs(tabs, static_cast<int>(captions.size()));
}


void FormsChartView::selectTabQuietly(int index)
{
    forms::TabStrip* strip = m_controls.TabStrip1;
    if (!strip || index < 1 || index > strip->tabs().count() || index == strip->selectedIndex())
        return;
    if (m_controls.Tab_ClickSkip)
        *m_controls.Tab_ClickSkip = 1;
    strip->tabs().item(index).setSelected(true);
}

// --- Viewport and canvas ---

double FormsChartView::viewportWidth() const
{
    return m_controls.Picture2 ? m_controls.Picture2->width() : 0;
}

double FormsChartView::viewportHeight() const
{
    return m_controls.Picture2 ? m_controls.Picture2->height() : 0;
}

void FormsChartView::setCanvasVisible(bool visible)
{
    if (m_controls.Picture1)
        m_controls.Picture1->setVisible(visible);
}

void FormsChartView::setCanvasSize(double width, double height)
{
    if (!m_controls.Picture1)
        return;
    m_controls.Picture1->setWidth(width);
    m_controls.Picture1->setHeight(height);
}

void FormsChartView::moveCanvasTo(double left, double top)
{
    if (m_controls.Picture1)
        m_controls.Picture1->move(left, top);
}

// --- Scroll bars ---

forms::ScrollBar* FormsChartView::scrollBar(layout::ScrollAxis axis) const
{
    return axis == layout::ScrollAxis::Horizontal ? m_controls.HScroll1 : m_controls.VScroll1;
}

void FormsChartView::enableScrollBars()
{
    for (forms::ScrollBar* bar : {m_controls.HScroll1, m_controls.VScroll1}) {
        if (bar)
            bar->setEnabled(true);
    }
}

int FormsChartView::scrollValue(layout::ScrollAxis axis) const
{
    const forms::ScrollBar* bar = scrollBar(axis);
    return bar ? bar->value() : 0;
}

void FormsChartView::setScrollValue(layout::ScrollAxis axis, int value)
{
    forms::ScrollBar* bar = scrollBar(axis);
    if (!bar)
        return;
    // Within the bar's range whatever Min and Max the window was designed with.
    const int low = std::min(bar->min(), bar->max());
    const int high = std::max(bar->min(), bar->max());
    bar->setValue(std::clamp(value, low, high));
}

void FormsChartView::hideScrollBar(layout::ScrollAxis axis)
{
    if (forms::ScrollBar* bar = scrollBar(axis))
        bar->setVisible(false);
}

void FormsChartView::showScrollBar(layout::ScrollAxis axis, int max)
{
    forms::ScrollBar* bar = scrollBar(axis);
    if (!bar)
        return;
    bar->setVisible(true);
    bar->setMin(0);
    bar->setMax(max);
    bar->setSmallChange(ScrollSmallChange);
    bar->setLargeChange(ScrollLargeChange);
    // A wheel notch scrolls about three rows of boxes, whatever the zoom.
    const layout::ChartState& c = layout::chart();
    const double scale = axis == layout::ScrollAxis::Horizontal ? c.Scroll_ScaleX : c.Scroll_ScaleY;
    const double rows = WheelRows * c.gen_step / (scale > 0 ? scale : 1.0);
    bar->setWheelStep(static_cast<int>(std::clamp(rows, 1.0, 32767.0)));
}

void FormsChartView::scrollChanged(layout::ScrollAxis axis)
{
    const forms::ScrollBar* bar = scrollBar(axis);
    forms::ChartCanvas* canvas = m_controls.Picture1;
    if (!bar || !canvas)
        return;
    const layout::ChartState& c = layout::chart();
    if (axis == layout::ScrollAxis::Horizontal)
        canvas->setLeft(-c.Scroll_ScaleX * bar->value());
    else
        canvas->setTop(-c.Scroll_ScaleY * bar->value());
}

// --- Other controls ---

void FormsChartView::enableChartCommands()
{
    if (m_controls.Text1)
        m_controls.Text1->setEnabled(true);
    if (m_controls.fullScreenButton)
        m_controls.fullScreenButton->setEnabled(true);
}

void FormsChartView::hideSelectionFrame()
{
    if (m_controls.lblFocus && m_controls.lblFocus->isVisible())
        m_controls.lblFocus->setVisible(false);
}

void FormsChartView::raiseRelationEditor()
{
    forms::Form* editor = forms::findForm("ctrl");
    if (editor && editor->isLoaded())
        editor->zOrder(0);
}

// --- Full-screen view ---

double FormsChartView::windowWidth() const
{
    return m_controls.window ? m_controls.window->scaleWidth() : 0;
}

double FormsChartView::windowHeight() const
{
    return m_controls.window ? m_controls.window->scaleHeight() : 0;
}

namespace {

ControlPlace placeOf(const forms::Control& control)
{
    return {control.left(), control.top(), control.width(), control.height()};
}

ScrollPlace scrollPlaceOf(const forms::ScrollBar& bar)
{
    return {placeOf(bar), bar.max(), bar.value()};
}

void restoreScrollPlace(forms::ScrollBar& bar, const ScrollPlace& saved)
{
    bar.move(saved.place.left, saved.place.top, saved.place.width, saved.place.height);
    bar.setMax(std::max(saved.max, bar.min()));
    bar.setValue(std::clamp(saved.value, bar.min(), bar.max()));
}

} // namespace

void FormsChartView::beginFullScreen()
{
    if (m_controls.Fullscreen_Flag && *m_controls.Fullscreen_Flag == 1)
        return;
    forms::Form* window = m_controls.window;
    forms::Frame* frame = m_controls.Frame2;
    forms::PictureBox* viewport = m_controls.Picture2;
    forms::ChartCanvas* canvas = m_controls.Picture1;
    m_saved = FullscreenSave{};
    if (frame) {
        m_saved.frameTop = frame->top();
        m_saved.frameLeft = frame->left();
        m_saved.frameHeight = frame->height();
        m_saved.frameWidth = frame->width();
    }
    if (canvas) {
        m_saved.canvasWidth = canvas->width();
        m_saved.canvasHeight = canvas->height();
    }
    if (viewport) {
        m_saved.viewportWidth = viewport->width();
        m_saved.viewportHeight = viewport->height();
    }
    if (m_controls.HScroll1)
        m_saved.hscroll = scrollPlaceOf(*m_controls.HScroll1);
    if (m_controls.VScroll1)
        m_saved.vscroll = scrollPlaceOf(*m_controls.VScroll1);
    // Set first: the resizes below belong to the full-screen view.
    if (m_controls.Fullscreen_Flag)
        *m_controls.Fullscreen_Flag = 1;
    if (window)
        window->setFullScreen(true);
    for (forms::Menu* menu : m_controls.menus) {
        if (menu)
            menu->setVisible(false);
    }
}

void FormsChartView::layFullScreenViewport(double chartWidth, double chartHeight)
{
    forms::ScrollBar* across = m_controls.HScroll1;
    forms::ScrollBar* down = m_controls.VScroll1;
    const double width = windowWidth();
    const double height = windowHeight();
    const double barHeight = across ? m_saved.hscroll.place.height : 0;
    const double barWidth = down ? m_saved.vscroll.place.width : 0;
    // A bar along one axis takes room from the other one.
    bool scrollsAcross = across && chartWidth > width;
    bool scrollsDown = down && chartHeight > height;
    scrollsDown = scrollsDown || (down && scrollsAcross && chartHeight > height - barHeight);
    scrollsAcross = scrollsAcross || (across && scrollsDown && chartWidth > width - barWidth);
    const double viewWidth = std::max(0.0, width - (scrollsDown ? barWidth : 0));
    const double viewHeight = std::max(0.0, height - (scrollsAcross ? barHeight : 0));
    if (m_controls.Frame2)
        m_controls.Frame2->move(0, 0, width, height);
    if (m_controls.Picture2)
        m_controls.Picture2->move(0, 0, viewWidth, viewHeight);
    if (across) {
        across->move(0, viewHeight, viewWidth, barHeight);
        across->zOrder(0);
    }
    if (down) {
        down->move(viewWidth, 0, barWidth, viewHeight);
        down->zOrder(0);
    }
}

void FormsChartView::endFullScreen()
{
    // Cleared first: the resizes below are the window's own again.
    if (m_controls.Fullscreen_Flag)
        *m_controls.Fullscreen_Flag = 0;
    if (forms::Frame* frame = m_controls.Frame2)
        frame->move(m_saved.frameLeft, m_saved.frameTop, m_saved.frameWidth, m_saved.frameHeight);
    if (forms::PictureBox* viewport = m_controls.Picture2)
        viewport->move(0, 0, m_saved.viewportWidth, m_saved.viewportHeight);
    if (forms::ChartCanvas* canvas = m_controls.Picture1)
        canvas->move(0, 0, m_saved.canvasWidth, m_saved.canvasHeight);
    for (forms::Menu* menu : m_controls.menus) {
        if (menu)
            menu->setVisible(true);
    }
    if (forms::Form* window = m_controls.window)
        window->setFullScreen(false);
    // Last: the window's resizes above fit the canvas to the full-screen chart.
    if (m_controls.HScroll1)
        restoreScrollPlace(*m_controls.HScroll1, m_saved.hscroll);
    if (m_controls.VScroll1)
        restoreScrollPlace(*m_controls.VScroll1, m_saved.vscroll);
}

bool FormsChartView::scrollByNotches(layout::ScrollAxis axis, int notches)
{
    forms::ScrollBar* bar = scrollBar(axis);
    if (!bar || !bar->isVisible() || !bar->isEnabled())
        return false;
    bar->turnWheel(-notches);
    return true;
}

} // namespace drawing
