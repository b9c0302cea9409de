#pragma once
// Shared set-up of the era tests: a private folder for era files, a scripted
// clock, and the era table and date display mode put back after every test.

#include "model/era/EraDates.h"
#include "model/era/Nengo.h"
#include "model/settings.h"
#include "platform/Conversions.h"
#include "platform/TextFile.h"
#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace era_test {

// The two eras most examples use: 平成 from 1989-01-08 after 昭和 from 1926-12-25.
inline const std::vector<std::string> HeiseiShowa = {
    "1989/01/08 平成 H",
    "1926/12/25 昭和 S",
};

class EraFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedTable = model::nengo_tbl;
        m_savedMode = model::settings().Dispmode_Nengo;
        // "Today" is 2024-06-01 noon for every test.
        m_answers.setNow(platform::DateSerial(2024, 6, 1) + 0.5);
        setMode(1);
    }

    void TearDown() override
    {
        model::nengo_tbl = m_savedTable;
        model::settings().Dispmode_Nengo = m_savedMode;
    }

    // Writes lines as an era file (cp932, CR LF) and returns its path.
    std::string writeEraFile(const std::vector<std::string>& lines, const std::string& name = "nengo_tbl.mas")
    {
        const std::string path = m_home.path() + "/" + name;
        platform::TextOutputFile file(path, platform::TextOutputFile::Mode::Output);
        for (const std::string& line : lines)
            file.printLine(line);
        file.close();
        return path;
    }

    void loadTable(const std::vector<std::string>& lines)
    {
        ASSERT_EQ(model::Load_NengoTbl(writeEraFile(lines)), 0);
    }

    void loadShippedTable() { ASSERT_EQ(model::Load_NengoTbl(TEVORA_SHIPPED_NENGO_FILE), 0); }

    static void setMode(int mode) { model::settings().Dispmode_Nengo = mode; }

    TempHome m_home;
    ScriptedResponder m_answers;

private:
    std::vector<model::nengo_data> m_savedTable;
    int32_t m_savedMode = 1;
};

} // namespace era_test
