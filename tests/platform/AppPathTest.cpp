#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace platform;

namespace {

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const std::string& value) : m_name(name)
    {
        if (const char* old = std::getenv(name))
            m_old = old;
        ::setenv(name, value.c_str(), 1);
    }
    ~ScopedEnv()
    {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

// Runs setCommandLine on a list of arguments (the program name first).
void setArguments(std::vector<std::string> args)
{
    std::vector<char*> argv;
    for (auto& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    setCommandLine(static_cast<int>(args.size()), argv.data());
}

struct JoinCase {
    const char* a;
    const char* b;
    const char* joined;
};

void PrintTo(const JoinCase& c, std::ostream* os)
{
    *os << c.a << " + " << c.b;
}

class JoinPath : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPath, PutsExactlyOneSlashBetween)
{
    EXPECT_EQ(joinPath(GetParam().a, GetParam().b), GetParam().joined);
}

INSTANTIATE_TEST_SUITE_P(Parts, JoinPath,
                         ::testing::Values(JoinCase{"/home/a", "TMP", "/home/a/TMP"},
                                           JoinCase{"/home/a/", "\\TMP\\Undo.kez", "/home/a/TMP/Undo.kez"},
                                           JoinCase{"/home/a", "/x", "/home/a/x"}, JoinCase{"/", "\\x", "/x"},
                                           JoinCase{"", "a\\b", "a/b"}, JoinCase{"/a", "", "/a"}));

TEST(AppFile, ResolvesExistingComponentsCaseInsensitively)
{
    TempHome home;
    makeDir(home.file("Help"));
    writeWholeFile(home.file("Help/Hint.TXT"), "x");
    makeDirs(home.file("Data/Sub"));

    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"\\help\\hint.txt", home.path() + "/Help/Hint.TXT"},
        {"\\HELP\\HINT.TXT", home.path() + "/Help/Hint.TXT"},
        {"\\help\\new.txt", home.path() + "/Help/new.txt"},      // missing file keeps its spelling
        {"\\QA\\x.txt", home.path() + "/qa/x.txt"},
        {"\\data\\sub\\a\\b.txt", home.path() + "/Data/Sub/a/b.txt"}, // below a missing folder too
        {"\\tmp\\Undo.kez", home.path() + "/TMP/Undo.kez"},
        {"\\nengo_tbl.mas", home.path() + "/nengo_tbl.mas"},
        {"", home.path()},
    };
    for (const auto& c : cases)
        EXPECT_EQ(appFile(c.name), c.path) << c.name;
}

TEST(AppFile, AnExactMatchWinsOverOtherSpellings)
{
    TempHome home;
    makeDir(home.file("qa"));
    makeDir(home.file("Qa"));
    EXPECT_EQ(appFile("\\Qa\\x"), home.path() + "/Qa/x");
    EXPECT_EQ(appFile("\\qa\\x"), home.path() + "/qa/x");
    EXPECT_EQ(appFile("\\QA\\x"), home.path() + "/Qa/x"); // no exact one: the smallest name
}

TEST(AppPath, TempHomeIsTheProgramFolderAndIsRemoved)
{
    std::string path;
    {
        TempHome home;
        path = home.path();
        EXPECT_EQ(GetAppPath(), path);
        for (const char* folder : {"TMP", "voice", "face", "icodat", "qa", "man", "StackFace"})
            EXPECT_TRUE(dirExists(home.file(folder))) << folder;
        {
            TempHome inner;
            EXPECT_EQ(GetAppPath(), inner.path());
        }
        EXPECT_EQ(GetAppPath(), path);
    }
    EXPECT_FALSE(dirExists(path));
    EXPECT_NE(GetAppPath(), path);
}

TEST(AppPath, TempHomeCanHoldTheProgramData)
{
    TempHome home(TempHome::Contents::ProgramData);
    EXPECT_TRUE(fileExists(appFile("\\nengo_tbl.mas")));
}

TEST(AppPath, EnvironmentVariableChoosesTheFolderWithoutTrailingSlash)
{
    TempHome scratch;
    const std::string chosen = scratch.file("chosen");
    makeDir(chosen);
    writeWholeFile(chosen + "/marker", "");
    setAppPathForTesting("");
    {
        ScopedEnv env("TEVORA_HOME", chosen + "/");
        setAppPathForTesting("");
        EXPECT_EQ(GetAppPath(), chosen);
        // A prepared folder is taken as it stands: nothing is copied into it.
        EXPECT_EQ(listFiles(chosen, "*.*"), std::vector<std::string>{"marker"});
    }
    setAppPathForTesting("");
    EXPECT_NE(GetAppPath(), chosen);
}

TEST(AppPath, ANewChosenFolderIsFilledFromTheProgramFolder)
{
    TempHome scratch;
    const std::string chosen = scratch.file("new/home");
    {
        ScopedEnv env("TEVORA_HOME", chosen);
        setAppPathForTesting("");
        EXPECT_EQ(GetAppPath(), chosen);
        EXPECT_TRUE(dirExists(chosen));
        // Whatever data the executable's folder holds is now there too.
        for (const char* item : {"TMP", "qa", "nengo_tbl.mas"}) {
            struct stat st {};
            const bool inProgramFolder = ::stat((executableDir() + "/" + item).c_str(), &st) == 0;
            EXPECT_EQ(::stat((chosen + "/" + item).c_str(), &st) == 0, inProgramFolder) << item;
        }
    }
    setAppPathForTesting("");
}

TEST(AppPath, CommandLineSwitchWinsOverTheEnvironment)
{
    TempHome scratch;
    makeDir(scratch.file("a"));
    makeDir(scratch.file("b"));
    ScopedEnv env("TEVORA_HOME", scratch.file("a"));
    setAppPathForTesting("");
    setArguments({"tevora", "--home", scratch.file("b"), "family.kez"});
    EXPECT_EQ(GetAppPath(), scratch.file("b"));
    EXPECT_EQ(Command(), "family.kez");
    setArguments({"tevora", "--home=" + scratch.file("a")});
    EXPECT_EQ(GetAppPath(), scratch.file("a"));
    setArguments({"tevora"});
    setAppPathForTesting("");
}

TEST(CopyDataFiles, CopiesFoldersAndDataButNotProgramsNorOverwrites)
{
    TempHome scratch;
    const std::string from = scratch.file("from");
    const std::string to = scratch.file("to");
    makeDirs(from + "/qa/deep");
    writeWholeFile(from + "/nengo_tbl.mas", "eras");
    writeWholeFile(from + "/qa/deep/q.txt", "q");
    writeWholeFile(from + "/tevora", "ELF");
    ::chmod((from + "/tevora").c_str(), 0755);
    makeDir(to);
    writeWholeFile(to + "/nengo_tbl.mas", "user's own");

    copyDataFiles(from, to);
    EXPECT_EQ(readWholeFile(to + "/nengo_tbl.mas"), "user's own");
    EXPECT_EQ(readWholeFile(to + "/qa/deep/q.txt"), "q");
    EXPECT_FALSE(fileExists(to + "/tevora"));
}

TEST(UserDataDir, FollowsXdgDataHome)
{
    {
        ScopedEnv xdg("XDG_DATA_HOME", "/data/x");
        EXPECT_EQ(userDataDir(), "/data/x/tevora");
    }
    ScopedEnv xdg("XDG_DATA_HOME", "");
    ScopedEnv home("HOME", "/home/u");
    EXPECT_EQ(userDataDir(), "/home/u/.local/share/tevora");
}

TEST(CommandLine, JoinsArgumentsQuotingBlanksAndCommas)
{
    const struct {
        std::vector<std::string> args;
        const char* command;
    } cases[] = {
        {{"tevora"}, ""},
        {{"tevora", "a.kez"}, "a.kez"},
        {{"tevora", "my family.kez"}, "\"my family.kez\""},
        {{"tevora", "a,b", "c"}, "\"a,b\" c"},
        {{"tevora", "x", ""}, "x \"\""},
        {{"tevora", "/tmp/\xE5\xAE\xB6\xE7\xB3\xBB.kez"}, "/tmp/\xE5\xAE\xB6\xE7\xB3\xBB.kez"},
    };
    for (const auto& c : cases) {
        setArguments(c.args);
        EXPECT_EQ(Command(), c.command);
    }
    setArguments({"tevora"});
}

} // namespace
