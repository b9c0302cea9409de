// The category window: a category below the selected person (with the automatic
// family it may need), below another category, as a group of its own, the
// category display block, and the requests that change nothing.

#include "WindowsFixture.h"

#include "model/run_state.h"
#include "relations/CategMakeForm.h"
#include "relations/CtrlForm.h"

#include "model/DispStat.h"
#include "model/Lookups.h"
#include "platform/Hooks.h"

namespace relations_windows_test {
namespace {

// Remembers how many marriages were in use when the undo snapshot was taken.
class SnapshotServices : public RecordingServices {
public:
    std::vector<int> marriagesAtSnapshot;
    void saveUndo() override
    {
        RecordingServices::saveUndo();
        int used = 0;
        for (const model::marry_data& k : model::tables().kou_buf)
            used += k.InUse == model::SlotUsed ? 1 : 0;
        marriagesAtSnapshot.push_back(used);
    }
};

class CategMake : public WindowsTest {
protected:
    void SetUp() override
    {
        WindowsTest::SetUp();
        model::setWindowServices(&snapshots);
        father = addPerson("山田", "太郎", 0);
        tables().Data_Changed = 0;
        window().show();
    }

    static CategMakeForm& window() { return categmake_form(); }

    // Types a name and presses "現在選択されている人の下に追加" with a person chosen on the chart.
    static void addBelow(int chosen, const std::string& name)
    {
        if (!window().isLoaded())
            window().show();
        model::runState().Cur_PerIdx = static_cast<int16_t>(chosen);
        window().txtTitle.setText(name);
        click(window().cmdAddFocus);
    }

    // The category person of a name, -1 none.
    static int categoryNamed(const std::string& name)
    {
        for (int i = 1; i <= model::LastPersonSlot; ++i) {
            if (per(i).InUse == model::SlotUsed && per(i).CategoryF == 1 && per(i).Name == name)
                return i;
        }
        return -1;
    }

    void expectNothingChanged(int persons, int marriages) const
    {
        EXPECT_EQ(usedPersons(), persons);
        EXPECT_EQ(usedMarriages(), marriages);
        EXPECT_EQ(countOf(snapshots.calls, "saveUndo"), 0);
        EXPECT_EQ(tables().Data_Changed, 0);
        EXPECT_TRUE(window().isLoaded());
    }

    SnapshotServices snapshots;
    int father = 0;
};

TEST_F(CategMake, CategoryBelowAPersonMakesTheAutomaticFamilyFirst)
{
    addBelow(father, " 親戚 ");

    const int category = categoryNamed("親戚");
    ASSERT_NE(category, -1);
    EXPECT_EQ(per(category).F_name, "カテゴリ");
    EXPECT_EQ(per(category).Zokugara, "親戚");
    EXPECT_EQ(per(category).Sex, 0);

    const std::vector<int> automatic = marriagesOf(father, model::BlankPartner);
    ASSERT_EQ(automatic.size(), 1u);
    EXPECT_EQ(kou(automatic[0]).kou_title, "自動追加");
    EXPECT_EQ(kou(automatic[0]).kou_state, "通常");
    EXPECT_EQ(childrenOf(automatic[0]), std::vector<int>{category});

    const std::vector<int> own = marriagesOf(category, model::BlankPartner);
    ASSERT_EQ(own.size(), 1u);
    EXPECT_EQ(kou(own[0]).kou_state, "カテゴリ");
    EXPECT_EQ(kou(own[0]).kou_title, "親戚");
    EXPECT_EQ(kou(own[0]).kou_mode, 0);
    // The category's marriage is the one the chart starts from now.
    EXPECT_EQ(kou(own[0]).dsp_start, 1);
    EXPECT_EQ(kou(automatic[0]).dsp_start, 0);

    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_FALSE(window().isLoaded());
    EXPECT_GE(layout::chart().tree_cnt, 1);
}

TEST_F(CategMake, SnapshotIsTakenBeforeTheAutomaticFamily)
{
    addBelow(father, "親戚");
    EXPECT_EQ(snapshots.marriagesAtSnapshot, std::vector<int>{0});
}

TEST_F(CategMake, SecondCategoryReusesTheAutomaticFamily)
{
    addBelow(father, "親戚");
    addBelow(father, "友人");
    const std::vector<int> automatic = marriagesOf(father, model::BlankPartner);
    ASSERT_EQ(automatic.size(), 1u);
    EXPECT_EQ(childrenOf(automatic[0]), (std::vector<int>{categoryNamed("親戚"), categoryNamed("友人")}));
}

TEST_F(CategMake, CategoryBelowAWomanHangsUnderHerFamilyWithTheBlankHusband)
{
    const int mother = addPerson("山田", "花子", 1);
    const int family = marry(model::BlankPartner, mother, 0);
    addBelow(mother, "親戚");
    EXPECT_EQ(marriagesOf(model::BlankPartner, mother), std::vector<int>{family});
    EXPECT_EQ(childrenOf(family), std::vector<int>{categoryNamed("親戚")});
}

TEST_F(CategMake, CategoryBelowACategoryHangsUnderItsMarriage)
{
    addBelow(father, "親戚");
    const int upper = categoryNamed("親戚");
    addBelow(upper, "遠縁");
    const int upperMarriage = marriagesOf(upper, model::BlankPartner).at(0);
    EXPECT_EQ(childrenOf(upperMarriage), std::vector<int>{categoryNamed("遠縁")});
    // No automatic family was made for the category person.
    EXPECT_EQ(marriagesOf(upper, model::BlankPartner).size(), 1u);
}

TEST_F(CategMake, NewGroupCategoryHasNoParent)
{
    window().txtTitle.setText("友人");
    click(window().cmdAddNew);
    const int category = categoryNamed("友人");
    ASSERT_NE(category, -1);
    EXPECT_EQ(model::Get_ChildKou(category), -1);
    EXPECT_EQ(marriagesOf(category, model::BlankPartner).size(), 1u);
    EXPECT_EQ(usedMarriages(), 1);
    EXPECT_EQ(countOf(snapshots.calls, "saveUndo"), 1);
    EXPECT_FALSE(window().isLoaded());
}

TEST_F(CategMake, NameOfBlanksCreatesNothing)
{
    const int persons = usedPersons();
    model::runState().Cur_PerIdx = static_cast<int16_t>(father);
    for (const char* name : {"", "   "}) {
        window().txtTitle.setText(name);
        click(window().cmdAddFocus);
        click(window().cmdAddNew);
    }
    EXPECT_TRUE(answers.shown().empty());
    // Not even the automatic family below the chosen person.
    expectNothingChanged(persons, 0);
}

TEST_F(CategMake, NoChosenPersonIsReported)
{
    const int persons = usedPersons();
    for (int chosen : {-1, 5000, 700}) {
        model::runState().Cur_PerIdx = static_cast<int16_t>(chosen);
        window().txtTitle.setText("親戚");
        answers.answerNext(platform::vbOK);
        click(window().cmdAddFocus);
    }
    ASSERT_EQ(answers.shown().size(), 3u);
    for (const auto& shown : answers.shown()) {
        EXPECT_EQ(shown.text, "家系図上の追加したい人を選択して下さい");
        EXPECT_EQ(shown.style, 48);
        EXPECT_EQ(shown.title, "カテゴリ追加");
    }
    expectNothingChanged(persons, 0);
}

TEST_F(CategMake, ParentFamilyWithTwentyChildrenIsRefusedBeforeAnythingIsMade)
{
    const int family = marry(father, model::BlankPartner);
    for (int i = 0; i < model::MaxChildren; ++i)
        addChild(family, addPerson("山田", "子" + std::to_string(i), 0));
    tables().Data_Changed = 0;
    const int persons = usedPersons();
    answers.answerNext(platform::vbOK);
    addBelow(father, "親戚");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "子供の人数は20人迄です");
    expectNothingChanged(persons, 1);
}

TEST_F(CategMake, FullTablesAreReportedAndNothingChanges)
{
    struct Row {
        const char* message;
        bool fillPersons;
    };
    for (const Row& row : {Row{"これ以上個人情報を登録出来ません", true},
                           Row{"登録件数の限界です。結婚関係は 1024組迄登録出来ます", false}}) {
        SCOPED_TRACE(row.message);
        answers.answerNext(platform::vbOK);
        if (row.fillPersons) {
            for (int i = 1; i <= model::LastPersonSlot; ++i)
                per(i).InUse = model::SlotUsed;
        } else {
            for (int i = 2; i <= model::LastPersonSlot; ++i)
                per(i).InUse = model::SlotFree;
            // One slot left: enough for the category's own marriage, not for the
            // automatic family it needs below the chosen person.
            for (int i = 1; i < model::LastSlot; ++i)
                kou(i).InUse = model::SlotUsed;
        }
        const int persons = usedPersons();
        const int marriages = usedMarriages();
        addBelow(father, "親戚");
        ASSERT_FALSE(answers.shown().empty());
        EXPECT_EQ(answers.shown().back().text, row.message);
        expectNothingChanged(persons, marriages);
    }
}

TEST_F(CategMake, NameTheFamilyFileCannotHoldIsRefused)
{
    answers.answerNext(platform::vbOK);
    addBelow(father, "\xF0\xA0\xAE\xB7");  // U+20BB7 is outside cp932
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].title, "カテゴリ追加");
    expectNothingChanged(1, 0);
}

TEST_F(CategMake, CategoryBlockShowsOnlyTheNameItemsInAFrame)
{
    per(father).Disp.DS_Houko = 1;
    per(father).Disp.DS_Nen = 3;
    window().SetCategory_Waku(father);
    const model::DispStat& block = per(father).Disp;

    std::vector<int> shown;
    for (int item = 0; item < model::DispItemCount; ++item) {
        if (block.DSW[static_cast<size_t>(item)] != 0)
            shown.push_back(item);
        EXPECT_EQ(block.DBai[static_cast<size_t>(item)], 50) << item;
        EXPECT_EQ(block.DWLocate[static_cast<size_t>(item)], 0) << item;
        EXPECT_EQ(block.DStart[static_cast<size_t>(item)], 20.0) << item;
    }
    EXPECT_EQ(shown, (std::vector<int>{model::DispItem::OldName, model::DispItem::Relation}));
    EXPECT_LT(block.DRank[model::DispItem::OldName], block.DRank[model::DispItem::Relation]);
    // Every item has its own rank, so the order in the box is fixed.
    std::vector<int16_t> ranks(block.DRank.begin(), block.DRank.end());
    std::sort(ranks.begin(), ranks.end());
    EXPECT_EQ(std::adjacent_find(ranks.begin(), ranks.end()), ranks.end());
    EXPECT_EQ(block.DWidth[model::DispItem::Relation], 50.0);
    EXPECT_EQ(block.DWidth[model::DispItem::OldName], 20.0);
    // The whole block is replaced: the person's own settings are gone.
    EXPECT_EQ(block.DS_Houko, 0);
    EXPECT_EQ(block.DS_Nen, 0);
    EXPECT_EQ(block.DS_Waku, 1);
    EXPECT_EQ(block.DS_FName, 1);
    EXPECT_EQ(block.DS_Visible, 1);
}

TEST_F(CategMake, OpenRelationshipEditorListsTheCategory)
{
    ctrl_form().load();
    addBelow(father, "親戚");
    const int category = categoryNamed("親戚");
    const forms::ListBox& men = ctrl_form().List1[0];
    bool listed = false;
    for (int i = 0; i < men.listCount(); ++i)
        listed = listed || men.itemData(i) == category;
    EXPECT_TRUE(listed);
    EXPECT_EQ(ctrl_form().List1[2].listCount(), 2);
    ctrl_form().unload();
}

TEST_F(CategMake, BackClosesTheWindow)
{
    EXPECT_EQ(window().caption(), "カテゴリボックスの作成");
    click(window().cmdCancel);
    EXPECT_FALSE(window().isLoaded());
}

} // namespace
} // namespace relations_windows_test
