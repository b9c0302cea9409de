// The CSV export options window driven headless: what it shows when it opens, what
// "クリア" and "決定" do to its boxes and to the stored choices, and that the close
// box keeps the stored choices.

#include "ReportsFixture.h"

#include "forms/Form.h"
#include "reports/CsvSet.h"
#include "reports/reports_state.h"

#include <gtest/gtest.h>

#include <array>
#include <string>

namespace {

using reports_test::ReportsFixture;

class CsvSetTest : public ReportsFixture {
protected:
    // A window left open would be reused, choices and all, by the next test.
    void TearDown() override
    {
        if (form().isLoaded())
            form().unload();
        ReportsFixture::TearDown();
    }

    CsvSetForm& form() { return csvset_form(); }

    std::array<int16_t, 5> storedOptions() const
    {
        const reports::CsvSettings& s = reports::csvSettings();
        return {s.CsvOpt_OneName, s.CsvOpt_CrLfEsc, s.CsvOpt_Quote, s.CsvOpt_Seireki, s.CsvOpt_OutFlag};
    }

    std::vector<int> tickedColumns()
    {
        std::vector<int> ticked;
        for (int column = 1; column <= 19; ++column) {
            if (form().Check2[column].value() == forms::vbChecked)
                ticked.push_back(column);
        }
        return ticked;
    }

    std::vector<int> storedColumns() const
    {
        std::vector<int> on;
        for (int column = 0; column <= 20; ++column) {
            if (reports::CsvOutCol()[column])
                on.push_back(column);
        }
        return on;
    }
};

TEST_F(CsvSetTest, OpensWithTheStoredColumnsAndOptions)
{
    reports::csvSettings().CsvOpt_Quote = 1;
    reports::csvSettings().CsvOpt_OutFlag = 1;
    form().load();
    EXPECT_EQ(form().caption(), "CSV出力項目");
    EXPECT_EQ(tickedColumns(), (std::vector<int>{1, 2, 4, 5}));
    const int expected[] = {0, 0, 1, 0, 1};
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(form().ChkCsvOStat[k].value(), expected[k]) << "option " << k;
}

TEST_F(CsvSetTest, ClearTicksOnlyTheNameColumnsAndStoresNothing)
{
    form().load();
    for (int column : {3, 7, 15, 19})
        form().Check2[column].setValue(forms::vbChecked);
    form().Check2[1].setValue(forms::vbUnchecked);
    form().ChkCsvOStat[0].setValue(forms::vbChecked);
    form().Command1.onClick();
    EXPECT_EQ(tickedColumns(), (std::vector<int>{1, 2}));
    EXPECT_EQ(form().ChkCsvOStat[0].value(), forms::vbChecked);
    EXPECT_EQ(storedColumns(), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(storedOptions(), (std::array<int16_t, 5>{0, 0, 0, 0, 0}));
}

TEST_F(CsvSetTest, DecideStoresEveryBoxAndCloses)
{
    form().load();
    form().Check2[4].setValue(forms::vbUnchecked);
    form().Check2[9].setValue(forms::vbChecked);
    form().Check2[19].setValue(forms::vbChecked);
    form().ChkCsvOStat[1].setValue(forms::vbChecked);
    form().ChkCsvOStat[3].setValue(forms::vbChecked);
    form().Command2.onClick();
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(storedColumns(), (std::vector<int>{1, 2, 5, 9, 19}));
    EXPECT_EQ(storedOptions(), (std::array<int16_t, 5>{0, 1, 0, 1, 0}));
}

TEST_F(CsvSetTest, GreyedBoxLeavesItsColumnAsItWas)
{
    form().load();
    form().Check2[1].setValue(forms::vbGrayed);
    form().Check2[3].setValue(forms::vbGrayed);
    form().ChkCsvOStat[2].setValue(forms::vbGrayed);
    form().Command2.onClick();
    EXPECT_EQ(storedColumns(), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(reports::csvSettings().CsvOpt_Quote, 1);
}

TEST_F(CsvSetTest, CloseBoxKeepsTheStoredChoices)
{
    form().load();
    form().Command1.onClick();
    form().ChkCsvOStat[2].setValue(forms::vbChecked);
    ASSERT_TRUE(form().unloadWithMode(forms::vbFormControlMenu));
    EXPECT_EQ(storedColumns(), (std::vector<int>{1, 2, 4, 5}));
    EXPECT_EQ(storedOptions(), (std::array<int16_t, 5>{0, 0, 0, 0, 0}));
}

TEST_F(CsvSetTest, ShownModallyItReturnsWhenDecided)
{
    bool shown = false;
    forms::onShown("CsvSet", [&](forms::Form&) {
        shown = true;
        form().ChkCsvOStat[0].setValue(forms::vbChecked);
        form().Command2.onClick();
    });
    form().show(forms::ShowMode::Modal);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(form().isLoaded());
    EXPECT_EQ(reports::csvSettings().CsvOpt_OneName, 1);
}

} // namespace
