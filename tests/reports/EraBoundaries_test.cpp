// Dates at every era boundary of the era table the program ships: a year, a month
// and a day on either side of each boundary, typed in the western and in the era
// display mode, rewritten by a change of the display mode, read for the first day an
// age counts from, and written by the CSV export with "日付を西暦で出力する". A date
// takes another form only where both forms name exactly the same days; otherwise
// it stays as written.

#include "ReportsFixture.h"

#include "model/era/EraDates.h"
#include "model/era/Nengo.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "reports/CsvExport.h"
#include "reports/reports_state.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using reports_test::ReportsFixture;

constexpr int WesternMode = 0;
constexpr int EraMode = 1;

// What a display mode makes of a date: written as `text` (a rewrite that names the
// same days, which may be the text itself), or kept as it was written.
struct Outcome {
    bool kept = false;
    std::string text;
};
Outcome as(const std::string& text) { return {false, text}; }
const Outcome Kept{true, {}};

struct Row {
    std::string written;
    Outcome western;
    Outcome era;
    std::string csv;     // the CSV export's western date
    double firstDay = 0; // the day an age counts from
};

std::string two(int n) { return platform::Format(n, 2); }

std::string westernDay(double date)
{
    return platform::Format(platform::Year(date), 4) + "/" + two(platform::Month(date)) + "/" + two(platform::Day(date));
}

class EraBoundaries : public ReportsFixture {
protected:
    void SetUp() override
    {
        ReportsFixture::SetUp();
        answers.setNow(platform::DateSerial(2024, 6, 1) + 0.5);
        home.copyProgramData();
        ASSERT_EQ(model::Load_NengoTbl(platform::appFile("\\nengo_tbl.mas")), 0);
        ASSERT_GE(model::nengo_tbl.size(), 2u);
    }

    // The rows of the boundary where the era of row `row` began and the era of row
    // `row` + 1 ended.
    static std::vector<Row> boundaryRows(size_t row)
    {
        const model::nengo_data& era = model::nengo_tbl[row];
        const model::nengo_data& before = model::nengo_tbl[row + 1];
        const double start = era.nengo_start;
        const int y = platform::Year(start);
        const int m = platform::Month(start);
        const int d = platform::Day(start);
        const std::string year = std::to_string(y);
        const std::string month = year + "/" + two(m);
        const std::string eraFirstYear = era.nengo_name + "元年";
        // The era before is never the newest, so its years take two digits.
        const std::string beforeLastYear =
            before.nengo_name + two(y - platform::Year(before.nengo_start) + 1) + "年";
        const double dayBefore = start - 1;

        std::vector<Row> rows = {
            // The year and the month the boundary lies in, and the first year and
            // month of the new era.
            {year, as(year), Kept, year, platform::DateSerial(y, 1, 1)},
            {month, as(month), d == 1 ? as(eraFirstYear + two(m) + "月") : Kept, month, platform::DateSerial(y, m, 1)},
            {eraFirstYear, Kept, as(eraFirstYear), year, start},
            {eraFirstYear + two(m) + "月", d == 1 ? as(month) : Kept, as(eraFirstYear + two(m) + "月"), month, start},
            // The last year of the era before.
            {beforeLastYear, Kept, as(beforeLastYear), year, platform::DateSerial(y, 1, 1)},
            // The day before the boundary and the boundary's first day.
            {westernDay(dayBefore), as(westernDay(dayBefore)),
             as(beforeLastYear + two(platform::Month(dayBefore)) + "月" + two(platform::Day(dayBefore)) + "日"),
             westernDay(dayBefore), dayBefore},
            {eraFirstYear + two(m) + "月" + two(d) + "日", as(westernDay(start)),
             as(eraFirstYear + two(m) + "月" + two(d) + "日"), westernDay(start), start},
        };
        // The month of the era before that holds the boundary, or when the new era
        // began on the first of a month the last month before it, which lies
        // wholly in the era before.
        const int lastMonth = d == 1 ? m - 1 : m;
        const std::string beforeMonth = beforeLastYear + two(lastMonth) + "月";
        const std::string westernMonth = year + "/" + two(lastMonth);
        const double monthStart = platform::DateSerial(y, lastMonth, 1);
        if (d == 1) {
            rows.push_back({beforeMonth, as(westernMonth), as(beforeMonth), westernMonth, monthStart});
            rows.push_back({westernMonth, as(westernMonth), as(beforeMonth), westernMonth, monthStart});
        } else {
            rows.push_back({beforeMonth, Kept, as(beforeMonth), westernMonth, monthStart});
        }
        return rows;
    }
};

TEST_F(EraBoundaries, aDateTakesAnotherFormOnlyWhereBothNameTheSameDays)
{
    std::vector<Row> rows;
    for (size_t row = 0; row + 1 < model::nengo_tbl.size(); ++row) {
        // Every boundary of the table splits a western year between two eras.
        const double start = model::nengo_tbl[row].nengo_start;
        ASSERT_FALSE(platform::Month(start) == 1 && platform::Day(start) == 1) << model::nengo_tbl[row].nengo_name;
        for (Row& r : boundaryRows(row))
            rows.push_back(std::move(r));
    }

    for (const Row& row : rows) {
        model::DatePeriod period;
        ASSERT_TRUE(model::Read_DatePeriod(row.written, period)) << row.written;
        EXPECT_EQ(period.first, row.firstDay) << row.written;

        const std::pair<int, Outcome> modes[] = {{WesternMode, row.western}, {EraMode, row.era}};
        for (const auto& [mode, outcome] : modes) {
            const std::string expected = outcome.kept ? row.written : outcome.text;
            model::settings().Dispmode_Nengo = mode;
            std::string typed;
            EXPECT_EQ(model::Conv_InputDate(row.written, typed), 0) << row.written << " typed in mode " << mode;
            EXPECT_EQ(typed, expected) << row.written << " typed in mode " << mode;

            std::string stored = row.written;
            int kept = 0;
            model::rewriteDateExactly(stored, kept);
            EXPECT_EQ(stored, expected) << row.written << " at the switch to mode " << mode;
            EXPECT_EQ(kept, outcome.kept ? 1 : 0) << row.written << " at the switch to mode " << mode;
        }
    }

    // The CSV export, once with every date as a person's birth.
    reports::CsvOutCol().fill(false);
    reports::CsvOutCol()[5] = true;
    reports::csvSettings().CsvOpt_Seireki = 1;
    std::vector<std::string> expected;
    for (const Row& row : rows) {
        addPerson("山田", "太郎", 0).B_day = row.written;
        expected.push_back(row.csv);
    }
    const std::string path = home.path() + "/dates.csv";
    ASSERT_TRUE(reports::CsvExport(path));
    const std::string text = platform::decodeCp932(platform::readWholeFile(path));
    std::vector<std::string> lines;
    for (size_t start = text.find("\r\n") + 2, at = text.find("\r\n", start); at != std::string::npos;
         start = at + 2, at = text.find("\r\n", start))
        lines.push_back(text.substr(start, at - start));
    EXPECT_EQ(lines, expected);
}

} // namespace
