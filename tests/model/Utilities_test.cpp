// Program-wide utilities: the quoted split, the hints flag of the settings file,
// messages held back during a drag, the shell, topmost windows and window look-up.

#include "model/fixture/FamilyFixture.h"

#include "model/Utilities.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

namespace model::testing {
namespace {

struct SplitCase {
    const char* description;
    std::string text;
    std::string delimiter;
    size_t itemCount;
    std::vector<std::string> expected;
};

void PrintTo(const SplitCase& c, std::ostream* os) { *os << c.description; }

class SplitQuotedTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitQuotedTest, SplitsOutsideQuotes)
{
    const SplitCase& c = GetParam();
    std::vector<std::string> items(c.itemCount, "stale");
    Split_Quoted(c.text, items, c.delimiter);
    EXPECT_EQ(items, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SplitQuotedTest,
    ::testing::Values(
        SplitCase{"quoted_comma", "a,\"b,c\",d", ",", 3, {"a", "b,c", "d"}},
        SplitCase{"surplus_dropped", "a,\"b,c\",d", ",", 2, {"a", "b,c"}},
        SplitCase{"empty_text", "", ",", 3, {"", "", ""}},
        SplitCase{"more_items_than_text", "x", ",", 3, {"x", "", ""}},
        SplitCase{"trailing_delimiter_fills_last_item", "a,b,", ",", 2, {"a", "b"}},
        SplitCase{"delimiter_only", ",", ",", 1, {""}},
        SplitCase{"no_items", "a,b", ",", 0, {}},
        SplitCase{"empty_text_no_items", "", ",", 0, {}},
        SplitCase{"unclosed_quote", "a,\"b,c,d", ",", 3, {"a", "b,c,d", ""}},
        SplitCase{"japanese_path", "\"C:\\家系 図\\山田.KEZ\",2", ",", 2,
                  {"C:\\家系 図\\山田.KEZ", "2"}},
        SplitCase{"wide_delimiter", "甲、乙、丙", "、", 3, {"甲", "乙", "丙"}},
        SplitCase{"two_char_delimiter_never_matches", "a,,b", ",,", 2, {"a,,b", ""}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return info.param.description; });

class QAModeTest : public FamilyFixture {
protected:
    void writeSettingsFile(const std::string& bytes)
    {
        platform::writeWholeFile(home.path() + "/tvora.ini", bytes);
    }
};

struct QACase {
    const char* description;
    std::string fileBytes;
    int expected;
};

void PrintTo(const QACase& c, std::ostream* os) { *os << c.description; }

class QAModeFileTest : public QAModeTest, public ::testing::WithParamInterface<QACase> {};

TEST_P(QAModeFileTest, ReadsTheHintsFlag)
{
    writeSettingsFile(GetParam().fileBytes);
    EXPECT_EQ(Get_QAMode(), GetParam().expected);
    EXPECT_TRUE(answers.shown().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Files, QAModeFileTest,
    ::testing::Values(QACase{"one", "QAMODE,1\r\n", 1},
                      QACase{"one_without_line_end", "QAMODE,1", 1},
                      QACase{"zero", "QAMODE,0\r\n", 0},
                      QACase{"not_numeric", "QAMODE,yes\r\n", 0},
                      QACase{"empty_file", "", 0},
                      QACase{"other_keys_first", "FOO,3\r\nQAMODE,1\r\n", 1},
                      QACase{"later_record_never_resets", "QAMODE,1\r\nQAMODE,0\r\n", 1},
                      QACase{"quoted_value", "QAMODE,\"1\"\r\n", 1},
                      QACase{"lower_case_key", "qamode,1\r\n", 0},
                      QACase{"padded_number", "QAMODE, 1.0\r\n", 1},
                      QACase{"too_many_fields", "QAMODE,1,2,3,4,5,6,7,8,9,10,11,12\r\n", 0}),
    [](const ::testing::TestParamInfo<QACase>& info) { return info.param.description; });

TEST_F(QAModeTest, MissingSettingsFileGivesZeroWithoutAMessage)
{
    platform::deleteFile(home.path() + "/tvora.ini");
    EXPECT_EQ(Get_QAMode(), 0);
    EXPECT_TRUE(answers.shown().empty());
}

TEST_F(QAModeTest, UnreadableSettingsFileGivesZero)
{
    // A folder where the file should be cannot be read as a file.
    platform::deleteFile(home.path() + "/tvora.ini");
    platform::makeDir(home.path() + "/tvora.ini");
    EXPECT_EQ(Get_QAMode(), 0);
    EXPECT_TRUE(answers.shown().empty());
}

using DragTest = FamilyFixture;

TEST_F(DragTest, WithoutADragTheMessageIsShownAtOnce)
{
    answers.answerNext(platform::vbOK);
    StartDrag("結婚できません");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "結婚できません");
    EXPECT_EQ(answers.shown()[0].title, "エラー");
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(runState().DragMsgPending, 0);
}

TEST_F(DragTest, OnlyTheLastMessageHeldDuringADragIsShown)
{
    runState().ListDragActive = 1;
    StartDrag("first");
    StartDrag("second");
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(runState().DragMsgPending, 1);

    answers.answerNext(platform::vbOK);
    EndDrag();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "second");
    EXPECT_EQ(answers.shown()[0].title, "ドラッグエラー");
    EXPECT_EQ(runState().DragMsgPending, 0);

    EndDrag(); // nothing held any more
    EXPECT_EQ(answers.shown().size(), 1u);
}

using WindowUtilityTest = FamilyFixture;

TEST_F(WindowUtilityTest, SetTopMostOnlyForModesZeroAndOne)
{
    windows.topMostResult = 42;
    EXPECT_EQ(SetTopMost("ctrl", 1), 42);
    EXPECT_EQ(SetTopMost("ctrl", 0), 42);
    EXPECT_EQ(SetTopMost("ctrl", 2), 0);
    EXPECT_EQ(SetTopMost("ctrl", -1), 0);
    EXPECT_EQ(windows.events, (std::vector<std::string>{"topmost:ctrl", "notTopmost:ctrl"}));
}

TEST_F(WindowUtilityTest, FindFormByNameIsExact)
{
    windows.loadedForms = {"ctrl", "EasyCtl"};
    EXPECT_EQ(Find_FormByName("ctrl"), 1);
    EXPECT_EQ(Find_FormByName("EasyCtl"), 1);
    EXPECT_EQ(Find_FormByName("Ctrl"), 0);
    EXPECT_EQ(Find_FormByName("entry"), 0);
}

TEST_F(WindowUtilityTest, ShellOpenHandsTheTargetToTheShell)
{
    Shell_Open(GetAppPath() + "/man/index.html");
    ASSERT_EQ(answers.shellOpens().size(), 1u);
    EXPECT_EQ(answers.shellOpens()[0], home.path() + "/man/index.html");
}

} // namespace
} // namespace model::testing
