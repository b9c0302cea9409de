// save_file: the exact bytes of the family file, its name rule, and what a failed
// save leaves behind. The expected texts are written out by hand from the file layout.

#include "FileStoreTest.h"

#include "model/DispStat.h"
#include "model/SavableText.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "platform/AppPath.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <algorithm>
#include <array>
#include <map>

namespace model::testing {
namespace {

using Lines = std::vector<std::string>;

void append(Lines& lines, const Lines& more)
{
    lines.insert(lines.end(), more.begin(), more.end());
}

// The settings sections and the end of a new family's file.
Lines newFamilyTail()
{
    return {
        "[SystemStatus_section]",
        " Dispmode_Death= 0",
        " Dispmode_Manwoman= 0",
        " Dispmode_Nengo= 1",
        " Dispmode_Icon= 0",
        " Dispmode_Fname= 0",
        " Dispmode_BGcolor= 16777215",
        " Dispmode_BGmap= 0",
        " Dispmode_Tyokei= 0",
        " Dispmode_Flip= 0",
        "",
        "[Array_section]",
        " Array_SortMode= 0",
        " Sort_factor= 0",
        " DispFactor_01=True",
        " DispFactor_02=True",
        " DispFactor_03=False",
        " DispFactor_04=True",
        " DispFactor_05=True",
        " DispFactor_06=False",
        " DispFactor_07=True",
        " DispFactor_08=True",
        " DispFactor_09=False",
        " DispFactor_10=False",
        " DispFactor_11=True",
        " DispFactor_12=False",
        " DispFactor_13=False",
        " DispFactor_14=False",
        "",
        "[Nenpyo_section]",
        " Nenpyo_SortMode= 0",
        "",
        "[Print_section]",
        " Print_Scale= 0",
        " Print_TateYoko= 0",
        " Print_Allmode= 0",
        " Print_BGmap= 0",
        "",
        "[GrpName_section]",
        "GrpIdx=-1",
        "",
        "[KakeGrpName_section]",
        "GrpIdx=-1",
        "",
        "[end_of_data]",
    };
}

// The display groups of a person block: per item DSW, DRank, DBai, DWLocate, DHLocate,
// DStart and DWidth as written. Starts from the default display block.
using DisplayTable = std::array<std::array<std::string, 7>, 11>;
DisplayTable defaultDisplay()
{
    return {{
        {"True", "2", "50", "0", "0", "20", "50"},
        {"False", "1", "50", "0", "1", "20", "20"},
        {"False", "4", "50", "0", "0", "20", "20"},
        {"False", "5", "50", "0", "0", "20", "20"},
        {"False", "6", "50", "0", "0", "20", "20"},
        {"False", "7", "50", "0", "2", "20", "20"},
        {"False", "8", "50", "0", "2", "20", "20"},
        {"False", "9", "50", "0", "2", "20", "20"},
        {"False", "10", "50", "0", "1", "20", "20"},
        {"True", "0", "50", "0", "1", "20", "20"},
        {"False", "3", "50", "0", "0", "20", "20"},
    }};
}

Lines displayLines(const DisplayTable& table)
{
    static const char* keys[] = {" DSW=", " DRank=", " DBai=", " DWLocate=", " DHLocate=", " DStart=", " DWidth="};
    Lines lines;
    for (size_t d = 0; d < table.size(); ++d) {
        lines.push_back(" DispSwIdx=" + std::to_string(d));
        for (size_t f = 0; f < 7; ++f)
            lines.push_back(keys[f] + table[d][f]);
    }
    return lines;
}

class WriterTest : public FileStoreTest {};

TEST_F(WriterTest, EmptyDocumentAfterNewFamily)
{
    const std::string path = pathOf("empty.kez");
    saveTo(path);

    Lines expected = {
        "[Header]",
        "",
        "filetype=KEZ",
        "ver=6.00",
        "font=ＭＳ Ｐゴシック",
        "fontsize= 15",
        "write_state= 0",
        "dispmode= 1",
        "",
        "[Per_bufsection]",
        "",
        "[kou_bufsection]",
        "",
    };
    append(expected, newFamilyTail());
    EXPECT_EQ(fileLines(path), expected);
    EXPECT_EQ(platform::readWholeFile(path), familyFileBytes(expected));
    EXPECT_FALSE(platform::fileExists(kedFileName(path))) << "no media, no bundle";
}

// A small family with Japanese names, era dates, a remark with line breaks, free slots
// between used ones, children in slots 0 and 2, a relationship with the blank partner,
// both group lists and settings away from their defaults.
class SmallFamilyFileTest : public WriterTest {
protected:
    void SetUp() override
    {
        Settings& s = settings();
        s.font = "ＭＳ 明朝";
        s.fontsize = 12;
        s.write_state = 1;
        s.dispmode = 0;
        s.Dispmode_Death = 1;
        s.Dispmode_Nengo = 2;
        s.Dispmode_BGcolor = 12632256;
        s.Dispmode_Tyokei = 1;
        s.Dispmode_Flip = 1;
        s.Array_SortMode = 2;
        s.Sort_factor = 3;
        s.DispFactor[1] = false;
        s.DispFactor[3] = true;
        s.Nenpyo_SortMode = 1;
        s.Print_Scale = 0.75f;
        s.Print_TateYoko = 1;
        s.Print_Allmode = -1;
        s.Print_BGmap = 1;

        personal_data& father = person(1, "山田", "太郎", 0);
        father.B_day = "昭和10年1月15日";
        father.Death_day = "平成20年3月3日";
        father.Age = 73;
        father.YubinNo = "100-0001";
        father.Addr1 = "東京都千代田区";
        father.TelNo = "03-1234-5678";
        father.E_mail = "taro@example.jp";
        father.Biko = "一行目\r\n二行目\n三行目=続き";
        father.Zokugara = "父";
        father.GrpName = "本家";
        father.CsvOutFlag = 1;
        father.Disp.DStart[0] = 0.5;

        personal_data& mother = person(3, "山田", "花子", 1);
        mother.B_day = "昭和12年5月5日";
        mother.Old_name = "佐藤";
        mother.Zokugara = "母";
        mother.GrpName = "本家";
        mother.Disp.DSW[1] = -1;

        person(4, "山田", "一郎", 0).B_day = "昭和40年4月1日";
        person(6, "山田", "春子", 1).B_day = "平成2年2月2日";

        marry_data& m = tables().kou_buf[1];
        m = marry_data();
        m.InUse = SlotUsed;
        m.kou_title = "山田家";
        m.kou_state = "通常";
        m.kou_mode = 0;
        m.sort_lev = 0;
        m.kou_titi = 1;
        m.kou_haha = 3;
        m.dsp_start = 1;
        m.kou_kodo[0] = 4;
        m.kou_kodo_stat[0] = 0;
        m.kodo_honsuji[0] = 1;
        m.kou_kodo[2] = 6;
        m.kou_kodo_stat[2] = 2;
        m.kou_kodo_comment[2] = "養女";
        m.kodo_visible[2] = 0;
        m.kodo_yoshirireki[2] = 1;

        marry_data& r = tables().kou_buf[3];
        r = marry_data();
        r.InUse = SlotUsed;
        r.kou_state = "愛人";
        r.kou_mode = 1;
        r.sort_lev = 1;
        r.kou_titi = BlankPartner;
        r.kou_haha = 6;
        r.Bunke = 1;

        Tables& t = tables();
        t.GrpNameList = {GrpNameRec{"本家", 0, -1}, GrpNameRec{"分家", 0, 0}};
        t.GrpNameCount = 1;
        GrpTitleRec main;
        main.TitleName = "山田本流";
        main.Leader = 1;
        GrpTitleRec side;
        side.TitleName = "佐藤系";
        side.Visible = 0;
        side.Leader = 3;
        side.Offset = -1.5;
        t.GrpTitleList = {main, side};
        t.GrpTitleCount = 1;

        // As every chart build does before the family is saved.
        model::Apply_DispModes();
    }

    personal_data& person(int slot, const std::string& familyName, const std::string& name, int sex)
    {
        personal_data& p = tables().per_buf[slot];
        p = clearedPerson(slot);
        p.InUse = SlotUsed;
        p.F_name = familyName;
        p.Name = name;
        p.Sex = static_cast<int16_t>(sex);
        return p;
    }

    static Lines personBlock(int slot, const Lines& head, const DisplayTable& display, const std::string& deathFrame)
    {
        Lines lines = {"personal_data_start", " Index=" + std::to_string(slot)};
        append(lines, head);
        append(lines, displayLines(display));
        append(lines, {
                          " DS_FName=1",
                          " DS_Houko=1",
                          " DS_Nen=0",
                          " DS_Waku=1",
                          " DS_DeathW=" + deathFrame,
                          " DS_Visible=1",
                          " DS_PicHouko=0",
                          " DS_WakuPat=0",
                          " Voice_filename=voice" + std::to_string(slot) + ".wav",
                          " Picture_filename=",
                          " Voice_index=-1",
                          " Picture_index=-1",
                          " Picture_mode=-1",
                          "",
                          "personal_data_end",
                          "",
                      });
        return lines;
    }

    static Lines expectedFile()
    {
        Lines lines = {
            "[Header]",
            "",
            "filetype=KEZ",
            "ver=6.00",
            "font=ＭＳ 明朝",
            "fontsize= 12",
            "write_state= 1",
            "dispmode= 1",
            "",
            "[Per_bufsection]",
            "",
        };
        DisplayTable fatherDisplay = defaultDisplay();
        fatherDisplay[0][5] = "0.5";
        append(lines, personBlock(1,
                                  {" F_name=山田", " Name=太郎", " Sex=0", " B_day=昭和10年1月15日", " Old_name=",
                                   " Death_day=平成20年3月3日", " Age=73", " YubinNo=100-0001",
                                   " Addr1=東京都千代田区", " Addr2=", " TelNo=03-1234-5678", " FaxNo=", " KeiNo=",
                                   " E_mail=taro@example.jp", " Biko=一行目\n二行目\n三行目=続き", " Zokugara=父",
                                   " Kaimyo=", " GrpName=本家", " ZokugaraK=", " CategoryF=-1", " CopyIdx=-1",
                                   " CsvOutFlag=1"},
                                  fatherDisplay, "1"));
        DisplayTable motherDisplay = defaultDisplay();
        motherDisplay[1][0] = "True";
        append(lines, personBlock(3,
                                  {" F_name=山田", " Name=花子", " Sex=1", " B_day=昭和12年5月5日", " Old_name=佐藤",
                                   " Death_day=", " Age=-1", " YubinNo=", " Addr1=", " Addr2=", " TelNo=",
                                   " FaxNo=", " KeiNo=", " E_mail=", " Biko=", " Zokugara=母", " Kaimyo=",
                                   " GrpName=本家", " ZokugaraK=", " CategoryF=-1", " CopyIdx=-1", " CsvOutFlag=0"},
                                  motherDisplay, "0"));
        append(lines, personBlock(4,
                                  {" F_name=山田", " Name=一郎", " Sex=0", " B_day=昭和40年4月1日", " Old_name=",
                                   " Death_day=", " Age=-1", " YubinNo=", " Addr1=", " Addr2=", " TelNo=",
                                   " FaxNo=", " KeiNo=", " E_mail=", " Biko=", " Zokugara=", " Kaimyo=",
                                   " GrpName=", " ZokugaraK=", " CategoryF=-1", " CopyIdx=-1", " CsvOutFlag=0"},
                                  defaultDisplay(), "0"));
        append(lines, personBlock(6,
                                  {" F_name=山田", " Name=春子", " Sex=1", " B_day=平成2年2月2日", " Old_name=",
                                   " Death_day=", " Age=-1", " YubinNo=", " Addr1=", " Addr2=", " TelNo=",
                                   " FaxNo=", " KeiNo=", " E_mail=", " Biko=", " Zokugara=", " Kaimyo=",
                                   " GrpName=", " ZokugaraK=", " CategoryF=-1", " CopyIdx=-1", " CsvOutFlag=0"},
                                  defaultDisplay(), "0"));
        append(lines, {
                          "[kou_bufsection]",
                          "",
                          "marry_data_start",
                          " kou_title=山田家",
                          " kou_state=通常",
                          " kou_mode= 0",
                          " sort_lev= 0",
                          " kou_titi= 1",
                          " kou_haha= 3",
                          " dsp_start= 1",
                          " Yoshi_f= 0",
                          " Bunke=-1",
                          "",
                          "children_data_start",
                          " kou_kodo= 4",
                          " kou_kodo_stat= 0",
                          " kou_kodo_comment=",
                          " kodo_honsuji= 1",
                          " kodo_visible= 1",
                          " kodo_yoshirireki=-1",
                          "children_data_end",
                          "",
                          "children_data_start",
                          " kou_kodo= 6",
                          " kou_kodo_stat= 2",
                          " kou_kodo_comment=養女",
                          " kodo_honsuji=-1",
                          " kodo_visible= 0",
                          " kodo_yoshirireki= 1",
                          "children_data_end",
                          "",
                          "marry_data_end",
                          "",
                          "marry_data_start",
                          " kou_title=",
                          " kou_state=愛人",
                          " kou_mode= 1",
                          " sort_lev= 1",
                          " kou_titi= 1024",
                          " kou_haha= 6",
                          " dsp_start= 0",
                          " Yoshi_f= 0",
                          " Bunke= 1",
                          "",
                          "marry_data_end",
                          "",
                          "[SystemStatus_section]",
                          " Dispmode_Death= 1",
                          " Dispmode_Manwoman= 0",
                          " Dispmode_Nengo= 2",
                          " Dispmode_Icon= 0",
                          " Dispmode_Fname= 0",
                          " Dispmode_BGcolor= 12632256",
                          " Dispmode_BGmap= 0",
                          " Dispmode_Tyokei= 1",
                          " Dispmode_Flip= 1",
                          "",
                          "[Array_section]",
                          " Array_SortMode= 2",
                          " Sort_factor= 3",
                          " DispFactor_01=False",
                          " DispFactor_02=True",
                          " DispFactor_03=True",
                          " DispFactor_04=True",
                          " DispFactor_05=True",
                          " DispFactor_06=False",
                          " DispFactor_07=True",
                          " DispFactor_08=True",
                          " DispFactor_09=False",
                          " DispFactor_10=False",
                          " DispFactor_11=True",
                          " DispFactor_12=False",
                          " DispFactor_13=False",
                          " DispFactor_14=False",
                          "",
                          "[Nenpyo_section]",
                          " Nenpyo_SortMode= 1",
                          "",
                          "[Print_section]",
                          " Print_Scale= .75",
                          " Print_TateYoko= 1",
                          " Print_Allmode=-1",
                          " Print_BGmap= 1",
                          "",
                          "[GrpName_section]",
                          "GrpIdx=1",
                          "Index=0",
                          "GrpName=本家",
                          "Visible=True",
                          "Index=1",
                          "GrpName=分家",
                          "Visible=False",
                          "",
                          "[KakeGrpName_section]",
                          "GrpIdx=1",
                          "Index=0",
                          "TitleName=山田本流",
                          "Leader=1",
                          "Offset=0",
                          "Visible=True",
                          "Index=1",
                          "TitleName=佐藤系",
                          "Leader=3",
                          "Offset=-1.5",
                          "Visible=False",
                          "",
                          "[end_of_data]",
                      });
        return lines;
    }
};

TEST_F(SmallFamilyFileTest, WritesTheExactBytes)
{
    const std::string path = pathOf("small.KEZ");
    saveTo(path);

    const std::string written = kezFileName(path);
    EXPECT_EQ(written, path);
    EXPECT_EQ(fileLines(written), expectedFile());
    EXPECT_EQ(platform::readWholeFile(written), familyFileBytes(expectedFile()));
}

TEST_F(SmallFamilyFileTest, WriteReadWriteGivesIdenticalBytes)
{
    saveTo(pathOf("first.kez"));
    resetProgramState();
    ASSERT_TRUE(load_file(pathOf("first.kez")));
    EXPECT_TRUE(answers.shown().empty());

    // Marriages close up into slots 1 and 2, children into slots 0 and 1.
    EXPECT_EQ(tables().kou_buf[2].kou_haha, 6);
    EXPECT_EQ(tables().kou_buf[3].InUse, SlotFree);
    EXPECT_EQ(childrenOf(1), (std::vector<int>{4, 6}));
    EXPECT_EQ(tables().kou_buf[1].kou_kodo_comment[1], "養女");
    EXPECT_EQ(tables().per_buf[1].Biko, "一行目\n二行目\n三行目=続き");
    EXPECT_EQ(tables().per_buf[2].InUse, SlotFree);

    saveTo(pathOf("second.kez"));
    EXPECT_EQ(platform::readWholeFile(pathOf("second.kez")), platform::readWholeFile(pathOf("first.kez")));
}

// --- Faults mended in the writer -------------------------------------------------------

TEST_F(SmallFamilyFileTest, SavingLeavesTheLiveDisplayModeAlone)
{
    ASSERT_EQ(settings().dispmode, 0);
    saveTo(pathOf("mode.kez"));
    EXPECT_EQ(settings().dispmode, 0) << "the display mode the user chose survives every snapshot";
    const Lines lines = fileLines(pathOf("mode.kez"));
    EXPECT_EQ(lines[7], "dispmode= 1");

    ASSERT_TRUE(load_file(pathOf("mode.kez")));
    EXPECT_EQ(settings().dispmode, 1) << "loading still sets display mode 1";
}

TEST_F(WriterTest, CarriageReturnsInsideValuesBecomeLineFeeds)
{
    personal_data& p = tables().per_buf[1];
    p.InUse = SlotUsed;
    p.Name = "名";
    p.Biko = "a\r\nb\rc\n\r\nd\r";
    p.Addr1 = "x\r personal_data_end\r Name=偽";
    // Japanese text is encoded straight into the file and folded there.
    p.Addr2 = "\r山\r\n\r田\r";
    saveTo(pathOf("cr.kez"));

    const std::string bytes = platform::readWholeFile(pathOf("cr.kez"));
    EXPECT_NE(bytes.find(" Biko=a\nb\nc\n\nd\n\r\n"), std::string::npos);
    EXPECT_NE(bytes.find(" Addr2=\n\x8E\x52\n\n\x93\x63\n\r\n"), std::string::npos);
    // No value can end a line early: every CR in the file is part of a CR LF line end.
    for (size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n') << "lone CR at byte " << i;
        }
    }

    resetProgramState();
    ASSERT_TRUE(load_file(pathOf("cr.kez")));
    EXPECT_EQ(tables().per_buf[1].Name, "名");
    EXPECT_EQ(tables().per_buf[1].Addr1, "x\n personal_data_end\n Name=偽");
    EXPECT_EQ(tables().per_buf[1].Biko, "a\nb\nc\n\nd\n");
    EXPECT_EQ(tables().per_buf[1].Addr2, "\n山\n\n田\n");
}

struct FailedSaveCase {
    const char* name;
    const char* unencodable; // a character put into a remark, or "" for none
    bool targetIsFolder;
};

void PrintTo(const FailedSaveCase& c, std::ostream* os)
{
    *os << c.name;
}

class FailedSaveTest : public WriterTest, public ::testing::WithParamInterface<FailedSaveCase> {};

TEST_P(FailedSaveTest, ShowsTheMessageAndLeavesThePreviousFileWhole)
{
    const FailedSaveCase& c = GetParam();
    const std::string path = pathOf("family.kez");
    platform::writeWholeFile(path, "previous contents");
    personal_data& p = tables().per_buf[1];
    p.InUse = SlotUsed;
    p.F_name = "山田";
    p.Name = "花子";
    p.Biko = std::string("前") + c.unencodable + "後";
    std::string target = path;
    if (c.targetIsFolder) {
        target = pathOf("folder.kez");
        platform::makeDir(target);
    }

    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(save_file(target));

    // A character the file cannot hold is named with the person and the field.
    // A folder in the way is named as the file that could not be written.
    const std::string expected = c.targetIsFolder ? std::string(SaveFailedMessage) + "\r\n" + target +
                                                        "\r\n（書き込み先がフォルダーです）"
                                                  : std::string(SaveFailedMessage) + "\r\n" + model::UnsavableCharMessage +
                                                        c.unencodable + "\r\n（個人 1「山田 花子」の備考）";
    ASSERT_EQ(answers.shownTexts(), std::vector<std::string>{expected});
    EXPECT_EQ(answers.shown()[0].style, platform::vbOKOnly);
    EXPECT_EQ(platform::readWholeFile(path), "previous contents");
    EXPECT_EQ(platform::listFiles(home.path(), "*.*").size(), 1u) << "no temporary file is left behind";
}

INSTANTIATE_TEST_SUITE_P(Causes, FailedSaveTest,
                         ::testing::Values(FailedSaveCase{"EmojiNotInCp932", "😀", false},
                                           FailedSaveCase{"HangulNotInCp932", "한", false},
                                           FailedSaveCase{"TargetIsAFolder", "", true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WriterTest, ACharacterOutsideCp932InAMarriageNamesTheMarriageAndTheField)
{
    marry_data& m = tables().kou_buf[2];
    m.InUse = SlotUsed;
    m.kou_title = "Caf\u00E9山田家"; // "é" has no cp932 form
    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(save_file(pathOf("family.kez")));
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(SaveFailedMessage) + "\r\n" +
                                                             model::UnsavableCharMessage +
                                                             "\u00E9\r\n（結婚関係 2のタイトル）"});
}

TEST_F(WriterTest, SaveIntoAMissingFolderFails)
{
    answers.answerNext(platform::vbOK);
    EXPECT_FALSE(save_file(pathOf("no/such/folder/a.kez")));
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(SaveFailedMessage) + "\r\n" +
                                                             pathOf("no/such/folder/a.kez") +
                                                             "\r\n（フォルダーがありません）"});
}

// --- File names ----------------------------------------------------------------------

struct NameCase {
    const char* path;
    const char* familyFile;
    const char* bundle;
};

void PrintTo(const NameCase& c, std::ostream* os)
{
    *os << c.path;
}

class FileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(FileNameTest, ANameEndingInKezIsKeptAndTheBundleFollowsItsCase)
{
    EXPECT_EQ(kezFileName(GetParam().path), GetParam().familyFile);
    EXPECT_EQ(kedFileName(GetParam().path), GetParam().bundle);
}

INSTANTIATE_TEST_SUITE_P(Rule, FileNameTest,
                         ::testing::Values(NameCase{"/d/a.KEZ", "/d/a.KEZ", "/d/a.KED"},
                                           NameCase{"/d/a.b.KEZ", "/d/a.b.KEZ", "/d/a.b.KED"},
                                           NameCase{"/d/a.kez", "/d/a.kez", "/d/a.ked"},
                                           NameCase{"/d/a.Kez", "/d/a.Kez", "/d/a.Ked"},
                                           NameCase{"/d/a", "/d/a.kez", "/d/a.ked"},
                                           NameCase{"/d/a.b", "/d/a.b.kez", "/d/a.b.ked"},
                                           NameCase{"/d/family.txt", "/d/family.txt.kez", "/d/family.txt.ked"},
                                           NameCase{"/d/a.kez.bak", "/d/a.kez.bak.kez", "/d/a.kez.bak.ked"},
                                           NameCase{"/home/u/.local/x", "/home/u/.local/x.kez", "/home/u/.local/x.ked"},
                                           NameCase{"/d/a.", "/d/a.kez", "/d/a.ked"},
                                           NameCase{"/d/", "/d/default.kez", "/d/default.ked"},
                                           NameCase{"C:\\my.docs\\", "C:\\my.docs\\default.kez", "C:\\my.docs\\default.ked"},
                                           NameCase{"/d/山田家.家系", "/d/山田家.家系.kez", "/d/山田家.家系.ked"},
                                           NameCase{"Undo.kez", "Undo.kez", "Undo.ked"}));

TEST_F(WriterTest, AFamilyKeptAsKezInCapitalsIsSavedInPlaceWithItsBundle)
{
    platform::writeWholeFile(platform::joinPath(home.path(), "voice/v.wav"), "RIFF");
    tables().per_buf[1].InUse = SlotUsed;
    tables().per_buf[1].Voice_index = 0;
    tables().per_buf[1].Voice_filename = "v.wav";
    platform::writeWholeFile(pathOf("a.b.KEZ"), "older family");
    platform::writeWholeFile(pathOf("a.b.KED"), "older bundle");

    saveTo(pathOf("a.b.KEZ"));

    EXPECT_NE(platform::readWholeFile(pathOf("a.b.KEZ")), "older family");
    EXPECT_NE(platform::readWholeFile(pathOf("a.b.KED")), "older bundle");
    EXPECT_FALSE(platform::fileExists(pathOf("a.b.kez")));
    EXPECT_FALSE(platform::fileExists(pathOf("a.b.ked")));
    resetProgramState();
    ASSERT_TRUE(load_file(pathOf("a.b.KEZ")));
    EXPECT_TRUE(answers.shown().empty()) << "the bundle beside the file is the one just written";
    EXPECT_EQ(tables().per_buf[1].Voice_index, 0);
}

} // namespace
} // namespace model::testing
