#include "forms/ChartCanvas.h"

#include "forms/Bridge_p.h"
#include "forms/Colors.h"
#include "forms/Colors_p.h"
#include "forms/DisplayList.h"
#include "forms/Fonts.h"
#include "forms/LineControl_p.h"
#include "forms/PainterSurface_p.h"
#include "forms/Picture_p.h"

#include "platform/Errors.h"

#include <QHelpEvent>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QStaticText>
#include <QTextOption>
#include <QTimer>
#include <QToolTip>

#include <algorithm>
#include <cmath>

namespace forms {

namespace {

platform::RuntimeError invalidProperty()
{
    return platform::RuntimeError(platform::err::InvalidPropertyValue, "Invalid property value");
}

QRect toQRect(const PixelRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1)); }
PixelRect toPixelRect(const QRect& r) { return PixelRect{r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

// The pixel of a canvas twips coordinate, as the widgets of the layer place them.
int px(double twips) { return twipsToPixels(twips); }

} // namespace

// ---------------------------------------------------------------------------
// The spatial index: a uniform grid of 256-pixel cells, each listing the
// elements whose bounds meet it. Entries name a slot and the slot's version at
// insertion; moving or unloading an element bumps the version, which makes its
// old entries stale without searching for them. Stale entries are dropped when
// a lookup passes them, and the grid is rebuilt when they outnumber the live ones.

struct ChartCanvas::Index {
    static constexpr int CellShift = 8;
    static constexpr int64_t MaxCellsPerElement = 4096;

    struct Entry {
        uint32_t slot;
        uint32_t version;
    };

    std::vector<CanvasElement*> occupants;
    std::vector<uint32_t> versions;
    std::vector<uint32_t> freeSlots;
    std::unordered_map<uint64_t, std::vector<Entry>> cells;
    std::vector<Entry> oversized;   // elements too large for the grid, checked on every lookup
    std::vector<Entry> pending;     // elements whose extent changed since the last flush
    int64_t liveEntries = 0;
    int64_t staleEntries = 0;
    QRect repaint;                  // client pixels to repaint at the next flush
    uint32_t paintStamp = 0;
    QObject flushContext;           // owner of the queued flush

    static int cellOf(int pixel) { return pixel >> CellShift; }   // floor for negatives too
    static uint64_t key(int cx, int cy)
    {
        return (static_cast<uint64_t>(static_cast<uint32_t>(cy)) << 32) | static_cast<uint32_t>(cx);
    }
    static int64_t cellCount(const QRect& r)
    {
        return int64_t(cellOf(r.right()) - cellOf(r.left()) + 1) * (cellOf(r.bottom()) - cellOf(r.top()) + 1);
    }

    bool isLive(const Entry& e) const
    {
        return e.slot < occupants.size() && occupants[e.slot] && versions[e.slot] == e.version;
    }

    void insert(CanvasElement& element, const QRect& bounds)
    {
        const Entry entry{element.m_slot, versions[element.m_slot]};
        const int64_t count = cellCount(bounds);
        if (count > MaxCellsPerElement) {
            oversized.push_back(entry);
        } else {
            for (int cy = cellOf(bounds.top()); cy <= cellOf(bounds.bottom()); ++cy)
                for (int cx = cellOf(bounds.left()); cx <= cellOf(bounds.right()); ++cx)
                    cells[key(cx, cy)].push_back(entry);
        }
        liveEntries += std::min(count, MaxCellsPerElement);
    }

    // Makes every entry of the slot stale.
    void invalidate(CanvasElement& element, const QRect& bounds)
    {
        ++versions[element.m_slot];
        const int64_t count = std::min(cellCount(bounds), MaxCellsPerElement);
        liveEntries -= count;
        staleEntries += count;
    }

    void compactIfWorthIt()
    {
        if (staleEntries < 4096 || staleEntries < liveEntries)
            return;
        cells.clear();
        oversized.clear();
        liveEntries = 0;
        staleEntries = 0;
        for (CanvasElement* element : occupants) {
            if (element && element->m_indexed)
                insert(*element, toQRect(element->m_indexedBounds));
        }
    }

    // Calls f(element) once per live element listed in the cells meeting area,
    // dropping stale entries on the way.
    template <class F>
    void forEachIn(const QRect& area, F&& f)
    {
        ++paintStamp;
        auto visit = [&](std::vector<Entry>& list) {
            auto out = list.begin();
            for (auto it = list.begin(); it != list.end(); ++it) {
                if (!isLive(*it)) {
                    --staleEntries;
                    continue;
                }
                *out++ = *it;
                CanvasElement* element = occupants[it->slot];
                if (element->m_paintStamp != paintStamp) {
                    element->m_paintStamp = paintStamp;
                    f(element);
                }
            }
            list.erase(out, list.end());
        };
        const int64_t wanted = cellCount(area);
        if (wanted > static_cast<int64_t>(cells.size())) {
            // A very large area: walking the occupied cells is cheaper.
            for (auto& [cellKey, list] : cells)
                visit(list);
        } else {
            for (int cy = cellOf(area.top()); cy <= cellOf(area.bottom()); ++cy) {
                for (int cx = cellOf(area.left()); cx <= cellOf(area.right()); ++cx) {
                    auto it = cells.find(key(cx, cy));
                    if (it != cells.end())
                        visit(it->second);
                }
            }
        }
        visit(oversized);
    }
};

// The element a press began on, kept by array and index so that a handler that
// unloads or reloads it cuts the event sequence short.
struct ElementRef {
    ElementArrayBase* array = nullptr;
    CanvasElement* standAlone = nullptr;
    int index = -1;
    uint64_t generation = 0;

    bool isSet() const { return array || standAlone; }
    bool operator==(const ElementRef& o) const
    {
        return array == o.array && standAlone == o.standAlone && index == o.index && generation == o.generation;
    }
};

struct ChartCanvas::PressState {
    ElementRef target;         // the element holding the mouse between press and release
    ElementRef lastClick;      // the element of the last Click, for DblClick
    int buttons = 0;
    bool afterDoubleClick = false;
};

// ---------------------------------------------------------------------------
// Elements

CanvasElement::CanvasElement(ChartCanvas& canvas, std::string name, ElementKind kind, int layer, bool standAlone)
    : m_canvas(canvas), m_name(std::move(name)), m_kind(kind), m_layer(layer)
{
    if (standAlone) {
        m_canvas.m_standAlone.push_back(this);
        m_canvas.attachElement(*this);
    }
}

CanvasElement::~CanvasElement()
{
    if (m_slot != UnattachedSlot)
        m_canvas.detachElement(*this);
    auto& list = m_canvas.m_standAlone;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void CanvasElement::geometryChanged()
{
    if (m_slot != UnattachedSlot)
        m_canvas.elementGeometryChanged(*this);
}

void CanvasElement::appearanceChanged()
{
    if (m_slot != UnattachedSlot)
        m_canvas.elementAppearanceChanged(*this);
}

void CanvasElement::setVisible(bool visible)
{
    if (visible == m_visible)
        return;
    m_visible = visible;
    geometryChanged();
}

void CanvasElement::setOleDropMode(int mode)
{
    if (mode != 0 && mode != 1)
        throw invalidProperty();
    m_oleDropMode = mode;
}

void CanvasElement::zOrder(int position)
{
    if (position == 0)
        m_canvas.bringToFront(*this);
    else if (position == 1)
        m_canvas.sendToBack(*this);
    else
        throw invalidProperty();
}

void CanvasElement::resetProperties()
{
    m_visible = true;
    m_tag.clear();
    m_toolTipText.clear();
    m_oleDropMode = 0;
}

void CanvasElement::copyPropertiesFrom(const CanvasElement& source)
{
    m_tag = source.m_tag;
    m_toolTipText = source.m_toolTipText;
    m_oleDropMode = source.m_oleDropMode;
}

QRect BoxElement::pixelBounds() const
{
    return QRect(px(m_left), px(m_top), px(m_width), px(m_height));
}

void BoxElement::setLeft(double twips)
{
    if (twips == m_left)
        return;
    m_left = twips;
    geometryChanged();
}

void BoxElement::setTop(double twips)
{
    if (twips == m_top)
        return;
    m_top = twips;
    geometryChanged();
}

void BoxElement::setWidth(double twips)
{
    if (twips < 0)
        throw invalidProperty();
    if (twips == m_width)
        return;
    m_width = twips;
    geometryChanged();
}

void BoxElement::setHeight(double twips)
{
    if (twips < 0)
        throw invalidProperty();
    if (twips == m_height)
        return;
    m_height = twips;
    geometryChanged();
}

void BoxElement::move(double left, double top)
{
    setLeft(left);
    setTop(top);
}

void BoxElement::move(double left, double top, double width, double height)
{
    setLeft(left);
    setTop(top);
    setWidth(width);
    setHeight(height);
}

void BoxElement::resetProperties()
{
    CanvasElement::resetProperties();
    m_left = 0;
    m_top = 0;
    m_width = 1215;
    m_height = 375;
}

void BoxElement::copyPropertiesFrom(const CanvasElement& source)
{
    CanvasElement::copyPropertiesFrom(source);
    const auto& other = static_cast<const BoxElement&>(source);
    m_left = other.m_left;
    m_top = other.m_top;
    m_width = other.m_width;
    m_height = other.m_height;
}

// --- CanvasLabel

CanvasLabel::CanvasLabel(ChartCanvas& canvas, std::string name)
    : BoxElement(canvas, std::move(name), ElementKind::Label, 0, true)
{
    resetProperties();
}

CanvasLabel::CanvasLabel(ChartCanvas& canvas, std::string name, ArrayElementTag)
    : BoxElement(canvas, std::move(name), ElementKind::Label, 0, false)
{
    resetProperties();
}

CanvasLabel::~CanvasLabel() = default;

void CanvasLabel::resetProperties()
{
    BoxElement::resetProperties();
    m_caption.clear();
    m_alignment = 0;
    m_backColor = vbButtonFace;
    m_backStyle = 1;
    m_borderStyle = 0;
    m_foreColor = 0x80000012L;
    m_fontName = DefaultFontName;
    m_fontSize = DefaultFontSize;
    m_fontBold = false;
    m_fontItalic = false;
    m_font.reset();
}

void CanvasLabel::copyPropertiesFrom(const CanvasElement& source)
{
    BoxElement::copyPropertiesFrom(source);
    const auto& other = static_cast<const CanvasLabel&>(source);
    m_caption = other.m_caption;
    m_alignment = other.m_alignment;
    m_backColor = other.m_backColor;
    m_backStyle = other.m_backStyle;
    m_borderStyle = other.m_borderStyle;
    m_foreColor = other.m_foreColor;
    m_fontName = other.m_fontName;
    m_fontSize = other.m_fontSize;
    m_fontBold = other.m_fontBold;
    m_fontItalic = other.m_fontItalic;
    m_font = other.m_font;
}

void CanvasLabel::setCaption(const std::string& caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    appearanceChanged();
}

void CanvasLabel::setAlignment(int alignment)
{
    if (alignment < 0 || alignment > 2)
        throw invalidProperty();
    m_alignment = alignment;
    appearanceChanged();
}

void CanvasLabel::setBackColor(long colour)
{
    m_backColor = colour;
    appearanceChanged();
}

void CanvasLabel::setBackStyle(int style)
{
    if (style != 0 && style != 1)
        throw invalidProperty();
    m_backStyle = style;
    appearanceChanged();
}

void CanvasLabel::setBorderStyle(int style)
{
    if (style != 0 && style != 1)
        throw invalidProperty();
    m_borderStyle = style;
    appearanceChanged();
}

void CanvasLabel::setForeColor(long colour)
{
    m_foreColor = colour;
    appearanceChanged();
}

void CanvasLabel::fontChanged()
{
    m_font.reset();
    appearanceChanged();
}

void CanvasLabel::setFontName(const std::string& name)
{
    if (name == m_fontName)
        return;
    m_fontName = name;
    fontChanged();
}

void CanvasLabel::setFontSize(double points)
{
    if (points == m_fontSize)
        return;
    m_fontSize = points;
    fontChanged();
}

void CanvasLabel::setFontBold(bool bold)
{
    if (bold == m_fontBold)
        return;
    m_fontBold = bold;
    fontChanged();
}

void CanvasLabel::setFontItalic(bool italic)
{
    if (italic == m_fontItalic)
        return;
    m_fontItalic = italic;
    fontChanged();
}

// The caption laid out once for its text, font, width and alignment; painting
// then only draws the prepared glyphs.
struct CanvasLabel::Layout {
    QStaticText text;
    std::string caption;
    std::shared_ptr<const MeasuredFont> font;
    int width = -1;
    int alignment = -1;
};

void CanvasLabel::paint(QPainter& painter, const QRect& bounds) const
{
    if (m_backStyle == 1)
        painter.fillRect(bounds, toQColor(m_backColor));
    if (!m_caption.empty()) {
        if (!m_font)
            m_font = sharedFont(m_fontName, m_fontSize, m_fontBold, m_fontItalic, 96);
        const double scale = m_font->scale;
        if (!m_layout || m_layout->caption != m_caption || m_layout->font != m_font
            || m_layout->width != bounds.width() || m_layout->alignment != m_alignment) {
            if (!m_layout)
                m_layout = std::make_unique<Layout>();
            m_layout->caption = m_caption;
            m_layout->font = m_font;
            m_layout->width = bounds.width();
            m_layout->alignment = m_alignment;
            QString text = QString::fromStdString(m_caption);
            text.remove(QLatin1Char('\r'));
            // Lines break at CR LF, and wrap at blanks and between Japanese characters.
            QTextOption option(m_alignment == 1   ? Qt::AlignRight
                               : m_alignment == 2 ? Qt::AlignHCenter
                                                  : Qt::AlignLeft);
            option.setWrapMode(QTextOption::WordWrap);
            m_layout->text = QStaticText(text);
            m_layout->text.setTextFormat(Qt::PlainText);
            m_layout->text.setTextOption(option);
            m_layout->text.setTextWidth(bounds.width() / scale);
            m_layout->text.setPerformanceHint(QStaticText::AggressiveCaching);
            m_layout->text.prepare(QTransform::fromScale(scale, scale), *m_font->font);
        }
        painter.save();
        painter.setClipRect(bounds, Qt::IntersectClip);
        painter.setFont(*m_font->font);
        painter.setPen(toQColor(m_foreColor));
        painter.scale(scale, scale);
        painter.drawStaticText(QPointF(bounds.left() / scale, bounds.top() / scale), m_layout->text);
        painter.restore();
    }
    if (m_borderStyle == 1) {
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QColor(0, 0, 0));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(bounds.adjusted(0, 0, -1, -1));
    }
}

// --- CanvasLine

CanvasLine::CanvasLine(ChartCanvas& canvas, std::string name)
    : CanvasElement(canvas, std::move(name), ElementKind::Line, 0, true)
{
    resetProperties();
}

CanvasLine::CanvasLine(ChartCanvas& canvas, std::string name, ArrayElementTag)
    : CanvasElement(canvas, std::move(name), ElementKind::Line, 0, false)
{
    resetProperties();
}

CanvasLine::~CanvasLine() = default;

void CanvasLine::resetProperties()
{
    CanvasElement::resetProperties();
    m_x1 = m_y1 = m_x2 = m_y2 = 0;
    m_borderStyle = 1;
    m_borderColor = 0x80000008L;
    m_borderWidth = 1;
}

void CanvasLine::copyPropertiesFrom(const CanvasElement& source)
{
    CanvasElement::copyPropertiesFrom(source);
    const auto& other = static_cast<const CanvasLine&>(source);
    m_x1 = other.m_x1;
    m_y1 = other.m_y1;
    m_x2 = other.m_x2;
    m_y2 = other.m_y2;
    m_borderStyle = other.m_borderStyle;
    m_borderColor = other.m_borderColor;
    m_borderWidth = other.m_borderWidth;
}

void CanvasLine::setX1(double twips)
{
    if (twips == m_x1)
        return;
    m_x1 = twips;
    geometryChanged();
}

void CanvasLine::setY1(double twips)
{
    if (twips == m_y1)
        return;
    m_y1 = twips;
    geometryChanged();
}

void CanvasLine::setX2(double twips)
{
    if (twips == m_x2)
        return;
    m_x2 = twips;
    geometryChanged();
}

void CanvasLine::setY2(double twips)
{
    if (twips == m_y2)
        return;
    m_y2 = twips;
    geometryChanged();
}

void CanvasLine::setBorderStyle(int style)
{
    if (style < 0 || style > 6)
        throw invalidProperty();
    m_borderStyle = style;
    appearanceChanged();
}

void CanvasLine::setBorderColor(long colour)
{
    m_borderColor = colour;
    appearanceChanged();
}

void CanvasLine::setBorderWidth(int pixels)
{
    if (pixels < 1 || pixels > 8192)
        throw invalidProperty();
    if (pixels == m_borderWidth)
        return;
    m_borderWidth = pixels;
    geometryChanged();
}

QRect CanvasLine::pixelBounds() const
{
    const QPoint a(px(m_x1), px(m_y1));
    const QPoint b(px(m_x2), px(m_y2));
    const int grow = m_borderWidth;
    return QRect(a, b).normalized().adjusted(-grow, -grow, grow, grow);
}

void CanvasLine::paint(QPainter& painter, const QRect&) const
{
    paintBorderLine(painter, QPoint(px(m_x1), px(m_y1)), QPoint(px(m_x2), px(m_y2)), m_borderColor, m_borderStyle,
                    m_borderWidth);
}

// --- CanvasImage

CanvasImage::CanvasImage(ChartCanvas& canvas, std::string name)
    : BoxElement(canvas, std::move(name), ElementKind::Image, 0, true)
{
    resetProperties();
}

CanvasImage::CanvasImage(ChartCanvas& canvas, std::string name, ArrayElementTag)
    : BoxElement(canvas, std::move(name), ElementKind::Image, 0, false)
{
    resetProperties();
}

CanvasImage::~CanvasImage() = default;

void CanvasImage::resetProperties()
{
    BoxElement::resetProperties();
    m_picture = Picture();
}

void CanvasImage::copyPropertiesFrom(const CanvasElement& source)
{
    BoxElement::copyPropertiesFrom(source);
    m_picture = static_cast<const CanvasImage&>(source).m_picture;
}

void CanvasImage::setPicture(const Picture& picture)
{
    m_picture = picture;
    appearanceChanged();
}

void CanvasImage::paint(QPainter& painter, const QRect& bounds) const
{
    if (!m_picture.isEmpty())
        painter.drawImage(bounds, pictureImage(m_picture));
}

// --- CanvasPicture

CanvasPicture::CanvasPicture(ChartCanvas& canvas, std::string name)
    : BoxElement(canvas, std::move(name), ElementKind::Picture, 1, true)
{
    resetProperties();
}

CanvasPicture::CanvasPicture(ChartCanvas& canvas, std::string name, ArrayElementTag)
    : BoxElement(canvas, std::move(name), ElementKind::Picture, 1, false)
{
    resetProperties();
}

CanvasPicture::~CanvasPicture() = default;

void CanvasPicture::resetProperties()
{
    BoxElement::resetProperties();
    m_borderStyle = 0;
    m_oleDragMode = 0;
    if (!m_surface) {
        m_surface = std::make_unique<DisplayListSurface>();
        m_surface->setChangeHandler([this] { appearanceChanged(); });
    }
    m_surface->resetState();
    m_surface->setBackColor(vbButtonFace);
    m_surface->setForeColor(0x80000012L);
    m_syncedWidth = m_syncedHeight = -1;
}

void CanvasPicture::copyPropertiesFrom(const CanvasElement& source)
{
    BoxElement::copyPropertiesFrom(source);
    const auto& other = static_cast<const CanvasPicture&>(source);
    m_borderStyle = other.m_borderStyle;
    m_oleDragMode = other.m_oleDragMode;
    const DisplayListSurface& from = *other.m_surface;
    m_surface->setBackColor(from.backColor());
    m_surface->setForeColor(from.foreColor());
    m_surface->setDrawWidth(from.drawWidth());
    m_surface->setDrawStyle(from.drawStyle());
    m_surface->setTextColor(from.textColor());
    m_surface->setFontName(from.fontName());
    m_surface->setFontSize(from.fontSize());
    m_surface->setFontBold(from.fontBold());
    m_surface->setFontItalic(from.fontItalic());
}

void CanvasPicture::setBorderStyle(int style)
{
    if (style != 0 && style != 1)
        throw invalidProperty();
    m_borderStyle = style;
    appearanceChanged();
}

void CanvasPicture::setOleDragMode(int mode)
{
    if (mode != 0 && mode != 1)
        throw invalidProperty();
    m_oleDragMode = mode;
}

void CanvasPicture::syncSize() const
{
    if (width() == m_syncedWidth && height() == m_syncedHeight && borderPixels() == m_syncedBorder)
        return;
    m_syncedWidth = width();
    m_syncedHeight = height();
    m_syncedBorder = borderPixels();
    const QRect bounds = pixelBounds();
    const int border = borderPixels();
    m_surface->setSizePixels(std::max(0, bounds.width() - 2 * border), std::max(0, bounds.height() - 2 * border));
}

Surface& CanvasPicture::drawingSurface()
{
    syncSize();
    return *m_surface;
}

Picture CanvasPicture::image() const
{
    syncSize();
    return m_surface->image();
}

std::size_t CanvasPicture::operationCount() const { return m_surface->operationCount(); }

void CanvasPicture::paint(QPainter& painter, const QRect& bounds) const
{
    syncSize();
    painter.save();
    painter.translate(bounds.topLeft());
    const int border = borderPixels();
    if (border > 0) {
        const QRect outer(0, 0, bounds.width(), bounds.height());
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(outer.topLeft(), outer.topRight());
        painter.drawLine(outer.topLeft(), outer.bottomLeft());
        painter.setPen(QColor(255, 255, 255));
        painter.drawLine(outer.bottomLeft(), outer.bottomRight());
        painter.drawLine(outer.topRight(), outer.bottomRight());
        painter.translate(border, border);
    }
    m_surface->replay(painter);
    painter.restore();
}

// ---------------------------------------------------------------------------
// Element arrays

namespace {

platform::RuntimeError missingElement(const std::string& name, int index)
{
    return platform::RuntimeError(platform::err::ArrayElementMissing,
                                  "Control array element '" + std::to_string(index) + "' doesn't exist (" + name + ")");
}

} // namespace

ElementArrayBase::ElementArrayBase(ChartCanvas& canvas, std::string name) : m_canvas(canvas), m_name(std::move(name))
{
    m_canvas.registerArray(this);
}

ElementArrayBase::~ElementArrayBase()
{
    m_pool.clear();
    for (auto& slot : m_slots) {
        if (slot)
            m_canvas.detachElement(*slot);
    }
    m_slots.clear();
    m_canvas.unregisterArray(this);
}

CanvasElement* ElementArrayBase::find(int index) const
{
    if (index < 0 || index >= static_cast<int>(m_slots.size()))
        return nullptr;
    return m_slots[static_cast<size_t>(index)].get();
}

CanvasElement& ElementArrayBase::elementAt(int index) const
{
    CanvasElement* element = find(index);
    if (!element)
        throw missingElement(m_name, index);
    return *element;
}

int ElementArrayBase::lBound() const
{
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i])
            return static_cast<int>(i);
    }
    return 0;
}

int ElementArrayBase::uBound() const { return m_upper; }

std::vector<int> ElementArrayBase::indexes() const
{
    std::vector<int> result;
    result.reserve(static_cast<size_t>(m_count));
    for (size_t i = 0; i < m_slots.size(); ++i) {
        if (m_slots[i])
            result.push_back(static_cast<int>(i));
    }
    return result;
}

bool ElementArrayBase::isDesignElement(int index) const
{
    return index >= 0 && index < static_cast<int>(m_design.size()) && m_design[static_cast<size_t>(index)];
}

void ElementArrayBase::addDesignElement(int index)
{
    if (index < 0)
        throw missingElement(m_name, index);
    if (exists(index))
        throw platform::RuntimeError(platform::err::ArrayElementLoaded, "Object already loaded");
    if (index >= static_cast<int>(m_slots.size())) {
        m_slots.resize(static_cast<size_t>(index) + 1);
        m_design.resize(static_cast<size_t>(index) + 1, false);
    }
    auto element = takeElement();
    element->m_index = index;
    element->m_array = this;
    m_canvas.attachElement(*element);
    m_slots[static_cast<size_t>(index)] = std::move(element);
    m_design[static_cast<size_t>(index)] = true;
    ++m_count;
    m_upper = std::max(m_upper, index);
}

void ElementArrayBase::load(int index)
{
    if (index < 0 || index > 32767)
        throw missingElement(m_name, index);
    if (exists(index))
        throw platform::RuntimeError(platform::err::ArrayElementLoaded, "Object already loaded");
    if (index >= static_cast<int>(m_slots.size())) {
        // Grow geometrically so that loading elements one by one stays O(1).
        const size_t size = std::max(static_cast<size_t>(index) + 1, m_slots.size() * 2);
        m_slots.resize(size);
        m_design.resize(size, false);
    }
    auto element = takeElement();
    element->m_index = index;
    element->m_array = this;
    if (m_count > 0)
        element->copyPropertiesFrom(*find(lBound()));
    element->m_visible = false;
    m_canvas.attachElement(*element);
    m_slots[static_cast<size_t>(index)] = std::move(element);
    ++m_count;
    m_upper = std::max(m_upper, index);
}

// Unloaded elements are kept for the next Load: a chart rebuild unloads and
// loads thousands of them, and reusing the objects (with their display lists'
// storage) spares as many allocations and frees.
constexpr size_t ElementPoolLimit = 8192;

std::unique_ptr<CanvasElement> ElementArrayBase::takeElement()
{
    if (m_pool.empty())
        return createElement();
    std::unique_ptr<CanvasElement> element = std::move(m_pool.back());
    m_pool.pop_back();
    element->resetProperties();
    return element;
}

void ElementArrayBase::destroy(int index)
{
    auto& slot = m_slots[static_cast<size_t>(index)];
    m_canvas.detachElement(*slot);
    if (m_pool.size() < ElementPoolLimit)
        m_pool.push_back(std::move(slot));
    else
        slot.reset();
    --m_count;
}

void ElementArrayBase::unload(int index)
{
    if (!exists(index))
        throw missingElement(m_name, index);
    if (isDesignElement(index))
        throw platform::RuntimeError(platform::err::ArrayElementUnload, "Can't unload controls created at design time");
    destroy(index);
    while (m_upper >= 0 && !m_slots[static_cast<size_t>(m_upper)])
        --m_upper;
}

void ElementArrayBase::unloadRange(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, static_cast<int>(m_slots.size()) - 1);
    for (int i = first; i <= last; ++i) {
        if (m_slots[static_cast<size_t>(i)] && isDesignElement(i))
            throw platform::RuntimeError(platform::err::ArrayElementUnload,
                                         "Can't unload controls created at design time");
    }
    for (int i = first; i <= last; ++i) {
        if (m_slots[static_cast<size_t>(i)])
            destroy(i);
    }
    while (m_upper >= 0 && !m_slots[static_cast<size_t>(m_upper)])
        --m_upper;
}

void ElementArrayBase::resetToDesign()
{
    for (int i = 0; i < static_cast<int>(m_slots.size()); ++i) {
        CanvasElement* element = m_slots[static_cast<size_t>(i)].get();
        if (!element)
            continue;
        if (isDesignElement(i)) {
            element->resetProperties();
            element->geometryChanged();
        } else {
            destroy(i);
        }
    }
    m_upper = -1;
    for (int i = static_cast<int>(m_slots.size()) - 1; i >= 0 && m_upper < 0; --i) {
        if (m_slots[static_cast<size_t>(i)])
            m_upper = i;
    }
}

// ---------------------------------------------------------------------------
// The canvas

ChartCanvas::ChartCanvas(Container& container, std::string name)
    : PictureBox(container, std::move(name)), m_index(std::make_unique<Index>()),
      m_press(std::make_unique<PressState>())
{
}

ChartCanvas::~ChartCanvas()
{
    // Arrays and stand-alone elements declared after the canvas are gone by now;
    // any left over forget the canvas.
    for (ElementArrayBase* array : m_arrays) {
        for (auto& slot : array->m_slots)
            slot.reset();
    }
}

void ChartCanvas::registerArray(ElementArrayBase* array) { m_arrays.push_back(array); }

void ChartCanvas::unregisterArray(ElementArrayBase* array)
{
    m_arrays.erase(std::remove(m_arrays.begin(), m_arrays.end(), array), m_arrays.end());
}

void ChartCanvas::attachElement(CanvasElement& element)
{
    Index& ix = *m_index;
    uint32_t slot;
    if (!ix.freeSlots.empty()) {
        slot = ix.freeSlots.back();
        ix.freeSlots.pop_back();
    } else {
        slot = static_cast<uint32_t>(ix.occupants.size());
        ix.occupants.push_back(nullptr);
        ix.versions.push_back(0);
    }
    ix.occupants[slot] = &element;
    element.m_slot = slot;
    element.m_z = ++m_topZ;
    element.m_generation = ++m_generations;
    element.m_indexed = false;
    element.m_pending = false;
    ++m_liveElements;
    if (element.m_visible)
        elementGeometryChanged(element);
}

void ChartCanvas::detachElement(CanvasElement& element)
{
    Index& ix = *m_index;
    if (element.m_indexed) {
        const QRect bounds = toQRect(element.m_indexedBounds);
        ix.repaint |= bounds;
        ix.invalidate(element, bounds);
        element.m_indexed = false;
    } else {
        ++ix.versions[element.m_slot];
    }
    ix.occupants[element.m_slot] = nullptr;
    ix.freeSlots.push_back(element.m_slot);
    element.m_slot = CanvasElement::UnattachedSlot;
    --m_liveElements;
    scheduleFlush();
}

void ChartCanvas::elementGeometryChanged(CanvasElement& element)
{
    if (!element.m_pending) {
        element.m_pending = true;
        m_index->pending.push_back(Index::Entry{element.m_slot, m_index->versions[element.m_slot]});
    }
    scheduleFlush();
}

void ChartCanvas::elementAppearanceChanged(CanvasElement& element)
{
    if (!element.m_indexed)
        return;
    m_index->repaint |= toQRect(element.m_indexedBounds);
    scheduleFlush();
}

void ChartCanvas::bringToFront(CanvasElement& element)
{
    element.m_z = ++m_topZ;
    elementAppearanceChanged(element);
}

void ChartCanvas::sendToBack(CanvasElement& element)
{
    element.m_z = --m_bottomZ;
    elementAppearanceChanged(element);
}

void ChartCanvas::scheduleFlush() const
{
    if (m_flushScheduled)
        return;
    m_flushScheduled = true;
    QTimer::singleShot(0, &m_index->flushContext, [this] { flushChanges(); });
}

void ChartCanvas::flushChanges() const
{
    m_flushScheduled = false;
    Index& ix = *m_index;
    for (const Index::Entry& change : ix.pending) {
        if (!ix.isLive(change))
            continue;
        CanvasElement& element = *ix.occupants[change.slot];
        element.m_pending = false;
        const QRect bounds = element.m_visible ? element.pixelBounds() : QRect();
        if (element.m_indexed) {
            const QRect old = toQRect(element.m_indexedBounds);
            if (old == bounds)
                continue;
            ix.repaint |= old;
            ix.invalidate(element, old);
            element.m_indexed = false;
        }
        if (!bounds.isEmpty()) {
            ix.insert(element, bounds);
            element.m_indexedBounds = toPixelRect(bounds);
            element.m_indexed = true;
            ix.repaint |= bounds;
        }
    }
    ix.pending.clear();
    ix.compactIfWorthIt();
    if (!ix.repaint.isEmpty()) {
        const_cast<ChartCanvas*>(this)->updateClient(ix.repaint);
        ix.repaint = QRect();
    }
}

std::vector<CanvasElement*> ChartCanvas::elementsIn(const QRect& area) const
{
    flushChanges();
    std::vector<CanvasElement*> found;
    if (area.isEmpty())
        return found;
    m_index->forEachIn(area, [&](CanvasElement* element) {
        if (toQRect(element->m_indexedBounds).intersects(area))
            found.push_back(element);
    });
    std::sort(found.begin(), found.end(), [](const CanvasElement* a, const CanvasElement* b) {
        return a->m_layer != b->m_layer ? a->m_layer < b->m_layer : a->m_z < b->m_z;
    });
    return found;
}

void ChartCanvas::paintElements(QPainter& painter, const QRect& exposed) const
{
    for (const CanvasElement* element : elementsIn(exposed))
        element->paint(painter, toQRect(element->m_indexedBounds));
}

void ChartCanvas::paintClient(QPainter& painter, const QRect& exposed)
{
    PictureBox::paintClient(painter, exposed);
    paintElements(painter, exposed);
}

CanvasElement* ChartCanvas::elementAt(double x, double y) const
{
    const QPoint point(static_cast<int>(std::floor(x / TwipsPerPixel)), static_cast<int>(std::floor(y / TwipsPerPixel)));
    CanvasElement* top = nullptr;
    for (CanvasElement* element : elementsIn(QRect(point, QSize(1, 1)))) {
        if (element->m_visible && element->isHitTestable())
            top = element;   // later in paint order is higher
    }
    return top;
}

int ChartCanvas::dropModeAt(double x, double y) const
{
    if (const CanvasElement* element = elementAt(x, y))
        return element->oleDropMode();
    return oleDropMode();
}

const void* ChartCanvas::dropSiteAt(double x, double y) const
{
    if (const CanvasElement* element = elementAt(x, y))
        return element;
    return this;
}

void ChartCanvas::raiseDragOver(DataObject& data, int& effect, int button, int shift, double x, double y,
                                int state)
{
    if (!canRaiseEvents())
        return;
    if (CanvasElement* element = elementAt(x, y)) {
        // Element events measure from the element's client area.
        const auto& box = static_cast<const BoxElement&>(*element);
        x -= box.left() + element->clientInsetPixels() * TwipsPerPixel;
        y -= box.top() + element->clientInsetPixels() * TwipsPerPixel;
        if (element->m_array && element->m_array->onOLEDragOver)
            element->m_array->onOLEDragOver(element->index(), data, effect, button, shift, x, y, state);
        else if (!element->m_array && element->events.onOLEDragOver)
            element->events.onOLEDragOver(data, effect, button, shift, x, y, state);
        return;
    }
    if (onOLEDragOver)
        onOLEDragOver(data, effect, button, shift, x, y, state);
}

void ChartCanvas::raiseDragDrop(DataObject& data, int& effect, int button, int shift, double x, double y)
{
    if (!canRaiseEvents())
        return;
    if (CanvasElement* element = elementAt(x, y)) {
        // Element events measure from the element's client area.
        const auto& box = static_cast<const BoxElement&>(*element);
        x -= box.left() + element->clientInsetPixels() * TwipsPerPixel;
        y -= box.top() + element->clientInsetPixels() * TwipsPerPixel;
        if (element->m_array && element->m_array->onOLEDragDrop)
            element->m_array->onOLEDragDrop(element->index(), data, effect, button, shift, x, y);
        else if (!element->m_array && element->events.onOLEDragDrop)
            element->events.onOLEDragDrop(data, effect, button, shift, x, y);
        return;
    }
    if (onOLEDragDrop)
        onOLEDragDrop(data, effect, button, shift, x, y);
}

Picture ChartCanvas::renderArea(const PixelRect& area) const
{
    const QRect rect = toQRect(area);
    if (rect.isEmpty())
        return Picture();
    QImage pixels(rect.size(), QImage::Format_RGB32);
    pixels.setDotsPerMeterX(3780);
    pixels.setDotsPerMeterY(3780);
    {
        QPainter painter(&pixels);
        painter.translate(-rect.topLeft());
        const QRect client(0, 0, clientWidthPixels(), clientHeightPixels());
        painter.fillRect(rect, toQColor(backColor()));
        painter.setClipRect(client.intersected(rect));
        const_cast<ChartCanvas*>(this)->paintClient(painter, client.intersected(rect));
    }
    return pictureFromImage(pixels);
}

void ChartCanvas::resetProperties()
{
    PictureBox::resetProperties();
    for (ElementArrayBase* array : m_arrays)
        array->resetToDesign();
    for (CanvasElement* element : m_standAlone) {
        element->resetProperties();
        element->geometryChanged();
    }
    *m_press = PressState();
}

std::vector<ChartCanvas::ElementInfo> ChartCanvas::inspectElements() const
{
    flushChanges();
    std::vector<ElementInfo> result;
    auto describe = [&](const CanvasElement& element) {
        ElementInfo info;
        info.name = element.name();
        info.kind = element.kind();
        info.index = element.index();
        info.visible = element.isVisible();
        info.oleDropMode = element.oleDropMode();
        info.tag = element.tag();
        info.toolTipText = element.toolTipText();
        if (element.kind() == ElementKind::Line) {
            const auto& line = static_cast<const CanvasLine&>(element);
            info.x1 = line.x1();
            info.y1 = line.y1();
            info.x2 = line.x2();
            info.y2 = line.y2();
            info.left = std::min(line.x1(), line.x2());
            info.top = std::min(line.y1(), line.y2());
            info.width = std::abs(line.x2() - line.x1());
            info.height = std::abs(line.y2() - line.y1());
            info.colour = line.borderColor();
            info.borderStyle = line.borderStyle();
        } else {
            const auto& box = static_cast<const BoxElement&>(element);
            info.left = box.left();
            info.top = box.top();
            info.width = box.width();
            info.height = box.height();
        }
        if (element.kind() == ElementKind::Label) {
            const auto& label = static_cast<const CanvasLabel&>(element);
            info.caption = label.caption();
            info.fontSize = label.fontSize();
            info.colour = label.backColor();
            info.borderStyle = label.borderStyle();
        } else if (element.kind() == ElementKind::Image) {
            info.picturePath = static_cast<const CanvasImage&>(element).picture().sourcePath();
        } else if (element.kind() == ElementKind::Picture) {
            const auto& picture = static_cast<const CanvasPicture&>(element);
            info.colour = picture.backColor();
            info.borderStyle = picture.borderStyle();
        }
        result.push_back(std::move(info));
    };
    for (const ElementArrayBase* array : m_arrays) {
        for (const auto& slot : array->m_slots) {
            if (slot)
                describe(*slot);
        }
    }
    for (const CanvasElement* element : m_standAlone)
        describe(*element);
    return result;
}

// ---------------------------------------------------------------------------
// Mouse and tool tips

namespace {

ElementRef refOf(CanvasElement& element, ElementArrayBase* array)
{
    ElementRef ref;
    ref.array = array;
    ref.standAlone = array ? nullptr : &element;
    ref.index = element.index();
    ref.generation = element.generation();
    return ref;
}

} // namespace

bool ChartCanvas::interceptWidgetEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
        return handleMouse(event);
    case QEvent::ToolTip:
        return handleToolTip(event);
    default:
        return false;
    }
}

bool ChartCanvas::handleToolTip(QEvent* event)
{
    auto* help = static_cast<QHelpEvent*>(event);
    const QPoint client = help->pos() - QPoint(borderPixels(), borderPixels());
    const CanvasElement* element = elementAt(client.x() * TwipsPerPixel, client.y() * TwipsPerPixel);
    if (!element)
        return false;
    if (element->toolTipText().empty())
        QToolTip::hideText();
    else
        QToolTip::showText(help->globalPos(), QString::fromStdString(element->toolTipText()), clientWidget(),
                           toQRect(element->m_indexedBounds).translated(borderPixels(), borderPixels()));
    return true;
}

bool ChartCanvas::handleMouse(QEvent* event)
{
    auto* mouse = static_cast<QMouseEvent*>(event);
    const QPointF client = mouse->position() - QPointF(borderPixels(), borderPixels());
    const double x = client.x() * TwipsPerPixel;
    const double y = client.y() * TwipsPerPixel;
    const int shift = shiftCode(mouse->modifiers());
    PressState& press = *m_press;

    // The element a reference names, if it is still the same loaded element.
    auto resolve = [this](const ElementRef& ref) -> CanvasElement* {
        if (ref.array) {
            if (std::find(m_arrays.begin(), m_arrays.end(), ref.array) == m_arrays.end())
                return nullptr;
            CanvasElement* element = ref.array->find(ref.index);
            return element && element->generation() == ref.generation ? element : nullptr;
        }
        if (ref.standAlone
            && std::find(m_standAlone.begin(), m_standAlone.end(), ref.standAlone) != m_standAlone.end()
            && ref.standAlone->generation() == ref.generation)
            return ref.standAlone;
        return nullptr;
    };
    // Element events measure from the element's client area.
    auto relativeX = [x](const CanvasElement& e) {
        return x - static_cast<const BoxElement&>(e).left() - e.clientInsetPixels() * TwipsPerPixel;
    };
    auto relativeY = [y](const CanvasElement& e) {
        return y - static_cast<const BoxElement&>(e).top() - e.clientInsetPixels() * TwipsPerPixel;
    };
    // Raises one event through the element's array or its own handlers; false
    // when the canvas itself went away meanwhile (its window unloaded).
    const ControlLife canvasLife = life();
    auto raise = [&](const std::function<void()>& call) {
        if (canRaiseEvents())
            runGuarded(call);
        return static_cast<bool>(canvasLife);
    };

    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        CanvasElement* hit = elementAt(x, y);
        if (!hit) {
            press.lastClick = ElementRef();
            // The second press of a double-click that began on an element is
            // not the canvas's: it never saw the first.
            return event->type() == QEvent::MouseButtonDblClick && press.target.isSet();
        }
        const ElementRef ref = refOf(*hit, hit->m_array);
        const int button = buttonCode(mouse->button());
        press.buttons |= button;
        if (event->type() == QEvent::MouseButtonDblClick && button == vbLeftButton && press.lastClick == ref) {
            press.target = ref;
            press.afterDoubleClick = true;
            raise([&] {
                if (ref.array && ref.array->onDblClick)
                    ref.array->onDblClick(ref.index);
                else if (!ref.array && hit->events.onDblClick)
                    hit->events.onDblClick();
            });
            return true;
        }
        press.target = ref;
        press.afterDoubleClick = false;
        const double ex = relativeX(*hit), ey = relativeY(*hit);
        raise([&] {
            if (ref.array && ref.array->onMouseDown)
                ref.array->onMouseDown(ref.index, button, shift, ex, ey);
            else if (!ref.array && hit->events.onMouseDown)
                hit->events.onMouseDown(button, shift, ex, ey);
        });
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (!press.target.isSet())
            return false;
        const ElementRef ref = press.target;
        const int button = buttonCode(mouse->button());
        press.buttons &= ~button;
        const bool afterDoubleClick = press.afterDoubleClick;
        if (press.buttons == 0) {
            press.target = ElementRef();
            press.afterDoubleClick = false;
        }
        CanvasElement* element = resolve(ref);
        if (!element)
            return true;
        const double ex = relativeX(*element), ey = relativeY(*element);
        const bool inside = toQRect(element->m_indexedBounds).contains(client.toPoint());
        if (!raise([&] {
                if (ref.array && ref.array->onMouseUp)
                    ref.array->onMouseUp(ref.index, button, shift, ex, ey);
                else if (!ref.array && element->events.onMouseUp)
                    element->events.onMouseUp(button, shift, ex, ey);
            }))
            return true;
        if (button != vbLeftButton)
            return true;
        if (afterDoubleClick) {
            press.lastClick = ElementRef();
            return true;
        }
        element = resolve(ref);   // the MouseUp handler may have unloaded it
        if (!element || !inside)
            return true;
        press.lastClick = ref;
        raise([&] {
            if (ref.array && ref.array->onClick)
                ref.array->onClick(ref.index);
            else if (!ref.array && element->events.onClick)
                element->events.onClick();
        });
        return true;
    }
    case QEvent::MouseMove: {
        CanvasElement* element = press.target.isSet() ? resolve(press.target) : elementAt(x, y);
        if (!element)
            return press.target.isSet();
        const ElementRef ref = refOf(*element, element->m_array);
        const int buttons = buttonMask(mouse->buttons());
        const double ex = relativeX(*element), ey = relativeY(*element);
        raise([&] {
            if (ref.array && ref.array->onMouseMove)
                ref.array->onMouseMove(ref.index, buttons, shift, ex, ey);
            else if (!ref.array && element->events.onMouseMove)
                element->events.onMouseMove(buttons, shift, ex, ey);
        });
        return true;
    }
    default:
        return false;
    }
}

} // namespace forms
