#pragma once
// A picture: a shared, immutable handle to a decoded image (bitmap or icon), so
// that handing one from control to control never copies it. Copies share the pixels; an empty
// picture is the value LoadPicture("") gives and what clears a Picture property.

#include <cstddef>
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

// LoadPicture(path): .bmp, .ico and every format Qt reads. "" gives an empty
// picture; a missing file raises RuntimeError 53, an undecodable one 481.
// Decoded pictures are cached by path, file size and modification time, so a
// file rewritten under the same name is decoded again.
Picture LoadPicture(const std::string& path);

// SavePicture picture, path: a 24-bit BMP of the picture's pixel size. An empty
// picture raises 481; a failed write raises the file error (61, 70, 75, 76) and
// leaves no partial file.
void SavePicture(const Picture& picture, const std::string& path);

// SavePicture picture, path, with at most maxWidth x maxHeight pixels: a larger
// picture is scaled down (smoothly) to the largest size within them that keeps its
// proportions; a picture within them is written at its own size.
void SavePictureWithin(const Picture& picture, const std::string& path, int maxWidth, int maxHeight);

// Cache inspection and reset (tests, and memory release after a chart rebuild).
std::size_t pictureCacheSize();
void clearPictureCache();

} // namespace forms
