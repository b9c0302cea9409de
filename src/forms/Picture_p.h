#pragma once
// The pixels behind a Picture handle, for use inside src/forms/*.cpp only.

#include "forms/Picture.h"

#include <QByteArray>
#include <QImage>

#include <string>

class QIODevice;

namespace forms {

struct PictureData {
    // Premultiplied ARGB for pictures with transparency (icons), RGB32 otherwise,
    // the two formats QPainter draws without converting.
    QImage image;
    std::string path;
};

// A picture made from pixels in memory (the Image of a drawing surface).
Picture pictureFromImage(const QImage& image);

// True when the picture file on device, in the image reader's format, holds every
// byte its format says the picture has: a JPEG up to its end marker, a bitmap's
// pixels, a GIF's first picture, every picture of an icon. Formats whose readers
// refuse a file cut short themselves are taken as they are read.
bool pictureReachesItsEnd(QIODevice& device, const QByteArray& format);

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
