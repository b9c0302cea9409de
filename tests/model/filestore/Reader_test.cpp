// load_file and SplitEqu: the keyed reader's tolerance, its presets and packing, the
// checks on references read from a file, and what a failing file leaves behind.

#include "FileStoreTest.h"

#include "model/filestore/FamilyFile.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <functional>

namespace model::testing {
namespace {

using Lines = std::vector<std::string>;

Lines operator+(Lines a, const Lines& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Lines person(int slot, const Lines& keys = {})
{
    return Lines{"personal_data_start", " Index=" + std::to_string(slot)} + keys + Lines{"personal_data_end"};
}

Lines marriage(int husband, int wife, const Lines& keys = {})
{
    return Lines{"marry_data_start", " kou_titi= " + std::to_string(husband), " kou_haha= " + std::to_string(wife)}
           + keys + Lines{"marry_data_end"};
}

Lines child(const std::string& person, const Lines& keys = {})
{
    return Lines{"children_data_start", " kou_kodo=" + person} + keys + Lines{"children_data_end"};
}

const Lines persons = {"[Per_bufsection]"};
const Lines marriages = {"[kou_bufsection]"};

// A person section with a plain block for each slot, to stand after the marriages
// that name them (the line numbers before it stay as they are).
Lines personsOf(const std::vector<int>& slots)
{
    Lines lines = persons;
    for (int slot : slots)
        lines = lines + person(slot);
    return lines;
}

std::vector<int> slotsFromTo(int first, int last)
{
    std::vector<int> slots;
    for (int slot = first; slot <= last; ++slot)
        slots.push_back(slot);
    return slots;
}

// --- SplitEqu ------------------------------------------------------------------------

struct SplitCase {
    const char* line;
    int result;
    const char* key;
    const char* value;
};

void PrintTo(const SplitCase& c, std::ostream* os)
{
    *os << c.line;
}

class SplitEquTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitEquTest, SplitsAtTheFirstEquals)
{
    std::string key = "old";
    std::string value = "old";
    EXPECT_EQ(SplitEqu(GetParam().line, key, value), GetParam().result);
    EXPECT_EQ(key, GetParam().key);
    EXPECT_EQ(value, GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Lines, SplitEquTest,
                         ::testing::Values(SplitCase{"", -1, "", ""},
                                           SplitCase{"    ", -1, "", ""},
                                           SplitCase{" Index=5", 1, "INDEX", "5"},
                                           SplitCase{"  index =  5 ", 1, "INDEX", "5"},
                                           SplitCase{" Biko=a=b ", 1, "BIKO", "a=b"},
                                           SplitCase{" Name=山田 太郎", 1, "NAME", "山田 太郎"},
                                           SplitCase{"=x", 1, "", "x"},
                                           SplitCase{"Key=", 1, "KEY", ""},
                                           SplitCase{" [Header] ", 0, "[HEADER]", ""},
                                           SplitCase{"personal_data_start", 0, "PERSONAL_DATA_START", ""},
                                           SplitCase{" Biko=行1\n行2", 1, "BIKO", "行1\n行2"}));

// --- Files that load ---------------------------------------------------------------

struct ReadCase {
    const char* name;
    Lines lines;
    std::function<void()> check;
    // The load's message when the reader dropped or changed something.
    std::string message = "";
};

void PrintTo(const ReadCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReaderTest : public FileStoreTest, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ReaderTest, Loads)
{
    const std::string& message = GetParam().message;
    if (!message.empty())
        answers.answerNext(platform::vbOK);
    ASSERT_TRUE(loadLines(GetParam().lines));
    EXPECT_EQ(fileStore().EndOfDataF, -1);
    EXPECT_EQ(answers.shownTexts(), message.empty() ? std::vector<std::string>{} : std::vector<std::string>{message});
    EXPECT_EQ(fileStore().loadDamaged, !message.empty()) << "a family with records dropped is not the file's";
    GetParam().check();
}

const personal_data& per(int slot)
{
    return tables().per_buf[slot];
}

const marry_data& kou(int slot)
{
    return tables().kou_buf[slot];
}

int usedPersons()
{
    int n = 0;
    for (int i = 0; i < RecordCount; ++i)
        n += per(i).InUse == SlotUsed ? 1 : 0;
    return n;
}

const ReadCase readCases[] = {
    {"KeysInAnyCaseWithBlanksAroundEquals",
     persons + Lines{"PERSONAL_DATA_START", "  index = 5 ", " NAME = 太郎 ", " sex=1", "Personal_Data_End"},
     [] {
         EXPECT_EQ(per(5).InUse, SlotUsed);
         EXPECT_EQ(per(5).Name, "太郎");
         EXPECT_EQ(per(5).Sex, 1);
     }},
    {"ValueKeepsEverythingAfterTheFirstEquals", persons + person(2, {" Biko=a=b = c"}),
     [] { EXPECT_EQ(per(2).Biko, "a=b = c"); }},
    {"MissingKeysKeepThePresets", persons + person(7),
     [] {
         const personal_data& p = per(7);
         EXPECT_EQ(p.F_name, "不明");
         EXPECT_EQ(p.Name, "不明");
         EXPECT_EQ(p.Sex, 0);
         EXPECT_EQ(p.Age, 0);
         EXPECT_EQ(p.Voice_index, -1);
         EXPECT_EQ(p.Voice_filename, "");
         EXPECT_EQ(p.Picture_index, -1);
         EXPECT_EQ(p.Picture_mode, -1);
         EXPECT_EQ(p.CategoryF, -1);
         EXPECT_EQ(p.CopyIdx, -1);
         EXPECT_EQ(p.CsvOutFlag, 0);
         EXPECT_EQ(p.Disp, tables().DefDispStat);
     }},
    {"GuardedValuesThatAreNotNumbersKeepThePresets", persons + person(3, {" Sex=x", " Age=abc", " Voice_index=?"}),
     [] {
         EXPECT_EQ(per(3).Sex, 0);
         EXPECT_EQ(per(3).Age, 0);
         EXPECT_EQ(per(3).Voice_index, -1);
     }},
    {"GuardedNumbersRoundHalfToEven", persons + person(3, {" Sex=0.5", " Age=2.5", " Picture_mode=3.5"}),
     [] {
         EXPECT_EQ(per(3).Sex, 0);
         EXPECT_EQ(per(3).Age, 2);
         EXPECT_EQ(per(3).Picture_mode, 4);
     }},
    {"LenientValuesTakeTheLeadingNumber",
     persons + person(3, {" CategoryF=12abc", " CsvOutFlag=x", " CopyIdx=7abc"}) + person(7),
     [] {
         EXPECT_EQ(per(3).CategoryF, 12);
         EXPECT_EQ(per(3).CsvOutFlag, 0);
         EXPECT_EQ(per(3).CopyIdx, 7);
     }},
    {"DisplayKeysFillTheItemNamedBeforeThem",
     persons + person(4, {" DispSwIdx=8", " DSW=anything", " DRank=3", " DStart=0.25", " DispSwIdx=2", " DSW=False",
                          " DS_WakuPat=4"}),
     [] {
         EXPECT_EQ(per(4).Disp.DSW[8], -1);
         EXPECT_EQ(per(4).Disp.DRank[8], 3);
         EXPECT_EQ(per(4).Disp.DStart[8], 0.25);
         EXPECT_EQ(per(4).Disp.DSW[2], 0);
         EXPECT_EQ(per(4).Disp.DS_WakuPat, 4);
     }},
    {"AnUnusedDisplayItemOutsideTheRangeIsNoFault", persons + person(4, {" DispSwIdx=11", " DS_Nen=2"}),
     [] { EXPECT_EQ(per(4).Disp.DS_Nen, 2); }},
    {"UnknownKeysAndLinesBeforeTheFirstHeaderAreSkipped",
     Lines{" Index=9", "personal_data_start", "personal_data_end"} + persons
         + Lines{"Foo=bar", "fontsize=abc"} + person(1, {" Unknown=1"}),
     [] {
         EXPECT_EQ(usedPersons(), 1);
         EXPECT_EQ(per(1).InUse, SlotUsed);
     }},
    {"LinesAfterEndOfDataHaveNoEffect",
     persons + person(1) + Lines{"[END_OF_DATA]", "[Per_bufsection]"} + person(2)
         + Lines{"[Header]", "fontsize=40"},
     [] {
         EXPECT_EQ(usedPersons(), 1);
         EXPECT_EQ(settings().fontsize, 15);
     }},
    {"ABlockWithoutAUsableIndexIsDropped",
     persons + person(0) + Lines{"personal_data_start", " Name=無番号", "personal_data_end"}
         + person(-1) + Lines{"personal_data_start", " Index=x", "personal_data_end"},
     [] { EXPECT_EQ(usedPersons(), 0); }, "人物番号のない個人の記録 4 件を読み込みませんでした（最初は 4 行目）。"},
    {"ACopyReferenceOutsideThePersonTableMeansNone", persons + person(1, {" CopyIdx=5000"}) + person(2, {" CopyIdx=0"}),
     [] {
         EXPECT_EQ(per(1).CopyIdx, -1);
         EXPECT_EQ(per(2).CopyIdx, -1);
     },
     "コピー元の人物番号が正しくない個人の記録 2 件のコピー元を「なし」にしました（最初は 5 行目）。"},
    {"HeaderSettings",
     Lines{"[HEADER]", "FILETYPE=ABC", "VER=9.99", "FONT=ＭＳ 明朝", "FONTSIZE=12", "WRITE_STATE=1x", "DISPMODE=0"},
     [] {
         EXPECT_EQ(settings().filetype, "ABC");
         EXPECT_EQ(settings().FileVer, "6.00");
         EXPECT_EQ(settings().font, "ＭＳ 明朝");
         EXPECT_EQ(settings().fontsize, 12);
         EXPECT_EQ(settings().write_state, 1);
         EXPECT_EQ(settings().dispmode, 1);
     }},
    {"SettingsSections",
     Lines{"[SystemStatus_section]", " Dispmode_BGcolor= 12632256", " Dispmode_Nengo= 70000", " Dispmode_Death=x",
           "[Print_section]", " Print_Scale= .75", " Print_TateYoko=x", " Print_BGmap=2", "[Nenpyo_section]",
           " Nenpyo_SortMode= 1"},
     [] {
         EXPECT_EQ(settings().Dispmode_BGcolor, 12632256);
         EXPECT_EQ(settings().Dispmode_Nengo, 70000);
         EXPECT_EQ(settings().Dispmode_Death, 0);
         EXPECT_EQ(settings().Print_Scale, 0.75f);
         EXPECT_EQ(settings().Print_BGmap, 2);
         EXPECT_EQ(settings().Nenpyo_SortMode, 1);
     }},
    {"DispFactorKeysOneToFourteen",
     Lines{"[Array_section]", " DispFactor_1=False", " DISPFACTOR_03 = True", "DispFactor_14=1", "DispFactor_15=True",
           "DispFactor_00=True", "DispFactor_xy=maybe"},
     [] {
         const auto& f = settings().DispFactor;
         EXPECT_FALSE(f[1]);
         EXPECT_TRUE(f[3]);
         EXPECT_TRUE(f[14]);
         EXPECT_FALSE(f[15]);
         EXPECT_FALSE(f[0]);
     }},
    {"MarriagePresetsAndChildPacking",
     persons + person(1) + person(2) + person(3) + person(4) + marriages
         + marriage(1, 2, child(" ", {" kou_kodo_comment=空き"}) + child("3") + child("4", {" kodo_visible=0"})),
     [] {
         EXPECT_EQ(kou(1).InUse, SlotUsed);
         EXPECT_EQ(kou(1).kou_title, "****家");
         EXPECT_EQ(kou(1).kou_state, "****");
         EXPECT_EQ(kou(1).kou_mode, 0);
         EXPECT_EQ(kou(1).Bunke, -1);
         EXPECT_EQ(childrenOf(1), (std::vector<int>{3, 4}));
         EXPECT_EQ(kou(1).kou_kodo_comment[0], "");
         EXPECT_EQ(kou(1).kou_kodo_stat[0], 0);
         EXPECT_EQ(kou(1).kodo_honsuji[0], -1);
         EXPECT_EQ(kou(1).kodo_visible[1], 0);
     },
     "子供の番号が正しくない子供の記録 1 件を読み込みませんでした（最初は 21 行目）。"},
    {"MarriagesTakeSlotsInFileOrder",
     marriages + marriage(5, 6) + marriage(-1, 6) + marriage(1024, 7, {" kou_mode= 1"}) + personsOf({5, 6, 7}),
     [] {
         EXPECT_EQ(kou(1).kou_titi, 5);
         EXPECT_EQ(kou(2).kou_titi, BlankPartner);
         EXPECT_EQ(kou(2).kou_mode, 1);
         EXPECT_EQ(kou(3).InUse, SlotFree);
     },
     "夫婦の番号が正しくない結婚関係の記録 1 件を読み込みませんでした（最初は 9 行目）。"},
    {"GroupRowsAreRebuiltFromTheirContents",
     Lines{"[GrpName_section]", "GrpIdx=7", "Index=4", "GrpName= 本家 ", "Visible=False", "Index=9", "GrpName=分家"},
     [] {
         ASSERT_EQ(tables().GrpNameCount, 1);
         EXPECT_EQ(tables().GrpNameList[0].GrpName, "本家");
         EXPECT_EQ(tables().GrpNameList[0].Visible, 0);
         EXPECT_EQ(tables().GrpNameList[1].Visible, -1);
     }},
    {"LineageGroupRows",
     persons + person(3)
         + Lines{"[KakeGrpName_section]", "GrpIdx=0", "Index=0", "TitleName=山田本流", "Leader=3", "Offset=-2.5",
                 "Visible=False", "TitleName=佐藤系"},
     [] {
         ASSERT_EQ(tables().GrpTitleCount, 1);
         EXPECT_EQ(tables().GrpTitleList[0].TitleName, "山田本流");
         EXPECT_EQ(tables().GrpTitleList[0].Leader, 3);
         EXPECT_EQ(tables().GrpTitleList[0].Offset, -2.5);
         EXPECT_EQ(tables().GrpTitleList[0].Visible, 0);
         EXPECT_EQ(tables().GrpTitleList[1].Leader, 0);
         EXPECT_EQ(tables().GrpTitleList[1].Visible, -1);
     }},
    {"AFileWithoutSectionHeadersLoadsNothing", Lines{"これは家系図ではありません", "Index=3", "Name=x"},
     [] { EXPECT_EQ(usedPersons(), 0); }},
    {"TheEndMarkerAloneLoadsNothing", Lines{}, [] { EXPECT_EQ(usedPersons(), 0); }},
};

INSTANTIATE_TEST_SUITE_P(Files, ReaderTest, ::testing::ValuesIn(readCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileStoreTest, DisplayModesAreAppliedAfterLoading)
{
    ASSERT_TRUE(loadLines(Lines{"[Header]", "write_state= 1", "[SystemStatus_section]", " Dispmode_Death= 1"} + persons
                          + person(1, {" Death_day=平成1年1月8日", " DS_Houko=0", " DS_DeathW=0"})
                          + person(2, {" DS_DeathW=0"})));
    EXPECT_EQ(per(1).Disp.DS_Houko, 1);
    EXPECT_EQ(per(1).Disp.DS_DeathW, 1);
    EXPECT_EQ(per(2).Disp.DS_Houko, 1);
    EXPECT_EQ(per(2).Disp.DS_DeathW, 0);
}

TEST_F(FileStoreTest, LoadPresetsSomeSettingsAndKeepsTheRest)
{
    settings().Dispmode_Icon = 1;
    settings().Dispmode_BGcolor = 255;
    settings().Dispmode_BGmap = 3;
    settings().Dispmode_Flip = 1;
    settings().Dispmode_Tyokei = 1;
    settings().Print_Scale = 1.5f;
    ASSERT_TRUE(loadLines(Lines{"[Header]"}));
    EXPECT_EQ(settings().Dispmode_Icon, 0);
    EXPECT_EQ(settings().Dispmode_BGcolor, ColourWhite);
    EXPECT_EQ(settings().Dispmode_BGmap, 0);
    EXPECT_EQ(settings().Dispmode_Flip, 1);
    EXPECT_EQ(settings().Dispmode_Tyokei, 1) << "only entering the status section resets it";
    EXPECT_EQ(settings().Print_Scale, 1.5f);

    ASSERT_TRUE(loadLines(Lines{"[SystemStatus_section]"}));
    EXPECT_EQ(settings().Dispmode_Tyokei, 0);
}

TEST_F(FileStoreTest, ListsWithoutTheirSectionStayAsTheCallerLeftThem)
{
    tables().GrpNameList = {GrpNameRec{"残る", 0, -1}};
    tables().GrpNameCount = 0;
    GrpTitleRec title;
    title.TitleName = "消える";
    tables().GrpTitleList = {title};
    tables().GrpTitleCount = 0;
    tables().tab_grp_f = 1;

    ASSERT_TRUE(loadLines(Lines{"[KakeGrpName_section]", "GrpIdx=-1"}));

    EXPECT_EQ(tables().GrpNameCount, 0);
    EXPECT_EQ(tables().GrpNameList[0].GrpName, "残る");
    EXPECT_EQ(tables().GrpTitleCount, -1);
    EXPECT_EQ(tables().tab_grp_f, -1) << "the lineage-group list was cleared the model's way";
}

TEST_F(FileStoreTest, BytesThatAreNotCp932BecomeQuestionMarksWithOneMessageAndTheFamilyStaysSavable)
{
    // 0x81 0x20 is a lead byte without its trail byte; 0xA0 is no cp932 character.
    platform::writeWholeFile(pathOf("bad.kez"), familyFileBytes(persons + Lines{"personal_data_start", " Index=1"})
                                                    + " Name=a\x81 b\xA0" "c\r\n F_name=\xA0\r\n"
                                                    + familyFileBytes(Lines{"personal_data_end", "[end_of_data]"}));
    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(load_file(pathOf("bad.kez")));
    EXPECT_EQ(per(1).Name, "a? b?c");
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"読めない文字を含む値が 2 個あり、「?」に置き換えました（最初は 4 行目）。"});
    EXPECT_EQ(fileStore().EndOfDataF, -1);
    EXPECT_TRUE(fileStore().loadDamaged) << "the family is not the one the file was written with";
    saveTo(pathOf("again.kez"));

    ASSERT_TRUE(load_file(pathOf("again.kez")));
    EXPECT_FALSE(fileStore().loadDamaged) << "the flag describes the last load only";
}

TEST_F(FileStoreTest, TextValuesOfEverySectionAreDecodedAndNumbersInOtherFormsAreReadAsBefore)
{
    // Lines are split on the file's own bytes and only text values are decoded: a lead
    // byte just before a line end or before "=" must not take the next byte with it,
    // group and title names are decoded like person fields, and a number written in
    // full-width digits is no number to a guarded reading (the preset stays).
    const std::string bytes = familyFileBytes(persons + Lines{"personal_data_start", " Index=1", " Sex=１"}) +
                              " Biko=\x93\x63\x82\r\n Na\x82=x\r\n" +
                              familyFileBytes(Lines{" Name=花子", "personal_data_end", "[GrpName_section]"}) +
                              "GrpName=\x96\x7B\xA0\x89\xC6\r\n" + familyFileBytes(Lines{"[KakeGrpName_section]"}) +
                              "TitleName=\x8E\x52\x93\x63\r\n[end_of_data]\r\n";
    platform::writeWholeFile(pathOf("mixed.kez"), bytes);
    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(load_file(pathOf("mixed.kez")));
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"読めない文字を含む値が 2 個あり、「?」に置き換えました（最初は 5 行目）。"});
    EXPECT_EQ(per(1).Biko, "田?");
    EXPECT_EQ(per(1).Name, "花子");
    EXPECT_EQ(per(1).Sex, 0);
    ASSERT_EQ(tables().GrpNameList.size(), 1u);
    EXPECT_EQ(tables().GrpNameList[0].GrpName, "本?家");
    ASSERT_EQ(tables().GrpTitleList.size(), 1u);
    EXPECT_EQ(tables().GrpTitleList[0].TitleName, "山田");
}

// --- References read from a file are checked ------------------------------------------

struct ReferenceCase {
    const char* name;
    Lines marriageLines;
    bool kept;
};

void PrintTo(const ReferenceCase& c, std::ostream* os)
{
    *os << c.name;
}

class ReferenceCheckTest : public FileStoreTest, public ::testing::WithParamInterface<ReferenceCase> {};

TEST_P(ReferenceCheckTest, MarriageWithAnInvalidPartnerIsDroppedAndCounted)
{
    if (!GetParam().kept)
        answers.answerNext(platform::vbOK);
    ASSERT_TRUE(loadLines(marriages + GetParam().marriageLines + personsOf({1, 2})));
    EXPECT_EQ(kou(1).InUse == SlotUsed, GetParam().kept);
    EXPECT_EQ(answers.shownTexts().empty(), GetParam().kept);
    if (!GetParam().kept) {
        EXPECT_EQ(answers.shownTexts()[0].rfind("夫婦の番号が正しくない結婚関係の記録 1 件を読み込みませんでした", 0), 0u);
        EXPECT_TRUE(fileStore().loadDamaged);
    }
}

INSTANTIATE_TEST_SUITE_P(Partners, ReferenceCheckTest,
                         ::testing::Values(ReferenceCase{"Valid", marriage(1, 2), true},
                                           ReferenceCase{"BlankPartner", marriage(1024, 2), true},
                                           ReferenceCase{"ZeroHusband", marriage(0, 2), false},
                                           ReferenceCase{"ZeroWife", marriage(1, 0), false},
                                           ReferenceCase{"HusbandPastTheTable", marriage(1025, 2), false},
                                           ReferenceCase{"NegativeWife", marriage(1, -7), false},
                                           ReferenceCase{"MissingWife", Lines{"marry_data_start", " kou_titi= 1",
                                                                               "marry_data_end"},
                                                         false},
                                           ReferenceCase{"EndWithoutStart", Lines{" kou_titi= 1", " kou_haha= 2",
                                                                                   "marry_data_end"},
                                                         false}),
                         [](const auto& info) { return std::string(info.param.name); });

// A partner or child naming a person slot the file holds no person for names nobody:
// the marriage or the child is dropped and counted, and the adoption histories follow
// the marriages to their slots (one naming a dropped marriage becomes "none").
TEST_F(FileStoreTest, PartnersAndChildrenNamingEmptyPersonSlotsAreDroppedAndCounted)
{
    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(loadLines(persons + person(1) + person(2) + person(3) + person(4) + marriages
                          + marriage(1, 2, child("3") + child("9"))                          // ends on line 24
                          + marriage(7, 2)                                                    // line 28
                          + marriage(1, 4, child("3", {" kodo_yoshirireki= 4"}))              // line 36
                          + marriage(1024, 4, child("3", {" kodo_yoshirireki= 2"}))));        // line 44
    EXPECT_EQ(kou(1).kou_titi, 1);
    EXPECT_EQ(childrenOf(1), std::vector<int>{3});
    EXPECT_EQ(kou(2).kou_haha, 4) << "the marriages after a dropped one move up";
    EXPECT_EQ(kou(2).kodo_yoshirireki[0], 3) << "the history names its marriage in its new slot";
    EXPECT_EQ(kou(3).kou_titi, BlankPartner);
    EXPECT_EQ(kou(3).kodo_yoshirireki[0], -1);
    EXPECT_EQ(kou(4).InUse, SlotFree);
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"夫婦の番号が正しくない結婚関係の記録 1 件を読み込みませんでした（最初は 28 行目）。\r\n"
                                       "子供の番号が正しくない子供の記録 1 件を読み込みませんでした（最初は 24 行目）。\r\n"
                                       "養子の履歴の結婚番号が正しくない子供の記録 1 件の履歴を「なし」にしました（最初は 44 行目）。"});
    EXPECT_TRUE(fileStore().loadDamaged);
}

TEST_F(FileStoreTest, ChildBlocksWithInvalidPersonsAreDropped)
{
    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(loadLines(marriages
                          + marriage(1, 2,
                                     child("0", {" kou_kodo_comment=零"}) + child("3")
                                         + child("3000", {" kodo_yoshirireki= 1"}) + child("-5") + child("1024")
                                         + child("4", {" kou_kodo_stat= 2"}))
                          + personsOf({1, 2, 3, 4})));
    EXPECT_EQ(childrenOf(1), (std::vector<int>{3, 4})) << "the blank partner 1024 is never a child";
    EXPECT_EQ(kou(1).kou_kodo_comment[0], "") << "nothing of a dropped child stays behind";
    EXPECT_EQ(kou(1).kou_kodo_stat[1], 2);
    EXPECT_EQ(kou(1).kodo_yoshirireki[1], -1);
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"空白（1024番）を人物として使っている記録 1 件を読み込みませんでした（最初は 21 行目）。\r\n"
                                       "子供の番号が正しくない子供の記録 3 件を読み込みませんでした（最初は 8 行目）。"});
    EXPECT_TRUE(fileStore().loadDamaged);
}

TEST_F(FileStoreTest, RecordsThatUseTheBlankPartnerAsAPersonAreDroppedWithOneMessage)
{
    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(loadLines(persons + person(1) + person(1024, {" Name=空白さん"}) + person(2) + marriages
                          + marriage(1024, 1024) + marriage(1024, 2, child("1024") + child("1"))
                          + marriage(1, 2)));
    EXPECT_EQ(per(1024).InUse, SlotFree);
    EXPECT_EQ(usedPersons(), 2);
    EXPECT_EQ(kou(1).kou_titi, BlankPartner) << "one blank partner makes a marriage";
    EXPECT_EQ(childrenOf(1), std::vector<int>{1});
    EXPECT_EQ(kou(2).kou_titi, 1);
    EXPECT_EQ(kou(3).InUse, SlotFree) << "two blank partners make none";
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"空白（1024番）を人物として使っている記録 3 件を読み込みませんでした（最初は 8 行目）。"});
    EXPECT_TRUE(fileStore().loadDamaged) << "the family shown is not the one the file holds";
}

TEST_F(FileStoreTest, ChildLinesLeftOpenOrOutsideABlockAreCheckedToo)
{
    // The last child block is not closed before the marriage ends; in the second
    // marriage a child line stands outside any block.
    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(loadLines(marriages
                          + marriage(1, 2,
                                     child("3") + Lines{"children_data_start", " kou_kodo= 0",
                                                        " kou_kodo_comment=開いたまま"})
                          + marriage(1, 2, Lines{" kou_kodo= 5000"} + child("4"))
                          + marriage(1, 2, child("3") + Lines{"children_data_start", " kou_kodo= 4"})
                          + personsOf({1, 2, 3, 4})));
    EXPECT_EQ(childrenOf(1), (std::vector<int>{3}));
    EXPECT_EQ(kou(1).kou_kodo_comment[1], "") << "nothing of a dropped child stays behind";
    EXPECT_EQ(childrenOf(2), (std::vector<int>{4}));
    EXPECT_EQ(childrenOf(3), (std::vector<int>{3, 4})) << "a proper child whose block was left open stays";
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"子供の番号が正しくない子供の記録 2 件を読み込みませんでした（最初は 11 行目）。"});
}

TEST_F(FileStoreTest, AdoptionHistoryOutsideTheMarriageTableBecomesNone)
{
    // Seven marriages: the history 7 names the last of them; 1024 lies inside the
    // table, but the file holds no marriage for it.
    Lines sixMore;
    for (int k = 2; k <= 7; ++k)
        sixMore = sixMore + marriage(1, 2);
    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(loadLines(marriages
                          + marriage(1, 2,
                                     child("3", {" kodo_yoshirireki= 7"}) + child("4", {" kodo_yoshirireki= 0"})
                                         + child("5", {" kodo_yoshirireki= 5000"})
                                         + child("6", {" kodo_yoshirireki=-3"}) + child("7", {" kodo_yoshirireki= 1024"}))
                          + sixMore + personsOf(slotsFromTo(1, 7))));
    EXPECT_EQ(kou(1).kodo_yoshirireki[0], 7);
    EXPECT_EQ(kou(1).kodo_yoshirireki[1], -1);
    EXPECT_EQ(kou(1).kodo_yoshirireki[2], -1);
    EXPECT_EQ(kou(1).kodo_yoshirireki[3], -1);
    EXPECT_EQ(kou(1).kodo_yoshirireki[4], -1);
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{"養子の履歴の結婚番号が正しくない子供の記録 4 件の履歴を「なし」にしました（最初は 25 行目）。"});
}

// A copy's source and a lineage group's leader name persons of the file, an adoption
// history a marriage of the file. One naming a slot the file holds nothing for names
// nobody now and whoever takes the slot later: it becomes "none" and is counted, also
// when the person it names stands later in the file.
TEST_F(FileStoreTest, CopiesLeadersAndHistoriesNamingNothingOfTheFileBecomeNoneAndAreCounted)
{
    answers.answerNext(platform::vbOK);
    ASSERT_TRUE(loadLines(persons + person(1, {" CopyIdx=2"}) + person(2, {" CopyIdx=9"})  // ends on line 9
                          + person(3, {" CopyIdx=4"}) + marriages
                          + marriage(1, 2, child("3", {" kodo_yoshirireki= 2"}))
                          + marriage(1024, 2, child("3", {" kodo_yoshirireki= 3"}))       // ends on line 30
                          + Lines{"[KakeGrpName_section]", "TitleName=本家", "Leader=1",
                                  "TitleName=空き", "Leader=7",                          // line 34
                                  "TitleName=空白", "Leader=1024", "TitleName=未設定", "Leader=0",
                                  "TitleName=範囲外", "Leader=5000"}
                          + persons + person(4)));
    EXPECT_EQ(per(1).CopyIdx, 2);
    EXPECT_EQ(per(2).CopyIdx, -1);
    EXPECT_EQ(per(3).CopyIdx, 4) << "the source is checked once the whole file is read";
    EXPECT_EQ(kou(1).kodo_yoshirireki[0], 2);
    EXPECT_EQ(kou(2).kodo_yoshirireki[0], -1) << "the file holds two marriages";
    std::vector<int> leaders;
    for (const GrpTitleRec& row : tables().GrpTitleList)
        leaders.push_back(row.Leader);
    EXPECT_EQ(leaders, (std::vector<int>{1, 0, 0, 0, 0}));
    EXPECT_EQ(tables().GrpTitleList[1].TitleName, "空き") << "the group stays, without a leader";
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{
                  "コピー元の人物番号が正しくない個人の記録 1 件のコピー元を「なし」にしました（最初は 9 行目）。\r\n"
                  "養子の履歴の結婚番号が正しくない子供の記録 1 件の履歴を「なし」にしました（最初は 30 行目）。\r\n"
                  "割り付ける人物の番号が正しくない家系グループの記録 3 件の人物を「なし」にしました（最初は 34 行目）。"});
    EXPECT_TRUE(fileStore().loadDamaged);
}

TEST_F(FileStoreTest, ChildrenBeyondTheTwentiethAreDroppedAndCountedInOneMessage)
{
    Lines many;
    for (int c = 1; c <= 23; ++c)
        many = many + child(std::to_string(100 + c), {" kou_kodo_comment=子" + std::to_string(c)});
    Lines twentyOne;
    for (int c = 1; c <= 21; ++c)
        twentyOne = twentyOne + child(std::to_string(200 + c));
    answers.answerNext(platform::vbOK);

    ASSERT_TRUE(loadLines(marriages + marriage(1, 2, many) + marriage(3, 4, twentyOne) + marriage(5, 6, child("7"))
                          + personsOf(slotsFromTo(1, 7)) + personsOf(slotsFromTo(101, 123))
                          + personsOf(slotsFromTo(201, 221))));

    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(TooManyChildrenMessage)
                                       + "。２１人目からの子供 4 人を読み込みませんでした（最初は 88 行目）。"});
    EXPECT_TRUE(fileStore().loadDamaged);
    std::vector<int> first20;
    for (int c = 1; c <= 20; ++c)
        first20.push_back(100 + c);
    EXPECT_EQ(childrenOf(1), first20);
    for (int k : {1, 2}) {
        EXPECT_EQ(kou(k).kou_kodo[20], -1) << "entry 20 stays empty";
        EXPECT_EQ(kou(k).kou_kodo_comment[20], "");
        EXPECT_EQ(kou(k).kou_kodo_stat[20], 0);
    }
    EXPECT_EQ(kou(1).kou_kodo_comment[19], "子20");
    EXPECT_EQ(childrenOf(3), std::vector<int>{7});
}

// --- Group rows (a Visible line belongs only to the row its name line created) -------

TEST_F(FileStoreTest, GroupVisibleAppliesOnlyToTheRowTheNameLineCreated)
{
    ASSERT_TRUE(loadLines(Lines{"[GrpName_section]", "Visible=False", "GrpName=本家", "Visible=True", "GrpName=分家",
                                "Visible=False", "GrpName=本家", "Visible=False", "GrpName= ", "Visible=True"}));
    ASSERT_EQ(tables().GrpNameCount, 1);
    EXPECT_EQ(tables().GrpNameList[0].GrpName, "本家");
    EXPECT_EQ(tables().GrpNameList[0].Visible, -1) << "a repeated name does not take its row's flag";
    EXPECT_EQ(tables().GrpNameList[1].GrpName, "分家");
    EXPECT_EQ(tables().GrpNameList[1].Visible, 0) << "an empty name does not take the previous row's flag";
}

// --- Files that fail leave the family as it was --------------------------------------

struct FailCase {
    const char* name;
    Lines lines;
    // The line under the heading: what is wrong, the line as read and its number.
    const char* reason;
};

void PrintTo(const FailCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailingFileTest : public FileStoreTest, public ::testing::WithParamInterface<FailCase> {};

Lines tooManyMarriages()
{
    Lines lines = marriages;
    for (int k = 0; k < 1025; ++k)
        lines = lines + marriage(1, 2);
    return lines;
}

TEST_P(FailingFileTest, ShowsTheMessageAndChangesNothing)
{
    buildSmallFamily();
    settings().Dispmode_Icon = 1;
    settings().font = "元のフォント";
    tables().GrpNameList = {GrpNameRec{"元", 0, 0}};
    tables().GrpNameCount = 0;
    const auto before = captureFamily();

    // Everything before the fault is sound: none of it may be taken over either.
    const Lines lines = Lines{"[Header]", "font=新", "[Per_bufsection]"} + person(1, {" Name=上書き"})
                        + person(900) + Lines{"[kou_bufsection]"} + marriage(1, 900)
                        + Lines{"[GrpName_section]", "GrpName=新"} + GetParam().lines;
    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(loadLines(lines));

    ASSERT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(LoadFailedMessage) + "\r\n" + GetParam().reason});
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(fileStore().EndOfDataF, 0);
    expectSameFamily(*before, *captureFamily());
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FailingFileTest,
    ::testing::Values(
        FailCase{"StrictDisplayRank", Lines{"[Per_bufsection]"} + person(2, {" DRank=x"}), "数値でなければならない値が数値ではありません：DRank=x（21 行目）"},
        FailCase{"StrictDisplayStart", Lines{"[Per_bufsection]"} + person(2, {" DStart=abc"}), "数値でなければならない値が数値ではありません：DStart=abc（21 行目）"},
        FailCase{"StrictFrameStyle", Lines{"[Per_bufsection]"} + person(2, {" DS_WakuPat="}), "数値でなければならない値が数値ではありません：DS_WakuPat=（21 行目）"},
        FailCase{"StrictFontSize", Lines{"[Header]", "fontsize=abc"}, "数値でなければならない値が数値ではありません：fontsize=abc（19 行目）"},
        FailCase{"SexOutOfRange", Lines{"[Per_bufsection]"} + person(2, {" Sex=40000"}), "値が項目の範囲を超えています：Sex=40000（21 行目）"},
        FailCase{"LenientOutOfRange", Lines{"[Per_bufsection]"} + person(2, {" CopyIdx=99999x"}), "値が項目の範囲を超えています：CopyIdx=99999x（21 行目）"},
        FailCase{"IndexPastTheTable", Lines{"[Per_bufsection]"} + person(1025), "人物番号が範囲外です：Index=1025（20 行目）"},
        FailCase{"IndexBelowMinusOne", Lines{"[Per_bufsection]"} + person(-2), "人物番号が範囲外です：Index=-2（20 行目）"},
        FailCase{"DisplayItemOutOfRange", Lines{"[Per_bufsection]"} + person(2, {" DispSwIdx=11", " DSW=True"}),
                 "表示項目の番号が範囲外です：DSW=True（22 行目）"},
        FailCase{"NegativeDisplayItem", Lines{"[Per_bufsection]"} + person(2, {" DispSwIdx=-1", " DBai=3"}),
                 "表示項目の番号が範囲外です：DBai=3（22 行目）"},
        FailCase{"DisplayItemNotANumber", Lines{"[Per_bufsection]"} + person(2, {" DispSwIdx=x"}), "数値でなければならない値が数値ではありません：DispSwIdx=x（21 行目）"},
        FailCase{"LeaderBeforeAnyLineageGroup", Lines{"[KakeGrpName_section]", "Leader=1"},
                 "系統グループの行がありません：Leader=1（19 行目）"},
        FailCase{"OffsetNotANumber", Lines{"[KakeGrpName_section]", "TitleName=a", "Offset=x"}, "数値でなければならない値が数値ではありません：Offset=x（20 行目）"},
        FailCase{"DispFactorNotATruth", Lines{"[Array_section]", " DispFactor_01=maybe"},
                 "真偽値（True か False）ではありません：DispFactor_01=maybe（19 行目）"},
        FailCase{"ColourPast32Bits", Lines{"[SystemStatus_section]", " Dispmode_BGcolor= 99999999999"},
                 "値が項目の範囲を超えています：Dispmode_BGcolor=99999999999（19 行目）"},
        FailCase{"PrintScalePastSingle", Lines{"[Print_section]", " Print_Scale= 1E+300"}, "値が項目の範囲を超えています：Print_Scale=1E+300（19 行目）"},
        FailCase{"ThousandTwentyFifthMarriage", tooManyMarriages(), "結婚関係が 1024 組を超えています（4114 行目）"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileStoreTest, AMissingFileShowsItsOwnMessage)
{
    buildSmallFamily();
    const auto before = captureFamily();
    answers.answerNext(platform::vbOK);

    EXPECT_FALSE(load_file(pathOf("none.kez")));

    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(FileNotFoundMessage) + "\r\n" + pathOf("none.kez") + "\r\n（ファイルがありません）"});
    EXPECT_EQ(fileStore().EndOfDataF, 0);
    expectSameFamily(*before, *captureFamily());
}

// Messages of a load whose outcome the test does not know in advance.
class RecordingHooks : public platform::Hooks {
public:
    int msgBox(const std::string& text, int, const std::string&) override
    {
        texts.push_back(text);
        return platform::vbOK;
    }
    std::vector<std::string> texts;
};

TEST_F(FileStoreTest, ATruncatedFileLoadsOnlyWholeRecords)
{
    const SmallFamily f = buildSmallFamily();
    tables().per_buf[f.son].Biko = "長い備考\n二行目";
    saveTo(pathOf("whole.kez"));
    const auto original = captureFamily();
    const std::string bytes = platform::readWholeFile(pathOf("whole.kez"));

    RecordingHooks hooks;
    platform::setHooks(&hooks);
    for (size_t cut = 0; cut < bytes.size(); cut += 37) {
        resetProgramState();
        platform::writeWholeFile(pathOf("cut.kez"), bytes.substr(0, cut));
        hooks.texts.clear();
        const bool loaded = load_file(pathOf("cut.kez"));
        if (!loaded) {
            // Cut before its first section, nothing of a family file is left; cut
            // inside a number, the line is named.
            ASSERT_EQ(hooks.texts.size(), 1u) << "cut at " << cut;
            if (cut == 0)
                EXPECT_EQ(hooks.texts[0], NotFamilyFileMessage);
            else
                EXPECT_EQ(hooks.texts[0].rfind(std::string(LoadFailedMessage) + "\r\n", 0), 0u) << "cut at " << cut;
            continue;
        }
        // Only a file that reached its end marker is whole; any other is reported, in
        // one message (which may also count a character cut in two).
        const bool whole = fileStore().EndOfDataF == -1;
        if (whole) {
            EXPECT_TRUE(hooks.texts.empty()) << "cut at " << cut;
        } else {
            ASSERT_EQ(hooks.texts.size(), 1u) << "cut at " << cut;
            EXPECT_EQ(hooks.texts[0].rfind(IncompleteFileMessage, 0), 0u) << "cut at " << cut;
        }
        EXPECT_EQ(fileStore().loadDamaged, !whole) << "cut at " << cut;
        // Every person and marriage that arrived is whole; marriages arrive in order.
        int nextMarriage = 1;
        for (int i = 1; i <= LastSlot; ++i) {
            if (per(i).InUse == SlotUsed) {
                EXPECT_EQ(per(i).Name, original->per[i].Name) << "cut at " << cut;
                EXPECT_EQ(per(i).Biko, original->per[i].Biko) << "cut at " << cut;
                EXPECT_EQ(per(i).Disp, original->per[i].Disp) << "cut at " << cut;
            }
            if (kou(i).InUse == SlotUsed) {
                EXPECT_EQ(i, nextMarriage++);
                EXPECT_EQ(kou(i).kou_titi, original->kou[i].kou_titi) << "cut at " << cut;
                EXPECT_EQ(kou(i).kou_kodo, original->kou[i].kou_kodo) << "cut at " << cut;
            }
        }
    }
    platform::setHooks(&answers);
}

} // namespace
} // namespace model::testing
