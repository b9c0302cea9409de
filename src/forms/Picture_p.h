#pragma once
// The pixels behind a Picture handle, for use inside src/forms/*.cpp only.

#include "forms/Picture.h"

#include <QImage>

#include <string>

namespace forms {

struct PictureData {
    // Premultiplied ARGB for pictures with transparency (icons), RGB32 otherwise,
    // the two formats QPainter draws without converting.
    QImage image;
    std::string path;
};

// A picture made from pixels in memory (the Image of a drawing surface).
Picture pictureFromImage(const QImage& image);

inline const QImage& pictureImage(const Picture& picture)
{
    static const QImage none;
    return picture.isEmpty() ? none : picture.data()->image;
}

// Writes the pixels as a 24-bit BMP file: 54-byte header, bottom-up rows of BGR
// triples padded to four bytes, 3780 dots per metre (96 dpi); transparency blended
// onto white. The file replaces path only once whole and flushed to disk; a failed
// write leaves path as it was and raises the file error (61, 70, 75, 76).
void writeBmp24(const QImage& image, const std::string& path);

} // namespace forms
