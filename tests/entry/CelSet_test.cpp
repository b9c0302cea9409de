// The column chooser: its boxes start from DispFactor, "クリア" keeps the two
// name columns, "決定" stores and applies the choice or refuses without names,
// and the person editor opens and closes it.

#include "EntryFixture.h"

#include "entry/CelSet.h"
#include "model/run_state.h"

namespace entry_test {
namespace {

class CelSetTest : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        // The editor's requests do the real thing here.
        entry::setEntryRequests(nullptr);
    }

    static CelSet& chooser() { return celset_form(); }
};

TEST_F(CelSetTest, theEditorsColumnButtonOpensTheChooserWithTheStoredFlags)
{
    addPerson("山田", "太郎");
    open();
    form().scritem_Click(1);
    form().CMDFUNC_Click(3);
    ASSERT_TRUE(chooser().isLoaded());
    EXPECT_TRUE(chooser().isVisible());
    EXPECT_EQ(model::runState().CelSet_Open, 1);
    const model::Settings& s = model::settings();
    for (int i = 1; i <= 20; ++i)
        EXPECT_EQ(chooser().Check2[i].value() == forms::vbChecked, s.DispFactor[static_cast<size_t>(i)]) << i;
}

TEST_F(CelSetTest, clearThenDecideShowsOnlyTheNameColumns)
{
    addPerson("山田", "太郎");
    open();
    form().scritem_Click(1);
    form().CMDFUNC_Click(3);
    chooser().Command1_Click();
    chooser().Command2_Click();
    EXPECT_FALSE(chooser().isLoaded());
    EXPECT_EQ(model::runState().CelSet_Open, 0);
    for (int c = 1; c <= 20; ++c) {
        const bool shown = c == 1 || c == 2;
        EXPECT_EQ(model::settings().DispFactor[static_cast<size_t>(c)], shown) << c;
        EXPECT_EQ(form().tb.colWidth(c) > 0, shown) << c;
    }
    EXPECT_EQ(form().tb.rowData(0), 2) << "the header names the last shown column";
    EXPECT_EQ(t().Data_Changed, 1) << "only the register set it; the column choice does not";
}

TEST_F(CelSetTest, aShownAgainColumnGetsItsWidthBackAndKeepsItsData)
{
    const int slot = addPerson("山田", "太郎");
    model::tables().per_buf[static_cast<size_t>(slot)].Old_name = "佐藤";
    open();
    form().scritem_Click(1);
    form().CMDFUNC_Click(3);
    chooser().Check2[3].setValue(forms::vbChecked);
    chooser().Command2_Click();
    EXPECT_EQ(form().tb.colWidth(3), model::runState().CelWidth[3]);
    EXPECT_EQ(form().tb.textMatrix(1, 3), "佐藤");
}

TEST_F(CelSetTest, decideWithoutANameColumnIsRefusedAndStoresNothing)
{
    open();
    form().CMDFUNC_Click(3);
    const auto before = model::settings().DispFactor;
    chooser().Check2[2].setValue(forms::vbUnchecked);
    chooser().Check2[3].setValue(forms::vbChecked);
    answers.answerNext(platform::vbOK);
    chooser().Command2_Click();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::NamesMustShowMessage);
    EXPECT_TRUE(chooser().isVisible()) << "the chooser stays open";
    EXPECT_EQ(model::settings().DispFactor, before);
}

TEST_F(CelSetTest, closingTheEditorClosesTheChooserWithoutStoring)
{
    open();
    form().CMDFUNC_Click(3);
    const auto before = model::settings().DispFactor;
    chooser().Command1_Click();
    form().unload();
    EXPECT_FALSE(chooser().isLoaded());
    EXPECT_EQ(model::runState().CelSet_Open, 0);
    EXPECT_EQ(model::settings().DispFactor, before);
}

} // namespace
} // namespace entry_test
