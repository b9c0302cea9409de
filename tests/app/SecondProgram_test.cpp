// One program folder serves one running program. Real programs (the main window with
// every other window installed, started as main() starts them) run in child
// processes on one program folder: the first opens a family with a picture and edits
// it, so its work folder, undo and autosave files are filled; a second start on the
// same folder must say so and end without touching any of them; once the first
// program is killed, the next start takes its folder over and offers its edit back.

#include "app/AppWindows.h"

#include "document/Snapshots.h"
#include "document/WorkFolders.h"
#include "drawing/ChartRebuild.h"
#include "forms/CommonDialog.h"
#include "mainwindow/MainForm.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/MediaBundle.h"
#include "model/tables.h"
#include "document/InitAllSetting.h"
#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include "LayoutFamilies.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <signal.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

constexpr char Separator = '\x1e';
constexpr int FileMenuOpen = 1;
constexpr int FileMenuExit = 16;
const std::string Picture = "BM the father's picture";

// Answers the program's boxes as a user who keeps what is there would (No to every
// question, OK to every notice) and writes down what they said.
class RecordingUser : public platform::Hooks, public forms::DialogResponder {
public:
    explicit RecordingUser(std::string family) : m_family(std::move(family))
    {
        platform::setHooks(this);
        forms::setDialogResponder(this);
    }
    int msgBox(const std::string& text, int style, const std::string&) override
    {
        texts += text + Separator;
        return (style & 0x7) == platform::vbYesNo ? platform::vbNo : platform::vbOK;
    }
    forms::DialogAnswer respond(const forms::DialogRequest& request) override
    {
        return request.kind == forms::DialogKind::Open ? forms::DialogAnswer::file(m_family)
                                                       : forms::DialogAnswer::cancelled();
    }
    std::string texts;

private:
    std::string m_family;
};

// The first program: opens the family, edits it (undo snapshot, then the rebuild that
// writes the autosave) and stays running until it is killed.
[[noreturn]] void runFirstProgram(const std::string& family, const std::string& ready)
{
    RecordingUser user(family);
    if (!platform::claimProgramFolder())
        ::_exit(2);
    app::installProgram();
    main_form().show();
    main_form().fileitem[FileMenuOpen].choose();
    model::Save_Undo();
    model::tables().per_buf[1].Biko = "edited by the first program";
    model::tables().Data_Changed = 1;
    drawing::Refresh_TabDisp();
    platform::writeWholeFile(ready, user.texts);
    for (;;)
        ::pause();
}

// A later start: as main() does, the folder is claimed before the windows come; a
// start that gets the folder answers the recovery question No and ends through
// File > Exit. What the boxes said is written to result.
[[noreturn]] void runLaterProgram(const std::string& result)
{
    RecordingUser user("");
    int code = 1;
    try {
        if (platform::claimProgramFolder()) {
            code = 0;
            app::installProgram();
            main_form().show();
            main_form().fileitem[FileMenuExit].choose();
        }
    } catch (...) {
        // EndProgram ends the program here.
    }
    // Past the program's file functions, which keep their own records in the program
    // folder: the test's result is no file of the program's.
    std::ofstream(result, std::ios::binary) << user.texts;
    ::_exit(code);
}

template <class Run>
pid_t start(Run run)
{
    const pid_t child = ::fork();
    if (child == 0) {
        try {
            run();
        } catch (...) {
        }
        ::_exit(3);
    }
    return child;
}

// The exit code of child, or -1 when it did not end within the time (it is killed).
int waitForExit(pid_t child)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool waitForFile(const std::string& path, pid_t writer)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    int status = 0;
    while (!platform::fileExists(path)) {
        if (std::chrono::steady_clock::now() > until || ::waitpid(writer, &status, WNOHANG) != 0)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::vector<std::string> split(const std::string& texts)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(texts);
    while (std::getline(in, part, Separator))
        parts.push_back(part);
    return parts;
}

// Every file below folder with its stamp and content.
std::map<std::string, std::pair<platform::FileStamp, std::string>> filesBelow(const std::string& folder)
{
    std::map<std::string, std::pair<platform::FileStamp, std::string>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file()) {
            const std::string path = entry.path().string();
            files[path] = {platform::fileStamp(path), platform::readWholeFile(path)};
        }
    }
    return files;
}

class SecondProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tevora-results-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        results = pattern;
        // A family with a picture, saved by the program's writer.
        model::InitAllSetting();
        layouttest::FamilyBuilder builder;
        const int16_t kou = builder.couple();
        model::tables().kou_buf[kou].dsp_start = 1;
        platform::writeWholeFile(platform::joinPath(model::mediaFolder(model::MediaPicture), "face1.bmp"), Picture);
        model::tables().per_buf[1].Picture_filename = "face1.bmp";
        model::tables().per_buf[1].Picture_index = 0;
        ASSERT_TRUE(model::save_file(family()));
        model::InitAllSetting();
    }
    void TearDown() override
    {
        if (first > 0) {
            ::kill(first, SIGKILL);
            ::waitpid(first, nullptr, 0);
        }
        platform::removeTree(results);
    }

    std::string family() const { return platform::joinPath(home.path(), "family.kez"); }
    std::string result(const char* name) const { return platform::joinPath(results, name); }

    TempHome home{TempHome::Contents::ProgramData};
    std::string results;
    pid_t first = -1;
};

TEST_F(SecondProgram, IsRefusedWithoutTouchingTheFolderAndAKilledProgramsFolderIsTakenOver)
{
    const std::string ready = result("first");
    const std::string fam = family();
    first = start([&] { runFirstProgram(fam, ready); });
    ASSERT_TRUE(waitForFile(ready, first)) << "the first program did not start";
    ASSERT_TRUE(platform::fileExists(home.file("face/face1.bmp")));
    ASSERT_TRUE(platform::fileExists(home.file("TMP/Autosave.kez")));
    ASSERT_TRUE(platform::fileExists(home.file("TMP/Undo.kez")));
    const auto before = filesBelow(home.path());

    const std::string second = result("second");
    EXPECT_EQ(waitForExit(start([&] { runLaterProgram(second); })), 1) << "the second program ran";
    ASSERT_TRUE(platform::fileExists(second));
    EXPECT_EQ(split(platform::readWholeFile(second)),
              std::vector<std::string>{std::string(platform::ProgramFolderInUseMessage) + "\r\n\r\n" + home.path()});
    EXPECT_TRUE(filesBelow(home.path()) == before) << "the second start changed the first program's files";
    EXPECT_EQ(::waitpid(first, nullptr, WNOHANG), 0) << "the first program is running on";

    // The first program is killed: its lock goes with it, and the next start takes
    // the folder and offers the interrupted edit back.
    ::kill(first, SIGKILL);
    ::waitpid(first, nullptr, 0);
    first = -1;
    const std::string third = result("third");
    EXPECT_EQ(waitForExit(start([&] { runLaterProgram(third); })), 0);
    ASSERT_TRUE(platform::fileExists(third));
    const std::vector<std::string> asked = split(platform::readWholeFile(third));
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.front(), model::AutosaveQuestion);
}

} // namespace
