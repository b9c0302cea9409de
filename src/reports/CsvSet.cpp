#include "reports/CsvSet.h"

#include "reports/reports_state.h"

#include <array>
#include <cstdint>

namespace {

// The export options in the order of the ChkCsvOStat boxes.
std::array<int16_t*, 5> exportOptions()
{
    reports::CsvSettings& s = reports::csvSettings();
    return {&s.CsvOpt_OneName, &s.CsvOpt_CrLfEsc, &s.CsvOpt_Quote, &s.CsvOpt_Seireki, &s.CsvOpt_OutFlag};
}

constexpr std::array<const char*, 5> OptionCaptions = {
    "苗字、名前を１つにする", "備考の改行を\\nに変換する", "「\"」で項目を区切る", "日付を西暦で出力する",
    "CSV出力フラグを有効にする"};

// Where each column's box sits: the group (0 basic, 1 address, 2 dates) and the row in it.
struct BoxPlace {
    int group;
    int row;
};
constexpr std::array<BoxPlace, reports::CsvLastColumn + 1> ColumnPlaces = {{
    {0, 0},                                          // unused
    {0, 0}, {0, 1}, {0, 2}, {0, 3},                  // 名字 名前 旧姓 男女
    {2, 0}, {2, 1}, {2, 2},                          // 生年月日 死亡年月日 年齢
    {1, 0}, {1, 1}, {1, 2}, {1, 3}, {1, 4}, {1, 5}, {1, 6}, // 〒 住所１ 住所２ 電話 FAX 携帯 E_mail
    {0, 4}, {0, 5}, {0, 6}, {0, 7}, {0, 8},          // 備考 グループ 続柄 結婚後の続柄 戒名
}};

constexpr double GroupLeft[] = {120, 2400, 4680};
constexpr double RowTop = 420;
constexpr double RowHeight = 300;
constexpr double BoxWidth = 2160;

} // namespace

CsvSetForm::CsvSetForm() : Form("CsvSet")
{
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
}

void CsvSetForm::design()
{
    setCaption("CSV出力項目");
    setBorderStyle(forms::vbFixedDialog);
    move(2400, 1800, 7140, 5700);

    Label1.move(GroupLeft[0], 120, BoxWidth, 255);
    Label1.setCaption("基本情報");
    Label2.move(GroupLeft[1], 120, BoxWidth, 255);
    Label2.setCaption("住所情報");
    Label3.move(GroupLeft[2], 120, BoxWidth, 255);
    Label3.setCaption("生没情報");
    for (int column = reports::CsvFirstColumn; column <= reports::CsvLastColumn; ++column) {
        const BoxPlace place = ColumnPlaces[column];
        Check2[column].move(GroupLeft[place.group], RowTop + place.row * RowHeight, BoxWidth, 255);
        Check2[column].setCaption(reports::CsvColumnCaptions[column]);
    }

    Frame1.move(120, 3240, 4440, 1920);
    Frame1.setCaption("CSV出力オプション");
    for (int k = 0; k < static_cast<int>(OptionCaptions.size()); ++k) {
        ChkCsvOStat[k].move(120, 270 + k * 315, 4200, 255);
        ChkCsvOStat[k].setCaption(OptionCaptions[k]);
    }
    ChkCsvOStat[4].setToolTipText("チェックすると、CSV出力フラグが設定されているデータだけ出力します");

    Command1.move(4800, 4320, 1035, 375);
    Command1.setCaption("クリア");
    Command2.move(4800, 4800, 1035, 375);
    Command2.setCaption("決定");
}

void CsvSetForm::Form_Load()
{
    zOrder(0);
    const auto& columns = reports::CsvOutCol();
    for (int column = reports::CsvFirstColumn; column <= reports::CsvLastColumn; ++column)
        Check2[column].setValue(columns[column] ? forms::vbChecked : forms::vbUnchecked);
    const auto options = exportOptions();
    for (int k = 0; k < static_cast<int>(options.size()); ++k)
        ChkCsvOStat[k].setValue(*options[k] != 0 ? forms::vbChecked : forms::vbUnchecked);
}

void CsvSetForm::Command1_Click()
{
    Check2[1].setValue(forms::vbChecked);
    Check2[2].setValue(forms::vbChecked);
    for (int column = 3; column <= reports::CsvLastColumn; ++column)
        Check2[column].setValue(forms::vbUnchecked);
}

void CsvSetForm::Command2_Click()
{
    auto& columns = reports::CsvOutCol();
    for (int column = reports::CsvFirstColumn; column <= reports::CsvLastColumn; ++column) {
        // A greyed box (set by code only) leaves its column as it was.
        const int value = Check2[column].value();
        if (value == forms::vbChecked)
            columns[column] = true;
        else if (value == forms::vbUnchecked)
            columns[column] = false;
    }
    const auto options = exportOptions();
    for (int k = 0; k < static_cast<int>(options.size()); ++k)
        *options[k] = ChkCsvOStat[k].value() != 0 ? 1 : 0;
    unload();
}

CsvSetForm& csvset_form()
{
    static CsvSetForm instance;
    return instance;
}
