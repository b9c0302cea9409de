#pragma once
// The column-mapping window of the CSV import `csvinset` ("ＣＳＶインポート"): one
// CSV column at a time, the user picks the person field it goes to, or ticks
// "リストの中に項目がない" to leave it out. "次へ" on the last column ends the
// mapping; "ｷｬﾝｾﾙ" sets every column back to undecided (the import then adds
// nobody); the close box is refused. Shown modally by reports::CsvImport; it works
// on csvInState().

#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/ListBox.h"

#include <cstdint>

class CsvinsetForm : public forms::Form {
public:
    CsvinsetForm();

    // The current CSV column, 1..CsvInCount.
    int16_t CsvInPos = 1;

    // --- Controls ---

    forms::Label Label2{*this, "Label2"};   // "全項目数"
    forms::Label Label3{*this, "Label3"};   // the column count
    forms::Label Label4{*this, "Label4"};   // "現在の項目"
    forms::Label Label5{*this, "Label5"};   // the current column number
    forms::Label Label7{*this, "Label7"};   // "CSVより読込まれた内容"
    forms::Label Label1{*this, "Label1"};   // the current column's text
    forms::Label Label8{*this, "Label8"};   // "対応する項目"
    forms::Label Label6{*this, "Label6"};   // the current column's target
    forms::ListBox List1{*this, "List1"};   // the person fields, item data 1..19
    forms::CheckBox Check1{*this, "Check1"};
    forms::CommandButton Command1{*this, "Command1"};   // "戻る"
    forms::CommandButton Command2{*this, "Command2"};   // "次へ"
    forms::CommandButton Command3{*this, "Command3"};   // "ｷｬﾝｾﾙ"

    // --- Public operations ---

    // Fills the field list, sets every column undecided and goes to column 1.
    void InitCsvSetAll();
    // Shows the current column and its target.
    void DispGamen();

    // --- Event handlers ---

    void Form_Load() override;
    void Form_QueryUnload(int& Cancel, int UnloadMode) override;
    void List1_Click();
    void Check1_Click();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();

protected:
    void design() override;

private:
    // True while DispGamen fills the controls: the list and check-box handlers then
    // do nothing.
    bool m_busy = false;
};

// The one instance of the window.
CsvinsetForm& csvinset_form();
