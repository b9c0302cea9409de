#pragma once
// The display-options window `DspOp` ("表示オプション"). It edits one person's
// display block (which items the person's box shows, in which order, size,
// alignment and share) with a live preview of the box, and applies the edited
// block to that person, to every person, or to every person with the category
// mark. It also sets two document-wide things, the chart's writing direction and
// the zoom, and switches the family name on or off for everybody.
//
// The window is not modal. The main window opens it for the selected person and
// the person editor for its current person, both through showForPerson():
//
//     dspop_form().showForPerson(model::runState().Sel_Person);   // -1 only beeps
//
// The edited block is a working copy, DspWork, tied to the person it was taken
// from. The person's record is not touched until an apply command, which writes
// only what was changed in the window (editedBlock): the preview lends that block
// to the record for the length of one rendering only, so
// Cancel and the close box leave every record as it was. Cancel and the close
// box also put the zoom and the chart direction back as they were when the
// window opened. An apply command takes the undo snapshot before it changes
// anything, marks the family changed and asks the main window to rebuild the chart.

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "forms/TextBox.h"
#include "model/DispStat.h"
#include "model/run_state.h"

#include <array>
#include <cstdint>
#include <string>

namespace drawing {

// What the display options ask of the main window. The drawing cannot see the
// main window, so each request is a virtual call here; the program's composition
// installs its implementation at start, tests install a recording one.
class DspOpRequests {
public:
    virtual ~DspOpRequests() = default;
    // The text of the main window's zoom box (Text1). Without a main window: the
    // current zoom percent as the zoom box shows it after Enter.
    virtual std::string zoomBoxText();
    // Puts text into the main window's zoom box. Without a main window: through the
    // chart elements' zoom box (layout::chartElements()).
    virtual void setZoomBoxText(const std::string& text);
    // The persons' display blocks changed: rebuild the chart of the selected tab
    // (the main window's Refresh_TabDisp). Without a main window: nothing.
    virtual void rebuildChart() {}
    // Before the display block of `person` (-1: of every person) changes: input the
    // person editor holds unregistered for him (for anybody, -1) is settled first.
    // False when the user stays with it: nothing is applied. Without a main window:
    // true.
    virtual bool settlePersonEditorFor(int person)
    {
        (void)person;
        return true;
    }
    // After the change: the person editor's card, when it shows the person (any
    // person, -1) without unregistered input, shows him as stored.
    virtual void showChangedPerson(int person) { (void)person; }
};

// Installs the requests (not owned); nullptr restores the defaults above.
void setDspOpRequests(DspOpRequests* requests);
DspOpRequests& dspOpRequests();

// The labels of the window's lists. Display items, index = display item:
extern const std::array<const char*, model::DispItemCount> DspItemNames;
// Date formats, index = DS_Nen.
extern const std::array<const char*, 6> DspNenNames;
// Picture positions, index = DS_PicHouko.
extern const std::array<const char*, 5> DspPicLocNames;

// The messages and the question of the window.
inline constexpr const char* DspOpCaption = "表示オプション";
inline constexpr const char* DBaiRangeMessage = "倍率は1～100%の範囲で指定して下さい";
inline constexpr const char* DBaiRangeTitle = "最大文字数のエラー";
inline constexpr const char* DWidthRangeMessage = "枠の幅は1～100%の範囲で指定して下さい";
inline constexpr const char* DWidthRangeTitle = "最大行数のエラー";
inline constexpr const char* AllFNameOnQuestion = "全員の名字を表示する設定にします。続行しますか？";
inline constexpr const char* AllFNameOffQuestion = "全員の名字を表示しない設定にします。続行しますか？";

// The zoom the window's zoom box accepts, in percent.
inline constexpr double DspMinZoom = 25;
inline constexpr double DspMaxZoom = 500;

// A size or frame-width entry: the whole number it holds (blanks around it and
// full-width digits allowed), or nothing for any other text and for a value
// outside 1..100.
bool parseItemPercent(const std::string& text, int16_t& value);

} // namespace drawing

class DspOpForm : public forms::Form {
public:
    DspOpForm();

    // --- Public operations (each loads the window first) ---

    // Shows the window for a person (slot 1..1024 in use), not modal. -1, or a
    // slot not in use, only beeps. When the window is already open for another
    // person, it takes that person's block afresh; the zoom and direction to
    // restore on Cancel stay those of the first opening.
    void showForPerson(int person);
    // Fills every control from DspWork and the document state.
    void SetDspOp();
    // Rewrites one row of the item list: its text and check mark. The check change
    // this raises is not taken as the user's.
    void Mod_DspList(int row, bool check, const std::string& name);
    // Redraws the preview of the person's box from DspWork.
    void DispPreView();

    // The person whose block the window edits (-1 while closed).
    int editedPerson() const { return m_workPerson; }
    // The block an apply gives the edited person, as the preview shows it: the values
    // changed in the window since it took the block (DspWork against what it took)
    // over the person's block as it is stored now, so that a change another window
    // made meanwhile (the person editor's frame switches and pattern) stays.
    model::DispStat editedBlock() const;
    // The person was freed: a window editing his block closes, as Cancel closes it.
    void forgetPerson(int person);
    // The family was replaced (New, a load, a restore): a window editing the block of
    // a slot that holds nobody now closes the same way; otherwise its changes stay, to
    // be applied over the block as it is stored now.
    void showCurrentFamily();

    // --- Window state ---

    // One row of the item list: the display item it shows and that item's rank.
    struct RowMapEntry {
        int16_t item = 0;
        int16_t rank = 0;
    };

    model::DispStat DspWork;                              // the working copy of the block
    std::array<RowMapEntry, model::DispItemCount> DspRowMap{};
    std::string DspSavedZoom;                             // the zoom box text at opening
    int16_t DspSavedDir = 0;                              // write_state at opening
    int16_t DspRestoreF = 0;                              // 1 until a command applies the settings
    int16_t DspListGuard = 0;                             // -1 while Mod_DspList rewrites a row

    // --- Controls, in the order the window lays them out ---

    forms::Label lblDspList{*this, "lblDspList"};
    forms::ListBox DspList{*this, "DspList"};
    forms::CommandButton DspUp{*this, "DspUp"};
    forms::CommandButton DspDn{*this, "DspDn"};
    forms::CommandButton Command1{*this, "Command1"};
    forms::CommandButton Command2{*this, "Command2"};

    forms::Frame FraItem{*this, "FraItem"};
    forms::Label lblDBai{FraItem, "lblDBai"};
    forms::TextBox TxtDBai{FraItem, "TxtDBai"};
    forms::Label lblDBaiUnit{FraItem, "lblDBaiUnit"};
    forms::Label lblDW{FraItem, "lblDW"};
    forms::TextBox TxtDW{FraItem, "TxtDW"};
    forms::Label lblDWUnit{FraItem, "lblDWUnit"};
    forms::Label lblLoc{FraItem, "lblLoc"};
    forms::ComboBox CBWLoc{FraItem, "CBWLoc"};
    forms::ComboBox CBHLoc{FraItem, "CBHLoc"};

    forms::Label lblNen{*this, "lblNen"};
    forms::ComboBox CBNen{*this, "CBNen"};
    forms::Label lblPicLoc{*this, "lblPicLoc"};
    forms::ComboBox CBPicLoc{*this, "CBPicLoc"};
    forms::Frame FraHouko{*this, "FraHouko"};
    forms::ControlArray<forms::OptionButton> DspHouko{FraHouko, "DspHouko", {0, 1}};
    forms::Frame FraWrite{*this, "FraWrite"};
    forms::ControlArray<forms::OptionButton> optWrite_Stat{FraWrite, "optWrite_Stat", {0, 1}};
    forms::Label lblBai{*this, "lblBai"};
    forms::TextBox txtBai{*this, "txtBai"};
    forms::Label lblBaiUnit{*this, "lblBaiUnit"};
    forms::CheckBox ChkWaku{*this, "ChkWaku"};
    forms::CheckBox ChkDWaku{*this, "ChkDWaku"};
    forms::CheckBox ChkFName{*this, "ChkFName"};
    forms::CheckBox ChkVisible{*this, "ChkVisible"};

    forms::Frame FraPreview{*this, "FraPreview"};
    forms::PictureBox PrePic{FraPreview, "PrePic"};

    forms::CommandButton CmdAllMod{*this, "CmdAllMod"};
    forms::CommandButton cmdAllModCate{*this, "cmdAllModCate"};
    forms::CommandButton CmdOK{*this, "CmdOK"};
    forms::CommandButton CmdCan{*this, "CmdCan"};

    // --- Event handlers ---

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;

    void DspList_Click();
    void DspList_ItemCheck(int Item);
    void DspUp_Click();
    void DspDn_Click();
    void CBWLoc_Click();
    void CBHLoc_Click();
    void CBNen_Click();
    void CBPicLoc_Click();
    void ChkWaku_Click();
    void ChkDWaku_Click();
    void ChkFName_Click();
    void ChkVisible_Click();
    void DspHouko_Click(int Index);
    void optWrite_Stat_Click(int Index);
    void txtBai_KeyPress(int16_t& KeyAscii);
    void TxtDBai_KeyPress(int16_t& KeyAscii);
    void TxtDW_KeyPress(int16_t& KeyAscii);
    void TxtDBai_GotFocus();
    void TxtDW_GotFocus();
    // The apply commands. Each takes the undo snapshot first and gives the edited
    // person the edited block as the preview showed it (editedBlock). CmdAllMod gives it
    // also to every other person in use, cmdAllModCate to every other person in use
    // with the category mark; those keep their own frame and death-frame switches.
    // Command1 and Command2 ask first, then switch the family name on or off for
    // every person in use. Then the family counts as changed, the chart is rebuilt
    // and the window closes with the zoom and direction as they now are.
    void CmdOK_Click();
    void CmdCan_Click();
    void CmdAllMod_Click();
    void cmdAllModCate_Click();
    void Command1_Click();
    void Command2_Click();

protected:
    void design() override;

private:
    // Which persons besides the edited one an apply command writes to.
    enum class ApplyTo { EditedPerson, AllPersons, CategoryPersons };

    // Takes the person's block as the working copy and fills the controls.
    void startEditing(int person);
    // The item shown in the selected row, or -1 when no row 0..10 is selected.
    int selectedItem() const;
    // Swaps the selected row with its neighbour (-1 above, +1 below) and ranks the
    // items by their rows.
    void moveSelectedRow(int direction);
    // Fills CBWLoc and CBHLoc with the alignment labels of the chart direction
    // (nothing chosen).
    void fillAlignmentLists();
    // Shows code in a list (no choice for a code it has no line for).
    static void showCode(forms::ComboBox& list, int code);
    // The check box value a stored switch stands for.
    static int checkValueOf(int16_t flag);
    // Draws the outline of every shown item's line of the block over the rendered preview.
    void outlineItemLines(const model::DispStat& block);
    // The size or frame-width entry of the selected row's item.
    void enterItemPercent(forms::TextBox& box, bool isWidth);
    // The apply commands: undo snapshot, the blocks written, then the rebuild.
    void applyBlock(ApplyTo scope);
    void setAllFamilyNames(int16_t shown, const char* question);
    void finishApply();
    // The undo snapshot of an apply command: of the family as it stands before the
    // command, so with the chart direction the window found (the direction chosen
    // here is the family's only from the apply on), and 戻 takes back the direction
    // with the blocks.
    void saveUndoBeforeApply();

    int m_workPerson = -1;
    // The person's block as the window took it (startEditing).
    model::DispStat m_shownBlock;
    // The zoom as it was at opening, put back with the zoom box text on Cancel.
    double m_savedZoomScale = 15.0;
    double m_savedZoomRatio = 1.0;
};

// The one display-options window (the window named `DspOp`).
DspOpForm& dspop_form();
