#pragma once
// Conversions between date texts, 8-digit date keys and date serials.
//
// Stored dates (personal_data.B_day, Death_day) are texts in the form of the
// document's Dispmode_Nengo: western "2004/03/04", era "平成16年03月04日" or
// abbreviated era "H16年03月04日", except where that form has no text of the same
// days: such a date stays as written ("1989" in the era form, "平成元年" in the
// western one), so every reader takes a date in any of the forms. A date key is
// year x 10000 + month x 100 + day written with eight digits ("19890108").
// Results follow one code: 0 success, -1 not a date (or refused), -2 era not in
// the table or date outside its era. Nothing here shows a message; the callers do.

#include <cstdint>
#include <string>
#include <string_view>

namespace model {

// Sets the document's date display mode for one conversion and puts the old
// value back however the conversion ends.
class DisplayModeOverride {
public:
    explicit DisplayModeOverride(int32_t mode);
    ~DisplayModeOverride();
    DisplayModeOverride(const DisplayModeOverride&) = delete;
    DisplayModeOverride& operator=(const DisplayModeOverride&) = delete;

private:
    int32_t m_saved;
};

// 0 for a decimal digit (half- or full-width), -1 for any other character.
// A class value, not a truth value.
int16_t Is_DigitChar(std::string_view ch);

// Splits a trimmed date text into its era text, year, month and day by runs of
// digits and non-digits ("元" after the first character counts as the year 1).
// The outputs are cleared first; parts the text lacks stay empty. 0, or -1 for
// a shape it does not accept.
int16_t Split_WarekiStr(const std::string& text, std::string& era, std::string& year,
                        std::string& month, std::string& day);

// Key of a western or era date text. key is "" on failure.
int16_t Conv_DateKey(const std::string& text, std::string& key);

// Date serial of a western or era date text; -1 on any failure.
int16_t DateKey_ToDate(const std::string& text, double& date);

// Completes a stored partial date ("2004/03" -> "2004/03/01",
// "平成16年" -> "平成16年01月01日") to its first day, for a year or month an era
// began in the era's first day ("平成元年" -> "平成元年01月08日"); "" when a
// western text has no usable length. The text's own form decides (western when it
// begins with a digit), whatever the display mode.
std::string Fill_DatePart(const std::string& text);

// How much of a date a text gives.
enum class DatePrecision { Year, Month, Full };

// Reads a date text in any form Conv_InputDate accepts (western, era name or era
// letter; a year, a year and month, or a full date) into the key of its first day
// ("大正03年" -> "19140101", Year) and the precision the text gives. A year or a
// year and month of an era that began inside it starts on the era's first day
// ("平成元年" -> "19890108"), so it keeps its era. False (key "") when the text
// holds anything besides the date ("1950年頃") or names no date. Unlike
// Conv_InputDate it accepts a date after today.
bool Read_DatePrecision(const std::string& text, std::string& key, DatePrecision& precision);

// The days a date text names, from its first to its last day (date serials). A
// western year or month runs over all its days; a year or month of an era only
// over the days the era holds in it: "平成元年" is 1989-01-08 to 1989-12-31 and
// "昭和64年" 1989-01-01 to 1989-01-07. Ages count from the first day.
struct DatePeriod {
    std::string key; // of the first day
    double first = 0;
    double last = 0;
    DatePrecision precision = DatePrecision::Full;
};

// Reads a date text as Read_DatePrecision does into the days it names; false when
// it names no date.
bool Read_DatePeriod(const std::string& text, DatePeriod& period);

// The one rule for dates as written: a date is rewritten into the form of
// Dispmode_Nengo only where both texts name exactly the same days; otherwise it is
// kept as written. Every full date converts, and so does a year or month that lies
// wholly inside one era; "1989" has no era form (its first week was 昭和64年) and
// "平成元年" no western one. The person editor's typed dates (card and grid), the
// display-mode switch, the CSV import and the merge all go through it.

// Normalises a typed date by the rule above, keeping the precision typed (year,
// year and month, or full date). A date with no exact form in Dispmode_Nengo is
// kept as typed, tidied in its own form where that names the same days
// ("1989/1" -> "1989/01", "H1" -> "H1年"). -1 when refused: no date, a text
// holding more than a date (an era name or letter, digits, 元 年 月 日, the
// separators / . - in either width and blanks), a western year or year and month
// whose year is below 1000 (a full western date keeps its year), or a date after
// today.
int16_t Conv_InputDate(const std::string& text, std::string& out);

// A stored date rewritten into the form of Dispmode_Nengo by the rule above.
// Otherwise false and out is left alone: "不詳", "1950年頃", an era the table
// lacks, a date after today, or a year or month that has no text of the same days
// in that form are kept as they stand.
bool convertDateExactly(const std::string& text, std::string& out);

// The western year, year and month, or date that holds a date text, at the text's
// precision: "平成元年" lies wholly inside 1989 and gives "1989", "平成元年01月"
// gives "1989/01". False when the text names no date ("1950年頃"). For output
// only (the CSV export); a stored date is never rewritten by it.
bool westernDateText(const std::string& text, std::string& out);

// Rewrites a stored date in place by convertDateExactly; a date that does not
// convert exactly stays as it stands and adds 1 to kept. An empty date is left.
void rewriteDateExactly(std::string& date, int& kept);

// The message after stored dates were rewritten, count of them being kept as they stood.
std::string keptDatesMessage(int count);

// Display text of a key in the form of Dispmode_Nengo. An empty key gives "";
// a key that is no valid date gives -1 and leaves out unchanged.
int16_t Format_DateDisp(const std::string& key, std::string& out);

// Reads a stored date text (western, era name or letter code) back into a key.
int16_t Conv_WarekiKey(const std::string& text, std::string& key);

} // namespace model
