// Where save_file writes and what it says when it cannot: a family file reached
// through a symbolic link is written where the link leads, with its bundle beside it;
// a save that fails names the file that could not be written and why.

#include "FileStoreTest.h"

#include "model/filestore/FamilyFile.h"
#include "model/filestore/MediaBundle.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/RecordedReplacement.h"
#include "support/SmallDisk.h"
#include "support/SmallFilesOnly.h"
#include "support/TempHome.h"

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

// In a folder of the user's and in the program folder alike: the family file is the
// file the user chose.
TEST_F(SaveTargetsTest, ASaveThroughALinkWritesTheFileItLeadsToWithItsBundleAndTheLinkStays)
{
    const TempFolder user;
    for (const std::string& folder : {user.path(), home.path()}) {
        SCOPED_TRACE(folder);
        const auto at = [&](const std::string& name) { return platform::joinPath(folder, name); };
        resetProgramState();
        giveVoiceMemo();
        platform::makeDir(at("real"));
        platform::writeWholeFile(at("real/fam.kez"), "older family");
        platform::writeWholeFile(at("real/fam.ked"), "older bundle");
        ASSERT_EQ(::symlink("real/fam.kez", at("link.kez").c_str()), 0);

        saveTo(at("link.kez"));

        EXPECT_TRUE(isLink(at("link.kez"))) << "the link was replaced by a file";
        EXPECT_NE(platform::readWholeFile(at("real/fam.kez")), "older family");
        EXPECT_NE(platform::readWholeFile(at("real/fam.ked")), "older bundle");
        EXPECT_FALSE(platform::fileExists(at("link.ked"))) << "the bundle is the one beside the family file";
        EXPECT_TRUE(platform::listFiles(folder, "*.part").empty());
        EXPECT_TRUE(platform::listFiles(at("real"), "*.part").empty());

        // Opened through the link, the family finds its bundle.
        resetProgramState();
        ASSERT_TRUE(load_file(at("link.kez")));
        EXPECT_TRUE(answers.shown().empty());
        EXPECT_EQ(tables().per_buf[1].Voice_index, 0);
        EXPECT_EQ(platform::readWholeFile(platform::joinPath(home.path(), "voice/v.wav")), "RIFF voice");
    }
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

    // Files that cannot grow beyond the save's records in the program folder: the
    // bundle's message for the bundle, the family file's for the family file, each
    // naming its file.
    constexpr size_t RoomForTheRecords = 256;
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    support::withSmallFilesOnly([&] { EXPECT_FALSE(save_file(pathOf("small.kez"))); }, RoomForTheRecords);
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(SaveFailedMessage) + "\r\n" + pathOf("small.kez") +
                                       "\r\n（ファイルが大きすぎます）"});
    giveVoiceMemo();
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    support::withSmallFilesOnly([&] { EXPECT_FALSE(save_file(pathOf("small.kez"))); }, RoomForTheRecords);
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(BundleWriteFailedMessage) + "\r\n" + pathOf("small.ked") +
                                       "\r\n（ファイルが大きすぎます）"});
    EXPECT_FALSE(platform::fileExists(pathOf("small.kez")));
    EXPECT_FALSE(platform::fileExists(pathOf("small.ked")));
}

// A program folder without room for the save's record: the save goes on and is
// whole, and the user is told that it ran without its record, which file could not be
// written and why.
TEST_F(SaveTargetsTest, ASaveWithoutRoomForItsRecordSaysSo)
{
    const TempFolder user;
    giveVoiceMemo();
    support::SmallDisk disk(platform::appFile("\\TMP"), 256 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "no file system of its own can be mounted for the program's records here";
    answers.answerNext(platform::vbOK);
    disk.whileFull(0, [&] { EXPECT_TRUE(save_file(user.file("fam.kez"))); });

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, std::string(platform::UnrecordedSaveMessage) + "\r\n"
                                           + platform::appFile("\\TMP\\Saving-1.new") + "\r\n（" + disk.fullReason() + "）");
    EXPECT_TRUE(platform::fileExists(user.file("fam.kez")));
    EXPECT_TRUE(platform::fileExists(user.file("fam.ked")));
    EXPECT_EQ(platform::listFiles(user.path(), "*.part"), std::vector<std::string>{});
}

} // namespace
} // namespace model::testing
