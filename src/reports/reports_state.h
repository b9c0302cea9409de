#pragma once
// Program-wide values of the reports: the CSV export columns and options, and the
// texts the CSV export and the name list show. The reader settings and the five
// export options live with the CSV reader (reports/csv/CsvReader.h, csvSettings()),
// because InitCsvParser resets both; the export columns belong to the family's
// run-time defaults (model::runState().CsvFactor), because InitAllSetting resets them.

#include "model/settings.h"
#include "model/run_state.h"
#include "reports/csv/CsvReader.h"

#include <array>
#include <cstdint>
#include <string>

namespace reports {

// Export columns 1..19 (entries 0 and 20 unused): true = the column is written.
constexpr int CsvFirstColumn = 1;
constexpr int CsvLastColumn = 19;
inline std::array<bool, model::FactorCount>& CsvOutCol() { return model::runState().CsvFactor; }

// The captions of the export columns, index = column number (entry 0 unused).
extern const std::array<const char*, CsvLastColumn + 1> CsvColumnCaptions;

// Messages.
inline constexpr const char* CsvWriteFailedMessage = "CSVファイルが書き込めません";
inline constexpr const char* PrinterMissingMessage = "プリンタとの通信が不正です。印刷出来ません。";
// The report names the PDF files of the printed reports carry ("山田家_名簿.pdf").
inline constexpr const char* NameListReportName = "名簿";
inline constexpr const char* ChronologyReportName = "年表";

// --- CSV import ---

// Fields a record may hold (indexes 0..256). Row i of csvin_tbl is the record's
// field i - 1, so the table has one row more than a record has fields (row 0 unused).
constexpr int CsvInFieldCount = 257;
constexpr int CsvInRowCount = CsvInFieldCount + 1;

// One CSV column of the import.
struct CsvInItem {
    std::string Title;    // the column's text in the current record (the title record while mapping)
    int16_t SetIdx = 0;   // target field 1..19, 0 not imported, -1 not decided yet
    std::string Data;     // caption of the target field chosen in the mapping window
};

struct CsvInState {
    std::array<CsvInItem, CsvInRowCount> csvin_tbl;
    int16_t CsvInCount = 0;   // fields of the title record
};
CsvInState& csvInState();

// The mapping of the last import, in the program folder.
inline constexpr const char* CsvMappingFileName = "CsvIPSet.txt";

// The largest CSV file the import reads, and the longest text it stores in one
// field (the remarks' limit, applied to every field).
constexpr int64_t CsvImportMaxBytes = 32 * 1024 * 1024;
constexpr long CsvImportMaxFieldChars = 1024;

// Messages of the import.
inline constexpr const char* CsvLoadErrorMessage = "error in loading CSV file";
inline constexpr const char* CsvEmptyMessage = "CSVファイルの中身がありません";
inline constexpr const char* CsvUnreadableMessage = "解決出来ないファイルです";
inline constexpr const char* CsvUseLastMappingQuestion = "前回のCSV読込設定を採用しますか?";
inline constexpr const char* CsvImportTitle = "CSV読込";
inline constexpr const char* CsvMappingCountMessage = "前回とCSV項目数が違います";
inline constexpr const char* CsvMappingDamagedMessage = "前回のCSV読込設定が読めません。項目の対応を設定し直して下さい";
inline constexpr const char* CsvCancelledMessage = "CSV読込はｷｬﾝｾﾙされました。";
inline constexpr const char* CsvTableFullMessage = "CSVインポート出来る最大人数を超えました";
inline constexpr const char* CsvFieldCountMessageHead = "CSVファイルの項目数が変化しています(";
inline constexpr const char* CsvFieldCountMessageTail = "データ目)。処理を終了します";
inline constexpr const char* CsvTooLargeMessage = "CSVファイルが大きすぎます。読込を中止します";
inline constexpr const char* CsvBadBytesMessage =
    "CSVファイルにシフトJISとして読めない文字があります。読込を中止します";
inline constexpr const char* CsvDuplicateFieldQuestion = "既に設定されている項目を選択しました。新規設定を有効にしますか？";

} // namespace reports
