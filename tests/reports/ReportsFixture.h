#pragma once
// A fresh program folder, scripted message boxes and an empty family with the
// start-up defaults (export columns 1, 2, 4, 5; reader settings and export options
// reset), for the tests of the reports.

#include "document/InitAllSetting.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "reports/csv/CsvReader.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace reports_test {

class ReportsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The export columns 0 and 15..20 outlive a new family; each test starts
        // from the program's start instead, whatever an earlier test chose.
        model::settings() = model::Settings();
        model::runState() = model::RunState();
        model::InitAllSetting();
        reports::InitCsvParser();
    }

    // A person in the next free slot from 1 upwards.
    model::personal_data& addPerson(const std::string& familyName, const std::string& givenName, int16_t sex)
    {
        model::Tables& t = model::tables();
        for (int slot = 1; slot <= model::LastPersonSlot; ++slot) {
            if (t.per_buf[slot].InUse == model::SlotUsed)
                continue;
            model::personal_data& p = t.per_buf[slot];
            p.InUse = model::SlotUsed;
            p.F_name = familyName;
            p.Name = givenName;
            p.Sex = sex;
            ++t.PerCount;
            return p;
        }
        throw std::logic_error("person table full");
    }

    TempHome home;
    support::ScriptedResponder answers;
};

} // namespace reports_test
