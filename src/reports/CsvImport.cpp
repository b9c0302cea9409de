#include "reports/CsvImport.h"

#include "forms/BusyPointer.h"
#include "forms/Form.h"
#include "model/GroupLists.h"
#include "model/WindowServices.h"
#include "model/run_state.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "platform/TextFile.h"
#include "reports/FrmCsvInStat.h"
#include "reports/csvinset.h"
#include "reports/reports_state.h"

#include <charconv>
#include <optional>
#include <vector>

namespace reports {

namespace {

CsvImportRequests defaultRequests;
CsvImportRequests* installedRequests = nullptr;

// A record the import refuses: the message names the record and the reason.
struct RecordRefused {
    std::string detail;
};

std::string mappingFilePath()
{
    return platform::joinPath(platform::GetAppPath(), CsvMappingFileName);
}

// A whole number with blanks around it (the form the mapping file is written in).
std::optional<int> parseWholeNumber(const std::string& text)
{
    const std::string trimmed = platform::Trim(text);
    int value = 0;
    const char* end = trimmed.data() + trimmed.size();
    const auto result = std::from_chars(trimmed.data(), end, value);
    if (trimmed.empty() || result.ec != std::errc() || result.ptr != end)
        return std::nullopt;
    return value;
}

// Step of the import before anything else reads the file: a file too large, or one
// holding bytes that are not cp932 (which would come in as replacement characters),
// is refused so that nothing of it is stored changed. True when the import may go on.
bool checkFileContent(const std::string& path)
{
    if (!platform::fileExists(path))
        return true;   // the open below reports it
    if (platform::fileLength(path) > CsvImportMaxBytes) {
        platform::MsgBox(CsvTooLargeMessage, platform::vbOKOnly);
        return false;
    }
    int badSequences = 0;
    platform::decodeCp932(platform::readWholeFile(path, CsvImportMaxBytes), &badSequences);
    if (badSequences > 0) {
        platform::MsgBox(CsvBadBytesMessage, platform::vbOKOnly);
        return false;
    }
    return true;
}

void clearColumnTable()
{
    for (CsvInItem& item : csvInState().csvin_tbl)
        item = CsvInItem();
}

void writeMappingFile()
{
    const CsvInState& state = csvInState();
    std::string text = platform::Str(state.CsvInCount) + "\r\n";
    for (int i = 1; i <= state.CsvInCount; ++i)
        text += platform::Str(state.csvin_tbl[i].SetIdx) + "\r\n";
    platform::writeFileAtomically(mappingFilePath(), platform::encodeCp932(text));
}

bool anyColumnMapped()
{
    const CsvInState& state = csvInState();
    for (int i = 1; i <= state.CsvInCount; ++i) {
        if (state.csvin_tbl[i].SetIdx > 0)
            return true;
    }
    return false;
}

std::string recordName(int recordNumber)
{
    return std::to_string(recordNumber) + "データ目";
}

// Builds the person of one data record (its texts already in csvin_tbl) from the
// cleared record of slot. Group names go to groups, to be added once the person is stored.
model::personal_data buildPerson(int slot, int recordNumber, std::vector<std::string>& groups)
{
    const CsvInState& state = csvInState();
    model::personal_data person = model::clearedPerson(slot);
    for (int i = 1; i <= state.CsvInCount; ++i) {
        const CsvInItem& column = state.csvin_tbl[i];
        if (column.SetIdx <= 0)
            continue;
        if (platform::Len(column.Title) > CsvImportMaxFieldChars) {
            throw RecordRefused{recordName(recordNumber) + "の" + std::to_string(i) + "番目の項目が"
                                + std::to_string(CsvImportMaxFieldChars) + "文字を超えています"};
        }
        try {
            storeCsvField(person, column.SetIdx, column.Title);
        } catch (const platform::RuntimeError&) {
            throw RecordRefused{recordName(recordNumber) + "の年齢「" + column.Title + "」を数値に出来ません"};
        }
        if (column.SetIdx == 16)
            groups.push_back(column.Title);
    }
    if (platform::Len(person.Biko) > CsvImportMaxFieldChars) {
        throw RecordRefused{recordName(recordNumber) + "の備考が" + std::to_string(CsvImportMaxFieldChars)
                            + "文字を超えています"};
    }
    return person;
}

// The first free person slot from slot on, or -1. Slot 1024 is the blank partner
// and never takes a person.
int nextFreeSlot(int slot)
{
    const auto& per_buf = model::tables().per_buf;
    while (slot <= model::LastPersonSlot && per_buf[slot].InUse > 0)
        ++slot;
    return slot <= model::LastPersonSlot ? slot : -1;
}

// Stores the data records, one person each, counting them in stored.
void importRecords(platform::TextInputFile& file, int64_t& position, int& stored)
{
    CsvInState& state = csvInState();
    model::Tables& t = model::tables();
    std::vector<std::string> fields(CsvInFieldCount);
    int slot = 1;
    for (;;) {
        slot = nextFreeSlot(slot);
        if (slot < 0) {
            platform::MsgBox(CsvTableFullMessage, platform::vbOKOnly);
            return;
        }
        int lastIndex = -1;
        bool quoteLeftOpen = false;
        const int result = ReadCsvRecord(file, position, fields, lastIndex, &quoteLeftOpen);
        if (quoteLeftOpen)
            throw RecordRefused{recordName(stored + 1) + "の引用符が閉じられていません"};
        if (lastIndex + 1 != state.CsvInCount) {
            platform::MsgBox(std::string(CsvFieldCountMessageHead) + platform::Str(stored)
                                 + CsvFieldCountMessageTail,
                             platform::vbOKOnly);
            return;
        }
        for (int i = 1; i <= state.CsvInCount; ++i)
            state.csvin_tbl[i].Title = fields[static_cast<size_t>(i - 1)];

        std::vector<std::string> groups;
        model::personal_data person = buildPerson(slot, stored + 1, groups);
        person.InUse = model::SlotUsed;
        t.per_buf[slot] = std::move(person);
        t.PerCount = static_cast<int16_t>(t.PerCount + 1);
        for (const std::string& group : groups)
            model::Add_GrpName(group);
        ++slot;
        ++stored;
        if (result == CsvLastRecord)
            return;
    }
}

// The family gained persons: windows showing the person table are refreshed or
// closed (an open person editor would otherwise hand out slots now in use), and the
// family counts as changed.
void afterPersonsAdded()
{
    model::Tables& t = model::tables();
    if (model::runState().Entry_Open == 1)
        model::runState().Entry_Open = 0;
    model::windowServices().closePersonEditor();
    model::windowServices().closeChronology();
    model::runState().YTbl_Open = 0;
    csvImportRequests().rebuildPersonLists();
    t.Data_Changed = 1;
}

} // namespace

void setCsvImportRequests(CsvImportRequests* requests)
{
    installedRequests = requests;
}

CsvImportRequests& csvImportRequests()
{
    return installedRequests ? *installedRequests : defaultRequests;
}

void storeCsvField(model::personal_data& p, int setIdx, const std::string& text)
{
    switch (setIdx) {
    case 1: p.F_name = text; break;
    case 2: p.Name = text; break;
    case 3: p.Old_name = text; break;
    case 4: p.Sex = platform::Trim(text) == "女" ? 1 : 0; break;
    case 5: p.B_day = text; break;
    case 6: p.Death_day = text; break;
    case 7: p.Age = platform::CInt(std::string_view(text)); break;
    case 8: p.YubinNo = text; break;
    case 9: p.Addr1 = text; break;
    case 10: p.Addr2 = text; break;
    case 11: p.TelNo = text; break;
    case 12: p.FaxNo = text; break;
    case 13: p.KeiNo = text; break;
    case 14: p.E_mail = text; break;
    case 15:
        for (const char c : text) {
            if (c == '\r')
                continue;
            if (c == '\n')
                p.Biko += "\n\n";
            else
                p.Biko += c;
        }
        break;
    case 16: p.GrpName = text; break;
    case 17: p.Zokugara = text; break;
    case 18: p.ZokugaraK = text; break;
    case 19: p.Kaimyo = text; break;
    default: break;
    }
}

bool takeLastMapping()
{
    const std::string path = mappingFilePath();
    if (!platform::fileExists(path))
        return false;
    if (platform::MsgBox(CsvUseLastMappingQuestion, platform::vbYesNo | platform::vbInformation, CsvImportTitle)
        != platform::vbYes)
        return false;

    CsvInState& state = csvInState();
    platform::TextInputFile file(path);
    std::string line;
    const std::optional<int> count = file.readLine(line) ? parseWholeNumber(line) : std::nullopt;
    if (count && *count != state.CsvInCount) {
        platform::MsgBox(CsvMappingCountMessage, platform::vbOKOnly | platform::vbExclamation, CsvImportTitle);
        return false;
    }
    std::vector<int16_t> mapping;
    while (count && static_cast<int>(mapping.size()) < state.CsvInCount && file.readLine(line)) {
        const std::optional<int> setIdx = parseWholeNumber(line);
        if (!setIdx || *setIdx < -1 || *setIdx > CsvTargetFieldCount)
            break;
        mapping.push_back(static_cast<int16_t>(*setIdx));
    }
    if (!count || static_cast<int>(mapping.size()) != state.CsvInCount) {
        platform::MsgBox(CsvMappingDamagedMessage, platform::vbOKOnly | platform::vbExclamation, CsvImportTitle);
        return false;
    }
    for (int i = 1; i <= state.CsvInCount; ++i)
        state.csvin_tbl[i].SetIdx = mapping[static_cast<size_t>(i - 1)];
    return true;
}

namespace {

// The import's failure: a file that could not be read or written (the CSV file, the
// mapping file), or a path that is no regular file, is named with why; any other
// failure gives its description.
std::string loadErrorMessage(const platform::RuntimeError& e)
{
    if (!platform::failureReason(e).empty())
        return platform::failedFileMessage(CsvLoadErrorMessage, e);
    return std::string(CsvLoadErrorMessage) + "\n" + e.description;
}

} // namespace

void CsvImport(const std::string& path, const std::function<void()>& beforeStoring)
{
    try {
        if (!checkFileContent(path))
            return;
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(loadErrorMessage(e), platform::vbOKOnly);
        return;
    }

    FrmCsvInStatForm& settingsWindow = frmcsvinstat_form();
    settingsWindow.CsvInPath = path;
    settingsWindow.show(forms::ShowMode::Modal);
    if (!settingsWindow.isAccepted())
        return;

    importCsvFile(
        path,
        [] {
            if (!takeLastMapping())
                csvinset_form().show(forms::ShowMode::Modal);
        },
        beforeStoring);
}

int importCsvFile(const std::string& path, const std::function<void()>& chooseMapping,
                  const std::function<void()>& beforeStoring)
{
    // The main window shows the hourglass from the mapping's end to every end of
    // the import, its error messages included.
    std::optional<forms::BusyPointer> busy;
    int stored = 0;
    try {
        if (!checkFileContent(path))
            return 0;
        // Opened first: what is no regular file (a named pipe, a device) is refused
        // with its reason, not taken for an empty file.
        platform::TextInputFile file(path, CsvImportMaxBytes);
        if (file.length() == 0) {
            platform::MsgBox(CsvEmptyMessage, platform::vbOKOnly);
            return 0;
        }
        clearColumnTable();
        CsvInState& state = csvInState();
        std::vector<std::string> fields(CsvInFieldCount);
        int64_t position = 1;
        int lastIndex = -1;
        if (ReadCsvRecord(file, position, fields, lastIndex) < 0) {
            platform::MsgBox(CsvUnreadableMessage, platform::vbOKOnly);
            return 0;
        }
        for (int i = 0; i <= lastIndex; ++i)
            state.csvin_tbl[i + 1].Title = fields[static_cast<size_t>(i)];
        state.CsvInCount = static_cast<int16_t>(lastIndex + 1);

        chooseMapping();
        writeMappingFile();
        if (forms::Form* main = forms::findLoadedForm("main"))
            busy.emplace(*main);
        if (!anyColumnMapped()) {
            platform::MsgBox(CsvCancelledMessage, platform::vbOKOnly);
            return 0;
        }
        if (beforeStoring)
            beforeStoring();
        importRecords(file, position, stored);
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(loadErrorMessage(e), platform::vbOKOnly);
        if (stored > 0)
            afterPersonsAdded();
        return stored;
    } catch (const RecordRefused& refused) {
        platform::MsgBox(std::string(CsvLoadErrorMessage) + "\n" + refused.detail, platform::vbOKOnly);
        if (stored > 0)
            afterPersonsAdded();
        return stored;
    }
    afterPersonsAdded();
    return stored;
}

} // namespace reports
