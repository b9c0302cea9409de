// LoadPicture: formats, errors, and the cache that must notice a face file
// rewritten under the same name.

#include "forms/Colors.h"
#include "forms/ImageSurface.h"
#include "forms/Picture.h"

#include "platform/Errors.h"

#include "ParamNames.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

class PictureFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/tevora-picture-XXXXXX";
        m_dir = ::mkdtemp(pattern);
        forms::clearPictureCache();
    }
    void TearDown() override
    {
        std::filesystem::remove_all(m_dir);
        forms::clearPictureCache();
    }
    std::string file(const std::string& name) const { return m_dir + "/" + name; }

    void writeBytes(const std::string& name, const std::string& bytes) const
    {
        std::ofstream(file(name), std::ios::binary) << bytes;
    }

    // A solid picture of the given pixel size, saved with Qt in the given format.
    std::string savedImage(const std::string& name, int width, int height, QColor colour,
                           const char* format) const
    {
        QImage image(width, height, QImage::Format_ARGB32);
        image.fill(colour);
        EXPECT_TRUE(image.save(QString::fromStdString(file(name)), format));
        return file(name);
    }

    static void setModified(const std::string& path, time_t seconds)
    {
        struct timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    }

    std::string m_dir;
};

int errorNumberOf(const std::string& path)
{
    try {
        forms::LoadPicture(path);
    } catch (const platform::RuntimeError& e) {
        return e.number;
    }
    return 0;
}

} // namespace

TEST_F(PictureFiles, EmptyPathGivesAnEmptyPicture)
{
    const forms::Picture picture = forms::LoadPicture("");
    EXPECT_TRUE(picture.isEmpty());
    EXPECT_EQ(picture.widthPixels(), 0);
    EXPECT_EQ(forms::pictureCacheSize(), 0u);
}

struct BadFile {
    const char* name;
    const char* bytes;
    int error;
};

void PrintTo(const BadFile& c, std::ostream* out) { *out << c.name; }

class PictureErrors : public PictureFiles, public ::testing::WithParamInterface<BadFile> {};

TEST_P(PictureErrors, MissingFilesRaise53AndUndecodableOnes481)
{
    const BadFile c = GetParam();
    if (c.bytes)
        writeBytes(c.name, std::string(c.bytes, std::char_traits<char>::length(c.bytes)));
    EXPECT_EQ(errorNumberOf(file(c.name)), c.error);
    // A failure is not cached: the same path loads once it holds a picture.
    savedImage(c.name, 3, 3, Qt::red, "BMP");
    EXPECT_EQ(errorNumberOf(file(c.name)), 0);
}

INSTANTIATE_TEST_SUITE_P(Files, PictureErrors,
                         ::testing::Values(BadFile{"missing.bmp", nullptr, 53},
                                           BadFile{"text.bmp", "this is not a picture", 481},
                                           BadFile{"empty.ico", "", 481},
                                           BadFile{"truncated.bmp", "BM\x36\x00\x00\x00\x00\x00", 481}),
                         forms_test::CaseName());

TEST_F(PictureFiles, AFolderIsNoPicture)
{
    std::filesystem::create_directory(file("face"));
    EXPECT_EQ(errorNumberOf(file("face")), 53);
}

TEST_F(PictureFiles, ReadsBmpPngAndJpegByContentNotByName)
{
    savedImage("a.bmp", 32, 16, Qt::blue, "BMP");
    savedImage("b.png", 7, 9, Qt::green, "PNG");
    savedImage("c.jpg", 20, 10, Qt::white, "JPEG");
    savedImage("png-named.bmp", 5, 6, Qt::red, "PNG");
    EXPECT_EQ(forms::LoadPicture(file("a.bmp")).widthPixels(), 32);
    EXPECT_EQ(forms::LoadPicture(file("b.png")).heightPixels(), 9);
    EXPECT_EQ(forms::LoadPicture(file("c.jpg")).widthPixels(), 20);
    EXPECT_EQ(forms::LoadPicture(file("png-named.bmp")).widthPixels(), 5);
    EXPECT_DOUBLE_EQ(forms::LoadPicture(file("a.bmp")).widthTwips(), 32 * 15.0);
}

TEST_F(PictureFiles, IconsKeepTheirTransparencyWhenPainted)
{
    // A 32 x 32 icon, transparent but for a 10 x 10 opaque blue square.
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    {
        QPainter painter(&icon);
        painter.fillRect(0, 0, 10, 10, Qt::blue);
    }
    ASSERT_TRUE(icon.save(QString::fromStdString(file("face.ico")), "ICO"));
    const forms::Picture picture = forms::LoadPicture(file("face.ico"));

    forms::ImageSurface surface(64, 64);
    surface.setBackColor(forms::RGB(255, 0, 0));
    surface.paintPicture(picture, 0, 0, 64 * 15, 64 * 15);
    EXPECT_EQ(surface.point(5 * 15, 5 * 15), forms::RGB(0, 0, 255));
    EXPECT_EQ(surface.point(50 * 15, 50 * 15), forms::RGB(255, 0, 0)) << "transparent part shows the background";
}

TEST_F(PictureFiles, TheCacheSharesOneDecodingPerUnchangedFile)
{
    const std::string path = savedImage("face.bmp", 8, 8, Qt::red, "BMP");
    const forms::Picture first = forms::LoadPicture(path);
    const forms::Picture second = forms::LoadPicture(path);
    EXPECT_EQ(first, second);
    EXPECT_EQ(forms::pictureCacheSize(), 1u);
    forms::clearPictureCache();
    EXPECT_NE(forms::LoadPicture(path), first) << "decoded again after a clear";
}

TEST_F(PictureFiles, AFileRewrittenUnderTheSameNameIsDecodedAgain)
{
    // Same name and size, new content, new modification time: the face-file case.
    const std::string path = savedImage("face.bmp", 8, 8, Qt::red, "BMP");
    setModified(path, 1000000000);
    const forms::Picture before = forms::LoadPicture(path);
    savedImage("face.bmp", 8, 8, Qt::blue, "BMP");
    setModified(path, 1000000100);
    const forms::Picture after = forms::LoadPicture(path);
    EXPECT_NE(before, after);

    forms::ImageSurface surface(8, 8);
    surface.paintPicture(after, 0, 0);
    EXPECT_EQ(surface.point(15, 15), forms::RGB(0, 0, 255));

    // Same modification time, different size: also a new picture.
    savedImage("face.bmp", 12, 8, Qt::blue, "BMP");
    setModified(path, 1000000100);
    EXPECT_EQ(forms::LoadPicture(path).widthPixels(), 12);
    EXPECT_EQ(forms::pictureCacheSize(), 1u) << "one entry per path";
}

TEST_F(PictureFiles, HeldPicturesOutliveTheCacheAndTheFile)
{
    const std::string path = savedImage("face.bmp", 6, 6, Qt::green, "BMP");
    const forms::Picture picture = forms::LoadPicture(path);
    forms::clearPictureCache();
    std::filesystem::remove(path);
    EXPECT_EQ(picture.widthPixels(), 6);
    EXPECT_EQ(picture.sourcePath(), path);
    EXPECT_EQ(errorNumberOf(path), 53);
}
