// The main window's chart of a family at the limit of the person table: a further
// marriage is drawn through a copy of its person, and when the table has no room
// left for one the chart shows every marriage that fits and says, once for each
// change of the family, which it leaves out and how many persons too many there are.

#include "ChartFixture.h"

#include "drawing/ChartRebuild.h"
#include "layout/ChartTrees.h"
#include "layout/chart_state.h"

#include <deque>
#include <set>
#include <string>
#include <vector>

namespace mainwindow_test {
namespace {

class ChartLimitTest : public ChartTest {
protected:
    int persons = 0;

    int person(int sex)
    {
        ++persons;
        return model::set_per_buf(-1, "人" + std::to_string(persons), "家" + std::to_string(persons), sex, "");
    }

    static int marry(int husband, int wife) { return model::set_kou_buf(-1, "通常", 0, 0, husband, wife, 1, "", 0); }

    static void child(int kou, int person)
    {
        model::kodo_data entry;
        entry.KouIdx = static_cast<int16_t>(kou);
        entry.KodoIdx = -1;
        entry.kou_kodo = static_cast<int16_t>(person);
        entry.kou_kodo_stat = 0;
        ASSERT_GE(model::Add_Kodo(entry), 0);
    }

    // One family of `total` persons, generation after generation (three children a
    // couple, the sons married), whose first `seconds` sons marry a second time.
    // Returns those second marriages.
    std::vector<int> familyWithSecondMarriages(int total, int seconds)
    {
        std::vector<int> sons;
        std::deque<int> couples{marry(person(0), person(1))};
        while (persons < total - seconds) {
            const int kou = couples.front();
            couples.pop_front();
            for (int i = 0; i < 3 && persons < total - seconds; ++i) {
                const int c = person(i % 2);
                child(kou, c);
                if (i % 2 == 0 && persons < total - seconds) {
                    couples.push_back(marry(c, person(1)));
                    sons.push_back(c);
                }
            }
        }
        std::vector<int> seconds_;
        for (int i = 0; i < seconds; ++i)
            seconds_.push_back(marry(sons[static_cast<size_t>(i)], person(1)));
        model::tables().Data_Changed = 1;
        return seconds_;
    }

    static std::string name(int person)
    {
        const model::personal_data& p = model::tables().per_buf[static_cast<size_t>(person)];
        return p.F_name + " " + p.Name;
    }

    // The persons standing in the chart, in any of its trees, themselves or through a
    // copy.
    static std::set<int> personsOnTheChart()
    {
        std::set<int> on;
        for (int16_t tree = 0; tree < layout::chart().tree_cnt; ++tree) {
            const std::vector<bool> persons = layout::personsOnChart(tree);
            for (size_t p = 1; p < persons.size(); ++p) {
                if (persons[p])
                    on.insert(static_cast<int>(p));
            }
        }
        return on;
    }
};

TEST_F(ChartLimitTest, MarriagesBeyondTheCopiesAreLeftOutAndNamedOncePerChange)
{
    start();
    const std::vector<int> seconds = familyWithSecondMarriages(999, 25);
    const model::marry_data last = model::tables().kou_buf[static_cast<size_t>(seconds.back())];
    const std::string message = "系図に表示できない結婚があります。\r\n"
                                "2度目からの結婚では、その人をもう1人分として描きます。"
                                "人物（999人）と2度目からの結婚（25件）を合わせて1023人分までしか描けないため、"
                                "1人分多すぎます。\r\n\r\n表示していない結婚：\r\n「"
                                + name(last.kou_titi) + "」と「" + name(last.kou_haha)
                                + "」\r\n\r\nすべての結婚を表示するには、人物を1人減らしてください。";
    answers.answerNext(platform::vbOK);

    drawing::Refresh_TabDisp();

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{message});
    // Every person is on the chart but the wife of the marriage left out; the 24
    // other second marriages are drawn, each as a tree of its own, through a copy of
    // the husband.
    std::set<int> expected;
    for (int p = 1; p <= 999; ++p)
        expected.insert(p);
    expected.erase(last.kou_haha);
    EXPECT_EQ(personsOnTheChart(), expected);
    EXPECT_EQ(layout::chart().tree_cnt, 25);

    // Redrawn without a change: nothing more is said.
    drawing::Refresh_TabDisp();
    EXPECT_EQ(answers.shown().size(), 1u);

    // The family changed: the chart says it again.
    model::tables().per_buf[1].Biko = "変更";
    model::tables().Data_Changed = 1;
    answers.answerNext(platform::vbOK);
    drawing::Refresh_TabDisp();
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{message, message}));
}

} // namespace
} // namespace mainwindow_test
