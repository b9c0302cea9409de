// readFamilyFile and takeOverFamily (load_file does both): the one reader of the
// family file. The whole file is read into a staging copy that touches nothing of the
// open family; only the take-over puts it in place. The read is keyed, not
// positional: it walks the file line by line, tracks the current section and block,
// and matches each key without regard to case against the keys of that section.
// Unknown keys and lines outside any known section are skipped; missing keys leave
// the block's presets.

#include "model/filestore/FamilyFile.h"

#include "model/DispStat.h"
#include "model/GroupLists.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/FileRecords.h"
#include "model/filestore/MediaBundle.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/RecordedReplacement.h"

#include <algorithm>
#include <array>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace model {

namespace {

using filestore::Section;
using filestore::Staging;

void assignUpper(std::string& target, std::string_view s)
{
    target.assign(s);
    for (char& c : target) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
}

// Section headers, matched on a line without "=" in any case.
bool headerSection(std::string_view key, Section& section)
{
    if (key.empty() || key.front() != '[')
        return false;
    static const std::pair<std::string_view, Section> headers[] = {
        {"[HEADER]", Section::Header},
        {"[PER_BUFSECTION]", Section::Persons},
        {"[KOU_BUFSECTION]", Section::Marriages},
        {"[SYSTEMSTATUS_SECTION]", Section::SystemStatus},
        {"[ARRAY_SECTION]", Section::Array},
        {"[NENPYO_SECTION]", Section::Nenpyo},
        {"[PRINT_SECTION]", Section::Print},
        {"[GRPNAME_SECTION]", Section::Groups},
        {"[KAKEGRPNAME_SECTION]", Section::Titles},
        {"[END_OF_DATA]", Section::End},
    };
    for (const auto& [text, value] : headers) {
        if (filestore::keyMatches(key, text)) {
            section = value;
            return true;
        }
    }
    return false;
}

// The settings a load starts from; the others keep their values until the file names them.
void presetSettings(Settings& s)
{
    s.Dispmode_Manwoman = 0;
    s.Dispmode_Nengo = 1;
    s.Dispmode_Icon = 0;
    s.Dispmode_Fname = 0;
    s.Dispmode_BGcolor = ColourWhite;
    s.Dispmode_BGmap = 0;
    s.dispmode = 1;
}

// Hands each line of the file to a callback as it stands, in cp932: CR LF or a lone CR
// ends a line, a lone LF stays inside it (as in the platform's text files). Keys,
// section headers and numbers are ASCII, and neither CR, LF, "=" nor the blank occurs
// inside a cp932 character, so lines are split and matched on the file's bytes; only
// text values are decoded, straight into their fields.
template <class Callback>
void forEachLine(const std::string& bytes, Callback&& callback)
{
    const char* const end = bytes.data() + bytes.size();
    for (const char* pos = bytes.data(); pos < end;) {
        const char* cr = filestore::findByte(pos, end, '\r');
        const std::string_view line(pos, static_cast<size_t>(cr - pos));
        pos = cr == end ? end : (cr + 1 < end && cr[1] == '\n' ? cr + 2 : cr + 1);
        callback(line);
    }
}

// What a read found wrong in a file it could read all the same: each kind is counted,
// with the line (from 1) where it was first met.
struct Damage {
    bool anySection = false; // a section header of the family file was read
    bool reachedEnd = false; // "[end_of_data]" was read
    int unreadableValues = 0;
    int firstUnreadableLine = 0;
    std::array<int, filestore::RepairKinds> repairs{};    // records and links dropped or changed
    std::array<int, filestore::RepairKinds> firstRepairLine{};

    bool anyRepair() const
    {
        return std::any_of(repairs.begin(), repairs.end(), [](int n) { return n > 0; });
    }
};

// How the message names each kind of repair (filestore::Repair, in its order): the
// words before and after its number.
struct RepairWords {
    std::string before;
    const char* after;
};
const RepairWords RepairTexts[filestore::RepairKinds] = {
    {"空白（1024番）を人物として使っている記録 ", " 件を読み込みませんでした"},
    {"人物番号のない個人の記録 ", " 件を読み込みませんでした"},
    {"前の記録と人物番号が重なる個人の記録 ", " 件で、前の記録を置き換えました"},
    {"コピー元の人物番号が正しくない個人の記録 ", " 件のコピー元を「なし」にしました"},
    {"夫婦の番号が正しくない結婚関係の記録 ", " 件を読み込みませんでした"},
    {"子供の番号が正しくない子供の記録 ", " 件を読み込みませんでした"},
    {std::string(TooManyChildrenMessage) + "。２１人目からの子供 ", " 人を読み込みませんでした"},
    {"養子の履歴の結婚番号が正しくない子供の記録 ", " 件の履歴を「なし」にしました"},
    {"割り付ける人物の番号が正しくない家系グループの記録 ", " 件の人物を「なし」にしました"},
};

// A line whose value the tables cannot hold (a number outside its field's range, text
// where a number belongs, a record beyond the table's last slot) fails the whole read:
// the message names what is wrong, the line as it stands and its number.
struct DamagedLine : platform::RuntimeError {
    DamagedLine(const platform::RuntimeError& error, int line, std::string_view key,
                std::optional<std::string_view> value)
        : RuntimeError(error.number, whatIsWrong(error) + shownLine(key, value) + "（" + std::to_string(line) + " 行目）")
    {
    }

    static std::string whatIsWrong(const platform::RuntimeError& error)
    {
        switch (error.number) {
        case platform::err::Overflow:
            return "値が項目の範囲を超えています";
        case platform::err::TypeMismatch:
            return "数値でなければならない値が数値ではありません";
        default:
            // The record readers' own failures (failLoad) say what is wrong themselves.
            return error.description;
        }
    }

    // "：key=value" of the line as read (a long value cut short), or nothing for a line
    // without a value.
    static std::string shownLine(std::string_view key, std::optional<std::string_view> value)
    {
        if (!value)
            return std::string();
        constexpr long ShownCharacters = 40;
        std::string text;
        filestore::readInto(filestore::Reading::Text, std::string(key) + "=" + std::string(*value), text);
        if (platform::Len(text) > ShownCharacters)
            text = platform::Left(text, ShownCharacters) + "…";
        return "：" + text;
    }
};

// Reads the bytes of a whole family file into staging. Throws RuntimeError for every
// failure, DamagedLine for a line the tables cannot hold.
void readInto(const std::string& bytes, Staging& staging, Damage& damage)
{
    filestore::PersonReader persons(staging, tables().DefDispStat);
    filestore::MarriageReader marriages(staging);
    filestore::GroupReader groups(staging);

    // The first line of each kind of damage: a line is checked only when a count
    // has moved since the last one it was checked for.
    int& undecodable = filestore::undecodableCount();
    const int undecodableBefore = undecodable;
    int unreadableSeen = undecodable;
    int repairsSeen = 0;
    int lineNumber = 0;
    const auto noteDamage = [&] {
        if (undecodable != unreadableSeen) {
            unreadableSeen = undecodable;
            if (damage.firstUnreadableLine == 0)
                damage.firstUnreadableLine = lineNumber;
        }
        if (staging.allRepairs != repairsSeen) {
            repairsSeen = staging.allRepairs;
            for (size_t kind = 0; kind < filestore::RepairKinds; ++kind) {
                if (staging.repairs[kind] != damage.repairs[kind] && damage.firstRepairLine[kind] == 0)
                    damage.firstRepairLine[kind] = lineNumber;
            }
            damage.repairs = staging.repairs;
        }
    };

    // The line each staged record was taken in at (the end of a person or marriage
    // block, the first line of a lineage group's row), for the references checked
    // once the whole file is read.
    std::vector<int> personLines;
    std::vector<int> marriageLines;
    std::vector<int> titleLines;
    const auto noteLines = [&lineNumber](const auto& staged, std::vector<int>& lines) {
        while (lines.size() < staged.size())
            lines.push_back(lineNumber);
    };

    Section section = Section::None;
    const auto readLine = [&](int kind, std::string_view key, std::string_view value) {
        if (kind == 0) {
            Section next = section;
            if (headerSection(key, next)) {
                section = next;
                damage.anySection = true;
                if (section == Section::SystemStatus)
                    staging.settings.Dispmode_Tyokei = 0;
                // A lineage-group section read again starts its list afresh.
                if (section == Section::Titles)
                    titleLines.clear();
                groups.enter(section);
                return;
            }
        }
        switch (section) {
        case Section::None:
        case Section::End:
            break;
        case Section::Persons:
            persons.apply(key, value);
            noteLines(staging.persons, personLines);
            break;
        case Section::Marriages:
            marriages.apply(key, value);
            noteLines(staging.marriages, marriageLines);
            break;
        case Section::Groups:
        case Section::Titles:
            groups.apply(section, key, value);
            noteLines(staging.titles, titleLines);
            break;
        default:
            filestore::readSettingsKey(section, key, value, staging.settings);
            break;
        }
        noteDamage();
    };
    forEachLine(bytes, [&](std::string_view line) {
        ++lineNumber;
        std::string_view key;
        std::string_view value;
        const int kind = filestore::splitLine(line, key, value);
        if (kind == -1 || section == Section::End)
            return;
        try {
            readLine(kind, key, value);
        } catch (const platform::RuntimeError& error) {
            throw DamagedLine(error, lineNumber, key, kind == 1 ? value : std::optional<std::string_view>());
        }
    });
    // A reference naming a person slot the file holds no person for (a partner, a
    // child, a copy's source, a lineage group's leader) or a marriage it does not hold
    // (an adoption history) is a damaged reference as well, found only now that every
    // record is known.
    const auto notedAt = [&](const std::vector<int>& lines) {
        return [&damage, &lines, lineNumber](filestore::Repair kind, size_t record) {
            const int line = record < lines.size() ? lines[record] : lineNumber;
            int& first = damage.firstRepairLine[static_cast<size_t>(kind)];
            if (first == 0 || line < first)
                first = line;
        };
    };
    filestore::dropLinksToEmptySlots(staging, notedAt(marriageLines));
    filestore::dropCopiesOfNobody(staging, notedAt(personLines));
    filestore::dropLeadersNamingNobody(staging, notedAt(titleLines));
    damage.reachedEnd = section == Section::End;
    damage.unreadableValues = undecodable - undecodableBefore;
    damage.repairs = staging.repairs;
}

// One message for everything a read found wrong in a file it took over; "" when
// nothing was.
std::string damageReport(const Damage& damage)
{
    std::string report;
    const auto add = [&report](const std::string& sentence) {
        report += (report.empty() ? "" : "\r\n") + sentence;
    };
    if (!damage.reachedEnd)
        add(IncompleteFileMessage);
    if (damage.unreadableValues > 0)
        add("読めない文字を含む値が " + std::to_string(damage.unreadableValues) + " 個あり、「?」に置き換えました（最初は "
            + std::to_string(damage.firstUnreadableLine) + " 行目）。");
    for (size_t kind = 0; kind < filestore::RepairKinds; ++kind) {
        if (damage.repairs[kind] > 0)
            add(RepairTexts[kind].before + std::to_string(damage.repairs[kind]) + RepairTexts[kind].after + "（最初は "
                + std::to_string(damage.firstRepairLine[kind]) + " 行目）。");
    }
    return report;
}

// Takes over what was read: the persons into the slots the file names, the marriages
// into slots 1, 2, 3 ..., the settings, and each list whose section was present.
void takeOver(Staging& staging)
{
    Tables& t = tables();
    for (auto& [slot, person] : staging.persons)
        t.per_buf[slot] = std::move(person);
    for (size_t i = 0; i < staging.marriages.size(); ++i)
        t.kou_buf[i + 1] = std::move(staging.marriages[i]);
    settings() = staging.settings;
    if (staging.groupsRead) {
        Clear_GrpNameList();
        t.GrpNameList = std::move(staging.groups);
        t.GrpNameCount = static_cast<int16_t>(t.GrpNameList.size() - 1);
    }
    if (staging.titlesRead) {
        Clear_GrpTitleList();
        t.GrpTitleList = std::move(staging.titles);
        t.GrpTitleCount = static_cast<int16_t>(t.GrpTitleList.size() - 1);
    }
}

// One file for each used person's voice memo and one for each face picture.
int16_t expectedMediaCount()
{
    const Tables& t = tables();
    int16_t count = 0;
    for (int p = 1; p <= LastSlot; ++p) {
        const personal_data& person = t.per_buf[p];
        if (person.InUse == SlotFree)
            continue;
        if (person.Voice_index != -1)
            ++count;
        if (!person.Picture_filename.empty() && person.Picture_index != -1)
            ++count;
    }
    return count;
}

// Why a family file could not be read: the heading the reader has always shown, and
// for a failure of the file system the file and why in a word (a folder or something
// else than a file chosen as the file, a file too large, a file gone meanwhile, a
// disk that fails, a file the user may not read).
std::string unreadableMessage(const platform::RuntimeError& error, const std::string& path)
{
    const std::string head = error.number == platform::err::FileNotFound ? FileNotFoundMessage : LoadFailedMessage;
    if (!platform::failureReason(error).empty())
        return platform::failedFileMessage(head, error, path);
    return head;
}

std::unique_ptr<StagedFamily> refused(const std::string& message)
{
    platform::MsgBox(message, platform::vbOKOnly);
    return nullptr;
}

} // namespace

int16_t SplitEqu(std::string_view line, std::string& key, std::string& value)
{
    std::string_view keyPart;
    std::string_view valuePart;
    const int result = filestore::splitLine(line, keyPart, valuePart);
    assignUpper(key, keyPart);
    value.assign(valuePart);
    return static_cast<int16_t>(result);
}

struct StagedFamily::Contents {
    std::string path;
    Staging staging;
    Damage damage;
};

StagedFamily::StagedFamily(std::unique_ptr<Contents> contents) : m_contents(std::move(contents)) {}

StagedFamily::~StagedFamily() = default;

bool StagedFamily::reachedEnd() const
{
    return m_contents->damage.reachedEnd;
}

void StagedFamily::reportDamage() const
{
    if (const std::string report = damageReport(m_contents->damage); !report.empty())
        platform::MsgBox(report, platform::vbOKOnly + platform::vbExclamation);
}

std::unique_ptr<StagedFamily> readFamilyFile(const std::string& path, const Settings& startFrom)
{
    // Until a family is taken over, no file has been read to its end marker.
    fileStore().EndOfDataF = 0;
    // A save of this family that a killed program left between its renames is
    // completed first, one cut off before them undone: the file and its bundle read
    // are the new pair or the old one, never a mix.
    platform::settleInterruptedReplacementsOf(path);
    std::string bytes;
    try {
        bytes = platform::readWholeFile(path, LargestFamilyFileBytes);
    } catch (const platform::RuntimeError& error) {
        return refused(unreadableMessage(error, path));
    } catch (const std::bad_alloc&) {
        return refused(LoadFailedMessage);
    }
    return readFamilyBytes(bytes, path, startFrom);
}

std::unique_ptr<StagedFamily> readFamilyBytes(const std::string& bytes, const std::string& path,
                                              const Settings& startFrom)
{
    fileStore().EndOfDataF = 0;
    auto contents = std::make_unique<StagedFamily::Contents>();
    contents->path = path;
    contents->staging.settings = startFrom;
    presetSettings(contents->staging.settings);
    try {
        readInto(bytes, contents->staging, contents->damage);
    } catch (const DamagedLine& damaged) {
        return refused(std::string(LoadFailedMessage) + "\r\n" + damaged.description);
    } catch (const platform::RuntimeError& error) {
        return refused(unreadableMessage(error, path));
    } catch (const std::bad_alloc&) {
        return refused(LoadFailedMessage);
    }
    // A file without a single section of the family file (another kind of file given
    // the family file's ending, an empty one) holds no family to take over, cut off or
    // not: it is named for what it is.
    if (!contents->damage.anySection)
        return refused(NotFamilyFileMessage);
    return std::make_unique<StagedFamily>(std::move(contents));
}

void takeOverFamily(StagedFamily& family, const MediaStandIn& standIn)
{
    StagedFamily::Contents& read = *family.m_contents;
    const Damage& damage = read.damage;
    FileStore& store = fileStore();
    takeOver(read.staging);
    // A file that ends before its end marker is cut short (a copy or a save that was
    // interrupted), one whose text could not be read holds "?" where the user's
    // characters were, and one with records or links the tables cannot hold has lost
    // them: what was read is taken over, but it is not the family the file holds, and
    // the user is told.
    store.EndOfDataF = damage.reachedEnd ? -1 : 0;
    store.loadDamaged = !damage.reachedEnd || damage.unreadableValues > 0 || damage.anyRepair();
    family.reportDamage();

    // The bundle reports its own failures; the family stays loaded. A bundle that does
    // not belong to the family file (missing, cut short, another number of files: a
    // copy or a save that was interrupted) leaves media the family names missing, so
    // the family is not the one the file holds either.
    // A family file reached through a symbolic link has its bundle beside the file the
    // link leads to, where save_file writes it.
    if (const int16_t expected = expectedMediaCount();
        expected != 0 && !ReadKedFile(existingKedFileName(platform::linkTarget(read.path)), expected, standIn))
        store.loadDamaged = true;

    model::Apply_DispModes();
}

bool load_file(const std::string& path)
{
    std::unique_ptr<StagedFamily> family = readFamilyFile(path, settings());
    if (!family)
        return false;
    takeOverFamily(*family);
    return true;
}

} // namespace model
