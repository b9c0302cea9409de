#include "forms/DisplayList.h"

#include "forms/Colors_p.h"
#include "forms/PainterSurface_p.h"
#include "forms/Picture_p.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

namespace forms {

DisplayListSurface::DisplayListSurface() : PainterSurface(15.0, 15.0), m_background(backColor()) {}

DisplayListSurface::~DisplayListSurface() = default;

void DisplayListSurface::setSizePixels(int widthPixels, int heightPixels)
{
    widthPixels = std::max(widthPixels, 0);
    heightPixels = std::max(heightPixels, 0);
    if (widthPixels == m_width && heightPixels == m_height)
        return;
    m_width = widthPixels;
    m_height = heightPixels;
    notify();
}

std::size_t DisplayListSurface::operationCount() const { return m_ops.size(); }

void DisplayListSurface::emitOp(PaintOp&& op)
{
    if (op.kind == PaintOp::Kind::Clip || op.kind == PaintOp::Kind::NoClip)
        m_hasClipOps = true;
    if (m_ops.empty())
        m_ops.reserve(16);   // a person box takes a dozen operations or so
    m_ops.push_back(std::move(op));
    notify();
}

void DisplayListSurface::eraseAll(long backColor)
{
    // A small recording keeps its storage for the next drawing (person boxes are
    // cleared and redrawn on every rebuild); a large one gives it back.
    m_ops.clear();
    if (m_ops.capacity() > 64)
        m_ops.shrink_to_fit();
    m_hasClipOps = false;
    m_background = backColor;
    notify();
}

void DisplayListSurface::replay(QPainter& painter) const
{
    if (m_width <= 0 || m_height <= 0)
        return;
    painter.save();
    const QRect bounds(0, 0, m_width, m_height);
    painter.setClipRect(bounds, painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.fillRect(bounds, toQColor(m_background));
    if (!m_ops.empty()) {
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        PaintContext context;
        if (m_hasClipOps) {
            context.hasBaseClip = true;
            context.baseClip = painter.clipRegion();
        }
        for (const PaintOp& op : m_ops)
            executePaintOp(painter, op, context);
    }
    painter.restore();
}

Picture DisplayListSurface::image() const
{
    if (m_width <= 0 || m_height <= 0)
        return Picture();
    QImage pixels(m_width, m_height, QImage::Format_RGB32);
    pixels.setDotsPerMeterX(3780);
    pixels.setDotsPerMeterY(3780);
    {
        QPainter painter(&pixels);
        replay(painter);
    }
    return pictureFromImage(pixels);
}

} // namespace forms
