// save_file: the one writer of the family file.

#include "model/filestore/FamilyFile.h"

#include "model/filestore/FileNames.h"
#include "model/filestore/FileRecords.h"
#include "model/filestore/MediaBundle.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <new>

namespace model {

namespace {

using filestore::FileText;

// Room to start with: a person block with its 88 display lines takes some 2 KB before
// its remarks, a marriage block up to 4 KB with 20 children.
constexpr size_t BytesPerPerson = 4096;
constexpr size_t BytesPerMarriage = 2048;
constexpr size_t BytesOfSettings = 4096;

// The whole family file, in writing order.
std::string familyFileBytes()
{
    const Tables& t = tables();
    const Settings& s = settings();
    size_t persons = 0;
    size_t marriages = 0;
    for (int i = 1; i <= LastSlot; ++i) {
        persons += t.per_buf[i].InUse == SlotUsed ? 1 : 0;
        marriages += t.kou_buf[i].InUse == SlotUsed ? 1 : 0;
    }
    FileText out(BytesOfSettings + BytesPerPerson * persons + BytesPerMarriage * marriages);

    filestore::writeHeader(out, s);

    out.line("[Per_bufsection]");
    out.line("");
    for (int p = 1; p <= LastSlot; ++p) {
        if (t.per_buf[p].InUse == SlotUsed)
            filestore::writePerson(out, p, t.per_buf[p]);
    }

    out.line("[kou_bufsection]");
    out.line("");
    for (int k = 1; k <= LastSlot; ++k) {
        if (t.kou_buf[k].InUse == SlotUsed)
            filestore::writeMarriage(out, t.kou_buf[k]);
    }

    filestore::writeSettingsSections(out, s);
    filestore::writeGroupSections(out, t);
    out.line("");
    out.line("[end_of_data]");
    return out.take();
}

} // namespace

bool save_file(const std::string& path)
{
    const std::string familyPath = kezFileName(path);
    // Runs first: a person whose media file has gone loses the reference, and the
    // family file then records what the bundle really holds.
    const int16_t mediaCount = collectMedia();

    try {
        // Written to a temporary file in the same folder and renamed over the old
        // file only once complete: a failed save leaves the previous file whole.
        platform::writeFileAtomically(familyPath, familyFileBytes());
    } catch (const platform::RuntimeError&) {
        // Also a character cp932 cannot hold: nothing is written in its place.
        platform::MsgBox(SaveFailedMessage, platform::vbOKOnly);
        return false;
    } catch (const std::bad_alloc&) {
        platform::MsgBox(SaveFailedMessage, platform::vbOKOnly);
        return false;
    }

    if (mediaCount > 0)
        return WriteKedFile(kedFileName(familyPath), mediaCount);
    return true;
}

} // namespace model
