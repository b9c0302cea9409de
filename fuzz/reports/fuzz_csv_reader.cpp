// Feeds arbitrary bytes to the CSV record reader as a cp932 file. The first byte
// picks the reader settings; the rest is the file. Every record must start where
// the previous one ended, the position must move forward, and the fields past the
// reported last index must be empty.

#include "reports/csv/CsvReader.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// One scratch file per fuzzing process, removed when the process exits.
struct ScratchFile {
    std::string path;
    ScratchFile()
    {
        const char* dir = std::getenv("TMPDIR");
        path = std::string(dir && *dir ? dir : "/tmp") + "/fuzz_reports_csv_" +
               std::to_string(static_cast<long>(::getpid())) + ".csv";
    }
    ~ScratchFile() { ::unlink(path.c_str()); }
};

const std::string& scratchFile()
{
    static const ScratchFile file;
    return file.path;
}

void chooseSettings(uint8_t selector)
{
    reports::InitCsvParser();
    reports::CsvSettings& s = reports::csvSettings();
    if (selector & 1)
        s.CsvEscCode = "\\";
    if (selector & 2)
        s.CsvLineCode = "<br>";
    if (selector & 4)
        s.CsvQuote = " ";
    if (selector & 8)
        s.CsvDelim = "\t";
    if (selector & 16)
        s.CsvDelim = "、";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    chooseSettings(data[0]);
    platform::writeWholeFile(scratchFile(),
                             std::string(reinterpret_cast<const char*>(data + 1), size - 1));
    platform::TextInputFile file(scratchFile());
    std::vector<std::string> fields(257);
    int64_t position = 1;
    for (;;) {
        const int64_t before = position;
        int lastIndex = 0;
        int result = 0;
        try {
            result = reports::ReadCsvRecord(file, position, fields, lastIndex);
        } catch (const platform::RuntimeError& e) {
            if (e.number != 9) // only "more fields than the array holds" is expected
                std::abort();
            break;
        }
        if (result == reports::CsvNoRecord) {
            if (position != before || lastIndex != -1)
                std::abort();
            break;
        }
        if (position <= before || lastIndex < 0 || lastIndex >= 257)
            std::abort();
        for (size_t i = static_cast<size_t>(lastIndex) + 1; i < fields.size(); ++i) {
            if (!fields[i].empty())
                std::abort();
        }
        if (result == reports::CsvLastRecord)
            break;
    }
    return 0;
}
