#pragma once
// The CSV export options window `CsvSet` ("CSV出力項目"): one check box per export
// column and the five export options. "決定" stores the choices and closes the
// window; "クリア" leaves only the two name columns ticked (nothing is stored yet);
// the close box keeps the stored choices as they were. The main window shows it
// modally before it asks for the export file:
//
//     csvset_form().show(forms::ShowMode::Modal);
//
// The CSV import's mapping window reads the captions of Check2 (loading the window
// without showing it).

#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Frame.h"
#include "forms/Label.h"

class CsvSetForm : public forms::Form {
public:
    CsvSetForm();

    // --- Controls ---

    forms::Label Label1{*this, "Label1"};   // "基本情報"
    forms::Label Label2{*this, "Label2"};   // "住所情報"
    forms::Label Label3{*this, "Label3"};   // "生没情報"
    // Check2(i) is export column i (1..19).
    forms::ControlArray<forms::CheckBox> Check2{
        *this, "Check2", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19}};
    forms::Frame Frame1{*this, "Frame1"};   // "CSV出力オプション"
    // ChkCsvOStat(0..4): CsvOpt_OneName, CsvOpt_CrLfEsc, CsvOpt_Quote,
    // CsvOpt_Seireki, CsvOpt_OutFlag.
    forms::ControlArray<forms::CheckBox> ChkCsvOStat{Frame1, "ChkCsvOStat", {0, 1, 2, 3, 4}};
    forms::CommandButton Command1{*this, "Command1"};   // "クリア"
    forms::CommandButton Command2{*this, "Command2"};   // "決定"

    // --- Event handlers ---

    void Form_Load() override;
    void Command1_Click();
    void Command2_Click();

protected:
    void design() override;
};

// The one instance of the window.
CsvSetForm& csvset_form();
