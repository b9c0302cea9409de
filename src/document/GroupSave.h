#pragma once
// The save of the family group (tree) shown on the selected tab of the main window as
// a family file of its own, and the person texts of lists.

#include "model/tables.h"

#include <array>
#include <cstdint>
#include <string>

namespace model {

inline constexpr const char* GroupSaveTitle = "家系グループ別保存";
inline constexpr const char* GroupSaveNewTabMessage = "新規追加タブでは家系グループ別保存は出来ません";
inline constexpr const char* GroupSaveAllTabMessage =
    "全グループ表示タブでは家系グループ別保存は出来ません。\r\n通常の保存を御利用下さい";
inline constexpr const char* GroupSaveOwnFileMessage =
    "編集中の家系図のファイルには家系グループ別保存は出来ません。\r\n別のファイル名を指定して下さい";
inline constexpr const char* GroupSaveEmptyMessage = "出力すべき個人情報、または結婚情報がありません";
// The chart leaves out further marriages for want of person slots: a group saved from
// it would lose them. Followed by how many persons fewer would show them all.
inline constexpr const char* GroupSaveHiddenMarriagesMessage =
    "系図に表示していない結婚があるため、家系グループ別保存は出来ません";

// The reduced person table of one group save and the map from a person's number in the
// open family to its number there (-1 = not taken).
using LocalPersons = std::array<personal_data, RecordCount>;
using PersonMap = std::array<int16_t, RecordCount>;

// Text of a person for lists: "指定無し" for -1, "空白" for the blank partner 1024,
// else family name, a blank and given name (of the person a temporary copy of the
// multiple-marriage expansion stands for). "" for a number outside the table.
std::string Get_PersonText(int person);

// Text "<number>-<family name><given name>" of a person, with person replaced by the one
// a temporary copy stands for ("指定無し" for -1, "空白" for 1024, nothing taken then).
// A person the map does not hold yet is copied into persons at count + 1, and count
// and the map are raised.
std::string Get_PersonListText(LocalPersons& persons, PersonMap& map, int16_t& person, int16_t& count);

// File > "表示している家系グループを保存": tree is the selected tab counted from 0 (tab
// tree_cnt is the new-entry tab, tree_cnt + 1 the all-groups tab, which are refused with
// a message titled "家系グループ別保存"). The persons and marriages standing in that tree
// of the laid-out chart, with the children of its marriages and the partners of every
// marriage taken, are renumbered in order of first appearance and written through
// save_file to the family file File > Save As's dialog gives (asking, as Save As does,
// before an existing file is replaced), and "保存が終了しました" is shown once written.
// A file that is the open family's own file (Cur_FilePath, however spelt) is refused
// with a message titled "家系グループ別保存": the group save never replaces the family
// being edited.
// The file carries the family-group list and the document settings, but no lineage
// groups. The open family, its path and its changed flag stay as they were.
void Save_GrpFile(int tree);

} // namespace model
