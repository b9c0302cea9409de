#include "forms/ImageSurface.h"

#include "forms/Colors_p.h"
#include "forms/PainterSurface_p.h"
#include "forms/Picture_p.h"

#include "platform/Errors.h"

#include <QImage>
#include <QPainter>

#include <cmath>

namespace forms {

namespace {

platform::RuntimeError outOfMemory()
{
    return platform::RuntimeError(platform::err::OutOfMemory, "Out of memory");
}

} // namespace

ImageSurface::ImageSurface(int widthPixels, int heightPixels, int dotsPerInch)
    : PainterSurface(1440.0 / dotsPerInch, 1440.0 / dotsPerInch), m_dotsPerInch(dotsPerInch)
{
    m_image = std::make_unique<QImage>();
    resizePixels(widthPixels, heightPixels);
}

ImageSurface::~ImageSurface()
{
    finishPainting();
}

int ImageSurface::widthPixels() const { return m_image->width(); }
int ImageSurface::heightPixels() const { return m_image->height(); }
int ImageSurface::deviceWidth() const { return m_image->width(); }
int ImageSurface::deviceHeight() const { return m_image->height(); }

void ImageSurface::checkAllocation(int64_t) const {}

void ImageSurface::resizePixels(int widthPixels, int heightPixels)
{
    if (widthPixels < 0 || heightPixels < 0)
        throw platform::RuntimeError(platform::err::InvalidPropertyValue, "Invalid property value");
    if (widthPixels == m_image->width() && heightPixels == m_image->height() && !m_image->isNull())
        return;
    checkAllocation(static_cast<int64_t>(widthPixels) * heightPixels * 4);
    auto image = std::make_unique<QImage>();
    if (widthPixels > 0 && heightPixels > 0) {
        // QImage reports a failed allocation as a null image rather than throwing.
        *image = QImage(widthPixels, heightPixels, QImage::Format_RGB32);
        if (image->isNull())
            throw outOfMemory();
        const int dotsPerMeter = static_cast<int>(std::lround(m_dotsPerInch / 0.0254));
        image->setDotsPerMeterX(dotsPerMeter);
        image->setDotsPerMeterY(dotsPerMeter);
        image->fill(toQColor(backColor()));
    }
    finishPainting();
    if (!m_image->isNull() && !image->isNull()) {
        QPainter copier(image.get());
        copier.drawImage(0, 0, *m_image);
    }
    m_image = std::move(image);
}

QPainter& ImageSurface::painter()
{
    if (!m_painter) {
        m_painter = std::make_unique<QPainter>(m_image.get());
        m_painter->setRenderHint(QPainter::TextAntialiasing, true);
        if (const auto clip = clipRect())
            m_painter->setClipRect(QRect(QPoint(clip->left, clip->top), QPoint(clip->right - 1, clip->bottom - 1)));
    }
    return *m_painter;
}

void ImageSurface::finishPainting() const
{
    if (m_painter) {
        m_painter->end();
        m_painter.reset();
    }
}

void ImageSurface::emitOp(PaintOp&& op)
{
    if (m_image->isNull())
        return;
    if (op.kind == PaintOp::Kind::Clip || op.kind == PaintOp::Kind::NoClip) {
        // The clip is re-applied whenever a painter is opened, so only an open one needs it.
        if (!m_painter)
            return;
    }
    executePaintOp(painter(), op, PaintContext());
}

void ImageSurface::eraseAll(long backColor)
{
    finishPainting();
    if (!m_image->isNull())
        m_image->fill(toQColor(backColor));
}

long ImageSurface::point(double x, double y) const
{
    const int px = static_cast<int>(std::floor(x / twipsPerPixelX()));
    const int py = static_cast<int>(std::floor(y / twipsPerPixelY()));
    if (px < 0 || py < 0 || px >= m_image->width() || py >= m_image->height())
        return -1;
    finishPainting();
    const QRgb rgb = m_image->pixel(px, py);
    return fromQColor(QColor::fromRgb(rgb));
}

Picture ImageSurface::image() const
{
    finishPainting();
    return pictureFromImage(*m_image);
}

void ImageSurface::savePicture(const std::string& path) const
{
    finishPainting();
    if (m_image->isNull())
        throw platform::RuntimeError(platform::err::InvalidPicture, "Invalid picture");
    writeBmp24(*m_image, path);
}

} // namespace forms
