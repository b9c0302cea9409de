// Grid editing: the cell editor Text2 over text cells, the list editor of the
// sex and flag cells, what an edit stores in per_buf, the keys and clicks that
// move and discard, and the sort popup of the header.

#include "EntryFixture.h"

#include "forms/Keys.h"
#include "forms/Menu.h"
#include "model/SavableText.h"
#include "model/era/Nengo.h"
#include "model/run_state.h"
#include "platform/Conversions.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QInputMethodEvent>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <QWidget>

#include <ostream>
#include <string>
#include <vector>

namespace entry_test {
namespace {

class GridTest : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        answers.setNow(platform::DateSerial(2024, 6, 1));
    }

    void TearDown() override
    {
        forms::setPopupResponder({});
        EntryTest::TearDown();
    }

    // Opens the editor in its table view.
    void openTable()
    {
        open();
        form().scritem_Click(1);
        t().Data_Changed = 0;
    }

    void select(int row, int col)
    {
        form().tb.setRow(row);
        form().tb.setCol(col);
    }

    QWidget* grid() { return form().tb.widget(); }
    QTableWidget* table() { return qobject_cast<QTableWidget*>(grid()); }

    // Opens the cell editor with F2 on a cell, types text and leaves the editor.
    void editCell(int row, int col, const std::string& text)
    {
        select(row, col);
        QTest::keyClick(grid(), Qt::Key_F2);
        ASSERT_TRUE(form().Text2.isVisible()) << "the cell editor opens on column " << col;
        form().Text2.setText(text);
        form().tb.setFocus();
    }

    int rowOf(int slot) { return form().getrow(slot); }

    QPoint cellCentre(int row, int col)
    {
        return table()->visualRect(table()->model()->index(row, col)).center();
    }

    // A right click on the header of column col (the fixed row 0).
    void rightClickHeader(int col)
    {
        QHeaderView* header = table()->horizontalHeader();
        const QPoint centre(header->sectionViewportPosition(col) + header->sectionSize(col) / 2, header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::RightButton, Qt::NoModifier, centre);
    }
};

TEST_F(GridTest, typingOnANameCellOpensTheEditorOverItAndEscPutsTheTextBack)
{
    const int slot = addPerson("山田", "太郎");
    openTable();
    select(rowOf(slot), 1);
    QTest::keyClick(grid(), Qt::Key_X);
    ASSERT_TRUE(form().Text2.isVisible());
    EXPECT_EQ(form().activeControl(), &form().Text2);
    EXPECT_EQ(form().Text2.text(), "x") << "the typed key is the editor's text";
    EXPECT_EQ(form().Text2.tag(), "山田") << "the cell's text waits for Esc";
    EXPECT_EQ(form().Text2.width(), form().tb.colWidth(1));

    QTest::keyClick(form().Text2.widget(), Qt::Key_Escape);
    EXPECT_FALSE(form().Text2.isVisible());
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 1), "山田");
    EXPECT_EQ(person(slot).F_name, "山田");
}

TEST_F(GridTest, aTextCellIsStoredWhenTheEditorLosesTheFocus)
{
    const int slot = addPerson("山田", "太郎");
    model::runState().Ctrl_Open = 1;
    openTable();
    editCell(rowOf(slot), 11, "東京都");
    EXPECT_FALSE(form().Text2.isVisible());
    EXPECT_EQ(person(slot).Addr1, "東京都");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 11), "東京都");
    EXPECT_EQ(t().Data_Changed, 1);
    EXPECT_EQ(windows.count("rebuildRelationLists"), 1);
    EXPECT_TRUE(undoSnapshotExists()) << "a grid edit is a command of its own for the main window's undo";
    EXPECT_TRUE(requests.calls.empty()) << "and rebuilds no chart";
}

TEST_F(GridTest, anEmptiedNameIsRefusedAndComesBack)
{
    const int slot = addPerson("山田", "太郎");
    openTable();
    select(rowOf(slot), 2);
    answers.answerNext(platform::vbOK);
    QTest::keyClick(grid(), Qt::Key_Delete);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::NameRequiredMessage);
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 2), "太郎");
    EXPECT_EQ(person(slot).Name, "太郎");

    // Delete on another text cell empties the field.
    person(slot).TelNo = "03-1234";
    form().tablein();
    select(rowOf(slot), 8);
    QTest::keyClick(grid(), Qt::Key_Delete);
    EXPECT_EQ(person(slot).TelNo, "");
}

TEST_F(GridTest, textThatTheFamilyFileCannotHoldNeverEntersTheRecord)
{
    const int slot = addPerson("山田", "太郎");
    person(slot).Addr1 = "大阪";
    openTable();
    answers.answerNext(platform::vbOK);
    editCell(rowOf(slot), 11, "😀");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, std::string(model::UnsavableCharMessage) + "😀");
    EXPECT_EQ(person(slot).Addr1, "大阪");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 11), "大阪");
    EXPECT_EQ(t().Data_Changed, 0);
}

TEST_F(GridTest, F2OnTheSexColumnOpensTheListAndAPartnerKeepsTheSex)
{
    const int single = addPerson("山田", "太郎");
    const int husband = addPerson("鈴木", "一郎");
    const int wife = addPerson("鈴木", "花子", 1);
    ASSERT_GT(model::set_kou_buf(-1, "通常", 0, 0, husband, wife, 1, "", 0), 0);
    model::settings().DispFactor[4] = true;
    openTable();

    select(rowOf(single), 4);
    QTest::keyClick(grid(), Qt::Key_F2);
    EXPECT_FALSE(form().Text2.isVisible()) << "a list cell is not edited in Text2";
    ASSERT_TRUE(form().tb.isListEditing());
    EXPECT_EQ(form().tb.comboList(), "男|女");
    form().tb.chooseListItem(1);
    EXPECT_EQ(person(single).Sex, 1);
    EXPECT_EQ(form().tb.textMatrix(rowOf(single), 4), "女");

    select(rowOf(husband), 4);
    QTest::keyClick(grid(), Qt::Key_F2);
    ASSERT_TRUE(form().tb.isListEditing());
    form().tb.chooseListItem(1);
    EXPECT_EQ(person(husband).Sex, 0);
    EXPECT_EQ(form().tb.textMatrix(rowOf(husband), 4), "男") << "the cell shows the stored sex again";
}

struct FlagCase {
    const char* name;
    int col;
    const char* list;
    int16_t model::DispStat::*dispField; // null for the two flags outside Disp
    int16_t set;
    int16_t unset;
    friend std::ostream& operator<<(std::ostream& out, const FlagCase& c) { return out << c.name; }
};

class GridFlagTest : public GridTest, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(GridFlagTest, aFlagCellStoresItsChoice)
{
    const FlagCase& c = GetParam();
    const int slot = addPerson("山田", "太郎");
    model::settings().DispFactor[static_cast<size_t>(c.col)] = true;
    openTable();
    auto value = [&]() -> int {
        const model::personal_data& p = person(slot);
        if (c.col == 19)
            return p.CategoryF;
        if (c.col == 20)
            return p.CsvOutFlag;
        return p.Disp.*(c.dispField);
    };
    for (const auto& [item, expected] : {std::pair<int, int16_t>{1, c.set}, {0, c.unset}}) {
        select(rowOf(slot), c.col);
        QTest::keyClick(grid(), Qt::Key_F2);
        ASSERT_TRUE(form().tb.isListEditing());
        EXPECT_EQ(form().tb.comboList(), c.list);
        form().tb.chooseListItem(item);
        EXPECT_EQ(value(), expected) << "item " << item;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Columns, GridFlagTest,
    ::testing::Values(FlagCase{"frame", 17, "-|表示", &model::DispStat::DS_Waku, 1, 0},
                      FlagCase{"deathFrame", 18, "-|表示", &model::DispStat::DS_DeathW, 1, 0},
                      FlagCase{"category", 19, "-|設定", nullptr, 1, -1},
                      FlagCase{"csv", 20, "-|設定", nullptr, 1, 0}),
    [](const ::testing::TestParamInfo<FlagCase>& info) { return std::string(info.param.name); });

TEST_F(GridTest, theAgeCellStoresWholeYearsAndRefusesWhatAnIntegerCannotHold)
{
    const int slot = addPerson("山田", "太郎");
    person(slot).Age = 30;
    openTable();
    editCell(rowOf(slot), 7, "-1");
    EXPECT_EQ(person(slot).Age, -1);
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 7), "");

    editCell(rowOf(slot), 7, "42");
    EXPECT_EQ(person(slot).Age, 42);

    answers.answerNext(platform::vbOK);
    editCell(rowOf(slot), 7, "99999");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::BadAgeMessage);
    EXPECT_EQ(person(slot).Age, 42);
}

TEST_F(GridTest, anEditedBirthDateIsNormalisedAndGivesTheAge)
{
    const int slot = addPerson("山田", "太郎");
    model::settings().DispFactor[6] = true;
    openTable();
    editCell(rowOf(slot), 5, "1990/1/1");
    EXPECT_EQ(person(slot).B_day, "1990/01/01");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 5), "1990/01/01");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 7), "34");
    EXPECT_EQ(person(slot).Age, 34);

    editCell(rowOf(slot), 6, "2020/1/1");
    EXPECT_EQ(person(slot).Death_day, "2020/01/01");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 7), "30");
}

TEST_F(GridTest, theAgeIsTheNumberOfCompletedYearsOnTheCardAndInTheGrid)
{
    answers.setNow(platform::DateSerial(2024, 6, 15));
    struct AgeCase {
        const char* birth;
        const char* death;
        const char* age;
    };
    const AgeCase cases[] = {
        {"1984/06/20", "", "39"},           {"1984/06/15", "", "40"},
        {"1900/03/01", "1950/02/28", "49"}, {"1900/03/01", "1950/03/01", "50"},
        {"2000/02/29", "2023/02/28", "22"}, {"2000/02/29", "2023/03/01", "23"},
    };
    std::vector<int> agedPersons;
    for (const AgeCase& c : cases) {
        agedPersons.push_back(addPerson("山田", "太郎" + std::to_string(agedPersons.size()), 0, c.birth));
        person(agedPersons.back()).Death_day = c.death;
    }
    open();
    for (size_t i = 0; i < agedPersons.size(); ++i) {
        int slot = agedPersons[i];
        form().entryset(slot);
        EXPECT_EQ(form().Text1[5].text(), cases[i].age) << "card: " << cases[i].birth << " - " << cases[i].death;
    }
    form().scritem_Click(1);
    for (size_t i = 0; i < agedPersons.size(); ++i) {
        EXPECT_EQ(form().tb.textMatrix(rowOf(agedPersons[i]), 7), cases[i].age)
            << "grid: " << cases[i].birth << " - " << cases[i].death;
    }
    editCell(rowOf(agedPersons[0]), 5, "1984/6/16");
    EXPECT_EQ(form().tb.textMatrix(rowOf(agedPersons[0]), 7), "39") << "an edited date gives the age the same way";
}

TEST_F(GridTest, aRefillNamesEveryPersonBornAfterTheirDeathInOneNoticeOfItsOwn)
{
    for (const char* name : {"一", "二", "三", "四"}) {
        const int slot = addPerson("山田", name, 0, "2000/01/01");
        person(slot).Death_day = "1990/01/01";
    }
    addPerson("山田", "五", 0, "1990/01/01");
    const std::string named = std::string(entry::BirthAfterDeathListMessage) + "\r\n山田 一、山田 二、山田 三 ほか1人";
    // Opening fills the grid (one message naming the persons) and the card of the
    // current person (its own message).
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    open();
    ASSERT_EQ(answers.shownTexts(), (std::vector<std::string>{named, entry::BirthAfterDeathMessage}));

    answers.answerNext(platform::vbOK);
    form().scritem_Click(1);
    ASSERT_EQ(answers.shown().size(), 3u) << "the table view's refill adds one message";
    EXPECT_EQ(answers.shown()[2].text, named);

    // A register that succeeds refills the grid: its notice is no refusal.
    answers.clearRecords();
    QTest::mouseClick(form().CMDFUNC[0].widget(), Qt::LeftButton);
    for (const char* name : {"Kawada", "Shin"}) {
        QTest::keyClick(grid(), Qt::Key_F2);
        ASSERT_TRUE(form().Text2.isVisible());
        QTest::keyClicks(form().Text2.widget(), name);
        QTest::keyClick(form().Text2.widget(), Qt::Key_Return);
    }
    answers.answerNext(platform::vbOK);
    QTest::mouseClick(form().CMDFUNC[1].widget(), Qt::LeftButton);
    EXPECT_EQ(person(6).Name, "Shin");
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{named}));
}

TEST_F(GridTest, aRefusedDateKeepsTheStoredOneWithOneMessage)
{
    const int slot = addPerson("山田", "太郎", 0, "1990/01/01");
    openTable();
    // A mistyped date, and a date after today, which is no date to the converter.
    for (const char* typed : {"abc", "2030/01/01"}) {
        answers.clearRecords();
        answers.answerNext(platform::vbOK);
        editCell(rowOf(slot), 5, typed);
        ASSERT_EQ(answers.shown().size(), 1u) << typed;
        EXPECT_EQ(answers.shown()[0].text, entry::BadGridDateMessage);
        EXPECT_EQ(person(slot).B_day, "1990/01/01") << typed;
        EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 5), "1990/01/01") << "the cell shows the stored date again";
    }
}

// In the table view too the first year of an era keeps its era, and a date holding
// more than a date is refused rather than stored without its extra words.
TEST_F(GridTest, aFirstYearKeepsItsEraAndAnUncertainDateIsRefused)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    model::settings().Dispmode_Nengo = 1;
    const int slot = addPerson("山田", "太郎", 0, "昭和50年");
    openTable();
    editCell(rowOf(slot), 5, "H1");
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(person(slot).B_day, "平成元年");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 5), "平成元年");

    answers.answerNext(platform::vbOK);
    editCell(rowOf(slot), 5, "明治10年頃");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::BadGridDateMessage);
    EXPECT_EQ(person(slot).B_day, "平成元年");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 5), "平成元年");
}

// A stored text that is no date ("明治10年頃") passes through its cell as written
// when the user leaves it unchanged.
TEST_F(GridTest, anUncertainDateLeftUnchangedPassesThroughItsCell)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    model::settings().Dispmode_Nengo = 1;
    const int slot = addPerson("山田", "太郎", 0, "明治10年頃");
    person(slot).Death_day = "不詳";
    model::settings().DispFactor[6] = true;
    openTable();
    for (const int col : {5, 6}) {
        const std::string stored = form().tb.textMatrix(rowOf(slot), col);
        editCell(rowOf(slot), col, stored);
        EXPECT_EQ(form().tb.textMatrix(rowOf(slot), col), stored);
    }
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(person(slot).B_day, "明治10年頃");
    EXPECT_EQ(person(slot).Death_day, "不詳");
}

TEST_F(GridTest, aBirthDateIsTakenWhileTheDeathDateIsNoDate)
{
    const int slot = addPerson("山田", "太郎", 0, "1990/01/01");
    person(slot).Death_day = "不詳";
    openTable();
    editCell(rowOf(slot), 5, "1950/3/4");
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(person(slot).B_day, "1950/03/04");
    EXPECT_EQ(person(slot).Death_day, "不詳");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 5), "1950/03/04");
}

TEST_F(GridTest, aBirthAfterTheDeathIsRefusedAndKeepsTheStoredDate)
{
    const int slot = addPerson("山田", "太郎", 0, "1990/01/01");
    person(slot).Death_day = "2000/01/01";
    model::settings().DispFactor[6] = true;
    openTable();
    answers.answerNext(platform::vbOK);
    editCell(rowOf(slot), 5, "2010/01/01");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::BirthAfterDeathMessage);
    EXPECT_EQ(person(slot).B_day, "1990/01/01");
    EXPECT_EQ(person(slot).Death_day, "2000/01/01");
    EXPECT_EQ(form().tb.textMatrix(rowOf(slot), 5), "1990/01/01");
}

TEST_F(GridTest, enterInTheEditorMovesRightPastHiddenColumnsUpToTheLastShown)
{
    const int slot = addPerson("山田", "太郎");
    openTable();
    // Columns 1, 2, 4, 5, 7, 8 and 11 are shown: from 2 Enter skips the hidden 3.
    select(rowOf(slot), 2);
    QTest::keyClick(grid(), Qt::Key_F2);
    ASSERT_TRUE(form().Text2.isVisible());
    QTest::keyClick(form().Text2.widget(), Qt::Key_Return);
    EXPECT_EQ(form().tb.col(), 4);
    EXPECT_FALSE(form().Text2.isVisible());

    select(rowOf(slot), 11);
    QTest::keyClick(grid(), Qt::Key_F2);
    ASSERT_TRUE(form().Text2.isVisible());
    QTest::keyClick(form().Text2.widget(), Qt::Key_Return);
    EXPECT_EQ(form().tb.col(), 11) << "the last shown column keeps the cursor";
}

TEST_F(GridTest, theEditorRefusesLettersInNumberColumns)
{
    const int slot = addPerson("山田", "太郎");
    openTable();
    select(rowOf(slot), 8);
    QTest::keyClick(grid(), Qt::Key_F2);
    ASSERT_TRUE(form().Text2.isVisible());
    answers.answerNext(platform::vbOK);
    QTest::keyClick(form().Text2.widget(), 'a');
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "数字を入力してください。");
    EXPECT_EQ(form().Text2.text(), "");
    QTest::keyClick(form().Text2.widget(), 'A');
    EXPECT_EQ(form().Text2.text(), "A") << "upper-case letters pass";
}

TEST_F(GridTest, upOnAPendingNewRowAsksAndDropsOrReopensIt)
{
    addPerson("山田", "太郎");
    openTable();
    form().CMDFUNC_Click(0);
    ASSERT_EQ(form().tb.rows(), 3);
    ASSERT_EQ(model::runState().Entry_EditMode, 0);

    answers.answerNext(platform::vbNo);
    QTest::keyClick(grid(), Qt::Key_Up);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::DiscardNewRowOnUpQuestion);
    EXPECT_EQ(form().tb.rows(), 3) << "No keeps the new row";
    EXPECT_TRUE(form().Text2.isVisible()) << "and reopens its editor";
    QTest::keyClick(form().Text2.widget(), Qt::Key_Escape);

    answers.answerNext(platform::vbYes);
    form().tb.setFocus();
    QTest::keyClick(grid(), Qt::Key_Up);
    EXPECT_EQ(form().tb.rows(), 2);
    EXPECT_EQ(model::runState().Entry_EditMode, 1);
    EXPECT_TRUE(form().CMDFUNC[0].isEnabled());
    EXPECT_TRUE(form().CMDFUNC[2].isEnabled());
}

TEST_F(GridTest, clickingAnotherRowWhileANewRowIsPendingAsks)
{
    addPerson("山田", "太郎");
    addPerson("山田", "花子", 1);
    openTable();
    form().CMDFUNC_Click(0);
    ASSERT_EQ(form().tb.rows(), 4);

    answers.answerNext(platform::vbNo);
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(1, 1));
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::DiscardNewRowOnClickQuestion);
    EXPECT_EQ(form().tb.rows(), 4);
    EXPECT_EQ(form().tb.row(), 3) << "No returns to the new row";
    EXPECT_EQ(form().tb.editable(), forms::flexEDKbdMouse);

    EXPECT_TRUE(form().CMDFUNC[1].isVisible());

    answers.answerNext(platform::vbYes);
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, cellCentre(1, 1));
    EXPECT_EQ(form().tb.rows(), 3);
    EXPECT_EQ(model::runState().Entry_EditMode, 1);
    EXPECT_EQ(form().tb.editable(), forms::flexEDNone);
    EXPECT_FALSE(form().CMDFUNC[1].isVisible()) << "no new row: nothing to register";
}

TEST_F(GridTest, rightClickOnAHeaderSortsByThatColumnAndRemembersIt)
{
    addPerson("山田", "一郎", 0, "1970/01/01");
    addPerson("山田", "二郎", 0, "1990/01/01");
    addPerson("山田", "三郎", 0, "1980/01/01");
    openTable();
    std::string popup;
    forms::setPopupResponder([&](forms::Menu& menu) -> forms::Menu* {
        popup = menu.name();
        return &form().down;
    });
    rightClickHeader(5);
    EXPECT_EQ(popup, "sort");
    EXPECT_EQ(model::settings().Sort_factor, 5);
    EXPECT_EQ(model::settings().Array_SortMode, 2);
    EXPECT_EQ(gridNames(), (std::vector<std::string>{"二郎", "三郎", "一郎"}));
    EXPECT_TRUE(form().down.isChecked());
    EXPECT_FALSE(form().up.isChecked());

    // The next refill applies the same order.
    form().tablein();
    EXPECT_EQ(gridNames(), (std::vector<std::string>{"二郎", "三郎", "一郎"}));

    forms::setPopupResponder([&](forms::Menu&) -> forms::Menu* { return &form().nosort; });
    rightClickHeader(5);
    EXPECT_EQ(gridNames(), (std::vector<std::string>{"二郎", "三郎", "一郎"})) << "Nosort leaves the rows";
    form().tablein();
    EXPECT_EQ(gridNames(), (std::vector<std::string>{"一郎", "二郎", "三郎"})) << "until the grid is refilled";
}

TEST_F(GridTest, rightClickOnAPersonCellOpensItsEditor)
{
    const int slot = addPerson("山田", "太郎");
    openTable();
    QTest::mouseClick(table()->viewport(), Qt::RightButton, Qt::NoModifier, cellCentre(rowOf(slot), 2));
    EXPECT_EQ(form().tb.col(), 2);
    EXPECT_TRUE(form().Text2.isVisible());
    EXPECT_EQ(form().Text2.text(), "太郎");
}

TEST_F(GridTest, theStoredSortUsesItsColumnEvenWhenThatColumnIsHidden)
{
    const int a = addPerson("山田", "一郎");
    const int b = addPerson("山田", "二郎");
    const int c = addPerson("山田", "三郎");
    person(a).E_mail = "c@x";
    person(b).E_mail = "a@x";
    person(c).E_mail = "b@x";
    model::settings().Sort_factor = 14;
    model::settings().Array_SortMode = 1;
    openTable();
    ASSERT_EQ(form().tb.colWidth(14), 0);
    EXPECT_EQ(gridNames(), (std::vector<std::string>{"二郎", "三郎", "一郎"}));
}

TEST_F(GridTest, tabMovesRightPastHiddenColumnsAndStopsAtTheLastShown)
{
    const int slot = addPerson("山田", "太郎");
    openTable();
    select(rowOf(slot), 2);
    QTest::keyClick(grid(), Qt::Key_Tab);
    EXPECT_EQ(form().tb.col(), 4) << "column 3 is hidden";
    EXPECT_EQ(form().activeControl(), &form().tb) << "Tab moves along the row, not the focus";
    select(rowOf(slot), 11);
    QTest::keyClick(grid(), Qt::Key_Tab);
    EXPECT_EQ(form().tb.col(), 11);
}

TEST_F(GridTest, newInTheTableViewOffersRegisterForThePendingRow)
{
    addPerson("山田", "太郎");
    openTable();
    EXPECT_FALSE(form().CMDFUNC[1].isVisible()) << "no new row pending";
    form().CMDFUNC_Click(0);
    ASSERT_TRUE(form().CMDFUNC[1].isVisible());
    ASSERT_TRUE(form().CMDFUNC[1].isEnabled());
    const int r = form().tb.rows() - 1;
    form().tb.setTextMatrix(r, 1, "鈴木");
    form().tb.setTextMatrix(r, 2, "一郎");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(2).InUse, model::SlotUsed);
    EXPECT_EQ(person(2).Name, "一郎");
    EXPECT_TRUE(form().CMDFUNC[1].isVisible()) << "the next blank row waits as well";
}

TEST_F(GridTest, leavingATypedNewRowForTheCardAsksAndNoKeepsIt)
{
    addPerson("山田", "太郎");
    openTable();
    form().CMDFUNC_Click(0);
    // An untouched new row is left without a question.
    form().scritem_Click(0);
    EXPECT_EQ(form().Entry_CardView, -1);
    EXPECT_TRUE(answers.shown().empty());

    form().scritem_Click(1);
    form().CMDFUNC_Click(0);
    const int r = form().tb.rows() - 1;
    form().tb.setTextMatrix(r, 1, "鈴木");
    answers.answerNext(platform::vbNo);
    form().scritem_Click(0);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::DiscardNewRowOnClickQuestion);
    EXPECT_EQ(form().Entry_CardView, 0) << "No stays in the table view";
    EXPECT_EQ(form().Tab1.selectedIndex(), 2);
    ASSERT_EQ(form().tb.rows(), r + 1);
    EXPECT_EQ(form().tb.textMatrix(r, 1), "鈴木");

    answers.answerNext(platform::vbYes);
    form().Tab1.tabs().item(1).setSelected(true);
    EXPECT_EQ(form().Entry_CardView, -1);
    EXPECT_EQ(form().tb.rows(), 2) << "Yes drops the typed row";
}

TEST_F(GridTest, afterNewTheCellEditorOpensOverItsCellInSight)
{
    for (int c = 1; c < entry::GridCols; ++c)
        model::settings().DispFactor[static_cast<size_t>(c)] = true;
    addPerson("山田", "太郎");
    openTable();
    form().tb.setLeftCol(15);
    ASSERT_GT(form().tb.leftCol(), 1);
    form().CMDFUNC_Click(0);
    EXPECT_EQ(form().tb.leftCol(), 1);
    QTest::keyClick(grid(), Qt::Key_F2);
    ASSERT_TRUE(form().Text2.isVisible());
    const QRect cell = table()->visualRect(table()->model()->index(form().tb.rows() - 1, 1));
    const QRect editor = form().Text2.widget()->geometry();
    const QPoint cellOnFrame = grid()->mapTo(grid()->parentWidget(), table()->viewport()->mapTo(grid(), cell.topLeft()));
    EXPECT_EQ(editor.topLeft(), cellOnFrame) << "the editor lies over its cell";
    EXPECT_TRUE(grid()->geometry().contains(editor.topLeft())) << "and inside the grid";

    // Tab to the far right scrolls by whole columns, and the editor follows.
    select(form().tb.rows() - 1, 1);
    for (int i = 0; i < 30; ++i)
        QTest::keyClick(grid(), Qt::Key_Tab);
    EXPECT_EQ(form().tb.col(), entry::GridCols - 1);
    QTest::keyClick(grid(), Qt::Key_F2);
    const QRect last = table()->visualRect(table()->model()->index(form().tb.rows() - 1, entry::GridCols - 1));
    EXPECT_TRUE(table()->viewport()->rect().contains(last.center())) << "the last column is in view";
}

TEST_F(GridTest, theKeyThatStartsAnEditIsTheEditorsFirstText)
{
    const int slot = addPerson("山田", "太郎");
    person(slot).TelNo = "03-1111";
    openTable();
    select(rowOf(slot), 8);
    QTest::keyClick(grid(), Qt::Key_0);
    ASSERT_TRUE(form().Text2.isVisible());
    ASSERT_EQ(form().activeControl(), &form().Text2);
    EXPECT_EQ(form().Text2.text(), "0") << "the typed key takes the place of the cell's text";
    QTest::keyClicks(form().Text2.widget(), "123");
    QTest::keyClick(form().Text2.widget(), Qt::Key_Return);
    EXPECT_EQ(person(slot).TelNo, "0123");
    // The editor's own filter judges the first key too.
    select(rowOf(slot), 8);
    answers.answerNext(platform::vbOK);
    QTest::keyClick(grid(), Qt::Key_A, Qt::NoModifier);
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{entry::DigitsOnlyMessage}));
    EXPECT_EQ(form().Text2.text(), "0123") << "a refused key replaces nothing";
    QTest::keyClick(form().Text2.widget(), Qt::Key_Escape);
    EXPECT_EQ(person(slot).TelNo, "0123");

    // After 新規: plain keys, and the input method's text, go into the new row.
    QTest::mouseClick(form().CMDFUNC[0].widget(), Qt::LeftButton);
    const int r = form().tb.rows() - 1;
    QTest::keyClicks(grid(), "a");
    QTest::keyClicks(form().Text2.widget(), "bc");
    QTest::keyClick(form().Text2.widget(), Qt::Key_Return);
    EXPECT_EQ(form().tb.textMatrix(r, 1), "abc");
    ASSERT_EQ(form().tb.col(), 2);
    QInputMethodEvent kana;
    kana.setCommitString(QStringLiteral("はなこ"));
    QCoreApplication::sendEvent(grid(), &kana);
    ASSERT_TRUE(form().Text2.isVisible());
    EXPECT_EQ(form().Text2.text(), "はなこ");
    QTest::keyClick(form().Text2.widget(), Qt::Key_Return);
    EXPECT_EQ(form().tb.textMatrix(r, 2), "はなこ");
    QTest::mouseClick(form().CMDFUNC[1].widget(), Qt::LeftButton);
    ASSERT_EQ(person(2).InUse, model::SlotUsed);
    EXPECT_EQ(person(2).F_name, "abc");
    EXPECT_EQ(person(2).Name, "はなこ");
}

TEST_F(GridTest, anEditStartsOnlyOnAShownColumnWithItsCellInView)
{
    std::vector<int> persons;
    for (int i = 0; i < 40; ++i)
        persons.push_back(addPerson("山田", "次郎" + std::to_string(i)));
    openTable();
    // Column 0 (the marker) and a hidden column are never edited.
    for (int col : {0, 3}) {
        select(rowOf(persons[0]), col);
        QTest::keyClick(grid(), Qt::Key_Q);
        QTest::keyClick(grid(), Qt::Key_F2);
        EXPECT_FALSE(form().Text2.isVisible()) << col;
        EXPECT_EQ(t().Data_Changed, 0) << col;
    }

    // The user scrolls the current cell out of sight; F2 brings it back first.
    select(rowOf(persons[0]), 2);
    table()->verticalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    ASSERT_FALSE(table()->viewport()->rect().intersects(
        table()->visualRect(table()->model()->index(rowOf(persons[0]), 2))))
        << "the cell is out of sight";
    QTest::keyClick(grid(), Qt::Key_F2);
    ASSERT_TRUE(form().Text2.isVisible());
    const QRect cell = table()->visualRect(table()->model()->index(rowOf(persons[0]), 2));
    EXPECT_TRUE(table()->viewport()->rect().contains(cell)) << "the cell is in view";
    const QPoint cellOnFrame = grid()->mapTo(grid()->parentWidget(), table()->viewport()->mapTo(grid(), cell.topLeft()));
    EXPECT_EQ(form().Text2.widget()->geometry().topLeft(), cellOnFrame) << "the editor lies over it";
    QTest::keyClicks(form().Text2.widget(), "QR");
    QTest::keyClick(form().Text2.widget(), Qt::Key_Return);
    EXPECT_EQ(person(persons[0]).Name, "次郎0QR");
}

TEST_F(GridTest, aClickOnAPartlyShownCellSelectsIt)
{
    for (int c = 1; c < entry::GridCols; ++c)
        model::settings().DispFactor[static_cast<size_t>(c)] = true;
    const int slot = addPerson("山田", "太郎");
    openTable();
    // The rightmost column in view is cut off by the grid's edge.
    const int partly = form().tb.rightCol();
    const QRect cell = table()->visualRect(table()->model()->index(rowOf(slot), partly));
    ASSERT_GT(cell.right(), table()->viewport()->width()) << "column " << partly << " is partly shown";
    const QPoint inside(cell.left() + 5, cell.center().y());
    QTest::mouseClick(table()->viewport(), Qt::LeftButton, Qt::NoModifier, inside);
    EXPECT_EQ(form().tb.col(), partly);
    EXPECT_EQ(form().tb.row(), rowOf(slot));
    // A right click opens the editor on the cell clicked, now wholly in view.
    form().tb.setLeftCol(1);
    QTest::mouseClick(table()->viewport(), Qt::RightButton, Qt::NoModifier, inside);
    EXPECT_EQ(form().tb.col(), partly);
    ASSERT_TRUE(form().Text2.isVisible());
    const QRect shown = table()->visualRect(table()->model()->index(rowOf(slot), partly));
    EXPECT_TRUE(table()->viewport()->rect().contains(shown));
}

} // namespace
} // namespace entry_test
