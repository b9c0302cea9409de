// A picture box with a border: its drawing, its mouse X and Y and the controls
// it contains all measure from the client area inside the border, so a control
// placed at Left 0 sits where the drawing at X 0 shows, and a press there reads
// X 0. The same holds for a bordered person-box picture on the chart canvas.

#include "forms/ChartCanvas.h"
#include "forms/Colors.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/LineControl.h"
#include "forms/PictureBox.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr long Black = 0x000000;
constexpr long White = 0xFFFFFF;

std::string mouseEntry(const char* name, int button, double x, double y)
{
    return std::string(name) + " " + std::to_string(button) + " " + std::to_string(static_cast<int>(x)) + ","
           + std::to_string(static_cast<int>(y));
}

class BoxForm : public forms::Form {
public:
    BoxForm() : Form("clientTest")
    {
        Picture1.onMouseDown = [this](int button, int, double x, double y) {
            log.push_back(mouseEntry("MouseDown", button, x, y));
        };
        Picture1.onMouseUp = [this](int button, int, double x, double y) {
            log.push_back(mouseEntry("MouseUp", button, x, y));
        };
        DPic.onMouseDown = [this](int index, int button, int, double x, double y) {
            log.push_back(mouseEntry(("DPic(" + std::to_string(index) + ")").c_str(), button, x, y));
        };
    }

    forms::PictureBox Picture1{*this, "Picture1"};
    forms::CommandButton Command1{Picture1, "Command1"};
    forms::LineControl Line1{Picture1, "Line1"};
    forms::ChartCanvas Picture2{*this, "Picture2"};
    forms::ElementArray<forms::CanvasPicture> DPic{Picture2, "DPic", {0}};
    std::vector<std::string> log;

protected:
    void design() override
    {
        move(0, 0, 9000, 7000);
        // 200 x 120 pixels; the border is left at its default (fixed single).
        Picture1.move(600, 600, 3000, 1800);
        Picture1.setBackColor(White);
        Command1.move(300, 150, 900, 450);
        Line1.setX1(0);
        Line1.setY1(0);
        Line1.setX2(600);
        Line1.setY2(0);
        Line1.setBorderColor(Black);
        Picture2.move(0, 3000, 6000, 3000);
        Picture2.setBorderStyle(0);
        Picture2.setBackColor(White);
        DPic[0].setVisible(false);
    }
};

struct BorderCase {
    const char* name;
    int borderStyle;
    int inset;   // pixels between the outer corner and the client area
};

void PrintTo(const BorderCase& c, std::ostream* out) { *out << c.name; }

class BorderedClient : public ::testing::TestWithParam<BorderCase> {
protected:
    void SetUp() override
    {
        form.show();
        form.Picture1.setBorderStyle(GetParam().borderStyle);
        form.Picture1.cls();
    }

    // The picture box as it is painted, children included (widget pixels).
    QImage grabbed() const { return form.Picture1.widget()->grab().toImage(); }

    void press(QWidget* widget, QPoint at)
    {
        QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
        QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
    }

    BoxForm form;
};

TEST_P(BorderedClient, ScaleSizeIsTheClientArea)
{
    const int inset = GetParam().inset;
    EXPECT_DOUBLE_EQ(form.Picture1.scaleWidth(), (200 - 2 * inset) * 15.0);
    EXPECT_DOUBLE_EQ(form.Picture1.scaleHeight(), (120 - 2 * inset) * 15.0);
}

// Switching the border at run time moves the contained controls with the
// client area; their Left and Top read back unchanged.
TEST_P(BorderedClient, ContainedControlsArePlacedInTheClientArea)
{
    const int inset = GetParam().inset;
    EXPECT_EQ(form.Command1.widget()->pos(), QPoint(20 + inset, 10 + inset));
    EXPECT_DOUBLE_EQ(form.Command1.left(), 300);
    EXPECT_DOUBLE_EQ(form.Command1.top(), 150);
    form.Command1.move(0, 0);
    EXPECT_EQ(form.Command1.widget()->pos(), QPoint(inset, inset));
}

// A Line control at Y 0 lies on the same pixel row as a line drawn at Y 0.
TEST_P(BorderedClient, LineControlsAndDrawingShareTheOrigin)
{
    const int inset = GetParam().inset;
    form.Command1.setVisible(false);
    form.Picture1.line(0, 600, 600, 600, Black);   // drawn 40 pixels below the Line control
    const QImage image = grabbed();
    auto isBlack = [&](int x, int y) { return image.pixelColor(x, y) == QColor(Qt::black); };
    for (int x = inset; x < inset + 40; ++x) {
        EXPECT_TRUE(isBlack(x, inset)) << "Line control at pixel " << x;
        EXPECT_TRUE(isBlack(x, inset + 40)) << "drawn line at pixel " << x;
    }
    EXPECT_FALSE(isBlack(inset + 10, inset + 1));
    EXPECT_FALSE(isBlack(inset + 10, inset + 39));
    if (inset > 0) {
        EXPECT_FALSE(isBlack(inset + 10, inset - 1)) << "nothing of the Line control on the border";
    }
}

TEST_P(BorderedClient, MouseCoordinatesAreClientTwips)
{
    const int inset = GetParam().inset;
    press(form.Picture1.widget(), QPoint(inset + 10, inset + 20));
    EXPECT_EQ(form.log, (std::vector<std::string>{"MouseDown 1 150,300", "MouseUp 1 150,300"}));
}

// A bordered person-box picture on the chart canvas gives its mouse X and Y
// from its client corner too.
TEST_P(BorderedClient, CanvasPictureMouseCoordinatesAreClientTwips)
{
    const int inset = GetParam().inset;
    form.DPic.load(2);
    forms::CanvasPicture& box = form.DPic[2];
    box.setBorderStyle(GetParam().borderStyle);
    box.move(1500, 1500, 900, 600);
    box.setVisible(true);
    EXPECT_DOUBLE_EQ(box.scaleWidth(), (60 - 2 * inset) * 15.0);
    press(form.Picture2.widget(), QPoint(100 + inset + 4, 100 + inset + 6));
    EXPECT_EQ(form.log, (std::vector<std::string>{"DPic(2) 1 60,90"}));
}

INSTANTIATE_TEST_SUITE_P(Borders, BorderedClient,
                         ::testing::Values(BorderCase{"fixed_single", 1, 2}, BorderCase{"none", 0, 0}),
                         [](const ::testing::TestParamInfo<BorderCase>& info) { return std::string(info.param.name); });

} // namespace
