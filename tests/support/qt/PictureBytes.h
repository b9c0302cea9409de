#pragma once
// Picture files made in memory for the tests: a picture as Qt encodes it, one with
// detail (which a JPEG keeps in many bytes, so a cut lands in its data), and a JPEG
// that says how the camera was turned.

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>

#include <gtest/gtest.h>

#include <string>

namespace support {

// The bytes of a picture as Qt encodes it in the format ("JPEG", "BMP", "PNG", "ICO").
inline std::string encodedPicture(const QImage& image, const char* format, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setProgressiveScanWrite(progressive);
    EXPECT_TRUE(writer.write(image)) << format;
    return bytes.toStdString();
}

// A picture whose every pixel differs from its neighbours.
inline QImage detailedPicture(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, qRgb((x * 7 + y) & 0xFF, (x ^ y) & 0xFF, (x * y) & 0xFF));
    }
    return image;
}

// A picture of one colour.
inline QImage plainPicture(int width, int height, Qt::GlobalColor colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// The JPEG with an EXIF header whose one entry says how the camera was turned (1
// upright, 3 upside down, 6 turned right, 8 turned left), right after its start.
inline std::string withExifOrientation(const std::string& jpeg, int orientation)
{
    // "Exif", then a little-endian TIFF header and one directory of one entry:
    // tag 0x0112 (orientation), type SHORT, one value.
    std::string exif("Exif\0\0II*\0\x08\0\0\0\x01\0\x12\x01\x03\0\x01\0\0\0", 24);
    exif += std::string{static_cast<char>(orientation), '\0', '\0', '\0', '\0', '\0', '\0', '\0'};
    const size_t length = exif.size() + 2;
    return jpeg.substr(0, 2) + "\xFF\xE1" + static_cast<char>(length >> 8) + static_cast<char>(length & 0xFF) + exif
           + jpeg.substr(2);
}

} // namespace support
