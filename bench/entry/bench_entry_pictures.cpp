// Storing a face picture picked in the person editor: a 4000 x 3000 camera JPEG, and a
// phone's 48-megapixel one (8000 x 6000), made into the face bitmap that the family,
// its bundle and every snapshot then carry. "Shown" is the register as the editor runs
// it: the photo was read when the box showed it, so the picture cache holds it; "Cold"
// reads the file first as well. peak_rss_MB is the process's peak resident memory
// while the benchmark stores (the peak is reset once the photo is written).

#include "entry/EntryPaths.h"
#include "forms/Picture.h"
#include "platform/AppPath.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "support/QtBenchmarks.h"

#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
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
std::string writeCameraPhoto(const Scratch& scratch, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb((x * 255 / width + (x * y) % 17) & 0xFF, (y * 255 / height + (x ^ y) % 13) & 0xFF,
                           ((x + y) / 28 + x % 7) & 0xFF);
    }
    const std::string path = scratch.file("IMG_0001.JPG");
    if (!image.save(QString::fromStdString(path), "JPEG", 90))
        throw std::runtime_error("cannot write the photo");
    return path;
}

// Starts the process's peak resident memory afresh (Linux).
void resetPeakResident()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

// The process's peak resident memory since the last resetPeakResident.
double peakResidentMegabytes()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024;
    }
    return 0;
}

void storePhoto(benchmark::State& state, bool shown, int width, int height)
{
    Scratch scratch;
    const std::string photo = writeCameraPhoto(scratch, width, height);
    resetPeakResident();
    const std::string target = scratch.file("face1.bmp");
    forms::clearPictureCache();
    try {
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
    } catch (const platform::RuntimeError& e) {
        state.SkipWithError(("the photo is refused: " + e.description).c_str());
        return;
    }
    state.counters["photo_bytes"] = static_cast<double>(platform::fileLength(photo));
    state.counters["stored_bytes"] = static_cast<double>(platform::fileLength(target));
    state.counters["peak_rss_MB"] = peakResidentMegabytes();
    forms::clearPictureCache();
}

void BM_StoreCameraPhotoShown(benchmark::State& state)
{
    storePhoto(state, true, 4000, 3000);
}
BENCHMARK(BM_StoreCameraPhotoShown)->Unit(benchmark::kMillisecond);

void BM_StoreCameraPhotoCold(benchmark::State& state)
{
    storePhoto(state, false, 4000, 3000);
}
BENCHMARK(BM_StoreCameraPhotoCold)->Unit(benchmark::kMillisecond);

void BM_StorePhonePhoto48MPShown(benchmark::State& state)
{
    storePhoto(state, true, 8000, 6000);
}
BENCHMARK(BM_StorePhonePhoto48MPShown)->Unit(benchmark::kMillisecond);

void BM_StorePhonePhoto48MPCold(benchmark::State& state)
{
    storePhoto(state, false, 8000, 6000);
}
BENCHMARK(BM_StorePhonePhoto48MPCold)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runQtBenchmarks(argc, argv);
}
