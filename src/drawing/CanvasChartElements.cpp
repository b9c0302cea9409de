#include "drawing/CanvasChartElements.h"

#include "forms/TextBox.h"

namespace drawing {

CanvasChartElements::CanvasChartElements(const ChartElementArrays& arrays, forms::TextBox* zoomBox)
    : m_arrays(arrays), m_zoomBox(zoomBox)
{
}

CanvasChartElements::~CanvasChartElements()
{
    if (&layout::chartElements() == this)
        layout::setChartElements(nullptr);
}

forms::ElementArrayBase& CanvasChartElements::arrayOf(layout::ChartArray array) const
{
    switch (array) {
    case layout::ChartArray::Label11: return m_arrays.Label11;
    case layout::ChartArray::Label12: return m_arrays.Label12;
    case layout::ChartArray::Label13: return m_arrays.Label13;
    case layout::ChartArray::Line1: return m_arrays.Line1;
    case layout::ChartArray::Line7: return m_arrays.Line7;
    case layout::ChartArray::Image1: return m_arrays.Image1;
    case layout::ChartArray::DPic: break;
    }
    return m_arrays.DPic;
}

void CanvasChartElements::unloadElements(layout::ChartArray array, int first, int last)
{
    arrayOf(array).unloadRange(first, last);
}

void CanvasChartElements::setZoomBoxText(const std::string& text)
{
    if (m_zoomBox)
        m_zoomBox->setText(text);
}

} // namespace drawing
