#include "printing/FrmPrnSet.h"

#include "forms/Printer.h"
#include "forms/Printers.h"
#include "printing/printing_state.h"

#include "platform/Errors.h"

namespace printing {

FrmPrnSetForm::FrmPrnSetForm()
    : Form("frmPrnSet"), m_printers([this] {
          if (isLoaded())
              fillPrinterList();
      })
{
    Combo1.onClick = [this] { Combo1_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void FrmPrnSetForm::design()
{
    setCaption(PrnSetCaption);
    setBorderStyle(forms::vbFixedDialog);
    move(0, 0, 5400, 1900);
    Combo1.setStyle(forms::vbComboDropdownList);
    Combo1.move(240, 240, 4800, 300);
    Command1.move(240, 840, 1800, 420);
    Command1.setCaption("詳細設定");
    Command1.setToolTipText("用紙方向や用紙サイズを設定します");
    Command2.move(3240, 840, 1800, 420);
    Command2.setCaption("決定");
    Command2.setToolTipText("利用するプリンタを決定します");
}

void FrmPrnSetForm::Form_Load()
{
    // The printers as known, at once; the system's printers as it offers them now
    // follow when they arrive: one added or deleted since the window was last open
    // shows as it is.
    fillPrinterList();
    forms::refreshPrinters();
}

void FrmPrnSetForm::fillPrinterList()
{
    m_filling = true;
    Combo1.clear();
    const forms::PrinterCollection& list = forms::Printers();
    for (int i = 0; i < list.count(); ++i)
        Combo1.addItem(list.item(i).deviceName);
    // The box shows the current printer; showing it is not a choice.
    const std::string current = forms::currentPrinterName();
    m_unlistedCurrent = -1;
    m_unlistedName.clear();
    for (int i = 0; i < Combo1.listCount(); ++i) {
        if (Combo1.list(i) == current) {
            Combo1.setListIndex(i);
            break;
        }
    }
    // A current printer the list no longer holds stays current, named with why
    // it is not listed: printing to it says the same, and picking another
    // printer is one click.
    if (Combo1.listIndex() < 0) {
        const std::string why = list.whyNotListed(current);
        Combo1.addItem(why.empty() ? current : current + "（" + why + "）");
        m_unlistedCurrent = Combo1.listCount() - 1;
        m_unlistedName = current;
        Combo1.setListIndex(m_unlistedCurrent);
    }
    m_filling = false;
}

void FrmPrnSetForm::Combo1_Click()
{
    if (m_filling)
        return;
    // The entry of a printer that is not listed stands for that printer.
    if (m_unlistedCurrent >= 0 && Combo1.listIndex() == m_unlistedCurrent) {
        forms::setCurrentPrinter(m_unlistedName);
        return;
    }
    const std::string chosen = Combo1.text();
    // With equal names the last printer of the list wins; the printer object is
    // made once, for that one.
    bool found = false;
    for (const forms::PrinterInfo& info : forms::Printers().all()) {
        if (info.deviceName == chosen)
            found = true;
    }
    if (found)
        forms::setCurrentPrinter(chosen);
}

void FrmPrnSetForm::Command1_Click()
{
    const std::string name = m_unlistedCurrent >= 0 && Combo1.listIndex() == m_unlistedCurrent
                                 ? m_unlistedName
                                 : Combo1.text();
    // A failure of the properties dialog leaves the printer as it was.
    try {
        forms::showPrinterProperties(name, hWnd());
    } catch (const platform::RuntimeError&) {
    }
}

void FrmPrnSetForm::Command2_Click()
{
    unload();
}

FrmPrnSetForm& frmprnset_form()
{
    static FrmPrnSetForm form;
    return form;
}

} // namespace printing
