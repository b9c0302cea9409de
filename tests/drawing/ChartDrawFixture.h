#pragma once
// Shared set-up of the chart drawing tests: an empty family laid out at 100 % zoom in
// horizontal writing, a window with the main window's chart canvas and its
// chart-control arrays, and the canvas installed as every output the drawing and the
// layout reach (screen controls, person-box pictures, the unload of Unload_ChartCtl).
// The drawing state is fresh for every test and put back afterwards.

#include "ChartCanvasForm.h"
#include "DrawingFixture.h"
#include "LayoutFamilies.h"

#include "drawing/CanvasChartControls.h"
#include "drawing/CanvasChartElements.h"
#include "drawing/CanvasPersonBoxes.h"
#include "drawing/ChartOutputs.h"
#include "drawing/Draw_Keizu.h"
#include "drawing/PersonBox.h"
#include "drawing/draw_state.h"
#include "layout/ChartMetrics.h"
#include "layout/chart_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace drawing_test {

using Element = forms::ChartCanvas::ElementInfo;

class ChartDrawFixture : public DrawingFixture {
protected:
    static constexpr int16_t Male = layouttest::FamilyBuilder::Male;
    static constexpr int16_t Female = layouttest::FamilyBuilder::Female;

    void SetUp() override
    {
        DrawingFixture::SetUp();
        layouttest::resetAll();
        drawing::drawState() = drawing::DrawState{};
        form.show();
        elements = std::make_unique<drawing::CanvasChartElements>(
            drawing::ChartElementArrays{form.Label11, form.Label12, form.Label13, form.Line1, form.Line7,
                                        form.Image1, form.DPic},
            &form.Text1);
        layout::setChartElements(elements.get());
        boxes = std::make_unique<drawing::CanvasPersonBoxes>(form.DPic);
        drawing::setPersonBoxPictures(boxes.get());
        controls = std::make_unique<drawing::CanvasChartControls>(drawing::ChartControlArrays{
            form.Label11, form.Label12, form.Label13, form.Line1, form.Line7, form.Image1, form.DPic});
        drawing::setChartControls(controls.get());
    }

    void TearDown() override
    {
        drawing::setExportCanvas(nullptr);
        controls.reset();
        boxes.reset();
        elements.reset();
        drawing::drawState() = drawing::DrawState{};
        DrawingFixture::TearDown();
    }

    static const layout::ChartState& metrics() { return layout::chart(); }
    static drawing::DrawState& draw() { return drawing::drawState(); }

    // One pass of the walk over a tree, on whichever output the flags choose.
    static void drawPass(int16_t tree, double x, double y, int16_t pass)
    {
        draw().Draw_Enable = pass;
        drawing::Draw_Keizu(tree, x, y);
    }

    // The chart on screen as the single-tree view draws it: the elements emptied, a
    // measuring pass, emptied again, then the drawing pass at (x, y).
    static void showTree(int16_t tree, double x, double y)
    {
        layout::Unload_ChartCtl();
        drawPass(tree, x, y, drawing::MeasuringPass);
        layout::Unload_ChartCtl();
        drawPass(tree, x, y, drawing::DrawingPass);
    }

    // The drawing pass recorded into fresh drawing lists.
    static void recordTree(int16_t tree, double x, double y)
    {
        drawing::resetDrawingLists();
        draw().Draw_ToBuf = -1;
        drawPass(tree, x, y, drawing::DrawingPass);
        draw().Draw_ToBuf = 0;
    }

    // The visible elements of one array, by index.
    std::vector<Element> shown(const std::string& array) const
    {
        std::vector<Element> result;
        for (const Element& e : form.Picture1.inspectElements()) {
            if (e.name == array && e.visible)
                result.push_back(e);
        }
        return result;
    }

    // Every loaded element of the chart arrays above the design-time ones.
    std::size_t placedElements() const
    {
        std::size_t count = 0;
        for (const Element& e : form.Picture1.inspectElements()) {
            if (e.index >= 2)
                ++count;
        }
        return count;
    }

    // The person a name-box element stands for.
    static int16_t personOf(const Element& box) { return draw().Label12_Per.at(static_cast<size_t>(box.index)); }

    ChartCanvasForm form;
    layouttest::FamilyBuilder family;
    std::unique_ptr<drawing::CanvasChartElements> elements;
    std::unique_ptr<drawing::CanvasPersonBoxes> boxes;
    std::unique_ptr<drawing::CanvasChartControls> controls;
};

} // namespace drawing_test
