// Feeds arbitrary bytes to the family file reader and checks what the rest of the
// program relies on after any load: every reference in a used marriage lies inside the
// tables, entry 20 of the child arrays stays empty, and the list counts match the lists.

#include "FuzzHome.h"

#include "model/filestore/FamilyFile.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isPersonReference(int person)
{
    return person >= 1 && person <= model::LastPersonSlot;
}

bool isPartner(int person)
{
    return isPersonReference(person) || person == model::BlankPartner;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzHome home;
    static const auto fresh = std::make_unique<model::Tables>();
    // Back to a new family; only records a load can have written need resetting.
    model::Tables& live = model::tables();
    for (int i = 0; i < model::RecordCount; ++i) {
        if (live.per_buf[i].InUse != model::SlotFree)
            live.per_buf[i] = fresh->per_buf[i];
        if (live.kou_buf[i].InUse != model::SlotFree)
            live.kou_buf[i] = fresh->kou_buf[i];
    }
    live.GrpNameList.clear();
    live.GrpNameCount = -1;
    live.GrpTitleList.clear();
    live.GrpTitleCount = -1;
    model::settings() = model::Settings();

    const std::string path = home.file("in.kez");
    platform::writeWholeFile(path, std::string(reinterpret_cast<const char*>(data), size));
    const bool loaded = model::load_file(path);

    const model::Tables& t = model::tables();
    check(loaded || model::fileStore().EndOfDataF == 0);
    check(t.per_buf[0].InUse != model::SlotUsed && t.kou_buf[0].InUse != model::SlotUsed);
    check(t.per_buf[model::BlankPartner].InUse != model::SlotUsed);
    for (int k = 1; k <= model::LastSlot; ++k) {
        const model::marry_data& m = t.kou_buf[k];
        if (m.InUse != model::SlotUsed)
            continue;
        check(isPartner(m.kou_titi) && isPartner(m.kou_haha));
        check(m.kou_titi != model::BlankPartner || m.kou_haha != model::BlankPartner);
        for (int c = 0; c < model::ChildArraySize; ++c) {
            check(m.kou_kodo[c] == -1 || isPersonReference(m.kou_kodo[c]));
            check(m.kodo_yoshirireki[c] == -1 || (m.kodo_yoshirireki[c] >= 1 && m.kodo_yoshirireki[c] <= model::LastSlot));
        }
        check(m.kou_kodo[model::MaxChildren] == -1);
    }
    for (int p = 1; p <= model::LastSlot; ++p) {
        const model::personal_data& person = t.per_buf[p];
        if (person.InUse == model::SlotUsed)
            check(person.CopyIdx == -1 || isPersonReference(person.CopyIdx));
    }
    check(t.GrpNameCount == static_cast<int>(t.GrpNameList.size()) - 1);
    check(t.GrpTitleCount == static_cast<int>(t.GrpTitleList.size()) - 1);
    for (const auto& row : t.GrpTitleList)
        check(row.Leader >= 0 && row.Leader <= model::LastSlot && row.Offset >= -10 && row.Offset <= 10);
    return 0;
}
