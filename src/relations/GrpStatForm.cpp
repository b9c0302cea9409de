#include "relations/GrpStatForm.h"

#include "model/tables.h"

#include <utility>

namespace {

using model::tables;

// Rows are valid 0..GrpNameCount; the vector may be longer only in a damaged state.
bool isRow(int index)
{
    const model::Tables& t = tables();
    return index >= 0 && index <= t.GrpNameCount && static_cast<size_t>(index) < t.GrpNameList.size();
}

} // namespace

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
    GrpList.clear();
    for (int i = 0; isRow(i); ++i) {
        const model::GrpNameRec& row = tables().GrpNameList[static_cast<size_t>(i)];
        GrpList.addItem(row.GrpName);
        GrpList.setSelected(GrpList.listCount() - 1, row.Visible != 0);
    }
}

void GrpStatForm::Mod_GrpList(int index)
{
    if (!isRow(index) || index >= GrpList.listCount())
        return;
    const model::GrpNameRec& row = tables().GrpNameList[static_cast<size_t>(index)];
    InModList = true;
    GrpList.setList(index, row.GrpName);
    GrpList.setSelected(index, row.Visible != 0);
    InModList = false;
}

void GrpStatForm::GrpList_ItemCheck(int Item)
{
    if (InModList || !isRow(Item))
        return;
    tables().GrpNameList[static_cast<size_t>(Item)].Visible = GrpList.selected(Item) ? -1 : 0;
}

void GrpStatForm::swapRows(int first, int selected)
{
    std::vector<model::GrpNameRec>& rows = tables().GrpNameList;
    std::swap(rows[static_cast<size_t>(first)], rows[static_cast<size_t>(first + 1)]);
    Mod_GrpList(first);
    Mod_GrpList(first + 1);
    GrpList.setListIndex(selected);
}

void GrpStatForm::RankDn_Click()
{
    const int i = GrpList.listIndex();
    if (i >= 0 && i <= GrpList.listCount() - 2 && isRow(i + 1))
        swapRows(i, i + 1);
}

void GrpStatForm::RankUp_Click()
{
    const int i = GrpList.listIndex();
    if (i >= 1 && i < GrpList.listCount() && isRow(i))
        swapRows(i - 1, i - 1);
}

void GrpStatForm::setAllVisible(bool visible)
{
    const int selected = GrpList.listIndex();
    for (int i = 0; isRow(i); ++i)
        tables().GrpNameList[static_cast<size_t>(i)].Visible = visible ? -1 : 0;
    SetGrpList();
    if (selected < GrpList.listCount())
        GrpList.setListIndex(selected);
}

void GrpStatForm::AllChk_Click()
{
    setAllVisible(true);
}

void GrpStatForm::AllChkOff_Click()
{
    setAllVisible(false);
}

void GrpStatForm::CmdExit_Click()
{
    unload();
}
