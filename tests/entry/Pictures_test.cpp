// Face pictures: the icon chooser's library, pages and scroll range, and the
// editor's picture boxes filled from the chooser and the file dialogs.

#include "EntryFixture.h"

#include "entry/EntryPaths.h"
#include "entry/IconPView.h"

#include "forms/CommonDialog.h"
#include "forms/Picture.h"
#include "forms/Picture_p.h"
#include "model/run_state.h"
#include "platform/AppPath.h"

#include "support/SmallDisk.h"
#include "support/qt/PictureBytes.h"
#include "support/qt/ScriptedDialogs.h"

#include "model/filestore/FamilyFile.h"
#include "model/filestore/FileNames.h"
#include "model/filestore/MediaBundle.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <ostream>
#include <tuple>

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

    // A person with a bitmap photo stored under the slot's face name, as a register left it.
    static int personWithPhoto(Qt::GlobalColor colour)
    {
        const int slot = addPerson("山田", "太郎");
        if (!platform::dirExists(entry::faceFolder()))
            platform::makeDir(entry::faceFolder());
        const std::string name = entry::faceFileName(slot, 1);
        writeImage(platform::joinPath(entry::faceFolder(), name), colour);
        person(slot).Picture_index = 1;
        person(slot).Picture_mode = 1;
        person(slot).Picture_filename = name;
        return slot;
    }

    // The record's face picture as the face folder holds it.
    static std::string storedFace(int slot)
    {
        return platform::joinPath(entry::faceFolder(), person(slot).Picture_filename);
    }

    // Colours within what a JPEG keeps of a plain colour.
    static bool near(const QColor& found, Qt::GlobalColor colour)
    {
        const QColor expected(colour);
        return std::abs(found.red() - expected.red()) + std::abs(found.green() - expected.green()) +
                   std::abs(found.blue() - expected.blue()) <=
               12;
    }

    // The colour in the middle of what a picture box shows.
    static QColor shownColour(int box)
    {
        const QImage shown = forms::pictureImage(form().Picture1[box].image());
        return QColor(shown.pixel(shown.width() / 2, shown.height() / 2));
    }

    // The record holds a bitmap under the slot's face name, a BMP file of the given
    // size whose pixels are the colour (within what a JPEG keeps).
    static void expectStoredBitmap(int slot, Qt::GlobalColor colour)
    {
        EXPECT_EQ(person(slot).Picture_index, 1);
        EXPECT_EQ(person(slot).Picture_mode, 1);
        EXPECT_EQ(person(slot).Picture_filename, entry::faceFileName(slot, 1));
        ASSERT_EQ(platform::readWholeFile(storedFace(slot)).substr(0, 2), "BM") << "written as a bitmap";
        const QImage image(QString::fromStdString(storedFace(slot)));
        ASSERT_EQ(image.size(), QSize(8, 8));
        EXPECT_TRUE(near(QColor(image.pixel(4, 4)), colour)) << QColor(image.pixel(4, 4)).name().toStdString();
    }

    // A click on the bitmap box: "画像貼り付け", answered with the file.
    void pasteIntoBitmapBox(const std::string& path)
    {
        dialogs.answerNext(forms::DialogAnswer::file(path));
        QTest::mouseClick(form().Picture1[1].widget(), Qt::LeftButton);
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

TEST_F(PicturesTest, theClearTileEmptiesBothBoxesAndCancelChangesNothing)
{
    makeLibrary(1);
    addPerson("山田", "太郎");
    open();
    pickIcon(1);
    ASSERT_EQ(model::runState().PicMode, 0);
    pickIcon(-1);
    EXPECT_EQ(model::runState().PicMode, 0);
    EXPECT_FALSE(form().Picture1[0].tag().empty());

    pickIcon(0);
    EXPECT_EQ(model::runState().PicMode, -1);
    for (int box : {0, 1}) {
        EXPECT_EQ(form().Picture1[box].tag(), "") << box;
        EXPECT_TRUE(form().Picture1[box].picture().isEmpty()) << box;
    }
}

// A person with a bitmap photo: the clear tile of the icon chooser empties the photo's
// box as well, and registering then stores the person without a picture, as shown.
TEST_F(PicturesTest, theClearTileTakesAwayAStoredPhotoOnScreenAsRegisterDoes)
{
    makeLibrary(1);
    const int slot = personWithPhoto(Qt::blue);
    open();
    ASSERT_TRUE(near(shownColour(1), Qt::blue)) << "the stored photo is shown";
    pickIcon(0);
    EXPECT_FALSE(near(shownColour(1), Qt::blue)) << "the panel shows no picture";
    EXPECT_EQ(form().Picture1[1].tag(), "");
    form().CMDFUNC[1].click();
    EXPECT_EQ(person(slot).Picture_index, -1);
    EXPECT_EQ(person(slot).Picture_mode, -1);
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

// Both bitmap dialogs offer, after the bitmap, the picture kinds the loader reads:
// a picture of each kind offered is read and taken into the bitmap box.
TEST_F(PicturesTest, theBitmapDialogsOfferEveryPictureKindTheLoaderReads)
{
    addPerson("山田", "太郎");
    open();
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    form().Picture1_Click(1);
    dialogs.answerNext(forms::DialogAnswer::cancelled());
    QTest::mouseDClick(form().Picture1[1].widget(), Qt::LeftButton);
    ASSERT_EQ(dialogs.requests().size(), 2u);
    EXPECT_EQ(dialogs.requests()[1].title, "Input Bmp");
    for (const forms::DialogRequest& request : dialogs.requests()) {
        SCOPED_TRACE(request.title);
        const std::vector<std::string> filters = forms::qtNameFilters(request.filter);
        ASSERT_EQ(filters.size(), 2u);
        EXPECT_EQ(filters[0], "*.bmp (*.bmp)") << "the bitmap comes first";
        const std::string others = filters[1].substr(filters[1].rfind('('));
        EXPECT_EQ(others, "(*.bmp *.png *.jpg *.jpeg *.gif)");
    }

    // Qt writes no GIF: one red pixel, as a GIF file holds it.
    const std::string gif = platform::joinPath(home.path(), "d.gif");
    platform::writeWholeFile(gif, std::string("GIF89a\x01\0\x01\0\x80\0\0\xff\0\0\0\0\0"
                                              ",\0\0\0\0\x01\0\x01\0\0\x02\x02\x44\x01\0;",
                                              35));
    const std::pair<const char*, const char*> kinds[] = {
        {"a.png", "PNG"}, {"b.jpg", "JPEG"}, {"c.jpeg", "JPEG"}, {"d.gif", nullptr}};
    for (const auto& [name, format] : kinds) {
        SCOPED_TRACE(name);
        const std::string picture = platform::joinPath(home.path(), name);
        if (format)
            writeImage(picture, Qt::red, format);
        pasteIntoBitmapBox(picture);
        EXPECT_EQ(form().Picture1[1].tag(), picture);
        EXPECT_TRUE(near(shownColour(1), Qt::red));
    }
    EXPECT_TRUE(answers.shown().empty());
}

// The message names the file and why it cannot be read: no picture at all, a
// damaged one, or one larger than any camera or scanner makes.
TEST_F(PicturesTest, aFileTheLoaderCannotReadIsRefusedAndThePersonKeepsThePhoto)
{
    const int slot = personWithPhoto(Qt::blue);
    open();
    const std::string photo = storedFace(slot);
    // The signature and header of a PNG of 60000 x 60000 pixels, with an empty data chunk.
    const std::string hugePng("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\xEA\x60\0\0\xEA\x60\x08\x02\0\0\0"
                              "\x0F\xB0\xE2\x15\0\0\0\0IDAT\x35\xAF\x06\x1E",
                              45);
    const std::tuple<const char*, std::string, const char*> files[] = {
        {"fake.bmp", "not a picture", "画像ファイルではありません"},
        {"fake.png", "not a picture", "画像ファイルではありません"},
        {"fake.jpg", "not a picture", "画像ファイルではありません"},
        {"cut.bmp", std::string("BM\x36\0\0\0\0\0", 8), "ファイルが壊れています"},
        {"huge.png", hugePng, "画像が大きすぎます"},
        // A photo cut in the middle, which a reader would finish in grey, and a
        // bitmap of 2 MB cut at 50 KB, which it would finish in black.
        {"cut.jpg", support::encodedPicture(support::detailedPicture(800, 600), "JPEG").substr(0, 20000), "ファイルが壊れています"},
        {"cut-photo.bmp", support::encodedPicture(support::detailedPicture(800, 900), "BMP").substr(0, 50 * 1024), "ファイルが壊れています"},
    };
    for (const auto& [name, bytes, why] : files) {
        SCOPED_TRACE(name);
        const std::string fake = platform::joinPath(home.path(), name);
        platform::writeWholeFile(fake, bytes);
        answers.answerNext(platform::vbOK);
        pasteIntoBitmapBox(fake);
        ASSERT_EQ(answers.shown().size(), 1u);
        EXPECT_EQ(answers.shown()[0].text, std::string(entry::PictureFileError) + "\r\n" + fake + "\r\n（" + why + "）");
        answers.clearRecords();
        EXPECT_EQ(form().Picture1[1].tag(), photo);
        EXPECT_TRUE(near(shownColour(1), Qt::blue));
        EXPECT_EQ(model::runState().PicMode, 1);
    }
    form().CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty());
    expectStoredBitmap(slot, Qt::blue);
}

// What is no file at all (a named pipe, a link to a device) is refused for what it
// is, at once, and the person keeps the photo.
TEST_F(PicturesTest, aChosenPathThatIsNoRegularFileIsRefusedForWhatItIs)
{
    const int slot = personWithPhoto(Qt::blue);
    open();
    const std::string photo = storedFace(slot);
    const std::string pipe = platform::joinPath(home.path(), "pipe.bmp");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string device = platform::joinPath(home.path(), "zero.jpg");
    ASSERT_EQ(::symlink("/dev/zero", device.c_str()), 0);
    for (const std::string& path : {pipe, device}) {
        SCOPED_TRACE(path);
        answers.answerNext(platform::vbOK);
        pasteIntoBitmapBox(path);
        EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(entry::PictureFileError) + "\r\n" + path
                                                                 + "\r\n（通常のファイルではありません）"});
        answers.clearRecords();
        EXPECT_EQ(form().Picture1[1].tag(), photo);
    }
    form().CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty());
    expectStoredBitmap(slot, Qt::blue);
}

// A bitmap that was whole when chosen and is cut before 登録 (a copy still under way)
// is refused by the register, which copies only what reads whole: the person keeps
// the registered photo, and the message names the file and why.
TEST_F(PicturesTest, aBitmapCutAfterItWasChosenIsNotRegistered)
{
    const int slot = personWithPhoto(Qt::blue);
    const std::string registered = platform::readWholeFile(storedFace(slot));
    open();
    const std::string chosen = platform::joinPath(home.path(), "scan.bmp");
    const std::string whole = support::encodedPicture(support::detailedPicture(800, 900), "BMP");
    platform::writeWholeFile(chosen, whole);
    pasteIntoBitmapBox(chosen);
    ASSERT_EQ(form().Picture1[1].tag(), chosen);
    platform::writeWholeFile(chosen, whole.substr(0, 50 * 1024));

    answers.answerNext(platform::vbOK);
    form().CMDFUNC[1].click();

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(entry::PictureFileError) + "\r\n" + chosen
                                                             + "\r\n（ファイルが壊れています）"});
    EXPECT_EQ(person(slot).Picture_filename, entry::faceFileName(slot, 1));
    EXPECT_EQ(platform::readWholeFile(storedFace(slot)), registered);
}

// A phone photo taken upright (the camera turned right, EXIF orientation 6) is shown
// in the box and stored the way up it was taken.
TEST_F(PicturesTest, aPhonePhotoTakenUprightIsShownAndStoredUpright)
{
    // As the sensor saw it: 4000 x 3000, its top half blue, the bottom half red.
    QImage sensor = support::plainPicture(4000, 3000, Qt::red);
    QPainter(&sensor).fillRect(0, 0, 4000, 1500, Qt::blue);
    const std::string photo = platform::joinPath(home.path(), "PXL_0002.jpg");
    platform::writeWholeFile(photo, support::withExifOrientation(support::encodedPicture(sensor, "JPEG"), 6));

    const int slot = addPerson("山田", "太郎");
    open();
    pasteIntoBitmapBox(photo);
    const QImage shown = forms::pictureImage(form().Picture1[1].image());
    EXPECT_TRUE(near(QColor(shown.pixel(shown.width() * 3 / 4, shown.height() / 2)), Qt::blue)) << "the top on the right";
    EXPECT_TRUE(near(QColor(shown.pixel(shown.width() / 4, shown.height() / 2)), Qt::red));
    form().CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty());

    const QImage face(QString::fromStdString(storedFace(slot)));
    ASSERT_EQ(face.size(), QSize(720, 960));
    EXPECT_TRUE(near(QColor(face.pixel(540, 480)), Qt::blue));
    EXPECT_TRUE(near(QColor(face.pixel(180, 480)), Qt::red));
}

// A PNG or JPEG photo chosen for a person who had a photo: registered, it becomes the
// slot's bitmap, and a save and reopen brings it back from the bundle.
struct OtherKind {
    const char* file;
    const char* format;
    friend std::ostream& operator<<(std::ostream& out, const OtherKind& c) { return out << c.file; }
};

class OtherKindTest : public PicturesTest, public ::testing::WithParamInterface<OtherKind> {};

TEST_P(OtherKindTest, isStoredAsTheSlotsBitmapAndSurvivesASaveAndReopen)
{
    const int slot = personWithPhoto(Qt::blue);
    open();
    ASSERT_TRUE(near(shownColour(1), Qt::blue)) << "the stored photo is shown";
    const std::string chosen = platform::joinPath(home.path(), GetParam().file);
    writeImage(chosen, Qt::red, GetParam().format);

    pasteIntoBitmapBox(chosen);
    ASSERT_EQ(dialogs.requests().size(), 1u);
    EXPECT_EQ(dialogs.requests()[0].title, "画像貼り付け");
    EXPECT_EQ(form().Picture1[1].tag(), chosen);
    EXPECT_TRUE(near(shownColour(1), Qt::red)) << "the chosen picture is shown";
    form().CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty());
    expectStoredBitmap(slot, Qt::red);

    const std::string family = platform::joinPath(home.path(), "family.kez");
    ASSERT_TRUE(model::save_file(family));
    ASSERT_TRUE(platform::fileExists(model::kedFileName(family)));
    form().closeFromMainWindow();
    platform::removeTree(entry::faceFolder());
    model::InitAllSetting();
    ASSERT_TRUE(model::load_file(family));
    expectStoredBitmap(slot, Qt::red);

    open();
    int shown = slot;
    form().entryset(shown);
    EXPECT_EQ(form().Picture1[1].tag(), storedFace(slot));
    EXPECT_TRUE(near(shownColour(1), Qt::red)) << "the reopened photo is shown";
}

INSTANTIATE_TEST_SUITE_P(Kinds, OtherKindTest,
                         ::testing::Values(OtherKind{"face.png", "PNG"}, OtherKind{"face.jpg", "JPEG"}),
                         [](const ::testing::TestParamInfo<OtherKind>& info) {
                             return std::string(info.param.format);
                         });

// A camera photo picked for a face is stored as a bitmap scaled down to at most 960
// pixels across and down, keeping its proportions: the family's bundle grows by far
// less than 3 MB, the picture is still the photo, and the photo file stays as it was.
// A bitmap chosen as it is stays copied byte for byte, whatever its size.
struct CameraPhoto {
    const char* name;
    int width;
    int height;
    const char* format;
    QSize stored;
    friend std::ostream& operator<<(std::ostream& out, const CameraPhoto& c) { return out << c.name; }
};

class CameraPhotoTest : public PicturesTest, public ::testing::WithParamInterface<CameraPhoto> {};

TEST_P(CameraPhotoTest, isStoredScaledDownToWhatTheCardTheChartAndThePrintoutShow)
{
    const CameraPhoto& c = GetParam();
    // Red on the left half, blue on the right: what a crop or a stretch would change.
    QImage image(c.width, c.height, QImage::Format_RGB32);
    image.fill(Qt::red);
    for (int y = 0; y < c.height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = c.width / 2; x < c.width; ++x)
            line[x] = qRgb(0, 0, 255);
    }
    const std::string photo = platform::joinPath(home.path(), c.name);
    ASSERT_TRUE(image.save(QString::fromStdString(photo), c.format));
    const std::string photoBytes = platform::readWholeFile(photo);

    const int slot = addPerson("山田", "太郎");
    open();
    pasteIntoBitmapBox(photo);
    form().CMDFUNC[1].click();
    EXPECT_TRUE(answers.shown().empty());
    EXPECT_EQ(platform::readWholeFile(photo), photoBytes) << "the chosen photo is only read";
    ASSERT_EQ(person(slot).Picture_filename, entry::faceFileName(slot, 1));
    const std::string stored = platform::readWholeFile(storedFace(slot));
    ASSERT_EQ(stored.substr(0, 2), "BM");
    const QImage face(QString::fromStdString(storedFace(slot)));
    EXPECT_EQ(face.size(), c.stored);
    EXPECT_LT(stored.size(), 3000000u);
    EXPECT_TRUE(near(QColor(face.pixel(face.width() / 4, face.height() / 2)), Qt::red));
    EXPECT_TRUE(near(QColor(face.pixel(face.width() * 3 / 4, face.height() / 2)), Qt::blue));

    const std::string family = platform::joinPath(home.path(), "family.kez");
    ASSERT_TRUE(model::save_file(family));
    EXPECT_LT(platform::fileLength(model::kedFileName(family)), 3000000);

    // The same photo as a bitmap larger than the stored size is copied as it is.
    const std::string bitmap = platform::joinPath(home.path(), "photo.bmp");
    ASSERT_TRUE(image.scaled(1200, 1200, Qt::KeepAspectRatio).save(QString::fromStdString(bitmap), "BMP"));
    int shown = slot;
    form().entryset(shown);
    pasteIntoBitmapBox(bitmap);
    form().CMDFUNC[1].click();
    EXPECT_EQ(platform::readWholeFile(storedFace(slot)), platform::readWholeFile(bitmap));
}

INSTANTIATE_TEST_SUITE_P(Photos, CameraPhotoTest,
                         ::testing::Values(CameraPhoto{"IMG_0001.JPG", 4000, 3000, "JPEG", QSize(960, 720)},
                                           CameraPhoto{"portrait.png", 1500, 2000, "PNG", QSize(720, 960)}),
                         [](const ::testing::TestParamInfo<CameraPhoto>& info) {
                             return std::string(info.param.format);
                         });

// A phone's 48-megapixel photo.
INSTANTIATE_TEST_SUITE_P(PhonePhotos, CameraPhotoTest,
                         ::testing::Values(CameraPhoto{"PXL_0001.jpg", 8000, 6000, "JPEG", QSize(960, 720)}),
                         [](const ::testing::TestParamInfo<CameraPhoto>& info) {
                             return std::string(info.param.format);
                         });

// A register on a full disk (the face folder on a small file system) names the cause
// and leaves the person's registered picture whole, whether the new one is a bitmap
// copied as it is or a photo made into one; once there is room again, the save keeps
// that picture.
class FullDiskTest : public PicturesTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FullDiskTest, aRegisterNamesTheCauseAndKeepsTheRegisteredPicture)
{
    const int slot = addPerson("山田", "太郎");
    QImage registered(100, 100, QImage::Format_RGB32);
    registered.fill(Qt::blue);
    person(slot).Picture_index = 1;
    person(slot).Picture_mode = 1;
    person(slot).Picture_filename = entry::faceFileName(slot, 1);
    ASSERT_TRUE(registered.save(QString::fromStdString(storedFace(slot)), "BMP"));
    const std::string registeredBytes = platform::readWholeFile(storedFace(slot));
    support::SmallDisk disk(entry::faceFolder(), 1024 * 1024);
    if (!disk.mounted())
        std::cout << "No file system can be mounted here: the full disk is files limited in size.\n";

    const std::string chosen = platform::joinPath(home.path(), GetParam());
    QImage photo(640, 480, QImage::Format_RGB32);
    photo.fill(Qt::red);
    ASSERT_TRUE(photo.save(QString::fromStdString(chosen)));
    open();
    pasteIntoBitmapBox(chosen);
    answers.answerNext(platform::vbOK);
    disk.whileFull(64 * 1024, [&] { form().CMDFUNC[1].click(); });

    EXPECT_EQ(answers.shownTexts(), std::vector<std::string>{std::string(entry::PictureFileError) + "\r\n" + storedFace(slot)
                                                             + "\r\n（" + disk.fullReason() + "）"});
    EXPECT_EQ(person(slot).Picture_filename, entry::faceFileName(slot, 1));
    EXPECT_EQ(person(slot).Picture_index, 1);
    EXPECT_EQ(platform::readWholeFile(storedFace(slot)), registeredBytes);
    EXPECT_EQ(platform::listFiles(entry::faceFolder(), "*"), std::vector<std::string>{entry::faceFileName(slot, 1)});

    ASSERT_TRUE(model::save_file(platform::joinPath(home.path(), "family.kez")));
    EXPECT_TRUE(model::leftOutMedia().empty()) << "the save holds the picture";
}

INSTANTIATE_TEST_SUITE_P(Chosen, FullDiskTest, ::testing::Values("new.bmp", "new.jpg"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param).substr(4);
                         });

// The icon box's file dialog follows the same rule: a bitmap typed there is stored
// as the slot's bitmap, not taken for a cleared picture.
TEST_F(PicturesTest, aBitmapTypedIntoTheIconDialogIsStoredAsTheSlotsBitmap)
{
    const int slot = personWithPhoto(Qt::blue);
    open();
    const std::string typed = platform::joinPath(home.path(), "mine.bmp");
    writeImage(typed, Qt::red);
    dialogs.answerNext(forms::DialogAnswer::file(typed));
    QTest::mouseDClick(form().Picture1[0].widget(), Qt::LeftButton);
    ASSERT_FALSE(dialogs.requests().empty());
    EXPECT_EQ(dialogs.requests().back().title, "Input Icon");
    EXPECT_EQ(form().Picture1[0].tag(), typed);
    EXPECT_TRUE(form().Picture1[1].tag().empty());
    form().CMDFUNC[1].click();
    expectStoredBitmap(slot, Qt::red);
    EXPECT_EQ(platform::readWholeFile(storedFace(slot)), platform::readWholeFile(typed)) << "a bitmap is copied as it is";
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

// Another person's picture may have this slot's face name (an added family keeps its
// names): the registered picture takes a free name and that picture stays as it was,
// also when the person is registered again.
TEST_F(PicturesTest, aRegisteredPictureNeverOverwritesAnotherPersonsPicture)
{
    const int own = addPerson("鈴木", "一郎");
    const int other = personWithPhoto(Qt::blue);
    person(other).Picture_filename = entry::faceFileName(own, 1);
    platform::renameFile(platform::joinPath(entry::faceFolder(), entry::faceFileName(other, 1)), storedFace(other));
    const std::string othersBytes = platform::readWholeFile(storedFace(other));
    open();
    int shown = own;
    form().entryset(shown);
    const std::string photo = platform::joinPath(home.path(), "new.bmp");
    writeImage(photo, Qt::red);
    pasteIntoBitmapBox(photo);
    form().CMDFUNC_Click(1);

    EXPECT_EQ(platform::readWholeFile(storedFace(other)), othersBytes);
    ASSERT_NE(person(own).Picture_filename, person(other).Picture_filename);
    EXPECT_EQ(person(own).Picture_index, 1);
    EXPECT_EQ(platform::readWholeFile(storedFace(own)), platform::readWholeFile(photo));

    const std::string ownName = person(own).Picture_filename;
    form().entryset(shown);
    form().CMDFUNC_Click(1);
    EXPECT_EQ(person(own).Picture_filename, ownName) << "registered again, the person keeps its file";
    EXPECT_EQ(platform::readWholeFile(storedFace(other)), othersBytes);
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
