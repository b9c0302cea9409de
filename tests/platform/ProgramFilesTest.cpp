// The program's own files in its program folder: nothing the program writes, makes or
// removes for itself goes through a link or lands on anything but a file of its own,
// whatever was left in the folder; what stands in the way is removed as a name and
// named. And what a killed program left half done is put right by the next start only
// for what the program itself recorded.

#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/RecordedReplacement.h"

#include "support/ScriptedResponder.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace platform;

namespace {

using Names = std::vector<std::string>;

mode_t kindOf(const std::string& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & S_IFMT : 0;
}

// What may stand where the program keeps a file of its own, made by make at the
// program's path with the user's folder at hand; kept says what of the user's must
// be as it was afterwards.
struct Standing {
    const char* name;
    const char* word; // how the message names it
    std::function<void(const std::string& path, const TempFolder& user)> make;
    std::function<void(const TempFolder& user)> kept;
};

// The writers of the program's own files.
struct Writer {
    const char* name;
    std::function<void(const std::string& path)> write;
};

void PrintTo(const Standing& s, std::ostream* os)
{
    *os << s.name;
}

const Standing Standings[] = {
    {"LinkToAUsersFile", "シンボリックリンク",
     [](const std::string& path, const TempFolder& user) {
         writeWholeFile(user.file("doc.txt"), "the user's");
         ASSERT_EQ(::symlink(user.file("doc.txt").c_str(), path.c_str()), 0);
     },
     [](const TempFolder& user) {
         EXPECT_EQ(readWholeFile(user.file("doc.txt")), "the user's");
         EXPECT_EQ(listFiles(user.path(), "*"), Names{"doc.txt"}) << "nothing written beside the user's file";
     }},
    {"LinkToAMissingFile", "シンボリックリンク",
     [](const std::string& path, const TempFolder& user) {
         ASSERT_EQ(::symlink(user.file("made.txt").c_str(), path.c_str()), 0);
     },
     [](const TempFolder& user) { EXPECT_EQ(listFiles(user.path(), "*"), Names{}) << "a file made outside"; }},
    {"NamedPipe", "名前付きパイプ",
     [](const std::string& path, const TempFolder&) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
     [](const TempFolder&) {}},
    {"LinkToANamedPipe", "シンボリックリンク",
     [](const std::string& path, const TempFolder& user) {
         ASSERT_EQ(::mkfifo(user.file("pipe").c_str(), 0600), 0);
         ASSERT_EQ(::symlink(user.file("pipe").c_str(), path.c_str()), 0);
     },
     [](const TempFolder& user) { EXPECT_EQ(kindOf(user.file("pipe")), static_cast<mode_t>(S_IFIFO)); }},
    // A device of the user's own making: the one /dev/null is (only root may make it).
    {"LinkToADevice", "シンボリックリンク",
     [](const std::string& path, const TempFolder& user) {
         if (::geteuid() != 0)
             GTEST_SKIP() << "only root makes a device";
         ASSERT_EQ(::mknod(user.file("null").c_str(), S_IFCHR | 0666, makedev(1, 3)), 0);
         ASSERT_EQ(::symlink(user.file("null").c_str(), path.c_str()), 0);
     },
     [](const TempFolder& user) { EXPECT_EQ(kindOf(user.file("null")), static_cast<mode_t>(S_IFCHR)); }},
};

const Writer Writers[] = {
    {"Snapshot", [](const std::string& path) { replaceThroughSpare(path, "the program's"); }},
    {"SettingsFile", [](const std::string& path) { writeFileAtomically(path, "the program's"); }},
    {"WorkFile", [](const std::string& path) { writeWholeFile(path, "the program's"); }},
    {"Copy", [](const std::string& path) {
         const std::string source = parentPath(path) + "/source";
         writeWholeFile(source, "the program's");
         copyFile(source, path);
         deleteFile(source);
     }},
};

class ProgramFiles : public ::testing::TestWithParam<std::tuple<Standing, Writer, const char*>> {
protected:
    TempHome home;
    TempFolder user;
    ScriptedResponder answers;
};

// Whatever stands at the name, the program's file is written there as a regular file
// of its own; what stood there is removed as a name and named, and nothing of the
// user's changes or appears.
TEST_P(ProgramFiles, AreWrittenByNameOverNothingButAFileOfTheirOwn)
{
    const auto& [standing, writer, name] = GetParam();
    const std::string path = home.file(name);
    standing.make(path, user);
    if (::testing::Test::IsSkipped())
        return;

    answers.answerNext(vbOK);
    writer.write(path);

    EXPECT_EQ(kindOf(path), static_cast<mode_t>(S_IFREG));
    EXPECT_EQ(readWholeFile(path), "the program's");
    standing.kept(user);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text.rfind(std::string(StrayNameRemovedMessage) + "\r\n" + path + "（" + standing.word, 0),
              0u)
        << answers.shown()[0].text;
}

INSTANTIATE_TEST_SUITE_P(Standings, ProgramFiles,
                         ::testing::Combine(::testing::ValuesIn(Standings), ::testing::ValuesIn(Writers),
                                            ::testing::Values("TMP/Autosave.kez", "face/face1.bmp", "tvora.ini")),
                         [](const auto& info) {
                             std::string folder = std::get<2>(info.param);
                             folder = folder.substr(0, folder.find_first_of("/."));
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name
                                    + "_" + folder;
                         });

class ProgramFolder : public ::testing::Test {
protected:
    TempHome home;
    TempFolder user;
    ScriptedResponder answers;
};

// A snapshot is written over its spare in place: a spare that is a link to a user's
// file, or a second name of one, is never written into.
TEST_F(ProgramFolder, ASnapshotsSpareIsWrittenOnlyWhenItIsTheProgramsAlone)
{
    const std::string path = home.file("TMP/Undo.kez");
    const std::string spare = spareFileName(path);
    const std::string doc = user.file("doc.txt");
    const std::pair<std::function<int(const char*, const char*)>, std::string> ties[] = {
        {::symlink, "シンボリックリンク（" + doc + " へ）"},
        {::link, "ほかの名前ともつながっているファイル"},
    };
    for (const auto& [tie, word] : ties) {
        SCOPED_TRACE(word);
        writeWholeFile(doc, "the user's");
        replaceThroughSpare(path, "first");
        deleteFile(spare);
        ASSERT_EQ(tie(doc.c_str(), spare.c_str()), 0);

        answers.answerNext(vbOK);
        replaceThroughSpare(path, "second, longer than the user's");
        EXPECT_EQ(readWholeFile(path), "second, longer than the user's");
        EXPECT_EQ(readWholeFile(doc), "the user's");
        EXPECT_EQ(answers.shownTexts(), Names{std::string(StrayNameRemovedMessage) + "\r\n" + spare + "（" + word + "）"});
        answers.clearRecords();
        deleteFile(doc);
    }
}

// A folder of the program that is a link to a folder of the user's: the program's
// files are written, removed and emptied in a folder of its own, and the user's
// folder keeps every file.
TEST_F(ProgramFolder, AFolderOfTheProgramsThatIsALinkIsNeverGoneThrough)
{
    writeWholeFile(user.file("Autosave.kez"), "the user's");
    writeWholeFile(user.file("photo.bmp"), "the user's photo");
    const auto linkInPlaceOf = [&](const char* folder) {
        removeTree(home.file(folder));
        ASSERT_EQ(::symlink(user.path().c_str(), home.file(folder).c_str()), 0);
        answers.answerNext(vbOK);
    };
    const std::pair<const char*, std::function<void()>> uses[] = {
        {"TMP", [&] { deleteFile(home.file("TMP/Autosave.kez")); }},
        {"TMP", [&] { writeWholeFile(home.file("TMP/Autosave.kez"), "the program's"); }},
        {"face", [&] { deleteAllFiles(home.file("face")); }},
        {"face", [&] { makeDir(home.file("face")); }},
        {"voice", [&] { renameFile(home.file("TMP/Autosave.kez"), home.file("voice/Autosave.kez")); }},
    };
    for (const auto& [folder, use] : uses) {
        SCOPED_TRACE(folder);
        linkInPlaceOf(folder);
        use();
        EXPECT_NE(kindOf(home.file(folder)), static_cast<mode_t>(S_IFLNK));
        EXPECT_EQ(readWholeFile(user.file("Autosave.kez")), "the user's");
        EXPECT_EQ(readWholeFile(user.file("photo.bmp")), "the user's photo");
        EXPECT_EQ(listFiles(user.path(), "*").size(), 2u);
        EXPECT_EQ(answers.shown().size(), 1u);
        answers.clearRecords();
    }
}

// Outside the program folder a file its owner made read-only is refused, with why;
// one the program replaces keeps its permission bits.
TEST_F(ProgramFolder, AFileMadeReadOnlyIsRefusedAndAReplacedOneKeepsItsPermissions)
{
    const std::string path = user.file("out.csv");
    writeWholeFile(path, "older");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    for (const auto& write : {std::function<void()>([&] { writeFileAtomically(path, "newer"); }),
                              std::function<void()>([&] { PartialFile file(path); })}) {
        try {
            write();
            ADD_FAILURE() << "written";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(failedFileMessage("書けません", e), "書けません\r\n" + path + "\r\n（読み取り専用のファイルです）");
        }
        EXPECT_EQ(readWholeFile(path), "older");
        EXPECT_EQ(listFiles(user.path(), "*"), Names{"out.csv"});
    }
    ASSERT_EQ(::chmod(path.c_str(), 0604), 0);
    writeFileAtomically(path, "newer");
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0604u);
}

// True when no journal of partial files in the program folder names one as still
// open: those of killed runs are gone, and this run's is empty.
bool noPartialFileRecorded(const TempHome& home)
{
    for (const std::string& name : listFiles(home.file("TMP"), "Partials-*")) {
        if (fileLength(home.file("TMP/" + name)) != 0)
            return false;
    }
    return true;
}

// A partial file a write left when the program was killed in the middle of it, in a
// folder of the user's or the program's, is removed by the next start, and only while
// it is the file the program made: one the user put at its name meanwhile stays. No
// record outlives the start.
TEST_F(ProgramFolder, ThePartialFileOfAKilledWriteDoesNotOutliveTheNextStart)
{
    const auto killedWhileWriting = [](const std::string& target) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            PartialFile file(target);
            file.write(std::string(4096, 'x'));
            ::raise(SIGKILL);
        }
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status));
        ASSERT_TRUE(fileExists(partialFileName(target)));
    };
    for (const std::string& target : {user.file("out.csv"), home.file("tvora.ini"), home.file("TMP/AutosaveNew.ked")}) {
        SCOPED_TRACE(target);
        writeWholeFile(target, "older");
        killedWhileWriting(target);

        settleInterruptedReplacements();
        EXPECT_FALSE(fileExists(partialFileName(target)));
        EXPECT_EQ(readWholeFile(target), "older");
        EXPECT_TRUE(noPartialFileRecorded(home));
    }

    const std::string target = user.file("doc.txt");
    killedWhileWriting(target);
    // Made before the partial file goes, so it is another file for certain.
    writeWholeFile(user.file("download"), "the user's download");
    renameFile(user.file("download"), partialFileName(target));
    settleInterruptedReplacements();
    EXPECT_EQ(readWholeFile(partialFileName(target)), "the user's download");
    EXPECT_TRUE(noPartialFileRecorded(home));
}

// A save record that names anything but a family file and its bundle of one stem is
// none of the program's: at the start and at the read of a file it names, the files it
// names are left as they are, and it is named with them.
struct ForeignRecord {
    const char* name;
    const char* record;
    std::vector<const char*> targets; // in the user's folder
};

void PrintTo(const ForeignRecord& r, std::ostream* os)
{
    *os << r.name;
}

class ForeignRecords : public ::testing::TestWithParam<ForeignRecord> {
protected:
    TempHome home;
    TempFolder user;
    ScriptedResponder answers;
};

TEST_P(ForeignRecords, LeaveTheFilesTheyNameAsTheyAre)
{
    std::string text;
    Names named;
    for (const char* target : GetParam().targets) {
        writeWholeFile(user.file(target), std::string("the user's ") + target);
        writeWholeFile(partialFileName(user.file(target)), std::string("the user's download of ") + target);
        text += user.file(target) + '\0';
        named.push_back(user.file(target));
    }
    const std::string record = home.file(std::string("TMP/") + GetParam().record);
    writeWholeFile(record, text);

    for (const auto& settle : {std::function<void()>(settleInterruptedReplacements),
                               std::function<void()>([&] { settleInterruptedReplacementsOf(named.back()); })}) {
        answers.answerNext(vbOK);
        settle();
        std::string expected = std::string(ForeignRecordMessage) + "\r\n" + record;
        for (const std::string& target : named)
            expected += "\r\n　" + target;
        EXPECT_EQ(answers.shownTexts(), Names{expected});
        answers.clearRecords();
        for (const char* target : GetParam().targets) {
            EXPECT_EQ(readWholeFile(user.file(target)), std::string("the user's ") + target);
            EXPECT_EQ(readWholeFile(partialFileName(user.file(target))), std::string("the user's download of ") + target);
        }
        EXPECT_TRUE(fileExists(record));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, ForeignRecords,
    ::testing::Values(ForeignRecord{"AnyFileRenaming", "Saving-1.renaming", {"doc.txt"}},
                      ForeignRecord{"AnyFileWriting", "Saving-1.writing", {"doc.txt"}},
                      ForeignRecord{"AFamilyWithAnotherFile", "Saving-2.renaming", {"doc.txt", "fam.kez"}},
                      ForeignRecord{"BundleOfAnotherStem", "Saving-3.renaming", {"other.ked", "fam.kez"}},
                      ForeignRecord{"ThreeFiles", "Saving-4.writing", {"fam.ked", "fam.kez", "fam.kez"}},
                      ForeignRecord{"AJournalOfAnotherKind", "Partials-9", {"doc.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
