// The chart canvas with a chart-sized mix of elements: loading 5,000 elements
// and setting their properties, painting one 1280 x 800 viewport, unloading
// them all, and repainting the whole viewport after a scroll. Painting goes
// through the canvas widget's own paint path (QWidget::render), offscreen.

#include "forms/ChartCanvas.h"
#include "forms/Form.h"
#include "forms/ImageSurface.h"
#include "forms/Picture.h"
#include "support/QtBenchmarks.h"

#include <QImage>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

using forms::CanvasImage;
using forms::CanvasLabel;
using forms::CanvasLine;
using forms::CanvasPicture;
using forms::ElementArray;

// The chart at 100 % zoom: person boxes 979.2 x 489.6 twips, couples side by
// side, generations 1224 twips apart.
constexpr double BoxWidth = 979.2;
constexpr double BoxHeight = 489.6;
constexpr double PairGap = 326.4;
constexpr double ColumnStep = BoxWidth + PairGap;
constexpr double RowStep = 1224.0;
constexpr int Columns = 40;

class ChartForm : public forms::Form {
public:
    ChartForm() : Form("benchChart") {}
    forms::ChartCanvas Picture1{*this, "Picture1"};
    ElementArray<CanvasLabel> Label11{Picture1, "Label11", {0, 1}};
    ElementArray<CanvasLabel> Label12{Picture1, "Label12", {0, 1}};
    ElementArray<CanvasLabel> Label13{Picture1, "Label13", {0, 1}};
    ElementArray<CanvasLine> Line1{Picture1, "Line1", {0, 1}};
    ElementArray<CanvasLine> Line7{Picture1, "Line7", {0, 1}};
    ElementArray<CanvasImage> Image1{Picture1, "Image1", {0, 1}};
    ElementArray<CanvasPicture> DPic{Picture1, "DPic", {0, 1}};

protected:
    void design() override
    {
        move(0, 0, 1280 * 15, 800 * 15);
        Picture1.setBorderStyle(0);
        Picture1.setBackColor(0xFFFFFF);
        Picture1.move(0, 0, Columns * ColumnStep + 2000, 40 * RowStep);
        for (auto* array : std::initializer_list<forms::ElementArrayBase*>{&Label11, &Label12, &Label13, &Line1,
                                                                           &Line7, &Image1, &DPic}) {
            for (int i : {0, 1})
                array->elementAt(i).setVisible(false);
        }
        for (int i : {0, 1}) {
            DPic[i].setBorderStyle(0);
            DPic[i].setBackColor(0xFFFFFF);
            Line7[i].setBorderStyle(3);
        }
    }
};

ChartForm& chart()
{
    static ChartForm* form = [] {
        auto* f = new ChartForm;
        f->show();
        return f;
    }();
    return *form;
}

const forms::Picture& faceIcon()
{
    static const forms::Picture picture = [] {
        forms::ImageSurface face(32, 32);
        face.setBackColor(0xC0E0FF);
        face.line(150, 150, 300, 300, 0x404040, forms::LineShape::FilledBox);
        const std::string path = (std::filesystem::temp_directory_path() / "tevora-bench-face.bmp").string();
        face.savePicture(path);
        return forms::LoadPicture(path);
    }();
    return picture;
}

// A person box as the renderer draws it: the frame, then the name one character
// at a time down the box, each measured and centred, then a date group.
void drawPersonBox(CanvasPicture& box)
{
    box.cls();
    box.setForeColor(0);
    box.line(0, 0, box.scaleWidth() - 15, box.scaleHeight() - 15, forms::UseForeColor, forms::LineShape::Box);
    box.setFontName("ＭＳ Ｐゴシック");
    box.setFontSize(9);
    double y = 30;
    for (const char* unit : {"山", "田", "太", "郎"}) {
        const double w = box.textWidth(unit);
        box.setCurrentX(600 - w / 2);
        box.setCurrentY(y);
        box.print(unit);
        y += box.textHeight(unit);
    }
    box.setFontSize(7);
    box.setCurrentX(60);
    box.setCurrentY(60);
    box.print("1945");
}

// Places 5,000 elements: 1,000 person boxes with their invisible twins, couple
// marks, captions, solid and dotted lines and face icons, in the chart's grid.
void placeChart(ChartForm& form)
{
    const forms::Picture& icon = faceIcon();
    for (int n = 0; n < 1000; ++n) {
        const int index = n + 2;
        const double x = 300 + (n % Columns) * ColumnStep;
        const double y = 600 + (n / Columns) * RowStep;

        form.DPic.load(index);
        CanvasPicture& box = form.DPic[index];
        box.move(x, y, BoxWidth, BoxHeight);
        drawPersonBox(box);
        box.setVisible(true);
        box.setOleDropMode(n % 3 == 0 ? 1 : 0);
        box.setTag(n % 3 == 0 ? "1" : "0");

        form.Label12.load(index);
        form.Label12[index].move(x, y, BoxWidth, BoxHeight);

        form.Line1.load(index);
        CanvasLine& stem = form.Line1[index];
        stem.setX1(x + BoxWidth / 2);
        stem.setX2(x + BoxWidth / 2);
        stem.setY1(y - 367);
        stem.setY2(y);
        stem.setVisible(true);

        if (n < 700) {
            form.Label11.load(index);
            CanvasLabel& mark = form.Label11[index];
            mark.setOleDropMode(1);
            mark.setBackColor(n % 5 == 0 ? 0xC0C0C0 : 0x40);
            mark.setLeft(x + BoxWidth);
            mark.setTop(y + BoxHeight / 2 - 50);
            mark.setHeight(100);
            mark.setWidth(PairGap);
            mark.setVisible(true);
        }
        if (n < 300) {
            form.Label13.load(index);
            CanvasLabel& caption = form.Label13[index];
            caption.setLeft(x);
            caption.setTop(y - 180);
            caption.setWidth(612);
            caption.setHeight(163);
            caption.setVisible(true);
            caption.setAlignment(2);
            caption.setFontSize(8);
            caption.setCaption("長男");
            caption.setFontName("ＭＳ Ｐゴシック");
        }
        if (n < 200) {
            form.Line1.load(index + 1000);
            CanvasLine& bar = form.Line1[index + 1000];
            bar.setX1(x);
            bar.setX2(x + ColumnStep);
            bar.setY1(y - 367);
            bar.setY2(y - 367);
            bar.setVisible(true);
        }
        if (n < 300) {
            form.Line7.load(index);
            CanvasLine& dotted = form.Line7[index];
            dotted.setX1(x + BoxWidth);
            dotted.setX2(x + ColumnStep);
            dotted.setY1(y + BoxHeight);
            dotted.setY2(y + BoxHeight + 300);
            dotted.setVisible(true);
        }
        if (n < 500) {
            form.Image1.load(index);
            CanvasImage& face = form.Image1[index];
            face.move(x + 45, y - 520, 500, 500);
            face.setPicture(icon);
            face.setVisible(true);
        }
    }
}

void unloadChart(ChartForm& form)
{
    for (auto* array : std::initializer_list<forms::ElementArrayBase*>{&form.Label11, &form.Label12, &form.Label13,
                                                                       &form.Line1, &form.Line7, &form.Image1,
                                                                       &form.DPic})
        array->unloadRange(2, array->uBound());
    form.Picture1.flushChanges();
}

// Paints the viewport at (left, top) canvas pixels through the widget.
void paintViewport(ChartForm& form, QImage& target, int left, int top)
{
    form.Picture1.widget()->render(&target, QPoint(), QRegion(left, top, 1280, 800));
}

QImage& viewportImage()
{
    static QImage image(1280, 800, QImage::Format_RGB32);
    return image;
}

void BM_LoadPropertiesAndPaint(benchmark::State& state)
{
    ChartForm& form = chart();
    QImage& image = viewportImage();
    for (auto _ : state) {
        placeChart(form);
        paintViewport(form, image, 0, 0);
        state.PauseTiming();
        unloadChart(form);
        state.ResumeTiming();
    }
    state.counters["elements"] = 5000;
}
BENCHMARK(BM_LoadPropertiesAndPaint)->Unit(benchmark::kMillisecond);

// The same from empty arrays with nothing kept from an earlier chart: every
// element object is allocated afresh (the first chart after start-up).
void BM_LoadPropertiesAndPaintFirstTime(benchmark::State& state)
{
    ChartForm& form = chart();
    QImage& image = viewportImage();
    for (auto _ : state) {
        placeChart(form);
        paintViewport(form, image, 0, 0);
        state.PauseTiming();
        unloadChart(form);
        for (auto* array : std::initializer_list<forms::ElementArrayBase*>{
                 &form.Label11, &form.Label12, &form.Label13, &form.Line1, &form.Line7, &form.Image1, &form.DPic})
            array->releaseUnloaded();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadPropertiesAndPaintFirstTime)->Unit(benchmark::kMillisecond);

void BM_UnloadAll(benchmark::State& state)
{
    ChartForm& form = chart();
    for (auto _ : state) {
        state.PauseTiming();
        placeChart(form);
        form.Picture1.flushChanges();
        state.ResumeTiming();
        unloadChart(form);
    }
}
BENCHMARK(BM_UnloadAll)->Unit(benchmark::kMillisecond);

// Scrolling by a whole viewport repaints all of it.
void BM_FullWindowScrollRepaint(benchmark::State& state)
{
    ChartForm& form = chart();
    placeChart(form);
    QImage& image = viewportImage();
    int step = 0;
    for (auto _ : state) {
        const int left = (step % 3) * 1280;
        const int top = ((step / 3) % 2) * 800;
        paintViewport(form, image, left, top);
        ++step;
    }
    unloadChart(form);
}
BENCHMARK(BM_FullWindowScrollRepaint)->Unit(benchmark::kMillisecond);

// Painting follows what is visible: the same viewport with 5,000 or 50,000
// elements in the chart (the extra ones lie outside the viewport).
void BM_PaintWithElementsElsewhere(benchmark::State& state)
{
    ChartForm& form = chart();
    placeChart(form);
    // The extra elements: couple marks and captions in a far part of the chart
    // (indexes stay within the 32767 an array may hold).
    const int extra = static_cast<int>(state.range(0)) - 5000;
    for (int n = 0; n < extra; ++n) {
        ElementArray<CanvasLabel>& array = n % 2 == 0 ? form.Label11 : form.Label13;
        const int index = 3000 + n / 2;
        array.load(index);
        CanvasLabel& mark = array[index];
        mark.move(60000 + (n % 200) * 450.0, (n / 200) * 300.0, 300, 150);
        mark.setBackColor(0x40);
        mark.setVisible(true);
    }
    form.Picture1.move(0, 0, 200000, 200000);
    form.Picture1.flushChanges();
    QImage& image = viewportImage();
    for (auto _ : state)
        paintViewport(form, image, 0, 0);
    state.counters["elements"] = static_cast<double>(form.Picture1.elementCount());
    unloadChart(form);
    form.Picture1.move(0, 0, Columns * ColumnStep + 2000, 40 * RowStep);
}
BENCHMARK(BM_PaintWithElementsElsewhere)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    return benchsupport::runQtBenchmarks(argc, argv, [] { chart().destroySilently(); });
}
