// Where the windows kept in front of the main window open on a laptop's screen
// (1366 x 768): wholly on the screen, clear of the main window's toolbar where
// there is room, never exactly over one another, and where the user left them.

#include "entry/EntryForm.h"
#include "forms/Testing.h"
#include "mainwindow/FrmQA.h"
#include "mainwindow/MainForm.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/KakeGrpStatForm.h"
#include "reports/nametb.h"
#include "reports/yeartb.h"

#include "LayoutFamilies.h"
#include "MainWindowCommands.h"
#include "ProgramFixture.h"
#include "support/qt/ScreenSize.h"

#include <QCoreApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace {

class WindowPlaces : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        answers.allowUnusedAnswers();
        ProgramFixture::SetUp();
        layouttest::FamilyBuilder family;
        const int16_t kou = family.couple();
        family.child(kou, family.person(layouttest::FamilyBuilder::Male));
        main_form().show();
    }

    // The main window in its normal state, at its own size, with its frame at
    // left, top (pixels).
    static void placeMainWindow(int left, int top)
    {
        main_form().move(left * 15.0, top * 15.0);
        QCoreApplication::processEvents();
    }

    static QRect frameOf(const forms::Form& form) { return forms::formWidget(form)->frameGeometry(); }
    static QRect screenArea() { return forms::formWidget(main_form())->screen()->availableGeometry(); }

    // What is wrong with where the window opened, or "": it lies wholly inside the
    // screen and covers no more of the main window's commands than it must.
    static std::string placement(const forms::Form& form)
    {
        const QWidget* window = forms::formWidget(form);
        if (!window || !window->isVisible())
            return "not shown";
        const QRect frame = frameOf(form);
        const QRect area = screenArea();
        std::string found;
        if (!area.contains(frame))
            found += "not wholly on the screen;";
        return found + app_test::coversMoreCommandsThanItMust(frame, area);
    }

    // Opens each window kept in front as the toolbar does and notes where it went.
    static std::map<std::string, std::string> openEachWindow()
    {
        std::map<std::string, std::string> found;
        MainForm& main = main_form();
        forms::onShown("PrePrint", [&found](forms::Form& form) {
            found[form.name()] = placement(form);
            form.unload();
        });
        main.Command2[3].click(); // 印刷プレビュー
        const std::vector<std::pair<int, forms::Form*>> buttons{
            {9, &entry_form()}, {10, &ctrl_form()}, {11, &nametb_form()}, {12, &yeartb_form()}};
        for (const auto& [button, form] : buttons) {
            main.Command2[button].click();
            QCoreApplication::processEvents();
            found[form->name()] = placement(*form);
            form->unload();
        }
        return found;
    }
};

const std::map<std::string, std::string> AllWellPlaced{
    {"PrePrint", ""}, {"entry", ""}, {"ctrl", ""}, {"nametb", ""}, {"yeartb", ""}};

// Below a main window low on the screen there is no room for the tall windows:
// they open wholly on the screen all the same, over as few of the main window's
// commands as they must. High on the screen, there is room below its toolbar for
// each of them.
TEST_F(WindowPlaces, OnALaptopScreenEveryWindowInFrontOpensWhollyOnTheScreen)
{
    support::ScreenSize laptop(1366, 768);
    ASSERT_EQ(screenArea(), QRect(0, 0, 1366, 768));

    placeMainWindow(400, 230);
    ASSERT_EQ(frameOf(main_form()).topLeft(), QPoint(400, 230));
    ASSERT_GT(frameOf(main_form()).bottom(), 700) << "wholly on the screen, low on it";
    EXPECT_EQ(openEachWindow(), AllWellPlaced);

    placeMainWindow(400, 20);
    const std::map<std::string, std::string> found = openEachWindow();
    EXPECT_EQ(found, AllWellPlaced);
}

// On a large screen with the main window low on it, neither the person editor nor
// the relationship editor finds a place clear of the main window's commands:
// moving the relationship editor out of the person editor's way must not cover
// more of them, so the buttons right of the toolbar stay within reach.
TEST_F(WindowPlaces, WindowsWithNoPlaceClearOfTheToolbarCoverTheFewestCommands)
{
    support::ScreenSize desktop(1920, 1080);
    ASSERT_EQ(screenArea(), QRect(0, 0, 1920, 1080));
    placeMainWindow(600, 500);
    MainForm& main = main_form();
    main.Command2[9].click();  // 入力画面
    main.Command2[10].click(); // 関係設定画面
    QCoreApplication::processEvents();

    EXPECT_EQ(placement(entry_form()), "");
    EXPECT_EQ(placement(ctrl_form()), "");
    for (const int button : {11, 12, 13, 14}) {
        const QWidget* widget = main.Command2[button].widget();
        const QRect place(widget->mapToGlobal(QPoint(0, 0)), widget->size());
        EXPECT_FALSE(frameOf(ctrl_form()).intersects(place)) << "Command2(" << button << ") covered";
        EXPECT_FALSE(frameOf(entry_form()).intersects(place)) << "Command2(" << button << ") covered";
    }
    ctrl_form().unload();
    entry_form().unload();
}

// Five windows opened one after another on a large screen each open wholly on it,
// clear of the toolbar, and none over the title bar of one opened before it: each
// can still be taken by its title bar (its top 20 pixels, a title bar's height).
TEST_F(WindowPlaces, WindowsOpenedOneAfterAnotherLeaveEveryTitleBarInView)
{
    support::ScreenSize desktop(1920, 1080);
    placeMainWindow(40, 40);
    MainForm& main = main_form();
    std::vector<forms::Form*> opened;
    for (const auto& [button, form] : std::vector<std::pair<int, forms::Form*>>{
             {9, &entry_form()}, {10, &ctrl_form()}, {14, &kakegrpstat_form()}, {11, &nametb_form()}, {12, &yeartb_form()}}) {
        main.Command2[button].click();
        QCoreApplication::processEvents();
        EXPECT_EQ(placement(*form), "") << form->name();
        const QRect frame = frameOf(*form);
        for (const forms::Form* earlier : opened) {
            const QRect titleBar = frameOf(*earlier).adjusted(0, 0, 0, 20 - frameOf(*earlier).height());
            EXPECT_FALSE(frame.intersects(titleBar)) << form->name() << " over the title bar of " << earlier->name();
        }
        opened.push_back(form);
    }
    for (auto it = opened.rbegin(); it != opened.rend(); ++it)
        (*it)->unload();
}

// Two windows kept in front never open one exactly over the other: on the laptop's
// screen the lineage groups open beside the relationship editor, so that a person
// can be dragged from the editor's list onto the leader field; on a smaller screen
// a title bar's height away. A window the user moved opens again where the user
// left it.
TEST_F(WindowPlaces, WindowsInFrontOpenBesideEachOtherAndWhereTheUserLeftThem)
{
    MainForm& main = main_form();
    const auto openBoth = [&main] {
        main.Command2[10].click(); // 関係設定画面
        main.Command2[14].click(); // 家系グループ設定
        QCoreApplication::processEvents();
    };
    const auto apart = [](const QRect& a, const QRect& b) {
        return std::abs(a.left() - b.left()) >= 30 || std::abs(a.top() - b.top()) >= 30;
    };
    {
        support::ScreenSize laptop(1366, 768);
        // High on the screen both open below the toolbar; low on it the editor opens
        // as low as it fits and the lineage groups would open inside it.
        for (const QPoint mainPlace : {QPoint(0, 0), QPoint(400, 230)}) {
            SCOPED_TRACE(mainPlace.y());
            placeMainWindow(mainPlace.x(), mainPlace.y());
            openBoth();
            const QRect editor = frameOf(ctrl_form());
            const QRect groups = frameOf(kakegrpstat_form());
            EXPECT_FALSE(editor.intersects(groups)) << "side by side: " << editor.left() << "," << editor.top() << " "
                                                    << editor.width() << "x" << editor.height() << " and "
                                                    << groups.left() << "," << groups.top();
            EXPECT_TRUE(screenArea().contains(editor));
            EXPECT_TRUE(screenArea().contains(groups));
            kakegrpstat_form().unload();
            ctrl_form().unload();
        }
    }
    // The headless screen of 800 x 800 has no room for the two side by side.
    placeMainWindow(0, 0);
    openBoth();
    const QRect editor = frameOf(ctrl_form());
    const QRect groups = frameOf(kakegrpstat_form());
    EXPECT_TRUE(apart(editor, groups)) << editor.left() << "," << editor.top() << " and " << groups.left() << ","
                                       << groups.top();
    EXPECT_TRUE(screenArea().contains(groups));

    // The user drags the relationship editor elsewhere and closes both windows by
    // their close boxes.
    const QPoint moved(60, 260);
    forms::formWidget(ctrl_form())->windowHandle()->setFramePosition(moved);
    QCoreApplication::processEvents();
    forms::formWidget(kakegrpstat_form())->close();
    forms::formWidget(ctrl_form())->close();
    ASSERT_FALSE(ctrl_form().isLoaded());
    ASSERT_FALSE(kakegrpstat_form().isLoaded());

    main.Command2[10].click();
    QCoreApplication::processEvents();
    EXPECT_EQ(frameOf(ctrl_form()).topLeft(), moved);
    EXPECT_EQ(ctrl_form().left(), moved.x() * 15.0);
    EXPECT_EQ(ctrl_form().top(), moved.y() * 15.0);
    main.Command2[14].click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(apart(frameOf(ctrl_form()), frameOf(kakegrpstat_form())));
    kakegrpstat_form().unload();
    ctrl_form().unload();
}

// The relationship editor, the easy builder and the person editor, closed by
// their close boxes without being moved, open again exactly where they were,
// however often; the two editors are kept in front of the other windows and the
// person editor has no free place beside them on a laptop's screen.
TEST_F(WindowPlaces, AWindowClosedWhereItOpenedReopensExactlyThere)
{
    support::ScreenSize laptop(1366, 768);
    MainForm& main = main_form();
    frmqa_form().unload(); // the hints, read
    main.setWindowState(forms::vbMaximized);
    QCoreApplication::processEvents();
    const std::vector<std::pair<int, forms::Form*>> windows{
        {10, &ctrl_form()}, {5, &easyctl_form()}, {9, &entry_form()}};
    std::map<std::string, QRect> first;
    for (const auto& [button, form] : windows) {
        main.Command2[button].click();
        QCoreApplication::processEvents();
        first[form->name()] = frameOf(*form);
    }
    for (int reopening = 1; reopening <= 16; ++reopening) {
        const auto& [button, form] = windows[static_cast<size_t>(reopening) % windows.size()];
        forms::formWidget(*form)->close();
        ASSERT_FALSE(form->isLoaded()) << form->name();
        main.Command2[button].click();
        QCoreApplication::processEvents();
        EXPECT_EQ(frameOf(*form), first[form->name()]) << form->name() << " at reopening " << reopening;
    }
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        it->second->unload();
    main.setWindowState(forms::vbNormal);
}

} // namespace
