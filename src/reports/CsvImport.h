#pragma once
// CSV import: one new person per CSV record. The import shows the read-settings
// window FrmCsvInStat (reader settings and a preview of the first record), takes
// the first record as the column titles, maps the columns to person fields (the
// mapping of the last import from "CsvIPSet.txt", or the mapping window csvinset),
// and then stores every further record in the next free person slot.
//
// The main window's File menu command asks for the file and calls
//
//     reports::CsvImport(path, beforeStoring);
//
// where beforeStoring empties the family when the user chose to replace it and
// closes the windows that show persons: the family goes only for a file that could
// be read as CSV.
//
// The import reports everything by message boxes; it takes no undo snapshot and
// does not rebuild the chart. The file is checked before anything else reads it: a
// file too large or holding bytes that are not cp932 is refused with a message and
// the family stays as it was. A record is stored only once every field of it was
// taken, so a refused record leaves its slot free and untouched; persons stored
// before it stay, and the family then counts as changed.

#include "model/tables.h"

#include <functional>
#include <string>

namespace reports {

// What the import asks of the windows above it once persons were added: rebuild
// the relationship editor's person list (Build_List) and, when a window named
// "EasyCtl" is loaded, the easy relation builder's list (Easy_Build_List). The
// main window installs its implementation; the default does nothing.
class CsvImportRequests {
public:
    virtual ~CsvImportRequests() = default;
    virtual void rebuildPersonLists() {}
};
// Installs the requests (not owned); nullptr restores the default.
void setCsvImportRequests(CsvImportRequests* requests);
CsvImportRequests& csvImportRequests();

// Target fields of the import, numbered as the export columns (1 名字 .. 19 戒名).
constexpr int CsvTargetFieldCount = 19;

// Stores one column's text into the person's field named by setIdx (1..19; other
// values store nothing). Sex is 1 for a trimmed "女", else 0; Age must be a whole
// number (RuntimeError 13 or 6 otherwise); Biko is appended with CR dropped and each
// LF written as two LF characters (the stored form of a line break); every other
// field takes the text as read. A group name is not added to the group list here.
void storeCsvField(model::personal_data& person, int setIdx, const std::string& text);

// The whole import of the CSV file at path. beforeStoring (when given) runs once
// the file has passed the content check, its title record has been read and at least
// one column is mapped, right before the first person is stored; a file that is
// refused or an import the user stops before that point never runs it.
void CsvImport(const std::string& path, const std::function<void()>& beforeStoring = {});

// The import without its windows, from the content check on: reads the title
// record, calls chooseMapping to fill the SetIdx of csvin_tbl rows 1..CsvInCount
// (CsvImport takes the last mapping or shows the mapping window there), writes
// "CsvIPSet.txt", runs beforeStoring (as CsvImport) and stores the data records.
// Returns the number of persons stored.
int importCsvFile(const std::string& path, const std::function<void()>& chooseMapping,
                  const std::function<void()>& beforeStoring = {});

// The mapping of the last import from "CsvIPSet.txt", when the file exists and the
// user takes it. A file for another column count, or one that does not hold that
// many whole numbers -1..19, is not used (with a message). True when taken.
bool takeLastMapping();

} // namespace reports
