#include "support/TempHome.h"

#include "support/TemporaryFolder.h"

#include "platform/AppPath.h"
#include "platform/FileSystem.h"

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

} // namespace

TempHome::TempHome(Contents contents)
    : m_previous(currentTestingHome()), m_workingDirectory(platform::currentDirectory())
{
    m_path = makeTemporaryFolder("tevora-home");
    if (m_path.empty())
        throw std::runtime_error("cannot create a temporary program folder");
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

TempFolder::TempFolder() : m_path(makeTemporaryFolder("tevora-user"))
{
    if (m_path.empty())
        throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder()
{
    try {
        platform::removeTree(m_path);
    } catch (...) {
        // A folder left behind in /tmp is no reason to abort the test run.
    }
}

} // namespace support
