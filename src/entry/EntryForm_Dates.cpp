// Field and date input checking of the panel: Enter moves, refused keys, input
// methods, the birth and death dates checked and rewritten in the current date
// display form, the age computed from them, the remarks limit, the date
// display mode menu and the grid's date cells.

#include "entry/EntryForm.h"

#include "entry/DateValue.h"
#include "entry/EntryForm_p.h"

#include "forms/BusyPointer.h"
#include "document/Snapshots.h"
#include "model/era/EraDates.h"
#include "model/era/Nengo.h"
#include "model/run_state.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

#include <optional>

namespace {

using entry::BadBirthMessage;
using entry::BirthAfterDeathMessage;
constexpr const char* BadBirthOnFocusMessage = "生年月日が不正です。";
constexpr const char* BadDateMessage = "日付入力が不正です";
constexpr const char* BadDateCellMessage = " : 日付データが不正です";

constexpr long WhiteColour = 0xFFFFFFL;
constexpr long GreyColour = 0xC0C0C0L;

// The input method of a date box in a display form.
int dateImeMode(int32_t dispmode)
{
    switch (dispmode) {
    case 0:
        return forms::vbIMEDisable;
    case 2:
        return forms::vbIMEAlphaFull;
    default:
        return forms::vbIMEHiragana;
    }
}

} // namespace

namespace entry {

std::optional<double> dateValue(const std::string& text)
{
    model::DatePeriod period;
    if (!model::Read_DatePeriod(text, period) || period.first > platform::Int(platform::Date()))
        return std::nullopt;
    return period.first;
}

int completedYears(double birth, double on)
{
    const int years = platform::Year(on) - platform::Year(birth);
    // DateSerial carries 29 February into 1 March of a year without that day.
    const double birthday = platform::DateSerial(platform::Year(on), platform::Month(birth), platform::Day(birth));
    return on < birthday ? years - 1 : years;
}

Age ageOf(const std::string& birth, const std::string& death)
{
    Age age;
    if (birth.empty())
        return age;
    std::optional<double> end;
    if (!death.empty()) {
        end = dateValue(death);
        if (!end)
            return age;
    }
    const std::optional<double> b = dateValue(birth);
    if (!b)
        return age;
    if (end && *b > *end) {
        age.kind = Age::Kind::BirthAfterDeath;
        return age;
    }
    const int years = completedYears(*b, end ? *end : platform::Date());
    if (years < 0) {
        age.kind = Age::Kind::BirthInFuture;
        return age;
    }
    age.kind = Age::Kind::Years;
    age.years = years;
    return age;
}

std::string ageText(const Age& fromDates, int16_t stored)
{
    if (fromDates.kind == Age::Kind::Years)
        return platform::CStr(fromDates.years);
    return stored < 0 ? std::string() : platform::CStr(stored);
}

} // namespace entry

using entry::dateValue;

std::string EntryForm::Calc_Age(const std::string& birth, const std::string& death)
{
    Text1[5].setText("");
    const entry::Age age = entry::ageOf(birth, death);
    switch (age.kind) {
    case entry::Age::Kind::Years:
        return platform::CStr(age.years);
    case entry::Age::Kind::BirthAfterDeath:
        platform::MsgBox(BirthAfterDeathMessage, platform::vbOKOnly);
        return {};
    case entry::Age::Kind::BirthInFuture:
        platform::MsgBox(BadBirthMessage, platform::vbOKOnly);
        return {};
    case entry::Age::Kind::None:
        break;
    }
    return {};
}

void EntryForm::SetFocusNewInput()
{
    Text1[0].setFocus();
}

// ---------------------------------------------------------------- panel fields

void EntryForm::Text1_GotFocus(int Index)
{
    switch (Index) {
    case 3:
    case 4:
        Text1[Index].setIMEMode(dateImeMode(model::settings().Dispmode_Nengo));
        break;
    case 5:
    case 6:
    case 9:
    case 10:
    case 11:
    case 12:
        Text1[Index].setIMEMode(forms::vbIMEDisable);
        break;
    default:
        Text1[Index].setIMEMode(forms::vbIMEHiragana);
        break;
    }
    if ((Index == 0 || Index == 1) && !Text1[Index].text().empty()) {
        Text1[Index].setSelStart(0);
        Text1[Index].setSelLength(static_cast<int>(platform::Len(Text1[Index].text())));
    }
    if (Index == 5)
        refreshAge(AgeRefresh::OnFocus, -1);
}

void EntryForm::Text1_KeyPress(int Index, int16_t& KeyAscii)
{
    if (KeyAscii == 13) {
        switch (Index) {
        case 0:
            Text1[1].setFocus();
            break;
        case 1:
            Text1[2].setFocus();
            break;
        case 2:
            // A partner's sex buttons are hidden: the order goes on with the label.
            if (!Option1[0].isVisible())
                Text1[14].setFocus();
            else if (Option1[0].value())
                Option1[0].setFocus();
            else
                Option1[1].setFocus();
            break;
        case 14:
            Text1[15].setFocus();
            break;
        case 15:
            Text1[3].setFocus();
            break;
        case 16:
            Text1[0].setFocus();
            break;
        case 12:
        case 13:
            Text1[13].setFocus();
            break;
        default:
            if (Index >= 3 && Index <= 11)
                Text1[Index + 1].setFocus();
            break;
        }
    }
    // The postal code; the age and the three telephone numbers.
    if (Index == 6)
        (void)entry::refuseKey(entry::KeyFilter::PostalCode, KeyAscii);
    else if (Index == 5 || (Index >= 9 && Index <= 11))
        (void)entry::refuseKey(entry::KeyFilter::Number, KeyAscii);
}

void EntryForm::Text1_LostFocus(int Index)
{
    if (Index == 3 || Index == 4) {
        forms::TextBox& box = Text1[Index];
        const std::string text = platform::Trim(box.text());
        box.setText(text);
        if (text.empty())
            return;
        std::string normalised;
        if (model::Conv_InputDate(text, normalised) == -1) {
            // Only what the user typed is judged: a stored text that is no date
            // ("不詳", "明治頃") passes through the box unchanged.
            const std::string stored = storedCardDate(Index);
            if (text == stored)
                return;
            if (Entry_CardView == 0) {
                // Back to the card view, where the box is. The view is marked first,
                // so that the tab's own handler finds the switch done.
                frm1[0].zOrder(0);
                Entry_CardView = -1;
                setPanelTabStops(true, false);
                Tab1.tabs().item(1).setSelected(true);
                CMDFUNC[3].setEnabled(false);
                CMDFUNC[1].setEnabled(true);
            }
            platform::MsgBox(BadDateMessage, platform::vbOKOnly);
            box.setText(stored);
            box.setFocus();
            return;
        }
        box.setText(normalised);
        refreshAge(AgeRefresh::AfterTyping, Index);
        return;
    }
    if (Index == 5) {
        const std::string text = Text1[5].text();
        if (text.empty())
            return;
        const double value = platform::Val(text);
        Text1[5].setText(value >= 0 ? platform::CStrDouble(value) : "");
        return;
    }
    if (Index == 13 && platform::Len(Text1[13].text()) > entry::MaxBikoLength) {
        platform::MsgBox(entry::BikoTooLongMessage, platform::vbOKOnly);
        Text1[13].setFocus();
    }
}

std::string EntryForm::storedCardDate(int Index) const
{
    const model::Tables& t = model::tables();
    model::RunState& run = model::runState();
    if (run.Entry_EditMode == 0 || !model::isSlot(run.Cur_PerIdx))
        return {};
    const model::personal_data& p = t.per_buf[static_cast<size_t>(run.Cur_PerIdx)];
    if (p.InUse != model::SlotUsed)
        return {};
    return Index == 3 ? p.B_day : p.Death_day;
}

void EntryForm::showAgeKind()
{
    const bool dead = !Text1[4].text().empty();
    Label1[5].setCaption(dead ? "死亡年令" : "年令");
    Text1[5].setBackColor(dead ? GreyColour : WhiteColour);
}

void EntryForm::refreshAge(AgeRefresh when, int typedBox)
{
    const std::string birth = Text1[3].text();
    const std::string death = Text1[4].text();
    showAgeKind();
    const entry::Age age = entry::ageOf(birth, death);
    if (age.kind == entry::Age::Kind::Years) {
        Text1[5].setText(platform::CStr(age.years));
        return;
    }
    if (age.kind == entry::Age::Kind::BirthInFuture) {
        platform::MsgBox(when == AgeRefresh::OnFocus ? BadBirthOnFocusMessage : BadBirthMessage, platform::vbOKOnly);
        return;
    }
    if (age.kind != entry::Age::Kind::BirthAfterDeath)
        return;
    platform::MsgBox(BirthAfterDeathMessage, platform::vbOKOnly);
    // The date just typed is refused and the stored one comes back; the other
    // date is never erased for it.
    if (when == AgeRefresh::AfterTyping) {
        Text1[5].setText("");
        Text1[typedBox].setText(storedCardDate(typedBox));
    }
}

// ---------------------------------------------------------------- date display mode

void EntryForm::calend_Click(int Index)
{
    model::Tables& t = model::tables();
    model::Settings& s = model::settings();
    // Without the era table no date can be read in era form, and a switch would
    // leave the dates in a form that cannot be turned back.
    if (model::nengo_tbl.empty()) {
        platform::MsgBox(entry::NoEraTableMessage, platform::vbOKOnly);
        return;
    }
    // The hourglass until the dates are rewritten; the count of kept dates comes after.
    std::optional<forms::BusyPointer> busy(std::in_place);
    if (Index >= 0 && Index <= 2) {
        (void)model::Save_Undo();
        s.Dispmode_Nengo = Index;
        t.Data_Changed = 1;
    }

    // Only dates that convert exactly are rewritten: "不詳", "1950年頃" and a year
    // that has no text of the same days in the new form ("1989" in an era form,
    // "平成元年" in the western one) are kept as written, and one message counts them.
    int kept = 0;
    if (t.PerCount >= 1) {
        for (int r = 1; r < tb.rows(); ++r) {
            const int slot = tb.rowData(r);
            if (!model::isTakenPerson(slot))
                continue;
            model::personal_data& p = t.per_buf[static_cast<size_t>(slot)];
            model::rewriteDateExactly(p.B_day, kept);
            model::rewriteDateExactly(p.Death_day, kept);
        }
    }

    for (int i = 0; i <= 2; ++i)
        calend[i].setChecked(i == Index);
    const int ime = s.Dispmode_Nengo == 0 ? forms::vbIMEDisable : forms::vbIMEHiragana;
    Text1[3].setIMEMode(ime);
    Text1[4].setIMEMode(ime);

    if (Entry_CardView == -1) {
        for (int index : {3, 4}) {
            const std::string shown = Text1[index].text();
            std::string date = shown;
            int keptOnCard = 0;
            model::rewriteDateExactly(date, keptOnCard);
            Text1[index].setText(date);
            // The shown person's stored date was counted with the records; a date
            // typed on the card (or a new person's) is counted here.
            if (shown != storedCardDate(index))
                kept += keptOnCard;
            // The card as it was filled takes the new form too: the switch is
            // nothing the user typed.
            int keptInFill = 0;
            model::rewriteDateExactly(m_shownCard.texts[static_cast<size_t>(index)], keptInFill);
        }
    } else if (model::runState().Entry_EditMode != 0) {
        tb.setRedraw(false);
        tablein();
        tb.setRedraw(true);
    }
    busy.reset();
    if (kept > 0)
        platform::MsgBox(model::keptDatesMessage(kept), platform::vbOKOnly);
}

// ---------------------------------------------------------------- grid cells

void EntryForm::CheckDateCell(int Row, int Col)
{
    const std::string text = Text2.text();
    if (Col == 7) {
        const double value = platform::Val(text);
        if (value == 0) {
            tb.setTextMatrix(Row, Col, "");
            EditCellText.clear();
            return;
        }
        EditCellText = platform::CStrDouble(value);
        tb.setTextMatrix(Row, Col, EditCellText);
        return;
    }
    if (Col != 5 && Col != 6)
        return;
    if (text.empty()) {
        EditCellText.clear();
        return;
    }
    std::string normalised;
    if (model::Conv_InputDate(text, normalised) != -1) {
        tb.setTextMatrix(Row, Col, normalised);
        EditCellText = normalised;
        return;
    }
    // A cell left as it was keeps its text ("不詳", "明治10年頃"): only what the
    // user typed is judged.
    if (text == Text2.tag()) {
        EditCellText = text;
        return;
    }
    platform::MsgBox("項目" + platform::CStr(tb.row()) + BadDateCellMessage, platform::vbOKOnly);
    // The refused text is not kept and the date from before the edit stays.
    tb.setTextMatrix(Row, Col, Text2.tag());
    Text2.setText(Text2.tag());
    EditCellText = Text2.tag();
}
