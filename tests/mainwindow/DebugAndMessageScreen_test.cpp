// The debug settings window DbgMenu and the hidden message screen EEGG.

#include "MainWindowFixture.h"

#include "mainwindow/EEGG.h"
#include "mainwindow/FrmDebug.h"
#include "model/run_state.h"
#include "model/settings.h"

namespace mainwindow_test {
namespace {

constexpr const char* RangeMessage = "設定範囲は0～10です";

class DebugWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        model::runState().PWM_Value = 2.0;
        model::runState().Dbg_Flag = 0;
    }
    void TearDown() override
    {
        if (debug().isLoaded())
            debug().unload();
        model::runState().PWM_Value = 2.0;
        model::runState().Dbg_Flag = 0;
    }

    static DbgMenuForm& debug() { return dbgmenu_form(); }

    ScriptedResponder answers;
};

TEST_F(DebugWindow, OpensWithTheStoredValues)
{
    debug().show();
    EXPECT_EQ(debug().txtPWM.text(), "2");
    EXPECT_EQ(debug().Check1.value(), forms::vbUnchecked);
    EXPECT_EQ(debug().caption(), "デバックメニュー");
}

TEST_F(DebugWindow, BackStoresAMarginInsideTheRangeAndTheCheckBox)
{
    debug().show();
    debug().txtPWM.setText("10");
    debug().Check1.setValue(forms::vbChecked);
    debug().Command1.click();
    EXPECT_FALSE(debug().isLoaded());
    EXPECT_DOUBLE_EQ(model::runState().PWM_Value, 10.0);
    EXPECT_EQ(model::runState().Dbg_Flag, 1);

    debug().show();
    EXPECT_EQ(debug().txtPWM.text(), "10");
    EXPECT_EQ(debug().Check1.value(), forms::vbChecked);
}

class RefusedMargin : public DebugWindow, public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedMargin, IsRefusedAndTheWindowStaysOpen)
{
    debug().show();
    debug().txtPWM.setText(GetParam());
    answers.answerNext(platform::vbOK);
    debug().Command1.click();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{RangeMessage});
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_TRUE(debug().isLoaded());
    EXPECT_EQ(debug().txtPWM.text(), GetParam());
    EXPECT_DOUBLE_EQ(model::runState().PWM_Value, 2.0);
}

INSTANTIATE_TEST_SUITE_P(MainWindow, RefusedMargin, ::testing::Values("10.5", "-1", "abc", ""));

TEST_F(DebugWindow, CloseBoxStoresTheCheckBoxButNotTheMargin)
{
    debug().show();
    debug().txtPWM.setText("5");
    debug().Check1.setValue(forms::vbChecked);
    EXPECT_TRUE(debug().unloadWithMode(forms::vbFormControlMenu));
    EXPECT_EQ(model::runState().Dbg_Flag, 1);
    EXPECT_DOUBLE_EQ(model::runState().PWM_Value, 2.0);
}

// ---------------------------------------------------------------------------

class MessageScreen : public ::testing::Test {
protected:
    void TearDown() override
    {
        forms::clearOnShown();
        if (eegg_form().isLoaded())
            eegg_form().unload();
    }

    ScriptedResponder answers;
};

TEST_F(MessageScreen, CloseOnlyHidesItAndItShowsAgain)
{
    EEGGForm& screen = eegg_form();
    screen.show();
    EXPECT_EQ(screen.caption(), "Form1");
    screen.Command1.click();
    EXPECT_TRUE(screen.isLoaded());
    EXPECT_FALSE(screen.isVisible());
    screen.show();
    EXPECT_TRUE(screen.isVisible());
}

TEST_F(MessageScreen, ClickOnLabel11ShowsTheNote)
{
    EEGGForm& screen = eegg_form();
    screen.show();
    answers.answerNext(platform::vbOK);
    screen.Label(11).onClick();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, EEGGForm::Note);
    EXPECT_NE(answers.shown()[0].text.find("\r\n"), std::string::npos);
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    for (int label = 1; label <= EEGGForm::LabelCount; ++label) {
        if (label != 11) {
            EXPECT_FALSE(static_cast<bool>(screen.Label(label).onClick)) << "only Label11 has a note";
        }
    }
}

TEST_F(MessageScreen, TheLibrarysOwnRequestShowsItModally)
{
    bool shownModal = false;
    forms::onShown("EEGG", [&shownModal](forms::Form& form) {
        shownModal = form.isShownModal();
        eegg_form().Command1.click();
    });
    mainwindow::OtherWindows defaults;
    defaults.showMessageScreen();
    EXPECT_TRUE(shownModal);
    EXPECT_FALSE(eegg_form().isVisible());
}

} // namespace
} // namespace mainwindow_test
