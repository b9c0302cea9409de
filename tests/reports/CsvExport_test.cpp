// CSV export: the title line and the lines written for the column choices and
// options, the quoting of values, the line breaks of the address and remark columns, the bytes of the file, and the failures
// (text cp932 cannot hold, a file that cannot be written) that must leave an
// earlier file as it was.

#include "ReportsFixture.h"

#include "model/era/Nengo.h"
#include "platform/AppPath.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/TextFile.h"
#include "reports/CsvExport.h"
#include "reports/reports_state.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

using reports_test::ReportsFixture;

class CsvExportTest : public ReportsFixture {
protected:
    std::string exportPath() const { return home.path() + "/out.csv"; }

    // Exports and returns the persons' lines: the file decoded, split at CR LF,
    // without its title line (the last, empty part after the final CR LF dropped).
    std::vector<std::string> exportLines()
    {
        std::vector<std::string> lines = exportFileLines();
        EXPECT_FALSE(lines.empty()) << "no title line";
        if (!lines.empty())
            lines.erase(lines.begin());
        return lines;
    }

    // Every line of the exported file, the title line first.
    std::vector<std::string> exportFileLines()
    {
        EXPECT_TRUE(reports::CsvExport(exportPath()));
        const std::string text = platform::decodeCp932(platform::readWholeFile(exportPath()));
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", start)) {
            lines.push_back(text.substr(start, at - start));
            start = at + 2;
        }
        EXPECT_EQ(start, text.size()) << "the file does not end with CR LF";
        return lines;
    }

    void columnsOnly(std::initializer_list<int> columns)
    {
        auto& on = reports::CsvOutCol();
        on.fill(false);
        for (int column : columns)
            on[column] = true;
    }

    reports::CsvSettings& options() { return reports::csvSettings(); }
};

TEST_F(CsvExportTest, DefaultColumnsGiveATitleLineThenNameSexAndBirthWithoutQuotes)
{
    auto& a = addPerson("山田", "太郎", 0);
    a.B_day = "昭和10年01月02日";
    a.Death_day = "平成01年01月08日";
    addPerson("山田", "花子", 1).B_day = "";
    EXPECT_EQ(exportFileLines(), (std::vector<std::string>{"名字,名前,男女,生年月日", "山田,太郎,男,昭和10年01月02日",
                                                           "山田,花子,女,"}));
}

TEST_F(CsvExportTest, FileIsCp932WithCrLf)
{
    addPerson("山田", "太郎", 0).B_day = "1935/01/02";
    ASSERT_TRUE(reports::CsvExport(exportPath()));
    EXPECT_EQ(platform::readWholeFile(exportPath()),
              platform::encodeCp932("名字,名前,男女,生年月日\r\n山田,太郎,男,1935/01/02") + "\r\n");
}

// The title line names the written columns in the order of the data, the one-name
// column like its value, quoted like the values.
TEST_F(CsvExportTest, TitleLineFollowsTheColumnsAndOptions)
{
    addPerson("山田", "太郎", 0);
    columnsOnly({2, 7, 17, 19});
    EXPECT_EQ(exportFileLines().front(), "名前,年齢,続柄,戒名");
    options().CsvOpt_OneName = 1;
    EXPECT_EQ(exportFileLines().front(), " 名前,年齢,続柄,戒名");
    columnsOnly({1, 2});
    options().CsvOpt_Quote = 1;
    EXPECT_EQ(exportFileLines().front(), "\"名字 名前\"");
}

TEST_F(CsvExportTest, PersonsGoOutInSlotOrderAndFreeSlotsLeaveNoLine)
{
    addPerson("甲", "一", 0);
    auto& freed = addPerson("乙", "二", 0);
    addPerson("丙", "三", 1);
    freed.InUse = model::SlotFree;
    columnsOnly({2});
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"一", "三"}));
}

TEST_F(CsvExportTest, NamesAreTrimmedButOtherColumnsAreNot)
{
    auto& p = addPerson("  山田 ", " 太郎", 0);
    p.Old_name = " 佐藤 ";
    columnsOnly({1, 2, 3});
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"山田,太郎, 佐藤 "}));
}

TEST_F(CsvExportTest, EveryColumnInOrder)
{
    auto& p = addPerson("山田", "花子", 1);
    p.Old_name = "佐藤";
    p.B_day = "b";
    p.Death_day = "d";
    p.Age = 42;
    p.YubinNo = "100-0001";
    p.Addr1 = "a1";
    p.Addr2 = "a2";
    p.TelNo = "tel";
    p.FaxNo = "fax";
    p.KeiNo = "kei";
    p.E_mail = "m@x";
    p.Biko = "biko";
    p.GrpName = "grp";
    p.Zokugara = "長女";
    p.ZokugaraK = "妻";
    p.Kaimyo = "戒";
    reports::CsvOutCol().fill(true);
    EXPECT_EQ(exportLines(), (std::vector<std::string>{
                                 "山田,花子,佐藤,女,b,d,42,100-0001,a1,a2,tel,fax,kei,m@x,biko,grp,長女,妻,戒"}));
}

TEST_F(CsvExportTest, QuoteOptionQuotesEveryValueDoublingQuotesInside)
{
    auto& p = addPerson("山\"田", "太郎", 0);
    p.Age = 7;
    p.Addr1 = "東京都,千代田区";
    p.Biko = "\"あ\"";
    columnsOnly({1, 7, 9, 15});
    options().CsvOpt_Quote = 1;
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"\"山\"\"田\",\"7\",\"東京都,千代田区\",\"\"\"あ\"\"\""}));
}

// Without the quote option only a value holding a comma, a quote or a line break is
// quoted, in every column; every other value goes out exactly as before.
TEST_F(CsvExportTest, WithoutQuotesOnlyValuesThatNeedItAreQuoted)
{
    auto& p = addPerson("山田", "太郎", 0);
    p.Addr1 = "a,1";
    p.Addr2 = "a2";
    p.Biko = "b\"c";
    p.TelNo = "03,1234";
    p.Zokugara = "長男,跡取り";
    p.Kaimyo = "x\ry";
    columnsOnly({1, 9, 10, 11, 15, 17, 19});
    EXPECT_EQ(exportLines(),
              (std::vector<std::string>{"山田,\"a,1\",a2,\"03,1234\",\"b\"\"c\",\"長男,跡取り\",\"x\ry\""}));
}

// "日付を西暦で出力する": a date goes out as the western year, month or day it lies
// in, with its precision; what is no date goes out as stored.
TEST_F(CsvExportTest, WesternDateOptionWritesTheWesternYearMonthOrDayOfEveryDate)
{
    struct Row {
        const char* stored;
        const char* western;
    };
    home.copyProgramData();
    ASSERT_EQ(model::Load_NengoTbl(platform::appFile("\\nengo_tbl.mas")), 0);
    const std::vector<Row> rows = {{"昭和05年03月04日", "1930/03/04"}, {"昭和25年03月", "1950/03"},
                                   {"昭和25年", "1950"},             {"不詳", "不詳"},
                                   {"1950年頃", "1950年頃"},          {"", ""},
                                   {"平成元年", "1989"},             {"平成元年01月", "1989/01"}};
    for (const Row& row : rows)
        addPerson("山田", row.stored, 0).B_day = row.stored;
    columnsOnly({5});
    std::vector<std::string> asStored;
    std::vector<std::string> western;
    for (const Row& row : rows) {
        asStored.push_back(row.stored);
        western.push_back(row.western);
    }
    EXPECT_EQ(exportLines(), asStored);
    options().CsvOpt_Seireki = 1;
    EXPECT_EQ(exportLines(), western);
}

TEST_F(CsvExportTest, OneNameColumnJoinsTheNamesAndStaysWhenBothAreOff)
{
    addPerson(" 山田", "太郎 ", 0);
    options().CsvOpt_OneName = 1;
    columnsOnly({1, 2, 4});
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"山田 太郎,男"}));
    columnsOnly({4});
    EXPECT_EQ(exportLines(), (std::vector<std::string>{" ,男"}));
    columnsOnly({2});
    options().CsvOpt_Quote = 1;
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"\" 太郎\""}));
}

TEST_F(CsvExportTest, PersonWithNoColumnStillGivesAnEmptyLine)
{
    addPerson("山田", "太郎", 0);
    addPerson("山田", "花子", 1);
    columnsOnly({});
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"", ""}));
}

TEST_F(CsvExportTest, OutFlagOptionWritesOnlyMarkedPersons)
{
    addPerson("甲", "一", 0);
    addPerson("乙", "二", 0).CsvOutFlag = 1;
    columnsOnly({2});
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"一", "二"}));
    options().CsvOpt_OutFlag = 1;
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"二"}));
}

TEST_F(CsvExportTest, OutFlagOptionWithNobodyMarkedGivesTheTitleLineAlone)
{
    addPerson("甲", "一", 0);
    options().CsvOpt_OutFlag = 1;
    ASSERT_TRUE(reports::CsvExport(exportPath()));
    EXPECT_EQ(platform::readWholeFile(exportPath()), platform::encodeCp932("名字,名前,男女,生年月日\r\n"));
}

TEST_F(CsvExportTest, MultiLineRemarksWithQuotesComeBackAsOneFieldThroughTheReader)
{
    auto& p = addPerson("山田", "太郎", 0);
    p.Biko = "一行目\n\n二行目";   // the person editor's form of a line break
    columnsOnly({1, 15, 4});
    options().CsvOpt_Quote = 1;
    EXPECT_EQ(exportLines(), (std::vector<std::string>{"\"山田\",\"男\",\"一行目", "二行目\""}));

    platform::TextInputFile in(exportPath());
    std::string title;
    ASSERT_TRUE(in.readLine(title));
    int64_t position = in.position();
    std::vector<std::string> fields(257);
    int last = -1;
    EXPECT_EQ(reports::ReadCsvRecord(in, position, fields, last), reports::CsvLastRecord);
    EXPECT_EQ(last, 2);
    EXPECT_EQ(fields[0], "山田");
    EXPECT_EQ(fields[1], "男");
    EXPECT_EQ(fields[2], "一行目\r\n二行目");
}

TEST_F(CsvExportTest, ExportChangesNothingInTheFamily)
{
    addPerson("山田", "太郎", 0).Biko = "a\r\nb";
    model::tables().Data_Changed = 0;
    const auto before = std::make_unique<model::Tables>(model::tables());
    reports::CsvOutCol().fill(true);
    ASSERT_TRUE(reports::CsvExport(exportPath()));
    EXPECT_EQ(model::tables().Data_Changed, 0);
    EXPECT_TRUE(model::tables().per_buf == before->per_buf);
}

// Text cp932 cannot hold is refused with a message naming the person and the
// character; nothing is written and an earlier file stays whole.
TEST_F(CsvExportTest, UnencodableTextIsRefusedAndTheEarlierFileStays)
{
    platform::writeWholeFile(exportPath(), "sentinel");
    addPerson("山田", "太郎", 0);
    addPerson("𠮷野", "花子", 1);
    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(reports::CsvExport(exportPath()));
    ASSERT_EQ(answers.shown().size(), 1u);
    const std::string& text = answers.shown()[0].text;
    EXPECT_EQ(text.rfind(reports::CsvWriteFailedMessage, 0), 0u) << text;
    EXPECT_NE(text.find("𠮷野 花子"), std::string::npos) << text;
    EXPECT_NE(text.find("「𠮷」"), std::string::npos) << text;
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(platform::readWholeFile(exportPath()), "sentinel");
}

TEST_F(CsvExportTest, UnwritableFileShowsTheWriteMessageWithTheFileAndWhy)
{
    addPerson("山田", "太郎", 0);
    answers.answerNext(platform::vbOK);
    const std::string path = home.path() + "/no such folder/out.csv";
    EXPECT_FALSE(reports::CsvExport(path));
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text,
              std::string(reports::CsvWriteFailedMessage) + "\r\n" + path + "\r\n（フォルダーがありません）");
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(answers.shown()[0].title, platform::AppTitle);
}

// EncodeCsvString under each combination of the two options that change it.
struct EncodeCase {
    const char* name;
    std::string text;
    int16_t crLfEsc;
    int16_t quote;
    std::string expected;
};

std::ostream& operator<<(std::ostream& os, const EncodeCase& c) { return os << c.name; }

class EncodeCsvStringTest : public ::testing::TestWithParam<EncodeCase> {
protected:
    void SetUp() override { reports::InitCsvParser(); }
    void TearDown() override { reports::InitCsvParser(); }
};

TEST_P(EncodeCsvStringTest, Escapes)
{
    const EncodeCase& c = GetParam();
    reports::csvSettings().CsvOpt_CrLfEsc = c.crLfEsc;
    reports::csvSettings().CsvOpt_Quote = c.quote;
    EXPECT_EQ(reports::EncodeCsvString(c.text), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeCsvStringTest,
    ::testing::Values(
        EncodeCase{"Empty", "", 1, 1, ""},
        EncodeCase{"PlainTextUnchanged", "東京都 港区", 0, 0, "東京都 港区"},
        EncodeCase{"CrLfBecomesBackslashN", "a\r\nb", 1, 0, "a\\nb"},
        EncodeCase{"LfPairBecomesBackslashN", "a\n\nb", 1, 0, "a\\nb"},
        EncodeCase{"CrLfKeptAsCrLf", "a\r\nb", 0, 0, "a\r\nb"},
        EncodeCase{"LfPairBecomesCrLf", "a\n\nb", 0, 1, "a\r\nb"},
        EncodeCase{"LoneLfDropped", "a\nb", 1, 0, "ab"},
        EncodeCase{"LoneCrDropped", "a\rb", 0, 0, "ab"},
        EncodeCase{"TrailingBreakDropped", "a\r", 1, 0, "a"},
        EncodeCase{"TwoBreaks", "a\r\n\r\nb", 1, 0, "a\\n\\nb"},
        EncodeCase{"BackslashDoubledWithEscapedBreaks", "c:\\x", 1, 0, "c:\\\\x"},
        EncodeCase{"BackslashSingleOtherwise", "c:\\x", 0, 0, "c:\\x"},
        // Commas and quotes are left to the quoting of the whole value.
        EncodeCase{"CommaPlainWithoutQuotes", "a,b", 0, 0, "a,b"},
        EncodeCase{"CommaPlainWithQuotes", "a,b", 0, 1, "a,b"},
        EncodeCase{"QuotePlainWithQuotes", "say \"hi\"", 0, 1, "say \"hi\""},
        EncodeCase{"QuotePlainWithoutQuotes", "say \"hi\"", 0, 0, "say \"hi\""},
        EncodeCase{"CrThenBackslashClearsMark", "a\r\\\nb", 1, 0, "a\\\\b"},
        EncodeCase{"MultiByteTextUntouched", "表\\示", 0, 0, "表\\示"}),
    [](const ::testing::TestParamInfo<EncodeCase>& info) { return std::string(info.param.name); });

} // namespace
