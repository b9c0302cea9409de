#pragma once
// Pictures the drawing tests leave in the build tree for a look by eye. Test
// programs may run side by side on one build tree (several runs of the suite at
// once): a surface's picture is read through a BMP in a folder of this process's
// own, and each picture is written whole beside its name and put in place in one
// step.

#include <QImage>

#include <string>

namespace forms {
class ImageSurface;
}

namespace drawing_test {

// The picture the surface saves.
QImage pictureOf(const forms::ImageSurface& surface);

// Puts the picture in place as <stem>.png in the drawing tests' picture folder;
// false where it could not be written.
bool keepForALook(const QImage& picture, const std::string& stem);

} // namespace drawing_test
