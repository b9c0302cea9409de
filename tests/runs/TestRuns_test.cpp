// The test runs themselves, started as a user or CI starts them: tests of the
// suite's own programs (the executables beside this one) run in the background
// from a shell that ends, or with a home that stands for the user's; the time
// limits CTest gives every test; the whole-program run CI uses, with a program
// that hangs; and the package installer run by a user who cannot install.

#include "platform/FileSystem.h"

#include "support/ServiceProcess.h"
#include "support/qt/WindowManager.h"

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// Far above what each run below takes (seconds), and within the test's own limit.
constexpr std::chrono::minutes RunPatience{2};

// A test program of the suite, beside this one: every executable of the build
// lands in one folder.
std::string suiteProgram(const std::string& name)
{
    return (std::filesystem::read_symlink("/proc/self/exe").parent_path() / name).string();
}

std::string contentsOf(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool writeScript(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
    return ::chmod(path.c_str(), 0755) == 0;
}

// The files under folder, hidden ones included, by their path inside it.
std::vector<std::string> filesUnder(const std::string& folder)
{
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_directory())
            files.push_back(std::filesystem::relative(entry.path(), folder).string());
    }
    return files;
}

// A test of the suite to run: its program and its full name.
struct SuiteTest {
    const char* program;
    const char* name;
    friend std::ostream& operator<<(std::ostream& out, const SuiteTest& test)
    {
        return out << test.program << " " << test.name;
    }
};

// --------------------------------------------------------------- background run

// The shell starts the run as a job of its own (a process group, as a terminal's
// shell or a CI runner does) and ends when told to, through a named pipe. A shell
// that ends leaves the run's group without its parent: the kernel then hangs up
// every process of the group (SIGHUP, then SIGCONT) if one of them is stopped.
constexpr const char* ShellScript = R"(set -m
"$1" --gtest_filter="$2" > "$3/run.log" 2>&1 &
echo "$!" > "$3/run.pid"
read -r _ < "$3/end"
)";

// The state letter and the parent of a process ('\0' once it is gone).
struct ProcessState {
    char state = '\0';
    int parent = 0;
};

ProcessState stateOf(int pid)
{
    const std::string stat = contentsOf("/proc/" + std::to_string(pid) + "/stat");
    const size_t afterName = stat.rfind(')');
    ProcessState found;
    if (afterName != std::string::npos)
        std::sscanf(stat.c_str() + afterName + 1, " %c %d", &found.state, &found.parent);
    return found;
}

bool processEnded(int pid)
{
    const char state = stateOf(pid).state;
    return state == '\0' || state == 'Z';
}

// Whether a child of the process is stopped.
bool stopsAChild(int pid)
{
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const ProcessState child = stateOf(std::stoi(name));
        if (child.parent == pid && child.state == 'T')
            return true;
    }
    return false;
}

class BackgroundRunTest : public ::testing::TestWithParam<SuiteTest> {};

// Each row stops a service of its own for a while, on purpose (a hung sound
// server, a hung print scheduler), and passes only while its service stays
// stopped until the test lets it go on. The shell ends while it is stopped.
TEST_P(BackgroundRunTest, passesWhenTheShellThatStartedItEndsWhileAServiceIsStopped)
{
    const std::string program = suiteProgram(GetParam().program);
    if (!platform::fileExists(program) || ::access("/bin/bash", X_OK) != 0)
        GTEST_SKIP() << program << " is not built here, or there is no bash";
    support::ServiceProcess shell("tevora-shell");
    const std::string& folder = shell.folder();
    ASSERT_FALSE(folder.empty());
    ASSERT_EQ(::mkfifo((folder + "/end").c_str(), 0600), 0);
    ASSERT_TRUE(shell.run("/bin/bash", {"-c", ShellScript, "shell", program, GetParam().name, folder}, {},
                          folder + "/shell.log"));
    int run = 0;
    ASSERT_TRUE(shell.waitUntil(
        [&] {
            const std::string pid = contentsOf(folder + "/run.pid");
            run = pid.find('\n') != std::string::npos ? std::stoi(pid) : 0;
            return run > 0;
        },
        RunPatience))
        << contentsOf(folder + "/shell.log");
    const bool stoppedOne = support::waitUntil([&] { return stopsAChild(run) || processEnded(run); }, RunPatience)
                            && !processEnded(run);
    // The shell ends.
    std::ofstream(folder + "/end") << "\n";
    ASSERT_TRUE(shell.waitUntil([&] { return !shell.running(); }, RunPatience)) << "the shell did not end";
    const bool ended = support::waitUntil([&] { return processEnded(run); }, RunPatience);
    if (!ended)
        ::kill(run, SIGKILL);
    const std::string log = contentsOf(folder + "/run.log");
    if (!stoppedOne && log.find("[  SKIPPED ]") != std::string::npos)
        GTEST_SKIP() << "the run skipped:\n" << log;
    ASSERT_TRUE(stoppedOne) << "no service of the run was stopped:\n" << log;
    ASSERT_TRUE(ended) << "the run did not end:\n" << log;
    EXPECT_NE(log.find("[  PASSED  ] 1 test."), std::string::npos)
        << "the run was ended by the hang-up, or its stopped service went on:\n"
        << log;
}

INSTANTIATE_TEST_SUITE_P(
    StoppedServices, BackgroundRunTest,
    ::testing::Values(SuiteTest{"test_entry", "SoundDeviceTest.aServerThatStopsAnsweringGetsTheMessagesInsteadOfAFreeze"},
                      SuiteTest{"test_reports", "NametbWindowTest.PrintOnAPrinterQueueGoesToItOrSaysWhyNot"}),
    [](const ::testing::TestParamInfo<SuiteTest>& info) { return std::string(info.param.program).substr(5); });

// -------------------------------------------------------------------- own home

// A test run leaves the home of the user who runs it as it was. Each row runs a
// test whose program would otherwise leave a file in the user's home: Qt's file
// dialog its history (.config/QtProject.conf), a sound server's client its cookie
// (.config/pulse/cookie). The user's home is a folder of this test's.
class OwnHomeTest : public ::testing::TestWithParam<SuiteTest> {};

TEST_P(OwnHomeTest, aRunLeavesTheUsersHomeAsItWas)
{
    const std::string program = suiteProgram(GetParam().program);
    if (!platform::fileExists(program))
        GTEST_SKIP() << program << " is not built here";
    support::ServiceProcess run("tevora-run");
    ASSERT_FALSE(run.folder().empty());
    const std::string home = run.folder() + "/home";
    platform::makeDir(home);
    ASSERT_TRUE(run.run(program, {std::string("--gtest_filter=") + GetParam().name},
                        {"HOME=" + home, "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                         "XDG_RUNTIME_DIR"},
                        run.folder() + "/run.log"));
    ASSERT_TRUE(run.waitUntil([&] { return !run.running(); }, RunPatience)) << "the run did not end";
    const std::string log = contentsOf(run.folder() + "/run.log");
    if (log.find("[  SKIPPED ]") != std::string::npos)
        GTEST_SKIP() << "the run skipped:\n" << log;
    ASSERT_NE(log.find("[  PASSED  ] 1 test."), std::string::npos) << log;
    EXPECT_EQ(filesUnder(home), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Programs, OwnHomeTest,
    ::testing::Values(SuiteTest{"test_forms", "CommonDialogPatterns.AnOpenDialogTakesOnlyAFileThatExistsAndAsksNothing"},
                      SuiteTest{"test_entry", "SoundDeviceTest.aRecordingHoldsTheServersToneAndIsRegisteredAsTheMemo"}),
    [](const ::testing::TestParamInfo<SuiteTest>& info) { return std::string(info.param.program).substr(5); });

// The window manager of the tests' display keeps its log in its own folder,
// whatever home it is started with.
TEST(OwnHome, theWindowManagerLeavesTheUsersHomeAsItWas)
{
    support::ServiceProcess user("tevora-user");
    ASSERT_FALSE(user.folder().empty());
    user.replaceVariable("HOME", user.folder().c_str());
    user.replaceVariable("XDG_CACHE_HOME", nullptr);
    user.replaceVariable("XDG_CONFIG_HOME", nullptr);
    {
        support::WindowManagerDisplay display(640, 480);
        if (!display.running())
            GTEST_SKIP() << display.whyNotRunning();
    }
    EXPECT_EQ(filesUnder(user.folder()), std::vector<std::string>{});
}

// ------------------------------------------------------------------ time limits

// Every test CTest runs has a time limit, so that a hang fails one test instead of
// holding the suite.
TEST(TimeLimits, everyTestOfTheSuiteHasOne)
{
    support::ServiceProcess list("tevora-ctest");
    ASSERT_FALSE(list.folder().empty());
    const std::string json = list.folder() + "/tests.json";
    ASSERT_TRUE(list.run("/bin/sh", {"-c", "cd \"$1\" && exec \"$2\" --show-only=json-v1 > \"$3\"", "sh",
                                     TEVORA_BUILD_DIR, TEVORA_CTEST, json},
                         {}, list.folder() + "/errors"));
    ASSERT_TRUE(list.waitUntil([&] { return !list.running(); }, RunPatience));
    const QJsonArray tests =
        QJsonDocument::fromJson(QByteArray::fromStdString(contentsOf(json))).object().value("tests").toArray();
    ASSERT_GT(tests.size(), 100) << contentsOf(list.folder() + "/errors");
    std::vector<std::string> unlimited;
    for (const QJsonValue& test : tests) {
        double limit = 0;
        for (const QJsonValue& property : test.toObject().value("properties").toArray()) {
            if (property.toObject().value("name").toString() == "TIMEOUT")
                limit = property.toObject().value("value").toDouble();
        }
        if (limit <= 0)
            unlimited.push_back(test.toObject().value("name").toString().toStdString());
    }
    EXPECT_EQ(unlimited, std::vector<std::string>{});
}

// ------------------------------------------------------------ whole-program run

// The script that runs each test program whole (CI runs it) ends a program that
// hangs once its time is up, names it, goes on with the others and fails.
TEST(WholeRun, endsAProgramThatHangsAndNamesIt)
{
    support::ServiceProcess whole("tevora-whole");
    const std::string& folder = whole.folder();
    ASSERT_FALSE(folder.empty());
    platform::makeDirs(folder + "/build/bin");
    ASSERT_TRUE(writeScript(folder + "/build/bin/test_hangs", "#!/bin/sh\nexec sleep 100000\n"));
    ASSERT_TRUE(writeScript(folder + "/build/bin/test_passes", "#!/bin/sh\necho '[  PASSED  ] 1 test.'\n"));
    ASSERT_TRUE(whole.run("/bin/sh",
                          {"-c", "sh \"$0\" \"$1\" 7; echo \"ended with $?\"",
                           std::string(TEVORA_SCRIPTS_DIR) + "/run-tests-whole.sh", folder + "/build"},
                          {"TEST_PROGRAM_TIME_LIMIT=2", "TEST_JOBS=2"}, folder + "/output"));
    ASSERT_TRUE(whole.waitUntil([&] { return !whole.running(); }, RunPatience)) << contentsOf(folder + "/output");
    const std::string output = contentsOf(folder + "/output");
    EXPECT_NE(output.find("---- test_hangs did not end within 2 s and was ended"), std::string::npos) << output;
    EXPECT_NE(output.find("test_passes: [  PASSED  ] 1 test."), std::string::npos) << output;
    EXPECT_NE(output.find("ended with 1"), std::string::npos) << output;
}

// ----------------------------------------------------------- package installer

// A user who is not root, on a machine without sudo, with a package missing:
// the installer says that installing needs root and which packages are missing,
// and installs nothing.
TEST(InstallDeps, withoutRootOrSudoSaysSoAndNamesTheMissingPackages)
{
    support::ServiceProcess installer("tevora-install");
    const std::string& folder = installer.folder();
    ASSERT_FALSE(folder.empty());
    // The commands the script finds: a user's id, every package installed but
    // openbox, an apt-get that records being called, and grep; no sudo.
    const std::string tools = folder + "/tools";
    platform::makeDir(tools);
    ASSERT_TRUE(writeScript(tools + "/id", "#!/bin/sh\necho 1000\n"));
    ASSERT_TRUE(writeScript(tools + "/dpkg-query", "#!/bin/sh\n"
                                                   "for last; do :; done\n"
                                                   "[ \"$last\" = openbox ] && exit 1\n"
                                                   "printf 'install ok installed'\n"));
    ASSERT_TRUE(writeScript(tools + "/apt-get", "#!/bin/sh\necho \"$@\" >> \"" + folder + "/apt-get-called\"\n"));
    for (const char* tool : {"grep", "sh"}) {
        for (const char* place : {"/bin/", "/usr/bin/"}) {
            if (::access((std::string(place) + tool).c_str(), X_OK) == 0) {
                ASSERT_EQ(::symlink((std::string(place) + tool).c_str(), (tools + "/" + tool).c_str()), 0);
                break;
            }
        }
    }
    ASSERT_TRUE(installer.run(tools + "/sh",
                              {"-c", "sh \"$0\"; echo \"ended with $?\"",
                               std::string(TEVORA_SCRIPTS_DIR) + "/install-deps.sh"},
                              {"PATH=" + tools}, folder + "/output"));
    ASSERT_TRUE(installer.waitUntil([&] { return !installer.running(); }, RunPatience));
    const std::string output = contentsOf(folder + "/output");
    EXPECT_NE(output.find("needs root"), std::string::npos) << output;
    EXPECT_NE(output.find("Missing packages: openbox"), std::string::npos) << output;
    EXPECT_EQ(output.find("not found"), std::string::npos) << output;
    EXPECT_NE(output.find("ended with 1"), std::string::npos) << output;
    EXPECT_FALSE(platform::fileExists(folder + "/apt-get-called")) << contentsOf(folder + "/apt-get-called");
}

} // namespace
