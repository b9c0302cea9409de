// Control arrays: design-time elements with gaps, run-time Load and Unload,
// the runtime's error numbers, events carrying the element's index, and labels
// loaded and unloaded by the thousand: where they stand, when they go, and that
// they are painted.

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/LineControl.h"
#include "forms/Menu.h"
#include "forms/PictureBox.h"
#include "forms/TextBox.h"

#include "platform/Errors.h"

#include "support/qt/LabelOnScreen.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace {

using forms::ControlArray;

class ArrayForm : public forms::Form {
public:
    ArrayForm() : Form("ArrayForm")
    {
        helpitem.onClick = [this](int index) { clicks.push_back(index); };
        Command2.onClick = [this](int index) { clicks.push_back(100 + index); };
    }

    forms::Menu helpmenu{*this, "helpmenu"};
    ControlArray<forms::Menu> helpitem{helpmenu, "helpitem", {0, 1, 2, 4, 5, 7, 8}};
    ControlArray<forms::Label> Check2{*this, "Check2", {1, 2, 3}};
    ControlArray<forms::CommandButton> Command2{*this, "Command2", {0}};
    std::vector<int> clicks;

protected:
    void design() override
    {
        Check2[1].setCaption("first");
        Check2[1].move(120, 240, 1500, 300);
        Check2[1].setTag("design");
        Check2[2].setCaption("second");
        Command2[0].setCaption("押す");
        Command2[0].move(0, 0, 1200, 450);
        for (int index : helpitem.indexes())
            helpitem[index].setCaption("item " + std::to_string(index));
    }
};

int errorNumberOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const platform::RuntimeError& error) {
        return error.number;
    }
    return 0;
}

TEST(ControlArray, DesignIndexesMayHaveGapsAndStartAboveZero)
{
    ArrayForm form;
    EXPECT_EQ(form.helpitem.lBound(), 0);
    EXPECT_EQ(form.helpitem.uBound(), 8);
    EXPECT_EQ(form.helpitem.count(), 7);
    EXPECT_FALSE(form.helpitem.exists(3));
    EXPECT_TRUE(form.helpitem.exists(4));
    EXPECT_EQ(form.Check2.lBound(), 1);
    EXPECT_EQ(form.Check2.uBound(), 3);
    EXPECT_EQ(form.helpitem.indexes(), (std::vector<int>{0, 1, 2, 4, 5, 7, 8}));
}

struct ErrorCase {
    const char* name;
    std::function<void(ArrayForm&)> action;
    int number;
};

void PrintTo(const ErrorCase& c, std::ostream* out) { *out << c.name; }

class ControlArrayErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(ControlArrayErrors, RaiseTheRuntimeNumbers)
{
    ArrayForm form;
    EXPECT_EQ(errorNumberOf([&] { GetParam().action(form); }), GetParam().number) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(
    Errors, ControlArrayErrors,
    ::testing::Values(
        ErrorCase{"read a gap", [](ArrayForm& f) { f.helpitem[3].caption(); }, platform::err::ArrayElementMissing},
        ErrorCase{"read past the end", [](ArrayForm& f) { f.Check2[4].caption(); },
                  platform::err::ArrayElementMissing},
        ErrorCase{"read below the start", [](ArrayForm& f) { f.Check2[0].caption(); },
                  platform::err::ArrayElementMissing},
        ErrorCase{"negative index", [](ArrayForm& f) { f.Check2[-1].caption(); },
                  platform::err::ArrayElementMissing},
        ErrorCase{"load an existing element", [](ArrayForm& f) { f.Check2.load(2); },
                  platform::err::ArrayElementLoaded},
        ErrorCase{"unload a design element", [](ArrayForm& f) { f.Check2.unload(1); },
                  platform::err::ArrayElementUnload},
        ErrorCase{"unload a missing element", [](ArrayForm& f) { f.Check2.unload(9); },
                  platform::err::ArrayElementMissing},
        ErrorCase{"bulk unload over a design element", [](ArrayForm& f) {
                      f.Check2.load(4);
                      f.Check2.unloadRange(3, 4);
                  },
                  platform::err::ArrayElementUnload},
        ErrorCase{"load twice", [](ArrayForm& f) {
                      f.Check2.load(7);
                      f.Check2.load(7);
                  },
                  platform::err::ArrayElementLoaded}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ')
                c = '_';
        return name;
    });

TEST(ControlArray, LoadCopiesTheLowestElementHidden)
{
    ArrayForm form;
    form.Check2[1].setCaption("changed at run time");
    form.Check2.load(10);
    forms::Label& added = form.Check2[10];
    EXPECT_EQ(added.caption(), "changed at run time");
    EXPECT_EQ(added.tag(), "design");
    EXPECT_DOUBLE_EQ(added.left(), 120);
    EXPECT_DOUBLE_EQ(added.width(), 1500);
    EXPECT_FALSE(added.isVisible());
    EXPECT_FALSE(added.widget()->isVisibleTo(added.widget()->parentWidget()));
    EXPECT_EQ(added.index(), 10);
    EXPECT_EQ(form.Check2.uBound(), 10);
    EXPECT_EQ(form.Check2.count(), 4);

    form.Check2.unload(10);
    EXPECT_FALSE(form.Check2.exists(10));
    EXPECT_EQ(form.Check2.uBound(), 3);
}

TEST(ControlArray, BulkUnloadRemovesOnlyRunTimeElements)
{
    ArrayForm form;
    for (int i = 4; i <= 50; i += 2)
        form.Check2.load(i);
    EXPECT_EQ(form.Check2.uBound(), 50);
    form.Check2.unloadRange(4, 100);
    EXPECT_EQ(form.Check2.indexes(), (std::vector<int>{1, 2, 3}));
}

TEST(ControlArray, WindowUnloadDropsRunTimeElementsAndRestoresDesignState)
{
    ArrayForm form;
    form.Check2.load(5);
    form.Check2[2].setCaption("edited");
    form.Command2.load(1);
    ASSERT_TRUE(form.unload());
    EXPECT_FALSE(form.isLoaded());

    // The next touch loads the window again, from its design state.
    EXPECT_EQ(form.Check2[2].caption(), "second");
    EXPECT_TRUE(form.isLoaded());
    EXPECT_FALSE(form.Check2.exists(5));
    EXPECT_FALSE(form.Command2.exists(1));
}

TEST(ControlArray, EventsCarryTheIndexOfDesignAndRunTimeElements)
{
    ArrayForm form;
    form.show();
    form.Command2.load(3);
    form.Command2[3].setVisible(true);
    QTest::mouseClick(form.Command2[0].widget(), Qt::LeftButton);
    QTest::mouseClick(form.Command2[3].widget(), Qt::LeftButton);
    form.helpitem[7].choose();
    form.helpitem[0].choose();
    EXPECT_EQ(form.clicks, (std::vector<int>{100, 103, 7, 0}));
}

TEST(ControlArray, HandlerSetAfterLoadStillReachesLoadedElements)
{
    ArrayForm form;
    form.show();
    form.Command2.load(2);
    form.Command2[2].setVisible(true);
    std::vector<int> seen;
    form.Command2.onClick = [&](int index) { seen.push_back(index); };
    QTest::mouseClick(form.Command2[2].widget(), Qt::LeftButton);
    EXPECT_EQ(seen, (std::vector<int>{2}));
}

TEST(ControlArray, RunTimeMenuItemsSitBesideTheirArray)
{
    ArrayForm form;
    form.helpitem.load(3);
    form.helpitem[3].setCaption("item 3");
    form.helpitem[3].setVisible(true);
    std::vector<std::string> captions;
    for (forms::Menu* item : form.helpmenu.items())
        captions.push_back(item->caption());
    EXPECT_EQ(captions, (std::vector<std::string>{"item 0", "item 1", "item 2", "item 3", "item 4", "item 5",
                                                  "item 7", "item 8"}));
}

TEST(ControlArray, ThousandsOfElementsLoadAndUnload)
{
    ArrayForm form;
    for (int i = 4; i < 3000; ++i)
        form.Check2.load(i);
    EXPECT_EQ(form.Check2.count(), 2999);
    EXPECT_EQ(form.Check2[2999].caption(), "first");
    form.Check2.unloadRange(4, 2999);
    EXPECT_EQ(form.Check2.count(), 3);
}

// A command that replaces labels leaves only the new ones in their container:
// the old ones go at once, not when the command ends. A label that unloads itself
// in its own click stays until its event is over.
TEST(ControlArray, UnloadedLabelLeavesItsContainerAtOnceUnlessInsideItsOwnEvent)
{
    ArrayForm form;
    form.show();
    for (int i = 4; i <= 6; ++i)
        form.Check2.load(i);
    QWidget* container = form.Check2[1].widget()->parentWidget();
    QPointer<QWidget> old = form.Check2[5].widget();
    QObjectList during;
    form.Command2.onClick = [&](int) {
        form.Check2.unloadRange(4, 6);
        during = container->children();
        form.Check2.load(7);
    };
    QTest::mouseClick(form.Command2[0].widget(), Qt::LeftButton);
    EXPECT_TRUE(old.isNull());
    EXPECT_FALSE(during.contains(old.data()));

    form.Check2[7].setVisible(true);
    form.Check2[7].move(0, 600, 1500, 300);
    QPointer<QWidget> clicked = form.Check2[7].widget();
    bool stayedInItsClick = false;
    form.Check2.onClick = [&](int index) {
        form.Check2.unload(index);
        stayedInItsClick = !clicked.isNull();
    };
    QTest::mouseClick(clicked.data(), Qt::LeftButton);
    EXPECT_TRUE(stayedInItsClick);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(clicked.isNull());
    EXPECT_FALSE(form.Check2.exists(7));
}

// Every new label stands just under the lowest control of its container that is
// not a label (a line here, lowered when it is made), or on top when there is
// none, whatever was loaded, unloaded or restacked before it.
TEST(ControlArray, NewLabelStandsUnderTheLowestControlThatIsNotALabel)
{
    class Sheet : public forms::Form {
    public:
        Sheet() : Form("Sheet") {}
        ControlArray<forms::Label> Name{*this, "Name", {0}};
        ControlArray<forms::LineControl> Rule{*this, "Rule", {}};
    } form;
    form.load();
    std::mt19937 random(2026);
    const auto pick = [&](const std::vector<int>& indexes) {
        return indexes[std::uniform_int_distribution<size_t>(0, indexes.size() - 1)(random)];
    };
    const auto runTime = [](const std::vector<int>& indexes) {
        return std::vector<int>(indexes.begin() + 1, indexes.end());
    };
    int next = 1;
    int placed = 0;
    for (int step = 0; step < 600; ++step) {
        const std::vector<int> names = form.Name.indexes();
        const std::vector<int> rules = form.Rule.indexes();
        switch (std::uniform_int_distribution<int>(0, 7)(random)) {
        case 4:
            form.Rule.load(next++);
            break;
        case 5:
            if (names.size() > 1)
                form.Name.unload(pick(runTime(names)));
            break;
        case 6:
            if (!rules.empty())
                form.Rule.unload(pick(rules));
            break;
        case 7:
            if (!rules.empty() && random() % 2 == 0)
                form.Rule[pick(rules)].zOrder(static_cast<int>(random() % 2));
            else
                form.Name[pick(names)].zOrder(static_cast<int>(random() % 2));
            break;
        default: {
            const int index = next++;
            form.Name.load(index);
            QWidget* label = form.Name[index].widget();
            const QObjectList children = label->parentWidget()->children();
            QObject* lowestOther = nullptr;
            for (QObject* child : children) {
                if (child->isWidgetType() && !qobject_cast<QLabel*>(child)) {
                    lowestOther = child;
                    break;
                }
            }
            const auto at = children.indexOf(label);
            if (lowestOther)
                ASSERT_EQ(at + 1, children.indexOf(lowestOther)) << "step " << step;
            else
                ASSERT_EQ(at, children.size() - 1) << "step " << step;
            ++placed;
        }
        }
    }
    EXPECT_GT(placed, 200);
}

// Labels a command shows on a sheet taller than its viewport: the one in view is
// on screen when the command ends, the one below the viewport once the sheet is
// moved up to it.
TEST(ControlArray, LabelsShownByACommandAreOnScreenInViewAndOnceScrolledTo)
{
    class Sheet : public forms::Form {
    public:
        Sheet() : Form("Sheet") {}
        forms::PictureBox Viewport{*this, "Viewport"};
        forms::PictureBox Page{Viewport, "Page"};
        ControlArray<forms::Label> Bar{Page, "Bar", {0}};
        forms::CommandButton Build{*this, "Build"};

    protected:
        void design() override
        {
            move(0, 0, 6000, 6000);
            Viewport.move(0, 0, 4500, 3000);
            Page.move(0, 0, 4500, 30000);
            Page.setBorderStyle(0);
            Bar[0].setVisible(false);
            Build.move(0, 3300, 1200, 450);
        }
    } form;
    form.show();
    QApplication::processEvents();
    form.Build.onClick = [&] {
        for (int i = 1; i <= 60; ++i) {
            form.Bar.load(i);
            form.Bar[i].move(300, i * 450, 3000, 300);
            form.Bar[i].setBackColor(i % 2 != 0 ? 0x0000FF : 0xFF0000);
            form.Bar[i].setVisible(true);
        }
    };
    QTest::mouseClick(form.Build.widget(), Qt::LeftButton);
    QApplication::processEvents();
    EXPECT_GT(support::backColourPixelsOnScreen(form.Bar[2]), 100);
    form.Page.setTop(-form.Bar[60].top() + 450);
    QApplication::processEvents();
    EXPECT_GT(support::backColourPixelsOnScreen(form.Bar[60]), 100);
    EXPECT_GT(support::backColourPixelsOnScreen(form.Bar[59]), 100);
}

} // namespace
