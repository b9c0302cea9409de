// The chart canvas and its light elements, the picture box, Image and Line:
// what they paint (pixels at known twips), which element the mouse reaches,
// the order of the events, and that no event reaches an element that a
// handler unloaded or reloaded.

#include "forms/ChartCanvas.h"
#include "forms/Colors.h"
#include "forms/Form.h"
#include "forms/Image.h"
#include "forms/ImageSurface.h"
#include "forms/LineControl.h"
#include "forms/PictureBox.h"

#include "platform/Errors.h"

#include <QApplication>
#include <QImage>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

using forms::CanvasImage;
using forms::CanvasLabel;
using forms::CanvasLine;
using forms::CanvasPicture;
using forms::ElementArray;
using forms::ElementKind;
using forms::RGB;

namespace {

constexpr long White = 0xFFFFFF;
constexpr long Red = 0x0000FF;
constexpr long Blue = 0xFF0000;
constexpr long Green = 0x00FF00;
constexpr long Grey = 0xC0C0C0;

// A window laid out like the main window's chart: the canvas with the chart's
// element arrays (elements 0 and 1 exist from the start) and lblFocus.
class ChartForm : public forms::Form {
public:
    ChartForm() : Form("chartTest")
    {
        Picture1.onClick = [this] { log.push_back("Picture1_Click"); };
        auto record = [this](const std::string& name) {
            return [this, name](int index) { log.push_back(name + "(" + std::to_string(index) + ")"); };
        };
        auto recordMouse = [this](const std::string& name) {
            return [this, name](int index, int button, int shift, double x, double y) {
                log.push_back(name + "(" + std::to_string(index) + "," + std::to_string(button) + ","
                              + std::to_string(shift) + "," + std::to_string(static_cast<int>(x)) + ","
                              + std::to_string(static_cast<int>(y)) + ")");
            };
        };
        for (auto* array : {static_cast<forms::ElementArrayBase*>(&DPic), static_cast<forms::ElementArrayBase*>(&Label11),
                            static_cast<forms::ElementArrayBase*>(&Image1)}) {
            array->onClick = record(array->name() + "_Click");
            array->onDblClick = record(array->name() + "_DblClick");
            array->onMouseDown = recordMouse(array->name() + "_MouseDown");
            array->onMouseUp = recordMouse(array->name() + "_MouseUp");
        }
    }

    forms::ChartCanvas Picture1{*this, "Picture1"};
    ElementArray<CanvasLabel> Label11{Picture1, "Label11", {0, 1}};
    ElementArray<CanvasLabel> Label12{Picture1, "Label12", {0, 1}};
    ElementArray<CanvasLabel> Label13{Picture1, "Label13", {0, 1}};
    ElementArray<CanvasLine> Line1{Picture1, "Line1", {0, 1}};
    ElementArray<CanvasLine> Line7{Picture1, "Line7", {0, 1}};
    ElementArray<CanvasImage> Image1{Picture1, "Image1", {0, 1}};
    ElementArray<CanvasPicture> DPic{Picture1, "DPic", {0, 1}};
    CanvasLabel lblFocus{Picture1, "lblFocus"};
    std::vector<std::string> log;

protected:
    void design() override
    {
        move(0, 0, 12000, 9000);
        Picture1.move(0, 0, 9000, 6000);
        Picture1.setBorderStyle(0);
        Picture1.setBackColor(White);
        for (auto* array : std::initializer_list<forms::ElementArrayBase*>{&Label11, &Label12, &Label13, &Line1,
                                                                           &Line7, &Image1, &DPic}) {
            for (int i : {0, 1})
                array->elementAt(i).setVisible(false);
        }
        Line7[0].setBorderStyle(3);
        Line7[1].setBorderStyle(3);
        for (int i : {0, 1}) {
            DPic[i].setBorderStyle(0);
            DPic[i].setBackColor(White);
            Label11[i].setOleDropMode(1);
        }
        lblFocus.setVisible(false);
        lblFocus.setBackColor(Blue);
    }
};

class Canvas : public ::testing::Test {
protected:
    void SetUp() override { form.show(); }

    QWidget* canvasWidget() const { return form.Picture1.widget(); }

    long pixel(double xTwips, double yTwips) const
    {
        const int x = static_cast<int>(xTwips / 15), y = static_cast<int>(yTwips / 15);
        forms::ImageSurface probe(1, 1);
        probe.paintPicture(form.Picture1.renderArea(forms::PixelRect{x, y, x + 1, y + 1}), 0, 0);
        return probe.point(0, 0);
    }

    void mouse(QEvent::Type type, double xTwips, double yTwips, Qt::MouseButton button = Qt::LeftButton,
               Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* widget = canvasWidget();
        ASSERT_NE(widget, nullptr);
        const QPointF local(xTwips / 15, yTwips / 15);
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
        QMouseEvent event(type, local, widget->mapToGlobal(local), button, held, modifiers);
        QApplication::sendEvent(widget, &event);
    }
    void click(double x, double y, Qt::MouseButton button = Qt::LeftButton)
    {
        mouse(QEvent::MouseButtonPress, x, y, button);
        mouse(QEvent::MouseButtonRelease, x, y, button);
    }
    void doubleClick(double x, double y)
    {
        click(x, y);
        mouse(QEvent::MouseButtonDblClick, x, y);
        mouse(QEvent::MouseButtonRelease, x, y);
    }

    // A person box as the chart places it: loaded, drawn into, moved, shown.
    CanvasPicture& placeBox(int index, double left, double top, long colour)
    {
        form.DPic.load(index);
        CanvasPicture& box = form.DPic[index];
        box.move(left, top, 900, 450);
        box.cls();
        box.line(0, 0, box.scaleWidth() - 15, box.scaleHeight() - 15, colour, forms::LineShape::FilledBox);
        box.setVisible(true);
        return box;
    }
    CanvasLabel& placeMark(int index, double left, double top, long colour)
    {
        form.Label11.load(index);
        CanvasLabel& mark = form.Label11[index];
        mark.setBackColor(colour);
        mark.move(left, top, 300, 150);
        mark.setVisible(true);
        return mark;
    }

    ChartForm form;
};

int errorNumberOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const platform::RuntimeError& e) {
        return e.number;
    }
    return 0;
}

} // namespace

// ---------------------------------------------------------------------------
// The control-array API of element arrays

TEST_F(Canvas, LoadCopiesTheLowestElementHiddenAndUnloadFollowsTheArrayRules)
{
    form.Label13[0].setFontSize(14);
    form.Label13[0].setCaption("design");
    form.Label13[0].setVisible(true);
    form.Label13.load(5);
    EXPECT_EQ(form.Label13[5].caption(), "design");
    EXPECT_EQ(form.Label13[5].fontSize(), 14);
    EXPECT_FALSE(form.Label13[5].isVisible());
    EXPECT_EQ(form.Label13.uBound(), 5);
    EXPECT_FALSE(form.Label13.exists(4));

    EXPECT_EQ(errorNumberOf([&] { form.Label13.load(5); }), 360);
    EXPECT_EQ(errorNumberOf([&] { form.Label13.unload(4); }), 340);
    EXPECT_EQ(errorNumberOf([&] { form.Label13.unload(1); }), 362);
    EXPECT_EQ(errorNumberOf([&] { form.Label13[4].caption(); }), 340);
    form.Label13.unload(5);
    EXPECT_EQ(form.Label13.uBound(), 1);
}

TEST_F(Canvas, AReloadedIndexIsAFreshElementCopiedFromTheDesignOne)
{
    CanvasPicture& box = placeBox(2, 1500, 1500, Green);
    box.setTag("-1");
    box.setOleDropMode(1);
    box.setForeColor(Red);
    box.setFontSize(20);
    const uint64_t before = box.generation();
    form.DPic.unloadRange(2, 2);
    form.DPic.load(2);
    CanvasPicture& again = form.DPic[2];
    EXPECT_NE(again.generation(), before);
    EXPECT_EQ(again.tag(), "");
    EXPECT_EQ(again.oleDropMode(), 0);
    EXPECT_EQ(again.foreColor(), form.DPic[0].foreColor());
    EXPECT_EQ(again.fontSize(), form.DPic[0].fontSize());
    EXPECT_EQ(again.operationCount(), 0u) << "nothing of the old drawing";
    again.move(1500, 1500, 900, 450);
    again.setVisible(true);
    EXPECT_EQ(pixel(1600, 1600), White);
}

TEST_F(Canvas, BulkUnloadRemovesTheRunTimeElementsOrNothing)
{
    for (int i = 2; i <= 3000; ++i)
        placeMark(i, (i % 50) * 300.0, (i / 50) * 200.0, Red);
    EXPECT_EQ(form.Label11.uBound(), 3000);
    EXPECT_EQ(form.Picture1.elementCount(), 3000u - 1 + 8 * 2 - 2 + 1 + 2 - 2);

    EXPECT_EQ(errorNumberOf([&] { form.Label11.unloadRange(1, 3000); }), 362);
    EXPECT_EQ(form.Label11.count(), 3001) << "a refused bulk unload unloads nothing";

    form.Label11.unloadRange(2, 3000);
    EXPECT_EQ(form.Label11.uBound(), 1);
    EXPECT_EQ(form.Label11.count(), 2);
    EXPECT_EQ(form.Picture1.elementAt(2 * 300 + 10, 10), nullptr);
    EXPECT_EQ(pixel(2 * 300 + 10, 10), White) << "the unloaded marks are no longer painted";
    // The array takes new elements again at the freed indexes.
    placeMark(2, 0, 0, Blue);
    EXPECT_EQ(pixel(100, 100), Blue);
}

TEST_F(Canvas, InspectionListsLoadedElementsAsPlaced)
{
    form.Line1.load(2);
    CanvasLine& line = form.Line1[2];
    line.setX1(3000);
    line.setX2(1500);
    line.setY1(600);
    line.setY2(600);
    line.setVisible(true);
    CanvasLabel& mark = placeMark(2, 1200, 300, RGB(0, 0, 0x40));
    mark.setTag("1");
    form.Label12.load(2);

    std::vector<forms::ChartCanvas::ElementInfo> placed;
    for (const auto& info : form.Picture1.inspectElements()) {
        if (info.index >= 2)
            placed.push_back(info);
    }
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_EQ(placed[0].name, "Label11");
    EXPECT_EQ(placed[0].colour, 0x400000);
    EXPECT_EQ(placed[0].oleDropMode, 1) << "copied from the design element";
    EXPECT_EQ(placed[0].tag, "1");
    EXPECT_EQ(placed[1].name, "Label12");
    EXPECT_FALSE(placed[1].visible);
    EXPECT_EQ(placed[2].kind, ElementKind::Line);
    EXPECT_EQ(placed[2].left, 1500);
    EXPECT_EQ(placed[2].width, 1500);
    EXPECT_EQ(placed[2].x1, 3000);
}

// ---------------------------------------------------------------------------
// Painting

TEST_F(Canvas, ElementsPaintAtTheirTwipsAndHiddenOnesDoNot)
{
    placeMark(2, 1500, 1500, Red);                 // 100..120 px, 100..110 px
    form.Label12.load(2);
    form.Label12[2].move(3000, 3000, 600, 600);     // loaded, never shown
    form.Label12[2].setBackColor(Green);

    form.Line1.load(2);
    CanvasLine& line = form.Line1[2];
    line.setBorderColor(Blue);
    line.setX1(150);
    line.setY1(4500);
    line.setX2(6000);
    line.setY2(4500);
    line.setVisible(true);

    EXPECT_EQ(pixel(1500, 1500), Red);
    EXPECT_EQ(pixel(1500 + 299, 1500 + 149), Red);
    EXPECT_EQ(pixel(1500 + 300, 1500), White);
    EXPECT_EQ(pixel(3300, 3300), White);
    EXPECT_EQ(pixel(3000, 4500), Blue);
    EXPECT_EQ(pixel(3000, 4515), White);
}

TEST_F(Canvas, DottedLinesHaveGaps)
{
    form.Line7.load(2);
    CanvasLine& line = form.Line7[2];
    line.setBorderColor(0);
    line.setX1(0);
    line.setY1(150);
    line.setX2(3000);
    line.setY2(150);
    line.setVisible(true);
    int inked = 0;
    for (int x = 10; x < 190; ++x)
        inked += pixel(x * 15, 150) == 0 ? 1 : 0;
    EXPECT_GT(inked, 30);
    EXPECT_LT(inked, 150);
}

TEST_F(Canvas, PersonBoxesPaintTheirDrawingAtTheirPlaceAndImagesStretch)
{
    CanvasPicture& box = placeBox(2, 3000, 1500, Green);
    EXPECT_DOUBLE_EQ(box.scaleWidth(), 900);
    EXPECT_EQ(pixel(3000, 1500), Green);
    EXPECT_EQ(pixel(3000 + 885, 1500 + 435), Green);
    EXPECT_EQ(pixel(3000 + 900, 1500), White);

    forms::ImageSurface source(2, 1);
    source.line(15, 0, 15, 0, Red, forms::LineShape::FilledBox);
    form.Image1.load(2);
    CanvasImage& icon = form.Image1[2];
    icon.setPicture(source.image());
    icon.move(6000, 0, 600, 600);
    icon.setVisible(true);
    EXPECT_EQ(pixel(6000 + 100, 300), White);
    EXPECT_EQ(pixel(6000 + 500, 300), Red);
    EXPECT_EQ(pixel(6000 + 500, 590), Red);

    // Clearing the box (as the chart does when it reuses one) repaints it.
    box.cls();
    EXPECT_EQ(pixel(3100, 1600), White);
}

TEST_F(Canvas, GraphicalLayerPaintsUnderPersonBoxesWhateverTheLoadOrder)
{
    placeBox(2, 1500, 1500, Green);
    // lblFocus: a frame 128 twips wider than the box on every side, brought to
    // the front of its layer after the box was placed.
    form.lblFocus.move(1500 - 128, 1500 - 128, 900 + 256, 450 + 256);
    form.lblFocus.setVisible(true);
    form.lblFocus.zOrder(0);
    EXPECT_EQ(pixel(1500 + 450, 1500 + 200), Green);
    EXPECT_EQ(pixel(1500 - 100, 1500 + 200), Blue);

    // Within the graphical layer: load order, changed by ZOrder.
    placeMark(2, 4500, 1500, Red);
    placeMark(3, 4500, 1500, Grey);
    EXPECT_EQ(pixel(4600, 1550), Grey);
    form.Label11[3].zOrder(1);
    EXPECT_EQ(pixel(4600, 1550), Red);
    form.Label11[3].zOrder(0);
    EXPECT_EQ(pixel(4600, 1550), Grey);
}

TEST_F(Canvas, MovingAnElementRepaintsBothPlacesAndMovesItsHitArea)
{
    CanvasLabel& mark = placeMark(2, 0, 0, Red);
    EXPECT_EQ(form.Picture1.elementAt(100, 100), &mark);
    mark.move(6000, 3000);
    EXPECT_EQ(pixel(100, 100), White);
    EXPECT_EQ(pixel(6100, 3100), Red);
    EXPECT_EQ(form.Picture1.elementAt(100, 100), nullptr);
    EXPECT_EQ(form.Picture1.elementAt(6100, 3100), &mark);
    mark.setVisible(false);
    EXPECT_EQ(form.Picture1.elementAt(6100, 3100), nullptr);
    EXPECT_EQ(pixel(6100, 3100), White);
}

TEST_F(Canvas, LabelCaptionsWrapWithinTheirWidthAndAreClipped)
{
    form.Label13.load(2);
    CanvasLabel& caption = form.Label13[2];
    caption.setBackStyle(0);
    caption.setForeColor(0);
    caption.setFontSize(12);
    caption.move(1500, 1500, 900, 2000);
    caption.setCaption("山田山田山田山田山田山田山田山田");   // far wider than 60 px on one line
    caption.setVisible(true);
    const forms::Picture area = form.Picture1.renderArea(forms::PixelRect{90, 90, 180, 250});
    forms::ImageSurface probe(90, 160);
    probe.paintPicture(area, 0, 0);
    int inkRight = -1, inkBottom = -1;
    for (int y = 0; y < 160; ++y)
        for (int x = 0; x < 90; ++x)
            if (probe.point(x * 15, y * 15) != White) {
                inkRight = std::max(inkRight, x);
                inkBottom = std::max(inkBottom, y);
            }
    EXPECT_GE(inkRight, 0);
    EXPECT_LT(inkRight, 10 + 60) << "no ink right of the label";
    EXPECT_GT(inkBottom, 10 + 32) << "the caption wrapped onto further lines";
}

// ---------------------------------------------------------------------------
// The mouse

TEST_F(Canvas, ClickSequenceReachesTheTopmostElementWithIndexAndRelativeTwips)
{
    placeBox(2, 1500, 1500, Green);
    form.Label12.load(2);   // the invisible twin over the box takes nothing
    form.Label12[2].move(1500, 1500, 900, 450);
    click(1500 + 150, 1500 + 300);
    EXPECT_EQ(form.log, (std::vector<std::string>{"DPic_MouseDown(2,1,0,150,300)", "DPic_MouseUp(2,1,0,150,300)",
                                                  "DPic_Click(2)"}));
}

TEST_F(Canvas, DoubleClickAndRightButtonFollowTheRuntimeOrder)
{
    placeMark(4, 1500, 1500, Red);
    doubleClick(1530, 1530);
    EXPECT_EQ(form.log, (std::vector<std::string>{"Label11_MouseDown(4,1,0,30,30)", "Label11_MouseUp(4,1,0,30,30)",
                                                  "Label11_Click(4)", "Label11_DblClick(4)",
                                                  "Label11_MouseUp(4,1,0,30,30)"}));
    form.log.clear();
    click(1530, 1530, Qt::RightButton);
    EXPECT_EQ(form.log, (std::vector<std::string>{"Label11_MouseDown(4,2,0,30,30)", "Label11_MouseUp(4,2,0,30,30)"}));
}

TEST_F(Canvas, CanvasClickFiresOnlyOnEmptyCanvasAndLinesNeverCatchTheMouse)
{
    form.Label13.load(2);   // a caption: no handlers bound, still absorbs the click
    form.Label13[2].move(3000, 3000, 600, 300);
    form.Label13[2].setVisible(true);
    form.Line1.load(2);
    CanvasLine& line = form.Line1[2];
    line.setX1(0);
    line.setY1(1500);
    line.setX2(9000);
    line.setY2(1500);
    line.setBorderWidth(3);
    line.setVisible(true);

    click(3100, 3100);
    EXPECT_TRUE(form.log.empty()) << form.log.front();
    click(4500, 1500);   // on the line
    EXPECT_EQ(form.log, (std::vector<std::string>{"Picture1_Click"}));
}

TEST_F(Canvas, NoEventReachesAnElementUnloadedOrReloadedByAHandler)
{
    placeBox(2, 1500, 1500, Green);
    placeBox(3, 4500, 1500, Green);

    // A MouseDown handler that rebuilds the chart: no MouseUp, no Click after it.
    form.DPic.onMouseDown = [this](int index, int, int, double, double) {
        form.log.push_back("rebuild(" + std::to_string(index) + ")");
        form.DPic.unloadRange(2, form.DPic.uBound());
    };
    click(1600, 1600);
    EXPECT_EQ(form.log, (std::vector<std::string>{"rebuild(2)"}));

    // A handler that unloads and reloads the same index: the new element is
    // another element and gets nothing of the old one's sequence.
    form.log.clear();
    placeBox(2, 1500, 1500, Green);
    form.DPic.onMouseDown = [this](int index, int, int, double, double) {
        form.log.push_back("reload(" + std::to_string(index) + ")");
        form.DPic.unload(index);
        placeBox(index, 1500, 1500, Green);
    };
    click(1600, 1600);
    EXPECT_EQ(form.log, (std::vector<std::string>{"reload(2)"}));

    // A Click handler that rebuilds: the double-click's second press is a new
    // press on the new element, never a DblClick of the old one.
    form.log.clear();
    form.DPic.onMouseDown = nullptr;
    form.DPic.onClick = [this](int index) {
        form.log.push_back("click(" + std::to_string(index) + ")");
        form.DPic.unload(index);
        placeBox(index, 1500, 1500, Green);
    };
    doubleClick(1600, 1600);
    EXPECT_EQ(form.log, (std::vector<std::string>{"DPic_MouseUp(2,1,0,100,100)", "click(2)",
                                                  "DPic_MouseUp(2,1,0,100,100)", "click(2)"}));
}

TEST_F(Canvas, DropModeAtAPointIsTheVisibleTargetsNotItsInvisibleTwins)
{
    form.Picture1.setOleDropMode(1);
    CanvasPicture& box = placeBox(2, 1500, 1500, Green);
    box.setOleDropMode(0);
    form.Label12.load(2);
    form.Label12[2].move(1500, 1500, 900, 450);
    form.Label12[2].setOleDropMode(1);
    EXPECT_EQ(form.Picture1.dropModeAt(1600, 1600), 0);
    EXPECT_EQ(form.Picture1.dropModeAt(100, 100), 1);
    box.setOleDropMode(1);
    EXPECT_EQ(form.Picture1.dropModeAt(1600, 1600), 1);
}

TEST_F(Canvas, SpatialIndexAgreesWithABruteForceSearchAfterRandomChanges)
{
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> position(0, 8000);
    std::vector<std::pair<double, double>> boxes(400);   // left, top of Label11(2..401); 300 x 150 each
    for (int i = 0; i < 400; ++i) {
        boxes[i] = {position(random), position(random) * 0.7};
        placeMark(i + 2, boxes[i].first, boxes[i].second, Red);
    }
    std::vector<bool> visible(400, true);
    for (int step = 0; step < 2000; ++step) {
        const int i = static_cast<int>(random() % 400);
        if (random() % 4 == 0) {
            visible[i] = !visible[i];
            form.Label11[i + 2].setVisible(visible[i]);
        } else {
            boxes[i] = {position(random), position(random) * 0.7};
            form.Label11[i + 2].move(boxes[i].first, boxes[i].second);
        }
    }
    for (int probe = 0; probe < 500; ++probe) {
        const double x = position(random), y = position(random) * 0.7;
        const int px = static_cast<int>(x / 15), py = static_cast<int>(y / 15);
        int expected = -1;   // the last loaded (topmost) visible mark containing the pixel
        for (int i = 0; i < 400; ++i) {
            const int left = forms::twipsToPixels(boxes[i].first), top = forms::twipsToPixels(boxes[i].second);
            if (visible[i] && px >= left && px < left + 20 && py >= top && py < top + 10)
                expected = i + 2;
        }
        const forms::CanvasElement* hit = form.Picture1.elementAt(x, y);
        EXPECT_EQ(hit ? hit->index() : -1, expected) << "at " << x << ", " << y;
    }
}

TEST_F(Canvas, AChartWiderThanANativeWindowStaysOneAlienWidget)
{
    // 100,000 px: far beyond the 32767 px an X11 window can have.
    form.Picture1.move(0, 0, 100000 * 15.0, 3000 * 15.0);
    QWidget* widget = canvasWidget();
    EXPECT_EQ(widget->width(), 100000);
    EXPECT_FALSE(widget->testAttribute(Qt::WA_NativeWindow));
    EXPECT_EQ(widget->internalWinId(), 0u);
    placeMark(2, 95000 * 15.0, 2000 * 15.0, Red);
    EXPECT_EQ(pixel(95000 * 15.0 + 30, 2000 * 15.0 + 30), Red);
    click(95000 * 15.0 + 30, 2000 * 15.0 + 30);
    EXPECT_EQ(form.log.back(), "Label11_Click(2)");
}

TEST_F(Canvas, ToolTipsComeFromTheElementUnderThePointer)
{
    form.Picture1.setToolTipText("canvas");
    CanvasPicture& box = placeBox(2, 1500, 1500, Green);
    box.setToolTipText("山田 太郎");
    QWidget* widget = canvasWidget();
    auto tipAt = [&](double x, double y) {
        const QPoint local(static_cast<int>(x / 15), static_cast<int>(y / 15));
        QHelpEvent event(QEvent::ToolTip, local, widget->mapToGlobal(local));
        QApplication::sendEvent(widget, &event);
        return QToolTip::isVisible() ? QToolTip::text().toStdString() : std::string();
    };
    EXPECT_EQ(tipAt(1600, 1600), "山田 太郎");
    EXPECT_EQ(tipAt(6000, 4000), "canvas");
    QToolTip::hideText();
}

TEST_F(Canvas, ReloadingTheWindowStartsTheArraysFromTheirDesign)
{
    placeMark(7, 0, 0, Red);
    form.lblFocus.setVisible(true);
    ASSERT_TRUE(form.unload());
    form.show();
    EXPECT_FALSE(form.Label11.exists(7));
    EXPECT_EQ(form.Label11.uBound(), 1);
    EXPECT_FALSE(form.lblFocus.isVisible());
    EXPECT_EQ(pixel(100, 100), White);
}

// ---------------------------------------------------------------------------
// Picture box, Image and Line controls

namespace {

class ControlsForm : public forms::Form {
public:
    ControlsForm() : Form("controlsTest") {}
    forms::PictureBox Picture2{*this, "Picture2"};
    forms::Image Image1{*this, "Image1"};
    forms::LineControl Line1{*this, "Line1"};

protected:
    void design() override
    {
        move(0, 0, 9000, 7000);
        Picture2.move(150, 150, 3000, 1500);
        Image1.move(4500, 150, 1500, 1500);
    }
};

long grabbed(QWidget* widget, int x, int y)
{
    const QImage image = widget->grab().toImage();
    const QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
}

} // namespace

TEST(PictureBoxControl, IsASurfaceWhoseClientAreaExcludesTheBorder)
{
    ControlsForm form;
    form.show();
    forms::PictureBox& box = form.Picture2;
    EXPECT_DOUBLE_EQ(box.scaleWidth(), (200 - 4) * 15.0) << "fixed single border: 2 px each side";
    box.setBorderStyle(0);
    EXPECT_DOUBLE_EQ(box.scaleWidth(), 200 * 15.0);
    box.setBackColor(White);
    box.line(150, 150, 450, 300, Red, forms::LineShape::FilledBox);
    box.setCurrentX(0);
    box.setCurrentY(600);
    box.print("x");
    EXPECT_DOUBLE_EQ(box.currentY(), 600 + box.textHeight("x"));

    forms::ImageSurface probe(200, 100);
    probe.paintPicture(box.image(), 0, 0);
    EXPECT_EQ(probe.point(300, 200), Red);
    EXPECT_EQ(probe.point(1500, 200), White);
    EXPECT_EQ(grabbed(box.widget(), 20, 13), Red) << "the widget paints the same drawing";

    // Scrolling places the box at negative offsets inside its container.
    box.setLeft(-1500);
    EXPECT_EQ(box.widget()->geometry().left(), -100);
}

TEST(PictureBoxControl, PictureShowsAtNaturalSizeUnderTheDrawing)
{
    ControlsForm form;
    form.show();
    forms::PictureBox& box = form.Picture2;
    box.setBorderStyle(0);
    forms::ImageSurface face(10, 10);
    face.setBackColor(Green);
    box.setPicture(face.image());
    box.line(0, 0, 30, 30, Red, forms::LineShape::FilledBox);
    forms::ImageSurface probe(200, 100);
    probe.paintPicture(box.image(), 0, 0);
    EXPECT_EQ(probe.point(15, 15), Red);
    EXPECT_EQ(probe.point(120, 120), Green);
    EXPECT_EQ(probe.point(165, 165), box.backColor() == forms::vbButtonFace ? forms::systemColorRgb(15) : -2);
    box.cls();
    probe.paintPicture(box.image(), 0, 0);
    EXPECT_EQ(probe.point(15, 15), Green) << "Cls puts the picture back";
}

TEST(PictureBoxControl, ImageBackingRaises7BeyondItsCapAndRecovers)
{
    ControlsForm form;
    form.show();
    forms::PictureBox& box = form.Picture2;
    box.setBorderStyle(0);
    box.setBacking(forms::PictureBox::Backing::Image);
    box.setImageMemoryCap(4 * 500 * 500);
    box.setBackColor(White);
    box.move(0, 0, 400 * 15, 300 * 15);
    box.cls();
    box.line(0, 0, 150, 150, Red, forms::LineShape::FilledBox);
    EXPECT_EQ(box.image().widthPixels(), 400);

    box.move(0, 0, 2000 * 15, 2000 * 15);
    EXPECT_EQ(errorNumberOf([&] { box.cls(); }), 7);
    form.refresh();   // painting an unallocatable canvas must not fail
    box.move(0, 0, 15, 15);
    box.cls();
    EXPECT_EQ(box.image().widthPixels(), 1);
}

TEST(ImageControl, StretchesItsPictureToItsSize)
{
    ControlsForm form;
    form.show();
    forms::ImageSurface source(2, 2);
    source.line(15, 0, 15, 15, Blue, forms::LineShape::FilledBox);
    form.Image1.setPicture(source.image());
    QWidget* widget = form.Image1.widget();
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->size(), QSize(100, 100));
    EXPECT_EQ(grabbed(widget, 80, 90), Blue);
    EXPECT_NE(grabbed(widget, 20, 90), Blue);
}

TEST(LineControl, EndPointsInAnyOrderDrawOneLineAndTheMousePassesThrough)
{
    ControlsForm form;
    form.show();
    forms::LineControl& line = form.Line1;
    line.setBorderColor(Red);
    line.setBorderWidth(1);
    line.setX2(600);
    line.setY2(3000);
    line.setX1(3000);
    line.setY1(3000);
    QWidget* widget = line.widget();
    ASSERT_NE(widget, nullptr);
    const QRect geometry = widget->geometry();
    EXPECT_LE(geometry.left(), 40);
    EXPECT_GE(geometry.right(), 200);
    EXPECT_EQ(grabbed(widget, 100 - geometry.left(), 200 - geometry.top()), Red);
    EXPECT_TRUE(widget->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(errorNumberOf([&] { line.setBorderWidth(0); }), 380);
}
