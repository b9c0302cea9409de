#pragma once
// Shared set-up of the drawing tests: one person in slot 1 with the default
// display block, the shipped era table, and the family, document settings and
// chart state put back after every test.

#include "drawing/BoxText.h"
#include "forms/RecordingSurface.h"
#include "layout/chart_state.h"
#include "model/DispStat.h"
#include "model/era/Nengo.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace drawing_test {

constexpr int Person = 1;

class DrawingFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_tables = std::make_unique<model::Tables>(model::tables());
        m_settings = model::settings();
        m_runState = model::runState();
        m_chart = std::make_unique<layout::ChartState>(layout::chart());
        m_nengo = model::nengo_tbl;
        ASSERT_EQ(model::Load_NengoTbl(TEVORA_SHIPPED_NENGO_FILE), 0);

        model::personal_data& p = person();
        p = model::personal_data();
        p.InUse = model::SlotUsed;
        p.F_name = "山田";
        p.Name = "太郎";
        p.Zokugara = "長男";
        p.Sex = 0;
        p.Disp = model::defaultDispStat();
    }

    void TearDown() override
    {
        model::tables() = *m_tables;
        model::settings() = m_settings;
        model::runState() = m_runState;
        layout::chart() = *m_chart;
        model::nengo_tbl = m_nengo;
    }

    static model::personal_data& person() { return model::tables().per_buf[Person]; }
    static model::DispStat& disp() { return person().Disp; }

    // Shows only the given items, each with the share given, in the order given.
    static void showOnly(const std::vector<std::pair<int, double>>& items)
    {
        model::DispStat& d = disp();
        d.DSW.fill(0);
        int16_t rank = 0;
        for (const auto& [item, share] : items) {
            d.DSW[static_cast<size_t>(item)] = -1;
            d.DWidth[static_cast<size_t>(item)] = share;
            d.DRank[static_cast<size_t>(item)] = rank++;
        }
    }

    // Renders the person on a recording surface of the box's pixel size.
    static std::unique_ptr<forms::RecordingSurface> render(double w, double h,
                                                           int16_t target = drawing::BoxTarget::Chart,
                                                           int dotsPerInch = 96)
    {
        const double twipsPerPixel = 1440.0 / dotsPerInch;
        auto surface = std::make_unique<forms::RecordingSurface>(static_cast<int>(w / twipsPerPixel + 0.5),
                                                                 static_cast<int>(h / twipsPerPixel + 0.5),
                                                                 dotsPerInch);
        drawing::BoxTextCtx ctx = drawing::makeBoxTextCtx(*surface, w, h, target);
        drawing::Draw_BoxText(ctx, Person, 0, 0);
        return surface;
    }

    // The printed units in order, joined.
    static std::string printedText(const forms::RecordingSurface& surface, const char* call = "Print")
    {
        std::string text;
        for (const auto& c : surface.callsNamed(call))
            text += c.text;
        return text;
    }

    static std::vector<std::string> printedUnits(const forms::RecordingSurface& surface)
    {
        std::vector<std::string> units;
        for (const auto& c : surface.callsNamed("Print"))
            units.push_back(c.text);
        return units;
    }

private:
    std::unique_ptr<model::Tables> m_tables;
    model::Settings m_settings;
    model::RunState m_runState;
    std::unique_ptr<layout::ChartState> m_chart;
    std::vector<model::nengo_data> m_nengo;
};

// A horizontal box of 66 x 33 pixels and its vertical counterpart.
constexpr double WideW = 990;
constexpr double WideH = 495;

} // namespace drawing_test
