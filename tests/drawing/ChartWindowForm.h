#pragma once
// A window laid out like the main window around its chart: the frame Frame2 with
// the viewport Picture2 holding the chart canvas Picture1 (with the chart's element
// arrays, elements 0 and 1 hidden), the scroll bars below and to the right, the
// family-tree tabs above with their two permanent tabs, the zoom box, the selection
// frame and the four menus, at the main window's design-time places and sizes.
//
// Its tab handler behaves as the main window's does with Tab_ClickSkip: a click
// raised while the flag is 1 only clears it; any other click is counted as the
// user's and handed to onUserTabClick.

#include "forms/ChartCanvas.h"
#include "forms/Colors.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Menu.h"
#include "forms/ScrollBar.h"
#include "forms/TabStrip.h"
#include "forms/TextBox.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace drawing_test {

class ChartWindowForm : public forms::Form {
public:
    ChartWindowForm() : Form("chartWindowTest")
    {
        TabStrip1.onClick = [this] { TabStrip1_Click(); };
    }

    forms::Menu filemenu{*this, "filemenu"};
    forms::Menu scrmenu{*this, "scrmenu"};
    forms::Menu setmenu{*this, "setmenu"};
    forms::Menu helpmenu{*this, "helpmenu"};
    forms::TabStrip TabStrip1{*this, "TabStrip1"};
    forms::Frame Frame2{*this, "Frame2"};
    forms::PictureBox Picture2{Frame2, "Picture2"};
    forms::ChartCanvas Picture1{Picture2, "Picture1"};
    forms::ElementArray<forms::CanvasLabel> Label11{Picture1, "Label11", {0, 1}};
    forms::ElementArray<forms::CanvasLabel> Label12{Picture1, "Label12", {0, 1}};
    forms::ElementArray<forms::CanvasLabel> Label13{Picture1, "Label13", {0, 1}};
    forms::ElementArray<forms::CanvasLine> Line1{Picture1, "Line1", {0, 1}};
    forms::ElementArray<forms::CanvasLine> Line7{Picture1, "Line7", {0, 1}};
    forms::ElementArray<forms::CanvasImage> Image1{Picture1, "Image1", {0, 1}};
    forms::ElementArray<forms::CanvasPicture> DPic{Picture1, "DPic", {0, 1}};
    forms::CanvasLabel lblFocus{Picture1, "lblFocus"};
    forms::HScrollBar HScroll1{*this, "HScroll1"};
    forms::VScrollBar VScroll1{*this, "VScroll1"};
    forms::TextBox Text1{*this, "Text1"};

    int16_t Tab_ClickSkip = 0;
    int16_t Fullscreen_Flag = 0;
    int skippedClicks = 0;
    int userClicks = 0;
    std::function<void()> onUserTabClick;

    std::vector<forms::ElementArrayBase*> chartArrays()
    {
        return {&Label11, &Label12, &Label13, &Line1, &Line7, &Image1, &DPic};
    }

protected:
    void design() override
    {
        move(0, 0, 12300, 8100);
        filemenu.setCaption("ファイル");
        scrmenu.setCaption("表示");
        setmenu.setCaption("設定");
        helpmenu.setCaption("ヘルプ");
        TabStrip1.move(45, 675, 11580, 300);
        TabStrip1.tabs().add(0, "", "");
        TabStrip1.tabs().add(0, "", "全グループ表示");
        Frame2.move(0, 960, 11550, 6180);
        Frame2.setBorderStyle(0);
        Picture2.move(0, 0, 11580, 6195);
        Picture2.setBorderStyle(0);
        Picture1.move(0, 0, 11520, 6135);
        Picture1.setBorderStyle(0);
        Picture1.setBackColor(forms::RGB(255, 255, 255));
        for (forms::ElementArrayBase* array : chartArrays()) {
            for (int i : {0, 1})
                array->elementAt(i).setVisible(false);
        }
        lblFocus.setVisible(false);
        HScroll1.move(0, 7170, 11550, 255);
        VScroll1.move(11610, 975, 255, 6150);
        Text1.move(45, 240, 700, 300);
        Text1.setEnabled(false);
    }

private:
    void TabStrip1_Click()
    {
        if (Tab_ClickSkip == 1) {
            Tab_ClickSkip = 0;
            ++skippedClicks;
            return;
        }
        ++userClicks;
        if (onUserTabClick)
            onUserTabClick();
    }
};

} // namespace drawing_test
