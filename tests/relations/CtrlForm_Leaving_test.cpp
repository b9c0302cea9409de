// An unregistered change in the relationship editor: every way out of the fields
// (新規, another marriage, 戻る, the close box) asks first; はい registers through
// 登録's checks, いいえ drops the change, キャンセル keeps it.

#include "CtrlFixture.h"

#include "forms/Testing.h"
#include "model/UndoRecords.h"
#include "model/run_state.h"
#include "platform/Hooks.h"

#include <QWidget>

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace relations_test {
namespace {

constexpr const char* UnregisteredQuestion = "入力内容が登録されていません。登録しますか？";

class CtrlLeavingTest : public CtrlTest {
protected:
    void SetUp() override
    {
        CtrlTest::SetUp();
        sato = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 1, "通常", 0, "佐藤家");
        suzuki = marry(addPerson("鈴木", "次郎", 0), addPerson("鈴木", "花子", 1), 0, "通常", 0, "鈴木家");
        ctrl().Build_List();
        clickMarriage(sato);
        ASSERT_EQ(ctrl().Text1[0].text(), "佐藤家");
    }

    // A click on a marriage of the small marriage list.
    static void clickMarriage(int marriage)
    {
        forms::ListBox& list = ctrl().List1[2];
        for (int line = 0; line < list.listCount(); ++line) {
            if (list.itemData(line) == marriage)
                list.setListIndex(line);
        }
    }

    static int selectedMarriage()
    {
        const int line = ctrl().List1[2].listIndex();
        return line < 0 ? -1 : ctrl().List1[2].itemData(line);
    }

    void expectAskedOnce(const std::string& way)
    {
        EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{UnregisteredQuestion})) << way;
        answers.clearRecords();
    }

    int sato = -1, suzuki = -1;
};

TEST_F(CtrlLeavingTest, EveryWayOutAsksAndCancelKeepsTheChange)
{
    ctrl().Text1[0].setText("佐藤本家");
    const std::vector<std::pair<std::string, std::function<void()>>> ways = {
        {"新規", [] { ctrl().CMDFUNC[0].click(); }},
        {"another marriage", [this] { clickMarriage(suzuki); }},
        {"戻る", [] { ctrl().CMDEND[0].click(); }},
        {"menu 戻る", [] { ctrl().scritem[5].choose(); }},
        {"close box", [] { forms::formWidget(ctrl())->close(); }},
    };
    for (const auto& [way, leave] : ways) {
        answers.answerNext(platform::vbCancel);
        leave();
        expectAskedOnce(way);
        ASSERT_TRUE(ctrl().isLoaded()) << way;
        EXPECT_EQ(ctrl().Text1[0].text(), "佐藤本家") << way;
        EXPECT_EQ(model::runState().KouNum, sato) << way;
        EXPECT_EQ(selectedMarriage(), sato) << way;
    }
    EXPECT_EQ(kou(sato).kou_title, "佐藤家");

    // いいえ drops the change and the other marriage is shown.
    answers.answerNext(platform::vbNo);
    clickMarriage(suzuki);
    expectAskedOnce("another marriage, No");
    EXPECT_EQ(ctrl().Text1[0].text(), "鈴木家");
    EXPECT_EQ(kou(sato).kou_title, "佐藤家");

    // An untouched record is left without a word.
    clickMarriage(sato);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(ctrl().Text1[0].text(), "佐藤家");
}

TEST_F(CtrlLeavingTest, YesRegistersThroughTheChecksOfRegister)
{
    // A partner dragged in counts as a change as well as a typed title.
    const int kenji = addPerson("佐藤", "健二", 0);
    ctrl().Build_List();
    clickMarriage(sato);
    setPartner(0, kenji);
    answers.answerNext(platform::vbYes);
    clickMarriage(suzuki);
    expectAskedOnce("another marriage, Yes");
    EXPECT_EQ(kou(sato).kou_titi, kenji);
    EXPECT_EQ(ctrl().Text1[0].text(), "鈴木家");
    EXPECT_EQ(model::runState().KouNum, suzuki);

    // A new record with only a title: 登録 refuses it, and the user stays with it.
    ctrl().CMDFUNC[0].click();
    ASSERT_TRUE(answers.shown().empty());
    ctrl().Text1[0].setText("新家");
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    ctrl().CMDEND[0].click();
    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{UnregisteredQuestion, "結婚相手が指定されていません"}));
    answers.clearRecords();
    EXPECT_TRUE(ctrl().isLoaded());
    EXPECT_EQ(ctrl().Text1[0].text(), "新家");
}

TEST_F(CtrlLeavingTest, TheChildDialogsCommandsSettleTheChangeFirst)
{
    const int child = addPerson("佐藤", "太郎", 0);
    addChild(sato, child);
    clickMarriage(sato);
    ctrl().Text1[0].setText("佐藤本家");
    tables().Sel_ChildKou = static_cast<int16_t>(sato);
    tables().Sel_ChildSlot = 0;
    model::runState().Sel_BoxMark = 1;
    infochld_form().show();
    infochld_form().edit_ch_data(sato, 0, 0, 0);
    infochld_form().Text1[2].setText("長男");

    for (forms::CommandButton* button : {&infochld_form().CMDFUNC[0], &infochld_form().CMDFUNC[1],
                                         &infochld_form().Command1[3]}) {
        answers.answerNext(platform::vbCancel);
        button->click();
        expectAskedOnce(button->name() + " " + std::to_string(button->index()));
        EXPECT_EQ(ctrl().Text1[0].text(), "佐藤本家");
        EXPECT_EQ(kou(sato).kou_kodo[0], child);
        EXPECT_EQ(kou(sato).kou_kodo_comment[0], "");
    }
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
}

TEST_F(CtrlLeavingTest, UndoThatRefillsTheFieldsAsksFirstAndYesStopsAtTheNewRegistration)
{
    ctrl().Text1[0].setText("佐藤本家");
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(kou(sato).kou_title, "佐藤本家");
    clickMarriage(suzuki);
    ctrl().Text1[0].setText("鈴木本家");

    answers.answerNext(platform::vbCancel);
    ctrl().Command2[3].click();
    expectAskedOnce("UNDO, Cancel");
    EXPECT_EQ(kou(sato).kou_title, "佐藤本家");
    EXPECT_EQ(ctrl().Text1[0].text(), "鈴木本家");
    EXPECT_EQ(model::runState().KouNum, suzuki);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ChangedMarriage);

    // はい registers the title: that registration is now the editor's last step, and
    // the undo stops there; the next ＵＮＤＯ takes it back alone.
    answers.answerNext(platform::vbYes);
    ctrl().scritem[0].choose();
    expectAskedOnce("UNDO, Yes");
    EXPECT_EQ(kou(suzuki).kou_title, "鈴木本家");
    EXPECT_EQ(kou(sato).kou_title, "佐藤本家");
    EXPECT_EQ(model::kouUndo().UndoKou, suzuki);
    EXPECT_TRUE(ctrl().Command2[3].isEnabled());
    ctrl().Command2[3].click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(kou(suzuki).kou_title, "鈴木家");
    EXPECT_EQ(kou(sato).kou_title, "佐藤本家");
    EXPECT_EQ(ctrl().Text1[0].text(), "鈴木家");
    EXPECT_EQ(model::runState().KouNum, suzuki) << "the marriage the undo shows is the one 登録 writes";

    // いいえ drops the typed title and the undo goes on.
    clickMarriage(sato);
    ctrl().Text1[0].setText("佐藤分家");
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(kou(sato).kou_title, "佐藤分家");
    clickMarriage(suzuki);
    ctrl().Text1[0].setText("鈴木分家");
    answers.answerNext(platform::vbNo);
    ctrl().Command2[3].click();
    expectAskedOnce("UNDO, No");
    EXPECT_EQ(kou(sato).kou_title, "佐藤本家");
    EXPECT_EQ(kou(suzuki).kou_title, "鈴木家");
    EXPECT_EQ(ctrl().Text1[0].text(), "佐藤本家");

    // The undo of a drop into the fields takes back that drop alone: no question,
    // and the typed title stays.
    const int kenji = addPerson("佐藤", "健二", 0);
    ctrl().Text1[0].setText("佐藤分家");
    ctrl().List2.addItem("佐藤健二");
    ctrl().List2.setItemData(ctrl().List2.newIndex(), kenji);
    model::kouUndo().KouUndoMode = model::KouUndo::ListedChild;
    model::kouUndo().UndoKodo = static_cast<int16_t>(kenji);
    ctrl().enableUndo(model::UndoCaptionNewChild);
    ctrl().Command2[3].click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(ctrl().List2.listCount(), 0);
    EXPECT_EQ(ctrl().Text1[0].text(), "佐藤分家");

    // An undo that refuses (its marriage changed since) asks nothing and keeps the title.
    choose(sato);
    ctrl().Text1[0].setText("佐藤本家");
    ctrl().CMDFUNC[1].click();
    ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::ChangedMarriage);
    choose(suzuki);
    kou(sato).kou_kodo[0] = static_cast<int16_t>(kenji); // another window's change
    ctrl().Text1[0].setText("鈴木本家");
    answers.answerNext(platform::vbOK);
    ctrl().Command2[3].click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{model::UndoRefusedMessage}));
    EXPECT_EQ(ctrl().Text1[0].text(), "鈴木本家");
}

TEST_F(CtrlLeavingTest, UndoOfANewMarriageKeepsTheMarriageShownSinceAndAsksAboutATypedTitle)
{
    ctrl().CMDFUNC[0].click(); // 新規, two partners, 登録
    setPartner(0, addPerson("田中", "一郎", 0));
    setPartner(1, addPerson("田中", "良子", 1));
    ctrl().CMDFUNC[1].click();
    ASSERT_TRUE(answers.shown().empty());
    const int added = model::kouUndo().UndoKou;
    ASSERT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::NewMarriage);
    clickMarriage(sato);
    ASSERT_EQ(ctrl().Text1[0].text(), "佐藤家");
    const std::string husband = ctrl().Label2[0].caption();

    // A typed title is asked about; いいえ drops it and the undo goes on.
    ctrl().Text1[0].setText("佐藤本家");
    answers.answerNext(platform::vbNo);
    ctrl().Command2[3].click();
    expectAskedOnce("UNDO of a new marriage, No");
    EXPECT_EQ(kou(added).InUse, model::SlotFree);
    EXPECT_EQ(ctrl().Text1[0].text(), "佐藤家");
    EXPECT_EQ(ctrl().Label2[0].caption(), husband) << "the marriage shown keeps its partners";
    EXPECT_EQ(model::runState().KouNum, sato);
    EXPECT_FALSE(ctrl().hasUnregisteredChange());
}

TEST_F(CtrlLeavingTest, DeletingAChildOrTheMarriageAsksFirst)
{
    const int child = addPerson("佐藤", "太郎", 0);
    addChild(sato, child);
    ctrl().Build_List();
    clickMarriage(sato);
    ctrl().Text1[0].setText("佐藤本家");
    ctrl().List2.setListIndex(0);
    ASSERT_EQ(ctrl().ChildListActive, 1);

    for (int deleting : {1, 0}) { // the child, then the marriage
        ctrl().ChildListActive = static_cast<int16_t>(deleting);
        answers.answerNext(platform::vbCancel);
        ctrl().CMDFUNC[2].click();
        expectAskedOnce(deleting ? "child, Cancel" : "marriage, Cancel");
        EXPECT_EQ(ctrl().Text1[0].text(), "佐藤本家");
        EXPECT_EQ(ctrl().List2.listCount(), 1);
        EXPECT_EQ(model::runState().KouNum, sato);
        EXPECT_EQ(kou(sato).kou_kodo[0], child);
        EXPECT_EQ(kou(sato).InUse, model::SlotUsed);
        EXPECT_EQ(kou(sato).kou_title, "佐藤家");
    }

    // はい registers the title, then the child is deleted from the marriage as registered.
    ctrl().ChildListActive = 1;
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{UnregisteredQuestion, "佐藤太郎 : この子供を削除してよろしいでしょうか？"}));
    answers.clearRecords();
    EXPECT_EQ(kou(sato).kou_title, "佐藤本家");
    EXPECT_EQ(kou(sato).kou_kodo[0], -1);
    EXPECT_EQ(model::kouUndo().KouUndoMode, model::KouUndo::RemovedChild);

    // いいえ drops the title, then the marriage is deleted.
    choose(sato);
    ctrl().ChildListActive = 0;
    ctrl().Text1[0].setText("佐藤分家");
    answers.answerNext(platform::vbNo);
    answers.answerNext(platform::vbOK);
    ctrl().CMDFUNC[2].click();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{UnregisteredQuestion, "削除してよろしいでしょうか？"}));
    answers.clearRecords();
    EXPECT_EQ(kou(sato).InUse, model::SlotFree);
}

TEST_F(CtrlLeavingTest, TheChildDialogAsksBeforeItClosesOrShowsAnotherChild)
{
    const int taro = addPerson("佐藤", "太郎", 0);
    const int jiro = addPerson("佐藤", "次郎", 0);
    addChild(sato, taro);
    addChild(sato, jiro);
    ctrl().Build_List();
    clickMarriage(suzuki);
    clickMarriage(sato);
    ASSERT_EQ(ctrl().List2.listCount(), 2);
    ctrl().List2.setListIndex(0);
    ctrl().List2_DblClick();
    InfoChldForm& dialog = infochld_form();
    ASSERT_TRUE(dialog.isVisible());
    ASSERT_EQ(dialog.Text1[1].text(), "佐藤太郎");
    dialog.Text1[2].setText("長男");

    const std::vector<std::pair<std::string, std::function<void()>>> ways = {
        {"戻る", [&dialog] { dialog.CMDEND.click(); }},
        {"close box", [&dialog] { forms::formWidget(dialog)->close(); }},
        {"another child", [] {
             ctrl().List2.setListIndex(1);
             ctrl().List2_DblClick();
         }},
    };
    for (const auto& [way, command] : ways) {
        answers.answerNext(platform::vbCancel);
        command();
        expectAskedOnce(way);
        ASSERT_TRUE(dialog.isLoaded() && dialog.isVisible()) << way;
        EXPECT_EQ(dialog.Text1[1].text(), "佐藤太郎") << way;
        EXPECT_EQ(dialog.Text1[2].text(), "長男") << way;
        EXPECT_EQ(kou(sato).kou_kodo_comment[0], "") << way;
    }

    // はい registers the comment through 登録, then the other child is shown.
    answers.answerNext(platform::vbYes);
    ctrl().List2_DblClick();
    expectAskedOnce("another child, Yes");
    EXPECT_EQ(kou(sato).kou_kodo_comment[0], "長男");
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.Text1[1].text(), "佐藤次郎");

    // いいえ drops what was typed, and 戻る closes.
    dialog.Text1[2].setText("次男");
    answers.answerNext(platform::vbNo);
    dialog.CMDEND.click();
    expectAskedOnce("戻る, No");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(kou(sato).kou_kodo_comment[1], "");
}

} // namespace
} // namespace relations_test
