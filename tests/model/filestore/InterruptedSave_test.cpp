// A save killed at each of its steps (a child process stopped by SIGKILL where the
// replacement's step hook says): the next read of the family, or the next start, finds
// the old family and bundle or the new ones whole, never a mix, and no partial file
// or record is left.

#include "FileStoreTest.h"

#include "model/filestore/FamilyFile.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/RecordedReplacement.h"
#include "support/KilledSave.h"

namespace model::testing {
namespace {

// The steps of a save with a bundle: 0 recorded, 1 both partial files written,
// 2 "renaming" recorded, 3 the bundle renamed, 4 the family file renamed.
constexpr int LastStep = 4;
constexpr int FirstStepOfTheNewPair = 2;

class InterruptedSaveTest : public FileStoreTest {
protected:
    // A family whose one person carries tag in his remarks and picture as his face.
    void makeFamily(const std::string& tag, const std::string& picture)
    {
        resetProgramState();
        personal_data& p = tables().per_buf[1];
        p.InUse = SlotUsed;
        p.Name = "太郎";
        p.Biko = tag;
        p.Picture_filename = "face1.bmp";
        p.Picture_index = 0;
        p.Picture_mode = 1;
        platform::writeWholeFile(facePicture(), picture);
    }

    std::string facePicture() const { return platform::joinPath(home.path(), "face/face1.bmp"); }

    // The family file and its bundle read back: the tag and the picture they hold
    // ("" when there is no family file), with no message.
    std::pair<std::string, std::string> readBack(const std::string& path)
    {
        resetProgramState();
        platform::deleteFile(facePicture());
        if (!platform::fileExists(path))
            return {};
        EXPECT_TRUE(load_file(path));
        EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
        return {tables().per_buf[1].Biko,
                platform::fileExists(facePicture()) ? platform::readWholeFile(facePicture()) : std::string("none")};
    }

    void expectNothingLeft() const
    {
        EXPECT_TRUE(platform::listFiles(home.path(), "*.part").empty());
        EXPECT_TRUE(platform::listFiles(platform::appFile("\\TMP"), "Saving-*").empty());
    }
};

// Also for a name too long to take ".part" as it is, whose partial files have
// shorter names of their own.
TEST_F(InterruptedSaveTest, TheNextReadFindsTheOldOrTheNewPairWhole)
{
    for (const std::string& name : {std::string("fam"), std::string(250, 'f')}) {
        const std::string path = pathOf(name + ".kez");
        for (int step = 0; step <= LastStep; ++step) {
            SCOPED_TRACE("name of " + std::to_string(name.size()) + " bytes, killed at step " + std::to_string(step));
            makeFamily("old", "old picture");
            saveTo(path);
            makeFamily("new", "the new picture");
            support::saveKilledAt(path, step);

            const auto expected = step >= FirstStepOfTheNewPair
                                      ? std::make_pair(std::string("new"), std::string("the new picture"))
                                      : std::make_pair(std::string("old"), std::string("old picture"));
            EXPECT_EQ(readBack(path), expected);
            expectNothingLeft();
        }
    }
}

// A save that fails once the bundle's partial file is written (the family file's text
// holds a character cp932 cannot): the old pair stays and no partial file or record
// is left, whatever the length of the name.
TEST_F(InterruptedSaveTest, ASaveThatFailsBeforeItsRenamesLeavesNothing)
{
    for (const std::string& name : {std::string("fam"), std::string(250, 'f')}) {
        SCOPED_TRACE("name of " + std::to_string(name.size()) + " bytes");
        const std::string path = pathOf(name + ".kez");
        makeFamily("old", "old picture");
        saveTo(path);
        makeFamily("新😀", "the new picture");
        answers.answerNext(platform::vbOK);
        EXPECT_FALSE(save_file(path));
        EXPECT_EQ(answers.shown().size(), 1u);
        answers.clearRecords();

        EXPECT_EQ(readBack(path), std::make_pair(std::string("old"), std::string("old picture")));
        expectNothingLeft();
    }
}

// A Save As to a new name killed before its renames leaves no file at all; killed
// between them, the start completes the new pair.
TEST_F(InterruptedSaveTest, TheNextStartUndoesOrCompletesASaveAsToANewName)
{
    makeFamily("new", "the new picture");
    support::saveKilledAt(pathOf("first.kez"), 1);
    support::saveKilledAt(pathOf("second.kez"), 3);
    EXPECT_FALSE(platform::listFiles(home.path(), "*.part").empty());

    platform::settleInterruptedReplacements();

    expectNothingLeft();
    EXPECT_FALSE(platform::fileExists(pathOf("first.kez")));
    EXPECT_FALSE(platform::fileExists(pathOf("first.ked")));
    EXPECT_EQ(readBack(pathOf("second.kez")), std::make_pair(std::string("new"), std::string("the new picture")));
}

} // namespace
} // namespace model::testing
