#include "reports/csvinset.h"

#include "platform/Conversions.h"
#include "platform/Hooks.h"
#include "reports/reports_state.h"

namespace {

constexpr const char* NotSetText = "設定されていません";
constexpr const char* NotImportedText = "この項目はCSV取込を行いません";

reports::CsvInItem& currentRow(int position)
{
    return reports::csvInState().csvin_tbl[static_cast<size_t>(position)];
}

} // namespace

CsvinsetForm::CsvinsetForm() : Form("csvinset")
{
    List1.onClick = [this] { List1_Click(); };
    Check1.onClick = [this] { Check1_Click(); };
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
}

void CsvinsetForm::design()
{
    setCaption("ＣＳＶインポート");
    setBorderStyle(forms::vbFixedDialog);
    move(2200, 1600, 7680, 5700);

    Label2.move(120, 120, 1200, 255);
    Label2.setCaption("全項目数");
    Label3.move(1440, 120, 720, 255);
    Label4.move(2400, 120, 1200, 255);
    Label4.setCaption("現在の項目");
    Label5.move(3720, 120, 720, 255);
    Label7.move(120, 540, 3600, 255);
    Label7.setCaption("CSVより読込まれた内容");
    Label1.move(120, 840, 3600, 1200);
    Label1.setBorderStyle(1);
    Label8.move(120, 2220, 3600, 255);
    Label8.setCaption("対応する項目");
    Label6.move(120, 2520, 3600, 315);
    Label6.setBorderStyle(1);
    List1.move(3960, 540, 3480, 3720);
    Check1.move(120, 3000, 3600, 315);
    Check1.setCaption("リストの中に項目がない");

    Command1.move(2280, 4680, 1215, 375);
    Command1.setCaption("戻る");
    Command2.move(3720, 4680, 1215, 375);
    Command2.setCaption("次へ");
    Command3.move(5160, 4680, 1215, 375);
    Command3.setCaption("ｷｬﾝｾﾙ");
}

void CsvinsetForm::Form_Load()
{
    InitCsvSetAll();
    DispGamen();
}

void CsvinsetForm::Form_QueryUnload(int& Cancel, int UnloadMode)
{
    // The mapping ends through "次へ" on the last column or "ｷｬﾝｾﾙ" only.
    if (UnloadMode == forms::vbFormControlMenu)
        Cancel = 1;
}

void CsvinsetForm::InitCsvSetAll()
{
    List1.clear();
    for (int field = reports::CsvFirstColumn; field <= reports::CsvLastColumn; ++field) {
        List1.addItem(reports::CsvColumnCaptions[field]);
        List1.setItemData(List1.newIndex(), field);
    }
    for (reports::CsvInItem& item : reports::csvInState().csvin_tbl) {
        item.SetIdx = -1;
        item.Data.clear();
    }
    CsvInPos = 1;
    Label3.setCaption(platform::CStr(reports::csvInState().CsvInCount));
    Command2.setEnabled(false);
    Command3.setEnabled(true);
    m_busy = false;
}

void CsvinsetForm::DispGamen()
{
    m_busy = true;
    const reports::CsvInItem& row = currentRow(CsvInPos);
    Label1.setCaption(row.Title);
    Label5.setCaption(platform::CStr(CsvInPos));
    if (row.SetIdx == -1) {
        Label6.setCaption(NotSetText);
        List1.setListIndex(-1);
        Check1.setValue(forms::vbUnchecked);
        Command2.setEnabled(false);
    } else if (row.SetIdx == 0) {
        Label6.setCaption(NotImportedText);
        Check1.setValue(forms::vbChecked);
        Command2.setEnabled(true);
    } else {
        Label6.setCaption(row.Data);
        Check1.setValue(forms::vbUnchecked);
        Command2.setEnabled(true);
        List1.setListIndex(row.SetIdx - 1);
    }
    m_busy = false;
}

void CsvinsetForm::List1_Click()
{
    if (m_busy || List1.listIndex() < 0)
        return;
    const int entry = List1.listIndex();
    const int field = List1.itemData(entry);
    reports::CsvInState& state = reports::csvInState();
    for (int i = 1; i <= state.CsvInCount; ++i) {
        if (i == CsvInPos || state.csvin_tbl[i].SetIdx != field)
            continue;
        if (platform::MsgBox(reports::CsvDuplicateFieldQuestion, platform::vbYesNo) != platform::vbYes) {
            // Nothing changes: the list shows the current column's own target again.
            DispGamen();
            return;
        }
        state.csvin_tbl[i].SetIdx = 0;
    }
    reports::CsvInItem& row = currentRow(CsvInPos);
    Label6.setCaption(List1.list(entry));
    row.Data = List1.list(entry);
    Command2.setEnabled(true);
    row.SetIdx = static_cast<int16_t>(field);
    DispGamen();
}

void CsvinsetForm::Check1_Click()
{
    if (m_busy)
        return;
    reports::CsvInItem& row = currentRow(CsvInPos);
    if (Check1.value() == forms::vbChecked) {
        row.SetIdx = 0;
        DispGamen();
        Command2.setEnabled(true);
    } else {
        row.SetIdx = -1;
        DispGamen();
        Command2.setEnabled(false);
    }
}

void CsvinsetForm::Command1_Click()
{
    if (CsvInPos <= 1) {
        Command1.setEnabled(false);
        return;
    }
    --CsvInPos;
    DispGamen();
}

void CsvinsetForm::Command2_Click()
{
    if (CsvInPos >= reports::csvInState().CsvInCount) {
        unload();
        return;
    }
    Command1.setEnabled(true);
    ++CsvInPos;
    DispGamen();
}

void CsvinsetForm::Command3_Click()
{
    InitCsvSetAll();
    unload();
}

CsvinsetForm& csvinset_form()
{
    static CsvinsetForm instance;
    return instance;
}
