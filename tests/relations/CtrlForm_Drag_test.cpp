// Dragging persons out of the relationship editor's person lists: when a drag
// starts, what the partner fields and the children list do with a drop, the
// marker's colour and its flight back, and drops on the main window's chart that
// wait for the copy question.

#include "CtrlFixture.h"

#include "drawing/ChartRebuild.h"
#include "drawing/draw_state.h"
#include "forms/DragDrop.h"
#include "forms/Printers.h"
#include "forms/Timer.h"
#include "mainwindow/DropState.h"
#include "mainwindow/CloseMainWindow.h"
#include "mainwindow/MainForm.h"
#include "model/Lookups.h"
#include "model/UndoRecords.h"
#include "model/run_state.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QTimer>

#include <string>
#include <vector>

namespace relations_test {
namespace {

// --- The flight back: steps from the distance the marker has to go.

struct ReturnCase {
    const char* name;
    int dx, dy;
    int steps;
};

class ReturnStepsTest : public ::testing::TestWithParam<ReturnCase> {
};

TEST_P(ReturnStepsTest, StepsFollowTheSignedDistance)
{
    EXPECT_EQ(returnStepCount(GetParam().dx, GetParam().dy), GetParam().steps);
}

INSTANTIATE_TEST_SUITE_P(
    Distances, ReturnStepsTest,
    ::testing::Values(ReturnCase{"ShortLeft", 30, 0, 4}, ReturnCase{"MediumLeft", 80, 0, 7},
                      ReturnCase{"FarLeft", 200, 0, 10}, ReturnCase{"FarRight", -200, 0, 10},
                      ReturnCase{"MediumRightCountsAsShort", -80, 0, 4},
                      ReturnCase{"StraightBelow", 0, -300, 4}, ReturnCase{"StraightAbove", 0, 300, 10},
                      ReturnCase{"EdgeOfShort", 50, 50, 4}, ReturnCase{"EdgeOfMedium", 100, 100, 7}),
    [](const ::testing::TestParamInfo<ReturnCase>& info) { return std::string(info.param.name); });

class CtrlDragTest : public CtrlTest {
protected:
    void SetUp() override
    {
        CtrlTest::SetUp();
        mainwindow::dropState() = mainwindow::DropState();
        ctrl().show();
    }

    void TearDown() override
    {
        // A drag left open ends here.
        if (forms::isDragInProgress())
            forms::cancelDrag();
        CtrlTest::TearDown();
    }

    // The line of list `list` holding `person` (ItemData), -1 when none.
    static int lineOf(int list, int person)
    {
        forms::ListBox& l = ctrl().List1[list];
        for (int i = 0; i < l.listCount(); ++i) {
            if (l.itemData(i) == person)
                return i;
        }
        return -1;
    }

    // The mouse-down on a line and a move of (dx, dy) pixels with the left button.
    static void pressAndMove(int list, int line, int dx, int dy)
    {
        forms::ListBox& l = ctrl().List1[list];
        l.setListIndex(line);
        forms::setCursorPosition(200, 200);
        ctrl().List1_MouseDown(list, forms::vbLeftButton, 0, 0, 0);
        forms::setCursorPosition(200 + dx, 200 + dy);
        ctrl().List1_MouseMove(list, forms::vbLeftButton, 0, 0, 0);
    }

    // Starts a drag of a list line.
    static void startDrag(int list, int line) { pressAndMove(list, line, 3, 0); }
};

TEST_F(CtrlDragTest, DragStartsAtThreePixelsAndNotBefore)
{
    const int man = addPerson("山田", "太郎", 0);
    ctrl().Build_List();
    pressAndMove(0, lineOf(0, man), 2, 2);   // squared distance 8
    EXPECT_FALSE(forms::isDragInProgress());
    EXPECT_EQ(ctrl().Dragging, 0);

    ctrl().List1_MouseMove(0, forms::vbLeftButton, 0, 0, 0);
    forms::setCursorPosition(203, 200);   // squared distance 9
    ctrl().List1_MouseMove(0, forms::vbLeftButton, 0, 0, 0);
    EXPECT_TRUE(forms::isDragInProgress());
    EXPECT_EQ(ctrl().Dragging, -1);
    EXPECT_EQ(model::runState().ListDragActive, 1);
    EXPECT_EQ(mainwindow::dropState().Drag_Person, man);
    EXPECT_EQ(mainwindow::dropState().Drag_Sex, 0);
}

TEST_F(CtrlDragTest, NoDragWithoutAnArmedEntryOrWithTheRightButton)
{
    addPerson("山田", "太郎", 0);
    ctrl().Build_List();
    ctrl().List1[0].setListIndex(0);
    forms::setCursorPosition(10, 10);
    ctrl().List1_MouseMove(0, forms::vbLeftButton, 0, 0, 0);   // no mouse-down before
    EXPECT_FALSE(forms::isDragInProgress());

    forms::setCursorPosition(200, 200);
    ctrl().List1_MouseDown(0, forms::vbRightButton, 0, 0, 0);
    forms::setCursorPosition(220, 200);
    ctrl().List1_MouseMove(0, forms::vbRightButton, 0, 0, 0);
    EXPECT_FALSE(forms::isDragInProgress());
}

TEST_F(CtrlDragTest, WomensPlaceholderOnTheWifeFieldCreatesHerAndANewPlaceholder)
{
    tables().DummyWomanCnt = 5;
    ctrl().Build_List();
    const int line = lineOf(1, -1);
    ASSERT_GE(line, 0);
    ASSERT_EQ(ctrl().List1[1].list(line), "**** 女05");

    startDrag(1, line);
    EXPECT_EQ(ctrl().Label2[1].oleDropMode(), forms::vbOLEDropManual);
    EXPECT_EQ(ctrl().Label2[0].oleDropMode(), forms::vbOLEDropNone) << "the husband field refuses women";
    forms::dropOn(ctrl().Label2[1], 50, 50);

    const int created = ctrl().List1[1].itemData(line);
    ASSERT_GT(created, 0);
    EXPECT_EQ(per(created).F_name, "**** ");
    EXPECT_EQ(per(created).Name, "女05");
    EXPECT_EQ(per(created).Sex, 1);
    EXPECT_EQ(ctrl().Label2[1].caption(), "**** 女05");
    EXPECT_EQ(ctrl().Label2[1].tag(), std::to_string(created));
    EXPECT_EQ(tables().DummyWomanCnt, 6);
    const int newPlaceholder = ctrl().List1[1].newIndex();
    EXPECT_EQ(ctrl().List1[1].list(newPlaceholder), "**** 女06");
    EXPECT_EQ(ctrl().List1[1].itemData(newPlaceholder), -1);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::NewWife);
    EXPECT_EQ(model::kouUndo().UndoActer, created);
    EXPECT_TRUE(ctrl().scritem[0].isEnabled());
    EXPECT_EQ(model::runState().ListDragActive, 0) << "the drag has ended";
    EXPECT_FALSE(form2().isVisible());
}

// With no room for the placeholder person, a drop on a partner field or the
// children list is refused with a message and arms nothing.
class FullPersonTableDragTest : public CtrlDragTest, public ::testing::WithParamInterface<int> {
};

TEST_P(FullPersonTableDragTest, RefusesTheDropWithAMessage)
{
    const int man = addPerson("山田", "太郎", 0);
    const int woman = addPerson("山田", "花子", 1);
    ctrl().Build_List();
    setPartner(0, man);
    setPartner(1, woman);
    const int line = lineOf(0, -1);
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot)
        per(slot).InUse = model::SlotUsed;
    const int16_t counter = tables().DummyManCnt;
    const bool ontoTheField = GetParam() == 0;
    startDrag(0, line);
    answers.answerNext(platform::vbOK);
    // Refused: the marker flies back on real timer ticks.
    forms::setTimersManual(false);
    if (ontoTheField)
        forms::dropOn(ctrl().Label2[0], 10, 10);
    else
        forms::dropOn(ctrl().List2, 10, 10);
    forms::setTimersManual(true);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "これ以上個人情報を追加出来ません");
    EXPECT_EQ(ctrl().Label2[0].tag(), std::to_string(man)) << "the field keeps its partner";
    EXPECT_EQ(ctrl().List2.listCount(), 0);
    EXPECT_EQ(tables().DummyManCnt, counter);
    const int placeholder = lineOf(0, -1);
    ASSERT_GE(placeholder, 0) << "the placeholder entry is still one";
    EXPECT_EQ(ctrl().List1[0].list(placeholder), relations::placeholderLine("**** 男", counter));
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::None);
    EXPECT_FALSE(ctrl().scritem[0].isEnabled());
    EXPECT_FALSE(ctrl().Command2[3].isEnabled());
    EXPECT_EQ(mainwindow::dropState().Drop_Done, 0) << "nobody took the drop";
}

INSTANTIATE_TEST_SUITE_P(Targets, FullPersonTableDragTest, ::testing::Values(0, 1),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 0 ? "HusbandField" : "ChildrenList");
                         });

TEST_F(CtrlDragTest, ListedManOnTheHusbandFieldChangesOnlyTheField)
{
    const int man = addPerson("山田", "太郎", 0);
    ctrl().Build_List();
    const int before = tables().PerCount;
    startDrag(0, lineOf(0, man));
    forms::dropOn(ctrl().Label2[0], 10, 10);
    EXPECT_EQ(ctrl().Label2[0].caption(), "山田 太郎");
    EXPECT_EQ(ctrl().Label2[0].tag(), std::to_string(man));
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ListedHusband);
    EXPECT_EQ(tables().PerCount, before);
    EXPECT_EQ(model::Find_PersonMarry(man), -1) << "the marriage waits for the register command";

    // The undo empties the field again.
    ctrl().scritem_Click(0);
    EXPECT_EQ(ctrl().Label2[0].caption(), "");
}

TEST_F(CtrlDragTest, ChildrenListTakesDropsOnlyWithBothPartners)
{
    const int man = addPerson("山田", "太郎", 0);
    const int woman = addPerson("山田", "花子", 1);
    const int son = addPerson("山田", "一郎", 0);
    ctrl().Build_List();
    setPartner(0, man);
    startDrag(0, lineOf(0, son));
    EXPECT_EQ(ctrl().List2.oleDropMode(), forms::vbOLEDropNone);
    forms::dropOn(ctrl().List2, 10, 10);
    EXPECT_EQ(ctrl().List2.listCount(), 0);

    setPartner(1, woman);
    startDrag(0, lineOf(0, son));
    forms::dropOn(ctrl().List2, 10, 10);
    ASSERT_EQ(ctrl().List2.listCount(), 1);
    EXPECT_EQ(ctrl().List2.itemData(0), son);
    EXPECT_TRUE(ctrl().List2.selected(0)) << "a dropped child is shown in the direct-line view";
    EXPECT_EQ(model::kouUndo().UndoKodo, son);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ListedChild);
    EXPECT_EQ(ctrl().scritem[0].caption(), model::UndoCaptionNewChild);
}

TEST_F(CtrlDragTest, ChildrenListHoldingTwentyChildrenRefusesTheDrop)
{
    const int man = addPerson("山田", "太郎", 0);
    const int woman = addPerson("山田", "花子", 1);
    const int kou = marry(man, woman);
    for (int i = 0; i <= model::LastChildSlot; ++i)
        addChild(kou, addPerson("山田", "子" + std::to_string(i), 0));
    ctrl().Build_List();
    choose(kou);
    ASSERT_EQ(ctrl().List2.listCount(), 20);
    const int persons = static_cast<int>(std::count_if(tables().per_buf.begin(), tables().per_buf.end(),
                                                       [](const auto& p) { return p.InUse == model::SlotUsed; }));
    model::clearKouUndo();

    startDrag(0, lineOf(0, -1));
    answers.answerNext(platform::vbOK);
    forms::dropOn(ctrl().List2, 10, 10);

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"子供の人数は20人迄です"});
    EXPECT_EQ(ctrl().List2.listCount(), 20);
    EXPECT_EQ(std::count_if(tables().per_buf.begin(), tables().per_buf.end(),
                            [](const auto& p) { return p.InUse == model::SlotUsed; }),
              persons)
        << "the placeholder made nobody";
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::None);
    EXPECT_EQ(mainwindow::dropState().Drop_Done, 0);
}

TEST_F(CtrlDragTest, MensPlaceholderIntoTheChildrenListBecomesAChild)
{
    const int man = addPerson("山田", "太郎", 0);
    const int woman = addPerson("山田", "花子", 1);
    tables().DummyManCnt = 7;
    ctrl().Build_List();
    setPartner(0, man);
    setPartner(1, woman);
    const int line = lineOf(0, -1);
    startDrag(0, line);
    forms::dropOn(ctrl().List2, 10, 10);

    const int created = ctrl().List1[0].itemData(line);
    ASSERT_GT(created, 0);
    EXPECT_EQ(per(created).F_name, "**** ");
    EXPECT_EQ(per(created).Name, "男07");
    ASSERT_EQ(ctrl().List2.listCount(), 1);
    EXPECT_EQ(ctrl().List2.list(0), "**** 男07");
    EXPECT_EQ(ctrl().List2.itemData(0), created);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::NewManChild);
    EXPECT_EQ(model::kouUndo().UndoKodo, created);
    EXPECT_EQ(tables().DummyManCnt, 8);

    // The undo frees the person and gives the placeholder its number back.
    ctrl().scritem_Click(0);
    EXPECT_EQ(per(created).InUse, model::SlotFree);
    EXPECT_EQ(ctrl().List2.listCount(), 0);
    EXPECT_EQ(tables().DummyManCnt, 7);
    const std::vector<std::string> men = lines(ctrl().List1[0]);
    EXPECT_EQ(std::count(men.begin(), men.end(), "**** 男07"), 1);
    EXPECT_EQ(std::count(men.begin(), men.end(), "**** 男08"), 0);
    EXPECT_EQ(lineOf(0, created), -1);
}

// The pointer crossing other lines on its way moves the list's current line; the
// drop still makes the person the drag started with, in every field.
TEST_F(CtrlDragTest, DroppedPlaceholderIsTheLinePressedWhereverThePointerCrossed)
{
    const int man = addPerson("山田", "太郎", 0);
    const int woman = addPerson("山田", "花子", 1);
    const int ichiro = addPerson("山田", "一郎", 0);
    tables().DummyManCnt = 7;
    ctrl().Build_List();
    setPartner(0, man);
    setPartner(1, woman);
    forms::ListBox& men = ctrl().List1[0];
    const int line = lineOf(0, -1);
    startDrag(0, line);
    men.setListIndex(lineOf(0, ichiro));
    forms::dropOn(ctrl().List2, 10, 10);

    ASSERT_EQ(ctrl().List2.listCount(), 1);
    const int child = ctrl().List2.itemData(0);
    ASSERT_GT(child, 0);
    EXPECT_NE(child, ichiro);
    EXPECT_EQ(per(child).F_name, "**** ");
    EXPECT_EQ(per(child).Name, "男07");
    EXPECT_EQ(ctrl().List2.list(0), "**** 男07");
    EXPECT_EQ(men.itemData(line), child) << "the placeholder's line names the new person";
    EXPECT_EQ(men.itemData(lineOf(0, ichiro)), ichiro) << "the line crossed keeps its person";

    const int next = lineOf(0, -1);
    ASSERT_EQ(men.list(next), "**** 男08");
    startDrag(0, next);
    men.setListIndex(lineOf(0, ichiro));
    forms::dropOn(ctrl().Label2[0], 10, 10);
    const int husband = std::stoi(ctrl().Label2[0].tag());
    EXPECT_NE(husband, ichiro);
    EXPECT_EQ(per(husband).Name, "男08");
    EXPECT_EQ(ctrl().Label2[0].caption(), "**** 男08");
    EXPECT_EQ(men.itemData(next), husband);
}

TEST_F(CtrlDragTest, ChartRequestsKeepThePlaceholderEntriesInStep)
{
    ctrl().Build_List();
    forms::ListBox& women = ctrl().List1[1];
    const int line = lineOf(1, -1);
    women.setListIndex(line);
    const int created = addPerson("**** ", "女01", 1);
    tables().DummyWomanCnt = 2;   // the main window raised the counter
    ctrl().placeholderTaken(1, created);
    EXPECT_EQ(women.itemData(line), created);
    EXPECT_EQ(women.list(women.newIndex()), "**** 女02");
    EXPECT_EQ(women.itemData(women.newIndex()), -1);

    tables().DummyWomanCnt = 1;   // and its undo lowered it again
    ctrl().placeholderReturned(1, created);
    EXPECT_EQ(lineOf(1, created), -1);
    EXPECT_EQ(lines(women), std::vector<std::string>{"**** 女01"});
}

TEST_F(CtrlDragTest, MarkerIsGreenOverAcceptingPlacesAndRedElsewhere)
{
    const int man = addPerson("山田", "太郎", 0);
    ctrl().Build_List();
    startDrag(0, lineOf(0, man));
    forms::dragOver(ctrl().Label2[0], 10, 10);
    EXPECT_EQ(form2().backColor(), MarkerAcceptedColour);
    forms::dragOver(ctrl().Label2[1], 10, 10);
    EXPECT_EQ(form2().backColor(), MarkerRefusedColour);
}

TEST_F(CtrlDragTest, MarkerFollowsThePointerWithTheGrabOffset)
{
    const int man = addPerson("山田", "太郎", 0);
    ctrl().Build_List();
    startDrag(0, lineOf(0, man));
    EXPECT_TRUE(ctrl().Timer1.isRunning());
    forms::setCursorPosition(400, 300);
    ctrl().Timer1.tick();
    int x = 0, y = 0;
    forms::windowPosition(form2(), x, y);
    EXPECT_EQ(x, 400 - ctrl().GrabOffset.x);
    EXPECT_EQ(y, 300 - ctrl().GrabOffset.y);
    EXPECT_TRUE(form2().isVisible());
}

TEST_F(CtrlDragTest, ReleaseOverNothingFliesTheMarkerBackToItsEntry)
{
    const int man = addPerson("山田", "太郎", 0);
    ctrl().Build_List();
    startDrag(0, lineOf(0, man));
    const PixelPoint start{ctrl().RowOrigin.x - 30, ctrl().RowOrigin.y};
    forms::setCursorPosition(start.x + ctrl().GrabOffset.x, start.y + ctrl().GrabOffset.y);
    forms::releaseOverNothing();

    // The drag is over at once; the marker flies on, one step per Timer2 tick.
    EXPECT_EQ(ctrl().ReturnSteps, 4);
    EXPECT_EQ(ctrl().Dragging, 0);
    EXPECT_EQ(model::runState().ListDragActive, 0);
    EXPECT_EQ(ctrl().DownPoint, PixelPoint{});
    EXPECT_TRUE(ctrl().Timer2.isRunning());
    EXPECT_EQ(ctrl().Timer2.interval(), 50);
    for (int step = 1; step <= 3; ++step) {
        int x = 0, y = 0;
        forms::windowPosition(form2(), x, y);
        EXPECT_EQ(x, start.x + step * (30 / 4)) << "step " << step;
        EXPECT_EQ(y, start.y) << "step " << step;
        EXPECT_TRUE(form2().isVisible()) << "step " << step;
        ctrl().Timer2.tick();
    }
    EXPECT_FALSE(form2().isVisible()) << "hidden once the flight has landed";
    EXPECT_FALSE(ctrl().Timer2.isRunning());
}

// The marker's flight back steps on real timers; a test lets it take at most
// FlightPatienceMs, however busy the machine.
constexpr int FlightPatienceMs = 20000;

TEST_F(CtrlDragTest, ClosingTheEditorWhileTheMarkerFliesEndsTheFlight)
{
    const int man = addPerson("山田", "太郎", 0);
    ctrl().Build_List();
    model::runState().Ctrl_Open = 1;
    startDrag(0, lineOf(0, man));
    forms::setCursorPosition(ctrl().RowOrigin.x + 400, ctrl().RowOrigin.y + 300);
    forms::setTimersManual(false);
    forms::releaseOverNothing();
    const int steps = ctrl().ReturnSteps;
    ASSERT_EQ(steps, 10);
    const int stepMs = ctrl().Timer2.interval();
    // The user closes the editor one step into the flight.
    ASSERT_TRUE(QTest::qWaitFor([] { return ctrl().StepsFlown >= 2; }, FlightPatienceMs));
    ASSERT_LT(ctrl().StepsFlown, steps) << "the flight ended before the editor closed";
    ctrl().scritem_Click(5);
    EXPECT_FALSE(form2().isVisible());

    // The time the rest of the flight would take: a timer of the same pace,
    // started after the flight's, has its turns after the flight's each time.
    int paced = 0;
    QTimer pace;
    pace.setTimerType(Qt::PreciseTimer);
    QObject::connect(&pace, &QTimer::timeout, [&paced] { ++paced; });
    pace.start(stepMs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return paced > steps; }, FlightPatienceMs));
    forms::setTimersManual(true);

    EXPECT_FALSE(ctrl().isLoaded()) << "nothing loads the closed editor again";
    EXPECT_EQ(model::runState().Ctrl_Open, 0);
    EXPECT_FALSE(form2().isVisible());
}

// --- Drops on the main window's chart.

class CtrlChartDragTest : public CtrlDragTest {
protected:
    void SetUp() override
    {
        forms::setPrinterList({"Test Printer"});
        CtrlDragTest::SetUp();
        // No hints window at start-up.
        platform::writeWholeFile(home.file("\\tvora.ini"), "QAMODE,0\r\n");
        main_form().show();
        model::runState().Ctrl_Open = 1;
        ctrl().show();
    }

    void TearDown() override
    {
        mainwindow_test::closeMainWindow(answers);
        main_form().uninstallServices();
        forms::resetPrinterList();
        CtrlDragTest::TearDown();
    }

    // The person-box element of a person, -1 when none.
    static int boxOf(int person)
    {
        for (int index : main_form().DPic.indexes()) {
            if (index >= 2 && drawing::drawState().Label12_Per[static_cast<size_t>(index)] == person)
                return index;
        }
        return -1;
    }

    // Drops on the middle of the couple mark of a marriage.
    static void dropOnMark(int marriage)
    {
        for (int index : main_form().Label11.indexes()) {
            const std::vector<int16_t>& marks = drawing::drawState().Label11_Kou;
            if (index >= 0 && static_cast<size_t>(index) < marks.size() && marks[static_cast<size_t>(index)] == marriage) {
                const forms::CanvasLabel& label = main_form().Label11[index];
                forms::dropOn(main_form().Picture1, label.left() + label.width() / 2,
                              label.top() + label.height() / 2);
                return;
            }
        }
        ADD_FAILURE() << "marriage " << marriage << " has no couple mark on the chart";
    }

    // Exit by File > "終了", cancelled at its question; true when it asked.
    bool exitAsksToSave()
    {
        const size_t before = answers.shown().size();
        answers.answerNext(platform::vbCancel);
        main_form().fileitem[16].choose();
        return answers.shown().size() > before
               && answers.shown()[before].text == "データが変更されています。終了しますか?" && main_form().isLoaded();
    }

    // Drops on the middle of a person box.
    static void dropOnBox(int box)
    {
        const forms::CanvasPicture& picture = main_form().DPic[box];
        forms::dropOn(main_form().Picture1, picture.left() + picture.width() / 2,
                      picture.top() + picture.height() / 2);
    }

    // A married couple with their son, the son's future wife (single) and a man
    // who is married elsewhere; drawn on the chart.
    void buildFamily()
    {
        father = addPerson("山田", "太郎", 0);
        mother = addPerson("山田", "花子", 1);
        son = addPerson("山田", "一郎", 0);
        single = addPerson("佐藤", "幸子", 1);
        const int kou = marry(father, mother);
        addChild(kou, son);
        drawing::Refresh_TabDisp();
        ctrl().Build_List();
    }

    int father = 0, mother = 0, son = 0, single = 0;
};

TEST_F(CtrlChartDragTest, ChartBoxesOfTheSameSexRefuseTheDrop)
{
    buildFamily();
    startDrag(1, lineOf(1, single));
    const int sonBox = boxOf(son);
    const int motherBox = boxOf(mother);
    ASSERT_GT(sonBox, 0);
    ASSERT_GT(motherBox, 0);
    EXPECT_EQ(main_form().DPic[sonBox].oleDropMode(), forms::vbOLEDropManual) << "a single man takes a woman";
    EXPECT_EQ(main_form().DPic[sonBox].tag(), "1");
    EXPECT_EQ(main_form().DPic[motherBox].oleDropMode(), forms::vbOLEDropNone) << "never onto the same sex";
}

TEST_F(CtrlChartDragTest, SingleWomanDroppedOnTheSonMarriesThem)
{
    buildFamily();
    startDrag(1, lineOf(1, single));
    dropOnBox(boxOf(son));
    const int kou = model::Find_PersonMarry(single);
    ASSERT_GT(kou, 0);
    EXPECT_EQ(CtrlTest::kou(kou).kou_titi, son);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::MarriageListed);
    EXPECT_EQ(model::runState().ListDragActive, 0);
}

TEST_F(CtrlChartDragTest, EditorUndoAfterAChartDropTakesBackOnlyTheEditorsDeletion)
{
    buildFamily();
    const int yamada = model::Find_PersonMarry(father);
    const int satoMan = addPerson("佐藤", "一郎", 0);
    const int satoWife = addPerson("佐藤", "良子", 1);
    const int sato = marry(satoMan, satoWife, 0, "通常", 0, "佐藤家");
    const int satoChild = addPerson("佐藤", "次郎", 0);
    addChild(sato, satoChild);
    const int girl = addPerson("山田", "春子", 1);
    ctrl().Build_List();

    // The editor deletes 佐藤家.
    choose(sato);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    ASSERT_EQ(kou(sato).InUse, model::SlotFree);
    ASSERT_EQ(ctrl().scritem[0].caption(), "UNDO 削除");

    // A person dropped onto the 山田家 couple mark becomes their child.
    drawing::Refresh_TabDisp();
    startDrag(1, lineOf(1, girl));
    dropOnMark(yamada);
    ASSERT_GE(model::Find_KodoSlot(yamada, girl), 0);
    const model::marry_data yamadaAfterDrop = kou(yamada);
    tables().Data_Changed = 0;

    // The editor's undo brings 佐藤家 back and leaves 山田家 as the drop left it.
    ctrl().scritem_Click(0);
    EXPECT_EQ(kou(sato).InUse, model::SlotUsed);
    EXPECT_EQ(kou(sato).kou_title, "佐藤家");
    EXPECT_EQ(kou(sato).kou_titi, satoMan);
    EXPECT_EQ(kou(sato).kou_kodo[0], satoChild);
    EXPECT_TRUE(kou(yamada) == yamadaAfterDrop);
    EXPECT_GE(model::Find_KodoSlot(yamada, son), 0);
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_FALSE(ctrl().scritem[0].isEnabled());
    EXPECT_TRUE(exitAsksToSave());
}

TEST_F(CtrlChartDragTest, EditorUndoKeepsANewChildThatAChartDropMadeAChildOfAFamily)
{
    buildFamily();
    const int yamada = model::Find_PersonMarry(father);
    setPartner(0, father);
    setPartner(1, mother);
    const int line = lineOf(0, -1);
    startDrag(0, line);
    forms::dropOn(ctrl().List2, 10, 10);
    const int created = ctrl().List1[0].itemData(line);
    ASSERT_GT(created, 0);
    ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::NewManChild);

    // The new man is dragged from the list onto the 山田家 couple mark.
    drawing::Refresh_TabDisp();
    startDrag(0, lineOf(0, created));
    dropOnMark(yamada);
    ASSERT_GE(model::Find_KodoSlot(yamada, created), 0);

    answers.answerNext(platform::vbOK);
    ctrl().scritem_Click(0);
    ASSERT_FALSE(answers.shown().empty());
    EXPECT_EQ(answers.shown().back().text, model::UndoRefusedMessage);
    EXPECT_EQ(per(created).InUse, model::SlotUsed) << "he is a child of 山田家 now";
    EXPECT_GE(model::Find_KodoSlot(yamada, created), 0);
    EXPECT_FALSE(ctrl().scritem[0].isEnabled());
}

TEST_F(CtrlChartDragTest, EditorUndoLeavesAChildThatAChartDropPutInTheFreedSlot)
{
    buildFamily();
    const int yamada = model::Find_PersonMarry(father);
    const int girl = addPerson("山田", "春子", 1);
    ctrl().Build_List();
    choose(yamada);
    ctrl().List2.setListIndex(0);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();   // 一郎 leaves slot 0
    ASSERT_EQ(kou(yamada).kou_kodo[0], -1);

    drawing::Refresh_TabDisp();
    startDrag(1, lineOf(1, girl));
    dropOnMark(yamada);
    ASSERT_EQ(kou(yamada).kou_kodo[0], girl) << "the drop took the first empty slot";

    answers.answerNext(platform::vbOK);
    ctrl().scritem_Click(0);
    EXPECT_EQ(answers.shown().back().text, model::UndoRefusedMessage);
    EXPECT_EQ(kou(yamada).kou_kodo[0], girl);
    EXPECT_EQ(model::Find_KodoSlot(yamada, son), -1);
}

// The children of a marriage apart from `known`, in slot order.
std::vector<int> otherChildren(int marriage, int known)
{
    std::vector<int> found;
    for (int s = 0; s <= model::LastChildSlot; ++s) {
        const int child = model::tables().kou_buf[static_cast<size_t>(marriage)].kou_kodo[static_cast<size_t>(s)];
        if (child != -1 && child != known)
            found.push_back(child);
    }
    return found;
}

// A changed title registered, then a new child dropped on the marriage's mark: the
// record before the change has no such child, so the undo refuses and keeps both.
TEST_F(CtrlChartDragTest, EditorUndoOfAChangeRefusesAfterAChartDropAddedAChild)
{
    buildFamily();
    const int yamada = model::Find_PersonMarry(father);
    choose(yamada);
    ctrl().Text1[0].setText("山田本家");
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(kou(yamada).kou_title, "山田本家");
    ASSERT_EQ(ctrl().scritem[0].caption(), "UNDO 登録");

    drawing::Refresh_TabDisp();
    startDrag(0, lineOf(0, -1));
    dropOnMark(yamada);
    const std::vector<int> dropped = otherChildren(yamada, son);
    ASSERT_EQ(dropped.size(), 1u);

    answers.answerNext(platform::vbOK);
    ctrl().Command2[3].click();
    ASSERT_FALSE(answers.shown().empty());
    EXPECT_EQ(answers.shown().back().text, model::UndoRefusedMessage);
    EXPECT_EQ(kou(yamada).kou_title, "山田本家");
    EXPECT_EQ(otherChildren(yamada, son), dropped) << "the dropped child keeps its parents";
    EXPECT_EQ(per(dropped[0]).InUse, model::SlotUsed);
    EXPECT_FALSE(ctrl().scritem[0].isEnabled());
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::None);
}

// A marriage registered in the editor, then a child dropped on its mark: the undo
// would free the child's parents with the marriage, so it refuses.
TEST_F(CtrlChartDragTest, EditorUndoOfANewMarriageRefusesAfterAChartDropAddedAChild)
{
    buildFamily();
    const int girl = addPerson("山田", "春子", 1);
    ctrl().Build_List();
    setPartner(0, son);
    setPartner(1, single);
    ctrl().CMDFUNC[1].click();
    const int added = model::kouUndo().UndoKou;
    ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::NewMarriage);

    drawing::Refresh_TabDisp();
    startDrag(1, lineOf(1, girl));
    dropOnMark(added);
    ASSERT_GE(model::Find_KodoSlot(added, girl), 0);

    answers.answerNext(platform::vbOK);
    ctrl().Command2[3].click();
    ASSERT_FALSE(answers.shown().empty());
    EXPECT_EQ(answers.shown().back().text, model::UndoRefusedMessage);
    EXPECT_EQ(kou(added).InUse, model::SlotUsed);
    EXPECT_EQ(kou(added).kou_titi, son);
    EXPECT_GE(model::Find_KodoSlot(added, girl), 0);
    EXPECT_FALSE(ctrl().scritem[0].isEnabled());
}

// A placeholder husband dropped in the editor, then another placeholder dropped on
// the chart: the editor's undo frees its man but keeps the counter, so the next
// placeholder does not repeat the chart's man's name.
TEST_F(CtrlChartDragTest, EditorUndoKeepsThePlaceholderNumberALaterDropTook)
{
    buildFamily();
    const int yamada = model::Find_PersonMarry(father);
    startDrag(0, lineOf(0, -1));
    forms::dropOn(ctrl().Label2[0], 10, 10);
    ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::NewHusband);
    const int husband = std::stoi(ctrl().Label2[0].tag());
    ASSERT_EQ(per(husband).Name, "男01");

    drawing::Refresh_TabDisp();
    startDrag(0, lineOf(0, -1));
    dropOnMark(yamada);
    const std::vector<int> dropped = otherChildren(yamada, son);
    ASSERT_EQ(dropped.size(), 1u);
    ASSERT_EQ(per(dropped[0]).Name, "男02");

    ctrl().Command2[3].click();
    EXPECT_EQ(per(husband).InUse, model::SlotFree);
    EXPECT_EQ(tables().DummyManCnt, 3);
    const int placeholder = lineOf(0, -1);
    ASSERT_GE(placeholder, 0);
    EXPECT_EQ(ctrl().List1[0].list(placeholder), "**** 男03") << "the next placeholder is a new name";
}

// The same the other way round: the chart's undo frees its placeholder child and keeps
// the number the editor's later placeholder took.
TEST_F(CtrlChartDragTest, ChartUndoKeepsThePlaceholderNumberALaterEditorDropTook)
{
    buildFamily();
    const int yamada = model::Find_PersonMarry(father);
    startDrag(0, lineOf(0, -1));
    dropOnMark(yamada);
    const std::vector<int> dropped = otherChildren(yamada, son);
    ASSERT_EQ(dropped.size(), 1u);
    ASSERT_EQ(per(dropped[0]).Name, "男01");
    startDrag(0, lineOf(0, -1));
    forms::dropOn(ctrl().Label2[0], 10, 10);
    ASSERT_EQ(per(std::stoi(ctrl().Label2[0].tag())).Name, "男02");

    main_form().scritem[0].choose();
    EXPECT_EQ(per(dropped[0]).InUse, model::SlotFree);
    EXPECT_EQ(tables().DummyManCnt, 3);
    const int placeholder = lineOf(0, -1);
    ASSERT_GE(placeholder, 0);
    EXPECT_EQ(ctrl().List1[0].list(placeholder), "**** 男03");
}

// Each kind of the editor's undo that changes the family: after a save, exit asks.
enum class EditorStep { Registered, Changed, Deleted, ChildRemoved, NewChild, NewHusband };

class EditorUndoThenExitTest : public CtrlChartDragTest, public ::testing::WithParamInterface<EditorStep> {
};

TEST_P(EditorUndoThenExitTest, ExitAsksToSave)
{
    buildFamily();
    const int yamada = model::Find_PersonMarry(father);
    switch (GetParam()) {
    case EditorStep::Registered:
        setPartner(0, son);
        setPartner(1, single);
        ctrl().CMDFUNC[1].click();
        ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::NewMarriage);
        break;
    case EditorStep::Changed:
        choose(yamada);
        ctrl().Text1[0].setText("改題");
        ctrl().CMDFUNC[1].click();
        ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ChangedMarriage);
        break;
    case EditorStep::Deleted:
        choose(yamada);
        answers.answerNext(platform::vbOK);
        ctrl().CMDFUNC[2].click();
        break;
    case EditorStep::ChildRemoved:
        choose(yamada);
        ctrl().List2.setListIndex(0);
        answers.answerNext(platform::vbOK);
        ctrl().CMDFUNC[2].click();
        ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::RemovedChild);
        break;
    case EditorStep::NewChild:
        setPartner(0, father);
        setPartner(1, mother);
        startDrag(0, lineOf(0, -1));
        forms::dropOn(ctrl().List2, 10, 10);
        break;
    case EditorStep::NewHusband:
        startDrag(0, lineOf(0, -1));
        forms::dropOn(ctrl().Label2[0], 10, 10);
        break;
    }
    ASSERT_TRUE(ctrl().scritem[0].isEnabled());
    tables().Data_Changed = 0;   // as a save leaves it
    ctrl().scritem_Click(0);
    ASSERT_FALSE(ctrl().scritem[0].isEnabled());
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_TRUE(exitAsksToSave());
}

std::string editorStepName(const ::testing::TestParamInfo<EditorStep>& info)
{
    switch (info.param) {
    case EditorStep::Registered:
        return "Registered";
    case EditorStep::Changed:
        return "Changed";
    case EditorStep::Deleted:
        return "Deleted";
    case EditorStep::ChildRemoved:
        return "ChildRemoved";
    case EditorStep::NewChild:
        return "NewChild";
    case EditorStep::NewHusband:
        break;
    }
    return "NewHusband";
}

INSTANTIATE_TEST_SUITE_P(Steps, EditorUndoThenExitTest,
                         ::testing::Values(EditorStep::Registered, EditorStep::Changed, EditorStep::Deleted,
                                           EditorStep::ChildRemoved, EditorStep::NewChild, EditorStep::NewHusband),
                         editorStepName);

TEST_F(CtrlChartDragTest, YesToTheCopyWithoutRoomCancelsTheDrop)
{
    buildFamily();
    const int other = addPerson("鈴木", "次郎", 0);
    const int otherWife = addPerson("鈴木", "春子", 1);
    const int theirs = marry(other, otherWife, 0);
    ctrl().Build_List();
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot)
        per(slot).InUse = model::SlotUsed;

    startDrag(1, lineOf(1, otherWife));
    answers.answerNext(platform::vbYes);   // relate a copy of her
    answers.answerNext(platform::vbOK);
    dropOnBox(boxOf(son));

    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[0].title, "個人情報のコピー");
    EXPECT_EQ(answers.shown()[1].text, "これ以上個人情報を追加出来ません");
    EXPECT_EQ(model::Find_PersonMarry(son), -1) << "nobody is related to the son";
    EXPECT_EQ(model::Find_NextMarry(otherWife, theirs + 1), -1) << "she was not related instead of her copy";
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::None);
}

// A woman married elsewhere dropped on the single son: the chart keeps the drop
// and the editor asks whether to relate a copy of her.
class KeptDropTest : public CtrlChartDragTest, public ::testing::WithParamInterface<int> {
};

TEST_P(KeptDropTest, MarriedPersonIsOfferedACopy)
{
    buildFamily();
    const int other = addPerson("鈴木", "次郎", 0);
    const int otherWife = addPerson("鈴木", "春子", 1);
    marry(other, otherWife, 0);
    ctrl().Build_List();
    const int answer = GetParam();

    startDrag(1, lineOf(1, otherWife));
    answers.answerNext(answer);
    dropOnBox(boxOf(son));

    ASSERT_FALSE(answers.shown().empty());
    const ScriptedResponder::Shown& question = answers.shown().back();
    EXPECT_EQ(question.title, "個人情報のコピー");
    EXPECT_EQ(question.style, 68);
    EXPECT_EQ(question.text, "鈴木 春子は既に結婚しています。\r\n個人情報のコピーを作成し、新たに関係を追加しますか?\r\n"
                             "（既に作成している結婚関係に影響を与えず、関係を追加します)\r\n"
                             "「いいえ」の場合は、そのまま既存の関係に追加します");
    EXPECT_EQ(mainwindow::dropState().Drop_PendKind, mainwindow::PendNone);

    int wife = -1;
    for (int k = 1; k <= model::LastSlot; ++k) {
        if (kou(k).InUse == model::SlotUsed && kou(k).kou_titi == son)
            wife = kou(k).kou_haha;
    }
    if (answer == platform::vbNo) {
        EXPECT_EQ(wife, otherWife) << "No relates the person herself";
    } else {
        ASSERT_GT(wife, 0);
        EXPECT_NE(wife, otherWife);
        EXPECT_EQ(per(wife).CopyIdx, otherWife);
        EXPECT_EQ(per(wife).F_name, "鈴木");
        EXPECT_EQ(per(wife).Name, "春子");
        EXPECT_EQ(per(wife).Sex, 1);
    }
    EXPECT_EQ(tables().Data_Changed, 1);
}

INSTANTIATE_TEST_SUITE_P(Answers, KeptDropTest, ::testing::Values(platform::vbNo, platform::vbYes),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == platform::vbNo ? "No" : "Yes");
                         });

} // namespace
} // namespace relations_test
