// The command buttons CMDFUNC(0..7): new, register, delete, column chooser,
// back, previous, next and display options.

#include "entry/EntryForm.h"

#include "entry/EntryForm_p.h"
#include "entry/EntryRequests.h"
#include "entry/entry_state.h"

#include "forms/BusyPointer.h"
#include "forms/UnregisteredInput.h"
#include "mainwindow/OtherWindows.h"
#include "model/Lookups.h"
#include "model/PersonTable.h"
#include "document/Snapshots.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

using entry::T;

namespace {

using model::isUsedPerson;

// The chronology window shows the family as it was: an editing command closes it.
void closeChronologyWhenOpen()
{
    if (model::runState().YTbl_Open == -1)
        mainwindow::otherWindows().closeChronology();
}

} // namespace

void EntryForm::CMDFUNC_Click(int Index)
{
    model::RunState& run = model::runState();
    switch (Index) {
    case 0:
        // The new card or row replaces what is shown: typed input is settled first.
        if (!settleUnregisteredInput())
            return;
        CMDFUNC[2].setEnabled(false);
        newp();
        if (Entry_CardView != 0) {
            SetFocusNewInput();
        } else {
            setPanelTabStops(false, false);
            tb.setFocus();
        }
        break;
    case 1:
        registerPerson(AfterRegister::ShowNext);
        break;
    case 2:
        deletePerson();
        break;
    case 3:
        entry::entryRequests().showColumnChooser();
        break;
    case 4: {
        if (!settleUnregisteredInput())
            return;
        const forms::BusyPointer busy;
        run.Entry_Open = 0;
        hide();
        entry::entryRequests().rebuildChart();
        unload();
        break;
    }
    case 5:
    case 6:
        navigate(Index);
        break;
    case 7:
        run.DspOp_Person = run.Cur_PerIdx;
        if (run.Cur_PerIdx != -1)
            entry::entryRequests().showDisplayOptions(run.Cur_PerIdx);
        else
            platform::Beep();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- register

bool EntryForm::registerPerson(AfterRegister after)
{
    model::Tables& t = T();
    model::RunState& run = model::runState();
    const forms::BusyPointer busy;
    const bool cardView = Entry_CardView != 0;

    if (!cardView) {
        // Only the blank last row of a new person is registered here; existing
        // rows are written back cell by cell.
        if (run.Entry_EditMode != 0)
            return true;
        const int r = tb.rows() - 1;
        for (int col : {1, 2}) {
            if (tb.textMatrix(r, col).empty()) {
                platform::MsgBox(entry::NoNameInRowMessage, platform::vbOKOnly);
                tb.setFocus();
                tb.setLeftCol(1);
                tb.setRow(r);
                tb.setCol(col);
                return false;
            }
        }
    } else {
        // A card shown for a person that is gone (freed elsewhere) is stored as a
        // new person rather than lost.
        if (run.Entry_EditMode != 0 && !isUsedPerson(run.Cur_PerIdx))
            run.Entry_EditMode = 0;
        if (Text1[0].text().empty() || Text1[1].text().empty()) {
            platform::MsgBox(entry::NoNameOnCardMessage, platform::vbOKOnly);
            if (Text1[0].text().empty())
                Text1[0].setFocus();
            if (Text1[1].text().empty())
                Text1[1].setFocus();
            return false;
        }
        SetFocusNewInput();
    }
    if (!checkBeforeStore())
        return false;

    if (cardView)
        scritem[1].setEnabled(true);
    closeChronologyWhenOpen();
    model::Save_Undo();
    const bool newPerson = run.Entry_EditMode == 0;
    const int16_t shownPerson = run.Cur_PerIdx;
    const bool memoStored = StorePerBuf();
    t.Data_Changed = 1;
    const int16_t storedPerson = run.Cur_PerIdx;

    tb.setRedraw(false);
    tablein();
    tb.setRedraw(true);
    if (!memoStored) {
        // The card stays with the person, his recording waiting and still input to
        // register: the next register stores it, and leaving the card asks first.
        // A new person's card becomes his card.
        if (newPerson)
            showStoredPerson(storedPerson);
        run.Cur_PerIdx = storedPerson;
        cmdvoice.setTag("1");
    } else if (cardView && newPerson) {
        // The refill starts the next new card empty; the postal code carries over to it.
        Text1[6].setText(Keep_YubinNo);
    } else if (cardView) {
        // The refill's sort may have put another person on the grid's current row:
        // the card's person stays the current one.
        run.Cur_PerIdx = shownPerson;
    }
    // What the card shows now is stored, but for a recording left waiting.
    if (cardView)
        markCardShown();
    if (!memoStored)
        --m_shownCard.recordings;

    if (run.Entry_EditMode == 0)
        Label2[0].setCaption("");
    Label2[1].setCaption(platform::CStr(t.PerCount));

    if (!cardView) {
        tb.setFocus();
        tb.setRow(tb.rows() - 1);
        CMDFUNC[3].setEnabled(true);
        scritem[0].setEnabled(true);
        CMDFUNC[0].setEnabled(false);
        run.Entry_EditMode = 0;
    } else {
        CMDFUNC[0].setEnabled(true);
    }
    if (run.Ctrl_Open == 1)
        mainwindow::otherWindows().rebuildRelationLists();
    if (!memoStored)
        return false;

    if (cardView && run.Entry_EditMode == 1 && after == AfterRegister::ShowNext) {
        if (CMDFUNC[6].isEnabled()) {
            CMDFUNC_Click(6);
        } else if (tb.rows() > 1) {
            // The first row's person becomes the current one, so that the next
            // register writes to the person shown.
            int first = tb.rowData(1);
            entryset(first);
            if (isUsedPerson(first))
                run.Cur_PerIdx = static_cast<int16_t>(first);
        }
    }
    return true;
}

// ---------------------------------------------------------------- delete

void EntryForm::deletePerson()
{
    model::Tables& t = T();
    model::RunState& run = model::runState();
    const bool cardView = Entry_CardView != 0;

    // The table view deletes the person of the row the user sees; a row
    // without a person (the blank new row) deletes nobody.
    if (!cardView && tb.row() >= 1 && tb.row() < tb.rows() && tb.rowData(tb.row()) > 0)
        run.Cur_PerIdx = static_cast<int16_t>(tb.rowData(tb.row()));
    const bool personShown = cardView || (tb.row() >= 1 && tb.row() < tb.rows() && tb.rowData(tb.row()) > 0);
    if (!personShown || !isUsedPerson(run.Cur_PerIdx)) {
        platform::Beep();
        return;
    }

    const auto inMarriage = [&run] {
        if (model::Get_PersonKou(run.Cur_PerIdx) == -1)
            return false;
        platform::MsgBox(entry::PersonInMarriageMessage, platform::vbOKOnly);
        return true;
    };
    if (inMarriage())
        return;
    // Another window whose unregistered input names the person (the relationship
    // editor's partner fields or children list) settles it first, as for every
    // command; a registration there makes him part of a marriage, and he stays.
    const int16_t doomed = run.Cur_PerIdx;
    if (!mainwindow::otherWindows().settleWindowsHolding(doomed))
        return;
    run.Cur_PerIdx = doomed;
    if (inMarriage())
        return;
    const std::string question =
        cardView ? entry::DeleteCardQuestion : entry::DeleteRowQuestion + platform::CStr(tb.row());
    if (platform::MsgBox(question, platform::vbYesNo) == platform::vbNo) {
        tb.setFocus();
        return;
    }
    closeChronologyWhenOpen();

    model::Save_Undo();
    // Every window lets go of him: nothing shown keeps naming the slot a later
    // person takes.
    model::freePerson(run.Cur_PerIdx);
    if (run.Ctrl_Open == 1)
        mainwindow::otherWindows().rebuildRelationLists();

    if (t.PerCount == 0) {
        run.Entry_EditMode = 0;
        CMDFUNC[2].setEnabled(false);
        run.Cur_PerIdx = -1;
    }
    Label2[1].setCaption(platform::CStr(t.PerCount));
    t.Data_Changed = 1;

    if (tb.row() >= 2)
        tb.setRow(tb.row() - 1);
    tablein();
    if (!cardView) {
        tb.setFocus();
        return;
    }
    if (run.Cur_PerIdx != -1 && tb.row() >= 1) {
        int shown = tb.rowData(tb.row());
        entryset(shown);
        run.Cur_PerIdx = static_cast<int16_t>(shown);
    }
    SetFocusNewInput();
}

// ---------------------------------------------------------------- previous and next

void EntryForm::navigate(int Index)
{
    if (!settleUnregisteredInput())
        return;
    model::RunState& run = model::runState();
    entry::EntryState& state = entry::entryState();
    if (state.Voice_Busy == 1) {
        state.Voice_Busy = 0;
        entry::entryRequests().closeVoiceMemo();
    }
    const int last = tb.rows() - 1;
    // Row 0 is the header row: its row data is no person.
    int target = 0;
    if (run.Entry_EditMode != 0) {
        const int r = getrow(run.Cur_PerIdx);
        target = Index == 5 ? r - 1 : r + 1;
    } else {
        target = last;
    }
    if (target >= 1 && target <= last)
        run.Cur_PerIdx = static_cast<int16_t>(tb.rowData(target));
    else if (Index == 5)
        run.Cur_PerIdx = 1;

    if (run.Cur_PerIdx > 0) {
        int shown = run.Cur_PerIdx;
        entryset(shown);
        run.Cur_PerIdx = static_cast<int16_t>(shown);
    }
    const int r = getrow(run.Cur_PerIdx);
    if (Index == 5 && r < 2)
        CMDFUNC[5].setEnabled(false);
    if (Index == 6 && r >= tb.rows() - 1)
        CMDFUNC[6].setEnabled(false);
    SetFocusNewInput();
}

// ---------------------------------------------------------------- leaving unregistered input

bool EntryForm::settleUnregisteredInputFor(int person)
{
    if (!isLoaded())
        return true;
    if (Entry_CardView == 0) {
        // A cell of the person's row being edited: its edit ends, and its text reaches
        // the person before the change. Rows are written cell by cell, so nothing
        // else of the table view can hold input for him.
        if (Text2.isVisible() && tb.row() >= 1 && tb.row() < tb.rows() &&
            (person == -1 || tb.rowData(tb.row()) == person))
            tb.setFocus();
        return true;
    }
    if (m_shownEditMode == 0 || (person != -1 && m_shownPerson != person) || !hasUnregisteredInput())
        return true;
    if (!settleUnregisteredInput())
        return false;
    // いいえ: the typed input goes, and the card shows the person as stored.
    if (hasUnregisteredInput())
        showStoredPerson(m_shownPerson);
    return true;
}

void EntryForm::showChangedPerson(int person)
{
    if (!isLoaded() || Entry_CardView == 0 || m_shownEditMode == 0 || (person != -1 && m_shownPerson != person) ||
        !model::isUsedPerson(m_shownPerson) || hasUnregisteredInput())
        return;
    showStoredPerson(m_shownPerson);
}

void EntryForm::showStoredPerson(int person)
{
    int shown = person;
    entryset(shown);
    model::runState().Cur_PerIdx = static_cast<int16_t>(shown);
}

bool EntryForm::settleUnregisteredInput()
{
    if (!isLoaded())
        return true;
    const bool cardView = Entry_CardView != 0;
    // An open cell editor ends its edit first, so that its text is in its cell.
    if (!cardView && Text2.isVisible())
        tb.setFocus();
    if (!hasUnregisteredInput())
        return true;
    model::RunState& run = model::runState();
    // The main window may have made another person current before it asked: the
    // card is registered for, or stays with, the person it shows.
    const int16_t requestedPerson = run.Cur_PerIdx;
    const int16_t requestedMode = run.Entry_EditMode;
    if (cardView) {
        run.Cur_PerIdx = m_shownPerson;
        run.Entry_EditMode = m_shownEditMode;
    }
    const bool settled = forms::settleUnregisteredInput([this] { return registerPerson(AfterRegister::Stay); },
                                                        [this, cardView] {
                                                            if (!cardView)
                                                                dropPendingRow();
                                                        });
    if (!settled) {
        if (!cardView)
            tb.setFocus();
        return false;
    }
    if (cardView) {
        run.Cur_PerIdx = requestedPerson;
        run.Entry_EditMode = requestedMode;
    }
    return true;
}
