// Document settings, their new-family defaults and the kept values, and the
// default display block.

#include "model/fixture/FamilyFixture.h"

#include "model/DispStat.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"

#include <algorithm>
#include <numeric>

namespace model::testing {
namespace {

using SettingsTest = FamilyFixture;

TEST_F(SettingsTest, NewFamilyDefaults)
{
    Settings& s = settings();
    s.write_state = 1;
    s.dispmode = 0;
    s.Dispmode_Death = 1;
    s.Dispmode_Nengo = 0;
    s.Dispmode_BGcolor = 255;
    s.font = "x";
    s.fontsize = 9;
    s.FileVer = "5.00";
    s.Nenpyo_SortMode = 2;
    runState().PWM_Value = 7;
    runState().DspOp_Person = 4;
    runState().CelWidth.fill(1);

    s.resetForNewFamily();
    runState().resetForNewFamily();

    EXPECT_EQ(s.filetype, "KEZ");
    EXPECT_EQ(s.FileVer, "6.00");
    EXPECT_EQ(s.font, "ＭＳ Ｐゴシック");
    EXPECT_EQ(s.fontsize, 15);
    EXPECT_EQ(s.write_state, 0);
    EXPECT_EQ(s.dispmode, 1);
    EXPECT_EQ(s.Dispmode_Death, 0);
    EXPECT_EQ(s.Dispmode_Nengo, 1);
    EXPECT_EQ(s.Dispmode_BGcolor, 16777215);
    EXPECT_EQ(s.Nenpyo_SortMode, 0);
    EXPECT_EQ(runState().PWM_Value, 2.0);
    EXPECT_EQ(runState().DspOp_Person, -1);
    EXPECT_EQ(runState().CelWidth, (std::array<int16_t, FactorCount>{200, 1000, 1000, 1000, 550, 1700, 1700,
                                                                      550, 1350, 1450, 1350, 3200, 3200, 1000,
                                                                      3100, 3100, 3100, 800, 1200, 1200, 1200}));
}

TEST_F(SettingsTest, KeptSettingsSurviveANewFamily)
{
    Settings& s = settings();
    s.Dispmode_Flip = 1;
    s.Print_Scale = 1.5f;
    s.Dispmode_Tyokei = 1;
    s.Dispmode_BGmap = 1;
    s.Array_SortMode = 2;
    s.Sort_factor = 5;
    s.Print_TateYoko = 1;
    s.Print_Allmode = 1;
    s.Print_BGmap = 1;
    s.DispFactor[16] = true;
    s.DispFactor[0] = true;
    s.DispFactor[3] = true;
    runState().CsvFactor[20] = true;
    runState().CsvFactor[6] = true;

    s.resetForNewFamily();
    runState().resetForNewFamily();

    EXPECT_EQ(s.Dispmode_Flip, 1);
    EXPECT_EQ(s.Print_Scale, 1.5f);
    EXPECT_EQ(s.Dispmode_BGmap, 1);
    EXPECT_EQ(s.Array_SortMode, 2);
    EXPECT_EQ(s.Sort_factor, 5);
    EXPECT_EQ(s.Print_TateYoko, 1);
    EXPECT_EQ(s.Print_Allmode, 1);
    EXPECT_EQ(s.Print_BGmap, 1);
    EXPECT_TRUE(s.DispFactor[16]);
    EXPECT_TRUE(s.DispFactor[0]);
    EXPECT_TRUE(runState().CsvFactor[20]);
    // Not kept:
    EXPECT_EQ(s.Dispmode_Tyokei, 0);
    EXPECT_FALSE(s.DispFactor[3]);
    EXPECT_FALSE(runState().CsvFactor[6]);
}

TEST_F(SettingsTest, ShownColumnsOfANewFamily)
{
    const Settings& s = settings();
    std::vector<int> shown, csv;
    for (int i = 1; i <= 14; ++i) {
        if (s.DispFactor[i])
            shown.push_back(i);
        if (runState().CsvFactor[i])
            csv.push_back(i);
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 4, 5, 7, 8, 11}));
    EXPECT_EQ(csv, (std::vector<int>{1, 2, 4, 5}));
}

TEST_F(SettingsTest, DefaultDisplayBlockShowsRelationshipThenName)
{
    const DispStat d = defaultDispStat();
    std::vector<int> shown;
    for (int i = 0; i < DispItemCount; ++i)
        if (d.DSW[i] == -1)
            shown.push_back(i);
    EXPECT_EQ(shown, (std::vector<int>{DispItem::Name, DispItem::Relation}));

    // Items in ascending DRank, ties in item order.
    std::vector<int> order(DispItemCount);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int x, int y) { return d.DRank[x] < d.DRank[y]; });
    EXPECT_EQ(order, (std::vector<int>{9, 1, 0, 10, 2, 3, 4, 5, 6, 7, 8}));

    EXPECT_EQ(d.DWidth[DispItem::Name] + d.DWidth[DispItem::Relation], 70.0);
    EXPECT_TRUE(std::all_of(d.DBai.begin(), d.DBai.end(), [](int16_t v) { return v == 50; }));
    EXPECT_TRUE(std::all_of(d.DStart.begin(), d.DStart.end(), [](double v) { return v == 20.0; }));
    EXPECT_EQ(d.DHLocate, (std::array<int16_t, DispItemCount>{0, 1, 0, 0, 0, 2, 2, 2, 1, 1, 0}));
    EXPECT_EQ(d.DS_FName, 1);
    EXPECT_EQ(d.DS_Houko, 0);
    EXPECT_EQ(d.DS_Waku, 1);
    EXPECT_EQ(d.DS_Visible, 1);
    EXPECT_EQ(d.DS_WakuPat, 0);
}

TEST_F(SettingsTest, InitDefDispStatRestoresTheDefaultsForNewPersons)
{
    tables().DefDispStat.DS_Houko = 1;
    tables().DefDispStat.DSW.fill(-1);
    Init_DefDispStat();
    EXPECT_EQ(tables().DefDispStat, defaultDispStat());
    const int p = addPerson("太郎", "山田", 0);
    EXPECT_EQ(tables().per_buf[p].Disp, defaultDispStat());
}

} // namespace
} // namespace model::testing
