#pragma once
// The group window `GrpStat` ("グループの設定"): the group list GrpNameList as a
// check list in row order. The user checks or unchecks a group (Visible) and moves
// a group up or down. It writes nothing but the Visible flags and the row order,
// which travel with the family file: each edit takes the undo snapshot and marks
// the family changed. It does not rebuild the chart.
//
// No command of the program opens it; grpstat_form() is its one instance.

#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "relations/GroupCheckList.h"

namespace relations {

inline constexpr const char* GrpStatCaption = "グループの設定";
inline constexpr const char* GrpStatHeading = "家系図に表示するグループと、その順番を指定します。";

} // namespace relations

class GrpStatForm : public forms::Form {
public:
    GrpStatForm();

    // --- Public operations ---

    // Refills the check list from GrpNameList.
    void SetGrpList();
    // Rewrites line i from row i.
    void Mod_GrpList(int index);

    // --- Event handlers ---

    void Form_Load() override;
    void GrpList_ItemCheck(int Item);
    void RankUp_Click();
    void RankDn_Click();
    void AllChk_Click();
    void AllChkOff_Click();
    void CmdExit_Click();

    // --- Form variable ---

    // True only while Mod_GrpList rewrites a line: its check change is not the user's.
    bool InModList = false;

    // --- Controls ---

    forms::Label lblCaption1{*this, "lblCaption1"};
    forms::ListBox GrpList{*this, "GrpList"};
    forms::CommandButton RankUp{*this, "RankUp"};
    forms::CommandButton RankDn{*this, "RankDn"};
    forms::CommandButton AllChk{*this, "AllChk"};
    forms::CommandButton AllChkOff{*this, "AllChkOff"};
    forms::CommandButton CmdExit{*this, "CmdExit"};

protected:
    void design() override;

private:
    relations::GroupCheckList<model::GrpNameRec> m_groups{GrpList, InModList, &model::Tables::GrpNameList,
                                                          &model::Tables::GrpNameCount, &model::GrpNameRec::GrpName};
};

// The one group window (the window named `GrpStat`).
GrpStatForm& grpstat_form();
