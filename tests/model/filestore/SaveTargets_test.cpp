// Where save_file writes and what it says when it cannot: a family file reached
// through a symbolic link is written where the link leads, with its bundle beside it;
// a save that fails names the file that could not be written and why.

#include "FileStoreTest.h"

#include "model/filestore/FamilyFile.h"
#include "model/filestore/MediaBundle.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "support/SmallFilesOnly.h"

#include <sys/stat.h>
#include <unistd.h>

namespace model::testing {
namespace {

class SaveTargetsTest : public FileStoreTest {
protected:
    void giveVoiceMemo()
    {
        platform::writeWholeFile(platform::joinPath(home.path(), "voice/v.wav"), "RIFF voice");
        tables().per_buf[1].InUse = SlotUsed;
        tables().per_buf[1].Voice_index = 0;
        tables().per_buf[1].Voice_filename = "v.wav";
    }
    bool isLink(const std::string& path) const
    {
        struct stat st {};
        return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    }
};

TEST_F(SaveTargetsTest, ASaveThroughALinkWritesTheFileItLeadsToWithItsBundleAndTheLinkStays)
{
    giveVoiceMemo();
    platform::makeDir(pathOf("real"));
    platform::writeWholeFile(pathOf("real/fam.kez"), "older family");
    platform::writeWholeFile(pathOf("real/fam.ked"), "older bundle");
    ASSERT_EQ(::symlink("real/fam.kez", pathOf("link.kez").c_str()), 0);

    saveTo(pathOf("link.kez"));

    EXPECT_TRUE(isLink(pathOf("link.kez"))) << "the link was replaced by a file";
    EXPECT_NE(platform::readWholeFile(pathOf("real/fam.kez")), "older family");
    EXPECT_NE(platform::readWholeFile(pathOf("real/fam.ked")), "older bundle");
    EXPECT_FALSE(platform::fileExists(pathOf("link.ked"))) << "the bundle is the one beside the family file";
    EXPECT_TRUE(platform::listFiles(home.path(), "*.part").empty());
    EXPECT_TRUE(platform::listFiles(pathOf("real"), "*.part").empty());

    // Opened through the link, the family finds its bundle.
    resetProgramState();
    ASSERT_TRUE(load_file(pathOf("link.kez")));
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(tables().per_buf[1].Voice_index, 0);
    EXPECT_EQ(platform::readWholeFile(platform::joinPath(home.path(), "voice/v.wav")), "RIFF voice");
}

TEST_F(SaveTargetsTest, AFailedSaveNamesTheFileThatCouldNotBeWrittenAndWhy)
{
    // A family without media whose bundle's leftover partial file cannot be removed
    // (here a folder stands there, as in a folder nothing can be removed from): the
    // family file's own write fails, and its message names it.
    tables().per_buf[1].InUse = SlotUsed;
    platform::makeDir(platform::partialFileName(pathOf("fam.ked")));
    platform::makeDir(platform::partialFileName(pathOf("fam.kez")));
    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(save_file(pathOf("fam.kez")));
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(SaveFailedMessage) + "\r\n" + pathOf("fam.kez") +
                                       "\r\n（書き込み先がフォルダーです）"});

    // Files that cannot grow: the bundle's message for the bundle, the family file's
    // for the family file, each naming its file.
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    support::withSmallFilesOnly([&] { EXPECT_FALSE(save_file(pathOf("small.kez"))); });
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(SaveFailedMessage) + "\r\n" + pathOf("small.kez") +
                                       "\r\n（ファイルが大きすぎます）"});
    giveVoiceMemo();
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    support::withSmallFilesOnly([&] { EXPECT_FALSE(save_file(pathOf("small.kez"))); });
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(BundleWriteFailedMessage) + "\r\n" + pathOf("small.ked") +
                                       "\r\n（ファイルが大きすぎます）"});
    EXPECT_FALSE(platform::fileExists(pathOf("small.kez")));
    EXPECT_FALSE(platform::fileExists(pathOf("small.ked")));
}

} // namespace
} // namespace model::testing
