// The full chart rebuild and the refresh after an edit, through the real chart
// view over a window laid out like the main window.

#include "ChartRebuildFixture.h"

#include "drawing/ChartRebuild.h"
#include "layout/LayoutGrid.h"
#include "layout/predraw/PreDraw.h"
#include "document/Snapshots.h"
#include "model/filestore/FamilyFile.h"
#include "model/settings.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <cmath>
#include <functional>
#include <map>
#include <ostream>
#include <random>
#include <stdexcept>

namespace {

using drawing_test::ChartRebuildFixture;
using layouttest::FamilyBuilder;

class ChartRebuildTest : public ChartRebuildFixture {
protected:
    // A family of about forty persons drawn at random: children in up to two
    // marriages, second marriages and relations, adoptive husbands, branch families.
    void randomFamily(unsigned seed)
    {
        std::mt19937 rng(seed);
        std::vector<int16_t> kous{family.couple()};
        for (int i = 0; i < 25; ++i) {
            const int16_t parent = kous[rng() % kous.size()];
            const int16_t child = family.person(static_cast<int16_t>(rng() % 2));
            family.child(parent, child, static_cast<int16_t>(rng() % 3));
            if (rng() % 5 == 0 && kous.size() > 1)
                family.child(kous[(rng() % (kous.size() - 1) + 1) % kous.size()], child);
            const bool male = model::tables().per_buf[static_cast<size_t>(child)].Sex == Male;
            for (unsigned n = rng() % 3; n > 0; --n) {
                const int16_t spouse = family.person(male ? Female : Male);
                const int16_t kou = male ? family.marry(child, spouse, static_cast<int16_t>(rng() % 2))
                                         : family.marry(spouse, child, static_cast<int16_t>(rng() % 2));
                marriage(kou).Yoshi_f = rng() % 3 == 0 ? 1 : 0;
                marriage(kou).Bunke = rng() % 8 == 0 ? 1 : 0;
                marriage(kou).kou_title = "家" + std::to_string(kou);
                kous.push_back(kou);
            }
        }
        model::settings().dispmode = static_cast<int16_t>(seed % 2);
        model::settings().Dispmode_Flip = static_cast<int16_t>(seed % 3 == 0);
    }

    static int personsInUse()
    {
        int n = 0;
        for (const model::personal_data& p : model::tables().per_buf)
            n += p.InUse == model::SlotUsed;
        return n;
    }

    // The selected tab and the chart drawn agree, and no quiet selection is pending.
    void expectChartOfSelectedTab()
    {
        const int tab = form.TabStrip1.selectedIndex();
        EXPECT_EQ(form.Tab_ClickSkip, 0);
        EXPECT_EQ(chart().sel_tab, tab);
        EXPECT_EQ(chart().sel_tree, tab - 1);
        std::set<int16_t> expected;
        if (tab <= chart().tree_cnt)
            expected = personsOfTree(static_cast<int16_t>(tab - 1));
        for (int16_t t = 0; t < chart().tree_cnt && tab == chart().tree_cnt + 2; ++t) {
            const std::set<int16_t> tree = personsOfTree(t);
            expected.insert(tree.begin(), tree.end());
        }
        EXPECT_EQ(drawnPersons(), expected);
        // Only the empty canvas of the new-entry tab takes a dropped person.
        EXPECT_EQ(form.Picture1.oleDropMode(), tab == chart().tree_cnt + 1 ? 1 : 0);
    }
};

// Invariants of any rebuild: one tab per tree plus the two permanent tabs, the start
// marriage on tree 0, the canvas and the scroll ranges holding the chart drawn, and
// the tables back as they were, without person copies or hidden marriages.
TEST_F(ChartRebuildTest, RandomFamiliesKeepTheRebuildInvariants)
{
    for (unsigned seed = 1; seed <= 20; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        layouttest::resetFamily();
        family = FamilyBuilder{};
        randomFamily(seed);
        const int persons = personsInUse();
        drawing::Build_Keizu(0);
        const auto before = std::make_unique<model::Tables>(model::tables());
        drawing::Build_Keizu(0);

        EXPECT_EQ(personsInUse(), persons);
        for (int k = 1; k <= family.marriages(); ++k)
            EXPECT_EQ(marriage(k).InUse, model::SlotUsed);
        EXPECT_TRUE(model::tables().per_buf == before->per_buf);
        EXPECT_TRUE(model::tables().kou_buf == before->kou_buf);

        const int trees = chart().tree_cnt;
        const std::vector<std::string> captions = tabCaptions();
        ASSERT_EQ(static_cast<int>(captions.size()), trees + 2);
        for (int i = 0; i < trees; ++i)
            EXPECT_EQ(captions[static_cast<size_t>(i)], chart().tab_buf[static_cast<size_t>(i)].caption);
        EXPECT_EQ(captions[static_cast<size_t>(trees)], "");
        EXPECT_EQ(captions.back(), "全グループ表示");

        std::set<int16_t> treeNumbers;
        for (int r = 0; r < layout::GridRows; ++r) {
            for (int k = 0; k <= chart().cell_last[static_cast<size_t>(r)]; ++k) {
                const layout::cell_rec& cell = chart().cell_buf[static_cast<size_t>(r)][static_cast<size_t>(k)];
                treeNumbers.insert(cell.tree_no);
                if (cell.kou_no == chart().start_kou) {
                    EXPECT_EQ(cell.tree_no, 0);
                }
            }
        }
        EXPECT_EQ(static_cast<int>(treeNumbers.size()), trees);
        EXPECT_EQ(*treeNumbers.begin(), 0);
        EXPECT_EQ(*treeNumbers.rbegin(), trees - 1);

        const double canvasW = form.Picture1.width();
        const double canvasH = form.Picture1.height();
        for (const auto& e : form.Picture1.inspectElements()) {
            if (!e.visible || e.index < 2)
                continue;
            EXPECT_GE(e.left, 0) << e.name << e.index;
            EXPECT_LE(e.left + e.width, canvasW + 1e-6) << e.name << e.index;
            EXPECT_GE(e.top, 0) << e.name << e.index;
            EXPECT_LE(e.top + e.height, canvasH + 1e-6) << e.name << e.index;
        }
        if (form.HScroll1.isVisible())
            EXPECT_EQ(form.HScroll1.max(), std::lround(canvasW - form.Picture2.width()));
        else
            EXPECT_EQ(canvasW, form.Picture2.width());
        EXPECT_TRUE(form.Picture1.isVisible());
        EXPECT_EQ(form.Picture1.oleDropMode(), 0);
    }
    EXPECT_EQ(forms::screen().mousePointer(), 0);
}

// The start couple stands under the husband's parents, whose tree is placed after
// the wife's parents' tree (lower record): it still becomes tree 0 and tab 1.
TEST_F(ChartRebuildTest, StartCouplesTreeComesFirst)
{
    const int16_t wifeParents = titledCouple("妻の実家");
    const int16_t husbandParents = titledCouple("夫の実家");
    const int16_t husband = family.person(Male);
    const int16_t wife = family.person(Female);
    family.child(husbandParents, husband);
    family.child(wifeParents, wife);
    const int16_t start = titledMarriage(husband, wife, "本家");
    marriage(start).dsp_start = 1;

    drawing::Build_Keizu(0);

    EXPECT_EQ(chart().start_kou, start);
    EXPECT_EQ(tabCaptions(), (std::vector<std::string>{"夫の実家", "妻の実家", "", "全グループ表示"}));
    EXPECT_EQ(layout::Is_OnChart(0, husband), 1);
    EXPECT_EQ(layout::Is_OnChart(0, wife), 1);
    EXPECT_EQ(drawnPersons(), personsOfTree(0));
}

// Tree numbers are exchanged, not passed through a spare number: with more than a
// thousand trees, number 1000 is a real tree that must keep its own number.
TEST_F(ChartRebuildTest, StartTreeSwapKeepsEveryTreeNumberWithOverAThousandTrees)
{
    layout::setChartView(nullptr); // no window: a thousand tabs are not the point here
    const int16_t wifeParents = family.couple();
    const int16_t husbandParents = family.couple();
    const int16_t husband = family.person(Male);
    const int16_t wife = family.person(Female);
    family.child(husbandParents, husband);
    family.child(wifeParents, wife);
    marriage(family.marry(husband, wife)).dsp_start = 1;
    for (int i = 0; i < 999; ++i)
        family.marry(family.person(Male), model::BlankPartner);

    drawing::Build_Keizu(0);

    ASSERT_EQ(chart().tree_cnt, 1001);
    std::map<int16_t, std::set<int16_t>> marriagesOfTree;
    for (int r = 0; r < layout::GridRows; ++r) {
        for (int k = 0; k <= chart().cell_last[static_cast<size_t>(r)]; ++k) {
            const layout::cell_rec& cell = chart().cell_buf[static_cast<size_t>(r)][static_cast<size_t>(k)];
            if (cell.kou_no != -1)
                marriagesOfTree[cell.tree_no].insert(cell.kou_no);
        }
    }
    EXPECT_EQ(marriagesOfTree.size(), 1001u);
    EXPECT_EQ(marriagesOfTree[1000].size(), 1u);
    EXPECT_EQ(marriagesOfTree[0].count(chart().start_kou), 1u);
}

// Lineage groups put their trees' tabs first, in group order, under the group's
// title; a tree holding two leaders keeps the later group's title.
TEST_F(ChartRebuildTest, LineageGroupTabsComeFirstInGroupOrder)
{
    std::vector<int16_t> husbands;
    for (const char* title : {"一家", "二家", "三家", "四家"}) {
        const int16_t kou = titledCouple(title);
        husbands.push_back(marriage(kou).kou_titi);
    }
    auto& t = model::tables();
    t.GrpTitleList = {{"甲", -1, husbands[3], 0}, {"乙", -1, husbands[1], 0}, {"丙", -1, husbands[1], 0}};
    t.GrpTitleCount = 2;

    drawing::Build_Keizu(0);

    EXPECT_EQ(tabCaptions(), (std::vector<std::string>{"甲", "丙", "一家", "三家", "", "全グループ表示"}));
    EXPECT_EQ(t.tab_grp_f, 1);
    EXPECT_EQ(layout::Is_OnChart(0, husbands[3]), 1);
    EXPECT_EQ(layout::Is_OnChart(1, husbands[1]), 1);
    EXPECT_EQ(drawnPersons(), personsOfTree(3)); // tab index 0 shows tree 3
}

// The snapshot written at the end holds the family itself: no person copies of the
// several marriages, no marriage hidden by the direct-line view.
TEST_F(ChartRebuildTest, AutosaveHoldsTheUntransformedFamily)
{
    const int16_t first = titledCouple("前妻");
    const int16_t husband = marriage(first).kou_titi;
    titledMarriage(husband, family.person(Female), "後妻");
    const int16_t son = family.person(Male);
    marriage(first).kodo_visible[static_cast<size_t>(family.child(first, son))] = 0;
    family.marry(son, family.person(Female));
    model::settings().Dispmode_Tyokei = 1; // the son's marriage is hidden while laid out
    const auto original = std::make_unique<model::Tables>(model::tables());

    drawing::Build_Keizu(0);

    const std::string copy = home.file("\\TMP\\copy.kez");
    platform::copyFile(model::autosaveSnapshotPath(), copy);
    ASSERT_TRUE(model::Unscramble_File(copy));
    layouttest::resetFamily();
    ASSERT_TRUE(model::load_file(copy));
    for (int i = 1; i <= model::LastSlot; ++i) {
        const auto slot = static_cast<size_t>(i);
        EXPECT_EQ(model::tables().per_buf[slot].InUse, original->per_buf[slot].InUse) << i;
        EXPECT_EQ(model::tables().kou_buf[slot].InUse, original->kou_buf[slot].InUse) << i;
        EXPECT_EQ(model::tables().kou_buf[slot].kou_titi, original->kou_buf[slot].kou_titi) << i;
    }
}

// Tree tabs whose count was forgotten (a new family's chart state) are still
// replaced, not left in front of the new ones.
TEST_F(ChartRebuildTest, TreeTabsOfAForgottenCountAreReplaced)
{
    titledCouple("一家");
    titledCouple("二家");
    drawing::Build_Keizu(0);
    chart().tab_cnt = -1;
    drawing::Build_Keizu(0);
    EXPECT_EQ(tabCaptions(), (std::vector<std::string>{"一家", "二家", "", "全グループ表示"}));
}

// A window step that fails half-way leaves the tables as they were, not with the
// temporary copies that a later save would write into the family file.
TEST_F(ChartRebuildTest, FailingWindowStepLeavesTheTablesRestored)
{
    struct FailingView : layout::ChartView {
        int selectedTab() const override { return 1; }
        void setCanvasSize(double, double) override { throw std::runtime_error("canvas"); }
    } failing;
    const int16_t first = family.couple();
    family.marry(marriage(first).kou_titi, family.person(Female));
    drawing::Build_Keizu(0);
    const auto before = std::make_unique<model::Tables>(model::tables());

    layout::setChartView(&failing);
    EXPECT_THROW(drawing::Build_Keizu(0), std::runtime_error);
    layout::setChartView(view.get());

    EXPECT_TRUE(model::tables().per_buf == before->per_buf);
    EXPECT_TRUE(model::tables().kou_buf == before->kou_buf);
    EXPECT_EQ(forms::screen().mousePointer(), 0);
}

// The person table has no slot for the copy of a twice-married husband: the chart
// is laid out and saved without his second marriage, and says so once it is drawn.
TEST_F(ChartRebuildTest, ExpansionOutOfPersonSlotsStillDrawsTheChart)
{
    const int16_t first = titledCouple("前妻");
    const int16_t husband = marriage(first).kou_titi;
    const int16_t secondWife = family.person(Female);
    titledMarriage(husband, secondWife, "後妻");
    while (family.persons() < model::LastPersonSlot)
        family.person(Male);
    answers.answerNext(platform::vbOK);

    drawing::Build_Keizu(0);

    ASSERT_EQ(answers.shown().size(), 1u);
    const auto name = [](int16_t p) {
        return model::tables().per_buf[static_cast<size_t>(p)].F_name + " "
               + model::tables().per_buf[static_cast<size_t>(p)].Name;
    };
    EXPECT_NE(answers.shown()[0].text.find("「" + name(husband) + "」と「" + name(secondWife) + "」"),
              std::string::npos)
        << answers.shown()[0].text;
    EXPECT_EQ(drawnPersons(), (std::set<int16_t>{1, 2}));
    EXPECT_EQ(personsInUse(), model::LastPersonSlot);
    EXPECT_EQ(marriage(2).InUse, model::SlotUsed);
    EXPECT_TRUE(platform::fileExists(model::autosaveSnapshotPath()));
}

// A husband of two marriages is drawn through a copy in the tree of his second
// marriage; he still counts as on that chart (the name list and the chronology
// list him there), and his second wife only there.
TEST_F(ChartRebuildTest, PersonDrawnThroughACopyIsOnTheChart)
{
    const int16_t first = titledCouple("前妻");
    const int16_t husband = marriage(first).kou_titi;
    const int16_t secondWife = family.person(Female);
    titledMarriage(husband, secondWife, "後妻");

    drawing::Build_Keizu(0);

    ASSERT_EQ(chart().tree_cnt, 2);
    EXPECT_EQ(layout::Is_OnChart(0, husband), 1);
    EXPECT_EQ(layout::Is_OnChart(1, husband), 1);
    EXPECT_EQ(layout::Is_OnChart(0, secondWife), -1);
    EXPECT_EQ(layout::Is_OnChart(1, secondWife), 1);
}

// The last marriage deleted: only the permanent tabs stay, the canvas is empty and
// takes drops, and no chart of the deleted family is left to draw or to list.
TEST_F(ChartRebuildTest, FamilyWithoutMarriagesLeavesAnEmptyDropCanvas)
{
    const int16_t kou = titledCouple("山田家");
    family.child(kou, family.person(Male));
    drawing::Build_Keizu(0);
    platform::deleteFile(model::autosaveSnapshotPath());
    forms::clearMousePointerChanges();

    marriage(kou).InUse = model::SlotFree;
    drawing::Build_Keizu(0);

    EXPECT_EQ(tabCaptions(), (std::vector<std::string>{"", "全グループ表示"}));
    EXPECT_EQ(chart().tree_cnt, 0);
    EXPECT_EQ(chart().tab_cnt, -1);
    EXPECT_EQ(chart().sel_tab, 1);
    EXPECT_TRUE(drawnPersons().empty());
    EXPECT_EQ(form.Picture1.oleDropMode(), 1);
    EXPECT_EQ(chart().ChartPerList[1].Flag, -1);
    EXPECT_EQ(chart().cell_last[51], -1);
    // The persons are still the family: the autosave holds them without a marriage.
    EXPECT_TRUE(platform::fileExists(model::autosaveSnapshotPath()));
    EXPECT_TRUE(forms::mousePointerChanges().empty());
    EXPECT_EQ(services->selectionClears, 2);
}

// --- Refresh_TabDisp: which tab stays selected, and that its chart is the one shown ---

struct RefreshCase {
    const char* name;
    int couples;      // unconnected couples 1, 2, ... (one tree each)
    int selectTab;    // the user's tab before the edit
    std::function<void(layouttest::FamilyBuilder&)> edit;
    int expectedTab;
};

void PrintTo(const RefreshCase& c, std::ostream* os)
{
    *os << c.name;
}

class RefreshTabTest : public ChartRebuildTest, public ::testing::WithParamInterface<RefreshCase> {};

TEST_P(RefreshTabTest, KeepsASensibleTabWithItsChart)
{
    const RefreshCase& c = GetParam();
    for (int i = 0; i < c.couples; ++i)
        titledCouple("家" + std::to_string(i + 1));
    drawing::Refresh_TabDisp();
    form.onUserTabClick = [] { drawing::Refresh_TabDisp(); };
    clickTab(c.selectTab);
    ASSERT_EQ(form.TabStrip1.selectedIndex(), c.selectTab);
    const int userClicks = form.userClicks;

    c.edit(family);
    drawing::Refresh_TabDisp();

    EXPECT_EQ(form.TabStrip1.selectedIndex(), c.expectedTab);
    expectChartOfSelectedTab();
    // The user's next click is the user's, not swallowed by a flag left behind.
    clickTab(c.expectedTab == 1 ? 2 : 1);
    EXPECT_EQ(form.userClicks, userClicks + 1);
}

const RefreshCase refreshCases[] = {
    {"TreeTabStaysWhenTreesStay", 3, 3, [](FamilyBuilder& f) { f.child(3, f.person(0)); }, 3},
    {"VanishedTreeTabGivesWayToTheFirst", 3, 3,
     [](FamilyBuilder&) { model::tables().kou_buf[3].InUse = model::SlotFree; }, 1},
    {"AllTreesTabStaysLast", 2, 4, [](FamilyBuilder& f) { f.couple(); }, 5},
    {"NewEntryTabStaysEmpty", 2, 3, [](FamilyBuilder& f) { f.child(1, f.person(1)); }, 3},
    {"NewEntryTabGivesWayToTheFirstTree", 2, 3, [](FamilyBuilder& f) { f.couple(); }, 1},
    {"LastMarriageGoneLeavesTheNewEntryTab", 1, 1,
     [](FamilyBuilder&) { model::tables().kou_buf[1].InUse = model::SlotFree; }, 1},
};

INSTANTIATE_TEST_SUITE_P(Refresh, RefreshTabTest, ::testing::ValuesIn(refreshCases),
                         [](const ::testing::TestParamInfo<RefreshCase>& info) { return info.param.name; });

} // namespace
