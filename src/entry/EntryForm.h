#pragma once
// The person editor `entry` ("入力画面"): adds, edits and deletes persons. Two
// views lie on top of each other in one window: the card view, a detail panel
// for one person (frame frm1(0)), and the table view, the grid tb with one row
// per person (frame frm1(1)). Edits change per_buf directly; the chart is
// rebuilt when the window closes.
//
//   EntryForm.cpp           controls, load, view switches, keys, resize, close
//   EntryForm_Transfer.cpp  per_buf <-> grid and panel (entryset, tablein, ...)
//   EntryForm_Commit.cpp    StorePerBuf and the checks before it
//   EntryForm_Commands.cpp  the command buttons: new, register, delete, navigation
//   EntryForm_Dates.cpp     the age computation, field and date checks
//   EntryForm_Grid.cpp      editing in the grid: the cell editor Text2, list cells
//   EntryForm_Sort.cpp      the grid's sort popup
//   EntryForm_Pictures.cpp  the face picture boxes
//
// The main window opens it non-modally and sets Entry_Open to 1; it calls
// entryset and tablein on the open window, settleUnregisteredInput before its
// File commands replace or end the family, closeFromMainWindow before a load
// replaces the family, and showCurrentFamily after the family was emptied or restored.

#include "forms/CheckBox.h"
#include "forms/ComboBox.h"
#include "forms/CommonDialog.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/FlexGrid.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"
#include "forms/LineControl.h"
#include "forms/Menu.h"
#include "forms/OptionButton.h"
#include "forms/PictureBox.h"
#include "forms/TabStrip.h"
#include "forms/TextBox.h"
#include "forms/UnregisteredInput.h"

#include <array>
#include <cstdint>
#include <string>

namespace entry {

// Captions and messages of the window, used exactly as they stand.
inline constexpr const char* EntryCaption = "入力画面";
inline constexpr const char* NoNameInRowMessage = "名前が登録されていません";
inline constexpr const char* NoNameOnCardMessage = "名字、名前が登録されていません";
inline constexpr const char* PersonInMarriageMessage = "この方は、結婚グループ内で使用されています";
inline constexpr const char* DeleteCardQuestion = "本当に削除してよろしいですか?";
inline constexpr const char* DeleteRowQuestion = "削除項目:";
inline constexpr const char* PictureFileError = "画像ファイルエラー";
inline constexpr const char* BikoTooLongMessage = "備考は１０２４文字まで登録可能です";
// A number field or the postal code refused a key.
inline constexpr const char* DigitsOnlyMessage = "数字を入力してください。";
// Refusals the register command adds so that nothing it cannot store enters the family.
inline constexpr const char* TableFullMessage = "これ以上個人情報を登録出来ません";
inline constexpr const char* BadAgeMessage = "年令が不正です";
inline constexpr const char* VoiceFileError = "音声ファイルエラー";
// Grid editing.
inline constexpr const char* NameRequiredMessage = "名字、名前は省略出来ません";
inline constexpr const char* BadGridDateMessage = "日付が不正です";
inline constexpr const char* BirthAfterDeathMessage = "生年月日が死亡年月日より未来です。登録出来ません。";
inline constexpr const char* BadBirthMessage = "生年月日が不正です";
// A refill of the grid names the stored persons whose birth lies after their death.
inline constexpr const char* BirthAfterDeathListMessage = "次の方は生年月日が死亡年月日より後になっています。";
// The date display mode.
inline constexpr const char* NoEraTableMessage = "年号ファイルが読み込まれていないため、日付の表示を切り替えられません";
inline constexpr const char* DiscardNewRowOnUpQuestion = "新しい項目を破棄しますか？";
inline constexpr const char* DiscardNewRowOnClickQuestion = "新規入力項目を破棄しますか？";
// Asked before the user leaves input that was never registered (Yes/No/Cancel).
inline constexpr const char* UnregisteredInputQuestion = forms::UnregisteredInputQuestion;

// The longest remarks text, in characters.
constexpr int MaxBikoLength = 1024;
// The grid's columns 0..20.
constexpr int GridCols = 21;

} // namespace entry

namespace model {
struct personal_data;
}

class EntryForm : public forms::Form {
public:
    EntryForm();

    // --- Tabs, view frames, command row ---
    forms::TabStrip Tab1{*this, "Tab1"};
    forms::ControlArray<forms::Frame> frm1{*this, "frm1", {0, 1}};
    forms::LineControl Line1{*this, "Line1"};
    forms::ControlArray<forms::CommandButton> CMDFUNC{*this, "CMDFUNC", {0, 1, 2, 3, 4, 5, 6, 7}};
    forms::ControlArray<forms::Label> Label2{*this, "Label2", {0, 1}};
    forms::LineControl Line2{*this, "Line2"};

    // --- Card view: the detail panel ---
    forms::ControlArray<forms::Label> Label1{frm1[0], "Label1", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                                                                 14, 15, 16, 17, 18}};
    forms::ControlArray<forms::TextBox> Text1{frm1[0], "Text1", {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13,
                                                                 14, 15, 16}};
    forms::ControlArray<forms::OptionButton> Option1{frm1[0], "Option1", {0, 1}};
    forms::ComboBox CBGrp{frm1[0], "CBGrp"};
    forms::CheckBox ChkWaku{frm1[0], "ChkWaku"};
    forms::CheckBox chkDeath{frm1[0], "chkDeath"};
    forms::CheckBox chkCateF{frm1[0], "chkCateF"};
    forms::CheckBox chkCsvOutput{frm1[0], "chkCsvOutput"};
    forms::ComboBox cbWakuPat{frm1[0], "cbWakuPat"};
    forms::ControlArray<forms::PictureBox> Picture1{frm1[0], "Picture1", {0, 1}};
    forms::CommandButton cmdvoice{frm1[0], "cmdvoice"};
    forms::CommonDialog CommonDialog1{*this, "CommonDialog1"};

    // --- Table view: the grid and its cell editor ---
    forms::FlexGrid tb{frm1[1], "tb"};
    forms::TextBox Text2{frm1[1], "Text2"};

    // --- Menus ---
    forms::Menu scrmenu{*this, "scrmenu"};
    forms::ControlArray<forms::Menu> scritem{scrmenu, "scritem", {0, 1, 2, 3}};
    forms::Menu setmenu{*this, "setmenu"};
    forms::ControlArray<forms::Menu> setitem{setmenu, "setitem", {0}};
    forms::ControlArray<forms::Menu> calend{setitem[0], "calend", {0, 1, 2}};
    forms::Menu sort{*this, "sort"};
    forms::Menu up{sort, "up"};
    forms::Menu p{sort, "p"};
    forms::Menu down{sort, "down"};
    forms::Menu p2{sort, "p2"};
    forms::Menu nosort{sort, "nosort"};
    forms::Menu pic{*this, "pic"};
    forms::Menu chan{pic, "chan"};
    forms::Menu o{pic, "o"};
    forms::Menu del{pic, "del"};
    forms::Menu helpmenu{*this, "helpmenu"};

    // --- Window state ---
    // -1 while the card view is in front, 0 while the table view is.
    int16_t Entry_CardView = -1;
    // The postal code of the last person committed from the card view.
    std::string Keep_YubinNo;
    // The text the grid's cell editor leaves in its cell.
    std::string EditCellText;
    // The cell the cell editor Text2 was opened on.
    int16_t EditRow = 0;
    int16_t EditCol = 0;

    // --- Public operations: record transfer ---

    // Puts slot idx back to its cleared record, as a new person starts. Slots
    // outside 0..1024 are left alone.
    void per_buf_ready(int idx);
    // Line breaks between the panel and the record. Mode 13: each CR becomes LF
    // (CR LF is stored as LF LF). Other modes: each LF becomes CR and the
    // character after it is skipped (LF LF is shown as CR LF). The length never
    // changes; a text of blanks comes back as it is.
    std::string tran(const std::string& text, int mode);
    // The last grid row showing slot idx, 0 when none (and for idx below 1).
    int getrow(int idx);
    // Takes the current person from the grid's current row and moves the "*"
    // marker (to the blank last row while a new person is entered).
    void rowset();
    // Starts a new person: a blank last grid row, or an empty panel.
    void newp();
    // Loads slot idx into the panel; -1 starts a new person. A slot not in use
    // is replaced by slot 1 (idx is rewritten); when slot 1 is free too, nothing
    // is loaded.
    void entryset(int& idx);
    // Refills the grid from per_buf, sorted by the stored sort setting.
    void tablein();
    // The age text for a birth and a death date text: "" when none can be
    // computed, else whole years. Empties Text1(5) first.
    std::string Calc_Age(const std::string& birth, const std::string& death);
    // Puts the focus on the family-name box.
    void SetFocusNewInput();
    // The date display mode menu: 0 western, 1 era, 2 abbreviated era. Every
    // stored date of the grid's persons is rewritten in the new form; a date
    // that does not convert is cleared.
    void calend_Click(int Index);
    // Checks the grid cell the cell editor Text2 just edited: the age column
    // keeps a plain number (0 empties it), the date columns a normalised date;
    // a date that does not convert is refused with a message and emptied.
    void CheckDateCell(int Row, int Col);
    // Applies the shown-column flags DispFactor and the widths CelWidth to the
    // grid; the header row's row data names the last shown column.
    void cels();

    // --- Leaving what the editor holds ---

    // True when the card, or in the table view the pending new row or an open cell
    // editor, holds input that differs from what is stored: the card is compared with
    // what it showed when it was last filled from the records (or emptied for a new
    // person), the cell editor with the cell's text when its edit started.
    bool hasUnregisteredInput();
    // Asked whenever the user leaves the card or the pending row: with input that
    // was never registered, "入力内容が登録されていません。登録しますか？" with Yes
    // (registered through the checks of "登録"), No (dropped) and Cancel. True when
    // the caller may go on: nothing to ask, registered, or dropped. False when the
    // user stays: Cancel, or the registration refused what was typed.
    bool settleUnregisteredInput();
    // Before a command of another window changes the person (-1: any person): the
    // same question, but only for input held for him (the card shows him, or a cell
    // editor of his row is open in the table view, whose edit then simply ends).
    // いいえ shows him as stored. False when the user stays with the input.
    bool settleUnregisteredInputFor(int person);
    // After another window changed the person (-1: any person): a card that shows him
    // and holds no unregistered input shows him as he is now stored.
    void showChangedPerson(int person);

    // --- Requests of the main window ---

    // Before a load replaces the family: hides and unloads the window when it
    // is loaded (the close steps run).
    void closeFromMainWindow();
    // The family was emptied while the window stays open: the voice memo window
    // closes and the window shows a blank card, or in the table view a grid
    // holding only the blank new row.
    void showEmptyFamily();
    // The family was replaced while the window stays open (a restore): the window
    // shows it as it now is. The card's person, when still there, is shown afresh;
    // in place of one that is gone the card is a new one, as after 新規, with the
    // persons left reachable. The table view is refilled from the tables; a family
    // left without persons is shown as showEmptyFamily does.
    void showCurrentFamily();
    // A person box was clicked: the window, at its normal size, loads the person,
    // is shown and turns to its card view (the voice button is marked when the
    // person's memo could be made ready, as entryset does for every person).
    void showPersonInCard(int person);
    // A face icon was clicked: the window is shown with previous and next
    // enabled, loads the person on its first tab and comes to the front. The
    // caller has set Entry_EditMode to 1.
    void showPersonOnFirstTab(int person);
    // The View menu's "入力画面" while the window is open: back from minimised, to
    // the front, the focus in the grid (table view) or the family-name box.
    void raiseEditor();
    // The View menu's "入力画面" while the window is closed: shown, and in the
    // card view the person is loaded.
    void showEditor(int person);

    // --- Handlers ---
    void Form_Load() override;
    void Form_Resize() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void CMDFUNC_Click(int Index);
    void scritem_Click(int Index);
    void Tab1_Click();
    void CBGrp_GotFocus();
    void CBGrp_KeyPress(int16_t& KeyAscii);
    void Option1_KeyPress(int Index, int16_t& KeyAscii);
    void Text1_GotFocus(int Index);
    void Text1_KeyPress(int Index, int16_t& KeyAscii);
    void Text1_LostFocus(int Index);
    // Grid editing.
    void tb_KeyDown(int& KeyCode, int Shift);
    void tb_KeyPress(int16_t& KeyAscii);
    void tb_BeforeEdit(int Row, int Col, int& Cancel);
    void tb_ValidateEdit(int Row, int Col, int& Cancel);
    void tb_AfterEdit(int Row, int Col);
    void tb_MouseDown(int Button, int Shift, double X, double Y);
    void tb_MouseUp(int Button, int Shift, double X, double Y);
    void tb_RowColChange();
    void tb_EnterCell();
    void tb_HideEditor();
    void tb_Click() {}
    void Text2_KeyDown(int& KeyCode, int Shift);
    void Text2_KeyPress(int16_t& KeyAscii);
    void Text2_LostFocus();
    // The sort popup of the grid's header.
    void up_Click();
    void down_Click();
    void nosort_Click();
    // The face picture boxes and their menu.
    void Picture1_Click(int Index);
    void Picture1_DblClick(int Index);
    void chan_Click();
    void del_Click();
    // The voice button.
    void cmdvoice_Click();
    void cmdvoice_MouseMove(int Button, int Shift, double X, double Y);
    // The voice memo window put a new recording into "voicetmp.wav": the voice
    // button is marked ("1"), and the card holds input not yet registered, also
    // when it was marked already for the person's own memo.
    void markRecordingWaiting();

protected:
    void design() override;

private:
    enum class SwitchSource { Menu, Tab };
    // When the age is refreshed: its messages differ by one full stop.
    enum class AgeRefresh { OnFocus, AfterTyping };

    // Writes the new person of the last grid row or the panel into per_buf. False
    // when a recording waiting for the card's person could not be stored as his
    // memo (a full disk): he is stored all the same, a new person as the card's
    // person now, and the recording still waits for the next register.
    bool StorePerBuf();
    // The register command's checks: a message and false when something typed
    // cannot be stored; nothing has changed then.
    bool checkBeforeStore();
    // The picture of the panel for slot: fills the record's picture fields;
    // false (with the record's picture left as it was) when the file cannot be
    // copied into the face folder.
    bool storePicture(int slot);

    // What the register command does after the store: the card of an existing
    // person moves on to the next person, or stays (the user is leaving anyway).
    enum class AfterRegister { ShowNext, Stay };
    // The register command; false when a check refused what was typed, or a
    // recording could not be stored as the person's memo (StorePerBuf): the card
    // stays with him then.
    bool registerPerson(AfterRegister after);

    void deletePerson();
    void navigate(int Index);
    // The card refilled with the person as stored, who becomes the current one.
    void showStoredPerson(int person);
    void switchToCardView(SwitchSource source);
    void switchToTableView(SwitchSource source);
    // True while the blank new row of the table view holds something typed.
    bool pendingRowTyped();
    // Gives up the pending new row of the table view: the persons are edited again.
    void dropPendingRow();
    // Tab-key stops of the buttons 0..4 and the panel controls (and of Tab1).
    void setPanelTabStops(bool on, bool includeTab);
    void clearPictures();
    // The group box and the display flag boxes of the panel for record p.
    void showGroupAndFlags(const model::personal_data& p);
    // Empties the whole panel for a new person: texts, group, flags, pictures
    // and the voice mark.
    void clearCard();
    // Shows the face picture of a person; when its file is missing or cannot be read,
    // the message that names it and why ("" when shown).
    std::string showPicture(int mode, const std::string& path);
    double personRowHeight(double minimum) const;
    // typedBox is the date box just typed into (3 or 4), -1 on the age box's focus.
    void refreshAge(AgeRefresh when, int typedBox);
    // The age box's label and background follow the death date box: "死亡年令"
    // on grey once a death date is given, "年令" on white while it is empty.
    void showAgeKind();
    // The stored date of the card's person for Text1(3) or Text1(4); "" for a
    // new person.
    std::string storedCardDate(int Index) const;
    // Starts an edit of the grid's current cell; a text cell gets Text2.
    void startCellEdit();
    // Enter, Tab or Shift+Tab in the cell editor: the edit ends (its text goes into
    // the cell) and the grid moves to the next shown cell of the row, or for
    // Shift+Tab to the previous one.
    void leaveCellEditor(bool backwards);
    // Date checks of a row after its birth or death cell col was edited: Good
    // (the age cell follows the dates), Refused (the edited date is no date, or
    // the birth would lie after the death; the message is shown) or Stop (a
    // future birth: nothing is stored).
    enum class RowDates { Good, Refused, Stop };
    RowDates checkRowDates(int row, int col);
    // Stores an edited cell of an existing person's row: the cell goes into a copy of
    // the record, and only when it passed its checks and changed him is the undo
    // snapshot taken and the record written, all of the edit at once. The cell
    // editor's commit stores the row's age cell with it (RowAge::Stored); the grid's
    // own edits (the list columns, Delete) leave the age as stored.
    enum class RowAge { Left, Stored };
    void storeEditedCell(int Row, int Col, RowAge rowAge);
    void sortByMouseColumn(int code);
    // Applies a chosen picture file to box 0 (icon) or 1 (bitmap).
    enum class PictureFit { Stretched, AsItIs };
    void applyChosenPicture(int box, const std::string& path, PictureFit fit);
    void choosePictureFile(int box);

    // Everything the card can show of a person, to tell typed input from a fill.
    struct CardContents {
        std::array<std::string, 17> texts;
        bool man = true;
        std::string group;
        std::array<int, 5> flags{};
        std::array<std::string, 2> pictures;
        int pictureMode = -1;
        std::string voice;
        // How many recordings the voice memo window left for the card so far.
        int recordings = 0;
        bool operator==(const CardContents& other) const;
    };
    CardContents cardContents();
    // Remembers the card as just filled, and whose card it is: person (by
    // default Cur_PerIdx) and Entry_EditMode at that moment.
    void markCardShown(int person);
    void markCardShown();
    CardContents m_shownCard;
    int16_t m_shownPerson = -1;
    int16_t m_shownEditMode = 0;
    // Counts the recordings markRecordingWaiting was told of.
    int m_recordingsTaken = 0;

    double m_loadHeight = 0;
    double m_loadWidth = 0;
    // True while tablein refills the grid: its own moves of the current cell
    // are no user's moves (it runs rowset itself at the end).
    bool m_fillingGrid = false;
};

// The one instance of the window.
EntryForm& entry_form();
