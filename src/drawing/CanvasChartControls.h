#pragma once
// The element placers' screen output on the chart canvas: the main window's
// chart-control arrays as the placers load and set them. The main window creates one
// over its arrays and installs it with setChartControls (next to CanvasPersonBoxes
// for Put_PersonBox and CanvasChartElements for Unload_ChartCtl).
//
//     drawing::CanvasChartControls controls{{Label11, Label12, Label13, Line1, Line7, Image1, DPic}, &Picture2};
//     drawing::setChartControls(&controls);
//
// Besides the properties the placers name, each element gets the look the chart
// needs whatever the design-time elements hold: lines black (Line1 solid, Line7
// dotted), couple marks opaque without a border, captions transparent in black.
// An element that is still loaded (a placer called without the unload that precedes
// every redraw) is reused rather than loaded twice.

#include "drawing/ChartOutputs.h"
#include "forms/ChartCanvas.h"

namespace forms {
class Control;
}

namespace drawing {

struct ChartControlArrays {
    forms::ElementArray<forms::CanvasLabel>& Label11;   // couple marks
    forms::ElementArray<forms::CanvasLabel>& Label12;   // name labels, paired with DPic
    forms::ElementArray<forms::CanvasLabel>& Label13;   // captions
    forms::ElementArray<forms::CanvasLine>& Line1;      // solid lines
    forms::ElementArray<forms::CanvasLine>& Line7;      // dotted lines
    forms::ElementArray<forms::CanvasImage>& Image1;    // face icons
    forms::ElementArray<forms::CanvasPicture>& DPic;    // person-box pictures
};

class CanvasChartControls : public ChartControls {
public:
    // viewport: the picture box the canvas is shown in; null takes the canvas's own width.
    explicit CanvasChartControls(const ChartControlArrays& arrays, const forms::Control* viewport = nullptr);
    // Uninstalls itself when it is still the installed chart controls.
    ~CanvasChartControls() override;
    CanvasChartControls(const CanvasChartControls&) = delete;
    CanvasChartControls& operator=(const CanvasChartControls&) = delete;

    void placeLine(LineArray array, int index, double x1, double y1, double x2, double y2) override;
    void placeFaceIcon(int index, double left, double top, double width, double height,
                       const std::string& pictureFile) override;
    void placeCoupleMark(int index, long colour, double left, double top, double width, double height) override;
    void settleNameBox(int index, int dropMode, const std::string& tag) override;
    void placeCaption(int index, double left, double top, double width, double height, double fontSize,
                      const std::string& caption, const std::string& fontName) override;
    double viewportWidth() const override;

private:
    ChartControlArrays m_arrays;
    const forms::Control* m_viewport;
};

} // namespace drawing
