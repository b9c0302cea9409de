#pragma once
// The read-settings window of the CSV import `FrmCsvInStat` ("CSV読込設定"): the
// four reader settings (delimiter, quote, escape character, line-break code) and a
// preview of the file's first record read with them. "条件設定＆再読込" takes the
// boxes over into the settings and reads the preview again; "決定" closes the
// window and lets the import go on; "ｷｬﾝｾﾙ" and the close box end the import
// before anything is read. Shown modally by reports::CsvImport after it has set
// CsvInPath.

#include "forms/CommandButton.h"
#include "forms/ControlArray.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ListBox.h"
#include "forms/TextBox.h"

#include <string>

class FrmCsvInStatForm : public forms::Form {
public:
    FrmCsvInStatForm();

    // The file being imported; set before the window loads.
    std::string CsvInPath;

    // True once "決定" closed the window: the import may go on. Every load clears it.
    bool isAccepted() const { return m_accepted; }

    // --- Controls ---

    // Label1(k) names Text1(k): delimiter, quote, escape character, line-break code.
    forms::ControlArray<forms::Label> Label1{*this, "Label1", {0, 1, 2, 3}};
    forms::ControlArray<forms::TextBox> Text1{*this, "Text1", {0, 1, 2, 3}};
    forms::ListBox List1{*this, "List1"};
    forms::CommandButton Command1{*this, "Command1"};   // "条件設定＆再読込"
    forms::CommandButton Command2{*this, "Command2"};   // "決定"
    forms::CommandButton Command3{*this, "Command3"};   // "ｷｬﾝｾﾙ"

    // --- Public operations ---

    // Shows CsvDelim, CsvQuote, CsvEscCode and CsvLineCode in Text1(0..3).
    void UpDateText1();
    // Copies Text1(0..3) back into the four reader settings, untrimmed.
    void UpDateCsvInStat();
    // Reads the first record of CsvInPath and lists its fields as "項目NN|text".
    // A file that cannot be read lists one line with the reason instead.
    void UpDateList1();

    // --- Event handlers ---

    void Form_Load() override;
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    void design() override;

private:
    bool m_accepted = false;
};

// The one instance of the window.
FrmCsvInStatForm& frmcsvinstat_form();
