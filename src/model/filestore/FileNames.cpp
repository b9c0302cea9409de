#include "model/filestore/FileNames.h"

#include "platform/FileSystem.h"

namespace model {

namespace {

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool endsWithKez(const std::string& path)
{
    const size_t n = path.size();
    return n >= 4 && path[n - 4] == '.' && lower(path[n - 3]) == 'k' && lower(path[n - 2]) == 'e'
           && lower(path[n - 1]) == 'z';
}

// The same name with the ASCII letters of its last three characters in the other case.
std::string otherCaseEnding(std::string path)
{
    for (size_t i = path.size() - 3; i < path.size(); ++i) {
        char& c = path[i];
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return path;
}

} // namespace

std::string kezFileName(const std::string& path)
{
    if (endsWithKez(path))
        return path;
    if (path.empty() || isSeparator(path.back()))
        return path + "default.kez";
    return path + (path.back() == '.' ? "kez" : ".kez");
}

std::string kedFileName(const std::string& path)
{
    std::string bundle = kezFileName(path);
    char& z = bundle.back();
    z = z == 'Z' ? 'D' : 'd';
    return bundle;
}

std::string existingKedFileName(const std::string& path)
{
    const std::string bundle = kedFileName(path);
    if (platform::fileExists(bundle))
        return bundle;
    const std::string other = otherCaseEnding(bundle);
    return platform::fileExists(other) ? other : bundle;
}

} // namespace model
