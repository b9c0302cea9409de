// The child dialog: filling it from a child slot, committing the slot, removing
// the child, moving it among its siblings, and opening it from the editor.

#include "CtrlFixture.h"

#include "model/run_state.h"
#include "relations/InfoChldForm.h"

#include "model/SavableText.h"
#include "platform/Hooks.h"

#include <map>
#include <string>

namespace relations_test {
namespace {

class ChildDialog : public CtrlTest {
protected:
    void SetUp() override
    {
        CtrlTest::SetUp();
        father = addPerson("山田", "太郎", 0);
        mother = addPerson("山田", "花子", 1);
        marriage = marry(father, mother, 1, "通常", 0, "本家");
        first = addPerson("山田", "一郎", 0);
        second = addPerson("山田", "二郎", 0);
        third = addPerson("山田", "三子", 1);
        addChild(marriage, first);
        addChild(marriage, second);
        addChild(marriage, third);
        kou(marriage).kou_kodo_comment[1] = "次男";
        kou(marriage).kou_kodo_stat[1] = 0;
    }

    static InfoChldForm& dialog() { return infochld_form(); }

    // Selects a child as a click on its box does, and opens the dialog for it.
    void open(int slot)
    {
        tables().Sel_ChildKou = static_cast<int16_t>(marriage);
        tables().Sel_ChildSlot = static_cast<int16_t>(slot);
        model::runState().Sel_Person = kou(marriage).kou_kodo[static_cast<size_t>(slot)];
        model::runState().Sel_BoxMark = 1;
        dialog().show();
        dialog().edit_ch_data(marriage, slot, 0, 0);
    }

    int father = 0, mother = 0, marriage = 0, first = 0, second = 0, third = 0;
};

TEST_F(ChildDialog, ShowsParentsChildCommentAndStatus)
{
    open(1);
    EXPECT_EQ(dialog().caption(), "子供情報画面");
    EXPECT_EQ(dialog().Text1[0].text(), "山田太郎.山田花子");
    EXPECT_EQ(dialog().Text1[1].text(), "山田二郎");
    EXPECT_EQ(dialog().Text1[2].text(), "次男");
    EXPECT_TRUE(dialog().Option1[0].value());
    // Registered in one marriage only: no main-line mark, no adoption history.
    EXPECT_FALSE(dialog().Check1.isVisible());
    EXPECT_FALSE(dialog().Combo1.isVisible());
    EXPECT_FALSE(dialog().Label2.isVisible());
    EXPECT_TRUE(dialog().CMDFUNC[0].isEnabled());
}

TEST_F(ChildDialog, OtherRelationShowsItsTitleAfterTheParents)
{
    kou(marriage).kou_mode = 1;
    kou(marriage).kou_title = "前妻";
    open(0);
    EXPECT_EQ(dialog().Text1[0].text(), "山田太郎.山田花子(前妻)");
}

TEST_F(ChildDialog, StatusOutsideTheThreeChoicesChecksNone)
{
    kou(marriage).kou_kodo_stat[2] = 5;
    open(2);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(dialog().Option1[i].value()) << i;
}

TEST_F(ChildDialog, FlagsDisableTheButtons)
{
    dialog().edit_ch_data(marriage, 0, 1, 1);
    EXPECT_FALSE(dialog().CMDFUNC[0].isEnabled());
    EXPECT_FALSE(dialog().CMDFUNC[1].isEnabled());
}

TEST_F(ChildDialog, MarriageNotInUseIsReported)
{
    kou(marriage).InUse = model::SlotFree;
    for (int m : {marriage, 0, 5000}) {
        answers.answerNext(platform::vbOK);
        dialog().edit_ch_data(m, 0, 0, 0);
    }
    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_EQ(answers.shown()[0].text, "この結婚関係はデータ上に存在していません");
    EXPECT_EQ(dialog().Text1[1].text(), "");
}

TEST_F(ChildDialog, ChildOfSeveralMarriagesOffersTheMainLineAndTheHistory)
{
    // The second son is also adopted by his uncle, and married himself.
    const int uncle = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0, "通常", 0, "佐藤家");
    addChild(uncle, second);
    const int own = marry(second, addPerson("鈴木", "和子", 1), 0, "通常", 0, "分家");
    kou(marriage).kodo_link[1] = 1;
    kou(marriage).kodo_honsuji[1] = 1;
    kou(marriage).kodo_yoshirireki[1] = static_cast<int16_t>(uncle);
    open(1);

    EXPECT_TRUE(dialog().Check1.isVisible());
    EXPECT_EQ(dialog().Check1.value(), 1);
    ASSERT_TRUE(dialog().Combo1.isVisible());
    ASSERT_EQ(dialog().Combo1.listCount(), 3);
    EXPECT_EQ(dialog().Combo1.itemData(0), marriage);
    EXPECT_EQ(dialog().Combo1.itemData(1), uncle);
    EXPECT_EQ(dialog().Combo1.itemData(2), own);
    EXPECT_EQ(dialog().Combo1.list(1), "佐藤家:佐藤 一郎と佐藤 良子");
    EXPECT_EQ(dialog().Combo1.listIndex(), 1);
}

TEST_F(ChildDialog, CommitStoresStatusAndCommentAndClosesTheDialog)
{
    open(1);
    dialog().Option1[1].setValue(false);
    dialog().Option1[0].setValue(false); // no choice: adopted
    dialog().Text1[2].setText("養子に出た");
    // A main-line mark left in the scratch record by an earlier operation.
    tables().KodoWork.kodo_honsuji = 1;
    const int16_t honsuji = kou(marriage).kodo_honsuji[1];
    dialog().CMDFUNC[0].click();

    EXPECT_EQ(kou(marriage).kou_kodo[1], second);
    EXPECT_EQ(kou(marriage).kou_kodo_stat[1], 2);
    EXPECT_EQ(kou(marriage).kou_kodo_comment[1], "養子に出た");
    EXPECT_EQ(kou(marriage).kodo_honsuji[1], honsuji);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 1);
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(model::runState().Sel_Person, -1);
    EXPECT_EQ(tables().Sel_ChildSlot, -1);
    EXPECT_EQ(model::runState().Sel_BoxMark, 0);
    EXPECT_FALSE(dialog().isVisible());
    // The editor is back to an empty entry whose zero reads as "not chosen".
    EXPECT_EQ(ctrl().Text1[1].text(), " 0");
    EXPECT_EQ(ctrl().Label2[0].tag(), " 0");
    EXPECT_EQ(ctrl().List2.listCount(), 0);
}

TEST_F(ChildDialog, ACommentTheFamilyFileCannotHoldIsRefusedAndNothingIsStored)
{
    open(1);
    dialog().Text1[2].setText("養子\U0001F600");
    answers.answerNext(platform::vbOK);
    dialog().CMDFUNC[0].click();

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, std::string(model::UnsavableCharMessage) + "\U0001F600");
    EXPECT_EQ(kou(marriage).kou_kodo_comment[1], "次男");
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
    EXPECT_TRUE(dialog().isVisible());
}

// The dialog is modeless: the selection moves on while it is open (a click on
// another child's box, the editor's "新規"), and its buttons still act on the child
// it shows.
TEST_F(ChildDialog, CommitActsOnTheChildTheDialogShows)
{
    open(0);
    dialog().Text1[2].setText("長男");
    dialog().Option1[1].setValue(true);
    tables().Sel_ChildSlot = 1;   // the second son's box clicked on the chart
    model::runState().Sel_Person = second;
    dialog().CMDFUNC[0].click();

    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(kou(marriage).kou_kodo_comment[0], "長男");
    EXPECT_EQ(kou(marriage).kou_kodo_stat[0], 1);
    EXPECT_EQ(kou(marriage).kou_kodo_comment[1], "次男");
    EXPECT_EQ(kou(marriage).kou_kodo_stat[1], 0);

    ctrl().Build_List();
    open(2);
    ctrl().CMDFUNC[0].click();   // "新規" forgets the selected child
    ASSERT_EQ(tables().Sel_ChildSlot, -1);
    dialog().Text1[2].setText("長女");
    dialog().CMDFUNC[0].click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(kou(marriage).kou_kodo_comment[2], "長女");
}

TEST_F(ChildDialog, ASlotNoLongerHoldingTheShownChildIsReportedAndLeftAlone)
{
    open(1);
    dialog().Text1[2].setText("養子に出た");
    // Meanwhile the third child moved one place up, into the slot the dialog shows.
    model::Move_Kodo(marriage, 2, 2);
    ASSERT_EQ(kou(marriage).kou_kodo[1], third);
    tables().Data_Changed = 0;
    for (forms::CommandButton* button : {&dialog().CMDFUNC[0], &dialog().CMDFUNC[1], &dialog().Command1[3]}) {
        answers.answerNext(platform::vbOK);
        button->click();
    }
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>(3, "この子供はデータ上に存在しません"));
    EXPECT_EQ(kou(marriage).kou_kodo[1], third);
    EXPECT_EQ(kou(marriage).kou_kodo_comment[1], "");
    EXPECT_EQ(kou(marriage).kou_kodo[2], second);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
    EXPECT_EQ(tables().Data_Changed, 0);
}

TEST_F(ChildDialog, CommitOfTheMainLineMarkTakesItFromTheOtherRegistration)
{
    const int uncle = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0, "通常", 0, "佐藤家");
    addChild(uncle, second);
    kou(marriage).kodo_link[1] = 1;
    kou(marriage).kodo_honsuji[1] = -1;
    kou(uncle).kodo_link[0] = 1;
    kou(uncle).kodo_honsuji[0] = 1;
    open(1);
    dialog().Check1.setValue(1);
    dialog().Combo1.setListIndex(1);
    dialog().CMDFUNC[0].click();

    EXPECT_EQ(kou(marriage).kodo_honsuji[1], 1);
    EXPECT_EQ(kou(uncle).kodo_honsuji[0], -1);
    EXPECT_EQ(kou(marriage).kodo_yoshirireki[1], uncle);
}

TEST_F(ChildDialog, DeleteRemovesTheChildAfterTheQuestion)
{
    open(2);
    answers.answerNext(platform::vbOK);
    dialog().CMDFUNC[1].click();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(kou(marriage).kou_kodo[2], -1);
    EXPECT_EQ(countOf(services.calls, "closeChronology"), 1);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 1);
    EXPECT_FALSE(dialog().isVisible());
}

struct MoveCase {
    const char* name;
    int slot;
    int direction;
    int16_t boxMark;
    std::vector<int> order; // children by index into {first, second, third}
};

void PrintTo(const MoveCase& c, std::ostream* out) { *out << c.name; }

class ChildMove : public ChildDialog, public ::testing::WithParamInterface<MoveCase> {};

// The snapshot only for a move made: one taken for a move refused would replace the
// undo of the step before with nothing to take back.
TEST_P(ChildMove, MovesOnlyASelectedChildAndTakesTheSnapshotOnlyForAMove)
{
    const MoveCase& c = GetParam();
    open(c.slot);
    const int moved = kou(marriage).kou_kodo[static_cast<size_t>(c.slot)];
    std::map<int, std::string> comments;
    for (size_t i = 0; i < 3; ++i)
        comments[kou(marriage).kou_kodo[i]] = kou(marriage).kou_kodo_comment[i];
    comments[moved] = "長男";
    model::runState().Sel_BoxMark = c.boxMark;
    dialog().Text1[2].setText("長男");
    dialog().Command1[c.direction].click();

    const int children[] = {first, second, third};
    for (size_t i = 0; i < c.order.size(); ++i)
        EXPECT_EQ(kou(marriage).kou_kodo[i], children[c.order[i]]) << "slot " << i;
    const bool moves = c.boxMark == 1 && (c.direction >= 2 || c.slot >= 1);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), moves ? 1 : 0);
    // The dialog stays with the typed comment; 登録 registers it for the child in
    // its new place.
    ASSERT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().Text1[2].text(), "長男");
    dialog().CMDFUNC[0].click();
    for (size_t i = 0; i < c.order.size(); ++i)
        EXPECT_EQ(kou(marriage).kou_kodo_comment[i], comments[kou(marriage).kou_kodo[i]]) << "slot " << i;
}

INSTANTIATE_TEST_SUITE_P(Ctrl, ChildMove,
                         ::testing::Values(MoveCase{"second_to_first", 1, 0, 1, {1, 0, 2}},
                                           MoveCase{"second_left", 1, 1, 1, {1, 0, 2}},
                                           MoveCase{"first_right", 0, 2, 1, {1, 0, 2}},
                                           MoveCase{"first_to_last", 0, 3, 1, {1, 2, 0}},
                                           MoveCase{"first_to_first_stays", 0, 0, 1, {0, 1, 2}},
                                           MoveCase{"first_left_stays", 0, 1, 1, {0, 1, 2}},
                                           MoveCase{"no_box_selected", 1, 0, 0, {0, 1, 2}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ChildDialog, MovingAnEmptySlotIsReported)
{
    open(2);
    tables().Sel_ChildSlot = 5;
    answers.answerNext(platform::vbOK);
    dialog().ChMoveJobMain(2);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "この子供はデータ上に存在しません");
}

TEST_F(ChildDialog, DoubleClickInTheEditorsChildrenOpensTheDialog)
{
    ctrl().Build_List();
    choose(marriage);
    ctrl().List2.setListIndex(1);
    ctrl().List2_DblClick();
    EXPECT_TRUE(dialog().isVisible());
    EXPECT_EQ(dialog().Text1[1].text(), "山田二郎");
    EXPECT_EQ(tables().Sel_ChildSlot, 1);
    EXPECT_EQ(model::runState().Sel_BoxMark, 1);
}

TEST_F(ChildDialog, DoubleClickOnAPersonWhoIsNobodysChildIsReported)
{
    ctrl().Build_List();
    for (int i = 0; i < ctrl().List1[0].listCount(); ++i) {
        if (ctrl().List1[0].itemData(i) == father)
            ctrl().List1[0].setListIndex(i);
    }
    answers.answerNext(platform::vbOK);
    ctrl().List1_DblClick(0);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "この人の親情報を見つける事が出来ません");
    EXPECT_EQ(model::runState().Sel_BoxMark, 0);
    EXPECT_FALSE(dialog().isVisible());
}

} // namespace
} // namespace relations_test
