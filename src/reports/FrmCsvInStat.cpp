#include "reports/FrmCsvInStat.h"

#include "platform/Conversions.h"
#include "platform/Errors.h"
#include "platform/TextFile.h"
#include "reports/csv/CsvReader.h"
#include "reports/reports_state.h"

#include <array>
#include <vector>

namespace {

constexpr std::array<const char*, 4> SettingLabels = {"データの区切り記号１", "データの区切り記号２", "エスケープコード",
                                                      "改行コード"};

// The reader settings in the order of the text boxes.
std::array<std::string*, 4> readerSettings()
{
    reports::CsvSettings& s = reports::csvSettings();
    return {&s.CsvDelim, &s.CsvQuote, &s.CsvEscCode, &s.CsvLineCode};
}

} // namespace

FrmCsvInStatForm::FrmCsvInStatForm() : Form("FrmCsvInStat")
{
    Command1.onClick = [this] { Command1_Click(); };
    Command2.onClick = [this] { Command2_Click(); };
    Command3.onClick = [this] { Command3_Click(); };
}

void FrmCsvInStatForm::design()
{
    setCaption("CSV読込設定");
    setBorderStyle(forms::vbFixedDialog);
    move(2000, 1500, 7800, 6300);

    for (int k = 0; k < 4; ++k) {
        Label1[k].move(120, 180 + k * 420, 2160, 255);
        Label1[k].setCaption(SettingLabels[k]);
        Text1[k].move(2400, 120 + k * 420, 1200, 315);
        Text1[k].setTabIndex(k);
    }
    List1.move(120, 1920, 7440, 3240);
    List1.setFontName("ＭＳ ゴシック");

    Command1.move(3840, 120, 2160, 375);
    Command1.setCaption("条件設定＆再読込");
    Command2.move(3840, 5340, 1200, 375);
    Command2.setCaption("決定");
    Command3.move(5160, 5340, 1200, 375);
    Command3.setCaption("ｷｬﾝｾﾙ");
}

void FrmCsvInStatForm::Form_Load()
{
    m_accepted = false;
    UpDateText1();
    UpDateList1();
}

void FrmCsvInStatForm::UpDateText1()
{
    const auto settings = readerSettings();
    for (int k = 0; k < 4; ++k)
        Text1[k].setText(*settings[k]);
}

void FrmCsvInStatForm::UpDateCsvInStat()
{
    const auto settings = readerSettings();
    for (int k = 0; k < 4; ++k)
        *settings[k] = Text1[k].text();
}

void FrmCsvInStatForm::UpDateList1()
{
    std::vector<std::string> fields(reports::CsvInFieldCount);
    int lastIndex = -1;
    std::string failure;
    try {
        platform::TextInputFile file(CsvInPath, reports::CsvImportMaxBytes);
        int64_t position = 1;
        reports::ReadCsvRecord(file, position, fields, lastIndex);
        file.close();
    } catch (const platform::RuntimeError& e) {
        failure = e.description;
    }
    List1.clear();
    if (!failure.empty()) {
        List1.addItem(std::string(reports::CsvLoadErrorMessage) + ": " + failure);
        return;
    }
    for (int i = 0; i <= lastIndex; ++i)
        List1.addItem("項目" + platform::Format(i % 100, 2) + "|" + fields[static_cast<size_t>(i)]);
}

void FrmCsvInStatForm::Command1_Click()
{
    UpDateCsvInStat();
    UpDateText1();
    UpDateList1();
}

void FrmCsvInStatForm::Command2_Click()
{
    m_accepted = true;
    unload();
}

void FrmCsvInStatForm::Command3_Click()
{
    // Closing without "決定" ends the import: the close box does the same.
    m_accepted = false;
    unload();
}

FrmCsvInStatForm& frmcsvinstat_form()
{
    static FrmCsvInStatForm instance;
    return instance;
}
