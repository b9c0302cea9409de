// The quick name input, shown as the main window shows it: its fields start
// from the names and marks it is given, "決定" checks the names, takes the undo
// snapshot and returns the names and flags, "ｷｬﾝｾﾙ" returns nothing.

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

    // Shows the dialog for the names and marks and runs the user's part inside it.
    bool ask(const std::function<void(InputNameOne&)>& user, const std::array<bool, 4>& marks = {})
    {
        forms::onShown("InputNameOne", [&](forms::Form&) { user(dialog()); });
        return dialog().ask("山田", "太郎", marks);
    }

    static const entry::EntryState& state() { return entry::entryState(); }
};

TEST_F(InputNameTest, theDialogStartsFromTheNamesAndMarksItIsGiven)
{
    std::array<int, 4> marks{};
    ask(
        [&](InputNameOne& d) {
            EXPECT_EQ(d.Text1.text(), "山田");
            EXPECT_EQ(d.Text2.text(), "太郎");
            for (int i = 0; i < 4; ++i)
                marks[static_cast<size_t>(i)] = d.chkINNO[i].value();
            d.Command2_Click();
        },
        {true, false, true, false});
    EXPECT_EQ(marks, (std::array<int, 4>{1, 0, 1, 0}));
}

TEST_F(InputNameTest, confirmingReturnsTheUntrimmedNamesAndTheFlags)
{
    t().Data_Changed = 0;
    for (const int mark : {forms::vbUnchecked, forms::vbChecked}) {
        const bool confirmed = ask([&](InputNameOne& d) {
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
}

TEST_F(InputNameTest, aBlankNameOrOneTheFileCannotHoldIsRefusedAndTheDialogStays)
{
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    const bool confirmed = ask([&](InputNameOne& d) {
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
    EXPECT_EQ(state().INNO_Result, 0) << "a cancel returns nothing";
}

TEST_F(InputNameTest, enteringANameBoxSelectsItsFirst99Characters)
{
    ask([&](InputNameOne& d) {
        d.Text2.setText(std::string(120, 'x'));
        d.Text2.setFocus();
        EXPECT_EQ(d.Text2.selStart(), 0);
        EXPECT_EQ(d.Text2.selLength(), 99);
        d.Command2_Click();
    });
}

} // namespace
} // namespace entry_test
