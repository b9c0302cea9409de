#include "platform/BinaryFile.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <future>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace platform;

namespace {

using Names = std::vector<std::string>;

Names sorted(Names names)
{
    std::sort(names.begin(), names.end());
    return names;
}

int errorNumberOf(const std::function<void()>& action, std::string* description = nullptr)
{
    try {
        action();
    } catch (const RuntimeError& e) {
        if (description)
            *description = e.description;
        return e.number;
    }
    return 0;
}

// The error number of a write that may make files of at most 1000 bytes, so that
// larger content cannot be written completely (works for any user, unlike
// permissions).
int errorNumberOfSmallFilesOnly(const std::function<void()>& write)
{
    struct rlimit saved {};
    if (::getrlimit(RLIMIT_FSIZE, &saved) != 0)
        return -1;
    auto* previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = saved;
    limited.rlim_cur = 1000;
    if (::setrlimit(RLIMIT_FSIZE, &limited) != 0)
        return -1;
    const int number = errorNumberOf(write);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return number;
}

// The files of the user's, in a folder outside the program folder.
class FileSystem : public ::testing::Test {
protected:
    TempHome home;
    TempFolder user;
    std::string dir = user.file("work");

    void SetUp() override { makeDir(dir); }
    std::string at(const std::string& name) const { return dir + "/" + name; }
};

struct PatternCase {
    const char* name;
    const char* pattern;
    bool matches;
};

void PrintTo(const PatternCase& c, std::ostream* os)
{
    *os << c.name << " ~ " << c.pattern;
}

class Pattern : public ::testing::TestWithParam<PatternCase> {};

TEST_P(Pattern, MatchesCaseInsensitively)
{
    EXPECT_EQ(matchesPattern(GetParam().name, GetParam().pattern), GetParam().matches)
        << GetParam().name << " ~ " << GetParam().pattern;
}

INSTANTIATE_TEST_SUITE_P(Wildcards, Pattern,
                         ::testing::Values(PatternCase{"family.kez", "*.kez", true},
                                           PatternCase{"FAMILY.KEZ", "*.kez", true},
                                           PatternCase{"family.Kez", "*.KEZ", true},
                                           PatternCase{"family.kez.bak", "*.kez", false},
                                           PatternCase{"family.kezz", "*.kez", false},
                                           PatternCase{"noext", "*.*", true},
                                           PatternCase{"a.b.c", "*.*", true},
                                           PatternCase{"ab1.txt", "ab?.txt", true},
                                           PatternCase{"ab12.txt", "ab?.txt", false},
                                           PatternCase{"face01.jpg", "face*.jpg", true},
                                           PatternCase{"xface01.jpg", "face*.jpg", false},
                                           PatternCase{"a*b", "a*b*", true},
                                           PatternCase{"abcabd", "*abd", true}));

TEST_F(FileSystem, ListFilesGivesMatchingFileNamesOnly)
{
    for (const char* name : {"a.kez", "B.KEZ", "c.Kez", "d.kez.bak", "e.txt"})
        writeWholeFile(at(name), "x");
    makeDir(at("folder.kez"));
    EXPECT_EQ(sorted(listFiles(dir, "*.kez")), (Names{"B.KEZ", "a.kez", "c.Kez"}));
    EXPECT_EQ(sorted(listFiles(dir, "*.*")), (Names{"B.KEZ", "a.kez", "c.Kez", "d.kez.bak", "e.txt"}));
    EXPECT_TRUE(listFiles(home.file("none"), "*.*").empty());
}

TEST_F(FileSystem, ExistenceTellsFilesAndFoldersApart)
{
    writeWholeFile(at("f"), "");
    EXPECT_TRUE(fileExists(at("f")));
    EXPECT_FALSE(dirExists(at("f")));
    EXPECT_TRUE(dirExists(dir));
    EXPECT_FALSE(fileExists(dir));
    EXPECT_FALSE(fileExists(at("none")));
    EXPECT_FALSE(fileExists(""));
}

// What a read of path raised, or nothing. A read that still waits after a generous
// while (for a writer of a named pipe) fails the test and is let go by opening the
// pipe's other end.
std::optional<RuntimeError> refusalOf(const std::function<void()>& read, const std::string& path)
{
    auto outcome = std::async(std::launch::async, [&read]() -> std::optional<RuntimeError> {
        try {
            read();
        } catch (const RuntimeError& e) {
            return e;
        }
        return std::nullopt;
    });
    if (outcome.wait_for(std::chrono::seconds(20)) == std::future_status::timeout) {
        ADD_FAILURE() << "the read of " << path << " waits";
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd >= 0)
            ::close(fd);
    }
    return outcome.get();
}

// Only a regular file is read: a named pipe would make a read wait for a writer for
// ever, a device like /dev/zero never ends, and a folder holds no bytes. Every reader
// refuses them at once, naming the reason; the whole-file read also refuses a file
// larger than its bound, without reading it, and stops a file that reports no length
// once it passes the bound.
TEST_F(FileSystem, ReadersRefuseAnythingButARegularFileOfBoundedSize)
{
    ASSERT_EQ(::mkfifo(at("pipe").c_str(), 0600), 0);
    ASSERT_EQ(::symlink("/dev/zero", at("zero").c_str()), 0);
    makeDir(at("folder"));
    const std::vector<std::function<void(const std::string&)>> readers = {
        [](const std::string& path) { (void)readWholeFile(path); },
        [](const std::string& path) { BinaryFile file(path, BinaryFile::Mode::Read); },
        [](const std::string& path) { TextInputFile file(path); },
        [](const std::string& path) { (void)readTextLines(path); },
    };
    const std::pair<std::string, std::string> refused[] = {
        {at("pipe"), "通常のファイルではありません"},
        {at("zero"), "通常のファイルではありません"},
        {at("folder"), "ファイルではなくフォルダーです"},
    };
    for (const auto& [path, reason] : refused) {
        for (size_t reader = 0; reader < readers.size(); ++reader) {
            const std::optional<RuntimeError> error = refusalOf([&, p = path] { readers[reader](p); }, path);
            // A reader that took the pipe or the device must not go on to the next.
            ASSERT_TRUE(error.has_value()) << path << ", reader " << reader;
            EXPECT_EQ(error->number, err::PathFileAccess) << path << ", reader " << reader;
            EXPECT_EQ(failureReason(*error), reason) << path << ", reader " << reader;
            EXPECT_EQ(failedFileMessage("head", *error), "head\r\n" + path + "\r\n（" + reason + "）");
        }
    }

    // A file as large as no file the program reads (its bytes are never stored: the
    // file is sparse), and a file of the system's that reports no length, read with a
    // bound it passes.
    writeWholeFile(at("huge"), "");
    ASSERT_EQ(::truncate(at("huge").c_str(), static_cast<off_t>(MostBytesReadWhole + 1)), 0);
    const std::string status = "/proc/self/status";
    ASSERT_EQ(fileLength(status), 0);
    const std::string counted = readWholeFile(status);
    ASSERT_GT(counted.size(), 100u);
    for (const auto& [path, bound] : {std::pair<std::string, uint64_t>{at("huge"), MostBytesReadWhole},
                                      std::pair<std::string, uint64_t>{status, 100}}) {
        const std::optional<RuntimeError> error = refusalOf([&, p = path, b = bound] { (void)readWholeFile(p, b); }, path);
        ASSERT_TRUE(error.has_value()) << path;
        EXPECT_EQ(failureReason(*error), "ファイルが大きすぎます") << path;
    }
    EXPECT_EQ(readWholeFile(status, counted.size() + 4096).substr(0, 5), counted.substr(0, 5));
}

TEST_F(FileSystem, DirHasFilesIgnoresSubfolders)
{
    EXPECT_FALSE(dirHasFiles(dir));
    makeDir(at("sub"));
    EXPECT_FALSE(dirHasFiles(dir));
    writeWholeFile(at("sub/inner"), "x");
    EXPECT_FALSE(dirHasFiles(dir));
    writeWholeFile(at("top"), "x");
    EXPECT_TRUE(dirHasFiles(dir));
    EXPECT_FALSE(dirHasFiles(home.file("none")));
}

TEST_F(FileSystem, DeletingFiles)
{
    writeWholeFile(at("a"), "1");
    writeWholeFile(at("b"), "2");
    makeDir(at("sub"));
    writeWholeFile(at("sub/c"), "3");
    deleteFile(at("a"));
    EXPECT_FALSE(fileExists(at("a")));
    EXPECT_NO_THROW(deleteFile(at("a")));             // missing is no error
    EXPECT_NO_THROW(deleteFile(home.file("x/y/z"))); // nor a missing folder
    EXPECT_EQ(errorNumberOf([&] { deleteFile(at("sub")); }), 75);

    deleteAllFiles(dir);
    EXPECT_TRUE(listFiles(dir, "*.*").empty());
    EXPECT_TRUE(fileExists(at("sub/c"))); // sub-folders are left alone
    EXPECT_NO_THROW(deleteAllFiles(home.file("none")));
}

TEST_F(FileSystem, MakeDir)
{
    EXPECT_NO_THROW(makeDir(dir)); // exists already
    EXPECT_EQ(errorNumberOf([&] { makeDir(at("a/b")); }), 76);
    writeWholeFile(at("file"), "");
    EXPECT_EQ(errorNumberOf([&] { makeDir(at("file")); }), 75);
    makeDirs(at("a/b/c"));
    EXPECT_TRUE(dirExists(at("a/b/c")));
}

TEST_F(FileSystem, CopyOverwritesAndKeepsTheSource)
{
    writeWholeFile(at("from"), std::string("\0bin\xFF", 5));
    writeWholeFile(at("to"), "a much longer old content");
    copyFile(at("from"), at("to"));
    EXPECT_EQ(readWholeFile(at("to")), std::string("\0bin\xFF", 5));
    EXPECT_EQ(fileLength(at("to")), 5);
    copyFile(at("from"), at("from"));
    EXPECT_EQ(readWholeFile(at("from")), std::string("\0bin\xFF", 5));
    EXPECT_EQ(errorNumberOf([&] { copyFile(at("none"), at("to")); }), 53);
    EXPECT_EQ(readWholeFile(at("to")), std::string("\0bin\xFF", 5));
}

TEST_F(FileSystem, RenameReplacesTheTarget)
{
    writeWholeFile(at("new"), "new");
    writeWholeFile(at("old"), "old");
    renameFile(at("new"), at("old"));
    EXPECT_FALSE(fileExists(at("new")));
    EXPECT_EQ(readWholeFile(at("old")), "new");
    EXPECT_EQ(errorNumberOf([&] { renameFile(at("none"), at("x")); }), 53);
    EXPECT_EQ(errorNumberOf([&] { renameFile(at("old"), at("no/x")); }), 76);
}

TEST_F(FileSystem, FailuresCarryNumberAndTheReasonInJapanese)
{
    std::string description;
    EXPECT_EQ(errorNumberOf([&] { readWholeFile(at("none")); }, &description), 53);
    EXPECT_NE(description.find("ファイルがありません"), std::string::npos) << description;
    EXPECT_EQ(description.find(std::strerror(ENOENT)), std::string::npos) << description;
    EXPECT_NE(description.find(at("none")), std::string::npos) << description;
    EXPECT_EQ(errorNumberOf([&] { fileLength(at("none")); }), 53);
    EXPECT_EQ(errorNumberOf([&] { readWholeFile(home.file("none/x")); }), 76);
    EXPECT_EQ(errorNumberOf([&] { readWholeFile(dir); }), 75);
    EXPECT_EQ(errorNumberOf([&] { writeWholeFile(home.file("none/x"), ""); }), 76);
    writeWholeFile(at("plain"), "");
    EXPECT_EQ(errorNumberOf([&] { readWholeFile(at("plain/x")); }), 76); // a file used as folder
}

// The reason a message gives is the user's language for every errno: a word of its
// own where there is one, else the number, never the system's English text.
TEST_F(FileSystem, EveryFailureReasonIsInJapanese)
{
    const auto reasonOf = [](const std::function<void()>& action) {
        try {
            action();
        } catch (const RuntimeError& e) {
            return failureReason(e);
        }
        return std::string("no failure");
    };
    EXPECT_EQ(reasonOf([&] { writeWholeFile(at(std::string(300, 'n')), ""); }), "名前が長すぎます");
    ASSERT_EQ(::symlink(at("loop").c_str(), at("loop").c_str()), 0);
    EXPECT_EQ(reasonOf([&] { writeWholeFile(at("loop"), ""); }), "システムの障害（番号 " + std::to_string(ELOOP) + "）");
    for (int error = 1; error < 134; ++error) {
        const std::string reason = failureReason(errnoError(error, at("x")));
        EXPECT_TRUE(std::none_of(reason.begin(), reason.end(),
                                 [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }))
            << error << ": " << reason;
    }
}

TEST_F(FileSystem, CurrentDirectoryCanBeChangedAndRestored)
{
    const std::string before = currentDirectory();
    setCurrentDirectory(dir);
    const std::string now = currentDirectory();
    setCurrentDirectory(before);
    struct stat a {}, b {};
    ASSERT_EQ(::stat(now.c_str(), &a), 0);
    ASSERT_EQ(::stat(dir.c_str(), &b), 0);
    EXPECT_EQ(a.st_ino, b.st_ino);
    EXPECT_EQ(currentDirectory(), before);
    EXPECT_EQ(errorNumberOf([&] { setCurrentDirectory(at("none")); }), 76);
    EXPECT_EQ(currentDirectory(), before);
}

TEST_F(FileSystem, AtomicWriteReplacesAndLeavesNoTemporaryFile)
{
    writeWholeFile(at("family.kez"), "old");
    ::chmod(at("family.kez").c_str(), 0640);
    writeFileAtomically(at("family.kez"), "new content");
    EXPECT_EQ(readWholeFile(at("family.kez")), "new content");
    EXPECT_EQ(listFiles(dir, "*.*"), Names{"family.kez"});
    struct stat st {};
    ASSERT_EQ(::stat(at("family.kez").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // permissions survive the replacement

    writeFileAtomically(at("fresh"), "x");
    EXPECT_EQ(readWholeFile(at("fresh")), "x");
}

TEST_F(FileSystem, AtomicWriteFailureLeavesTheOldFileIntact)
{
    const std::string old(100, 'o');
    writeWholeFile(at("family.kez"), old);

    const int number =
        errorNumberOfSmallFilesOnly([&] { writeFileAtomically(at("family.kez"), std::string(5000, 'n')); });

    EXPECT_EQ(number, 61);
    EXPECT_EQ(readWholeFile(at("family.kez")), old);
    EXPECT_EQ(listFiles(dir, "*.*"), Names{"family.kez"}) << "the temporary file was left behind";
}

// Every write of a whole file, also a plain one and a copy, replaces the file only
// once the new content is whole: one that cannot be finished (a full disk) leaves the
// old content and no temporary file.
TEST_F(FileSystem, EveryWholeWriteThatFailsLeavesTheOldFileIntact)
{
    const std::string old(100, 'o');
    writeWholeFile(at("big"), std::string(5000, 'b'));
    const std::pair<const char*, std::function<void()>> writes[] = {
        {"writeWholeFile", [&] { writeWholeFile(at("face.bmp"), std::string(5000, 'n')); }},
        {"copyFile", [&] { copyFile(at("big"), at("face.bmp")); }},
        {"PartialFile", [&] {
             PartialFile file(at("face.bmp"));
             file.write(std::string(600, 'n'));
             file.write(std::string(600, 'n'));
             file.replace(Flush::ToDisk);
         }},
    };
    for (const auto& [name, write] : writes) {
        SCOPED_TRACE(name);
        writeWholeFile(at("face.bmp"), old);
        EXPECT_EQ(errorNumberOfSmallFilesOnly(write), 61);
        EXPECT_EQ(readWholeFile(at("face.bmp")), old);
        EXPECT_EQ(sorted(listFiles(dir, "*.*")), (Names{"big", "face.bmp"})) << "the temporary file was left behind";
    }
    // What is no file (here a socket) is never replaced by one.
    const int listener = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, at("socket").c_str(), sizeof address.sun_path - 1);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    for (const auto& write : {std::function<void()>([&] { writeWholeFile(at("socket"), "x"); }),
                              std::function<void()>([&] { writeFileAtomically(at("socket"), "x"); })}) {
        try {
            write();
            ADD_FAILURE() << "written";
        } catch (const RuntimeError& e) {
            EXPECT_EQ(failureReason(e), "書き込み先がファイルではありません");
        }
    }
    struct stat st {};
    EXPECT_TRUE(::stat(at("socket").c_str(), &st) == 0 && S_ISSOCK(st.st_mode));
    ::close(listener);
}

// A name the folder takes, but not with ".part" added, is written whole all the same,
// through a shorter temporary name that keeps it apart from its neighbours'.
TEST_F(FileSystem, ANameTooLongForThePartEndingIsWrittenWholeAllTheSame)
{
    const std::string first = std::string(243, 'n') + "-first.bmp";
    const std::string second = std::string(243, 'n') + "-second.wav";
    ASSERT_EQ(first.size() + std::string(".part").size(), 258u);
    EXPECT_NE(partialFileName(at(first)), partialFileName(at(second)));
    EXPECT_LE(fileNameOf(partialFileName(at(first))).size(), 255u);
    writeFileAtomically(at(first), "atomic");
    writeWholeFile(at(second), "whole");
    EXPECT_EQ(readWholeFile(at(first)), "atomic");
    EXPECT_EQ(readWholeFile(at(second)), "whole");
    EXPECT_EQ(sorted(listFiles(dir, "*.*")), sorted({first, second}));
}

// A write through a symbolic link (a relative one, and a link to a link) replaces the
// file the link leads to, with its temporary files beside that file; the links stay.
TEST_F(FileSystem, WritesThroughALinkReplaceTheFileItLeadsToAndKeepTheLink)
{
    makeDir(at("real"));
    writeWholeFile(at("real/family.kez"), "old");
    ASSERT_EQ(::symlink("real/family.kez", at("link.kez").c_str()), 0);
    ASSERT_EQ(::symlink(at("link.kez").c_str(), at("second.kez").c_str()), 0);
    const auto isLink = [&](const std::string& name) {
        struct stat st {};
        return ::lstat(at(name).c_str(), &st) == 0 && S_ISLNK(st.st_mode);
    };
    EXPECT_EQ(linkTarget(at("second.kez")), at("real/family.kez"));
    EXPECT_EQ(partialFileName(at("second.kez")), at("real/family.kez.part"));

    writeFileAtomically(at("second.kez"), "atomic");
    EXPECT_EQ(readWholeFile(at("real/family.kez")), "atomic");
    writePartialFile(at("link.kez"), "partial");
    replaceWithPartialFiles({at("link.kez")});
    EXPECT_EQ(readWholeFile(at("real/family.kez")), "partial");

    EXPECT_TRUE(isLink("link.kez"));
    EXPECT_TRUE(isLink("second.kez"));
    Names besideLinks = listFiles(dir, "*.*");
    std::sort(besideLinks.begin(), besideLinks.end());
    EXPECT_EQ(besideLinks, (Names{"link.kez", "second.kez"})) << "no temporary file beside the links";
    Names besideFile = listFiles(at("real"), "*.*");
    std::sort(besideFile.begin(), besideFile.end());
    EXPECT_EQ(besideFile, (Names{"family.kez"}));
}

TEST_F(FileSystem, AtomicWriteOntoAFolderOrIntoAMissingFolderFails)
{
    makeDir(at("folder"));
    EXPECT_EQ(errorNumberOf([&] { writeFileAtomically(at("folder"), "x"); }), 75);
    EXPECT_TRUE(dirExists(at("folder")));
    EXPECT_EQ(errorNumberOf([&] { writeFileAtomically(at("none/x"), "x"); }), 76);
    EXPECT_EQ(listFiles(dir, "*.*"), Names{});
}

// Every edit's snapshot goes through replaceThroughSpare: the file holds exactly the
// last content whole, whatever the earlier lengths, and a write that fails leaves it.
TEST_F(FileSystem, ReplaceThroughSpareKeepsTheFileWholeAndExact)
{
    const std::string path = at("Undo.kez");
    for (const std::string content : {"first, and long enough", "short", "", "third one"}) {
        replaceThroughSpare(path, content);
        EXPECT_EQ(readWholeFile(path), content);
    }
    const FileStamp before = fileStamp(path);
    EXPECT_EQ(fileStamp(path), before) << "a file not written keeps its stamp";

    EXPECT_EQ(errorNumberOfSmallFilesOnly([&] { replaceThroughSpare(path, std::string(5000, 'n')); }), 61);
    EXPECT_EQ(readWholeFile(path), "third one");
    EXPECT_EQ(fileStamp(path), before);

    replaceThroughSpare(path, "fourth");
    EXPECT_EQ(readWholeFile(path), "fourth");
    EXPECT_NE(fileStamp(path), before);
    EXPECT_EQ(errorNumberOf([&] { replaceThroughSpare(dir, "x"); }), 75);
}

TEST_F(FileSystem, RemoveTreeRemovesEverythingBelow)
{
    makeDirs(at("a/b"));
    writeWholeFile(at("a/b/c"), "x");
    writeWholeFile(at("a/d"), "x");
    removeTree(at("a"));
    EXPECT_FALSE(dirExists(at("a")));
    EXPECT_NO_THROW(removeTree(at("a")));
}

struct PathPartsCase {
    const char* path;
    const char* parent;
    const char* name;
};

void PrintTo(const PathPartsCase& c, std::ostream* os)
{
    *os << c.path;
}

class PathParts : public ::testing::TestWithParam<PathPartsCase> {};

TEST_P(PathParts, SplitsFolderAndName)
{
    EXPECT_EQ(parentPath(GetParam().path), GetParam().parent);
    EXPECT_EQ(fileNameOf(GetParam().path), GetParam().name);
}

INSTANTIATE_TEST_SUITE_P(Paths, PathParts,
                         ::testing::Values(PathPartsCase{"/a/b.txt", "/a", "b.txt"},
                                           PathPartsCase{"/b.txt", "/", "b.txt"},
                                           PathPartsCase{"b.txt", "", "b.txt"},
                                           PathPartsCase{"a/b/", "a/b", ""}));

} // namespace
