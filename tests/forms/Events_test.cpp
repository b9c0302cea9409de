// The event rules: programmatic changes raise their events synchronously and
// only on a real change; the mouse sequences of the runtime; events never
// reach an element unloaded by an earlier handler of the same gesture.

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/ScrollBar.h"
#include "forms/TabStrip.h"

#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

class EventForm : public forms::Form {
public:
    EventForm() : Form("EventForm")
    {
        auto record = [this](const std::string& name) { return [this, name] { log.push_back(name); }; };
        auto mouse = [this](const std::string& name) {
            return [this, name](int button, int shift, double x, double y) {
                log.push_back(name + "(" + std::to_string(button) + "," + std::to_string(shift) + ","
                              + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)) + ")");
            };
        };
        List1.onClick = [this] { log.push_back("List1_Click " + List1.text()); };
        List1.onMouseDown = [this](int, int, double, double) {
            log.push_back("List1_MouseDown " + std::to_string(List1.listIndex()) + " " + List1.text());
        };
        List2.onItemCheck = [this](int item) { log.push_back("List2_ItemCheck " + std::to_string(item)); };
        Combo1.onClick = record("Combo1_Click");
        Check1.onClick = [this] { log.push_back("Check1_Click " + std::to_string(Check1.value())); };
        Option1.onClick = [this](int index) { log.push_back("Option1_Click " + std::to_string(index)); };
        Option1.onMouseUp = [this](int index, int, int, double, double) {
            log.push_back("Option1_MouseUp " + std::to_string(index) + " "
                          + (Option1[index].value() ? "True" : "False"));
        };
        Option2.onClick = record("Option2_Click");
        HScroll1.onChange = [this] { log.push_back("HScroll1_Change " + std::to_string(HScroll1.value())); };
        TabStrip1.onClick = [this] {
            log.push_back("TabStrip1_Click " + std::to_string(TabStrip1.selectedIndex()));
        };
        Label1.onClick = record("Click");
        Label1.onDblClick = record("DblClick");
        Label1.onMouseDown = mouse("MouseDown");
        Label1.onMouseUp = mouse("MouseUp");
        Command1.onClick = record("Command1_Click");
        Command1.onMouseDown = mouse("Command1_MouseDown");
        Command1.onMouseUp = mouse("Command1_MouseUp");
    }

    forms::ListBox List1{*this, "List1"};
    forms::ListBox List2{*this, "List2"};
    forms::ComboBox Combo1{*this, "Combo1"};
    forms::CheckBox Check1{*this, "Check1"};
    forms::ControlArray<forms::OptionButton> Option1{*this, "Option1", {0, 1, 2}};
    forms::Frame Frame1{*this, "Frame1"};
    forms::OptionButton Option2{Frame1, "Option2"};
    forms::HScrollBar HScroll1{*this, "HScroll1"};
    forms::TabStrip TabStrip1{*this, "TabStrip1"};
    forms::Label Label1{*this, "Label1"};
    forms::CommandButton Command1{*this, "Command1"};
    std::vector<std::string> log;

protected:
    void design() override
    {
        move(0, 0, 9000, 9000);
        List1.move(0, 0, 3000, 3000);
        for (const char* item : {"一", "二", "三"})
            List1.addItem(item);
        List2.setStyle(forms::vbListBoxCheckbox);
        List2.addItem("a");
        List2.addItem("b");
        Combo1.setStyle(forms::vbComboDropdownList);
        Combo1.addItem("x");
        Combo1.addItem("y");
        for (int i = 0; i < 3; ++i) {
            Option1[i].move(3200, 300.0 * i, 1500, 300);
            Option1[i].setCaption("option " + std::to_string(i));
        }
        Option1[0].setValue(true); // design value: no event
        Frame1.move(5000, 0, 3000, 2000);
        Option2.move(120, 240, 1500, 300);
        Option2.setValue(true);
        HScroll1.setMax(100);
        TabStrip1.tabs().add(0, "card", "カード");
        TabStrip1.tabs().add(0, "table", "一覧");
        Label1.move(0, 4500, 3000, 1500);
        Command1.move(4500, 4500, 1500, 600);
    }
};

struct ChangeCase {
    const char* name;
    std::function<void(EventForm&)> change;
    std::vector<std::string> expected;
};

void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.name; }

class ProgrammaticChanges : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(ProgrammaticChanges, RaiseEventsOnlyOnRealChange)
{
    EventForm form;
    form.show();
    form.log.clear();
    GetParam().change(form);
    EXPECT_EQ(form.log, GetParam().expected) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ProgrammaticChanges,
    ::testing::Values(
        ChangeCase{"ListIndex", [](EventForm& f) { f.List1.setListIndex(1); }, {"List1_Click 二"}},
        ChangeCase{"same ListIndex", [](EventForm& f) {
                       f.List1.setListIndex(2);
                       f.List1.setListIndex(2);
                   },
                   {"List1_Click 三"}},
        ChangeCase{"ListIndex back to none", [](EventForm& f) {
                       f.List1.setListIndex(0);
                       f.List1.setListIndex(-1);
                   },
                   {"List1_Click 一", "List1_Click "}},
        ChangeCase{"check-list Selected", [](EventForm& f) {
                       f.List2.setSelected(1, true);
                       f.List2.setSelected(1, true);
                   },
                   {"List2_ItemCheck 1"}},
        ChangeCase{"combo ListIndex", [](EventForm& f) {
                       f.Combo1.setListIndex(1);
                       f.Combo1.setText("y");
                   },
                   {"Combo1_Click"}},
        ChangeCase{"check box Value", [](EventForm& f) {
                       f.Check1.setValue(1);
                       f.Check1.setValue(1);
                       f.Check1.setValue(2);
                   },
                   {"Check1_Click 1", "Check1_Click 2"}},
        ChangeCase{"option True", [](EventForm& f) { f.Option1[2].setValue(true); }, {"Option1_Click 2"}},
        ChangeCase{"option already True", [](EventForm& f) { f.Option1[0].setValue(true); }, {}},
        ChangeCase{"option False", [](EventForm& f) { f.Option1[0].setValue(false); }, {}},
        ChangeCase{"scroll Value", [](EventForm& f) {
                       f.HScroll1.setValue(40);
                       f.HScroll1.setValue(40);
                   },
                   {"HScroll1_Change 40"}},
        ChangeCase{"scroll Max moving Value", [](EventForm& f) {
                       f.HScroll1.setValue(80);
                       f.HScroll1.setMax(50);
                       f.HScroll1.setMax(60);
                   },
                   {"HScroll1_Change 80", "HScroll1_Change 50"}},
        ChangeCase{"tab select", [](EventForm& f) {
                       f.TabStrip1.tabs().item(2).setSelected(true);
                       f.TabStrip1.tabs().item(2).setSelected(true);
                   },
                   {"TabStrip1_Click 2"}},
        ChangeCase{"structural list changes", [](EventForm& f) {
                       f.List1.addItem("四");
                       f.List1.removeItem(0);
                       f.List1.clear();
                       f.Combo1.clear();
                       f.TabStrip1.tabs().add(1, "", "new");
                       f.TabStrip1.tabs().remove(1);
                   },
                   {}}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ' || c == '-')
                c = '_';
        return name;
    });

TEST(Events, OptionTrueTurnsOffSiblingsOfTheSameContainerOnly)
{
    EventForm form;
    form.show();
    form.log.clear();
    form.Option1[1].setValue(true);
    EXPECT_FALSE(form.Option1[0].value());
    EXPECT_TRUE(form.Option1[1].value());
    EXPECT_TRUE(form.Option2.value()); // another container, another group
    EXPECT_EQ(form.log, (std::vector<std::string>{"Option1_Click 1"}));
}

TEST(Events, HandlersNestInsideTheSetter)
{
    EventForm form;
    form.show();
    form.log.clear();
    form.List1.onClick = [&] {
        form.log.push_back("List1_Click enter");
        form.Check1.setValue(1);
        form.log.push_back("List1_Click leave");
    };
    form.List1.setListIndex(0);
    form.log.push_back("setter returned");
    EXPECT_EQ(form.log, (std::vector<std::string>{"List1_Click enter", "Check1_Click 1", "List1_Click leave",
                                                  "setter returned"}));
}

TEST(Events, ClickOrderOfALabel)
{
    EventForm form;
    form.show();
    form.log.clear();
    QWidget* label = form.Label1.widget();
    QTest::mouseClick(label, Qt::LeftButton, Qt::ShiftModifier, QPoint(10, 20));
    EXPECT_EQ(form.log, (std::vector<std::string>{"MouseDown(1,1,150,300)", "MouseUp(1,1,150,300)", "Click"}));
}

TEST(Events, DoubleClickOrderOfALabel)
{
    EventForm form;
    form.show();
    form.log.clear();
    QWidget* label = form.Label1.widget();
    // What the platform delivers for a double-click: press, release, double-click, release.
    QTest::mouseClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseDClick(label, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    QTest::mouseRelease(label, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
    EXPECT_EQ(form.log, (std::vector<std::string>{"MouseDown(1,0,30,30)", "MouseUp(1,0,30,30)", "Click",
                                                  "DblClick", "MouseUp(1,0,30,30)"}));
}

TEST(Events, RightButtonGivesOnlyDownAndUp)
{
    EventForm form;
    form.show();
    form.log.clear();
    QTest::mouseClick(form.Label1.widget(), Qt::RightButton, Qt::ControlModifier, QPoint(1, 1));
    QTest::mouseDClick(form.Label1.widget(), Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    QTest::mouseRelease(form.Label1.widget(), Qt::RightButton, Qt::NoModifier, QPoint(1, 1));
    ASSERT_EQ(form.log.size(), 4u);
    EXPECT_EQ(form.log[2], "MouseDown(2,0,15,15)");
    EXPECT_EQ(form.log[0], "MouseDown(2,2,15,15)");
    EXPECT_EQ(form.log[1], "MouseUp(2,2,15,15)");
    for (const std::string& entry : form.log) {
        EXPECT_NE(entry, "Click");
        EXPECT_NE(entry, "DblClick");
    }
}

TEST(Events, CommandButtonClicksAfterMouseUp)
{
    EventForm form;
    form.show();
    form.log.clear();
    QTest::mouseClick(form.Command1.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(4, 4));
    EXPECT_EQ(form.log, (std::vector<std::string>{"Command1_MouseDown(1,0,60,60)", "Command1_MouseUp(1,0,60,60)",
                                                  "Command1_Click"}));
}

TEST(Events, OptionClickChangesTheValueBeforeMouseUp)
{
    EventForm form;
    form.show();
    form.log.clear();
    QTest::mouseClick(form.Option1[2].widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(form.log, (std::vector<std::string>{"Option1_Click 2", "Option1_MouseUp 2 True"}));
    EXPECT_FALSE(form.Option1[0].value());
    form.log.clear();
    QTest::mouseClick(form.Option1[2].widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(form.log, (std::vector<std::string>{"Option1_MouseUp 2 True"})); // already chosen
}

TEST(Events, ListPressSelectsThePressedItemBeforeMouseDown)
{
    EventForm form;
    form.show();
    form.log.clear();
    auto* list = static_cast<QListWidget*>(form.List1.widget());
    const QRect second = list->visualItemRect(list->item(1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, second.center());
    ASSERT_GE(form.log.size(), 2u);
    EXPECT_EQ(form.log[0], "List1_Click 二");
    EXPECT_EQ(form.log[1], "List1_MouseDown 1 二");
}

TEST(Events, CheckBoxUserClicksCycleAndGreyGoesToChecked)
{
    EventForm form;
    form.show();
    form.Check1.setValue(2);
    form.log.clear();
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(form.Check1.widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(form.log, (std::vector<std::string>{"Check1_Click 1", "Check1_Click 0", "Check1_Click 1"}));
}

class StaleForm : public forms::Form {
public:
    StaleForm() : Form("StaleForm")
    {
        Box.onMouseDown = [this](int index, int, int, double, double) {
            log.push_back("MouseDown " + std::to_string(index));
            if (rebuildOnMouseDown) {
                // A chart rebuild: the pressed element goes, a new one takes its index.
                Box.unload(index);
                Box.load(index);
                Box[index].setVisible(true);
            }
        };
        Box.onMouseUp = [this](int index, int, int, double, double) { log.push_back("MouseUp " + std::to_string(index)); };
        Box.onClick = [this](int index) { log.push_back("Click " + std::to_string(index)); };
    }
    forms::ControlArray<forms::Label> Box{*this, "Box", {0}};
    std::vector<std::string> log;
    bool rebuildOnMouseDown = false;
};

TEST(Events, NoEventReachesAnElementUnloadedByAnEarlierHandler)
{
    StaleForm form;
    form.show();
    form.Box.load(1);
    form.Box[1].move(0, 0, 1500, 1500);
    form.Box[1].setVisible(true);
    form.rebuildOnMouseDown = true;
    QWidget* pressed = form.Box[1].widget();
    QTest::mousePress(pressed, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    QTest::mouseRelease(pressed, Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(form.log, (std::vector<std::string>{"MouseDown 1"}));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The element that took its place works normally.
    form.rebuildOnMouseDown = false;
    form.log.clear();
    form.Box[1].move(0, 0, 1500, 1500);
    QTest::mouseClick(form.Box[1].widget(), Qt::LeftButton, Qt::NoModifier, QPoint(3, 3));
    EXPECT_EQ(form.log, (std::vector<std::string>{"MouseDown 1", "MouseUp 1", "Click 1"}));
}

TEST(Events, MouseMoveComesWithoutAButtonHeldToo)
{
    EventForm form;
    form.show();
    std::vector<std::string> moves;
    form.Label1.onMouseMove = [&](int button, int shift, double x, double y) {
        moves.push_back(std::to_string(button) + " " + std::to_string(shift) + " " + std::to_string(static_cast<int>(x))
                        + " " + std::to_string(static_cast<int>(y)));
    };
    EXPECT_TRUE(form.Label1.widget()->hasMouseTracking());
    QMouseEvent hover(QEvent::MouseMove, QPointF(4, 6), QPointF(4, 6), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(form.Label1.widget(), &hover);
    QMouseEvent drag(QEvent::MouseMove, QPointF(5, 6), QPointF(5, 6), Qt::NoButton, Qt::RightButton,
                     Qt::AltModifier);
    QCoreApplication::sendEvent(form.Label1.widget(), &drag);
    EXPECT_EQ(moves, (std::vector<std::string>{"0 0 60 90", "2 4 75 90"}));
}

TEST(Events, NothingIsRaisedWhileTheWindowIsDesigned)
{
    // design() sets Option1[0], Option2, List items and tabs: no handler ran.
    EventForm form;
    form.load();
    EXPECT_TRUE(form.log.empty());
    EXPECT_TRUE(form.Option1[0].value());
}

} // namespace
