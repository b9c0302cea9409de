#include "relations/GrpStatForm.h"

#include <utility>

GrpStatForm::GrpStatForm() : Form("GrpStat")
{
    GrpList.onItemCheck = [this](int item) { GrpList_ItemCheck(item); };
    RankUp.onClick = [this] { RankUp_Click(); };
    RankDn.onClick = [this] { RankDn_Click(); };
    AllChk.onClick = [this] { AllChk_Click(); };
    AllChkOff.onClick = [this] { AllChkOff_Click(); };
    CmdExit.onClick = [this] { CmdExit_Click(); };
}

GrpStatForm& grpstat_form()
{
    static GrpStatForm instance;
    return instance;
}

void GrpStatForm::design()
{
    setCaption(relations::GrpStatCaption);
    setFontName("ＭＳ Ｐゴシック");
    setFontSize(9);
    move(0, 0, 4920, 4800);

    lblCaption1.move(120, 120, 4560, 480);
    lblCaption1.setCaption(relations::GrpStatHeading);
    GrpList.move(120, 660, 2880, 3480);
    GrpList.setStyle(forms::vbListBoxCheckbox);
    const std::pair<forms::CommandButton*, const char*> buttons[] = {
        {&RankUp, "↑ひとつ上へ"}, {&RankDn, "↓ひとつ下へ"}, {&AllChk, "全て表示"},
        {&AllChkOff, "全て非表示"}, {&CmdExit, "戻る"}};
    double top = 660;
    for (const auto& [button, caption] : buttons) {
        button->move(3120, top, 1560, 420);
        button->setCaption(caption);
        top += 540;
    }
}

void GrpStatForm::Form_Load()
{
    InModList = false;
    SetGrpList();
}

void GrpStatForm::SetGrpList()
{
    m_groups.fill();
}

void GrpStatForm::Mod_GrpList(int index)
{
    m_groups.rewrite(index);
}

void GrpStatForm::GrpList_ItemCheck(int Item)
{
    m_groups.checkChanged(Item);
}

void GrpStatForm::RankDn_Click()
{
    m_groups.moveSelectedDown();
}

void GrpStatForm::RankUp_Click()
{
    m_groups.moveSelectedUp();
}

void GrpStatForm::AllChk_Click()
{
    m_groups.setAllVisible(true);
}

void GrpStatForm::AllChkOff_Click()
{
    m_groups.setAllVisible(false);
}

void GrpStatForm::CmdExit_Click()
{
    unload();
}
