#include "forms/Picture.h"
#include "forms/Picture_p.h"

#include "platform/Errors.h"
#include "platform/FileSystem.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <map>
#include <mutex>
#include <utility>

namespace forms {

Picture::Picture(std::shared_ptr<const PictureData> data) : m_data(std::move(data)) {}

int Picture::widthPixels() const { return m_data ? m_data->image.width() : 0; }
int Picture::heightPixels() const { return m_data ? m_data->image.height() : 0; }

const std::string& Picture::sourcePath() const
{
    static const std::string none;
    return m_data ? m_data->path : none;
}

namespace {

QImage paintableImage(const QImage& image)
{
    if (image.hasAlphaChannel())
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    return image.convertToFormat(QImage::Format_RGB32);
}

// Face files are rewritten under the same name while the program runs, so an
// entry is valid only for the size and modification time it was decoded from.
struct CacheEntry {
    int64_t size = 0;
    int64_t modifiedNs = 0;
    Picture picture;
};

struct PictureCache {
    std::mutex mutex;
    std::map<std::string, CacheEntry> entries;
    int64_t bytes = 0;
};

PictureCache& cache()
{
    static PictureCache instance;
    return instance;
}

// Above this many decoded bytes the cache drops the pictures nobody holds.
constexpr int64_t CacheSoftLimitBytes = 64 * 1024 * 1024;

int64_t imageBytes(const Picture& picture)
{
    return picture.isEmpty() ? 0 : static_cast<int64_t>(picture.data()->image.sizeInBytes());
}

void trimCache(PictureCache& c)
{
    if (c.bytes <= CacheSoftLimitBytes)
        return;
    for (auto it = c.entries.begin(); it != c.entries.end();) {
        if (it->second.picture.data().use_count() == 1) {
            c.bytes -= imageBytes(it->second.picture);
            it = c.entries.erase(it);
        } else {
            ++it;
        }
    }
}

// Why a picture file cannot be read, in a word.
constexpr const char* NotAPicture = "画像ファイルではありません";
constexpr const char* Damaged = "ファイルが壊れています";
constexpr const char* TooLarge = "画像が大きすぎます";

platform::RuntimeError unreadable(const std::string& path, const char* reason)
{
    return platform::refusedFile(path, reason, platform::err::InvalidPicture);
}

// The most memory one picture read in full may take: a quarter of the machine's
// memory, from 256 MB (every picture of 64 megapixels) up to 1 GB (256 megapixels, as
// a 4-byte pixel each).
int64_t fullReadBudgetBytes()
{
    static const int64_t budget = [] {
        constexpr int64_t MB = 1024 * 1024;
        const long pages = ::sysconf(_SC_PHYS_PAGES);
        const long pageBytes = ::sysconf(_SC_PAGESIZE);
        const int64_t quarter = pages > 0 && pageBytes > 0 ? static_cast<int64_t>(pages) * pageBytes / 4 : 0;
        const int64_t budget = std::clamp<int64_t>(quarter, 256 * MB, 1024 * MB);
        // The image reader's own limit, which would refuse a picture below it.
        QImageReader::setAllocationLimit(static_cast<int>(budget / MB));
        return budget;
    }();
    return budget;
}

// Reads the picture file open on device, which was opened from path.
Picture decodePicture(QIODevice& device, const std::string& path)
{
    const int64_t budget = fullReadBudgetBytes();
    QImageReader reader(&device);
    reader.setDecideFormatFromContent(true);
    // A photo taken with the camera turned says so (its orientation), and is shown
    // and stored the way up it was taken. The size asked for below is the file's own,
    // before the turn: the reader scales first, then turns.
    reader.setAutoTransform(true);
    if (!reader.canRead())
        throw unreadable(path, NotAPicture);
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    if (size.isValid()) {
        const int64_t pixels = static_cast<int64_t>(size.width()) * size.height();
        if (pixels > MostPicturePixels)
            throw unreadable(path, TooLarge);
        if (size.width() > LargestLoadedPixels || size.height() > LargestLoadedPixels) {
            // A format that cannot read a smaller size itself (a bitmap) is read whole
            // first, 4 bytes a pixel.
            if (!reader.supportsOption(QImageIOHandler::ScaledSize) && pixels * 4 > budget)
                throw unreadable(path, TooLarge);
            reader.setScaledSize(
                size.scaled(LargestLoadedPixels, LargestLoadedPixels, Qt::KeepAspectRatio).expandedTo(QSize(1, 1)));
        }
    }
    const QImage image = reader.read();
    if (image.isNull())
        throw unreadable(path, reader.error() == QImageReader::UnsupportedFormatError ? NotAPicture : Damaged);
    // What a reader made of a file cut short, the rest grey or black, is no picture.
    if (!pictureReachesItsEnd(device, format))
        throw unreadable(path, Damaged);
    auto data = std::make_shared<PictureData>();
    data->image = paintableImage(image);
    data->path = path;
    return Picture(std::move(data));
}

} // namespace

Picture pictureFromImage(const QImage& image)
{
    if (image.isNull())
        return Picture();
    auto data = std::make_shared<PictureData>();
    data->image = paintableImage(image);
    return Picture(std::move(data));
}

Picture pictureFromBytes(const std::string& bytes, const std::string& path)
{
    const QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return decodePicture(buffer, path);
}

Picture LoadPicture(const std::string& path)
{
    if (path.empty())
        return Picture();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        const int error = errno;
        // A missing file, also in a missing folder, is "file not found".
        platform::RuntimeError failure = platform::errnoError(error == ENOTDIR ? ENOENT : error, path);
        if (error == ENOENT || error == ENOTDIR)
            failure.number = platform::err::FileNotFound;
        throw failure;
    }
    const auto stamp = [](const struct stat& file) {
        return std::pair<int64_t, int64_t>(static_cast<int64_t>(file.st_size),
                                           static_cast<int64_t>(file.st_mtim.tv_sec) * 1000000000 + file.st_mtim.tv_nsec);
    };
    PictureCache& c = cache();
    if (S_ISREG(info.st_mode)) {
        std::lock_guard<std::mutex> lock(c.mutex);
        auto it = c.entries.find(path);
        if (it != c.entries.end() && std::pair(it->second.size, it->second.modifiedNs) == stamp(info))
            return it->second.picture;
    }
    // Only a regular file is read, opened without waiting: a folder, a named pipe or
    // a device (a link to /dev/zero) is refused for what it is.
    QFile file;
    const int fd = platform::openToRead(path, UINT64_MAX);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        throw platform::errnoError(EIO, path);
    }
    if (::fstat(fd, &info) != 0)
        throw platform::errnoError(errno, path);
    const auto [size, modified] = stamp(info);
    Picture picture = decodePicture(file, path);
    std::lock_guard<std::mutex> lock(c.mutex);
    CacheEntry& entry = c.entries[path];
    c.bytes += imageBytes(picture) - imageBytes(entry.picture);
    entry = CacheEntry{size, modified, picture};
    trimCache(c);
    return picture;
}

std::size_t pictureCacheSize()
{
    PictureCache& c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    return c.entries.size();
}

void clearPictureCache()
{
    PictureCache& c = cache();
    std::lock_guard<std::mutex> lock(c.mutex);
    c.entries.clear();
    c.bytes = 0;
}

namespace {

void putLe16(std::string& out, uint32_t value)
{
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void putLe32(std::string& out, uint32_t value)
{
    putLe16(out, value & 0xFFFF);
    putLe16(out, value >> 16);
}

} // namespace

void writeBmp24(const QImage& source, const std::string& path)
{
    // A picture with transparency is stored as it looks on a white page: its colours,
    // premultiplied by their opacity, take white for the rest.
    const bool blended = source.hasAlphaChannel();
    const QImage image = source.format() == QImage::Format_RGB32 || source.format() == QImage::Format_ARGB32_Premultiplied
                             ? source
                             : source.convertToFormat(blended ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    const uint32_t width = static_cast<uint32_t>(image.width());
    const uint32_t height = static_cast<uint32_t>(image.height());
    const uint32_t rowBytes = (width * 3 + 3) & ~3u;
    const uint64_t pixelBytes = static_cast<uint64_t>(rowBytes) * height;
    constexpr uint32_t HeaderBytes = 14 + 40;
    if (HeaderBytes + pixelBytes > 0xFFFFFFFFull)
        throw platform::RuntimeError(platform::err::OutOfMemory, "Picture too large for a BMP file");

    std::string header;
    header += "BM";
    putLe32(header, static_cast<uint32_t>(HeaderBytes + pixelBytes));
    putLe32(header, 0);             // reserved
    putLe32(header, HeaderBytes);   // offset of the pixels
    putLe32(header, 40);            // BITMAPINFOHEADER
    putLe32(header, width);
    putLe32(header, height);        // positive: rows bottom-up
    putLe16(header, 1);             // planes
    putLe16(header, 24);            // bits per pixel
    putLe32(header, 0);             // no compression
    putLe32(header, static_cast<uint32_t>(pixelBytes));
    putLe32(header, 3780);          // 96 dpi
    putLe32(header, 3780);
    putLe32(header, 0);             // colours used
    putLe32(header, 0);             // important colours

    // Rows are streamed, a few at a time, so that a large export canvas is not held
    // twice in memory; the file replaces an older one only once it is whole.
    platform::PartialFile file(path);
    file.write(header);
    constexpr size_t ChunkBytes = 1 << 20;
    std::string chunk;
    chunk.reserve(ChunkBytes + rowBytes);
    for (int y = static_cast<int>(height) - 1; y >= 0; --y) {
        const QRgb* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        const size_t at = chunk.size();
        chunk.resize(at + rowBytes, '\0');
        char* row = chunk.data() + at;
        for (uint32_t x = 0; x < width; ++x) {
            const QRgb pixel = pixels[x];
            const int white = blended ? 255 - qAlpha(pixel) : 0;
            row[x * 3] = static_cast<char>(qBlue(pixel) + white);
            row[x * 3 + 1] = static_cast<char>(qGreen(pixel) + white);
            row[x * 3 + 2] = static_cast<char>(qRed(pixel) + white);
        }
        if (chunk.size() >= ChunkBytes || y == 0) {
            file.write(chunk);
            chunk.clear();
        }
    }
    file.replace(platform::Flush::ToDisk);
}

void SavePicture(const Picture& picture, const std::string& path)
{
    if (picture.isEmpty())
        throw platform::RuntimeError(platform::err::InvalidPicture, "Invalid picture");
    writeBmp24(pictureImage(picture), path);
}

void SavePictureWithin(const Picture& picture, const std::string& path, int maxWidth, int maxHeight)
{
    if (picture.isEmpty())
        throw platform::RuntimeError(platform::err::InvalidPicture, "Invalid picture");
    const QImage& image = pictureImage(picture);
    if (image.width() <= maxWidth && image.height() <= maxHeight) {
        writeBmp24(image, path);
        return;
    }
    // A very long, thin picture keeps at least one pixel across.
    const QSize size = image.size().scaled(maxWidth, maxHeight, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
    writeBmp24(image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation), path);
}

} // namespace forms
