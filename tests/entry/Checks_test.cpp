// Field and date input checking: Enter moves, refused keys, the dates and the
// age of the panel, the remarks limit, the date display mode and the grid's
// date cells.

#include "EntryFixture.h"

#include "model/era/EraDates.h"
#include "model/era/Nengo.h"
#include "model/run_state.h"
#include "platform/Conversions.h"

#include <QTest>
#include <QWidget>

#include <ostream>
#include <utility>

namespace entry_test {
namespace {

class ChecksTest : public EntryTest {
protected:
    void SetUp() override
    {
        EntryTest::SetUp();
        answers.setNow(platform::DateSerial(2024, 6, 1));
    }

    // Types a date into a date box and leaves it, as the user does.
    void typeDate(int index, const std::string& text)
    {
        form().Text1[index].setFocus();
        form().Text1[index].setText(text);
        form().Text1[16].setFocus();
    }
};

struct EnterCase {
    const char* name;
    int from;
    bool partner;
    int to; // Text1 index, or -1 / -2 for Option1(0) / Option1(1)
    friend std::ostream& operator<<(std::ostream& out, const EnterCase& c) { return out << c.name; }
};

class EnterTest : public ChecksTest, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(EnterTest, enterMovesToTheNextField)
{
    const EnterCase& c = GetParam();
    const int husband = addPerson("山田", "太郎");
    const int wife = addPerson("山田", "花子", 1);
    if (c.partner) {
        ASSERT_GT(model::set_kou_buf(-1, "通常", 0, 0, husband, wife, 1, "", 0), 0);
    }
    model::runState().Cur_PerIdx = static_cast<int16_t>(wife);
    open();
    form().Text1[c.from].setFocus();
    int16_t key = 13;
    form().Text1_KeyPress(c.from, key);
    EXPECT_EQ(key, 13) << "Enter itself is left alone";
    forms::Control* expected = c.to >= 0 ? static_cast<forms::Control*>(&form().Text1[c.to])
                                         : static_cast<forms::Control*>(&form().Option1[-c.to - 1]);
    EXPECT_EQ(form().activeControl(), expected);
}

INSTANTIATE_TEST_SUITE_P(Fields, EnterTest,
                         ::testing::Values(EnterCase{"familyName", 0, false, 1}, EnterCase{"givenName", 1, false, 2},
                                           EnterCase{"formerNameToSex", 2, false, -2},
                                           EnterCase{"formerNameOfPartner", 2, true, 14},
                                           EnterCase{"label", 14, false, 15}, EnterCase{"posthumous", 15, false, 3},
                                           EnterCase{"birth", 3, false, 4}, EnterCase{"mobile", 11, false, 12},
                                           EnterCase{"mail", 12, false, 13}, EnterCase{"remarksStay", 13, false, 13},
                                           EnterCase{"afterMarriage", 16, false, 0}),
                         [](const ::testing::TestParamInfo<EnterCase>& info) { return std::string(info.param.name); });

struct KeyCase {
    const char* name;
    int field;
    int16_t key;
    bool refused;
    friend std::ostream& operator<<(std::ostream& out, const KeyCase& c) { return out << c.name; }
};

class KeyFilterTest : public ChecksTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyFilterTest, refusesKeysTheFieldCannotHold)
{
    const KeyCase& c = GetParam();
    open();
    if (c.refused)
        answers.answerNext(platform::vbOK);
    int16_t key = c.key;
    form().Text1_KeyPress(c.field, key);
    if (c.refused) {
        EXPECT_EQ(key, 14);
        ASSERT_EQ(answers.shown().size(), 1u);
        EXPECT_EQ(answers.shown()[0].text, "数字を入力してください。");
    } else {
        EXPECT_EQ(key, c.key);
        EXPECT_TRUE(answers.shown().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyFilterTest,
                         ::testing::Values(KeyCase{"postalDigit", 6, '7', false}, KeyCase{"postalDash", 6, '-', false},
                                           KeyCase{"postalSlash", 6, '/', true}, KeyCase{"postalPlus", 6, '+', true},
                                           KeyCase{"postalLetter", 6, 'A', true},
                                           KeyCase{"postalDoubleByte", 6, -32000, false},
                                           KeyCase{"postalBackspace", 6, 8, false},
                                           KeyCase{"telephoneUpper", 9, 'A', false},
                                           KeyCase{"telephoneLower", 9, 'a', true}, KeyCase{"faxLower", 10, 'z', true},
                                           KeyCase{"mobileSlash", 11, '/', false}, KeyCase{"ageLower", 5, 'q', true},
                                           KeyCase{"nameLower", 0, 'a', false}),
                         [](const ::testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

TEST_F(ChecksTest, aTypedKeyGoesThroughTheFilterOfTheRealBox)
{
    open();
    form().Text1[9].setFocus();
    answers.answerNext(platform::vbOK);
    QWidget* box = form().Text1[9].widget();
    ASSERT_NE(box, nullptr);
    QTest::keyClicks(box, "1a2");
    EXPECT_EQ(form().Text1[9].text(), "12");
    EXPECT_EQ(answers.shown().size(), 1u);
}

TEST_F(ChecksTest, aYearOnlyBirthCountsFromTheFirstOfJanuary)
{
    open();
    typeDate(3, " 2000 ");
    EXPECT_EQ(form().Text1[3].text(), "2000");
    EXPECT_EQ(form().Text1[5].text(), "24");
    EXPECT_EQ(form().Label1[5].caption(), "年令");
}

// A birth in the year an era began, written in that era, counts from the era's
// first day: born in 平成元年, nobody is 35 on 5 January 2024.
TEST_F(ChecksTest, aFirstYearBirthCountsFromTheEraFirstDay)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    model::settings().Dispmode_Nengo = 1;
    answers.setNow(platform::DateSerial(2024, 1, 5));
    open();
    typeDate(3, "平成元年");
    EXPECT_EQ(form().Text1[5].text(), "34");
    typeDate(3, "昭和64年");
    EXPECT_EQ(form().Text1[5].text(), "35");
}

TEST_F(ChecksTest, birthOnTheDayOfDeathIsAgeZero)
{
    open();
    typeDate(3, "1950/03/04");
    typeDate(4, "1950/03/04");
    EXPECT_EQ(form().Text1[5].text(), "0");
    EXPECT_EQ(form().Label1[5].caption(), "死亡年令");
    EXPECT_EQ(form().Text1[5].backColor(), 0xC0C0C0L);
}

TEST_F(ChecksTest, aDeathBeforeTheBirthIsRefusedAndCleared)
{
    open();
    typeDate(3, "1950/03/04");
    answers.answerNext(platform::vbOK);
    typeDate(4, "1940/01/01");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "生年月日が死亡年月日より未来です。登録出来ません。");
    EXPECT_TRUE(form().Text1[4].text().empty());
    EXPECT_TRUE(form().Text1[5].text().empty());
}

TEST_F(ChecksTest, aBirthTypedAfterTheStoredDeathIsRefusedAndNeitherDateIsErased)
{
    const int slot = addPerson("山田", "太郎", 0, "1950/03/04");
    person(slot).Death_day = "2000/01/01";
    model::runState().Cur_PerIdx = static_cast<int16_t>(slot);
    open();
    answers.answerNext(platform::vbOK);
    typeDate(3, "2010/01/01");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::BirthAfterDeathMessage);
    EXPECT_EQ(form().Text1[3].text(), "1950/03/04") << "the typed birth gives way to the stored one";
    EXPECT_EQ(form().Text1[4].text(), "2000/01/01") << "the death date is not erased for it";

    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).B_day, "1950/03/04");
    EXPECT_EQ(person(slot).Death_day, "2000/01/01");
}

TEST_F(ChecksTest, anUnconvertibleDateIsNeverKept)
{
    open();
    for (const char* text : {"2030/01/01", "昭和", "2024/13/45"}) {
        answers.answerNext(platform::vbOK);
        typeDate(3, text);
        EXPECT_TRUE(form().Text1[3].text().empty()) << text;
        EXPECT_EQ(form().activeControl(), &form().Text1[3]) << "the box gets the focus back";
    }
    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_EQ(answers.shown()[0].text, "日付入力が不正です");
}

TEST_F(ChecksTest, aStoredTextThatIsNoDateSurvivesTheCardAndATypedBadDateBringsItBack)
{
    const int slot = addPerson("山田", "太郎", 0, "1950/03/04");
    person(slot).Death_day = "不詳";
    model::runState().Cur_PerIdx = static_cast<int16_t>(slot);
    open();
    ASSERT_EQ(form().Text1[4].text(), "不詳");
    form().Text1[4].setFocus();
    form().Text1[16].setFocus();
    EXPECT_TRUE(answers.shown().empty()) << "passing through the box judges nothing";
    EXPECT_EQ(form().Text1[4].text(), "不詳");

    answers.answerNext(platform::vbOK);
    typeDate(4, "abc");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "日付入力が不正です");
    EXPECT_EQ(form().Text1[4].text(), "不詳") << "the stored text comes back";

    form().Text1[16].setFocus();
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Death_day, "不詳");
    EXPECT_EQ(person(slot).B_day, "1950/03/04");
}

TEST_F(ChecksTest, aBadPanelDateLeftInTheTableViewBringsTheCardBack)
{
    addPerson("山田", "一");
    open();
    form().scritem_Click(1);
    form().Text1[4].setText("not a date");
    answers.answerNext(platform::vbOK);
    form().Text1_LostFocus(4);
    EXPECT_EQ(form().Entry_CardView, -1);
    EXPECT_EQ(form().Tab1.selectedIndex(), 1);
    EXPECT_FALSE(form().CMDFUNC[3].isEnabled());
    EXPECT_TRUE(form().CMDFUNC[1].isEnabled());
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "日付入力が不正です");
    EXPECT_TRUE(form().Text1[4].text().empty());
}

TEST_F(ChecksTest, theDateBoxesInputMethodFollowsTheDisplayForm)
{
    open();
    for (const auto& [mode, ime] : std::vector<std::pair<int, int>>{
             {0, forms::vbIMEDisable}, {1, forms::vbIMEHiragana}, {2, forms::vbIMEAlphaFull}}) {
        model::settings().Dispmode_Nengo = mode;
        form().Text1[3].setFocus();
        EXPECT_EQ(form().Text1[3].imeMode(), ime) << mode;
        form().Text1[0].setFocus();
    }
    form().Text1[0].setText("山田");
    form().Text1[3].setFocus();
    form().Text1[0].setFocus();
    EXPECT_EQ(form().Text1[0].selLength(), 2) << "the family name is selected whole";
}

TEST_F(ChecksTest, leavingAnEmptyBirthBoxKeepsTheAge)
{
    open();
    form().Text1[5].setText("77");
    typeDate(3, "   ");
    EXPECT_EQ(form().Text1[5].text(), "77");
}

TEST_F(ChecksTest, theAgeBoxKeepsAPlainNumber)
{
    open();
    for (const auto& [typed, kept] : std::vector<std::pair<std::string, std::string>>{
             {"35", "35"}, {"3.5歳", "3.5"}, {"-2", ""}, {"", ""}}) {
        form().Text1[5].setText(typed);
        form().Text1_LostFocus(5);
        EXPECT_EQ(form().Text1[5].text(), kept) << typed;
    }
}

TEST_F(ChecksTest, remarksOverTheLimitKeepTheFocus)
{
    open();
    form().Text1[13].setText(std::string(1024, 'x'));
    form().Text1_LostFocus(13);
    EXPECT_TRUE(answers.shown().empty()) << "1024 characters pass";
    form().Text1[13].setText(std::string(1025, 'x'));
    answers.answerNext(platform::vbOK);
    form().Text1_LostFocus(13);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::BikoTooLongMessage);
    EXPECT_EQ(form().activeControl(), &form().Text1[13]);
    EXPECT_EQ(platform::Len(form().Text1[13].text()), 1025) << "the text is not shortened";
}

TEST_F(ChecksTest, calcAgeRefusesABirthAfterTheDeath)
{
    open();
    form().Text1[5].setText("9");
    answers.answerNext(platform::vbOK);
    EXPECT_EQ(form().Calc_Age("1990/01/01", "1980/01/01"), "");
    EXPECT_TRUE(form().Text1[5].text().empty()) << "the age box is emptied every time";
    EXPECT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(form().Calc_Age("1980/01/01", "1990/12/31"), "10");
    EXPECT_EQ(form().Calc_Age("", "1990/12/31"), "");
    EXPECT_EQ(form().Calc_Age("no date", ""), "");
}

TEST_F(ChecksTest, theDateModeRewritesOnlyDatesThatConvertExactlyAndCountsTheOthersOnce)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    const int a = addPerson("山田", "太郎", 0, "1990/05/06");
    const int b = addPerson("山田", "花子", 1, "2030/01/01"); // after today
    const int c = addPerson("山田", "一郎", 0, "1950年頃");
    const int d = addPerson("山田", "二郎", 0, "平成元年"); // 1989 is also 昭和64年
    person(a).Death_day = "2020/01/02";
    person(b).Death_day = "不詳";
    open();
    form().scritem_Click(1);
    t().Data_Changed = 0;
    answers.answerNext(platform::vbOK);
    form().calend_Click(1);
    EXPECT_EQ(model::settings().Dispmode_Nengo, 1);
    EXPECT_TRUE(form().calend[1].isChecked());
    EXPECT_FALSE(form().calend[0].isChecked());
    EXPECT_NE(person(a).B_day.find("平成"), std::string::npos) << person(a).B_day;
    EXPECT_EQ(person(b).B_day, "2030/01/01") << "a date after today is kept";
    EXPECT_EQ(person(b).Death_day, "不詳");
    EXPECT_EQ(person(c).B_day, "1950年頃") << "the \"頃\" is not dropped";
    EXPECT_EQ(person(d).B_day, "平成元年") << "the era form gives it back as it stood";
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, model::keptDatesMessage(3));
    EXPECT_EQ(form().tb.textMatrix(form().getrow(a), 5), person(a).B_day) << "the grid is refilled";
    EXPECT_TRUE(undoSnapshotExists()) << "the switch can be undone";
    EXPECT_EQ(t().Data_Changed, 1);

    answers.answerNext(platform::vbOK);
    form().calend_Click(0);
    EXPECT_EQ(person(a).B_day, "1990/05/06") << "the round trip gives the western date back";
    EXPECT_EQ(person(a).Death_day, "2020/01/02");
    EXPECT_EQ(person(d).B_day, "平成元年") << "a year two eras share has no exact western form";
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text, model::keptDatesMessage(4));
}

// The first year of an era typed on the card keeps its era; a date holding more
// than a date is refused with the date message and the stored text comes back.
TEST_F(ChecksTest, aTypedFirstYearKeepsItsEraAndAnUncertainDateIsRefused)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    model::settings().Dispmode_Nengo = 1;
    const int slot = addPerson("山田", "太郎", 0, "明治10年頃");
    model::runState().Cur_PerIdx = static_cast<int16_t>(slot);
    open();
    ASSERT_EQ(form().Text1[3].text(), "明治10年頃");
    form().Text1[3].setFocus();
    form().Text1[16].setFocus();
    EXPECT_TRUE(answers.shown().empty()) << "the stored text passes through the box";
    EXPECT_EQ(form().Text1[3].text(), "明治10年頃");

    for (const auto& [typed, shown] : std::vector<std::pair<std::string, std::string>>{
             {"平成元年", "平成元年"}, {"H1", "平成元年"}, {"令和元年", "令和元年"}, {"S1", "昭和元年"},
             {"明治元年", "明治元年"}, {"平成元年1月", "平成元年01月"}}) {
        typeDate(4, typed);
        EXPECT_EQ(form().Text1[4].text(), shown) << typed;
    }
    EXPECT_TRUE(answers.shown().empty());

    for (const char* typed : {"明治11年頃", "昭和20年3月ごろ"}) {
        answers.clearRecords();
        answers.answerNext(platform::vbOK);
        typeDate(3, typed);
        ASSERT_EQ(answers.shown().size(), 1u) << typed;
        EXPECT_EQ(answers.shown()[0].text, "日付入力が不正です");
        EXPECT_EQ(form().Text1[3].text(), "明治10年頃") << "the stored text comes back";
    }
    form().Text1[16].setFocus();
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).B_day, "明治10年頃");
    EXPECT_EQ(person(slot).Death_day, "平成元年01月");
}

// A year an era began in keeps its era through every display form that has one,
// and a date holding more than a date is kept as written and counted.
TEST_F(ChecksTest, theDateModeKeepsTheEraOfAFirstYearAndWhatIsWritten)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    model::settings().Dispmode_Nengo = 1;
    const int a = addPerson("山田", "太郎", 0, "平成元年");
    person(a).Death_day = "令和元年05月";
    const int b = addPerson("山田", "花子", 1, "昭和元年");
    person(b).Death_day = "明治10年頃";
    open();
    answers.answerNext(platform::vbOK);
    form().calend[2].choose();
    EXPECT_EQ(person(a).B_day, "H1年");
    EXPECT_EQ(person(a).Death_day, "R1年05月");
    EXPECT_EQ(person(b).B_day, "S1年");
    EXPECT_EQ(person(b).Death_day, "明治10年頃");
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{model::keptDatesMessage(1)}));

    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    form().calend[1].choose();
    EXPECT_EQ(person(a).B_day, "平成元年");
    EXPECT_EQ(person(a).Death_day, "令和元年05月");
    EXPECT_EQ(person(b).B_day, "昭和元年");
    EXPECT_EQ(person(b).Death_day, "明治10年頃");
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{model::keptDatesMessage(1)}));

    // No western year gives 平成元年 or 昭和元年 back: they are kept, never moved.
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    form().calend[0].choose();
    EXPECT_EQ(person(a).B_day, "平成元年");
    EXPECT_EQ(person(a).Death_day, "2019/05");
    EXPECT_EQ(person(b).B_day, "昭和元年");
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{model::keptDatesMessage(3)}));
}

// A western year or month that two eras share, typed in the era mode, is kept as
// typed: "1989" is neither 昭和64年 (1 to 7 January) nor 平成元年. A year or month
// that lies wholly inside one era takes the era's form, and the age counts from the
// first day of what was typed.
TEST_F(ChecksTest, aWesternYearTwoErasShareIsKeptAsTypedInTheEraMode)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    model::settings().Dispmode_Nengo = 1;
    const int slot = addPerson("山田", "太郎");
    model::runState().Cur_PerIdx = static_cast<int16_t>(slot);
    open();
    for (const auto& [typed, shown] : std::vector<std::pair<std::string, std::string>>{
             {"1989", "1989"}, {"2019", "2019"}, {"1926", "1926"}, {"1912", "1912"}, {"1989/1", "1989/01"},
             {"1926/12", "1926/12"}, {"1989/2", "平成元年02月"}, {"2019/5", "令和元年05月"}, {"2004", "平成16年"}}) {
        typeDate(4, typed);
        EXPECT_EQ(form().Text1[4].text(), shown) << typed;
    }
    typeDate(3, "1950");
    typeDate(4, "1989");
    EXPECT_EQ(form().Text1[3].text(), "昭和25年");
    EXPECT_EQ(form().Text1[5].text(), "39");
    EXPECT_TRUE(answers.shown().empty());

    form().Text1[16].setFocus();
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).B_day, "昭和25年");
    EXPECT_EQ(person(slot).Death_day, "1989");
    EXPECT_EQ(person(slot).Age, 39);

    // Through the western mode and back, "1989" is never moved into 昭和64年.
    form().calend[0].choose();
    EXPECT_EQ(person(slot).B_day, "1950");
    EXPECT_EQ(person(slot).Death_day, "1989");
    EXPECT_TRUE(answers.shown().empty());
    answers.answerNext(platform::vbOK);
    form().calend[1].choose();
    EXPECT_EQ(person(slot).B_day, "昭和25年");
    EXPECT_EQ(person(slot).Death_day, "1989");
    EXPECT_EQ(form().Text1[4].text(), "1989");
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{model::keptDatesMessage(1)}));
}

// An era year or month typed in the western mode keeps its era where no western text
// names the same days, and the switch to the era mode shows it as typed. Born in
// 昭和元年 (from 25 December 1926) and died in 平成元年01月 (from 8 January 1989), a
// person is 62 in either mode.
TEST_F(ChecksTest, anEraYearTypedInTheWesternModeKeepsItsEraAndItsAge)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    const int slot = addPerson("山田", "太郎");
    model::runState().Cur_PerIdx = static_cast<int16_t>(slot);
    open();
    for (const auto& [typed, shown] : std::vector<std::pair<std::string, std::string>>{
             {"平成元年1月", "平成元年01月"}, {"H1", "H1年"}, {"昭和元年12月", "昭和元年12月"}, {"S64", "S64年"},
             {"令和元年5月", "2019/05"}, {"平成2年", "1990"}}) {
        typeDate(4, typed);
        EXPECT_EQ(form().Text1[4].text(), shown) << typed;
    }
    typeDate(3, "昭和元年");
    typeDate(4, "平成元年1月");
    EXPECT_EQ(form().Text1[3].text(), "昭和元年");
    EXPECT_EQ(form().Text1[5].text(), "62");
    form().Text1[16].setFocus();
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).B_day, "昭和元年");
    EXPECT_EQ(person(slot).Death_day, "平成元年01月");
    EXPECT_EQ(person(slot).Age, 62);
    EXPECT_TRUE(answers.shown().empty());

    form().calend[1].choose();
    EXPECT_TRUE(answers.shown().empty()) << "both dates have their era form";
    EXPECT_EQ(person(slot).B_day, "昭和元年");
    EXPECT_EQ(person(slot).Death_day, "平成元年01月");
    EXPECT_EQ(form().Text1[4].text(), "平成元年01月");
}

// A family stored in the western mode shows and registers the same age for era dates
// as the era mode does, on the card and in the grid.
TEST_F(ChecksTest, aStoredEraDateGivesTheSameAgeInTheWesternMode)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    const int slot = addPerson("山田", "太郎", 0, "昭和元年");
    person(slot).Death_day = "平成元年01月";
    model::runState().Cur_PerIdx = static_cast<int16_t>(slot);
    open();
    EXPECT_EQ(form().Text1[5].text(), "62");
    form().Text1[7].setText("東京");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Age, 62);
    form().scritem_Click(1);
    EXPECT_EQ(form().tb.textMatrix(form().getrow(slot), 7), "62");
}

// A birth kept as written gives no age; the age stored with the person stays on the
// card and through a registration of another field.
TEST_F(ChecksTest, aBirthKeptAsWrittenKeepsTheStoredAgeThroughARegistration)
{
    const int slot = addPerson("山田", "太郎", 0, "明治10年頃");
    person(slot).Age = 146;
    model::runState().Cur_PerIdx = static_cast<int16_t>(slot);
    open();
    EXPECT_EQ(form().Text1[5].text(), "146");
    form().Text1[7].setText("東京");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Addr1, "東京");
    EXPECT_EQ(person(slot).Age, 146);
}

TEST_F(ChecksTest, withoutTheEraTableTheDateModeSwitchIsRefused)
{
    model::nengo_tbl.clear();
    const int a = addPerson("山田", "太郎", 0, "昭和50年01月01日");
    person(a).Death_day = "不詳";
    open();
    form().scritem_Click(1);
    answers.answerNext(platform::vbOK);
    form().calend_Click(1);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::NoEraTableMessage);
    EXPECT_EQ(model::settings().Dispmode_Nengo, 0) << "the fixture's mode stays";
    EXPECT_EQ(person(a).B_day, "昭和50年01月01日");
    EXPECT_EQ(person(a).Death_day, "不詳");
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
}

TEST_F(ChecksTest, theDateModeLeavesAPendingNewRowAlone)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    addPerson("山田", "太郎", 0, "1990/05/06");
    open();
    form().scritem_Click(1);
    form().CMDFUNC_Click(0);
    const int r = form().tb.rows() - 1;
    form().tb.setTextMatrix(r, 1, "未登録");
    form().calend_Click(0);
    EXPECT_EQ(form().tb.rows(), r + 1);
    EXPECT_EQ(form().tb.textMatrix(r, 1), "未登録");
}

TEST_F(ChecksTest, theDateModeConvertsTheCardsDatesAndKeepsWhatDoesNotConvert)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    open();
    form().Text1[3].setText("1990/05/06");
    form().Text1[4].setText("not a date");
    answers.answerNext(platform::vbOK);
    form().calend_Click(1);
    EXPECT_NE(form().Text1[3].text().find("平成"), std::string::npos);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, model::keptDatesMessage(1));
    EXPECT_EQ(form().Text1[4].text(), "not a date");
}

TEST_F(ChecksTest, theDateModeCountsTheShownPersonsKeptDatesOnce)
{
    ASSERT_EQ(model::Load_NengoTbl(home.file("\\nengo_tbl.mas")), 0);
    const int a = addPerson("山田", "太郎", 0, "不詳");
    person(a).Death_day = "1950年頃";
    addPerson("山田", "花子", 1, "不詳");
    addPerson("山田", "一郎", 0, "1990/05/06");
    open();
    ASSERT_EQ(form().Text1[3].text(), "不詳");
    answers.answerNext(platform::vbOK);
    form().calend[1].choose();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, model::keptDatesMessage(3));
    EXPECT_EQ(form().Text1[4].text(), "1950年頃");
    EXPECT_FALSE(form().hasUnregisteredInput()) << "the switch is nothing the user typed";
}

TEST_F(ChecksTest, gridCellsKeepNormalisedDatesAndPlainAges)
{
    addPerson("山田", "一");
    addPerson("山田", "二");
    addPerson("山田", "三");
    open();
    form().scritem_Click(1);
    form().tb.setRow(3);
    form().Text2.setText("0");
    form().tb.setTextMatrix(3, 7, "0");
    form().CheckDateCell(3, 7);
    EXPECT_EQ(form().tb.textMatrix(3, 7), "");
    form().Text2.setText("35");
    form().CheckDateCell(3, 7);
    EXPECT_EQ(form().EditCellText, "35");
    form().Text2.setText("2001/2/3");
    form().CheckDateCell(3, 5);
    EXPECT_EQ(form().tb.textMatrix(3, 5), "2001/02/03");
    // A refused date gives the cell back its text from before the edit.
    form().tb.setTextMatrix(3, 6, "2000/01/01");
    form().Text2.setTag("2000/01/01");
    form().Text2.setText("2099/01/01");
    answers.answerNext(platform::vbOK);
    form().CheckDateCell(3, 6);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "項目3 : 日付データが不正です");
    EXPECT_EQ(form().Text2.text(), "2000/01/01");
    EXPECT_EQ(form().EditCellText, "2000/01/01");
    EXPECT_EQ(form().tb.textMatrix(3, 6), "2000/01/01");
}

} // namespace
} // namespace entry_test
