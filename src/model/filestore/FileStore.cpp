#include "model/filestore/FileStore.h"

#include "model/filestore/FileNames.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <optional>

namespace model {

namespace {

struct KnownFamilyFile {
    std::string path;
    platform::FileStamp stamp;
};

std::optional<KnownFamilyFile>& knownFamilyFile()
{
    static std::optional<KnownFamilyFile> known;
    return known;
}

std::string familyFileOf(const std::string& path)
{
    return platform::linkTarget(kezFileName(path));
}

} // namespace

FileStore& fileStore()
{
    // Built on first use and never destroyed, like the tables it belongs with.
    static FileStore* store = new FileStore();
    return *store;
}

void rememberFamilyFile(const std::string& path)
{
    auto& known = knownFamilyFile();
    known.reset();
    const std::string file = familyFileOf(path);
    try {
        known = KnownFamilyFile{file, platform::fileStamp(file)};
    } catch (const platform::RuntimeError&) {
        // Nothing on disk to compare with later.
    }
}

bool familyFileChangedMeanwhile(const std::string& path)
{
    const auto& known = knownFamilyFile();
    const std::string file = familyFileOf(path);
    if (!known || known->path != file || !platform::fileExists(file))
        return false;
    try {
        return platform::fileStamp(file) != known->stamp;
    } catch (const platform::RuntimeError&) {
        return false;
    }
}

} // namespace model
