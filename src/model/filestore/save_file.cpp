// save_file: the one writer of the family file.

#include "model/filestore/FamilyFile.h"

#include "model/SavableText.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/FileRecords.h"
#include "model/filestore/MediaBundle.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/RecordedReplacement.h"

#include <new>
#include <string>
#include <string_view>
#include <vector>

namespace model {

namespace {

using filestore::FileText;

// Room for the header, the settings sections and the group sections, which are
// short, beside the person and marriage blocks, which are sized one by one.
constexpr size_t BytesOfSettings = 4096;
constexpr size_t BytesPerGroupRow = 64;

// What the user calls the fields a text value of the file comes from.
struct FieldCaption {
    std::string_view key;
    const char* caption;
};
constexpr FieldCaption FieldCaptions[] = {
    {"F_name", "名字"},
    {"Name", "名前"},
    {"Old_name", "旧姓"},
    {"B_day", "生年月日"},
    {"Death_day", "死亡年月日"},
    {"YubinNo", "郵便番号"},
    {"Addr1", "住所１"},
    {"Addr2", "住所２"},
    {"TelNo", "電話番号"},
    {"FaxNo", "ＦＡＸ"},
    {"KeiNo", "携帯電話"},
    {"E_mail", "e-mail"},
    {"Biko", "備考"},
    {"Zokugara", "続柄"},
    {"Kaimyo", "戒名"},
    {"GrpName", "グループ名"},
    {"ZokugaraK", "結婚後の続柄"},
    {"Voice_filename", "音声ファイル名"},
    {"Picture_filename", "画像ファイル名"},
    {"kou_title", "タイトル"},
    {"kou_state", "関係"},
    {"kou_kodo_comment", "子供のコメント"},
    {"TitleName", "家系グループ名"},
    {"font", "フォント"},
};

std::string fieldCaption(std::string_view key)
{
    for (const FieldCaption& field : FieldCaptions) {
        if (field.key == key)
            return field.caption;
    }
    return std::string(key);
}

// The save failure for a text the file cannot hold names the character, the record
// and the field, so that the user can find and mend it.
std::string unsavableValueMessage(const filestore::UnsavableValue& e)
{
    const std::string where = e.record.empty() ? std::string() : e.record + "の";
    return std::string(SaveFailedMessage) + "\r\n" + UnsavableCharMessage + e.character + "\r\n（" + where +
           fieldCaption(e.key) + "）";
}

// Runs one record's writer; a text it cannot hold is reported as standing in the
// record that record() names (built only then: saves run on every rebuild).
template <class Write, class Record>
void writeRecord(Write write, Record record)
{
    try {
        write();
    } catch (filestore::UnsavableValue& e) {
        e.record = record();
        throw;
    }
}

// The whole family file, in writing order.
FileText familyFileText()
{
    const Tables& t = tables();
    const Settings& s = settings();
    size_t expected = BytesOfSettings + BytesPerGroupRow * (t.GrpNameList.size() + t.GrpTitleList.size());
    for (int i = 1; i <= LastSlot; ++i) {
        if (t.per_buf[i].InUse == SlotUsed)
            expected += filestore::personBytes(t.per_buf[i]);
        if (isUsedMarriage(t.kou_buf[i]))
            expected += filestore::marriageBytes(t.kou_buf[i]);
    }
    FileText out(expected);

    filestore::writeHeader(out, s);

    out.line("[Per_bufsection]");
    out.line("");
    for (int p = 1; p <= LastSlot; ++p) {
        const personal_data& person = t.per_buf[p];
        if (person.InUse == SlotUsed) {
            writeRecord([&] { filestore::writePerson(out, p, person); },
                        [&] { return "個人 " + std::to_string(p) + "「" + person.F_name + " " + person.Name + "」"; });
        }
    }

    out.line("[kou_bufsection]");
    out.line("");
    const filestore::MarriageNumbers numbers = filestore::marriageNumbersInFile(t);
    for (int k = 1; k <= LastSlot; ++k) {
        if (isUsedMarriage(t.kou_buf[k])) {
            writeRecord([&] { filestore::writeMarriage(out, t.kou_buf[k], numbers); },
                        [&] { return "結婚関係 " + std::to_string(k); });
        }
    }

    filestore::writeSettingsSections(out, s);
    filestore::writeGroupSections(out, t);
    out.line("");
    out.line("[end_of_data]");
    return out;
}

} // namespace

std::string saveFailedMessageFor(const platform::RuntimeError& error)
{
    if (const auto* unsavable = dynamic_cast<const filestore::UnsavableValue*>(&error))
        return unsavableValueMessage(*unsavable);
    return platform::failedFileMessage(SaveFailedMessage, error);
}

void buildFamilyFile(const std::function<void(char* bytes, size_t length)>& use)
{
    FileText text = familyFileText();
    use(text.mutableBytes(), text.bytes().size());
}

bool save_file(const std::string& path)
{
    // A family file reached through a symbolic link is the file the link leads to:
    // that file is replaced, the link stays, and the bundle is the one beside it.
    const std::string familyPath = platform::linkTarget(kezFileName(path));
    // The bundle already beside the family file is the one rewritten, whatever the
    // case of its ending; a new one takes the family file's.
    const std::string bundlePath = existingKedFileName(familyPath);
    // Runs first: a person whose media file has gone loses the reference, and the
    // family file then records what the bundle really holds.
    const int16_t mediaCount = collectMedia();

    // Both files are written completely beside their targets first, the bundle and
    // then the family file, and only then renamed over the old ones, back to back
    // and the family file last. A record in the program folder names them meanwhile
    // (platform::RecordedReplacement): a failure or a kill before the renames leaves
    // the previous family and bundle whole, a kill between them leaves the new pair
    // for the next start or read to complete, and neither leaves a partial file for
    // good.
    const std::vector<std::string> written =
        mediaCount > 0 ? std::vector<std::string>{bundlePath, familyPath} : std::vector<std::string>{familyPath};
    try {
        platform::RecordedReplacement replacement(written);
        if (mediaCount > 0) {
            try {
                writePartialKedFile(bundlePath, mediaCount);
            } catch (const platform::RuntimeError& e) {
                platform::MsgBox(platform::failedFileMessage(BundleWriteFailedMessage, e, bundlePath), platform::vbOKOnly);
                return false;
            } catch (const std::bad_alloc&) {
                platform::MsgBox(BundleWriteFailedMessage, platform::vbOKOnly);
                return false;
            }
        } else {
            try {
                // Left by an older save; no bundle is written this time.
                platform::deleteFile(platform::partialFileName(bundlePath));
            } catch (const platform::RuntimeError&) {
                // A folder that cannot be changed: the family file's own write says so.
            }
        }
        {
            const FileText text = familyFileText();
            platform::writePartialFile(familyPath, text.bytes());
        }
        replacement.replace();
    } catch (const filestore::UnsavableValue& e) {
        platform::MsgBox(saveFailedMessageFor(e), platform::vbOKOnly);
        return false;
    } catch (const platform::RuntimeError& e) {
        // The renames name the file that failed, the bundle's or the family file's;
        // the record names itself.
        const bool bundleFailed = mediaCount > 0 && e.path == bundlePath;
        platform::MsgBox(bundleFailed ? platform::failedFileMessage(BundleWriteFailedMessage, e, bundlePath)
                                      : platform::failedFileMessage(SaveFailedMessage, e, familyPath),
                         platform::vbOKOnly);
        return false;
    } catch (const std::bad_alloc&) {
        platform::MsgBox(std::string(SaveFailedMessage) + "\r\n" + familyPath, platform::vbOKOnly);
        return false;
    }
    return true;
}

} // namespace model
