#include "model/era/Nengo.h"

#include "model/era/EraText.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/TextFile.h"
#include "platform/Utf8.h"

namespace model {

std::vector<nengo_data> nengo_tbl;

namespace {

// One trimmed, non-empty line of the era file: ten characters of start date,
// blanks, the era name up to the next blank, then the letter code.
bool parseNengoLine(const std::string& line, nengo_data& row)
{
    const std::vector<std::string> chars = platform::utf8::splitChars(line);
    if (chars.size() < 10)
        return false;
    int y = 0;
    int m = 0;
    int d = 0;
    if (!eratext::parseYmd(eratext::joinChars(chars, 0, 10), y, m, d) || !platform::isValidDate(y, m, d))
        return false;

    const std::string rest = platform::Trim(eratext::joinChars(chars, 10));
    const size_t blank = rest.find(' ');
    const std::string name = rest.substr(0, blank);
    // A row without a name could never be looked up, yet it would claim every
    // date from its start; such a line is an error, not an era.
    if (name.empty())
        return false;
    const std::string code = blank == std::string::npos ? std::string() : platform::Trim(rest.substr(blank));

    row.nengo_start = platform::DateSerial(y, m, d);
    row.nengo_name = name;
    row.nengo_code = platform::Left(code, NengoCodeWidth);
    row.nengo_code += std::string(NengoCodeWidth - platform::Len(row.nengo_code), ' ');
    return true;
}

} // namespace

int16_t Load_NengoTbl(const std::string& path)
{
    if (!platform::fileExists(path))
        return -1;
    try {
        platform::TextInputFile file(path);
        nengo_tbl.clear();
        std::string line;
        while (file.readLine(line)) {
            const std::string trimmed = platform::Trim(line);
            if (trimmed.empty())
                continue;
            nengo_data row;
            if (!parseNengoLine(trimmed, row))
                return -1;
            nengo_tbl.push_back(row);
        }
        return 0;
    } catch (const platform::RuntimeError&) {
        return -1;
    }
}

bool isNengoLetterCode(std::string_view eraText)
{
    if (platform::utf8::splitChars(eraText).size() != 1)
        return false;
    const std::string upper = eratext::upperHalfWidth(eraText);
    return upper.size() == 1 && upper[0] > 'A' && upper[0] < 'Z';
}

int findNengoRow(std::string_view eraText)
{
    if (isNengoLetterCode(eraText)) {
        const std::string letter = eratext::upperHalfWidth(eraText);
        for (size_t i = 0; i < nengo_tbl.size(); ++i) {
            if (eratext::upperHalfWidth(platform::Trim(nengo_tbl[i].nengo_code)) == letter)
                return static_cast<int>(i);
        }
        return -1;
    }
    for (size_t i = 0; i < nengo_tbl.size(); ++i) {
        if (nengo_tbl[i].nengo_name == eraText)
            return static_cast<int>(i);
    }
    return -1;
}

bool isTableLetterCode(std::string_view letter)
{
    return isNengoLetterCode(letter) && findNengoRow(letter) >= 0;
}

} // namespace model
