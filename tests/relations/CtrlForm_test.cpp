// The relationship editor's window: loading a marriage into the fields, the
// person lists with their placeholder lines, the marriage lists and the
// edit-target caption.

#include "CtrlFixture.h"
#include "model/run_state.h"

#include "support/qt/ButtonFace.h"

#include <QHeaderView>
#include <QTest>
#include <QTreeWidget>

namespace relations_test {
namespace {

// ---------------------------------------------------------------- loading a marriage

struct StateCase {
    const char* name;
    const char* state;
    int16_t mode;
    int expectedItem;
    bool orderEnabled;
};

void PrintTo(const StateCase& c, std::ostream* out) { *out << c.name; }

class LoadState : public CtrlTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(LoadState, SelectsTheMatchingStateWordAndKeepsTheRecordsTitle)
{
    const StateCase& c = GetParam();
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "通常", 0, "本家");
    kou(m).kou_state = c.state;
    kou(m).kou_mode = c.mode;
    kou(m).kou_title = "本家";
    choose(m);

    EXPECT_EQ(ctrl().Combo1.listIndex(), c.expectedItem);
    EXPECT_EQ(ctrl().Combo1.itemData(ctrl().Combo1.listIndex()), relations::StateWords[c.expectedItem].kou_mode);
    // The state list's click wrote its word into the title; the record's title wins.
    EXPECT_EQ(ctrl().Text1[0].text(), "本家");
    // The order field follows the record's kou_mode, not the matched item's.
    EXPECT_EQ(ctrl().Text1[1].isEnabled(), c.orderEnabled);
}

INSTANTIATE_TEST_SUITE_P(
    Ctrl, LoadState,
    ::testing::Values(StateCase{"main_wife", "本妻", 0, 6, false}, StateCase{"concubine", "妾", 1, 7, true},
                      StateCase{"category", "カテゴリ", 1, relations::OtherStateItem, true},
                      StateCase{"empty_state", "", 0, relations::OtherStateItem, false},
                      StateCase{"divorce_marked_main", "離婚", 0, 2, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CtrlTest, LoadingWritesEveryFieldFromTheRecord)
{
    const int husband = addPerson("山田", "太郎", 0);
    const int wife = addPerson("鈴木", "花子", 1);
    const int m = marry(husband, wife, 1, "死別", 1, "前妻");
    kou(m).sort_lev = -7;
    kou(m).Yoshi_f = 1;
    kou(m).Bunke = 1;
    ctrl().Build_List();
    choose(m);

    EXPECT_EQ(ctrl().Label2[0].caption(), "山田太郎");
    EXPECT_EQ(ctrl().Label2[0].tag(), std::to_string(husband));
    EXPECT_EQ(ctrl().Label2[1].caption(), "鈴木花子");
    EXPECT_EQ(ctrl().Label2[1].tag(), std::to_string(wife));
    EXPECT_EQ(ctrl().Text1[1].text(), "-7");
    EXPECT_TRUE(ctrl().Option1[1].value());
    EXPECT_FALSE(ctrl().Option1[0].value());
    EXPECT_EQ(ctrl().ChkBunke.value(), 1);
    EXPECT_EQ(ctrl().TabStrip1.selectedIndex(), 2);
    EXPECT_TRUE(ctrl().lstvKou.isVisible());
    EXPECT_FALSE(ctrl().List1[0].isVisible());
    // The list selections and the caption follow the marriage.
    EXPECT_EQ(ctrl().lstvKou.selectedItem().tag(), std::to_string(m));
    EXPECT_EQ(ctrl().List1[2].itemData(ctrl().List1[2].listIndex()), m);
    EXPECT_EQ(ctrl().lblEditStat.caption(), "山田 太郎と鈴木 花子の修正");
    EXPECT_EQ(ctrl().lblEditStat.backColor(), relations::EditedRecordColour);
}

TEST_F(CtrlTest, StartMarkIsStoredBackAsZeroAndTheStartMarriageCannotBeUnticked)
{
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1);
    const int second = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0);
    kou(second).dsp_start = -1;

    choose(second);
    EXPECT_EQ(kou(second).dsp_start, 0);
    EXPECT_EQ(ctrl().Check1[0].value(), 0);
    EXPECT_TRUE(ctrl().Check1[0].isEnabled());

    choose(first);
    EXPECT_EQ(ctrl().Check1[0].value(), 1);
    EXPECT_FALSE(ctrl().Check1[0].isEnabled());
}

TEST_F(CtrlTest, ChildrenAreListedInSlotOrderWithTheirDirectLineMarks)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    const int a = addPerson("山田", "一郎", 0);
    const int b = addPerson("山田", "二郎", 0);
    const int c = addPerson("山田", "三子", 1);
    addChild(m, a, 0);
    addChild(m, b, 2);
    addChild(m, c, 5);
    kou(m).kodo_visible[2] = 0;
    kou(m).kodo_visible[5] = -1;
    choose(m);

    ASSERT_EQ(ctrl().List2.listCount(), 3);
    EXPECT_EQ(lines(ctrl().List2), (std::vector<std::string>{"山田一郎", "山田二郎", "山田三子"}));
    EXPECT_EQ(ctrl().List2.itemData(1), b);
    EXPECT_TRUE(ctrl().List2.selected(0));
    EXPECT_FALSE(ctrl().List2.selected(1));
    EXPECT_FALSE(ctrl().List2.selected(2));
    EXPECT_EQ(ctrl().List2.listIndex(), -1);
}

TEST_F(CtrlTest, NewRecordAfterALoadedMarriageEmptiesTheFieldsAndKeepsTheTab)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "死別", 1);
    addChild(m, addPerson("山田", "一郎", 0));
    kou(m).Bunke = 1;
    kou(m).Yoshi_f = 1;
    ctrl().Build_List();
    choose(m);

    model::runState().KouNum = -1;
    ctrl().edit_kou_data(-1);
    for (int side : {0, 1}) {
        EXPECT_EQ(ctrl().Label2[side].caption(), "");
        EXPECT_EQ(ctrl().Label2[side].tag(), "0");
    }
    EXPECT_EQ(ctrl().Combo1.text(), "通常");
    EXPECT_EQ(ctrl().Text1[0].text(), "");
    EXPECT_EQ(ctrl().Text1[1].text(), "");
    EXPECT_EQ(ctrl().Check1[0].value(), 0);
    EXPECT_EQ(ctrl().ChkBunke.value(), 0);
    EXPECT_TRUE(ctrl().Option1[0].value());
    EXPECT_FALSE(ctrl().Option1[1].value());
    EXPECT_EQ(ctrl().List2.listCount(), 0);
    EXPECT_EQ(ctrl().lblEditStat.caption(), relations::NewRecordCaption);
    EXPECT_EQ(ctrl().lblEditStat.backColor(), relations::NewRecordColour);
    EXPECT_EQ(ctrl().TabStrip1.selectedIndex(), 2);
}

TEST_F(CtrlTest, FieldsShowTheArgumentWhileSelectionsAndCaptionFollowKouNum)
{
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "通常", 0, "一");
    const int second = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0, "通常", 0, "二");
    ctrl().Build_List();
    choose(first);

    ctrl().edit_kou_data(second);
    EXPECT_EQ(ctrl().Text1[0].text(), "二");
    EXPECT_EQ(ctrl().Label2[0].caption(), "佐藤一郎");
    EXPECT_EQ(ctrl().lstvKou.selectedItem().tag(), std::to_string(first));
    EXPECT_EQ(ctrl().lblEditStat.caption(), "山田 太郎と山田 花子の修正");
}

TEST_F(CtrlTest, BlankPartnerShowsAsBlankEverywhere)
{
    const int m = marry(addPerson("山田", "太郎", 0), model::BlankPartner);
    ctrl().Build_List();
    choose(m);
    EXPECT_EQ(ctrl().Label2[1].caption(), "空白");
    EXPECT_EQ(ctrl().Label2[1].tag(), "1024");
    EXPECT_EQ(ctrl().lstvKou.listItems().item(1).subItem(2), "空白");
    EXPECT_EQ(ctrl().lstvKou.listItems().item(1).subItem(1), "山田  太郎");
    EXPECT_EQ(ctrl().lblEditStat.caption(), "山田 太郎と空白の修正");
}

TEST_F(CtrlTest, MissingPartnerShowsEmptyLabelsAndUnspecifiedInTheCaption)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    kou(m).kou_haha = -1;
    kou(m).kou_title = "";
    ctrl().Build_List();
    choose(m);
    EXPECT_EQ(ctrl().Label2[1].caption(), "");
    EXPECT_EQ(ctrl().Label2[1].tag(), "");
    EXPECT_EQ(ctrl().lblEditStat.caption(), "山田 太郎と「無指定」の修正");
    // An empty title pads to five full-width characters; the missing wife is left out.
    EXPECT_EQ(ctrl().List1[2].list(0), "●" + std::string(10, ' ') + "山田太郎 ");
}

TEST_F(CtrlTest, ASlotOutsideTheTableLoadsAnEmptyNewRecord)
{
    marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    ctrl().edit_kou_data(5000);
    EXPECT_EQ(ctrl().Label2[0].tag(), "0");
    EXPECT_EQ(ctrl().lblEditStat.caption(), relations::NewRecordCaption);
}

// ---------------------------------------------------------------- person lists

TEST_F(CtrlTest, PersonListsSplitBySexSortedWithThePlaceholderFirst)
{
    const int man = addPerson("山田", "太郎", 0);
    const int woman = addPerson("山田", "花子", 1);
    const int other = addPerson("Abe", "Ken", 0);
    tables().DummyManCnt = 7;
    tables().DummyWomanCnt = 123;
    ctrl().Build_List();

    EXPECT_EQ(lines(ctrl().List1[0]), (std::vector<std::string>{"**** 男07", "Abe Ken", "山田 太郎"}));
    EXPECT_EQ(lines(ctrl().List1[1]), (std::vector<std::string>{"**** 女23", "山田 花子"}));
    EXPECT_EQ(ctrl().List1[0].itemData(0), -1);
    EXPECT_EQ(ctrl().List1[0].itemData(1), other);
    EXPECT_EQ(ctrl().List1[0].itemData(2), man);
    EXPECT_EQ(ctrl().List1[1].itemData(1), woman);
}

TEST_F(CtrlTest, EmptyFamilyListsOnlyThePlaceholders)
{
    tables().DummyManCnt = 0;
    tables().DummyWomanCnt = 0;
    ctrl().Build_List();
    EXPECT_EQ(lines(ctrl().List1[0]), (std::vector<std::string>{"**** 男00"}));
    EXPECT_EQ(lines(ctrl().List1[1]), (std::vector<std::string>{"**** 女00"}));
    EXPECT_EQ(ctrl().List1[2].listCount(), 0);
    EXPECT_EQ(ctrl().lstvKou.listItems().count(), 0);
}

struct CounterCase {
    const char* name;
    const char* givenName;
    int16_t before;
    int16_t after;
};

void PrintTo(const CounterCase& c, std::ostream* out) { *out << c.name; }

class PlaceholderCounter : public CtrlTest, public ::testing::WithParamInterface<CounterCase> {};

TEST_P(PlaceholderCounter, IsRaisedPastListedPlaceholderNamesOnly)
{
    const CounterCase& c = GetParam();
    addPerson("****", c.givenName, 0);
    tables().DummyManCnt = c.before;
    ctrl().Build_List();
    EXPECT_EQ(tables().DummyManCnt, c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Ctrl, PlaceholderCounter,
    ::testing::Values(CounterCase{"listed_twelve", "男12", 3, 13}, CounterCase{"never_lowered", "男12", 40, 40},
                      CounterCase{"three_digits_read", "男1234", 3, 124},
                      CounterCase{"no_number", "男の子", 5, 5},
                      CounterCase{"exponent_too_large", "男9E9", 5, 5},
                      CounterCase{"other_template", "女12", 3, 3}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CtrlTest, RebuildKeepsTheSelectedPositionWhileItExists)
{
    addPerson("山田", "太郎", 0);
    addPerson("山田", "次郎", 0);
    const int woman = addPerson("山田", "花子", 1);
    ctrl().Build_List();
    ctrl().List1[0].setListIndex(2);
    ctrl().List1[1].setListIndex(1);

    model::del_per_buf(woman);
    ctrl().Build_List();
    EXPECT_EQ(ctrl().List1[0].listIndex(), 2);
    EXPECT_EQ(ctrl().List1[1].listIndex(), -1);
}

// ---------------------------------------------------------------- marriage lists

struct TitleCase {
    const char* name;
    const char* title;
    const char* shownTitle;
    size_t blanks;
};

void PrintTo(const TitleCase& c, std::ostream* out) { *out << c.name; }

class MarriageLine : public CtrlTest, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(MarriageLine, PadsOrCutsTheTitleToFiveFullWidthCharacters)
{
    const TitleCase& c = GetParam();
    const int m = marry(addPerson("長谷川", "喜久太郎", 0), addPerson("Abe", "Hanakoko", 1), 0, "通常", 0, c.title);
    kou(m).dsp_start = 0;
    ctrl().Build_list_kou();
    // Names wider than three full-width characters are cut to three characters.
    EXPECT_EQ(ctrl().List1[2].list(0),
              "  " + std::string(c.shownTitle) + std::string(c.blanks, ' ') + "長谷川喜久太 AbeHan");
}

INSTANTIATE_TEST_SUITE_P(Ctrl, MarriageLine,
                         ::testing::Values(TitleCase{"three_full_width", "山田家", "山田家", 4},
                                           TitleCase{"six_full_width", "山田本家分家", "山田本家分", 0},
                                           TitleCase{"five_half_width", "Yamad", "Yamad", 6}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CtrlTest, MarriageListsHoldEveryMarriageInUseInSlotOrder)
{
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "通常", 0, "本家");
    const int freed = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0);
    const int third = marry(addPerson("鈴木", "三郎", 0), model::BlankPartner, 0, "通常", 0, "分家");
    kou(freed).InUse = model::SlotFree;
    ctrl().Build_List();

    ASSERT_EQ(ctrl().List1[2].listCount(), 2);
    EXPECT_EQ(ctrl().List1[2].itemData(0), first);
    EXPECT_EQ(ctrl().List1[2].itemData(1), third);
    EXPECT_EQ(ctrl().List1[2].list(0).rfind("●", 0), 0u);

    forms::ListView& view = ctrl().lstvKou;
    ASSERT_EQ(view.listItems().count(), 2);
    EXPECT_EQ(view.listItems().item(2).text(), "分家");
    EXPECT_EQ(view.listItems().item(2).tag(), std::to_string(third));
    EXPECT_EQ(view.listItems().item(1).subItem(3), "●");
    EXPECT_EQ(view.listItems().item(2).subItem(3), "  ");
    EXPECT_EQ(view.labelEdit(), forms::lvwManual);
    EXPECT_EQ(view.view(), forms::lvwReport);
    ASSERT_EQ(view.columnHeaders().count(), 4);
    EXPECT_EQ(view.columnHeaders().item(2).text(), "氏名(男)");
    const float width = static_cast<float>(view.width());
    EXPECT_FLOAT_EQ(static_cast<float>(view.columnHeaders().item(1).width()), width / 100.0f * 23.0f);
    EXPECT_FLOAT_EQ(static_cast<float>(view.columnHeaders().item(4).width()), width / 100.0f * 14.0f);
}

TEST_F(CtrlTest, InitKouListLeavesTheListViewWithoutColumns)
{
    marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    ctrl().Build_List();
    ctrl().InitKouList();
    EXPECT_EQ(ctrl().lstvKou.columnHeaders().count(), 0);
    EXPECT_EQ(ctrl().lstvKou.listItems().count(), 0);
}

TEST_F(CtrlTest, ClickingAMarriageInTheListViewLoadsIt)
{
    marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "通常", 0, "一");
    const int second = marry(addPerson("佐藤", "一郎", 0), addPerson("佐藤", "良子", 1), 0, "通常", 0, "二");
    ctrl().show();
    ctrl().Build_List();
    ctrl().TabStrip1.tabs().item(2).setSelected(true);
    ctrl().ChildListActive = 1;

    auto* tree = static_cast<QTreeWidget*>(ctrl().lstvKou.widget());
    const QPoint row = tree->visualItemRect(tree->topLevelItem(1)).center();
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, Qt::NoModifier, row);

    EXPECT_EQ(model::runState().KouNum, second);
    EXPECT_EQ(model::runState().Sel_KouMark, 1);
    EXPECT_EQ(ctrl().ChildListActive, 0);
    EXPECT_EQ(ctrl().Text1[0].text(), "二");
    EXPECT_EQ(ctrl().List1[2].itemData(ctrl().List1[2].listIndex()), second);
}

TEST_F(CtrlTest, ClickingAColumnHeaderSortsTheMarriagesByThatColumn)
{
    // By title the first marriage comes first, by the husband's name the second.
    const int first = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1), 1, "通常", 0, "a");
    const int second = marry(addPerson("Abe", "Ken", 0), addPerson("Abe", "Mai", 1), 0, "通常", 0, "b");
    ctrl().show();
    ctrl().Build_List();
    ctrl().showMarriageLists();
    auto* header = static_cast<QTreeWidget*>(ctrl().lstvKou.widget())->header();
    const QPoint husbandColumn(header->sectionViewportPosition(1) + 5, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, husbandColumn);

    EXPECT_TRUE(ctrl().lstvKou.sorted());
    EXPECT_EQ(ctrl().lstvKou.sortKey(), 1);
    EXPECT_EQ(ctrl().lstvKou.listItems().item(1).tag(), std::to_string(second));
    // A rebuild keeps the user's order.
    ctrl().Build_list_kou();
    EXPECT_EQ(ctrl().lstvKou.listItems().item(1).tag(), std::to_string(second));
    EXPECT_EQ(ctrl().lstvKou.listItems().item(2).tag(), std::to_string(first));
}

TEST_F(CtrlTest, ResetKouNumForgetsTheMarriage)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    choose(m);
    ctrl().ResetKouNum();
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(ctrl().Label2[0].tag(), "0");
    EXPECT_EQ(ctrl().lblEditStat.caption(), relations::NewRecordCaption);
}

TEST_F(CtrlTest, DispListActerShowsThePersonLists)
{
    const int m = marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1));
    ctrl().Build_List();
    choose(m);
    ctrl().DispListActer();
    EXPECT_EQ(ctrl().TabStrip1.selectedIndex(), 1);
    EXPECT_TRUE(ctrl().List1[0].isVisible());
    EXPECT_TRUE(ctrl().List1[1].isVisible());
    EXPECT_FALSE(ctrl().lstvKou.isVisible());
}

TEST_F(CtrlTest, SelectPartnerPicksThePersonAndClearsTheOtherList)
{
    addPerson("山田", "太郎", 0);
    const int second = addPerson("佐藤", "一郎", 0);
    addPerson("山田", "花子", 1);
    ctrl().Build_List();
    ctrl().List1[1].setListIndex(1);
    ctrl().List1[0].setListIndex(1);

    ctrl().selectPartner(0, second);
    EXPECT_EQ(ctrl().List1[0].itemData(ctrl().List1[0].listIndex()), second);
    EXPECT_EQ(ctrl().List1[1].listIndex(), -1);

    // Nobody of that number: the list keeps its selection.
    ctrl().selectPartner(0, 999);
    EXPECT_EQ(ctrl().List1[0].itemData(ctrl().List1[0].listIndex()), second);
}

TEST_F(CtrlTest, ShowMarriageListsSelectsTheSecondTab)
{
    ctrl().DispListActer();
    ctrl().showMarriageLists();
    EXPECT_EQ(ctrl().TabStrip1.selectedIndex(), 2);
    EXPECT_TRUE(ctrl().lstvKou.isVisible());
    EXPECT_FALSE(ctrl().List1[0].isVisible());
}

// ---------------------------------------------------------------- window

TEST_F(CtrlTest, LoadingTheWindowStartsWithAnEmptyRecordAndNoUndo)
{
    ctrl().ChildListActive = 1;
    ctrl().unload();
    model::runState().KouNum = 5;
    model::runState().Sel_KouMark = 1;
    ctrl().show();
    EXPECT_EQ(ctrl().caption(), "関係設定画面");
    EXPECT_EQ(model::runState().KouNum, -1);
    EXPECT_EQ(model::runState().Sel_KouMark, 0);
    EXPECT_FALSE(ctrl().scritem[0].isEnabled());
    EXPECT_FALSE(ctrl().Command2[3].isEnabled());
    EXPECT_FALSE(ctrl().Command2[1].isEnabled());
    EXPECT_TRUE(ctrl().scritem[3].isChecked());
    EXPECT_EQ(ctrl().ChildListActive, 0);
}

TEST_F(CtrlTest, BackButtonClosesTheWindowAndClearsItsOpenFlag)
{
    ctrl().show();
    model::runState().Ctrl_Open = 1;
    ctrl().CMDEND[0].click();
    EXPECT_EQ(model::runState().Ctrl_Open, 0);
    EXPECT_FALSE(ctrl().isLoaded());
}

TEST_F(CtrlTest, SmallViewHalvesTheWidthOnceAndLargeViewRestoresIt)
{
    ctrl().show();
    const double full = ctrl().width();
    ctrl().Command2[0].click();
    ctrl().scritem[2].choose();
    EXPECT_DOUBLE_EQ(ctrl().width(), full / 2);
    EXPECT_FALSE(ctrl().Command2[0].isEnabled());
    EXPECT_TRUE(ctrl().Command2[1].isEnabled());
    ctrl().Command2[1].click();
    EXPECT_DOUBLE_EQ(ctrl().width(), full);
}

// The picture buttons show the glyphs of the menu items they run, whole, with
// the English words as their tips and no caption.
TEST_F(CtrlTest, PictureButtonsShowTheMenuGlyphsWithTheEnglishWordsAsTips)
{
    ctrl().show();
    const std::pair<int, const char*> buttons[] = {{0, "small form"}, {1, "large form"}, {3, "UNDO"}, {4, "EXIT"}};
    for (const auto& [index, tip] : buttons) {
        forms::CommandButton& button = ctrl().Command2[index];
        // A disabled button greys its glyph; the glyph is looked at in colour.
        button.setEnabled(true);
        const support::ButtonFace face = support::buttonFace(button);
        EXPECT_EQ(button.caption(), "") << tip;
        EXPECT_EQ(face.text, "") << tip;
        EXPECT_EQ(button.toolTipText(), tip);
        EXPECT_TRUE(face.glyphFits()) << tip << ": " << face.inkPixels << " glyph pixels";
    }
}

} // namespace
} // namespace relations_test
