// Feeds arbitrary bytes to the CSV import as a file, with the windows replaced by a
// mapping taken from the input. The first byte picks the reader settings, the next
// eight the targets of the columns; the rest is the file. The import may refuse the
// file or stop at any record, but a person stored must be whole (no replacement
// characters, remarks within their limit), the sentinel person and the blank
// partner's slot must stay untouched, and the count it reports must match the
// slots it filled.

#include "reports/CsvImport.h"

#include "document/InitAllSetting.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "reports/csv/CsvReader.h"
#include "reports/reports_state.h"

#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

// A scratch program folder for the whole fuzzing process, and message boxes that
// answer OK (No to the question about the last mapping).
class ImportHome : public platform::Hooks {
public:
    ImportHome()
    {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tevora-fuzz-import-XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create " + pattern);
        path = pattern;
        platform::makeDir(platform::joinPath(path, "voice"));
        platform::makeDir(platform::joinPath(path, "face"));
        platform::setAppPathForTesting(path);
        platform::setHooks(this);
    }
    ~ImportHome() override
    {
        platform::setHooks(nullptr);
        platform::setAppPathForTesting("");
        platform::removeTree(path);
    }
    int msgBox(const std::string&, int style, const std::string&) override
    {
        return (style & 7) == platform::vbYesNo ? platform::vbNo : platform::vbOK;
    }

    std::string path;
};

ImportHome& home()
{
    static ImportHome instance;
    return instance;
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
}

bool holdsReplacementCharacter(const std::string& text)
{
    return text.find("\xEF\xBF\xBD") != std::string::npos;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    constexpr size_t Header = 9;
    if (size < Header)
        return 0;
    const std::string csvPath = platform::joinPath(home().path, "in.csv");
    model::InitAllSetting();
    chooseSettings(data[0]);

    model::Tables& t = model::tables();
    t.per_buf[1].InUse = model::SlotUsed;
    t.per_buf[1].F_name = "番人";
    const model::personal_data sentinel = t.per_buf[1];

    platform::writeWholeFile(csvPath, std::string(reinterpret_cast<const char*>(data + Header), size - Header));
    const int stored = reports::importCsvFile(csvPath, [data] {
        reports::CsvInState& state = reports::csvInState();
        for (int i = 1; i <= state.CsvInCount; ++i)
            state.csvin_tbl[i].SetIdx = static_cast<int16_t>(data[1 + i % 8] % 21 - 1);
    });

    if (!(t.per_buf[1] == sentinel) || t.per_buf[model::BlankPartner].InUse != model::SlotFree)
        std::abort();
    int used = 0;
    for (int slot = 2; slot <= model::LastSlot; ++slot) {
        const model::personal_data& p = t.per_buf[slot];
        if (p.InUse != model::SlotUsed)
            continue;
        ++used;
        if (platform::Len(p.Biko) > reports::CsvImportMaxFieldChars)
            std::abort();
        for (const std::string* text : {&p.F_name, &p.Name, &p.Biko, &p.Addr1, &p.Kaimyo}) {
            if (holdsReplacementCharacter(*text))
                std::abort();
        }
    }
    if (used != stored)
        std::abort();
    return 0;
}
