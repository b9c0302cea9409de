#pragma once
// Conversions between date texts, 8-digit date keys and date serials.
//
// Stored dates (personal_data.B_day, Death_day) are texts in the form of the
// document's Dispmode_Nengo: western "2004/03/04", era "平成16年03月04日" or
// abbreviated era "H16年03月04日". A date key is year x 10000 + month x 100 + day
// written with eight digits ("19890108"). Results follow one code: 0 success,
// -1 not a date (or refused), -2 era not in the table or date outside its era.
// Nothing here shows a message; the callers do.

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
// western text has no usable length.
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

// Normalises a typed date into the stored form of Dispmode_Nengo, keeping the
// precision typed (year, year and month, or full date) and, for a year or year
// and month, the era typed (as Read_DatePrecision reads it). -1 when refused: no
// date, a text holding more than a date (an era name or letter, digits, 元 年 月 日,
// the separators / . - in either width and blanks), a western year or year and
// month whose year is below 1000 (a full western date keeps its year), or a date
// after today.
int16_t Conv_InputDate(const std::string& text, std::string& out);

// A stored date rewritten into the form of Dispmode_Nengo, only when the rewrite
// is exact: the text holds a date and nothing else, and the result read back into
// the text's own form (western, era name or era letter) gives that date at the same
// precision again. Otherwise false and out is left alone: "不詳", "1950年頃", an era
// the table lacks, a date after today, or a year or month that two eras share in
// a western form ("平成元年" is not "1989", which is read as 昭和64年) are kept
// as they stand.
bool convertDateExactly(const std::string& text, std::string& out);

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
