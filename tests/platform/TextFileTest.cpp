#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

using namespace platform;

namespace {

using Lines = std::vector<std::string>;

struct LineCase {
    const char* name;
    std::string text;
    Lines lines;
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

// CR LF or a lone CR ends a line; a lone LF stays inside the line; a final
// line end does not start another line.
const LineCase kLineCases[] = {
    {"empty", "", {}},
    {"no_final_newline", "a", {"a"}},
    {"crlf", "a\r\nb\r\n", {"a", "b"}},
    {"crlf_last_unterminated", "a\r\nb", {"a", "b"}},
    {"lone_cr", "a\rb\r", {"a", "b"}},
    {"lone_lf_stays_inside", "a\nb\r\nc", {"a\nb", "c"}},
    {"only_lf", "\n", {"\n"}},
    {"empty_lines", "a\r\n\r\n\r\nb", {"a", "", "", "b"}},
    {"single_crlf", "\r\n", {""}},
    {"cr_then_crlf", "a\r\r\nb", {"a", "", "b"}},
    {"lf_then_crlf", "a\n\r\nb", {"a\n", "b"}},
    {"lf_cr", "a\n\rb", {"a\n", "b"}},
};

class LineRule : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRule, SplitLines)
{
    EXPECT_EQ(splitLines(GetParam().text), GetParam().lines);
}

TEST_P(LineRule, TextInputFileReadsTheSameLines)
{
    TempHome home;
    const std::string path = home.file("lines.txt");
    writeWholeFile(path, GetParam().text);
    TextInputFile in(path);
    Lines read;
    std::string line;
    while (in.readLine(line))
        read.push_back(line);
    EXPECT_EQ(read, GetParam().lines);
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.readLine(line));
    EXPECT_EQ(line, "");
}

INSTANTIATE_TEST_SUITE_P(Texts, LineRule, ::testing::ValuesIn(kLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

class TextFiles : public ::testing::Test {
protected:
    TempHome home;
    std::string path = home.file("data.txt");
};

TEST_F(TextFiles, LinesAreDecodedFromCp932)
{
    // 山田 CR LF ～－ CR LF 表\ (0x5C is both a trail byte of 表 and a backslash)
    writeWholeFile(path, "\x8E\x52\x93\x63\r\n\x81\x60\x81\x7C\r\n\x95\x5C\\");
    TextInputFile in(path);
    std::string line;
    ASSERT_TRUE(in.readLine(line));
    EXPECT_EQ(line, "\xE5\xB1\xB1\xE7\x94\xB0");
    ASSERT_TRUE(in.readLine(line));
    EXPECT_EQ(line, "\xEF\xBD\x9E\xEF\xBC\x8D");
    ASSERT_TRUE(in.readLine(line));
    EXPECT_EQ(line, "\xE8\xA1\xA8\\");
    EXPECT_EQ(in.badSequences(), 0);
}

TEST_F(TextFiles, PositionsAreOneBasedBytesAndSeekRereads)
{
    writeWholeFile(path, "ab\r\n\x82\xA0\x82\xA2\rxyz\r\n");
    TextInputFile in(path);
    std::vector<int64_t> starts;
    std::string line;
    Lines lines;
    starts.push_back(in.position());
    while (in.readLine(line)) {
        lines.push_back(line);
        starts.push_back(in.position());
    }
    EXPECT_EQ(starts, (std::vector<int64_t>{1, 5, 10, 15}));
    EXPECT_EQ(in.length(), 14);

    in.seek(5);
    ASSERT_TRUE(in.readLine(line));
    EXPECT_EQ(line, lines[1]);
    in.seek(1);
    ASSERT_TRUE(in.readLine(line));
    EXPECT_EQ(line, lines[0]);
    in.seek(2);
    ASSERT_TRUE(in.readLine(line));
    EXPECT_EQ(line, "b");
    in.seek(100);
    EXPECT_TRUE(in.atEnd());
    EXPECT_FALSE(in.readLine(line));
}

TEST_F(TextFiles, SeekBeforeTheStartCarriesItsNumber)
{
    writeWholeFile(path, "only\r\n");
    TextInputFile in(path);
    try {
        in.seek(0);
        ADD_FAILURE() << "seek to 0";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, 63);
    }
}

TEST_F(TextFiles, OpeningFailuresCarryTheirNumbers)
{
    struct Case {
        std::string path;
        int number;
    };
    const Case cases[] = {
        {home.file("missing.txt"), 53},
        {home.file("nofolder/missing.txt"), 76},
        {home.path(), 75},
    };
    for (const auto& c : cases) {
        try {
            TextInputFile in(c.path);
            ADD_FAILURE() << c.path << " opened";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(e.number, c.number) << c.path << ": " << e.description;
        }
    }
}

TEST_F(TextFiles, BadBytesAreReplacedAndCounted)
{
    writeWholeFile(path, "a\x80z\r\n\x82\r\n");
    TextInputFile in(path);
    std::string line;
    ASSERT_TRUE(in.readLine(line));
    EXPECT_EQ(line, "a\xEF\xBF\xBDz");
    ASSERT_TRUE(in.readLine(line));
    EXPECT_EQ(line, "\xEF\xBF\xBD");
    EXPECT_EQ(in.badSequences(), 2);
}

TEST_F(TextFiles, PrintLineWritesCp932WithCrLf)
{
    {
        TextOutputFile out(path, TextOutputFile::Mode::Output);
        out.printLine("\xE5\xB1\xB1\xE7\x94\xB0"); // 山田
        out.printLine("");
        out.print("a");
        out.printLine("\xEF\xBD\x9E"); // ～
        out.close();
    }
    EXPECT_EQ(readWholeFile(path), "\x8E\x52\x93\x63\r\n\r\na\x81\x60\r\n");

    TextOutputFile append(path, TextOutputFile::Mode::Append);
    append.printLine("y");
    append.close();
    EXPECT_EQ(readTextLines(path), (Lines{"\xE5\xB1\xB1\xE7\x94\xB0", "", "a\xEF\xBD\x9E", "y"}));
}

TEST_F(TextFiles, OutputTruncatesAnExistingFile)
{
    writeWholeFile(path, "old old old\r\n");
    TextOutputFile out(path, TextOutputFile::Mode::Output);
    out.printLine("new");
    out.close();
    EXPECT_EQ(readWholeFile(path), "new\r\n");
}

TEST_F(TextFiles, UnencodableLineIsRefusedWithoutWritingIt)
{
    TextOutputFile out(path, TextOutputFile::Mode::Output);
    out.printLine("before");
    EXPECT_THROW(out.printLine("caf\xC3\xA9"), EncodeError);
    out.close();
    EXPECT_EQ(readWholeFile(path), "before\r\n");
}

TEST_F(TextFiles, OutputIntoAMissingFolderIsPathNotFound)
{
    try {
        TextOutputFile out(home.file("nofolder/x.txt"), TextOutputFile::Mode::Output);
        ADD_FAILURE() << "opened";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, 76);
    }
}

TEST_F(TextFiles, WritingAfterCloseIsAnError)
{
    TextOutputFile out(path, TextOutputFile::Mode::Output);
    out.close();
    EXPECT_THROW(out.printLine("late"), RuntimeError);
}

TEST(TextOutputFileFailure, FullDiskIsReportedByClose)
{
    // /dev/full accepts the open and fails every write with ENOSPC.
    TextOutputFile out("/dev/full", TextOutputFile::Mode::Output);
    out.printLine("lost");
    try {
        out.close();
        ADD_FAILURE() << "the failed write was not reported";
    } catch (const RuntimeError& e) {
        EXPECT_EQ(e.number, 61) << e.description;
    }
}

} // namespace
