// Closing the main window: by its close box and by File > "終了" the same
// checks run; Windows or the program itself ends the program without a question.

#include "MainWindowFixture.h"

#include "forms/Application.h"
#include "forms/Testing.h"
#include "document/Snapshots.h"
#include "mainwindow/FamilyPaths.h"
#include "platform/Cp932.h"

#include <QWidget>

namespace mainwindow_test {
namespace {

enum class CloseBy { CloseBox, ExitMenu };

void PrintTo(CloseBy how, std::ostream* os) { *os << (how == CloseBy::CloseBox ? "close box" : "File > 終了"); }

constexpr const char* ChangedQuestion = "データが変更されています。終了しますか?";
constexpr const char* SaveQuestion = "データを保存しますか?";
constexpr const char* NotSavedMessage = "保存がキャンセルされたか、ファイルを保存出来ません";
// The failure of a save that meets the person's name cp932 cannot hold.
constexpr const char* SaveFailedMessage = "ファイルが書き込めません\r\n"
                                          "ファイルに保存できない文字が含まれています：\U0001F600\r\n"
                                          "（個人 3「山田 一郎\U0001F600」の名前）";

class ShutdownTest : public MainWindowTest {
protected:
    // A started window with a changed family and both snapshots on disk.
    void startChanged()
    {
        start();
        buildFamily();
        ASSERT_TRUE(model::Save_Undo());
        ASSERT_TRUE(model::Save_Autosave());
    }

    static void close(CloseBy how)
    {
        if (how == CloseBy::CloseBox)
            forms::formWidget(window())->close();
        else
            window().fileitem[16].choose();
    }

    static bool autosaveOnDisk() { return platform::fileExists(model::autosaveSnapshotPath()); }
    static bool undoOnDisk() { return platform::fileExists(model::undoSnapshotPath()); }

    // The persons' names a family file holds.
    static bool fileHoldsFamily(const std::string& path)
    {
        if (!platform::fileExists(path))
            return false;
        const std::string text = platform::decodeCp932(read(path));
        return text.find("一郎") != std::string::npos && text.find("[end_of_data]") != std::string::npos;
    }

    std::vector<std::string> shownTexts() const { return answers.shownTexts(); }
};

// ---------------------------------------------------------------------------

class UnchangedClose : public ShutdownTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(UnchangedClose, EndsWithoutAQuestionAndDeletesBothSnapshots)
{
    start();
    buildFamily();
    ASSERT_TRUE(model::Save_Undo());
    ASSERT_TRUE(model::Save_Autosave());
    tables().Data_Changed = 0;
    close(GetParam());
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_TRUE(answers.programEnded());
    EXPECT_FALSE(window().isLoaded());
    EXPECT_FALSE(autosaveOnDisk());
    EXPECT_FALSE(undoOnDisk());
}

class FullScreenClose : public ShutdownTest, public ::testing::WithParamInterface<CloseBy> {};

TEST_P(FullScreenClose, IsRefusedWithTheWayBack)
{
    startChanged();
    window().Fullscreen_Flag = 1;
    answers.answerNext(platform::vbOK);
    close(GetParam());
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"家系図をクリックすると、画面を閉じます"});
    EXPECT_FALSE(answers.programEnded());
    EXPECT_TRUE(window().isLoaded());
    EXPECT_TRUE(autosaveOnDisk());
    // The full-screen view was set by hand; it ends the same way, so that the
    // window can close.
    window().Fullscreen_Flag = 0;
}

const auto BothWays = ::testing::Values(CloseBy::CloseBox, CloseBy::ExitMenu);
const auto WayName = [](const ::testing::TestParamInfo<CloseBy>& info) {
    return std::string(info.param == CloseBy::CloseBox ? "CloseBox" : "ExitMenu");
};
INSTANTIATE_TEST_SUITE_P(MainWindow, UnchangedClose, BothWays, WayName);
INSTANTIATE_TEST_SUITE_P(MainWindow, FullScreenClose, BothWays, WayName);

// ---------------------------------------------------------------------------
// A changed family: the two questions and the save

enum class Path { None, Set };
enum class Dialog { NotShown, Cancelled, Chosen };

struct ChangedCase {
    const char* name;
    std::vector<int> answers; // the two questions (and nothing else)
    Path path;
    Dialog dialog;
    bool failingSave;
    // Expectations
    std::vector<const char*> messages; // shown after the questions
    bool ends;
    bool written;
};

void PrintTo(const ChangedCase& c, std::ostream* os) { *os << c.name; }

class ChangedClose : public ShutdownTest,
                     public ::testing::WithParamInterface<std::tuple<ChangedCase, CloseBy>> {};

TEST_P(ChangedClose, FollowsTheAnswers)
{
    const ChangedCase& c = std::get<0>(GetParam());
    startChanged();
    const std::string target = platform::joinPath(home.path(), "family.kez");
    if (c.path == Path::Set)
        tables().Cur_FilePath = target;
    if (c.failingSave)
        tables().per_buf[3].Name = "一郎\U0001F600"; // no cp932 character for it
    for (int answer : c.answers)
        answers.answerNext(answer);
    for (size_t i = 0; i < c.messages.size(); ++i)
        answers.answerNext(platform::vbOK);
    if (c.dialog == Dialog::Cancelled)
        dialogs.answerNext(forms::DialogAnswer::cancelled());
    if (c.dialog == Dialog::Chosen)
        dialogs.answerNext(forms::DialogAnswer::file(target));
    // The user's last folder, where Save As would start.
    const std::string userFolder = platform::joinPath(home.path(), "mine");
    platform::makeDir(userFolder);
    platform::writeWholeFile(platform::joinPath(userFolder, "other.kez"), "x");
    platform::writeWholeFile(home.file("\\FilePath.ini"), userFolder + "\r\n");

    close(std::get<1>(GetParam()));

    std::vector<std::string> expected{ChangedQuestion};
    if (c.answers.size() > 1)
        expected.push_back(SaveQuestion);
    expected.insert(expected.end(), c.messages.begin(), c.messages.end());
    EXPECT_EQ(shownTexts(), expected);
    EXPECT_EQ(answers.programEnded(), c.ends);
    EXPECT_EQ(window().isLoaded(), !c.ends);
    // Every ending deletes both snapshots; a family still open keeps them.
    EXPECT_EQ(autosaveOnDisk(), !c.ends);
    EXPECT_EQ(undoOnDisk(), !c.ends);
    EXPECT_EQ(fileHoldsFamily(target), c.written);
    if (!c.ends) {
        EXPECT_EQ(tables().Data_Changed, 1);
    }
    if (c.dialog != Dialog::NotShown) {
        ASSERT_EQ(dialogs.requests().size(), 1u);
        const forms::DialogRequest& request = dialogs.requests()[0];
        EXPECT_EQ(request.kind, forms::DialogKind::Save);
        EXPECT_EQ(request.title, "家系図の保存");
        EXPECT_EQ(request.filter, "*.kez");
        EXPECT_EQ(request.startDirectory, userFolder);
        // Another family file is never replaced without a question.
        EXPECT_NE(request.flags & forms::cdlOFNOverwritePrompt, 0);
    }
}

const ChangedCase ChangedCases[] = {
    {"CancelKeepsRunning", {platform::vbCancel}, Path::None, Dialog::NotShown, false, {}, false, false},
    {"NoEndsUnsaved", {platform::vbOK, platform::vbNo}, Path::Set, Dialog::NotShown, false, {}, true, false},
    {"YesSavesToTheOpenFile", {platform::vbOK, platform::vbYes}, Path::Set, Dialog::NotShown, false, {}, true, true},
    {"YesAsksForANameAndSaves", {platform::vbOK, platform::vbYes}, Path::None, Dialog::Chosen, false, {}, true,
     true},
    // The user asked for a save and chose no name: nothing is lost, the window stays.
    {"CancelledNameKeepsRunning", {platform::vbOK, platform::vbYes}, Path::None, Dialog::Cancelled, false,
     {NotSavedMessage}, false, false},
    // The family could not be written: ending would lose it with its autosave.
    {"FailedSaveKeepsRunning", {platform::vbOK, platform::vbYes}, Path::Set, Dialog::NotShown, true,
     {SaveFailedMessage}, false, false},
    {"FailedSaveOfAChosenNameKeepsRunning", {platform::vbOK, platform::vbYes}, Path::None, Dialog::Chosen, true,
     {SaveFailedMessage}, false, false},
};

INSTANTIATE_TEST_SUITE_P(MainWindow, ChangedClose, ::testing::Combine(::testing::ValuesIn(ChangedCases), BothWays),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name)
                                    + (std::get<1>(info.param) == CloseBy::CloseBox ? "_CloseBox" : "_ExitMenu");
                         });

TEST_F(ShutdownTest, FailedSaveKeepsTheFamilyWithoutAFileOfItsOwn)
{
    startChanged();
    tables().per_buf[3].Name = "一郎\U0001F600";
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    dialogs.answerNext(forms::DialogAnswer::file(platform::joinPath(home.path(), "new.kez")));
    close(CloseBy::CloseBox);
    EXPECT_EQ(tables().Cur_FilePath, "");
    EXPECT_FALSE(platform::fileExists(platform::joinPath(home.path(), "new.kez")));
}

// The name chosen at the save question is the family store's ".kez" form; an
// existing file of that name is not replaced without a question, and No to it
// chooses no name: the window stays with everything kept.
TEST_F(ShutdownTest, ChosenNameWhoseFamilyFileExistsAsksBeforeReplacingIt)
{
    const std::string existing = writeFamilyFile("kept.kez", "佐藤");
    const std::string before = read(existing);
    startChanged();
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbNo);
    answers.answerNext(platform::vbOK);
    dialogs.answerNext(forms::DialogAnswer::file(platform::joinPath(home.path(), "kept")));
    close(CloseBy::CloseBox);
    const std::vector<std::string> expected{ChangedQuestion, SaveQuestion,
                                            existing + "\r\nは既に存在します。上書きしますか？", NotSavedMessage};
    EXPECT_EQ(shownTexts(), expected);
    EXPECT_EQ(read(existing), before);
    EXPECT_FALSE(answers.programEnded());
    EXPECT_TRUE(autosaveOnDisk());
}

// The save at the end names a picture it could not include before the program ends.
TEST_F(ShutdownTest, SaveAtTheEndNamesAPictureItCouldNotInclude)
{
    startChanged();
    model::personal_data& mother = tables().per_buf[2];
    mother.Picture_filename = "gone.bmp";
    mother.Picture_index = 1;
    mother.Picture_mode = 1;
    const std::string path = platform::joinPath(home.path(), "end.kez");
    tables().Cur_FilePath = path;
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    close(CloseBy::ExitMenu);
    const std::vector<std::string> expected{
        ChangedQuestion, SaveQuestion,
        "家系図は保存しましたが、次の画像・音声のファイルが見つからないため含められませんでした。"
        "これらの人物の画像・音声の指定は外しました。\r\n「山田 花子」の画像（gone.bmp）"};
    EXPECT_EQ(shownTexts(), expected);
    EXPECT_TRUE(fileHoldsFamily(path));
    EXPECT_TRUE(answers.programEnded());
}

// The save at the end writes the family's own file without a dialog: one that another
// program saved after this one opened it is replaced only after a question, and No
// keeps the window with everything.
TEST_F(ShutdownTest, SaveOverAFileSavedElsewhereMeanwhileIsAskedFirst)
{
    const std::string existing = writeFamilyFile("kept.kez", "佐藤");
    start();
    dialogs.answerNext(forms::DialogAnswer::file(existing));
    window().fileitem[1].choose();
    ASSERT_EQ(tables().Cur_FilePath, existing);
    platform::writeFileAtomically(existing, "saved by another program");
    tables().Data_Changed = 1;
    ASSERT_TRUE(model::Save_Autosave());

    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbNo);
    close(CloseBy::CloseBox);
    const std::vector<std::string> expected{ChangedQuestion, SaveQuestion,
                                            existing + "\r\n" + mainwindow::ChangedMeanwhileQuestion};
    EXPECT_EQ(shownTexts(), expected);
    EXPECT_EQ(read(existing), "saved by another program");
    EXPECT_FALSE(answers.programEnded());
    EXPECT_TRUE(autosaveOnDisk());
}

TEST_F(ShutdownTest, SessionEndEndsAChangedFamilyWithoutAQuestionAndKeepsTheAutosave)
{
    startChanged();
    EXPECT_TRUE(forms::endSession());
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_TRUE(answers.programEnded());
    EXPECT_TRUE(autosaveOnDisk());
    EXPECT_TRUE(undoOnDisk());
}

} // namespace
} // namespace mainwindow_test
