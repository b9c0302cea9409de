#pragma once
// The date value of a typed or stored date text, shared by the panel's checks
// and the grid's: the first day of the days the text names, in whatever form it is
// written, so that an age is the same in every display mode. A year-only or
// year-month date counts from its first day, which for the year or month an era
// began in is the era's first day ("平成元年" from 1989-01-08, "1989" from 1 January).

#include <cstdint>
#include <optional>
#include <string>

namespace entry {

// Nothing for a text that names no date, or a date after today.
std::optional<double> dateValue(const std::string& text);

// The years completed from the date birth to the date on (date serials): a year is
// completed on the birthday, and for a person born on 29 February on 1 March in a
// year without that day. Negative when on lies before birth.
int completedYears(double birth, double on);

// The age of a person from the date texts of birth and death: the years completed at
// the death, or today while there is no death date. The card, the grid and the
// table refill all take the age from here.
struct Age {
    enum class Kind {
        None,            // a date is missing or no date: no age
        Years,           // years holds the age
        BirthAfterDeath, // the birth lies after the death
        BirthInFuture,   // no death date and the birth lies after today
    };
    Kind kind = Kind::None;
    int years = 0;
};
Age ageOf(const std::string& birth, const std::string& death);

// The age a person's card or row shows: the age the dates give, else the age
// stored with the person, which dates kept as written ("明治10年頃") cannot give;
// "" when neither holds one.
std::string ageText(const Age& fromDates, int16_t stored);

} // namespace entry
