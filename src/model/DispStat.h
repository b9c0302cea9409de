#pragma once
// The per-person display block: which display items a person's box shows and how.
// A DispStat is a plain value, copied whole between the default block, a person's
// record, the display-options window's working copy and the renderer's last block.

#include <array>
#include <cstdint>

namespace model {

// Display items, in the order of the display-options window.
constexpr int DispItemCount = 11;
namespace DispItem {
constexpr int Name = 0;        // "名前": Name, with F_name in front when DS_FName = 1
constexpr int OldName = 1;     // "旧姓"
constexpr int Birth = 2;       // "生年月日"
constexpr int Death = 3;       // "死亡年月日"
constexpr int Address = 4;     // "住所": YubinNo, Addr1, Addr2
constexpr int Tel = 5;         // "電話番号"
constexpr int Mobile = 6;      // "携帯番号"
constexpr int Email = 7;       // "E_mail"
constexpr int Remarks = 8;     // "備考"
constexpr int Relation = 9;    // "続柄"
constexpr int Posthumous = 10; // "戒名"
} // namespace DispItem

// Fields in their stored order. Arrays are indexed by display item 0..10.
struct DispStat {
    std::array<int16_t, DispItemCount> DSW{};      // -1 shown, 0 hidden
    std::array<int16_t, DispItemCount> DRank{};    // position in the box, ascending; ties keep item order
    std::array<int16_t, DispItemCount> DBai{};     // largest font size in points
    std::array<int16_t, DispItemCount> DWLocate{}; // alignment code 0..2 (meaning depends on DS_Houko)
    std::array<int16_t, DispItemCount> DHLocate{}; // alignment code 0..2
    std::array<double, DispItemCount> DStart{};    // kept and saved only
    std::array<double, DispItemCount> DWidth{};    // share of the box in percent across the writing direction
    int16_t DS_FName = 0;    // 1 = item 0 shows family name, blank, given name
    int16_t DS_Houko = 0;    // 0 horizontal writing, other values vertical
    int16_t DS_Nen = 0;      // date format of items 2 and 3, 0..5
    int16_t DS_Waku = 0;     // non-zero = draw the box frame
    int16_t DS_DeathW = 0;   // non-zero = thick death frame (only while Dispmode_Death is set)
    int16_t DS_Visible = 0;  // "この人を表示しない" check box value; kept and saved only
    int16_t DS_PicHouko = 0; // picture position 0..4; kept and saved only
    int16_t DS_WakuPat = 0;  // frame line style 0..4; other values draw solid
};

bool operator==(const DispStat& a, const DispStat& b);
inline bool operator!=(const DispStat& a, const DispStat& b) { return !(a == b); }

// The defaults a new, cleared or loaded person starts from: the relationship label
// and the name shown, horizontal writing, a solid frame.
DispStat defaultDispStat();

// Fills tables().DefDispStat with defaultDispStat(). Runs as one of the first steps
// of every new-document initialisation, before the person table is cleared.
void Init_DefDispStat();

// Every person in use takes the document's writing direction; one with a death date
// also takes the document's death-frame mode. Every load applies it, and so does every
// chart build, print and export before it lays out the family.
void Apply_DispModes();

} // namespace model
