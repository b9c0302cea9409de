#include "relations/KakeGrpStatForm.h"


#include "drawing/ChartRebuild.h"
#include "forms/DragDrop.h"
#include "forms/Keys.h"
#include "mainwindow/DropState.h"
#include "model/GroupLists.h"
#include "model/SavableText.h"
#include "model/WindowServices.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

namespace {

using model::isUsedPerson;
using model::tables;

// Message boxes of this window: OK and Cancel with the exclamation or information icon.
constexpr int ErrorStyle = platform::vbOKCancel + platform::vbExclamation;   // 49
constexpr int NoticeStyle = platform::vbOKCancel + platform::vbInformation;  // 65

void changedFamily()
{
    tables().Data_Changed = 1;
}

} // namespace

KakeGrpStatForm::KakeGrpStatForm()
    : Form("KakeGrpStat"),
      m_groups(GrpList, InModList, &model::Tables::GrpTitleList, &model::Tables::GrpTitleCount,
               &model::GrpTitleRec::TitleName)
{
    GrpList.onClick = [this] { GrpList_Click(); };
    GrpList.onItemCheck = [this](int item) { GrpList_ItemCheck(item); };
    cmdNew.onClick = [this] { cmdNew_Click(); };
    cmdAddTitle.onClick = [this] { cmdAddTitle_Click(); };
    cmdDelTitle.onClick = [this] { cmdDelTitle_Click(); };
    RankUp.onClick = [this] { RankUp_Click(); };
    RankDn.onClick = [this] { RankDn_Click(); };
    AllChk.onClick = [this] { AllChk_Click(); };
    AllChkOff.onClick = [this] { AllChkOff_Click(); };
    txtOffset.onKeyPress = [this](int16_t& keyAscii) { txtOffset_KeyPress(keyAscii); };
    txtOffset.onGotFocus = [this] { txtOffset_GotFocus(); };
    txtTitle.onGotFocus = [this] { txtTitle_GotFocus(); };
    CmdExit.onClick = [this] { CmdExit_Click(); };
}

KakeGrpStatForm& kakegrpstat_form()
{
    static KakeGrpStatForm instance;
    return instance;
}

// ---------------------------------------------------------------- design and load

void KakeGrpStatForm::design()
{
    setCaption(relations::KakeGrpStatCaption);
    setFontName("ＭＳ Ｐゴシック");
    setFontSize(9);
    move(0, 0, 6600, 5400);

    Label1.move(120, 120, 2400, 255);
    Label1.setCaption("設定するタイトル");
    Label1.setToolTipText("家系グループのタイトルを指定します");
    txtTitle.move(120, 420, 3000, 315);
    Label2.move(120, 840, 3000, 255);
    Label2.setCaption("タイトルに割り付ける人物");
    Label2.setToolTipText("この人がいる家系グループにタイトルを割付ます");
    lblLeader.move(120, 1140, 3000, 375);
    lblLeader.setBorderStyle(1);
    lblLeader.setCaption(relations::LeaderDropCaption);
    Label3.move(120, 1680, 2000, 255);
    Label3.setCaption("全体表示の上下調整");
    Label3.setToolTipText("家系グループの表示世代を調整します。注意：人物の追加、表示スタートの変更によって、"
                          "再調整が必要になる場合もあります");
    txtOffset.move(2160, 1650, 720, 315);
    Label4.move(2940, 1680, 480, 255);
    Label4.setCaption("世代");
    GrpList.move(120, 2100, 3000, 2700);
    GrpList.setStyle(forms::vbListBoxCheckbox);
    GrpList.setToolTipText("家系グループの表示順番を変更します。上から順番に、家系図上の左から表示します");

    struct ButtonDesign {
        forms::CommandButton* button;
        const char* caption;
        const char* tip;
    };
    const ButtonDesign buttons[] = {
        {&cmdNew, "新規タイトル入力", "入力項目をクリアします"},
        {&cmdAddTitle, "タイトル追加", "指定した人がいる家系グループにタイトルを割付ます"},
        {&cmdDelTitle, "タイトル削除", "指定したタイトルを削除します"},
        {&RankUp, "↑ひとつ上へ", ""},
        {&RankDn, "↓ひとつ下へ", ""},
        {&AllChk, "全て表示", "全グループ表示の時、割付けた全ての家系グループを表示します"},
        {&AllChkOff, "全て非表示", "全グループ表示の時、割付けた全ての家系グループを非表示にします"},
        {&CmdExit, "決定", "家系グループ設定を終了します"},
    };
    double top = 120;
    for (const ButtonDesign& design : buttons) {
        design.button->move(3480, top, 2880, 420);
        design.button->setCaption(design.caption);
        design.button->setToolTipText(design.tip);
        top += 540;
    }
}

void KakeGrpStatForm::showCurrentFamily()
{
    SetGrpList();
    cmdNew_Click();
}

void KakeGrpStatForm::Form_Load()
{
    InModList = false;
    // A person dragged from the relationship editor's person lists onto the leader
    // field becomes the leader; the drag's source learns that the drop was taken.
    lblLeader.setTag("0");
    lblLeader.setOleDropMode(1);
    lblLeader.onOLEDragDrop = [this](forms::DataObject& data, int& effect, int button, int shift, double x,
                                     double y) {
        (void)effect;
        (void)button;
        (void)shift;
        (void)x;
        (void)y;
        mainwindow::DropState& st = mainwindow::dropState();
        if (lblLeader_OLEDragDrop(st.Drag_Person, data.getData(forms::vbCFText)))
            st.Drop_Done = -1;
    };
    showCurrentFamily();
}

// ---------------------------------------------------------------- the list

void KakeGrpStatForm::SetGrpList()
{
    m_groups.fill();
}

void KakeGrpStatForm::Mod_GrpList(int index)
{
    m_groups.rewrite(index);
}

void KakeGrpStatForm::GrpList_ItemCheck(int Item)
{
    m_groups.checkChanged(Item);
}

void KakeGrpStatForm::GrpList_Click()
{
    const int i = GrpList.listIndex();
    if (i == -1 || !m_groups.isRow(i))
        return;
    const model::GrpTitleRec& chosen = m_groups.row(i);
    txtTitle.setText(chosen.TitleName);
    // A leader number a damaged file brought along, or a person deleted since,
    // names nobody: the field asks for a leader again.
    if (isUsedPerson(chosen.Leader)) {
        const model::personal_data& leader = tables().per_buf[static_cast<size_t>(chosen.Leader)];
        lblLeader.setCaption(leader.F_name + " " + leader.Name);
        lblLeader.setTag(std::to_string(chosen.Leader));
    } else {
        clearLeader();
    }
    txtOffset.setText(platform::CStrDouble(chosen.Offset));
}

bool KakeGrpStatForm::lblLeader_OLEDragDrop(int dragPerson, const std::string& text)
{
    // Only a person of the family can lead a group: a placeholder entry is no person yet.
    if (dragPerson == -1 || !isUsedPerson(dragPerson)) {
        platform::Beep();
        return false;
    }
    lblLeader.setCaption(text);
    lblLeader.setTag(std::to_string(dragPerson));
    return true;
}

// ---------------------------------------------------------------- commands

// A leader who left the family is no longer offered.
void KakeGrpStatForm::forgetPerson(int person)
{
    if (isLoaded() && lblLeader.tag() == std::to_string(person))
        clearLeader();
}

// No leader chosen: the field tells how to choose one.
void KakeGrpStatForm::clearLeader()
{
    lblLeader.setCaption(relations::LeaderDropCaption);
    lblLeader.setTag("0");
}

void KakeGrpStatForm::cmdNew_Click()
{
    txtTitle.setText("");
    clearLeader();
    txtOffset.setText("");
    GrpList.setListIndex(-1);
}

void KakeGrpStatForm::cmdAddTitle_Click()
{
    const std::string title = platform::Trim(txtTitle.text());
    if (title.empty()) {
        platform::MsgBox(relations::MissingTitleMessage, ErrorStyle, relations::KakeGrpErrorTitle);
        return;
    }
    // Only a person of the family leads a group: a slot freed since the drop is nobody.
    const double leader = platform::Val(lblLeader.tag());
    if (lblLeader.tag() == "0" || !model::isPersonSlot(leader) || !isUsedPerson(static_cast<int>(leader))) {
        platform::MsgBox(relations::MissingLeaderMessage, ErrorStyle, relations::KakeGrpErrorTitle);
        return;
    }
    if (!model::acceptSavableText(title, relations::KakeGrpErrorTitle))
        return;

    model::windowServices().saveUndo();
    model::Add_GrpTitle();
    model::GrpTitleRec& added = m_groups.row(tables().GrpTitleCount);
    added.TitleName = title;
    added.Leader = static_cast<int16_t>(leader);
    SetGrpList();
    txtTitle.setText("");
    clearLeader();
    GrpList.setListIndex(-1);
    changedFamily();
}

void KakeGrpStatForm::cmdDelTitle_Click()
{
    const int i = GrpList.listIndex();
    if (i == -1 || !m_groups.isRow(i))
        return;
    const std::string question =
        "タイトル「" + m_groups.row(i).TitleName + "」の設定を削除します\r\nよろしいですか？";
    if (platform::MsgBox(question, NoticeStyle, relations::DeleteTitleTitle) != platform::vbOK)
        return;
    model::windowServices().saveUndo();
    (void)model::Del_GrpTitle(i);
    SetGrpList();
    changedFamily();
}

void KakeGrpStatForm::RankDn_Click()
{
    m_groups.moveSelectedDown();
}

void KakeGrpStatForm::RankUp_Click()
{
    m_groups.moveSelectedUp();
}

void KakeGrpStatForm::AllChk_Click()
{
    m_groups.setAllVisible(true);
}

void KakeGrpStatForm::AllChkOff_Click()
{
    m_groups.setAllVisible(false);
}

void KakeGrpStatForm::txtOffset_KeyPress(int16_t& KeyAscii)
{
    if (KeyAscii != forms::vbKeyReturn)
        return;
    const int i = GrpList.listIndex();
    if (i == -1 || !m_groups.isRow(i))
        return;
    KeyAscii = 0;
    applyOffset(i);
}

void KakeGrpStatForm::applyOffset(int index)
{
    const std::string text = platform::Trim(txtOffset.text());
    // Text that is no number is refused like a number out of range, rather than
    // read as 0 and moving the tree.
    const bool numeric = platform::IsNumeric(text);
    const double offset = numeric ? platform::Val(text) : 0.0;
    if (!numeric || offset < -relations::MaxGroupOffset || offset > relations::MaxGroupOffset) {
        platform::MsgBox(relations::OffsetRangeMessage, ErrorStyle, relations::KakeGrpErrorTitle);
        txtOffset.setSelStart(0);
        txtOffset.setSelLength(platform::Len(txtOffset.text()));
        return;
    }
    model::windowServices().saveUndo();
    model::GrpTitleRec& row = m_groups.row(index);
    row.Offset = offset;
    platform::MsgBox(row.TitleName + "の上下調整を" + platform::CStrDouble(offset) + "世代に設定しました",
                     NoticeStyle, relations::OffsetSetTitle);
    changedFamily();
}

void KakeGrpStatForm::txtOffset_GotFocus()
{
    txtOffset.setIMEMode(forms::vbIMEOff);
}

void KakeGrpStatForm::txtTitle_GotFocus()
{
    txtTitle.setIMEMode(forms::vbIMEHiragana);
}

void KakeGrpStatForm::CmdExit_Click()
{
    drawing::Refresh_TabDisp();
    unload();
}
