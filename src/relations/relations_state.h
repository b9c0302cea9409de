#pragma once
// The program-wide values of the relationship editing windows: the placeholder
// templates of the person lists, the state words of the marriage state list, and
// the texts the editor shows. The marriage table belongs to the family and lives in
// model::tables(), the editor cursors (KouNum, Sel_KouMark, ...) in
// model::runState(); the editor's one-step undo is model::kouUndo()
// (model/UndoRecords.h).

#include <array>
#include <cstdint>
#include <string>

namespace relations {

// One row of the marriage state list: the state word and its kou_mode.
struct StateWord {
    const char* word;
    int16_t kou_mode;
};

// The state list of the editor, in item order. kou_mode 0 is a main marriage,
// 1 another relation ("結婚履歴" on the chart).
inline constexpr std::array<StateWord, 12> StateWords{{
    {"通常", 0},
    {"死別", 1},
    {"離婚", 1},
    {"愛人", 1},
    {"正室", 0},
    {"側室", 1},
    {"本妻", 0},
    {"妾", 1},
    {"第一王妃", 0},
    {"第Ｎ王妃", 1},
    {"別居", 1},
    {"その他特別", 1},
}};
// The item a state word that is not in the list (a category's "カテゴリ", an
// empty state) loads as.
constexpr int OtherStateItem = 11;

// Texts of the editor.
inline constexpr const char* CtrlCaption = "関係設定画面";
inline constexpr const char* BlankPartnerText = "空白";
inline constexpr const char* UnspecifiedPartnerText = "「無指定」";
inline constexpr const char* NewRecordCaption = "編集対象：新規";
inline constexpr const char* MarriageMissingMessage = "この結婚関係は存在していません";
inline constexpr const char* ParentsNotFoundMessage = "この人の親情報を見つける事が出来ません";
inline constexpr const char* StartMark = "●";

// Background colours of the edit-target caption (&H00BBGGRR).
constexpr long NewRecordColour = 0xFFFFFF;         // white
constexpr long EditedRecordColour = 0x8080FF;      // red 255, green 128, blue 128
// Backgrounds of the partner labels.
constexpr long HusbandLabelColour = 0xFFFFC0;      // red 192, green 255, blue 255
constexpr long WifeLabelColour = 0xC0C0FF;         // red 255, green 192, blue 192

// Run-time values shared by the editor's parts.
struct RelationsState {
    // Placeholder templates of the men's and women's person lists; a placeholder
    // line is the template followed by its counter as two digits.
    std::string DummyManText = "**** 男";
    std::string DummyWomanText = "**** 女";
};

// The one instance.
RelationsState& relationsState();

// The placeholder line of a person list: template and the counter's last two digits.
std::string placeholderLine(const std::string& templateText, int counter);

// The placeholder line list 0 (men) or 1 (women) shows now: its template with the
// list's counter.
std::string currentPlaceholderLine(int list);

} // namespace relations
