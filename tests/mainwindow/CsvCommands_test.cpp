// File > "ＣＳＶ入力" and "ＣＳＶ出力" through the real menu: the question, the
// dialogs, the ".csv" name rule, the windows closed before an import, and the
// dates put into the display form afterwards.

#include "MainWindowFixture.h"

#include "document/Snapshots.h"
#include "forms/Form.h"
#include "mainwindow/CsvFileName.h"
#include "model/run_state.h"
#include "platform/Cp932.h"
#include "reports/CsvSet.h"
#include "reports/FrmCsvInStat.h"
#include "reports/csvinset.h"
#include "reports/reports_state.h"

#include <ostream>

namespace mainwindow_test {
namespace {

constexpr const char* ImportQuestion = "CSVファイルを読み込みますか？\r\nこの場合、作成中の家系図は削除されます";
constexpr const char* DiscardForNewQuestion = "データが変更されています。\r\n保存せずに新しい家系図を作成しますか？";

// ---------------------------------------------------------------------------
// The name rule

struct NameCase {
    const char* chosen;
    const char* used;
};

void PrintTo(const NameCase& row, std::ostream* out)
{
    *out << '"' << row.chosen << '"';
}

class CsvName : public ::testing::TestWithParam<NameCase> {};

TEST_P(CsvName, EndsInCsvWithTheFolderUntouched)
{
    EXPECT_EQ(mainwindow::csvFileName(GetParam().chosen), GetParam().used);
}

INSTANTIATE_TEST_SUITE_P(
    MainWindow, CsvName,
    ::testing::Values(NameCase{"/home/u/data.txt", "/home/u/data.csv"},
                      NameCase{"/home/u/DATA.CSV", "/home/u/DATA.CSV"},
                      NameCase{"/home/u/data.csv", "/home/u/data.csv"},
                      NameCase{"/home/u/data.Csv", "/home/u/data.csv"},
                      NameCase{"/home/u/family.backup.txt", "/home/u/family.csv"},
                      NameCase{"/home/my.folder/list", "/home/my.folder/list.csv"},
                      NameCase{"C:\\my.folder\\list.txt", "C:\\my.folder\\list.csv"},
                      NameCase{"/home/u/data.csv  ", "/home/u/data.csv  "},
                      NameCase{"noextension", "noextension.csv"}));

// ---------------------------------------------------------------------------
// The commands

class CsvCommands : public MainWindowTest {
protected:
    void TearDown() override
    {
        forms::clearOnShown();
        MainWindowTest::TearDown();
    }

    std::string homeFile(const std::string& name) const { return platform::joinPath(home.path(), name); }

    void writeCsv(const std::string& name, const std::string& utf8) const
    {
        platform::writeWholeFile(homeFile(name), platform::encodeCp932(utf8));
    }

    // The import's windows: its read settings accepted, then columns mapped to
    // the person fields given (1 family name, 2 given name, 4 sex, 5 birth date).
    static void answerImportWindows(std::vector<int> fields)
    {
        forms::onShown("FrmCsvInStat", [](forms::Form&) { frmcsvinstat_form().Command2.onClick(); });
        forms::onShown("csvinset", [fields](forms::Form&) {
            CsvinsetForm& w = csvinset_form();
            for (int field : fields) {
                if (w.List1.listIndex() == field - 1)
                    w.List1.onClick();
                else
                    w.List1.setListIndex(field - 1);
                w.Command2.onClick();
            }
        });
    }

    // Chooses "ＣＳＶ入力" answering the question, then the dialog with name.
    void importAnswering(int answer, const std::string& name)
    {
        answers.answerNext(answer);
        dialogs.answerNext(forms::DialogAnswer::file(homeFile(name)));
        window().fileitem[5].choose();
    }

    static const model::personal_data& person(int slot) { return tables().per_buf[static_cast<size_t>(slot)]; }

    static constexpr const char* TwoPersons = "名字,名前,男女,生年月日\r\n"
                                              "鈴木,一郎,男,1950/01/02\r\n"
                                              "鈴木,二子,女,abc\r\n";
};

TEST_F(CsvCommands, NoAddsThePersonsToTheOpenFamilyReadingTheChosenFile)
{
    start();
    buildFamily();
    model::runState().Entry_Open = 1;
    writeCsv("people.txt", TwoPersons);
    writeCsv("people.csv", "名字,名前,男女,生年月日\r\n別,人,男,\r\n");
    answerImportWindows({1, 2, 4, 5});
    importAnswering(platform::vbNo, "people.txt");

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, ImportQuestion);
    EXPECT_EQ(answers.shown()[0].style, platform::vbYesNoCancel);
    ASSERT_EQ(dialogs.requests().size(), 1u);
    const forms::DialogRequest& request = dialogs.requests()[0];
    EXPECT_EQ(request.kind, forms::DialogKind::Open);
    EXPECT_EQ(request.title, "CSV File Input !");
    EXPECT_EQ(request.fileName, "*.csv");
    EXPECT_EQ(request.filter, "CSV files( *.csv )|*.csv");
    EXPECT_EQ(request.flags, 0x2002);
    EXPECT_EQ(request.startDirectory, home.path());

    std::vector<std::string> expected = familyOf("山田");
    expected.push_back("鈴木一郎");
    expected.push_back("鈴木二子");
    EXPECT_EQ(personNames(), expected);
    EXPECT_EQ(model::runState().Entry_Open, 0);
    EXPECT_GE(windows.count("closePersonEditor"), 1);
    EXPECT_GE(windows.count("closeChronology"), 1);
    EXPECT_GE(windows.count("rebuildRelationLists"), 1) << "the relation editor lists the new persons";
}

TEST_F(CsvCommands, OnlyImportedDatesTakeTheDisplayFormAndOnlyWhenTheyConvertExactly)
{
    start();
    // A person already in the family keeps the date as it was stored.
    const int before = model::set_per_buf(-1, "太郎", "山田", 0, "1960/5/6");
    writeCsv("people.csv", "名字,名前,男女,生年月日\r\n"
                           "鈴木,一郎,男,1950/01/02\r\n"
                           "鈴木,二子,女,abc\r\n"
                           "鈴木,三郎,男,1950年頃\r\n"
                           "鈴木,四郎,男,不詳\r\n");
    answerImportWindows({1, 2, 4, 5});
    importAnswering(platform::vbNo, "people.csv");

    EXPECT_EQ(person(before).B_day, "1960/5/6");
    ASSERT_EQ(person(2).Name, "一郎");
    EXPECT_EQ(person(2).B_day, "昭和25年01月02日");
    ASSERT_EQ(person(5).Name, "四郎");
    EXPECT_EQ(person(3).B_day, "abc") << "a text that is no date is kept as read";
    EXPECT_EQ(person(4).B_day, "1950年頃") << "a date with more than its date is kept as read";
    EXPECT_EQ(person(5).B_day, "不詳");
}

// An imported first year of an era keeps its era in the family's form, and a date
// with more than its date comes in as written.
TEST_F(CsvCommands, ImportedFirstYearsKeepTheirEra)
{
    start();
    writeCsv("people.csv", "名字,名前,男女,生年月日\r\n"
                           "鈴木,一郎,男,H1\r\n"
                           "鈴木,二郎,男,令和元年5月\r\n"
                           "鈴木,三郎,男,明治10年頃\r\n");
    answerImportWindows({1, 2, 4, 5});
    importAnswering(platform::vbNo, "people.csv");

    ASSERT_EQ(person(3).Name, "三郎");
    EXPECT_EQ(person(1).B_day, "平成元年");
    EXPECT_EQ(person(2).B_day, "令和元年05月");
    EXPECT_EQ(person(3).B_day, "明治10年頃");
}

// An imported western year or month that two eras share stays as written in the
// era mode; one that lies wholly inside one era takes the era's form.
TEST_F(CsvCommands, ImportedYearsTwoErasShareStayAsWritten)
{
    start();
    writeCsv("people.csv", "名字,名前,男女,生年月日\r\n"
                           "鈴木,一郎,男,1989\r\n"
                           "鈴木,二郎,男,1926/12\r\n"
                           "鈴木,三郎,男,2019\r\n"
                           "鈴木,四郎,男,1912/07\r\n"
                           "鈴木,五郎,男,1990\r\n"
                           "鈴木,六郎,男,2019/05\r\n");
    answerImportWindows({1, 2, 4, 5});
    importAnswering(platform::vbNo, "people.csv");

    ASSERT_EQ(person(6).Name, "六郎");
    EXPECT_EQ(person(1).B_day, "1989");
    EXPECT_EQ(person(2).B_day, "1926/12");
    EXPECT_EQ(person(3).B_day, "2019");
    EXPECT_EQ(person(4).B_day, "1912/07");
    EXPECT_EQ(person(5).B_day, "平成02年");
    EXPECT_EQ(person(6).B_day, "令和元年05月");
}

// Every column ticked in the options window, exported through the menu, then read
// back into an empty family through the menu and the import's windows: every
// person and every field comes back, commas, quotes and line breaks included.
TEST_F(CsvCommands, ExportThenImportIntoAnEmptyFamilyGivesBackEveryPersonAndField)
{
    start();
    const std::string tricky = "a,\"b\"\r\nc";
    std::vector<model::personal_data> family;
    for (int i = 0; i < 3; ++i) {
        model::personal_data p;
        p.InUse = model::SlotUsed;
        p.F_name = "山,\"田" + std::to_string(i);
        p.Name = "太\r\n郎";
        p.Old_name = tricky;
        p.Sex = static_cast<int16_t>(i % 2);
        p.B_day = "昭和10年01月02日";
        p.Death_day = "";
        p.Age = static_cast<int16_t>(40 + i);
        p.YubinNo = "100,0001";
        p.Addr1 = tricky;
        p.Addr2 = "東京都\"港区\"";
        p.TelNo = tricky;
        p.FaxNo = "03,1";
        p.KeiNo = "090\"1";
        p.E_mail = "a,b@c";
        p.Biko = "一行目,\"x\"\n\n二行目";   // the person editor's line break
        p.GrpName = "本家,分家";
        p.Zokugara = "長男,跡取り";
        p.ZokugaraK = tricky;
        p.Kaimyo = "院\"居士\"";
        tables().per_buf[static_cast<size_t>(i + 1)] = p;
        family.push_back(p);
    }
    tables().PerCount = 3;

    forms::onShown("CsvSet", [](forms::Form&) {
        for (int column = 1; column <= 19; ++column)
            csvset_form().Check2[column].setValue(forms::vbChecked);
        csvset_form().Command2.onClick();
    });
    dialogs.answerNext(forms::DialogAnswer::file(homeFile("family.csv")));
    window().fileitem[6].choose();
    ASSERT_TRUE(answers.shown().empty()) << answers.shown().front().text;

    tables().Data_Changed = 0;
    std::vector<int> everyField;
    for (int field = 1; field <= 19; ++field)
        everyField.push_back(field);
    answerImportWindows(everyField);
    importAnswering(platform::vbYes, "family.csv");

    ASSERT_EQ(answers.shown().size(), 1u) << answers.shown().back().text;   // the import question only
    for (int i = 0; i < 3; ++i) {
        const model::personal_data& back = person(i + 1);
        const model::personal_data& sent = family[static_cast<size_t>(i)];
        EXPECT_EQ(back.InUse, model::SlotUsed);
        EXPECT_EQ(back.F_name, sent.F_name);
        EXPECT_EQ(back.Name, sent.Name);
        EXPECT_EQ(back.Old_name, sent.Old_name);
        EXPECT_EQ(back.Sex, sent.Sex);
        EXPECT_EQ(back.B_day, sent.B_day);
        EXPECT_EQ(back.Death_day, sent.Death_day);
        EXPECT_EQ(back.Age, sent.Age);
        EXPECT_EQ(back.YubinNo, sent.YubinNo);
        EXPECT_EQ(back.Addr1, sent.Addr1);
        EXPECT_EQ(back.Addr2, sent.Addr2);
        EXPECT_EQ(back.TelNo, sent.TelNo);
        EXPECT_EQ(back.FaxNo, sent.FaxNo);
        EXPECT_EQ(back.KeiNo, sent.KeiNo);
        EXPECT_EQ(back.E_mail, sent.E_mail);
        EXPECT_EQ(back.Biko, sent.Biko);
        EXPECT_EQ(back.GrpName, sent.GrpName);
        EXPECT_EQ(back.Zokugara, sent.Zokugara);
        EXPECT_EQ(back.ZokugaraK, sent.ZokugaraK);
        EXPECT_EQ(back.Kaimyo, sent.Kaimyo);
    }
    EXPECT_EQ(person(4).InUse, model::SlotFree);
}

// The autosave follows the imported family, never the discarded one.
TEST_F(CsvCommands, YesEmptiesTheFamilyFirstThroughNew)
{
    start();
    buildFamily();
    ASSERT_TRUE(model::Save_Autosave());
    writeCsv("people.csv", TwoPersons);
    answerImportWindows({1, 2, 4, 5});
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    dialogs.answerNext(forms::DialogAnswer::file(homeFile("people.csv")));
    window().fileitem[5].choose();

    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text, DiscardForNewQuestion);
    EXPECT_EQ(personNames(), (std::vector<std::string>{"鈴木一郎", "鈴木二子"}));
    const std::string autosave = autosaveText();
    EXPECT_NE(autosave.find("二子"), std::string::npos);
    EXPECT_EQ(autosave.find("山田"), std::string::npos);
}

// Yes replaces the family only with a file read as CSV: a file of another kind (bytes
// no CSV file holds) or an empty one is refused with its message after New's question,
// and the family the user had open stays, unsaved changes, undo snapshot and windows
// and all.
TEST_F(CsvCommands, YesKeepsTheFamilyForAFileThatIsNotReadAsCsv)
{
    start();
    buildFamily();
    ASSERT_TRUE(model::Save_Undo());
    model::runState().Entry_Open = 1;
    platform::writeWholeFile(homeFile("report.csv"), std::string("%PDF-1.4\n\x81\x20\x82\xFF\n%%EOF\n"));
    platform::writeWholeFile(homeFile("empty.csv"), "");
    const std::vector<std::pair<std::string, std::string>> refused{{"report.csv", reports::CsvBadBytesMessage},
                                                                   {"empty.csv", reports::CsvEmptyMessage}};
    answerImportWindows({1, 2});
    for (const auto& [name, message] : refused) {
        answers.clearRecords();
        windows.calls.clear();
        answers.answerNext(platform::vbYes);
        answers.answerNext(platform::vbOK);
        answers.answerNext(platform::vbOK);
        dialogs.answerNext(forms::DialogAnswer::file(homeFile(name)));
        window().fileitem[5].choose();

        EXPECT_EQ(answers.shownTexts(), (std::vector<std::string>{ImportQuestion, DiscardForNewQuestion, message}))
            << name;
        EXPECT_EQ(personNames(), familyOf("山田")) << name;
        EXPECT_EQ(tables().Data_Changed, 1) << name;
        EXPECT_TRUE(window().CmdUndo.isEnabled()) << name;
        EXPECT_TRUE(platform::fileExists(model::undoSnapshotPath())) << name;
        EXPECT_EQ(model::runState().Entry_Open, 1) << name;
        EXPECT_EQ(windows.count("closePersonEditor"), 0) << name;
        EXPECT_EQ(windows.count("closeChronology"), 0) << name;
    }
}

// Yes, a file chosen, then keeping the changed family at New's own question, ends
// the command: nothing imported.
TEST_F(CsvCommands, CancelAtNewsQuestionEndsTheImport)
{
    start();
    buildFamily();
    writeCsv("people.csv", TwoPersons);
    answerImportWindows({1, 2, 4, 5});
    answers.answerNext(platform::vbYes);
    dialogs.answerNext(forms::DialogAnswer::file(homeFile("people.csv")));
    answers.answerNext(platform::vbCancel);
    window().fileitem[5].choose();

    EXPECT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(answers.shown().back().text, DiscardForNewQuestion);
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Data_Changed, 1);
}

// Yes empties the open family only for a file the user chose: Yes, then Cancel in
// the dialog, keeps the family as it was, unsaved changes and all, without a question.
TEST_F(CsvCommands, YesThenCancelInTheDialogKeepsTheOpenFamily)
{
    start();
    buildFamily();
    answers.answerNext(platform::vbYes);
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    window().fileitem[5].choose();

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{ImportQuestion});
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(tables().Data_Changed, 1);
    EXPECT_EQ(windows.count("closePersonEditor"), 0);
}

TEST_F(CsvCommands, CancelAtTheQuestionOrTheDialogChangesNothing)
{
    start();
    buildFamily();
    answers.answerNext(platform::vbCancel);
    window().fileitem[5].choose();
    EXPECT_TRUE(dialogs.requests().empty());

    answers.answerNext(platform::vbNo);
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    window().fileitem[5].choose();
    EXPECT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(personNames(), familyOf("山田"));
    EXPECT_EQ(windows.count("closePersonEditor"), 0);
    EXPECT_EQ(tables().Data_Changed, 1);
}

TEST_F(CsvCommands, OutputShowsTheOptionsThenWritesTheCsvName)
{
    start();
    buildFamily();
    bool optionsShown = false;
    forms::onShown("CsvSet", [&optionsShown](forms::Form&) {
        optionsShown = true;
        csvset_form().Command2.onClick();
    });
    dialogs.answerNext(forms::DialogAnswer::file(homeFile("family.backup.txt")));
    window().fileitem[6].choose();

    EXPECT_TRUE(optionsShown);
    ASSERT_EQ(dialogs.requests().size(), 1u);
    const forms::DialogRequest& request = dialogs.requests()[0];
    EXPECT_EQ(request.kind, forms::DialogKind::Save);
    EXPECT_EQ(request.title, "CSV 出力");
    EXPECT_EQ(request.flags, 0x2002);
    ASSERT_TRUE(platform::fileExists(homeFile("family.csv")));
    EXPECT_FALSE(platform::fileExists(homeFile("family.backup.txt")));
    const std::string written = platform::decodeCp932(read(homeFile("family.csv")));
    EXPECT_NE(written.find("山田"), std::string::npos);
    EXPECT_NE(written.find("一郎"), std::string::npos);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(tables().Data_Changed, 1);
}

TEST_F(CsvCommands, OutputThatCannotBeWrittenNamesTheFileAndWhy)
{
    start();
    buildFamily();
    // A folder stands where the file is to go.
    platform::makeDir(homeFile("family.csv"));
    forms::onShown("CsvSet", [](forms::Form&) { csvset_form().Command2.onClick(); });
    dialogs.answerNext(forms::DialogAnswer::file(homeFile("family.csv")));
    answers.answerNext(platform::vbOK);
    window().fileitem[6].choose();

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "CSVファイルが書き込めません\r\n" + homeFile("family.csv") + "\r\n（書き込み先がフォルダーです）");
    EXPECT_TRUE(platform::listFiles(home.path(), "*.part").empty());
}

TEST_F(CsvCommands, OutputCancelledAtTheDialogWritesNothing)
{
    start();
    buildFamily();
    forms::onShown("CsvSet", [](forms::Form&) { csvset_form().Command2.onClick(); });
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    window().fileitem[6].choose();
    EXPECT_TRUE(platform::listFiles(home.path(), "*.csv").empty());
}

} // namespace
} // namespace mainwindow_test
