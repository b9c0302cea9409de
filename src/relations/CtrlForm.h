#pragma once
// The relationship editor `ctrl` ("関係設定画面"): one marriage record of kou_buf
// at a time (partners, state word, title, history order, start mark, branch
// family, the side the line continues from, children with their direct-line
// marks), beside the person lists (men and women) and the marriage lists.
//
// The window keeps no copy of the record it edits: its fields are the edit
// state, edit_kou_data writes them and the register command reads them back.
// It remembers only what the fields showed when they were last filled, so that
// leaving an unregistered change asks first (settleUnregisteredChange).
// It is modeless and there is one instance, ctrl_form(). The main window shows
// it, sets Ctrl_Open and fills it (Build_List, then edit_kou_data); the other
// editing windows keep it in step through the public operations below.
//
//   CtrlForm.cpp         controls, load and close, lists, loading a marriage
//   CtrlForm_Commit.cpp  new, register, delete, blank partner, state list
//   CtrlForm_Undo.cpp    the editor's one-step undo
//   CtrlForm_Drag.cpp    dragging persons from the person lists onto the partner
//                        fields, the children list and the chart; the marker
//                        window Form2 that follows the pointer

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/DragDrop.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/ListView.h"
#include "forms/Menu.h"
#include "forms/OptionButton.h"
#include "forms/TabStrip.h"
#include "forms/TextBox.h"
#include "forms/Timer.h"

#include <cstdint>
#include <string>
#include <vector>

// The marker window `Form2`: a borderless window without controls, shaped to the
// outline of the dragged name and kept at the pointer while the user drags from
// the editor's person lists. Its background colour is the colour of the name:
// red over places that refuse the drop, green over places that take it.
class MarkerForm : public forms::Form {
public:
    MarkerForm();

protected:
    void design() override;
};

// The one marker window.
MarkerForm& form2();

// A point in screen or client pixels.
struct PixelPoint {
    int x = 0;
    int y = 0;
    bool operator==(const PixelPoint& other) const { return x == other.x && y == other.y; }
};

// Colours of the marker.
constexpr long MarkerRefusedColour = 0xFF;   // red
constexpr long MarkerAcceptedColour = 0xFF00; // green

// Steps of the marker's flight back to its list entry, from the signed distance
// (target minus start, pixels): 4 when it is short, 7 when it is medium, 10 else.
int returnStepCount(int dx, int dy);

class CtrlForm : public forms::Form {
public:
    CtrlForm();

    // --- Public operations, in the order of the window's interface ---

    // Loads a marriage slot 1..1024 into the fields, or an empty new record for -1
    // (any other value too). The list selections and the edit-target caption
    // follow KouNum, not the argument.
    void edit_kou_data(int kou);
    // Rebuilds the person lists (men, women, each with its placeholder line), then
    // the marriage lists.
    void Build_List();
    // Rebuilds the small marriage list List1(2), then the list view.
    void Build_list_kou();
    // Rebuilds the marriage list view lstvKou.
    void Build_list_kou_V6();
    // -1 when one candidate is the other's father or mother (through the first
    // parent marriage found of each), else 0.
    int check_kou(int titi, int haha);
    // Deletes a marriage after asking: 0 once asked (OK or Cancel), -1 when the
    // slot is not a marriage in use (nothing asked). Resets the editor fields
    // whenever the question was asked.
    int del_kou_buf(int kou);
    // The check mark of line `line` of List2 from kodo_visible of the child slot.
    void DispKodoCheck(int kou, int slot, int line);
    // The list view loses its columns and items (the marriage table was emptied).
    void InitKouList();
    // KouNum := -1 and an empty new record.
    void ResetKouNum();
    // The edit-target caption from KouNum.
    void Disp_KouNumStat();
    // Shows the person lists' page.
    void DispListActer();

    // True while the fields differ from what was last filled into them (a marriage
    // loaded, a new record, a registration): a title typed, partners dragged in,
    // children listed, a state, mark or order changed and not registered.
    bool hasUnregisteredChange() const;
    // Before the fields are left or refilled: an unregistered change asks
    // "入力内容が登録されていません。登録しますか？". はい registers it through the
    // register command's checks, いいえ drops it, キャンセル keeps it. False when
    // the user stays with the change (キャンセル, or a refused registration): the
    // caller then changes nothing.
    bool settleUnregisteredChange();
    // True while a partner field or the children list names the person.
    bool holdsPerson(int person) const;
    // The person was freed: the partner field and the children's lines naming him
    // go. What the fields were filled with loses him as well, so that only what the
    // user changed besides counts as an unregistered change.
    void forgetPerson(int person);

    // --- Requests of the other windows (through the main window) ---

    // Shows the marriage lists' page (the second tab).
    void showMarriageLists();
    // Selects a person in the men's (list 0) or women's (list 1) list: the first line
    // holding the person becomes the selection (a list without one keeps its own),
    // and the other list loses its selection.
    void selectPartner(int list, int person);

    // The editor's undo menu item and button become available with this caption.
    void enableUndo(const std::string& caption);
    // Both undo entries are disabled and read "UNDO".
    void disableUndo();
    // The undo entries show the pending step of the editor's undo: enabled with the
    // caption naming it, or disabled when nothing is pending.
    void showPendingUndo();
    // The person table was emptied: the men's and women's lists go.
    void clearPersonLists();
    // The marriage table was emptied: the marriage lists and the fields go.
    void resetEditor();
    // Empties the fields as after a deletion: no title, the order field and both
    // partner Tags set to zeroText (a zero the register command reads as "not
    // chosen"), no children, no start mark, the line through the husband.
    void resetEntryFields(const std::string& zeroText);
    // A child of marriage kou was deleted elsewhere: when the child list List2 holds
    // at least one entry it is refilled with the marriage's children in slot order
    // (family name directly followed by given name, ItemData the person, ticked as
    // kodo_visible says, since 登録 stores the ticks); an empty
    // list, or a kou that is no marriage slot, leaves it as it is.
    void refillChildList(int kou);

    // A drop turned the placeholder entry of person list `list`
    // (0 men, 1 women) into person: the entry names the person and a placeholder
    // with the current counter is appended.
    void placeholderTaken(int list, int person);
    // The undo of that drop: the last added entry shows the current counter again
    // and the person's entry goes.
    void placeholderReturned(int list, int person);
    // Hides the marker window.
    void hideDragMarker();

    // --- Event handlers ---

    void CMDFUNC_Click(int Index);
    void CmdSetNull_Click(int Index);
    void Combo1_Click();
    void CMDEND_Click(int Index);
    void List1_Click(int Index);
    void List2_Click();
    // A double-click on a person or a child opens the child dialog for the
    // marriage that person is a child of.
    void List1_DblClick(int Index);
    void List2_DblClick();
    void lstvKou_Click();
    void lstvKou_ColumnClick(int column);
    void TabStrip1_Click();
    void Text1_GotFocus(int Index);
    void scritem_Click(int Index);
    void Command2_Click(int Index);
    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void Form_Unload(int& Cancel) override;

    // Dragging persons (CtrlForm_Drag.cpp).
    void List1_MouseDown(int Index, int Button, int Shift, double X, double Y);
    void List1_MouseMove(int Index, int Button, int Shift, double X, double Y);
    void List1_OLEStartDrag(int Index, forms::DataObject& Data, int& AllowedEffects);
    void List1_OLEGiveFeedback(int Index, int& Effect, bool& DefaultCursors);
    void List1_OLECompleteDrag(int Index, int& Effect);
    void Label2_OLEDragDrop(int Index, forms::DataObject& Data, int& Effect, int Button, int Shift, double X,
                            double Y);
    void List2_OLEDragDrop(forms::DataObject& Data, int& Effect, int Button, int Shift, double X, double Y);
    void Timer1_Timer();
    void Timer2_Timer();

    // --- Form variable ---

    // The delete target of "削除": 0 the marriage being edited, 1 the child
    // selected in List2.
    int16_t ChildListActive = 0;

    // The drag from a person list (screen pixels unless said otherwise).
    PixelPoint DownPoint;        // pointer at the last mouse-down on a person list; (0, 0) none
    std::string DownText;        // text of the entry under that mouse-down
    int16_t DownIndex = -1;      // its list index, -1 none
    int16_t DragArmed = 0;       // -1 after the mouse-down, 0 when no drag may start
    int16_t Dragging = 0;        // -1 from the start of a drag until its completion
    PixelPoint GrabOffset;       // pointer inside the dragged entry's row (client x, y in the row)
    PixelPoint RowOrigin;        // top-left of the dragged entry's row
    int16_t ReturnSteps = 0;     // steps of the marker's flight back: 4, 7 or 10
    // The flight back runs on Timer2, one step per tick: from FlightStart by
    // FlightStep per step, StepsFlown of them so far, landing on RowOrigin.
    PixelPoint FlightStart;
    PixelPoint FlightStep;
    int16_t StepsFlown = 0;

    // --- Controls ---

    forms::TabStrip TabStrip1{*this, "TabStrip1"};
    forms::ControlArray<forms::Frame> Frame2{*this, "Frame2", {0, 1}};
    // Labels: 0 "結婚関係", 1 "子供関係", 2 "男", 4 "タイトル", 5 "関係",
    // 6 "履歴表示順序", 7 "基準となる結婚", 9 "女".
    forms::ControlArray<forms::Label> Label1{*this, "Label1", {0, 1, 2, 4, 5, 6, 7, 9}};
    // 0 men, 1 women (sorted), 2 the small marriage list.
    forms::ControlArray<forms::ListBox> List1{*this, "List1", {0, 1, 2}};
    forms::ListView lstvKou{*this, "lstvKou"};
    // Husband (0) and wife (1): Caption the name, Tag the person slot as text.
    forms::ControlArray<forms::Label> Label2{*this, "Label2", {0, 1}};
    forms::ControlArray<forms::CommandButton> CmdSetNull{*this, "CmdSetNull", {0, 1}};
    forms::ControlArray<forms::OptionButton> Option1{*this, "Option1", {0, 1}};
    forms::ComboBox Combo1{*this, "Combo1"};
    // 0 title, 1 history order.
    forms::ControlArray<forms::TextBox> Text1{*this, "Text1", {0, 1}};
    forms::ControlArray<forms::CheckBox> Check1{*this, "Check1", {0}};
    forms::CheckBox ChkBunke{*this, "ChkBunke"};
    forms::ListBox List2{*this, "List2"};
    forms::Label lblEditStat{*this, "lblEditStat"};
    // 0 new, 1 register, 2 delete.
    forms::ControlArray<forms::CommandButton> CMDFUNC{*this, "CMDFUNC", {0, 1, 2}};
    forms::ControlArray<forms::CommandButton> CMDEND{*this, "CMDEND", {0}};
    forms::Frame Frame1{*this, "Frame1"};
    // 0 small view, 1 large view, 3 undo, 4 back.
    forms::ControlArray<forms::CommandButton> Command2{Frame1, "Command2", {0, 1, 3, 4}};
    forms::Timer Timer1{*this, "Timer1"};
    forms::Timer Timer2{*this, "Timer2"};
    forms::Menu scrmenu{*this, "scrmenu"};
    // 0 "ＵＮＤＯ", 2 "小表示", 3 "大表示", 5 "戻る"; 1 and 4 separators.
    forms::ControlArray<forms::Menu> scritem{scrmenu, "scritem", {0, 1, 2, 3, 4, 5}};

protected:
    void design() override;

private:
    // Shows one page of the tab strip: 0 the person lists, 1 the marriage lists.
    void showPage(int page);
    // Empties the fields as after a child deletion or a marriage deletion.
    void resetFields();
    // A partner label from a person slot (-1 empty, 1024 the blank partner).
    void setPartnerLabel(int side, int person);
    // An empty partner label, Tag "0": a following "登録" no longer uses it.
    void clearPartnerLabel(int side);
    void fillStateList();
    void chooseMarriage(int kou);
    // The marriage lists select the marriage the fields hold again (after a click on
    // another one was cancelled).
    void reselectShownMarriage();
    void showChildDialogFor(forms::ListBox& list);
    // True when the marriage was stored; a refused one leaves the fields as they are.
    bool registerMarriage();
    void deleteMarriage();
    void deleteChild();
    // The chart after an edit of the tables, and the canvas's drop mode.
    void refreshChart();
    void undo_kou_data();
    // An undo that brought marriage kou back shows it as the chosen marriage.
    void showRestoredMarriage(int kou);
    void halveWidth();
    void doubleWidth();
    void connectDragEvents();
    // List2 from the children of marriage kou (a marriage slot), in slot order; with
    // marks each line's check mark follows kodo_visible.
    void fillChildList(int kou, bool withMarks);
    // The dragged placeholder entry of list `list` (its text as the drag carried it)
    // becomes a new person; -1 when the table is full.
    int createPlaceholderPerson(int list, const std::string& draggedText);

    // What the fields show, compared to tell an unregistered change.
    struct ShownFields {
        std::string partnerTags[2];
        std::string partnerCaptions[2];
        std::string state;
        std::string title;
        std::string order;
        int start = 0;
        int branch = 0;
        bool husbandsLine = true;
        std::vector<int> children;
        std::vector<bool> marks;
        bool operator==(const ShownFields& other) const;
    };
    ShownFields shownFields() const;
    // The fields as they are now count as registered (they were just filled).
    void markFieldsShown();
    ShownFields m_shownFields;
    // The marriage the fields were filled from, -1 for a new record or emptied fields.
    int16_t m_fieldsKou = -1;
    // Another window may make its own marriage current (a chart drop sets KouNum)
    // while the fields still show another one: the editor's 登録 and 削除 act on the
    // marriage the fields show.
    void actOnShownMarriage();
    // True while the lists are set back to the shown marriage or refilled while an
    // unregistered change is settled: their clicks load nothing.
    bool m_reselecting = false;
    // Starts the marker's flight back to its list entry; Timer2 moves it on.
    void flyMarkerBack(const PixelPoint& release);
    // The flight is over (landed, or the editor closes): the marker goes.
    void endFlight();
};

// The one relationship editor (the window named `ctrl`).
CtrlForm& ctrl_form();
