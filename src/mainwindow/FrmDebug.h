#pragma once
// The debug settings window `DbgMenu` ("デバックメニュー"), opened only by the
// hidden Help menu item "デバック". It sets two values the person-box renderer
// reads for printer output: Dbg_Flag (frame every written character's area)
// and PWM_Value (margin factor between a person's frame and its text, 0..10).
// Neither is saved. The check box is stored by every way of closing; the
// margin only by "戻る", and only inside its range.

#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/TextBox.h"

class DbgMenuForm : public forms::Form {
public:
    DbgMenuForm();

    forms::Label Label1{*this, "Label1"};           // "人名枠と実印刷エリアとのマージン"
    forms::TextBox txtPWM{*this, "txtPWM"};
    forms::CheckBox Check1{*this, "Check1"};        // "印刷時に「文字印字エリア」を印刷する"
    forms::CommandButton Command1{*this, "Command1"}; // "戻る"

    void Form_Load() override;
    void Form_Unload(int& Cancel) override;
    void Command1_Click();

    // The controls from the stored values.
    void setmenu();

protected:
    void design() override;
};

// The one instance of the window.
DbgMenuForm& dbgmenu_form();
