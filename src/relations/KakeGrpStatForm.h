#pragma once
// The lineage-group window `KakeGrpStat` ("家系グループ設定"): edits GrpTitleList,
// the titles given to family trees. Each row names the tree that holds its leader;
// the row order is the left-to-right order of the trees in the all-groups view,
// Visible says whether the tree is drawn there and Offset shifts it by
// generations. Every edit (a button, the offset box, a check mark changed by hand,
// which is written into its row at once) takes the undo snapshot and marks the
// family changed. The chart takes the changes only when the window is closed with
// "決定".
//
// It is modeless so that a leader can be dragged onto it from the relationship
// editor's person lists while both are open. There is one instance,
// kakegrpstat_form().

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/TextBox.h"
#include "relations/GroupCheckList.h"

#include <cstdint>
#include <string>

namespace relations {

inline constexpr const char* KakeGrpStatCaption = "家系グループ設定";
inline constexpr const char* KakeGrpErrorTitle = "家系グループ設定エラー";
inline constexpr const char* LeaderDropCaption = "ここにドラッグして下さい";
inline constexpr const char* MissingTitleMessage = "タイトルを設定して下さい";
inline constexpr const char* MissingLeaderMessage = "タイトルに割り付ける人物を設定して下さい";
inline constexpr const char* OffsetRangeMessage = "上下調整は-10～10世代です";
inline constexpr const char* DeleteTitleTitle = "タイトルの削除";
inline constexpr const char* OffsetSetTitle = "家系グループ上下調整設定";
// Generations a tree may be shifted by, either way.
constexpr double MaxGroupOffset = 10.0;

} // namespace relations

class KakeGrpStatForm : public forms::Form {
public:
    KakeGrpStatForm();

    // --- Public operations ---

    // Refills the check list from GrpTitleList.
    void SetGrpList();
    // Rewrites line i from row i.
    void Mod_GrpList(int index);

    // The leader label's drop: a person dragged from the relationship editor's
    // person lists (dragPerson, -1 for a placeholder entry) with the entry's text.
    // True when the person became the chosen leader (the drag protocol then marks
    // the drop accepted); otherwise a beep and nothing changes.
    [[nodiscard]] bool lblLeader_OLEDragDrop(int dragPerson, const std::string& text);
    // The person was freed: a leader field naming him asks for a drag again.
    void forgetPerson(int person);
    // The family was replaced (New, a load, a restore): the list shows its groups
    // afresh and the fields are empty, as when the window opens, so that nothing
    // shown names a group or a leader of the family before.
    void showCurrentFamily();

    // --- Event handlers ---

    void Form_Load() override;
    void GrpList_Click();
    void GrpList_ItemCheck(int Item);
    void cmdNew_Click();
    void cmdAddTitle_Click();
    void cmdDelTitle_Click();
    void RankUp_Click();
    void RankDn_Click();
    void AllChk_Click();
    void AllChkOff_Click();
    void txtOffset_KeyPress(int16_t& KeyAscii);
    void txtOffset_GotFocus();
    void txtTitle_GotFocus();
    void CmdExit_Click();

    // --- Form variable ---

    // True only while Mod_GrpList rewrites a line: its check change is not the user's.
    bool InModList = false;

    // --- Controls ---

    forms::Label Label1{*this, "Label1"};
    forms::TextBox txtTitle{*this, "txtTitle"};
    forms::Label Label2{*this, "Label2"};
    // Caption the leader's name, Tag the leader's person slot ("0" none).
    forms::Label lblLeader{*this, "lblLeader"};
    forms::Label Label3{*this, "Label3"};
    forms::TextBox txtOffset{*this, "txtOffset"};
    forms::Label Label4{*this, "Label4"};
    forms::ListBox GrpList{*this, "GrpList"};
    forms::CommandButton cmdNew{*this, "cmdNew"};
    forms::CommandButton cmdAddTitle{*this, "cmdAddTitle"};
    forms::CommandButton cmdDelTitle{*this, "cmdDelTitle"};
    forms::CommandButton RankUp{*this, "RankUp"};
    forms::CommandButton RankDn{*this, "RankDn"};
    forms::CommandButton AllChk{*this, "AllChk"};
    forms::CommandButton AllChkOff{*this, "AllChkOff"};
    forms::CommandButton CmdExit{*this, "CmdExit"};

protected:
    void design() override;

private:
    void applyOffset(int row);
    void clearLeader();

    relations::GroupCheckList<model::GrpTitleRec> m_groups;
};

// The one lineage-group window (the window named `KakeGrpStat`).
KakeGrpStatForm& kakegrpstat_form();
