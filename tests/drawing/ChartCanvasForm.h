#pragma once
// A window laid out like the main window's chart: the canvas with the chart's
// element arrays (elements 0 and 1 exist from the start, hidden), lblFocus and
// the zoom box, with the design-time person-box pictures borderless and white
// so that a rendered box shows exactly what the renderer drew.

#include "forms/ChartCanvas.h"
#include "forms/Colors.h"
#include "forms/Form.h"
#include "forms/ImageSurface.h"
#include "forms/TextBox.h"

#include <memory>
#include <vector>

namespace drawing_test {

class ChartCanvasForm : public forms::Form {
public:
    ChartCanvasForm() : Form("chartCanvasTest") {}

    forms::ChartCanvas Picture1{*this, "Picture1"};
    forms::ElementArray<forms::CanvasLabel> Label11{Picture1, "Label11", {0, 1}};
    forms::ElementArray<forms::CanvasLabel> Label12{Picture1, "Label12", {0, 1}};
    forms::ElementArray<forms::CanvasLabel> Label13{Picture1, "Label13", {0, 1}};
    forms::ElementArray<forms::CanvasLine> Line1{Picture1, "Line1", {0, 1}};
    forms::ElementArray<forms::CanvasLine> Line7{Picture1, "Line7", {0, 1}};
    forms::ElementArray<forms::CanvasImage> Image1{Picture1, "Image1", {0, 1}};
    forms::ElementArray<forms::CanvasPicture> DPic{Picture1, "DPic", {0, 1}};
    forms::CanvasLabel lblFocus{Picture1, "lblFocus"};
    forms::TextBox Text1{*this, "Text1"};

    std::vector<forms::ElementArrayBase*> chartArrays()
    {
        return {&Label11, &Label12, &Label13, &Line1, &Line7, &Image1, &DPic};
    }

    // The canvas pixels of a rectangle (canvas pixels), as shown on screen.
    forms::ImageSurface& rendered(const forms::PixelRect& area)
    {
        m_rendered = std::make_unique<forms::ImageSurface>(area.right - area.left, area.bottom - area.top);
        m_rendered->paintPicture(Picture1.renderArea(area), 0, 0);
        return *m_rendered;
    }

protected:
    void design() override
    {
        move(0, 0, 15000, 10000);
        Picture1.move(0, 0, 12000, 8000);
        Picture1.setBorderStyle(0);
        Picture1.setBackColor(forms::RGB(255, 255, 255));
        for (forms::ElementArrayBase* array : chartArrays()) {
            for (int i : {0, 1})
                array->elementAt(i).setVisible(false);
        }
        for (int i : {0, 1}) {
            DPic[i].setBorderStyle(0);
            DPic[i].setBackColor(forms::RGB(255, 255, 255));
        }
        lblFocus.setVisible(false);
        Text1.move(12500, 0, 1000, 300);
    }

private:
    std::unique_ptr<forms::ImageSurface> m_rendered;
};

} // namespace drawing_test
