// A family from elsewhere whose bundle holds two persons' pictures under one name,
// opened, shown and saved through the program's own windows: each person is drawn on
// the chart, shown on the person card and saved with its own picture; a person whose
// entry is damaged shows none, never the other's.

#include "ProgramFixture.h"

#include "drawing/draw_state.h"
#include "entry/InfoOne.h"
#include "forms/Picture_p.h"
#include "model/MarriageRegistration.h"
#include "model/PersonTable.h"
#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/MediaBundle.h"
#include "model/settings.h"
#include "model/tables.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "platform/Hooks.h"

#include "support/qt/PictureBytes.h"
#include "support/qt/ScriptedDialogs.h"

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace app_test {
namespace {

// A bitmap of one colour, as the bundle holds it.
std::string bitmapOf(Qt::GlobalColor colour)
{
    return support::encodedPicture(support::plainPicture(16, 16, colour), "BMP");
}

bool isColour(const QImage& image, Qt::GlobalColor colour)
{
    return !image.isNull() && QColor(image.pixel(image.width() / 2, image.height() / 2)) == QColor(colour);
}

class BundlePicturesTest : public ProgramFixture<>, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        // No hints window at start-up.
        platform::writeWholeFile(home.file("\\tvora.ini"), "QAMODE,0\r\n");
        ProgramFixture::SetUp();
        main_form().show();
    }

    // File > 開く of path, the open family given up unsaved.
    void openFamily(const std::string& path)
    {
        model::tables().Data_Changed = 0;
        support::ScriptedDialogs dialogs;
        dialogs.answerNext(forms::DialogAnswer::file(path));
        main_form().fileitem[1].choose();
    }

    // What the chart's face icons show, by person: true where the icon is the colour.
    static std::map<int, bool> iconsOf(Qt::GlobalColor colour)
    {
        std::map<int, bool> icons;
        const drawing::DrawState& state = drawing::drawState();
        for (const int index : main_form().Image1.indexes()) {
            const int person = state.Image1_Per[static_cast<size_t>(index)];
            if (person >= 1)
                icons[person] = isColour(forms::pictureImage(main_form().Image1[index].picture()), colour);
        }
        return icons;
    }

    // 個人情報 of the person: what its card's photo box shows, before the card's 戻る.
    static QImage cardPhoto(int person)
    {
        model::runState().Sel_Person = person;
        main_form().Command2[8].click();
        const QImage shown = forms::pictureImage(infoone_form().Picture1[1].image());
        infoone_form().CMDEND.click();
        return shown;
    }
};

TEST_P(BundlePicturesTest, EachPersonIsShownAndSavedWithItsOwnPicture)
{
    const bool firstDamaged = GetParam();
    model::Tables& t = model::tables();
    const int father = model::set_per_buf(-1, "太郎", "山田", 0, "");
    const int mother = model::set_per_buf(-1, "花子", "山田", 1, "");
    ASSERT_GE(model::set_kou_buf(-1, "通常", 0, 0, father, mother, 1, "山田家", 0), 1);
    const std::string faces = model::mediaFolder(model::MediaPicture);
    platform::writeWholeFile(platform::joinPath(faces, "same.bmp"), bitmapOf(Qt::darkYellow));
    for (const int person : {father, mother}) {
        t.per_buf[static_cast<size_t>(person)].Picture_filename = "same.bmp";
        t.per_buf[static_cast<size_t>(person)].Picture_index = 1;
        t.per_buf[static_cast<size_t>(person)].Picture_mode = 1;
    }
    model::settings().Dispmode_Icon = 1;
    const std::string path = platform::joinPath(home.path(), "family.kez");
    ASSERT_TRUE(model::save_file(path));
    // The mother's entry, the last, holds a green picture of her own; the father's
    // entry may be damaged (a length of -1).
    std::string bundle = platform::readWholeFile(model::kedFileName(path));
    const std::string green = bitmapOf(Qt::green);
    bundle.replace(bundle.size() - green.size(), green.size(), green);
    if (firstDamaged)
        bundle.replace(2 + 260, 4, std::string(4, '\xFF'));
    platform::writeWholeFile(model::kedFileName(path), bundle);

    if (firstDamaged)
        answers.answerNext(platform::vbOK);
    openFamily(path);
    EXPECT_EQ(answers.shownTexts(),
              firstDamaged ? std::vector<std::string>{model::BundleMismatchMessage
                                                      + "\r\n1 番目のファイル「same.bmp」：データ位置が正しくありません\r\n"
                                                      + model::DroppedMediaHeading + "\r\n「山田 太郎」の画像（same.bmp）"}
                           : std::vector<std::string>{});
    EXPECT_EQ(iconsOf(Qt::green), (firstDamaged ? std::map<int, bool>{{mother, true}}
                                                : std::map<int, bool>{{father, false}, {mother, true}}));
    if (!firstDamaged) {
        EXPECT_EQ(iconsOf(Qt::darkYellow), (std::map<int, bool>{{father, true}, {mother, false}}));
    }
    EXPECT_TRUE(isColour(cardPhoto(mother), Qt::green));
    const QImage fathers = cardPhoto(father);
    EXPECT_EQ(isColour(fathers, Qt::darkYellow), !firstDamaged);
    EXPECT_FALSE(isColour(fathers, Qt::green)) << "never the mother's picture";

    // Saved (as 名前を付けて保存 when the bundle did not belong to the file) and
    // opened again, each keeps its own.
    const std::string saved = platform::joinPath(home.path(), "saved.kez");
    support::ScriptedDialogs dialogs;
    if (firstDamaged)
        dialogs.answerNext(forms::DialogAnswer::file(saved));
    answers.clearRecords();
    answers.answerNext(platform::vbOK);
    main_form().fileitem[firstDamaged ? 3 : 2].choose();
    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{"保存が終了しました"});
    answers.clearRecords();
    openFamily(firstDamaged ? saved : path);
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_TRUE(isColour(cardPhoto(mother), Qt::green));
    EXPECT_EQ(isColour(cardPhoto(father), Qt::darkYellow), !firstDamaged);
}

INSTANTIATE_TEST_SUITE_P(Bundles, BundlePicturesTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "TheFirstEntryDamaged" : "BothEntriesWhole"; });

} // namespace
} // namespace app_test
