// The person card: the texts, sex, age caption, remarks line breaks and face
// picture of one person; a free slot and a missing picture are reported.

#include "EntryFixture.h"

#include "entry/EntryPaths.h"
#include "entry/InfoOne.h"

#include "forms/Picture.h"
#include "forms/Picture_p.h"
#include "platform/AppPath.h"
#include "platform/Conversions.h"

#include <QColor>
#include <QImage>

#include <ostream>

namespace entry_test {
namespace {

class InfoOneTest : public EntryTest {
protected:
    static InfoOne& card() { return infoone_form(); }

    void writeBitmap(const std::string& path, Qt::GlobalColor colour)
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(path), "BMP"));
    }
};

struct RemarksCase {
    const char* name;
    const char* stored;
    const char* shown;
    friend std::ostream& operator<<(std::ostream& out, const RemarksCase& c) { return out << c.name; }
};

class RemarksTest : public ::testing::TestWithParam<RemarksCase> {};

TEST_P(RemarksTest, everyStoredLineBreakShowsAsOne)
{
    EXPECT_EQ(entry::cardRemarks(GetParam().stored), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Texts, RemarksTest,
                         ::testing::Values(RemarksCase{"twoLineFeedsBreak", "一\n\n二", "一\r\n二"},
                                           RemarksCase{"oneLineFeedJoins", "一\n二", "一二"},
                                           RemarksCase{"threeLineFeedsBreakOnce", "一\n\n\n二", "一\r\n二"},
                                           RemarksCase{"plain", "備考", "備考"}),
                         [](const ::testing::TestParamInfo<RemarksCase>& info) { return std::string(info.param.name); });

TEST_F(InfoOneTest, showsThePersonsTextsAndSex)
{
    const int slot = addPerson("山田", "花子", 1, "1980/01/02");
    model::personal_data& p = person(slot);
    p.Death_day = "2020/03/04";
    p.Age = 40;
    p.Addr1 = "東京都";
    p.YubinNo = "100-0001";
    p.E_mail = "a@b.jp";
    card().showPersonCard(slot);
    EXPECT_EQ(entry::entryState().InfoOne_Open, 1);
    EXPECT_TRUE(card().isVisible());
    EXPECT_EQ(card().caption(), "個人情報画面");
    EXPECT_EQ(card().Text1[0].text(), "山田");
    EXPECT_EQ(card().Text1[1].text(), "花子");
    EXPECT_EQ(card().Text1[3].text(), "1980/01/02");
    EXPECT_EQ(card().Text1[4].text(), "2020/03/04");
    EXPECT_EQ(card().Text1[5].text(), "40");
    EXPECT_EQ(card().Text1[6].text(), "東京都");
    EXPECT_EQ(card().Text1[11].text(), "a@b.jp");
    EXPECT_EQ(card().Text1[13].text(), "100-0001");
    EXPECT_EQ(card().Label1[5].caption(), "死亡年令");
    EXPECT_TRUE(card().Option1[1].value());

    const int other = addPerson("山田", "太郎");
    person(other).Age = -1;
    card().showPersonIfOpen(other);
    EXPECT_EQ(card().Text1[5].text(), "") << "a negative age shows nothing";
    EXPECT_EQ(card().Label1[5].caption(), "年令");
    EXPECT_TRUE(card().Option1[0].value());
}

TEST_F(InfoOneTest, theAgeIsTheYearsCompletedByTodayWhateverWasStored)
{
    answers.setNow(platform::DateSerial(2024, 6, 15));
    const int slot = addPerson("山田", "太郎", 0, "1984/06/20");
    person(slot).Age = 40; // stored by an earlier count
    card().showPersonCard(slot);
    EXPECT_EQ(card().Text1[5].text(), "39") << "the birthday of this year has not come yet";

    const int undated = addPerson("山田", "次郎", 0, "不詳");
    person(undated).Age = 12;
    card().showPersonIfOpen(undated);
    EXPECT_EQ(card().Text1[5].text(), "12") << "without a usable date the stored age is shown";
}

TEST_F(InfoOneTest, aFreeSlotIsReportedAndThePreviousTextsStay)
{
    const int slot = addPerson("山田", "太郎");
    card().showPersonCard(slot);
    answers.answerNext(platform::vbOK);
    answers.answerNext(platform::vbOK);
    card().Show_Person_Info(5);
    card().Show_Person_Info(4000);
    ASSERT_EQ(answers.shown().size(), 2u);
    EXPECT_EQ(answers.shown()[0].text, entry::NoSuchPersonMessage);
    EXPECT_EQ(answers.shown()[1].text, entry::NoSuchPersonMessage) << "a slot outside the table as well";
    EXPECT_EQ(card().Text1[1].text(), "太郎");
}

TEST_F(InfoOneTest, aBitmapFillsTheLargeBoxAndAnIconTheSmallOne)
{
    const int a = addPerson("山田", "太郎");
    writeBitmap(platform::joinPath(entry::faceFolder(), "face1.bmp"), Qt::green);
    person(a).Picture_index = 1;
    person(a).Picture_mode = 1;
    person(a).Picture_filename = "face1.bmp";
    card().showPersonCard(a);
    EXPECT_TRUE(card().Picture1[0].picture().isEmpty());
    const QImage shown = forms::pictureImage(card().Picture1[1].image());
    ASSERT_GT(shown.width(), 16);
    EXPECT_EQ(shown.pixelColor(shown.width() - 2, shown.height() - 2), QColor(Qt::green)) << "stretched";

    person(a).Picture_mode = 0;
    card().Show_Person_Info(a);
    EXPECT_FALSE(card().Picture1[0].picture().isEmpty());
    EXPECT_TRUE(card().Picture1[1].picture().isEmpty());
}

TEST_F(InfoOneTest, aPictureThatCannotBeShownIsReportedAfterTheTexts)
{
    const int a = addPerson("山田", "太郎");
    person(a).Picture_index = 1;
    person(a).Picture_mode = 1;
    writeBitmap(platform::joinPath(home.path(), "outside.bmp"), Qt::red);
    platform::writeWholeFile(platform::joinPath(entry::faceFolder(), "bad.bmp"), "no picture");
    answers.answerNext(platform::vbOK);
    card().showPersonCard(a);
    ASSERT_EQ(answers.shown().size(), 1u) << "a picture without a file name";
    // Missing, leaving the face folder, and no picture at all.
    for (const char* name : {"missing.bmp", "../outside.bmp", "bad.bmp"}) {
        person(a).Picture_filename = name;
        answers.answerNext(platform::vbOK);
        card().Show_Person_Info(a);
    }
    // A file that is there or missing is named with why.
    const auto named = [](const char* name, const char* why) {
        return std::string(entry::CardPictureError) + "\r\n" + platform::joinPath(entry::faceFolder(), name) + "\r\n（"
               + why + "）";
    };
    EXPECT_EQ(answers.shownTexts(),
              (std::vector<std::string>{entry::CardPictureError, named("missing.bmp", "ファイルがありません"),
                                        entry::CardPictureError, named("bad.bmp", "画像ファイルではありません")}));
    EXPECT_EQ(card().Text1[1].text(), "太郎") << "the texts are filled before the picture";
    EXPECT_TRUE(card().Picture1[1].picture().isEmpty());
}

TEST_F(InfoOneTest, aPictureThatFailsToLoadLeavesNoPreviousFace)
{
    const int a = addPerson("山田", "太郎");
    const int b = addPerson("山田", "花子");
    writeBitmap(platform::joinPath(entry::faceFolder(), "face1.bmp"), Qt::green);
    for (int slot : {a, b}) {
        person(slot).Picture_index = 1;
        person(slot).Picture_mode = 1;
    }
    person(a).Picture_filename = "face1.bmp";
    person(b).Picture_filename = "missing.bmp";
    auto middle = [] {
        const QImage shown = forms::pictureImage(card().Picture1[1].image());
        return shown.pixelColor(shown.width() / 2, shown.height() / 2);
    };
    card().showPersonCard(a);
    ASSERT_EQ(middle(), QColor(Qt::green));
    answers.answerNext(platform::vbOK);
    card().Show_Person_Info(b);
    EXPECT_NE(middle(), QColor(Qt::green)) << "the bitmap of the previous person is gone";

    person(a).Picture_mode = 0;
    card().Show_Person_Info(a);
    ASSERT_FALSE(card().Picture1[0].picture().isEmpty());
    person(b).Picture_mode = 0;
    answers.answerNext(platform::vbOK);
    card().Show_Person_Info(b);
    EXPECT_TRUE(card().Picture1[0].picture().isEmpty()) << "the icon of the previous person is gone";
}

TEST_F(InfoOneTest, backHidesTheCardAndTheFrameUnloadsIt)
{
    const int a = addPerson("山田", "太郎");
    card().showPersonCard(a);
    card().CMDEND_Click();
    EXPECT_EQ(entry::entryState().InfoOne_Open, 0);
    EXPECT_TRUE(card().isLoaded());
    EXPECT_FALSE(card().isVisible());
    card().showPersonIfOpen(a);
    EXPECT_FALSE(card().isVisible()) << "a closed card is not refreshed";

    card().showPersonCard(a);
    EXPECT_EQ(entry::entryState().InfoOne_Open, 1);
    card().unload();
    EXPECT_EQ(entry::entryState().InfoOne_Open, 0);
    EXPECT_FALSE(card().isLoaded());
}

} // namespace
} // namespace entry_test
