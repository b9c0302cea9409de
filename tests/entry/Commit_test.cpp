// Person commit through the register command: the slot a new person takes, the
// fields copied from the grid or the panel, the group list, the face picture,
// and the refusals that leave the family as it was.

#include "EntryFixture.h"
#include "WaveBytes.h"

#include "entry/EntryPaths.h"
#include "model/GroupLists.h"
#include "model/SavableText.h"
#include "model/run_state.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"

#include <QImage>

#include <ostream>

namespace entry_test {
namespace {

class CommitTest : public EntryTest {
protected:
    // Types a new person into the blank card and registers it.
    void registerCard(const std::string& familyName, const std::string& name)
    {
        form().CMDFUNC_Click(0);
        form().Text1[0].setText(familyName);
        form().Text1[1].setText(name);
        form().CMDFUNC_Click(1);
    }

    // Switches to the table view and types the new row's cells.
    void typeNewRow(const std::vector<std::pair<int, std::string>>& cells)
    {
        if (form().Entry_CardView != 0)
            form().scritem_Click(1);
        const int r = form().tb.rows() - 1;
        for (const auto& [col, text] : cells)
            form().tb.setTextMatrix(r, col, text);
    }

    static std::string writeImage(const std::string& name)
    {
        const std::string path = platform::joinPath(platform::GetAppPath(), name);
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::green);
        EXPECT_TRUE(image.save(QString::fromStdString(path), "BMP"));
        return path;
    }
};

TEST_F(CommitTest, theFirstNewPersonGoesToSlotOne)
{
    open();
    registerCard("山田", "太郎");
    EXPECT_EQ(person(1).InUse, model::SlotUsed);
    EXPECT_EQ(person(1).F_name, "山田");
    EXPECT_EQ(person(1).Name, "太郎");
    EXPECT_EQ(t().PerCount, 1);
    EXPECT_EQ(t().Data_Changed, 1);
    EXPECT_TRUE(undoSnapshotExists());
    EXPECT_EQ(model::runState().Entry_EditMode, 0) << "the panel is ready for the next person";
    EXPECT_TRUE(form().Text1[0].text().empty());
}

TEST_F(CommitTest, aNewPersonTakesTheFirstFreedSlot)
{
    for (const char* name : {"一", "二", "三", "四", "五"})
        addPerson("山田", name);
    model::del_per_buf(3);
    open();
    registerCard("山田", "六");
    EXPECT_EQ(person(3).Name, "六");
    EXPECT_EQ(person(6).InUse, model::SlotFree);
}

TEST_F(CommitTest, tableRowCopiesItsCellsAndReadsSexAndAge)
{
    open();
    typeNewRow({{1, "山田"}, {2, "花子"}, {4, "女"}, {5, "1980/01/02"}, {7, "37"}, {8, "03-1"}, {9, "090"},
                {10, "03-2"}, {11, "東京"}, {12, "港区"}, {13, "100-0001"}, {14, "h@k.jp"}});
    form().CMDFUNC_Click(1);
    const model::personal_data& p = person(1);
    EXPECT_EQ(p.Sex, 1);
    EXPECT_EQ(p.Age, 37);
    EXPECT_EQ(p.B_day, "1980/01/02");
    EXPECT_EQ(p.TelNo, "03-1");
    EXPECT_EQ(p.KeiNo, "090");
    EXPECT_EQ(p.FaxNo, "03-2");
    EXPECT_EQ(p.Addr1, "東京");
    EXPECT_EQ(p.Addr2, "港区");
    EXPECT_EQ(p.YubinNo, "100-0001");
    EXPECT_EQ(p.E_mail, "h@k.jp");
    // The refill appends a fresh blank row for the next person.
    EXPECT_EQ(form().tb.rows(), 3);
    EXPECT_EQ(form().tb.rowData(1), 1);
    EXPECT_EQ(form().tb.rowData(2), 0);
    EXPECT_EQ(form().tb.row(), 2);
}

TEST_F(CommitTest, aRowRegisteredAfterADeleteInheritsNothingOfTheDeletedPerson)
{
    addPerson("山田", "一");
    const int gone = addPerson("山田", "二");
    fillLabelsGroupAndFlags(person(gone));
    open();
    form().scritem_Click(1);
    form().tb.setRow(form().getrow(gone));
    answers.answerNext(platform::vbYes);
    form().CMDFUNC_Click(2);
    ASSERT_EQ(person(gone).InUse, model::SlotFree);

    form().CMDFUNC_Click(0);
    typeNewRow({{1, "鈴木"}, {2, "三"}});
    form().CMDFUNC_Click(1);
    const model::personal_data& p = person(gone);
    ASSERT_EQ(p.InUse, model::SlotUsed);
    EXPECT_EQ(p.Name, "三");
    expectClearedLabelsGroupAndFlags(p);
}

struct SexAgeCase {
    const char* name;
    std::string sexCell;
    std::string ageCell;
    int sex;
    int age;
    friend std::ostream& operator<<(std::ostream& out, const SexAgeCase& c) { return out << c.name; }
};

class TableSexAgeTest : public CommitTest, public ::testing::WithParamInterface<SexAgeCase> {};

TEST_P(TableSexAgeTest, readsTheSexAndAgeCells)
{
    const SexAgeCase& c = GetParam();
    open();
    typeNewRow({{1, "山田"}, {2, "一"}, {4, c.sexCell}, {7, c.ageCell}});
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(1).Sex, c.sex);
    EXPECT_EQ(person(1).Age, c.age);
}

INSTANTIATE_TEST_SUITE_P(Cells, TableSexAgeTest,
                         ::testing::Values(SexAgeCase{"female", "女", "", 1, -1},
                                           SexAgeCase{"male", "男", "  ", 0, -1},
                                           SexAgeCase{"emptySex", "", "37", 0, 37},
                                           SexAgeCase{"otherSex", "x", "5.9", 0, 5},
                                           SexAgeCase{"negativeAge", "男", "-3", 0, -1}),
                         [](const ::testing::TestParamInfo<SexAgeCase>& info) { return std::string(info.param.name); });

TEST_F(CommitTest, cardRemarksGroupAndFlagsAreStored)
{
    open();
    form().CMDFUNC_Click(0);
    form().Text1[0].setText("山田");
    form().Text1[1].setText("太郎");
    form().Text1[13].setText("一行\r\n二行");
    form().CBGrp.setText("  本家  ");
    form().chkCateF.setValue(forms::vbChecked);
    form().chkCsvOutput.setValue(forms::vbChecked);
    form().ChkWaku.setValue(forms::vbChecked);
    form().cbWakuPat.setListIndex(-1);
    form().Option1[1].setValue(true);
    form().CMDFUNC_Click(1);
    const model::personal_data& p = person(1);
    EXPECT_EQ(p.Biko, "一行\n\n二行");
    EXPECT_EQ(p.GrpName, "本家");
    EXPECT_EQ(t().GrpNameCount, 0);
    EXPECT_EQ(t().GrpNameList[0].GrpName, "本家");
    EXPECT_EQ(p.CategoryF, 1);
    EXPECT_EQ(p.CsvOutFlag, 1);
    EXPECT_EQ(p.Disp.DS_Waku, 1);
    EXPECT_EQ(p.Disp.DS_WakuPat, 0) << "no frame pattern chosen stores pattern 0";
    EXPECT_EQ(p.Sex, 1);
}

TEST_F(CommitTest, aGroupNoPersonUsesAnyMoreLeavesTheList)
{
    const int a = addPerson("山田", "太郎");
    person(a).GrpName = "旧家";
    model::Add_GrpName("旧家");
    open();
    form().CBGrp.setText("新家");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(a).GrpName, "新家");
    ASSERT_EQ(t().GrpNameCount, 0);
    EXPECT_EQ(t().GrpNameList[0].GrpName, "新家");
}

TEST_F(CommitTest, thePostalCodeCarriesOverToTheNextCard)
{
    open();
    form().CMDFUNC_Click(0);
    form().Text1[0].setText("山田");
    form().Text1[1].setText("太郎");
    form().Text1[6].setText("100-0001");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(1).YubinNo, "100-0001");
    EXPECT_EQ(form().Text1[6].text(), "100-0001");
    EXPECT_TRUE(form().Text1[0].text().empty());
    EXPECT_TRUE(form().Text1[1].text().empty());
}

struct PictureCase {
    const char* name;
    int mode;
    const char* extension;
    friend std::ostream& operator<<(std::ostream& out, const PictureCase& c) { return out << c.name; }
};

class PictureCommitTest : public CommitTest, public ::testing::WithParamInterface<PictureCase> {};

TEST_P(PictureCommitTest, aChosenPictureIsStoredUnderTheSlotsName)
{
    const PictureCase& c = GetParam();
    for (int i = 1; i <= 7; ++i)
        addPerson("山田", std::to_string(i));
    model::del_per_buf(7);
    open();
    form().CMDFUNC_Click(0);
    form().Text1[0].setText("山田");
    form().Text1[1].setText("七");
    const std::string chosen = writeImage(std::string("chosen") + c.extension);
    form().Picture1[c.mode].setTag(chosen);
    model::runState().PicMode = static_cast<int16_t>(c.mode);
    form().CMDFUNC_Click(1);
    const model::personal_data& p = person(7);
    EXPECT_EQ(p.Name, "七");
    EXPECT_EQ(p.Picture_filename, std::string("face7") + c.extension);
    EXPECT_EQ(p.Picture_index, 1);
    EXPECT_EQ(p.Picture_mode, c.mode);
    EXPECT_EQ(platform::readWholeFile(platform::joinPath(entry::faceFolder(), p.Picture_filename)),
              platform::readWholeFile(chosen));
}

INSTANTIATE_TEST_SUITE_P(Kinds, PictureCommitTest,
                         ::testing::Values(PictureCase{"bitmap", 1, ".bmp"}, PictureCase{"icon", 0, ".ico"}),
                         [](const ::testing::TestParamInfo<PictureCase>& info) { return std::string(info.param.name); });

// The message names the file that could not be read or written and why: the chosen
// picture gone meanwhile, or a folder standing where the person's copy is to go.
TEST_F(CommitTest, aPictureThatCannotBeCopiedIsNamedWithWhyAndLeavesThePersonWithoutIt)
{
    open();
    const std::string gone = platform::joinPath(home.path(), "gone.bmp");
    const std::string taken = platform::joinPath(entry::faceFolder(), "face2.bmp");
    platform::makeDirs(taken);
    const std::pair<std::string, std::string> cases[] = {{gone, gone + "\r\n（ファイルがありません）"},
                                                         {writeImage("chosen.bmp"), taken + "\r\n（書き込み先がフォルダーです）"}};
    for (const auto& [chosen, named] : cases) {
        form().CMDFUNC_Click(0);
        form().Text1[0].setText("山田");
        form().Text1[1].setText("太郎");
        form().Picture1[1].setTag(chosen);
        model::runState().PicMode = 1;
        answers.clearRecords();
        answers.answerNext(platform::vbOK);
        form().CMDFUNC_Click(1);
        EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(entry::PictureFileError) + "\r\n" + named});
    }
    for (int slot : {1, 2}) {
        EXPECT_EQ(person(slot).Name, "太郎") << "the person is stored all the same";
        EXPECT_EQ(person(slot).Picture_index, -1);
        EXPECT_EQ(person(slot).Picture_mode, -1);
    }
}

TEST_F(CommitTest, aRecordingThatCannotBeStoredIsNamedWithWhy)
{
    open();
    form().CMDFUNC_Click(0);
    form().Text1[0].setText("山田");
    form().Text1[1].setText("太郎");
    platform::writeWholeFile(platform::joinPath(entry::voiceFolder(), entry::VoiceTempName),
                             pcmWave(sineSamples(440, 0.05)));
    const std::string taken = platform::joinPath(entry::voiceFolder(), "voice1.wav");
    platform::makeDirs(taken);
    form().cmdvoice.setTag("1");
    answers.answerNext(platform::vbOK);
    form().CMDFUNC_Click(1);
    EXPECT_EQ(answers.shownTexts(),
              std::vector<std::string>{std::string(entry::VoiceFileError) + "\r\n" + taken + "\r\n（書き込み先がフォルダーです）"});
    EXPECT_EQ(person(1).Name, "太郎");
    EXPECT_EQ(person(1).Voice_index, -1);
}

TEST_F(CommitTest, aWaitingRecordingIsStoredAsThePersonsMemo)
{
    open();
    form().CMDFUNC_Click(0);
    form().Text1[0].setText("山田");
    form().Text1[1].setText("太郎");
    const std::string recording = pcmWave(sineSamples(440, 0.05));
    platform::writeWholeFile(platform::joinPath(entry::voiceFolder(), entry::VoiceTempName), recording);
    form().cmdvoice.setTag("1");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(1).Voice_index, 1);
    EXPECT_EQ(platform::readWholeFile(platform::joinPath(entry::voiceFolder(), person(1).Voice_filename)), recording);
}

// The file waiting under the memo marker is stored only when it is a recording with
// sound data: a header alone never replaces the person's memo.
TEST_F(CommitTest, aWaitingFileWithoutSoundIsNotStoredOverTheMemo)
{
    const int slot = addPerson("山田", "太郎");
    const std::string memo = platform::joinPath(entry::voiceFolder(), person(slot).Voice_filename);
    const std::string memoBytes = pcmWave(sineSamples(1000, 0.1));
    platform::makeDir(entry::voiceFolder());
    platform::writeWholeFile(memo, memoBytes);
    person(slot).Voice_index = 1;
    open();
    ASSERT_EQ(form().cmdvoice.tag(), "1");
    platform::writeWholeFile(platform::joinPath(entry::voiceFolder(), entry::VoiceTempName),
                             waveHeader(36, 1, 1, 44100, 16, 0));
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Voice_index, 1);
    EXPECT_EQ(platform::readWholeFile(memo), memoBytes);
}

TEST_F(CommitTest, editingAnExistingPersonMovesOnAndBackToTheFirst)
{
    const int a = addPerson("山田", "太郎");
    const int b = addPerson("山田", "花子", 1);
    open();
    ASSERT_EQ(model::runState().Cur_PerIdx, a);
    form().Text1[2].setText("旧");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(a).Old_name, "旧");
    EXPECT_EQ(model::runState().Cur_PerIdx, b) << "the next person is shown";
    EXPECT_EQ(form().Text1[1].text(), "花子");
    form().Text1[2].setText("前");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(b).Old_name, "前");
    EXPECT_EQ(form().Text1[1].text(), "太郎") << "after the last person the first row's person is shown";
    // The person shown is the one the next register writes to.
    EXPECT_EQ(model::runState().Cur_PerIdx, a);
    form().Text1[2].setText("再");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(a).Old_name, "再");
    EXPECT_EQ(person(b).Old_name, "前");
}

// Another window may change the person after the card showed him (a rename on the
// chart, the display options): 登録 stores what was typed on the card and keeps
// every other field as it is stored now.
TEST_F(CommitTest, registeringKeepsWhatAnotherWindowChangedAfterTheCardShowedThePerson)
{
    const int a = addPerson("山田", "太郎");
    addPerson("山田", "花子", 1);
    open();
    ASSERT_EQ(form().Text1[1].text(), "太郎");
    const int16_t frame = person(a).Disp.DS_Waku == 1 ? 0 : 1;
    person(a).Name = "太一";
    person(a).Disp.DS_Waku = frame;
    person(a).CsvOutFlag = 1;

    form().Text1[7].setText("東京都");
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(a).Addr1, "東京都");
    EXPECT_EQ(person(a).Name, "太一");
    EXPECT_EQ(person(a).Disp.DS_Waku, frame);
    EXPECT_EQ(person(a).CsvOutFlag, 1);
    EXPECT_EQ(person(a).F_name, "山田");
}

// Refusals: a message, and the family, the undo snapshot and the changed flag
// stay as they were.
struct RefusalCase {
    const char* name;
    int field;          // Text1 index typed into
    std::string text;
    const char* message; // start of the message shown
    friend std::ostream& operator<<(std::ostream& out, const RefusalCase& c) { return out << c.name; }
};

class RefusalTest : public CommitTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusalTest, refusesWhatCannotBeStored)
{
    const RefusalCase& c = GetParam();
    open();
    form().CMDFUNC_Click(0);
    form().Text1[0].setText("山田");
    form().Text1[1].setText("太郎");
    form().Text1[c.field].setText(c.text);
    answers.answerNext(platform::vbOK);
    form().CMDFUNC_Click(1);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text.rfind(c.message, 0), 0u) << answers.shown()[0].text;
    EXPECT_EQ(person(1).InUse, model::SlotFree);
    EXPECT_EQ(t().PerCount, 0);
    EXPECT_EQ(t().Data_Changed, 0);
    EXPECT_FALSE(undoSnapshotExists());
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, RefusalTest,
    ::testing::Values(RefusalCase{"noFamilyName", 0, "", entry::NoNameOnCardMessage},
                      RefusalCase{"noGivenName", 1, "", entry::NoNameOnCardMessage},
                      RefusalCase{"charOutsideCp932", 7, "住所\xF0\xA0\xAE\xB7", model::UnsavableCharMessage},
                      RefusalCase{"remarksTooLong", 13, std::string(1025, 'x'), entry::BikoTooLongMessage},
                      RefusalCase{"ageTooLarge", 5, "99999", entry::BadAgeMessage}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST_F(CommitTest, remarksOfExactlyTheLimitAreStored)
{
    open();
    form().CMDFUNC_Click(0);
    form().Text1[0].setText("山田");
    form().Text1[1].setText("太郎");
    std::string remarks;
    for (int i = 0; i < entry::MaxBikoLength; ++i)
        remarks += "あ";
    form().Text1[13].setText(remarks);
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(1).Biko, remarks);
}

TEST_F(CommitTest, aFullTableRefusesTheNewPersonAndNeverUsesTheBlankPartnerSlot)
{
    for (int slot = 1; slot <= model::LastPersonSlot; ++slot) {
        model::personal_data& p = person(slot);
        p = model::clearedPerson(slot);
        p.InUse = model::SlotUsed;
        p.F_name = "山田";
        p.Name = std::to_string(slot);
    }
    open();
    form().CMDFUNC_Click(0);
    form().Text1[0].setText("山田");
    form().Text1[1].setText("新");
    answers.answerNext(platform::vbOK);
    form().CMDFUNC_Click(1);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::TableFullMessage);
    EXPECT_EQ(person(model::BlankPartner).InUse, model::SlotFree);
    EXPECT_EQ(t().PerCount, model::LastPersonSlot);
    EXPECT_FALSE(undoSnapshotExists());
}

TEST_F(CommitTest, tableRowWithACharOutsideCp932IsRefusedAtItsCell)
{
    open();
    typeNewRow({{1, "山田"}, {2, "太郎"}, {11, "\xF0\xA0\xAE\xB7"}});
    answers.answerNext(platform::vbOK);
    form().CMDFUNC_Click(1);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(form().tb.col(), 11);
    EXPECT_EQ(person(1).InUse, model::SlotFree);
    EXPECT_FALSE(undoSnapshotExists());
}

} // namespace
} // namespace entry_test
