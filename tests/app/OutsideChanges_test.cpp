// Changes made to a person from outside the person editor, with the program's real
// windows: a rename on the chart (F2), the quick name input and the display options
// settle, with the question every command asks, the input the editor's card holds
// unregistered for that person, and only for that person; a card without such input
// shows the change, and its 登録 never stores the old value back.

#include "drawing/DspOp.h"
#include "drawing/draw_state.h"
#include "entry/EntryForm.h"
#include "entry/InputNameOne.h"
#include "forms/Keys.h"
#include "mainwindow/MainForm.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Hooks.h"

#include "EditorsFixture.h"

#include <QTest>

#include <string>
#include <vector>

namespace {

using app_test::per;

class OutsideChangesTest : public app_test::EditorsFixture {
protected:
    void TearDown() override
    {
        if (dspop_form().isLoaded())
            dspop_form().unload();
        EditorsFixture::TearDown();
    }

    // The index of the person's box on the chart.
    static int boxOf(int person)
    {
        for (int index : main_form().DPic.indexes()) {
            if (index >= 2 && drawing::drawState().Label12_Per[static_cast<size_t>(index)] == person)
                return index;
        }
        ADD_FAILURE() << "person " << person << " has no box on the chart";
        return -1;
    }

    // View > 入力画面, then a click on the person's box: the card shows the person,
    // who is also the chart's selection.
    void showOnCardByClick(int person)
    {
        model::runState().Cur_PerIdx = static_cast<int16_t>(person);
        main_form().scritem[2].choose();
        ASSERT_TRUE(entry_form().isLoaded());
        main_form().DPic_Click(boxOf(person));
        ASSERT_EQ(entry_form().Text1[1].text(), per(person).Name);
    }

    // The card's 住所1 typed into, not registered.
    static void typeAddress(const std::string& text)
    {
        QTest::keyClicks(entry_form().Text1[7].widget(), QString::fromStdString(text));
        ASSERT_TRUE(entry_form().hasUnregisteredInput());
    }

    // F2 on the chart's selected person, a new given name, Enter.
    static void renameOnChart(const std::string& givenName)
    {
        MainForm& w = main_form();
        if (!w.Text2[1].isVisible()) {
            int key = forms::vbKeyF2;
            w.Form_KeyDown(key, 0);
        }
        ASSERT_TRUE(w.Text2[1].isVisible());
        w.Text2[1].setText(givenName);
        int16_t enter = 13;
        w.Text2_KeyPress(1, enter);
    }

    void expectAskedOnce(const std::string& way)
    {
        EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{entry::UnregisteredInputQuestion}) << way;
        answers.clearRecords();
    }
};

TEST_F(OutsideChangesTest, ARenameOnTheChartSettlesTheCardsInputForThatPersonFirst)
{
    showOnCardByClick(ai);
    typeAddress("WW7");

    answers.answerNext(platform::vbCancel);
    renameOnChart("愛子");
    expectAskedOnce("キャンセル");
    EXPECT_EQ(per(ai).Name, "愛");
    EXPECT_TRUE(per(ai).Addr1.empty());
    EXPECT_EQ(entry_form().Text1[7].text(), "WW7");
    EXPECT_TRUE(main_form().Text2[1].isVisible()) << "the name editor stays for another try";

    answers.answerNext(platform::vbYes);
    renameOnChart("愛子");
    expectAskedOnce("はい");
    EXPECT_EQ(per(ai).Addr1, "WW7");
    EXPECT_EQ(per(ai).Name, "愛子");
    EXPECT_EQ(entry_form().Text1[1].text(), "愛子") << "the card shows the new name";
    EXPECT_FALSE(entry_form().hasUnregisteredInput());

    // 登録 on the card stores nothing old back.
    entry_form().CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(per(ai).Name, "愛子");
    EXPECT_EQ(per(ai).Addr1, "WW7");
}

TEST_F(OutsideChangesTest, NoDropsTheCardsInputAndTheCardShowsTheRenamedPerson)
{
    showOnCardByClick(ai);
    typeAddress("WW7");
    answers.answerNext(platform::vbNo);
    renameOnChart("愛子");
    expectAskedOnce("いいえ");
    EXPECT_EQ(per(ai).Name, "愛子");
    EXPECT_TRUE(per(ai).Addr1.empty());
    EXPECT_EQ(entry_form().Text1[1].text(), "愛子");
    EXPECT_TRUE(entry_form().Text1[7].text().empty());
    EXPECT_FALSE(entry_form().hasUnregisteredInput());
}

TEST_F(OutsideChangesTest, ARenameWithoutInputOnTheCardIsNeitherAskedAboutNorStoredBack)
{
    showOnCardByClick(ai);
    renameOnChart("愛子");
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(entry_form().Text1[1].text(), "愛子");

    // Input for another person than the one renamed is not asked about. A click on
    // his box asks about the card's input first; キャンセル keeps the card, and he is
    // the chart's selection.
    typeAddress("WW7");
    answers.answerNext(platform::vbCancel);
    main_form().DPic_Click(boxOf(ken));
    expectAskedOnce("a click on his box");
    renameOnChart("健一");
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(per(ken).Name, "健一");
    EXPECT_EQ(entry_form().Text1[7].text(), "WW7");

    entry_form().CMDFUNC[1].click();
    EXPECT_EQ(per(ai).Name, "愛子");
    EXPECT_EQ(per(ai).Addr1, "WW7");
}

TEST_F(OutsideChangesTest, TheQuickNameInputSettlesTheCardsInputForThatPersonFirst)
{
    showOnCardByClick(ai);
    typeAddress("WW7");
    const auto confirm = [](forms::Form&) {
        inputnameone_form().Text2.setText("愛子");
        inputnameone_form().Command1_Click();
    };
    MainForm& w = main_form();

    forms::onShown("InputNameOne", confirm);
    answers.answerNext(platform::vbCancel);
    w.DPic.onMouseDown(boxOf(ai), forms::vbRightButton, 0, 10, 10);
    expectAskedOnce("キャンセル");
    EXPECT_EQ(per(ai).Name, "愛");
    EXPECT_EQ(entry_form().Text1[7].text(), "WW7");

    forms::onShown("InputNameOne", confirm);
    answers.answerNext(platform::vbYes);
    w.DPic.onMouseDown(boxOf(ai), forms::vbRightButton, 0, 10, 10);
    expectAskedOnce("はい");
    EXPECT_EQ(per(ai).Addr1, "WW7");
    EXPECT_EQ(per(ai).Name, "愛子");
    EXPECT_EQ(entry_form().Text1[1].text(), "愛子");
}

TEST_F(OutsideChangesTest, TheDisplayOptionsSettleTheCardsInputForThatPersonFirst)
{
    showOnCardByClick(ai);
    typeAddress("WW7");
    const int16_t frame = per(ai).Disp.DS_Waku;
    dspop_form().showForPerson(ai);
    dspop_form().ChkWaku.setValue(frame == 1 ? forms::vbUnchecked : forms::vbChecked);

    answers.answerNext(platform::vbCancel);
    dspop_form().CmdOK.click();
    expectAskedOnce("キャンセル");
    EXPECT_EQ(per(ai).Disp.DS_Waku, frame);
    EXPECT_TRUE(dspop_form().isLoaded());

    answers.answerNext(platform::vbYes);
    dspop_form().CmdOK.click();
    expectAskedOnce("はい");
    EXPECT_EQ(per(ai).Addr1, "WW7");
    EXPECT_NE(per(ai).Disp.DS_Waku, frame);
    EXPECT_EQ(entry_form().ChkWaku.value() == forms::vbChecked, per(ai).Disp.DS_Waku == 1)
        << "the card shows the frame as stored";
}

} // namespace
