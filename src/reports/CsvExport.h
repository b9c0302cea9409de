#pragma once
// CSV export: one line per person of per_buf, with the columns of CsvOutCol() and
// the five export options of csvSettings() as the options window CsvSet left them.
// The file is cp932 with CR LF and has no header line. The export only reads the
// family; it changes nothing and sets no modified flag.
//
// The main window's File menu command shows the options window modally, asks for
// the output file and then calls CsvExport:
//
//     csvset_form().show(forms::ShowMode::Modal);
//     // save dialog: title "CSV 出力", filter "CSV files( *.csv )|*.csv"
//     reports::CsvExport(path);

#include "model/tables.h"

#include <string>

namespace reports {

// The value enclosed in double quotes when quote is not 0, else unchanged. A quote
// inside the value is not doubled.
std::string AddDq(const std::string& value, int quote);

// The escaping of the two address columns and the remarks: a line break (CR LF, or
// the LF LF pair the person editor stores) becomes "\n" when CsvOpt_CrLfEsc is 1,
// else CR LF; a lone CR or LF before another character is dropped; a backslash is
// doubled when CsvOpt_CrLfEsc is 1; a comma becomes "\," when CsvOpt_Quote is 0; a
// double quote becomes backslash + quote when CsvOpt_Quote is not 0.
std::string EncodeCsvString(const std::string& text);

// The date text exactly as stored (in the current date display form). western
// (CsvOpt_Seireki) is accepted and changes nothing.
std::string CsvDateConv(const std::string& date, int western);

// True when the person is written: in use, and marked when CsvOpt_OutFlag is on.
bool isCsvExported(const model::personal_data& person);

// The line of one person without its CR LF, from the current columns and options.
std::string csvPersonLine(const model::personal_data& person);

// Writes every exported person to path, replacing the file. The whole file is
// built and checked first and then written in one step, so a failure leaves any
// earlier file at path as it was. Failures are shown by the export itself:
// "CSVファイルが書き込めません", followed for text cp932 cannot hold by the person
// and the character. Returns false after a failure.
bool CsvExport(const std::string& path);

} // namespace reports
