#pragma once
// The layout's view of the main window's chart: the chart-control arrays on the
// chart canvas and the zoom box. The main window creates one over its arrays and
// installs it with layout::setChartElements.
//
//     drawing::CanvasChartElements chart{{Label11, Label12, Label13, Line1, Line7, Image1, DPic}, &Text1};
//     layout::setChartElements(&chart);

#include "forms/ChartCanvas.h"
#include "layout/ChartElements.h"

#include <string>

namespace forms {
class TextBox;
}

namespace drawing {

// The chart-control arrays, each under the name the layout gives it.
struct ChartElementArrays {
    forms::ElementArrayBase& Label11;   // couple marks
    forms::ElementArrayBase& Label12;   // name labels, paired with DPic
    forms::ElementArrayBase& Label13;   // captions
    forms::ElementArrayBase& Line1;
    forms::ElementArrayBase& Line7;     // dotted lines
    forms::ElementArrayBase& Image1;    // face icons
    forms::ElementArrayBase& DPic;      // person-box pictures
};

class CanvasChartElements : public layout::ChartElements {
public:
    // zoomBox may be null: the zoom percent is then shown nowhere.
    explicit CanvasChartElements(const ChartElementArrays& arrays, forms::TextBox* zoomBox = nullptr);
    // Uninstalls itself when it is still the installed chart elements.
    ~CanvasChartElements() override;
    CanvasChartElements(const CanvasChartElements&) = delete;
    CanvasChartElements& operator=(const CanvasChartElements&) = delete;

    // Unloads the loaded elements first..last in one call; indexes that are not
    // loaded are passed over. A design-time element in the range raises 362.
    void unloadElements(layout::ChartArray array, int first, int last) override;
    void setZoomBoxText(const std::string& text) override;

    forms::ElementArrayBase& arrayOf(layout::ChartArray array) const;

private:
    ChartElementArrays m_arrays;
    forms::TextBox* m_zoomBox;
};

} // namespace drawing
