// The chart view over the main window's controls: the tab strip's rules (Add and
// Remove keep the selected index number, Click only on a change of selection).

#include "ChartRebuildFixture.h"

namespace {

using drawing_test::ChartRebuildFixture;

class FormsChartViewTest : public ChartRebuildFixture {};

TEST_F(FormsChartViewTest, TreeTabsComeAndGoInFrontOfThePermanentTabs)
{
    view->insertTreeTabs({"一家", "二家"});
    EXPECT_EQ(tabCaptions(), (std::vector<std::string>{"一家", "二家", "", "全グループ表示"}));

    view->removeTreeTabs(5); // more than there are: the permanent tabs stay
    EXPECT_EQ(tabCaptions(), (std::vector<std::string>{"", "全グループ表示"}));

    form.TabStrip1.tabs().clear(); // a strip that lost them gets them back
    view->insertTreeTabs({"一家"});
    EXPECT_EQ(tabCaptions(), (std::vector<std::string>{"一家", "", "全グループ表示"}));
}

// Selecting the tab already selected raises no click, so no flag may be set for it:
// the flag would swallow the user's next click.
TEST_F(FormsChartViewTest, QuietSelectionSkipsExactlyTheClickItRaises)
{
    view->insertTreeTabs({"一家", "二家"});
    form.TabStrip1.tabs().item(1).setSelected(true);
    const int userClicks = form.userClicks;

    view->selectTabQuietly(1);
    EXPECT_EQ(form.Tab_ClickSkip, 0);
    view->selectTabQuietly(2);
    EXPECT_EQ(form.TabStrip1.selectedIndex(), 2);
    EXPECT_EQ(form.Tab_ClickSkip, 0);
    EXPECT_EQ(form.skippedClicks, 1);
    EXPECT_EQ(form.userClicks, userClicks);

    clickTab(3);
    EXPECT_EQ(form.userClicks, userClicks + 1);
}

} // namespace
