#include "FuzzHome.h"

#include "platform/AppPath.h"
#include "platform/FileSystem.h"

#include <cstdlib>
#include <stdexcept>

FuzzHome::FuzzHome()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tevora-fuzz-XXXXXX";
    if (!::mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create " + pattern);
    m_path = pattern;
    platform::makeDir(file("voice"));
    platform::makeDir(file("face"));
    platform::setAppPathForTesting(m_path);
    platform::setHooks(this);
}

FuzzHome::~FuzzHome()
{
    platform::setHooks(nullptr);
    platform::setAppPathForTesting("");
    platform::removeTree(m_path);
}

std::string FuzzHome::file(const std::string& name) const
{
    return platform::joinPath(m_path, name);
}

int FuzzHome::msgBox(const std::string&, int, const std::string&)
{
    ++messages;
    return platform::vbOK;
}
