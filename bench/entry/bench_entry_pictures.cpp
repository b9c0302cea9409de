// Storing a face picture picked in the person editor: a 4000 x 3000 camera JPEG made
// into the face bitmap that the family, its bundle and every snapshot then carry.
// "Shown" is the register as the editor runs it: the photo was decoded when the box
// showed it, so the picture cache holds it; "Cold" decodes the file first as well.

#include "entry/EntryPaths.h"
#include "forms/Picture.h"
#include "platform/AppPath.h"
#include "platform/FileSystem.h"
#include "support/QtBenchmarks.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

// A folder of its own under the system's temporary folder, removed at the end.
struct Scratch {
    Scratch()
    {
        char pattern[] = "/tmp/tevora-bench-pictures-XXXXXX";
        if (!::mkdtemp(pattern))
            throw std::runtime_error("no scratch folder");
        path = pattern;
    }
    ~Scratch() { platform::removeTree(path); }
    std::string file(const std::string& name) const { return platform::joinPath(path, name); }
    std::string path;
};

// A photo-like JPEG: colour gradients with fine detail, which a camera's photo has
// and a flat picture would not (the encoder and the scaling both see it).
std::string writeCameraPhoto(const Scratch& scratch)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 255 / 4000 + (x * y) % 17) & 0xFF, (y * 255 / 3000 + (x ^ y) % 13) & 0xFF,
                           ((x + y) / 28 + x % 7) & 0xFF);
    }
    const std::string path = scratch.file("IMG_0001.JPG");
    if (!image.save(QString::fromStdString(path), "JPEG", 90))
        throw std::runtime_error("cannot write the photo");
    return path;
}

void storePhoto(benchmark::State& state, bool shown)
{
    Scratch scratch;
    const std::string photo = writeCameraPhoto(scratch);
    const std::string target = scratch.file("face1.bmp");
    forms::clearPictureCache();
    if (shown)
        forms::LoadPicture(photo);
    for (auto _ : state) {
        if (!shown) {
            state.PauseTiming();
            forms::clearPictureCache();
            state.ResumeTiming();
        }
        entry::writeFacePicture(photo, target);
    }
    state.counters["photo_bytes"] = static_cast<double>(platform::fileLength(photo));
    state.counters["stored_bytes"] = static_cast<double>(platform::fileLength(target));
    forms::clearPictureCache();
}

void BM_StoreCameraPhotoShown(benchmark::State& state)
{
    storePhoto(state, true);
}
BENCHMARK(BM_StoreCameraPhotoShown)->Unit(benchmark::kMillisecond);

void BM_StoreCameraPhotoCold(benchmark::State& state)
{
    storePhoto(state, false);
}
BENCHMARK(BM_StoreCameraPhotoCold)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runQtBenchmarks(argc, argv);
}
