#include "forms/PictureBox.h"

#include "forms/Bridge_p.h"
#include "forms/Colors.h"
#include "forms/Colors_p.h"
#include "forms/DisplayList.h"
#include "forms/ExportCanvas.h"
#include "forms/Fonts.h"
#include "forms/Picture_p.h"

#include "platform/Errors.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace forms {

namespace {

constexpr long vbButtonText = 0x80000012L;

platform::RuntimeError invalidProperty()
{
    return platform::RuntimeError(platform::err::InvalidPropertyValue, "Invalid property value");
}

// The drawing state a surface carries over when the backing changes.
void copySurfaceState(const PainterSurface& from, PainterSurface& to)
{
    to.setBackColor(from.backColor());
    to.setForeColor(from.foreColor());
    to.setDrawWidth(from.drawWidth());
    to.setDrawStyle(from.drawStyle());
    to.setTextColor(from.textColor());
    to.setFontName(from.fontName());
    to.setFontSize(from.fontSize());
    to.setFontBold(from.fontBold());
    to.setFontItalic(from.fontItalic());
    if (const auto clip = from.clipRect())
        to.setClipRect(*clip);
    if (!from.backdrop().isEmpty())
        to.setBackdrop(from.backdrop());
}

// The classic sunken frame: two pixels, shadow above and left, light below and right.
void paintSunkenFrame(QPainter& painter, const QRect& outer)
{
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QColor(128, 128, 128));
    painter.drawLine(outer.topLeft(), outer.topRight());
    painter.drawLine(outer.topLeft(), outer.bottomLeft());
    painter.setPen(QColor(255, 255, 255));
    painter.drawLine(outer.bottomLeft(), outer.bottomRight());
    painter.drawLine(outer.topRight(), outer.bottomRight());
    painter.setPen(QColor(64, 64, 64));
    painter.drawLine(inner.topLeft(), inner.topRight());
    painter.drawLine(inner.topLeft(), inner.bottomLeft());
    painter.setPen(QColor(212, 208, 200));
    painter.drawLine(inner.bottomLeft(), inner.bottomRight());
    painter.drawLine(inner.topRight(), inner.bottomRight());
}

} // namespace

class PictureBox::Widget : public Bridged<QWidget> {
public:
    explicit Widget(QWidget* parent) : Bridged<QWidget>(parent)
    {
        // Everything is painted by the control; a large chart canvas must stay
        // an alien widget (native X11 windows stop at 32767 pixels).
        setAttribute(Qt::WA_OpaquePaintEvent);
        setAttribute(Qt::WA_NativeWindow, false);
        setFocusPolicy(Qt::StrongFocus);
        setMouseTracking(true);
    }

protected:
    bool event(QEvent* e) override
    {
        if (PictureBox* owner = box()) {
            if (owner->interceptWidgetEvent(e))
                return true;
        }
        return Bridged<QWidget>::event(e);
    }

    void paintEvent(QPaintEvent* e) override
    {
        QPainter painter(this);
        if (PictureBox* owner = box())
            owner->paintWidget(painter, e->rect());
    }

private:
    PictureBox* box() const { return boundControl ? static_cast<PictureBox*>(boundControl) : nullptr; }
};

PictureBox::PictureBox(Container& container, std::string name)
    : Control(container, std::move(name)), m_imageCap(ExportCanvas::defaultMemoryCap())
{
    resetProperties();
}

PictureBox::~PictureBox() = default;

QWidget* PictureBox::createWidget(QWidget* parent)
{
    m_widget = new Widget(parent);
    return m_widget;
}

void PictureBox::widgetDestroying() { m_widget = nullptr; }

QWidget* PictureBox::containerWidget()
{
    touch();
    return widget();
}

QWidget* PictureBox::clientWidget() const { return m_widget; }

void PictureBox::resetProperties()
{
    m_backing = Backing::DisplayList;
    m_image.reset();
    m_list = std::make_unique<DisplayListSurface>();
    m_list->setBackColor(vbButtonFace);
    m_list->setForeColor(vbButtonText);
    m_list->setChangeHandler([this] { updateClient(); });
    m_borderStyle = 1;
    m_autoRedraw = false;
    m_picture = Picture();
    m_oleDropMode = vbOLEDropNone;
    m_oleDragMode = vbOLEDragManual;
}

void PictureBox::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& other = static_cast<const PictureBox&>(source);
    m_borderStyle = other.m_borderStyle;
    m_autoRedraw = other.m_autoRedraw;
    m_picture = other.m_picture;
    m_oleDropMode = other.m_oleDropMode;
    m_oleDragMode = other.m_oleDragMode;
    m_imageCap = other.m_imageCap;
    setBacking(other.m_backing);
    copySurfaceState(other.surface(), surface());
}

void PictureBox::applyProperties() { updateClient(); }

void PictureBox::applyGeometry()
{
    Control::applyGeometry();
    updateClient();
}

int PictureBox::borderPixels() const { return m_borderStyle == 1 ? 2 : 0; }

int PictureBox::clientWidthPixels() const
{
    return std::max(0, twipsToPixels(width()) - 2 * borderPixels());
}

int PictureBox::clientHeightPixels() const
{
    return std::max(0, twipsToPixels(height()) - 2 * borderPixels());
}

PainterSurface& PictureBox::surface() const
{
    if (m_backing == Backing::Image)
        return *m_image;
    return *m_list;
}

void PictureBox::syncSurface() const
{
    PainterSurface& target = surface();
    const std::string& name = Control::fontName();
    target.setFontName(name.empty() ? std::string(DefaultFontName) : name);
    const double size = Control::fontSize();
    target.setFontSize(name.empty() && size == 0 ? DefaultFontSize : size);
    target.setFontBold(Control::fontBold());
    target.setFontItalic(Control::fontItalic());
    if (m_backing == Backing::Image)
        m_image->resizePixels(clientWidthPixels(), clientHeightPixels());
    else
        m_list->setSizePixels(clientWidthPixels(), clientHeightPixels());
}

Surface& PictureBox::drawingSurface()
{
    touch();
    syncSurface();
    return surface();
}

const std::string& PictureBox::fontName() const { return Control::fontName(); }
void PictureBox::setFontName(const std::string& name) { Control::setFontName(name); }
double PictureBox::fontSize() const { return Control::fontSize(); }
void PictureBox::setFontSize(double points) { Control::setFontSize(points); }
bool PictureBox::fontBold() const { return Control::fontBold(); }
void PictureBox::setFontBold(bool bold) { Control::setFontBold(bold); }
bool PictureBox::fontItalic() const { return Control::fontItalic(); }
void PictureBox::setFontItalic(bool italic) { Control::setFontItalic(italic); }

int PictureBox::borderStyle() const
{
    touch();
    return m_borderStyle;
}

void PictureBox::setBorderStyle(int style)
{
    touch();
    if (style != 0 && style != 1)
        throw invalidProperty();
    if (style == m_borderStyle)
        return;
    m_borderStyle = style;
    placeContainedControls();
    if (m_widget)
        m_widget->update();
}

bool PictureBox::autoRedraw() const
{
    touch();
    return m_autoRedraw;
}

void PictureBox::setAutoRedraw(bool autoRedraw)
{
    touch();
    m_autoRedraw = autoRedraw;
}

const Picture& PictureBox::picture() const
{
    touch();
    return m_picture;
}

void PictureBox::setPicture(const Picture& picture)
{
    touch();
    m_picture = picture;
    syncSurface();
    surface().setBackdrop(picture);
}

Picture PictureBox::image() const
{
    touch();
    syncSurface();
    if (m_backing == Backing::Image)
        return m_image->image();
    return m_list->image();
}

int PictureBox::oleDropMode() const
{
    touch();
    return m_oleDropMode;
}

void PictureBox::setOleDropMode(int mode)
{
    touch();
    if (mode < 0 || mode > 2)
        throw invalidProperty();
    m_oleDropMode = mode;
}

int PictureBox::oleDragMode() const
{
    touch();
    return m_oleDragMode;
}

void PictureBox::setOleDragMode(int mode)
{
    touch();
    if (mode != vbOLEDragManual && mode != vbOLEDragAutomatic)
        throw invalidProperty();
    m_oleDragMode = mode;
}

void PictureBox::setBacking(Backing backing)
{
    if (backing == m_backing)
        return;
    PainterSurface& old = surface();
    if (backing == Backing::Image) {
        m_image = std::make_unique<ExportCanvas>();
        m_image->setMemoryCap(m_imageCap);
        copySurfaceState(old, *m_image);
        m_backing = backing;
        m_list->cls();
    } else {
        m_list = std::make_unique<DisplayListSurface>();
        m_list->setChangeHandler([this] { updateClient(); });
        copySurfaceState(old, *m_list);
        m_backing = backing;
        m_image.reset();
    }
    updateClient();
}

void PictureBox::setImageMemoryCap(int64_t bytes)
{
    m_imageCap = bytes;
    if (m_image)
        m_image->setMemoryCap(bytes);
}

void PictureBox::refresh()
{
    touch();
    if (m_widget)
        m_widget->repaint();
}

void PictureBox::updateClient()
{
    if (m_widget)
        m_widget->update();
}

void PictureBox::updateClient(const QRect& area)
{
    if (m_widget)
        m_widget->update(area.translated(borderPixels(), borderPixels()));
}

void PictureBox::paintWidget(QPainter& painter, const QRect& exposed)
{
    const int border = borderPixels();
    if (border > 0)
        paintSunkenFrame(painter, m_widget->rect());
    const QRect client(0, 0, clientWidthPixels(), clientHeightPixels());
    painter.translate(border, border);
    painter.setClipRect(client);
    paintClient(painter, exposed.translated(-border, -border).intersected(client));
}

void PictureBox::paintClient(QPainter& painter, const QRect& exposed)
{
    if (exposed.isEmpty())
        return;
    if (m_backing == Backing::DisplayList) {
        m_list->setSizePixels(clientWidthPixels(), clientHeightPixels());
        m_list->replay(painter);
        return;
    }
    try {
        syncSurface();
        painter.drawImage(QPoint(0, 0), pictureImage(m_image->image()));
    } catch (const platform::RuntimeError&) {
        // A canvas too large to allocate shows its back colour; the drawing
        // statements raise the error to the program.
        painter.fillRect(exposed, toQColor(m_image->backColor()));
    }
}

bool PictureBox::interceptWidgetEvent(QEvent*) { return false; }

} // namespace forms
