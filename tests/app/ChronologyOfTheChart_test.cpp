// The chronology (年表画面) with the program's real windows reads the chart as it was
// last laid out: its family order lists the persons of the chart, each by his own
// slot, also a person the chart draws twice through a temporary copy, and its heading
// names the tree shown, none after 新.

#include "entry/InfoOne.h"
#include "layout/chart_state.h"
#include "mainwindow/MainForm.h"
#include "model/MarriageRegistration.h"
#include "model/tables.h"
#include "reports/yeartb.h"

#include "EditorsFixture.h"

#include <set>
#include <string>

namespace {

using app_test::per;

class ChronologyOfTheChart : public app_test::EditorsFixture {
protected:
    void TearDown() override
    {
        if (infoone_form().isLoaded())
            infoone_form().unload();
        if (yeartb_form().isLoaded())
            yeartb_form().unload();
        EditorsFixture::TearDown();
    }

    static void openChronology()
    {
        main_form().Command2[app_test::toolbar::Chronology].click();
        ASSERT_TRUE(yeartb_form().isLoaded());
    }

    // The order button twice: the lines by birth year, then in the chart's family order.
    static void showFamilyOrder()
    {
        YeartbForm& chronology = yeartb_form();
        chronology.CMDFUNC[2].click();
        chronology.CMDFUNC[2].click();
        ASSERT_EQ(chronology.CMDFUNC[2].caption(), reports::FamilyOrderCaption);
        ASSERT_EQ(chronology.YOrderFlag, 0);
    }
};

TEST_F(ChronologyOfTheChart, TheFamilyOrderNamesEveryPersonOfAChartWithCopiesByHisOwnSlot)
{
    // 健's second marriage, with the blank partner, becomes the start of the chart: he
    // is drawn once for each marriage, once through a temporary copy.
    const int second = model::set_kou_buf(-1, "通常", 0, 0, ken, model::BlankPartner, 1, "", 0);
    ASSERT_GT(second, 0);
    drawing::Refresh_TabDisp();
    ASSERT_EQ(layout::chart().start_kou, second);

    openChronology();
    showFamilyOrder();
    YeartbForm& chronology = yeartb_form();
    std::set<int> listed;
    for (int line = 1; line <= chronology.YFamilyCount; ++line) {
        const int person = chronology.lists.YLineByFamily[line].PerIdx;
        SCOPED_TRACE("line " + std::to_string(line) + ", slot " + std::to_string(person));
        ASSERT_TRUE(model::isUsedPerson(person)) << "every line names a person of the family";
        EXPECT_TRUE(listed.insert(person).second) << "once";
        EXPECT_EQ(chronology.Label2[line].caption(), per(person).F_name + per(person).Name);
    }
    EXPECT_EQ(listed, (std::set<int>{ken, ai, ichiro})) << "the persons of the chart, 健 among them";

    // 個人情報 on the first line shows its person.
    const int first = chronology.lists.YLineByFamily[1].PerIdx;
    chronology.CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
    ASSERT_TRUE(infoone_form().isVisible());
    EXPECT_EQ(infoone_form().Text1[0].text(), per(first).F_name);
    EXPECT_EQ(infoone_form().Text1[1].text(), per(first).Name);
}

TEST_F(ChronologyOfTheChart, AfterNewTheEmptyChronologyNamesNoTreeOfTheFamilyBefore)
{
    openChronology();
    EXPECT_EQ(yeartb_form().Label5.caption(), "　山田家年表");
    yeartb_form().CMDEND.click();

    answers.answerNext(platform::vbOK); // the family was changed: discard it
    main_form().Command2[app_test::toolbar::New].click();
    ASSERT_EQ(app_test::usedPersons(), 0);

    openChronology();
    EXPECT_EQ(yeartb_form().table.YTitle, "　");
    EXPECT_EQ(yeartb_form().Label5.caption(), "　年表");
}

} // namespace
