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

// The same name with the ASCII letters of its last three characters in the cases the
// bits of mask say: bit i set turns character i of the three into the other case.
std::string endingInCase(std::string path, unsigned mask)
{
    for (size_t i = 0; i < 3; ++i) {
        if ((mask & (1u << i)) == 0)
            continue;
        char& c = path[path.size() - 3 + i];
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
    // A family file beside this one whose name differs only in the case of its ending
    // is another family (as files from other systems come), and a bundle in another
    // case may be its own: then none of them is this family's.
    const std::string family = kezFileName(path);
    const bool familyThere = platform::fileExists(family);
    for (const unsigned mask : {7u, 1u, 2u, 4u, 3u, 5u, 6u}) {
        const std::string otherFamily = endingInCase(family, mask);
        if (platform::fileExists(otherFamily) && !(familyThere && platform::isSameFile(otherFamily, family)))
            return bundle;
    }
    // All three letters in the other case first (".KED" beside ".kez"), then the
    // mixed spellings.
    for (const unsigned mask : {7u, 1u, 2u, 4u, 3u, 5u, 6u}) {
        const std::string other = endingInCase(bundle, mask);
        if (platform::fileExists(other))
            return other;
    }
    return bundle;
}

} // namespace model
