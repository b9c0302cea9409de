#pragma once
// The CSV record reader: turns a text file into records of fields. A record is one
// line (ended by CR LF, CR or LF), or several lines while a quoted field stays
// open; the lines of a quoted value are joined with the line ends the file has
// there, and a doubled quote inside quotes is one quote character of the value.
// The reader knows nothing of persons; it fills the caller's array of fields. It
// reads the program's settings file as well as the CSV import.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

class TextInputFile;

// Program-wide reader settings and CSV export options. They start at the values
// InitCsvParser gives and last until the program ends; they are never saved.
struct CsvSettings {
    std::string CsvDelim = ",";    // field delimiter, used untrimmed; "" means ","
    std::string CsvQuote = "\"";   // quote character, used trimmed
    std::string CsvEscCode;        // escape character, used trimmed
    std::string CsvLineCode;       // text standing for a line break inside a value, used trimmed
    int16_t CsvOpt_OneName = 0;
    int16_t CsvOpt_CrLfEsc = 0;
    int16_t CsvOpt_Quote = 0;
    int16_t CsvOpt_Seireki = 0;
    int16_t CsvOpt_OutFlag = 0;
};

CsvSettings& csvSettings();

// Delimiter ",", quote '"', no escape, no line code, export options 0.
void InitCsvParser();

// Results of SplitCsvLine (and its state argument).
constexpr int CsvLineComplete = 0;
constexpr int CsvQuoteOpen = 2;

// Splits one line into fields from fields[index] on; index ends at the last field
// the line reached. state is CsvLineComplete for a line that begins a record,
// CsvQuoteOpen for one that continues a quoted field. Returns CsvQuoteOpen when a
// quote is still open at the end of the line (the field then ends in CR LF).
// A field past the end of the array raises RuntimeError 9; the array keeps the
// fields stored before it.
int SplitCsvLine(std::string line, std::vector<std::string>& fields, int& index, int state);

// Results of ReadCsvRecord.
constexpr int CsvNoRecord = -1;   // the file was at its end before the record
constexpr int CsvMoreRecords = 0; // a record was read and more follow
constexpr int CsvLastRecord = 3;  // a record was read and the file is at its end

// Reads the record starting at the 1-based byte position and moves position past
// it (start with 1, then hand back what the previous call left). Every element of
// fields is emptied first; lastIndex is the index of the record's last field, -1
// when no record was read. The caller sizes fields; a record with more fields
// raises RuntimeError 9. quoteLeftOpen, when given, tells whether the record ran
// to the end of the file inside an open quote (its last field then holds the rest
// of the file).
int ReadCsvRecord(platform::TextInputFile& file, int64_t& position,
                  std::vector<std::string>& fields, int& lastIndex, bool* quoteLeftOpen = nullptr);

} // namespace platform
