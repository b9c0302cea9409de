// An export killed while it writes: the real program (the main window with its
// menus) exports the chart as a picture or the family as CSV in a child process that
// is killed once the export's partial file is made. The user's older file stays as it
// was, and the next start of the program removes the partial file the kill left: no
// partial file of the program's outlives it, and no record of one either.

#include "ChartFixture.h"

#include "platform/RecordedReplacement.h"
#include "reports/CsvSet.h"

#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <ostream>
#include <string>

namespace mainwindow_test {
namespace {

struct Export {
    const char* name;
    int menuItem;             // of the File menu
    const char* file;         // chosen in the dialog
    int partialFileToKillAt;  // the n-th partial file the export makes of its file
};

void PrintTo(const Export& e, std::ostream* os)
{
    *os << e.name;
}

// Where the child stops: the file whose partial file it watches, and how many of them
// are still to be made before the kill.
std::string watchedPartialFile;
int madeBeforeTheKill = 0;

class KilledExport : public ChartTest, public ::testing::WithParamInterface<Export> {
protected:
    void TearDown() override
    {
        forms::clearOnShown();
        ChartTest::TearDown();
    }

    // The export in a child process, killed at its partial file.
    void exportKilled(const std::string& path)
    {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            answers.allowUnusedAnswers();
            showFamily();
            forms::onShown("CsvSet", [](forms::Form&) { csvset_form().Command2.onClick(); });
            watchedPartialFile = platform::partialFileName(path);
            madeBeforeTheKill = GetParam().partialFileToKillAt;
            platform::setReplacementStepHookForTesting([](int step) {
                if (step == platform::PartialFileMadeStep && platform::fileExists(watchedPartialFile)
                    && --madeBeforeTheKill == 0)
                    ::raise(SIGKILL);
            });
            dialogs.answerNext(forms::DialogAnswer::file(path));
            window().fileitem[GetParam().menuItem].choose();
            ::_exit(0);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the export ended before it was killed";
    }
};

TEST_P(KilledExport, LeavesNoPartialFileBeyondTheNextStart)
{
    const TempFolder user;
    const std::string path = user.file(GetParam().file);
    platform::writeWholeFile(path, "older");

    exportKilled(path);
    ASSERT_TRUE(platform::fileExists(platform::partialFileName(path)));

    answers.answerNext(platform::vbNo); // the killed program's edit is not recovered
    start();                            // the next start
    EXPECT_EQ(platform::listFiles(user.path(), "*"), std::vector<std::string>{GetParam().file});
    EXPECT_EQ(read(path), "older");
    // The killed run's journal of partial files is gone; this run's names none open.
    for (const std::string& journal : platform::listFiles(home.file("\\TMP"), "Partials-*"))
        EXPECT_EQ(platform::fileLength(home.file("\\TMP\\" + journal)), 0) << journal;
}

// The picture export makes its partial file once to see that the folder takes it,
// and then again to write the picture into.
INSTANTIATE_TEST_SUITE_P(Exports, KilledExport,
                         ::testing::Values(Export{"Csv", 6, "family.csv", 1}, Export{"PictureTried", 8, "chart.bmp", 1},
                                           Export{"PictureWritten", 8, "chart.bmp", 2}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mainwindow_test
