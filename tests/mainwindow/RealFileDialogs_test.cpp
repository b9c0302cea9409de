// The File menu's dialogs as the user meets them (the program's real file dialog,
// headless): a pattern is never taken for a file name, each save dialog offers a
// name it takes as it stands (or none), and the open family stays until a file
// has been chosen.

#include "ChartFixture.h"

#include "reports/CsvSet.h"
#include "reports/FrmCsvInStat.h"
#include "reports/reports_state.h"
#include "support/qt/FileDialogs.h"

#include <QFileDialog>

namespace mainwindow_test {
namespace {

constexpr const char* DiscardForOpenQuestion = "データが変更されています。\r\n保存せずに新しい家系図を読込みますか？";
constexpr const char* ImportQuestion = "CSVファイルを読み込みますか？\r\nこの場合、作成中の家系図は削除されます";

class RealFileDialogs : public ChartTest {
protected:
    std::string homeFile(const std::string& name) const { return platform::joinPath(home.path(), name); }

    // Presses Enter on the name box as the dialog shows it; what the box held.
    static QString enterAsShown(QFileDialog& dialog)
    {
        const QString shown = support::nameBoxText(dialog);
        support::enterName(dialog, shown);
        return shown;
    }

    // The names in the program folder that hold a pattern's characters.
    std::vector<std::string> patternNamedFiles() const
    {
        std::vector<std::string> found;
        for (const std::string& name : platform::listFiles(home.path(), "*")) {
            if (name.find_first_of("*?") != std::string::npos)
                found.push_back(name);
        }
        return found;
    }

    static void acceptCsvOptions()
    {
        forms::onShown("CsvSet", [](forms::Form&) { csvset_form().Command2.onClick(); });
    }
};

// The CSV and picture outputs of a family with a file offer its own name beside the
// family file: Enter at once writes "山田家.csv" and "山田家.bmp", no file named
// after a pattern.
TEST_F(RealFileDialogs, OutputsOfferTheFamilysOwnNameBesideItsFile)
{
    const std::string family = writeFamilyFile("山田家.kez");
    start();
    dialogs.answerNext(forms::DialogAnswer::file(family));
    window().fileitem[1].choose();
    ASSERT_EQ(tables().Cur_FilePath, family);

    support::RealFileDialogs real(dialogs);
    QString csvOffered = "not seen";
    QString bmpOffered = "not seen";
    acceptCsvOptions();
    support::onFileDialog([&](QFileDialog& dialog) { csvOffered = enterAsShown(dialog); });
    window().fileitem[6].choose();
    support::onFileDialog([&](QFileDialog& dialog) { bmpOffered = enterAsShown(dialog); });
    window().fileitem[8].choose();

    EXPECT_EQ(csvOffered, "山田家.csv");
    EXPECT_EQ(bmpOffered, "山田家.bmp");
    EXPECT_TRUE(platform::fileExists(homeFile("山田家.csv")));
    EXPECT_TRUE(platform::fileExists(homeFile("山田家.bmp")));
    EXPECT_EQ(patternNamedFiles(), std::vector<std::string>{});
    EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
}

// A family without a file is offered no name: Enter on the empty name box writes
// nothing and leaves the dialog open.
TEST_F(RealFileDialogs, AFamilyWithoutAFileIsOfferedNoName)
{
    showFamily();
    support::RealFileDialogs real(dialogs);
    QString csvOffered = "not seen";
    QString bmpOffered = "not seen";
    bool csvDialogStayed = false;
    bool bmpDialogStayed = false;
    acceptCsvOptions();
    support::onFileDialog([&](QFileDialog& dialog) {
        csvOffered = enterAsShown(dialog);
        csvDialogStayed = dialog.isVisible();
    });
    window().fileitem[6].choose();
    support::onFileDialog([&](QFileDialog& dialog) {
        bmpOffered = enterAsShown(dialog);
        bmpDialogStayed = dialog.isVisible();
    });
    window().fileitem[8].choose();

    EXPECT_EQ(csvOffered, "");
    EXPECT_EQ(bmpOffered, "");
    EXPECT_TRUE(csvDialogStayed);
    EXPECT_TRUE(bmpDialogStayed);
    EXPECT_TRUE(platform::listFiles(home.path(), "*.csv").empty());
    EXPECT_TRUE(platform::listFiles(home.path(), "*.bmp").empty());
    EXPECT_EQ(patternNamedFiles(), std::vector<std::string>{});
}

// Open, the merge and the CSV input keep the open family (changed and unsaved) until
// a file is chosen: Enter on the name box as it opens, or on a name that is no
// file, leaves the dialog open, and the dialog cancelled changes nothing.
TEST_F(RealFileDialogs, OpenMergeAndCsvInputKeepTheFamilyUntilAFileIsChosen)
{
    showFamily();
    ASSERT_EQ(tables().Data_Changed, 1);
    support::RealFileDialogs real(dialogs);
    struct Seen {
        QString offered = "not seen";
        bool stayedAfterEnter = false;
        bool stayedForMissing = false;
    };
    std::vector<Seen> seen;
    const auto tryNames = [&seen](QFileDialog& dialog) {
        Seen now;
        now.offered = enterAsShown(dialog);
        now.stayedAfterEnter = dialog.isVisible();
        support::enterName(dialog, "無い家系.kez");
        now.stayedForMissing = dialog.isVisible();
        seen.push_back(now);
    };

    answers.answerNext(platform::vbOK);
    support::onFileDialog(tryNames);
    window().fileitem[1].choose(); // 開く
    support::onFileDialog(tryNames);
    window().fileitem[14].choose(); // 家系データの追加読み込み
    answers.answerNext(platform::vbYes);
    support::onFileDialog(tryNames);
    window().fileitem[5].choose(); // ＣＳＶ入力, the open family to go

    ASSERT_EQ(seen.size(), 3u);
    for (const Seen& dialog : seen) {
        EXPECT_EQ(dialog.offered, "");
        EXPECT_TRUE(dialog.stayedAfterEnter);
        EXPECT_TRUE(dialog.stayedForMissing);
    }
    EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{DiscardForOpenQuestion, ImportQuestion}));
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_TRUE(tables().Cur_FilePath.empty());
}

// A file chosen in the dialog that another program removes before it is read: Open,
// the merge and the CSV input (the open family to go) each say that it is gone, and
// the family the user had open stays, unsaved changes, undo and windows and all.
TEST_F(RealFileDialogs, AFileGoneBeforeItIsReadLeavesTheOpenFamily)
{
    const std::string family = writeFamilyFile("gone.kez", "佐藤");
    const std::string second = writeFamilyFile("gone2.kez", "鈴木");
    const std::string csv = homeFile("gone.csv");
    platform::writeWholeFile(csv, platform::encodeCp932("名字,名前\r\n鈴木,一郎\r\n"));
    showFamily();
    ASSERT_TRUE(model::Save_Undo());
    const std::string undoBefore = read(model::undoSnapshotPath());
    windows.calls.clear();
    support::RealFileDialogs real(dialogs);
    const auto chooseThenRemove = [](const std::string& path) {
        support::onFileDialog([path](QFileDialog& dialog) {
            support::enterName(dialog, QString::fromStdString(platform::fileNameOf(path)));
            platform::deleteFile(path);
        });
    };

    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    chooseThenRemove(family);
    window().fileitem[1].choose(); // 開く
    answers.answerNext(platform::vbOK);
    chooseThenRemove(second);
    window().fileitem[14].choose(); // 家系データの追加読み込み
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    forms::onShown("FrmCsvInStat", [](forms::Form&) { frmcsvinstat_form().Command2.onClick(); });
    chooseThenRemove(csv);
    window().fileitem[5].choose(); // ＣＳＶ入力, the open family to go
    forms::clearOnShown();

    const auto gone = [](const std::string& head, const std::string& path) {
        return head + "\r\n" + path + "\r\n（ファイルがありません）";
    };
    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{DiscardForOpenQuestion, gone(model::FileNotFoundMessage, family),
                                        gone(model::FileNotFoundMessage, second), ImportQuestion,
                                        "データが変更されています。\r\n保存せずに新しい家系図を作成しますか？",
                                        gone(reports::CsvLoadErrorMessage, csv)}));
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_TRUE(tables().Cur_FilePath.empty());
    EXPECT_TRUE(window().CmdUndo.isEnabled());
    EXPECT_EQ(read(model::undoSnapshotPath()), undoBefore);
    EXPECT_EQ(windows.count("closePersonEditor"), 0);
    EXPECT_EQ(windows.count("closeChronology"), 0);
}

} // namespace
} // namespace mainwindow_test
