#pragma once
// Document settings: program-wide values that belong to the open family and travel
// in the family file. Reached through settings(). The run-time values of the windows
// and editors are apart from them, in model/run_state.h (defined in settings.cpp
// beside these, whose column defaults they share).
//
// Each value either gets its default for every new family (resetForNewFamily) or is
// "kept": it keeps the previous family's value until a family file names it, and is
// 0 at program start.

#include <array>
#include <cstdint>
#include <string>

namespace model {

constexpr int FactorCount = 21; // DispFactor and the run-time CsvFactor and CelWidth have entries 0..20
constexpr int32_t ColourWhite = 16777215;

struct Settings {
    std::string filetype = "KEZ";           // file type tag of the header
    std::string FileVer = "6.00";           // format version of the document
    std::string font = "ＭＳ Ｐゴシック";   // chart font name
    int16_t fontsize = 15;
    int16_t write_state = 0;                // 1 = vertical-writing metrics
    int16_t dispmode = 1;                   // 0 children per marriage, 1 children of all marriages together
    int16_t Dispmode_Death = 0;
    int16_t Dispmode_Manwoman = 0;
    int32_t Dispmode_Nengo = 1;             // 0 western, 1 era, 2 abbreviated era, 3 western
    int16_t Dispmode_Icon = 0;
    int16_t Dispmode_Fname = 0;
    int32_t Dispmode_BGcolor = ColourWhite; // &H00BBGGRR
    int16_t Dispmode_BGmap = 0;             // kept
    int16_t Dispmode_Tyokei = 0;            // direct-line view
    int16_t Dispmode_Flip = 0;              // kept
    int16_t Array_SortMode = 0;             // kept
    int16_t Sort_factor = 0;                // kept
    std::array<bool, FactorCount> DispFactor{}; // person-list columns shown; 0 and 15..20 kept
    int16_t Nenpyo_SortMode = 0;
    float Print_Scale = 0;                  // kept
    int16_t Print_TateYoko = 0;             // kept
    int16_t Print_Allmode = 0;              // kept
    int16_t Print_BGmap = 0;                // kept

    Settings();

    // Gives every non-kept value its new-family default; kept values stay.
    void resetForNewFamily();
};

// The one instance the whole program shares.
Settings& settings();

// The settings a new family starts from, as InitAllSetting leaves them: the kept values
// of settings(), every other value at its new-family default. settings() is unchanged.
Settings newFamilySettings();

// How the person table and the chronology show the family: the shown columns
// (DispFactor), the table's sort (Sort_factor, Array_SortMode) and the chronology's
// order (Nenpyo_SortMode). They travel with the family file but are no edit of it:
// choosing them marks nothing changed, so no undo takes them back.
void copyViewChoices(const Settings& from, Settings& to);

} // namespace model
