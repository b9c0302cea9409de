// Drag and drop between controls: the order of the source's and the target's
// events, which places take a drop (drop modes of labels, lists, the chart
// canvas and its elements), what the handlers receive, and the mouse driving a
// drag through the real widgets.

#include "forms/ChartCanvas.h"
#include "forms/ControlArray.h"
#include "forms/DragDrop.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/Testing.h"

#include "platform/Errors.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::string join(const std::vector<std::string>& items)
{
    std::string text;
    for (const std::string& item : items)
        text += (text.empty() ? "" : " | ") + item;
    return text;
}

class DragForm : public forms::Form {
public:
    DragForm() : Form("dragTest")
    {
        List1.onOLEStartDrag = [this](forms::DataObject& data, int& allowed) {
            log.push_back("StartDrag");
            data.setData(List1.text(), forms::vbCFText);
            allowed = allowedEffects;
        };
        List1.onOLEGiveFeedback = [this](int& effect, bool&) { log.push_back("Feedback " + std::to_string(effect)); };
        List1.onOLECompleteDrag = [this](int& effect) { log.push_back("Complete " + std::to_string(effect)); };
        Label2.onOLEDragOver = [this](int index, forms::DataObject&, int&, int, int, double, double, int state) {
            log.push_back("Label2_DragOver " + std::to_string(index) + " state " + std::to_string(state));
        };
        Label2.onOLEDragDrop = [this](int index, forms::DataObject& data, int& effect, int button, int shift,
                                      double, double) {
            log.push_back("Label2_DragDrop " + std::to_string(index) + " " + data.getData(forms::vbCFText) + " effect "
                          + std::to_string(effect) + " button " + std::to_string(button) + " shift "
                          + std::to_string(shift));
        };
        List2.onOLEDragDrop = [this](forms::DataObject& data, int&, int, int, double, double) {
            log.push_back("List2_DragDrop " + data.getData());
        };
        Picture1.onOLEDragDrop = [this](forms::DataObject&, int&, int, int, double x, double y) {
            log.push_back("Picture1_DragDrop " + std::to_string(static_cast<int>(x)) + ","
                          + std::to_string(static_cast<int>(y)));
        };
        DPic.onOLEDragDrop = [this](int index, forms::DataObject&, int&, int, int shift, double x, double y) {
            log.push_back("DPic_DragDrop " + std::to_string(index) + " at " + std::to_string(static_cast<int>(x))
                          + "," + std::to_string(static_cast<int>(y)) + " shift " + std::to_string(shift));
        };
    }

    forms::ListBox List1{*this, "List1"};
    forms::ControlArray<forms::Label> Label2{*this, "Label2", {0, 1}};
    forms::ListBox List2{*this, "List2"};
    forms::ChartCanvas Picture1{*this, "Picture1"};
    forms::ElementArray<forms::CanvasPicture> DPic{Picture1, "DPic", {0, 1}};

    int allowedEffects = forms::vbDropEffectCopy;
    std::vector<std::string> log;

protected:
    void design() override
    {
        move(0, 0, 9000, 6000);
        List1.move(0, 0, 2000, 3000);
        Label2[0].move(2400, 0, 1500, 400);
        Label2[1].move(2400, 600, 1500, 400);
        List2.move(2400, 1200, 1500, 1200);
        Picture1.move(4200, 0, 4500, 4500);
        Picture1.setBorderStyle(0);
    }
};

class DragDropTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        form.show();
        form.List1.addItem("山田 太郎");
        form.List1.addItem("**** 男01");
        form.List1.setListIndex(0);
        form.log.clear();
    }
    void TearDown() override
    {
        forms::cancelDrag();
        form.unload();
    }

    // A box element at (1500, 1500) on the canvas, 1200 x 600.
    forms::CanvasPicture& placeBox(int dropMode)
    {
        form.DPic.load(2);
        forms::CanvasPicture& box = form.DPic[2];
        box.move(1500, 1500, 1200, 600);
        box.setOleDropMode(dropMode);
        box.setVisible(true);
        return box;
    }

    DragForm form;
};

TEST_F(DragDropTest, DropOnAcceptingLabelRaisesTheEventsInOrder)
{
    form.Label2[0].setOleDropMode(forms::vbOLEDropManual);
    form.List1.oleDrag();
    ASSERT_TRUE(forms::isDragInProgress());
    forms::dragOver(form.Label2[0], 100, 100);
    forms::dropOn(form.Label2[0], 120, 100);

    EXPECT_FALSE(forms::isDragInProgress());
    EXPECT_EQ(join(form.log), "StartDrag | Label2_DragOver 0 state 0 | Feedback 1 | Label2_DragOver 0 state 2 | "
                              "Feedback 1 | Label2_DragDrop 0 山田 太郎 effect 1 button 1 shift 0 | Complete 1");
}

TEST_F(DragDropTest, LabelWithoutDropModeRefusesAndTheSourceLearnsNoEffect)
{
    form.Label2[1].setOleDropMode(forms::vbOLEDropNone);
    form.List1.oleDrag();
    forms::dragOver(form.Label2[1], 100, 100);
    forms::dropOn(form.Label2[1], 100, 100);

    EXPECT_EQ(join(form.log), "StartDrag | Feedback 0 | Feedback 0 | Complete 0");
}

TEST_F(DragDropTest, LeavingATargetForAnotherRaisesLeaveOnTheFirst)
{
    form.Label2[0].setOleDropMode(forms::vbOLEDropManual);
    form.Label2[1].setOleDropMode(forms::vbOLEDropManual);
    form.List1.oleDrag();
    forms::dragOver(form.Label2[0], 10, 10);
    forms::dragOver(form.Label2[1], 10, 10);
    forms::releaseOverNothing();

    EXPECT_EQ(join(form.log), "StartDrag | Label2_DragOver 0 state 0 | Feedback 1 | Label2_DragOver 0 state 1 | "
                              "Label2_DragOver 1 state 0 | Feedback 1 | Label2_DragOver 1 state 1 | Feedback 0 | "
                              "Complete 0");
}

TEST_F(DragDropTest, StartHandlerThatAllowsNoEffectEndsTheDragAtOnce)
{
    form.allowedEffects = forms::vbDropEffectNone;
    form.List1.oleDrag();
    EXPECT_FALSE(forms::isDragInProgress());
    EXPECT_EQ(join(form.log), "StartDrag | Complete 0");
}

TEST_F(DragDropTest, EscapeEndsTheDragWithoutADrop)
{
    form.Label2[0].setOleDropMode(forms::vbOLEDropManual);
    form.List1.oleDrag();
    forms::dragOver(form.Label2[0], 10, 10);
    QTest::keyClick(forms::formWidget(form), Qt::Key_Escape);
    EXPECT_FALSE(forms::isDragInProgress());
    EXPECT_EQ(form.log.back(), "Complete 0");
    EXPECT_EQ(std::count(form.log.begin(), form.log.end(), "Label2_DragOver 0 state 1"), 1);
}

TEST_F(DragDropTest, SecondDragDoesNotStartWhileOneIsInProgress)
{
    form.List1.oleDrag();
    form.List1.oleDrag();
    EXPECT_EQ(std::count(form.log.begin(), form.log.end(), "StartDrag"), 1);
}

TEST_F(DragDropTest, ListTakesDropsOnlyInManualMode)
{
    form.List1.oleDrag();
    forms::dropOn(form.List2, 50, 50);
    form.List2.setOleDropMode(forms::vbOLEDropManual);
    form.List1.oleDrag();
    forms::dropOn(form.List2, 50, 50);
    EXPECT_EQ(std::count(form.log.begin(), form.log.end(), "List2_DragDrop 山田 太郎"), 1);
    EXPECT_THROW(form.List2.setOleDropMode(2), platform::RuntimeError);
}

TEST_F(DragDropTest, TargetUnloadedByItsDragOverHandlerGetsNoDrop)
{
    form.Label2.load(2);
    form.Label2[2].setOleDropMode(forms::vbOLEDropManual);
    forms::Label& doomed = form.Label2[2];
    form.Label2.onOLEDragOver = [this](int index, forms::DataObject&, int&, int, int, double, double, int) {
        if (index == 2)
            form.Label2.unload(2);
    };
    form.List1.oleDrag();
    forms::dragOver(doomed, 10, 10);
    forms::dropOn(form.Label2[0], 10, 10);
    EXPECT_EQ(form.log.back(), "Complete 0");
}

// --- The chart canvas: the element under the pointer decides, else the canvas.

struct CanvasDropCase {
    const char* name;
    int canvasMode;
    int boxMode;
    double x, y;          // canvas twips
    const char* expected; // the drop event raised, "" for none
};

class CanvasDropTest : public DragDropTest, public ::testing::WithParamInterface<CanvasDropCase> {
};

TEST_P(CanvasDropTest, DropGoesToTheElementOrTheCanvas)
{
    const CanvasDropCase& c = GetParam();
    form.Picture1.setOleDropMode(c.canvasMode);
    placeBox(c.boxMode);
    form.List1.oleDrag();
    forms::dropOn(form.Picture1, c.x, c.y, forms::vbShiftMask);
    const std::string dropped = form.log.size() >= 2 ? form.log[form.log.size() - 2] : std::string();
    if (*c.expected == '\0')
        EXPECT_EQ(form.log.back(), "Complete 0");
    else
        EXPECT_EQ(dropped, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, CanvasDropTest,
    ::testing::Values(CanvasDropCase{"BoxTakesDropWithItsOwnCoordinates", 0, 1, 1800, 1650, "DPic_DragDrop 2 at 300,150 shift 1"},
                      CanvasDropCase{"RefusingBoxHidesTheAcceptingCanvas", 1, 0, 1800, 1650, ""},
                      CanvasDropCase{"EmptyCanvasTakesDropInManualMode", 1, 0, 300, 450, "Picture1_DragDrop 300,450"},
                      CanvasDropCase{"EmptyCanvasRefusesWithoutDropMode", 0, 1, 300, 450, ""}),
    [](const ::testing::TestParamInfo<CanvasDropCase>& info) { return std::string(info.param.name); });

// --- The mouse: pressing, moving and releasing through the real widgets.

TEST_F(DragDropTest, MouseReleaseOverAnAcceptingLabelDropsOnIt)
{
    form.Label2[0].setOleDropMode(forms::vbOLEDropManual);
    form.List1.onMouseMove = [this](int button, int, double, double) {
        if (button == forms::vbLeftButton)
            form.List1.oleDrag();
    };
    QWidget* label = form.Label2[0].widget();
    ASSERT_NE(label, nullptr);
    auto* list = qobject_cast<QAbstractScrollArea*>(form.List1.widget());
    ASSERT_NE(list, nullptr);
    QWidget* viewport = list->viewport();

    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(10, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 5), viewport->mapToGlobal(QPointF(20, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    ASSERT_TRUE(forms::isDragInProgress());

    const QPointF overLabel = label->mapToGlobal(QPointF(10, 10));
    QMouseEvent release(QEvent::MouseButtonRelease, viewport->mapFromGlobal(overLabel), overLabel, Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);

    EXPECT_FALSE(forms::isDragInProgress());
    EXPECT_EQ(form.log.back(), "Complete 1");
    EXPECT_NE(std::find(form.log.begin(), form.log.end(), "Label2_DragDrop 0 山田 太郎 effect 1 button 1 shift 0"),
              form.log.end())
        << join(form.log);
}

TEST_F(DragDropTest, MouseReleaseOverACanvasElementDropsOnThatElement)
{
    placeBox(forms::vbOLEDropManual);
    form.List1.onMouseMove = [this](int button, int, double, double) {
        if (button == forms::vbLeftButton)
            form.List1.oleDrag();
    };
    auto* list = qobject_cast<QAbstractScrollArea*>(form.List1.widget());
    ASSERT_NE(list, nullptr);
    QWidget* viewport = list->viewport();
    QWidget* canvas = form.Picture1.widget();
    ASSERT_NE(canvas, nullptr);

    QTest::mousePress(viewport, Qt::LeftButton, {}, QPoint(10, 5));
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 5), viewport->mapToGlobal(QPointF(20, 5)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    ASSERT_TRUE(forms::isDragInProgress());

    // (1800, 1650) canvas twips: 300, 150 inside the box at (1500, 1500).
    const QPointF overBox = canvas->mapToGlobal(QPointF(1800 / 15.0, 1650 / 15.0));
    QMouseEvent release(QEvent::MouseButtonRelease, viewport->mapFromGlobal(overBox), overBox, Qt::LeftButton,
                        Qt::NoButton, Qt::ShiftModifier);
    QApplication::sendEvent(viewport, &release);

    EXPECT_NE(std::find(form.log.begin(), form.log.end(), "DPic_DragDrop 2 at 300,150 shift 1"), form.log.end())
        << join(form.log);
    EXPECT_EQ(form.log.back(), "Complete 1");
}

// --- Windows that follow the pointer.

TEST_F(DragDropTest, TextShapeLeavesAHoleUnderThePointer)
{
    forms::Form marker("markerTest");
    marker.setFontSize(24);
    marker.show();
    const int withHole = forms::shapeWindowToText(marker, "山田", 12, 18, 4);
    const int withoutHole = forms::shapeWindowToText(marker, "山田", -100, -100, 4);
    EXPECT_GT(withoutHole, 0);
    EXPECT_LE(withHole, withoutHole);
    forms::shapeWindowToText(marker, "山田", 12, 18, 4);
    EXPECT_FALSE(forms::windowShapeContains(marker, 12, 18));
    EXPECT_FALSE(forms::windowShapeContains(marker, 500, 500)) << "nothing beyond the text";
}

} // namespace
