// The additional load: a second family file appended with every reference renumbered,
// media names kept apart, the open family's view kept, and a merge that does not fit
// rolled back whole.

#include "DocumentTest.h"

#include "model/GroupLists.h"
#include "document/InitAllSetting.h"
#include "document/MergeLoad.h"
#include "document/WorkFolders.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/MediaBundle.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include <functional>
#include <tuple>

namespace model::testing {
namespace {

class MergeTest : public DocumentTest {
protected:
    // Builds a family in an empty document, saves it as the second file (with its media
    // bundle) and starts a new, empty document again.
    std::string writeSecondFile(const std::function<void()>& build)
    {
        InitAllSetting();
        build();
        const std::string path = home.file("second.kez");
        EXPECT_TRUE(save_file(path));
        InitAllSetting();
        windows.events.clear();
        return path;
    }

    static int usedPersons()
    {
        int n = 0;
        for (int p = 1; p <= LastSlot; ++p)
            n += tables().per_buf[p].InUse == SlotUsed ? 1 : 0;
        return n;
    }

    // Frees person slots made only to move the others to higher numbers.
    static void freePersons(std::initializer_list<int> slots)
    {
        for (const int p : slots)
            tables().per_buf[p] = clearedPerson(p);
    }
};

TEST_F(MergeTest, IntoAnEmptyFamilyThePersonsTakeSlotsFromOneInTheirOrder)
{
    const std::string path = writeSecondFile([this] {
        for (int i = 1; i <= 9; ++i)
            addPerson("人" + std::to_string(i), "第二", i % 2);
        freePersons({1, 2, 4, 5, 6, 8});
        const int k = addMarriage(3, 7);
        addChild(k, 9);
        addMarriage(9, BlankPartner);
    });

    Merge_LoadFile(path);

    EXPECT_TRUE(answers.shown().empty());
    Tables& t = tables();
    EXPECT_EQ(usedPersons(), 3);
    EXPECT_EQ(t.per_buf[1].Name, "人3");
    EXPECT_EQ(t.per_buf[2].Name, "人7");
    EXPECT_EQ(t.per_buf[3].Name, "人9");
    EXPECT_EQ(t.kou_buf[1].kou_titi, 1);
    EXPECT_EQ(t.kou_buf[1].kou_haha, 2);
    EXPECT_EQ(childrenOf(1), std::vector<int>{3});
    EXPECT_EQ(t.kou_buf[2].kou_titi, 3);
    EXPECT_EQ(t.kou_buf[2].kou_haha, BlankPartner) << "the blank partner stays blank";
    EXPECT_EQ(t.Data_Changed, 1);
    // The merge cannot be undone.
    EXPECT_EQ(windows.eventsStartingWith("setUndoEnabled"), std::vector<std::string>{"setUndoEnabled:0"});
}

TEST_F(MergeTest, AddedRecordsFillTheFreeSlotsWithEveryReferenceRenumbered)
{
    const std::string path = writeSecondFile([this] {
        const int father = addPerson("父", "加藤", 0);
        const int mother = addPerson("母", "加藤", 1);
        const int child = addPerson("子", "加藤", 0);
        const int k = addMarriage(father, mother);
        tables().kou_buf[k].dsp_start = 1;
        addChild(k, child);
        tables().kou_buf[k].kodo_yoshirireki[0] = static_cast<int16_t>(k);
        tables().per_buf[child].CopyIdx = static_cast<int16_t>(father);
        addMarriage(child, BlankPartner);
    });
    // The open family: persons 1 and 3 (slot 2 free), its start marriage in slot 1.
    const int husband = addPerson("夫", "山田", 0);
    addPerson("空き", "山田", 1);
    const int wife = addPerson("妻", "山田", 1);
    freePersons({2});
    const int open = addMarriage(husband, wife);
    tables().kou_buf[open].dsp_start = 1;
    const FamilyCapture before = captureFamily();

    Merge_LoadFile(path);

    EXPECT_TRUE(answers.shown().empty());
    const Tables& t = tables();
    EXPECT_TRUE(t.per_buf[husband] == before.tables->per_buf[husband]);
    EXPECT_TRUE(t.kou_buf[open] == before.tables->kou_buf[open]);
    // The second file's persons 1, 2, 3 take the free slots 2, 4, 5.
    EXPECT_EQ(t.per_buf[2].Name, "父");
    EXPECT_EQ(t.per_buf[4].Name, "母");
    EXPECT_EQ(t.per_buf[5].Name, "子");
    EXPECT_EQ(t.per_buf[5].CopyIdx, 2);
    // Its marriages 1 and 2 take slots 2 and 3.
    const marry_data& added = t.kou_buf[2];
    EXPECT_EQ(added.kou_titi, 2);
    EXPECT_EQ(added.kou_haha, 4);
    EXPECT_EQ(childrenOf(2), std::vector<int>{5});
    EXPECT_EQ(added.kodo_yoshirireki[0], 2) << "the adoption history names the added marriage";
    EXPECT_EQ(added.dsp_start, 0) << "the open family keeps its start marriage";
    EXPECT_EQ(t.kou_buf[3].kou_titi, 5);
    EXPECT_EQ(t.kou_buf[3].kou_haha, BlankPartner);
    EXPECT_EQ(t.kou_buf[open].dsp_start, 1);
}

TEST_F(MergeTest, TheOpenFamilyKeepsItsViewDatesAndLineageGroups)
{
    const std::string path = writeSecondFile([this] {
        Settings& s = settings();
        s.Dispmode_Flip = 0;
        s.write_state = 0;
        s.font = "ＭＳ 明朝";
        s.fontsize = 12;
        s.Dispmode_Nengo = 1;
        const int p = addPerson("追加", "佐藤", 0);
        tables().per_buf[p].B_day = "平成16年03月04日";
        tables().per_buf[p].Death_day = "平成20年";
        tables().per_buf[p].GrpName = "大阪";
        Add_GrpName("東京");
        Add_GrpName("大阪");
        Add_GrpTitle();
        tables().GrpTitleList[0].TitleName = "佐藤本家";
    });
    Settings& s = settings();
    s.Dispmode_Flip = 1;
    s.write_state = 1;
    s.Dispmode_BGcolor = 255;
    s.font = "ＭＳ ゴシック";
    s.fontsize = 20;
    s.Dispmode_Nengo = 0;
    const int p = addPerson("元", "山田", 0);
    tables().per_buf[p].B_day = "2000/01/02";
    Add_GrpName("本家");
    Add_GrpName("東京");
    Add_GrpTitle();
    tables().GrpTitleList[0].TitleName = "山田本家";

    Merge_LoadFile(path);

    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(s.Dispmode_Flip, 1);
    EXPECT_EQ(s.write_state, 1);
    EXPECT_EQ(s.Dispmode_BGcolor, 255);
    EXPECT_EQ(s.font, "ＭＳ ゴシック");
    EXPECT_EQ(s.Dispmode_Nengo, 0) << "the open family's dates are western text";
    EXPECT_EQ(s.fontsize, 12) << "the other settings are the second file's";
    const Tables& t = tables();
    EXPECT_EQ(t.per_buf[p].B_day, "2000/01/02");
    EXPECT_EQ(t.per_buf[2].B_day, "2004/03/04") << "an added date in the open family's form";
    EXPECT_EQ(t.per_buf[2].Death_day, "2008");
    ASSERT_EQ(t.GrpTitleCount, 0);
    EXPECT_EQ(t.GrpTitleList[0].TitleName, "山田本家");
    ASSERT_EQ(t.GrpNameCount, 2);
    EXPECT_EQ(t.GrpNameList[0].GrpName, "本家");
    EXPECT_EQ(t.GrpNameList[1].GrpName, "東京");
    EXPECT_EQ(t.GrpNameList[2].GrpName, "大阪");
}


// The added dates take the open family's form by the rule of a display-mode change:
// a first year keeps its era, and what no form gives back exactly stays as written.
TEST_F(MergeTest, AddedDatesKeepTheirEraAndWhatIsWritten)
{
    const std::string path = writeSecondFile([this] {
        settings().Dispmode_Nengo = 1;
        const int a = addPerson("追加", "佐藤", 0);
        tables().per_buf[a].B_day = "平成元年";
        tables().per_buf[a].Death_day = "明治10年頃";
        const int b = addPerson("追加", "鈴木", 0);
        tables().per_buf[b].B_day = "昭和元年12月";
        tables().per_buf[b].Death_day = "平成16年03月04日";
    });
    for (const auto& [mode, firstYear, month, full] :
         {std::tuple<int, const char*, const char*, const char*>{2, "H1年", "S1年12月", "H16年03月04日"},
          {0, "平成元年", "昭和元年12月", "2004/03/04"}}) {
        SCOPED_TRACE(mode);
        InitAllSetting();
        settings().Dispmode_Nengo = mode;
        Merge_LoadFile(path);
        EXPECT_TRUE(answers.shown().empty());
        const Tables& t = tables();
        EXPECT_EQ(t.per_buf[1].B_day, firstYear);
        EXPECT_EQ(t.per_buf[1].Death_day, "明治10年頃");
        EXPECT_EQ(t.per_buf[2].B_day, month);
        EXPECT_EQ(t.per_buf[2].Death_day, full);
    }
}
// A western year or month of the added family that two eras share stays western in
// an era family; one wholly inside one era takes the era's form.
TEST_F(MergeTest, AddedWesternYearsTwoErasShareStayAsWritten)
{
    const std::string path = writeSecondFile([this] {
        settings().Dispmode_Nengo = 0;
        const int a = addPerson("追加", "佐藤", 0);
        tables().per_buf[a].B_day = "1989";
        tables().per_buf[a].Death_day = "1926/12";
        const int b = addPerson("追加", "鈴木", 0);
        tables().per_buf[b].B_day = "1990";
        tables().per_buf[b].Death_day = "2019/05";
    });
    settings().Dispmode_Nengo = 1;
    Merge_LoadFile(path);
    EXPECT_TRUE(answers.shown().empty());
    const Tables& t = tables();
    EXPECT_EQ(t.per_buf[1].B_day, "1989");
    EXPECT_EQ(t.per_buf[1].Death_day, "1926/12");
    EXPECT_EQ(t.per_buf[2].B_day, "平成02年");
    EXPECT_EQ(t.per_buf[2].Death_day, "令和元年05月");
}

TEST_F(MergeTest, AddedMediaKeepTheirOwnFilesNextToTheOpenFamilys)
{
    const std::string path = writeSecondFile([this] {
        const int a = addPerson("甲", "追加", 0);
        const int b = addPerson("乙", "追加", 1);
        giveVoice(a, "voice1.wav", "added memo");
        givePicture(a, "face.bmp", "added face");
        givePicture(b, "only.bmp", "only picture");
    });
    const int open = addPerson("丙", "元", 0);
    giveVoice(open, "voice1.wav", "open memo");
    givePicture(open, "face.bmp", "open face");
    writeMedia(MediaVoice, "voice9.wav", "memo nobody refers to yet");

    Merge_LoadFile(path);

    EXPECT_TRUE(answers.shown().empty());
    const Tables& t = tables();
    const personal_data& kept = t.per_buf[open];
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaVoice, kept.Voice_filename)), "open memo");
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaPicture, kept.Picture_filename)), "open face");
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaVoice, "voice9.wav")), "memo nobody refers to yet");

    const personal_data& a = t.per_buf[2];
    const personal_data& b = t.per_buf[3];
    ASSERT_EQ(a.Name, "甲");
    EXPECT_NE(a.Voice_filename, "voice1.wav");
    EXPECT_NE(a.Voice_index, -1);
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaVoice, a.Voice_filename)), "added memo");
    EXPECT_NE(a.Picture_filename, "face.bmp");
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaPicture, a.Picture_filename)), "added face");
    EXPECT_EQ(b.Picture_filename, "only.bmp") << "a name the open family does not use stays";
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaPicture, "only.bmp")), "only picture");
    EXPECT_FALSE(platform::dirHasFiles(parkingFolder(MediaVoice)));
    EXPECT_FALSE(platform::dirHasFiles(parkingFolder(MediaPicture)));
}

TEST_F(MergeTest, AnAddedPersonNeverTakesOverTheOpenFamilysMedia)
{
    const std::string path = writeSecondFile([this] {
        const int a = addPerson("甲", "追加", 0);
        giveVoice(a, "voice1.wav", "added memo");
    });
    // The second file's bundle is gone: its memo cannot come along.
    platform::deleteFile(home.file("second.ked"));
    const int open = addPerson("丙", "元", 0);
    giveVoice(open, "voice1.wav", "open memo");

    answers.answerNext(platform::vbOK);
    Merge_LoadFile(path);

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{BundleMismatchMessage + "\r\n" + DroppedMediaHeading
                                                             + "\r\n「追加 甲」の音声（voice1.wav）"});
    const personal_data& added = tables().per_buf[2];
    ASSERT_EQ(added.Name, "甲");
    EXPECT_EQ(added.Voice_index, -1) << "the added person refers to the open family's memo";
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaVoice, "voice1.wav")), "open memo");
    EXPECT_NE(tables().per_buf[open].Voice_index, -1);
}

// A second file whose two persons have pictures of one name, each its own in the
// bundle (the second entry's bytes differ): each added person keeps its own picture
// next to the open family's of that name; with the first entry damaged, its person is
// named and refers to no picture, neither the other added person's nor the open
// family's.
class MergeSharedNameTest : public MergeTest, public ::testing::WithParamInterface<bool> {};

TEST_P(MergeSharedNameTest, EachAddedPersonKeepsItsOwnPicture)
{
    const bool firstDamaged = GetParam();
    const std::string path = writeSecondFile([this] {
        givePicture(addPerson("甲", "追加", 0), "same.bmp", "one");
        const int b = addPerson("乙", "追加", 1);
        tables().per_buf[b].Picture_filename = "same.bmp";
        tables().per_buf[b].Picture_index = 1;
        tables().per_buf[b].Picture_mode = 1;
    });
    std::string bundle = platform::readWholeFile(home.file("second.ked"));
    ASSERT_EQ(bundle.substr(bundle.size() - 6), "oneone");
    bundle.replace(bundle.size() - 3, 3, "two");
    if (firstDamaged)
        bundle.replace(2 + 260, 4, std::string(4, '\xFF')); // a length of -1
    platform::writeWholeFile(home.file("second.ked"), bundle);
    const int open = addPerson("丙", "元", 0);
    givePicture(open, "same.bmp", "open face");

    if (firstDamaged)
        answers.answerNext(platform::vbOK);
    Merge_LoadFile(path);

    EXPECT_EQ(answers.shownTexts(),
              firstDamaged ? std::vector<std::string>{BundleMismatchMessage
                                                      + "\r\n1 番目のファイル「same.bmp」：データ位置が正しくありません\r\n"
                                                      + DroppedMediaHeading + "\r\n「追加 甲」の画像（same.bmp）"}
                           : std::vector<std::string>{});
    const Tables& t = tables();
    const auto pictureOf = [&t, this](int slot) {
        const personal_data& p = t.per_buf[static_cast<size_t>(slot)];
        return p.Picture_index == -1 ? std::string() : platform::readWholeFile(mediaPath(MediaPicture, p.Picture_filename));
    };
    ASSERT_EQ(t.per_buf[2].Name, "甲");
    ASSERT_EQ(t.per_buf[3].Name, "乙");
    EXPECT_EQ(pictureOf(open), "open face");
    EXPECT_EQ(pictureOf(2), firstDamaged ? "" : "one");
    EXPECT_EQ(pictureOf(3), "two");
}

INSTANTIATE_TEST_SUITE_P(Bundles, MergeSharedNameTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "TheFirstEntryDamaged" : "BothEntriesWhole"; });

// A name the open family refers to is never taken by an added file, even while the
// open family's own file is missing (the user may bring it back).
TEST_F(MergeTest, AnAddedFileNeverTakesANameTheOpenFamilyRefersTo)
{
    const std::string path = writeSecondFile([this] {
        const int a = addPerson("甲", "追加", 0);
        givePicture(a, "face1.bmp", "added face");
    });
    const int open = addPerson("丙", "元", 0);
    givePicture(open, "face1.bmp", "open face");
    platform::deleteFile(mediaPath(MediaPicture, "face1.bmp"));

    Merge_LoadFile(path);

    EXPECT_TRUE(answers.shown().empty());
    const personal_data& added = tables().per_buf[2];
    ASSERT_EQ(added.Name, "甲");
    EXPECT_NE(added.Picture_filename, "face1.bmp");
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaPicture, added.Picture_filename)), "added face");
    EXPECT_EQ(tables().per_buf[open].Picture_filename, "face1.bmp");
    EXPECT_FALSE(platform::fileExists(mediaPath(MediaPicture, "face1.bmp"))) << "the open family's picture shows no other";
}

// The open family's size, the second file's, and the refusal expected (nullptr: fits).
struct Capacity {
    const char* name;
    int openPersons;
    int openMarriages;
    int addedPersons;
    int addedMarriages;
    const char* refusal;
};

std::ostream& operator<<(std::ostream& out, const Capacity& c)
{
    return out << c.name;
}

class MergeCapacityTest : public MergeTest, public ::testing::WithParamInterface<Capacity> {
protected:
    // Persons 1..persons and marriages between the first two persons.
    void fill(int persons, int marriages)
    {
        for (int i = 0; i < persons; ++i)
            addPerson("人" + std::to_string(i), "多", i % 2);
        for (int k = 0; k < marriages; ++k)
            addMarriage(1, 2);
        tables().kou_buf[1].dsp_start = 1;
    }
};

TEST_P(MergeCapacityTest, AMergeThatDoesNotFitLeavesTheFamilyExactlyAsItWas)
{
    const Capacity& c = GetParam();
    const std::string path = writeSecondFile([&] { fill(c.addedPersons, c.addedMarriages); });
    fill(c.openPersons, c.openMarriages);
    giveVoice(1, "voice1.wav", "open memo");
    Add_GrpName("本家");
    settings().Dispmode_Nengo = 0;
    settings().fontsize = 30;
    tables().Data_Changed = 0;
    const FamilyCapture before = captureFamily();

    if (c.refusal)
        answers.answerNext(platform::vbOK);
    Merge_LoadFile(path);

    if (!c.refusal) {
        EXPECT_TRUE(answers.shown().empty());
        EXPECT_EQ(usedPersons(), c.openPersons + c.addedPersons);
        return;
    }
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, c.refusal);
    EXPECT_EQ(answers.shown()[0].title, MergeErrorTitle);
    EXPECT_EQ(answers.shown()[0].style, platform::vbExclamation);
    expectUnchanged(before);
    EXPECT_FALSE(platform::dirHasFiles(parkingFolder(MediaVoice)));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, MergeCapacityTest,
    ::testing::Values(Capacity{"persons_1024th", 1020, 2, 4, 1, MergePersonsFullMessage},
                      Capacity{"persons_1023_fit", 1020, 2, 3, 1, nullptr},
                      Capacity{"marriages_1025th", 4, 1022, 3, 3, MergeMarriagesFullMessage},
                      Capacity{"marriages_1024_fit", 4, 1022, 3, 2, nullptr}),
    [](const ::testing::TestParamInfo<Capacity>& info) { return std::string(info.param.name); });

// The open family's media cannot be parked (a folder stands where a picture is to be
// copied): nothing is added, and the message names the file and why.
TEST_F(MergeTest, MediaThatCannotBeParkedAreNamedWithWhy)
{
    const std::string path = writeSecondFile([this] { addPerson("甲", "追加", 0); });
    const int p = addPerson("元", "山田", 0);
    givePicture(p, "face.bmp", "open face");
    const FamilyCapture before = captureFamily();
    const std::string blocked = platform::joinPath(parkingFolder(MediaPicture), "face.bmp");
    platform::makeDirs(blocked);

    answers.answerNext(platform::vbOK);
    Merge_LoadFile(path);

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(MergeMediaMessage) + "\r\n" + blocked
                                                             + "\r\n（書き込み先がフォルダーです）"});
    expectUnchanged(before);
    EXPECT_EQ(platform::readWholeFile(mediaPath(MediaPicture, "face.bmp")), "open face");
}

TEST_F(MergeTest, AnUnreadableSecondFileAddsNothing)
{
    const int p = addPerson("元", "山田", 0);
    giveVoice(p, "voice1.wav", "open memo");
    const FamilyCapture before = captureFamily();

    answers.answerNext(platform::vbOK);
    Merge_LoadFile(home.file("missing.kez"));

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(FileNotFoundMessage) + "\r\n"
                                                             + home.file("missing.kez") + "\r\n（ファイルがありません）"});
    expectUnchanged(before);
}

} // namespace
} // namespace model::testing
