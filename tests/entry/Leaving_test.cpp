// Leaving input that was never registered: every way out of the card or the
// pending new row asks first, Yes registers, No drops and Cancel stays.

#include "EntryFixture.h"

#include "forms/Menu.h"
#include "model/run_state.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTabBar>
#include <QTest>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace entry_test {
namespace {

class LeavingTest : public EntryTest {
protected:
    static void click(forms::Control& control) { QTest::mouseClick(control.widget(), Qt::LeftButton); }
    static void type(forms::TextBox& box, const char* text) { QTest::keyClicks(box.widget(), text); }
    static void closeBox() { forms::formWidget(form())->close(); }
    // Shift+Tab as the platform delivers it: the key Backtab with Shift held.
    static void shiftTab(forms::Control& control)
    {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Backtab, Qt::ShiftModifier);
        QApplication::sendEvent(control.widget(), &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Backtab, Qt::ShiftModifier);
        QApplication::sendEvent(control.widget(), &release);
    }
    static void clickTab(int index)
    {
        auto* bar = qobject_cast<QTabBar*>(form().Tab1.widget());
        ASSERT_NE(bar, nullptr);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
    }

    // The one question, asked once since the records were last cleared.
    void expectAskedOnce(const std::string& way)
    {
        ASSERT_EQ(answers.shown().size(), 1u) << way;
        EXPECT_EQ(answers.shown()[0].text, entry::UnregisteredInputQuestion) << way;
        EXPECT_EQ(answers.shown()[0].style, platform::vbYesNoCancel) << way;
        answers.clearRecords();
    }
};

TEST_F(LeavingTest, anEditedCardAsksAtEveryWayOutAndCancelKeepsTheEdit)
{
    addPerson("山田", "一");
    const int b = addPerson("山田", "二");
    const int c = addPerson("山田", "三");
    open();
    t().Data_Changed = 0;
    click(form().CMDFUNC[6]);
    ASSERT_EQ(form().Text1[1].text(), "二");
    ASSERT_TRUE(answers.shown().empty()) << "an untouched card is left without a word";
    type(form().Text1[7], "Chiyoda 1-1");

    const std::vector<std::pair<std::string, std::function<void()>>> ways = {
        {"new", [] { click(form().CMDFUNC[0]); }},
        {"previous", [] { click(form().CMDFUNC[5]); }},
        {"next", [] { click(form().CMDFUNC[6]); }},
        {"back button", [] { click(form().CMDFUNC[4]); }},
        {"close box", [] { closeBox(); }},
        {"View > back", [] { form().scritem[3].choose(); }},
        {"View > table", [] { form().scritem[1].choose(); }},
        {"table tab", [] { clickTab(1); }},
    };
    for (const auto& [way, leave] : ways) {
        answers.answerNext(platform::vbCancel);
        leave();
        expectAskedOnce(way);
        ASSERT_TRUE(form().isLoaded()) << way;
        EXPECT_EQ(form().Entry_CardView, -1) << way;
        EXPECT_EQ(form().Tab1.selectedIndex(), 1) << way;
        EXPECT_EQ(form().Text1[1].text(), "二") << way;
        EXPECT_EQ(form().Text1[7].text(), "Chiyoda 1-1") << way;
        EXPECT_EQ(model::runState().Cur_PerIdx, b) << way;
    }
    EXPECT_TRUE(person(b).Addr1.empty());

    // No drops the edit and goes on.
    answers.answerNext(platform::vbNo);
    click(form().CMDFUNC[6]);
    expectAskedOnce("next, No");
    EXPECT_EQ(form().Text1[1].text(), "三");
    EXPECT_EQ(model::runState().Cur_PerIdx, c);
    EXPECT_TRUE(person(b).Addr1.empty());
    EXPECT_EQ(t().Data_Changed, 0);

    // Yes registers it and goes on: the window closes.
    click(form().CMDFUNC[5]);
    ASSERT_EQ(form().Text1[1].text(), "二");
    type(form().Text1[7], "Chiyoda 1-1");
    answers.answerNext(platform::vbYes);
    click(form().CMDFUNC[4]);
    expectAskedOnce("back, Yes");
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(person(b).Addr1, "Chiyoda 1-1");
    EXPECT_EQ(person(c).Addr1, "");
    EXPECT_EQ(t().Data_Changed, 1);
}

TEST_F(LeavingTest, aNewPersonIsRegisteredByYesOrKeptWhenTheRegisterRefuses)
{
    addPerson("山田", "一");
    open();
    click(form().CMDFUNC[0]);
    // A blank new card holds nothing to register.
    closeBox();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_FALSE(form().isLoaded());

    open();
    click(form().CMDFUNC[0]);
    type(form().Text1[0], "Kawada");
    // 新規 again on the typed new card asks too, and Cancel keeps the name.
    answers.answerNext(platform::vbCancel);
    click(form().CMDFUNC[0]);
    expectAskedOnce("new on a new card, Cancel");
    EXPECT_EQ(form().Text1[0].text(), "Kawada");
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    closeBox();
    ASSERT_EQ(answers.shownTexts(),
              (std::vector<std::string>{entry::UnregisteredInputQuestion, entry::NoNameOnCardMessage}));
    answers.clearRecords();
    EXPECT_TRUE(form().isLoaded()) << "a refused register keeps the user on the card";
    EXPECT_EQ(form().Text1[0].text(), "Kawada");
    EXPECT_EQ(t().PerCount, 1);

    type(form().Text1[1], "Shin");
    answers.answerNext(platform::vbYes);
    closeBox();
    expectAskedOnce("close box, Yes");
    EXPECT_FALSE(form().isLoaded());
    ASSERT_EQ(person(2).InUse, model::SlotUsed);
    EXPECT_EQ(person(2).F_name, "Kawada");
    EXPECT_EQ(person(2).Name, "Shin");
    EXPECT_EQ(t().PerCount, 2);
}

TEST_F(LeavingTest, anotherPersonFromTheChartRegistersTheCardForItsOwnPerson)
{
    const int a = addPerson("山田", "一");
    const int b = addPerson("山田", "二");
    open();
    ASSERT_EQ(form().Text1[1].text(), "一");
    type(form().Text1[7], "Chiyoda");

    // The main window makes the clicked person current, then asks the editor.
    model::runState().Cur_PerIdx = static_cast<int16_t>(b);
    answers.answerNext(platform::vbCancel);
    form().showPersonInCard(b);
    expectAskedOnce("chart click, Cancel");
    EXPECT_EQ(form().Text1[1].text(), "一");
    EXPECT_EQ(model::runState().Cur_PerIdx, a) << "the card's person stays the current one";
    EXPECT_TRUE(person(b).Addr1.empty());

    model::runState().Cur_PerIdx = static_cast<int16_t>(b);
    model::runState().Entry_EditMode = 1;
    answers.answerNext(platform::vbYes);
    form().showPersonOnFirstTab(b);
    expectAskedOnce("face icon, Yes");
    EXPECT_EQ(person(a).Addr1, "Chiyoda");
    EXPECT_TRUE(person(b).Addr1.empty()) << "the card is never written into the clicked person";
    EXPECT_EQ(form().Text1[1].text(), "二");
    EXPECT_EQ(model::runState().Cur_PerIdx, b);
}

TEST_F(LeavingTest, aTypedNewRowAsksWhenTheWindowCloses)
{
    addPerson("山田", "一");
    open();
    form().scritem[1].choose();
    click(form().CMDFUNC[0]);
    const int r = form().tb.rows() - 1;
    QTest::keyClick(form().tb.widget(), Qt::Key_F2);
    ASSERT_TRUE(form().Text2.isVisible());
    type(form().Text2, "Kawada");

    answers.answerNext(platform::vbCancel);
    click(form().CMDFUNC[4]);
    expectAskedOnce("back, Cancel");
    ASSERT_TRUE(form().isLoaded());
    ASSERT_EQ(form().tb.rows(), r + 1);
    EXPECT_EQ(form().tb.textMatrix(r, 1), "Kawada");

    // Yes goes through the register's checks: the row has no given name.
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    form().scritem[3].choose();
    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{entry::UnregisteredInputQuestion, entry::NoNameInRowMessage}));
    answers.clearRecords();
    ASSERT_TRUE(form().isLoaded());

    answers.answerNext(platform::vbNo);
    closeBox();
    expectAskedOnce("close box, No");
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(t().PerCount, 1) << "No drops the row";
}

TEST_F(LeavingTest, tabInTheCellEditorMovesAlongTheRowAsEnterDoes)
{
    addPerson("山田", "一");
    open();
    form().scritem[1].choose();
    click(form().CMDFUNC[0]);
    const int r = form().tb.rows() - 1;
    ASSERT_EQ(form().tb.col(), 1);
    QTest::keyClick(form().tb.widget(), Qt::Key_F2);
    ASSERT_TRUE(form().Text2.isVisible());
    type(form().Text2, "Yamada");
    QTest::keyClick(form().Text2.widget(), Qt::Key_Tab);
    EXPECT_EQ(form().tb.textMatrix(r, 1), "Yamada");
    EXPECT_EQ(form().tb.col(), 2);
    EXPECT_EQ(form().activeControl(), &form().tb) << "the focus stays in the grid";

    // What is typed next goes into the next cell; Tab moves on to the next shown one.
    QTest::keyClick(form().tb.widget(), 'x');
    ASSERT_TRUE(form().Text2.isVisible());
    type(form().Text2, "yz");
    QTest::keyClick(form().Text2.widget(), Qt::Key_Tab);
    EXPECT_EQ(form().tb.textMatrix(r, 2), "xyz");
    int next = 3;
    while (form().tb.colWidth(next) == 0)
        ++next;
    EXPECT_EQ(form().tb.col(), next);

    // Shift+Tab moves back, on the grid and in the cell editor, which commits too.
    shiftTab(form().tb);
    EXPECT_EQ(form().tb.col(), 2);
    QTest::keyClick(form().tb.widget(), Qt::Key_F2);
    ASSERT_TRUE(form().Text2.isVisible());
    type(form().Text2, "w");
    const std::string typed = form().Text2.text();
    ASSERT_NE(typed, "xyz");
    shiftTab(form().Text2);
    EXPECT_EQ(form().tb.textMatrix(r, 2), typed);
    EXPECT_EQ(form().tb.col(), 1);
    EXPECT_EQ(form().activeControl(), &form().tb);
    EXPECT_TRUE(answers.shown().empty());
}

} // namespace
} // namespace entry_test
