#include "model/filestore/FileNames.h"

namespace model {

namespace {

// The path without the extension of its file name.
std::string withoutExtension(const std::string& path)
{
    const size_t lastSlash = path.find_last_of('/');
    const size_t nameStart = lastSlash == std::string::npos ? 0 : lastSlash + 1;
    const size_t lastDot = path.find_last_of('.');
    if (lastDot == std::string::npos || lastDot < nameStart)
        return path;
    return path.substr(0, lastDot);
}

} // namespace

std::string kezFileName(const std::string& path)
{
    return withoutExtension(path) + ".kez";
}

std::string kedFileName(const std::string& path)
{
    return withoutExtension(path) + ".KED";
}

} // namespace model
