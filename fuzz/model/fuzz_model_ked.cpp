// Feeds arbitrary bytes to the media bundle reader, expecting the count the bundle
// itself states, and checks that nothing is ever written outside the two work
// folders: the program folder holds only the bundle, "voice", "face" and "TMP" (where
// the run journals its partial files), the work folders only plain files, and TMP
// only the run's journal, empty once no partial file is open.

#include "FuzzHome.h"

#include "model/filestore/MediaBundle.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void checkOnlyPlainFiles(const std::string& folder)
{
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        check(entry.is_regular_file() && !entry.is_symlink());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzHome home;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::string path = home.file("in.KED");
    platform::writeWholeFile(path, bytes);
    const int16_t stated = size >= 2 ? static_cast<int16_t>(static_cast<unsigned char>(bytes[0])
                                                            | (static_cast<unsigned char>(bytes[1]) << 8))
                                     : 0;

    model::ReadKedFile(path, stated);

    for (const auto& entry : std::filesystem::directory_iterator(home.path())) {
        const std::string name = entry.path().filename().string();
        check(name == "in.KED" || ((name == "voice" || name == "face" || name == "TMP") && entry.is_directory()));
    }
    if (std::filesystem::is_directory(home.file("TMP"))) {
        checkOnlyPlainFiles(home.file("TMP"));
        for (const auto& entry : std::filesystem::directory_iterator(home.file("TMP")))
            check(entry.path().filename().string().rfind("Partials-", 0) == 0 && entry.file_size() == 0);
    }
    checkOnlyPlainFiles(home.file("voice"));
    checkOnlyPlainFiles(home.file("face"));
    platform::deleteAllFiles(home.file("voice"));
    platform::deleteAllFiles(home.file("face"));
    return 0;
}
