// What a start costs. The real program (the executable beside this test) is
// started as a user starts it, with a family to open, and looked at once it has
// drawn the family and left its first autosave: it must not have loaded the
// sound server's library, which only the voice memo window needs and loads
// when it first plays or records, nor the print service's library or Qt's
// plugin for it, which only printing needs.

#include "model/filestore/FamilyFile.h"
#include "document/InitAllSetting.h"
#include "document/Snapshots.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include "LayoutFamilies.h"
#include "support/ServiceProcess.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// What a process has mapped, its libraries among it.
std::string mappedFiles(int pid)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/maps");
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(StartUpCost, loadsNoSoundOrPrintLibraryBeforeSoundOrPrintingIsUsed)
{
    // Every executable of the build lands in one folder.
    const std::string program = (std::filesystem::read_symlink("/proc/self/exe").parent_path() / "tevora").string();
    ASSERT_TRUE(platform::fileExists(program)) << program;
    TempHome home(TempHome::Contents::ProgramData);
    model::InitAllSetting();
    layouttest::FamilyBuilder builder;
    model::tables().kou_buf[builder.couple()].dsp_start = 1;
    const std::string family = platform::joinPath(home.path(), "family.kez");
    ASSERT_TRUE(model::save_file(family));
    model::InitAllSetting();

    support::ServiceProcess tevora("tevora-start");
    ASSERT_FALSE(tevora.folder().empty());
    const std::string output = platform::joinPath(tevora.folder(), "output");
    ASSERT_TRUE(tevora.run(program, {family}, {"TEVORA_HOME=" + home.path()}, output));
    const std::string autosave = home.file(model::AutosaveSnapshotName);
    const bool started = tevora.waitUntil([&] { return platform::fileExists(autosave); }, std::chrono::minutes(2));
    const std::string libraries = started ? mappedFiles(tevora.pid()) : std::string();
    tevora.end(SIGKILL);

    ASSERT_TRUE(started) << "the program opened the family and left its autosave; its output:\n"
                         << (platform::fileExists(output) ? platform::readWholeFile(output) : std::string());
    ASSERT_NE(libraries.find("libQt6Widgets"), std::string::npos);
    EXPECT_EQ(libraries.find("libpulse"), std::string::npos) << "the sound library is mapped";
    EXPECT_EQ(libraries.find("libcups"), std::string::npos) << "the print library is mapped";
    EXPECT_EQ(libraries.find("printsupport/"), std::string::npos) << "Qt's print service plugin is mapped";
}

} // namespace
