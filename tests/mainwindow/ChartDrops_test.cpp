// Editing the family by dropping persons onto the chart, and the one-step undo
// of the last drop. The drags come from a stand-in for the relationship
// editor's person list that publishes the dragged person as the editor does;
// the drops travel through the forms layer to the canvas's hit test, so the
// element under the drop point decides which handler runs.

#include "ChartFixture.h"

#include "forms/DragDrop.h"
#include "forms/ListBox.h"
#include "mainwindow/DropState.h"
#include "model/Lookups.h"
#include "model/UndoRecords.h"
#include "model/Utilities.h"
#include "document/Snapshots.h"
#include "model/run_state.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace mainwindow_test {
namespace {

// Publishes a drag as the relationship editor's person lists do: the text as
// data, the person and the list in the drop state, messages held back while
// the drag lasts and shown when it ends.
class DragSourceForm : public forms::Form {
public:
    DragSourceForm() : Form("dragSource")
    {
        List1.onOLEStartDrag = [this](forms::DataObject& data, int& allowed) {
            mainwindow::DropState& st = mainwindow::dropState();
            st.Drop_Done = 0;
            st.Drag_Person = static_cast<int16_t>(person);
            st.Drag_Sex = static_cast<int16_t>(sex);
            model::runState().ListDragActive = 1;
            data.setData(text, forms::vbCFText);
            allowed = forms::vbDropEffectCopy;
        };
        List1.onOLECompleteDrag = [](int&) {
            model::EndDrag();
            model::runState().ListDragActive = 0;
        };
    }

    forms::ListBox List1{*this, "List1"};
    std::string text;
    int person = -1;
    int sex = 0;
};

class ChartDropTest : public ChartTest {
protected:
    void SetUp() override
    {
        ChartTest::SetUp();
        mainwindow::dropState() = mainwindow::DropState();
    }

    void TearDown() override
    {
        forms::cancelDrag();
        ChartTest::TearDown();
    }

    // Starts a drag of an entry: its text, its person (-1 a placeholder), its list.
    void drag(const std::string& text, int person, int sex)
    {
        source.text = text;
        source.person = person;
        source.sex = sex;
        source.List1.oleDrag();
        ASSERT_TRUE(forms::isDragInProgress());
    }

    // Drops on the middle of a person's box, which takes drops as the editor's
    // drag start makes it.
    static void dropOnBox(int person, int shift = 0)
    {
        const int box = boxOf(person);
        ASSERT_GT(box, 0) << "person " << person << " is not on the chart";
        forms::CanvasPicture& picture = window().DPic[box];
        picture.setOleDropMode(forms::vbOLEDropManual);
        forms::dropOn(window().Picture1, picture.left() + picture.width() / 2, picture.top() + picture.height() / 2,
                      shift);
    }

    static void dropOnMark(int kou, int shift = 0)
    {
        const int mark = markOf(kou);
        ASSERT_GT(mark, 0);
        const forms::CanvasLabel& label = window().Label11[mark];
        forms::dropOn(window().Picture1, label.left() + label.width() / 2, label.top() + label.height() / 2, shift);
    }

    static model::marry_data& kou(int slot) { return tables().kou_buf[static_cast<size_t>(slot)]; }
    static model::personal_data& per(int slot) { return tables().per_buf[static_cast<size_t>(slot)]; }

    // The marriage of a husband and a wife in use, -1 none.
    static int marriageOf(int husband, int wife)
    {
        for (int k = 1; k <= model::LastSlot; ++k) {
            if (kou(k).InUse == model::SlotUsed && kou(k).kou_titi == husband && kou(k).kou_haha == wife)
                return k;
        }
        return -1;
    }

    static std::vector<int> startMarriages()
    {
        std::vector<int> starts;
        for (int k = 1; k <= model::LastSlot; ++k) {
            if (kou(k).InUse == model::SlotUsed && kou(k).dsp_start == 1)
                starts.push_back(k);
        }
        return starts;
    }

    // Drags 佐藤 幸子 from the list onto the son's box; returns her and the marriage made.
    std::pair<int, int> marrySonByDrop()
    {
        const int woman = model::set_per_buf(-1, "幸子", "佐藤", 1, "");
        drag("佐藤 幸子", woman, 1);
        dropOnBox(Son);
        return {woman, marriageOf(Son, woman)};
    }

    static bool dropUndoEnabled() { return window().scritem[0].isEnabled(); }

    DragSourceForm source;
};

TEST_F(ChartDropTest, ListedWomanOnASingleManMarriesThem)
{
    const int parents = showFamily();
    const int woman = model::set_per_buf(-1, "幸子", "佐藤", 1, "");
    drag("佐藤 幸子", woman, 1);
    dropOnBox(Son);

    const int r = marriageOf(Son, woman);
    ASSERT_GT(r, 0);
    EXPECT_EQ(kou(r).kou_state, "通常");
    EXPECT_EQ(kou(r).kou_mode, 0);
    EXPECT_EQ(startMarriages(), std::vector<int>{r}) << "the new marriage is the start marriage";
    EXPECT_EQ(kou(parents).dsp_start, 0);
    const mainwindow::DropState& st = mainwindow::dropState();
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::MarriageListed);
    EXPECT_EQ(model::dropUndo().UndoKou, r);
    EXPECT_EQ(st.Drop_Done, -1);
    EXPECT_TRUE(dropUndoEnabled());
    EXPECT_EQ(windows.count("rebuildRelationMarriageList"), 1);
    EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath())) << "the snapshot comes before the change";
    EXPECT_EQ(tables().Data_Changed, 1);
}

TEST_F(ChartDropTest, SameSexIsRefusedWithAMessageAfterTheDrag)
{
    showFamily();
    const int man = model::set_per_buf(-1, "次郎", "鈴木", 0, "");
    tables().Data_Changed = 0;
    answers.answerNext(platform::vbOK);
    drag("鈴木 次郎", man, 0);
    dropOnBox(Son);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "この人の上にはドラッグ出来ません。性別が同一です");
    EXPECT_EQ(answers.shown()[0].title, "ドラッグエラー") << "held back until the drag ended";
    EXPECT_EQ(model::Find_PersonMarry(man), -1);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::None);
    EXPECT_EQ(tables().Data_Changed, 0) << "a refused drop changed nothing";
}

TEST_F(ChartDropTest, WomensPlaceholderOnAManCreatesAndMarriesHer)
{
    showFamily();
    tables().DummyWomanCnt = 3;
    drag("**** 女03", -1, 1);
    dropOnBox(Son);

    const int created = 4;
    ASSERT_EQ(per(created).InUse, model::SlotUsed);
    EXPECT_EQ(per(created).F_name, "**** ");
    EXPECT_EQ(per(created).Name, "女03");
    EXPECT_EQ(per(created).Sex, 1);
    EXPECT_GT(marriageOf(Son, created), 0);
    EXPECT_EQ(tables().DummyWomanCnt, 4);
    EXPECT_EQ(windows.count(RecordingWindows::call("placeholderTaken", {1, created})), 1);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::MarriageNewWoman);
    EXPECT_EQ(model::dropUndo().Drop_UndoPer, created);
}

TEST_F(ChartDropTest, UndoOfAPlaceholderMarriageFreesBothAndGivesTheStartBack)
{
    const int parents = showFamily();
    tables().DummyWomanCnt = 5;
    const int16_t personCount = tables().PerCount;
    drag("**** 女05", -1, 1);
    dropOnBox(Son);
    const int created = 4;
    const int r = marriageOf(Son, created);
    ASSERT_GT(r, 0);

    const int closedBefore = windows.count("closePersonEditor");
    window().scritem_Click(0);

    EXPECT_EQ(kou(r).InUse, model::SlotFree);
    EXPECT_EQ(kou(r).kou_titi, -1);
    EXPECT_EQ(per(created).InUse, model::SlotFree);
    EXPECT_EQ(per(created).Name, "");
    EXPECT_EQ(tables().DummyWomanCnt, 5);
    EXPECT_EQ(tables().PerCount, personCount) << "the person count follows the freed person";
    EXPECT_EQ(windows.count(RecordingWindows::call("placeholderReturned", {1, created})), 1);
    EXPECT_EQ(startMarriages(), std::vector<int>{parents}) << "the start marriage the drop took it from";
    EXPECT_FALSE(dropUndoEnabled());
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::None);
    EXPECT_EQ(windows.count("closePersonEditor"), closedBefore + 1) << "a person went: the person editor closes";
    EXPECT_EQ(windows.count("raiseRelationEditor"), 1);

    // A second undo has nothing left to take back.
    const std::vector<std::string> before = personNames();
    window().scritem_Click(0);
    EXPECT_EQ(personNames(), before);
}

TEST_F(ChartDropTest, MarriedPersonsDropIsKeptForTheEditor)
{
    showFamily();
    drag("山田 太郎", Father, 0);
    dropOnBox(Mother);

    const mainwindow::DropState& st = mainwindow::dropState();
    EXPECT_EQ(st.Drop_PendKind, mainwindow::PendDraggedMarried);
    EXPECT_EQ(st.Drop_PendIndex, boxOf(Mother));
    EXPECT_EQ(st.Drop_PendFName, "山田 太郎") << "the first five characters";
    EXPECT_EQ(st.Drop_PendName, "");
    EXPECT_EQ(st.Drop_PendData.getData(), "山田 太郎");
    EXPECT_EQ(st.Drop_Done, -1);
    EXPECT_FALSE(platform::fileExists(model::undoSnapshotPath())) << "nothing changed yet: the undo is as it was";
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::None);
    EXPECT_TRUE(answers.shown().empty()) << "the question is the editor's";
}

TEST_F(ChartDropTest, ShiftDropMakesAnAdoptedChildWithAnUnknownPartner)
{
    showFamily();
    const int woman = model::set_per_buf(-1, "幸子", "佐藤", 1, "");
    drag("佐藤 幸子", woman, 1);
    dropOnBox(Son, forms::vbShiftMask);

    const int partner = woman + 1;
    ASSERT_EQ(per(partner).InUse, model::SlotUsed);
    EXPECT_EQ(per(partner).F_name, " ");
    EXPECT_EQ(per(partner).Name, "unknown");
    EXPECT_EQ(per(partner).Sex, 1) << "opposite to the man dropped on";
    const int r = marriageOf(Son, partner);
    ASSERT_GT(r, 0);
    EXPECT_EQ(kou(r).kou_state, "unmarried");
    EXPECT_EQ(kou(r).kou_mode, 2);
    const int slot = model::Find_KodoSlot(r, woman);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(kou(r).kou_kodo_stat[static_cast<size_t>(slot)], 2);
    EXPECT_EQ(kou(r).kou_kodo_comment[static_cast<size_t>(slot)], "養子");
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::AdoptedListed);

    window().scritem_Click(0);
    EXPECT_EQ(kou(r).InUse, model::SlotFree);
    EXPECT_EQ(per(partner).InUse, model::SlotFree);
    EXPECT_EQ(per(woman).InUse, model::SlotUsed) << "the dragged person stays";
    EXPECT_EQ(model::Get_ChildKou(woman), -1);
}

TEST_F(ChartDropTest, CoupleMarkTakesAChildAndItsUndoEmptiesTheSlot)
{
    const int parents = showFamily();
    const int girl = model::set_per_buf(-1, "春子", "山田", 1, "");
    drag("山田 春子", girl, 1);
    dropOnMark(parents);

    const int slot = model::Find_KodoSlot(parents, girl);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(kou(parents).kou_kodo_stat[static_cast<size_t>(slot)], 0);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::ChildListed);
    EXPECT_EQ(model::runState().KouNum, parents);
    EXPECT_EQ(windows.count(RecordingWindows::call("editRelationMarriage", {parents})), 1);

    window().scritem_Click(0);
    EXPECT_EQ(kou(parents).kou_kodo[static_cast<size_t>(slot)], -1);
    EXPECT_EQ(per(girl).InUse, model::SlotUsed);
    EXPECT_GE(model::Find_KodoSlot(parents, Son), 0) << "the other child stays";
}

TEST_F(ChartDropTest, UndoOfAPlaceholderChildOnAMarkFreesTheChild)
{
    const int parents = showFamily();
    tables().DummyManCnt = 2;
    drag("**** 男02", -1, 0);
    dropOnMark(parents);
    const int created = 4;
    const int slot = model::Find_KodoSlot(parents, created);
    ASSERT_GE(slot, 0);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::ChildNewMan);

    window().scritem_Click(0);
    EXPECT_EQ(kou(parents).kou_kodo[static_cast<size_t>(slot)], -1);
    EXPECT_EQ(per(created).InUse, model::SlotFree) << "the placeholder child goes with its slot";
    EXPECT_EQ(tables().DummyManCnt, 2);
    EXPECT_EQ(windows.count(RecordingWindows::call("placeholderReturned", {0, created})), 1);
}

TEST_F(ChartDropTest, CoupleMarkOfTwentyChildrenRefusesAndRecordsNothing)
{
    const int parents = showFamily();
    for (int i = 0; i < 19; ++i) {
        const int child = model::set_per_buf(-1, "子" + std::to_string(i), "山田", 0, "");
        model::kodo_data work;
        work.KouIdx = static_cast<int16_t>(parents);
        work.KodoIdx = -1;
        work.kou_kodo = static_cast<int16_t>(child);
        ASSERT_GE(model::Add_Kodo(work), 0);
    }
    drawing::Refresh_TabDisp();
    const int girl = model::set_per_buf(-1, "春子", "山田", 1, "");
    answers.answerNext(platform::vbOK);
    drag("山田 春子", girl, 1);
    dropOnMark(parents);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "子供の人数は20人迄です");
    EXPECT_EQ(model::Find_KodoSlot(parents, girl), -1);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::None);
    EXPECT_FALSE(dropUndoEnabled());
}

TEST_F(ChartDropTest, NewAfterADropOnTheEmptyCanvasOffersTheZoomAndFullScreenAgain)
{
    start();
    const int first = model::set_per_buf(-1, "太郎", "山田", 0, "");
    drag("山田 太郎", first, 0);
    forms::dropOn(window().Picture1, 1500, 1200);
    ASSERT_FALSE(window().Command2[4].isEnabled());
    ASSERT_FALSE(window().Text1.isEnabled());

    model::tables().Data_Changed = 0;
    window().fileitem[0].choose();
    EXPECT_TRUE(window().Command2[4].isEnabled());
    EXPECT_TRUE(window().Text1.isEnabled());
}

TEST_F(ChartDropTest, EmptyCanvasTakesOneFirstPersonUntilItsUndo)
{
    start();
    ASSERT_EQ(window().Picture1.oleDropMode(), forms::vbOLEDropManual);
    const int first = model::set_per_buf(-1, "太郎", "山田", 0, "");
    drag("山田 太郎", first, 0);
    forms::dropOn(window().Picture1, 1500, 1200);

    ASSERT_EQ(window().DPic.count(), 3) << "the design elements and the new box";
    const int box = window().DPic.uBound();
    EXPECT_EQ(drawing::drawState().Label12_Per[static_cast<size_t>(box)], first);
    EXPECT_EQ(window().DPic[box].oleDropMode(), forms::vbOLEDropManual);
    EXPECT_EQ(window().Picture1.oleDropMode(), forms::vbOLEDropNone);
    EXPECT_EQ(drawing::drawState().Chart_MaxX, 1500);
    EXPECT_EQ(drawing::drawState().Chart_MaxY, 1200);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::CanvasListed);

    // A second drop beside the box finds the canvas refusing.
    mainwindow::dropState().Drop_Done = 0;
    drag("山田 太郎", first, 0);
    forms::dropOn(window().Picture1, 300, 300);
    EXPECT_EQ(mainwindow::dropState().Drop_Done, 0);

    window().scritem_Click(0);
    EXPECT_EQ(window().DPic.count(), 2);
    EXPECT_EQ(window().Picture1.oleDropMode(), forms::vbOLEDropManual);
    EXPECT_EQ(per(first).InUse, model::SlotUsed) << "a listed person stays";
}

// The drop takes its own undo snapshot: 戻 takes back the drop alone, and the person
// registered before it stays.
TEST_F(ChartDropTest, EmptyCanvasDropTakesItsOwnUndoSnapshot)
{
    start();
    ASSERT_TRUE(model::Save_Undo()); // the snapshot of the registration of 太郎
    const int first = model::set_per_buf(-1, "太郎", "山田", 0, "");
    drag("山田 太郎", first, 0);
    forms::dropOn(window().Picture1, 1500, 1200);
    ASSERT_EQ(window().DPic.count(), 3);

    window().CmdUndo.click();
    EXPECT_EQ(per(first).InUse, model::SlotUsed);
    EXPECT_EQ(per(first).Name, "太郎");
}

TEST_F(ChartDropTest, PlaceholderRefusedOnTheEmptyCanvasLeavesTheZoomBoxEnabled)
{
    start();
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot)
        per(slot).InUse = model::SlotUsed;
    answers.answerNext(platform::vbOK);
    drag("**** 男01", -1, 0);
    forms::dropOn(window().Picture1, 1500, 1200);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "これ以上個人情報を追加出来ません");
    EXPECT_EQ(window().DPic.count(), 2) << "no box was placed";
    EXPECT_TRUE(window().Text1.isEnabled());
    EXPECT_TRUE(window().Command2[4].isEnabled());
}

// The toolbar's builder button opens the easy relation builder at any time; the
// full-screen button waits only while a dropped box stands alone on the canvas.
TEST_F(ChartDropTest, BuilderAndFullScreenButtonsWorkWheneverTheirCommandsCan)
{
    start();
    MainForm& w = window();
    EXPECT_TRUE(w.Command2[5].isEnabled()) << "at start";
    const int first = model::set_per_buf(-1, "太郎", "山田", 0, "");
    drag("山田 太郎", first, 0);
    forms::dropOn(w.Picture1, 1500, 1200);
    ASSERT_EQ(w.DPic.count(), 3);
    EXPECT_FALSE(w.Command2[4].isEnabled()) << "the dropped box waits alone";

    w.scritem_Click(0);
    EXPECT_TRUE(w.Command2[4].isEnabled()) << "the box went with the undo";
    EXPECT_TRUE(w.Command2[5].isEnabled()) << "after a drop undo";
    windows.calls.clear();
    w.Command2[5].click();
    EXPECT_EQ(windows.count("showEasyRelationBuilder"), 1);

    tables().Data_Changed = 0;
    w.Command2[0].click();
    EXPECT_TRUE(w.Command2[5].isEnabled()) << "after New";
    EXPECT_TRUE(w.Command2[4].isEnabled());
}

TEST_F(ChartDropTest, UndoLeavesAMarriageThatALaterEditPutInTheSameSlot)
{
    showFamily();
    const int r = marrySonByDrop().second;
    ASSERT_GT(r, 0);

    // The relationship editor deletes the marriage and the slot is reused.
    kou(r).InUse = model::SlotFree;
    const int man = model::set_per_buf(-1, "次郎", "鈴木", 0, "");
    const int other = model::set_per_buf(-1, "春子", "鈴木", 1, "");
    ASSERT_EQ(model::set_kou_buf(-1, "通常", 0, 0, man, other, 0, "", 0), r);

    answers.answerNext(platform::vbOK);
    window().scritem_Click(0);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, model::UndoRefusedMessage);
    EXPECT_FALSE(dropUndoEnabled());
    EXPECT_EQ(kou(r).InUse, model::SlotUsed);
    EXPECT_EQ(kou(r).kou_titi, man);
    EXPECT_EQ(kou(r).kou_haha, other);
}

TEST_F(ChartDropTest, UndoKeepsAPlaceholderThatALaterMarriageNames)
{
    showFamily();
    drag("**** 女01", -1, 1);
    dropOnBox(Son);
    const int created = 4;
    const int r = marriageOf(Son, created);
    ASSERT_GT(r, 0);
    // Later the placeholder woman also marries another man.
    const int other = model::set_per_buf(-1, "次郎", "鈴木", 0, "");
    const int later = model::set_kou_buf(-1, "死別", 1, 0, other, created, 0, "", 0);
    ASSERT_GT(later, 0);
    const int16_t personCount = tables().PerCount;

    answers.answerNext(platform::vbOK);
    window().scritem_Click(0);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, model::UndoRefusedMessage);
    EXPECT_EQ(per(created).InUse, model::SlotUsed) << "the later marriage still names her";
    EXPECT_EQ(kou(r).InUse, model::SlotUsed);
    EXPECT_EQ(kou(later).kou_haha, created);
    EXPECT_EQ(tables().PerCount, personCount);
    EXPECT_FALSE(dropUndoEnabled()) << "the refused undo is forgotten";
}

TEST_F(ChartDropTest, UndoGivesTheStartMarkBackToTheMarriageTheDropTookItFrom)
{
    const int parents = showFamily();
    // The father's parents hold the start mark when the drop comes.
    const int grandfather = model::set_per_buf(-1, "一蔵", "山田", 0, "");
    const int grandmother = model::set_per_buf(-1, "松", "山田", 1, "");
    const int grandparents = model::set_kou_buf(-1, "通常", 0, 0, grandfather, grandmother, 1, "", 0);
    model::kodo_data child;
    child.KouIdx = static_cast<int16_t>(grandparents);
    child.kou_kodo = Father;
    ASSERT_GE(model::Add_Kodo(child), 0);
    ASSERT_EQ(startMarriages(), std::vector<int>{grandparents});
    drawing::Refresh_TabDisp();
    const int woman = model::set_per_buf(-1, "幸子", "鈴木", 1, "");
    drag("鈴木 幸子", woman, 1);
    dropOnBox(Son);
    const int r = marriageOf(Son, woman);
    ASSERT_GT(r, 0);
    ASSERT_EQ(startMarriages(), std::vector<int>{r});

    window().scritem_Click(0);
    EXPECT_EQ(kou(r).InUse, model::SlotFree);
    EXPECT_EQ(startMarriages(), std::vector<int>{grandparents}) << "not the son's parents' marriage " << parents;
}

TEST_F(ChartDropTest, NewFamilyForgetsTheLastDrop)
{
    showFamily();
    const auto [woman, r] = marrySonByDrop();
    ASSERT_GT(r, 0);
    ASSERT_TRUE(dropUndoEnabled());

    tables().Data_Changed = 0;
    window().fileitem[0].choose();
    EXPECT_FALSE(dropUndoEnabled());
    // The same couple entered again in the new family is no drop to take back.
    buildFamily();
    ASSERT_EQ(model::set_per_buf(-1, "幸子", "佐藤", 1, ""), woman);
    ASSERT_EQ(model::set_kou_buf(-1, "通常", 0, 0, Son, woman, 1, "", 0), r);
    window().scritem_Click(0);
    EXPECT_EQ(kou(r).InUse, model::SlotUsed);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::None);
}

TEST_F(ChartDropTest, PlaceholderDropOnAFullPersonTableIsRefusedWithAMessage)
{
    showFamily();
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot)
        per(slot).InUse = model::SlotUsed;
    const int16_t counter = tables().DummyWomanCnt;
    answers.answerNext(platform::vbOK);
    drag("**** 女01", -1, 1);
    dropOnBox(Son);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "これ以上個人情報を追加出来ません");
    EXPECT_EQ(model::Find_PersonMarry(Son), -1);
    EXPECT_EQ(tables().DummyWomanCnt, counter);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::None);
    EXPECT_FALSE(dropUndoEnabled());
    EXPECT_EQ(mainwindow::dropState().Drop_Done, 0) << "the drop was refused";
}

// Each kind of drop undo changes the family: after a save, exit asks about it.
enum class DropKind { Canvas, Marriage, Child, Adopted };

class DropUndoThenExitTest : public ChartDropTest, public ::testing::WithParamInterface<DropKind> {
};

TEST_P(DropUndoThenExitTest, ExitAsksToSave)
{
    switch (GetParam()) {
    case DropKind::Canvas:
        start();
        drag("**** 男01", -1, 0);
        forms::dropOn(window().Picture1, 1500, 1200);
        break;
    case DropKind::Marriage:
        showFamily();
        drag("**** 女01", -1, 1);
        dropOnBox(Son);
        break;
    case DropKind::Child: {
        const int parents = showFamily();
        drag("**** 男01", -1, 0);
        dropOnMark(parents);
        break;
    }
    case DropKind::Adopted: {
        showFamily();
        const int girl = model::set_per_buf(-1, "春子", "佐藤", 1, "");
        drag("佐藤 春子", girl, 1);
        dropOnBox(Son, forms::vbShiftMask);
        break;
    }
    }
    ASSERT_TRUE(dropUndoEnabled());
    tables().Data_Changed = 0;   // as a save leaves it
    window().scritem_Click(0);
    ASSERT_FALSE(dropUndoEnabled());

    answers.answerNext(platform::vbCancel);
    window().fileitem[16].choose();
    ASSERT_FALSE(answers.shown().empty()) << "exit ended without a question";
    EXPECT_EQ(answers.shown()[0].text, "データが変更されています。終了しますか?");
    EXPECT_TRUE(window().isLoaded());
}

std::string dropKindName(const ::testing::TestParamInfo<DropKind>& info)
{
    switch (info.param) {
    case DropKind::Canvas:
        return "Canvas";
    case DropKind::Marriage:
        return "Marriage";
    case DropKind::Child:
        return "Child";
    case DropKind::Adopted:
        break;
    }
    return "Adopted";
}

INSTANTIATE_TEST_SUITE_P(Kinds, DropUndoThenExitTest,
                         ::testing::Values(DropKind::Canvas, DropKind::Marriage, DropKind::Child, DropKind::Adopted),
                         dropKindName);

TEST_F(ChartDropTest, CategoryBoxTakesAChildThroughItsOwnMarriage)
{
    showFamily();
    const int category = model::set_per_buf(-1, "趣味", "カテゴリ", 0, "");
    per(category).CategoryF = 1;
    // The son's box stands for the category box: a lone box of the category person.
    const int box = boxOf(Son);
    ASSERT_GT(box, 0);
    drawing::DrawState& d = drawing::drawState();
    d.Label12_Per[static_cast<size_t>(box)] = static_cast<int16_t>(category);
    d.Label12_Kou[static_cast<size_t>(box)] = -1;
    const int member = model::set_per_buf(-1, "幸子", "佐藤", 1, "");

    drag("佐藤 幸子", member, 1);
    const forms::CanvasPicture& picture = window().DPic[box];
    window().DPic[box].setOleDropMode(forms::vbOLEDropManual);
    forms::dropOn(window().Picture1, picture.left() + 30, picture.top() + 30);

    const int k = marriageOf(category, model::BlankPartner);
    ASSERT_GT(k, 0) << "the category's marriage with the blank partner";
    EXPECT_EQ(kou(k).kou_title, "カテゴリ 趣味");
    EXPECT_GE(model::Find_KodoSlot(k, member), 0);
    EXPECT_EQ(model::dropUndo().Drop_UndoKind, model::DropUndo::None) << "no undo record";

    // The same box again: the pair exists, so the drop waits for the copy question.
    const int second = model::set_per_buf(-1, "春子", "鈴木", 1, "");
    drag("鈴木 春子", second, 1);
    const int again = boxOf(category) > 0 ? boxOf(category) : box;
    d.Label12_Per[static_cast<size_t>(again)] = static_cast<int16_t>(category);
    d.Label12_Kou[static_cast<size_t>(again)] = -1;
    const forms::CanvasPicture& target = window().DPic[again];
    window().DPic[again].setOleDropMode(forms::vbOLEDropManual);
    forms::dropOn(window().Picture1, target.left() + 30, target.top() + 30);
    EXPECT_EQ(mainwindow::dropState().Drop_PendKind, mainwindow::PendBoxMarried);
    EXPECT_EQ(model::Find_KodoSlot(k, second), -1);
}

TEST_F(ChartDropTest, RightButtonOnABoxRenamesThroughTheQuickNameInput)
{
    showFamily();
    const int box = boxOf(Son);
    ASSERT_GT(box, 0);
    windows.quickNameConfirms = true;
    windows.quickNameAnswer.familyName = "田中";
    windows.quickNameAnswer.givenName = "一男";
    windows.quickNameAnswer.options[3] = 1;
    window().DPic.onMouseDown(box, forms::vbRightButton, 0, 10, 10);

    EXPECT_EQ(windows.count("showQuickNameInput 山田 一郎"), 1);
    EXPECT_EQ(per(Son).F_name, "田中");
    EXPECT_EQ(per(Son).Name, "一男");
    EXPECT_EQ(per(Son).CsvOutFlag, 1);
    EXPECT_EQ(windows.count("rebuildRelationLists"), 1);

    // Cancelled, and the left button: nothing changes.
    windows.quickNameConfirms = false;
    window().DPic.onMouseDown(box, forms::vbRightButton, 0, 10, 10);
    window().DPic.onMouseDown(box, forms::vbLeftButton, 0, 10, 10);
    EXPECT_EQ(per(Son).F_name, "田中");
    EXPECT_EQ(windows.count("showQuickNameInput 田中 一男"), 1);
}

} // namespace
} // namespace mainwindow_test
