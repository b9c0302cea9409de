#pragma once
// Shared set-up of the chronology tests: an empty family and chart, western date
// texts, "today" fixed in 2026, families laid out as real charts, and a recording
// stand-in for the person card and the printer choice.

#include "ReportsFixture.h"

#include "LayoutFamilies.h"
#include "layout/chart_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "reports/ChronologyWindows.h"

#include <string>
#include <vector>

namespace reports_test {

// Records what the chronology window asks of the person card and the printer
// choice; the card counts as open from a showPersonCard until closePersonCard.
class RecordingChronologyWindows : public reports::ChronologyWindows {
public:
    RecordingChronologyWindows() { reports::setChronologyWindows(this); }
    ~RecordingChronologyWindows() override { reports::setChronologyWindows(nullptr); }

    bool isPersonCardOpen() const override { return cardOpen; }
    void showPersonCard(int person) override
    {
        cardOpen = true;
        cards.push_back(person);
    }
    void closePersonCard() override
    {
        cardOpen = false;
        ++closes;
    }
    void showPrinterChoice() override { ++printerChoices; }

    bool cardOpen = false;
    std::vector<int> cards;
    int closes = 0;
    int printerChoices = 0;
};

class ChronologyFixture : public ReportsFixture {
protected:
    static constexpr int ThisYear = 2026;

    void SetUp() override
    {
        layouttest::resetAll();
        ReportsFixture::SetUp();
        model::settings().Dispmode_Nengo = 0;
        answers.setNow(platform::DateSerial(ThisYear, 6, 1) + 0.5);
    }

    // Gives a person of the family builder its dates as western texts.
    static void dates(int slot, const std::string& birth, const std::string& death = "")
    {
        model::personal_data& p = model::tables().per_buf[static_cast<size_t>(slot)];
        p.B_day = birth;
        p.Death_day = death;
        p.F_name = "姓" + std::to_string(slot);
        p.Name = "名";
    }

    // Lays the family out from its start marriage and names the tabs "木0", "木1"...
    static void layOut(int16_t startKou)
    {
        layouttest::layOut(startKou);
        layout::ChartState& c = layout::chart();
        for (int tree = 0; tree < c.tree_cnt; ++tree)
            c.tab_buf[static_cast<size_t>(tree)].caption = "木" + std::to_string(tree);
    }

    static void selectTree(int tree) { layout::chart().sel_tree = static_cast<int16_t>(tree); }
    static void selectAllTrees() { selectTree(layout::chart().tree_cnt + 1); }

    // Marks the persons as the chart-person list, in the order given.
    static void chartPersons(const std::vector<int>& slots)
    {
        auto& list = layout::chart().ChartPerList;
        int row = 0;
        for (int slot : slots) {
            const model::personal_data& p = model::tables().per_buf[static_cast<size_t>(slot)];
            layout::ChartPerRec& r = list[static_cast<size_t>(++row)];
            r.Flag = 1;
            r.Name = p.F_name + p.Name;
            r.Sex = p.Sex;
            r.B_day = p.B_day;
            r.Death_day = p.Death_day;
            r.Age = p.Age;
            r.PerIdx = static_cast<int16_t>(slot);
        }
    }

    layouttest::FamilyBuilder family;
};

} // namespace reports_test
