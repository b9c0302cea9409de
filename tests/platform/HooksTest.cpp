#include "platform/Hooks.h"

#include "support/ScriptedResponder.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <string>

using namespace platform;

namespace {

TEST(ScriptedResponder, AnswersInOrderAndRecordsEveryBox)
{
    ScriptedResponder user;
    user.answerNext(vbYes);
    user.answerNext(vbCancel);
    EXPECT_EQ(MsgBox("first", vbYesNo + vbQuestion), vbYes);
    EXPECT_EQ(MsgBox("second", vbOKCancel, "title"), vbCancel);
    ASSERT_EQ(user.shown().size(), 2u);
    EXPECT_EQ(user.shown()[0].text, "first");
    EXPECT_EQ(user.shown()[0].style, vbYesNo + vbQuestion);
    EXPECT_EQ(user.shown()[0].title, "Tevora"); // an empty title is the program's
    EXPECT_EQ(user.shown()[1].title, "title");
    EXPECT_EQ(user.shownTexts(), (std::vector<std::string>{"first", "second"}));
}

TEST(ScriptedResponder, AnUnexpectedBoxFailsTheTestNamingItsText)
{
    ScriptedResponder user;
    int answer = 0;
    EXPECT_NONFATAL_FAILURE(answer = MsgBox("保存しますか", vbYesNoCancel), "保存しますか");
    EXPECT_EQ(answer, vbCancel); // never a choice that goes ahead
    EXPECT_NONFATAL_FAILURE(answer = MsgBox("done", vbOKOnly), "unexpected message box");
    EXPECT_EQ(answer, vbOK);
    EXPECT_NONFATAL_FAILURE(answer = MsgBox("delete?", vbYesNo), "delete?");
    EXPECT_EQ(answer, vbNo);
    EXPECT_EQ(user.shown().size(), 3u);
}

TEST(ScriptedResponder, AnAnswerThatIsNoButtonOfTheBoxFails)
{
    ScriptedResponder user;
    user.answerNext(vbYes);
    EXPECT_NONFATAL_FAILURE(MsgBox("only OK", vbOKOnly + vbInformation), "is not a button");
}

TEST(ScriptedResponder, UnusedAnswersFailWhenTheResponderGoes)
{
    EXPECT_NONFATAL_FAILURE(
        {
            ScriptedResponder user;
            user.answerNext(vbOK);
        },
        "never used");
    ScriptedResponder tolerant;
    tolerant.answerNext(vbOK);
    tolerant.allowUnusedAnswers();
}

TEST(ScriptedResponder, InputBoxesAreScriptedToo)
{
    ScriptedResponder user;
    user.answerNextInput("山田");
    EXPECT_EQ(InputBox("名前", "", "x"), "山田");
    EXPECT_EQ(user.inputPrompts().at(0).text, "名前");
    EXPECT_EQ(user.inputPrompts().at(0).title, "Tevora");
    std::string text = "not set";
    EXPECT_NONFATAL_FAILURE(text = InputBox("surprise"), "surprise");
    EXPECT_EQ(text, "");
}

TEST(ScriptedResponder, RecordsShellOpensBeepsAndProgramEnd)
{
    ScriptedResponder user;
    ShellOpen("/tmp/man/index.html");
    ShellOpen("https://example.org/");
    Beep();
    Beep();
    DoEvents();
    EXPECT_EQ(user.shellOpens(), (std::vector<std::string>{"/tmp/man/index.html", "https://example.org/"}));
    EXPECT_EQ(user.beepCount(), 2);
    EXPECT_EQ(user.doEventsCount(), 1);
    EXPECT_FALSE(user.programEnded());
    bool after = false;
    try {
        EndProgram();
        after = true;
    } catch (const ProgramEnd&) {
    }
    EXPECT_FALSE(after) << "a statement after EndProgram ran";
    EXPECT_TRUE(user.programEnded());
}

TEST(ScriptedResponder, TheClockCanBeFixed)
{
    ScriptedResponder user;
    user.setNow(45000.75);
    EXPECT_EQ(Now(), 45000.75);
    EXPECT_EQ(Date(), 45000.0);
    user.useSystemClock();
    EXPECT_GT(Now(), 45000.0); // after 2023-03-15
}

TEST(ScriptedResponder, NestedRespondersRestoreTheOuterOne)
{
    EXPECT_EQ(installedHooks(), nullptr);
    {
        ScriptedResponder outer;
        {
            ScriptedResponder inner;
            EXPECT_EQ(installedHooks(), &inner);
            Beep();
            EXPECT_EQ(inner.beepCount(), 1);
        }
        EXPECT_EQ(installedHooks(), &outer);
        Beep();
        EXPECT_EQ(outer.beepCount(), 1);
    }
    EXPECT_EQ(installedHooks(), nullptr);
}

TEST(HeadlessHooks, MessageBoxGivesTheDefaultButtonAndReportsTheText)
{
    ::testing::internal::CaptureStderr();
    const int answer = MsgBox("headless text", vbYesNo + vbDefaultButton2);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, vbNo);
    EXPECT_NE(printed.find("headless text"), std::string::npos);
    EXPECT_NE(printed.find("Tevora"), std::string::npos);
}

TEST(MessageBoxStyles, DefaultAndCancelAnswers)
{
    const struct {
        int style;
        int defaultAnswer;
        int cancelAnswer;
    } cases[] = {
        {vbOKOnly, vbOK, vbOK},
        {vbOKCancel, vbOK, vbCancel},
        {vbOKCancel + vbDefaultButton2, vbCancel, vbCancel},
        {vbAbortRetryIgnore + vbDefaultButton3, vbIgnore, vbAbort},
        {vbYesNoCancel + vbExclamation, vbYes, vbCancel},
        {vbYesNoCancel + vbDefaultButton3 + vbQuestion, vbCancel, vbCancel},
        {vbYesNo + vbCritical + vbSystemModal, vbYes, vbNo},
        {vbYesNo + vbDefaultButton2, vbNo, vbNo},
        {vbRetryCancel, vbRetry, vbCancel},
        {vbOKOnly + vbDefaultButton2, vbOK, vbOK}, // a missing second button falls back to the first
    };
    for (const auto& c : cases) {
        EXPECT_EQ(defaultAnswer(c.style), c.defaultAnswer) << c.style;
        EXPECT_EQ(cancelAnswer(c.style), c.cancelAnswer) << c.style;
        EXPECT_TRUE(isAnswerOfStyle(c.defaultAnswer, c.style));
    }
    EXPECT_FALSE(isAnswerOfStyle(vbYes, vbOKCancel));
}

} // namespace
