#include "platform/CsvReader.h"

#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/TextFile.h"
#include "platform/Utf8.h"

#include <string_view>

namespace platform {

namespace {

constexpr int SubscriptOutOfRange = 9;
constexpr const char* CrLf = "\r\n";

std::string replaceAll(const std::string& text, const std::string& what, const std::string& with)
{
    std::string out;
    size_t from = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
        out.append(text, from, at - from);
        out += with;
        from = at + what.size();
    }
    out.append(text, from, std::string::npos);
    return out;
}

std::string& fieldAt(std::vector<std::string>& fields, int index)
{
    if (index < 0 || static_cast<size_t>(index) >= fields.size())
        throw platform::RuntimeError(SubscriptOutOfRange, "Subscript out of range");
    return fields[static_cast<size_t>(index)];
}

} // namespace

CsvSettings& csvSettings()
{
    static CsvSettings settings;
    return settings;
}

void InitCsvParser()
{
    csvSettings() = CsvSettings();
}

int SplitCsvLine(std::string line, std::vector<std::string>& fields, int& index, int state)
{
    const CsvSettings& s = csvSettings();
    // The delimiter, quote and escape are single characters: a setting of two or
    // more characters never equals one character and so has no effect.
    const std::string delimiter = s.CsvDelim.empty() ? std::string(",") : s.CsvDelim;
    const std::string quote = platform::Trim(s.CsvQuote);
    const std::string escape = platform::Trim(s.CsvEscCode);
    const std::string lineCode = platform::Trim(s.CsvLineCode);

    if (!lineCode.empty())
        line = replaceAll(line, lineCode, CrLf);

    bool inQuotes = state != CsvLineComplete;
    bool escapePending = false;
    std::string field;
    const std::string_view text(line);
    for (size_t i = 0; i < text.size();) {
        const size_t len = platform::utf8::charLength(text, i);
        const std::string_view c = text.substr(i, len);
        i += len;
        // The order of these tests decides the meaning: the delimiter before the
        // quote, the quote before the escape, and an escaped character is literal.
        if (escapePending) {
            escapePending = false;
            field += c;
        } else if (c == delimiter) {
            if (inQuotes) {
                field += c;
            } else {
                fieldAt(fields, index) = field;
                field.clear();
                ++index;
            }
        } else if (!quote.empty() && c == quote) {
            // Inside quotes a doubled quote stands for one quote character of the
            // value, the way CSV writers (this program's export too) write it.
            if (inQuotes && text.substr(i, len) == quote) {
                field += c;
                i += len;
            } else {
                inQuotes = !inQuotes;
            }
        } else if (!escape.empty() && c == escape) {
            escapePending = true;
        } else {
            field += c;
        }
    }
    if (escapePending)
        field += escape;
    if (inQuotes)
        field += CrLf;
    // An empty last field is not stored; index still counts it, so it must still
    // be a field of the array (callers read fields 0..index).
    if (!field.empty())
        fieldAt(fields, index) = field;
    else
        fieldAt(fields, index);
    return inQuotes ? CsvQuoteOpen : CsvLineComplete;
}

int ReadCsvRecord(platform::TextInputFile& file, int64_t& position,
                  std::vector<std::string>& fields, int& lastIndex, bool* quoteLeftOpen)
{
    lastIndex = -1;
    if (quoteLeftOpen)
        *quoteLeftOpen = false;
    for (std::string& f : fields)
        f.clear();
    file.seek(position);
    if (file.atEnd())
        return CsvNoRecord;

    // A line ends at CR LF, CR or LF. A quoted value that spans lines keeps the
    // line end that the file has there, so a value comes back as it was written.
    const auto keepLineEnd = [&fields](int openIndex, const std::string& lineEnd) {
        std::string& open = fieldAt(fields, openIndex);
        if (!lineEnd.empty() && lineEnd != CrLf && open.size() >= 2 && open.compare(open.size() - 2, 2, CrLf) == 0)
            open.replace(open.size() - 2, 2, lineEnd);
    };
    int index = 0;
    std::string line;
    std::string lineEnd;
    file.readLine(line, lineEnd);
    int split = SplitCsvLine(line, fields, index, CsvLineComplete);
    if (split == CsvQuoteOpen)
        keepLineEnd(index, lineEnd);
    while (!file.atEnd() && split == CsvQuoteOpen) {
        // The open field's text so far ends in its line end; the next line continues it.
        const int openIndex = index;
        const std::string openText = fieldAt(fields, openIndex);
        fieldAt(fields, openIndex).clear();
        file.readLine(line, lineEnd);
        split = SplitCsvLine(line, fields, index, CsvQuoteOpen);
        if (split == CsvQuoteOpen)
            keepLineEnd(index, lineEnd);
        fieldAt(fields, openIndex) = openText + fieldAt(fields, openIndex);
    }
    lastIndex = index;
    position = file.position();
    if (quoteLeftOpen)
        *quoteLeftOpen = split == CsvQuoteOpen;
    return file.atEnd() ? CsvLastRecord : CsvMoreRecords;
}

} // namespace platform
