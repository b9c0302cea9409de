// The windows the main window opens stay in front of it: each is a dialog owned
// by the main window (window managers keep such a window above its owner, so a
// click on the chart does not bury it), and none of them is modal. The
// relationship editor, placed at Top 0, has its frame at the top of the screen.

#include "app/AppWindows.h"

#include "drawing/DspOp.h"
#include "entry/InfoOne.h"
#include "forms/Printers.h"
#include "forms/Testing.h"
#include "mainwindow/MainForm.h"
#include "mainwindow/OtherWindows.h"
#include "model/run_state.h"
#include "relations/CtrlForm.h"
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
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

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

    // The relationship editor sits at Top 0: its frame, title bar included, starts
    // at the top of the screen.
    EXPECT_EQ(ctrl_form().top(), 0);
    EXPECT_EQ(forms::formWidget(ctrl_form())->frameGeometry().top(), 0);
    EXPECT_GT(forms::formWidget(ctrl_form())->geometry().top(), 0);
}

} // namespace
