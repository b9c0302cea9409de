// File > "ＣＳＶ入力" and "ＣＳＶ出力": the main window's side of the CSV
// exchange. It asks its question, chooses the file (the export forces the ".csv"
// extension), closes the windows that would show stale persons and hands over to the CSV
// import and export; after an import the imported persons' dates that convert
// exactly are put into the current date display form.

#include "mainwindow/MainForm.h"

#include "document/Snapshots.h"
#include "mainwindow/CsvFileName.h"
#include "mainwindow/FamilyPaths.h"
#include "mainwindow/OtherWindows.h"
#include "model/Utilities.h"
#include "model/era/EraDates.h"
#include "model/run_state.h"
#include "model/tables.h"
#include "platform/Conversions.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "reports/CsvExport.h"
#include "reports/CsvImport.h"
#include "reports/CsvSet.h"

#include <string>
#include <vector>

namespace {

constexpr const char* ImportQuestion = "CSVファイルを読み込みますか？\r\nこの場合、作成中の家系図は削除されます";
constexpr const char* ImportTitle = "CSV File Input !";
constexpr const char* ExportTitle = "CSV 出力";
constexpr const char* CsvPattern = "*.csv";
constexpr const char* CsvFilter = "CSV files( *.csv )|*.csv";

// What the import asks of the windows once it has added persons: the relation
// editors' person lists.
class ImportRequests : public reports::CsvImportRequests {
public:
    void rebuildPersonLists() override
    {
        mainwindow::OtherWindows& windows = mainwindow::otherWindows();
        windows.rebuildRelationLists();
        if (model::Find_FormByName("EasyCtl") == 1)
            windows.rebuildEasyRelationList();
    }
};

// Installs the requests for the length of one import; whatever was installed
// before comes back afterwards.
class ImportRequestsInstalled {
public:
    ImportRequestsInstalled() : m_previous(&reports::csvImportRequests())
    {
        reports::setCsvImportRequests(&m_requests);
    }
    ~ImportRequestsInstalled() { reports::setCsvImportRequests(m_previous); }
    ImportRequestsInstalled(const ImportRequestsInstalled&) = delete;
    ImportRequestsInstalled& operator=(const ImportRequestsInstalled&) = delete;

private:
    ImportRequests m_requests;
    reports::CsvImportRequests* m_previous;
};

// The slots that hold no person, before an import fills some of them.
std::vector<bool> freeSlots()
{
    const model::Tables& t = model::tables();
    std::vector<bool> free(model::LastSlot + 1, false);
    for (int p = 1; p <= model::LastSlot; ++p)
        free[static_cast<size_t>(p)] = t.per_buf[static_cast<size_t>(p)].InUse == model::SlotFree;
    return free;
}

// Puts the dates of the persons the import added into the current display form.
// A date is rewritten only when it converts exactly; anything else ("不詳",
// "1950年頃", a date after today) is kept as read. Persons who were in the family
// before are not touched.
void normaliseImportedDates(const std::vector<bool>& freeBefore)
{
    model::Tables& t = model::tables();
    int kept = 0; // the import reports no count of its own
    for (int p = 1; p <= model::LastSlot; ++p) {
        model::personal_data& person = t.per_buf[static_cast<size_t>(p)];
        if (!freeBefore[static_cast<size_t>(p)] || person.InUse == model::SlotFree)
            continue;
        model::rewriteDateExactly(person.B_day, kept);
        model::rewriteDateExactly(person.Death_day, kept);
    }
}

} // namespace

void MainForm::csvInput()
{
    // The import closes the person editor and refills the relationship editor: their
    // unregistered input is settled first.
    if (!mainwindow::settleEditorsFirst())
        return;
    const int answer = platform::MsgBox(ImportQuestion, platform::vbYesNoCancel);
    if (answer == platform::vbCancel)
        return;

    const std::string folder = rememberedFolder();
    CommonDialog1.setDialogTitle(ImportTitle);
    CommonDialog1.setFileName(CsvPattern);
    CommonDialog1.setFilter(CsvFilter);
    CommonDialog1.setFlags(forms::cdlOFNOverwritePrompt | forms::cdlOFNCreatePrompt);
    CommonDialog1.setInitDir(folder);
    CommonDialog1.showOpen();
    // The file read is the file chosen: the ".csv" rule is for the names of files
    // the export writes.
    const std::string path = CommonDialog1.fileName();

    // The open family goes only for a file the user chose (a cancelled dialog has
    // ended the command above), and only once that file has been read as CSV, its
    // title record taken and its columns mapped: a file that cannot be read, is no
    // CSV or whose import the user stops leaves the family and its windows as they
    // were. New's own question comes now; keeping the changed family there ends the
    // command.
    const bool replaceFamily = answer == platform::vbYes;
    if (replaceFamily && !mayDiscardFamily())
        return;

    std::vector<bool> freeBefore;
    const auto beforeStoring = [&] {
        // These windows would show persons that the import is about to change.
        mainwindow::OtherWindows& windows = mainwindow::otherWindows();
        model::runState().Entry_Open = 0;
        windows.closePersonEditor();
        closeChartReports();
        // Persons added to the open family are one step for 戻; a family replaced
        // goes as New takes it, with its undo.
        if (replaceFamily)
            discardFamily();
        else
            (void)model::Save_Undo();
        freeBefore = freeSlots();
    };
    {
        const ImportRequestsInstalled requests;
        reports::CsvImport(path, beforeStoring);
    }
    if (!freeBefore.empty())
        normaliseImportedDates(freeBefore);
}

void MainForm::csvOutput()
{
    csvset_form().show(forms::ShowMode::Modal);

    // The dialog offers a name the export takes as it stands: the family's own,
    // beside the family file; a family without a file is offered none.
    const std::string folder = rememberedFolder();
    const std::string offered = mainwindow::outputBesideFamily(".csv");
    CommonDialog1.setDialogTitle(ExportTitle);
    CommonDialog1.setFileName(platform::fileNameOf(offered));
    CommonDialog1.setFilter(CsvFilter);
    CommonDialog1.setFlags(forms::cdlOFNOverwritePrompt | forms::cdlOFNCreatePrompt);
    CommonDialog1.setInitDir(offered.empty() ? folder : platform::parentPath(offered));
    CommonDialog1.showSave();
    reports::CsvExport(mainwindow::csvFileName(CommonDialog1.fileName()));
}
