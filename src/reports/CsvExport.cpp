#include "reports/CsvExport.h"

#include "model/era/EraDates.h"
#include "platform/Cp932.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "reports/reports_state.h"

#include <functional>
#include <string>

namespace reports {

const std::array<const char*, CsvLastColumn + 1> CsvColumnCaptions = {
    "",         "名字",     "名前",  "旧姓",     "男女",       "生年月日", "死亡年月日",
    "年齢",     "〒",       "住所１", "住所２",   "電話番号",   "FAX",      "携帯電話",
    "E_mail",   "備考",     "グループ", "続柄", "結婚後の続柄", "戒名"};

namespace {

constexpr char Quote = '"';
constexpr char Backslash = '\\';
const std::string CrLf = "\r\n";

// The value of one of the columns 1..19 for a person (the names trimmed).
std::string columnValue(const model::personal_data& p, int column)
{
    const CsvSettings& options = csvSettings();
    switch (column) {
    case 1: return platform::Trim(p.F_name);
    case 2: return platform::Trim(p.Name);
    case 3: return p.Old_name;
    case 4: return p.Sex == 0 ? "男" : "女";
    case 5: return CsvDateConv(p.B_day, options.CsvOpt_Seireki);
    case 6: return CsvDateConv(p.Death_day, options.CsvOpt_Seireki);
    case 7: return std::to_string(p.Age);
    case 8: return p.YubinNo;
    case 9: return EncodeCsvString(p.Addr1);
    case 10: return EncodeCsvString(p.Addr2);
    case 11: return p.TelNo;
    case 12: return p.FaxNo;
    case 13: return p.KeiNo;
    case 14: return p.E_mail;
    case 15: return EncodeCsvString(p.Biko);
    case 16: return p.GrpName;
    case 17: return p.Zokugara;
    case 18: return p.ZokugaraK;
    case 19: return p.Kaimyo;
    default: return {};
    }
}

// The message for a person whose text cp932 cannot hold. The export refuses such a
// family rather than write "?" in place of the character: the file would otherwise
// differ from the family without anyone noticing.
std::string unencodableMessage(const model::personal_data& p, const std::string& character)
{
    return std::string(CsvWriteFailedMessage) + "\n" + "「" + platform::Trim(p.F_name) + " "
        + platform::Trim(p.Name) + "」のデータに、CSVファイル（シフトJIS）に書けない文字「" + character
        + "」があります。";
}

} // namespace

std::string AddDq(const std::string& value, int quote)
{
    if (quote == 0 && value.find_first_of(",\"\r\n") == std::string::npos)
        return value;
    std::string out;
    out.reserve(value.size() + 2);
    out += Quote;
    for (const char c : value) {
        if (c == Quote)
            out += Quote;
        out += c;
    }
    out += Quote;
    return out;
}

std::string EncodeCsvString(const std::string& text)
{
    if (text.empty())
        return {};
    const bool escapeBreaks = csvSettings().CsvOpt_CrLfEsc == 1;
    const std::string lineBreak = escapeBreaks ? std::string("\\n") : CrLf;

    // The pending line-break mark: '\0' none, else the CR or LF seen last.
    char mark = '\0';
    std::string out;
    out.reserve(text.size() + 8);
    // Working byte by byte is safe: every character handled below is ASCII, and no
    // byte of a multi-byte UTF-8 character is an ASCII byte. Commas and quotes need
    // no escape here: AddDq quotes every value that holds one.
    for (const char c : text) {
        switch (c) {
        case '\r':
            mark = '\r';
            break;
        case '\n':
            if (mark == '\0') {
                mark = '\n';
            } else {
                out += lineBreak;
                mark = '\0';
            }
            break;
        case Backslash:
            mark = '\0';
            out += escapeBreaks ? "\\\\" : "\\";
            break;
        default:
            mark = '\0';
            out += c;
            break;
        }
    }
    return out;
}

std::string CsvDateConv(const std::string& date, int western)
{
    if (western == 0)
        return date;
    // The western year, month or day the stored date lies wholly inside, at its
    // precision ("平成元年" -> "1989"). What is no date ("不詳", "1950年頃", an era
    // outside the table) goes out as stored.
    std::string written;
    return model::westernDateText(date, written) ? written : date;
}

bool isCsvExported(const model::personal_data& person)
{
    if (person.InUse != model::SlotUsed)
        return false;
    return csvSettings().CsvOpt_OutFlag == 0 || person.CsvOutFlag == 1;
}

namespace {

// The line of the columns switched on, in the order of the data, each column's text
// from textOf(column): the one-name column is built from columns 1 and 2 ("名字", a
// blank, "名前", each only when its column is on) and written even when both are off.
std::string csvLine(const std::function<std::string(int column)>& textOf)
{
    const CsvSettings& options = csvSettings();
    const auto& columns = CsvOutCol();
    const int quote = options.CsvOpt_Quote;
    std::string line;
    const auto append = [&](const std::string& text) { line += AddDq(text, quote) + ","; };

    if (options.CsvOpt_OneName != 0) {
        append((columns[1] ? textOf(1) : std::string()) + " " + (columns[2] ? textOf(2) : std::string()));
    } else {
        for (int column : {1, 2}) {
            if (columns[column])
                append(textOf(column));
        }
    }
    for (int column = 3; column <= CsvLastColumn; ++column) {
        if (columns[column])
            append(textOf(column));
    }
    if (!line.empty())
        line.pop_back();   // the comma after the last column
    return line;
}

} // namespace

std::string csvPersonLine(const model::personal_data& p)
{
    return csvLine([&p](int column) { return columnValue(p, column); });
}

std::string csvTitleLine()
{
    return csvLine([](int column) { return std::string(CsvColumnCaptions[column]); });
}

bool CsvExport(const std::string& path)
{
    const model::Tables& t = model::tables();
    // The title line comes first: the import takes the first record as the
    // columns' titles, so an exported file maps back without losing a person.
    std::string bytes = platform::encodeCp932(csvTitleLine()) + CrLf;
    for (int slot = 1; slot <= model::LastSlot; ++slot) {
        const model::personal_data& person = t.per_buf[slot];
        if (!isCsvExported(person))
            continue;
        try {
            bytes += platform::encodeCp932(csvPersonLine(person));
        } catch (const platform::EncodeError& e) {
            platform::MsgBox(unencodableMessage(person, e.character), platform::vbOKOnly);
            return false;
        }
        bytes += CrLf;
    }
    try {
        platform::writeFileAtomically(path, bytes);
    } catch (const platform::RuntimeError& e) {
        platform::MsgBox(platform::failedFileMessage(CsvWriteFailedMessage, e, path), platform::vbOKOnly);
        return false;
    }
    return true;
}

} // namespace reports
