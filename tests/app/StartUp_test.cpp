// What a start costs. The real program (the executable beside this test) is
// started as a user starts it, with a family to open, and looked at once it has
// drawn the family and left its first autosave: it must not have loaded the
// sound server's library, which only the voice memo window needs and loads
// when it first plays or records, nor the print service's library or Qt's
// plugin for it, which only printing needs. In a Wayland session it runs on the
// platform it chose for the session.

#include "model/filestore/FamilyFile.h"
#include "document/InitAllSetting.h"
#include "document/Snapshots.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include "LayoutFamilies.h"
#include "support/ServiceProcess.h"
#include "support/TempHome.h"
#include "support/qt/WindowManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// What a process has mapped, its libraries among it.
std::string mappedFiles(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The real program (the executable beside this test), started as a user starts
// it with a family to open, in a program folder of its own and the environment
// changed ("NAME=value" sets, "NAME" removes).
class StartedProgram {
public:
    explicit StartedProgram(const std::vector<std::string>& environment)
    {
        // Every executable of the build lands in one folder.
        const std::string program =
            (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tevora").string();
        model::InitAllSetting();
        layouttest::FamilyBuilder builder;
        model::tables().kou_buf[builder.couple()].dsp_start = 1;
        const std::string family = platform::joinPath(m_home.path(), "family.kez");
        const bool saved = model::save_file(family);
        model::InitAllSetting();
        if (!saved || m_program.folder().empty())
            return;
        m_output = platform::joinPath(m_program.folder(), "output");
        std::vector<std::string> changes = environment;
        changes.push_back("TEVORA_HOME=" + m_home.path());
        if (!m_program.run(program, {family}, changes, m_output))
            return;
        const std::string autosave = m_home.file(model::AutosaveSnapshotName);
        m_started = m_program.waitUntil([&] { return platform::fileExists(autosave); }, std::chrono::minutes(2));
    }

    // The program opened the family and left its autosave.
    bool started() const { return m_started; }
    // What it has mapped (its libraries among it) while it runs.
    std::string libraries() { return m_program.running() ? mappedFiles(m_program.pid()) : std::string(); }
    // What it wrote.
    std::string output() const
    {
        return platform::fileExists(m_output) ? platform::readWholeFile(m_output) : std::string();
    }

private:
    TempHome m_home{TempHome::Contents::ProgramData};
    support::ServiceProcess m_program{"tevora-start"};
    std::string m_output;
    bool m_started = false;
};

TEST(StartUpCost, loadsNoSoundOrPrintLibraryBeforeSoundOrPrintingIsUsed)
{
    StartedProgram tevora({});
    ASSERT_TRUE(tevora.started()) << "the program opened the family and left its autosave; its output:\n"
                                  << tevora.output();
    const std::string libraries = tevora.libraries();
    ASSERT_NE(libraries.find("libQt6Widgets"), std::string::npos);
    EXPECT_EQ(libraries.find("libpulse"), std::string::npos) << "the sound library is mapped";
    EXPECT_EQ(libraries.find("libcups"), std::string::npos) << "the print library is mapped";
    EXPECT_EQ(libraries.find("printsupport/"), std::string::npos) << "Qt's print service plugin is mapped";
}

// In a Wayland session the program runs on X11 through XWayland where the
// session offers it (there it can place its windows and follow the pointer),
// and on Wayland where it offers none; with Qt's Wayland plugin installed, as
// Debian's qt6-wayland installs it.
TEST(StartUpCost, InAWaylandSessionRunsOnX11ThroughXWaylandWhereOfferedElseOnWayland)
{
    using support::WaylandSession;
    struct Case {
        WaylandSession::XServer xServer;
        const char* plugin;
    };
    for (const Case& c : {Case{WaylandSession::XServer::Offered, "platforms/libqxcb.so"},
                          Case{WaylandSession::XServer::None, "platforms/libqwayland-generic.so"}}) {
        WaylandSession session(1366, 768, c.xServer);
        if (!session.running())
            GTEST_SKIP() << session.whyNotRunning();
        StartedProgram tevora(session.programEnvironment());
        ASSERT_TRUE(tevora.started()) << c.plugin << "; its output:\n" << tevora.output();
        const std::string libraries = tevora.libraries();
        EXPECT_NE(libraries.find(c.plugin), std::string::npos) << c.plugin << " is not mapped";
    }
}

} // namespace
