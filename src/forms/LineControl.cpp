#include "forms/LineControl.h"
#include "forms/LineControl_p.h"

#include "forms/Bridge_p.h"
#include "forms/Colors_p.h"
#include "forms/PainterSurface_p.h"

#include "platform/Errors.h"

#include <QPainter>

#include <algorithm>

namespace forms {

QPen linePen(long borderColor, int borderStyle, int borderWidth)
{
    // Patterned styles are drawn by paintBorderLine; wide lines are solid.
    return QPen(toQColor(borderColor), std::max(borderWidth, 1), borderStyle == 0 ? Qt::NoPen : Qt::SolidLine,
                borderWidth > 1 ? Qt::RoundCap : Qt::SquareCap);
}

void paintBorderLine(QPainter& painter, const QPoint& a, const QPoint& b, long borderColor, int borderStyle,
                     int borderWidth)
{
    if (borderStyle == 0)
        return;
    if (borderWidth <= 1 && borderStyle >= 2 && borderStyle <= 5) {
        // BorderStyle 2..5 are DrawStyle 1..4.
        drawStyledLine(painter, a, b, toQColor(borderColor), borderStyle - 1);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(linePen(borderColor, borderStyle, borderWidth));
    if (a == b)
        painter.drawPoint(a);
    else
        painter.drawLine(a, b);
}

namespace {

platform::RuntimeError invalidProperty()
{
    return platform::RuntimeError(platform::err::InvalidPropertyValue, "Invalid property value");
}

} // namespace

// The widget covers the line's bounding box; it is transparent for the mouse
// and paints no background, so only the line shows over its container.
class LineControl::Widget : public Bridged<QWidget> {
public:
    explicit Widget(QWidget* parent) : Bridged<QWidget>(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }
    QPoint from, to;   // in widget pixels
    long colour = 0;
    int style = 1;
    int width = 1;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        paintBorderLine(painter, from, to, colour, style, width);
    }
};

LineControl::LineControl(Container& container, std::string name) : Control(container, std::move(name))
{
    resetProperties();
}

LineControl::~LineControl() = default;

QWidget* LineControl::createWidget(QWidget* parent)
{
    m_widget = new Widget(parent);
    // A line belongs to its container's drawing, so it stays below the container's
    // windowed controls and never covers a button or a text box.
    m_widget->lower();
    return m_widget;
}

void LineControl::widgetDestroying() { m_widget = nullptr; }

void LineControl::resetProperties()
{
    m_x1 = m_y1 = m_x2 = m_y2 = 0;
    m_borderStyle = 1;
    m_borderColor = 0x80000008L;
    m_borderWidth = 1;
}

void LineControl::copyPropertiesFrom(const Control& source)
{
    Control::copyPropertiesFrom(source);
    const auto& other = static_cast<const LineControl&>(source);
    m_x1 = other.m_x1;
    m_y1 = other.m_y1;
    m_x2 = other.m_x2;
    m_y2 = other.m_y2;
    m_borderStyle = other.m_borderStyle;
    m_borderColor = other.m_borderColor;
    m_borderWidth = other.m_borderWidth;
}

void LineControl::applyProperties() { applyGeometry(); }

void LineControl::applyGeometry()
{
    if (!m_widget)
        return;
    const QPoint origin(containerInsetPixels(), containerInsetPixels());
    const QPoint a = QPoint(twipsToPixels(m_x1), twipsToPixels(m_y1)) + origin;
    const QPoint b = QPoint(twipsToPixels(m_x2), twipsToPixels(m_y2)) + origin;
    const int grow = m_borderWidth;   // room for a wide pen's caps
    const QRect bounds = QRect(a, b).normalized().adjusted(-grow, -grow, grow, grow);
    m_widget->from = a - bounds.topLeft();
    m_widget->to = b - bounds.topLeft();
    m_widget->colour = m_borderColor;
    m_widget->style = m_borderStyle;
    m_widget->width = m_borderWidth;
    m_widget->setGeometry(bounds);
    m_widget->update();
}

void LineControl::changed()
{
    applyGeometry();
}

double LineControl::x1() const
{
    touch();
    return m_x1;
}
void LineControl::setX1(double twips)
{
    touch();
    m_x1 = twips;
    changed();
}
double LineControl::y1() const
{
    touch();
    return m_y1;
}
void LineControl::setY1(double twips)
{
    touch();
    m_y1 = twips;
    changed();
}
double LineControl::x2() const
{
    touch();
    return m_x2;
}
void LineControl::setX2(double twips)
{
    touch();
    m_x2 = twips;
    changed();
}
double LineControl::y2() const
{
    touch();
    return m_y2;
}
void LineControl::setY2(double twips)
{
    touch();
    m_y2 = twips;
    changed();
}

int LineControl::borderStyle() const
{
    touch();
    return m_borderStyle;
}

void LineControl::setBorderStyle(int style)
{
    touch();
    if (style < 0 || style > 6)
        throw invalidProperty();
    m_borderStyle = style;
    changed();
}

long LineControl::borderColor() const
{
    touch();
    return m_borderColor;
}

void LineControl::setBorderColor(long colour)
{
    touch();
    m_borderColor = colour;
    changed();
}

int LineControl::borderWidth() const
{
    touch();
    return m_borderWidth;
}

void LineControl::setBorderWidth(int pixels)
{
    touch();
    if (pixels < 1 || pixels > 8192)
        throw invalidProperty();
    m_borderWidth = pixels;
    changed();
}

} // namespace forms
