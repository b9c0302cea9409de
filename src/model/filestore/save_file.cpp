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

// Room for the header, the settings sections and the group sections, which are
// short, beside the person and marriage blocks, which are sized one by one.
constexpr size_t BytesOfSettings = 4096;
constexpr size_t BytesPerGroupRow = 64;

// The whole family file, in writing order.
FileText familyFileText()
{
    const Tables& t = tables();
    const Settings& s = settings();
    size_t expected = BytesOfSettings + BytesPerGroupRow * (t.GrpNameList.size() + t.GrpTitleList.size());
    for (int i = 1; i <= LastSlot; ++i) {
        if (t.per_buf[i].InUse == SlotUsed)
            expected += filestore::personBytes(t.per_buf[i]);
        if (t.kou_buf[i].InUse == SlotUsed)
            expected += filestore::marriageBytes(t.kou_buf[i]);
    }
    FileText out(expected);

    filestore::writeHeader(out, s);

    out.line("[Per_bufsection]");
    out.line("");
    for (int p = 1; p <= LastSlot; ++p) {
        if (t.per_buf[p].InUse == SlotUsed)
            filestore::writePerson(out, p, t.per_buf[p]);
    }

    out.line("[kou_bufsection]");
    out.line("");
    const filestore::MarriageNumbers numbers = filestore::marriageNumbersInFile(t);
    for (int k = 1; k <= LastSlot; ++k) {
        if (t.kou_buf[k].InUse == SlotUsed)
            filestore::writeMarriage(out, t.kou_buf[k], numbers);
    }

    filestore::writeSettingsSections(out, s);
    filestore::writeGroupSections(out, t);
    out.line("");
    out.line("[end_of_data]");
    return out;
}

} // namespace

void buildFamilyFile(const std::function<void(char* bytes, size_t length)>& use)
{
    FileText text = familyFileText();
    use(text.mutableBytes(), text.bytes().size());
}

bool save_file(const std::string& path)
{
    const std::string familyPath = kezFileName(path);
    // Runs first: a person whose media file has gone loses the reference, and the
    // family file then records what the bundle really holds.
    const int16_t mediaCount = collectMedia();

    try {
        // Written to a temporary file in the same folder and renamed over the old
        // file only once complete: a failed save leaves the previous file whole.
        const FileText text = familyFileText();
        platform::writeFileAtomically(familyPath, text.bytes());
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
