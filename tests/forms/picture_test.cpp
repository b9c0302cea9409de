// LoadPicture: formats, errors, and the cache that must notice a face file
// rewritten under the same name.

#include "forms/Colors.h"
#include "forms/ImageSurface.h"
#include "forms/Picture.h"
#include "forms/Picture_p.h"

#include "platform/Errors.h"

#include "ParamNames.h"
#include "support/SmallFilesOnly.h"
#include "support/qt/PictureBytes.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <unistd.h>

namespace {

using support::detailedPicture;
using support::encodedPicture;
using support::withExifOrientation;

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

// The 54-byte header of a 24-bit bitmap of the given size, without its pixels.
std::string bitmapHeader(uint32_t width, uint32_t height)
{
    std::string header;
    const auto put = [&header](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    const uint64_t pixelBytes = uint64_t((width * 3 + 3) & ~3u) * height;
    header += "BM";
    put(static_cast<uint32_t>(std::min<uint64_t>(54 + pixelBytes, 0xFFFFFFFFu)), 4);
    put(0, 4);
    put(54, 4);
    put(40, 4);
    put(width, 4);
    put(height, 4);
    put(1, 2);
    put(24, 2);
    put(0, 4);
    put(static_cast<uint32_t>(std::min<uint64_t>(pixelBytes, 0xFFFFFFFFu)), 4);
    put(3780, 4);
    put(3780, 4);
    put(0, 4);
    put(0, 4);
    return header;
}

struct BadFile {
    const char* name;
    std::optional<std::string> bytes; // none: the file is missing
    int error;
    const char* reason;
};

void PrintTo(const BadFile& c, std::ostream* out) { *out << c.name; }

class PictureErrors : public PictureFiles, public ::testing::WithParamInterface<BadFile> {};

// The error names the file and why it cannot be read, in a word.
TEST_P(PictureErrors, MissingFilesRaise53AndUndecodableOnes481)
{
    const BadFile c = GetParam();
    if (c.bytes)
        writeBytes(c.name, *c.bytes);
    try {
        forms::LoadPicture(file(c.name));
        ADD_FAILURE() << "read";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number, c.error);
        EXPECT_EQ(e.path, file(c.name));
        EXPECT_EQ(platform::failureReason(e), c.reason);
    }
    // A failure is not cached: the same path loads once it holds a picture.
    savedImage(c.name, 3, 3, Qt::red, "BMP");
    EXPECT_EQ(errorNumberOf(file(c.name)), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Files, PictureErrors,
    ::testing::Values(BadFile{"missing.bmp", std::nullopt, 53, "ファイルがありません"},
                      BadFile{"text.bmp", "this is not a picture", 481, "画像ファイルではありません"},
                      BadFile{"empty.ico", "", 481, "画像ファイルではありません"},
                      BadFile{"truncated.bmp", std::string("BM\x36\x00\x00\x00\x00\x00", 8), 481, "ファイルが壊れています"},
                      BadFile{"cut.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDRgarbage", 23), 481,
                              "ファイルが壊れています"},
                      // The signature, header chunk and an empty data chunk (each with its
                      // checksum) of a PNG of 60000 x 60000 pixels: 3.6 gigapixels, more than
                      // any camera or scanner makes.
                      BadFile{"huge.png",
                              std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\xEA\x60\0\0\xEA\x60\x08\x02\0\0\0"
                                          "\x0F\xB0\xE2\x15\0\0\0\0IDAT\x35\xAF\x06\x1E",
                                          45),
                              481, "画像が大きすぎます"}),
    forms_test::CaseName());

// What is no regular file is refused for what it is, without a wait: a named pipe
// nobody writes to, a device that never ends.
struct NotAFile {
    const char* name;
    std::function<void(const std::string& path)> make;
    const char* reason;
};

void PrintTo(const NotAFile& c, std::ostream* out) { *out << c.name; }

class NotAFileTest : public PictureFiles, public ::testing::WithParamInterface<NotAFile> {};

TEST_P(NotAFileTest, IsRefusedForWhatItIs)
{
    const std::string path = file("face.bmp");
    GetParam().make(path);
    try {
        forms::LoadPicture(path);
        ADD_FAILURE() << "read";
    } catch (const platform::RuntimeError& e) {
        EXPECT_EQ(e.number, platform::err::PathFileAccess);
        EXPECT_EQ(e.path, path);
        EXPECT_EQ(platform::failureReason(e), GetParam().reason);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, NotAFileTest,
    ::testing::Values(
        NotAFile{"Folder", [](const std::string& path) { std::filesystem::create_directory(path); },
                 "ファイルではなくフォルダーです"},
        NotAFile{"NamedPipe", [](const std::string& path) { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
                 "通常のファイルではありません"},
        NotAFile{"LinkToADevice", [](const std::string& path) { ASSERT_EQ(::symlink("/dev/zero", path.c_str()), 0); },
                 "通常のファイルではありません"}),
    forms_test::CaseName());

// A GIF of width x height pixels, as Qt writes none: its codes kept 8 bits wide by a
// clear code every 126 pixels, so it needs no compressor.
std::string gifBytes(int width, int height)
{
    std::string gif = "GIF89a";
    const auto put16 = [&gif](int value) {
        gif += static_cast<char>(value & 0xFF);
        gif += static_cast<char>(value >> 8);
    };
    put16(width);
    put16(height);
    gif += std::string("\xF6\0\0", 3); // a global table of 128 colours
    for (int i = 0; i < 128; ++i)
        gif += {static_cast<char>(i * 2), static_cast<char>(255 - i * 2), '\0'};
    gif += ',';
    put16(0);
    put16(0);
    put16(width);
    put16(height);
    gif += '\0';
    gif += '\x07'; // 7-bit colours, 8-bit codes
    std::string codes(1, '\x80');
    for (int i = 0; i < width * height; ++i) {
        if (i % 126 == 125)
            codes += '\x80';
        codes += static_cast<char>((i / 8) % 128);
    }
    codes += '\x81';
    for (size_t at = 0; at < codes.size(); at += 255) {
        const std::string block = codes.substr(at, 255);
        gif += static_cast<char>(block.size());
        gif += block;
    }
    return gif + std::string("\0;", 2);
}

// An icon file of two pictures, 16 and 32 pixels square, the larger one last.
std::string twoPictureIcon()
{
    const std::string small = encodedPicture(detailedPicture(16, 16), "ICO");
    const std::string large = encodedPicture(detailedPicture(32, 32), "ICO");
    // Each is a 6-byte header, one 16-byte directory entry and the picture.
    std::string icon = std::string("\0\0\x01\0\x02\0", 6);
    const auto entry = [](const std::string& one, size_t offset) {
        std::string row = one.substr(6, 12);
        for (int i = 0; i < 4; ++i)
            row += static_cast<char>((offset >> (8 * i)) & 0xFF);
        return row;
    };
    icon += entry(small, 6 + 32);
    icon += entry(large, 6 + 32 + small.size() - 22);
    return icon + small.substr(22) + large.substr(22);
}

// Where a JPEG's first scan data starts: right after its headers.
size_t jpegScanStart(const std::string& jpeg)
{
    const size_t marker = jpeg.find("\xFF\xDA");
    return marker + 2 + (static_cast<unsigned char>(jpeg[marker + 2]) << 8 | static_cast<unsigned char>(jpeg[marker + 3]));
}

// A JPEG that holds a smaller JPEG in its header, as a camera keeps a thumbnail: the
// thumbnail's end marker is not the photo's.
std::string withThumbnail(const std::string& jpeg)
{
    const std::string thumbnail = encodedPicture(detailedPicture(16, 12), "JPEG");
    const std::string data = std::string("Exif\0\0", 6) + thumbnail;
    const size_t length = data.size() + 2;
    return jpeg.substr(0, 2) + "\xFF\xE1" + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + data
           + jpeg.substr(2);
}

// A picture file cut short anywhere, even right after its headers, is refused as
// damaged: no reader's grey or black stands in for what is missing.
struct CutPicture {
    const char* name;
    std::function<std::string()> whole;
    std::function<size_t(const std::string& whole)> headersEnd;
    // The bytes after the picture's data: a GIF's end mark, a PNG's end chunk, what a camera adds.
    size_t trailer = 0;
};

void PrintTo(const CutPicture& c, std::ostream* out) { *out << c.name; }

class CutPictures : public PictureFiles, public ::testing::WithParamInterface<CutPicture> {};

TEST_P(CutPictures, AreRefusedAsDamagedWhereverTheyEnd)
{
    const std::string whole = GetParam().whole();
    writeBytes("whole", whole);
    ASSERT_EQ(errorNumberOf(file("whole")), 0) << "the whole file reads";
    const size_t headers = GetParam().headersEnd(whole);
    ASSERT_LT(headers, whole.size() / 3);
    for (const size_t cut : {headers, whole.size() / 3, whole.size() / 2, whole.size() - GetParam().trailer - 1}) {
        SCOPED_TRACE(std::to_string(cut) + " of " + std::to_string(whole.size()) + " bytes");
        writeBytes("cut", whole.substr(0, cut));
        try {
            forms::LoadPicture(file("cut"));
            ADD_FAILURE() << "read";
        } catch (const platform::RuntimeError& e) {
            EXPECT_EQ(e.number, platform::err::InvalidPicture);
            EXPECT_EQ(platform::failureReason(e), "ファイルが壊れています");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, CutPictures,
    ::testing::Values(
        CutPicture{"Jpeg", [] { return encodedPicture(detailedPicture(400, 300), "JPEG"); }, jpegScanStart},
        CutPicture{"ProgressiveJpeg", [] { return encodedPicture(detailedPicture(400, 300), "JPEG", true); }, jpegScanStart},
        // Bytes after its end, which some cameras add, are no part of the picture.
        CutPicture{"JpegWithAThumbnailAndBytesAfterItsEnd",
                   [] { return withThumbnail(encodedPicture(detailedPicture(400, 300), "JPEG")) + "camera's own data"; },
                   jpegScanStart, 17},
        CutPicture{"Bitmap", [] { return encodedPicture(detailedPicture(400, 300), "BMP"); }, [](const std::string&) { return size_t{54}; }},
        CutPicture{"Gif", [] { return gifBytes(300, 200); }, [](const std::string&) { return size_t{13 + 384 + 11}; }, 1},
        CutPicture{"IconOfTwoPictures", twoPictureIcon, [](const std::string&) { return size_t{6 + 32}; }},
        CutPicture{"Png", [] { return encodedPicture(detailedPicture(400, 300), "PNG"); }, [](const std::string&) { return size_t{33}; },
                   12}),
    forms_test::CaseName());

// A photo is read the way up its camera was held (its EXIF orientation): one taken
// upright is read upright, also when it is read scaled down.
struct TurnedPhoto {
    const char* name;
    int width;
    int height;
    int orientation;
    QSize read;
    QPointF blue; // the middle of the photo's top half as read, in fractions of its size
};

void PrintTo(const TurnedPhoto& c, std::ostream* out) { *out << c.name; }

class TurnedPhotos : public PictureFiles, public ::testing::WithParamInterface<TurnedPhoto> {};

TEST_P(TurnedPhotos, AreReadTheWayUpTheyWereTaken)
{
    const TurnedPhoto& c = GetParam();
    // The top half blue, the bottom half red, as the camera's sensor saw them.
    QImage image = support::plainPicture(c.width, c.height, Qt::red);
    QPainter(&image).fillRect(0, 0, c.width, c.height / 2, Qt::blue);
    writeBytes("photo.jpg", withExifOrientation(encodedPicture(image, "JPEG"), c.orientation));

    const forms::Picture picture = forms::LoadPicture(file("photo.jpg"));
    ASSERT_EQ(QSize(picture.widthPixels(), picture.heightPixels()), c.read);
    const QImage& read = forms::pictureImage(picture);
    const auto at = [&read](double x, double y) {
        return QColor(read.pixel(static_cast<int>(read.width() * x), static_cast<int>(read.height() * y)));
    };
    EXPECT_GT(at(c.blue.x(), c.blue.y()).blue(), 200) << "the top half";
    EXPECT_GT(at(1 - c.blue.x(), 1 - c.blue.y()).red(), 200) << "the bottom half";
}

INSTANTIATE_TEST_SUITE_P(
    Orientations, TurnedPhotos,
    ::testing::Values(TurnedPhoto{"Upright", 400, 300, 1, QSize(400, 300), QPointF(0.5, 0.25)},
                      TurnedPhoto{"UpsideDown", 400, 300, 3, QSize(400, 300), QPointF(0.5, 0.75)},
                      TurnedPhoto{"TurnedRight", 400, 300, 6, QSize(300, 400), QPointF(0.75, 0.5)},
                      TurnedPhoto{"TurnedLeft", 400, 300, 8, QSize(300, 400), QPointF(0.25, 0.5)},
                      TurnedPhoto{"PhonePhotoTurnedRight", 4000, 3000, 6, QSize(1536, 2048), QPointF(0.75, 0.5)}),
    forms_test::CaseName());

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

// A phone's 48-megapixel photo, an A4 scan at 600 dpi and a large bitmap are read at
// most LargestLoadedPixels across and down, their proportions and picture kept.
struct LargePicture {
    const char* name;
    int width;
    int height;
    const char* format; // null: a bitmap written row by row
    QSize loaded;
};

void PrintTo(const LargePicture& c, std::ostream* out) { *out << c.name; }

class LargePictures : public PictureFiles, public ::testing::WithParamInterface<LargePicture> {};

TEST_P(LargePictures, AreReadScaledDownToWhatIsDrawn)
{
    const LargePicture& c = GetParam();
    // Red on the left half, blue on the right.
    if (c.format) {
        QImage image(c.width, c.height, QImage::Format_RGB32);
        image.fill(Qt::red);
        for (int y = 0; y < c.height; ++y)
            std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)) + c.width / 2, c.width - c.width / 2, qRgb(0, 0, 255));
        ASSERT_TRUE(image.save(QString::fromStdString(file(c.name)), c.format));
    } else {
        std::ofstream out(file(c.name), std::ios::binary);
        out << bitmapHeader(static_cast<uint32_t>(c.width), static_cast<uint32_t>(c.height));
        std::string row;
        for (int x = 0; x < c.width; ++x)
            row += x < c.width / 2 ? std::string("\0\0\xFF", 3) : std::string("\xFF\0\0", 3);
        row.resize((row.size() + 3) & ~size_t(3), '\0');
        for (int y = 0; y < c.height; ++y)
            out << row;
    }
    const forms::Picture picture = forms::LoadPicture(file(c.name));
    ASSERT_EQ(QSize(picture.widthPixels(), picture.heightPixels()), c.loaded);
    const QImage& image = forms::pictureImage(picture);
    const auto near = [](QRgb found, QRgb expected) {
        return std::abs(qRed(found) - qRed(expected)) + std::abs(qGreen(found) - qGreen(expected))
                   + std::abs(qBlue(found) - qBlue(expected)) <= 12;
    };
    EXPECT_TRUE(near(image.pixel(image.width() / 4, image.height() / 2), qRgb(255, 0, 0)));
    EXPECT_TRUE(near(image.pixel(image.width() * 3 / 4, image.height() / 2), qRgb(0, 0, 255)));
}

INSTANTIATE_TEST_SUITE_P(Pictures, LargePictures,
                         ::testing::Values(LargePicture{"phone.jpg", 8000, 6000, "JPEG", QSize(2048, 1536)},
                                           LargePicture{"scan.png", 7016, 4960, "PNG", QSize(2048, 1447)},
                                           LargePicture{"large.bmp", 6000, 6000, nullptr, QSize(2048, 2048)}),
                         forms_test::CaseName());

// A saved picture looks as it does on a white page: transparent parts white,
// half-transparent colours lightened, not darkened.
TEST_F(PictureFiles, SavedPicturesBlendTransparencyOntoWhite)
{
    QImage logo(4, 2, QImage::Format_ARGB32);
    logo.fill(Qt::transparent);
    logo.setPixel(1, 0, qRgba(255, 0, 0, 128));
    logo.setPixel(2, 0, qRgba(0, 0, 255, 255));
    ASSERT_TRUE(logo.save(QString::fromStdString(file("logo.png")), "PNG"));
    forms::SavePicture(forms::LoadPicture(file("logo.png")), file("logo.bmp"));
    forms::SavePictureWithin(forms::LoadPicture(file("logo.png")), file("within.bmp"), 4, 4);
    for (const char* saved : {"logo.bmp", "within.bmp"}) {
        SCOPED_TRACE(saved);
        const QImage image(QString::fromStdString(file(saved)));
        ASSERT_EQ(image.size(), QSize(4, 2));
        EXPECT_EQ(QColor(image.pixel(0, 0)), QColor(255, 255, 255)) << "transparent";
        EXPECT_EQ(QColor(image.pixel(3, 1)), QColor(255, 255, 255));
        const QColor half(image.pixel(1, 0));
        EXPECT_EQ(half.red(), 255);
        EXPECT_NEAR(half.green(), 127, 1);
        EXPECT_NEAR(half.blue(), 127, 1);
        EXPECT_EQ(QColor(image.pixel(2, 0)), QColor(0, 0, 255)) << "opaque";
    }
}

// A save that cannot be finished (a full disk) leaves the picture saved before whole.
TEST_F(PictureFiles, AFailedSaveLeavesTheOlderFileWhole)
{
    const std::string older = savedImage("face.bmp", 8, 8, Qt::red, "BMP");
    std::ifstream in(older, std::ios::binary);
    const std::string before((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    forms::ImageSurface larger(100, 100);
    int number = 0;
    support::withSmallFilesOnly([&] {
        try {
            larger.savePicture(older);
        } catch (const platform::RuntimeError& e) {
            number = e.number;
        }
    }, 1000);
    EXPECT_EQ(number, platform::err::DiskFull);
    std::ifstream after(older, std::ios::binary);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(after)), std::istreambuf_iterator<char>()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir), std::filesystem::directory_iterator()), 1)
        << "no partial file is left";
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
