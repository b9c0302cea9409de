#pragma once
// The date value of a typed or stored date text, shared by the panel's checks
// and the grid's: the text is checked and normalised into the current display
// form (Conv_InputDate), completed to a full date (Fill_DatePart) and converted
// (DateKey_ToDate). A year-only or year-month date counts from its first day.

#include <optional>
#include <string>

namespace entry {

// Nothing when any of the three steps refuses the text.
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

} // namespace entry
