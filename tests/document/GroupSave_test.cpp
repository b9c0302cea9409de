// The save of the shown family group: only the tree of the selected tab, renumbered,
// through save_file, with the open family left exactly as it was.

#include "DocumentTest.h"

#include "layout/chart_state.h"
#include "model/GroupLists.h"
#include "document/GroupSave.h"
#include "document/InitAllSetting.h"
#include "model/filestore/FamilyFile.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <array>
#include <map>

namespace model::testing {
namespace {

class GroupSaveTest : public DocumentTest {
protected:
    // Two unconnected families: A (a1 + a2 with two children) and B (b1 + b2, their son
    // b3 married to b4, their child b5).
    struct TwoFamilies {
        int a1, a2, a3, a4, b1, b2, b3, b4, b5;
        int ka, kb, kc;
    };

    TwoFamilies buildTwoFamilies()
    {
        TwoFamilies f{};
        f.a1 = addPerson("一郎", "青木", 0);
        f.a2 = addPerson("花子", "青木", 1);
        f.a3 = addPerson("次郎", "青木", 0);
        f.a4 = addPerson("春子", "青木", 1);
        f.b1 = addPerson("大介", "馬場", 0);
        f.b2 = addPerson("雪子", "馬場", 1);
        f.b3 = addPerson("拓也", "馬場", 0);
        f.b4 = addPerson("彩", "馬場", 1);
        f.b5 = addPerson("蓮", "馬場", 0);
        f.ka = addMarriage(f.a1, f.a2);
        tables().kou_buf[f.ka].dsp_start = 1;
        addChild(f.ka, f.a3);
        addChild(f.ka, f.a4);
        f.kb = addMarriage(f.b1, f.b2);
        addChild(f.kb, f.b3);
        f.kc = addMarriage(f.b3, f.b4);
        addChild(f.kc, f.b5);
        return f;
    }

    // A chart of one tree (tree 0) whose cells stand side by side in one row, each
    // {person A, person B, marriage}.
    static void oneTreeChart(std::initializer_list<std::array<int, 3>> cells)
    {
        layout::ChartState& c = layout::chart();
        c = layout::ChartState{};
        int col = 0;
        for (const auto& [a, b, kou] : cells) {
            layout::cell_rec& cell = c.cellAt(40, col);
            cell.per_a = static_cast<int16_t>(a);
            cell.per_b = static_cast<int16_t>(b);
            cell.kou_no = static_cast<int16_t>(kou);
            cell.tree_no = 0;
            c.cell_last[40] = static_cast<int16_t>(col++);
        }
        c.tree_cnt = 1;
    }

    // Reads the saved group into the tables (the open family is gone afterwards).
    void loadSaved(const std::string& path)
    {
        InitAllSetting();
        ASSERT_TRUE(load_file(path));
    }

    // Slot of each used person by "family name + given name".
    static std::map<std::string, int> slotsByName()
    {
        std::map<std::string, int> slots;
        for (int p = 1; p <= LastSlot; ++p) {
            const personal_data& person = tables().per_buf[p];
            if (person.InUse == SlotUsed) {
                EXPECT_EQ(slots.count(person.F_name + person.Name), 0u) << "saved twice: " << person.Name;
                slots[person.F_name + person.Name] = p;
            }
        }
        return slots;
    }

    static int usedMarriages()
    {
        int n = 0;
        for (int k = 1; k <= LastSlot; ++k)
            n += tables().kou_buf[k].InUse == SlotUsed ? 1 : 0;
        return n;
    }

    std::string path() const { return home.file("group.KEZ"); }
    // The dialog answers with the family file to write, which is kept as it is.
    std::string savedPath() const { return path(); }
};

// A picture of the group whose file is gone from the work folder is named by the save,
// which never ends with plain success then; the open family keeps its reference.
TEST_F(GroupSaveTest, APictureThatCannotBeIncludedIsNamed)
{
    const TwoFamilies f = buildTwoFamilies();
    givePicture(f.b2, "face-b2.bmp", "BM b2");
    givePicture(f.b3, "face-b3.bmp", "BM b3");
    platform::deleteFile(mediaPath(MediaPicture, "face-b2.bmp"));
    layOutChart();
    const FamilyCapture before = captureFamily();
    windows.saveAsPath = path();

    answers.answerNext(platform::vbOK);
    Save_GrpFile(*treesOf(f.b1).begin());

    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"家系図は保存しましたが、次の画像・音声のファイルが見つからないため含められませんでした。"
                                       "これらの人物の画像・音声の指定は外しました。\r\n「馬場 雪子」の画像（face-b2.bmp）"});
    expectUnchanged(before);
    // The saved group and its bundle agree: it opens without a message.
    loadSaved(savedPath());
    EXPECT_EQ(tables().per_buf[slotsByName().at("馬場雪子")].Picture_index, -1);
    EXPECT_NE(tables().per_buf[slotsByName().at("馬場拓也")].Picture_index, -1);
}

TEST_F(GroupSaveTest, SavesOnlyTheShownTreeRenumberedInOrderOfAppearance)
{
    const TwoFamilies f = buildTwoFamilies();
    Tables& t = tables();
    // References among the saved records: an adoption history naming marriage kc and
    // a person copied from b3.
    t.kou_buf[f.kb].kodo_yoshirireki[0] = static_cast<int16_t>(f.kc);
    t.per_buf[f.b5].CopyIdx = static_cast<int16_t>(f.b3);
    Add_GrpName("本家");
    Add_GrpTitle();
    t.GrpTitleList[0].TitleName = "馬場本家";
    t.Cur_FilePath = "/home/user/families.kez";
    t.Data_Changed = 1;
    layOutChart();
    const std::set<int> trees = treesOf(f.b1);
    ASSERT_EQ(trees.size(), 1u);
    ASSERT_EQ(treesOf(f.a1).count(*trees.begin()), 0u) << "the two families share a tree";
    const FamilyCapture before = captureFamily();
    windows.saveAsPath = path();

    answers.answerNext(platform::vbOK);
    Save_GrpFile(*trees.begin());

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{SaveDoneMessage}) << "ends as Save As does";
    EXPECT_EQ(windows.count("askSaveAsPath"), 1);
    expectUnchanged(before);
    ASSERT_TRUE(platform::fileExists(savedPath()));

    loadSaved(savedPath());
    const std::map<std::string, int> slot = slotsByName();
    ASSERT_EQ(slot.size(), 5u) << "only family B is saved";
    // Numbered by first appearance: the top couple, then its child, then the child's wife
    // and their child.
    EXPECT_EQ(slot.at("馬場大介"), 1);
    EXPECT_EQ(slot.at("馬場雪子"), 2);
    EXPECT_EQ(slot.at("馬場拓也"), 3);
    EXPECT_EQ(slot.at("馬場彩"), 4);
    EXPECT_EQ(slot.at("馬場蓮"), 5);
    ASSERT_EQ(usedMarriages(), 2);
    const marry_data& top = t.kou_buf[1];
    const marry_data& young = t.kou_buf[2];
    EXPECT_EQ(top.kou_titi, 1);
    EXPECT_EQ(top.kou_haha, 2);
    EXPECT_EQ(childrenOf(1), std::vector<int>{3});
    EXPECT_EQ(top.dsp_start, 1) << "the saved family needs a start marriage";
    EXPECT_EQ(top.kodo_yoshirireki[0], 2) << "the adoption history names the saved marriage";
    EXPECT_EQ(young.kou_titi, 3);
    EXPECT_EQ(young.kou_haha, 4);
    EXPECT_EQ(childrenOf(2), std::vector<int>{5});
    EXPECT_EQ(t.per_buf[5].CopyIdx, 3);
    EXPECT_EQ(t.GrpTitleCount, -1) << "the saved group carries no lineage groups";
    EXPECT_EQ(t.GrpNameCount, 0);
}

struct RefusedTab {
    int beyondTrees; // the tab's index minus tree_cnt
    const char* message;
};

class GroupSaveRefusalTest : public GroupSaveTest, public ::testing::WithParamInterface<RefusedTab> {};

TEST_P(GroupSaveRefusalTest, RefusesTheTabsThatShowNoSingleTree)
{
    buildTwoFamilies();
    layOutChart();
    const FamilyCapture before = captureFamily();
    windows.saveAsPath = path();

    answers.answerNext(platform::vbOK);
    Save_GrpFile(layout::chart().tree_cnt + GetParam().beyondTrees);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, GetParam().message);
    EXPECT_EQ(answers.shown()[0].title, GroupSaveTitle);
    EXPECT_EQ(answers.shown()[0].style, platform::vbExclamation);
    EXPECT_EQ(windows.count("askSaveAsPath"), 0);
    expectUnchanged(before);
}

INSTANTIATE_TEST_SUITE_P(NewEntryAndAllGroups, GroupSaveRefusalTest,
                         ::testing::Values(RefusedTab{0, GroupSaveNewTabMessage},
                                           RefusedTab{1, GroupSaveAllTabMessage}));

TEST_F(GroupSaveTest, ATreeOfASinglePersonHasNothingToSave)
{
    const int lone = addPerson("孤", "一", 0);
    oneTreeChart({{lone, -1, -1}});
    const FamilyCapture before = captureFamily();
    windows.saveAsPath = path();

    answers.answerNext(platform::vbOK);
    Save_GrpFile(0);

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{GroupSaveEmptyMessage});
    EXPECT_EQ(windows.count("askSaveAsPath"), 0);
    EXPECT_FALSE(platform::fileExists(savedPath()));
    expectUnchanged(before);
}

TEST_F(GroupSaveTest, APersonDrawnTwiceThroughTheExpansionIsSavedOnce)
{
    const int husband = addPerson("正", "森", 0);
    const int first = addPerson("初", "森", 1);
    const int second = addPerson("二", "森", 1);
    const int c1 = addPerson("一", "森", 0);
    const int c2 = addPerson("二郎", "森", 0);
    const int k1 = addMarriage(husband, first);
    tables().kou_buf[k1].dsp_start = 1;
    addChild(k1, c1);
    const int k2 = addMarriage(husband, second);
    addChild(k2, c2);
    // The expansion gives the second marriage a copy of the husband in the first free
    // slot; the tree shows both couples.
    const int copy = c2 + 1;
    oneTreeChart({{husband, first, k1}, {copy, second, k2}});
    const FamilyCapture before = captureFamily();
    windows.saveAsPath = path();

    answers.answerNext(platform::vbOK);
    Save_GrpFile(0);

    expectUnchanged(before);
    loadSaved(savedPath());
    const std::map<std::string, int> slot = slotsByName();
    EXPECT_EQ(slot.size(), 5u);
    EXPECT_EQ(slot.at("森正"), 1) << "saved under the number of its first appearance";
    ASSERT_EQ(usedMarriages(), 2);
    EXPECT_EQ(tables().kou_buf[1].kou_titi, 1);
    EXPECT_EQ(tables().kou_buf[2].kou_titi, 1);
    EXPECT_EQ(tables().kou_buf[2].kou_haha, slot.at("森二"));
}

// No person slot is left for the copy of the husband's second marriage, so the chart
// leaves that marriage out; a group saved from it would lose it: the save says so
// and writes nothing.
TEST_F(GroupSaveTest, AChartLeavingOutAMarriageIsNotSaved)
{
    const int husband = addPerson("正", "森", 0);
    const int first = addPerson("初", "森", 1);
    const int second = addPerson("二", "森", 1);
    const int k1 = addMarriage(husband, first);
    tables().kou_buf[k1].dsp_start = 1;
    addMarriage(husband, second);
    for (int n = 4; n <= LastPersonSlot; ++n)
        addPerson(std::to_string(n), "他", 0);
    oneTreeChart({{husband, first, k1}});
    const FamilyCapture before = captureFamily();
    windows.saveAsPath = path();

    answers.answerNext(platform::vbOK);
    Save_GrpFile(0);

    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(GroupSaveHiddenMarriagesMessage)
                                       + "\r\nすべての結婚を表示するには、人物を1人減らしてください。"});
    EXPECT_EQ(answers.shown()[0].title, GroupSaveTitle);
    EXPECT_EQ(windows.count("askSaveAsPath"), 0);
    EXPECT_FALSE(platform::fileExists(savedPath()));
    expectUnchanged(before);
}

TEST_F(GroupSaveTest, ChildrenAndPartnersOfASavedMarriageAreSavedEvenWhenNoCellShowsThem)
{
    const int husband = addPerson("剛", "林", 0);
    const int wife = addPerson("静", "林", 1);
    const int c1 = addPerson("一", "林", 0);
    const int c2 = addPerson("二", "林", 1);
    const int k = addMarriage(husband, wife);
    tables().kou_buf[k].dsp_start = 1;
    addChild(k, c1);
    addChild(k, c2);
    // A cell that keeps its marriage while showing only the husband.
    oneTreeChart({{husband, -1, k}});
    windows.saveAsPath = path();

    answers.answerNext(platform::vbOK);
    Save_GrpFile(0);

    loadSaved(savedPath());
    const std::map<std::string, int> slot = slotsByName();
    ASSERT_EQ(slot.size(), 4u);
    const marry_data& saved = tables().kou_buf[1];
    EXPECT_EQ(saved.kou_titi, slot.at("林剛"));
    EXPECT_EQ(saved.kou_haha, slot.at("林静")) << "a saved marriage lost its wife";
    EXPECT_EQ(childrenOf(1), (std::vector<int>{slot.at("林一"), slot.at("林二")}));
}

TEST_F(GroupSaveTest, ACancelledDialogWritesNothing)
{
    const TwoFamilies f = buildTwoFamilies();
    layOutChart();
    const FamilyCapture before = captureFamily();
    windows.saveAsPath = "";

    Save_GrpFile(*treesOf(f.a1).begin());

    EXPECT_EQ(windows.count("askSaveAsPath"), 1);
    EXPECT_TRUE(platform::listFiles(home.path(), "*.kez").empty());
    expectUnchanged(before);
}

TEST_F(GroupSaveTest, PersonTextsOfLists)
{
    const int p = addPerson("太郎", "山田", 0);
    // A temporary copy of the multiple-marriage expansion stands for its person.
    const int copy = addPerson("太郎", "写し", 0);
    tables().per_buf[copy].OrgIdx = static_cast<int16_t>(p);
    EXPECT_EQ(Get_PersonText(-1), "指定無し");
    EXPECT_EQ(Get_PersonText(BlankPartner), "空白");
    EXPECT_EQ(Get_PersonText(p), "山田 太郎");
    EXPECT_EQ(Get_PersonText(copy), "山田 太郎");

    auto persons = std::make_unique<LocalPersons>();
    PersonMap map;
    map.fill(-1);
    int16_t count = 0;
    int16_t person = static_cast<int16_t>(copy);
    EXPECT_EQ(Get_PersonListText(*persons, map, person, count), std::to_string(p) + "-山田太郎");
    EXPECT_EQ(person, p);
    person = static_cast<int16_t>(p);
    Get_PersonListText(*persons, map, person, count);
    EXPECT_EQ(count, 1) << "the person is taken once";
    EXPECT_EQ(map[p], 1);
    EXPECT_EQ((*persons)[1].Name, "太郎");
    int16_t blank = BlankPartner;
    EXPECT_EQ(Get_PersonListText(*persons, map, blank, count), "空白");
    EXPECT_EQ(count, 1);
}

} // namespace
} // namespace model::testing
