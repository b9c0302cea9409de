#pragma once
// The reports' names for the CSV record reader. The reader itself lives in the
// platform layer, below the family model, whose settings file it reads too.

#include "platform/CsvReader.h"

namespace reports {

using platform::CsvSettings;
using platform::csvSettings;
using platform::InitCsvParser;

using platform::CsvLineComplete;
using platform::CsvQuoteOpen;
using platform::SplitCsvLine;

using platform::CsvLastRecord;
using platform::CsvMoreRecords;
using platform::CsvNoRecord;
using platform::ReadCsvRecord;

} // namespace reports
