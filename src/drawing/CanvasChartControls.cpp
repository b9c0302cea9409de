#include "drawing/CanvasChartControls.h"

#include "forms/Control.h"
#include "forms/Picture.h"

namespace drawing {

namespace {

// Line BorderStyle values.
constexpr int SolidBorder = 1;
constexpr int DotBorder = 3;
constexpr long Black = 0;

template <class E>
E& loaded(forms::ElementArray<E>& array, int index)
{
    if (!array.exists(index))
        array.load(index);
    return array[index];
}

} // namespace

CanvasChartControls::CanvasChartControls(const ChartControlArrays& arrays, const forms::Control* viewport)
    : m_arrays(arrays), m_viewport(viewport)
{
}

CanvasChartControls::~CanvasChartControls()
{
    if (chartControls() == this)
        setChartControls(nullptr);
}

void CanvasChartControls::placeLine(LineArray array, int index, double x1, double y1, double x2, double y2)
{
    const bool dotted = array == LineArray::Line7;
    forms::CanvasLine& line = loaded(dotted ? m_arrays.Line7 : m_arrays.Line1, index);
    line.setBorderStyle(dotted ? DotBorder : SolidBorder);
    line.setBorderColor(Black);
    line.setBorderWidth(1);
    line.setX1(x1);
    line.setX2(x2);
    line.setY1(y1);
    line.setY2(y2);
    line.setVisible(true);
}

void CanvasChartControls::placeFaceIcon(int index, double left, double top, double width, double height,
                                        const std::string& pictureFile)
{
    forms::CanvasImage& image = loaded(m_arrays.Image1, index);
    image.setVisible(false);
    image.setLeft(left);
    image.setTop(top);
    image.setWidth(width);
    image.setHeight(height);
    // An element reused from an earlier chart must not keep that chart's face.
    image.setPicture(forms::Picture());
    if (!pictureFile.empty())
        image.setPicture(forms::LoadPicture(pictureFile));
    image.setVisible(true);
}

void CanvasChartControls::placeCoupleMark(int index, long colour, double left, double top, double width,
                                          double height)
{
    forms::CanvasLabel& mark = loaded(m_arrays.Label11, index);
    mark.setOleDropMode(forms::vbOLEDropManual);
    mark.setBackStyle(1);
    mark.setBorderStyle(0);
    mark.setCaption(std::string());
    mark.setBackColor(colour);
    mark.setLeft(left);
    mark.setTop(top);
    mark.setHeight(height);
    mark.setWidth(width);
    mark.setVisible(true);
}

void CanvasChartControls::settleNameBox(int index, int dropMode, const std::string& tag)
{
    if (m_arrays.DPic.exists(index)) {
        forms::CanvasPicture& picture = m_arrays.DPic[index];
        picture.setOleDropMode(dropMode);
        picture.setTag(tag);
        picture.setOleDragMode(forms::vbOLEDragManual);
    }
    forms::CanvasLabel& label = loaded(m_arrays.Label12, index);
    label.setVisible(false);
}

void CanvasChartControls::placeCaption(int index, double left, double top, double width, double height,
                                       double fontSize, const std::string& caption, const std::string& fontName)
{
    forms::CanvasLabel& label = loaded(m_arrays.Label13, index);
    label.setBackStyle(0);
    label.setBorderStyle(0);
    label.setForeColor(Black);
    label.setLeft(left);
    label.setWidth(width);
    label.setTop(top);
    label.setHeight(height);
    label.setVisible(true);
    label.setAlignment(2);
    label.setFontSize(fontSize);
    label.setCaption(caption);
    label.setFontName(fontName);
}

double CanvasChartControls::viewportWidth() const
{
    if (m_viewport)
        return m_viewport->width();
    return m_arrays.Label11.canvas().width();
}

} // namespace drawing
