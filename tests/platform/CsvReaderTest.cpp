// The CSV record reader: splitting lines into fields and reading records that span
// several lines, with the reader settings the import window can change.

#include "platform/CsvReader.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <memory>

namespace platform {
namespace {

class CsvReaderTest : public ::testing::Test {
protected:
    CsvReaderTest() { InitCsvParser(); }
    ~CsvReaderTest() override { InitCsvParser(); }

    // Writes UTF-8 text as a cp932 file and opens it.
    platform::TextInputFile& open(const std::string& utf8Text)
    {
        const std::string path = home.path() + "/input.csv";
        platform::writeWholeFile(path, platform::encodeCp932(utf8Text));
        file = std::make_unique<platform::TextInputFile>(path);
        return *file;
    }

    struct Record {
        int result;
        int lastIndex;
        std::vector<std::string> fields; // 0..lastIndex
    };

    // Every record of the file, read one after another from position 1.
    std::vector<Record> readAll(const std::string& utf8Text, size_t fieldCount = 257)
    {
        platform::TextInputFile& f = open(utf8Text);
        std::vector<Record> records;
        std::vector<std::string> fields(fieldCount, "stale");
        int64_t position = 1;
        for (int guard = 0; guard < 100; ++guard) {
            int lastIndex = 99;
            const int result = ReadCsvRecord(f, position, fields, lastIndex);
            Record r{result, lastIndex, {}};
            for (int i = 0; i <= lastIndex; ++i)
                r.fields.push_back(fields[i]);
            for (size_t i = static_cast<size_t>(lastIndex + 1); i < fields.size(); ++i)
                EXPECT_EQ(fields[i], "") << "field " << i << " beyond the record";
            records.push_back(r);
            if (result != CsvMoreRecords)
                break;
        }
        return records;
    }

    static std::vector<std::string> split(const std::string& line, int state = CsvLineComplete,
                                          int* result = nullptr)
    {
        std::vector<std::string> fields(10);
        int index = 0;
        const int r = SplitCsvLine(line, fields, index, state);
        if (result)
            *result = r;
        fields.resize(static_cast<size_t>(index + 1));
        return fields;
    }

    TempHome home;
    std::unique_ptr<platform::TextInputFile> file;
};

using Fields = std::vector<std::string>;

TEST_F(CsvReaderTest, QuotedMiddleFieldKeepsItsComma)
{
    const auto records = readAll("山田,\"太郎,次郎\",男\r\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].result, CsvLastRecord);
    EXPECT_EQ(records[0].lastIndex, 2);
    EXPECT_EQ(records[0].fields, (Fields{"山田", "太郎,次郎", "男"}));

    const auto two = readAll("a,\"b,c\",d\r\ne\r\n");
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].result, CsvMoreRecords);
    EXPECT_EQ(two[0].fields, (Fields{"a", "b,c", "d"}));
    EXPECT_EQ(two[1].result, CsvLastRecord);
    EXPECT_EQ(two[1].fields, (Fields{"e"}));
}

struct SplitCase {
    const char* description;
    std::string delim, quote, escape, lineCode;
    std::string line;
    Fields expected;
    int expectedResult;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.description; }

class SplitCsvLineTest : public CsvReaderTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(SplitCsvLineTest, SplitsByTheSettings)
{
    const SplitCase& c = GetParam();
    CsvSettings& s = csvSettings();
    s.CsvDelim = c.delim;
    s.CsvQuote = c.quote;
    s.CsvEscCode = c.escape;
    s.CsvLineCode = c.lineCode;
    int result = -9;
    EXPECT_EQ(split(c.line, CsvLineComplete, &result), c.expected);
    EXPECT_EQ(result, c.expectedResult);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SplitCsvLineTest,
    ::testing::Values(
        SplitCase{"trailing_delimiter", ",", "\"", "", "", "a,b,", {"a", "b", ""}, 0},
        SplitCase{"empty_line", ",", "\"", "", "", "", {""}, 0},
        SplitCase{"doubled_quote", ",", "\"", "", "", "\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}, 0},
        SplitCase{"empty_quoted", ",", "\"", "", "", "a,\"\",b", {"a", "", "b"}, 0},
        SplitCase{"quote_opens_mid_field", ",", "\"", "", "", "ab\"c,d\"e", {"abc,de"}, 0},
        SplitCase{"escaped_comma", ",", "\"", "\\", "", "a\\,b,c", {"a,b", "c"}, 0},
        SplitCase{"escaped_quote", ",", "\"", "\\", "", "a\\\"b", {"a\"b"}, 0},
        SplitCase{"lone_escape_at_end_kept", ",", "\"", "\\", "", "a,b\\", {"a", "b\\"}, 0},
        SplitCase{"line_code_outside_quotes", ",", "\"", "", "<br>", "a<br>b,c",
                  {"a\r\nb", "c"}, 0},
        SplitCase{"line_code_inside_quotes", ",", "\"", "", " <br> ", "\"a<br>b\"", {"a\r\nb"}, 0},
        SplitCase{"blank_quote_switches_quoting_off", ",", "  ", "", "", "\"a,b\"",
                  {"\"a", "b\""}, 0},
        SplitCase{"two_char_delimiter_never_matches", ";;", "\"", "", "", "a;;b,c", {"a;;b,c"}, 0},
        SplitCase{"empty_delimiter_means_comma", "", "\"", "", "", "a,b", {"a", "b"}, 0},
        SplitCase{"tab_delimiter", "\t", "\"", "", "", "a\tb c", {"a", "b c"}, 0},
        SplitCase{"wide_delimiter", "、", "\"", "", "", "甲、乙", {"甲", "乙"}, 0},
        SplitCase{"delimiter_before_quote", ",", ",", "", "", "a,b", {"a", "b"}, 0},
        SplitCase{"quote_before_escape", ",", "'", "'", "", "'a,b'", {"a,b"}, 0},
        SplitCase{"open_quote_at_end", ",", "\"", "", "", "a,\"b", {"a", "b\r\n"}, 2}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.description; });

TEST_F(CsvReaderTest, ContinuationLineKeepsTheQuoteOpen)
{
    int result = -9;
    EXPECT_EQ(split("x\",y", CsvQuoteOpen, &result), (Fields{"x", "y"}));
    EXPECT_EQ(result, CsvLineComplete);
    EXPECT_EQ(split("x,y", CsvQuoteOpen, &result), (Fields{"x,y\r\n"}));
    EXPECT_EQ(result, CsvQuoteOpen);
}

TEST_F(CsvReaderTest, QuotedValueOverTwoLinesBecomesOneField)
{
    const auto records = readAll("1,\"first\r\nsecond\",3\r\n4,5\r\n");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].result, CsvMoreRecords);
    EXPECT_EQ(records[0].lastIndex, 2);
    EXPECT_EQ(records[0].fields, (Fields{"1", "first\r\nsecond", "3"}));
    EXPECT_EQ(records[1].fields, (Fields{"4", "5"}));
    EXPECT_EQ(records[1].result, CsvLastRecord);
}

TEST_F(CsvReaderTest, QuotedValueOverThreeLines)
{
    const auto records = readAll("\"a\r\n\r\nb,c\"\r\n");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].fields, (Fields{"a\r\n\r\nb,c"}));
    EXPECT_EQ(records[0].result, CsvLastRecord);
}

TEST_F(CsvReaderTest, QuoteLeftOpenAtTheEndOfTheFile)
{
    const auto records = readAll("a,\"b\r\nc");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].result, CsvLastRecord);
    EXPECT_EQ(records[0].fields, (Fields{"a", "b\r\nc\r\n"}));
}

TEST_F(CsvReaderTest, LineEndsAreCrLfLoneCrOrLoneLf)
{
    const auto records = readAll("a\rb\nc\r\nd");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].fields, (Fields{"a"}));
    EXPECT_EQ(records[1].fields, (Fields{"b"}));
    EXPECT_EQ(records[2].fields, (Fields{"c"}));
    EXPECT_EQ(records[3].fields, (Fields{"d"}));
    EXPECT_EQ(records[3].result, CsvLastRecord);
}

// A quoted value that spans lines keeps the line ends the file has there.
TEST_F(CsvReaderTest, QuotedValueKeepsItsOwnLineEnds)
{
    const auto records = readAll("\"a\nb\rc\r\nd\",e\nf");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].fields, (Fields{"a\nb\rc\r\nd", "e"}));
    EXPECT_EQ(records[1].fields, (Fields{"f"}));
}

TEST_F(CsvReaderTest, AtTheEndOfTheFileNothingIsRead)
{
    platform::TextInputFile& f = open("a,b\r\n");
    std::vector<std::string> fields(5, "stale");
    int64_t position = 1;
    int lastIndex = 0;
    ASSERT_EQ(ReadCsvRecord(f, position, fields, lastIndex), CsvLastRecord);
    const int64_t end = position;

    EXPECT_EQ(ReadCsvRecord(f, position, fields, lastIndex), CsvNoRecord);
    EXPECT_EQ(lastIndex, -1);
    EXPECT_EQ(position, end);
    EXPECT_EQ(fields, Fields(5, ""));
}

TEST_F(CsvReaderTest, EmptyFileGivesNoRecord)
{
    const auto records = readAll("");
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].result, CsvNoRecord);
    EXPECT_EQ(records[0].lastIndex, -1);
}

TEST_F(CsvReaderTest, RecordsComeOneAfterAnotherNoneTwiceNoneSkipped)
{
    const auto records = readAll("名前,年\r\n\"長い\r\n値\",1\r\n\r\n最後,2\r\n");
    ASSERT_EQ(records.size(), 4u);
    EXPECT_EQ(records[0].fields, (Fields{"名前", "年"}));
    EXPECT_EQ(records[1].fields, (Fields{"長い\r\n値", "1"}));
    EXPECT_EQ(records[2].fields, (Fields{""}));
    EXPECT_EQ(records[2].lastIndex, 0);
    EXPECT_EQ(records[3].fields, (Fields{"最後", "2"}));
    EXPECT_EQ(records[3].result, CsvLastRecord);
}

TEST_F(CsvReaderTest, RecordWithMoreFieldsThanTheArrayIsAnError)
{
    platform::TextInputFile& f = open("a,b,c,d\r\n");
    std::vector<std::string> fields(3);
    int64_t position = 1;
    int lastIndex = 0;
    try {
        ReadCsvRecord(f, position, fields, lastIndex);
        FAIL() << "no error for a fourth field";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number, 9);
    }
    EXPECT_EQ(fields, (Fields{"a", "b", "c"}));
}

TEST_F(CsvReaderTest, TrailingDelimiterOnTheLastAllowedFieldFitsTheArray)
{
    // "a,b," has three fields, the last one empty and never stored.
    const auto records = readAll("a,b,\r\n", 3);
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].lastIndex, 2);
    EXPECT_EQ(records[0].fields, (Fields{"a", "b", ""}));
}

TEST_F(CsvReaderTest, TrailingDelimiterPastTheArrayIsAnError)
{
    // The empty field after the last delimiter would be reported as field 2 of an
    // array that ends at 1.
    platform::TextInputFile& f = open("a,b,\r\n");
    std::vector<std::string> fields(2);
    int64_t position = 1;
    int lastIndex = 0;
    try {
        ReadCsvRecord(f, position, fields, lastIndex);
        FAIL() << "no error for a third field";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number, 9);
    }
}

TEST_F(CsvReaderTest, ChangedSettingsApplyToLaterReadsUntilReset)
{
    csvSettings().CsvDelim = ";";
    EXPECT_EQ(split("a;b,c"), (Fields{"a", "b,c"}));
    InitCsvParser();
    EXPECT_EQ(csvSettings().CsvDelim, ",");
    EXPECT_EQ(csvSettings().CsvQuote, "\"");
    EXPECT_EQ(csvSettings().CsvEscCode, "");
    EXPECT_EQ(csvSettings().CsvLineCode, "");
    EXPECT_EQ(split("a;b,c"), (Fields{"a;b", "c"}));
}

} // namespace
} // namespace platform
