#pragma once
// CSV export: one line per person of per_buf, with the columns of CsvOutCol() and
// the five export options of csvSettings() as the options window CsvSet left them.
// The file is cp932 with CR LF and begins with a title line naming the written
// columns (the import takes its first record as the titles). The export only
// reads the family; it changes nothing and sets no modified flag.
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

// A column's text as written to the file: unchanged, except when quote is not 0 or
// the text holds a comma, a double quote, CR or LF; then it is enclosed in double
// quotes with every double quote inside doubled, so no value can shift the columns.
std::string AddDq(const std::string& value, int quote);

// The line breaks of the two address columns and the remarks: a line break (CR LF,
// or the LF LF pair the person editor stores) becomes "\n" when CsvOpt_CrLfEsc is 1,
// else CR LF; a lone CR or LF before another character is dropped; a backslash is
// doubled when CsvOpt_CrLfEsc is 1.
std::string EncodeCsvString(const std::string& text);

// The date as written: with western (CsvOpt_Seireki) not 0, a stored date goes out
// as the western year, month or day it lies wholly inside, with its precision
// ("1930/03/04", "1950/03", "1950"; "平成元年" -> "1989"); what is no date, and every
// date with western 0, as stored.
std::string CsvDateConv(const std::string& date, int western);

// The title line without its CR LF: the captions of the written columns in the
// order of the data, the one-name column's title built like its value.
std::string csvTitleLine();

// True when the person is written: in use, and marked when CsvOpt_OutFlag is on.
bool isCsvExported(const model::personal_data& person);

// The line of one person without its CR LF, from the current columns and options.
std::string csvPersonLine(const model::personal_data& person);

// Writes the title line and every exported person to path, replacing the file. The whole file is
// built and checked first and then written in one step, so a failure leaves any
// earlier file at path as it was. Failures are shown by the export itself:
// "CSVファイルが書き込めません", followed for text cp932 cannot hold by the person
// and the character, and for a file that cannot be written by its name and why
// (platform::failedFileMessage). Returns false after a failure.
bool CsvExport(const std::string& path);

} // namespace reports
