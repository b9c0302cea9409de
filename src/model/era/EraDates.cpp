#include "model/era/EraDates.h"

#include "model/era/EraText.h"
#include "model/era/Nengo.h"
#include "model/settings.h"
#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/Hooks.h"
#include "platform/Utf8.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace model {

using eratext::digitsValue;
using eratext::joinChars;
using platform::utf8::splitChars;

namespace {

using Precision = DatePrecision;

std::string keyText(int y, int m, int d)
{
    return platform::Format(static_cast<long long>(y) * 10000 + m * 100 + d, 8);
}

// Year, month and day of an 8-digit key; false for any other text or no real date.
bool keyParts(std::string_view key, int& y, int& m, int& d)
{
    if (key.size() != 8)
        return false;
    for (char c : key) {
        if (c < '0' || c > '9')
            return false;
    }
    return digitsValue(key.substr(0, 4), y) && digitsValue(key.substr(4, 2), m)
        && digitsValue(key.substr(6, 2), d) && platform::isValidDate(y, m, d);
}

// The first day of the era that follows a row, or nothing for the newest row.
bool nextEraStart(int row, double& start)
{
    if (row <= 0)
        return false;
    start = nengo_tbl[static_cast<size_t>(row) - 1].nengo_start;
    return true;
}

// Checks an era date and gives its key. The western year is the era's start
// year + eraYear - 1; the date must be a real date and lie before the next era's
// first day (the last calendar year of an era is valid up to that day). Year 0
// of an era does not exist.
int16_t eraDateKey(int row, int eraYear, int month, int day, std::string& key)
{
    key.clear();
    if (eraYear < 1)
        return -1;
    const double start = nengo_tbl[static_cast<size_t>(row)].nengo_start;
    const long long westernYear = static_cast<long long>(platform::Year(start)) + eraYear - 1;
    double next = 0;
    const bool hasNext = nextEraStart(row, next);
    // A year past the next era's start year is out of the era whatever the day.
    if (hasNext && westernYear > platform::Year(next))
        return -2;
    if (westernYear > 9999 || !platform::isValidDate(static_cast<int>(westernYear), month, day))
        return -1;
    if (hasNext && platform::DateSerial(static_cast<int>(westernYear), month, day) >= next)
        return -2;
    key = keyText(static_cast<int>(westernYear), month, day);
    return 0;
}

// Checks a western date and gives its key; -1 when it was not read or is no real date.
int16_t westernDateKey(bool read, int year, int month, int day, std::string& key)
{
    if (!read || !platform::isValidDate(year, month, day))
        return -1;
    key = keyText(year, month, day);
    return 0;
}

// Day, month or year number of a split part; false when missing or no number.
bool partValue(const std::string& part, int& value)
{
    return digitsValue(part, value);
}

bool isLastCharDigit(const std::vector<std::string>& chars)
{
    return !chars.empty() && Is_DigitChar(chars.back()) == 0;
}

// The typed letters that start an abbreviated era date: the usual five and
// every letter code of the era table.
bool isTypedEraLetter(const std::string& ch)
{
    static const std::array<const char*, 5> usual = {"H", "S", "T", "M", "K"};
    if (!isNengoLetterCode(ch))
        return false;
    const std::string upper = eratext::upperHalfWidth(ch);
    for (const char* u : usual) {
        if (upper == u)
            return true;
    }
    return isTableLetterCode(ch);
}

// The characters a date text may hold besides its era in front and its digits:
// the separators / - . in either width and as a Japanese input method types
// their keys in kana (・ ー 。), 年 月 日 元, and blanks.
bool isDateSeparator(const std::string& ch)
{
    static const std::array<const char*, 15> separators = {"/", "-", ".", "／", "－", "．", "・", "ー", "。",
                                                            "年", "月", "日", "元", " ", "　"};
    for (const char* s : separators) {
        if (ch == s)
            return true;
    }
    return false;
}

// How many characters the era name or letter in front of a date text takes.
size_t eraLength(const std::vector<std::string>& chars)
{
    size_t i = 0;
    while (i < chars.size() && Is_DigitChar(chars[i]) != 0 && !(i > 0 && chars[i] == "元"))
        ++i;
    return i;
}

// True when the text is a date and nothing else: an optional era name or letter,
// then only digits and separators ("1950年頃" holds more than its date).
bool holdsOnlyDate(const std::string& text)
{
    const std::vector<std::string> chars = splitChars(text);
    for (size_t i = eraLength(chars); i < chars.size(); ++i) {
        if (Is_DigitChar(chars[i]) != 0 && !isDateSeparator(chars[i]))
            return false;
    }
    return true;
}

// Completes a letter-form date such as "H16", "H16/3" or "H16年3月4日".
std::string completeLetterForm(std::vector<std::string> chars, Precision& precision)
{
    int replaced = 0;
    for (size_t i = 1; i < chars.size(); ++i) {
        if (Is_DigitChar(chars[i]) != 0) {
            chars[i] = "/";
            ++replaced;
        }
    }
    const auto slashesToYear = [&chars]() {
        for (size_t i = 1; i < chars.size(); ++i) {
            if (chars[i] == "/")
                chars[i] = "年";
        }
    };
    if (replaced == 0) {
        precision = Precision::Year;
        return joinChars(chars, 0, 3) + "年01月01日";
    }
    if (replaced == 1) {
        if (!isLastCharDigit(chars)) {
            chars.pop_back();
            precision = Precision::Year;
            return joinChars(chars, 0) + "年01月01日";
        }
        slashesToYear();
        precision = Precision::Month;
        return joinChars(chars, 0) + "月01日";
    }
    if (replaced == 2 && !isLastCharDigit(chars)) {
        chars.pop_back();
        slashesToYear();
        precision = Precision::Month;
        return joinChars(chars, 0) + "月01日";
    }
    precision = Precision::Full;
    return joinChars(chars, 0);
}

// Completes an era-name date such as "平成16", "平成16年3" or "平成16年3月4".
std::string completeEraNameForm(const std::string& text, Precision& precision)
{
    const bool lastDigit = isLastCharDigit(splitChars(text));
    if (platform::InStr(text, "年") < 4) {
        precision = Precision::Year;
        return text + "年01月01日";
    }
    if (platform::InStr(text, "月") >= 4) {
        if (platform::InStr(text, "日") >= 5) {
            precision = Precision::Full;
            return text;
        }
        precision = lastDigit ? Precision::Full : Precision::Month;
        return text + (lastDigit ? "日" : "01日");
    }
    precision = lastDigit ? Precision::Month : Precision::Year;
    return text + (lastDigit ? "月01日" : "01月01日");
}

// Completes a western date such as "2004", "2004/3" or "2004.3.4". Returns
// false for a year below 1000.
bool completeWesternForm(const std::string& typed, std::string& text, Precision& precision)
{
    std::vector<std::string> chars = splitChars(platform::narrowWidth(typed));
    for (std::string& ch : chars) {
        if (Is_DigitChar(ch) != 0)
            ch = "/";
    }
    text = joinChars(chars, 0);
    precision = Precision::Full;

    // The first "/" from the sixth character on; none, or one that ends the
    // text, means the day (and maybe the month) is still missing.
    size_t slash = chars.size();
    for (size_t i = 5; i < chars.size(); ++i) {
        if (chars[i] == "/") {
            slash = i;
            break;
        }
    }
    if (slash + 1 < chars.size())
        return true;

    const std::string year = joinChars(chars, 0, 4);
    if (platform::Val(year) < 1000)
        return false;
    if (chars.size() < 6) {
        precision = Precision::Year;
        text = year + "/01/01";
        return true;
    }
    // The month is the number after the fifth character, up to the next "/".
    std::string month;
    for (size_t i = 5; i < chars.size() && chars[i] != "/"; ++i) {
        if (!(month.empty() && chars[i] == "0"))
            month += chars[i];
    }
    if (month.empty()) {
        month = "01";
        precision = Precision::Year;
    } else if (month.size() == 1) {
        month = "0" + month;
        precision = Precision::Month;
    } else if (month.size() == 2) {
        precision = Precision::Month;
    } else {
        month = month.substr(0, 2);
    }
    text = year + "/" + month + "/01";
    return true;
}

// The text up to and including the first mark, or the first fallbackChars
// characters when the mark is missing (a date shown in western form).
std::string cutAt(const std::string& text, const char* mark, bool cutAtMark, long fallbackChars)
{
    const long pos = cutAtMark ? platform::InStr(text, mark) : 0;
    return platform::Left(text, pos > 0 ? pos : fallbackChars);
}

} // namespace

DisplayModeOverride::DisplayModeOverride(int32_t mode) : m_saved(settings().Dispmode_Nengo)
{
    settings().Dispmode_Nengo = mode;
}

DisplayModeOverride::~DisplayModeOverride()
{
    settings().Dispmode_Nengo = m_saved;
}

int16_t Is_DigitChar(std::string_view ch)
{
    return eratext::isDigit(ch) ? 0 : -1;
}

int16_t Split_WarekiStr(const std::string& text, std::string& era, std::string& year,
                        std::string& month, std::string& day)
{
    era.clear();
    year.clear();
    month.clear();
    day.clear();
    if (text.empty())
        return 0;

    struct Run {
        std::string text;
        bool digits = false;
    };
    std::vector<Run> runs;
    bool open = false;
    const std::vector<std::string> chars = splitChars(text);
    for (size_t i = 0; i < chars.size(); ++i) {
        // "元" after the first character is the year one ("平成元年"), a run of its own.
        if (i > 0 && chars[i] == "元") {
            runs.push_back({"1", true});
            open = false;
            continue;
        }
        const bool digit = Is_DigitChar(chars[i]) == 0;
        if (open && runs.back().digits == digit) {
            runs.back().text += chars[i];
        } else {
            runs.push_back({chars[i], digit});
            open = true;
        }
    }
    for (Run& run : runs)
        run.text = platform::Trim(run.text);

    const size_t n = runs.size();
    const bool firstDigits = runs[0].digits;
    const auto run = [&runs](size_t oneBased) { return runs[oneBased - 1].text; };
    if (n >= 8 || (n == 7 && firstDigits) || (n == 1 && !firstDigits))
        return -1;
    if (n == 2 && (firstDigits || !runs[1].digits)) {
        if (!firstDigits)
            return -1;
        year = run(1);
        return 0;
    }
    if (firstDigits) {
        year = run(1);
        if (n >= 3)
            month = run(3);
        if (n >= 5)
            day = run(5);
        return 0;
    }
    era = run(1);
    year = run(2);
    if (n >= 4)
        month = run(4);
    if (n >= 6)
        day = run(6);
    return 0;
}

int16_t Conv_DateKey(const std::string& text, std::string& key)
{
    key.clear();
    std::string era;
    std::string yearText;
    std::string monthText;
    std::string dayText;
    if (Split_WarekiStr(platform::Trim(text), era, yearText, monthText, dayText) != 0)
        return -1;

    int year = 0;
    int month = 0;
    int day = 0;
    const bool numbers = partValue(yearText, year) && partValue(monthText, month) && partValue(dayText, day);
    if (era.empty())
        return westernDateKey(numbers, year, month, day, key);
    const int row = findNengoRow(era);
    if (row < 0)
        return -2;
    if (!numbers)
        return -1;
    return eraDateKey(row, year, month, day, key);
}

namespace {

// The key of a date text and its year, month and day; false when the text names no date.
bool textKeyParts(const std::string& text, std::string& key, int& y, int& m, int& d)
{
    return Conv_DateKey(text, key) == 0 && keyParts(key, y, m, d);
}

} // namespace

int16_t DateKey_ToDate(const std::string& text, double& date)
{
    std::string key;
    int y = 0;
    int m = 0;
    int d = 0;
    if (!textKeyParts(text, key, y, m, d))
        return -1;
    try {
        date = platform::DateSerial(y, m, d);
    } catch (const platform::RuntimeError&) {
        return -1;
    }
    return 0;
}

namespace {

// A date text read and completed to its first day: its key, year, month and day,
// how much of a date the text gave, and the days it names.
struct DateRead {
    std::string key;
    int y = 0;
    int m = 0;
    int d = 0;
    Precision precision = Precision::Full;
    double first = 0;
    double last = 0;
    int ownMode = 0; // the display mode whose form the text is written in
};

// The era row of a completed date text; -1 for a western text.
int eraRowOf(const std::string& complete)
{
    std::string era;
    std::string year;
    std::string month;
    std::string day;
    if (Split_WarekiStr(platform::Trim(complete), era, year, month, day) != 0 || era.empty())
        return -1;
    return findNengoRow(era);
}

// A year, or a year and month, of an era that began inside it starts on the era's
// first day: "平成元年" is read from 1989-01-08, since 1 January 1989 was 昭和64年.
// A full date, or a period wholly before its era, is left as read.
void startInsideEra(int row, DateRead& read)
{
    if (read.precision == Precision::Full || row < 0)
        return;
    const double start = nengo_tbl[static_cast<size_t>(row)].nengo_start;
    const bool sameMonth = platform::Month(start) == read.m || read.precision == Precision::Year;
    if (read.first >= start || platform::Year(start) != read.y || !sameMonth)
        return;
    read.m = platform::Month(start);
    read.d = platform::Day(start);
    read.first = start;
    read.key = keyText(read.y, read.m, read.d);
}

// The last day a text names: the day itself, or the end of its month or year. A year
// or month of an era ends where the next era begins ("昭和64年" on 1989-01-07).
double lastDayOf(int row, const DateRead& read)
{
    if (read.precision == Precision::Full)
        return read.first;
    // Day 0 of the next month is the last day of this one.
    double last = read.precision == Precision::Year ? platform::DateSerial(read.y, 12, 31)
                                                    : platform::DateSerial(read.y, read.m + 1, 0);
    double next = 0;
    if (row >= 0 && nextEraStart(row, next) && next <= last)
        last = next - 1;
    return last;
}

// Reads a date text, blanks around it ignored; nothing when it names no date or
// holds more than its date ("1950年頃", "不詳").
std::optional<DateRead> readDate(const std::string& typed)
{
    const std::string text = platform::Trim(typed);
    if (text.empty() || !holdsOnlyDate(text))
        return std::nullopt;
    const std::vector<std::string> chars = splitChars(text);
    DateRead read;
    std::string complete;
    if (Is_DigitChar(chars.front()) != 0) {
        const bool letter = isTypedEraLetter(chars.front());
        read.ownMode = letter ? 2 : 1;
        complete = letter ? completeLetterForm(chars, read.precision) : completeEraNameForm(text, read.precision);
    } else if (!completeWesternForm(text, complete, read.precision)) {
        return std::nullopt;
    }
    if (!textKeyParts(complete, read.key, read.y, read.m, read.d))
        return std::nullopt;
    read.first = platform::DateSerial(read.y, read.m, read.d);
    const int row = eraRowOf(complete);
    startInsideEra(row, read);
    read.last = lastDayOf(row, read);
    return read;
}

// A date read, written in the form of a display mode at the precision read. A date
// shown in western form (before the oldest era, or in a western mode) is cut at 4 or
// 7 characters, an era text after its "年" or "月". The western form also stands for
// display modes that give no text, so a date is never turned into an empty one.
std::optional<std::string> dateTextIn(int mode, const DateRead& read)
{
    std::string shown = platform::Format(read.y, 4) + "/" + platform::Format(read.m, 2) + "/" + platform::Format(read.d, 2);
    bool formatted = false;
    if (read.first >= platform::DateSerial(1516, 1, 1) && (read.first > platform::DateSerial(1865, 1, 1) || mode != 2)) {
        const DisplayModeOverride inMode(mode);
        if (Format_DateDisp(read.key, shown) != 0)
            return std::nullopt;
        formatted = true;
    }
    const bool eraCut = formatted && (mode == 1 || mode == 2);
    if (read.precision == Precision::Year)
        shown = cutAt(shown, "年", eraCut, 4);
    else if (read.precision == Precision::Month)
        shown = cutAt(shown, "月", eraCut, 7);
    return shown;
}

// The one rule for writing a date in another form: the date's text in the form of
// a display mode, only when that text names exactly the days the date names. A
// full date always has one; "1989" has no era form (1 to 7 January were 昭和64年,
// the rest 平成元年) and "平成元年" no western one, while a year or month that lies
// wholly inside one era has both.
bool exactTextIn(int mode, const DateRead& read, std::string& out)
{
    const std::optional<std::string> text = dateTextIn(mode, read);
    if (!text)
        return false;
    const std::optional<DateRead> again = readDate(*text);
    if (!again || again->precision != read.precision || again->first != read.first || again->last != read.last)
        return false;
    out = *text;
    return true;
}

bool isAfterToday(const DateRead& read)
{
    return read.first > platform::Int(platform::Date());
}

} // namespace

std::string Fill_DatePart(const std::string& text)
{
    if (text.empty())
        return std::string();
    // The text's own form decides, not the display mode: a date kept as written
    // ("平成元年" in a western family) is completed as an era date.
    if (Is_DigitChar(splitChars(text).front()) == 0) {
        switch (platform::Len(text)) {
        case 4:
            return text + "/01/01";
        case 7:
            return text + "/01";
        case 10:
            return text;
        default:
            return std::string();
        }
    }
    const bool hasMonth = platform::InStr(text, "月") >= 4;
    if (hasMonth && platform::InStr(text, "日") >= 5)
        return text;
    // An era year or year and month completes to its first day, which for the
    // period an era began in is the era's first day ("平成元年" -> 01月08日).
    int month = 1;
    int day = 1;
    const std::optional<DateRead> read = readDate(text);
    if (read && read->precision == (hasMonth ? Precision::Month : Precision::Year)) {
        month = read->m;
        day = read->d;
    }
    const std::string dayText = platform::Format(day, 2) + "日";
    return hasMonth ? text + dayText : text + platform::Format(month, 2) + "月" + dayText;
}

bool Read_DatePrecision(const std::string& text, std::string& key, DatePrecision& precision)
{
    key.clear();
    const std::optional<DateRead> read = readDate(text);
    if (!read)
        return false;
    key = read->key;
    precision = read->precision;
    return true;
}

bool Read_DatePeriod(const std::string& text, DatePeriod& period)
{
    const std::optional<DateRead> read = readDate(text);
    if (!read)
        return false;
    period = DatePeriod{read->key, read->first, read->last, read->precision};
    return true;
}

int16_t Conv_InputDate(const std::string& typed, std::string& out)
{
    const std::optional<DateRead> read = readDate(typed);
    if (!read || isAfterToday(*read))
        return -1;
    // The display form where it names the same days; otherwise the date is kept as
    // typed, tidied in its own form ("1989/1" -> "1989/01") where that form names
    // them too.
    if (exactTextIn(settings().Dispmode_Nengo, *read, out) || exactTextIn(read->ownMode, *read, out))
        return 0;
    out = platform::Trim(typed);
    return 0;
}

bool convertDateExactly(const std::string& text, std::string& out)
{
    const std::optional<DateRead> read = readDate(text);
    return read && !isAfterToday(*read) && exactTextIn(settings().Dispmode_Nengo, *read, out);
}

bool westernDateText(const std::string& text, std::string& out)
{
    const std::optional<DateRead> read = readDate(text);
    if (!read)
        return false;
    // An era's year lies inside one western year and its month inside one month, so
    // the year or month of the first day holds every day the text names.
    const std::string& key = read->key;
    switch (read->precision) {
    case Precision::Year:
        out = key.substr(0, 4);
        break;
    case Precision::Month:
        out = key.substr(0, 4) + "/" + key.substr(4, 2);
        break;
    case Precision::Full:
        out = key.substr(0, 4) + "/" + key.substr(4, 2) + "/" + key.substr(6, 2);
        break;
    }
    return true;
}

void rewriteDateExactly(std::string& date, int& kept)
{
    if (date.empty())
        return;
    std::string converted;
    if (convertDateExactly(date, converted))
        date = converted;
    else
        ++kept;
}

std::string keptDatesMessage(int count)
{
    return "日付" + std::to_string(count) + "件は変換できないため、入力されたまま残しました";
}

int16_t Format_DateDisp(const std::string& key, std::string& out)
{
    if (key.empty()) {
        out.clear();
        return 0;
    }
    int y = 0;
    int m = 0;
    int d = 0;
    if (!keyParts(key, y, m, d))
        return -1;
    const std::string western = key.substr(0, 4) + "/" + key.substr(4, 2) + "/" + key.substr(6, 2);
    const std::string monthDay = key.substr(4, 2) + "月" + key.substr(6, 2) + "日";

    const double date = platform::DateSerial(y, m, d);
    int row = -1;
    for (size_t i = 0; i < nengo_tbl.size(); ++i) {
        if (nengo_tbl[i].nengo_start <= date) {
            row = static_cast<int>(i);
            break;
        }
    }
    const int n = row < 0 ? 0 : y - platform::Year(nengo_tbl[static_cast<size_t>(row)].nengo_start) + 1;

    switch (settings().Dispmode_Nengo) {
    case 0:
    case 3:
        out = western;
        return 0;
    case 1: {
        if (row < 0) {
            out = western;
            return 0;
        }
        // Older eras take two-digit years so that their dates line up in lists.
        const std::string year = n == 1 ? "元" : platform::Format(n, row == 0 ? 1 : 2);
        out = nengo_tbl[static_cast<size_t>(row)].nengo_name + year + "年" + monthDay;
        return 0;
    }
    case 2: {
        const std::string code = row < 0 ? std::string() : platform::Trim(nengo_tbl[static_cast<size_t>(row)].nengo_code);
        if (code.empty())
            out = key.substr(0, 4) + "年" + monthDay;
        else
            out = platform::Left(code, 1) + std::to_string(n) + "年" + monthDay;
        return 0;
    }
    default:
        return 0;
    }
}

int16_t Conv_WarekiKey(const std::string& stored, std::string& key)
{
    key.clear();
    std::string text = stored;
    const size_t gannen = text.find("元年");
    if (gannen != std::string::npos)
        text.replace(gannen, std::string("元年").size(), "1年");

    // The era part runs up to the first digit; a "元" after two characters is a
    // year, not part of the era name.
    const std::vector<std::string> chars = splitChars(text);
    size_t i = 0;
    while (i < chars.size() && Is_DigitChar(chars[i]) != 0 && !(chars[i] == "元" && i >= 2))
        ++i;
    const std::string era = platform::Trim(joinChars(chars, 0, i));
    const std::string rest = platform::Trim(joinChars(chars, i));

    int year = 0;
    int month = 0;
    int day = 0;
    if (era.empty()) {
        const bool read = eratext::parseYmd(platform::Trim(text), year, month, day);
        return westernDateKey(read, year, month, day, key);
    }

    const int row = findNengoRow(era);
    if (row < 0)
        return -2;
    if (isNengoLetterCode(era)) {
        if (!eratext::parseYmd(rest, year, month, day))
            return -1;
        return eraDateKey(row, year, month, day, key);
    }

    // Era name: the first three digit runs are year, month and day; other
    // characters between them are skipped.
    std::array<int, 3> parts{};
    const std::vector<std::string> restChars = splitChars(rest);
    size_t found = 0;
    for (size_t k = 0; k < restChars.size() && found < parts.size();) {
        if (Is_DigitChar(restChars[k]) != 0) {
            ++k;
            continue;
        }
        const size_t start = k;
        while (k < restChars.size() && Is_DigitChar(restChars[k]) == 0)
            ++k;
        if (!digitsValue(joinChars(restChars, start, k - start), parts[found]))
            return -1;
        ++found;
    }
    if (found < parts.size())
        return -2;
    return eraDateKey(row, parts[0], parts[1], parts[2], key);
}

} // namespace model
