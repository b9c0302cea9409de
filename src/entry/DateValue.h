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

} // namespace entry
