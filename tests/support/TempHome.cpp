#include "support/TempHome.h"

#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <stdexcept>

namespace support {

namespace {

// Holds the program folder set by the enclosing TempHome ("" for none), so
// that nested homes hand it back correctly.
std::string& currentTestingHome()
{
    static std::string home;
    return home;
}

// A new folder under the temporary folder, its name beginning with prefix.
std::string makeTemporaryFolder(const char* prefix)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/" + prefix + "-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary folder in " + pattern);
    return pattern;
}

} // namespace

TempHome::TempHome(Contents contents)
    : m_previous(currentTestingHome()), m_workingDirectory(platform::currentDirectory())
{
    m_path = makeTemporaryFolder("tevora-home");
    for (const char* folder : {"TMP", "voice", "face", "icodat", "qa", "man", "StackFace"})
        platform::makeDir(platform::joinPath(m_path, folder));
    if (contents == Contents::ProgramData)
        copyProgramData();
    platform::setAppPathForTesting(m_path);
    currentTestingHome() = m_path;
}

TempHome::~TempHome()
{
    platform::setAppPathForTesting(m_previous);
    currentTestingHome() = m_previous;
    try {
        // A command may have made a folder inside the home the working directory
        // (the family's folder): it must not outlive the home for later tests.
        platform::setCurrentDirectory(m_workingDirectory);
        platform::removeTree(m_path);
    } catch (...) {
        // A folder left behind in /tmp is no reason to abort the test run.
    }
}

std::string TempHome::file(std::string_view backslashName) const
{
    std::string relative(backslashName);
    return platform::joinPath(m_path, relative);
}

void TempHome::write(std::string_view backslashName, const std::string& bytes) const
{
    const std::string target = file(backslashName);
    platform::makeDirs(platform::parentPath(target));
    platform::writeWholeFile(target, bytes);
}

void TempHome::copyProgramData() const
{
    platform::copyDataFiles(TEVORA_PROGRAM_DATA_DIR, m_path);
}

} // namespace support

namespace support {

TempFolder::TempFolder() : m_path(makeTemporaryFolder("tevora-user")) {}

TempFolder::~TempFolder()
{
    try {
        platform::removeTree(m_path);
    } catch (...) {
        // A folder left behind in /tmp is no reason to abort the test run.
    }
}

} // namespace support
