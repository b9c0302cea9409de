#include "mainwindow/FrmDebug.h"

#include "model/run_state.h"
#include "model/settings.h"
#include "platform/Conversions.h"
#include "platform/Hooks.h"

namespace {

constexpr const char* RangeMessage = "設定範囲は0～10です";
constexpr double SmallestMargin = 0;
constexpr double LargestMargin = 10;

} // namespace

DbgMenuForm::DbgMenuForm() : Form("DbgMenu")
{
    Command1.onClick = [this] { Command1_Click(); };
}

void DbgMenuForm::design()
{
    setCaption("デバックメニュー");
    setBorderStyle(forms::vbFixedDialog);
    move(3600, 3000, 5400, 2400);
    Label1.move(120, 180, 3240, 255);
    Label1.setCaption("人名枠と実印刷エリアとのマージン");
    txtPWM.move(3480, 120, 1200, 330);
    // The margin takes a number, typed half-width.
    txtPWM.setIMEMode(forms::vbIMEOff);
    Check1.move(120, 660, 5000, 300);
    Check1.setCaption("印刷時に「文字印字エリア」を印刷する");
    Command1.move(3720, 1260, 1215, 420);
    Command1.setCaption("戻る");
}

void DbgMenuForm::Form_Load()
{
    setmenu();
}

void DbgMenuForm::setmenu()
{
    const model::RunState& run = model::runState();
    Check1.setValue(run.Dbg_Flag == 1 ? forms::vbChecked : forms::vbUnchecked);
    txtPWM.setText(platform::CStrDouble(run.PWM_Value));
}

void DbgMenuForm::Command1_Click()
{
    // A text that is no number is refused like one outside the range: the
    // renderer must never get a margin nobody typed.
    const std::string text = platform::Trim(txtPWM.text());
    const double value = platform::Val(text);
    if (!platform::IsNumeric(text) || value < SmallestMargin || value > LargestMargin) {
        platform::MsgBox(RangeMessage, platform::vbOKOnly);
        return;
    }
    model::runState().PWM_Value = value;
    unload();
}

void DbgMenuForm::Form_Unload(int& Cancel)
{
    (void)Cancel;
    model::runState().Dbg_Flag = Check1.value() == forms::vbChecked ? 1 : 0;
}

DbgMenuForm& dbgmenu_form()
{
    static DbgMenuForm instance;
    return instance;
}
