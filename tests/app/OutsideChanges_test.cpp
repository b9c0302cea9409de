// Changes made to a person from outside the person editor, with the program's real
// windows: a rename on the chart (F2), the quick name input and the display options
// settle, with the question every command asks, the input the editor's card holds
// unregistered for that person, and only for that person; a card without such input
// shows the change, and its 登録 never stores the old value back. The quick name
// input asks before it opens and is one step of 戻 of its own; the display options
// write only what was changed in them, and close when their person is deleted.

#include "drawing/DspOp.h"
#include "drawing/draw_state.h"
#include "entry/EntryForm.h"
#include "entry/InputNameOne.h"
#include "forms/Keys.h"
#include "mainwindow/MainForm.h"
#include "model/PersonTable.h"
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

TEST_F(OutsideChangesTest, ARenameOnTheChartWritesOnlyTheNameTypedAndOnlyForThePersonItShows)
{
    // F2 on 佐藤愛; while the name editor is open the card registers another family name.
    showOnCardByClick(ai);
    int key = forms::vbKeyF2;
    main_form().Form_KeyDown(key, 0);
    ASSERT_EQ(main_form().Text2[0].text(), "佐藤");
    entry_form().Text1[0].setText("田中");
    entry_form().CMDFUNC[1].click();
    ASSERT_EQ(per(ai).F_name, "田中");
    renameOnChart("愛子");
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(per(ai).F_name, "田中") << "the family name the editor merely showed is not stored back";
    EXPECT_EQ(per(ai).Name, "愛子");

    // F2 on 山田健, then a click on her box: Enter renames neither.
    main_form().DPic_Click(boxOf(ken));
    main_form().Form_KeyDown(key, 0);
    ASSERT_EQ(main_form().Text2[1].text(), "健");
    main_form().DPic_Click(boxOf(ai));
    renameOnChart("健一");
    EXPECT_FALSE(main_form().Text2[1].isVisible());
    EXPECT_EQ(per(ken).Name, "健");
    EXPECT_EQ(per(ai).F_name, "田中");
    EXPECT_EQ(per(ai).Name, "愛子");
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

    // キャンセル: the dialog does not open (nothing is queued to answer it).
    answers.answerNext(platform::vbCancel);
    w.DPic.onMouseDown(boxOf(ai), forms::vbRightButton, 0, 10, 10);
    expectAskedOnce("キャンセル");
    EXPECT_FALSE(inputnameone_form().isLoaded());
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

TEST_F(OutsideChangesTest, TheQuickNameInputIsACommandOfItsOwnAfterTheCardsRegistration)
{
    showOnCardByClick(ai);
    model::tables().Data_Changed = 0;
    ASSERT_FALSE(main_form().CmdUndo.isEnabled());
    // On the card: 住所1 and the frame switched, not registered.
    typeAddress("WW7");
    const bool framed = per(ai).Disp.DS_Waku == 1;
    entry_form().ChkWaku.setValue(framed ? forms::vbUnchecked : forms::vbChecked);
    MainForm& w = main_form();

    // キャンセル changes nothing: neither the family, nor its undo, nor its changed mark.
    answers.answerNext(platform::vbCancel);
    w.DPic.onMouseDown(boxOf(ai), forms::vbRightButton, 0, 10, 10);
    expectAskedOnce("キャンセル");
    EXPECT_EQ(model::tables().Data_Changed, 0);
    EXPECT_FALSE(main_form().CmdUndo.isEnabled()) << "no undo snapshot of a command that did nothing";

    // はい registers the card first; the dialog then shows the person as registered
    // and changes only what it is confirmed with.
    int shownFrameMark = -1;
    forms::onShown("InputNameOne", [&](forms::Form&) {
        shownFrameMark = inputnameone_form().chkINNO[2].value();
        inputnameone_form().Text2.setText("愛子");
        inputnameone_form().Command1_Click();
    });
    answers.answerNext(platform::vbYes);
    w.DPic.onMouseDown(boxOf(ai), forms::vbRightButton, 0, 10, 10);
    expectAskedOnce("はい");
    EXPECT_EQ(shownFrameMark, framed ? forms::vbUnchecked : forms::vbChecked);
    EXPECT_EQ(per(ai).Name, "愛子");
    EXPECT_EQ(per(ai).Addr1, "WW7");
    EXPECT_EQ(per(ai).Disp.DS_Waku == 1, !framed) << "the registered frame is not stored back";
    EXPECT_EQ(model::tables().Data_Changed, 1);

    // 戻 takes back the rename alone: the registration is a step of its own.
    w.CmdUndo.click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(per(ai).Name, "愛");
    EXPECT_EQ(per(ai).Addr1, "WW7");
    EXPECT_EQ(per(ai).Disp.DS_Waku == 1, !framed);
}

TEST_F(OutsideChangesTest, TheDisplayOptionsKeepWhatTheCardRegisteredAfterTheyOpened)
{
    showOnCardByClick(ai);
    DspOpForm& d = dspop_form();
    d.showForPerson(ai);
    const int16_t size = per(ai).Disp.DBai[model::DispItem::Name];
    // In the display options: the name's font size, not applied yet.
    int nameRow = -1;
    for (int r = 0; r < d.DspList.listCount(); ++r) {
        if (d.DspList.list(r) == "名前")
            nameRow = r;
    }
    ASSERT_GE(nameRow, 0);
    d.DspList.setListIndex(nameRow);
    d.TxtDBai.setText(std::to_string(size + 7));
    int16_t enter = 13;
    d.TxtDBai_KeyPress(enter);

    // On the card: the frame switched and another frame pattern, registered.
    const bool framed = per(ai).Disp.DS_Waku == 1;
    const int16_t pattern = per(ai).Disp.DS_WakuPat == 3 ? 2 : 3;
    entry_form().ChkWaku.setValue(framed ? forms::vbUnchecked : forms::vbChecked);
    entry_form().cbWakuPat.setListIndex(pattern);
    entry_form().CMDFUNC[1].click();
    ASSERT_EQ(per(ai).Disp.DS_WakuPat, pattern);

    d.CmdOK.click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_FALSE(d.isLoaded());
    EXPECT_EQ(per(ai).Disp.DBai[model::DispItem::Name], size + 7);
    EXPECT_EQ(per(ai).Disp.DS_WakuPat, pattern) << "the card's registration stays";
    EXPECT_EQ(per(ai).Disp.DS_Waku == 1, !framed);
}

TEST_F(OutsideChangesTest, TheDisplayOptionsCloseWhenTheirPersonIsDeleted)
{
    const int tmp = model::set_per_buf(-1, "Man", "Tmp", 0, "");
    drawing::Refresh_TabDisp();
    model::runState().Cur_PerIdx = static_cast<int16_t>(tmp);
    main_form().scritem[2].choose(); // the card shows Tmp Man
    ASSERT_EQ(entry_form().Text1[1].text(), "Man");
    dspop_form().showForPerson(tmp);
    dspop_form().ChkWaku.setValue(per(tmp).Disp.DS_Waku == 1 ? forms::vbUnchecked : forms::vbChecked);

    answers.answerNext(platform::vbYes);
    entry_form().CMDFUNC[2].click(); // 削除
    answers.clearRecords();
    ASSERT_FALSE(model::isUsedPerson(tmp));
    EXPECT_FALSE(dspop_form().isLoaded()) << "no apply gives his block to the slot's next person";
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
