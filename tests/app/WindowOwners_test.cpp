// The windows the main window opens stay in front of it: each is a dialog owned
// by the main window (window managers keep such a window above its owner, so a
// click on the chart does not bury it), and none of them is modal. Those designed
// at the screen's top-left open below the main window's menu bar and toolbar.

#include "app/AppWindows.h"

#include "drawing/DspOp.h"
#include "entry/InfoOne.h"
#include "forms/Printers.h"
#include "forms/Testing.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"
#include "model/run_state.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"
#include "relations/InfoChldForm.h"
#include "relations/KakeGrpStatForm.h"
#include "reports/ChronologyWindows.h"
#include "reports/nametb.h"
#include "reports/yeartb.h"

#include "LayoutFamilies.h"
#include "ProgramFixture.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <QCoreApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>

namespace {

class WindowOwners : public app_test::ProgramFixture<> {
protected:
    void SetUp() override
    {
        answers.allowUnusedAnswers();
        ProgramFixture::SetUp();
        main_form().show();
    }

    // Why the window is not a modeless dialog in front of the main window, or "".
    static std::string ownership(const forms::Form& form)
    {
        const QWidget* window = forms::formWidget(form);
        if (!window || !window->isVisible())
            return form.name() + " is not shown";
        if (window->windowType() != Qt::Dialog)
            return form.name() + " is no dialog";
        if (!window->windowHandle() || window->windowHandle()->transientParent()
                                           != forms::formWidget(main_form())->windowHandle())
            return form.name() + " is not owned by the main window";
        if (window->windowModality() != Qt::NonModal)
            return form.name() + " is modal";
        return {};
    }

    // What of the main window's menu bar and toolbar the window covers, or where
    // its title bar leaves the screen; "" when it is clear of them and on screen.
    static std::string clearance(const forms::Form& form)
    {
        const QWidget* window = forms::formWidget(form);
        if (!window || !window->isVisible())
            return "not shown";
        const QRect frame = window->frameGeometry();
        const QRect screen = window->screen()->availableGeometry();
        std::string found;
        if (frame.top() < screen.top() || frame.left() < screen.left() || frame.right() > screen.right())
            found += "title bar off the screen;";
        const QWidget* main = forms::formWidget(main_form());
        const QMenuBar* bar = main->findChild<QMenuBar*>();
        if (bar && frame.intersects(QRect(bar->mapToGlobal(QPoint(0, 0)), bar->size())))
            found += "menu bar;";
        main_form().Command2.forEach([&](forms::CommandButton& button) {
            const QWidget* widget = button.widget();
            if (frame.intersects(QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size())))
                found += "Command2(" + std::to_string(button.index()) + ");";
        });
        return found;
    }
};

TEST_F(WindowOwners, WindowsOpenedFromTheMainWindowStayInFrontOfIt)
{
    layouttest::FamilyBuilder family;
    const int16_t kou = family.couple();
    const int16_t son = family.person(layouttest::FamilyBuilder::Male);
    family.child(kou, son);

    MainForm& main = main_form();
    main.Command2[10].click(); // 関係設定画面
    main.Command2[14].click(); // 家系グループ設定
    main.Command2[12].click(); // 年表
    main.Command2[11].click(); // 名簿
    model::runState().Sel_Person = son;
    main.Command2[8].click(); // 個人情報
    mainwindow::otherWindows().showChildDialog(kou, 0);
    QCoreApplication::processEvents();

    for (forms::Form* form : std::initializer_list<forms::Form*>{&ctrl_form(), &kakegrpstat_form(), &yeartb_form(),
                                                                 &nametb_form(), &infoone_form(), &infochld_form()})
        EXPECT_EQ(ownership(*form), "");
    // The main window keeps taking the user's clicks.
    EXPECT_EQ(forms::formWidget(main)->windowModality(), Qt::NonModal);
    EXPECT_TRUE(forms::formWidget(main)->isEnabled());

    // The relationship editor, designed at Top 0, opens below the main window's
    // menu bar and toolbar; Top reads its place back.
    EXPECT_EQ(clearance(ctrl_form()), "");
    EXPECT_EQ(forms::formWidget(ctrl_form())->frameGeometry().top(), ctrl_form().top() / 15);
    EXPECT_GT(forms::formWidget(ctrl_form())->geometry().top(), forms::formWidget(ctrl_form())->frameGeometry().top());
}

// The windows designed at the screen's top-left open clear of the menu bar and
// the toolbar of a maximised main window, modal ones included.
TEST_F(WindowOwners, WindowsInFrontOfTheMainWindowOpenClearOfItsMenuBarAndToolbar)
{
    layouttest::FamilyBuilder family;
    const int16_t kou = family.couple();
    family.child(kou, family.person(layouttest::FamilyBuilder::Male));
    MainForm& main = main_form();
    main.setWindowState(forms::vbMaximized);
    QCoreApplication::processEvents();
    ASSERT_TRUE(forms::formWidget(main)->isMaximized());

    std::map<std::string, std::string> found;
    const auto measure = [&found](forms::Form& form) {
        found[form.name()] = clearance(form);
        form.unload();
    };
    forms::onShown("frmPrnSet", measure);
    main.fileitem[10].choose(); // プリンタ設定
    forms::onShown("PrePrint", measure);
    main.Command2[3].click(); // 印刷プレビュー
    main.Command2[14].click(); // 家系グループ設定
    main.scritem[7].choose(); // 関係追加画面
    main.Command2[10].click(); // 関係設定画面
    mainwindow::otherWindows().showChildDialog(kou, 0); // 子供情報画面
    QCoreApplication::processEvents();
    for (forms::Form* form : std::initializer_list<forms::Form*>{&kakegrpstat_form(), &easyctl_form(),
                                                                 &ctrl_form(), &infochld_form()})
        found[form->name()] = clearance(*form);

    const std::map<std::string, std::string> clear{{"frmPrnSet", ""}, {"PrePrint", ""}, {"KakeGrpStat", ""},
                                                   {"EasyCtl", ""}, {"ctrl", ""}, {"InfoChld", ""}};
    EXPECT_EQ(found, clear);
}

} // namespace
