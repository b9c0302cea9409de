#pragma once
// The printer choice window `frmPrnSet` ("プリンタの選択"): lists the printers
// (as known when it opens, then as the system offers them once they arrive: they
// are asked for each time it opens; a current printer that is not among them is
// shown after them, named with why) and makes the one the user picks
// the program's current printer at once (there is no cancel); "詳細設定" opens
// the picked printer's properties dialog and "決定" closes the window. Shown
// modally by the main window's printer command, by the page-preview windows and
// by the chronology table:
//
//     frmprnset_form().show(forms::ShowMode::Modal);

#include "forms/ComboBox.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Printers.h"

#include <string>

namespace printing {

class FrmPrnSetForm : public forms::Form {
public:
    FrmPrnSetForm();

    forms::ComboBox Combo1{*this, "Combo1"};
    forms::CommandButton Command1{*this, "Command1"};
    forms::CommandButton Command2{*this, "Command2"};

    void Form_Load() override;
    void Combo1_Click();
    void Command1_Click();
    void Command2_Click();

protected:
    void design() override;

private:
    // The printers and the current one in the box.
    void fillPrinterList();

    bool m_filling = false;   // true while the list is filled
    // The entry that names the current printer when the list does not hold it
    // (-1: none).
    int m_unlistedCurrent = -1;
    std::string m_unlistedName;   // the printer that entry stands for
    forms::PrinterListFollower m_printers;   // refills the box when the list changes
};

FrmPrnSetForm& frmprnset_form();

} // namespace printing
