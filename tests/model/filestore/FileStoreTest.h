#pragma once
// Shared by the file store tests: a fixture with its own program folder, family files
// built in code, and a copy of everything a family file carries for comparisons.

#include "model/fixture/FamilyFixture.h"
#include "model/settings.h"
#include "model/tables.h"

#include <memory>
#include <string>
#include <vector>

namespace model::testing {

// Everything load_file may change: both tables, the settings and the two lists.
struct FamilyState {
    std::array<personal_data, RecordCount> per;
    std::array<marry_data, RecordCount> kou;
    Settings settings;
    std::vector<GrpNameRec> groups;
    int16_t groupCount = -1;
    std::vector<GrpTitleRec> titles;
    int16_t titleCount = -1;
};

std::unique_ptr<FamilyState> captureFamily();
// Compares field by field and names the first differences.
void expectSameFamily(const FamilyState& expected, const FamilyState& actual);

// UTF-8 lines joined with CR LF and encoded as cp932, as a family file holds them.
std::string familyFileBytes(const std::vector<std::string>& lines);
// The lines of a cp932 file (CR LF or a lone CR ends a line), decoded to UTF-8.
std::vector<std::string> fileLines(const std::string& path);

class FileStoreTest : public FamilyFixture {
protected:
    // A path inside the test's program folder.
    std::string pathOf(const std::string& name) const;
    // Writes the lines, followed by the end marker "[end_of_data]", as a family file
    // and loads it.
    bool loadLines(const std::vector<std::string>& lines, const std::string& name = "in.kez");
    // Saves to a path in the program folder; the test fails when save_file refuses.
    void saveTo(const std::string& path);
};

} // namespace model::testing
