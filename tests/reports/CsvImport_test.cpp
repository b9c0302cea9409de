// CSV import driven headless through its two windows: the mapping of an exported
// file back onto the person fields, the mapping file of the last import, the stop
// messages (field count, full table, cancel), and hostile files (bad bytes, broken
// records, huge fields, a damaged mapping file) that must leave the family as it
// was or keep exactly the persons stored before the fault.

#include "ReportsFixture.h"

#include "forms/Form.h"
#include "model/GroupLists.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"
#include "reports/CsvExport.h"
#include "reports/CsvImport.h"
#include "reports/FrmCsvInStat.h"
#include "reports/csvinset.h"
#include "reports/reports_state.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using reports_test::ReportsFixture;

class CountingRequests : public reports::CsvImportRequests {
public:
    void rebuildPersonLists() override { ++rebuilds; }
    int rebuilds = 0;
};

class CsvImportTest : public ReportsFixture {
protected:
    void SetUp() override
    {
        ReportsFixture::SetUp();
        reports::setCsvImportRequests(&requests);
    }
    void TearDown() override { reports::setCsvImportRequests(nullptr); }

    std::string csvPath() const { return home.path() + "/in.csv"; }
    std::string mappingPath() const { return home.path() + "/CsvIPSet.txt"; }

    void writeCsv(const std::string& utf8) const { platform::writeWholeFile(csvPath(), platform::encodeCp932(utf8)); }

    // The read-settings window is closed with "決定".
    static void acceptReadSettings()
    {
        forms::onShown("FrmCsvInStat", [](forms::Form&) { frmcsvinstat_form().Command2.onClick(); });
    }

    // The mapping window maps column i to fields[i - 1] (0 = not imported) and ends
    // with "次へ" on the last column.
    static void mapColumns(std::vector<int> fields)
    {
        forms::onShown("csvinset", [fields](forms::Form&) {
            CsvinsetForm& w = csvinset_form();
            for (size_t i = 0; i < fields.size(); ++i) {
                if (fields[i] == 0)
                    w.Check1.setValue(forms::vbChecked);
                else
                    pick(fields[i]);
                w.Command2.onClick();
            }
        });
    }

    static void pick(int field)
    {
        CsvinsetForm& w = csvinset_form();
        if (w.List1.listIndex() == field - 1)
            w.List1.onClick();
        else
            w.List1.setListIndex(field - 1);
    }

    std::vector<std::string> shownTexts() const
    {
        std::vector<std::string> texts;
        for (const auto& box : answers.shown())
            texts.push_back(box.text);
        return texts;
    }

    int usedPersons() const
    {
        int used = 0;
        for (const auto& p : model::tables().per_buf)
            used += p.InUse == model::SlotUsed ? 1 : 0;
        return used;
    }

    CountingRequests requests;
};

const std::string FieldCountZero = "CSVファイルの項目数が変化しています( 0データ目)。処理を終了します";

TEST_F(CsvImportTest, ExportedFileMapsBackFieldForField)
{
    auto& man = addPerson("山田", "太郎", 0);
    man.B_day = "昭和10年01月02日";
    addPerson("山田", "花子", 1).B_day = "昭和12年03月04日";
    ASSERT_TRUE(reports::CsvExport(csvPath()));

    model::InitAllSetting();
    model::tables().Data_Changed = 0;
    acceptReadSettings();
    mapColumns({1, 2, 4, 5});
    reports::CsvImport(csvPath());

    EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
    const auto& per = model::tables().per_buf;
    ASSERT_EQ(usedPersons(), 2);
    EXPECT_EQ(per[1].F_name, "山田");
    EXPECT_EQ(per[1].Name, "太郎");
    EXPECT_EQ(per[1].Sex, 0);
    EXPECT_EQ(per[1].B_day, "昭和10年01月02日");
    EXPECT_EQ(per[2].Name, "花子");
    EXPECT_EQ(per[2].Sex, 1);
    EXPECT_EQ(per[2].B_day, "昭和12年03月04日");
    EXPECT_EQ(model::tables().Data_Changed, 1);
    EXPECT_EQ(requests.rebuilds, 1);
    EXPECT_EQ(reports::csvInState().CsvInCount, 4);
    EXPECT_EQ(platform::readWholeFile(mappingPath()), " 4\r\n 1\r\n 2\r\n 4\r\n 5\r\n");
}

TEST_F(CsvImportTest, PersonsFillFreeSlotsAndStartFromACleanRecord)
{
    addPerson("甲", "一", 0);
    model::personal_data& stale = addPerson("乙", "前", 1);
    addPerson("丙", "三", 0);
    // Slot 2 was freed but still holds what its last person left behind.
    stale.Biko = "前の人の備考";
    stale.Picture_index = 3;
    stale.InUse = model::SlotFree;
    writeCsv("名前,備考\r\n二,a\r\n四,b\r\n");
    acceptReadSettings();
    mapColumns({2, 15});
    reports::CsvImport(csvPath());
    const auto& per = model::tables().per_buf;
    EXPECT_EQ(per[2].Name, "二");
    EXPECT_EQ(per[2].Biko, "a");
    EXPECT_EQ(per[2].Picture_index, -1);
    EXPECT_EQ(per[3].Name, "三");   // used slot untouched
    EXPECT_EQ(per[4].Name, "四");
    EXPECT_EQ(per[4].InUse, model::SlotUsed);
}

TEST_F(CsvImportTest, QuotedRemarksOverTwoLinesAreStoredWithTheEditorsLineBreak)
{
    writeCsv("名前,備考,年齢\r\n太郎,\"一行目\r\n二行目\",42\r\n");
    acceptReadSettings();
    mapColumns({2, 15, 7});
    reports::CsvImport(csvPath());
    EXPECT_EQ(model::tables().per_buf[1].Biko, "一行目\n\n二行目");
    EXPECT_EQ(model::tables().per_buf[1].Age, 42);
}

TEST_F(CsvImportTest, TitleLineOnlyEndsWithTheFieldCountMessageAtZero)
{
    writeCsv("名字,名前\r\n");
    acceptReadSettings();
    mapColumns({1, 2});
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(shownTexts(), std::vector<std::string>{FieldCountZero});
    EXPECT_EQ(usedPersons(), 0);
    EXPECT_EQ(model::tables().Data_Changed, 1);
    EXPECT_EQ(requests.rebuilds, 1);
}

TEST_F(CsvImportTest, BlankLastLineStopsAfterTheRecordsBeforeIt)
{
    writeCsv("名字,名前\r\n甲,一\r\n乙,二\r\n\r\n");
    acceptReadSettings();
    mapColumns({1, 2});
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(shownTexts(),
              std::vector<std::string>{"CSVファイルの項目数が変化しています( 2データ目)。処理を終了します"});
    EXPECT_EQ(usedPersons(), 2);
}

TEST_F(CsvImportTest, WidestRecordMapsItsLastColumn)
{
    std::string title;
    std::string record;
    for (int i = 0; i < reports::CsvInFieldCount; ++i) {
        title += (i ? "," : "") + std::string("t") + std::to_string(i);
        record += (i ? "," : "") + std::string("v") + std::to_string(i);
    }
    writeCsv(title + "\r\n" + record + "\r\n");
    acceptReadSettings();
    std::vector<int> mapping(reports::CsvInFieldCount, 0);
    mapping.back() = 2;
    mapColumns(mapping);
    reports::CsvImport(csvPath());
    EXPECT_EQ(reports::csvInState().CsvInCount, reports::CsvInFieldCount);
    EXPECT_EQ(model::tables().per_buf[1].Name, "v256");
}

TEST_F(CsvImportTest, GroupColumnAddsTheGroupOnce)
{
    writeCsv("名前,グループ\r\n一,本家\r\n二,本家\r\n三,分家\r\n");
    acceptReadSettings();
    mapColumns({2, 16});
    reports::CsvImport(csvPath());
    const auto& t = model::tables();
    ASSERT_EQ(t.GrpNameCount, 1);
    EXPECT_EQ(t.GrpNameList[0].GrpName, "本家");
    EXPECT_EQ(t.GrpNameList[1].GrpName, "分家");
    EXPECT_EQ(t.per_buf[3].GrpName, "分家");
}

TEST_F(CsvImportTest, LastMappingTakenSkipsTheMappingWindow)
{
    platform::writeWholeFile(mappingPath(), " 2\r\n 2 \r\n 0\r\n");
    writeCsv("名前,メモ\r\n一,x\r\n");
    acceptReadSettings();
    answers.answerNext(platform::vbYes);
    reports::CsvImport(csvPath());   // a mapping window would fail the test: no onShown queued
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, "前回のCSV読込設定を採用しますか?");
    EXPECT_EQ(answers.shown()[0].style, platform::vbYesNo | platform::vbInformation);
    EXPECT_EQ(answers.shown()[0].title, "CSV読込");
    EXPECT_EQ(model::tables().per_buf[1].Name, "一");
    EXPECT_EQ(model::tables().per_buf[1].Biko, "");
}

TEST_F(CsvImportTest, LastMappingOfAnotherColumnCountLeadsToTheMappingWindow)
{
    platform::writeWholeFile(mappingPath(), " 3\r\n 1\r\n 2\r\n 0\r\n");
    writeCsv("名前,メモ\r\n一,x\r\n");
    acceptReadSettings();
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    mapColumns({2, 3});
    reports::CsvImport(csvPath());
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text, "前回とCSV項目数が違います");
    EXPECT_EQ(answers.shown()[1].style, platform::vbOKOnly | platform::vbExclamation);
    EXPECT_EQ(model::tables().per_buf[1].Old_name, "x");
    EXPECT_EQ(platform::readWholeFile(mappingPath()), " 2\r\n 2\r\n 3\r\n");
}

// A damaged mapping file is not used; the user maps the columns instead.
class DamagedMappingFile : public CsvImportTest, public ::testing::WithParamInterface<std::string> {};

TEST_P(DamagedMappingFile, LeadsToTheMappingWindow)
{
    platform::writeWholeFile(mappingPath(), GetParam());
    writeCsv("名前,メモ\r\n一,x\r\n");
    acceptReadSettings();
    answers.answerNext(platform::vbYes);
    answers.answerNext(platform::vbOK);
    mapColumns({2, 0});
    reports::CsvImport(csvPath());
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[1].text, reports::CsvMappingDamagedMessage);
    EXPECT_EQ(model::tables().per_buf[1].Name, "一");
    EXPECT_EQ(platform::readWholeFile(mappingPath()), " 2\r\n 2\r\n 0\r\n");
}

INSTANTIATE_TEST_SUITE_P(Files, DamagedMappingFile,
                         ::testing::Values("", "two\r\n1\r\n2\r\n", " 2\r\n 1\r\n", " 2\r\n 1\r\n x\r\n",
                                           " 2\r\n 1\r\n 57\r\n", " 2\r\n-2\r\n 1\r\n"));

TEST_F(CsvImportTest, CancelInTheMappingWindowAddsNobody)
{
    writeCsv("名前\r\n一\r\n");
    acceptReadSettings();
    forms::onShown("csvinset", [](forms::Form&) {
        pick(2);
        csvinset_form().Command3.onClick();
    });
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"CSV読込はｷｬﾝｾﾙされました。"});
    EXPECT_EQ(usedPersons(), 0);
    EXPECT_EQ(requests.rebuilds, 0);
    EXPECT_EQ(platform::readWholeFile(mappingPath()), " 1\r\n-1\r\n");
}

// "ｷｬﾝｾﾙ" and the close box of the read-settings window end the import before
// anything is read, stored or written.
TEST_F(CsvImportTest, CancelOrCloseBoxInTheReadSettingsEndsTheImport)
{
    writeCsv("名前\r\n一\r\n");
    bool mappingShown = false;
    forms::onShown("csvinset", [&mappingShown](forms::Form&) {
        mappingShown = true;
        csvinset_form().Command3.onClick();
    });
    forms::onShown("FrmCsvInStat", [](forms::Form&) { frmcsvinstat_form().Command3.onClick(); });
    reports::CsvImport(csvPath());
    forms::onShown("FrmCsvInStat",
                   [](forms::Form&) { frmcsvinstat_form().unloadWithMode(forms::vbFormControlMenu); });
    reports::CsvImport(csvPath());

    EXPECT_FALSE(mappingShown);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(usedPersons(), 0);
    EXPECT_EQ(requests.rebuilds, 0);
    EXPECT_FALSE(platform::fileExists(mappingPath()));
    EXPECT_EQ(model::tables().Data_Changed, 0);
}

// Files written with LF line ends (as most tools here write them) import record by
// record; inside quotes an LF stays part of the value.
TEST_F(CsvImportTest, LfLineEndsEndRecordsOutsideQuotes)
{
    writeCsv("名字,名前,戒名\n山田,太郎,\"一\n二\"\n鈴木,花子,x\n");
    acceptReadSettings();
    mapColumns({1, 2, 19});
    reports::CsvImport(csvPath());
    EXPECT_TRUE(answers.shown().empty()) << answers.shown().front().text;
    const auto& per = model::tables().per_buf;
    ASSERT_EQ(usedPersons(), 2);
    EXPECT_EQ(per[1].Name, "太郎");
    EXPECT_EQ(per[1].Kaimyo, "一\n二");
    EXPECT_EQ(per[2].F_name, "鈴木");
    EXPECT_EQ(per[2].Kaimyo, "x");
}

TEST_F(CsvImportTest, FullTableAddsNobody)
{
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot)
        addPerson("姓", std::to_string(slot), 0);
    writeCsv("名前\r\n一\r\n");
    acceptReadSettings();
    mapColumns({2});
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"CSVインポート出来る最大人数を超えました"});
    EXPECT_EQ(model::tables().per_buf[model::BlankPartner].InUse, model::SlotFree);
}

TEST_F(CsvImportTest, MoreRecordsThanFreeSlotsFillThemAndStop)
{
    for (int slot = 1; slot <= model::LastPersonSlot - 2; ++slot)
        addPerson("姓", std::to_string(slot), 0);
    writeCsv("名前\r\n一\r\n二\r\n三\r\n");
    acceptReadSettings();
    mapColumns({2});
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"CSVインポート出来る最大人数を超えました"});
    const auto& per = model::tables().per_buf;
    EXPECT_EQ(per[1022].Name, "一");
    EXPECT_EQ(per[1023].Name, "二");
    EXPECT_EQ(per[model::BlankPartner].InUse, model::SlotFree);
    EXPECT_EQ(model::tables().Data_Changed, 1);
}

TEST_F(CsvImportTest, EmptyFileChangesNothing)
{
    writeCsv("");
    acceptReadSettings();
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(shownTexts(), std::vector<std::string>{"CSVファイルの中身がありません"});
    EXPECT_EQ(model::tables().Data_Changed, 0);
    EXPECT_FALSE(platform::fileExists(mappingPath()));
}

TEST_F(CsvImportTest, MissingFileShowsTheLoadError)
{
    acceptReadSettings();
    answers.answerNext(platform::vbOK);
    reports::CsvImport(home.path() + "/none.csv");
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text.rfind("error in loading CSV file", 0), 0u);
    EXPECT_EQ(usedPersons(), 0);
}

// A named pipe chosen as the CSV file is refused at once with the reason, rather than
// waited on for a writer.
TEST_F(CsvImportTest, ANamedPipeIsRefusedWithItsReasonAndAddsNobody)
{
    ASSERT_EQ(::mkfifo(csvPath().c_str(), 0600), 0);
    acceptReadSettings();
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"error in loading CSV file\r\n" + csvPath() + "\r\n（通常のファイルではありません）"});
    EXPECT_EQ(usedPersons(), 0);
}

// The mapping of the last import cannot be recorded (a folder stands in its place):
// the message names that file and why.
TEST_F(CsvImportTest, AMappingFileThatCannotBeWrittenIsNamedWithWhy)
{
    platform::makeDir(mappingPath());
    writeCsv("名前\r\n一\r\n");
    acceptReadSettings();
    mapColumns({2});
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"error in loading CSV file\r\n" + mappingPath() + "\r\n（書き込み先がフォルダーです）"});
}

// Hostile files: the family must stay exactly as it was, or keep only what was
// stored before the fault; a sentinel person is never touched.
struct HostileCase {
    const char* name;
    std::string bytes;            // raw file bytes
    bool readSettingsShown;       // the file passes the content check and is previewed
    std::vector<int> mapping;     // empty: no mapping window expected
    int storedBefore;             // persons the import keeps
};

std::ostream& operator<<(std::ostream& os, const HostileCase& c) { return os << c.name; }

class HostileCsv : public CsvImportTest, public ::testing::WithParamInterface<HostileCase> {};

TEST_P(HostileCsv, GivesAClearMessageAndLosesNothing)
{
    const HostileCase& c = GetParam();
    auto& sentinel = addPerson("番人", "一", 0);
    sentinel.Biko = "そのまま";
    model::tables().Data_Changed = 0;
    const auto before = std::make_unique<model::Tables>(model::tables());
    platform::writeWholeFile(csvPath(), c.bytes);
    if (c.readSettingsShown)
        acceptReadSettings();
    if (!c.mapping.empty())
        mapColumns(c.mapping);
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());

    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_FALSE(answers.shown()[0].text.empty());
    EXPECT_EQ(usedPersons(), 1 + c.storedBefore);
    EXPECT_TRUE(model::tables().per_buf[1] == before->per_buf[1]);
    // Every slot past the stored persons is as it was.
    for (int slot = 2 + c.storedBefore; slot <= model::LastSlot; ++slot)
        EXPECT_TRUE(model::tables().per_buf[slot] == before->per_buf[slot]) << "slot " << slot;
    EXPECT_EQ(model::tables().Data_Changed, c.storedBefore > 0 ? 1 : 0);
}

std::string manyFields(int count)
{
    std::string line;
    for (int i = 0; i < count; ++i)
        line += i == 0 ? "a" : ",a";
    return line + "\r\n";
}

INSTANTIATE_TEST_SUITE_P(
    Files, HostileCsv,
    ::testing::Values(
        HostileCase{"BadBytes", "name\r\n\x81\x20\x82\r\n", false, {}, 0},
        HostileCase{"LoneLeadByteAtEnd", "name\r\nab\x81", false, {}, 0},
        HostileCase{"TooManyFieldsInTitle", manyFields(300), true, {}, 0},
        HostileCase{"TooManyFieldsInRecord", "n\r\nx\r\n" + manyFields(300), true, {2}, 1},
        HostileCase{"AgeNotANumber", "n,age\r\nx,3\r\ny,abc\r\nz,4\r\n", true, {2, 7}, 1},
        HostileCase{"AgeOutOfRange", "n,age\r\nx,99999\r\n", true, {2, 7}, 0},
        HostileCase{"HugeField", "n\r\n" + std::string(5000, 'x') + "\r\n", true, {2}, 0},
        HostileCase{"HugeRemarksAfterLineBreaks", "n\r\n\"" + std::string(600, '\n') + "\"\r\n", true, {15}, 0},
        HostileCase{"BrokenQuoteSwallowsTheRest", "n,m\r\nx,y\r\nx,\"y\r\nz,w\r\n", true, {2, 3}, 1}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return std::string(info.param.name); });

TEST_F(CsvImportTest, TooLargeFileIsRefusedBeforeAnyWindow)
{
    {
        std::string big(static_cast<size_t>(reports::CsvImportMaxBytes) + 1, 'a');
        platform::writeWholeFile(csvPath(), big);
    }
    answers.answerNext(platform::vbOK);
    reports::CsvImport(csvPath());
    EXPECT_EQ(shownTexts(), std::vector<std::string>{reports::CsvTooLargeMessage});
    EXPECT_FALSE(frmcsvinstat_form().isLoaded());
}

// storeCsvField where it does more than copy the text.
TEST(StoreCsvField, ConvertsSexAgeAndRemarks)
{
    model::personal_data p = model::clearedPerson(1);
    reports::storeCsvField(p, 4, " 女 ");
    EXPECT_EQ(p.Sex, 1);
    reports::storeCsvField(p, 4, "female");
    EXPECT_EQ(p.Sex, 0);
    reports::storeCsvField(p, 7, " 42 ");
    EXPECT_EQ(p.Age, 42);
    p.Biko = "前";
    reports::storeCsvField(p, 15, "a\r\nb\nc\r");
    reports::storeCsvField(p, 15, "d");
    EXPECT_EQ(p.Biko, "前a\n\nb\n\ncd");
    reports::storeCsvField(p, 19, " 院 ");
    EXPECT_EQ(p.Kaimyo, " 院 ");
}

TEST(StoreCsvFieldErrors, AgeThatIsNotANumberIsAnError)
{
    model::personal_data p = model::clearedPerson(1);
    EXPECT_THROW(reports::storeCsvField(p, 7, "abc"), platform::RuntimeError);
    EXPECT_THROW(reports::storeCsvField(p, 7, ""), platform::RuntimeError);
    EXPECT_EQ(p.Age, -1);
    const model::personal_data before = p;
    reports::storeCsvField(p, 0, "x");
    reports::storeCsvField(p, 20, "x");
    EXPECT_TRUE(p == before);
}

} // namespace
