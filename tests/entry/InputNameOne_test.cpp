// The quick name input: its fields start from the person, "決定" checks the
// names, takes the undo snapshot and returns the names and flags, "ｷｬﾝｾﾙ"
// returns nothing, and the caller's store writes the results into the person.

#include "EntryFixture.h"

#include "entry/InputNameOne.h"
#include "model/SavableText.h"

#include <array>
#include <functional>

namespace entry_test {
namespace {

class InputNameTest : public EntryTest {
protected:
    void TearDown() override
    {
        forms::clearOnShown();
        EntryTest::TearDown();
    }

    static InputNameOne& dialog() { return inputnameone_form(); }

    // Shows the dialog for the person and runs the user's part inside it.
    bool ask(int slot, const std::function<void(InputNameOne&)>& user)
    {
        forms::onShown("InputNameOne", [&](forms::Form&) { user(dialog()); });
        return dialog().askForPerson(slot);
    }

    static const entry::EntryState& state() { return entry::entryState(); }
};

TEST_F(InputNameTest, theDialogStartsFromThePersonsNamesAndFlags)
{
    const int slot = addPerson("山田", "太郎");
    person(slot).CategoryF = 1;
    person(slot).Disp.DS_DeathW = 0;
    person(slot).Disp.DS_Waku = 1;
    person(slot).CsvOutFlag = -1;
    std::array<int, 4> marks{};
    ask(slot, [&](InputNameOne& d) {
        EXPECT_EQ(d.Text1.text(), "山田");
        EXPECT_EQ(d.Text2.text(), "太郎");
        for (int i = 0; i < 4; ++i)
            marks[static_cast<size_t>(i)] = d.chkINNO[i].value();
        d.Command2_Click();
    });
    EXPECT_EQ(marks, (std::array<int, 4>{1, 0, 1, 0}));
}

TEST_F(InputNameTest, confirmingReturnsTheUntrimmedNamesAndTheFlags)
{
    const int slot = addPerson("山田", "太郎");
    t().Data_Changed = 0;
    for (const int mark : {forms::vbUnchecked, forms::vbChecked}) {
        const bool confirmed = ask(slot, [&](InputNameOne& d) {
            d.Text1.setText(" 鈴木 ");
            d.Text2.setText("一郎");
            for (int i = 0; i < 4; ++i)
                d.chkINNO[i].setValue(mark);
            d.Command1_Click();
        });
        EXPECT_TRUE(confirmed);
        EXPECT_FALSE(dialog().isLoaded());
        EXPECT_EQ(state().INNO_Result, 1);
        EXPECT_EQ(state().INNO_FName, " 鈴木 ") << "the blanks stay";
        EXPECT_EQ(state().INNO_Name, "一郎");
        const std::array<int16_t, 4> expected =
            mark == forms::vbChecked ? std::array<int16_t, 4>{1, 1, 1, 1} : std::array<int16_t, 4>{-1, 0, 0, -1};
        EXPECT_EQ(state().INNO_Opt, expected);
    }
    EXPECT_EQ(t().Data_Changed, 1);
    EXPECT_TRUE(undoSnapshotExists());
    EXPECT_EQ(person(slot).F_name, "山田") << "the dialog itself changes no record";

    entry::storeQuickNameInput(slot);
    EXPECT_EQ(person(slot).F_name, " 鈴木 ");
    EXPECT_EQ(person(slot).Name, "一郎");
    EXPECT_EQ(person(slot).CategoryF, 1);
    EXPECT_EQ(person(slot).Disp.DS_DeathW, 1);
    EXPECT_EQ(person(slot).Disp.DS_Waku, 1);
    EXPECT_EQ(person(slot).CsvOutFlag, 1);
}

TEST_F(InputNameTest, aBlankNameOrOneTheFileCannotHoldIsRefusedAndTheDialogStays)
{
    const int slot = addPerson("山田", "太郎");
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    const bool confirmed = ask(slot, [&](InputNameOne& d) {
        d.Text2.setText("   ");
        d.Command1_Click();
        EXPECT_TRUE(d.isVisible());
        d.Text2.setText("😀");
        d.Command1_Click();
        EXPECT_TRUE(d.isVisible());
        d.Command2_Click();
    });
    EXPECT_FALSE(confirmed);
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[0].text, "名字、名前は省略出来ません");
    EXPECT_EQ(answers.shown()[1].text, std::string(model::UnsavableCharMessage) + "😀");
    EXPECT_FALSE(undoSnapshotExists());
    entry::storeQuickNameInput(slot);
    EXPECT_EQ(person(slot).Name, "太郎") << "a cancel stores nothing";
}

TEST_F(InputNameTest, enteringANameBoxSelectsItsFirst99Characters)
{
    const int slot = addPerson("山田", "太郎");
    ask(slot, [&](InputNameOne& d) {
        d.Text2.setText(std::string(120, 'x'));
        d.Text2.setFocus();
        EXPECT_EQ(d.Text2.selStart(), 0);
        EXPECT_EQ(d.Text2.selLength(), 99);
        d.Command2_Click();
    });
}

} // namespace
} // namespace entry_test
