// Control arrays: design-time elements with gaps, run-time Load and Unload,
// the runtime's error numbers, and events carrying the element's index.

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Menu.h"
#include "forms/TextBox.h"

#include "platform/Errors.h"

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>
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

} // namespace
