// The easy relation builder: base person and marriage, the person and relation
// choices, each relation it registers, its refusals, and the person it frees
// again after a refusal.

#include "WindowsFixture.h"

#include "model/run_state.h"
#include "relations/CtrlForm.h"
#include "relations/EasyCtlForm.h"

#include "model/Lookups.h"
#include "document/Snapshots.h"

#include "platform/Conversions.h"
#include "forms/Testing.h"
#include "platform/Hooks.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace relations_windows_test {
namespace {

namespace Person = relations::EasyPerson;
namespace Relation = relations::EasyRelation;

class EasyCtl : public WindowsTest {
protected:
    void SetUp() override
    {
        WindowsTest::SetUp();
        builder().show();
    }

    static EasyCtlForm& builder() { return easyctl_form(); }

    // The user's choices: the person kind, a listed person, the relation.
    static void choose(int kind) { builder().Option1[kind].setValue(true); }
    static void chooseListed(int slot)
    {
        builder().Easy_Build_List();
        for (int i = 0; i < builder().Combo1.listCount(); ++i) {
            if (builder().Combo1.itemData(i) == slot) {
                builder().Combo1.setListIndex(i);
                return;
            }
        }
        ADD_FAILURE() << "person " << slot << " is not listed";
    }
    static void relation(int index) { click(builder().Label1[index]); }
    static void registerIt() { click(builder().Command1); }

    const std::string placeholderMan = "****";
};

// Takes the program's real undo snapshot whenever a window asks for one.
class RealSnapshotServices : public RecordingServices {
public:
    void saveUndo() override
    {
        RecordingServices::saveUndo();
        ASSERT_TRUE(model::Save_Undo());
    }
};

TEST_F(EasyCtl, WindowShowsItsCaptionAndNoBasePerson)
{
    EXPECT_EQ(builder().caption(), "関係追加画面");
    EXPECT_EQ(builder().Label3.caption(), "未設定");
    EXPECT_EQ(builder().MotoNin, -1);
    EXPECT_EQ(builder().RelMode, -1);
}

TEST_F(EasyCtl, LoadTakesTheChartSelectionAsBase)
{
    const int husband = addPerson("山田", "太郎", 0);
    const int wife = addPerson("山田", "花子", 1);
    const int marriage = marry(husband, wife);
    builder().unload();
    model::runState().Sel_Person = static_cast<int16_t>(wife);
    model::runState().KouNum = static_cast<int16_t>(marriage);
    builder().show();
    // The marriage comes after the person and names its husband as base.
    EXPECT_EQ(builder().MotoKou, marriage);
    EXPECT_EQ(builder().MotoNin, husband);
    EXPECT_EQ(builder().Label3.caption(), "山田 太郎");
}

TEST_F(EasyCtl, NewManWithoutBaseOrRelationStartsANewFamily)
{
    for (int relationIndex : {-1, static_cast<int>(Relation::Marriage)}) {
        SCOPED_TRACE(relationIndex);
        model::InitAllSetting();
        builder().InitGamen();
        const int16_t counter = tables().DummyManCnt;
        choose(Person::NewMan);
        if (relationIndex != -1)
            relation(relationIndex);
        registerIt();

        ASSERT_EQ(usedPersons(), 1);
        const int man = 1;
        EXPECT_EQ(per(man).F_name, placeholderMan);
        EXPECT_EQ(per(man).Name, "男" + platform::Right("0" + std::to_string(counter), 2));
        EXPECT_EQ(per(man).Sex, 0);
        const std::vector<int> family = marriagesOf(man, model::BlankPartner);
        ASSERT_EQ(family.size(), 1u);
        EXPECT_EQ(kou(family[0]).kou_title, "****家");
        EXPECT_EQ(kou(family[0]).kou_state, "通常");
        EXPECT_EQ(kou(family[0]).kou_mode, 0);
        EXPECT_TRUE(answers.shown().empty());
        // Registered: the family changed, the chart follows and the window is reset.
        EXPECT_EQ(tables().Data_Changed, 1);
        EXPECT_FALSE(builder().Option1[Person::NewMan].value());
        EXPECT_EQ(builder().AddNin, -1);
    }
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 2);
    EXPECT_GE(countOf(services.calls, "closeChronology"), 2);
    EXPECT_EQ(countOf(requests.calls, "raiseMainWindow"), 2);
}

TEST_F(EasyCtl, MainWindowUndoTakesTheNewPlaceholderBackWithTheRelation)
{
    RealSnapshotServices snapshots;
    model::setWindowServices(&snapshots);
    const int husband = addPerson("山田", "太郎", 0);
    const int wife = addPerson("山田", "花子", 1);
    const int marriage = marry(husband, wife);
    builder().unload();
    model::runState().Sel_Person = static_cast<int16_t>(husband);
    model::runState().KouNum = static_cast<int16_t>(marriage);
    builder().show();
    choose(Person::NewMan);
    relation(Relation::Child);
    registerIt();
    ASSERT_EQ(usedPersons(), 3);
    ASSERT_EQ(countOf(snapshots.calls, "saveUndo"), 1) << "one snapshot for the whole operation";

    model::Restore_Undo();
    EXPECT_EQ(usedPersons(), 2) << "no placeholder person is left behind";
    EXPECT_EQ(childrenOf(marriage), std::vector<int>{});
    model::setWindowServices(&services);
}

TEST_F(EasyCtl, NewWomanStartsAFamilyOnTheWifeSideWithTheTypedNames)
{
    builder().Text1.setText("佐藤");
    builder().Text2.setText("良子");
    choose(Person::NewWoman);
    registerIt();

    ASSERT_EQ(usedPersons(), 1);
    EXPECT_EQ(per(1).F_name, "佐藤");
    EXPECT_EQ(per(1).Name, "良子");
    EXPECT_EQ(per(1).Sex, 1);
    const std::vector<int> family = marriagesOf(model::BlankPartner, 1);
    ASSERT_EQ(family.size(), 1u);
    EXPECT_EQ(kou(family[0]).kou_title, "佐藤家");
    EXPECT_EQ(kou(family[0]).Yoshi_f, 1);
}

TEST_F(EasyCtl, MissingInputsAreListedAndNothingChanges)
{
    const int before = usedPersons();
    relation(Relation::Child);
    answers.answerNext(platform::vbOK);
    registerIt();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text,
              "関係を追加したい元の人を、家系図上で指定して下さい\r\n"
              "追加したい人を、「新規男」「新規女」「空白」「リストから」で指定して下さい\r\n");
    EXPECT_EQ(answers.shown()[0].title, "関係追加エラー");
    EXPECT_EQ(answers.shown()[0].style, 48);
    EXPECT_EQ(usedPersons(), before);
    EXPECT_EQ(usedMarriages(), 0);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
}

TEST_F(EasyCtl, SecondClickOnTheChosenRelationUnselectsIt)
{
    builder().SetMotoNin(addPerson("山田", "太郎", 0));
    relation(Relation::Child);
    EXPECT_EQ(builder().RelMode, Relation::Child);
    EXPECT_EQ(builder().Label1[Relation::Child].backColor(), 0x8080FF);
    relation(Relation::Parent);
    EXPECT_EQ(builder().RelMode, Relation::Parent);
    EXPECT_EQ(builder().Label1[Relation::Child].backColor(), 0xFFFFFF);
    relation(Relation::Parent);
    EXPECT_EQ(builder().RelMode, -1);
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(builder().Label1[i].backColor(), 0xFFFFFF) << i;

    choose(Person::NewMan);
    answers.answerNext(platform::vbOK);
    registerIt();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "追加したい関係を選択して下さい\r\n");
}

TEST_F(EasyCtl, PickingAListedPersonChecksFromList)
{
    const int listed = addPerson("山田", "花子", 1);
    addPerson("山田", "太郎", 0);
    builder().Easy_Build_List();
    ASSERT_EQ(builder().Combo1.listCount(), 2);
    EXPECT_EQ(builder().Combo1.list(0), "女:山田 花子");
    EXPECT_EQ(builder().Combo1.list(1), "男:山田 太郎");
    chooseListed(listed);
    EXPECT_TRUE(builder().Option1[Person::FromList].value());
    builder().CheckOption1();
    EXPECT_EQ(builder().AddNin, listed);
    EXPECT_EQ(builder().AddSex, 1);
}

TEST_F(EasyCtl, BasePersonDeletedSinceCountsAsNoBase)
{
    const int base = addPerson("山田", "太郎", 0);
    builder().SetMotoNin(base);
    model::del_per_buf(base);
    choose(Person::NewWoman);
    relation(Relation::Child);
    answers.answerNext(platform::vbOK);
    registerIt();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "関係を追加したい元の人を、家系図上で指定して下さい\r\n");
    EXPECT_EQ(builder().Label3.caption(), "未設定");
    EXPECT_EQ(usedMarriages(), 0);
    EXPECT_EQ(usedPersons(), 0);
}

TEST_F(EasyCtl, ListedPersonDeletedSinceCountsAsNotChosen)
{
    const int listed = addPerson("山田", "花子", 1);
    chooseListed(listed);
    model::del_per_buf(listed);
    builder().CheckOption1();
    EXPECT_EQ(builder().AddNin, -1);
}

TEST_F(EasyCtl, BaseMarriageNamesItsBasePerson)
{
    const int man = addPerson("山田", "太郎", 0);
    const int woman = addPerson("山田", "花子", 1);
    struct Row {
        int husband, wife, base;
    };
    for (const Row& row : {Row{man, woman, man}, Row{model::BlankPartner, woman, woman},
                           Row{man, model::BlankPartner, man}}) {
        for (int k = 1; k <= model::LastSlot; ++k)
            kou(k).InUse = model::SlotFree;
        builder().InitGamen();
        const int marriage = marry(row.husband, row.wife);
        builder().SetMotoKou(marriage);
        EXPECT_EQ(builder().MotoKou, marriage);
        EXPECT_EQ(builder().MotoNin, row.base);
        EXPECT_EQ(builder().Label3.caption(), per(row.base).F_name + " " + per(row.base).Name);
    }
    // No marriage, a freed one or a number outside the table leaves the base alone.
    const int kept = builder().MotoKou;
    kou(kept).InUse = model::SlotFree;
    for (int marriage : {-1, kept, 0, 5000})
        builder().SetMotoKou(marriage);
    EXPECT_EQ(builder().MotoKou, kept);
    for (int person : {-1, 0, 5000, model::BlankPartner})
        builder().SetMotoNin(person);
    EXPECT_EQ(builder().MotoNin, man);
}

TEST_F(EasyCtl, ChildGoesIntoTheFirstGapOfTheBaseMarriage)
{
    const int father = addPerson("山田", "太郎", 0);
    const int marriage = marry(father, addPerson("山田", "花子", 1));
    const int first = addPerson("山田", "一郎", 0);
    const int third = addPerson("山田", "三郎", 0);
    addChild(marriage, first, 0);
    addChild(marriage, third, 2);
    builder().SetMotoNin(father);
    choose(Person::NewWoman);
    relation(Relation::Child);
    registerIt();

    EXPECT_TRUE(answers.shown().empty());
    const int added = kou(marriage).kou_kodo[1];
    ASSERT_NE(added, -1);
    EXPECT_EQ(per(added).F_name, placeholderMan);
    EXPECT_EQ(per(added).Sex, 1);
    EXPECT_EQ(kou(marriage).kou_kodo_stat[1], 0);
    EXPECT_EQ(kou(marriage).kodo_visible[1], 1);
    EXPECT_EQ(childrenOf(marriage), (std::vector<int>{first, added, third}));
    EXPECT_EQ(usedMarriages(), 1);
}

TEST_F(EasyCtl, AdoptedChildIsMarkedAdoptedAndCarriesTheLine)
{
    const int father = addPerson("山田", "太郎", 0);
    const int marriage = marry(father, addPerson("山田", "花子", 1));
    // The adopted son is registered with his birth parents too, carrying the line there.
    const int son = addPerson("佐藤", "一郎", 0);
    const int birth = marry(addPerson("佐藤", "次郎", 0), addPerson("佐藤", "良子", 1), 0);
    addChild(birth, son);
    kou(birth).kodo_honsuji[0] = 1;
    addChild(marriage, addPerson("山田", "一子", 1), 0);
    builder().SetMotoNin(father);
    chooseListed(son);
    relation(Relation::Adopted);
    registerIt();

    EXPECT_TRUE(answers.shown().empty());
    const int slot = model::Find_KodoSlot(marriage, son);
    ASSERT_EQ(slot, 1);
    EXPECT_EQ(kou(marriage).kou_kodo_stat[1], 2);
    EXPECT_EQ(kou(marriage).kodo_honsuji[1], 1);
    EXPECT_EQ(kou(birth).kodo_honsuji[0], -1);
}

TEST_F(EasyCtl, ChildOfAPersonWithoutMarriageStartsTheirFamily)
{
    const int mother = addPerson("山田", "花子", 1);
    builder().SetMotoNin(mother);
    choose(Person::NewMan);
    relation(Relation::Child);
    registerIt();

    const std::vector<int> family = marriagesOf(model::BlankPartner, mother);
    ASSERT_EQ(family.size(), 1u);
    ASSERT_EQ(childrenOf(family[0]).size(), 1u);
    EXPECT_EQ(per(childrenOf(family[0])[0]).F_name, placeholderMan);
    EXPECT_EQ(kou(family[0]).kou_title, "山田家");
}

TEST_F(EasyCtl, BaseMarriageDeletedSinceGivesWayToThePersonsOwnMarriage)
{
    const int father = addPerson("山田", "太郎", 0);
    const int first = marry(father, addPerson("山田", "花子", 1));
    const int second = marry(father, addPerson("佐藤", "良子", 1), 0, "死別", 1);
    builder().SetMotoKou(second);
    kou(second).InUse = model::SlotFree;
    choose(Person::NewMan);
    relation(Relation::Child);
    registerIt();

    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(childrenOf(first).size(), 1u);
}

TEST_F(EasyCtl, ParentIsRefusedForAChildAndThePlaceholderIsFreed)
{
    const int child = addPerson("山田", "一郎", 0);
    addChild(marry(addPerson("山田", "太郎", 0), addPerson("山田", "花子", 1)), child);
    const int persons = usedPersons();
    const int marriages = usedMarriages();
    const int16_t counter = tables().DummyManCnt;
    const int16_t count = tables().PerCount;
    builder().SetMotoNin(child);
    choose(Person::NewMan);
    relation(Relation::Parent);
    answers.answerNext(platform::vbOK);
    registerIt();

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "既に先祖がいます");
    EXPECT_EQ(answers.shown()[0].title, "関係設定エラー");
    EXPECT_EQ(answers.shown()[0].style, 48);
    EXPECT_EQ(usedPersons(), persons);
    EXPECT_EQ(usedMarriages(), marriages);
    EXPECT_EQ(tables().DummyManCnt, counter);
    EXPECT_EQ(tables().PerCount, count);
    // The inputs stay for another try.
    EXPECT_TRUE(builder().Option1[Person::NewMan].value());
    EXPECT_EQ(builder().RelMode, Relation::Parent);

    // The next placeholder gets the same number.
    builder().InitGamen();
    choose(Person::NewMan);
    registerIt();
    EXPECT_EQ(tables().DummyManCnt, counter + 1);
}

TEST_F(EasyCtl, ParentGivesTheBasePersonANewParentFamily)
{
    const int son = addPerson("山田", "一郎", 0);
    builder().SetMotoNin(son);
    choose(Person::NewWoman);
    relation(Relation::Parent);
    registerIt();

    EXPECT_TRUE(answers.shown().empty());
    ASSERT_EQ(usedMarriages(), 1);
    const int family = marriagesOf(model::BlankPartner, son + 1).at(0);
    EXPECT_EQ(childrenOf(family), std::vector<int>{son});
    EXPECT_EQ(kou(family).Yoshi_f, 1);
}

TEST_F(EasyCtl, BlankParentIsRefusedAsTwoBlankPartners)
{
    builder().SetMotoNin(addPerson("山田", "一郎", 0));
    choose(Person::Blank);
    relation(Relation::Parent);
    answers.answerNext(platform::vbOK);
    registerIt();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "男女共に空白の設定は出来ません");
    EXPECT_EQ(usedMarriages(), 0);
}

TEST_F(EasyCtl, BlankIsRefusedAsChildOrAdoptedChild)
{
    builder().SetMotoNin(addPerson("山田", "一郎", 0));
    for (int relationIndex : {Relation::Child, Relation::Adopted}) {
        choose(Person::Blank);
        relation(relationIndex);
        answers.answerNext(platform::vbOK);
        registerIt();
        builder().Clear_Mode();
        builder().RelMode = -1;
    }
    ASSERT_EQ(answers.shown().size(), 2u);
    for (const auto& shown : answers.shown())
        EXPECT_EQ(shown.text, "空白は子供、養子には使用出来ません");
    EXPECT_EQ(usedMarriages(), 0);
}

TEST_F(EasyCtl, MarriageFillsTheBlankSideOfTheHusbandsFamily)
{
    const int husband = addPerson("山田", "太郎", 0);
    const int family = marry(husband, model::BlankPartner);
    const int child = addPerson("山田", "一郎", 0);
    addChild(family, child);
    const int wife = addPerson("佐藤", "花子", 1);
    builder().SetMotoNin(husband);
    chooseListed(wife);
    relation(Relation::Marriage);
    registerIt();

    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(usedMarriages(), 1);
    EXPECT_EQ(kou(family).kou_haha, wife);
    EXPECT_EQ(kou(family).kou_title, "山田家");
    EXPECT_EQ(childrenOf(family), std::vector<int>{child});
}

TEST_F(EasyCtl, MarriageIsRefusedWhileEitherHasANormalMarriage)
{
    const int husband = addPerson("山田", "太郎", 0);
    marry(husband, addPerson("山田", "花子", 1));
    const int other = addPerson("佐藤", "良子", 1);
    for (int base : {husband, other}) {
        builder().InitGamen();
        builder().SetMotoNin(base);
        chooseListed(base == husband ? other : husband);
        relation(Relation::Marriage);
        answers.answerNext(platform::vbOK);
        registerIt();
    }
    ASSERT_EQ(answers.shown().size(), 2u);
    for (const auto& shown : answers.shown()) {
        EXPECT_EQ(shown.text, "どちらかが通常の結婚をしています");
        EXPECT_EQ(shown.title, "関係設定エラー");
    }
    EXPECT_EQ(usedMarriages(), 1);
}

TEST_F(EasyCtl, PastRelationIsStoredBesideANormalMarriage)
{
    const int husband = addPerson("山田", "太郎", 0);
    const int normal = marry(husband, addPerson("山田", "花子", 1));
    for (int relationIndex : {Relation::Bereaved, Relation::Divorced}) {
        builder().SetMotoNin(husband);
        choose(Person::NewWoman);
        relation(relationIndex);
        registerIt();
    }
    EXPECT_TRUE(answers.shown().empty());
    ASSERT_EQ(usedMarriages(), 3);
    EXPECT_EQ(kou(normal).kou_mode, 0);
    std::vector<std::string> states;
    for (int k = 1; k <= model::LastSlot; ++k) {
        if (k != normal && kou(k).InUse == model::SlotUsed) {
            EXPECT_EQ(kou(k).kou_mode, 1);
            EXPECT_EQ(kou(k).kou_titi, husband);
            states.push_back(kou(k).kou_state);
        }
    }
    EXPECT_EQ(states, (std::vector<std::string>{"死別", "離婚"}));
}

TEST_F(EasyCtl, PastRelationTurnsABlankFamilyIntoThatRelation)
{
    const int wife = addPerson("山田", "花子", 1);
    const int family = marry(model::BlankPartner, wife);
    builder().SetMotoNin(wife);
    choose(Person::NewMan);
    relation(Relation::Divorced);
    registerIt();
    EXPECT_EQ(usedMarriages(), 1);
    EXPECT_EQ(kou(family).kou_state, "離婚");
    EXPECT_EQ(kou(family).kou_mode, 1);
    EXPECT_EQ(per(kou(family).kou_titi).F_name, placeholderMan);
}

TEST_F(EasyCtl, RefusedChildFreesThePlaceholderButKeepsTheRegistration)
{
    const int father = addPerson("山田", "太郎", 0);
    const int marriage = marry(father, addPerson("山田", "花子", 1));
    for (int i = 0; i < model::MaxChildren; ++i)
        addChild(marriage, addPerson("山田", "子" + std::to_string(i), 0));
    const int persons = usedPersons();
    const int16_t counter = tables().DummyWomanCnt;
    builder().SetMotoNin(father);
    choose(Person::NewWoman);
    relation(Relation::Child);
    answers.answerNext(platform::vbOK);
    registerIt();

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "子供の人数は20人迄です");
    EXPECT_EQ(usedPersons(), persons);
    EXPECT_EQ(tables().DummyWomanCnt, counter);
    EXPECT_EQ(childrenOf(marriage).size(), 20u);
}

TEST_F(EasyCtl, KeepChecksKeepTheBasePersonAndTheFamilyName)
{
    const int father = addPerson("山田", "太郎", 0);
    builder().Check1.setValue(forms::vbChecked);
    builder().Check2.setValue(forms::vbChecked);
    builder().SetMotoNin(father);
    builder().Text1.setText("山田");
    builder().Text2.setText("一郎");
    choose(Person::NewMan);
    relation(Relation::Child);
    registerIt();

    EXPECT_EQ(builder().MotoNin, father);
    EXPECT_EQ(builder().Label3.caption(), "山田 太郎");
    EXPECT_EQ(builder().Text1.text(), "山田");
    EXPECT_EQ(builder().Text2.text(), "");

    builder().Check1.setValue(forms::vbUnchecked);
    builder().Check2.setValue(forms::vbUnchecked);
    click(builder().Command3);
    EXPECT_EQ(builder().MotoNin, -1);
    EXPECT_EQ(builder().Label3.caption(), "未設定");
    EXPECT_EQ(builder().Text1.text(), "");
}

TEST_F(EasyCtl, NameTheFamilyFileCannotHoldIsRefusedBeforeAnythingIsCreated)
{
    const int16_t counter = tables().DummyManCnt;
    builder().Text2.setText("\xF0\xA0\xAE\xB7");  // U+20BB7, outside cp932
    choose(Person::NewMan);
    answers.answerNext(platform::vbOK);
    registerIt();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "ファイルに保存できない文字が含まれています：\xF0\xA0\xAE\xB7");
    EXPECT_EQ(answers.shown()[0].title, "関係追加エラー");
    EXPECT_EQ(usedPersons(), 0);
    EXPECT_EQ(usedMarriages(), 0);
    EXPECT_EQ(tables().DummyManCnt, counter);
    EXPECT_EQ(countOf(services.calls, "saveUndo"), 0);
}

TEST_F(EasyCtl, FullPersonTableIsReportedAndNothingChanges)
{
    for (int i = 1; i <= model::LastPersonSlot; ++i)
        per(i).InUse = model::SlotUsed;
    const int16_t counter = tables().DummyManCnt;
    choose(Person::NewMan);
    answers.answerNext(platform::vbOK);
    registerIt();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "これ以上個人情報を登録出来ません");
    EXPECT_EQ(tables().DummyManCnt, counter);
    EXPECT_EQ(usedMarriages(), 0);
}

TEST_F(EasyCtl, OpenRelationshipEditorRebuildsItsPersonLists)
{
    ctrl_form().load();
    choose(Person::NewMan);
    registerIt();
    const forms::ListBox& men = ctrl_form().List1[0];
    ASSERT_EQ(men.listCount(), 2);
    EXPECT_TRUE(men.itemData(0) == 1 || men.itemData(1) == 1);
    ctrl_form().unload();
}

TEST_F(EasyCtl, TypedNamesAreAskedAboutBeforeTheWindowCloses)
{
    builder().Text1.setText("佐藤");
    builder().Text2.setText("良子");
    for (const auto& [way, close] : std::vector<std::pair<std::string, std::function<void()>>>{
             {"戻る", [] { click(builder().Command2); }},
             {"close box", [] { forms::formWidget(builder())->close(); }}}) {
        answers.answerNext(platform::vbCancel);
        close();
        ASSERT_EQ(answers.shownTexts(), (std::vector<std::string>{"入力内容が登録されていません。登録しますか？"})) << way;
        answers.clearRecords();
        ASSERT_TRUE(builder().isLoaded()) << way;
        EXPECT_EQ(builder().Text2.text(), "良子") << way;
    }

    // はい registers through 登録: without the person kind its checks refuse, and the
    // window stays with the names.
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    click(builder().Command2);
    ASSERT_EQ(answers.shownTexts().size(), 2u);
    answers.clearRecords();
    EXPECT_TRUE(builder().isLoaded());
    EXPECT_EQ(builder().Text2.text(), "良子");

    choose(Person::NewWoman);
    answers.answerNext(platform::vbYes);
    click(builder().Command2);
    EXPECT_EQ(answers.shownTexts().size(), 1u);
    answers.clearRecords();
    EXPECT_FALSE(builder().isLoaded());
    ASSERT_EQ(usedPersons(), 1);
    EXPECT_EQ(per(1).Name, "良子");

    // Nothing typed: the window closes without a question.
    builder().show();
    click(builder().Command2);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_FALSE(builder().isLoaded());
}

} // namespace
} // namespace relations_windows_test
