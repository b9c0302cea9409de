// Record transfer: line breaks, western date completion, the grid filled from
// per_buf, and a person loaded into the panel with its picture and voice memo.

#include "EntryFixture.h"

#include "entry/EntryPaths.h"
#include "forms/Picture.h"
#include "forms/Picture_p.h"
#include "model/ChildSlots.h"
#include "model/run_state.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"

#include <QImage>

#include <ostream>

namespace entry_test {
namespace {

struct TranCase {
    const char* name;
    std::string text;
    int mode;
    std::string expected;
    friend std::ostream& operator<<(std::ostream& out, const TranCase& c) { return out << c.name; }
};

class TranTest : public EntryTest, public ::testing::WithParamInterface<TranCase> {};

TEST_P(TranTest, convertsLineBreaksInPlace)
{
    const TranCase& c = GetParam();
    const std::string out = form().tran(c.text, c.mode);
    EXPECT_EQ(out, c.expected);
    EXPECT_EQ(out.size(), c.text.size()) << "the length never changes";
}

INSTANTIATE_TEST_SUITE_P(
    Modes, TranTest,
    ::testing::Values(TranCase{"panelToRecord", "a\r\nb", 13, "a\n\nb"},
                      TranCase{"recordToPanel", "a\n\nb", 0, "a\r\nb"},
                      TranCase{"japaneseKept", "山田\r\n花子", 13, "山田\n\n花子"},
                      TranCase{"blanksUnchanged", "   ", 13, "   "},
                      TranCase{"lastLineFeed", "x\n", 0, "x\r"}),
    [](const ::testing::TestParamInfo<TranCase>& info) { return std::string(info.param.name); });

TEST_F(EntryTest, tranRoundTripGivesTheTextBoxTextBack)
{
    const std::string typed = "一行目\r\n二行目\r\n\r\n四行目";
    EXPECT_EQ(form().tran(form().tran(typed, 13), 0), typed);
}

TEST_F(EntryTest, perBufReadyClearsTheWholeRecord)
{
    const int slot = addPerson("山田", "太郎");
    model::personal_data& p = person(slot);
    p.Addr1 = "東京";
    p.Biko = "メモ";
    p.Age = 40;
    p.Picture_index = 1;
    fillLabelsGroupAndFlags(p);
    form().per_buf_ready(slot);
    EXPECT_TRUE(p.F_name.empty() && p.Name.empty() && p.Addr1.empty() && p.Biko.empty());
    EXPECT_EQ(p.Age, -1);
    EXPECT_EQ(p.Picture_index, -1);
    expectClearedLabelsGroupAndFlags(p);
    EXPECT_EQ(p.Voice_filename, "voice" + std::to_string(slot) + ".wav");
    form().per_buf_ready(5000); // outside the table: nothing happens
}

TEST_F(EntryTest, tableinShowsEveryFieldInItsColumn)
{
    answers.setNow(platform::DateSerial(2024, 6, 1));
    const int a = addPerson("", "太郎", 0, "1980/06/01");
    const int b = addPerson("山田", "", 1);
    person(a).Disp.DS_Waku = 1;
    person(a).CategoryF = 1;
    person(b).Disp.DS_DeathW = 1;
    person(b).Disp.DS_Waku = 0;
    person(b).CsvOutFlag = 1;
    person(b).TelNo = "03-1234";
    person(b).E_mail = "a@b.jp";
    open();
    forms::FlexGrid& tb = form().tb;
    ASSERT_EQ(tb.rows(), 3);
    EXPECT_EQ(t().PerCount, 2);
    EXPECT_EQ(tb.rowData(1), a);
    EXPECT_EQ(tb.textMatrix(1, 1), "  ") << "an empty family name shows two blanks";
    EXPECT_EQ(tb.textMatrix(2, 2), "  ");
    EXPECT_EQ(tb.textMatrix(1, 4), "男");
    EXPECT_EQ(tb.textMatrix(2, 4), "女");
    EXPECT_EQ(tb.textMatrix(1, 5), "1980/06/01");
    EXPECT_EQ(tb.textMatrix(1, 7), "44") << "the age is computed, not the stored Age";
    EXPECT_EQ(tb.textMatrix(2, 8), "03-1234");
    EXPECT_EQ(tb.textMatrix(2, 14), "a@b.jp");
    EXPECT_EQ(tb.textMatrix(1, 17), "表示");
    EXPECT_EQ(tb.textMatrix(2, 17), "-");
    EXPECT_EQ(tb.textMatrix(2, 18), "表示");
    EXPECT_EQ(tb.textMatrix(1, 19), "設定");
    EXPECT_EQ(tb.textMatrix(2, 20), "設定");
    EXPECT_EQ(tb.textMatrix(1, 20), "-");
}

TEST_F(EntryTest, tableinOfAnEmptyFamilyInTheTableViewLeavesOnlyTheBlankRow)
{
    open();
    form().scritem_Click(1);
    forms::FlexGrid& tb = form().tb;
    ASSERT_EQ(tb.rows(), 2);
    EXPECT_EQ(tb.textMatrix(1, 0), "*") << "the new row becomes current and carries the marker";
    EXPECT_EQ(tb.textMatrix(1, 4), "男");
    EXPECT_EQ(tb.rowData(1), 0);
    EXPECT_EQ(model::runState().Entry_EditMode, 0);
}

TEST_F(EntryTest, tableinAppliesTheStoredSortAndKeepsEachRowsPerson)
{
    addPerson("b", "一");
    addPerson("c", "二");
    addPerson("a", "三");
    model::settings().Sort_factor = 1;
    model::settings().Array_SortMode = 2;
    open();
    EXPECT_EQ(gridNames(), (std::vector<std::string>{"二", "一", "三"}));
    for (int r = 1; r < form().tb.rows(); ++r)
        EXPECT_EQ(person(form().tb.rowData(r)).Name, form().tb.textMatrix(r, 2));
}

TEST_F(EntryTest, tableinSurvivesSortSettingsOutsideTheGrid)
{
    addPerson("b", "一");
    addPerson("a", "二");
    model::settings().Sort_factor = 99;
    model::settings().Array_SortMode = 7;
    open();
    EXPECT_EQ(gridNames(), (std::vector<std::string>{"一", "二"})) << "slot order, unsorted";
}

TEST_F(EntryTest, getrowFindsNoRowForAbsentOrInvalidSlots)
{
    const int a = addPerson("山田", "太郎");
    open();
    EXPECT_EQ(form().getrow(a), 1);
    EXPECT_EQ(form().getrow(a + 1), 0);
    EXPECT_EQ(form().getrow(0), 0);
    EXPECT_EQ(form().getrow(-1), 0);
}

TEST_F(EntryTest, entrysetDisablesPreviousOnTheFirstRowAndNextOnTheLast)
{
    const int a = addPerson("山田", "太郎");
    const int b = addPerson("山田", "花子", 1);
    open();
    int idx = a;
    form().entryset(idx);
    EXPECT_FALSE(form().CMDFUNC[5].isEnabled());
    EXPECT_TRUE(form().CMDFUNC[6].isEnabled());
    idx = b;
    form().entryset(idx);
    EXPECT_TRUE(form().CMDFUNC[5].isEnabled());
    EXPECT_FALSE(form().CMDFUNC[6].isEnabled());
    EXPECT_EQ(form().Text1[1].text(), "花子");
    EXPECT_TRUE(form().Option1[1].value());
    EXPECT_EQ(form().Label2[0].caption(), "2");
}

TEST_F(EntryTest, entrysetOnTheOnlyRowDisablesBothNavigationButtons)
{
    int idx = addPerson("山田", "太郎");
    open();
    form().entryset(idx);
    EXPECT_FALSE(form().CMDFUNC[5].isEnabled());
    EXPECT_FALSE(form().CMDFUNC[6].isEnabled());
}

TEST_F(EntryTest, entrysetReplacesAFreeSlotBySlotOne)
{
    addPerson("山田", "太郎");
    open();
    int idx = 7;
    form().entryset(idx);
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(form().Text1[1].text(), "太郎");
}

TEST_F(EntryTest, entrysetLoadsNothingWhenSlotOneIsFreeToo)
{
    const int a = addPerson("山田", "太郎");
    addPerson("山田", "次郎");
    model::del_per_buf(a);
    open();
    form().Text1[1].setText("typed");
    int idx = 7;
    form().entryset(idx);
    EXPECT_EQ(idx, 1);
    EXPECT_EQ(form().Text1[1].text(), "typed");
    int outside = 4000;
    form().entryset(outside);
    EXPECT_EQ(form().Text1[1].text(), "typed") << "a slot outside the table loads nothing";
}

TEST_F(EntryTest, aPartnerCannotChangeSexButANewPersonCan)
{
    const int husband = addPerson("山田", "太郎");
    const int wife = addPerson("山田", "花子", 1);
    const int single = addPerson("山田", "一郎");
    ASSERT_GT(model::set_kou_buf(-1, "通常", 0, 0, husband, wife, 1, "", 0), 0);
    open();
    for (int idx : {husband, wife}) {
        int shown = idx;
        form().entryset(shown);
        EXPECT_FALSE(form().Option1[0].isVisible());
        EXPECT_FALSE(form().Option1[1].isVisible());
    }
    int shown = single;
    form().entryset(shown);
    EXPECT_TRUE(form().Option1[0].isVisible());
    form().entryset(shown = husband);
    form().newp();
    EXPECT_TRUE(form().Option1[0].isVisible()) << "a new person shows the sex buttons again";
}

TEST_F(EntryTest, aMissingFacePictureIsReportedAndLeavesRegisterAsItWas)
{
    const int a = addPerson("山田", "太郎");
    person(a).Picture_index = 1;
    person(a).Picture_mode = 1;
    person(a).Picture_filename = "face1.bmp";
    answers.answerNext(platform::vbOK);
    open();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, std::string(entry::PictureFileError) + "\r\n"
                                           + platform::joinPath(entry::faceFolder(), "face1.bmp") + "\r\n（ファイルがありません）");
    EXPECT_EQ(form().Text1[1].text(), "太郎") << "everything before the picture is shown";
    EXPECT_TRUE(form().Picture1[1].tag().empty());
}

TEST_F(EntryTest, aFacePictureNameLeavingTheFaceFolderIsNotLoaded)
{
    const int a = addPerson("山田", "太郎");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(platform::joinPath(home.path(), "outside.bmp"))));
    person(a).Picture_index = 1;
    person(a).Picture_mode = 1;
    person(a).Picture_filename = "../outside.bmp";
    answers.answerNext(platform::vbOK);
    open();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::PictureFileError);
    EXPECT_TRUE(form().Picture1[1].picture().isEmpty());
}

TEST_F(EntryTest, aFacePictureNameWithAControlCharacterIsRefusedAsTheSaveRefusesIt)
{
    // The save leaves such a name out of the media bundle, so the editor must not show it as kept.
    const int a = addPerson("山田", "太郎");
    const std::string name = "face\x01.bmp";
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::red);
    ASSERT_TRUE(image.save(QString::fromStdString(platform::joinPath(entry::faceFolder(), name)), "BMP"));
    person(a).Picture_index = 1;
    person(a).Picture_mode = 1;
    person(a).Picture_filename = name;
    answers.answerNext(platform::vbOK);
    open();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::PictureFileError);
    EXPECT_TRUE(form().Picture1[1].picture().isEmpty());
}

TEST_F(EntryTest, aBitmapIsShownInTheBitmapBoxAndTheIconBoxEmptied)
{
    const int a = addPerson("山田", "太郎");
    const std::string path = platform::joinPath(entry::faceFolder(), "face1.bmp");
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(Qt::blue);
    ASSERT_TRUE(image.save(QString::fromStdString(path)));
    person(a).Picture_index = 1;
    person(a).Picture_mode = 1;
    person(a).Picture_filename = "face1.bmp";
    open();
    EXPECT_EQ(form().Picture1[1].tag(), path);
    EXPECT_TRUE(form().Picture1[0].tag().empty());
    EXPECT_EQ(model::runState().PicMode, 1);
    EXPECT_TRUE(form().CMDFUNC[1].isEnabled());
    // The 8-pixel picture is stretched over the whole box: a pixel near its far corner is blue.
    const QImage shown = forms::pictureImage(form().Picture1[1].image());
    ASSERT_GT(shown.width(), 16);
    EXPECT_EQ(shown.pixelColor(shown.width() - 2, shown.height() - 2), QColor(Qt::blue));
}

TEST_F(EntryTest, aStoredVoiceMemoIsCopiedToTheRecordingFile)
{
    const int a = addPerson("山田", "太郎");
    const int b = addPerson("山田", "花子", 1);
    person(a).Voice_index = 1;
    platform::writeWholeFile(platform::joinPath(entry::voiceFolder(), person(a).Voice_filename), "RIFFmemo");
    person(b).Voice_index = 1; // its file is missing
    open();
    EXPECT_EQ(form().cmdvoice.tag(), "1");
    EXPECT_EQ(platform::readWholeFile(platform::joinPath(entry::voiceFolder(), entry::VoiceTempName)), "RIFFmemo");
    int idx = b;
    form().entryset(idx);
    EXPECT_EQ(form().cmdvoice.tag(), "0") << "a memo that cannot be copied counts as none";
    EXPECT_EQ(form().Text1[1].text(), "花子");

    // Shown from the chart as well, and registered: the first person's memo,
    // still in the recording file, never becomes the second person's.
    form().showPersonInCard(a);
    ASSERT_EQ(form().cmdvoice.tag(), "1");
    form().showPersonInCard(b);
    EXPECT_EQ(form().cmdvoice.tag(), "0");
    form().CMDFUNC_Click(1);
    EXPECT_FALSE(platform::fileExists(platform::joinPath(entry::voiceFolder(), person(b).Voice_filename)));
}

} // namespace
} // namespace entry_test
