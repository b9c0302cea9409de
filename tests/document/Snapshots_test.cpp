// Undo and autosave snapshots: scrambling, the undo round trip, failed snapshot writes,
// the deleters and the start-up recovery of an interrupted edit.

#include "DocumentTest.h"

#include "layout/chart_state.h"
#include "model/GroupLists.h"
#include "model/PersonTable.h"
#include "model/SavableText.h"
#include "document/InitAllSetting.h"
#include "document/Snapshots.h"
#include "document/WorkFolders.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/MediaBundle.h"
#include "platform/AppPath.h"
#include "platform/Commands.h"
#include "platform/Conversions.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include "support/SmallDisk.h"
#include "support/SmallFilesOnly.h"
#include "support/TempHome.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace model::testing {
namespace {

class SnapshotTest : public DocumentTest {
protected:
    // A family with media, groups and settings other than the defaults.
    SmallFamily buildDocument()
    {
        const SmallFamily f = buildSmallFamily();
        tables().per_buf[f.father].B_day = "昭和30年04月01日";
        tables().per_buf[f.mother].Biko = "一行目\n二行目";
        Add_GrpName("本家");
        Add_GrpTitle();
        tables().GrpTitleList[0].TitleName = "山田本家";
        tables().GrpTitleList[0].Leader = static_cast<int16_t>(f.grandfather);
        settings().Dispmode_Death = 1;
        settings().Print_Scale = 0.75f;
        giveVoice(f.father, "voice3.wav", "father's memo");
        givePicture(f.mother, "mother.bmp", "mother's picture");
        return f;
    }

    static std::string bytesOf(const std::string& path) { return platform::readWholeFile(path); }

    // Gives the snapshot at path a display item outside 0..10, which fails the whole
    // read, naming the line. Returns its family file's text, unscrambled.
    static std::string damageSnapshot(const std::string& path)
    {
        EXPECT_TRUE(Unscramble_File(path));
        std::string text = bytesOf(path);
        const size_t at = text.find(" DispSwIdx=0");
        EXPECT_NE(at, std::string::npos);
        text.replace(at, 12, " DispSwIdx=99");
        platform::writeWholeFile(path, text);
        EXPECT_TRUE(Scramble_File(path));
        return text;
    }
};

// --- Scrambling ---------------------------------------------------------------------

class ScrambleTest : public SnapshotTest, public ::testing::WithParamInterface<size_t> {};

TEST_P(ScrambleTest, UnscramblingGivesBackTheSameBytes)
{
    std::string original(GetParam(), '\0');
    for (size_t i = 0; i < original.size(); ++i)
        original[i] = static_cast<char>((i * 7 + 3) % 256);
    const std::string path = home.file("data.bin");
    platform::writeWholeFile(path, original);

    ASSERT_TRUE(Scramble_File(path));
    const std::string scrambled = bytesOf(path);
    EXPECT_EQ(scrambled.size(), original.size());
    if (original.size() >= 16) {
        EXPECT_NE(scrambled, original);
    }
    if (original.size() <= 1) {
        EXPECT_EQ(scrambled, original) << "files of 0 or 1 byte stay as they are";
    }

    ASSERT_TRUE(Unscramble_File(path));
    EXPECT_EQ(bytesOf(path), original);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ScrambleTest, ::testing::Values(0, 1, 2, 255, 256, 257, 5000));

TEST_F(SnapshotTest, TheTableRepeatsEvery256Bytes)
{
    const std::string path = home.file("same.bin");
    platform::writeWholeFile(path, std::string(520, 'A'));
    ASSERT_TRUE(Scramble_File(path));
    const std::string scrambled = bytesOf(path);
    for (size_t i = 0; i < 256; ++i) {
        ASSERT_EQ(scrambled[i + 256], scrambled[i]) << "byte " << i + 256;
        if (i + 512 < scrambled.size()) {
            ASSERT_EQ(scrambled[i + 512], scrambled[i]) << "byte " << i + 512;
        }
    }
}

TEST_F(SnapshotTest, AMissingFileIsNotScrambledIntoExistence)
{
    const std::string path = home.file("missing.kez");
    EXPECT_FALSE(Scramble_File(path));
    EXPECT_FALSE(Unscramble_File(path));
    EXPECT_FALSE(platform::fileExists(path));
}

// --- Undo -----------------------------------------------------------------------------

TEST_F(SnapshotTest, UndoBringsBackTheFamilyAsTheSnapshotSawIt)
{
    const SmallFamily f = buildDocument();
    tables().Cur_FilePath = "/home/user/yamada.kez";
    const FamilyCapture before = captureFamily();

    ASSERT_TRUE(Save_Undo());
    EXPECT_EQ(windows.eventsStartingWith("setUndoEnabled"), std::vector<std::string>{"setUndoEnabled:1"});

    // The editing command that follows the snapshot.
    Tables& t = tables();
    addPerson("新", "田中", 0);
    t.kou_buf[f.sonBlank].InUse = SlotFree;
    t.per_buf[f.son].Name = "健二";
    Add_GrpName("分家");
    settings().Dispmode_Death = 0;
    writeMedia(MediaVoice, "voice3.wav", "re-recorded memo");
    t.Data_Changed = 0; // as if the command's result had been saved
    layout::chart().tab_cnt = 4;

    Restore_Undo();

    expectSameSavedFamily(before);
    EXPECT_EQ(folderFiles(mediaFolder(MediaVoice)), before.voice);
    EXPECT_EQ(folderFiles(mediaFolder(MediaPicture)), before.face);
    EXPECT_EQ(t.Cur_FilePath, "/home/user/yamada.kez");
    EXPECT_EQ(t.Data_Changed, 1) << "the restored family differs from what was saved";
    EXPECT_EQ(windows.count("setCaption:/home/user/yamada.kez"), 1);
    EXPECT_EQ(windows.eventsStartingWith("removeTreeTabs"), std::vector<std::string>{"removeTreeTabs:4"});
    EXPECT_EQ(windows.count("loadAfterDisp"), 1);
    EXPECT_EQ(windows.count("resetKouNum"), 1);
    EXPECT_EQ(windows.eventsStartingWith("setUndoEnabled").back(), "setUndoEnabled:0");
    EXPECT_FALSE(platform::fileExists(undoSnapshotPath()));
    EXPECT_FALSE(platform::fileExists(kedFileName(undoSnapshotPath())));
    EXPECT_TRUE(answers.shown().empty());
}

// An undo on a disk without room for every picture of its snapshot gives a person
// the open family's parked file only where that is the very picture the snapshot
// holds: moved back, it needs no room. A person whose picture fits nowhere is named
// and refers to none, never to a later picture of the same name.
TEST_F(SnapshotTest, AnUndoOnAFullDiskGivesBackOnlyThePicturesTheSnapshotHolds)
{
    // The program folder on a small disk of its own.
    support::SmallDisk disk(home.path(), 2 * 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "Files limited in size do not share one disk between parking and unpacking.";
    for (const char* folder : {"TMP", "voice", "face", "StackVoice", "StackFace"})
        platform::makeDir(platform::joinPath(home.path(), folder));
    const SmallFamily f = buildSmallFamily();
    ASSERT_LT(f.father, f.mother);
    ASSERT_LT(f.mother, f.son);
    const std::string mothers(100 * 1024, 'm');
    givePicture(f.father, "father.bmp", std::string(200 * 1024, 'f'));
    givePicture(f.mother, "mother.bmp", mothers);
    givePicture(f.son, "son.bmp", std::string(100 * 1024, 's'));
    ASSERT_TRUE(Save_Undo());
    // Later the father's picture is taken away and the son's replaced under its name.
    tables().per_buf[f.father].Picture_index = -1;
    platform::deleteFile(mediaPath(MediaPicture, "father.bmp"));
    writeMedia(MediaPicture, "son.bmp", std::string(100 * 1024, 'n'));

    // Room to park the open family's two pictures, then for the father's alone.
    answers.answerNext(platform::vbOK);
    disk.whileFull(250 * 1024, [] { Restore_Undo(); });

    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{BundleReadFailedMessage + std::string("\r\n3 番目のファイル「son.bmp」：")
                                       + disk.fullReason() + "\r\n" + DroppedMediaHeading + "\r\n「"
                                       + tables().per_buf[f.son].F_name + " " + tables().per_buf[f.son].Name
                                       + "」の画像（son.bmp）"});
    const auto pictureOf = [this](int person) {
        const personal_data& p = tables().per_buf[static_cast<size_t>(person)];
        return p.Picture_index == -1 ? std::string() : platform::readWholeFile(mediaPath(MediaPicture, p.Picture_filename));
    };
    EXPECT_EQ(pictureOf(f.father), std::string(200 * 1024, 'f'));
    EXPECT_EQ(pictureOf(f.mother), mothers);
    EXPECT_EQ(pictureOf(f.son), "");
}

// A snapshot is the family file save_file writes, scrambled, with the same bundle.
TEST_F(SnapshotTest, TheSnapshotIsTheScrambledFamilyFileWithAPlainBundle)
{
    buildDocument();
    const std::string saved = home.file("saved.kez");
    ASSERT_TRUE(save_file(saved));
    ASSERT_TRUE(Scramble_File(saved));

    for (const bool undo : {true, false}) {
        ASSERT_TRUE(undo ? Save_Undo() : Save_Autosave());
        const std::string path = undo ? undoSnapshotPath() : autosaveSnapshotPath();
        const std::string text = bytesOf(path);
        EXPECT_EQ(text.find("[Header]"), std::string::npos);
        EXPECT_EQ(text, bytesOf(saved));
        EXPECT_EQ(bytesOf(kedFileName(path)), bytesOf(kedFileName(saved)));
    }
    // The bundle is named as the writer names it and holds the media as they are.
    const std::string bundle = bytesOf(platform::joinPath(platform::appFile("\\TMP"), "Undo.ked"));
    EXPECT_NE(bundle.find("father's memo"), std::string::npos);
    // Nothing but the two snapshot pairs is left in TMP.
    auto files = platform::listFiles(platform::appFile("\\TMP"), "*");
    std::sort(files.begin(), files.end());
    EXPECT_EQ(files, (std::vector<std::string>{"Autosave.ked", "Autosave.kez", "Undo.ked", "Undo.kez"}));
}

// Every edit writes a snapshot; media that did not change since the last one are not
// packed again, but a changed, added or dropped file always is.
TEST_F(SnapshotTest, TheBundleIsPackedAgainOnlyWhenTheMediaChanged)
{
    const SmallFamily f = buildDocument();
    const std::string bundlePath = kedFileName(undoSnapshotPath());
    ASSERT_TRUE(Save_Undo());
    const platform::FileStamp first = platform::fileStamp(bundlePath);

    tables().per_buf[f.son].Name = "健二";
    ASSERT_TRUE(Save_Undo());
    EXPECT_EQ(platform::fileStamp(bundlePath), first) << "unchanged media are not packed again";

    writeMedia(MediaVoice, "voice3.wav", "a new memo of the same size!");
    ASSERT_TRUE(Save_Undo());
    EXPECT_NE(bytesOf(bundlePath).find("a new memo of the same size!"), std::string::npos);

    givePicture(f.son, "son.bmp", "son's picture");
    ASSERT_TRUE(Save_Undo());
    EXPECT_NE(bytesOf(bundlePath).find("son's picture"), std::string::npos);

    // A bundle replaced behind the snapshot's back is packed again too.
    platform::writeWholeFile(bundlePath, "damaged");
    ASSERT_TRUE(Save_Undo());
    const std::string saved = home.file("saved.kez");
    ASSERT_TRUE(save_file(saved));
    EXPECT_EQ(bytesOf(bundlePath), bytesOf(kedFileName(saved)));

    tables().per_buf[f.father].Voice_index = -1;
    tables().per_buf[f.mother].Picture_index = -1;
    tables().per_buf[f.son].Picture_index = -1;
    ASSERT_TRUE(Save_Undo());
    EXPECT_FALSE(platform::fileExists(bundlePath)) << "a family without media has no bundle";
}

// The end of every command settles the undo: it takes back exactly the command that
// wrote its snapshot, or it is not offered.
TEST_F(SnapshotTest, EachCommandIsOneStepOfTheUndoOrNone)
{
    buildDocument();
    platform::setEndOfCommandWork(settleUndoStep);
    struct Uninstall {
        ~Uninstall() { platform::setEndOfCommandWork({}); }
    } uninstall;
    const auto command = [](const std::function<void()>& body) {
        platform::CommandScope scope;
        body();
        scope.finish();
    };
    const auto edit = [] {
        tables().per_buf[1].Biko += "x";
        tables().Data_Changed = 1;
    };
    const auto undoOffered = [] { return platform::fileExists(undoSnapshotPath()); };

    command([&] { ASSERT_TRUE(Save_Undo()); edit(); });
    EXPECT_TRUE(undoOffered()) << "the command that wrote the snapshot is its step";
    command([] {});
    EXPECT_TRUE(undoOffered()) << "a command that changed nothing leaves it";
    command([&] {
        // A registration refused once it had begun: the family is put back whole.
        const auto before = std::make_unique<Tables>(tables());
        edit();
        tables() = *before;
    });
    EXPECT_TRUE(undoOffered()) << "a family put back as it was is unchanged";
    command(edit);
    EXPECT_FALSE(undoOffered()) << "戻 would take back this command and the one before";
    EXPECT_EQ(windows.eventsStartingWith("setUndoEnabled").back(), "setUndoEnabled:0");

    command([&] { ASSERT_TRUE(Save_Undo()); edit(); });
    command([] { ASSERT_TRUE(Save_Undo()); });
    EXPECT_FALSE(undoOffered()) << "a snapshot nothing followed takes back nothing";
}

TEST_F(SnapshotTest, UndoWithoutASnapshotChangesNothing)
{
    buildDocument();
    settings().Dispmode_BGcolor = 255;
    const FamilyCapture before = captureFamily();
    windows.events.clear();

    Restore_Undo();

    expectUnchanged(before);
    EXPECT_EQ(windows.events, (std::vector<std::string>{"setChartBackColor:255", "setUndoEnabled:0"}));
}

TEST_F(SnapshotTest, ASnapshotThatCannotBeLoadedLeavesTheFamilyAsItWas)
{
    buildDocument();
    ASSERT_TRUE(Save_Undo());
    const std::string path = undoSnapshotPath();
    damageSnapshot(path);
    tables().Cur_FilePath = "/home/user/yamada.kez";
    const FamilyCapture before = captureFamily();
    windows.events.clear();

    answers.answerNext(platform::vbOK);
    Restore_Undo();

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(LoadFailedMessage) + "\r\n"
                                                             + "表示項目の番号が範囲外です：DSW=True（37 行目）"});
    expectUnchanged(before);
    // The snapshot is read before anything of the family goes: no window is emptied,
    // the caption and the tree tabs stay, and the drop's and the relationship editor's
    // own undos keep their steps.
    EXPECT_EQ(windows.events,
              (std::vector<std::string>{"setChartBackColor:" + std::to_string(settings().Dispmode_BGcolor),
                                        "setUndoEnabled:0"}));
    EXPECT_FALSE(platform::fileExists(path));
}

// An undo that cannot set the open family's media aside (a folder stands where a
// picture is to be parked) says which file and why; the family and the snapshot stay.
TEST_F(SnapshotTest, AnUndoThatCannotWriteNamesTheFileAndWhy)
{
    buildDocument();
    ASSERT_TRUE(Save_Undo());
    const std::string snapshot = undoSnapshotPath();
    const std::string parked = platform::joinPath(parkingFolder(MediaPicture), folderFiles(mediaFolder(MediaPicture)).begin()->first);
    const FamilyCapture before = captureFamily();
    platform::makeDirs(parked);
    answers.answerNext(platform::vbOK);
    Restore_Undo();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(UndoFailedMessage) + "\r\n" + parked
                                                             + "\r\n（書き込み先がフォルダーです）"});
    expectUnchanged(before);
    EXPECT_TRUE(platform::fileExists(snapshot));
}

// The snapshot is read and unscrambled in memory: an undo writes nothing of it, so
// a folder where a rewrite of it would go stops nothing.
TEST_F(SnapshotTest, AnUndoReadsItsSnapshotWithoutWritingIt)
{
    buildDocument();
    const FamilyCapture before = captureFamily();
    ASSERT_TRUE(Save_Undo());
    addPerson("新", "田中", 0);
    platform::makeDirs(platform::partialFileName(undoSnapshotPath()));

    Restore_Undo();

    EXPECT_TRUE(answers.shown().empty());
    expectSameSavedFamily(before);
    EXPECT_FALSE(platform::fileExists(undoSnapshotPath()));
}

// A failed snapshot is never reported as written. A failed autosave leaves the
// previous one whole; a failed undo snapshot deletes the previous one and turns the
// undo off, since an undo to it would also take back the command before.
class FailedSnapshotTest : public SnapshotTest {
protected:
    // A character the family file's code page cannot hold makes the writer refuse.
    void makeUnwritable(const SmallFamily& f)
    {
        tables().per_buf[f.son].Name = "健太😀";
        answers.answerNext(platform::vbOK);
    }

    // The writer's message names the person and the field that hold the character.
    static std::string unwritableMessage(const SmallFamily& f)
    {
        return std::string(SaveFailedMessage) + "\r\n" + UnsavableCharMessage + "😀\r\n（個人 " + std::to_string(f.son)
            + "「山田 健太😀」の名前）";
    }
};

TEST_F(FailedSnapshotTest, AFailedAutosaveKeepsThePreviousOne)
{
    const SmallFamily f = buildDocument();
    ASSERT_TRUE(Save_Autosave());
    const std::string previous = bytesOf(autosaveSnapshotPath());
    const std::string previousBundle = bytesOf(kedFileName(autosaveSnapshotPath()));

    makeUnwritable(f);
    EXPECT_FALSE(Save_Autosave());

    // The message names the person and the field that hold the character.
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{unwritableMessage(f)});
    EXPECT_EQ(bytesOf(autosaveSnapshotPath()), previous);
    EXPECT_EQ(bytesOf(kedFileName(autosaveSnapshotPath())), previousBundle);

    // The previous snapshot still loads.
    const std::string kept = home.file("kept.kez");
    platform::copyFile(autosaveSnapshotPath(), kept);
    platform::copyFile(kedFileName(autosaveSnapshotPath()), kedFileName(kept));
    ASSERT_TRUE(Unscramble_File(kept));
    InitAllSetting();
    ASSERT_TRUE(load_file(kept));
    EXPECT_EQ(tables().per_buf[f.son].Name, "健太");
}

TEST_F(FailedSnapshotTest, AFailedUndoSnapshotDeletesThePreviousOneAndTurnsUndoOff)
{
    const SmallFamily f = buildDocument();
    ASSERT_TRUE(Save_Undo());
    windows.events.clear();

    makeUnwritable(f);
    EXPECT_FALSE(Save_Undo());

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{unwritableMessage(f)});
    EXPECT_FALSE(platform::fileExists(undoSnapshotPath()));
    EXPECT_FALSE(platform::fileExists(kedFileName(undoSnapshotPath())));
    EXPECT_EQ(windows.eventsStartingWith("setUndoEnabled"), std::vector<std::string>{"setUndoEnabled:0"});

    // The undo button now does nothing to the family.
    const FamilyCapture before = captureFamily();
    Restore_Undo();
    expectUnchanged(before);
}

// A snapshot whose bundle cannot be written says which file and why, and keeps the
// previous snapshot (a folder stands where the new bundle is written first).
TEST_F(FailedSnapshotTest, AFailedSnapshotBundleNamesItsFileAndWhy)
{
    buildDocument();
    ASSERT_TRUE(Save_Autosave());
    const std::string previous = bytesOf(autosaveSnapshotPath());
    writeMedia(MediaVoice, "voice3.wav", "a changed memo");
    const std::string staging = platform::joinPath(platform::parentPath(autosaveSnapshotPath()), "AutosaveNew.ked");
    platform::makeDir(platform::partialFileName(staging));
    answers.answerNext(platform::vbOK);

    EXPECT_FALSE(Save_Autosave());
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(BundleWriteFailedMessage) + "\r\n" + staging
                                                             + "\r\n（書き込み先がフォルダーです）"});
    EXPECT_EQ(bytesOf(autosaveSnapshotPath()), previous);
}

// --- Deleting ---------------------------------------------------------------------------

TEST_F(SnapshotTest, KillAutosaveFilesDeletesBothSnapshotsWithTheirBundles)
{
    buildDocument();
    ASSERT_TRUE(Save_Undo());
    ASSERT_TRUE(Save_Autosave());
    const std::string tmp = platform::appFile("\\TMP");
    for (const char* name : {"Undo.kez", "Undo.ked", "Autosave.kez", "Autosave.ked"})
        ASSERT_TRUE(platform::fileExists(platform::joinPath(tmp, name))) << name;

    Kill_UndoFiles();
    EXPECT_FALSE(platform::fileExists(platform::joinPath(tmp, "Undo.kez")));
    EXPECT_FALSE(platform::fileExists(platform::joinPath(tmp, "Undo.ked")));
    EXPECT_TRUE(platform::fileExists(platform::joinPath(tmp, "Autosave.kez")));

    Kill_AutosaveFiles();
    EXPECT_TRUE(platform::listFiles(tmp, "*.*").empty());
    EXPECT_EQ(windows.eventsStartingWith("setUndoEnabled").back(), "setUndoEnabled:0");
}

// --- The autosave of an empty family ---------------------------------------------------

// An empty family is nothing to recover: the autosave this run wrote goes. One that
// an earlier run left (the user declined to recover it) stays for the next start.
TEST_F(SnapshotTest, AnEmptyFamilyRemovesOnlyTheAutosaveThisRunWrote)
{
    buildDocument();
    ASSERT_TRUE(Save_Autosave());
    InitAllSetting();
    EXPECT_TRUE(Save_Autosave());
    EXPECT_FALSE(platform::fileExists(autosaveSnapshotPath()));
    EXPECT_FALSE(platform::fileExists(kedFileName(autosaveSnapshotPath())));

    Kill_AutosaveFiles(); // the run ends; the next one starts
    platform::makeDir(platform::appFile("\\TMP"));
    platform::writeWholeFile(autosaveSnapshotPath(), "an earlier run's edit");
    EXPECT_TRUE(Save_Autosave());
    EXPECT_EQ(bytesOf(autosaveSnapshotPath()), "an earlier run's edit");
}

// --- Start-up recovery ----------------------------------------------------------------

class RecoveryTest : public SnapshotTest {
protected:
    // The main window's showing of a recovered family: a new document, the family, and
    // the autosave its chart rebuild asks for.
    static void showFamily(StagedFamily& family)
    {
        InitAllSetting();
        takeOverFamily(family);
        (void)Request_Autosave();
    }

    static bool anyUnrecovered() { return !platform::listFiles(platform::appFile("\\TMP"), "Unrecovered*").empty(); }
};

TEST_F(RecoveryTest, AcceptedRecoveryLoadsTheInterruptedEditAndKeepsItAsTheAutosave)
{
    buildDocument();
    const FamilyCapture before = captureFamily();
    ASSERT_TRUE(Save_Autosave());
    ASSERT_TRUE(Save_Undo());
    const std::string scrambled = bytesOf(autosaveSnapshotPath());
    InitAllSetting(); // the next start

    answers.answerNext(platform::vbYes);
    EXPECT_EQ(recoverAutosave(showFamily), Recovery::Recovered);

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, AutosaveQuestion);
    EXPECT_EQ(answers.shown()[0].title, AutosaveQuestionTitle);
    EXPECT_EQ(answers.shown()[0].style, platform::vbYesNo + platform::vbInformation);
    expectSameSavedFamily(before);
    EXPECT_EQ(folderFiles(mediaFolder(MediaVoice)), before.voice);
    EXPECT_FALSE(platform::fileExists(undoSnapshotPath()));
    // A second interruption right now loses nothing: the autosave holds the family.
    EXPECT_EQ(bytesOf(autosaveSnapshotPath()), scrambled);
    EXPECT_TRUE(platform::fileExists(kedFileName(autosaveSnapshotPath())));
    EXPECT_FALSE(anyUnrecovered());
}

TEST_F(RecoveryTest, DeclinedRecoveryKeepsBothSnapshots)
{
    buildDocument();
    ASSERT_TRUE(Save_Autosave());
    ASSERT_TRUE(Save_Undo());
    const std::string scrambled = bytesOf(autosaveSnapshotPath());
    InitAllSetting();

    answers.answerNext(platform::vbNo);
    EXPECT_EQ(recoverAutosave(showFamily), Recovery::Declined);

    EXPECT_EQ(bytesOf(autosaveSnapshotPath()), scrambled);
    EXPECT_TRUE(platform::fileExists(undoSnapshotPath()));
    for (int i = 1; i <= LastSlot; ++i)
        ASSERT_NE(tables().per_buf[i].InUse, SlotUsed);
}

// The autosave is read in memory: a disk without room for a copy of it gives the
// family back all the same, and the autosave stays whole when it cannot be rewritten.
TEST_F(RecoveryTest, ARecoveryNeedsNoRoomOnTheDisk)
{
    buildSmallFamily();
    const FamilyCapture before = captureFamily();
    ASSERT_TRUE(Save_Autosave());
    const std::string scrambled = bytesOf(autosaveSnapshotPath());
    InitAllSetting();

    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK); // the autosave of the recovered family cannot be written
    support::withSmallFilesOnly([&] { EXPECT_EQ(recoverAutosave(showFamily), Recovery::Recovered); });

    expectSameSavedFamily(before);
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text.rfind(SaveFailedMessage, 0), 0u) << answers.shown()[1].text;
    EXPECT_EQ(bytesOf(autosaveSnapshotPath()), scrambled);
    EXPECT_FALSE(anyUnrecovered());
}

// What an autosave the reader refuses holds is kept as a family file, unscrambled, with
// the autosave's bundle beside it, where no later autosave touches it: Open reads it
// and names the line that is wrong.
TEST_F(RecoveryTest, AnAutosaveTheReaderRefusesIsKeptAsAFamilyFileThatOpenReads)
{
    buildDocument();
    ASSERT_TRUE(Save_Autosave());
    const std::string text = damageSnapshot(autosaveSnapshotPath());
    const std::string bundle = bytesOf(kedFileName(autosaveSnapshotPath()));
    InitAllSetting();

    answers.setNow(platform::DateSerial(2026, 12, 7) + (23 * 60 + 59) / 1440.0);
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK); // why the reader refuses it
    answers.answerNext(platform::vbOK); // where it is kept
    EXPECT_EQ(recoverAutosave(showFamily), Recovery::NotRecovered);

    const std::string kept = platform::appFile("\\TMP\\Unrecovered-20261207-2359.kez");
    ASSERT_EQ(answers.shown().size(), 3u);
    const std::string why = answers.shown()[1].text;
    EXPECT_EQ(why.rfind(std::string(LoadFailedMessage) + "\r\n", 0), 0u) << why;
    EXPECT_EQ(answers.shown()[2].text,
              std::string(RecoveryFailedMessage) + "\r\n" + RecoveryKeptMessage + "\r\n" + kept);
    EXPECT_EQ(bytesOf(kept), text);
    EXPECT_EQ(bytesOf(kedFileName(kept)), bundle);
    EXPECT_FALSE(platform::fileExists(autosaveSnapshotPath()));

    answers.answerNext(platform::vbOK);
    EXPECT_EQ(readFamilyFile(kept, settings()), nullptr);
    EXPECT_EQ(answers.shown().back().text, why);
    // The next autosave takes the usual name and leaves the one kept alone.
    buildSmallFamily();
    ASSERT_TRUE(Save_Autosave());
    EXPECT_TRUE(platform::fileExists(autosaveSnapshotPath()));
    EXPECT_EQ(bytesOf(kept), text);
}

// A picture of the interrupted edit that cannot be unpacked (a folder stands in its
// way) is not lost to the autosave of the family that came back without it: what the
// autosave held is kept as a family file with its bundle first, which Open reads with
// the picture once the way is clear.
TEST_F(RecoveryTest, AFamilyThatCameBackWithoutAPictureKeepsTheAutosaveAsAFamilyFile)
{
    const SmallFamily f = buildSmallFamily();
    givePicture(f.mother, "mother.bmp", "mother's picture");
    const FamilyCapture before = captureFamily();
    ASSERT_TRUE(Save_Autosave());
    ASSERT_TRUE(Unscramble_File(autosaveSnapshotPath()));
    const std::string text = bytesOf(autosaveSnapshotPath());
    ASSERT_TRUE(Scramble_File(autosaveSnapshotPath()));
    const std::string bundle = bytesOf(kedFileName(autosaveSnapshotPath()));
    InitAllSetting();
    platform::deleteFile(mediaPath(MediaPicture, "mother.bmp"));
    platform::makeDir(mediaPath(MediaPicture, "mother.bmp"));

    answers.setNow(platform::DateSerial(2026, 12, 7) + (9 * 60 + 30) / 1440.0);
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK); // the picture that could not be unpacked
    answers.answerNext(platform::vbOK); // where the autosave is kept
    EXPECT_EQ(recoverAutosave(showFamily), Recovery::Recovered);

    const std::string kept = platform::appFile("\\TMP\\Unrecovered-20261207-0930.kez");
    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_NE(answers.shown()[1].text.find("mother.bmp"), std::string::npos) << answers.shown()[1].text;
    EXPECT_EQ(answers.shown()[2].text,
              std::string(RecoveryIncompleteMessage) + "\r\n" + RecoveryKeptMessage + "\r\n" + kept);
    EXPECT_EQ(bytesOf(kedFileName(kept)), bundle);
    // The autosave holds the family as it came back; what it held before is the copy.
    EXPECT_TRUE(platform::fileExists(autosaveSnapshotPath()));
    EXPECT_TRUE(bytesOf(kept) == text);

    platform::removeTree(mediaPath(MediaPicture, "mother.bmp"));
    InitAllSetting();
    ASSERT_TRUE(load_file(kept));
    expectSameSavedFamily(before);
    EXPECT_EQ(folderFiles(mediaFolder(MediaPicture)), before.face);
}

// On a full disk a picture of the interrupted edit cannot be unpacked, and no copy of
// the autosave can be written: the autosave stays as it is, no autosave or clean-up
// of this run touches it, the user is told why and what to do, and the next start
// with room on the disk gives everything back.
TEST_F(RecoveryTest, AnAutosaveThatCannotComeBackWholeOnAFullDiskWaitsForTheNextStart)
{
    const SmallFamily f = buildSmallFamily();
    givePicture(f.mother, "mother.bmp", std::string(200, 'p'));
    const FamilyCapture before = captureFamily();
    ASSERT_TRUE(Save_Autosave());
    const std::string scrambled = bytesOf(autosaveSnapshotPath());
    const std::string bundle = bytesOf(kedFileName(autosaveSnapshotPath()));
    InitAllSetting();

    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK); // the picture that could not be unpacked
    answers.answerNext(platform::vbOK); // the autosave is held
    support::withSmallFilesOnly([&] {
        EXPECT_EQ(recoverAutosave(showFamily), Recovery::Recovered);
        buildSmallFamily();
        EXPECT_FALSE(Save_Autosave());
        Kill_AutosaveFiles(); // the end of the run
    }, 100);

    ASSERT_EQ(answers.shown().size(), 3u);
    EXPECT_NE(answers.shown()[1].text.find("mother.bmp"), std::string::npos) << answers.shown()[1].text;
    const std::string held = answers.shown()[2].text;
    EXPECT_EQ(held.rfind(std::string(RecoveryIncompleteMessage) + "\r\n", 0), 0u) << held;
    EXPECT_NE(held.find("（ファイルが大きすぎます）\r\n" + std::string(RecoveryHeldMessage)), std::string::npos) << held;
    EXPECT_EQ(bytesOf(autosaveSnapshotPath()), scrambled);
    EXPECT_EQ(bytesOf(kedFileName(autosaveSnapshotPath())), bundle);
    EXPECT_FALSE(anyUnrecovered());

    InitAllSetting(); // the next start, the disk freed
    answers.answerNext(platform::vbYes);
    EXPECT_EQ(recoverAutosave(showFamily), Recovery::Recovered);
    expectSameSavedFamily(before);
    EXPECT_EQ(folderFiles(mediaFolder(MediaPicture)), before.face);
    EXPECT_EQ(answers.shown().size(), 4u);
}

// The snapshots' names in the program folder are the program's own: a link left at
// one of them (to a user's file, or to no file) is no autosave to offer and is never
// written through. It is removed as a name and named once, and the snapshots of the
// edits that follow leave the user's folder exactly as it was.
class SnapshotNames : public RecoveryTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(SnapshotNames, AreNeverReadOrWrittenThroughALink)
{
    const TempFolder user;
    const std::string name = platform::appFile(std::string("\\TMP\\") + GetParam());
    platform::writeWholeFile(user.file("doc.txt"), "the user's");
    for (const std::string& target : {user.file("doc.txt"), user.file("none")}) {
        SCOPED_TRACE(target);
        Kill_AutosaveFiles();
        InitAllSetting(); // the next start
        ASSERT_EQ(::symlink(target.c_str(), name.c_str()), 0);

        answers.answerNext(platform::vbOK);
        EXPECT_EQ(recoverAutosave(showFamily), Recovery::NoAutosave);
        const SmallFamily f = buildDocument();
        for (const char* remark : {"first", "second", "third"}) {
            tables().per_buf[f.father].Biko = remark;
            ASSERT_TRUE(Save_Undo());
            ASSERT_TRUE(Save_Autosave());
        }

        EXPECT_EQ(bytesOf(user.file("doc.txt")), "the user's");
        EXPECT_EQ(platform::listFiles(user.path(), "*"), std::vector<std::string>{"doc.txt"});
        struct stat st {};
        EXPECT_FALSE(::lstat(name.c_str(), &st) == 0 && S_ISLNK(st.st_mode));
        ASSERT_EQ(answers.shown().size(), 1u);
        EXPECT_EQ(answers.shown()[0].text.rfind(std::string(platform::StrayNameRemovedMessage) + "\r\n" + name, 0), 0u)
            << answers.shown()[0].text;
        answers.clearRecords();
    }
}

INSTANTIATE_TEST_SUITE_P(Names, SnapshotNames,
                         ::testing::Values("Autosave.kez", "Autosave.ked", "AutosaveNew.ked", ".Autosave.kez.spare",
                                           "Undo.kez", "Undo.ked", "UndoNew.ked"),
                         [](const auto& info) {
                             std::string name;
                             for (const char c : std::string(info.param))
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             return name;
                         });

// An autosave larger than any family file is refused by its size, before a byte of it
// is read, and held for the next start.
TEST_F(RecoveryTest, AnAutosaveLargerThanAnyFamilyFileIsRefusedUnread)
{
    const std::string path = autosaveSnapshotPath();
    platform::writeWholeFile(path, "");
    ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(LargestFamilyFileBytes + 1)), 0);

    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    EXPECT_EQ(recoverAutosave(showFamily), Recovery::NotRecovered);
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text, std::string(RecoveryFailedMessage) + "\r\n" + path + "\r\n（ファイルが大きすぎます）\r\n"
                                           + RecoveryHeldMessage);
    EXPECT_EQ(platform::fileLength(path), static_cast<int64_t>(LargestFamilyFileBytes + 1));
}

} // namespace
} // namespace model::testing
