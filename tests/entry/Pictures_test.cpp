// Face pictures: the icon chooser's library, pages and scroll range, and the
// editor's picture boxes filled from the chooser and the file dialogs.

#include "EntryFixture.h"

#include "entry/EntryPaths.h"
#include "entry/IconPView.h"

#include "forms/Picture.h"
#include "model/run_state.h"
#include "platform/AppPath.h"

#include "support/qt/ScriptedDialogs.h"

#include <QColor>
#include <QImage>

#include <cstdio>
#include <ostream>

namespace entry_test {
namespace {

class PicturesTest : public EntryTest {
protected:
    void TearDown() override
    {
        forms::clearOnShown();
        EntryTest::TearDown();
    }

    static IconPView& chooser() { return iconpview_form(); }
    static std::string library() { return platform::joinPath(platform::GetAppPath(), "icodat"); }

    static void writeImage(const std::string& path, Qt::GlobalColor colour, const char* format = "BMP")
    {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(path), format)) << path;
    }

    // A library of count icons named icon000.ico ...
    static void makeLibrary(int count)
    {
        platform::makeDir(library());
        for (const std::string& name : platform::listFiles(library(), "*"))
            platform::deleteFile(platform::joinPath(library(), name));
        for (int i = 0; i < count; ++i) {
            char name[32];
            std::snprintf(name, sizeof name, "icon%03d.ico", i);
            writeImage(platform::joinPath(library(), name), Qt::yellow);
        }
    }

    // Opens the editor on a person's card and clicks the icon box; the user picks tile k (-1: cancel).
    void pickIcon(int tile)
    {
        forms::onShown("IconPView", [tile](forms::Form&) {
            if (tile < 0)
                chooser().Command1_Click();
            else
                chooser().PicBuf_Click(tile);
        });
        form().Picture1_Click(0);
    }

    support::ScriptedDialogs dialogs;
};

struct RangeCase {
    const char* name;
    int icons;
    int maximum;
    friend std::ostream& operator<<(std::ostream& out, const RangeCase& c) { return out << c.name; }
};

class IconRangeTest : public PicturesTest, public ::testing::WithParamInterface<RangeCase> {};

TEST_P(IconRangeTest, theScrollRangeEndsWithTheLastIconsOnThePage)
{
    makeLibrary(GetParam().icons);
    chooser().load();
    EXPECT_EQ(chooser().HSc.max(), GetParam().maximum);
    EXPECT_EQ(chooser().HSc.smallChange(), 5);
    EXPECT_EQ(chooser().HSc.largeChange(), 39);
    ASSERT_EQ(static_cast<int>(chooser().names().size()), GetParam().icons + 1);

    chooser().HSc.setValue(GetParam().maximum);
    const int start = GetParam().maximum / 5 * 5;
    EXPECT_EQ(chooser().pageStart(), start);
    const int last = GetParam().icons;
    for (int i = 0; i <= last; ++i)
        EXPECT_EQ(chooser().PicBuf[i].isVisible(), i >= start && i <= start + 49) << i;
}

INSTANTIATE_TEST_SUITE_P(Libraries, IconRangeTest,
                         ::testing::Values(RangeCase{"empty", 0, 0}, RangeCase{"thirty", 30, 30},
                                           RangeCase{"hundred", 100, 56}),
                         [](const ::testing::TestParamInfo<RangeCase>& info) { return std::string(info.param.name); });

TEST_F(PicturesTest, theFirstPageShowsTheClearTileAndTheIconsSortedColumnByColumn)
{
    makeLibrary(0); // without the icons the program ships
    for (const char* name : {"b.ico", "A.ico", "c.ico", "note.txt", "d.ico", "e.ico", "f.ico"})
        writeImage(platform::joinPath(library(), name), Qt::yellow);
    chooser().load();
    EXPECT_EQ(chooser().names(),
              (std::vector<std::string>{"Command:Clear", "A.ico", "b.ico", "c.ico", "d.ico", "e.ico", "f.ico"}));
    EXPECT_EQ(chooser().PicBuf[0].toolTipText(), "画像解除");
    EXPECT_TRUE(chooser().PicBuf[0].picture().isEmpty());
    EXPECT_EQ(chooser().PicBuf[1].toolTipText(), "A.ico");
    EXPECT_EQ(chooser().PicBuf[0].left(), 120);
    EXPECT_EQ(chooser().PicBuf[0].top(), 120);
    EXPECT_EQ(chooser().PicBuf[4].top(), 120 + 4 * 510);
    EXPECT_EQ(chooser().PicBuf[5].left(), 630) << "the sixth tile starts the second column";
    EXPECT_EQ(chooser().PicBuf[5].top(), 120);
}

TEST_F(PicturesTest, anIconThatIsNoPictureStopsTheLibraryWithAMessage)
{
    makeLibrary(3);
    platform::writeWholeFile(platform::joinPath(library(), "icon001.ico"), "not an icon");
    answers.answerNext(platform::vbOK);
    chooser().load();
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::FileAccessError);
    EXPECT_EQ(chooser().names(), (std::vector<std::string>{"Command:Clear", "icon000.ico"}))
        << "the icons before the bad one and the clear tile stay offered";
}

TEST_F(PicturesTest, pickingAnIconFillsTheIconBoxAndEmptiesTheBitmapBox)
{
    makeLibrary(2);
    const int slot = addPerson("山田", "太郎");
    (void)slot;
    open();
    form().Picture1[1].setTag("/somewhere/photo.bmp");
    pickIcon(2);
    EXPECT_EQ(form().Picture1[0].tag(), platform::joinPath(library(), "icon001.ico"));
    EXPECT_FALSE(form().Picture1[0].picture().isEmpty());
    EXPECT_EQ(form().Picture1[1].tag(), "");
    EXPECT_EQ(model::runState().PicMode, 0);
    EXPECT_FALSE(chooser().isVisible()) << "the chooser hides itself";
    EXPECT_TRUE(chooser().isLoaded());
}

TEST_F(PicturesTest, theClearTileEmptiesOnlyTheIconBoxAndCancelChangesNothing)
{
    makeLibrary(1);
    addPerson("山田", "太郎");
    open();
    pickIcon(1);
    ASSERT_EQ(model::runState().PicMode, 0);
    pickIcon(-1);
    EXPECT_EQ(model::runState().PicMode, 0);
    EXPECT_FALSE(form().Picture1[0].tag().empty());

    form().Picture1[1].setTag("/somewhere/photo.bmp");
    pickIcon(0);
    EXPECT_EQ(model::runState().PicMode, -1);
    EXPECT_EQ(form().Picture1[0].tag(), "");
    EXPECT_TRUE(form().Picture1[0].picture().isEmpty());
    EXPECT_EQ(form().Picture1[1].tag(), "/somewhere/photo.bmp") << "the bitmap box is not touched";
}

TEST_F(PicturesTest, closingTheChooserByItsFrameCountsAsCancel)
{
    makeLibrary(1);
    addPerson("山田", "太郎");
    open();
    pickIcon(1);
    form().Picture1[0].setTag("");
    forms::onShown("IconPView", [](forms::Form& window) { window.unload(); });
    form().Picture1_Click(0);
    EXPECT_EQ(form().Picture1[0].tag(), "") << "the earlier pick is not taken again";
}

TEST_F(PicturesTest, theBitmapDialogFillsTheBitmapBoxStretchedAndCancelKeepsIt)
{
    addPerson("山田", "太郎");
    open();
    const std::string photo = platform::joinPath(home.path(), "Photo.BMP");
    writeImage(photo, Qt::blue);
    dialogs.answerNext(forms::DialogAnswer::file(photo));
    form().Picture1_Click(1);
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].title, "画像貼り付け");
    EXPECT_EQ(dialogs.requests()[0].fileName, "*.bmp");
    EXPECT_EQ(form().Picture1[1].tag(), photo) << "the path keeps its letter case";
    EXPECT_EQ(model::runState().PicMode, 1);
    EXPECT_TRUE(form().Picture1[0].tag().empty());

    dialogs.answerNext(forms::DialogAnswer::cancelled());
    form().Picture1_Click(1);
    EXPECT_EQ(form().Picture1[1].tag(), photo);
    EXPECT_EQ(model::runState().PicMode, 1);
}

TEST_F(PicturesTest, aFileThatIsNoPictureChangesNothingAndAnotherFormatIsKeptWithoutAKind)
{
    addPerson("山田", "太郎");
    open();
    const std::string fake = platform::joinPath(home.path(), "fake.bmp");
    platform::writeWholeFile(fake, "not a picture");
    dialogs.answerNext(forms::DialogAnswer::file(fake));
    answers.answerNext(platform::vbOK);
    form().Picture1_Click(1);
    ASSERT_EQ(answers.shown().size(), 1u);
    EXPECT_EQ(answers.shown()[0].text, entry::PictureFileError);
    EXPECT_TRUE(form().Picture1[1].tag().empty());
    EXPECT_EQ(model::runState().PicMode, -1);

    const std::string png = platform::joinPath(home.path(), "face.png");
    writeImage(png, Qt::red, "PNG");
    dialogs.answerNext(forms::DialogAnswer::file(png));
    form().Picture1_DblClick(1);
    EXPECT_EQ(dialogs.requests().back().title, "Input Bmp");
    EXPECT_EQ(form().Picture1[1].tag(), png);
    EXPECT_EQ(model::runState().PicMode, -1);
}

TEST_F(PicturesTest, changeOpensTheIconDialogAndDeleteEmptiesTheIconBox)
{
    addPerson("山田", "太郎");
    open();
    const std::string icon = platform::joinPath(home.path(), "mine.ico");
    writeImage(icon, Qt::green);
    dialogs.answerNext(forms::DialogAnswer::file(icon));
    form().chan.choose();
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].title, "Input Icon");
    EXPECT_EQ(dialogs.requests()[0].filter, "*.ico");
    EXPECT_EQ(form().Picture1[0].tag(), icon);
    EXPECT_EQ(model::runState().PicMode, 0);

    form().del.choose();
    EXPECT_TRUE(form().Picture1[0].tag().empty());
    EXPECT_TRUE(form().Picture1[0].picture().isEmpty());
    EXPECT_EQ(model::runState().PicMode, 0) << "Delete leaves the kind";
}

TEST_F(PicturesTest, aPickedIconIsStoredUnderTheSlotsFaceNameOnRegister)
{
    makeLibrary(1);
    const int slot = addPerson("山田", "太郎");
    open();
    pickIcon(1);
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Picture_mode, 0);
    EXPECT_EQ(person(slot).Picture_index, 1);
    EXPECT_EQ(person(slot).Picture_filename, "face" + std::to_string(slot) + ".ico");
    EXPECT_TRUE(platform::fileExists(platform::joinPath(entry::faceFolder(), person(slot).Picture_filename)));
}

TEST_F(PicturesTest, aClearedPictureIsRemovedFromThePersonOnRegister)
{
    makeLibrary(1);
    const int slot = addPerson("山田", "太郎");
    open();
    pickIcon(1);
    form().CMDFUNC_Click(1);
    ASSERT_EQ(person(slot).Picture_index, 1);

    int shown = slot;
    form().entryset(shown);
    ASSERT_FALSE(form().Picture1[0].picture().isEmpty());
    pickIcon(0);
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(slot).Picture_index, -1);
    EXPECT_EQ(person(slot).Picture_mode, -1);
    EXPECT_EQ(person(slot).Picture_filename, "");
    form().entryset(shown);
    EXPECT_TRUE(form().Picture1[0].picture().isEmpty()) << "the icon does not come back";
}

TEST_F(PicturesTest, withoutTheIconFolderTheChooserStillOffersAWorkingClearTile)
{
    if (platform::dirExists(library()))
        platform::removeTree(library());
    chooser().load();
    ASSERT_EQ(chooser().names().size(), 1u);
    EXPECT_TRUE(chooser().PicBuf[0].isVisible());
    chooser().PicBuf_Click(0);
    EXPECT_NE(chooser().Sel_Picture.find(entry::ClearCommand), std::string::npos);
    chooser().unload();
}

TEST_F(PicturesTest, theShippedLibraryOffersEveryIconWithoutAMessage)
{
    const std::vector<std::string> shipped = platform::listFiles(library(), "*.ico");
    ASSERT_GE(shipped.size(), 10u) << "the program folder's icon library";
    chooser().load();
    EXPECT_TRUE(answers.shown().empty()) << "every shipped icon is a picture";
    EXPECT_EQ(chooser().names().size(), shipped.size() + 1) << "the clear tile and one tile per icon";
    for (size_t k = 1; k < chooser().names().size(); ++k)
        EXPECT_FALSE(chooser().PicBuf[static_cast<int>(k)].picture().isEmpty()) << chooser().names()[k];
}

} // namespace
} // namespace entry_test
