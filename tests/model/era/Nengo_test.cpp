// The era file reader and the shipped era table.

#include "EraFixture.h"

#include "platform/Cp932.h"
#include "platform/FileSystem.h"

#include <ostream>
#include <set>

namespace {

using era_test::EraFixture;
using era_test::HeiseiShowa;
using model::nengo_tbl;
using platform::DateSerial;

class LoadNengoTbl : public EraFixture {};

TEST_F(LoadNengoTbl, ReadsStartNameAndBlankPaddedCode)
{
    loadTable({"  1989/01/08   平成   H  ", "", "   ", "1926/12/25 昭和 S", "2000/01/01 長名 ABCDEFG",
               "1864/03/27 元治"});
    ASSERT_EQ(nengo_tbl.size(), 4u);
    EXPECT_EQ(nengo_tbl[0].nengo_name, "平成");
    EXPECT_EQ(nengo_tbl[0].nengo_code, "H    ");
    EXPECT_EQ(nengo_tbl[0].nengo_start, DateSerial(1989, 1, 8));
    EXPECT_EQ(nengo_tbl[1].nengo_name, "昭和");
    EXPECT_EQ(nengo_tbl[1].nengo_start, DateSerial(1926, 12, 25));
    EXPECT_EQ(nengo_tbl[2].nengo_code, "ABCDE") << "only five characters of the code count";
    EXPECT_EQ(nengo_tbl[3].nengo_code, "     ") << "an era without a letter code";
}

TEST_F(LoadNengoTbl, MissingFileLeavesTableAsItWas)
{
    loadTable(HeiseiShowa);
    EXPECT_EQ(model::Load_NengoTbl(m_home.path() + "/no_such_file.mas"), -1);
    ASSERT_EQ(nengo_tbl.size(), 2u);
    EXPECT_EQ(nengo_tbl[1].nengo_name, "昭和");
}

TEST_F(LoadNengoTbl, ReadingAgainReplacesTheTable)
{
    loadTable(HeiseiShowa);
    loadTable({"2019/05/01 令和 R"});
    ASSERT_EQ(nengo_tbl.size(), 1u);
    EXPECT_EQ(nengo_tbl[0].nengo_name, "令和");
}

struct BadLineCase {
    const char* why;
    const char* line;
};
std::ostream& operator<<(std::ostream& os, const BadLineCase& c) { return os << c.why << ": " << c.line; }

class LoadNengoTblBadLine : public EraFixture, public ::testing::WithParamInterface<BadLineCase> {};

// A failing line is reported, adds no row and ends the reading; the rows before
// it stay. No row with an empty name or a zero start date may remain, because
// such a row would claim every date before the older eras.
TEST_P(LoadNengoTblBadLine, FailsAndKeepsOnlyTheRowsBefore)
{
    const std::string path = writeEraFile({"1989/01/08 平成 H", GetParam().line, "1926/12/25 昭和 S"});
    EXPECT_EQ(model::Load_NengoTbl(path), -1);
    ASSERT_EQ(nengo_tbl.size(), 1u);
    EXPECT_EQ(nengo_tbl[0].nengo_name, "平成");

    setMode(1);
    std::string shown;
    ASSERT_EQ(model::Format_DateDisp("19500101", shown), 0);
    EXPECT_EQ(shown, "1950/01/01") << "a date before the rows read belongs to no era";
}

INSTANTIATE_TEST_SUITE_P(, LoadNengoTblBadLine,
                         ::testing::Values(BadLineCase{"date not a date", "19x9/01/08 壊 X"},
                                           BadLineCase{"no calendar day", "1989/02/30 壊 X"},
                                           BadLineCase{"start only", "1989/01/08"},
                                           BadLineCase{"short line", "1989"},
                                           BadLineCase{"name only", "平成 H"}),
                         [](const auto& info) { return std::to_string(info.index); });

class ShippedNengoTable : public EraFixture {
protected:
    void SetUp() override
    {
        EraFixture::SetUp();
        loadShippedTable();
    }

    static std::string keyOf(double serial)
    {
        return platform::Format(platform::Year(serial), 4) + platform::Format(platform::Month(serial), 2)
            + platform::Format(platform::Day(serial), 2);
    }
};

TEST_F(ShippedNengoTable, IsCp932WithCrLfOnEveryLine)
{
    const std::string bytes = platform::readWholeFile(TEVORA_SHIPPED_NENGO_FILE);
    ASSERT_FALSE(bytes.empty());
    ASSERT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << "lone LF at byte " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at byte " << i;
        }
    }
    int bad = 0;
    const std::string text = platform::decodeCp932(bytes, &bad);
    EXPECT_EQ(bad, 0);
    EXPECT_NE(text.find("令和"), std::string::npos);
}

TEST_F(ShippedNengoTable, ModernErasComeFirstWithTheirLetterCodes)
{
    struct Modern {
        const char* name;
        const char* code;
        int y, m, d;
    };
    const Modern modern[] = {
        {"令和", "R", 2019, 5, 1}, {"平成", "H", 1989, 1, 8},  {"昭和", "S", 1926, 12, 25},
        {"大正", "T", 1912, 7, 30}, {"明治", "M", 1868, 10, 23}, {"慶応", "K", 1865, 5, 1},
    };
    ASSERT_GT(nengo_tbl.size(), std::size(modern));
    for (size_t i = 0; i < std::size(modern); ++i) {
        SCOPED_TRACE(modern[i].name);
        EXPECT_EQ(nengo_tbl[i].nengo_name, modern[i].name);
        EXPECT_EQ(platform::Trim(nengo_tbl[i].nengo_code), modern[i].code);
        EXPECT_EQ(nengo_tbl[i].nengo_start, DateSerial(modern[i].y, modern[i].m, modern[i].d));
    }
}

// Era texts are produced for dates from 1516-01-01 on, so the table must reach
// back before that day, newest first, with distinct names.
TEST_F(ShippedNengoTable, IsOrderedAndCoversEveryDateTheProgramShowsAsEra)
{
    std::set<std::string> names;
    for (size_t i = 0; i < nengo_tbl.size(); ++i) {
        SCOPED_TRACE(nengo_tbl[i].nengo_name);
        EXPECT_TRUE(names.insert(nengo_tbl[i].nengo_name).second) << "duplicate era name";
        EXPECT_EQ(platform::Len(nengo_tbl[i].nengo_code), model::NengoCodeWidth);
        if (i > 0) {
            EXPECT_LT(nengo_tbl[i].nengo_start, nengo_tbl[i - 1].nengo_start);
        }
    }
    EXPECT_LE(nengo_tbl.back().nengo_start, DateSerial(1516, 1, 1));
}

// Every era boundary of the table: the first day reads as 元年 of the new era,
// the day before as the last day of the older one, and both texts go back to
// the same key through the typed-date and the stored-date readers.
TEST_F(ShippedNengoTable, EveryBoundaryRoundTrips)
{
    for (size_t i = 0; i + 1 < nengo_tbl.size(); ++i) {
        const model::nengo_data& era = nengo_tbl[i];
        SCOPED_TRACE(era.nengo_name);
        setMode(1);

        const std::string firstKey = keyOf(era.nengo_start);
        std::string firstText;
        ASSERT_EQ(model::Format_DateDisp(firstKey, firstText), 0);
        EXPECT_EQ(firstText.rfind(era.nengo_name + "元年", 0), 0u) << firstText;

        const std::string lastKey = keyOf(era.nengo_start - 1);
        std::string lastText;
        ASSERT_EQ(model::Format_DateDisp(lastKey, lastText), 0);
        EXPECT_EQ(lastText.rfind(nengo_tbl[i + 1].nengo_name, 0), 0u) << lastText;

        for (const auto& [text, key] : {std::pair{firstText, firstKey}, std::pair{lastText, lastKey}}) {
            SCOPED_TRACE(text);
            std::string back;
            EXPECT_EQ(model::Conv_DateKey(text, back), 0);
            EXPECT_EQ(back, key);
            EXPECT_EQ(model::Conv_WarekiKey(text, back), 0);
            EXPECT_EQ(back, key);
        }

        if (platform::Trim(era.nengo_code).empty())
            continue;
        setMode(2);
        std::string shortText;
        ASSERT_EQ(model::Format_DateDisp(firstKey, shortText), 0);
        std::string back;
        EXPECT_EQ(model::Conv_WarekiKey(shortText, back), 0) << shortText;
        EXPECT_EQ(back, firstKey);
    }
}

} // namespace
