#pragma once
// Shared by the document tests: a fixture with its own program folder (with the era
// table), an empty chart, media files in the work folders, the layout steps of a chart
// rebuild, and whole-family captures for sentinel comparisons.

#include "model/fixture/FamilyFixture.h"
#include "model/settings.h"
#include "model/tables.h"

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace model::testing {

// Everything an operation on the open family may change: the tables with their lists
// and run-time values, the settings, and the files of both media work folders
// (name -> bytes).
struct FamilyCapture {
    std::unique_ptr<Tables> tables;
    Settings settings;
    std::map<std::string, std::string> voice;
    std::map<std::string, std::string> face;
};

FamilyCapture captureFamily();

// Exact comparison: every record of both tables, both lists, every setting and every
// media file. Names the first differences.
void expectUnchanged(const FamilyCapture& before);
void expectSameSettings(const Settings& expected, const Settings& actual);

// What a save and a load keep: the used slots with the fields the family file carries
// (marriages and children stay in their slots when the family has no gaps), the saved
// settings, both lists.
void expectSameSavedFamily(const FamilyCapture& expected);

// The files of a folder, name -> bytes.
std::map<std::string, std::string> folderFiles(const std::string& folder);

class DocumentTest : public FamilyFixture {
protected:
    DocumentTest();
    ~DocumentTest() override;

    // A media file in the voice (kind 0) or face work folder.
    void writeMedia(int16_t kind, const std::string& name, const std::string& bytes);
    std::string mediaPath(int16_t kind, const std::string& name) const;
    // Gives the person a voice memo or a face picture held in a work folder.
    void giveVoice(int person, const std::string& name, const std::string& bytes);
    void givePicture(int person, const std::string& name, const std::string& bytes);

    // The layout steps of a chart rebuild: the pre-draw transforms, the generation
    // numbering from the start marriage (row 51), the placement of every family, and
    // the tables restored. The grid then describes the family as the chart shows it.
    static void layOutChart();
    // The trees of the laid-out chart with a cell showing the person itself.
    static std::set<int> treesOf(int person);
};

} // namespace model::testing
