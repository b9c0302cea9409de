#pragma once
// A picture: a shared, immutable handle to a decoded image (bitmap or icon), so
// that handing one from control to control never copies it. Copies share the pixels; an empty
// picture is the value LoadPicture("") gives and what clears a Picture property.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace forms {

struct PictureData;   // Qt image inside; see Picture_p.h

class Picture {
public:
    Picture() = default;
    explicit Picture(std::shared_ptr<const PictureData> data);

    bool isEmpty() const { return !m_data; }
    int widthPixels() const;
    int heightPixels() const;
    double widthTwips() const { return widthPixels() * 15.0; }
    double heightTwips() const { return heightPixels() * 15.0; }
    // The file it was loaded from; empty for pictures made in memory.
    const std::string& sourcePath() const;

    // Pictures compare equal when they share the same pixels.
    bool operator==(const Picture& other) const { return m_data == other.m_data; }
    bool operator!=(const Picture& other) const { return m_data != other.m_data; }

    const std::shared_ptr<const PictureData>& data() const { return m_data; }

private:
    std::shared_ptr<const PictureData> m_data;
};

// The most pixels across and down of a picture as LoadPicture reads it: about twice
// the most that anything draws one with (the printout's largest face icon, 1042
// dots), so a picture read smaller than its file loses nothing that is drawn, and
// it takes at most 16 MB.
inline constexpr int LargestLoadedPixels = 2048;
// The most pixels a picture file may hold to be read at all: a gigapixel, ten times
// a camera's largest photo and more than an A3 scan at 1200 dpi.
inline constexpr int64_t MostPicturePixels = int64_t(1) << 30;

// LoadPicture(path): .bmp, .ico and every format Qt reads. "" gives an empty
// picture; a missing file raises RuntimeError 53; anything but a regular file (a
// folder, a named pipe, a device) is refused with 75, its path and why in a word
// (platform::failureReason), without waiting on it. A picture larger than
// LargestLoadedPixels across or down is read scaled down to fit, keeping its
// proportions; a photo (JPEG) or a PNG is read at that size straight away, so a
// picture of any size a camera or a scanner makes takes little memory. A file that
// cannot be read raises 481 with the file as its path and why as its reason
// (platform::failureReason): "画像ファイルではありません", "ファイルが壊れています" (also
// a file that ends before its picture does: a JPEG, bitmap, GIF or icon cut short,
// which a reader would give grey or black where bytes are missing), or
// "画像が大きすぎます" (more than MostPicturePixels, or a bitmap that read whole
// needs more than this machine's share for it: a quarter of its memory, at least
// 256 MB, at most 1 GB). A photo whose file says the camera was turned (its EXIF
// orientation) is read the way up it was taken.
// Decoded pictures are cached by path, file size and modification time, so a
// file rewritten under the same name is decoded again.
Picture LoadPicture(const std::string& path);

// The picture that bytes, read from the file path, hold, read as LoadPicture reads
// a file (with its errors), and not cached: a file that is to be copied as it is
// is first read whole from the very bytes that are copied.
Picture pictureFromBytes(const std::string& bytes, const std::string& path);

// SavePicture picture, path: a 24-bit BMP of the picture's pixel size; transparent
// and half-transparent parts are blended onto white, as they look on a page. The file
// is written whole under a temporary name and then renamed over path
// (platform::PartialFile), so a failed write (61, 70, 75, 76) leaves a file that was
// there as it was, and no partial file. An empty picture raises 481.
void SavePicture(const Picture& picture, const std::string& path);

// SavePicture picture, path, with at most maxWidth x maxHeight pixels: a larger
// picture is scaled down (smoothly) to the largest size within them that keeps its
// proportions; a picture within them is written at its own size.
void SavePictureWithin(const Picture& picture, const std::string& path, int maxWidth, int maxHeight);

// Cache inspection and reset (tests, and memory release after a chart rebuild).
std::size_t pictureCacheSize();
void clearPictureCache();

} // namespace forms
