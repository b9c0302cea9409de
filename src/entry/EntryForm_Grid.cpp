// Editing persons in the grid tb: text cells are edited in the window's own
// text box Text2 laid over the cell, the sex column and the four flag columns
// in the grid's drop-down list editor. Edited cells of existing persons are
// written into per_buf at once; a pending new row waits for the register
// command.

#include "entry/EntryForm.h"

#include "entry/DateValue.h"
#include "entry/EntryForm_p.h"
#include "entry/entry_state.h"

#include "document/Snapshots.h"
#include "forms/Keys.h"
#include "mainwindow/OtherWindows.h"
#include "model/Lookups.h"
#include "model/SavableText.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <optional>

using entry::T;

namespace {

using model::isUsedPerson;

// The sex column and the four flag columns are edited with a drop-down list.
bool isListColumn(int col)
{
    return col == 4 || (col >= 17 && col <= 20);
}

const char* comboListOf(int col)
{
    switch (col) {
    case 4:
        return "男|女";
    case 17:
    case 18:
        return "-|表示";
    case 19:
    case 20:
        return "-|設定";
    default:
        return "";
    }
}

// The record field a text column shows; null for the other columns.
std::string* textField(model::personal_data& p, int col)
{
    switch (col) {
    case 1:
        return &p.F_name;
    case 2:
        return &p.Name;
    case 3:
        return &p.Old_name;
    case 8:
        return &p.TelNo;
    case 9:
        return &p.KeiNo;
    case 10:
        return &p.FaxNo;
    case 11:
        return &p.Addr1;
    case 12:
        return &p.Addr2;
    case 13:
        return &p.YubinNo;
    case 14:
        return &p.E_mail;
    case 15:
        return &p.Zokugara;
    case 16:
        return &p.Kaimyo;
    default:
        return nullptr;
    }
}

// An age text as an Integer: nothing when its leading number does not fit.
std::optional<int16_t> integerAge(const std::string& text)
{
    const double value = platform::Fix(platform::Val(text));
    if (value < -32768 || value > 32767)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

} // namespace

// ---------------------------------------------------------------- starting an edit

void EntryForm::startCellEdit()
{
    const int col = tb.col();
    // Only a shown person column is edited: column 0 marks the current person,
    // and a hidden column has no cell to lay the editor over.
    if (tb.row() < 1 || col < 1 || tb.colWidth(col) <= 0)
        return;
    // The editor opens over its cell, which the user may have scrolled away.
    tb.showCell(tb.row(), col);
    tb.editCell();
    if (!isListColumn(col) && Text2.isVisible())
        Text2.setFocus();
}

void EntryForm::tb_KeyPress(int16_t& KeyAscii)
{
    // Enter and every character start an edit (the input method's kana and
    // kanji as well as ASCII); other control codes do not.
    if (KeyAscii != 13 && forms::keyAsciiInsertsNothing(KeyAscii))
        return;
    startCellEdit();
    if (KeyAscii == 13 || activeControl() != &Text2) {
        // Enter only opens the editor; a character that no editor takes is no
        // search of the grid's rows either.
        KeyAscii = 0;
        return;
    }
    // The grid passes the character on to the editor, where it takes the place
    // of the cell's text.
    Text2.setSelStart(0);
    Text2.setSelLength(static_cast<int>(platform::Len(Text2.text())));
}

void EntryForm::tb_BeforeEdit(int Row, int Col, int& Cancel)
{
    (void)Cancel;
    if (!isListColumn(Col)) {
        Text2.setText("");
        Text2.move(tb.left() + tb.cellLeft(), tb.top() + tb.cellTop(), tb.cellWidth(), tb.cellHeight());
        EditRow = static_cast<int16_t>(tb.row());
        EditCol = static_cast<int16_t>(tb.col());
        const std::string text = tb.textMatrix(Row, Col);
        Text2.setText(text);
        Text2.setTag(text);
        Text2.zOrder(0);
        Text2.setVisible(true);
        Text2.setFocus();
    }
    tb.setComboList(comboListOf(Col));
}

void EntryForm::tb_EnterCell()
{
    const int col = tb.col();
    const int32_t mode = model::settings().Dispmode_Nengo;
    const bool kana = col == 1 || col == 2 || col == 3 || col == 11 || col == 12 || col == 15 || col == 16 ||
                      ((col == 5 || col == 6) && (mode == 1 || mode == 2));
    Text2.setIMEMode(kana ? forms::vbIMEHiragana : forms::vbIMEDisable);
}

// ---------------------------------------------------------------- the cell editor

void EntryForm::Text2_KeyPress(int16_t& KeyAscii)
{
    // The cell under the editor follows its text (the current cell, unless the
    // grid was refilled meanwhile).
    if (EditRow >= 1 && EditRow < tb.rows() && EditCol >= 0 && EditCol < tb.cols())
        tb.setTextMatrix(EditRow, EditCol, Text2.text());
    // The postal code column; the age and the three telephone number columns.
    bool refused = false;
    if (EditCol == 13)
        refused = entry::refuseKey(entry::KeyFilter::PostalCode, KeyAscii);
    else if (EditCol >= 7 && EditCol <= 10)
        refused = entry::refuseKey(entry::KeyFilter::Number, KeyAscii);
    if (refused)
        return;
    if (KeyAscii == 13)
        leaveCellEditor(false);
}

void EntryForm::leaveCellEditor(bool backwards)
{
    tb.setFocus();
    if (tb.row() == 0)
        return;
    const int last = tb.cols() - 1;
    int col = tb.col();
    if (backwards) {
        if (col > 1) {
            --col;
            while (col > 1 && tb.colWidth(col) == 0)
                --col;
        }
    } else if (col < last && col != 4) {
        ++col;
        while (col < last && tb.colWidth(col) == 0)
            ++col;
    }
    const int lastShown = tb.rowData(0);
    if (col > lastShown && lastShown >= 1)
        col = lastShown;
    tb.setCol(col);
}

void EntryForm::Text2_KeyDown(int& KeyCode, int Shift)
{
    if (KeyCode == forms::vbKeyTab) {
        leaveCellEditor((Shift & forms::vbShiftMask) != 0);
        KeyCode = 0;
    } else if (KeyCode == forms::vbKeyEscape) {
        if (tb.col() != 4 && EditRow >= 1 && EditRow < tb.rows() && EditCol < tb.cols()) {
            tb.setTextMatrix(EditRow, EditCol, Text2.tag());
            Text2.setText(Text2.tag());
        }
        Text2.setVisible(false);
        tb.setFocus();
    } else if (KeyCode == forms::vbKeyF2) {
        // Moving the focus ends the edit through LostFocus, once.
        tb.setFocus();
    }
}

EntryForm::RowDates EntryForm::checkRowDates(int row, int col)
{
    // Only the edited date is judged, and only when something was typed: the
    // other one, or the cell left as it was, may be a text such as "不詳", which
    // then gives no age but does not refuse the edit.
    const std::string edited = tb.textMatrix(row, col);
    if (!edited.empty() && edited != Text2.tag() && !entry::dateValue(edited)) {
        platform::MsgBox(entry::BadGridDateMessage, platform::vbOKOnly);
        return RowDates::Refused;
    }
    const entry::Age age = entry::ageOf(tb.textMatrix(row, 5), tb.textMatrix(row, 6));
    switch (age.kind) {
    case entry::Age::Kind::Years:
        tb.setTextMatrix(row, 7, platform::CStr(age.years));
        return RowDates::Good;
    case entry::Age::Kind::BirthAfterDeath:
        platform::MsgBox(entry::BirthAfterDeathMessage, platform::vbOKOnly);
        return RowDates::Refused;
    case entry::Age::Kind::BirthInFuture:
        platform::MsgBox(entry::BadBirthMessage, platform::vbOKOnly);
        return RowDates::Stop;
    case entry::Age::Kind::None:
        break;
    }
    return RowDates::Good;
}

void EntryForm::Text2_LostFocus()
{
    if (Entry_CardView != 0)
        return;
    const int r = EditRow;
    Text2.setVisible(false);
    // The grid may have been refilled since the edit started.
    if (r < 1 || r >= tb.rows() || EditCol < 0 || EditCol >= tb.cols())
        return;
    tb.setTextMatrix(r, EditCol, Text2.text());

    if (EditCol == 5 || EditCol == 6) {
        const RowDates dates = checkRowDates(r, EditCol);
        if (dates == RowDates::Stop)
            return;
        if (dates == RowDates::Refused) {
            // A refused date stores nothing: the cell shows its text from before
            // the edit, which for a registered person is the stored date.
            tb.setTextMatrix(r, EditCol, Text2.tag());
            Text2.setText(Text2.tag());
            tb.setEditable(forms::flexEDNone);
            return;
        }
    }
    if (EditCol == 5 || EditCol == 6)
        CheckDateCell(r, EditCol);
    storeEditedCell(r, EditCol, RowAge::Stored);
}

void EntryForm::tb_ValidateEdit(int Row, int Col, int& Cancel)
{
    (void)Row;
    (void)Col;
    (void)Cancel;
    CheckDateCell(tb.row(), tb.col());
}

// ---------------------------------------------------------------- storing an edited cell

void EntryForm::tb_AfterEdit(int Row, int Col)
{
    storeEditedCell(Row, Col, RowAge::Left);
}

void EntryForm::storeEditedCell(int Row, int Col, RowAge rowAge)
{
    model::Tables& t = T();
    model::RunState& run = model::runState();
    if (Entry_CardView != 0)
        return;
    if (Row < 1 || Row >= tb.rows() || Col < 0 || Col >= tb.cols())
        return;
    if (run.Entry_EditMode == 0) {
        if (Col == 5 || Col == 6)
            tb.setTextMatrix(Row, Col, EditCellText);
        tb.setEditable(forms::flexEDNone);
        return;
    }

    if (run.YTbl_Open == -1)
        mainwindow::otherWindows().closeChronology();
    // A row without a person (never stored) has nothing to write back.
    const int slot = tb.rowData(Row);
    if (!isUsedPerson(slot)) {
        tb.setEditable(forms::flexEDNone);
        return;
    }
    run.Cur_PerIdx = static_cast<int16_t>(slot);
    // The cell goes into a copy of the record: only once it has passed its checks and
    // changed the person is the undo snapshot taken and the record written.
    model::personal_data& stored = t.per_buf[static_cast<size_t>(slot)];
    model::personal_data p = stored;
    const std::string cell = tb.textMatrix(Row, Col);

    switch (Col) {
    case 1:
    case 2:
        if (cell.empty()) {
            platform::MsgBox(entry::NameRequiredMessage, platform::vbOKOnly);
            tb.setTextMatrix(Row, Col, Col == 1 ? p.F_name : p.Name);
            if (Col == 1) {
                Text2.setVisible(false);
                tb.setFocus();
            }
            return;
        }
        [[fallthrough]];
    case 3:
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 15:
    case 16: {
        std::string* field = textField(p, Col);
        if (!model::acceptSavableText(cell)) {
            tb.setTextMatrix(Row, Col, *field);
            tb.setEditable(forms::flexEDNone);
            return;
        }
        *field = cell;
        break;
    }
    case 4:
        // A husband or wife keeps the sex the marriages were made with.
        if (model::Find_PersonMarry(slot) != -1)
            tb.setTextMatrix(Row, Col, p.Sex == 0 ? "男" : "女");
        else
            p.Sex = cell == "男" ? 0 : 1;
        break;
    case 5:
    case 6:
        (Col == 5 ? p.B_day : p.Death_day) = EditCellText;
        tb.setTextMatrix(Row, Col, EditCellText);
        break;
    case 7: {
        const std::string age = platform::Trim(cell);
        if (age.empty()) {
            p.Age = -1;
            break;
        }
        const std::optional<int16_t> years = integerAge(age);
        if (!years) {
            // More than an Integer holds: the stored age stays and the cell shows the old text.
            platform::MsgBox(entry::BadAgeMessage, platform::vbOKOnly);
            tb.setTextMatrix(Row, Col, Text2.tag());
            tb.setEditable(forms::flexEDNone);
            return;
        }
        if (*years < 0) {
            p.Age = -1;
            tb.setTextMatrix(Row, Col, "");
        } else {
            p.Age = *years;
        }
        break;
    }
    case 17:
        p.Disp.DS_Waku = cell == "-" ? 0 : 1;
        break;
    case 18:
        p.Disp.DS_DeathW = cell == "-" ? 0 : 1;
        break;
    case 19:
        p.CategoryF = cell == "-" ? -1 : 1;
        break;
    case 20:
        p.CsvOutFlag = cell == "-" ? 0 : 1;
        break;
    default:
        break;
    }
    // The age the row shows (its dates' age, which the cell editor's date check wrote
    // into the cell, or the stored one) goes with the edit; an edit of the age column
    // itself has stored its cell above.
    if (rowAge == RowAge::Stored && Col != 7) {
        const std::string age = platform::Trim(tb.textMatrix(Row, 7));
        if (!age.empty()) {
            if (const std::optional<int16_t> years = integerAge(age))
                p.Age = *years;
        }
    }
    if (!(p == stored)) {
        model::Save_Undo();
        stored = p;
        t.Data_Changed = 1;
        if (run.Ctrl_Open == 1)
            mainwindow::otherWindows().rebuildRelationLists();
    }
    tb.setEditable(forms::flexEDNone);
}

// ---------------------------------------------------------------- keys and mouse

void EntryForm::tb_KeyDown(int& KeyCode, int Shift)
{
    model::Tables& t = T();
    model::RunState& run = model::runState();
    const int last = tb.cols() - 1;
    const int lastShown = tb.rowData(0) >= 1 ? tb.rowData(0) : last;
    if (KeyCode == forms::vbKeyTab && (Shift & forms::vbShiftMask) != 0) {
        // Shift+Tab moves back along the row to the previous shown cell.
        int col = tb.col();
        if (col > 1) {
            --col;
            while (col > 1 && tb.colWidth(col) == 0)
                --col;
        }
        tb.setCol(col);
        if (tb.col() < tb.leftCol())
            tb.setLeftCol(tb.col());
        KeyCode = 0;
    } else if (KeyCode == forms::vbKeyTab) {
        int col = tb.col();
        if (col < last) {
            ++col;
            while (col < last && tb.colWidth(col) == 0)
                ++col;
        }
        tb.setCol(std::min(col, lastShown));
        // Scroll until the current column is no longer the rightmost one in view.
        for (int guard = 0; guard < last && tb.col() == tb.rightCol() && tb.col() < lastShown &&
                            tb.leftCol() < tb.col();
             ++guard) {
            const int before = tb.leftCol();
            tb.setLeftCol(before + 1);
            if (tb.leftCol() == before)
                break;
        }
        // The grid moves along the row itself; the key does not move the focus.
        KeyCode = 0;
    }
    if (tb.col() > tb.rightCol())
        tb.setCol(tb.rightCol());
    if (tb.colWidth(tb.col()) == 0)
        return;

    if (KeyCode == forms::vbKeyDelete && tb.col() != 4 && tb.row() >= 1 && tb.col() >= 1 && !tb.text().empty()) {
        // The header row is never emptied: only person cells are.
        tb.setText("");
        if (run.Entry_EditMode == 1) {
            EditCellText.clear();
            tb_AfterEdit(tb.row(), tb.col());
        }
    }
    if (KeyCode == forms::vbKeyInsert || KeyCode == forms::vbKeyF2) {
        startCellEdit();
        // The edit is the window's: the grid must not open an editor of its own as well.
        KeyCode = 0;
        return;
    }
    if (KeyCode == forms::vbKeyUp && run.Entry_EditMode == 0 && t.PerCount >= 1) {
        if (platform::MsgBox(entry::DiscardNewRowOnUpQuestion, platform::vbYesNo) == platform::vbYes) {
            dropPendingRow();
        } else {
            tb.setRow(tb.rows() - 1);
            startCellEdit();
            // The grid must not carry the key on: the reopened editor stays on the new row.
            KeyCode = 0;
        }
    }
}

void EntryForm::tb_MouseDown(int Button, int Shift, double X, double Y)
{
    (void)Button;
    (void)Shift;
    (void)X;
    (void)Y;
    model::RunState& run = model::runState();
    if (run.Entry_EditMode != 1)
        return;
    const int lastShown = tb.rowData(0);
    if (lastShown >= 1 && tb.col() > lastShown)
        tb.setCol(lastShown);
    const int r = tb.row();
    if (r > 0 && r < tb.rows()) {
        const int slot = tb.rowData(r);
        if (model::isPersonSlot(slot)) {
            run.Cur_PerIdx = static_cast<int16_t>(slot);
            CMDFUNC[2].setEnabled(true);
        }
    }
}

void EntryForm::tb_MouseUp(int Button, int Shift, double X, double Y)
{
    (void)Shift;
    (void)X;
    (void)Y;
    model::Tables& t = T();
    model::RunState& run = model::runState();
    const int mouseRow = tb.mouseRow();
    const int mouseCol = tb.mouseCol();
    const bool onShownColumn = mouseCol >= 1 && mouseCol < tb.cols() && tb.colWidth(mouseCol) > 0;
    if (tb.rows() >= 2 && t.PerCount == 0 && mouseRow >= 1 && onShownColumn)
        startCellEdit();
    if (tb.rows() < 2)
        return;

    if (run.Entry_EditMode == 1) {
        if (Button != forms::vbRightButton || !onShownColumn)
            return;
        if (mouseRow == 0) {
            tb.setCol(mouseCol);
            tb.setFocus();
            int flags = forms::vbPopupMenuRightButton;
            if (mouseCol == tb.cols() - 1)
                flags |= forms::vbPopupMenuRightAlign;
            popupMenu(sort, flags);
        } else if (mouseRow >= 1) {
            tb.setRow(mouseRow);
            tb.setCol(mouseCol);
            if (isListColumn(mouseCol))
                tb.setFocus();
            startCellEdit();
        }
        return;
    }
    if (Button != forms::vbLeftButton || t.PerCount < 1 || mouseRow < 0)
        return;
    const int newRow = tb.rows() - 1;
    if (mouseRow == newRow) {
        startCellEdit();
        return;
    }
    if (platform::MsgBox(entry::DiscardNewRowOnClickQuestion, platform::vbYesNo) == platform::vbYes) {
        if (tb.rows() <= 2) {
            tb.setRows(1);
            run.Cur_PerIdx = -1;
            return;
        }
        dropPendingRow();
    } else {
        tb.setRow(newRow);
        tb.setEditable(forms::flexEDKbdMouse);
        tb.setTopRow(newRow);
    }
}

void EntryForm::dropPendingRow()
{
    tb.setRows(tb.rows() - 1);
    tb.setRow(tb.rows() - 1);
    tb.setEditable(forms::flexEDNone);
    model::runState().Entry_EditMode = 1;
    CMDFUNC[0].setEnabled(true);
    CMDFUNC[2].setEnabled(true);
    // Existing rows are written back cell by cell: "登録" is offered only for a new row.
    CMDFUNC[1].setEnabled(false);
    CMDFUNC[1].setVisible(false);
}

void EntryForm::tb_RowColChange()
{
    if (m_fillingGrid)
        return;
    rowset();
    if (tb.colWidth(tb.col()) == 0) {
        Text2.setVisible(false);
        return;
    }
    if (tb.col() > tb.rightCol())
        tb.setCol(tb.rightCol());
}

void EntryForm::tb_HideEditor()
{
    Text2.setVisible(false);
}
